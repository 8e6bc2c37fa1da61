// Which actions undo and redo take, walked from the journal (old toggle-style journals included),
// and undo and redo over a real store: walking back and forward through the same states.

#include <gtest/gtest.h>

#include "core/catalogue/registry_locations.h"
#include "core/journal/journal_items.h"
#include "core/journal/journal_text.h"
#include "core/journal/undo_chain.h"
#include "core/startup/startup_list.h"
#include "tests/core/journal_fixture.h"

namespace hivora::testing {
namespace {

using namespace locations;

// ---- Which action undo and redo take ----------------------------------------------------------

struct ChainCase {
    const char* name;
    // The journal, oldest first: each entry's id and what it undoes (0: an action).
    std::vector<std::pair<std::int64_t, std::int64_t>> entries;
    std::string roles;                 // one letter per entry: A(ction), U(ndo), R(edo)
    std::vector<std::int64_t> undone;  // the actions undone now
    std::int64_t nextUndo;             // 0: nothing to undo
    std::int64_t nextRedo;             // 0: nothing to redo
    std::int64_t redoReverses;         // the undo entry the redo names
};

void PrintTo(const ChainCase& c, std::ostream* out) {
    *out << c.name;
}

class UndoChainWalk : public ::testing::TestWithParam<ChainCase> {};

TEST_P(UndoChainWalk, StatesAndNextTargets) {
    const ChainCase& c = GetParam();
    std::vector<JournalEntry> entries;
    for (const auto& [id, undoes] : c.entries) {
        JournalEntry e;
        e.id = id;
        if (undoes != 0) e.undoes = undoes;
        entries.push_back(e);
    }
    const UndoChain chain = walkUndoChain(entries);

    std::string roles;
    std::vector<std::int64_t> undone;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const EntryStatus& status = chain.entries[i];
        roles += status.role == EntryRole::Action ? 'A'
                 : status.role == EntryRole::Undo ? 'U'
                                                  : 'R';
        if (status.undone) undone.push_back(entries[i].id);
    }
    const auto idAt = [&](std::optional<std::size_t> index) {
        return index ? entries[*index].id : std::int64_t{0};
    };
    EXPECT_EQ(roles, c.roles);
    EXPECT_EQ(undone, c.undone);
    EXPECT_EQ(idAt(chain.nextUndo), c.nextUndo);
    EXPECT_EQ(idAt(chain.nextRedo), c.nextRedo);
    EXPECT_EQ(idAt(chain.redoReverses), c.redoReverses);
}

const ChainCase kChainCases[] = {
    {"empty journal", {}, "", {}, 0, 0, 0},
    {"three actions: the newest first", {{1, 0}, {2, 0}, {3, 0}}, "AAA", {}, 3, 0, 0},
    {"undo walks back", {{1, 0}, {2, 0}, {3, 0}, {4, 3}, {5, 2}}, "AAAUU", {2, 3}, 1, 2, 5},
    {"redo brings back the last undone first",
     {{1, 0}, {2, 0}, {3, 0}, {4, 3}, {5, 2}, {6, 5}},
     "AAAUUR",
     {3},
     2,
     3,
     4},
    {"everything undone, then redone",
     {{1, 0}, {2, 0}, {3, 2}, {4, 1}, {5, 4}, {6, 3}},
     "AAUURR",
     {},
     2,
     0,
     0},
    {"undone again after a redo", {{1, 0}, {2, 1}, {3, 2}, {4, 1}}, "AURU", {1}, 0, 1, 4},
    {"a new action ends the redos", {{1, 0}, {2, 0}, {3, 2}, {4, 0}}, "AAUA", {2}, 4, 0, 0},
    {"undo after a new action passes the undone one",
     {{1, 0}, {2, 0}, {3, 2}, {4, 0}, {5, 4}},
     "AAUAU",
     {2, 4},
     1,
     4,
     5},
    {"old toggle file, odd: undone", {{1, 0}, {2, 1}, {3, 2}, {4, 3}}, "AURU", {1}, 0, 1, 4},
    {"old toggle file, even: done", {{1, 0}, {2, 1}, {3, 2}}, "AUR", {}, 1, 0, 0},
    {"old toggle of the newest of two",
     {{1, 0}, {2, 0}, {3, 2}, {4, 3}, {5, 4}},
     "AAURU",
     {2},
     1,
     2,
     5},
    {"undo of a pruned action changes nothing", {{8, 7}, {9, 8}, {10, 0}}, "UUA", {}, 10, 0, 0},
};
INSTANTIATE_TEST_SUITE_P(Journals, UndoChainWalk, ::testing::ValuesIn(kChainCases));

TEST(UndoChainText, HistoryCaptionsAndMarksFollowTheWalk) {
    // Written when undoing again undid the undo: the third entry is in effect a redo.
    std::vector<JournalEntry> entries(4);
    const char* const captions[] = {"隐藏\"回收站\"", "撤销：隐藏\"回收站\"",
                                    "撤销：撤销：隐藏\"回收站\"", "禁止运行"};
    for (int i = 0; i < 4; ++i) {
        entries[i].id = i + 1;
        entries[i].label.caption = captions[i];
        if (i == 1 || i == 2) entries[i].undoes = i;
    }
    entries.push_back(entries[3]);
    entries[4].id = 5;
    entries[4].undoes = 4;
    entries[4].label.caption = "撤销：禁止运行";

    const std::vector<HistoryRow> rows = historyRows(entries, test::codec936());
    ASSERT_EQ(rows.size(), 5u);
    const std::pair<const char*, bool> expected[] = {
        {"撤销：禁止运行", false},       {"禁止运行", true},        {"重做：隐藏\"回收站\"", false},
        {"撤销：隐藏\"回收站\"", false}, {"隐藏\"回收站\"", false},
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].id, static_cast<std::int64_t>(5 - i));
        EXPECT_EQ(rows[i].caption, expected[i].first) << i;
        EXPECT_EQ(rows[i].undone, expected[i].second) << i;
    }
}

