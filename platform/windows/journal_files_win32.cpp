// The journal's files on Windows: appends flushed with FlushFileBuffers, rewrites through a
// temporary file moved over the old one with MOVEFILE_WRITE_THROUGH.

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "platform/journal_file.h"
#include "platform/unicode_text.h"

namespace hivora {
namespace {

std::wstring wide(const std::string& utf8) {
    const Result<std::u16string> text = utf8ToUtf16(utf8);
    if (!text) return {};
    return std::wstring(text.value().begin(), text.value().end());
}

Status failure(const std::string& path) {
    const DWORD code = ::GetLastError();
    return Status::error("无法写入操作记录 " + path + "（错误 " + std::to_string(code) + "）",
                         static_cast<std::int32_t>(code));
}

std::string folderOf(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

void makeFolders(const std::string& folder) {
    if (folder.empty()) return;
    makeFolders(folderOf(folder));
    ::CreateDirectoryW(wide(folder).c_str(), nullptr);
}

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

class Win32JournalFiles final : public JournalFiles {
  public:
    Result<std::string> read(const std::string& path) override {
        HANDLE file = ::CreateFileW(wide(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            const DWORD code = ::GetLastError();
            if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return std::string();
            return failure(path);
        }
        std::string text;
        char buffer[65536];
        DWORD got = 0;
        while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
            text.append(buffer, got);
        ::CloseHandle(file);
        return text;
    }

    Status appendDurably(const std::string& path, std::string_view bytes) override {
        makeFolders(folderOf(path));
        HANDLE file =
            ::CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return failure(path);
        LARGE_INTEGER size{};
        bool ok = ::GetFileSizeEx(file, &size) != 0;
        if (ok && size.QuadPart > 0) {
            LARGE_INTEGER at{};
            at.QuadPart = size.QuadPart - 1;
            char last = '\n';
            DWORD got = 0;
            ok = ::SetFilePointerEx(file, at, nullptr, FILE_BEGIN) &&
                 ::ReadFile(file, &last, 1, &got, nullptr) && got == 1;
            if (ok && last != '\n') ok = writeAll(file, "\n");
        }
        LARGE_INTEGER zero{};
        ok = ok && ::SetFilePointerEx(file, zero, nullptr, FILE_END) && writeAll(file, bytes) &&
             ::FlushFileBuffers(file);
        const Status outcome = ok ? Status::ok() : failure(path);
        ::CloseHandle(file);
        return outcome;
    }

    Status replaceDurably(const std::string& path, std::string_view bytes) override {
        makeFolders(folderOf(path));
        const std::string temporary = path + ".new";
        HANDLE file = ::CreateFileW(wide(temporary).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return failure(temporary);
        const bool written = writeAll(file, bytes) && ::FlushFileBuffers(file);
        ::CloseHandle(file);
        if (!written || !::MoveFileExW(wide(temporary).c_str(), wide(path).c_str(),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            const Status s = failure(path);
            ::DeleteFileW(wide(temporary).c_str());
            return s;
        }
        return Status::ok();
    }
};

}  // namespace

std::unique_ptr<JournalFiles> makeJournalFiles() {
    return std::make_unique<Win32JournalFiles>();
}

Result<std::string> journalPathForStore(const std::string&) {
    const wchar_t* local = ::_wgetenv(L"LOCALAPPDATA");
    if (!local || !*local) return Status::error("找不到 LOCALAPPDATA 目录，无法保存操作记录。");
    const std::u16string units(local, local + std::wcslen(local));
    const Result<std::string> folder = utf16ToUtf8(units);
    if (!folder) return folder.status();
    return folder.value() + "\\Hivora\\registry.jsonl";
}

}  // namespace hivora
