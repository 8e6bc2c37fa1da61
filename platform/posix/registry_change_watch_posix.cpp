#include "platform/registry_change_watch.h"

namespace hivora {

// The store's files are watched instead (gui/store_watcher.h).
std::unique_ptr<RegistryChangeWatch> makeRegistryChangeWatch(
    const std::vector<std::pair<RegKey, std::string>>&) {
    return nullptr;
}

}  // namespace hivora
