// The ANSI code pages through iconv, except code page 936, which has its own table
// (code_page_936.h): iconv's GBK lacks Windows' user-defined area. Conversions are strict: a
// character the target cannot hold, or bytes the source does not define, fail the whole conversion.
// iconv reports such input with EILSEQ, and a positive return value counts conversions it could
// only approximate; both are failures here, so nothing is ever written as "?".

#include <errno.h>
#include <iconv.h>

#include <cstring>
#include <mutex>

#include "platform/ansi_codec.h"
#include "platform/code_page_936.h"

namespace hivora {

namespace {

struct CodePageName {
    std::uint32_t codePage;
    const char* iconvName;
};

constexpr CodePageName kCodePages[] = {
    {932, "CP932"},   {949, "CP949"},   {950, "CP950"},   {1250, "CP1250"}, {1251, "CP1251"},
    {1252, "CP1252"}, {1253, "CP1253"}, {1254, "CP1254"}, {1255, "CP1255"}, {1256, "CP1256"},
    {1257, "CP1257"}, {1258, "CP1258"}, {65001, "UTF-8"}, {874, "CP874"},
};

// One iconv descriptor for one direction. iconv keeps shift state in the descriptor, so each use
// resets it, and a mutex keeps two threads from sharing it at once.
class Converter {
  public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // `what` names the failure; it is made into a sentence only when the conversion fails.
    Result<std::string> convert(std::string_view input, const char* what,
                                std::uint32_t codePage) const {
        // Every code page here maps the ASCII bytes to the same characters, and most texts the
        // registry holds (paths, value names, command lines) are pure ASCII: no iconv needed.
        if (isAscii(input)) return std::string(input);
        const auto failure = [&](const std::string& where) {
            return Status::error(std::string(what) + std::to_string(codePage) + where);
        };
        std::lock_guard<std::mutex> guard(m_mutex);
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        out.resize(input.size() * 4 + 16);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char* outPtr = out.data();
        std::size_t outLeft = out.size();
        std::size_t inexact = 0;
        while (inLeft > 0) {
            const std::size_t r = iconv(m_cd, &in, &inLeft, &outPtr, &outLeft);
            if (r == static_cast<std::size_t>(-1)) {
                if (errno == E2BIG) {
                    const std::size_t used = out.size() - outLeft;
                    out.resize(out.size() * 2);
                    outPtr = out.data() + used;
                    outLeft = out.size() - used;
                    continue;
                }
                return failure(" at byte " + std::to_string(input.size() - inLeft));
            }
            inexact += r;
        }
        // Flush any shift state (stateless encodings write nothing).
        if (iconv(m_cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1))
            return failure(" at the end of the text");
        if (inexact > 0) return failure(": inexact conversion");
        out.resize(out.size() - outLeft);
        return out;
    }

  private:
    static bool isAscii(std::string_view text) {
        for (char c : text) {
            if (static_cast<unsigned char>(c) >= 0x80) return false;
        }
        return true;
    }

    iconv_t m_cd;
    mutable std::mutex m_mutex;
};

class IconvAnsiCodec final : public AnsiCodec {
  public:
    IconvAnsiCodec(std::uint32_t codePage, const char* name)
        : m_codePage(codePage), m_toAnsi(name, "UTF-8"), m_fromAnsi("UTF-8", name) {}

    bool valid() const { return m_toAnsi.valid() && m_fromAnsi.valid(); }

    std::uint32_t codePage() const override { return m_codePage; }

    Result<std::string> toAnsi(std::string_view utf8) const override {
        return m_toAnsi.convert(utf8, "text has no form in code page ", m_codePage);
    }
    Result<std::string> fromAnsi(std::string_view ansi) const override {
        return m_fromAnsi.convert(ansi, "bytes not valid in code page ", m_codePage);
    }

  private:
    std::uint32_t m_codePage;
    Converter m_toAnsi;
    Converter m_fromAnsi;
};

}  // namespace

Result<std::unique_ptr<AnsiCodec>> makeAnsiCodec(std::uint32_t codePage) {
    if (codePage == 936) return makeCodePage936Codec();
    for (const CodePageName& entry : kCodePages) {
        if (entry.codePage != codePage) continue;
        auto codec = std::make_unique<IconvAnsiCodec>(codePage, entry.iconvName);
        if (!codec->valid())
            return Status::error("code page " + std::to_string(codePage) +
                                 " is not available on this system (iconv " + entry.iconvName +
                                 ")");
        return std::unique_ptr<AnsiCodec>(std::move(codec));
    }
    return Status::error("unknown code page " + std::to_string(codePage));
}

std::uint32_t systemAnsiCodePage() {
    return kDefaultCodePage;
}

}  // namespace hivora
