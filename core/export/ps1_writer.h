#pragma once
// Export as a PowerShell script.

#include <string>
#include <vector>

#include "core/export/export_changes.h"
#include "platform/ansi_codec.h"
#include "platform/status.h"

namespace hivora {

// A script (UTF-8 with a byte-order mark, which Windows PowerShell needs to read anything but
// ASCII; CRLF line ends) that makes `changes` true and can run again with the same outcome. It
// starts with `$ErrorActionPreference = 'Stop'`, so it stops at the first error. Each change is
// one line `Write-Host '...'` saying what it changes, then one line doing it:
//   key made:      if (-not (Test-Path -LiteralPath 'P')) { New-Item -Path 'P' -Force | Out-Null }
//   value set:     New-ItemProperty -LiteralPath 'P' -Name 'N' -PropertyType T -Value V -Force
//                  | Out-Null   (its key made first, as above)
//   value removed: if (Get-ItemProperty ... -Name 'N' ...) { Remove-ItemProperty ... }
//   key removed:   if (Test-Path -LiteralPath 'P') { Remove-Item -LiteralPath 'P' -Recurse
//                  -Force }
// P is "Registry::HKEY_...\key", N "(default)" for the default value. Texts are single-quoted
// with quotes doubled; a line break inside one is joined in as [char]10 / [char]13. Types
// PowerShell has no -PropertyType for (all but String, ExpandString, Binary, DWord, MultiString
// and QWord) and password values are "#" comment lines saying why they were left out. Failure:
// a text the code page `codec` cannot decode.
Result<std::string> writePowerShell(const std::vector<ExportChange>& changes,
                                    const AnsiCodec& codec);

// `text` as a PowerShell expression: a single-quoted string ('' for a quote, and the typographic
// quotes PowerShell also takes as quotes doubled too), or a parenthesised sum with [char]10 and
// [char]13 for line breaks, which starts with a string ('' when the text starts with a break).
std::string powerShellString(const std::string& text);

}  // namespace hivora
