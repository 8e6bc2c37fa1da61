#include "app/startup_command.h"

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "app/registry_choice.h"
#include "core/journal/journal_session.h"
#include "core/registry/reg_info_get_set.h"
#include "core/startup/startup_captions.h"
#include "core/startup/startup_list.h"
#include "platform/platform_services.h"

namespace hivora {
namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

// A field of a tab-separated line: tabs and line breaks in a value become blanks.
std::string field(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return text;
}

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k)
        if (std::tolower(static_cast<unsigned char>(a[k])) !=
            std::tolower(static_cast<unsigned char>(b[k])))
            return false;
    return true;
}

}  // namespace

StartupMachine startupMachineFor(const Options& options, const PlatformServices& platform) {
#ifdef _WIN32
    (void)options;
    return {false, platform.files.get(), platform.paths.get()};
#else
    const bool installation = !options.windowsRoot.empty();
    const bool machineFiles = !options.storeDirectory.empty() || isMountedInstallation(options);
    return {!installation, machineFiles ? platform.files.get() : nullptr, platform.paths.get()};
#endif
}

bool isStartupCommand(const Options& options) {
    return options.listStartup || !options.startupOff.empty() || !options.startupOn.empty();
}

int runStartupCommand(const Options& options) {
    const bool reading = options.listStartup;
    Result<RegistryChoice> choice =
        chooseRegistry(options, reading ? RegistryUse::Read : RegistryUse::Change);
    if (!choice) return fail(choice.status().message());
    RegistryChoice& registry = choice.value();
    if (!registry.note.empty()) std::fprintf(stderr, "%s\n", registry.note.c_str());

    RegInfoGetSet layer(*registry.registry, *registry.codec);
    const PlatformServices platform = platformServicesFor(options);
    StartupList list(layer);
    list.setMachine(startupMachineFor(options, platform));

    if (reading) {
        list.RefreshStartupList();
        list.markAllRows();
        for (const StartupRow& row : list.rows()) {
            std::printf("%s\t%s\t%s\t%s\t%s\n", row.where().tag, field(row.name).c_str(),
                        field(row.text).c_str(), startupStateWord(row),
                        row.missing ? "missing" : "ok");
        }
        return std::fflush(stdout) == 0 ? 0 : 1;
    }

    Result<JournalSession> session = openJournalSession(registry.description, JournalLoading::Now);
    if (!session) return fail(session.status().message());
    list.setObserver(session.value().recorder.get());
    list.RefreshStartupList();
    const bool on = options.startupOff.empty();
    const std::string& name = on ? options.startupOn : options.startupOff;
    std::vector<std::size_t> rows;
    for (std::size_t k = 0; k < list.size(); ++k)
        if (sameName(list.rows()[k].name, name)) rows.push_back(k);
    if (rows.empty()) return fail("没有名为“" + name + "”的启动项。");
    const SwitchOutcome outcome = list.switchRows(rows, on);
    if (outcome.failed > 0) {
        return fail("设置出错！" + (outcome.status.message().empty()
                                        ? std::string()
                                        : "\n" + outcome.status.message()));
    }
    std::printf("%s\n",
                outcome.switched > 0 ? "已设置！" : (on ? "已是启用状态。" : "已是禁用状态。"));
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace hivora
