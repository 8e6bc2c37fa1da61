#pragma once
// Whole numbers from text, by the rules the program's original platform applies when it turns a
// text into an Integer (16-bit) or a Long (32-bit). Used wherever a page, the colour text or the
// configuration file turns user or stored text into a number.
//
// Accepted forms, after removing leading and trailing blanks (spaces and tabs):
//   - Decimal: an optional "+" or "-", digits with an optional fraction (".5", "48.", "48.5") and
//     an optional exponent ("1e3", "2.5E-1"). The value is rounded to the nearest whole number,
//     halves to the even neighbour: "48.5" -> 48, "49.5" -> 50, "-2.5" -> -2, "0.5" -> 0.
//   - Hexadecimal: "&H" or "&h" followed by 1 to 4 (16-bit) or 1 to 8 (32-bit) significant hex
//     digits, no sign. The digits are the number's bit pattern in the requested width, so
//     "&HFFFF" is -1 as a 16-bit number but 65535 as a 32-bit one, and "&HFFFFFFFF" is -1 as a
//     32-bit number. (Reading the digits in the width asked for keeps a colour such as
//     "&HFFFF" (yellow) what its writer meant.) Leading zeros do not count: "&H0000FF" is 255.
//
// Anything else is not a number: the empty text, blanks only, a sign without digits, a lone ".",
// inner blanks ("1 2"), thousands separators, trailing letters ("12px"), "&O" octal, "&H" without
// digits, or a value that after rounding lies outside the width's signed range
// (-32768..32767 or -2147483648..2147483647).

#include <cstdint>
#include <optional>
#include <string_view>

namespace hivora {

enum class NumberWidth {
    Int16,  // the platform's Integer
    Int32,  // the platform's Long
};

// The number the text stands for, or no value when the text is not a whole number of that width
// by the rules above. Never fails otherwise.
std::optional<std::int32_t> parseWholeNumber(std::string_view text, NumberWidth width);

}  // namespace hivora
