// The Startup folders of a Wine prefix on disk: found through the shell folders in the registry
// and the prefix's drives, their shortcuts (made by the test writer) listed with target and
// arguments between the registry places and Winlogon, bad files listed as "无法读取", the switch
// through StartupApproved\StartupFolder where Windows honours it, and elsewhere the shortcut kept
// in the backup key while its file moves to the backup folder and back, through undo and redo.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/path_mapping.h"
#include "tests/core/startup_rig.h"
#include "tests/platform/lnk_writer.h"

namespace hivora {
namespace {

constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char kNt[] = "Software\\Microsoft\\Windows NT\\CurrentVersion";
const std::string kOffBytes("\x03\0\0\0\xd4\x0d\x43\x8d\xc8\x3b\xd9\x01", 12);

class FolderRig {
  public:
    FolderRig() {
        const std::string prefix = rig.fixture().folder() + "/prefix";
        m_user = prefix + "/drive_c/users/me/Start Menu/Programs/Startup";
        m_common = prefix + "/drive_c/ProgramData/Start Menu/Programs/StartUp";
        std::filesystem::create_directories(prefix + "/dosdevices");
        std::filesystem::create_directories(m_user);
        std::filesystem::create_directories(m_common);
        std::filesystem::create_directories(prefix + "/drive_c/windows");
        std::filesystem::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
        test::writeFile(prefix + "/drive_c/windows/app.exe", "MZ");
        test::writeFile(m_user + "/App.lnk", test::shortcutBytes("C:\\windows\\app.exe", "--tray"));
        test::writeFile(m_user + "/Gone.lnk", test::shortcutBytes("C:\\gone.exe", ""));
        test::writeFile(m_user + "/empty.lnk", "");
        test::writeFile(m_user + "/notes.txt", "not a shortcut");
        test::writeFile(m_user + "/desktop.ini", "[.ShellClassInfo]");
        test::writeFile(m_common + "/Common.lnk", test::shortcutBytes("C:\\windows\\app.exe", ""));
        rig.put(kHkeyCurrentUser, kShellFolders, "Startup", kRegSz,
                testing::ansiText("C:\\users\\me\\Start Menu\\Programs\\Startup"));
        rig.put(kHkeyLocalMachine, kShellFolders, "Common Startup", kRegSz,
                testing::ansiText("C:\\ProgramData\\Start Menu\\Programs\\StartUp"));
        rig.put(kHkeyCurrentUser, kShellFolders, "AppData", kRegSz,
                testing::ansiText("C:\\users\\me\\AppData\\Roaming"));
        rig.put(kHkeyLocalMachine, kShellFolders, "Common AppData", kRegSz,
                testing::ansiText("C:\\ProgramData"));
        m_userBackup = prefix + "/drive_c/users/me/AppData/Roaming/Hivora/DisabledStartup";
        rig.put(kHkeyCurrentUser, kRunKeyPath, "R", kRegSz, testing::ansiText("r.exe"));
        rig.put(kHkeyLocalMachine, kWinlogonKeyPath, "Shell", kRegSz,
                testing::ansiText("evil.exe"));
        m_paths = makeWinePathMapping(prefix);
        m_files = makeFileSystem();
    }
    void useMachine(bool wine) {
        rig.list().setMachine(StartupMachine{wine, m_files.get(), m_paths.get()});
    }
    std::string userFolder() const { return m_user; }
    std::string userBackup() const { return m_userBackup; }

    testing::StartupRig rig;

