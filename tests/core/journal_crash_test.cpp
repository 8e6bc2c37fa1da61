// A child process runs a row action and is killed at a random moment between writing the journal
// and finishing the registry save. Afterwards the journal reads, and undo leaves the store's files
// exactly as they were before the action.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>

#include "tests/core/journal_fixture.h"

namespace hivora::testing {
namespace {

// Where the child dies.
enum KillPoint {
    kBeforeAppend,
    kTornAppend,  // half the entry's line has reached the file
    kAfterAppend,
    kSaveCreate,  // the store's save steps, in order
    kSaveWrite,
    kSaveSync,
    kSaveRename,
    kSaveSyncFolder,
    kAfterSave,
    kKillPointCount
};

[[noreturn]] void die() {
    ::raise(SIGKILL);
    ::_exit(99);  // not reached
}

// The host's journal files, killing the process at the chosen point of an append.
class KillingJournalFiles final : public JournalFiles {
  public:
    KillingJournalFiles() : m_files(makeJournalFiles()) {}
    Result<std::string> read(const std::string& path) override { return m_files->read(path); }
    Status appendDurably(const std::string& path, std::string_view bytes) override {
        if (killAt == kBeforeAppend) die();
        if (killAt == kTornAppend) {
            (void)m_files->appendDurably(path, bytes.substr(0, bytes.size() / 2));
            die();
        }
        Status s = m_files->appendDurably(path, bytes);
        if (killAt == kAfterAppend) die();
        return s;
    }
    Status replaceDurably(const std::string& path, std::string_view bytes) override {
        return m_files->replaceDurably(path, bytes);
    }
    int killAt = kKillPointCount;  // none

  private:
    std::unique_ptr<JournalFiles> m_files;
};

struct Action {
    CataloguePage page;
    int row;
    RowButton button;
};
// A key removal, values in two hives, a restriction under HKEY_USERS\.DEFAULT.
const Action kActions[] = {
    {CataloguePage::HideShow, 0, RowButton::Set},
    {CataloguePage::HideShow, 2, RowButton::Set},
    {CataloguePage::Restrictions, 1, RowButton::Set},
    {CataloguePage::Desktop, 0, RowButton::Set},
};

TEST(JournalCrash, UndoAfterAKillAnywhereRestoresTheStore) {
    constexpr int kRuns = 36;
    std::mt19937 random(20261209);
    for (int run = 0; run < kRuns; ++run) {
        const int killAt = static_cast<int>(random() % kKillPointCount);
        const Action action = kActions[random() % std::size(kActions)];
        SCOPED_TRACE("run " + std::to_string(run) + ", kill point " + std::to_string(killAt) +
                     ", " + pageName(action.page) + " row " + std::to_string(action.row));
        KillingJournalFiles files;
        test::TempFolder journalFolder;
        JournalFixture f(&files, journalFolder / "store.jsonl");
        seedUsersRegistry(f.store());
        const auto before = f.hiveFiles();

        std::fflush(nullptr);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            files.killAt = killAt;
            FileStoreOptions options;
            options.saveFault = [killAt](std::string_view step) {
                const std::string_view steps[] = {kStepCreate, kStepWrite, kStepSync, kStepRename,
                                                  kStepSyncFolder};
                for (int i = 0; i < 5; ++i)
                    if (step == steps[i] && killAt == kSaveCreate + i) die();
                return 0;
            };
            f.setStoreOptions(options);
            f.reopen();
            (void)f.run(action.page, action.row, action.button);
            if (killAt == kAfterSave) die();
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;

        f.reopen();  // the journal reads, whatever the child left of it
        EXPECT_LE(f.journal().entries().size(), 1u);
        EXPECT_EQ(f.journal().garbledLines(), killAt == kTornAppend ? 1 : 0);
        const UndoOutcome outcome = f.undo();
        EXPECT_NE(outcome.result, UndoResult::Failed);
        EXPECT_NE(outcome.result, UndoResult::Cancelled);  // nobody else changed anything
        EXPECT_EQ(f.hiveFiles(), before);
    }
}

}  // namespace
}  // namespace hivora::testing
