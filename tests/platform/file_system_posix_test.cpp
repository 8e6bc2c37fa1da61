// The host file system's attributes, in the Windows terms the pages test for.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/catalogue/file_checks.h"
#include "platform/system_services.h"

namespace hivora {
namespace {

class PosixFileSystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("hivora_fs_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_dir / ".config");
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::permissions(m_dir / "locked.bmp", std::filesystem::perms::owner_all,
                                     ignored);
        std::filesystem::remove_all(m_dir, ignored);
    }
    std::string touch(const std::string& name) {
        std::ofstream(m_dir / name) << "x";
        return (m_dir / name).string();
    }

    std::filesystem::path m_dir;
    std::unique_ptr<FileSystem> m_files = makeFileSystem();
};

TEST_F(PosixFileSystemTest, FileFolderHiddenAndMissing) {
    const std::string picture = touch("sea.bmp");
    const std::string dir = m_dir.string();

    EXPECT_EQ(m_files->attributes(picture), kFileAttributeArchive);
    EXPECT_EQ(m_files->attributes(touch(".secret")), kFileAttributeArchive | kFileAttributeHidden);
    EXPECT_EQ(m_files->attributes(dir), kFileAttributeDirectory);
    EXPECT_EQ(m_files->attributes(dir + "/.config/"),
              kFileAttributeDirectory | kFileAttributeHidden);
    EXPECT_EQ(m_files->attributes(dir + "/none"), std::nullopt);
    EXPECT_EQ(m_files->attributes(""), std::nullopt);

    EXPECT_TRUE(FileExists(*m_files, picture));
    EXPECT_TRUE(FolderExists(*m_files, dir + "/"));
}

TEST_F(PosixFileSystemTest, UnwritableFileIsReadOnly) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write anything";
    const std::string locked = touch("locked.bmp");
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read);
    EXPECT_EQ(m_files->attributes(locked), kFileAttributeArchive | kFileAttributeReadOnly);
}

}  // namespace
}  // namespace hivora
