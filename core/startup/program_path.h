#pragma once
// Whether the program a startup command starts exists: the command's first token (quoted or not),
// its environment strings expanded for REG_EXPAND_SZ values, looked for through the path mapping
// of the registry's machine (a Wine prefix's drives, an offline installation's root).

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/registry/reg_info_get_set.h"
#include "platform/path_mapping.h"
#include "platform/system_services.h"

namespace hivora {

// Environment strings by upper-case name ("SYSTEMROOT" -> "C:\windows").
using StartupEnvironment = std::map<std::string, std::string>;

// The variables a logon command may use, as the registry being edited defines them: SystemRoot
// and windir, SystemDrive, ProgramFiles (and the x86 one), CommonProgramFiles, the machine's and
// the user's Environment keys (their own references expanded once), USERPROFILE, APPDATA and
// LOCALAPPDATA from the user's shell folders. What the registry lacks is left out. Never fails.
StartupEnvironment readStartupEnvironment(RegInfoGetSet& layer);

// `text` with every %NAME% found in `environment` (names without regard to case) replaced; an
// unknown name and a lone % stay as written.
std::string expandEnvironmentStrings(std::string_view text, const StartupEnvironment& environment);

// The command's first token: up to the closing quote when it starts with one (quotes removed),
// else up to the first blank.
std::string firstCommandToken(std::string_view command);

// Both pointers are required and must outlive the lookup.
struct ProgramLookup {
    const FileSystem* files = nullptr;   // the host's files
    const PathMapping* paths = nullptr;  // Windows paths -> host paths
    StartupEnvironment environment;
    // Whether a file exists at each Windows path asked about so far: many commands share their
    // first words ("C:\Program", "C:\Program Files\Vendor"). Clear it to look at the disk again.
    mutable std::unordered_map<std::string, bool> known;
};

// The program `command` starts, when it cannot be found: the Windows path that was looked for
// (expanded). Nothing when it exists, or when the question cannot be answered (an empty command,
// a variable the environment does not define, a bare name on a registry that names no system
// folder). A bare name ("ctfmon.exe") is looked for in the system folder and the Windows folder,
// with ".exe" added when it has no extension. An unquoted command with blanks is tried at each
// blank as Windows tries it ("C:\Program Files\A\a.exe /min").
std::optional<std::string> missingProgram(const ProgramLookup& lookup, std::string_view command,
                                          bool expandable);

}  // namespace hivora
