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
// Today's policy for the command prompt, read by every Windows since 2000.
inline constexpr const char* kWindowsSystemPolicies =
    "Software\\Policies\\Microsoft\\Windows\\System";
inline constexpr const char* kExplorerAdvanced =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
inline constexpr const char* kDesktopSettings = "Control Panel\\Desktop";
inline constexpr const char* kWindowMetrics = "Control Panel\\Desktop\\WindowMetrics";
inline constexpr const char* kInternational = "Control Panel\\International";
inline constexpr const char* kHideIconsNewStartPanel =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\NewStartPanel";
inline constexpr const char* kHideIconsClassicStartMenu =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\ClassicStartMenu";
inline constexpr const char* kBrowserMain = "Software\\Microsoft\\Internet Explorer\\Main";
inline constexpr const char* kBrowserToolbar = "Software\\Microsoft\\Internet Explorer\\Toolbar";
inline constexpr const char* kBrowserOldWorkAreas =
    "Software\\Microsoft\\Internet Explorer\\Desktop\\Old WorkAreas";
inline constexpr const char* kBrowserControlPanelPolicies =
    "Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel";
inline constexpr const char* kBrowserRestrictionPolicies =
    "Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions";
inline constexpr const char* kBrowserToolbarPolicies =
    "Software\\Policies\\Microsoft\\Internet Explorer\\Toolbar";
inline constexpr const char* kUserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
inline constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Under HKEY_USERS: the default profile.
inline constexpr const char* kDefaultExplorerAdvanced =
    ".Default\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
inline constexpr const char* kDefaultSystemPolicies =
    ".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
inline constexpr const char* kDefaultExplorerPolicies =
    ".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr const char* kDefaultBrowserMain =
    ".DEFAULT\\Software\\Microsoft\\Internet Explorer\\Main";
// The logon screen's picture and colour.
inline constexpr const char* kDefaultDesktop = ".DEFAULT\\Control Panel\\Desktop";
inline constexpr const char* kDefaultColors = ".DEFAULT\\Control Panel\\Colors";

// Under HKEY_LOCAL_MACHINE.
// The machine's system policies; the logon screen reads "DontDisplayLastUserName" here.
inline constexpr const char* kMachineSystemPolicies =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
inline constexpr const char* kMachineExplorer =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer";
inline constexpr const char* kShellIcons =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Icons";
inline constexpr const char* kShowAllHidden =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\Folder\\Hidden\\SHOWALL";
// Followed by an item's class identifier in braces.
inline constexpr const char* kDesktopNameSpace =
    "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\Desktop\\NameSpace\\";

inline constexpr const char* kBrowserSearch = "Software\\Microsoft\\Internet Explorer\\Search";
inline constexpr const char* kBrowserAboutUrls =
    "Software\\Microsoft\\Internet Explorer\\AboutURLs";
inline constexpr const char* kWinlogon =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
// The older Winlogon key, read for "DontDisplayLastUserName" by the classic logon.
inline constexpr const char* kLegacyWinlogon =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Winlogon";
inline constexpr const char* kWindowsNtCurrentVersion =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// Under HKEY_CLASSES_ROOT.
inline constexpr const char* kShortcutClass = "lnkfile";
inline constexpr const char* kAudioCdShell = "AudioCD\\shell";
// The server of the browser's address bar.
inline constexpr const char* kBrowseUiServer =
    "CLSID\\{01E04581-4EEE-11d0-BFE9-00AA005B4383}\\InProcServer32";

}  // namespace hivora::locations
