#pragma once
// Export as Ansible tasks of the module ansible.windows.win_regedit.

#include <string>
#include <vector>

#include "core/export/export_changes.h"
#include "platform/ansi_codec.h"
#include "platform/status.h"

namespace hivora {

inline constexpr char kWinRegeditModule[] = "ansible.windows.win_regedit";

// A YAML task list (UTF-8, written by yaml-cpp), one task per change: `name` (what it changes)
// and the module's options path ("HKCU:\..."), name ("" the default value), data, type (string,
// expandstring, multistring, dword, qword, binary, none) and state (present or absent;
// delete_key for a key removed). dword and qword data are unsigned numbers, binary and none
// data "hex:xx,xx", multistring data a list. Keys and texts are all double-quoted. A value of a
// type the module cannot write, and a password value, is a "#" comment line saying why it was left
// out. Failure: a text the code page `codec` cannot decode, or a build without yaml-cpp.
Result<std::string> writeAnsibleTasks(const std::vector<ExportChange>& changes,
                                      const AnsiCodec& codec);

}  // namespace hivora
