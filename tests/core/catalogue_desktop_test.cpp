// The desktop rows: every set and lift, with the answers of the rows that ask.

#include <gtest/gtest.h>

#include "tests/core/catalogue_harness.h"

namespace hivora::testing {
namespace {

constexpr RegKey kHkcr = kHkeyClassesRoot;
constexpr RegKey kHkcu = kHkeyCurrentUser;
constexpr RegKey kHklm = kHkeyLocalMachine;
constexpr RegKey kHku = kHkeyUsers;

const std::string kPolicies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const std::string kSystem = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const std::string kDesktop = "Control Panel\\Desktop";
const std::string kAdvanced = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
const std::string kShellIcons =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Icons";
const std::string kExplorer = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer";

constexpr RowButton kSet = RowButton::Set;
constexpr RowButton kLift = RowButton::Lift;
constexpr OutcomeMessage kSetDone = OutcomeMessage::SetDone;
constexpr OutcomeMessage kUnsetDone = OutcomeMessage::UnsetDone;
constexpr OutcomeMessage kSilent = OutcomeMessage::None;

const std::string& kPicture = kExistingPicture;

Effect policy(const char* name, std::uint32_t value) {
    return dword(kHkcu, kPolicies, name, value);
}
Effect noPolicy(const char* name) {
    return removed(kHkcu, kPolicies, name);
}
Effect desktop(const char* name, std::string text) {
    return sz(kHkcu, kDesktop, name, text);
}
Effect timeFormat(std::string text) {
    return sz(kHkcu, "Control Panel\\International", "sTimeFormat", text);
}
Effect iconSize(std::string text) {
    return sz(kHkcu, "Control Panel\\Desktop\\WindowMetrics", "Shell Icon Size", text);
}
// The default profile first, then the current user.
std::vector<Effect> infoTips(std::uint32_t shown) {
    return {dword(kHku, ".Default\\" + kAdvanced, "ShowInfoTip", shown),
            dword(kHkcu, kAdvanced, "ShowInfoTip", shown)};
}
std::vector<Effect> wallpaper(std::string style) {
    return {sz(kHkcu, kSystem, "Wallpaper", kPicture), sz(kHkcu, kSystem, "WallpaperStyle", style)};
}

const RowCase kDesktopCases[] = {
    {"Row0SetWritesNoDesktop", 0, kSet, {}, {policy("NoDesktop", 1)}, kSetDone},
    {"Row0LiftDeletes", 0, kLift, {}, {noPolicy("NoDesktop")}, kUnsetDone},
    {"Row1SetBinaryFlag", 1, kSet, {}, {binary(kHkcu, kPolicies, "NoSaveSettings", kOn)}, kSetDone},
    {"Row1LiftDeletes", 1, kLift, {}, {noPolicy("NoSaveSettings")}, kUnsetDone},
    {"Row2SetText1", 2, kSet, {}, {desktop("MenuDropAlignment", "1")}, kSetDone},
    {"Row2LiftText0", 2, kLift, {}, {desktop("MenuDropAlignment", "0")}, kUnsetDone},
    {"Row3Set", 3, kSet, {}, {desktop("DragFullWindows", "1")}, kSetDone},
    {"Row3Lift", 3, kLift, {}, {desktop("DragFullWindows", "0")}, kUnsetDone},

    // Row 4: the text, then "show the time too?", then "12-hour?".
    // The text is a quoted literal, so its letters never turn into time fields.
    {"Row4TextOnly", 4, kSet, {{"午安"}, {kIdNo}}, {timeFormat("'午安'")}, kSetDone},
    {"Row4TwelveHour", 4, kSet, {{"Hi"}, {kIdYes, kIdYes}}, {timeFormat("'Hi' h:mm tt")}, kSetDone},
    {"Row4TwentyFourHour",
     4,
     kSet,
     {{"Hello"}, {kIdYes, kIdNo}},
     {timeFormat("'Hello' H:mm")},
     kSetDone},
    {"Row4QuoteDoubled", 4, kSet, {{"it's"}, {kIdNo}}, {timeFormat("'it''s'")}, kSetDone},
    {"Row4EmptyTextWrittenAsIs", 4, kSet, {{""}, {kIdNo}}, {timeFormat("")}, kSetDone},
    {"Row4Lift", 4, kLift, {}, {timeFormat("H:mm:ss")}, kUnsetDone},

    {"Row5SetDefaultProfileFirst", 5, kSet, {}, infoTips(0), kSetDone},
    {"Row5Lift", 5, kLift, {}, infoTips(1), kUnsetDone},
    {"Row6Set",
     6,
     kSet,
     {},
     {binary(kHkcu, kPolicies, "NoTrayContextMenu", kOn), policy("NoSetTaskbar", 1)},
     kSetDone},
    {"Row6Lift",
     6,
     kLift,
     {},
     {noPolicy("NoTrayContextMenu"), noPolicy("NoSetTaskbar")},
     kUnsetDone},

    // Row 7: the picture (kPicture exists, see the harness), then the style.
    {"Row7StyleTiled", 7, kSet, {{"1"}, {}, {kPicture}}, wallpaper("1"), kSetDone},
    {"Row7StyleStretched", 7, kSet, {{"2"}, {}, {kPicture}}, wallpaper("2"), kSetDone},
    {"Row7EmptyStyleIsCentred", 7, kSet, {{""}, {}, {kPicture}}, wallpaper("0"), kSetDone},
    {"Row7UnknownStyleIsCentred", 7, kSet, {{"3"}, {}, {kPicture}}, wallpaper("0"), kSetDone},
    {"Row7PaddedStyleIsCentred", 7, kSet, {{" 1"}, {}, {kPicture}}, wallpaper("0"), kSetDone},
    {"Row7CancelledFileEndsSilently", 7, kSet, {{}, {}, {""}}, {}, kSilent},
    {"Row7MissingFileEndsSilently", 7, kSet, {{}, {}, {"C:\\nowhere.bmp"}}, {}, kSilent},
    {"Row7FolderIsNoPicture", 7, kSet, {{}, {}, {kExistingFolder}}, {}, kSilent},
    {"Row7Lift",
     7,
     kLift,
     {},
     {removed(kHkcu, kSystem, "Wallpaper"), removed(kHkcu, kSystem, "WallpaperStyle")},
     kUnsetDone},

    // Row 8: x, then y; an empty answer skips its value.
    {"Row8Both",
     8,
     kSet,
     {{"10", "20"}},
     {desktop("WallpaperOriginX", "10"), desktop("WallpaperOriginY", "20")},
     kSetDone},
    {"Row8OnlyY", 8, kSet, {{"", "120"}}, {desktop("WallpaperOriginY", "120")}, kSetDone},
    {"Row8OnlyXAsTyped", 8, kSet, {{"left", ""}}, {desktop("WallpaperOriginX", "left")}, kSetDone},
    {"Row8NeitherStillConfirms", 8, kSet, {{"", ""}}, {}, kSetDone},
    {"Row8Lift",
     8,
     kLift,
     {},
     {removed(kHkcu, kDesktop, "WallpaperOriginX"), removed(kHkcu, kDesktop, "WallpaperOriginY")},
     kUnsetDone},

    {"Row9SetRemovesArrow",
     9,
     kSet,
     {},
     {removed(kHkcr, "lnkfile", "IsShortcut"), sz(kHklm, kShellIcons, "29", "")},
     kSetDone},
    {"Row9LiftRestoresArrow",
     9,
     kLift,
     {},
     {sz(kHkcr, "lnkfile", "IsShortcut", ""), removed(kHklm, kShellIcons, "29")},
     kUnsetDone},
    {"Row10Set", 10, kSet, {}, {dword(kHklm, kExplorer, "link", 0)}, kSetDone},
    {"Row10Lift", 10, kLift, {}, {dword(kHklm, kExplorer, "link", 1)}, kUnsetDone},

    // Row 11: 16 to 64 after rounding (halves to even); anything else is 32.
    {"Row11Empty", 11, kSet, {{""}}, {iconSize(" 32")}, kSetDone},
    {"Row11Smallest", 11, kSet, {{"16"}}, {iconSize(" 16")}, kSetDone},
    {"Row11Largest", 11, kSet, {{"64"}}, {iconSize(" 64")}, kSetDone},
    {"Row11JustBelowRange", 11, kSet, {{"15"}}, {iconSize(" 32")}, kSetDone},
    {"Row11JustAboveRange", 11, kSet, {{"65"}}, {iconSize(" 32")}, kSetDone},
    {"Row11RoundedIntoRange", 11, kSet, {{"15.5"}}, {iconSize(" 16")}, kSetDone},
    {"Row11Lift", 11, kLift, {}, {iconSize("32")}, kUnsetDone},
};

class DesktopRows : public ::testing::TestWithParam<RowCase> {};

TEST_P(DesktopRows, WritesShowsAndNeverNeedsRestart) {
    checkRowCase(CataloguePage::Desktop, GetParam(), /*raisesRestart=*/false);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, DesktopRows, ::testing::ValuesIn(kDesktopCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DesktopRowsTable, CoversEveryButtonOfEveryRow) {
    expectEveryButtonCovered(CataloguePage::Desktop, kDesktopCases);
}

}  // namespace
}  // namespace hivora::testing