  private:
    std::string m_user, m_common, m_userBackup;
    std::unique_ptr<PathMapping> m_paths;
    std::unique_ptr<FileSystem> m_files;
};

struct Shown {
    std::size_t source;
    std::string name, text;
    bool missing;
    bool operator==(const Shown&) const = default;
};

TEST(StartupFolders, ListedInOrderWithTargetsAndUnreadableFiles) {
    FolderRig f;
    f.useMachine(true);
    StartupList& list = f.rig.list();
    list.RefreshStartupList();
    list.markAllRows();
    std::vector<Shown> shown;
    for (const StartupRow& row : list.rows())
        shown.push_back({row.source, row.name, row.text, row.missing});
    const std::vector<Shown> expected{
        {0, "R", "r.exe", false},
        {kUserFolderSource, "App.lnk", "C:\\windows\\app.exe --tray", false},
        {kUserFolderSource, "Gone.lnk", "C:\\gone.exe", true},
        {kUserFolderSource, "empty.lnk", "无法读取", false},
        {kUserFolderSource, "notes.txt", "无法读取", false},
        {kCommonFolderSource, "Common.lnk", "C:\\windows\\app.exe", false},
        {kWinlogonSource, "Shell", "evil.exe", false},
    };
    EXPECT_EQ(shown, expected);

    // A shortcut changed on disk is read again at the next refresh.
    test::writeFile(f.userFolder() + "/App.lnk",
                    test::shortcutBytes("C:\\windows\\app.exe", "--tray --quiet"));
    list.RefreshStartupList();
    EXPECT_EQ(list.rows()[static_cast<std::size_t>(f.rig.rowOf(kUserFolderSource, "App.lnk"))].text,
              "C:\\windows\\app.exe --tray --quiet");
}

// Where the shortcut of App.lnk is after each step, and whether its row says on.
struct FolderStep {
    const char* name;
    std::function<bool(StartupList&, testing::StartupRig&)> act;  // false: the step failed
    bool inStartup, inBackup, valueKept, on;
};

TEST(StartupFolders, UnderWineTheShortcutMovesAndComesBackThroughUndoAndRedo) {
    using R = testing::StartupRig;
    const auto switchApp = [](bool on) {
        return [on](StartupList& list, R& rig) {
            const std::size_t source = on ? kUserFolderSource + 1 : kUserFolderSource;
            return rig.checkOnly(source, "App.lnk") && list.SwitchSelected(on).switched == 1;
        };
    };
    const auto undo = [](StartupList& list, R& rig) {
        const bool done = rig.fixture().undo().result == UndoResult::Done;
        list.RefreshStartupList();  // as the window does when the registry changed
        return done;
    };
    const auto redo = [](StartupList& list, R& rig) {
        const bool done = rig.fixture().redo().result == UndoResult::Done;
        list.RefreshStartupList();
        return done;
    };
    const auto removeApp = [](bool kept) {
        return [kept](StartupList& list, R& rig) {
            const std::size_t source = kept ? kUserFolderSource + 1 : kUserFolderSource;
            return rig.checkOnly(source, "App.lnk") && list.RemoveSelected().removed == 1;
        };
    };
    const FolderStep steps[] = {
        {"SwitchOff", switchApp(false), false, true, true, false},
        {"UndoOff", undo, true, false, false, true},
        {"RedoOff", redo, false, true, true, false},
        {"SwitchOn", switchApp(true), true, false, false, true},
        {"UndoOn", undo, false, true, true, false},
        {"RemoveWhileOff", removeApp(true), false, false, false, false},
        {"UndoRemove", undo, false, true, true, false},
        {"SwitchOnAgain", switchApp(true), true, false, false, true},
        // Removed from the folder: kept first (an action of its own), then removed as kept.
        {"RemoveWhileOn", removeApp(false), false, false, false, false},
        {"UndoRemoveLeavesItKept", undo, false, true, true, false},
        {"UndoKeepPutsItBack", undo, true, false, false, true},
    };
    FolderRig f;
    f.useMachine(true);
    StartupList& list = f.rig.list();
    list.RefreshStartupList();
    const std::string bytes = test::shortcutBytes("C:\\windows\\app.exe", "--tray");
    const char* key = startupSources()[kUserFolderSource + 1].keyPath;
    for (const FolderStep& step : steps) {
        ASSERT_TRUE(step.act(list, f.rig)) << step.name;
        EXPECT_EQ(std::filesystem::exists(f.userFolder() + "/App.lnk"), step.inStartup)
            << step.name;
        EXPECT_EQ(std::filesystem::exists(f.userBackup() + "/App.lnk"), step.inBackup) << step.name;
        const ValueState kept = f.rig.stored(kHkeyCurrentUser, key, "App.lnk");
        EXPECT_EQ(kept.present, step.valueKept) << step.name;
        if (kept.present) {
            EXPECT_EQ(kept, (ValueState{true, kRegBinary, bytes})) << step.name;
        }
        if (step.inStartup || step.inBackup) {
            const std::string folder = step.inStartup ? f.userFolder() : f.userBackup();
            EXPECT_EQ(test::readFile(folder + "/App.lnk"), bytes) << step.name;
        }
        const int live = f.rig.rowOf(kUserFolderSource, "App.lnk");
        const int off = f.rig.rowOf(kUserFolderSource + 1, "App.lnk");
        if (step.inStartup || step.valueKept) {
            ASSERT_GE(step.on ? live : off, 0) << step.name;
            const StartupRow& row = list.rows()[static_cast<std::size_t>(step.on ? live : off)];
            EXPECT_EQ(row.on, step.on) << step.name;
            EXPECT_EQ(row.text, "C:\\windows\\app.exe --tray") << step.name;
        }
        EXPECT_EQ(step.on ? off : live, -1) << step.name << ": listed twice";
    }
}

TEST(StartupFolders, AShortcutThatCannotMoveIsRefusedAndLeftWhereItIs) {
    FolderRig f;
    f.useMachine(true);
    StartupList& list = f.rig.list();
    list.RefreshStartupList();
    const char* key = startupSources()[kUserFolderSource + 1].keyPath;
    const std::string other = test::shortcutBytes("C:\\other.exe", "");

    // The backup key already holds a shortcut of the name: nothing is written or moved.
    f.rig.put(kHkeyCurrentUser, key, "Gone.lnk", kRegBinary, other);
    list.RefreshStartupList();
    ASSERT_TRUE(f.rig.checkOnly(kUserFolderSource, "Gone.lnk"));
    EXPECT_EQ(list.SwitchSelected(false).failed, 1);
    EXPECT_TRUE(std::filesystem::exists(f.userFolder() + "/Gone.lnk"));
    EXPECT_EQ(f.rig.stored(kHkeyCurrentUser, key, "Gone.lnk").data, other);
    // ... and the kept one cannot come back over the file in the Startup folder.
    ASSERT_TRUE(f.rig.checkOnly(kUserFolderSource + 1, "Gone.lnk"));
    EXPECT_EQ(list.SwitchSelected(true).failed, 1);
    EXPECT_EQ(test::readFile(f.userFolder() + "/Gone.lnk"),
              test::shortcutBytes("C:\\gone.exe", ""));

    // A kept value whose name would leave the backup folder writes no file anywhere.
    f.rig.put(kHkeyCurrentUser, key, "..\\..\\evil.lnk", kRegBinary, other);
    list.RefreshStartupList();
    EXPECT_FALSE(std::filesystem::exists(f.userBackup() + "/../../evil.lnk"));
    // ... and deleting such a row, or switching it on, touches no file outside the folders.
    const std::string victim = f.userBackup() + "/../victim.lnk";
    std::filesystem::create_directories(f.userBackup());
    test::writeFile(victim, other);
    f.rig.put(kHkeyCurrentUser, key, "../victim.lnk", kRegBinary, other);
    list.RefreshStartupList();
    ASSERT_TRUE(f.rig.checkOnly(kUserFolderSource + 1, "../victim.lnk"));
    EXPECT_EQ(list.SwitchSelected(true).failed, 1);
    ASSERT_TRUE(f.rig.checkOnly(kUserFolderSource + 1, "../victim.lnk"));
    EXPECT_EQ(list.RemoveSelected().removed, 1);
    EXPECT_EQ(test::readFile(victim), other);

    // Without an application-data folder in the registry there is nowhere to keep the file.
    f.rig.put(kHkeyCurrentUser, kShellFolders, "AppData", kRegSz, testing::ansiText(""));
    list.RefreshStartupList();
    ASSERT_TRUE(f.rig.checkOnly(kUserFolderSource, "App.lnk"));
    const SwitchOutcome refused = list.SwitchSelected(false);
    EXPECT_EQ(refused.failed, 1);
    EXPECT_NE(refused.status.message().find("AppData"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(f.userFolder() + "/App.lnk"));
}

TEST(StartupFolders, SwitchedThroughStartupApprovedOnWindows10) {
    FolderRig f;
    f.rig.put(kHkeyLocalMachine, kNt, "CurrentVersion", kRegSz, testing::ansiText("6.3"));
    f.rig.put(kHkeyLocalMachine, kNt, "CurrentBuildNumber", kRegSz, testing::ansiText("19045"));
    f.useMachine(false);
    StartupList& list = f.rig.list();
    list.RefreshStartupList();
    EXPECT_EQ(list.switchRule(), StartupSwitchRule::Approved);
    ASSERT_TRUE(f.rig.checkOnly(kUserFolderSource, "App.lnk"));
    EXPECT_EQ(list.SwitchSelected(false).switched, 1);
    const char* approved = startupSources()[kUserFolderSource].approvedKeyPath;
    EXPECT_EQ(f.rig.stored(kHkeyCurrentUser, approved, "App.lnk"),
              (ValueState{true, kRegBinary, kOffBytes}));
    EXPECT_FALSE(
        list.rows()[static_cast<std::size_t>(f.rig.rowOf(kUserFolderSource, "App.lnk"))].on);
    EXPECT_TRUE(std::filesystem::exists(f.userFolder() + "/App.lnk"));
    ASSERT_EQ(f.rig.fixture().undo().result, UndoResult::Done);
    EXPECT_FALSE(f.rig.stored(kHkeyCurrentUser, approved, "App.lnk").present);

    // Removed while switched off: the file and its approved value go, and two undos bring the
    // shortcut back into its folder, still switched off.
    ASSERT_EQ(f.rig.fixture().redo().result, UndoResult::Done);
    list.RefreshStartupList();
    ASSERT_TRUE(f.rig.checkOnly(kUserFolderSource, "App.lnk"));
    EXPECT_EQ(list.RemoveSelected().removed, 1);
    EXPECT_FALSE(std::filesystem::exists(f.userFolder() + "/App.lnk"));
    EXPECT_FALSE(f.rig.stored(kHkeyCurrentUser, approved, "App.lnk").present);
    EXPECT_EQ(f.rig.rowOf(kUserFolderSource, "App.lnk"), -1);
    // The window has the files follow each undo, on whatever page it shows.
    for (int k = 0; k < 2; ++k) {
        ASSERT_EQ(f.rig.fixture().undo().result, UndoResult::Done);
        EXPECT_TRUE(list.followBackupKeys());
    }
    list.RefreshStartupList();
    EXPECT_TRUE(std::filesystem::exists(f.userFolder() + "/App.lnk"));
    EXPECT_EQ(f.rig.stored(kHkeyCurrentUser, approved, "App.lnk"),
              (ValueState{true, kRegBinary, kOffBytes}));
    const int row = f.rig.rowOf(kUserFolderSource, "App.lnk");
    ASSERT_GE(row, 0);
    EXPECT_FALSE(list.rows()[static_cast<std::size_t>(row)].on);
}

}  // namespace
}  // namespace hivora
