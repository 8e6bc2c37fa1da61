// The journal on the host's files: appends after a torn line, links and odd files refused, a
// journal for its owner only, and where the file lives.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <limits>
#include <optional>
#include <vector>

#include "core/journal/change_journal.h"
#include "core/journal/journal_text.h"
#include "tests/platform/store_test_support.h"

namespace hivora::testing {
namespace {

// ---- The host's files --------------------------------------------------------------------------

TEST(PosixJournalFiles, AppendAfterATornLineStartsAFreshLine) {
    test::TempFolder folder;
    const std::string path = folder / "deep/er/journal.jsonl";
    auto files = makeJournalFiles();
    ASSERT_TRUE(files->appendDurably(path, "one\n"));
    test::writeFile(path, test::readFile(path) + "tor");
    ASSERT_TRUE(files->appendDurably(path, "two\n"));
    EXPECT_EQ(files->read(path).value(), "one\ntor\ntwo\n");
    ASSERT_TRUE(files->replaceDurably(path, "three\n"));
    EXPECT_EQ(files->read(path).value(), "three\n");
    EXPECT_EQ(files->read(folder / "missing").value(), "");
}

// A journal path that is a symbolic link or no regular file is refused by every step, and the
// file it names is left exactly as it was; none of them waits on a FIFO.
TEST(PosixJournalFiles, ALinkOrAnOddFileInTheJournalsPlaceIsRefused) {
    test::TempFolder folder;
    const std::string target = folder / "precious.txt";
    test::writeFile(target, "keep me\n");
    const std::string link = folder / "link.jsonl";
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    const std::string fifo = folder / "fifo.jsonl";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string dangling = folder / "dangling.jsonl";
    ASSERT_EQ(::symlink((folder / "nowhere").c_str(), dangling.c_str()), 0);
    const std::string devZero = folder / "zero.jsonl";
    ASSERT_EQ(::symlink("/dev/zero", devZero.c_str()), 0);
    auto files = makeJournalFiles();
    for (const std::string& path : {link, fifo, dangling, devZero, std::string(folder.path())}) {
        SCOPED_TRACE(path);
        const Result<std::string> read = files->read(path);
        ASSERT_FALSE(read.isOk());
        EXPECT_NE(read.status().message().find("操作记录"), std::string::npos);
        EXPECT_FALSE(files->appendDurably(path, "{}\n").isOk());
        EXPECT_FALSE(files->replaceDurably(path, "{}\n").isOk());
    }
    EXPECT_EQ(test::readFile(target), "keep me\n");
    EXPECT_FALSE(std::filesystem::exists(folder / "nowhere"));
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

// The journal keeps the values a change wrote, a logon password among them: a new journal and
// the folders made for it are for their owner only, and a rewrite keeps that.
TEST(PosixJournalFiles, ANewJournalIsForItsOwnerOnly) {
    test::TempFolder folder;
    const std::string path = folder / "state/hivora/journal.jsonl";
    const mode_t oldMask = ::umask(022);
    auto files = makeJournalFiles();
    const Status appended = files->appendDurably(path, "one\n");
    ::umask(oldMask);
    ASSERT_TRUE(appended);
    const auto modeOf = [](const std::string& p) {
        struct stat st {};
        EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
        return st.st_mode & 0777;
    };
    EXPECT_EQ(modeOf(path), 0600u);
    EXPECT_EQ(modeOf(folder / "state/hivora"), 0700u);
    EXPECT_EQ(modeOf(folder / "state"), 0700u);
    ASSERT_TRUE(files->replaceDurably(path, "two\n"));
    EXPECT_EQ(modeOf(path), 0600u);
}

struct LocationCase {
    const char* name;
    const char* stateHome;  // null: unset
    const char* home;
    const char* expectedPrefix;  // relative to the temporary folder
};

class JournalLocation : public ::testing::TestWithParam<LocationCase> {};

TEST_P(JournalLocation, FollowsXdgStateHomeAndNamesTheStore) {
    const LocationCase& c = GetParam();
    test::TempFolder folder;
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    const char* oldState = std::getenv("XDG_STATE_HOME");
    const std::string savedState = oldState ? oldState : "";
    if (c.stateHome) {
        ::setenv("XDG_STATE_HOME", (folder / c.stateHome).c_str(), 1);
    } else {
        ::unsetenv("XDG_STATE_HOME");
    }
    ::setenv("HOME", (folder / c.home).c_str(), 1);

    const Result<std::string> a = journalPathForStore("/some/where/prefix-one");
    const Result<std::string> b = journalPathForStore("/some/where/prefix-one/");
    const Result<std::string> other = journalPathForStore("/else/prefix-one");

    ::setenv("HOME", oldHome.c_str(), 1);
    if (oldState) {
        ::setenv("XDG_STATE_HOME", savedState.c_str(), 1);
    } else {
        ::unsetenv("XDG_STATE_HOME");
    }
    ASSERT_TRUE(a && b && other);
    EXPECT_EQ(a.value().rfind(folder / c.expectedPrefix, 0), 0u) << a.value();
    EXPECT_NE(a.value().find("prefix-one-"), std::string::npos);
    EXPECT_EQ(a.value(), b.value());
    EXPECT_NE(a.value(), other.value());
    EXPECT_EQ(a.value().find("/some/where"), std::string::npos);  // never inside the store
}

const LocationCase kLocations[] = {
    {"state home", "state", "home", "state/hivora/"},
    {"no state home", nullptr, "home", "home/.local/state/hivora/"},
};
INSTANTIATE_TEST_SUITE_P(Journal, JournalLocation, ::testing::ValuesIn(kLocations),
                         [](const auto& info) { return std::to_string(info.index); });

}  // namespace
}  // namespace hivora::testing
