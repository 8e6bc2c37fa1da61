// The Startup folders of a Wine prefix on disk: found through the shell folders in the registry
// and the prefix's drives, their shortcuts (made by the test writer) listed with target and
// arguments between the registry places and Winlogon, bad files listed as "无法读取", and the
// switch through StartupApproved\StartupFolder where Windows honours it.

#include <gtest/gtest.h>

#include <filesystem>
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

    testing::StartupRig rig;

  private:
    std::string m_user, m_common;
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

    // Under Wine a shortcut is neither switched off nor deleted, and stays as it was.
    ASSERT_TRUE(f.rig.checkOnly(kUserFolderSource, "App.lnk"));
    EXPECT_EQ(list.SwitchSelected(false).failed, 1);
    ASSERT_TRUE(f.rig.checkOnly(kUserFolderSource, "App.lnk"));
    EXPECT_EQ(list.RemoveSelected().failed, 1);
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
}

}  // namespace
}  // namespace hivora
