// Every row of every page, recorded and undone: the entry holds what the action changed, undo
// brings the store's files back byte for byte, and redo brings the action back. Then the
// questions about changes made since, failed undos, and a journal that cannot be written.

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


}  // namespace
}  // namespace hivora::testing
