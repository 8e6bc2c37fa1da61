#include "platform/posix/profile_files_posix.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/registry_api.h"

namespace hivora {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class PosixProfileFilesTest : public testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "hivora-profile-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        m_file = m_dir / "config.ini";
    }
    void TearDown() override {
        fs::permissions(m_dir, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(m_dir);
    }
    // The names in the folder, to see that no temporary file is left.
    std::vector<std::string> folderNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_dir))
            names.push_back(entry.path().filename());
        return names;
    }

    fs::path m_dir;
    fs::path m_file;
    std::unique_ptr<ProfileFiles> m_profiles = makePosixProfileFiles(936);
};

TEST_F(PosixProfileFilesTest, MissingFileGivesDefaultAndWriteCreatesIt) {
    EXPECT_EQ(m_profiles->GetPrivateProfileStringA("Color", "Back_Color", "dflt", 128, m_file),
              "dflt");
    EXPECT_FALSE(fs::exists(m_file));  // reading creates nothing

    ASSERT_TRUE(m_profiles->WritePrivateProfileStringA("Color", "Back_Color", "123", m_file));
    EXPECT_EQ(readFile(m_file), "[Color]\r\nBack_Color=123\r\n");
    EXPECT_EQ(fs::status(m_file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);
    EXPECT_EQ(m_profiles->GetPrivateProfileStringA("COLOR", "back_color", "", 128, m_file), "123");
    EXPECT_EQ(folderNames(), std::vector<std::string>{"config.ini"});
}

TEST_F(PosixProfileFilesTest, WriteKeepsOtherLinesAndTheFileMode) {
    writeFile(m_file, "# hand-written\n[Color]\nFont_Color=5\nback_color = 1\n[Extra]\nx=y\n");
    fs::permissions(m_file, fs::perms::owner_read | fs::perms::owner_write);

    ASSERT_TRUE(m_profiles->WritePrivateProfileStringA("Color", "Back_Color", "2", m_file));
    EXPECT_EQ(readFile(m_file),
              "# hand-written\n[Color]\nFont_Color=5\nback_color=2\n[Extra]\nx=y\n");
    EXPECT_EQ(fs::status(m_file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(PosixProfileFilesTest, ReadIsCutToTheBuffer) {
    writeFile(m_file, "[S]\nk=" + std::string(300, 'v') + "\n");
    EXPECT_EQ(m_profiles->GetPrivateProfileStringA("S", "k", "", 128, m_file),
              std::string(127, 'v'));
    EXPECT_EQ(m_profiles->GetPrivateProfileStringA("S", "none", std::string(200, 'd'), 128, m_file),
              std::string(127, 'd'));
}

TEST_F(PosixProfileFilesTest, MissingFolderIsAnErrorAndCreatesNothing) {
    const fs::path file = m_dir / "absent" / "config.ini";
    EXPECT_EQ(m_profiles->WritePrivateProfileStringA("S", "k", "v", file).code(),
              kErrorFileNotFound);
    EXPECT_FALSE(fs::exists(m_dir / "absent"));
}

TEST_F(PosixProfileFilesTest, ReadOnlyFolderIsAnErrorAndKeepsTheOldFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "the superuser writes into read-only folders";
    writeFile(m_file, "[S]\nk=old\n");
    fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);

    EXPECT_EQ(m_profiles->WritePrivateProfileStringA("S", "k", "new", m_file).code(),
              kErrorAccessDenied);
    EXPECT_EQ(readFile(m_file), "[S]\nk=old\n");
}

TEST_F(PosixProfileFilesTest, FailedWriteKeepsTheOldFileAndLeavesNoTemporaryFile) {
    // A file-size limit makes the write itself fail half-way, also for the superuser.
    const std::string old = "[S]\nk=old\n";
    writeFile(m_file, old);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);

    const Status written =
        m_profiles->WritePrivateProfileStringA("S", "k", std::string(100, 'n'), m_file);

    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written.isOk());
    EXPECT_EQ(readFile(m_file), old);
    EXPECT_EQ(folderNames(), std::vector<std::string>{"config.ini"});
}

TEST_F(PosixProfileFilesTest, UnreadableFileIsNotReplaced) {
    fs::create_directory(m_file);  // cannot be read as a file, by anyone
    EXPECT_FALSE(m_profiles->WritePrivateProfileStringA("S", "k", "v", m_file).isOk());
    EXPECT_TRUE(fs::is_directory(m_file));
    EXPECT_EQ(m_profiles->GetPrivateProfileStringA("S", "k", "d", 128, m_file), "d");
}

// A FIFO or a device in config.ini's place is never read: the read gives the default at once,
// the write is refused with the reason, and the FIFO stays.
TEST_F(PosixProfileFilesTest, AFifoOrADeviceIsNeitherReadNorReplaced) {
    ASSERT_EQ(::mkfifo(m_file.c_str(), 0600), 0);
    const fs::path zero = m_dir / "zero.ini";
    fs::create_symlink("/dev/zero", zero);
    for (const fs::path& path : {m_file, zero}) {
        SCOPED_TRACE(path.string());
        EXPECT_EQ(m_profiles->GetPrivateProfileStringA("Color", "k", "d", 128, path), "d");
        const Status written = m_profiles->WritePrivateProfileStringA("Color", "k", "v", path);
        ASSERT_FALSE(written.isOk());
        EXPECT_NE(written.message().find("不是普通文件"), std::string::npos) << written.message();
    }
    EXPECT_TRUE(fs::is_fifo(m_file));
}

// A file an editor saved with the UTF-8 mark still has its first section.
TEST_F(PosixProfileFilesTest, AUtf8MarkDoesNotHideTheFirstSection) {
    writeFile(m_file, "\xEF\xBB\xBF[Color]\r\nBack_Color=255\r\n");
    EXPECT_EQ(m_profiles->GetPrivateProfileStringA("Color", "Back_Color", "", 128, m_file), "255");
}

}  // namespace
}  // namespace hivora
