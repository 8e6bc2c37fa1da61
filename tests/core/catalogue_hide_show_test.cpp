// The hide-and-show rows: every hide and show, the drive letters, and the desktop refresh before
// each message.

#include <gtest/gtest.h>

#include "tests/core/catalogue_harness.h"

namespace hivora::testing {
namespace {

constexpr RegKey kHkcu = kHkeyCurrentUser;
constexpr RegKey kHklm = kHkeyLocalMachine;
constexpr RegKey kHku = kHkeyUsers;

const std::string kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
const std::string kNameSpace =
    "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\Desktop\\NameSpace\\";
const std::string kPolicies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const std::string kShowAll =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\Folder\\Hidden\\SHOWALL";
const std::string kDefaultPolicies =
    ".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

const std::string kRecycleBin = "{645FF040-5081-101B-9F08-00AA002F954E}";
const std::string kDocumentsKey = "{450d8fba-ad25-11d0-98a8-0800361b1103}";
const std::string kDocumentsSwitch = "{450D8FBA-AD25-11D0-98A8-0800361B1103}";
const std::string kNetwork = "{208D2C60-3AEA-1069-A2D7-08002B30309D}";
const std::string kComputer = "{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
const std::string kBrowserKey = "{FBF23B42-E3F0-101B-8488-00AA003E56F8}";
const std::string kBrowserSwitch = "{871C5380-42A0-1069-A2EA-08002B30309D}";
// Today's items for My Documents and My Network Places.
const std::string kUsersFiles = "{59031a47-3f72-44a7-89c5-5595fe6b30ee}";
const std::string kNetworkToday = "{F02C1A0D-BE21-4350-88B0-7367FC96EF3C}";

constexpr RowButton kHide = RowButton::Set;
constexpr RowButton kShow = RowButton::Lift;
constexpr OutcomeMessage kSetDone = OutcomeMessage::SetDone;
constexpr OutcomeMessage kUnsetDone = OutcomeMessage::UnsetDone;
constexpr OutcomeMessage kSilent = OutcomeMessage::None;

// The icon switches of an item, after `before`: NewStartPanel first, then ClassicStartMenu.
std::vector<Effect> switches(const std::string& item, std::uint32_t hidden,
                             std::vector<Effect> before = {}) {
    before.push_back(dword(kHkcu, kExplorer + "HideDesktopIcons\\NewStartPanel", item, hidden));
    before.push_back(dword(kHkcu, kExplorer + "HideDesktopIcons\\ClassicStartMenu", item, hidden));
    return before;
}
// Today's item's switch after the old item's ones (NewStartPanel only).
std::vector<Effect> andToday(std::vector<Effect> before, const std::string& item,
                             std::uint32_t hidden) {
    before.push_back(dword(kHkcu, kExplorer + "HideDesktopIcons\\NewStartPanel", item, hidden));
    return before;
}
Effect keyGone(const std::string& item) {
    return {RegChangeKind::DeleteKey, kHklm, kNameSpace + item};
}
Effect keyBack(const std::string& item) {
    return {RegChangeKind::CreateKey, kHklm, kNameSpace + item};
}
Effect netHood(std::uint32_t hidden) {
    return dword(kHkcu, kPolicies, "NoNetHood", hidden);
}
Effect drives(std::uint32_t mask) {
    return dword(kHkcu, kPolicies, "NoDrives", mask);
}
// The default profile's copy first, then the current user's, which the Start menu reads.
std::vector<Effect> menu(const char* name, std::uint32_t hidden) {
    return {dword(kHku, kDefaultPolicies, name, hidden), dword(kHkcu, kPolicies, name, hidden)};
}
std::vector<Effect> menuFlag(const char* name, const std::string& bytes) {
    return {binary(kHku, kDefaultPolicies, name, bytes), binary(kHkcu, kPolicies, name, bytes)};
}

const RowCase kHideShowCases[] = {
    {"Row0Hide", 0, kHide, {}, switches(kRecycleBin, 1, {keyGone(kRecycleBin)}), kSetDone},
    {"Row0Show", 0, kShow, {}, switches(kRecycleBin, 0, {keyBack(kRecycleBin)}), kUnsetDone},
    {"Row1Hide",
     1,
     kHide,
     {},
     andToday(switches(kDocumentsSwitch, 1, {keyGone(kDocumentsKey)}), kUsersFiles, 1),
     kSetDone},
    {"Row1Show",
     1,
     kShow,
     {},
     andToday(switches(kDocumentsSwitch, 0, {keyBack(kDocumentsKey)}), kUsersFiles, 0),
     kUnsetDone},
    {"Row2Hide",
     2,
     kHide,
     {},
     andToday(switches(kNetwork, 1, {netHood(1)}), kNetworkToday, 1),
     kSetDone},
    {"Row2Show",
     2,
     kShow,
     {},
     andToday(switches(kNetwork, 0, {netHood(0)}), kNetworkToday, 0),
     kUnsetDone},
    {"Row3Hide", 3, kHide, {}, switches(kComputer, 1), kSetDone},
    {"Row3Show", 3, kShow, {}, switches(kComputer, 0), kUnsetDone},
    {"Row4Hide", 4, kHide, {}, switches(kBrowserSwitch, 1, {keyGone(kBrowserKey)}), kSetDone},
    {"Row4ShowDoesNotRecreateKey", 4, kShow, {}, switches(kBrowserSwitch, 0), kUnsetDone},

    // Row 5: the drive letters, trimmed; "-1" is every drive.
    {"Row5Trimmed", 5, kHide, {{"  CD  "}}, {drives(12)}, kSetDone},
    {"Row5AllDrivesTrimmed", 5, kHide, {{" -1 "}}, {drives(0xFFFFFFFFu)}, kSetDone},
    {"Row5NoLetterWritesZero", 5, kHide, {{"123"}}, {drives(0)}, kSetDone},
    {"Row5OnlyBlanksIsACancel", 5, kHide, {{"   "}}, {}, kSilent},
    {"Row5ShowDeletes", 5, kShow, {}, {removed(kHkcu, kPolicies, "NoDrives")}, kUnsetDone},

    {"Row6HideWritesZero", 6, kHide, {}, {dword(kHklm, kShowAll, "CheckedValue", 0)}, kSetDone},
    {"Row6ShowWritesOne", 6, kShow, {}, {dword(kHklm, kShowAll, "CheckedValue", 1)}, kUnsetDone},
    {"Row7Hide", 7, kHide, {}, menu("NoClose", 1), kSetDone},
    {"Row7Show", 7, kShow, {}, menu("NoClose", 0), kUnsetDone},
    {"Row8HideBinary", 8, kHide, {}, menuFlag("NoLogOff", kOn), kSetDone},
    {"Row8ShowBinary", 8, kShow, {}, menuFlag("NoLogOff", kOff), kUnsetDone},
    {"Row9Hide", 9, kHide, {}, menu("NoFind", 1), kSetDone},
    {"Row9Show", 9, kShow, {}, menu("NoFind", 0), kUnsetDone},
    {"Row10Hide", 10, kHide, {}, menu("NoRecentDocsMenu", 1), kSetDone},
    {"Row10Show", 10, kShow, {}, menu("NoRecentDocsMenu", 0), kUnsetDone},
    {"Row11Hide", 11, kHide, {}, menu("NoRun", 1), kSetDone},
    {"Row11Show", 11, kShow, {}, menu("NoRun", 0), kUnsetDone},
};

class HideShowRows : public ::testing::TestWithParam<RowCase> {};

TEST_P(HideShowRows, WritesRefreshesThenShows) {
    checkRowCase(CataloguePage::HideShow, GetParam(), /*raisesRestart=*/false);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, HideShowRows, ::testing::ValuesIn(kHideShowCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HideShowRowsTable, CoversEveryButtonOfEveryRow) {
    expectEveryButtonCovered(CataloguePage::HideShow, kHideShowCases);
}

}  // namespace
}  // namespace hivora::testing
