// The registry the shared suite runs against for installed Windows: the hive store over a
// Windows system volume made in a fresh temporary folder (removed with the registry), its hives
// built by the tests through libhivex.

#include "platform/posix/hive_store.h"
#include "tests/platform/hive_test_support.h"
#include "tests/platform/registry_backends.h"
#include "tests/platform/store_test_support.h"

namespace hivora::test {

namespace {

std::shared_ptr<RegistryApi> makeHiveStoreInTempFolder() {
    auto folder = std::make_shared<TempFolder>();
    if (folder->path().empty() || !makeTestInstallation(folder->path(), {"alice"})) return nullptr;
    auto installation = findWindowsInstallation(folder->path());
    if (!installation || installation.value().users.size() != 1) return nullptr;
    auto opened =
        openWindowsRegistry(installation.value(), &installation.value().users[0], codec936());
    if (!opened) return nullptr;
    // The folder goes after the store, which saves into it on its way out.
    return std::shared_ptr<RegistryApi>(opened.value().registry.release(),
                                        [folder](RegistryApi* api) { delete api; });
}

}  // namespace

std::vector<RegistryBackend> registryBackends() {
    return {{"WindowsHives", makeHiveStoreInTempFolder, 936, "S-1-5-21-1-2-3-1001"}};
}

}  // namespace hivora::test
