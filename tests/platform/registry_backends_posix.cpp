// The registries the shared suite runs against on POSIX systems: the in-memory registry, and the
// Wine-format file store in a fresh temporary folder.

#include <cstdlib>

#include "platform/ansi_codec.h"
#include "platform/tree_registry.h"
#include "tests/platform/registry_backends.h"

namespace hivora::test {

namespace {

const AnsiCodec& codec936() {
    static const std::unique_ptr<AnsiCodec> codec = makeAnsiCodec(936).value();
    return *codec;
}

}  // namespace

std::vector<RegistryBackend> registryBackends() {
    std::vector<RegistryBackend> backends;
    backends.push_back({"Memory",
                        [] { return std::shared_ptr<RegistryApi>(makeMemoryRegistry(codec936())); },
                        936, "S-1-5-21-0-0-0-1000"});
    return backends;
}

}  // namespace hivora::test
