// Every row of every page, recorded and undone: the entry holds what the action changed, undo
// brings the store's files back byte for byte, and redo brings the action back. Which actions undo
// and redo take, walked from the journal. Then the questions about changes made since, failed
// undos, and a journal that cannot be written.

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

// The answers of the rows that ask before they set.
void scriptAnswers(ScriptedDialogs& dialogs, CataloguePage page, int row, RowButton button) {
    if (button != RowButton::Set) return;
    if (page == CataloguePage::Desktop && row == 4)
        dialogs.answerInputBox("你好").answerMessageBox(kIdYes).answerMessageBox(kIdNo);
    if (page == CataloguePage::Desktop && row == 7)
        dialogs.answerOpenFile(kExistingPicture).answerInputBox("2");
    if (page == CataloguePage::Desktop && row == 8)
        dialogs.answerInputBox("10").answerInputBox("20");
    if (page == CataloguePage::Desktop && row == 11) dialogs.answerInputBox("48");
    if (page == CataloguePage::HideShow && row == 5) dialogs.answerInputBox("CF");
}

struct RowUndoCase {
    CataloguePage page;
    int row;
    RowButton button;
};

void PrintTo(const RowUndoCase& c, std::ostream* out) {
    *out << pageName(c.page) << "/" << c.row << (c.button == RowButton::Set ? "/set" : "/lift");
}

std::vector<RowUndoCase> everyRowButton() {
    std::vector<RowUndoCase> cases;
    for (CataloguePage page :
         {CataloguePage::Desktop, CataloguePage::Restrictions, CataloguePage::HideShow,
          CataloguePage::BrowserProperties, CataloguePage::LogonStyle}) {
        const auto rows = pageCatalogue(page).rows;
        // The first three pages' questions are scripted above; on the others, the rows that ask
        // are left to their own tests.
        const bool scripted = page == CataloguePage::Desktop ||
                              page == CataloguePage::Restrictions ||
                              page == CataloguePage::HideShow;
        for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
            const bool asks = rows[row].set.ask != nullptr || rows[row].lift.ask != nullptr;
            if (!scripted && asks) continue;
            for (RowButton button : {RowButton::Set, RowButton::Lift})
                cases.push_back({page, row, button});
        }
    }
    return cases;
}

class EveryRow : public ::testing::TestWithParam<RowUndoCase> {};

TEST_P(EveryRow, EntryHoldsTheChangeAndUndoRestoresTheFilesByteForByte) {
    const RowUndoCase c = GetParam();
    JournalFixture f;
    seedUsersRegistry(f.store());
    // A lift starts from the row set, as a user would lift it; a set starts from the seed.
    if (c.button == RowButton::Lift) {
        scriptAnswers(f.dialogs(), c.page, c.row, RowButton::Set);
        f.runUnrecorded(c.page, c.row, RowButton::Set);
    }
    const auto before = f.hiveFiles();

    scriptAnswers(f.dialogs(), c.page, c.row, c.button);
    const RowOutcome outcome = f.run(c.page, c.row, c.button);
    ASSERT_TRUE(outcome.status) << outcome.status.message();
    const auto after = f.hiveFiles();
    if (before == after) {
        EXPECT_FALSE(f.recorder().lastEntry()) << "an entry for an action that changed nothing";
        return;
    }
    ASSERT_TRUE(f.recorder().lastEntry());
    const JournalEntry& entry = *f.recorder().lastEntry();
    EXPECT_EQ(entry.label.page, pageName(c.page));
    EXPECT_EQ(entry.label.row, c.row);
    EXPECT_EQ(entry.label.caption, pageCatalogue(c.page).rows[c.row].caption);
    for (const JournalItem& item : entry.items) {
        const Result<JournalItem> now = currentStateOf(f.view(), item);
        ASSERT_TRUE(now);
        EXPECT_TRUE(sameState(now.value(), item, false)) << itemPath(item);
    }

    // The journal as read back from its file, by a later run.
    f.reopen();
    ASSERT_EQ(f.journal().entries().size(), 1u);
    EXPECT_EQ(f.undo().result, UndoResult::Done);
    EXPECT_EQ(f.hiveFiles(), before);
    EXPECT_EQ(f.dialogs().messagePrompts().back(), kUndoDoneText);
    EXPECT_EQ(f.redo().result, UndoResult::Done);
    EXPECT_EQ(f.hiveFiles(), after);
    EXPECT_EQ(f.dialogs().messagePrompts().back(), kRedoDoneText);
}

INSTANTIATE_TEST_SUITE_P(Pages, EveryRow, ::testing::ValuesIn(everyRowButton()));

