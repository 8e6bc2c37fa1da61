#pragma once
// Helpers for the tests that run as Windows programs (under Wine here): a private temporary
// folder and whole-file reads and writes. Paths are UTF-8, as the program's interfaces take them;
// std::filesystem reaches them through the wide-character functions.

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "platform/windows/wide_text.h"

namespace hivora::test {

// A new, empty folder under the user's temporary folder; removed with everything in it, read-only
// files too, when the object goes.
class TempFolder {
  public:
    TempFolder() {
        wchar_t base[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH, base);
        static unsigned counter = 0;
        m_path = std::wstring(base) + L"hivora-test-" + std::to_wstring(::GetCurrentProcessId()) +
                 L"-" + std::to_wstring(++counter);
        std::filesystem::create_directory(m_path);
    }
    ~TempFolder() {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(m_path, error))
            ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(m_path, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // A path inside the folder.
    std::string file(const std::string& name) const { return path() + "\\" + name; }
    std::string path() const { return utf8FromWide(m_path.wstring()); }
    // The names of what the folder holds, in order, each followed by "|".
    std::string listing() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_path))
            names.insert(utf8FromWide(entry.path().filename().wstring()));
        std::string joined;
        for (const std::string& name : names) joined += name + "|";
        return joined;
    }

  private:
    std::filesystem::path m_path;
};

inline bool writeWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(wideFromUtf8(path)), std::ios::binary);
    return static_cast<bool>(out << bytes) && static_cast<bool>(out.flush());
}

// The file's bytes, or "<missing>" when it cannot be opened.
inline std::string readWholeFile(const std::string& path) {
    std::ifstream in(std::filesystem::path(wideFromUtf8(path)), std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace hivora::test
