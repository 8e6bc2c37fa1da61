#pragma once
// Helpers for the file store's tests: a private temporary folder, whole-file access and short
// registry calls. Nothing here touches the home folder.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/ansi_codec.h"
#include "platform/registry_api.h"

namespace hivora::test {

class TempFolder {
  public:
    TempFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "hivora-store-XXXXXX").string();
        if (::mkdtemp(pattern.data())) m_path = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

  private:
    std::string m_path;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline const AnsiCodec& codec936() {
    static const std::unique_ptr<AnsiCodec> codec = makeAnsiCodec(936).value();
    return *codec;
}

// Creates the key and sets a REG_DWORD in it; the registry's result.
inline RegResult setDword(RegistryApi& api, RegKey root, const char* path, const char* name,
                          std::uint32_t value) {
    RegKey k = 0;
    RegResult r = api.RegCreateKeyExA(root, path, 0, "REG_DWORD", 0, kKeyAllAccess, &k, nullptr);
    if (r != kErrorSuccess) return r;
    r = api.RegSetValueExA(k, name, 0, kRegDword, reinterpret_cast<const std::uint8_t*>(&value), 4);
    api.RegCloseKey(k);
    return r;
}

// The REG_DWORD's value, or -1 when it cannot be read.
inline std::int64_t getDword(RegistryApi& api, RegKey root, const char* path, const char* name) {
    RegKey k = 0;
    if (api.RegOpenKeyExA(root, path, 0, kKeyRead, &k) != kErrorSuccess) return -1;
    std::uint32_t value = 0, size = 4, type = 0;
    const RegResult r =
        api.RegQueryValueExA(k, name, &type, reinterpret_cast<std::uint8_t*>(&value), &size);
    api.RegCloseKey(k);
    if (r != kErrorSuccess || type != kRegDword || size != 4) return -1;
    return value;
}

}  // namespace hivora::test
