#pragma once
// The program's command line. With no options it works on its own private store; `--prefix DIR`
// points it at a Wine prefix instead and `--code-page N` names the ANSI code page of the texts it
// writes there. Windows builds ignore both and use the real registry. `--repair-hive FILE` repairs
// one registry file that has unreadable lines and exits (app/repair_command.h). `--windows DIR`
// works on the registry files of an installed Windows instead (not on Windows itself).

#include <cstdint>
#include <string>
#include <vector>

namespace hivora {

struct Options {
    std::string storeDirectory;  // empty: the default private store
    std::uint32_t codePage = 0;  // 0: the platform's default
    bool showHelp = false;
    bool showVersion = false;
    bool printStatus = false;  // --status: print every row's state and exit, no window
    std::string repairHive;    // --repair-hive FILE: repair that hive file and exit
    bool showHistory = false;  // --history: print the store's change journal, then end
    bool undoLatest = false;   // --undo: undo the latest change, then end
    bool redoLatest = false;   // --redo: redo the change undone last, then end
    std::string exportFormat;  // --export FORMAT FILE: "reg", "ps1" or "ansible"; "" none
    std::string exportFile;
    std::int64_t firstEntry = 0;  // --entries N-M: the ids to export; 0 and 0: every action
    std::int64_t lastEntry = 0;   // not undone
    std::string importReg;        // --import-reg FILE: apply that .reg file, then end
    bool listStartup = false;     // --startup: print the startup list, no window
    std::string startupOff;       // --startup-off NAME: switch that startup entry off, then end
    std::string startupOn;        // --startup-on NAME: switch it on again, then end
    // --windows DIR: the registry of an installed Windows whose system volume (or a folder of
    // hive copies) is at DIR; --user NAME: whose HKEY_CURRENT_USER (platform/posix/hive_mount.h).
    std::string windowsRoot;
    std::string windowsUser;
};

struct ParsedOptions {
    Options options;
    std::string error;  // non-empty: a message for the user, in Chinese
};

// Never fails on any input; a bad word gives an error text instead of options.
ParsedOptions parseOptions(const std::vector<std::string>& args);

// What --help prints, and what --version prints ("Hivora 1.0" and a line break).
extern const char* const kUsageText;
extern const char* const kVersionText;

}  // namespace hivora
