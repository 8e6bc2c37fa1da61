#pragma once
// How Wine's registry loader takes a file apart, reproduced exactly for the hive reader
// (wine_hive_reader.cpp): its lines, and its readings of numbers. Wine reads with the C library
// (fgets into a buffer that grows by half, then C string functions, strtoul and sscanf), and what
// it makes of a damaged line follows from that; the reader must make the same of it.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace hivora {

// Splits a file into the lines Wine's loader sees. A line ends at its newline, which is dropped
// together with a carriage return before it. A NUL byte ends the line early: the loader's string
// functions stop there. How much of the file that read consumed depends on the loader's buffer,
// which starts at 4 bytes and grows by half whenever a line fills it: the rest of a line whose NUL
// lies within the buffer is lost, and a rest beyond it becomes the next line.
class WineLineReader {
  public:
    explicit WineLineReader(std::string_view text) : m_text(text) {}

    struct Line {
        std::string_view content;  // what the loader sees, without newline and after any NUL
        std::size_t start = 0;     // offset of the line's first byte in the text
        std::size_t end = 0;       // offset just past the bytes the read consumed
        int number = 0;            // 1-based, as the loader counts
    };
    // The next line; false at the end of the text.
    bool next(Line& line);

  private:
    std::string_view m_text;
    std::size_t m_offset = 0;
    std::size_t m_bufferSize = 4;
    int m_number = 0;
};

// The C library's isspace() and isxdigit() in the "C" locale.
bool isCSpace(char c);
bool isCHexDigit(char c);

// strtoul(text, &end, 16) of a 64-bit C library: leading white space, an optional sign, an
// optional "0x", then hex digits; a value too large gives the largest value, a minus sign negates
// (modulo 2^64). `used` is the count of characters read, 0 when there are no digits.
std::uint64_t wineStrtoul16(std::string_view text, std::size_t& used);

// sscanf(text, " %u", &value): white space, an optional sign, decimal digits, taken modulo 2^32;
// nothing when there are no digits.
std::optional<std::uint32_t> wineScanUnsigned(std::string_view text);

}  // namespace hivora
