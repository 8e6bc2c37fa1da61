// The version of the registry being edited: which Windows generation its
// "Windows NT\CurrentVersion" values name, as Windows itself and Wine's prefixes write them, and
// what a row without effect there says.

#include "core/catalogue/windows_version.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/tree_registry.h"

#ifndef _WIN32
#include "platform/posix/file_store.h"
#include "tests/platform/store_test_support.h"
#endif

namespace hivora::testing {
namespace {

const std::string kNtVersion = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

struct VersionCase {
    const char* name;
    const char* currentVersion;  // nullptr: the value is absent
    const char* buildNumber;     // nullptr: absent
    const char* productName;     // nullptr: absent
    std::int64_t majorNumber;    // CurrentMajorVersionNumber; -1: absent
    WindowsGeneration expected;
};

void PrintTo(const VersionCase& c, std::ostream* out) {
    *out << c.name;
}

const VersionCase kVersionCases[] = {
    // Windows as it reports itself.
    {"WindowsXp", "5.1", "2600", "Microsoft Windows XP", -1, WindowsGeneration::Xp},
    {"Windows7", "6.1", "7601", "Windows 7 Ultimate", -1, WindowsGeneration::Vista7},
    {"Windows81", "6.3", "9600", "Windows 8.1 Pro", -1, WindowsGeneration::Win8},
    {"Windows10", "6.3", "19045", "Windows 10 Pro", 10, WindowsGeneration::Win10},
    // Windows 11 keeps 6.3 and even the product name of 10: only the build tells.
    {"Windows11", "6.3", "22631", "Windows 10 Pro", 10, WindowsGeneration::Win11},
    // Wine's prefixes, set with winecfg to each version.
    {"WineWin2000", "5.0", "2195", "Microsoft Windows 2000", -1, WindowsGeneration::Xp},
    {"WineWinXp", "5.1", "2600", "Microsoft Windows XP", -1, WindowsGeneration::Xp},
    {"WineWinVista", "6.0", "6002", "Windows Vista Business", -1, WindowsGeneration::Vista7},
    {"WineWin7", "6.1", "7601", "Windows 7 Professional", -1, WindowsGeneration::Vista7},
    {"WineWin8", "6.2", "9200", "Windows 8 Pro", -1, WindowsGeneration::Win8},
    {"WineWin10", "6.3", "19043", "Windows 10 Pro", 10, WindowsGeneration::Win10},
    {"WineWin11", "6.3", "22000", "Windows 10 Pro", 10, WindowsGeneration::Win11},
    // A Windows 98 prefix: Wine removes the NT values.
    {"WineWin98", nullptr, nullptr, nullptr, -1, WindowsGeneration::Unknown},
    // Less common forms.
    {"RealMajorVersion", "10.0", "22631", nullptr, -1, WindowsGeneration::Win11},
    {"NoBuildButMajor10", "6.3", nullptr, nullptr, 10, WindowsGeneration::Win10},
    {"NoBuildNoMajor", "6.3", nullptr, nullptr, -1, WindowsGeneration::Win8},
    {"FirstBuildOf10", "6.3", "10240", nullptr, 10, WindowsGeneration::Win10},
    {"LastBuildBefore11", "6.3", "21999", nullptr, 10, WindowsGeneration::Win10},
    // Without CurrentVersion nothing is known, whatever else is there.
    {"NoCurrentVersion", nullptr, "22631", "Windows 10 Pro", 10, WindowsGeneration::Unknown},
    {"UnreadableVersion", "abc", "2600", nullptr, -1, WindowsGeneration::Unknown},
    {"EmptyRegistry", nullptr, nullptr, nullptr, -1, WindowsGeneration::Unknown},
};

class VersionRule : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionRule, ReadsTheGenerationOfTheRegistryItself) {
    const VersionCase& c = GetParam();
    const auto codec = makeAnsiCodec(kDefaultCodePage).value();
    const auto store = makeMemoryRegistry(*codec);
    RegInfoGetSet layer(*store, *codec);
    const auto put = [&](const char* name, const char* text) {
        if (text != nullptr) {
            ASSERT_TRUE(
                layer.SetRegString(kHkeyLocalMachine, kNtVersion, name, text, 0, kKeyAllAccess));
        }
    };
    put("CurrentVersion", c.currentVersion);
    put("CurrentBuildNumber", c.buildNumber);
    put("ProductName", c.productName);
    if (c.majorNumber >= 0) {
        ASSERT_TRUE(layer.SetRegDword(kHkeyLocalMachine, kNtVersion, "CurrentMajorVersionNumber",
                                      static_cast<std::int32_t>(c.majorNumber), 0, kKeyAllAccess));
    }

