#pragma once
// Reading and writing one value of a profile (INI) file, as the program's configuration file is
// read and written: through the platform's profile functions, with texts converted between UTF-8
// and the ANSI code page.

#include <cstddef>
#include <string>

#include "platform/ansi_codec.h"
#include "platform/profile_files.h"
#include "platform/status.h"

namespace hivora {

// The buffer ReadIniValue reads into: values longer than 127 ANSI bytes are cut by the platform.
inline constexpr std::uint32_t kIniBufferBytes = 128;
// WriteIniValue writes at most this many characters of a value.
inline constexpr std::size_t kIniValueMaxChars = 128;

class IniAccess {
  public:
    // Both must outlive this object.
    IniAccess(ProfileFiles& files, const AnsiCodec& codec) : m_files(files), m_codec(codec) {}

    // The value of `key` in `section` of `file`: the platform's answer for a buffer of
    // kIniBufferBytes with the empty text as the default, up to its first NUL, with leading and
    // trailing blanks removed. A missing file, section or key gives "".
    // Fails when the section or key cannot be put in the code page, or the value read is not
    // valid text in it.
    Result<std::string> ReadIniValue(const std::string& file, const std::string& section,
                                     const std::string& key);

    // Writes the first kIniValueMaxChars characters of `value` as the value of `key`; the file and
    // the section are created when missing, other lines stay as they were. Fails, writing
    // nothing, when a text cannot be put in the code page (code kErrorNoUnicodeTranslation);
    // otherwise a failed write is the platform's Status (for example a read-only folder).
    Status WriteIniValue(const std::string& file, const std::string& section,
                         const std::string& key, const std::string& value);

  private:
    ProfileFiles& m_files;
    const AnsiCodec& m_codec;
};

}  // namespace hivora