// A new store has no HKEY_LOCAL_MACHINE\Software\Classes: the first write under
// HKEY_CLASSES_ROOT makes it, and the undo takes it away again.
TEST(ClassesRoot, UndoInANewStoreLeavesNoMachineKeyBehind) {
    JournalFixture f;
    const auto before = f.hiveFiles();
    // Desktop row 9 writes the shortcut arrow's switch under HKEY_CLASSES_ROOT\lnkfile.
    ASSERT_TRUE(f.run(CataloguePage::Desktop, 9, RowButton::Lift).status);
    ASSERT_TRUE(f.recorder().lastEntry());
    EXPECT_EQ(f.undo().result, UndoResult::Done);
    const Result<bool> classes =
        keyExists(f.view(), kHkeyLocalMachine, "Software\\Classes");
    ASSERT_TRUE(classes);
    EXPECT_FALSE(classes.value());
    EXPECT_EQ(f.hiveFiles()["system.reg"].find("Classes"), std::string::npos);
}

TEST(StartupRemoval, IsRecordedAndUndoneByteForByte) {
    JournalFixture f;
    seedUsersRegistry(f.store());
    putValue(f.store(), kHkeyCurrentUser, kRunKeyPath, "Tray", kRegSz, ansiText("tray.exe /q"));
    putValue(f.store(), kHkeyLocalMachine, kRunKeyPath, "Agent", kRegExpandSz,
             ansiText("%ProgramFiles%\\代理.exe"));
    putValue(f.store(), kHkeyLocalMachine, kRunKeyPath, "Kept", kRegSz, ansiText("kept.exe"));
    ASSERT_TRUE(f.store().flush());
    const auto before = f.hiveFiles();
    {
        StartupList list(f.layer());
        list.setObserver(&f.recorder());
        ASSERT_EQ(list.RefreshStartupList(), 3u);
        list.SelectAll();
        list.setCheckState(2, kUnchecked);  // "Kept"
        EXPECT_EQ(list.RemoveSelected().removed, 2);
    }
    const auto after = f.hiveFiles();
    ASSERT_TRUE(f.recorder().lastEntry());
    EXPECT_EQ(f.recorder().lastEntry()->label.page, "startup");

    EXPECT_EQ(f.undo().result, UndoResult::Done);
    EXPECT_EQ(f.hiveFiles(), before);
    EXPECT_EQ(f.redo().result, UndoResult::Done);
    EXPECT_EQ(f.hiveFiles(), after);
}

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

// ---- Changes made by others since ------------------------------------------------------------

struct ForeignCase {
    const char* name;
    // What another program does after the action (hide of the Recycle Bin).
    void (*change)(RegistryApi&);
    bool asks;
    int answer;  // to the question
    bool restored;
};

void PrintTo(const ForeignCase& c, std::ostream* out) {
    *out << c.name;
}

const ForeignCase kForeignCases[] = {
    {"value changed again, user agrees",
     [](RegistryApi& api) {
         putValue(api, kHkeyCurrentUser, kHideIconsNewStartPanel,
                  "{645FF040-5081-101B-9F08-00AA002F954E}", kRegDword,
                  std::string("\x05\0\0\0", 4));
     },
     true, kIdYes, true},
    {"value changed again, user declines",
     [](RegistryApi& api) {
         putValue(api, kHkeyCurrentUser, kHideIconsNewStartPanel,
                  "{645FF040-5081-101B-9F08-00AA002F954E}", kRegDword,
                  std::string("\x05\0\0\0", 4));
     },
     true, kIdNo, false},
    {"removed key made again by someone else",
     [](RegistryApi& api) { putValue(api, kHkeyLocalMachine, kRecycleBin, "New", kRegSz, "x"); },
     true, kIdNo, false},
    {"an unrelated value changes: no question",
     [](RegistryApi& api) {
         putValue(api, kHkeyCurrentUser, kExplorerPolicies, "NoRun", kRegDword,
                  std::string("\x01\0\0\0", 4));
     },
     false, 0, true},
};

class ChangedSince : public ::testing::TestWithParam<ForeignCase> {};

