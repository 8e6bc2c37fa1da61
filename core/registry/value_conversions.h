#pragma once
// Conversions between the textual forms the registry keeps and numbers: hexadecimal text, colour
// text ("58 110 165") and drive-letter masks. Pure functions; they touch neither the registry nor
// the screen.
//
// A colour value is a signed 32-bit number 0x00BBGGRR (red in the low byte). A drive mask has bit
// k set for drive letter k counting A as 0; -1 stands for all drives.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace hivora {

// The value in upper-case hexadecimal digits without leading zeros: 255 -> "FF", 4096 -> "1000".
// 0 and every negative value give the empty text.
std::string ToHexText(std::int32_t value);

// "red green blue" in decimal, one blank apart: 0xA56E3A -> "58 110 165", 0 -> "0 0 0". A colour
// of 0 or below gives "0 0 0". Colours above 0xFFFFFF (which no caller passes) are read by the
// character positions of their longer hex form: blue from its first two digits, green from its
// third and fourth, red from its last two.
std::string ColorToRgbText(std::int32_t color);

// The colour a colour text stands for: red + 256 * green + 65536 * blue.
// - The empty text gives 0xFFFFFF.
// - The text is split at every blank (two blanks in a row leave an empty part); the first three
//   parts are red, green and blue, read in that order as 16-bit whole numbers (see
//   core/registry/number_text.h: blanks, fractions rounded halves to even, "&H" hexadecimal).
//   Parts after the third are ignored.
// - A component below 0 or above 255 gives 0xFFFFFF at once, before later parts are looked at.
// - Fails (a conversion error, code kErrorInvalidParameter) when a part that is reached is missing,
//   empty, not a number, or outside the 16-bit range.
Result<std::int32_t> RgbTextToColor(std::string_view text);

// The drive mask for a text of drive letters. Exactly "-1" gives -1. Otherwise each letter "a".."z"
// or "A".."Z" sets its bit, any other character is ignored: "CD" -> 12, "c:, F" -> 36,
// "Cc" -> 4. The caller trims the text; " -1" gives 0.
std::int32_t DriveLettersToMask(std::string_view text);

}  // namespace hivora
