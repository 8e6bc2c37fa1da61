#pragma once
// The Windows registry itself, reached through advapi32's ANSI functions. Every call passes
// straight through; the only work done here is mapping the program's 32-bit key handles onto the
// platform's HKEY values, which are pointer-sized on 64-bit Windows.

#include <memory>

#include "platform/registry_api.h"

namespace hivora {

// A new pass-through registry. Handles it hands out are valid only with the object that made
// them; destroying the object closes any key still open.
std::unique_ptr<RegistryApi> makeWin32Registry();

}  // namespace hivora
