#include "platform/wine_hive_lines.h"

namespace hivora {

bool isCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isCHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

namespace {

unsigned digitValue(char c) {
    if (c <= '9') return static_cast<unsigned>(c - '0');
    return static_cast<unsigned>((c | 0x20) - 'a' + 10);
}

}  // namespace

bool WineLineReader::next(Line& line) {
    ++m_number;
    const std::size_t start = m_offset;
    // The buffer holds the bytes from `start` on; each fgets() adds up to the room left but one
    // and stops after a newline.
    std::size_t filled = 0;
    for (;;) {
        if (m_offset >= m_text.size()) {
            if (filled == 0) return false;
            break;  // the end of the text ends the line
        }
        const std::size_t room = m_bufferSize - filled - 1;
        const std::string_view chunk = m_text.substr(m_offset, room);
        const std::size_t newline = chunk.find('\n');
        const std::size_t take = newline == std::string_view::npos ? chunk.size() : newline + 1;
        const bool hasNul = chunk.substr(0, take).find('\0') != std::string_view::npos;
        m_offset += take;
        filled += take;
        if (hasNul || newline != std::string_view::npos || filled < m_bufferSize - 1) break;
        m_bufferSize += m_bufferSize / 2;  // full without a newline: the buffer grows
    }
    std::string_view content = m_text.substr(start, filled);
    content = content.substr(0, content.find('\0'));
    if (!content.empty() && content.back() == '\n') {
        content.remove_suffix(1);
        if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
    }
    line = {content, start, m_offset, m_number};
    return true;
}

std::uint64_t wineStrtoul16(std::string_view text, std::size_t& used) {
    std::size_t i = 0;
    while (i < text.size() && isCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // "0x" counts only when a hex digit follows; otherwise the "0" alone is read.
    if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] | 0x20) == 'x' &&
        isCHexDigit(text[i + 2]))
        i += 2;
    const std::size_t digitsStart = i;
    std::uint64_t value = 0;
    bool overflow = false;
    while (i < text.size() && isCHexDigit(text[i])) {
        if (value >> 60) overflow = true;
        value = (value << 4) | digitValue(text[i++]);
    }
    if (i == digitsStart) {
        used = 0;
        return 0;
    }
    used = i;
    if (overflow) return ~std::uint64_t{0};
    return negative ? ~value + 1 : value;
}

std::optional<std::uint32_t> wineScanUnsigned(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isCSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t digitsStart = i;
    std::uint64_t value = 0;
    bool overflow = false;
    constexpr std::uint64_t kMax = ~std::uint64_t{0};
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        const unsigned digit = static_cast<unsigned>(text[i++] - '0');
        if (value > (kMax - digit) / 10) overflow = true;
        value = value * 10 + digit;
    }
    if (i == digitsStart) return std::nullopt;
    if (overflow)
        value = kMax;
    else if (negative)
        value = ~value + 1;
    return static_cast<std::uint32_t>(value);
}

}  // namespace hivora
