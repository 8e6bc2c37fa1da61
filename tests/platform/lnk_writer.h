#pragma once
// Writes Windows shortcut files for tests, after the published shell-link layout: the 76-byte
// header, a LinkInfo with a local base path, and the arguments as a counted UTF-16 string.

#include <cstdint>
#include <string>

namespace hivora::test {

namespace lnk_detail {

inline void put16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}
inline void put32(std::string& out, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) out += static_cast<char>((v >> (8 * k)) & 0xFF);
}
// UTF-8 to UTF-16 code units, for the Basic Multilingual Plane.
inline std::u16string utf16(const std::string& utf8) {
    std::u16string out;
    for (std::size_t k = 0; k < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[k]);
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            k += 1;
        } else if (b < 0xE0) {
            out += static_cast<char16_t>(((b & 0x1F) << 6) | (utf8[k + 1] & 0x3F));
            k += 2;
        } else {
            out += static_cast<char16_t>(((b & 0x0F) << 12) | ((utf8[k + 1] & 0x3F) << 6) |
                                         (utf8[k + 2] & 0x3F));
            k += 3;
        }
    }
    return out;
}

}  // namespace lnk_detail

// The bytes of a shortcut to `target` (ASCII, a local path such as "C:\app\a.exe") passing
// `arguments` (UTF-8; none when empty).
inline std::string shortcutBytes(const std::string& target, const std::string& arguments) {
    using namespace lnk_detail;
    constexpr std::uint32_t kHasLinkInfo = 0x02, kHasArguments = 0x20, kIsUnicode = 0x80;
    std::string out;
    put32(out, 0x4C);  // header size
    const unsigned char clsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                     0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    out.append(reinterpret_cast<const char*>(clsid), 16);
    put32(out, kHasLinkInfo | kIsUnicode | (arguments.empty() ? 0 : kHasArguments));
    put32(out, 0x20);      // file attributes: archive
    out.append(24, '\0');  // creation, access and write times
    put32(out, 0);         // file size
    put32(out, 0);         // icon index
    put32(out, 1);         // show normally
    put16(out, 0);         // hot key
    out.append(10, '\0');  // reserved

    // LinkInfo: header (28 bytes), the volume id (16 bytes and an empty label), the local base
    // path and an empty common path suffix.
    const std::uint32_t volumeSize = 16 + 1;
    const std::uint32_t baseOffset = 28 + volumeSize;
    const std::uint32_t suffixOffset = baseOffset + static_cast<std::uint32_t>(target.size()) + 1;
    put32(out, suffixOffset + 1);  // LinkInfo size
    put32(out, 28);                // header size
    put32(out, 1);                 // a volume id and local base path
    put32(out, 28);                // volume id offset
    put32(out, baseOffset);
    put32(out, 0);  // no network path
    put32(out, suffixOffset);
    put32(out, volumeSize);
    put32(out, 3);           // fixed drive
    put32(out, 0x12345678);  // serial number
    put32(out, 16);          // label offset
    out += '\0';             // empty label
    out += target;
    out += '\0';
    out += '\0';  // common path suffix

    if (!arguments.empty()) {
        const std::u16string wide = utf16(arguments);
        put16(out, static_cast<std::uint16_t>(wide.size()));
        for (char16_t c : wide) put16(out, static_cast<std::uint16_t>(c));
    }
    put32(out, 0);  // terminal block
    return out;
}

}  // namespace hivora::test
