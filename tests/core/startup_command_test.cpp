// `--startup`, `--startup-off NAME` and `--startup-on NAME` against a store on disk, without a
// display: the printed table, the switch recorded so that `--undo` takes it back, and refusals.

#include "app/startup_command.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "app/journal_command.h"
#include "tests/core/startup_rig.h"
#include "tests/platform/lnk_writer.h"

namespace hivora::testing {
namespace {

TEST(StartupOptions, ParseAndRefuse) {
    struct Case {
        std::vector<std::string> args;
        bool list;
        std::string off, on;
        bool error;
    } cases[] = {
        {{"--startup"}, true, "", "", false},
        {{"--startup-off", "Tray"}, false, "Tray", "", false},
        {{"--prefix", "/p", "--startup-on", "A B"}, false, "", "A B", false},
        {{"--startup-off"}, false, "", "", true},
        {{"--startup-on", ""}, false, "", "", true},
        {{"--startup", "--startup-on", "x"}, false, "", "", true},
    };
    for (const Case& c : cases) {
        const ParsedOptions parsed = parseOptions(c.args);
        EXPECT_EQ(!parsed.error.empty(), c.error) << c.args[0];
        if (c.error) continue;
        EXPECT_EQ(parsed.options.listStartup, c.list);
        EXPECT_EQ(parsed.options.startupOff, c.off);
        EXPECT_EQ(parsed.options.startupOn, c.on);
        EXPECT_TRUE(isStartupCommand(parsed.options));
    }
    EXPECT_FALSE(isStartupCommand(parseOptions({"--status"}).options));
}

class StartupCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_STATE_HOME");
        m_hadState = old != nullptr;
        if (old) m_oldState = old;
        ::setenv("XDG_STATE_HOME", m_state.path().c_str(), 1);
        // The commands prune journal entries older than a year by the real clock.
        m_rig.fixture().setNow(static_cast<std::int64_t>(std::time(nullptr)));
    }
    void TearDown() override {
        if (m_hadState) {
            ::setenv("XDG_STATE_HOME", m_oldState.c_str(), 1);
        } else {
            ::unsetenv("XDG_STATE_HOME");
        }
    }
    int run(Options options, std::string* out = nullptr, std::string* err = nullptr) {
        options.storeDirectory = m_rig.fixture().folder();
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        const int status =
            isStartupCommand(options) ? runStartupCommand(options) : runJournalCommand(options);
        const std::string o = ::testing::internal::GetCapturedStdout();
        const std::string e = ::testing::internal::GetCapturedStderr();
        if (out) *out = o;
        if (err) *err = e;
        return status;
    }
    std::string table() {
        Options options;
        options.listStartup = true;
        std::string out;
        EXPECT_EQ(run(options, &out), 0);
        return out;
    }
    static Options switching(bool on, std::string name) {
        Options options;
        (on ? options.startupOn : options.startupOff) = std::move(name);
        return options;
    }

    test::TempFolder m_state;
    StartupRig m_rig;
    bool m_hadState = false;
    std::string m_oldState;
};

TEST_F(StartupCommand, ListSwitchUndo) {
    const StartupSource& userRun = startupSources()[0];
    const StartupSource& once = startupSources()[6];
    m_rig.put(userRun.root, userRun.keyPath, "Tray", kRegSz, ansiText("C:\\tray.exe\t/q"));
    m_rig.put(once.root, once.keyPath, "Once", kRegExpandSz, ansiText("setup.exe"));
    const std::string before = table();
    EXPECT_EQ(before,
              "HKCU\\Run\tTray\tC:\\tray.exe /q\ton\tmissing\n"
              "HKLM\\RunOnce\tOnce\tsetup.exe\ton\tok\n");

    std::string out, err;
    EXPECT_EQ(run(switching(false, "tray"), &out), 0);
    EXPECT_EQ(out, "已设置！\n");
    EXPECT_EQ(table(),
              "HKCU\\Run\tTray\tC:\\tray.exe /q\toff\tmissing\n"
              "HKLM\\RunOnce\tOnce\tsetup.exe\ton\tok\n");
    EXPECT_EQ(run(switching(false, "Tray"), &out), 0);
    EXPECT_EQ(out, "已是禁用状态。\n");
    EXPECT_EQ(run(switching(true, "Nope"), nullptr, &err), 1);
    EXPECT_NE(err.find("没有名为“Nope”的启动项。"), std::string::npos) << err;

    Options undo;
    undo.undoLatest = true;
    EXPECT_EQ(run(undo), 0);
    EXPECT_EQ(table(), before);
    EXPECT_EQ(run(switching(false, "Once")), 0);
    EXPECT_EQ(run(switching(true, "Once")), 0);
    EXPECT_EQ(table(), before);
}

// A shortcut of a Wine prefix's Startup folder: switched off from the command line, its file is
// back at once after `--undo` and away again after `--redo`, as in the window.
TEST_F(StartupCommand, ShortcutFollowsUndoAndRedo) {
    namespace fs = std::filesystem;
    const std::string prefix = m_rig.fixture().folder();
    const std::string startup = prefix + "/drive_c/users/me/Startup";
    const std::string backup = prefix + "/drive_c/users/me/AppData/Hivora/DisabledStartup";
    fs::create_directories(startup);
    fs::create_directories(prefix + "/dosdevices");
    fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    const std::string bytes = test::shortcutBytes("C:\\a.exe", "-q");
    test::writeFile(startup + "/A.lnk", bytes);
    const char* shellFolders =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    m_rig.put(kHkeyCurrentUser, shellFolders, "Startup", kRegSz,
              ansiText("C:\\users\\me\\Startup"));
    m_rig.put(kHkeyCurrentUser, shellFolders, "AppData", kRegSz,
              ansiText("C:\\users\\me\\AppData"));

    EXPECT_EQ(run(switching(false, "A.lnk")), 0);
    EXPECT_FALSE(fs::exists(startup + "/A.lnk"));
    EXPECT_EQ(test::readFile(backup + "/A.lnk"), bytes);
    EXPECT_EQ(table(), "启动文件夹（用户）\tA.lnk\tC:\\a.exe -q\toff\tmissing\n");

    Options undo;
    undo.undoLatest = true;
    EXPECT_EQ(run(undo), 0);
    EXPECT_EQ(test::readFile(startup + "/A.lnk"), bytes);
    EXPECT_FALSE(fs::exists(backup + "/A.lnk"));
    Options redo;
    redo.redoLatest = true;
    EXPECT_EQ(run(redo), 0);
    EXPECT_FALSE(fs::exists(startup + "/A.lnk"));
    EXPECT_EQ(test::readFile(backup + "/A.lnk"), bytes);
}

}  // namespace
}  // namespace hivora::testing
