#pragma once
// The values both sides of the interoperability check write and read: our store into a Wine
// prefix's files, and a Windows program under Wine through the real registry. One table serves
// both directions; what each side reads back is compared as a record of registry calls.

#include <string>
#include <vector>

#include "platform/registry_api.h"

namespace hivora::test {

// Writes every value of the table below a key named after `tag` ("FromStore", "FromWine") under
// the four roots, with the table's sub-keys, creating the keys with the class "REG_SZ" and
// flushing at the end. Returns a description of each call that failed; empty when all succeeded.
std::vector<std::string> writeInteropValues(RegistryApi& registry, const std::string& tag);

// What the keys written by writeInteropValues give back, as registry_recorder.h records it: for
// each key (sub-keys looked up by names of other case) every value read, and then listed. Two
// registries that hold the same values give the same text.
std::string readInteropValues(RegistryApi& registry, const std::string& tag);

}  // namespace hivora::test
