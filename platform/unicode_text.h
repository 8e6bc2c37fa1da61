#pragma once
// Unicode helpers for the registry store: strict UTF-8 <-> UTF-16 conversion, the UTF-16LE byte
// form in which the registry keeps texts, and the case-insensitive comparison of key and value
// names.
//
// Names compare as Windows and Wine's server compare them: unit by unit after Windows' lower-case
// mapping, then the shorter name first. The mapping is Windows' own table for every unit of the
// Basic Multilingual Plane (generated, see nls_tables.h); surrogates compare as they are. Using
// one order for lookup and for writing keeps the files in the order Wine writes them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace hivora {

// Strict conversions. Failure: malformed, overlong or truncated UTF-8, encoded surrogates, code
// points above U+10FFFF (utf8ToUtf16); an unpaired surrogate (utf16ToUtf8). Embedded NULs pass.
Result<std::u16string> utf8ToUtf16(std::string_view utf8);
Result<std::string> utf16ToUtf8(std::u16string_view utf16);

// Appends the code point `cp` (<= U+10FFFF) to `out` in UTF-8 / UTF-16.
void appendUtf8(std::string& out, std::uint32_t cp);
void appendUtf16(std::u16string& out, std::uint32_t cp);

// The registry's byte form of a text: UTF-16 little-endian, two bytes per unit.
std::vector<std::uint8_t> toUtf16Le(std::u16string_view text);
// The units of UTF-16LE bytes; an odd final byte is ignored.
std::u16string fromUtf16Le(const std::uint8_t* bytes, std::size_t count);

// The lower-case form used to compare names (Windows' mapping of one UTF-16 unit).
char16_t foldNameChar(char16_t c);
// <0, 0, >0 as `a` sorts before, equal to or after `b` without regard to case.
int compareNames(std::u16string_view a, std::u16string_view b);
inline bool namesEqual(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && compareNames(a, b) == 0;
}

// ASCII-only convenience for literals in code and tests.
std::u16string asciiToUtf16(std::string_view ascii);

}  // namespace hivora
