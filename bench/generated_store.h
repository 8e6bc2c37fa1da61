#pragma once
// The store every registry benchmark works on: a folder whose system.reg is the size of a real
// Wine prefix's (30,000 keys, over 2 MB), generated once in a temporary folder and removed at exit.

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/ansi_codec.h"
#include "platform/posix/file_store.h"

namespace hivora::bench {

inline constexpr int kKeyCount = 30000;

inline const AnsiCodec& codec() {
    static const std::unique_ptr<AnsiCodec> c = makeAnsiCodec(936).value();
    return *c;
}

inline RegResult setValue(RegistryApi& api, RegKey root, const std::string& path, const char* name,
                          std::uint32_t type, const std::string& data,
                          const char* keyClass = "REG_SZ") {
    RegKey k = 0;
    RegResult r =
        api.RegCreateKeyExA(root, path.c_str(), 0, keyClass, 0, kKeyAllAccess, &k, nullptr);
    if (r != kErrorSuccess) return r;
    r = api.RegSetValueExA(k, name, 0, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                           static_cast<std::uint32_t>(data.size()));
    api.RegCloseKey(k);
    return r;
}

inline std::string dword(std::uint32_t v) {
    return std::string(reinterpret_cast<const char*>(&v), 4);
}

// The generated store, made once for all benchmarks and removed at exit.
class GeneratedStore {
  public:
    GeneratedStore() {
        m_folder = (std::filesystem::temp_directory_path() / "hivora-bench-XXXXXX").string();
        if (!::mkdtemp(m_folder.data())) std::abort();
        auto store = openFileStore(m_folder, codec()).value();
        // Keys as a prefix's classes and components look: one or two values each.
        for (int i = 0; i < kKeyCount; ++i) {
            char path[96];
            std::snprintf(path, sizeof path, "Software\\Vendor%02d\\Component%05d", i / 600, i);
            setValue(*store, kHkeyLocalMachine, path, "", kRegSz,
                     "C:\\windows\\system32\\comp" + std::to_string(i) + ".dll" + '\0', nullptr);
            if (i % 2 == 0)
                setValue(*store, kHkeyLocalMachine, path, "Flags", kRegDword,
                         dword(static_cast<std::uint32_t>(i)), nullptr);
        }
        setValue(*store, kHkeyCurrentUser, "Software\\Hivora", "Start", kRegDword, dword(0));
        if (!store->flush().isOk()) std::abort();
        for (const char* name : {"system.reg", "user.reg", "userdef.reg"}) {
            const std::string path = m_folder + "/" + name;
            if (std::filesystem::exists(path)) m_bytes += std::filesystem::file_size(path);
        }
        m_systemBytes = std::filesystem::file_size(m_folder + "/system.reg");
    }
    ~GeneratedStore() {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    const std::string& folder() const { return m_folder; }
    std::uintmax_t bytes() const { return m_bytes; }
    std::uintmax_t systemBytes() const { return m_systemBytes; }

  private:
    std::string m_folder;
    std::uintmax_t m_bytes = 0;
    std::uintmax_t m_systemBytes = 0;
};

inline GeneratedStore& generated() {
    static GeneratedStore store;
    return store;
}

}  // namespace hivora::bench
