#pragma once
// Notice of changes to registry keys made by any program, for the live state on Windows, where
// the registry is not a set of files one could watch. Each watched key has an event that the
// system signals once when the key's values or sub-keys change; the caller waits on the events
// (on the user-interface thread's event loop) and re-arms a key's watch after its event fired.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry_api.h"

namespace hivora {

class RegistryChangeWatch {
  public:
    virtual ~RegistryChangeWatch() = default;
    // The platform's event handles, one per watched key; valid as long as the watch.
    virtual std::vector<void*> eventHandles() const = 0;
    // Watches the key of `eventHandle` again; a notice is given only once per arming. Must be
    // called on the thread that made the watch (the system ties the notice to that thread).
    virtual void rearm(void* eventHandle) = 0;
};

// On Windows: a watch of each (root, key path) in `keys`; a key that does not exist yet is
// watched through its nearest existing ancestor, with everything below it. Keys that cannot be
// watched at all are left out. Elsewhere (the registry is a set of files there): null.
std::unique_ptr<RegistryChangeWatch> makeRegistryChangeWatch(
    const std::vector<std::pair<RegKey, std::string>>& keys);

}  // namespace hivora
