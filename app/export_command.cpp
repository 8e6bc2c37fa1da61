#include "app/export_command.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "app/registry_choice.h"
#include "core/export/export_changes.h"
#include "core/export/export_file.h"
#include "core/journal/action_recorder.h"
#include "core/journal/journal_session.h"

namespace hivora {
namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

int runExport(const Options& options) {
    Result<RegistryChoice> choice = chooseRegistry(options, RegistryUse::Read);
    if (!choice) return fail(choice.status().message());
    RegistryChoice& registry = choice.value();
    if (!registry.note.empty()) std::fprintf(stderr, "%s\n", registry.note.c_str());
    Result<JournalSession> session =
        openJournalSession(registry.description, JournalLoading::ReadOnly);
    if (!session) return fail(session.status().message());
    const std::vector<JournalEntry>& entries = session.value().journal->entries();

    std::vector<std::size_t> chosen;
    if (options.firstEntry != 0) {
        Result<std::vector<std::size_t>> range =
            entriesInIdRange(entries, options.firstEntry, options.lastEntry);
        if (!range) return fail(range.status().message());
        chosen = std::move(range).value();
    } else {
        chosen = entriesNotUndone(entries);
    }
    const std::optional<ExportFormat> format = exportFormatNamed(options.exportFormat);
    if (!format) return fail("未知的导出格式：" + options.exportFormat);
    Result<ExportText> text = exportText(entries, chosen, *format, *registry.codec);
    if (!text) return fail(text.status().message());
    std::ofstream out(options.exportFile, std::ios::binary | std::ios::trunc);
    out << text.value().bytes;
    out.close();
    if (!out) return fail("无法写入文件：" + options.exportFile);
    std::fprintf(stderr, "已导出 %zu 项修改到 %s\n", text.value().changes,
                 options.exportFile.c_str());
    return 0;
}

int runImport(const Options& options) {
    std::ifstream in(options.importReg, std::ios::binary);
    if (!in) return fail("无法读取文件：" + options.importReg);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    Result<RegistryChoice> choice = chooseRegistry(options, RegistryUse::Change);
    if (!choice) return fail(choice.status().message());
    RegistryChoice& registry = choice.value();
    Result<JournalSession> session = openJournalSession(registry.description, JournalLoading::Now);
    if (!session) return fail(session.status().message());
    RegInfoGetSet layer(*registry.registry, *registry.codec);
    const Result<std::size_t> applied =
        importRegFile(layer, session.value().recorder.get(), bytes, options.importReg);
    if (!applied) return fail("导入失败：" + applied.status().message());
    std::printf("已导入 %s（%zu 项操作）\n", options.importReg.c_str(), applied.value());
    return 0;
}

}  // namespace

bool isExportCommand(const Options& options) {
    return !options.exportFormat.empty() || !options.importReg.empty();
}

int runExportCommand(const Options& options) {
    return options.exportFormat.empty() ? runImport(options) : runExport(options);
}

}  // namespace hivora
