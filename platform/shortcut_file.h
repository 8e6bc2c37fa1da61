#pragma once
// Windows shortcut (.lnk) files, read through liblnk: the program a shortcut starts and the
// arguments it passes, as a startup folder's entry shows them.

#include <cstdint>
#include <string>
#include <string_view>
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

// Moving a shortcut out of a Startup folder and back. Paths are host paths in UTF-8. None of these
// ever replaces a file that is already there.

// The largest shortcut file that is moved; Explorer's own stay far below it.
inline constexpr std::uint64_t kMaxShortcutBytes = 1u << 20;

// The bytes of the file at `hostPath`. Failure (missing, not a regular file, larger than
// kMaxShortcutBytes, unreadable): a Status naming the file.
Result<std::string> readFileBytes(const std::string& hostPath);

// Whether a file (of any kind) is at `hostPath`.
bool fileExists(const std::string& hostPath);

// A new file at `hostPath` holding `bytes`, its folder made first when missing. It is written
// under a temporary name beside it and then linked into place, so that it appears whole or not
// at all. Failure (a file already there, or the file system refuses): a Status naming the path;
// nothing is left behind.
Status writeNewFile(const std::string& hostPath, std::string_view bytes);

// Moves the file at `from` to `to` (whose folder is made when missing). Across file systems it is
// copied (writeNewFile) and then removed. Failure (a file already at `to`, or the file system
// refuses): a Status naming the paths; `from` is still there.
Status moveFile(const std::string& from, const std::string& to);

// Removes the file at `hostPath`. Failure: a Status naming the path.
Status removeFile(const std::string& hostPath);

}  // namespace hivora
