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

const RegOp kMyDocumentsHide[] = {
    removeKey(kHklm, nameSpaceKey(kMyDocumentsKey)),
    newPanelSwitch(kMyDocumentsSwitch, 1),
    classicMenuSwitch(kMyDocumentsSwitch, 1),
};
const RegOp kMyDocumentsShow[] = {
    restoreKey(kHklm, nameSpaceKey(kMyDocumentsKey), true),
    newPanelSwitch(kMyDocumentsSwitch, 0),
    classicMenuSwitch(kMyDocumentsSwitch, 0),
};

const RegOp kNetworkPlacesHide[] = {
    setDword(kHkcu, kExplorerPolicies, "NoNetHood", 1),
    newPanelSwitch(kNetworkPlacesSwitch, 1),
    classicMenuSwitch(kNetworkPlacesSwitch, 1),
};
const RegOp kNetworkPlacesShow[] = {
    setDword(kHkcu, kExplorerPolicies, "NoNetHood", 0),
    newPanelSwitch(kNetworkPlacesSwitch, 0),
    classicMenuSwitch(kNetworkPlacesSwitch, 0),
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

ButtonAction hide(std::span<const RegOp> ops) {
    return {ops, nullptr, OutcomeMessage::SetDone, false};
}
ButtonAction show(std::span<const RegOp> ops) {
    return {ops, nullptr, OutcomeMessage::UnsetDone, false};
}

const CatalogueRow kHideShowRows[] = {
    {"隐藏\"回收站\"", hide(kRecycleBinHide), show(kRecycleBinShow)},
    {"隐藏\"我的文档\"", hide(kMyDocumentsHide), show(kMyDocumentsShow)},
    {"隐藏\"网上邻居\"", hide(kNetworkPlacesHide), show(kNetworkPlacesShow)},
    {"隐藏\"我的电脑\"", hide(kMyComputerHide), show(kMyComputerShow)},
    {"隐藏\"IE浏览器\" ", hide(kInternetExplorerHide), show(kInternetExplorerShow)},
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
