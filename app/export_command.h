#pragma once
// `hivora --export FORMAT FILE [--entries N-M]` and `hivora --import-reg FILE`: the change
// journal's changes written out for other machines, and a .reg file applied to the chosen store,
// without a window or a display.

#include "app/options.h"

namespace hivora {

// Whether the options ask for an export or an import.
bool isExportCommand(const Options& options);

// --export writes the state the chosen journal entries leave (by default every action not
// undone; with --entries the entries whose ids lie in N..M) to FILE as a .reg file, a PowerShell
// script or Ansible tasks (core/export/). It changes nothing in the store, and runs while Wine
// uses the prefix. --import-reg reads FILE whole first: with any bad line it writes nothing and
// lists them ("FILE:LINE: reason"); otherwise it applies the file as one journal entry, which
// --undo takes back. Returns 0 on success; otherwise 1 after a message in Chinese on standard
// error.
int runExportCommand(const Options& options);

}  // namespace hivora
