#pragma once
// The values both sides of the interoperability check write and read: our store into a Wine
// prefix's files, and a Windows program under Wine through the real registry. One table, with
// what Windows reads back for each value, serves both directions.

#include <string>
#include <vector>

#include "platform/registry_api.h"

namespace hivora::test {

// Writes every value of the table under the four roots, below a key named after `tag`
// ("FromStore", "FromWine"), creating the keys with the class "REG_SZ". Returns a description of
// each call that failed; empty when all succeeded.
std::vector<std::string> writeInteropValues(RegistryApi& registry, const std::string& tag);

// Reads every value back under the four roots as the program's registry layer reads (size query,
// then a read with a buffer of that size) and lists each difference from what Windows reads back
// for it; empty when all match.
std::vector<std::string> checkInteropValues(RegistryApi& registry, const std::string& tag);

}  // namespace hivora::test