    const WindowsVersionValues values = readWindowsVersion(layer);
    EXPECT_EQ(values.productName, c.productName ? c.productName : "");
    EXPECT_EQ(values.majorVersionNumber, c.majorNumber);
    EXPECT_EQ(detectWindowsGeneration(layer), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Registries, VersionRule, ::testing::ValuesIn(kVersionCases),
                         [](const auto& info) { return std::string(info.param.name); });

#ifndef _WIN32
// A prefix's system.reg as Wine writes it for Windows 11 (texts with their final NUL, the build
// read as a text, the major number as a dword), read through the file store.
TEST(VersionRuleOnFiles, WinePrefixSetToWindows11) {
    test::TempFolder folder;
    test::writeFile(folder.path() + "/system.reg",
                    "WINE REGISTRY Version 2\n"
                    ";; All keys relative to \\\\Machine\n\n"
                    "#arch=win64\n\n"
                    "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1700000000\n"
                    "#time=1da0000000000000\n"
                    "\"CurrentBuild\"=\"22000\"\n"
                    "\"CurrentBuildNumber\"=\"22000\"\n"
                    "\"CurrentMajorVersionNumber\"=dword:0000000a\n"
                    "\"CurrentMinorVersionNumber\"=dword:00000000\n"
                    "\"CurrentVersion\"=\"6.3\"\n"
                    "\"ProductName\"=\"Windows 10 Pro\"\n");
    auto store = openFileStore(folder.path(), test::codec936());
    ASSERT_TRUE(store) << store.status().message();
    RegInfoGetSet layer(*store.value(), test::codec936());

    EXPECT_EQ(readWindowsVersion(layer).productName, "Windows 10 Pro");
    EXPECT_EQ(detectWindowsGeneration(layer), WindowsGeneration::Win11);
}
#endif

struct LineCase {
    const char* name;
    WindowsGenerations row;
    WindowsGeneration current;
    const char* line;
};

const LineCase kLineCases[] = {
    {"UnmarkedRowAnywhere", {}, WindowsGeneration::Win10, ""},
    {"UnknownMarksNothing", onlyOn(WindowsGeneration::Win9x), WindowsGeneration::Unknown, ""},
    {"InsideItsGenerations", before(WindowsGeneration::Vista7), WindowsGeneration::Xp, ""},
    {"XpOnlyOn10", onlyOn(WindowsGeneration::Xp), WindowsGeneration::Win10,
     "此设置对 Windows 10 无效（仅 Windows XP）"},
    {"BeforeVistaOn11", before(WindowsGeneration::Vista7), WindowsGeneration::Win11,
     "此设置对 Windows 11 无效（仅 Windows 9x、Windows XP）"},
    {"FromVistaOnXp", fromOn(WindowsGeneration::Vista7), WindowsGeneration::Xp,
     "此设置对 Windows XP 无效（仅 Windows Vista/7 至 Windows 11）"},
    {"BeforeElevenOn11", before(WindowsGeneration::Win11), WindowsGeneration::Win11,
     "此设置对 Windows 11 无效（仅 Windows 9x 至 Windows 10）"},
};

void PrintTo(const LineCase& c, std::ostream* out) {
    *out << c.name;
}

class NoEffectLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(NoEffectLine, NamesTheVersionAndWhereTheRowWorks) {
    const LineCase& c = GetParam();
    EXPECT_EQ(noEffectLine(c.row, c.current), c.line);
}

INSTANTIATE_TEST_SUITE_P(Rows, NoEffectLine, ::testing::ValuesIn(kLineCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace hivora::testing
