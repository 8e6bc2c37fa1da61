// The twelve property rows of the browser page. Set shows "已设置！", unset "已解除！"; no row
// needs a restart. Rows 4, 5, 8 and 11 ask the user or look around first (browser_dialogues.cpp).

#include "core/catalogue/browser_dialogues.h"
#include "core/catalogue/catalogue_types.h"
#include "core/catalogue/registry_locations.h"

namespace hivora {
namespace {

using namespace locations;

constexpr RegKey kHkcu = kHkeyCurrentUser;
constexpr RegKey kHklm = kHkeyLocalMachine;
constexpr RegKey kHku = kHkeyUsers;

// Row 0: the home page setting locked.
const RegOp kHomePageSet[] = {setDword(kHkcu, kBrowserControlPanelPolicies, "HomePage", 1)};
const RegOp kHomePageUnset[] = {setDword(kHkcu, kBrowserControlPanelPolicies, "HomePage", 0)};

// Row 1: View > Source, for the user and then for the machine.
const RegOp kViewSourceSet[] = {
    setString(kHkcu, kBrowserRestrictionPolicies, "NoViewSource", "1"),
    setString(kHklm, kBrowserRestrictionPolicies, "NoViewSource", "1"),
};
const RegOp kViewSourceUnset[] = {
    setString(kHkcu, kBrowserRestrictionPolicies, "NoViewSource", "0"),
    setString(kHklm, kBrowserRestrictionPolicies, "NoViewSource", "0"),
};

// Row 2: the Advanced tab of Internet Options.
const RegOp kAdvancedTabSet[] = {setDword(kHkcu, kBrowserControlPanelPolicies, "AdvancedTab", 1)};
const RegOp kAdvancedTabUnset[] = {setDword(kHkcu, kBrowserControlPanelPolicies, "AdvancedTab", 0)};

// Row 3: Internet Options in the Tools menu. The shell's folder options switch (first) removes
// Explorer's Folder Options, not the browser's menu item; the browser's own restriction, "Tools
// menu: Disable Internet Options... menu option", is written too (last). Unsetting removes it,
// its absence being "not configured".
// Source: Internet Explorer administrative template inetres.admx, policy NoBrowserOptions
const RegOp kFolderOptionsSet[] = {
    setBinary(kHkcu, kExplorerPolicies, "NoFolderOptions", kBinaryFlagOn),
    setDword(kHkcu, kBrowserRestrictionPolicies, "NoBrowserOptions", 1),
};
const RegOp kFolderOptionsUnset[] = {
    setBinary(kHkcu, kExplorerPolicies, "NoFolderOptions", kBinaryFlagOff),
    deleteValue(kHkcu, kBrowserRestrictionPolicies, "NoBrowserOptions"),
};

// Row 6: opening maximised: without a remembered placement the browser fills the screen.
// Unsetting leaves both values holding one zero byte.
constexpr std::string_view kZeroByte{"\0", 1};
const RegOp kMaximisedSet[] = {
    deleteValue(kHkcu, kBrowserMain, "Window_Placement"),
    deleteValue(kHkcu, kBrowserOldWorkAreas, "OldWorkAreaRects"),
};
const RegOp kMaximisedUnset[] = {
    setBinary(kHkcu, kBrowserMain, "Window_Placement", kZeroByte),
    setBinary(kHkcu, kBrowserOldWorkAreas, "OldWorkAreaRects", kZeroByte),
};

// Row 7: the language settings.
const RegOp kLanguagesSet[] = {setDword(kHkcu, kBrowserControlPanelPolicies, "Languages", 1)};
const RegOp kLanguagesUnset[] = {deleteValue(kHkcu, kBrowserControlPanelPolicies, "Languages")};

// Row 8: the toolbar picture. Set asks (askToolbarPicture).
const RegOp kToolbarPictureUnset[] = {
    deleteValue(kHkcu, kBrowserToolbar, "backbitmapIE5"),
    deleteValue(kHkcu, kBrowserToolbar, "backbitmap"),
};

// Rows 9 and 10: the toolbars and the status bar, for the default profile, then the user.
const RegOp kToolbarsSet[] = {
    setString(kHku, kDefaultBrowserMain, "Show_URLToolBar", "no"),
    setString(kHkcu, kBrowserMain, "Show_URLToolBar", "no"),
    setString(kHku, kDefaultBrowserMain, "Show_ToolBar", "no"),
    setString(kHkcu, kBrowserMain, "Show_ToolBar", "no"),
};
const RegOp kToolbarsUnset[] = {
    setString(kHku, kDefaultBrowserMain, "Show_URLToolBar", "yes"),
    setString(kHkcu, kBrowserMain, "Show_URLToolBar", "yes"),
    setString(kHku, kDefaultBrowserMain, "Show_ToolBar", "yes"),
    setString(kHkcu, kBrowserMain, "Show_ToolBar", "yes"),
};
const RegOp kStatusBarSet[] = {
    setString(kHku, kDefaultBrowserMain, "Show_StatusBar", "no"),
    setString(kHkcu, kBrowserMain, "Show_StatusBar", "no"),
};
const RegOp kStatusBarUnset[] = {
    setString(kHku, kDefaultBrowserMain, "Show_StatusBar", "yes"),
    setString(kHkcu, kBrowserMain, "Show_StatusBar", "yes"),
};

// Row 11: the links folder's name. Set asks (askLinksFolderName); unset restores the usual one.
const RegOp kLinksNameUnset[] = {
    setString(kHkcu, kBrowserToolbarPolicies, "LinksFolderName", "链接")};

// `todaysOps`: how many of the last operations write today's location.
ButtonAction set(std::span<const RegOp> ops, std::uint8_t todaysOps = 0) {
    return {ops, nullptr, OutcomeMessage::SetDone, false, SettingNotice::None, todaysOps};
}
ButtonAction unset(std::span<const RegOp> ops, std::uint8_t todaysOps = 0) {
    return {ops, nullptr, OutcomeMessage::UnsetDone, false, SettingNotice::None, todaysOps};
}
ButtonAction askThenSet(Dialogue dialogue) {
    return {{}, dialogue, OutcomeMessage::SetDone, false};
}
ButtonAction askThenUnset(Dialogue dialogue) {
    return {{}, dialogue, OutcomeMessage::UnsetDone, false};
}

// Where the rows take effect. The browser's desktop program is not part of Windows 11: "Internet
// Explorer is disabled" (Microsoft's Windows 11 requirements page, section "Feature
// deprecations and removals"). Row 3 is marked with the browser: its menu item is the
// browser's, whatever Explorer's own switch still does there.
constexpr WindowsGenerations kBrowser = before(WindowsGeneration::Win11);
// Rows 4 and 8 reach only the browser before version 7, the last one XP had by itself; Vista
// came with version 7 (their captions say "IE7以下").
constexpr WindowsGenerations kBrowserBefore7 =
    onlyOn(WindowsGeneration::Win9x, WindowsGeneration::Xp);

const CatalogueRow kBrowserPropertyRows[] = {
    {"锁定主页设置，且使设置选项无效：(屏蔽)", set(kHomePageSet), unset(kHomePageUnset), kBrowser},
    {"禁用菜单<查看>下的<源文件>项：", set(kViewSourceSet), unset(kViewSourceUnset), kBrowser},
    {"禁止使用IE<INTERNET选项>中的高级项：", set(kAdvancedTabSet), unset(kAdvancedTabUnset),
     kBrowser},
    {"禁止显示菜单<工具>中的<INTERNET选项>：", set(kFolderOptionsSet, 1),
     unset(kFolderOptionsUnset, 1), kBrowser,
     "Policies\\Microsoft\\Internet Explorer\\Restrictions NoBrowserOptions (HKCU)"},
    {"禁止显示IE的地址栏(IE7以下)：", askThenSet(askAddressBarHidden),
     askThenUnset(askAddressBarRestored), kBrowserBefore7},
    {"定制IE地址(即可为网络，也可是本地)：", askThenSet(askAliasAdded),
     askThenUnset(askAliasRemoved), kBrowser},
    {"打开IE时默认最大化：", set(kMaximisedSet), unset(kMaximisedUnset), kBrowser},
    {"禁止更改IE的语言设置：", set(kLanguagesSet), unset(kLanguagesUnset), kBrowser},
    {"为工具栏添加背景(IE7以下)：", askThenSet(askToolbarPicture), unset(kToolbarPictureUnset),
     kBrowserBefore7},
    {"禁止显示IE的工具栏：", set(kToolbarsSet), unset(kToolbarsUnset), kBrowser},
    {"禁止显示IE的状态栏", set(kStatusBarSet), unset(kStatusBarUnset), kBrowser},
    {"地址栏下拉菜单文字信息：", askThenSet(askLinksFolderName), unset(kLinksNameUnset), kBrowser},
};

}  // namespace

const PageCatalogue& browserPropertiesCatalogue() {
    static const PageCatalogue page{kBrowserPropertyRows, kKindSet, kKindLift, false};
    return page;
}

}  // namespace hivora
