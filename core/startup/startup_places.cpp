#include "core/startup/startup_places.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace hivora {

namespace {

constexpr RegKey kCu = kHkeyCurrentUser;
constexpr RegKey kLm = kHkeyLocalMachine;

constexpr char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunOnce[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char kRun32[] = "Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunOnce32[] = "Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char kPolicyRun[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run";

constexpr char kApprovedRun[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
constexpr char kApprovedRun32[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run32";
constexpr char kApprovedFolder[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder";

// The program's own keys for entries it switched off; one per place, under the place's root.
constexpr char kBackupRun[] = "Software\\Hivora\\DisabledStartup\\Run";
constexpr char kBackupRunOnce[] = "Software\\Hivora\\DisabledStartup\\RunOnce";
constexpr char kBackupRun32[] = "Software\\Hivora\\DisabledStartup\\Run32";
constexpr char kBackupRunOnce32[] = "Software\\Hivora\\DisabledStartup\\RunOnce32";
constexpr char kBackupPolicyRun[] = "Software\\Hivora\\DisabledStartup\\PolicyRun";
constexpr char kBackupFolder[] = "Software\\Hivora\\DisabledStartup\\StartupFolder";

using P = StartupPlace;

// clang-format off
constexpr std::array<StartupSource, 21> kSources{{
    {P::Run,          kCu, kRun,              false, kApprovedRun,    "HKCU\\Run"},
    {P::Run,          kCu, kBackupRun,        true,  kApprovedRun,    "HKCU\\Run"},
    {P::Run,          kLm, kRun,              false, kApprovedRun,    "HKLM\\Run"},
    {P::Run,          kLm, kBackupRun,        true,  kApprovedRun,    "HKLM\\Run"},
    {P::RunOnce,      kCu, kRunOnce,          false, nullptr,         "HKCU\\RunOnce"},
    {P::RunOnce,      kCu, kBackupRunOnce,    true,  nullptr,         "HKCU\\RunOnce"},
    {P::RunOnce,      kLm, kRunOnce,          false, nullptr,         "HKLM\\RunOnce"},
    {P::RunOnce,      kLm, kBackupRunOnce,    true,  nullptr,         "HKLM\\RunOnce"},
    {P::Run32,        kLm, kRun32,            false, kApprovedRun32,  "HKLM\\Run（32位）"},
    {P::Run32,        kLm, kBackupRun32,      true,  kApprovedRun32,  "HKLM\\Run（32位）"},
    {P::RunOnce32,    kLm, kRunOnce32,        false, nullptr,         "HKLM\\RunOnce（32位）"},
    {P::RunOnce32,    kLm, kBackupRunOnce32,  true,  nullptr,         "HKLM\\RunOnce（32位）"},
    {P::PolicyRun,    kCu, kPolicyRun,        false, nullptr,         "HKCU\\策略Run"},
    {P::PolicyRun,    kCu, kBackupPolicyRun,  true,  nullptr,         "HKCU\\策略Run"},
    {P::PolicyRun,    kLm, kPolicyRun,        false, nullptr,         "HKLM\\策略Run"},
    {P::PolicyRun,    kLm, kBackupPolicyRun,  true,  nullptr,         "HKLM\\策略Run"},
    {P::UserFolder,   kCu, nullptr,           false, kApprovedFolder, "启动文件夹（用户）"},
    {P::UserFolder,   kCu, kBackupFolder,     true,  kApprovedFolder, "启动文件夹（用户）"},
    {P::CommonFolder, kLm, nullptr,           false, kApprovedFolder, "启动文件夹（公用）"},
    {P::CommonFolder, kLm, kBackupFolder,     true,  kApprovedFolder, "启动文件夹（公用）"},
    {P::Winlogon,     kLm, kWinlogonKeyPath,  false, nullptr,         "Winlogon"},
}};
// clang-format on

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

bool equalsFolded(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::span<const StartupSource> startupSources() {
    return kSources;
}

std::string startupApprovedId(RegKey root, const char* approvedKeyPath, std::string_view name) {
    std::string id = root == kHkeyCurrentUser ? "U" : "M";
    id += approvedKeyPath;
    id += '|';
    for (char c : name) id += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return id;
}

std::string_view winlogonDefault(std::string_view valueName) {
    if (equalsFolded(valueName, "Shell")) return kDefaultShell;
    if (equalsFolded(valueName, "Userinit")) return kDefaultUserinit;
    return {};
}

bool isWinlogonDefault(std::string_view valueName, std::string_view text) {
    text = trimmed(text);
    if (equalsFolded(valueName, "Shell")) return equalsFolded(text, kDefaultShell);
    if (!equalsFolded(valueName, "Userinit")) return false;
    if (!text.empty() && text.back() == ',') text.remove_suffix(1);
    // Windows installed on another drive or folder writes its own system folder here.
    for (std::string_view prefix :
         {"C:\\Windows\\system32\\", "%SystemRoot%\\system32\\", "%windir%\\system32\\", ""}) {
        if (text.size() == prefix.size() + 12 &&
            equalsFolded(text.substr(0, prefix.size()), prefix) &&
            equalsFolded(text.substr(prefix.size()), "userinit.exe"))
            return true;
    }
    return false;
}

StartupSwitchRule startupSwitchRule(WindowsGeneration generation, bool wine) {
    if (wine) return StartupSwitchRule::Backup;
    switch (generation) {
        case WindowsGeneration::Win8:
        case WindowsGeneration::Win10:
        case WindowsGeneration::Win11:
            return StartupSwitchRule::Approved;
        case WindowsGeneration::Unknown:
        case WindowsGeneration::Win9x:
        case WindowsGeneration::Xp:
        case WindowsGeneration::Vista7:
            break;
    }
    return StartupSwitchRule::Backup;
}

std::string approvedValueBytes(bool on, FileTime switchedOff) {
    std::string bytes(kApprovedValueSize, '\0');
    bytes[0] = on ? '\x02' : '\x03';
    if (!on) {
        for (int k = 0; k < 8; ++k)
            bytes[4 + k] = static_cast<char>((switchedOff >> (8 * k)) & 0xFF);
    }
    return bytes;
}

bool approvedValueSaysOff(std::uint32_t type, std::string_view bytes) {
    return type == kRegBinary && bytes.size() == kApprovedValueSize &&
           (static_cast<unsigned char>(bytes[0]) & 1) != 0;
}

}  // namespace hivora
