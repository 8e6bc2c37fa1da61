#include "app/status_command.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

#include "app/registry_choice.h"
#include "core/catalogue/windows_version.h"
#include "core/livestate/live_state.h"
#include "core/livestate/status_table.h"
#include "core/registry/reg_info_get_set.h"

namespace hivora {
namespace {

// The Windows program is a window program, started without a console: when its output is not
// redirected, it writes to the console of the command line that started it, in UTF-8.
void useParentConsole() {
#ifdef _WIN32
    const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if ((output == nullptr || output == INVALID_HANDLE_VALUE) &&
        ::AttachConsole(ATTACH_PARENT_PROCESS)) {
        (void)std::freopen("CONOUT$", "w", stdout);
        (void)std::freopen("CONOUT$", "w", stderr);
    }
    ::SetConsoleOutputCP(CP_UTF8);
#endif
}

}  // namespace

int runStatusCommand(const Options& options) {
    useParentConsole();
    auto choice = chooseRegistry(options, RegistryUse::Read);
    if (!choice) {
        std::fprintf(stderr, "%s\n", choice.status().message().c_str());
        return 1;
    }
    if (!choice.value().note.empty()) std::fprintf(stderr, "%s\n", choice.value().note.c_str());
    RegInfoGetSet layer(*choice.value().registry, *choice.value().codec);
    LiveStateReader reader(layer);
    // The version of the registry read, not of the host: a prefix set to XP reads as XP.
    const std::string table =
        formatStatusTable(readAllStates(reader), detectWindowsGeneration(layer));
    std::fwrite(table.data(), 1, table.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace hivora
