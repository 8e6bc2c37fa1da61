// The journal and undo against real store files under faults: two programs undoing at once, a
// kill during undo and redo, an undo whose journal cannot be written, and an undo whose save of
// two hives fails half way. Children are forked, with bounded rounds, as in journal_crash_test.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <random>
#include <set>
#include <thread>

#include "core/journal/journal_items.h"
#include "core/journal/journal_settle.h"
#include "core/journal/undo_chain.h"
#include "tests/core/journal_fixture.h"

namespace hivora::testing {
namespace {

// Whether every changed item of `entry` is at its state before (`before`) or after, on disk.
bool itemsAt(JournalFixture& f, const JournalEntry& entry, bool before) {
    for (const JournalItem& item : entry.items) {
        if (!item.changed()) continue;
        Result<JournalItem> now = currentStateOf(f.view(), item);
        if (!now || !sameState(now.value(), item, before)) return false;
    }
    return true;
}

// Reopens as the next run does, and settles the journal as its next action does first.
void reopenAndSettle(JournalFixture& f) {
    f.reopen();
    ASSERT_TRUE(f.layer().beginAction());
    EXPECT_TRUE(settleNewestEntry(f.journal(), f.view()));
    (void)f.layer().endAction();
}

std::map<std::string, std::pair<std::string, std::int64_t>> filesWithTimes(JournalFixture& f) {
    std::map<std::string, std::pair<std::string, std::int64_t>> files;
    for (const char* name : {"system.reg", "user.reg", "userdef.reg"}) {
        struct stat st {};
        ::stat((f.folder() + "/" + name).c_str(), &st);
        files[name] = {test::readFile(f.folder() + "/" + name),
                       std::int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
    }
    return files;
}

TEST(JournalFaults, TwoProgramsUndoingAtOnceUndoEachEntryOnce) {
    constexpr int kRounds = 30;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        auto files = makeJournalFiles();
        test::TempFolder journalFolder;
        JournalFixture f(files.get(), journalFolder / "store.jsonl");
        seedUsersRegistry(f.store());
        const auto before = f.hiveFiles();
        (void)f.run(CataloguePage::HideShow, 2, RowButton::Set);
        (void)f.run(CataloguePage::Restrictions, 1, RowButton::Set);
        ASSERT_EQ(f.journal().entries().size(), 2u);

        int gate[2];
        ASSERT_EQ(::pipe(gate), 0);
        std::fflush(nullptr);
        pid_t children[2];
        for (pid_t& child : children) {
            child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                ::close(gate[1]);
                char go = 0;
                (void)!::read(gate[0], &go, 1);  // both start when the parent lets go
                f.reopen();
                ::_exit(f.undo().result == UndoResult::Done ? 0 : 1);
            }
        }
        ::close(gate[0]);
        ::close(gate[1]);
        for (pid_t child : children) {
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
        }

        f.reopen();
        const std::vector<JournalEntry>& entries = f.journal().entries();
        std::set<std::int64_t> ids, undone;
        for (const JournalEntry& e : entries) {
            EXPECT_TRUE(ids.insert(e.id).second) << "id " << e.id << " twice";
            if (e.undoes) {
                EXPECT_TRUE(undone.insert(*e.undoes).second) << "undone twice";
            }
        }
        EXPECT_EQ(undone.size(), 2u);
        EXPECT_FALSE(walkUndoChain(entries).nextUndo);
        EXPECT_EQ(f.hiveFiles(), before);  // the registry agrees: both actions are undone
    }
}

// An action that sets a value in the machine's hive and one in the user's, recorded as the
// pages record theirs.
void recordTwoHiveAction(JournalFixture& f) {
    const RegOp ops[] = {
        setDword(kHkeyLocalMachine, "Software\\Hivora", "Machine", 1),
        setDword(kHkeyCurrentUser, "Software\\Hivora", "User", 1),
    };
    ASSERT_TRUE(f.layer().beginAction());
    ASSERT_TRUE(f.recorder().beforeOperations(f.layer(), ops, {"test", 0, "set", "两个配置单元"}));
    for (const RegOp& op : ops) ASSERT_TRUE(f.recorder().applyOperation(f.layer(), op));
    ASSERT_TRUE(f.recorder().beforeSave(f.layer()));
    const Status saved = f.layer().saveAction();
    f.recorder().afterSave(saved);
    (void)f.layer().endAction();
    ASSERT_TRUE(saved);
}

[[noreturn]] void turnForever(JournalFixture& f, int tell) {
    // A slow disk: each save lingers before its renames, where a kill hurts most.
    FileStoreOptions options;
    options.saveFault = [](std::string_view step) {
        if (step == kStepRename) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return 0;
    };
    f.setStoreOptions(options);
    f.reopen();
    for (bool undo = true;; undo = !undo) {
        (void)(undo ? f.undo() : f.redo());
        const char turned = 1;
        (void)!::write(tell, &turned, 1);
    }
}

TEST(JournalFaults, AKillDuringUndoOrRedoLeavesTheJournalAndTheHivesAgreeing) {
    constexpr int kRounds = 30;
    std::mt19937 random(20260311);
    auto files = makeJournalFiles();
    test::TempFolder journalFolder;
    JournalFixture f(files.get(), journalFolder / "store.jsonl");
    seedUsersRegistry(f.store());
    (void)f.run(CataloguePage::HideShow, 2, RowButton::Set);  // values in two hives
    ASSERT_EQ(f.journal().entries().size(), 1u);
    const JournalEntry action = f.journal().entries().front();
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        std::fflush(nullptr);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeEnds[0]);
            turnForever(f, pipeEnds[1]);
        }
        ::close(pipeEnds[1]);
        char turned = 0;
        ASSERT_EQ(::read(pipeEnds[0], &turned, 1), 1);
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 40000));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ::close(pipeEnds[0]);

        reopenAndSettle(f);
        const UndoChain chain = walkUndoChain(f.journal().entries());
        ASSERT_FALSE(f.journal().entries().empty());
        ASSERT_EQ(f.journal().entries().front().id, action.id);
        const bool undoneInJournal = chain.entries.front().undone;
        EXPECT_TRUE(itemsAt(f, action, undoneInJournal))
            << (undoneInJournal ? "journal: undone, hives: done" : "journal: done, hives: undone");
    }
}

