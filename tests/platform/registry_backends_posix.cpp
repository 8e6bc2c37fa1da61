// The registries the shared suite runs against on POSIX systems: the in-memory registry, and the
// Wine-format file store in a fresh temporary folder (removed with the registry).

#include <stdlib.h>

#include <filesystem>

#include "platform/ansi_codec.h"
#include "platform/posix/file_store.h"
#include "platform/tree_registry.h"
#include "tests/platform/registry_backends.h"

namespace hivora::test {

namespace {

const AnsiCodec& codec936() {
    static const std::unique_ptr<AnsiCodec> codec = makeAnsiCodec(936).value();
    return *codec;
}

std::shared_ptr<RegistryApi> makeFileStoreInTempFolder() {
    std::string folder = (std::filesystem::temp_directory_path() / "hivora-suite-XXXXXX").string();
    if (!::mkdtemp(folder.data())) return nullptr;
    auto store = openFileStore(folder, codec936());
    if (!store) return nullptr;
    TreeRegistry* registry = std::move(store).value().release();
    return std::shared_ptr<RegistryApi>(registry, [folder](RegistryApi* api) {
        delete api;
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    });
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
