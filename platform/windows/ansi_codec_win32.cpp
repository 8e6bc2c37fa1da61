// The ANSI code page through the platform's own conversion tables, so that the program converts
// exactly as the "A" functions it calls do.

#include <windows.h>

#include <string>

#include "platform/ansi_codec.h"

namespace hivora {
namespace {

Status conversionError(const char* what, std::uint32_t codePage, DWORD error = ::GetLastError()) {
    return Status::error(std::string(what) + "（代码页 " + std::to_string(codePage) + "）",
                         static_cast<std::int32_t>(error));
}

// The failure a code page gives for flags it does not take.
bool flagsRefused(const Status& failure) {
    return failure.code() == ERROR_INVALID_FLAGS || failure.code() == ERROR_INVALID_PARAMETER;
}

// Strict multi-byte to UTF-16: bytes that are not valid in the code page fail the call instead of
// turning into U+FFFD or the code page's default character. A few code pages (ISO-2022, UTF-7)
// take no flags at all; for them the conversion is checked by converting back.
Result<std::wstring> toWideOnce(std::string_view text, UINT codePage, DWORD flags) {
    const int length = static_cast<int>(text.size());
    const int needed = ::MultiByteToWideChar(codePage, flags, text.data(), length, nullptr, 0);
    if (needed <= 0) return conversionError("文字不是有效的编码", codePage);
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    ::MultiByteToWideChar(codePage, flags, text.data(), length, wide.data(), needed);
    return wide;
}

// UTF-16 to multi-byte. The platform substitutes a default character ("?") or a look-alike
// ("best fit") for characters the code page lacks; either is reported as a failure here, found
// by the default-character flag where the code page supports it.
Result<std::string> fromWideOnce(const std::wstring& wide, UINT codePage, DWORD flags,
                                 bool askDefault) {
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = askDefault ? &usedDefault : nullptr;
    const int length = static_cast<int>(wide.size());
    const int needed = ::WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0,
                                             nullptr, usedDefaultOut);
    if (needed <= 0) return conversionError("文字含有该代码页无法表示的字符", codePage);
    std::string text(static_cast<size_t>(needed), '\0');
    ::WideCharToMultiByte(codePage, flags, wide.data(), length, text.data(), needed, nullptr,
                          usedDefaultOut);
    if (usedDefault) {
        return conversionError("文字含有该代码页无法表示的字符", codePage,
                               ERROR_NO_UNICODE_TRANSLATION);
    }
    return text;
}

Result<std::wstring> toWide(std::string_view text, UINT codePage);

Result<std::string> fromWide(const std::wstring& wide, UINT codePage) {
    if (wide.empty()) return std::string();
    if (codePage == CP_UTF8) return fromWideOnce(wide, codePage, WC_ERR_INVALID_CHARS, false);
    Result<std::string> strict = fromWideOnce(wide, codePage, WC_NO_BEST_FIT_CHARS, true);
    if (strict || !flagsRefused(strict.status())) return strict;
    Result<std::string> plain = fromWideOnce(wide, codePage, 0, false);
    if (!plain) return plain;
    Result<std::wstring> back = toWide(plain.value(), codePage);
    if (!back || back.value() != wide) {
        return conversionError("文字含有该代码页无法表示的字符", codePage,
                               ERROR_NO_UNICODE_TRANSLATION);
    }
    return plain;
}

Result<std::wstring> toWide(std::string_view text, UINT codePage) {
    if (text.empty()) return std::wstring();
    Result<std::wstring> strict = toWideOnce(text, codePage, MB_ERR_INVALID_CHARS);
    // The strict flag also refuses byte 0xFF of code page 936, which the registry itself reads as
    // U+F8F5 (as the portable codec does): there the plain conversion is taken when it converts
    // back to the same bytes.
    if (strict || (!flagsRefused(strict.status()) && codePage != 936)) return strict;
    Result<std::wstring> plain = toWideOnce(text, codePage, 0);
    if (!plain) return plain;
    Result<std::string> back = fromWideOnce(plain.value(), codePage, 0, false);
    if (!back || back.value() != text) {
        return conversionError("文字不是有效的编码", codePage, ERROR_NO_UNICODE_TRANSLATION);
    }
    return plain;
}

class Win32AnsiCodec final : public AnsiCodec {
  public:
    explicit Win32AnsiCodec(std::uint32_t codePage) : m_codePage(codePage) {}

    std::uint32_t codePage() const override { return m_codePage; }

    Result<std::string> toAnsi(std::string_view utf8) const override {
        Result<std::wstring> wide = toWide(utf8, CP_UTF8);
        if (!wide) return wide.status();
        return fromWide(wide.value(), m_codePage);
    }

    Result<std::string> fromAnsi(std::string_view ansi) const override {
        Result<std::wstring> wide = toWide(ansi, m_codePage);
        if (!wide) return wide.status();
        return fromWide(wide.value(), CP_UTF8);
    }

  private:
    std::uint32_t m_codePage;
};

}  // namespace

Result<std::unique_ptr<AnsiCodec>> makeAnsiCodec(std::uint32_t codePage) {
    if (!::IsValidCodePage(codePage)) {
        return Status::error("系统不支持代码页 " + std::to_string(codePage));
    }
    return std::unique_ptr<AnsiCodec>(std::make_unique<Win32AnsiCodec>(codePage));
}

std::uint32_t systemAnsiCodePage() {
    return ::GetACP();
}

}  // namespace hivora
