// The twelve hide-and-show rows: desktop icons, drives, hidden files (rows 0 to 6) and five Start
// menu commands (rows 7 to 11). Hide shows "已设置！", show "已解除！"; the desktop is refreshed
// after every completed action so that icon changes show at once. No restart is needed.

#include "core/catalogue/catalogue_types.h"
#include "core/catalogue/registry_locations.h"
#include "core/catalogue/row_dialogues.h"

namespace hivora {
namespace {

using namespace locations;

constexpr RegKey kHkcu = kHkeyCurrentUser;
constexpr RegKey kHklm = kHkeyLocalMachine;
constexpr RegKey kHku = kHkeyUsers;

// Desktop items: the key of the item in the desktop's namespace, and the name of its icon switch.
constexpr const char* kRecycleBinKey = "{645FF040-5081-101B-9F08-00AA002F954E}";
constexpr const char* kRecycleBinSwitch = "{645FF040-5081-101B-9F08-00AA002F954E}";
constexpr const char* kMyDocumentsKey = "{450d8fba-ad25-11d0-98a8-0800361b1103}";
constexpr const char* kMyDocumentsSwitch = "{450D8FBA-AD25-11D0-98A8-0800361B1103}";
constexpr const char* kNetworkPlacesSwitch = "{208D2C60-3AEA-1069-A2D7-08002B30309D}";
constexpr const char* kMyComputerSwitch = "{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
constexpr const char* kInternetExplorerKey = "{FBF23B42-E3F0-101B-8488-00AA003E56F8}";
constexpr const char* kInternetExplorerSwitch = "{871C5380-42A0-1069-A2EA-08002B30309D}";
// The items Vista and later put on the desktop instead of My Documents and My Network Places:
// the user's folder and Network. Their switches live under NewStartPanel only, as the classic
// Start menu went with Vista.
// Source: AutoHotkey CLSID list (User Folder, Network: Vista-11; My Documents, My Network Places:
// XP), https://www.autohotkey.com/docs/v2/misc/CLSID-List.htm
constexpr const char* kUsersFilesSwitch = "{59031a47-3f72-44a7-89c5-5595fe6b30ee}";
constexpr const char* kNetworkSwitch = "{F02C1A0D-BE21-4350-88B0-7367FC96EF3C}";

std::string nameSpaceKey(const char* item) {
    return std::string(kDesktopNameSpace) + item;
}

// The two icon switches of an item: under NewStartPanel, then under ClassicStartMenu.
RegOp newPanelSwitch(const char* item, std::int32_t hidden) {
    return setDword(kHkcu, kHideIconsNewStartPanel, item, hidden);
}
RegOp classicMenuSwitch(const char* item, std::int32_t hidden) {
    return setDword(kHkcu, kHideIconsClassicStartMenu, item, hidden);
}

const RegOp kRecycleBinHide[] = {
    removeKey(kHklm, nameSpaceKey(kRecycleBinKey)),
    newPanelSwitch(kRecycleBinSwitch, 1),
    classicMenuSwitch(kRecycleBinSwitch, 1),
};
// Showing brings the namespace key back with what it held when it was hidden, where the change
// journal kept it; otherwise it is made empty.
const RegOp kRecycleBinShow[] = {
    restoreKey(kHklm, nameSpaceKey(kRecycleBinKey), true),
    newPanelSwitch(kRecycleBinSwitch, 0),
    classicMenuSwitch(kRecycleBinSwitch, 0),
};

// Rows 1 and 2 also flip today's item (last), so that they hide what today's desktop shows.
const RegOp kMyDocumentsHide[] = {
    removeKey(kHklm, nameSpaceKey(kMyDocumentsKey)),
    newPanelSwitch(kMyDocumentsSwitch, 1),
    classicMenuSwitch(kMyDocumentsSwitch, 1),
    newPanelSwitch(kUsersFilesSwitch, 1),
};
const RegOp kMyDocumentsShow[] = {
    restoreKey(kHklm, nameSpaceKey(kMyDocumentsKey), true),
    newPanelSwitch(kMyDocumentsSwitch, 0),
    classicMenuSwitch(kMyDocumentsSwitch, 0),
    newPanelSwitch(kUsersFilesSwitch, 0),
};

const RegOp kNetworkPlacesHide[] = {
    setDword(kHkcu, kExplorerPolicies, "NoNetHood", 1),
    newPanelSwitch(kNetworkPlacesSwitch, 1),
    classicMenuSwitch(kNetworkPlacesSwitch, 1),
    newPanelSwitch(kNetworkSwitch, 1),
};
const RegOp kNetworkPlacesShow[] = {
    setDword(kHkcu, kExplorerPolicies, "NoNetHood", 0),
    newPanelSwitch(kNetworkPlacesSwitch, 0),
    classicMenuSwitch(kNetworkPlacesSwitch, 0),
    newPanelSwitch(kNetworkSwitch, 0),
};

const RegOp kMyComputerHide[] = {
    newPanelSwitch(kMyComputerSwitch, 1),
    classicMenuSwitch(kMyComputerSwitch, 1),
};
const RegOp kMyComputerShow[] = {
    newPanelSwitch(kMyComputerSwitch, 0),
    classicMenuSwitch(kMyComputerSwitch, 0),
};

// Showing the browser again brings its namespace key back only where the change journal kept
// it; otherwise only the switches flip and the key stays absent.
const RegOp kInternetExplorerHide[] = {
    removeKey(kHklm, nameSpaceKey(kInternetExplorerKey)),
    newPanelSwitch(kInternetExplorerSwitch, 1),
    classicMenuSwitch(kInternetExplorerSwitch, 1),
};
const RegOp kInternetExplorerShow[] = {
    restoreKey(kHklm, nameSpaceKey(kInternetExplorerKey), false),
    newPanelSwitch(kInternetExplorerSwitch, 0),
    classicMenuSwitch(kInternetExplorerSwitch, 0),
};

// Row 5: hiding asks for the drive letters (askHiddenDrives); showing removes the mask.
const RegOp kDrivesShow[] = {deleteValue(kHkcu, kExplorerPolicies, "NoDrives")};

// Row 6: "CheckedValue" 0 keeps hidden files hidden even when the user asks to see them.
const RegOp kHiddenFilesHide[] = {setDword(kHklm, kShowAllHidden, "CheckedValue", 0)};
const RegOp kHiddenFilesShow[] = {setDword(kHklm, kShowAllHidden, "CheckedValue", 1)};

// Rows 7 to 11: Start menu commands. The default profile's copy reaches the logon screen; the
// current user's copy is the one the user's Start menu reads.
std::vector<RegOp> startMenuPolicy(const char* name, std::int32_t hidden) {
    return {setDword(kHku, kDefaultExplorerPolicies, name, hidden),
            setDword(kHkcu, kExplorerPolicies, name, hidden)};
}
std::vector<RegOp> startMenuFlag(const char* name, std::string_view flag) {
    return {setBinary(kHku, kDefaultExplorerPolicies, name, flag),
            setBinary(kHkcu, kExplorerPolicies, name, flag)};
}
const std::vector<RegOp> kShutDownHide = startMenuPolicy("NoClose", 1);
const std::vector<RegOp> kShutDownShow = startMenuPolicy("NoClose", 0);
const std::vector<RegOp> kLogOffHide = startMenuFlag("NoLogOff", kBinaryFlagOn);
const std::vector<RegOp> kLogOffShow = startMenuFlag("NoLogOff", kBinaryFlagOff);
const std::vector<RegOp> kSearchHide = startMenuPolicy("NoFind", 1);
const std::vector<RegOp> kSearchShow = startMenuPolicy("NoFind", 0);
const std::vector<RegOp> kRecentDocsHide = startMenuPolicy("NoRecentDocsMenu", 1);
const std::vector<RegOp> kRecentDocsShow = startMenuPolicy("NoRecentDocsMenu", 0);
const std::vector<RegOp> kRunHide = startMenuPolicy("NoRun", 1);
const std::vector<RegOp> kRunShow = startMenuPolicy("NoRun", 0);

// `todaysOps`: how many of the last operations write today's location.
ButtonAction hide(std::span<const RegOp> ops, std::uint8_t todaysOps = 0) {
    return {ops, nullptr, OutcomeMessage::SetDone, false, SettingNotice::None, todaysOps};
}
ButtonAction show(std::span<const RegOp> ops, std::uint8_t todaysOps = 0) {
    return {ops, nullptr, OutcomeMessage::UnsetDone, false, SettingNotice::None, todaysOps};
}

// The browser's desktop item: the browser is not part of Windows 11 ("Internet Explorer is
// disabled", source beside the browser property rows, browser_property_rows.cpp), and its item
// is listed for XP to 10 only (AutoHotkey CLSID list).
constexpr WindowsGenerations kBrowserIcon = before(WindowsGeneration::Win11);

const CatalogueRow kHideShowRows[] = {
    {"隐藏\"回收站\"", hide(kRecycleBinHide), show(kRecycleBinShow)},
    {"隐藏\"我的文档\"",
     hide(kMyDocumentsHide, 1),
     show(kMyDocumentsShow, 1),
     {},
     "HideDesktopIcons\\NewStartPanel {59031a47-3f72-44a7-89c5-5595fe6b30ee} (HKCU)"},
    {"隐藏\"网上邻居\"",
     hide(kNetworkPlacesHide, 1),
     show(kNetworkPlacesShow, 1),
     {},
     "HideDesktopIcons\\NewStartPanel {F02C1A0D-BE21-4350-88B0-7367FC96EF3C} (HKCU)"},
    {"隐藏\"我的电脑\"", hide(kMyComputerHide), show(kMyComputerShow)},
    {"隐藏\"IE浏览器\" ", hide(kInternetExplorerHide), show(kInternetExplorerShow), kBrowserIcon},
    {"隐藏\"驱动器\"", {{}, askHiddenDrives, OutcomeMessage::SetDone, false}, show(kDrivesShow)},
    {"让隐藏文件彻底隐藏", hide(kHiddenFilesHide), show(kHiddenFilesShow)},
    {"隐藏<关闭计算机>菜单", hide(kShutDownHide), show(kShutDownShow)},
    {"隐藏<注销>菜单", hide(kLogOffHide), show(kLogOffShow)},
    {"隐藏<搜索>菜单", hide(kSearchHide), show(kSearchShow)},
    {"隐藏<最近的文档>菜单", hide(kRecentDocsHide), show(kRecentDocsShow)},
    {"隐藏<运行>菜单", hide(kRunHide), show(kRunShow)},
};

}  // namespace

const PageCatalogue& hideShowCatalogue() {
    static const PageCatalogue page{kHideShowRows, kKindHide, kKindShow, true};
    return page;
}

}  // namespace hivora
