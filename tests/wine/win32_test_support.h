#pragma once
// Helpers for the tests that run as Windows programs (under Wine here): a private temporary
// folder and whole-file reads and writes through the wide-character functions.

#include <windows.h>

#include <string>

#include "platform/windows/wide_text.h"

namespace hivora::test {

// A new, empty folder under the user's temporary folder; removed with its files (one level
// deep, which is all the tests create) when the object goes.
class TempFolder {
  public:
    TempFolder() {
        wchar_t base[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH, base);
        static unsigned counter = 0;
        m_path = base;
        m_path += L"hivora-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                  std::to_wstring(++counter);
        ::CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~TempFolder() {
        WIN32_FIND_DATAW entry;
        HANDLE search = ::FindFirstFileW((m_path + L"\\*").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = entry.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring full = m_path + L"\\" + name;
                ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    ::RemoveDirectoryW(full.c_str());
                } else {
                    ::DeleteFileW(full.c_str());
                }
            } while (::FindNextFileW(search, &entry));
            ::FindClose(search);
        }
        ::RemoveDirectoryW(m_path.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // A path inside the folder, in UTF-8 as the program's interfaces take paths.
    std::string file(const std::string& name) const { return utf8FromWide(m_path) + "\\" + name; }
    std::wstring wide() const { return m_path; }

  private:
    std::wstring m_path;
};

inline bool writeWholeFile(const std::string& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(wideFromUtf8(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

// The file's bytes, or "<missing>" when it cannot be opened.
inline std::string readWholeFile(const std::string& path) {
    HANDLE file = ::CreateFileW(wideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    ::CloseHandle(file);
    return bytes;
}

}  // namespace hivora::test