TEST_P(ChangedSince, UndoAsksBeforeOverwritingAndKeepsTheChangeOnNo) {
    const ForeignCase& c = GetParam();
    JournalFixture f;
    seedUsersRegistry(f.store());
    const auto before = f.hiveFiles();
    ASSERT_TRUE(f.run(CataloguePage::HideShow, 0, RowButton::Set).status);
    c.change(f.store());
    ASSERT_TRUE(f.store().flush());
    const auto changed = f.hiveFiles();

    if (c.asks) f.dialogs().answerMessageBox(c.answer);
    const UndoOutcome outcome = f.undo();

    const auto boxes = f.dialogs().callsOf(DialogKind::MessageBox);
    const bool asked = std::any_of(boxes.begin(), boxes.end(), [](const DialogCall& call) {
        return call.title == kUndoQuestionTitle;
    });
    EXPECT_EQ(asked, c.asks);
    if (!c.restored) {
        EXPECT_EQ(outcome.result, UndoResult::Cancelled);
        EXPECT_EQ(f.hiveFiles(), changed);
        return;
    }
    EXPECT_EQ(outcome.result, UndoResult::Done);
    if (c.asks) {
        EXPECT_EQ(f.hiveFiles(), before);
    } else {  // the unrelated change stays, the row's are gone
        Result<ValueState> noRun =
            readValueState(f.view(), kHkeyCurrentUser, kExplorerPolicies, "NoRun");
        EXPECT_TRUE(noRun && noRun.value().present);
        Result<KeyState> key = readKeyState(f.view(), kHkeyLocalMachine, kRecycleBin);
        EXPECT_TRUE(key && key.value().present && key.value().values.size() == 3);
    }
}

INSTANTIATE_TEST_SUITE_P(Undo, ChangedSince, ::testing::ValuesIn(kForeignCases));

// ---- Failures ----------------------------------------------------------------------------------

TEST(UndoFailure, RefusedWritesShowTheErrorAndWhatWasNotRestored) {
    JournalFixture f;
    seedUsersRegistry(f.store());
    ASSERT_TRUE(f.run(CataloguePage::HideShow, 4, RowButton::Set).status);
    f.store().setFaults(RegistryFaults::refusingWrites(kErrorAccessDenied, "只读"));

    const UndoOutcome outcome = f.undo();

    EXPECT_EQ(outcome.result, UndoResult::Failed);
    const std::string shown = f.dialogs().messagePrompts().back();
    EXPECT_EQ(shown.rfind("设置出错！", 0), 0u) << shown;
    EXPECT_NE(shown.find(kBrowser), std::string::npos) << shown;
    EXPECT_FALSE(outcome.failures.empty());
}

// An undo whose save fails never took effect: the next undo takes back the same action again
// (not the one before it), and there is nothing to redo. Also after the journal is read again.
TEST(UndoFailure, AfterAFailedSaveTheNextUndoUndoesTheSameAction) {
    for (const bool reopen : {false, true}) {
        SCOPED_TRACE(reopen ? "journal read again" : "same run");
        JournalFixture f;
        seedUsersRegistry(f.store());
        ASSERT_TRUE(f.run(CataloguePage::HideShow, 0, RowButton::Set).status);
        const auto afterFirst = f.hiveFiles();
        ASSERT_TRUE(f.run(CataloguePage::HideShow, 2, RowButton::Set).status);
        const auto afterSecond = f.hiveFiles();
        const std::int64_t second = f.journal().entries().back().id;

        f.store().setFaults(RegistryFaults::failingFlush("只读"));
        const UndoOutcome failed = f.undo();
        ASSERT_EQ(failed.result, UndoResult::Failed);
        EXPECT_EQ(failed.actionId, second);
        EXPECT_EQ(f.dialogs().messagePrompts().back().rfind("设置出错！", 0), 0u);
        f.store().setFaults({});
        EXPECT_EQ(f.hiveFiles(), afterSecond);
        if (reopen) f.reopen();

        EXPECT_EQ(f.redo().result, UndoResult::NothingToUndo);
        const UndoOutcome again = f.undo();
        EXPECT_EQ(again.result, UndoResult::Done);
        EXPECT_EQ(again.actionId, second);
        EXPECT_EQ(f.hiveFiles(), afterFirst);
    }
}

TEST(UndoFailure, NothingToUndoSaysSo) {
    JournalFixture f;
    EXPECT_EQ(f.undo().result, UndoResult::NothingToUndo);
    EXPECT_EQ(f.dialogs().messagePrompts().back(), kNothingToUndoText);
}

struct JournalFaultCase {
    const char* name;
    bool failAppend;  // the journal cannot be written
    bool failSave;    // the registry's save fails
};

void PrintTo(const JournalFaultCase& c, std::ostream* out) {
    *out << c.name;
}

class UnrecordedAction : public ::testing::TestWithParam<JournalFaultCase> {};

TEST_P(UnrecordedAction, LeavesTheStoreAsItWasAndTheJournalWithoutAnEntry) {
    const JournalFaultCase& c = GetParam();
    JournalFixture f;
    seedUsersRegistry(f.store());
    const auto before = f.hiveFiles();
    if (c.failAppend)
        f.memoryFiles().setFault([](std::string_view step, const std::string&) {
            return step == "append" ? Status::error("磁盘已满", 28) : Status::ok();
        });
    if (c.failSave) f.store().setFaults(RegistryFaults::failingFlush("只读"));

    const RowOutcome outcome = f.run(CataloguePage::HideShow, 0, RowButton::Set);

    EXPECT_EQ(outcome.shown, OutcomeMessage::SetError);
    f.store().setFaults({});
    f.memoryFiles().setFault({});
    f.reopen();
    EXPECT_EQ(f.hiveFiles(), before);
    EXPECT_FALSE(walkUndoChain(f.journal().entries()).nextUndo);
}

