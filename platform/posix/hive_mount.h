#pragma once
// Where the registry of an installed Windows lies on a mounted volume, and whether the volume may
// be written to.
//
// `--windows DIR` names either the root of a mounted Windows system volume (the folder holding
// Windows/System32/config) or a folder of loose hive copies. Names are matched without regard to
// case, as NTFS and FAT do: "windows/system32/CONFIG/software" is found as well.
//
// Hives: SOFTWARE, SYSTEM and DEFAULT in the config folder (or the loose folder). Users are the
// profiles ProfileList in SOFTWARE names (SIDs S-1-5-21-...), each with a profile path such as
// "C:\Users\alice", "%SystemDrive%\Documents and Settings\bob" mapped onto DIR; a user counts when
// its NTUSER.DAT is there. UsrClass.dat is looked for where Vista and later keep it
// (AppData/Local/Microsoft/Windows) and where XP did (Local Settings/Application Data/Microsoft/
// Windows). In a loose folder, an NTUSER.DAT in the folder itself is one user and each sub-folder
// holding an NTUSER.DAT (and perhaps UsrClass.dat) another, named after the sub-folder.

#include <functional>
#include <string>
#include <vector>

#include "platform/status.h"

namespace hivora {

struct WindowsUser {
    std::string name;  // the profile folder's name ("alice")
    std::string sid;   // "" when ProfileList does not name it
    std::string ntuserPath;
    std::string usrClassPath;  // "" when there is none
};

struct WindowsInstallation {
    std::string root;        // the folder as given
    std::string hiveFolder;  // the folder holding SOFTWARE, SYSTEM and DEFAULT
    bool looseFolder = false;
    std::string software, system, defaultHive;  // "" when missing
    std::vector<WindowsUser> users;
    // From SOFTWARE\Microsoft\Windows NT\CurrentVersion, "" when not there.
    std::string edition;  // ProductName ("Windows 10 Pro")
    std::string version;  // DisplayVersion, else ReleaseId, else CurrentVersion
    std::string build;    // CurrentBuild, with ".UBR" when UBR is set
    // What the user reads about the installation: "Windows 10 Pro 22H2（版本 19045.3803）".
    std::string describe() const;
};

// The file or folder `relative` ("/"-separated) below `root`, each name matched without regard to
// case; "" when a name is missing.
std::string findPathIgnoringCase(const std::string& root, const std::string& relative);

// Maps a path of the installed Windows ("C:\Users\a", "%SystemDrive%\Users\a", "\Users\a") onto
// the host's path below `root`, names matched without regard to case; "" when it is not there.
std::string mapWindowsPath(const std::string& root, const std::string& windowsPath);

// The folder the hives of `dir` are in: its Windows/System32/config when there is one, else `dir`
// itself (a folder of loose copies). Reads no hive.
std::string windowsHiveFolder(const std::string& dir);

// The user named `name` (the profile folder's name or the SID, without regard to case). Without
// a name: the only user, or null when there is none. Failure: no such user, or several users and
// no name; the message lists the users, one a line, and says to choose with --user.
Result<const WindowsUser*> chooseWindowsUser(const WindowsInstallation& installation,
                                             const std::string& name);

// Finds the installation's hives and users (see the header comment). Failure: DIR is missing or
// holds neither a Windows/System32/config folder nor hive files (a Chinese sentence saying what
// was looked for).
Result<WindowsInstallation> findWindowsInstallation(const std::string& dir);

// Checks of the volume as a whole, for tests to replace.
struct VolumeChecks {
    // Whether the folder lies on a file system mounted read-only; null: asks statvfs.
    std::function<bool(const std::string& folder)> mountedReadOnly;
};

// Why nothing may be written to the installation at all, in Chinese with what to do; "" when
// writes may go ahead. Checked: hiberfil.sys in DIR carries a hibernation signature ("hibr",
// "wake", "rstr" in either case: Windows hibernated, or shut down with Fast Startup, and would
// bring back its old registry over any change), and the hive folder is on a read-only mount.
std::string volumeWriteProblem(const WindowsInstallation& installation,
                               const VolumeChecks& checks = {});

}  // namespace hivora
