// The four logon style rows. Set shows "已设置！", unset "已解除！"; nothing needs a restart.
// Rows 0 and 3 ask everything they need before they write anything, so a cancelled box leaves
// the machine as it was.

#include <string>

#include "core/catalogue/catalogue_types.h"
#include "core/catalogue/registry_locations.h"

namespace hivora {
namespace {

using namespace locations;

constexpr RegKey kHklm = kHkeyLocalMachine;

RegOp winlogonText(const char* name, std::string text) {
    return setString(kHklm, kWinlogon, name, std::move(text));
}
RegOp noWinlogonValue(const char* name) {
    return deleteValue(kHklm, kWinlogon, name);
}

// Row 0: a notice shown before logon: its caption and its text, both as entered.
std::optional<std::vector<RegOp>> askLogonNotice(DialogueContext& context) {
    constexpr const char* kTitle = "开机对话框的创建";
    const std::string caption = context.dialogs.ShowInputBox("请输入对话框标题：", kTitle);
    if (caption.empty()) return std::nullopt;
    context.scratchText = context.dialogs.ShowInputBox("请输入对话框内容：", kTitle);
    if (context.scratchText.empty()) return std::nullopt;
    return std::vector<RegOp>{winlogonText("LegalNoticeCaption", caption),
                              winlogonText("LegalNoticeText", context.scratchText)};
}
const RegOp kLogonNoticeUnset[] = {noWinlogonValue("LegalNoticeCaption"),
                                   noWinlogonValue("LegalNoticeText")};

// Row 1: log on again automatically after a log-off.
const RegOp kForceAutoLogonSet[] = {winlogonText("ForceAutoLogon", "1")};
const RegOp kForceAutoLogonUnset[] = {noWinlogonValue("ForceAutoLogon")};

// Row 2: no last user name. The older Winlogon key is the Windows 9x one and "LogonType"
// switches XP's welcome screen, which Vista replaced; every Windows since XP reads the security
// option "Interactive logon: Do not display last user name" (1 enabled, 0 disabled), so the row
// writes it too and reaches every generation.
// Source:
// https://learn.microsoft.com/en-us/previous-versions/windows/it-pro/windows-server-2012-R2-and-2012/jj852247(v=ws.11)
const RegOp kHideLastUserSet[] = {
    setString(kHklm, kLegacyWinlogon, "DontDisplayLastUserName", "1"),
    setDword(kHklm, kWinlogon, "LogonType", 0),
    setDword(kHklm, kMachineSystemPolicies, "DontDisplayLastUserName", 1),
};
const RegOp kHideLastUserUnset[] = {
    deleteValue(kHklm, kLegacyWinlogon, "DontDisplayLastUserName"),
    setDword(kHklm, kWinlogon, "LogonType", 1),
    setDword(kHklm, kMachineSystemPolicies, "DontDisplayLastUserName", 0),
};

bool passwordIsSecret(const DialogueContext& context) {
    return context.secrets != nullptr && context.secrets->place() == PasswordPlace::LsaSecret;
}

bool passwordHasNoPlace(const DialogueContext& context) {
    return context.secrets != nullptr && context.secrets->place() == PasswordPlace::Nowhere;
}

// Says why automatic logon was left as it was when a box was left empty (or cancelled).
std::nullopt_t tellBothRequired(DialogueContext& context) {
    (void)context.dialogs.ShowMessageBox("用户名与密码都不能为空，未作任何改动。", kMbOk,
                                         std::string(kOutcomeTitle));
    return std::nullopt;
}

// Row 3: automatic logon. Both the user name and the password are required; the password is
// typed masked and never kept in the scratch slot. Where the system keeps it as a secret, the
// secret is stored first: if that fails nothing is written at all, so automatic logon is never
// switched on without its password, and no plain-text copy is ever written. Where the password
// has no safe place (registry files in Wine's format, an installed Windows worked on from
// outside) the row refuses before asking anything, with the store's own reason.
std::optional<std::vector<RegOp>> askAutoLogon(DialogueContext& context) {
    constexpr const char* kTitle = "自动登录系统";
    if (passwordHasNoPlace(context)) {
        context.failure = context.secrets->storeSecret(kDefaultPasswordSecret, std::string());
        if (context.failure.isOk()) context.failure = Status::error(kNoPasswordPlaceText);
        return std::vector<RegOp>{};
    }
    context.scratchText = context.dialogs.ShowInputBox("请输入用户名：", kTitle);
    if (context.scratchText.empty()) return tellBothRequired(context);
    const std::string userName = context.scratchText;
    std::string password = context.dialogs.ShowInputBox("请输入密码：", kTitle, "", true);
    if (password.empty()) return tellBothRequired(context);

    std::vector<RegOp> ops{winlogonText("AutoAdminLogon", "1"),
                           winlogonText("DefaultUserName", userName)};
    if (passwordIsSecret(context)) {
        context.failure = context.secrets->storeSecret(kDefaultPasswordSecret, password);
        if (!context.failure.isOk()) return std::vector<RegOp>{};
        ops.push_back(noWinlogonValue(kDefaultPasswordSecret));
    } else {
        ops.push_back(winlogonText(kDefaultPasswordSecret, password));
    }
    return ops;
}

// Row 3, unset: the values go whatever happens to the secret, so automatic logon is off.
std::optional<std::vector<RegOp>> removeAutoLogon(DialogueContext& context) {
    if (passwordIsSecret(context)) {
        context.failure = context.secrets->removeSecret(kDefaultPasswordSecret);
    }
    return std::vector<RegOp>{noWinlogonValue("AutoAdminLogon"), noWinlogonValue("DefaultUserName"),
                              noWinlogonValue(kDefaultPasswordSecret)};
}

// `todaysOps`: how many of the last operations write today's location.
ButtonAction set(std::span<const RegOp> ops, std::uint8_t todaysOps = 0) {
    return {ops, nullptr, OutcomeMessage::SetDone, false, SettingNotice::None, todaysOps};
}
ButtonAction unset(std::span<const RegOp> ops, std::uint8_t todaysOps = 0) {
    return {ops, nullptr, OutcomeMessage::UnsetDone, false, SettingNotice::None, todaysOps};
}

const CatalogueRow kLogonStyleRows[] = {
    {"开机弹出的窗口：(开机对话框，开机时可能会遇到一个突如其来的对话框)",
     {{}, askLogonNotice, OutcomeMessage::SetDone, false},
     unset(kLogonNoticeUnset)},
    {"强制系统进行自动登陆：(在系统运行时，即使注销也会自动登录到指定的账户)",
     set(kForceAutoLogonSet), unset(kForceAutoLogonUnset)},
    {"隐藏上机用户登录的名字",
     set(kHideLastUserSet, 1),
     unset(kHideLastUserUnset, 1),
     {},
     "Policies\\System DontDisplayLastUserName (HKLM)"},
    {"设置开机时自动登录系统(用户名与密码不能为空)",
     {{}, askAutoLogon, OutcomeMessage::SetDone, false},
     {{}, removeAutoLogon, OutcomeMessage::UnsetDone, false}},
};

}  // namespace

const PageCatalogue& logonStyleCatalogue() {
    static const PageCatalogue page{kLogonStyleRows, kKindSet, kKindLift, false};
    return page;
}

}  // namespace hivora
