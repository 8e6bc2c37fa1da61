#pragma once
// Conversion between the program's text (UTF-8) and the ANSI code page that the registry's and the
// profile files' "A" functions speak. On Windows the code page is the system's (GetACP); elsewhere
// it is 936 unless the user names another, since the settings this program writes come from
// Chinese systems.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace hivora {

class AnsiCodec {
public:
    virtual ~AnsiCodec() = default;

    virtual std::uint32_t codePage() const = 0;
    // Fails (never substitutes "?") when a character has no form in the code page, or the input
    // is not valid UTF-8.
    virtual Result<std::string> toAnsi(std::string_view utf8) const = 0;
    // Fails when the bytes are not valid in the code page.
    virtual Result<std::string> fromAnsi(std::string_view ansi) const = 0;
};

inline constexpr std::uint32_t kDefaultCodePage = 936;

// The codec for `codePage` (936, 1252, 65001, ...). Fails for a code page the host cannot convert.
Result<std::unique_ptr<AnsiCodec>> makeAnsiCodec(std::uint32_t codePage);
// The system's ANSI code page on Windows; kDefaultCodePage elsewhere.
std::uint32_t systemAnsiCodePage();

}  // namespace hivora
