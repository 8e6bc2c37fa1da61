#pragma once
// Wine's symbolic-link keys in a real prefix, read from both sides of the interoperability check:
// the keys a fresh prefix reaches through links (the 32-bit view's Fonts and Time Zones, the
// 64-bit Time Zones link), listed through a registry as the program's registry layer lists them.
// Our store and a Windows program under Wine must list the same.

#include <string>
#include <vector>

#include "platform/registry_api.h"

namespace hivora::test {

// Paths below HKEY_LOCAL_MACHINE that lead through a link key of a fresh Wine prefix.
const std::vector<std::string>& linkedPaths();

// The key at `path` below HKEY_LOCAL_MACHINE and its branch `depth` levels down: for each key its
// path, the result of opening it, then its values (as registry_recorder.h lists them) and its
// sub-keys in order. Two registries that hold the same keys give the same text.
std::string listBranch(RegistryApi& registry, const std::string& path, int depth);

}  // namespace hivora::test
