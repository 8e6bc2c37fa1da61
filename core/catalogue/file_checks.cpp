#include "core/catalogue/file_checks.h"

namespace hivora {

namespace {
constexpr std::uint32_t kFileAttributeVolumeLabel = 0x08;
}

bool FolderExists(const FileSystem& files, const std::string& path) {
    if (path.empty()) return false;
    const auto attributes = files.attributes(path);
    return attributes && (*attributes & kFileAttributeDirectory) != 0;
}

bool FileExists(const FileSystem& files, const std::string& path) {
    if (path.empty()) return false;
    const auto attributes = files.attributes(path);
    if (!attributes) return false;
    // A search for files with the attribute mask 39 finds normal files and files with any of the
    // four file attributes, whatever other flags (compressed, offline, ...) they carry; it never
    // finds directories or volume labels.
    const bool notAFile =
        (*attributes & (kFileAttributeDirectory | kFileAttributeVolumeLabel)) != 0;
    return !notAFile && !FolderExists(files, path);
}

}  // namespace hivora
