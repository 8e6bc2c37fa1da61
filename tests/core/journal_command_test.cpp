// `--history`, `--undo` and `--redo`: the options, and the commands run against a store and its
// journal without a display.

#include "app/journal_command.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>

#include "platform/posix/durable_file.h"
#include "platform/posix/file_store.h"
#include "tests/core/journal_fixture.h"
#include "tests/platform/fake_wineserver.h"

namespace hivora::testing {
namespace {

TEST(JournalOptions, ParseAndRefuse) {
    struct Case {
        std::vector<std::string> args;
        bool history, undo, redo, error;
    } cases[] = {
        {{"--history"}, true, false, false, false},
        {{"--undo", "--prefix", "/p"}, false, true, false, false},
        {{"--redo", "--code-page", "936"}, false, false, true, false},
        {{"--history", "--undo"}, false, false, false, true},
        {{"--undo", "--redo"}, false, false, false, true},
        {{"--redo", "--history"}, false, false, false, true},
        {{"--undo", "--undo"}, false, true, false, false},
        {{"--histroy"}, false, false, false, true},
    };
    for (const Case& c : cases) {
        const ParsedOptions parsed = parseOptions(c.args);
        EXPECT_EQ(!parsed.error.empty(), c.error) << c.args[0];
        if (c.error) continue;
        EXPECT_EQ(parsed.options.showHistory, c.history);
        EXPECT_EQ(parsed.options.undoLatest, c.undo);
        EXPECT_EQ(parsed.options.redoLatest, c.redo);
        EXPECT_TRUE(isJournalCommand(parsed.options));
    }
    EXPECT_FALSE(isJournalCommand(parseOptions({}).options));
    EXPECT_NE(std::string(kUsageText).find("--redo"), std::string::npos);
}

// The journal of a fixture's store put where the commands look for it, under a private
// XDG_STATE_HOME; the variable is restored at the end.
class CommandLine : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_STATE_HOME");
        m_hadState = old != nullptr;
        if (old) m_oldState = old;
        ::setenv("XDG_STATE_HOME", m_state.path().c_str(), 1);
        seedUsersRegistry(m_fixture.store());
        // The commands prune entries older than a year by the real clock.
        m_fixture.setNow(static_cast<std::int64_t>(std::time(nullptr)));
    }
    void TearDown() override {
        if (m_hadState) {
            ::setenv("XDG_STATE_HOME", m_oldState.c_str(), 1);
        } else {
            ::unsetenv("XDG_STATE_HOME");
        }
    }
    void publishJournal() {
        const std::string path = journalPathForStore(m_fixture.folder()).value();
        ASSERT_TRUE(makeFolders(path.substr(0, path.rfind('/'))));
        test::writeFile(path, m_fixture.memoryFiles().file(kJournalPath));
    }
    // Runs the command `which` (&Options::showHistory, undoLatest or redoLatest).
    int command(bool Options::*which, std::string* out = nullptr, std::string* err = nullptr) {
        Options options;
        options.storeDirectory = m_fixture.folder();
        options.*which = true;
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        const int status = runJournalCommand(options);
        const std::string o = ::testing::internal::GetCapturedStdout();
        const std::string e = ::testing::internal::GetCapturedStderr();
        if (out) *out = o;
        if (err) *err = e;
        return status;
    }
    ValueState noNetHood() {
        m_fixture.reopen();
        return readValueState(m_fixture.view(), kHkeyCurrentUser, locations::kExplorerPolicies,
                              "NoNetHood")
            .value();
    }

    test::TempFolder m_state;
    JournalFixture m_fixture;
    bool m_hadState = false;
    std::string m_oldState;
};

TEST_F(CommandLine, UndoWalksBackRedoComesForwardHistoryShowsWhich) {
    ASSERT_TRUE(m_fixture.run(CataloguePage::HideShow, 2, RowButton::Set).status);
    ASSERT_TRUE(m_fixture.run(CataloguePage::HideShow, 4, RowButton::Set).status);
    publishJournal();
    const std::string second(pageCatalogue(CataloguePage::HideShow).rows[4].caption);
    ASSERT_TRUE(noNetHood().present);

    std::string out, err;
    EXPECT_EQ(command(&Options::undoLatest, &out), 0);  // the second action
    EXPECT_EQ(out, std::string(kUndoDoneText) + "\n");
    EXPECT_TRUE(noNetHood().present);
    EXPECT_EQ(command(&Options::undoLatest), 0);  // then the first
    EXPECT_FALSE(noNetHood().present);
    EXPECT_EQ(command(&Options::undoLatest, nullptr, &err), 1);
    EXPECT_NE(err.find(kNothingToUndoText), std::string::npos) << err;
    EXPECT_EQ(command(&Options::redoLatest, &out), 0);  // the first comes back
    EXPECT_EQ(out, std::string(kRedoDoneText) + "\n");
    EXPECT_TRUE(noNetHood().present);

    ASSERT_EQ(command(&Options::showHistory, &out), 0);
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(out.substr(at, end - at));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].rfind("5\t", 0), 0u);
    EXPECT_NE(lines[0].find("\t重做：隐藏\"网上邻居\"\t"), std::string::npos) << lines[0];
    EXPECT_NE(lines[2].find("\t撤销：" + second + "\t"), std::string::npos) << lines[2];
    EXPECT_EQ(lines[3].substr(lines[3].size() - 10), "\t已撤销");  // the second action
    EXPECT_NE(lines[4].find("NoNetHood：（无） → 1"), std::string::npos) << lines[4];
    for (int i : {0, 1, 2, 4}) EXPECT_EQ(lines[i].find("已撤销"), std::string::npos) << lines[i];
}

