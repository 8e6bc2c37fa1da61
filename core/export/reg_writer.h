#pragma once
// Export as a .reg file that regedit (Windows' and Wine's) and `reg import` read.

#include <string>
#include <vector>

#include "core/export/export_changes.h"
#include "platform/ansi_codec.h"
#include "platform/status.h"

namespace hivora {

// The file of `changes` in regedit's version 5 form: "Windows Registry Editor Version 5.00",
// UTF-16LE bytes with a byte-order mark, CRLF line ends. Texts are "quoted" with \\ and \" (one
// with a line break or a NUL inside is written as hex(1) instead, which regedit reads back
// unchanged); REG_DWORD as dword:, REG_BINARY as hex:, REG_EXPAND_SZ and REG_MULTI_SZ as
// hex(2): and hex(7): of their UTF-16LE bytes, other types as hex(N): of their bytes. Removed
// values read "name"=-, removed keys [-KEY]; a password value is a ";" comment line saying it
// was left out. Failure: a text the code page `codec` cannot decode, or a key or value name
// holding a line break (which no .reg line can carry).
Result<std::string> writeRegFile(const std::vector<ExportChange>& changes, const AnsiCodec& codec);

// The header line of version 5 files, and that of the older ANSI form.
inline constexpr char kRegHeaderV5[] = "Windows Registry Editor Version 5.00";
inline constexpr char kRegHeaderV4[] = "REGEDIT4";

}  // namespace hivora
