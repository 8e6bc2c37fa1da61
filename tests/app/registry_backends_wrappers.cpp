// The registries the shared suite runs against in the program's own wrappers: the store the
// window uses (LazyRegistry, opening the file store in a fresh temporary folder the first time
// it is called) and the change-recording double the catalogue tests put around the in-memory
// registry. A wrapper that forwards a function wrongly fails the suite here, whatever the
// registry beneath it does.

#include "app/lazy_registry.h"
#include "platform/tree_registry.h"
#include "tests/core/change_recording_registry.h"
#include "tests/platform/registry_backends.h"
#include "tests/platform/store_test_support.h"

namespace hivora::test {
namespace {

std::shared_ptr<RegistryApi> makeLazyFileStore() {
    auto folder = std::make_shared<TempFolder>();
    if (folder->path().empty()) return nullptr;
    Options options;
    options.storeDirectory = folder->path();
    options.codePage = 936;
    auto* lazy = new LazyRegistry([options] { return chooseRegistry(options); });
    // The folder goes after the store, which saves into it on its way out.
    return std::shared_ptr<RegistryApi>(lazy, [folder](RegistryApi* api) { delete api; });
}

// The recorder and the registry it records, freed together.
struct RecordedMemory {
    std::unique_ptr<RegistryApi> inner = makeMemoryRegistry(codec936());
    testing::ChangeRecordingRegistry outer{*inner};
};

std::shared_ptr<RegistryApi> makeRecordedMemory() {
    auto both = std::make_shared<RecordedMemory>();
    return std::shared_ptr<RegistryApi>(both, &both->outer);
}

}  // namespace

std::vector<RegistryBackend> registryBackends() {
    constexpr const char* kWineUserSid = "S-1-5-21-0-0-0-1000";
    return {
        {"LazyFileStore", makeLazyFileStore, 936, kWineUserSid},
        {"ChangeRecording", makeRecordedMemory, 936, kWineUserSid},
    };
}

}  // namespace hivora::test
