#pragma once
// Command lines as Windows writes them, taken apart without a shell, and the programs the
// launcher must never start on a host that is not Windows.

#include <string>
#include <string_view>
#include <vector>

namespace hivora {

// Splits a command line into words the way Windows programs read their command line: blanks
// and tabs separate words; double quotes group blanks into a word and are removed; a run of
// backslashes before a double quote is halved, and an odd run makes the quote a literal one;
// other backslashes are kept. An unclosed quote runs to the end. Never fails.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

// True when `program` (a path or a bare name, either separator, any case, with or without
// ".exe") names a command that powers off, restarts or halts a machine, or the Windows command
// interpreter that such a command line goes through.
bool isPowerCommand(std::string_view program);

}  // namespace hivora
