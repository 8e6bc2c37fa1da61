#pragma once
// `hivora --status`: prints the state of every settings row without opening a window.

#include "app/options.h"

namespace hivora {

// Opens the registry the options name, prints the table of core/livestate/status_table.h on
// standard output, rows judged against the Windows version that registry names, and returns the
// exit code: 0, or 1 with a sentence on standard error when the registry cannot be opened.
// Writes nothing to the registry.
int runStatusCommand(const Options& options);

}  // namespace hivora
