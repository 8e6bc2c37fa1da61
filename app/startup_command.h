#pragma once
// `hivora --startup`, `--startup-off NAME`, `--startup-on NAME`: the startup list without a window,
// for scripts.

#include "app/options.h"
#include "core/startup/startup_list.h"
#include "platform/platform_services.h"

namespace hivora {

// The machine behind the store the options name, for the startup list. Wine honours no
// StartupApproved value, so on Linux every store but an installed Windows switches entries by
// moving them; program files are looked at on Windows, in a Wine prefix and on a mounted
// installation, never for the private store or a folder of loose hives, which belong to no
// machine. `platform` must outlive the list it is given to.
StartupMachine startupMachineFor(const Options& options, const PlatformServices& platform);

// Whether the options ask for one of the startup commands.
bool isStartupCommand(const Options& options);

// --startup: one line per startup entry on standard output, tab-separated: place, name, command,
// "on" or "off", and "missing" or "ok" for its program file. Writes nothing to the registry.
// --startup-off / --startup-on NAME: switches every entry of that name (without regard to case)
// as the buttons do, recorded in the store's journal; entries already so are left alone.
// Returns 0, or 1 with a sentence on standard error: the registry cannot be opened, no entry has
// that name, or switching failed (nothing is changed then).
int runStartupCommand(const Options& options);

}  // namespace hivora
