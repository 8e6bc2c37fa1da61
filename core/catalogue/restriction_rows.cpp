// The thirteen restriction rows. Forbid shows "已设置！", lift "已解除！"; both need a restart to
// take effect. Lifting writes the "off" form of the same values; only row 5's newer policy is
// removed again, as its absence is the documented "not configured".

#include "core/catalogue/catalogue_types.h"
#include "core/catalogue/registry_locations.h"

namespace hivora {
namespace {

using namespace locations;

constexpr RegKey kHkcr = kHkeyClassesRoot;
constexpr RegKey kHkcu = kHkeyCurrentUser;
constexpr RegKey kHku = kHkeyUsers;

RegOp policyFlag(const char* name, std::string_view flag) {
    return setBinary(kHkcu, kExplorerPolicies, name, flag);
}

// Row 0: the desktop's context menu.
const RegOp kViewMenuForbid[] = {policyFlag("NoViewContextMenu", kBinaryFlagOn)};
const RegOp kViewMenuLift[] = {policyFlag("NoViewContextMenu", kBinaryFlagOff)};

// Row 1: the taskbar's context menu.
const RegOp kTrayMenuForbid[] = {policyFlag("NoTrayContextMenu", kBinaryFlagOn)};
const RegOp kTrayMenuLift[] = {policyFlag("NoTrayContextMenu", kBinaryFlagOff)};

// Row 2: the recent documents history, and clearing it on exit.
const RegOp kRecentDocsForbid[] = {
    policyFlag("NoRecentDocsHistory", kBinaryFlagOn),
    policyFlag("ClearRecentDocsonExit", kBinaryFlagOn),
};
const RegOp kRecentDocsLift[] = {
    policyFlag("NoRecentDocsHistory", kBinaryFlagOff),
    policyFlag("ClearRecentDocsonExit", kBinaryFlagOff),
};

// Row 3: automatic run. The value is a mask of drive types that never run automatically: FF
// covers every type (data discs included); 91 (unknown, network and unknown-future types) is what
// Windows itself sets, so lifting gives back Windows' own behaviour rather than running
// everything.
constexpr std::string_view kNoDriveRunsAutomatically{"\xFF\0\0\0", 4};
constexpr std::string_view kWindowsAutoRunDefault{"\x91\0\0\0", 4};
const RegOp kAutoRunForbid[] = {policyFlag("NoDriveTypeAutoRun", kNoDriveRunsAutomatically)};
const RegOp kAutoRunLift[] = {policyFlag("NoDriveTypeAutoRun", kWindowsAutoRunDefault)};

// Row 4: automatic play of audio CDs: the default verb of "AudioCD\shell", a blank for none.
const RegOp kAudioCdForbid[] = {setString(kHkcr, kAudioCdShell, "", " ")};
const RegOp kAudioCdLift[] = {setString(kHkcr, kAudioCdShell, "", "Play")};

// Row 5: the MS-DOS mode. Only Windows 95 and 98 read the "WinOldApp" policies
// (http://franck.kiechel.free.fr/dbr_eng/DOS.htm, "No DOS in 95/98"); Windows since 2000 reads
// "Prevent access to the command prompt", whose 2 keeps batch files (logon scripts) running
// and 1 would stop them too, so the row writes 2. With both the row reaches every generation.
// Source:
// https://learn.microsoft.com/en-us/windows/client-management/mdm/policy-csp-admx-shellcommandpromptregedittools
const RegOp kDosModeForbid[] = {
    setBinary(kHkcu, kWinOldAppPolicies, "Disabled", kBinaryFlagOn),
    setDword(kHkcu, kWindowsSystemPolicies, "DisableCMD", 2),
};
const RegOp kDosModeLift[] = {
    setBinary(kHkcu, kWinOldAppPolicies, "Disabled", kBinaryFlagOff),
    deleteValue(kHkcu, kWindowsSystemPolicies, "DisableCMD"),
};

// Row 6: moving the user folders (pictures, favourites, music), under the names the shell reads.
// Today's Windows has one policy for every profile folder, "Prohibit User from manually
// redirecting Profile Folders", so the row writes it too (last); lifting removes it, its absence
// being "not configured".
// Source: https://learn.microsoft.com/en-us/windows/client-management/mdm/policy-csp-desktop
const RegOp kUserFoldersForbid[] = {
    setDword(kHkcu, kExplorerPolicies, "DisableMyPicturesDirChange", 1),
    setDword(kHkcu, kExplorerPolicies, "DisableFavoritesDirChange", 1),
    setDword(kHkcu, kExplorerPolicies, "DisableMyMusicDirChange", 1),
    setDword(kHkcu, kExplorerPolicies, "DisablePersonalDirChange", 1),
};
const RegOp kUserFoldersLift[] = {
    setDword(kHkcu, kExplorerPolicies, "DisableMyPicturesDirChange", 0),
    setDword(kHkcu, kExplorerPolicies, "DisableFavoritesDirChange", 0),
    setDword(kHkcu, kExplorerPolicies, "DisableMyMusicDirChange", 0),
    deleteValue(kHkcu, kExplorerPolicies, "DisablePersonalDirChange"),
};

// Row 7: info tips. The value switches them on, so forbidding writes 0.
const RegOp kInfoTipForbid[] = {setDword(kHkcu, kExplorerAdvanced, "ShowInfoTip", 0)};
const RegOp kInfoTipLift[] = {setDword(kHkcu, kExplorerAdvanced, "ShowInfoTip", 1)};

// Rows 8, 9 and 11: system policies. The default profile's copy reaches the logon screen; the
// current user's copy is the one that restricts the user.
RegOp defaultProfilePolicy(const char* name, std::int32_t on) {
    return setDword(kHku, kDefaultSystemPolicies, name, on);
}
RegOp userPolicy(const char* name, std::int32_t on) {
    return setDword(kHkcu, kSystemPolicies, name, on);
}
const RegOp kDisplayForbid[] = {defaultProfilePolicy("NoDispCPL", 1), userPolicy("NoDispCPL", 1)};
const RegOp kDisplayLift[] = {defaultProfilePolicy("NoDispCPL", 0), userPolicy("NoDispCPL", 0)};
const RegOp kRegEditForbid[] = {defaultProfilePolicy("DisableRegistryTools", 1),
                                userPolicy("DisableRegistryTools", 1)};
const RegOp kRegEditLift[] = {defaultProfilePolicy("DisableRegistryTools", 0),
                              userPolicy("DisableRegistryTools", 0)};

// Row 10: the control panel.
const RegOp kControlPanelForbid[] = {policyFlag("NoSetFolders", kBinaryFlagOn)};
const RegOp kControlPanelLift[] = {policyFlag("NoSetFolders", kBinaryFlagOff)};

const RegOp kTaskMgrForbid[] = {defaultProfilePolicy("DisableTaskMgr", 1),
                                userPolicy("DisableTaskMgr", 1)};
const RegOp kTaskMgrLift[] = {defaultProfilePolicy("DisableTaskMgr", 0),
                              userPolicy("DisableTaskMgr", 0)};

// Row 12: the Start menu.
const RegOp kStartMenuForbid[] = {setDword(kHkcu, kExplorerPolicies, "NoChangeStartMenu", 1)};
const RegOp kStartMenuLift[] = {setDword(kHkcu, kExplorerPolicies, "NoChangeStartMenu", 0)};

// `todaysOps`: how many of the last operations write today's location.
ButtonAction forbid(std::span<const RegOp> ops, std::uint8_t todaysOps = 0) {
    return {ops, nullptr, OutcomeMessage::SetDone, true, SettingNotice::None, todaysOps};
}
ButtonAction lift(std::span<const RegOp> ops, std::uint8_t todaysOps = 0) {
    return {ops, nullptr, OutcomeMessage::UnsetDone, true, SettingNotice::None, todaysOps};
}

const CatalogueRow kRestrictionRows[] = {
    {"禁止系统右键弹出菜单", forbid(kViewMenuForbid), lift(kViewMenuLift)},
    {"禁止任务栏右键弹出菜单", forbid(kTrayMenuForbid), lift(kTrayMenuLift)},
    {"禁止\"文档\"记录功能(最近文档)", forbid(kRecentDocsForbid), lift(kRecentDocsLift)},
    {"禁止数据光盘自动运行", forbid(kAutoRunForbid), lift(kAutoRunLift)},
    {"禁止CD光盘自动运行", forbid(kAudioCdForbid), lift(kAudioCdLift)},
    {"禁止使用MS－DOS方式",
     forbid(kDosModeForbid, 1),
     lift(kDosModeLift, 1),
     {},
     "Policies\\Microsoft\\Windows\\System DisableCMD (HKCU)"},
    {"禁止修改用户文件夹",
     forbid(kUserFoldersForbid, 1),
     lift(kUserFoldersLift, 1),
     {},
     "Policies\\Explorer DisablePersonalDirChange (HKCU)"},
    {"禁止显示>>提示信息", forbid(kInfoTipForbid), lift(kInfoTipLift)},
    {"禁止修改显示属性", forbid(kDisplayForbid), lift(kDisplayLift)},
    {"禁止使用注册表编辑器", forbid(kRegEditForbid), lift(kRegEditLift)},
    {"禁止修改控制面版", forbid(kControlPanelForbid), lift(kControlPanelLift)},
    {"禁止用户运行任务管理器", forbid(kTaskMgrForbid), lift(kTaskMgrLift)},
    {"禁止修改开始菜单", forbid(kStartMenuForbid), lift(kStartMenuLift)},
};

}  // namespace

const PageCatalogue& restrictionsCatalogue() {
    static const PageCatalogue page{kRestrictionRows, kKindForbid, kKindLift, false};
    return page;
}

}  // namespace hivora