TEST(UndoThenRedo, ThreeActionsWalkBackAndForwardThroughTheSameStates) {
    JournalFixture f;
    seedUsersRegistry(f.store());
    std::vector<std::map<std::string, std::string>> states{f.hiveFiles()};
    for (int row : {0, 2, 4}) {
        ASSERT_TRUE(f.run(CataloguePage::HideShow, row, RowButton::Set).status);
        states.push_back(f.hiveFiles());
    }
    ASSERT_NE(states[0], states[1]);
    ASSERT_NE(states[1], states[2]);
    ASSERT_NE(states[2], states[3]);

    for (int i = 2; i >= 0; --i) {
        ASSERT_EQ(f.undo().result, UndoResult::Done) << i;
        EXPECT_EQ(f.hiveFiles(), states[i]) << "after undoing action " << i + 1;
    }
    EXPECT_EQ(f.undo().result, UndoResult::NothingToUndo);
    EXPECT_EQ(f.dialogs().messagePrompts().back(), kNothingToUndoText);

    f.reopen();  // the states come from the journal's file
    for (int i = 1; i <= 3; ++i) {
        ASSERT_EQ(f.redo().result, UndoResult::Done) << i;
        EXPECT_EQ(f.hiveFiles(), states[i]) << "after redoing action " << i;
    }
    EXPECT_EQ(f.redo().result, UndoResult::NothingToUndo);
    EXPECT_EQ(f.dialogs().messagePrompts().back(), kNothingToRedoText);
    ASSERT_EQ(f.journal().entries().size(), 9u);
    EXPECT_EQ(f.journal().entries().back().label.caption,
              "重做：" + f.journal().entries()[2].label.caption);
}

TEST(UndoThenRedo, ANewActionEndsTheRedos) {
    JournalFixture f;
    seedUsersRegistry(f.store());
    ASSERT_TRUE(f.run(CataloguePage::HideShow, 0, RowButton::Set).status);
    ASSERT_EQ(f.undo().result, UndoResult::Done);
    const auto undone = f.hiveFiles();
    ASSERT_TRUE(f.run(CataloguePage::HideShow, 2, RowButton::Set).status);
    const auto now = f.hiveFiles();

    EXPECT_EQ(f.redo().result, UndoResult::NothingToUndo);
    EXPECT_EQ(f.hiveFiles(), now);
    EXPECT_EQ(f.undo().result, UndoResult::Done);  // the new action; the first stays undone
    EXPECT_EQ(f.hiveFiles(), undone);
    EXPECT_EQ(f.undo().result, UndoResult::NothingToUndo);
}

TEST(UndoThenRedo, RedoAsksBeforeOverwritingAChangeMadeSinceTheUndo) {
    JournalFixture f;
    seedUsersRegistry(f.store());
    ASSERT_TRUE(f.run(CataloguePage::HideShow, 2, RowButton::Set).status);
    ASSERT_EQ(f.undo().result, UndoResult::Done);
    putValue(f.store(), kHkeyCurrentUser, kExplorerPolicies, "NoNetHood", kRegDword,
             std::string("\x09\0\0\0", 4));
    ASSERT_TRUE(f.store().flush());
    const auto changed = f.hiveFiles();

    f.dialogs().answerMessageBox(kIdNo);
    EXPECT_EQ(f.redo().result, UndoResult::Cancelled);
    EXPECT_EQ(f.hiveFiles(), changed);
    const auto boxes = f.dialogs().callsOf(DialogKind::MessageBox);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().title, kRedoQuestionTitle);
    EXPECT_NE(boxes.back().prompt.find("NoNetHood：现在 9，撤销后 （无）"), std::string::npos)
        << boxes.back().prompt;

    f.dialogs().answerMessageBox(kIdYes);
    EXPECT_EQ(f.redo().result, UndoResult::Done);
    const Result<ValueState> noNetHood =
        readValueState(f.view(), kHkeyCurrentUser, kExplorerPolicies, "NoNetHood");
    ASSERT_TRUE(noNetHood);
    EXPECT_EQ(noNetHood.value().data, std::string("\x01\0\0\0", 4));
}

}  // namespace
}  // namespace hivora::testing
