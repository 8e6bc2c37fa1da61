// The registries the shared suite runs against on POSIX systems: the in-memory registry, and the
// Wine-format file store in a fresh temporary folder (removed with the registry).

#include "platform/posix/file_store.h"
#include "platform/tree_registry.h"
#include "tests/platform/registry_backends.h"
#include "tests/platform/store_test_support.h"

namespace hivora::test {

namespace {

std::shared_ptr<RegistryApi> makeFileStoreInTempFolder() {
    auto folder = std::make_shared<TempFolder>();
    if (folder->path().empty()) return nullptr;
    auto store = openFileStore(folder->path(), codec936());
    if (!store) return nullptr;
    // The folder goes after the store, which saves into it on its way out.
    return std::shared_ptr<RegistryApi>(std::move(store).value().release(),
                                        [folder](RegistryApi* api) { delete api; });
}

}  // namespace

std::vector<RegistryBackend> registryBackends() {
    constexpr const char* kWineUserSid = "S-1-5-21-0-0-0-1000";
    return {
        {"Memory", [] { return std::shared_ptr<RegistryApi>(makeMemoryRegistry(codec936())); }, 936,
         kWineUserSid},
        {"WineFileStore", makeFileStoreInTempFolder, 936, kWineUserSid},
    };
}

}  // namespace hivora::test
