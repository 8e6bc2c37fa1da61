#pragma once
// The text rules of profile (INI) files, as GetPrivateProfileStringA and
// WritePrivateProfileStringA apply them, without any file access: finding a key's value in a
// file's text, and the file's text after one key is written.
//
// The rules:
// - A line whose first non-blank character is "[" starts a section; its name is the text up to
//   "]" with blanks removed. Lines before the first section belong to none.
// - In a section, a line holding "=" is a key: the key name is the text before the first "=",
//   the value the text after it, both with surrounding blanks removed. Lines starting with ";"
//   are comments; other lines are kept but hold no key.
// - Section and key names match without regard to the case of ASCII letters; the first matching
//   section and, in it, the first matching key count.
// - Texts are bytes in the ANSI code page. In a double-byte code page (932, 936, 949, 950) the
//   byte after a lead byte (0x81 and above) is never taken for an ASCII letter, and a value is
//   never cut between the two bytes of a character.
// - Writing keeps every other line byte for byte, line endings included. A new line takes the
//   file's line ending ("\r\n" for an empty file or one without any).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace hivora {

// Whether `codePage` has two-byte characters whose second byte may look like ASCII.
bool isDoubleByteCodePage(std::uint32_t codePage);

// The value of `key` in `section` of `fileText`, with surrounding blanks removed and one pair of
// matching enclosing quotes ("..." or '...') taken off, as the platform reads it. No value when
// the section or the key is missing.
std::optional<std::string> findProfileValue(std::string_view fileText, std::string_view section,
                                            std::string_view key, std::uint32_t codePage);

// `value` cut to at most `bufferSize` - 1 bytes, as a caller's buffer of that size holds it
// (0 or 1 give ""), without splitting a double-byte character.
std::string cutToProfileBuffer(std::string_view value, std::uint32_t bufferSize,
                               std::uint32_t codePage);

// `fileText` with `key` = `value` in `section`:
// - the first matching key line is replaced by "<key as the file spells it>=<value>";
// - a missing key is added after the last non-blank line of the section;
// - a missing section is added at the end of the text, with the key under it.
// Fails (kErrorInvalidParameter), changing nothing, for texts that would not read back as the same
// section, key and value: an empty section or key, a line break in any of the three, "]" in the
// section, "=" in the key or a key starting with "[" or ";".
Result<std::string> writeProfileValue(std::string_view fileText, std::string_view section,
                                      std::string_view key, std::string_view value,
                                      std::uint32_t codePage);

}  // namespace hivora
