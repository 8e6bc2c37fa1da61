// Whether a row takes effect on the Windows of the registry being edited, from the registry's own
// version values to what the row's mark, tooltip and status field say: registries as Windows XP,
// 7, 10 and 11 hold them, Wine prefixes as winecfg leaves them when set to each version (Wine 8
// as Debian 12 ships it, and later Wine), and registries that name no version (nothing is marked
// then).

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/catalogue/windows_version.h"
#include "core/livestate/live_state.h"
#include "core/livestate/row_mark.h"
#include "platform/tree_registry.h"

#ifndef _WIN32
#include "platform/posix/file_store.h"
#include "tests/platform/store_test_support.h"
#endif

namespace hivora::testing {
namespace {

#ifndef _WIN32
// The head of a prefix's system.reg and the key of the NT version values.
const std::string kSystemHive =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to \\\\Machine\n\n"
    "#arch=win64\n\n";
const std::string kNtKey = "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1700000000\n";

struct RegistryCase {
    const char* name;
    std::string systemHive;  // system.reg as it is on disk
    WindowsGeneration expected;
    const char* xpOnlyRow;  // the status field of a row that takes effect on XP only
    const char* noEffect;   // that row's tooltip line; "" when it is not marked
};

void PrintTo(const RegistryCase& c, std::ostream* out) {
    *out << c.name;
}

// The NT version values winecfg writes for an NT version: the version text, the major and minor
// numbers as dwords, the build twice and "Microsoft <name>".
std::string wineNtValues(const char* version, int major, int minor, const char* build,
                         const char* product) {
    char numbers[96];
    std::snprintf(numbers, sizeof numbers,
                  "\"CurrentMajorVersionNumber\"=dword:%08x\n"
                  "\"CurrentMinorVersionNumber\"=dword:%08x\n",
                  major, minor);
    return kSystemHive + kNtKey + "\"CurrentBuild\"=\"" + build + "\"\n\"CurrentBuildNumber\"=\"" +
           build + "\"\n" + numbers + "\"CurrentVersion\"=\"" + version + "\"\n\"ProductName\"=\"" +
           product + "\"\n";
}

// The values as Windows itself keeps them (10 and 11 add the major number; 11 keeps the product
// name of 10).
std::string windowsValues(const char* version, const char* build, const char* product,
                          bool majorNumber) {
    return kSystemHive + kNtKey + "\"CurrentBuildNumber\"=\"" + build + "\"\n" +
           (majorNumber ? "\"CurrentMajorVersionNumber\"=dword:0000000a\n" : "") +
           "\"CurrentVersion\"=\"" + version + "\"\n\"ProductName\"=\"" + product + "\"\n";
}

const RegistryCase kRegistries[] = {
    {"WindowsXp", windowsValues("5.1", "2600", "Microsoft Windows XP", false),
     WindowsGeneration::Xp, "有效", ""},
    {"Windows7", windowsValues("6.1", "7601", "Windows 7 Professional", false),
     WindowsGeneration::Vista7, "无效（仅 Windows XP）",
     "此设置对 Windows Vista/7 无效（仅 Windows XP）"},
    {"Windows10", windowsValues("6.3", "19045", "Windows 10 Pro", true), WindowsGeneration::Win10,
     "无效（仅 Windows XP）", "此设置对 Windows 10 无效（仅 Windows XP）"},
    {"Windows11", windowsValues("6.3", "22631", "Windows 10 Pro", true), WindowsGeneration::Win11,
     "无效（仅 Windows XP）", "此设置对 Windows 11 无效（仅 Windows XP）"},
    // winecfg -v of Wine 8 (Debian 12) in a 64-bit prefix: "winxp64", "win7", "win10".
    {"WinePrefixWinXp64", wineNtValues("5.2", 5, 2, "3790", "Microsoft Windows XP"),
     WindowsGeneration::Xp, "有效", ""},
    {"WinePrefixWin7", wineNtValues("6.1", 6, 1, "7601", "Microsoft Windows 7"),
     WindowsGeneration::Vista7, "无效（仅 Windows XP）",
     "此设置对 Windows Vista/7 无效（仅 Windows XP）"},
    {"WinePrefixWin10Wine8", wineNtValues("10.0", 10, 0, "18362", "Microsoft Windows 10"),
     WindowsGeneration::Win10, "无效（仅 Windows XP）",
     "此设置对 Windows 10 无效（仅 Windows XP）"},
    // Later Wine: "winxp" in a 32-bit prefix, and 10 and 11 as 6.3 with their builds.
    {"WinePrefixWinXp", wineNtValues("5.1", 5, 1, "2600", "Microsoft Windows XP"),
     WindowsGeneration::Xp, "有效", ""},
    {"WinePrefixWin10", wineNtValues("6.3", 10, 0, "19043", "Microsoft Windows 10"),
     WindowsGeneration::Win10, "无效（仅 Windows XP）",
     "此设置对 Windows 10 无效（仅 Windows XP）"},
    {"WinePrefixWin11", wineNtValues("6.3", 10, 0, "22000", "Microsoft Windows 11"),
     WindowsGeneration::Win11, "无效（仅 Windows XP）",
     "此设置对 Windows 11 无效（仅 Windows XP）"},
    // Set to Windows 98, winecfg removes the NT values and writes the 9x ones instead.
    {"WinePrefixWin98",
     kSystemHive +
         "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1700000000\n"
         "\"ProductName\"=\"Microsoft Windows 98\"\n\"SubVersionNumber\"=\" A \"\n"
         "\"VersionNumber\"=\"4.10.2222\"\n\n" +
         kNtKey + "\"RegisteredOwner\"=\"x\"\n",
     WindowsGeneration::Unknown, "未知", ""},
    // Everything but CurrentVersion: nothing is known (the private store, once its registration
    // row wrote the owner, looks like this).
    {"NoCurrentVersion",
     kSystemHive + kNtKey +
         "\"CurrentBuildNumber\"=\"22631\"\n\"CurrentMajorVersionNumber\"=dword:0000000a\n"
         "\"ProductName\"=\"Windows 10 Pro\"\n\"RegisteredOwner\"=\"x\"\n",
     WindowsGeneration::Unknown, "未知", ""},
    {"NoSystemHive", "", WindowsGeneration::Unknown, "未知", ""},
};

// A row that writes one value and takes effect on XP only, with a newer place named.
const RegOp kSetOps[] = {setDword(kHkeyCurrentUser, "Software\\Test", "Switch", 1)};
const RegOp kLiftOps[] = {deleteValue(kHkeyCurrentUser, "Software\\Test", "Switch")};
const CatalogueRow kXpOnlyRow{"测试行",
                              {kSetOps},
                              {kLiftOps},
                              onlyOn(WindowsGeneration::Xp),
                              "Policies\\System Switch (HKLM)"};
const CatalogueRow kEveryWindowsRow{"测试行", {kSetOps}, {kLiftOps}};

class RegistryReach : public ::testing::TestWithParam<RegistryCase> {};

TEST_P(RegistryReach, MarksOnlyRowsWithoutEffectOnTheVersionTheRegistryNames) {
    const RegistryCase& c = GetParam();
    test::TempFolder folder;
    if (!c.systemHive.empty()) test::writeFile(folder / "system.reg", c.systemHive);
    auto store = openFileStore(folder.path(), test::codec936());
    ASSERT_TRUE(store) << store.status().message();
    RegInfoGetSet layer(*store.value(), test::codec936());
    LiveStateReader reader(layer);

    const WindowsGeneration current = detectWindowsGeneration(layer);
    EXPECT_EQ(current, c.expected);

    const RowState xpOnly = reader.readRow(kXpOnlyRow);
    EXPECT_EQ(reachText(xpOnly.takesEffectOn, current), c.xpOnlyRow);
    const RowMark mark = rowMark(xpOnly, current);
    EXPECT_EQ(mark.noEffect, *c.noEffect != '\0');
    EXPECT_EQ(mark.tooltip, std::string("未设置") + (*c.noEffect ? "\n" : "") + c.noEffect +
                                "\n当前 Windows 的位置：Policies\\System Switch (HKLM)"
                                "\nHKEY_CURRENT_USER\\Software\\Test  Switch = (不存在)");

    const RowState everywhere = reader.readRow(kEveryWindowsRow);
    EXPECT_FALSE(rowMark(everywhere, current).noEffect);
    EXPECT_EQ(reachText(everywhere.takesEffectOn, current),
              c.expected == WindowsGeneration::Unknown ? "未知" : "有效");
}

INSTANTIATE_TEST_SUITE_P(Registries, RegistryReach, ::testing::ValuesIn(kRegistries),
                         [](const auto& info) { return std::string(info.param.name); });
#endif

// ---- What the mark says ------------------------------------------------------------------------

struct MarkCase {
    const char* name;
    SettingState state;
    const char* valueText;
    WindowsGenerations takesEffectOn;
    const char* todaysLocation;
    WindowsGeneration current;
    bool noEffect;
    const char* tooltip;
    const char* accessibleName;
};

void PrintTo(const MarkCase& c, std::ostream* out) {
    *out << c.name;
}

const MarkCase kMarks[] = {
    {"SetWithoutEffect", SettingState::Set, "", onlyOn(WindowsGeneration::Xp), "",
     WindowsGeneration::Win10, true,
     "已设置\n此设置对 Windows 10 无效（仅 Windows XP）\nHKEY_CURRENT_USER\\Software\\Test  "
     "Switch = 1",
     "已设置，此设置对 Windows 10 无效（仅 Windows XP）"},
    {"NotSetWithoutEffectAndTodaysPlace", SettingState::NotSet, "",
     before(WindowsGeneration::Vista7), "Policies\\System DisableCMD (HKCU)",
     WindowsGeneration::Win11, true,
     "未设置\n此设置对 Windows 11 无效（仅 Windows 9x、Windows XP）\n当前 Windows 的位置："
     "Policies\\System DisableCMD (HKCU)\nHKEY_CURRENT_USER\\Software\\Test  Switch = 1",
     "未设置，此设置对 Windows 11 无效（仅 Windows 9x、Windows XP）"},
    {"MixedWithEffect", SettingState::Mixed, "", fromOn(WindowsGeneration::Vista7), "",
     WindowsGeneration::Win10, false, "部分设置\nHKEY_CURRENT_USER\\Software\\Test  Switch = 1",
     "部分设置"},
    {"UnknownVersionMarksNothing", SettingState::Set, "C:\\a", onlyOn(WindowsGeneration::Win9x),
     "Shell\\Bags\\1\\Desktop IconSize (HKCU)", WindowsGeneration::Unknown, false,
     "已设置：C:\\a\n当前 Windows 的位置：Shell\\Bags\\1\\Desktop IconSize (HKCU)\n"
     "HKEY_CURRENT_USER\\Software\\Test  Switch = 1",
     "已设置"},
    {"RowOfEveryVersion",
     SettingState::NotSet,
     "",
     {},
     "",
     WindowsGeneration::Xp,
     false,
     "未设置\nHKEY_CURRENT_USER\\Software\\Test  Switch = 1",
     "未设置"},
};

class MarkOfRow : public ::testing::TestWithParam<MarkCase> {};

TEST_P(MarkOfRow, ShapeTooltipAndNameFollowStateAndVersion) {
    const MarkCase& c = GetParam();
    RowState state;
    state.caption = "测试行";
    state.state = c.state;
    state.valueText = c.valueText;
    state.takesEffectOn = c.takesEffectOn;
    state.todaysLocation = c.todaysLocation;
    state.readings.push_back({kHkeyCurrentUser, "Software\\Test", "Switch", false, true, "1"});

    const RowMark mark = rowMark(state, c.current);
    EXPECT_EQ(mark.state, c.state);
    EXPECT_EQ(mark.noEffect, c.noEffect);
    EXPECT_EQ(mark.tooltip, c.tooltip);
    EXPECT_EQ(mark.accessibleName, c.accessibleName);
}

INSTANTIATE_TEST_SUITE_P(Rows, MarkOfRow, ::testing::ValuesIn(kMarks),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace hivora::testing
