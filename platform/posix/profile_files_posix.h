#pragma once
// Profile files on POSIX hosts: the rules of platform/profile_format.h over files on disk.
//
// - Paths are UTF-8 host paths, used as given.
// - Reading: a file that is missing or cannot be read gives the default, as on Windows.
// - Writing: the file's new text goes to a temporary file in the same folder, which is flushed to
//   disk and then renamed over the old file, and the folder is flushed too; so the file is always
//   either the old or the new one, even after a crash. A missing file is created (mode 0644); an
//   existing one keeps its mode. A missing folder is not created. A file that exists but cannot
//   be read is not replaced (its text would be lost). Failures carry a Windows result code
//   (kErrorAccessDenied, kErrorDiskFull, kErrorFileNotFound, otherwise kErrorWriteFault) and a
//   sentence naming the file.

#include <cstdint>
#include <memory>

#include "platform/profile_files.h"

namespace hivora {

// Profile files whose texts are in `codePage` (which decides how double-byte characters are
// treated when matching names and cutting values).
std::unique_ptr<ProfileFiles> makePosixProfileFiles(std::uint32_t codePage);

}  // namespace hivora
