#pragma once
// Windows shortcut (.lnk) files, read through liblnk: the program a shortcut starts and the
// arguments it passes, as a startup folder's entry shows them.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/status.h"

namespace hivora {

struct ShortcutTarget {
    std::string target;     // the local path it starts (UTF-8); a network or relative path where
                            // the shortcut names no local one; "" when it names none at all
    std::string arguments;  // "" when it passes none
};

// Reads the shortcut at `hostPath`. Failure (a missing, empty, truncated file, or one that is no
// shortcut): a Status saying "无法读取", never a crash. Builds without liblnk fail every read.
Result<ShortcutTarget> readShortcut(const std::string& hostPath);

// A file of a folder, with what tells whether it changed since it was last read.
struct FolderFile {
    std::string name;
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // the file system's time stamp, in its own units
};

// The files in the folder at `hostPath` (sub-folders and Explorer's desktop.ini left out),
// sorted by name byte for byte. A folder that does not exist or cannot be read: none.
std::vector<FolderFile> folderFiles(const std::string& hostPath);

}  // namespace hivora
