#pragma once
// The places a program is started from at logon, in the order the startup list shows them, and
// how an entry of each is switched off without being lost.
//
// Registry places come in pairs of sources: the key Windows runs the values of, and the backup
// key this program moves a value to when it switches the entry off where Windows honours no
// switch of its own (Windows 7 and earlier, Wine). Backup keys live under the same root as the
// place, so that a machine-wide entry never lands in one user's profile.
//
// A Startup folder's entries are files. Switched off there, a shortcut's bytes go into a value of
// the place's backup key (which the journal records, so that undo and redo work as for any
// value), and the file itself moves to a backup folder of this program; the files then follow the
// backup key (StartupList::reconcileFolders).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/catalogue/windows_version.h"
#include "platform/registry_api.h"
#include "platform/registry_tree.h"

namespace hivora {

enum class StartupPlace : std::uint8_t {
    Run,           // ...\CurrentVersion\Run
    RunOnce,       // ...\CurrentVersion\RunOnce
    Run32,         // the 32-bit view's Run (WOW6432Node)
    RunOnce32,     // the 32-bit view's RunOnce
    PolicyRun,     // ...\Policies\Explorer\Run
    UserFolder,    // the user's Startup folder
    CommonFolder,  // the common Startup folder
    Winlogon,      // Winlogon's Shell and Userinit, when they differ from Windows' defaults
};

// One source of rows. Registry sources name a key; folder sources and Winlogon's have their own
// readers (keyPath of a live folder is null; its backup's is the key of the switched-off
// shortcuts).
struct StartupSource {
    StartupPlace place;
    RegKey root;          // kHkeyCurrentUser or kHkeyLocalMachine
    const char* keyPath;  // below root; null for a live folder
    bool backup;          // the program's backup of switched-off entries of the place
    // The Explorer\StartupApproved key Windows 8 and later consult for the place's entries, or
    // null when they consult none (RunOnce, the policy list, Winlogon).
    const char* approvedKeyPath;
    const char* tag;  // the place as the list shows it
};

// Whether two names are the same to the registry: equal without regard to ASCII case.
bool equalsFolded(std::string_view a, std::string_view b);

inline constexpr bool isFolderPlace(StartupPlace place) {
    return place == StartupPlace::UserFolder || place == StartupPlace::CommonFolder;
}

// Every source in list order. A place's backup source follows its live source directly, so a
// row's live source is (index & ~1) and its backup (index | 1) for indices below
// kWinlogonSource.
std::span<const StartupSource> startupSources();
inline constexpr std::size_t kUserFolderSource = 16;
inline constexpr std::size_t kCommonFolderSource = 18;
inline constexpr std::size_t kWinlogonSource = 20;

// The Winlogon key and its two values, with Windows' defaults.
inline constexpr char kWinlogonKeyPath[] =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
inline constexpr char kDefaultShell[] = "explorer.exe";
inline constexpr char kDefaultUserinit[] = "C:\\Windows\\system32\\userinit.exe,";
// Windows' default for "Shell" or "Userinit" (compared without regard to case); "" for others.
std::string_view winlogonDefault(std::string_view valueName);
// Whether `text` is Windows' default for the Winlogon value `valueName`: equal to it without
// regard to case or surrounding blanks; for Userinit the trailing comma and a
// %SystemRoot%-based spelling of the system folder count as the same.
bool isWinlogonDefault(std::string_view valueName, std::string_view text);

// The key of an approved value in the list's set of switched-off entries: root, approved key and
// the entry's name folded to lower case (names match without regard to ASCII case).
std::string startupApprovedId(RegKey root, const char* approvedKeyPath, std::string_view name);

// How the Windows that runs the registry switches an entry off.
enum class StartupSwitchRule : std::uint8_t {
    Approved,  // Windows 8 and later: Explorer\StartupApproved values, as Task Manager writes
    Backup,    // Windows 7 and earlier, Wine, an unknown registry: the value moves to a backup
};
// The rule for a registry of `generation`; a registry run by Wine (`wine`) always moves, as Wine
// reads no StartupApproved value. Unknown generations move too: nothing else is sure to work.
StartupSwitchRule startupSwitchRule(WindowsGeneration generation, bool wine);

// The 12 bytes of a StartupApproved value: a little-endian DWORD (2 on, 3 off) and the FILETIME
// when the entry was switched off (zero while on).
inline constexpr std::size_t kApprovedValueSize = 12;
std::string approvedValueBytes(bool on, FileTime switchedOff);
// Whether an approved value switches its entry off: REG_BINARY of exactly 12 bytes whose first
// DWORD has its low bit set (3, and 7 as some Windows builds write it). Any other size or type
// counts as on, as Windows reads it.
bool approvedValueSaysOff(std::uint32_t type, std::string_view bytes);

}  // namespace hivora
