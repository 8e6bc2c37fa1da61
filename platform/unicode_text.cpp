#include "platform/unicode_text.h"

#include "platform/nls_tables.h"

namespace hivora {

namespace {

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

}  // namespace

void appendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

void appendUtf16(std::u16string& out, std::uint32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 | (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 | (cp & 0x3FF)));
    }
}

Result<std::u16string> utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        // Sequence length and the smallest code point it may carry (anything smaller is an
        // overlong form, which strict UTF-8 forbids).
        std::size_t length = 0;
        std::uint32_t cp = 0;
        std::uint32_t minimum = 0;
        if ((lead & 0xE0) == 0xC0) {
            length = 2, cp = lead & 0x1F, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, cp = lead & 0x0F, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, cp = lead & 0x07, minimum = 0x10000;
        } else {
            return Status::error("invalid UTF-8 lead byte at offset " + std::to_string(i));
        }
        if (i + length > utf8.size())
            return Status::error("truncated UTF-8 sequence at offset " + std::to_string(i));
        for (std::size_t k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(utf8[i + k]);
            if (!isContinuation(c))
                return Status::error("invalid UTF-8 sequence at offset " + std::to_string(i));
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return Status::error("invalid UTF-8 code point at offset " + std::to_string(i));
        appendUtf16(out, cp);
        i += length;
    }
    return out;
}

Result<std::string> utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        std::uint32_t cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (i + 1 >= utf16.size() || utf16[i + 1] < 0xDC00 || utf16[i + 1] > 0xDFFF)
                return Status::error("unpaired UTF-16 surrogate at unit " + std::to_string(i));
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            return Status::error("unpaired UTF-16 surrogate at unit " + std::to_string(i));
        }
        appendUtf8(out, cp);
    }
    return out;
}

std::vector<std::uint8_t> toUtf16Le(std::u16string_view text) {
    std::vector<std::uint8_t> bytes(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes[2 * i] = static_cast<std::uint8_t>(text[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(text[i] >> 8);
    }
    return bytes;
}

std::u16string fromUtf16Le(const std::uint8_t* bytes, std::size_t count) {
    std::u16string text(count / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return text;
}

char16_t foldNameChar(char16_t c) {
    const unsigned block = nls::kFoldBlockOfHighByte[c >> 8];
    return static_cast<char16_t>(c + nls::kFoldDeltas[block * 256 + (c & 0xFF)]);
}

int compareNames(std::u16string_view a, std::u16string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        char16_t x = a[i], y = b[i];
        if (x == y) continue;
        // Names are nearly always ASCII, where the table folds A-Z alone; fold those here.
        if (x < 0x80 && y < 0x80) {
            if (x >= u'A' && x <= u'Z') x += 32;
            if (y >= u'A' && y <= u'Z') y += 32;
        } else {
            x = foldNameChar(x);
            y = foldNameChar(y);
        }
        if (x != y) return static_cast<int>(x) - static_cast<int>(y);
    }
    return static_cast<int>(a.size()) - static_cast<int>(b.size());
}

std::u16string asciiToUtf16(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

}  // namespace hivora
