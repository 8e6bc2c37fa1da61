// The listing of a Startup folder, the same on every system. Reading one shortcut is the
// system's own: posix/shortcut_file_liblnk.cpp and windows/shortcut_file_win32.cpp.
#include "platform/shortcut_file.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
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

namespace {

namespace fs = std::filesystem;

Status fileError(const std::string& what, const std::string& path, const std::error_code& why) {
    return Status::error(what + "：" + path + "（" + why.message() + "）");
}

}  // namespace

Result<std::string> readFileBytes(const std::string& hostPath) {
    const fs::path path = pathFromUtf8(hostPath);
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return Status::error("无法读取：" + hostPath);
    const std::uintmax_t size = fs::file_size(path, error);
    if (error || size > kMaxShortcutBytes) return Status::error("无法读取：" + hostPath);
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad() || bytes.size() > kMaxShortcutBytes) return Status::error("无法读取：" + hostPath);
    return bytes;
}

bool fileExists(const std::string& hostPath) {
    std::error_code error;
    return fs::symlink_status(pathFromUtf8(hostPath), error).type() != fs::file_type::not_found &&
           !error;
}

Status writeNewFile(const std::string& hostPath, std::string_view bytes) {
    const fs::path path = pathFromUtf8(hostPath);
    std::error_code error;
    if (fileExists(hostPath)) return Status::error("文件已存在：" + hostPath);
    fs::create_directories(path.parent_path(), error);
    if (error) return fileError("无法创建文件夹", hostPath, error);

    static std::atomic<unsigned> counter{0};
    const fs::path temporary = pathFromUtf8(hostPath + ".hivora-new-" + std::to_string(counter++));
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temporary, error);
            return Status::error("无法写入文件：" + hostPath);
        }
    }
    // A hard link is made only where no file is: unlike a rename, it never replaces one that
    // appeared meanwhile. A file system without hard links gets the plain rename after a look.
    fs::create_hard_link(temporary, path, error);
    if (error && error != std::errc::file_exists && !fileExists(hostPath)) {
        error.clear();
        fs::rename(temporary, path, error);
    }
    std::error_code ignored;
    fs::remove(temporary, ignored);
    if (error) return fileError("无法写入文件", hostPath, error);
    return {};
}

Status moveFile(const std::string& from, const std::string& to) {
    const fs::path source = pathFromUtf8(from);
    const fs::path target = pathFromUtf8(to);
    std::error_code error;
    if (fileExists(to)) return Status::error("文件已存在：" + to);
    fs::create_directories(target.parent_path(), error);
    if (error) return fileError("无法创建文件夹", to, error);
    // Linked first and only then removed: a crash between the two leaves the file in both
    // places, never in neither.
    fs::create_hard_link(source, target, error);
    if (error == std::errc::file_exists) return Status::error("文件已存在：" + to);
    if (error) {
        // Another file system, or one without hard links: copied whole, then removed.
        Result<std::string> bytes = readFileBytes(from);
        if (!bytes) return bytes.status();
        const Status written = writeNewFile(to, bytes.value());
        if (!written) return written;
    }
    return removeFile(from);
}

Status removeFile(const std::string& hostPath) {
    std::error_code error;
    const bool removed = fs::remove(pathFromUtf8(hostPath), error);
    if (error) return fileError("无法删除文件", hostPath, error);
    if (!removed) return Status::error("文件不存在：" + hostPath);
    return {};
}

}  // namespace hivora
