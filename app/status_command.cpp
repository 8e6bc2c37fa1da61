#include "app/status_command.h"

#include <cstdio>

#include "app/registry_choice.h"
#include "core/livestate/live_state.h"
#include "core/livestate/status_table.h"
#include "core/registry/reg_info_get_set.h"

namespace hivora {

int runStatusCommand(const Options& options) {
    auto choice = chooseRegistry(options);
    if (!choice) {
        std::fprintf(stderr, "%s\n", choice.status().message().c_str());
        return 1;
    }
    RegInfoGetSet layer(*choice.value().registry, *choice.value().codec);
    LiveStateReader reader(layer);
    const std::string table = formatStatusTable(readAllStates(reader));
    std::fwrite(table.data(), 1, table.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace hivora
