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
        ++i;
        if (lead < 0x80) {
            out.push_back(lead);
            continue;
        }
        // UTF-8 as Wine decodes it: the lead byte tells how many continuation bytes follow; those
        // that are there are taken, and a short, overlong or too large sequence is dropped up to
        // the byte that broke it. Encoded surrogates are kept.
        const std::size_t more = lead >= 0xF5   ? 0
                                 : lead >= 0xF0 ? 3
                                 : lead >= 0xE0 ? 2
                                 : lead >= 0xC2 ? 1
                                                : 0;
        if (more == 0) continue;
        std::uint32_t cp = lead & (more == 3 ? 0x07u : more == 2 ? 0x0Fu : 0x1Fu);
        std::size_t taken = 0;
        while (taken < more && i < input.size() &&
               (static_cast<unsigned char>(input[i]) ^ 0x80) < 0x40) {
            cp = (cp << 6) | (static_cast<unsigned char>(input[i++]) & 0x3F);
            ++taken;
        }
        static constexpr std::uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
        if (taken == more && cp >= kSmallest[more] && cp <= 0x10FFFF) appendUtf16(out, cp);
    }
    if (i >= input.size()) return std::string_view::npos;
    return i + 1;
}

}  // namespace hivora
