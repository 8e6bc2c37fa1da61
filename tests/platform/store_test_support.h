#pragma once
// Helpers for the registry store's tests: a private temporary folder, whole-file access and short
// registry calls. Portable: the tree registry's test is also built for Windows. Nothing here
// touches the home folder.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/ansi_codec.h"
#include "platform/registry_api.h"

namespace hivora::test {

// A fresh folder below the system's temporary folder, removed with all it holds.
class TempFolder {
  public:
    TempFolder() {
        static std::atomic<unsigned> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        // create_directory() is false when the name is taken: then the next name is tried.
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            const auto candidate =
                std::filesystem::temp_directory_path() /
                ("hivora-store-" + std::to_string(stamp) + "-" + std::to_string(counter++));
            std::error_code error;
            if (std::filesystem::create_directory(candidate, error)) m_path = candidate.string();
        }
        EXPECT_FALSE(m_path.empty()) << "no temporary folder could be made";
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
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

// Whether a save's temporary file (".<name>.hivora-*") is in `folder`.
inline bool hasTemporaries(const std::string& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().find(".hivora-") != std::string::npos) return true;
    return false;
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