TEST(JournalFaults, AnUndoWhoseJournalCannotBeWrittenLeavesTheHiveFilesUntouched) {
    JournalFixture f;
    seedUsersRegistry(f.store());
    (void)f.run(CataloguePage::HideShow, 2, RowButton::Set);
    const auto before = filesWithTimes(f);
    f.memoryFiles().setFault([](std::string_view step, const std::string&) {
        return step == "append" ? Status::error("磁盘已满", ENOSPC) : Status::ok();
    });
    std::this_thread::sleep_for(
        std::chrono::milliseconds(20));  // a rewrite would show in the times
    EXPECT_EQ(f.undo().result, UndoResult::Failed);
    EXPECT_EQ(filesWithTimes(f), before);
}

TEST(JournalFaults, AnUndoWhoseSaveOfTwoHivesFailsRecordsAndSaysWhatChanged) {
    const struct {
        const char* name;
        std::string_view step;
        int n;  // which call of the step fails: 2 for the second hive's
        bool partly;
    } cases[] = {
        {"TemporaryFails", kStepWrite, 2, false},
        {"SecondRenameFails", kStepRename, 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        JournalFixture f;
        seedUsersRegistry(f.store());
        const auto untouched = f.hiveFiles();
        recordTwoHiveAction(f);
        ASSERT_EQ(f.journal().entries().size(), 1u);
        const JournalEntry action = f.journal().entries().front();
        const auto done = f.hiveFiles();
        // The hives the action changed, in the order a save takes them.
        std::vector<std::string> changed;
        for (const char* name : {"system.reg", "user.reg", "userdef.reg"})
            if (done.at(name) != untouched.at(name)) changed.push_back(name);
        ASSERT_EQ(changed.size(), 2u);
        const std::string &first = changed[0], &second = changed[1];
        FileStoreOptions options;
        auto seen = std::make_shared<int>(0);
        options.saveFault = [c, seen](std::string_view step) {
            return step == c.step && ++*seen == c.n ? ENOSPC : 0;
        };
        f.setStoreOptions(options);
        f.reopen();
        const std::size_t boxes = f.dialogs().calls().size();

        EXPECT_EQ(f.undo().result, UndoResult::Failed);
        ASSERT_EQ(f.dialogs().calls().size(), boxes + 1);
        const std::string& box = f.dialogs().calls().back().prompt;
        EXPECT_EQ(box.find("未作改动") == std::string::npos, c.partly) << box;
        EXPECT_EQ(f.hiveFiles().at(first), c.partly ? untouched.at(first) : done.at(first));
        EXPECT_EQ(f.hiveFiles().at(second), done.at(second));

        // The journal says what happened, and says it to the next run too.
        f.setStoreOptions({});
        f.reopen();
        const std::vector<JournalEntry>& entries = f.journal().entries();
        ASSERT_EQ(entries.size(), c.partly ? 2u : 1u);
        EXPECT_FALSE(walkUndoChain(entries).entries.front().undone);
        if (c.partly) {
            const JournalEntry& part = entries.back();
            EXPECT_FALSE(part.undoes);
            EXPECT_NE(part.label.caption.find(kPartlySavedSuffix), std::string::npos);
            EXPECT_TRUE(itemsAt(f, part, false));
            // Undoing twice brings back what the action had done, then what was before it.
            EXPECT_EQ(f.undo().result, UndoResult::Done);
            EXPECT_EQ(f.hiveFiles(), done);
        }
        EXPECT_EQ(f.undo().result, UndoResult::Done);
        EXPECT_EQ(f.hiveFiles(), untouched);
    }
}

}  // namespace
}  // namespace hivora::testing
