// The twelve desktop and taskbar rows. Set shows "已设置！", lift "已解除！"; no row needs a
// restart. Rows 4, 7, 8 and 11 ask the user first (row_dialogues.cpp).

#include "core/catalogue/catalogue_types.h"
#include "core/catalogue/registry_locations.h"
#include "core/catalogue/row_dialogues.h"

namespace hivora {
namespace {

using namespace locations;

constexpr RegKey kHkcr = kHkeyClassesRoot;
constexpr RegKey kHkcu = kHkeyCurrentUser;
constexpr RegKey kHklm = kHkeyLocalMachine;
constexpr RegKey kHku = kHkeyUsers;

// Row 0: hide all desktop icons.
const RegOp kNoDesktopSet[] = {setDword(kHkcu, kExplorerPolicies, "NoDesktop", 1)};
const RegOp kNoDesktopLift[] = {deleteValue(kHkcu, kExplorerPolicies, "NoDesktop")};

// Row 1: keep the desktop as it was at every start.
const RegOp kNoSaveSettingsSet[] = {
    setBinary(kHkcu, kExplorerPolicies, "NoSaveSettings", kBinaryFlagOn)};
const RegOp kNoSaveSettingsLift[] = {deleteValue(kHkcu, kExplorerPolicies, "NoSaveSettings")};

// Row 2: right-aligned menus.
const RegOp kMenuAlignSet[] = {setString(kHkcu, kDesktopSettings, "MenuDropAlignment", "1")};
const RegOp kMenuAlignLift[] = {setString(kHkcu, kDesktopSettings, "MenuDropAlignment", "0")};

// Row 3: show the window's contents while dragging.
const RegOp kDragFullSet[] = {setString(kHkcu, kDesktopSettings, "DragFullWindows", "1")};
const RegOp kDragFullLift[] = {setString(kHkcu, kDesktopSettings, "DragFullWindows", "0")};

// Row 4: a text beside the taskbar clock. Set asks (askTaskbarText); lift puts back a plain
// 24-hour time and touches nothing else.
const RegOp kTimeFormatLift[] = {setString(kHkcu, kInternational, "sTimeFormat", "H:mm:ss")};
// Since Windows 7 the clock shows the short time format, which 7 brought in; writing the text
// there would change every program's short times, not only the clock's, so the row is not
// widened. Vista and 7 share a generation here: 7 stays unmarked rather than Vista wrongly so.
// Source: https://learn.microsoft.com/en-us/windows/win32/intl/locale-sshorttime
constexpr WindowsGenerations kClockText = before(WindowsGeneration::Win8);

// Row 5: no info tips, for the default profile first, then the current user.
const RegOp kInfoTipSet[] = {
    setDword(kHku, kDefaultExplorerAdvanced, "ShowInfoTip", 0),
    setDword(kHkcu, kExplorerAdvanced, "ShowInfoTip", 0),
};
const RegOp kInfoTipLift[] = {
    setDword(kHku, kDefaultExplorerAdvanced, "ShowInfoTip", 1),
    setDword(kHkcu, kExplorerAdvanced, "ShowInfoTip", 1),
};

// Row 6: no taskbar context menu, and no taskbar properties ("NoSetTaskbar", the name the shell
// reads).
const RegOp kTrayMenuSet[] = {
    setBinary(kHkcu, kExplorerPolicies, "NoTrayContextMenu", kBinaryFlagOn),
    setDword(kHkcu, kExplorerPolicies, "NoSetTaskbar", 1),
};
const RegOp kTrayMenuLift[] = {
    deleteValue(kHkcu, kExplorerPolicies, "NoTrayContextMenu"),
    deleteValue(kHkcu, kExplorerPolicies, "NoSetTaskbar"),
};

// Row 7: a forced wallpaper. Set asks (askWallpaper).
const RegOp kWallpaperLift[] = {
    deleteValue(kHkcu, kSystemPolicies, "Wallpaper"),
    deleteValue(kHkcu, kSystemPolicies, "WallpaperStyle"),
};

// Row 8: the wallpaper's origin, under "Control Panel\Desktop" where Windows reads it. Set asks
// (askWallpaperPosition).
const RegOp kWallpaperOriginLift[] = {
    deleteValue(kHkcu, kDesktopSettings, "WallpaperOriginX"),
    deleteValue(kHkcu, kDesktopSettings, "WallpaperOriginY"),
};

// Row 9: no arrow on shortcut icons. The arrow is drawn for the "lnkfile" class's "IsShortcut"
// and replaced by the shell icon "29".
const RegOp kShortcutArrowSet[] = {
    deleteValue(kHkcr, kShortcutClass, "IsShortcut"),
    setString(kHklm, kShellIcons, "29", ""),
};
const RegOp kShortcutArrowLift[] = {
    setString(kHkcr, kShortcutClass, "IsShortcut", ""),
    deleteValue(kHklm, kShellIcons, "29"),
};

// Row 10: no "快捷方式" prefix on new shortcuts.
const RegOp kLinkPrefixSet[] = {setDword(kHklm, kMachineExplorer, "link", 0)};
const RegOp kLinkPrefixLift[] = {setDword(kHklm, kMachineExplorer, "link", 1)};

// Row 11: the desktop icon size. Set asks (askIconSize); lift writes the default without the
// leading blank. Since Vista the desktop also keeps a view size of its own (Shell\Bags\1\Desktop
// IconSize); that is undocumented view state which Explorer holds while it runs and writes back
// when it ends, so the row does not write it, and nothing documented says where "Shell Icon Size"
// stops reaching: the row stays unmarked.
const RegOp kIconSizeLift[] = {setString(kHkcu, kWindowMetrics, "Shell Icon Size", "32")};

constexpr OutcomeMessage kDone = OutcomeMessage::SetDone;
constexpr OutcomeMessage kLifted = OutcomeMessage::UnsetDone;

ButtonAction set(std::span<const RegOp> ops, SettingNotice notice = SettingNotice::None) {
    return {ops, nullptr, kDone, false, notice};
}
ButtonAction ask(Dialogue dialogue, SettingNotice notice = SettingNotice::None) {
    return {{}, dialogue, kDone, false, notice};
}
ButtonAction lift(std::span<const RegOp> ops, SettingNotice notice = SettingNotice::None) {
    return {ops, nullptr, kLifted, false, notice};
}

const CatalogueRow kDesktopRows[] = {
    {"1 =>> 屏蔽桌面所有图标：(桌面将一片空白，而且在桌面上鼠标右键也点不出来啦!很讨厌的......)",
     set(kNoDesktopSet), lift(kNoDesktopLift)},
    {"2 =>> 每次启动时保持桌面设置不变：(无论作了什么修改，只要重新启动、桌面就会恢复原样。)",
     set(kNoSaveSettingsSet), lift(kNoSaveSettingsLift)},
    {"3 =>> 设置右键菜单的对齐方式为右对齐", set(kMenuAlignSet, SettingNotice::MenuAlignRight),
     lift(kMenuAlignLift, SettingNotice::MenuAlignLeft)},
    {"4 =>> 拖动窗口过程时显示窗口全部区域，而不只是窗口的框架",
     set(kDragFullSet, SettingNotice::DragFullWindows),
     lift(kDragFullLift, SettingNotice::DragFrameOnly)},
    {"5 =>> 让任务栏>>显示时间的地方>>显示任意文字：(可同时显示时间)",
     ask(askTaskbarText, SettingNotice::International),
     lift(kTimeFormatLift, SettingNotice::International), kClockText},
    {"6 =>> 禁止显示>>提示信息：(当鼠标停留在<我的电脑>,<网上邻居>等图标上时，鼠标旁会出现提示信"
     "息。)",
     set(kInfoTipSet), lift(kInfoTipLift)},
    {"7 =>> 禁止任务栏右键菜单：(禁止使用任务栏，同时也禁止了对<开始>的右键，大大提高了系统安全)",
     set(kTrayMenuSet), lift(kTrayMenuLift)},
    {"8 =>> 强制修改桌面背景：", ask(askWallpaper), lift(kWallpaperLift)},
    {"9 =>> 定位墙纸在桌面上的位置：(修改桌面背景所在的位置)", ask(askWallpaperPosition),
     lift(kWallpaperOriginLift)},
    {"10=>> 去掉快捷方式图标上的箭头：(隐藏快捷方式的小箭头)", set(kShortcutArrowSet),
     lift(kShortcutArrowLift)},
    {"11=>> 去除快捷方式文件的前缀<快捷方式>：(禁止创建快捷方式时名称有<快捷方式>四个字)",
     set(kLinkPrefixSet), lift(kLinkPrefixLift)},
    {"12=>> 桌面上的图标的大小及图标之间的上下、左右间距",
     ask(askIconSize, SettingNotice::WindowMetrics),
     lift(kIconSizeLift, SettingNotice::WindowMetrics)},
};

}  // namespace

const PageCatalogue& desktopCatalogue() {
    static const PageCatalogue page{kDesktopRows, kKindSet, kKindLift, false};
    return page;
}

}  // namespace hivora
