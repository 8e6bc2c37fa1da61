#pragma once
// Reading back a PowerShell script of the form writePowerShell (ps1_writer.h) writes. No
// PowerShell runs here, so this is what checks the exported scripts: it takes exactly the lines
// the writer may write, as PowerShell would read them, and refuses anything else.

#include <string>
#include <string_view>
#include <vector>

#include "core/export/export_changes.h"
#include "platform/ansi_codec.h"
#include "platform/status.h"

namespace hivora {

struct Ps1Script {
    // In script order: MakeKey for a key made on its own; SetValue (its key is made first, in
    // the same step); RemoveValue; RemoveKey. Texts are in the code page, as ExportChange keeps
    // them: REG_SZ and REG_EXPAND_SZ data end in one NUL, REG_MULTI_SZ data in two (one for an
    // empty list), "" names the default value ('(default)' in the script).
    std::vector<ExportChange> changes;
    // The text after "#" of each comment line, in order.
    std::vector<std::string> comments;
};

// The changes the script makes. A script is read line by line; each line is blank, a comment,
// or one statement:
//   $ErrorActionPreference = 'Stop'          (before every other statement)
//   Write-Host TEXT                          (before each change: it must name the change's key)
//   if (-not (Test-Path -LiteralPath P)) { New-Item -Path P -Force | Out-Null }
//   New-ItemProperty -LiteralPath P -Name N -PropertyType T -Value V -Force | Out-Null
//   if (Get-ItemProperty -LiteralPath P -Name N -ErrorAction SilentlyContinue) {
//       Remove-ItemProperty -LiteralPath P -Name N }   (on one line)
//   if (Test-Path -LiteralPath P) { Remove-Item -LiteralPath P -Recurse -Force }
// where P is 'Registry::HKEY_...\key', New-ItemProperty follows the New-Item line of its key
// and T is String, ExpandString, MultiString (V: ([string[]]@(TEXT,...))), DWord and QWord
// (V: a decimal number in the signed range), or Binary (V: ([byte[]]@(0xNN,...))). TEXT is a
// quoted string or a parenthesised sum of them and [char]N, starting with a string.
// The bytes are UTF-8, with a byte-order mark when anything is not ASCII (Windows PowerShell
// reads a file without one in the ANSI code page); lines end in CRLF or LF.
// Failure: every line outside this form, one a line, as "LINE: reason"; a text the code page
// of `codec` cannot hold is such a line too.
Result<Ps1Script> readPowerShell(std::string_view bytes, const AnsiCodec& codec);

}  // namespace hivora
