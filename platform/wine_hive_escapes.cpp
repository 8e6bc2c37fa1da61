// Wine's escapes for texts in registry files, both ways (see wine_hive_format.h).

#include <cstdio>

#include "platform/unicode_text.h"
#include "platform/wine_hive_format.h"

namespace hivora {

namespace {

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool isHexUnit(char16_t c) {
    return c < 0x80 && isHex(static_cast<char>(c));
}
void appendHex(std::string& out, unsigned value, int width) {
    char buffer[16];
    const int n = std::snprintf(buffer, sizeof buffer, "%0*x", width, value);
    out.append(buffer, static_cast<std::size_t>(n));
}
unsigned hexValue(char c) {
    if (c <= '9') return static_cast<unsigned>(c - '0');
    return static_cast<unsigned>((c | 0x20) - 'a' + 10);
}

}  // namespace

void appendEscaped(std::string& out, std::u16string_view text, std::string_view quote) {
    static constexpr char kControlEscapes[33] = ".......abtnvfr.............e....";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool hasNext = i + 1 < text.size();
        const char16_t next = hasNext ? text[i + 1] : 0;
        if (c > 127) {
            // Padded when an ASCII hex digit follows, which would otherwise read as part of it.
            out += "\\x";
            appendHex(out, c, hasNext && isHexUnit(next) ? 4 : 0);
        } else if (c < 32) {
            if (c == 0 && !hasNext) continue;  // the text's terminating NUL
            out.push_back('\\');
            if (kControlEscapes[c] != '.') {
                out.push_back(kControlEscapes[c]);
            } else {
                char buffer[8];
                const bool pad = hasNext && next >= u'0' && next <= u'7';
                const int n = std::snprintf(buffer, sizeof buffer, pad ? "%03o" : "%o", c);
                out.append(buffer, static_cast<std::size_t>(n));
            }
        } else {
            const char ch = static_cast<char>(c);
            if (ch == '\\' || ch == quote[0] || ch == quote[1]) out.push_back('\\');
            out.push_back(ch);
        }
    }
}

std::size_t parseEscaped(std::string_view input, char end, std::u16string& out) {
    out.clear();
    std::size_t i = 0;
    while (i < input.size() && input[i] != end) {
        char c = input[i];
        if (c != '\\' && static_cast<unsigned char>(c) < 0x80) {
            // A run of plain ASCII, copied in one go.
            std::size_t j = i + 1;
            while (j < input.size() && input[j] != end && input[j] != '\\' &&
                   static_cast<unsigned char>(input[j]) < 0x80)
                ++j;
            out.append(input.begin() + static_cast<std::ptrdiff_t>(i),
                       input.begin() + static_cast<std::ptrdiff_t>(j));
            i = j;
            continue;
        }
        if (c == '\\') {
            if (++i >= input.size()) break;
            c = input[i];
            static constexpr std::string_view kLetters = "abefnrtv";
            static constexpr char16_t kControls[] = {7, 8, 27, 12, 10, 13, 9, 11};
            if (const std::size_t k = kLetters.find(c); k != std::string_view::npos) {
                out.push_back(kControls[k]);
                ++i;
                continue;
            }
            if (c == 'x') {
                ++i;
                char16_t v = 0;
                std::size_t digits = 0;
                while (digits < 4 && i < input.size() && isHex(input[i]))
                    v = static_cast<char16_t>((v << 4) | hexValue(input[i++])), ++digits;
                out.push_back(digits ? v : u'x');
                continue;
            }
            if (c >= '0' && c <= '7') {
                char16_t v = 0;
                for (std::size_t digits = 0;
                     digits < 3 && i < input.size() && input[i] >= '0' && input[i] <= '7'; ++digits)
                    v = static_cast<char16_t>(v * 8 + (input[i++] - '0'));
                out.push_back(v);
                continue;
            }
            // Any other escaped character stands for itself.
        }
        const auto lead = static_cast<unsigned char>(c);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        // UTF-8, as Wine accepts it; an invalid sequence is skipped as Wine skips it.
        std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        const Result<std::u16string> units = utf8ToUtf16(input.substr(i, length));
        if (length > 1 && units) out += units.value();
        i += units ? length : 1;
    }
    if (i >= input.size()) return std::string_view::npos;
    return i + 1;
}

}  // namespace hivora
