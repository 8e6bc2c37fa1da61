#pragma once
// An export or an import as the window and the command line both run it: the file's text for
// chosen journal entries in a chosen format, and a .reg file applied to the store as one
// recorded action.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalogue/action_observer.h"
#include "core/journal/journal_entry.h"
#include "core/registry/reg_info_get_set.h"
#include "platform/ansi_codec.h"
#include "platform/status.h"

namespace hivora {

enum class ExportFormat { Reg, PowerShell, Ansible };

// "reg", "ps1" or "ansible" as the command line names them; nothing for another word.
std::optional<ExportFormat> exportFormatNamed(std::string_view word);
// By the file name's ending, any case: ".reg", ".ps1", ".yml" or ".yaml"; nothing otherwise.
std::optional<ExportFormat> exportFormatOfFile(std::string_view path);
// The save dialog's filter for the three formats, in the order above
// ("description|pattern|...", see DialogServices::ShowOpenFileDialog).
inline constexpr char kExportFilter[] =
    "注册表文件(*.reg)|*.reg|PowerShell 脚本(*.ps1)|*.ps1|Ansible 任务(*.yml)|*.yml";

struct ExportText {
    std::string bytes;         // the file's contents
    std::size_t changes = 0;   // how many changes it makes
};

// The file of the state `chosen` (indexes into `entries`, oldest first) leaves, in `format`.
// Failure: a text the code page cannot decode, a name no .reg line can hold, or (Ansible) a
// build without YAML support.
Result<ExportText> exportText(const std::vector<JournalEntry>& entries,
                              const std::vector<std::size_t>& chosen, ExportFormat format,
                              const AnsiCodec& codec);

// Reads `bytes` (a .reg file called `fileName`) and, when every line is good, applies it to the
// store through `layer` as one action recorded by `observer` (may be null), captioned
// "导入 <name>". Success: the number of operations applied. Failure: every bad line as
// "FILE:LINE: reason" followed by "文件有误，未写入任何内容。", or why the action failed
// (nothing of it stays written unless the message names what could not be put back).
Result<std::size_t> importRegFile(RegInfoGetSet& layer, ActionObserver* observer,
                                  std::string_view bytes, const std::string& fileName);

}  // namespace hivora
