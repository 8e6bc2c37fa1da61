#include "platform/code_page_936.h"

#include <array>
#include <cstdint>

#include "platform/nls_tables.h"
#include "platform/unicode_text.h"

namespace hivora {

namespace {

using nls::kCp936Invalid;

constexpr std::uint16_t kNoSequence = 0xFFFF;  // FF FF is no sequence of the code page

bool isLead(unsigned byte) {
    return byte >= nls::kCp936LeadFirst && byte <= nls::kCp936LeadLast;
}

std::uint16_t pairUnit(unsigned lead, unsigned trail) {
    if (trail < nls::kCp936TrailFirst || trail > nls::kCp936TrailLast) return kCp936Invalid;
    return nls::kCp936Pairs[(lead - nls::kCp936LeadFirst) * nls::kCp936TrailCount +
                            (trail - nls::kCp936TrailFirst)];
}

// Every single byte the table defines decodes, 0xFF to the private-use character U+F8F5 too, as
// Wine's registry decodes the bytes an "A" function is given (only Windows' strictest flag
// refuses it); U+F8F5 encodes back to 0xFF.
bool singleRefused(std::uint16_t unit) {
    return unit == kCp936Invalid;
}

// The sequence of every unit: the decoding tables read backwards (each defined sequence is the
// one its unit encodes to, which the generator checks). Built once, on first use.
const std::array<std::uint16_t, 65536>& encodingTable() {
    static const std::array<std::uint16_t, 65536> table = [] {
        std::array<std::uint16_t, 65536> t;
        t.fill(kNoSequence);
        for (unsigned b = 0; b < 256; ++b)
            if (nls::kCp936Single[b] != kCp936Invalid) t[nls::kCp936Single[b]] = b;
        for (unsigned lead = nls::kCp936LeadFirst; lead <= nls::kCp936LeadLast; ++lead)
            for (unsigned trail = nls::kCp936TrailFirst; trail <= nls::kCp936TrailLast; ++trail)
                if (const std::uint16_t unit = pairUnit(lead, trail); unit != kCp936Invalid)
                    t[unit] = static_cast<std::uint16_t>((lead << 8) | trail);
        return t;
    }();
    return table;
}

class CodePage936Codec final : public AnsiCodec {
  public:
    std::uint32_t codePage() const override { return 936; }

    Result<std::string> toAnsi(std::string_view utf8) const override {
        Result<std::u16string> text = utf8ToUtf16(utf8);
        if (!text) return Status::error("text is not valid UTF-8: " + text.status().message());
        return encodeCodePage936(text.value());
    }

    Result<std::string> fromAnsi(std::string_view ansi) const override {
        Result<std::u16string> text = decodeCodePage936(ansi);
        if (!text) return text.status();
        return utf16ToUtf8(text.value());
    }
};

}  // namespace

Result<std::u16string> decodeCodePage936(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        std::uint16_t unit = kCp936Invalid;
        std::size_t length = 1;
        if (isLead(byte)) {
            if (i + 1 < bytes.size())
                unit = pairUnit(byte, static_cast<unsigned char>(bytes[i + 1]));
            length = 2;
        } else if (!singleRefused(nls::kCp936Single[byte])) {
            unit = nls::kCp936Single[byte];
        }
        if (unit == kCp936Invalid)
            return Status::error("bytes not valid in code page 936 at byte " + std::to_string(i));
        out.push_back(static_cast<char16_t>(unit));
        i += length;
    }
    return out;
}

Result<std::string> encodeCodePage936(std::u16string_view text) {
    const std::array<std::uint16_t, 65536>& table = encodingTable();
    std::string out;
    out.reserve(text.size() * 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::uint16_t sequence = table[text[i]];
        if (sequence == kNoSequence)
            return Status::error("text has no form in code page 936 at unit " + std::to_string(i));
        if (sequence > 0xFF) out.push_back(static_cast<char>(sequence >> 8));
        out.push_back(static_cast<char>(sequence & 0xFF));
    }
    return out;
}

std::unique_ptr<AnsiCodec> makeCodePage936Codec() {
    return std::make_unique<CodePage936Codec>();
}

}  // namespace hivora
