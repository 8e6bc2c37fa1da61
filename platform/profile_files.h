#pragma once
// Profile (INI) files with the semantics of GetPrivateProfileStringA / WritePrivateProfileStringA.
// Paths are UTF-8; section, key and value texts are in the ANSI code page, as the "A" functions
// take them. Sections and keys match without regard to case; lines the call does not touch stay
// as they were.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/status.h"

namespace hivora {

class ProfileFiles {
public:
    virtual ~ProfileFiles() = default;

    // The value of `key` in `section`, or `defaultValue` when the file, section or key is
    // missing. The result is cut to `bufferSize` - 1 bytes, as the platform's buffer would cut it.
    virtual std::string GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                                 const std::string& defaultValue,
                                                 std::uint32_t bufferSize,
                                                 const std::string& fileName) = 0;
    // Writes `value` as the key's value, creating the file and the section when missing. The file
    // is replaced atomically: a failure leaves the old file as it was.
    virtual Status WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                              const std::string& value,
                                              const std::string& fileName) = 0;
};

// The platform's profile files: kernel32's own functions on Windows, a compatible reader and
// writer elsewhere.
std::unique_ptr<ProfileFiles> makeProfileFiles();

}  // namespace hivora
