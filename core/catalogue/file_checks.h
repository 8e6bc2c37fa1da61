#pragma once
// The existence tests the pages share, over the file-system service so that tests can feed them
// any attributes.

#include <cstdint>
#include <string>

#include "platform/system_services.h"

namespace hivora {

// True when `path` is not empty and names an existing entry that carries the directory attribute.
// A path at which nothing exists, or that cannot be examined, gives false.
bool FolderExists(const FileSystem& files, const std::string& path);

// True when `path` is not empty and names an existing entry that is not a directory: a file with
// any of the normal, read-only, hidden, system or archive attributes.
bool FileExists(const FileSystem& files, const std::string& path);

}  // namespace hivora
