#pragma once
// The registries the shared registry suite (registry_suite.cpp) runs against. Each platform's
// test program links one file defining registryBackends(): registry_backends_posix.cpp (the
// in-memory registry and the Wine-format file store) or a Windows one (the real registry).

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/registry_api.h"

namespace hivora::test {

struct RegistryBackend {
    std::string name;  // a gtest parameter name: letters, digits and underscores
    // A fresh registry for one test. A backend over a shared registry (Windows) hands out the
    // same one each time; the suite removes what it created.
    std::function<std::shared_ptr<RegistryApi>()> make;
    std::uint32_t codePage = 936;  // the ANSI code page of its "A" calls
    std::string userSid;           // HKEY_USERS\<userSid> is HKEY_CURRENT_USER; "" if unknown
};

// Names the backend in test output instead of dumping its bytes.
inline void PrintTo(const RegistryBackend& backend, std::ostream* os) {
    *os << backend.name;
}

std::vector<RegistryBackend> registryBackends();

}  // namespace hivora::test
