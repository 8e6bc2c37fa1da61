#pragma once
// Class names for keys libhivex made: the library writes new keys without one and has no call to
// give them one, while the program's keys carry the class they were created with, as on Windows.
// After the library has written a hive, the class names are added to that file: one new hive bin
// at its end holds them, each key's record is pointed at its name, and the base block counts the
// new bin and gets its checksum again.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/status.h"

namespace hivora {

struct KeyClassPatch {
    std::uint64_t nodeOffset = 0;  // the key's cell, from the start of the file (libhivex's handle)
    std::u16string keyClass;       // not empty
};

// Gives the keys at `patches` their class in the hive file at `path` (written, not yet synced).
// A key that has a class already, or whose cell is no key, is left. Failure: the file could not
// be read or written (errno as code); it must then not be used.
Status addKeyClasses(const std::string& path, const std::vector<KeyClassPatch>& patches);

}  // namespace hivora