const JournalFaultCase kJournalFaults[] = {
    {"journal cannot be written", true, false},
    {"registry save fails after the entry", false, true},
};
INSTANTIATE_TEST_SUITE_P(Faults, UnrecordedAction, ::testing::ValuesIn(kJournalFaults));

// ---- Hidden desktop items shown again ----------------------------------------------------------

struct ShowCase {
    const char* name;
    int row;
    std::string key;
    bool journalled;     // hidden while the journal recorded
    bool keyAfterShow;   // whether the key exists after show
    std::size_t values;  // and how many values it holds
};

void PrintTo(const ShowCase& c, std::ostream* out) {
    *out << c.name;
}

class ShowAgain : public ::testing::TestWithParam<ShowCase> {};

TEST_P(ShowAgain, BringsTheNamespaceKeyBackWhole) {
    const ShowCase& c = GetParam();
    JournalFixture f;
    seedUsersRegistry(f.store());
    const Result<KeyState> seeded = readKeyState(f.view(), kHkeyLocalMachine, c.key);
    if (c.journalled) {
        ASSERT_TRUE(f.run(CataloguePage::HideShow, c.row, RowButton::Set).status);
    } else {
        f.runUnrecorded(CataloguePage::HideShow, c.row, RowButton::Set);
    }
    f.reopen();

    ASSERT_TRUE(f.run(CataloguePage::HideShow, c.row, RowButton::Lift).status);

    const Result<KeyState> shown = readKeyState(f.view(), kHkeyLocalMachine, c.key);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown.value().present, c.keyAfterShow);
    EXPECT_EQ(shown.value().values.size(), c.values);
    if (c.values != 0) {
        EXPECT_TRUE(shown.value().sameContent(seeded.value()));
    }
}

const ShowCase kShowCases[] = {
    {"recycle bin from the journal", 0, kRecycleBin, true, true, 3},
    {"my documents from the journal", 1, kMyDocuments, true, true, 3},
    {"browser from the journal", 4, kBrowser, true, true, 3},
    {"recycle bin hidden unrecorded: empty", 0, kRecycleBin, false, true, 0},
    {"browser hidden unrecorded: stays absent", 4, kBrowser, false, false, 0},
};
INSTANTIATE_TEST_SUITE_P(HideShow, ShowAgain, ::testing::ValuesIn(kShowCases));

// Wine's prefixes spell the My Documents key in capitals, the row in small letters: whether the
// key comes back by undo or by the show button, it keeps the spelling it had.
TEST(HiddenKeySpelling, ComesBackAsTheRegistryHadIt) {
    const std::string capitals =
        std::string(locations::kDesktopNameSpace) + "{450D8FBA-AD25-11D0-98A8-0800361B1103}";
    for (const RowButton comeBack : {RowButton::Lift, RowButton::Set /* stands for the undo */}) {
        JournalFixture f;
        seedUsersRegistry(f.store());
        ASSERT_EQ(f.store().RegDeleteKeyA(kHkeyLocalMachine, kMyDocuments.c_str()), kErrorSuccess);
        putValue(f.store(), kHkeyLocalMachine, capitals, "", kRegSz, std::string("My\0", 3));
        ASSERT_TRUE(f.store().flush());
        const auto before = f.hiveFiles();

        ASSERT_TRUE(f.run(CataloguePage::HideShow, 1, RowButton::Set).status);
        if (comeBack == RowButton::Lift)
            ASSERT_TRUE(f.run(CataloguePage::HideShow, 1, RowButton::Lift).status);
        else
            ASSERT_EQ(f.undo().result, UndoResult::Done);

        const auto spelling = [&f] {
            const std::string system = f.hiveFiles()["system.reg"];
            return system.find("{450D8FBA-AD25-11D0-98A8-0800361B1103}") != std::string::npos &&
                   system.find("{450d8fba") == std::string::npos;
        };
        EXPECT_TRUE(spelling());
        if (comeBack == RowButton::Set) {
            EXPECT_EQ(f.hiveFiles(), before);
            continue;
        }
        // Walked back over the show and the hide, then forward again.
        ASSERT_EQ(f.undo().result, UndoResult::Done);
        ASSERT_EQ(f.undo().result, UndoResult::Done);
        EXPECT_EQ(f.hiveFiles(), before);
        ASSERT_EQ(f.redo().result, UndoResult::Done);
        ASSERT_EQ(f.redo().result, UndoResult::Done);
        EXPECT_TRUE(spelling());
    }
}

}  // namespace
}  // namespace hivora::testing