TEST_F(CommandLine, FailuresSayWhyInChineseWithANonZeroStatus) {
    std::string err;
    EXPECT_EQ(command(&Options::undoLatest, nullptr, &err), 1);
    EXPECT_NE(err.find(kNothingToUndoText), std::string::npos);
    EXPECT_EQ(command(&Options::redoLatest, nullptr, &err), 1);
    EXPECT_NE(err.find(kNothingToRedoText), std::string::npos);

    ASSERT_TRUE(m_fixture.run(CataloguePage::HideShow, 2, RowButton::Set).status);
    publishJournal();
    putValue(m_fixture.store(), kHkeyCurrentUser, locations::kExplorerPolicies, "NoNetHood",
             kRegDword, std::string("\x09\0\0\0", 4));
    ASSERT_TRUE(m_fixture.store().flush());
    EXPECT_EQ(command(&Options::undoLatest, nullptr, &err), 1);  // changed since: not overwritten
    EXPECT_NE(err.find("NoNetHood：现在 9，操作后 1"), std::string::npos) << err;
    EXPECT_EQ(noNetHood().data, std::string("\x09\0\0\0", 4));
}

// --history only reads: a journal it could prune (an entry over a year old, lines it does not
// understand) and a crashed save's temporary file in the store stay byte for byte, time stamps
// too. A journal path that is a link is refused, and the file it names is untouched.
TEST_F(CommandLine, HistoryWritesNothing) {
    m_fixture.setNow(static_cast<std::int64_t>(std::time(nullptr)) - 2 * kJournalKeepSeconds);
    ASSERT_TRUE(m_fixture.run(CataloguePage::HideShow, 2, RowButton::Set).status);
    m_fixture.setNow(static_cast<std::int64_t>(std::time(nullptr)));
    ASSERT_TRUE(m_fixture.run(CataloguePage::HideShow, 4, RowButton::Set).status);
    m_fixture.memoryFiles().file(kJournalPath) += "not understood\n{\"id\":";
    publishJournal();
    const std::string path = journalPathForStore(m_fixture.folder()).value();
    const std::string leftover = m_fixture.folder() + "/.user.reg.hivora-1-1.tmp";
    test::writeFile(leftover, "half");
    const std::string before = test::readFile(path);
    const FileStamp stamp = stampOf(path);

    std::string out;
    EXPECT_EQ(command(&Options::showHistory, &out), 0);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2);
    EXPECT_EQ(test::readFile(path), before);
    EXPECT_EQ(stampOf(path), stamp);
    EXPECT_TRUE(stampOf(leftover).exists);

    const std::string target = m_fixture.folder() + "/precious.txt";
    test::writeFile(target, before);
    ASSERT_EQ(::unlink(path.c_str()), 0);
    ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0);
    std::string err;
    EXPECT_EQ(command(&Options::showHistory, nullptr, &err), 1);
    EXPECT_NE(err.find("符号链接"), std::string::npos) << err;
    EXPECT_EQ(command(&Options::undoLatest, nullptr, &err), 1);
    EXPECT_EQ(test::readFile(target), before);
}

// While Wine runs for the prefix, --history reads with a note on standard error; --undo, which
// would write, is refused as before.
TEST_F(CommandLine, HistoryRunsWhileWineRunsWithANote) {
    ASSERT_TRUE(m_fixture.run(CataloguePage::HideShow, 2, RowButton::Set).status);
    publishJournal();
    test::TempFolder temp;
    const char* oldTemp = std::getenv("TMPDIR");
    const std::string savedTemp = oldTemp ? oldTemp : "";
    ::setenv("TMPDIR", temp.path().c_str(), 1);
    std::optional<test::FakeWineserver> server = test::FakeWineserver::forPrefix(m_fixture.folder());

    std::string out, err;
    EXPECT_EQ(command(&Options::showHistory, &out, &err), 0);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
    EXPECT_NE(err.find("Wine 正在使用前缀"), std::string::npos) << err;
    EXPECT_EQ(command(&Options::undoLatest, nullptr, &err), 1);
    EXPECT_NE(err.find("没有写入任何内容"), std::string::npos) << err;
    EXPECT_TRUE(noNetHood().present);
    server.reset();
    if (oldTemp) {
        ::setenv("TMPDIR", savedTemp.c_str(), 1);
    } else {
        ::unsetenv("TMPDIR");
    }
}

