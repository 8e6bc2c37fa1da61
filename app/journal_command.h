#pragma once
// `hivora --history`, `hivora --undo` and `hivora --redo`: the change journal of the chosen store,
// without a window or a display.

#include "app/options.h"

namespace hivora {

// Whether the options ask for one of the journal commands.
bool isJournalCommand(const Options& options);

// --history prints the journal's entries newest first, one per line, fields separated by tabs
// (id, time, caption, changes, "已撤销" for entries undone later) on standard output. It writes
// nothing, and runs while Wine uses the prefix (with a note on standard error).
// --undo undoes the latest change not yet undone (each run the one before), --redo redoes the
// change undone last; changes made since by another program are not overwritten without a window
// to ask in (the undo or redo is cancelled and they are listed).
// Returns the exit status: 0 on success; otherwise 1 after a message in Chinese on standard error.
int runJournalCommand(const Options& options);

}  // namespace hivora
