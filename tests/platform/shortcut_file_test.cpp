// Shortcut files made by the test writer, read through liblnk (on Linux, where liblnk's own lnkinfo
// is a second judge) or through the Windows shell (under Wine); bad files fail the read with
// "无法读取" and never crash.

#include "platform/shortcut_file.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "tests/platform/lnk_writer.h"
#include "tests/platform/store_test_support.h"

namespace hivora {
namespace {

#ifndef _WIN32
// lnkinfo's report of `path` and whether it succeeded.
std::pair<bool, std::string> lnkinfo(const std::string& path) {
    const std::string command = "lnkinfo '" + path + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return {false, {}};
    std::string out;
    std::array<char, 512> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) out += buffer.data();
    const int status = ::pclose(pipe);
    return {status == 0, out};
}
#endif

struct GoodCase {
    const char* name;
    std::string target;
    std::string arguments;
};

TEST(Shortcuts, GeneratedShortcutsReadBackTargetAndArguments) {
    const GoodCase cases[] = {
        {"TargetAndArguments", "C:\\Program Files\\App\\app.exe", "/min --tray"},
        {"NoArguments", "C:\\tools\\t.exe", ""},
        {"ChineseArguments", "D:\\x.exe", "--打开 文件"},
    };
    test::TempFolder folder;
    for (const GoodCase& c : cases) {
        const std::string path = folder / (std::string(c.name) + ".lnk");
        test::writeFile(path, test::shortcutBytes(c.target, c.arguments));
#ifndef _WIN32
        const auto [ok, report] = lnkinfo(path);
        ASSERT_TRUE(ok) << c.name << "\n" << report;
        EXPECT_NE(report.find(c.target), std::string::npos) << report;
        if (!c.arguments.empty()) {
            EXPECT_NE(report.find(c.arguments), std::string::npos) << report;
        }
#endif

        const Result<ShortcutTarget> read = readShortcut(path);
        ASSERT_TRUE(read) << c.name;
        EXPECT_EQ(read.value().target, c.target) << c.name;
        EXPECT_EQ(read.value().arguments, c.arguments) << c.name;
    }
}

TEST(Shortcuts, BadFilesAreUnreadableNotACrash) {
    test::TempFolder folder;
    const std::string whole = test::shortcutBytes("C:\\a.exe", "-x");
    const std::pair<const char*, std::string> cases[] = {
        {"empty.lnk", ""},
        {"truncated.lnk", whole.substr(0, 40)},
        {"headerOnly.lnk", whole.substr(0, 76)},
        {"text.lnk", "[InternetShortcut]\r\nURL=http://example.com/\r\n"},
    };
    for (const auto& [name, bytes] : cases) {
        const std::string path = folder / name;
        test::writeFile(path, bytes);
        const Result<ShortcutTarget> read = readShortcut(path);
        if (std::string(name) == "headerOnly.lnk" && read) {
            // A header that promises LinkInfo but ends: readable only if nothing is made up.
            EXPECT_EQ(read.value().target, "") << name;
            continue;
        }
        EXPECT_FALSE(read) << name;
        if (!read) {
            EXPECT_EQ(read.status().message(), "无法读取");
        }
    }
    EXPECT_FALSE(readShortcut(folder / "absent.lnk"));
}

// Moving shortcuts out of a Startup folder and back never replaces a file and never loses one.
TEST(ShortcutFiles, MovesAndWritesNeverReplaceAFile) {
    test::TempFolder folder;
    const std::string a = folder / "a.lnk";
    const std::string b = folder / "kept/b.lnk";  // in a folder that does not exist yet
    test::writeFile(a, "AAA");

    EXPECT_TRUE(moveFile(a, b));
    EXPECT_FALSE(fileExists(a));
    EXPECT_EQ(readFileBytes(b).value(), "AAA");

    test::writeFile(a, "other");
    EXPECT_FALSE(moveFile(a, b)) << "moved over a file";
    EXPECT_FALSE(writeNewFile(b, "new")) << "written over a file";
    EXPECT_EQ(readFileBytes(b).value(), "AAA");
    EXPECT_EQ(readFileBytes(a).value(), "other");

    EXPECT_TRUE(writeNewFile(folder / "more/c.lnk", std::string("C\0C", 3)));
    EXPECT_EQ(readFileBytes(folder / "more/c.lnk").value(), std::string("C\0C", 3));
    EXPECT_TRUE(removeFile(a));
    EXPECT_FALSE(removeFile(a));
    EXPECT_FALSE(moveFile(a, folder / "d.lnk")) << "moved a file that is not there";
    EXPECT_FALSE(readFileBytes(folder / "more"));  // a folder is no file
    // Nothing of the writes' temporary files is left.
    EXPECT_EQ(folderFiles(folder / "more").size(), 1u);
    EXPECT_EQ(folderFiles(folder / "kept").size(), 1u);
}

}  // namespace
}  // namespace hivora
