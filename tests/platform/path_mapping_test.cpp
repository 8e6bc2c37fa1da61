// Windows paths and host paths through a temporary Wine prefix with drive links, and the rows
// that write or find paths when the store is such a prefix.

#include "platform/path_mapping.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "core/catalogue/logon_page.h"
#include "core/catalogue/system_info_page.h"
#include "platform/platform_services.h"
#include "tests/core/catalogue_harness.h"
#include "tests/platform/store_test_support.h"

namespace hivora {
namespace {

namespace fs = std::filesystem;
using testing::CatalogueHarness;

// A prefix with C: on its drive_c, D: on a folder beside it and Z: on the root; the names on
// disk are in mixed case, as Wine's own are.
class WinePrefix : public ::testing::Test {
  protected:
    void SetUp() override {
        m_root = fs::canonical(m_temp.path()).string();
        m_prefix = m_root + "/prefix";
        for (const char* folder :
             {"/prefix/drive_c/windows/system32", "/prefix/drive_c/users/Me/Pictures",
              "/prefix/dosdevices", "/data/Docs"}) {
            fs::create_directories(m_root + folder);
        }
        test::writeFile(m_prefix + "/drive_c/windows/system32/browseui.dll", "MZ");
        test::writeFile(m_prefix + "/drive_c/users/Me/Pictures/Sea.bmp", "BM");
        fs::create_directory_symlink("../drive_c", m_prefix + "/dosdevices/c:");
        fs::create_directory_symlink(m_root + "/data", m_prefix + "/dosdevices/d:");
        fs::create_directory_symlink("/", m_prefix + "/dosdevices/z:");
        // A device link, which names no drive.
        fs::create_symlink("/dev/null", m_prefix + "/dosdevices/c::");
        m_mapping = makeWinePathMapping(m_prefix);
    }

    std::string drive(const std::string& rest) const { return m_prefix + "/drive_c" + rest; }

    test::TempFolder m_temp;
    std::string m_root;
    std::string m_prefix;
    std::unique_ptr<PathMapping> m_mapping;
};

TEST_F(WinePrefix, WindowsPathsFindTheirHostFilesIgnoringCase) {
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\WINDOWS\\SYSTEM32\\BROWSEUI.DLL", drive("/windows/system32/browseui.dll")},
        {"c:/users/me/pictures/sea.bmp", drive("/users/Me/Pictures/Sea.bmp")},
        {"C:\\windows\\..\\Users\\.\\ME", drive("/users/Me")},
        // The first missing name and all after it stay as given.
        {"C:\\Windows\\New\\Sea.BMP", drive("/windows/New/Sea.BMP")},
        {"D:\\docs", m_root + "/data/Docs"},
        {"C:\\", drive("")},
        {"Z:" + m_root + "/data", m_root + "/data"},
        // No such drive, and paths that are no drive paths, stay as they are.
        {"Q:\\x", "Q:\\x"},
        {"/home/me", "/home/me"},
        {"\\\\server\\share", "\\\\server\\share"},
        {"", ""},
    };
    for (const auto& [windows, host] : cases)
        EXPECT_EQ(m_mapping->hostPath(windows), host) << windows;
}

TEST_F(WinePrefix, HostPathsGetTheWindowsPathWineGives) {
    const std::pair<std::string, std::string> cases[] = {
        {drive("/users/Me/Pictures/Sea.bmp"), "C:\\users\\Me\\Pictures\\Sea.bmp"},
        {m_prefix + "/dosdevices/c:/windows", "C:\\windows"},
        {drive(""), "C:\\"},
        {m_root + "/data/Docs/new file.txt", "D:\\Docs\\new file.txt"},
        {"/usr/share/", "Z:\\usr\\share"},
        {"/", "Z:\\"},
        {"C:\\already", "C:\\already"},
        {"relative/path", "relative/path"},
    };
    for (const auto& [host, windows] : cases)
        EXPECT_EQ(m_mapping->windowsPath(host), windows) << host;
}

// A drive covers only whole folder names ("/data" does not cover "/database"), and of several
// drives on one folder the lowest letter names it, whatever order the links are listed in.
TEST_F(WinePrefix, DrivesCoverWholeFoldersAndTheLowestLetterWins) {
    fs::create_directories(m_root + "/database");
    for (const char* letter : {"y:", "k:", "e:", "x:", "g:", "w:"})
        fs::create_directory_symlink(m_root + "/data", m_prefix + "/dosdevices/" + letter);
    std::string rootInWindows = m_root;
    std::replace(rootInWindows.begin(), rootInWindows.end(), '/', '\\');
    const std::pair<std::string, std::string> cases[] = {
        {m_root + "/data/Docs", "D:\\Docs"},
        {m_root + "/data", "D:\\"},
        {m_root + "/database/x", "Z:" + rootInWindows + "\\database\\x"},
        {m_prefix + "/drive_cx", "Z:" + rootInWindows + "\\prefix\\drive_cx"},
    };
    for (const auto& [host, windows] : cases)
        EXPECT_EQ(m_mapping->windowsPath(host), windows) << host;
}

TEST_F(WinePrefix, WithoutARootDriveWineNamesTheHostPathItself) {
    fs::remove(m_prefix + "/dosdevices/z:");
    EXPECT_EQ(m_mapping->windowsPath("/usr/share"), "\\\\?\\unix\\usr\\share");
    EXPECT_EQ(makeWinePathMapping(m_root + "/no-prefix")->windowsPath("/usr"), "\\\\?\\unix\\usr");
}

// The services made for a store agree with it: a prefix has Wine's folders, the private store
// has paths as they are and no system folder.
TEST_F(WinePrefix, PlatformServicesFollowTheStore) {
    const PlatformServices prefix = makePlatformServices(m_prefix);
    EXPECT_EQ(prefix.systemDirectory->GetSystemDirectoryA(), "C:\\windows\\system32");
    EXPECT_EQ(prefix.paths->windowsPath(drive("/users")), "C:\\users");
    const PlatformServices own = makePlatformServices("");
    EXPECT_EQ(own.systemDirectory->GetSystemDirectoryA(), "");
    EXPECT_EQ(own.paths->windowsPath(drive("/users")), drive("/users"));
    EXPECT_EQ(own.secrets->place(), PasswordPlace::Nowhere);
}

// ---- Rows writing into the prefix ----

class RowsInAPrefix : public WinePrefix {
  protected:
    void SetUp() override {
        WinePrefix::SetUp();
        m_systemFolder.folder = "C:\\windows\\system32";
        m_services = std::make_unique<CatalogueServices>(CatalogueServices{
            m_harness.layer(), m_harness.framework(), *m_hostFiles, m_harness.services().refresher,
            m_mapping.get(), &m_systemFolder, nullptr, nullptr});
    }