// A --prefix that does not exist is an error naming it, for every command.
TEST(CommandLinePrefix, AMissingPrefixIsAnErrorNamingIt) {
    test::TempFolder temp;
    for (bool Options::*which : {&Options::showHistory, &Options::undoLatest, &Options::redoLatest}) {
        Options options;
        options.storeDirectory = temp / "no-such-prefix";
        options.*which = true;
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(runJournalCommand(options), 1);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(options.storeDirectory + " 不存在"), std::string::npos) << err;
        EXPECT_FALSE(std::filesystem::exists(options.storeDirectory));
    }
}

// Without --prefix the commands work on the private store and its journal. HOME and the XDG
// folders point into a temporary folder for the test and are restored after it.
class PrivateStore : public ::testing::Test {
  protected:
    static constexpr const char* kVariables[] = {"HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"};

    void SetUp() override {
        for (const char* name : kVariables) {
            const char* value = std::getenv(name);
            m_saved.emplace_back(value != nullptr, value ? value : "");
        }
        seedUsersRegistry(m_fixture.store());
        m_fixture.setNow(static_cast<std::int64_t>(std::time(nullptr)));
    }
    void TearDown() override {
        for (std::size_t i = 0; i < m_saved.size(); ++i) {
            if (m_saved[i].first) {
                ::setenv(kVariables[i], m_saved[i].second.c_str(), 1);
            } else {
                ::unsetenv(kVariables[i]);
            }
        }
    }

    // Puts the fixture's store files and journal where the private store and its journal are
    // found from the environment now set.
    void publishAsPrivateStore() {
        const std::string folder = defaultStoreDirectory();
        ASSERT_EQ(folder.rfind(m_home.path(), 0), 0u) << folder;
        ASSERT_TRUE(makeFolders(folder));
        for (const auto& [name, text] : m_fixture.hiveFiles())
            if (!text.empty()) test::writeFile(folder + "/" + name, text);
        const std::string journal = journalPathForStore(folder).value();
        ASSERT_EQ(journal.rfind(m_home.path(), 0), 0u) << journal;
        ASSERT_TRUE(makeFolders(journal.substr(0, journal.rfind('/'))));
        test::writeFile(journal, m_fixture.memoryFiles().file(kJournalPath));
    }
    int command(bool Options::*which, std::string* out = nullptr) {
        Options options;  // no --prefix
        options.*which = true;
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        const int status = runJournalCommand(options);
        const std::string o = ::testing::internal::GetCapturedStdout();
        (void)::testing::internal::GetCapturedStderr();
        if (out) *out = o;
        return status;
    }

    test::TempFolder m_home;
    JournalFixture m_fixture;
    std::vector<std::pair<bool, std::string>> m_saved;
};

TEST_F(PrivateStore, HistoryAndUndoUseThePrivateStoresJournal) {
    const struct {
        const char* name;
        bool xdg;  // XDG_DATA_HOME and XDG_STATE_HOME set; otherwise the folders below HOME
    } cases[] = {{"XdgFolders", true}, {"HomeFolders", false}};
    ASSERT_TRUE(m_fixture.run(CataloguePage::HideShow, 2, RowButton::Set).status);
    const auto untouched = m_fixture.hiveFiles();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string home = m_home / c.name;
        ::setenv("HOME", home.c_str(), 1);
        if (c.xdg) {
            ::setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
            ::setenv("XDG_STATE_HOME", (home + "/state").c_str(), 1);
        } else {
            ::unsetenv("XDG_DATA_HOME");
            ::unsetenv("XDG_STATE_HOME");
        }
        publishAsPrivateStore();
        const std::string privateUser = defaultStoreDirectory() + "/user.reg";
        ASSERT_NE(test::readFile(privateUser).find("NoNetHood"), std::string::npos);

        std::string out;
        ASSERT_EQ(command(&Options::showHistory, &out), 0);
        EXPECT_NE(out.find("\t隐藏\"网上邻居\"\t"), std::string::npos) << out;
        EXPECT_EQ(command(&Options::undoLatest, &out), 0);
        EXPECT_EQ(out, std::string(kUndoDoneText) + "\n");
        EXPECT_EQ(test::readFile(privateUser).find("NoNetHood"), std::string::npos);
        ASSERT_EQ(command(&Options::showHistory, &out), 0);
        EXPECT_NE(out.find("\t撤销：隐藏\"网上邻居\"\t"), std::string::npos) << out;
        EXPECT_EQ(m_fixture.hiveFiles(), untouched);  // the store the journal came from
    }
}

}  // namespace
}  // namespace hivora::testing
