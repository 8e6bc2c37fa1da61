// The listing of a Startup folder, the same on every system. Reading one shortcut is the
// system's own: posix/shortcut_file_liblnk.cpp and windows/shortcut_file_win32.cpp.
#include "platform/shortcut_file.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <system_error>
#include <vector>

namespace hivora {

namespace {

// Paths and names are UTF-8 here; std::filesystem's narrow strings are the ANSI code page on
// Windows, so the conversion goes through its UTF-8 forms.
std::filesystem::path pathFromUtf8(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8Name(const std::filesystem::path& path) {
    const std::u8string name = path.filename().u8string();
    return std::string(name.begin(), name.end());
}

}  // namespace

std::vector<FolderFile> folderFiles(const std::string& hostPath) {
    std::vector<FolderFile> files;
    std::error_code error;
    std::filesystem::directory_iterator it(pathFromUtf8(hostPath), error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        std::error_code statError;
        if (!it->is_regular_file(statError)) continue;
        FolderFile file;
        file.name = utf8Name(it->path());
        std::string lower = file.name;
        for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        if (lower == "desktop.ini") continue;
        file.size = it->file_size(statError);
        file.modified =
            static_cast<std::int64_t>(it->last_write_time(statError).time_since_epoch().count());
        files.push_back(std::move(file));
    }
    std::sort(files.begin(), files.end(),
              [](const FolderFile& a, const FolderFile& b) { return a.name < b.name; });
    return files;
}

}  // namespace hivora