    CatalogueHarness m_harness;
    std::unique_ptr<FileSystem> m_hostFiles = makeFileSystem();
    testing::FixedSystemFolder m_systemFolder;
    std::unique_ptr<CatalogueServices> m_services;
};

TEST_F(RowsInAPrefix, PickedHostFilesAreWrittenAsWindowsPaths) {
    const std::string picture = drive("/users/Me/Pictures/Sea.bmp");
    const std::string outside = m_root + "/data/Docs";
    m_harness.script({{"1"}, {}, {picture}});
    (void)runRowAction(*m_services, CataloguePage::Desktop, 7, RowButton::Set);
    (void)runSysDirApply(*m_services, 0, outside);

    const std::string system = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
    EXPECT_EQ(m_harness.text(kHkeyCurrentUser, system, "Wallpaper"),
              "C:\\users\\Me\\Pictures\\Sea.bmp");
    EXPECT_EQ(
        m_harness.text(kHkeyCurrentUser,
                       "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                       "Personal"),
        "D:\\Docs");
}

TEST_F(RowsInAPrefix, StoredWindowsPathsAreFoundOnTheHost) {
    // The address bar's library is found whatever its case on disk.
    EXPECT_EQ(runRowAction(*m_services, CataloguePage::BrowserProperties, 4, RowButton::Set).shown,
              OutcomeMessage::SetDone);

    ASSERT_TRUE(m_harness.layer().SetRegString(kHkeyUsers, ".DEFAULT\\Control Panel\\Desktop",
                                               "wallpaper", "C:\\USERS\\me\\Pictures\\sea.BMP", 0,
                                               kKeyAllAccess));
    const LogonAppearance shown = ShowLogonAppearance(*m_services);
    EXPECT_EQ(shown.picture.pictureFile, drive("/users/Me/Pictures/Sea.bmp"));
    EXPECT_EQ(shown.picture.label, "sea.BMP");
}

}  // namespace
}  // namespace hivora
