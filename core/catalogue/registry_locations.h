#pragma once
// Registry keys the catalogue rows write, named once. Spelled exactly as Windows reads them.

namespace hivora::locations {

// Under HKEY_CURRENT_USER.
inline constexpr const char* kExplorerPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr const char* kSystemPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
inline constexpr const char* kWinOldAppPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\WinOldApp";
inline constexpr const char* kExplorerAdvanced =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
inline constexpr const char* kDesktopSettings = "Control Panel\\Desktop";
inline constexpr const char* kWindowMetrics = "Control Panel\\Desktop\\WindowMetrics";
inline constexpr const char* kInternational = "Control Panel\\International";
inline constexpr const char* kHideIconsNewStartPanel =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\NewStartPanel";
inline constexpr const char* kHideIconsClassicStartMenu =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\ClassicStartMenu";

// Under HKEY_USERS: the default profile.
inline constexpr const char* kDefaultExplorerAdvanced =
    ".Default\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
inline constexpr const char* kDefaultSystemPolicies =
    ".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
inline constexpr const char* kDefaultExplorerPolicies =
    ".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

// Under HKEY_LOCAL_MACHINE.
inline constexpr const char* kMachineExplorer =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer";
inline constexpr const char* kShellIcons =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Icons";
inline constexpr const char* kShowAllHidden =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\Folder\\Hidden\\SHOWALL";
// Followed by an item's class identifier in braces.
inline constexpr const char* kDesktopNameSpace =
    "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\Desktop\\NameSpace\\";

// Under HKEY_CLASSES_ROOT.
inline constexpr const char* kShortcutClass = "lnkfile";
inline constexpr const char* kAudioCdShell = "AudioCD\\shell";

}  // namespace hivora::locations
