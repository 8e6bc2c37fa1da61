#pragma once
// Code page 936 (Simplified Chinese) converted exactly as Windows converts it, from Windows' own
// table (generated, see nls_tables.h): every byte sequence Windows defines, the user-defined
// areas (AAA1-AFFE, F8A1-FEFE, A140-A7A0) included, which Windows maps to the private-use
// characters U+E000-U+E765 and back. Strict both ways, as Windows is when asked to be: a
// sequence it does not define, a lone lead byte, and a character the code page lacks fail the
// conversion; nothing ever becomes "?" or a look-alike. Portable, so that every platform
// converts alike.

#include <memory>
#include <string>
#include <string_view>

#include "platform/ansi_codec.h"
#include "platform/status.h"

namespace hivora {

// Bytes to UTF-16. Failure: an undefined sequence or a lead byte without its trail byte (the
// message names the byte offset).
Result<std::u16string> decodeCodePage936(std::string_view bytes);
// UTF-16 to bytes. Failure: a unit the code page cannot hold (surrogates always).
Result<std::string> encodeCodePage936(std::u16string_view text);

// The AnsiCodec for code page 936 built on the two functions above (UTF-8 on the program's side).
std::unique_ptr<AnsiCodec> makeCodePage936Codec();

}  // namespace hivora
