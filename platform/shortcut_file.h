#pragma once
// Windows shortcut (.lnk) files, read through liblnk: the program a shortcut starts and the
// arguments it passes, as a startup folder's entry shows them.

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

// The names of the files in the folder at `hostPath` (sub-folders and Explorer's desktop.ini
// left out), sorted by byte value. A folder that does not exist or cannot be read: none.
std::vector<std::string> folderFileNames(const std::string& hostPath);

}  // namespace hivora
