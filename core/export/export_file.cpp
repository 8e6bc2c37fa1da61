#include "core/export/export_file.h"

#include <algorithm>
#include <cctype>

#include "core/export/ansible_writer.h"
#include "core/export/export_changes.h"
#include "core/export/ps1_writer.h"
#include "core/export/reg_import.h"
#include "core/export/reg_writer.h"

namespace hivora {
namespace {

bool endsWithFolded(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() &&
           std::equal(ending.begin(), ending.end(), text.end() - ending.size(),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

}  // namespace

std::optional<ExportFormat> exportFormatNamed(std::string_view word) {
    if (word == "reg") return ExportFormat::Reg;
    if (word == "ps1") return ExportFormat::PowerShell;
    if (word == "ansible") return ExportFormat::Ansible;
    return std::nullopt;
}

std::optional<ExportFormat> exportFormatOfFile(std::string_view path) {
    if (endsWithFolded(path, ".reg")) return ExportFormat::Reg;
    if (endsWithFolded(path, ".ps1")) return ExportFormat::PowerShell;
    if (endsWithFolded(path, ".yml") || endsWithFolded(path, ".yaml"))
        return ExportFormat::Ansible;
    return std::nullopt;
}

Result<ExportText> exportText(const std::vector<JournalEntry>& entries,
                              const std::vector<std::size_t>& chosen, ExportFormat format,
                              const AnsiCodec& codec) {
    const std::vector<ExportChange> changes = exportChanges(netItems(entries, chosen));
    Result<std::string> text = format == ExportFormat::Reg ? writeRegFile(changes, codec)
                               : format == ExportFormat::PowerShell
                                   ? writePowerShell(changes, codec)
                                   : writeAnsibleTasks(changes, codec);
    if (!text) return text.status();
    return ExportText{std::move(text).value(), changes.size()};
}

Result<std::size_t> importRegFile(RegInfoGetSet& layer, ActionObserver* observer,
                                  std::string_view bytes, const std::string& fileName) {
    Result<std::vector<RegOp>> ops = parseRegFile(bytes, fileName, layer.codec());
    if (!ops) return Status::error(ops.status().message() + "\n文件有误，未写入任何内容。");
    const std::string name = fileName.substr(fileName.find_last_of("/\\") + 1);
    const ActionLabel label{"import", -1, "importReg", "导入 " + name};
    if (Status applied = applyRegOps(layer, observer, ops.value(), label); !applied)
        return applied;
    return ops.value().size();
}

}  // namespace hivora
