// Profile files through kernel32's own GetPrivateProfileStringA / WritePrivateProfileStringA, so
// that quoting, blanks, comments and case follow the platform exactly.

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/ansi_codec.h"
#include "platform/profile_files.h"
#include "platform/profile_format.h"
#include "platform/windows/wide_text.h"

namespace hivora {
namespace {

// The "A" functions take the path in the ANSI code page as well. A path with a character the code
// page lacks cannot be named through them at all, which is reported instead of letting the
// platform substitute "?" and reach some other file.
Result<std::string> ansiPath(const std::string& utf8Path) {
    Result<std::unique_ptr<AnsiCodec>> codec = makeAnsiCodec(systemAnsiCodePage());
    if (!codec) return codec.status();
    Result<std::string> path = codec.value()->toAnsi(utf8Path);
    if (!path) return Status::error("文件路径含有系统代码页无法表示的字符：" + utf8Path);
    return path;
}

Status lastError(const std::string& what) {
    const DWORD error = ::GetLastError();
    return Status::error(what, static_cast<std::int32_t>(error));
}

class Win32ProfileFiles final : public ProfileFiles {
  public:
    std::string GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                         const std::string& defaultValue, std::uint32_t bufferSize,
                                         const std::string& fileName) override {
        if (bufferSize == 0) return {};
        Result<std::string> path = ansiPath(fileName);
        if (!path) return defaultValue.substr(0, bufferSize - 1);
        std::vector<char> buffer(bufferSize, '\0');
        const DWORD copied =
            ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                       buffer.data(), bufferSize, path.value().c_str());
        // When the cut falls inside a double-byte character the platform leaves a NUL where
        // its first byte was and still counts it: the text ends at the first NUL.
        return std::string(buffer.data(), ::strnlen(buffer.data(), copied));
    }

    // The platform rewrites the file in place, so a failure half-way would leave a damaged file.
    // The change is made on a copy in the same folder instead, which then replaces the file. Each
    // write takes a new copy name: the platform may keep a parsed profile cached by its name.
    Status WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                      const std::string& value,
                                      const std::string& fileName) override {
        // Texts that would not read back as the same section, key and value (a line break in the
        // value, "=" in the key, ...) are refused here as on every other platform, instead of
        // letting the platform write lines that read back as other keys or sections.
        Result<std::string> checked =
            writeProfileValue("", section, key, value, systemAnsiCodePage());
        if (!checked) return checked.status();

        const std::string copyName = fileName + ".hivora-" +
                                     std::to_string(::GetCurrentProcessId()) + "-" +
                                     std::to_string(++m_writes) + ".tmp";
        Result<std::string> copyAnsi = ansiPath(copyName);
        if (!copyAnsi) return copyAnsi.status();
        const std::wstring target = wideFromUtf8(fileName);
        const std::wstring copy = wideFromUtf8(copyName);

        const DWORD attributes = ::GetFileAttributesW(target.c_str());
        // A read-only file is not to be written, as the platform's own in-place write would
        // fail on it; replacing it by a copy would get round that.
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
            return Status::error("配置文件是只读的：" + fileName, ERROR_ACCESS_DENIED);
        }
        if (attributes != INVALID_FILE_ATTRIBUTES &&
            !::CopyFileW(target.c_str(), copy.c_str(), FALSE)) {
            return lastError("无法写入配置文件：" + fileName);
        }
        if (!::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                          copyAnsi.value().c_str()) ||
            !::MoveFileExW(copy.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            Status failure = lastError("无法写入配置文件：" + fileName);
            ::DeleteFileW(copy.c_str());
            return failure;
        }
        return Status::ok();
    }

  private:
    std::uint64_t m_writes = 0;
};

}  // namespace

std::unique_ptr<ProfileFiles> makeProfileFiles() {
    return std::make_unique<Win32ProfileFiles>();
}

}  // namespace hivora
