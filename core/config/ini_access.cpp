#include "core/config/ini_access.h"

#include <algorithm>

#include "platform/registry_api.h"

namespace hivora {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string trimBlanks(const std::string& text) {
    const auto first = std::find_if_not(text.begin(), text.end(), isBlank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), isBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

// The first `count` characters of a UTF-8 text (a character starts at every byte that is not a
// continuation byte 10xxxxxx).
std::string firstCharacters(const std::string& utf8, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const bool starts = (static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80;
        if (starts && seen++ == count) return utf8.substr(0, i);
    }
    return utf8;
}

Status untranslatable(const std::string& text) {
    return Status::error("“" + text + "”含有系统代码页无法表示的字符，未写入配置文件",
                         kErrorNoUnicodeTranslation);
}

}  // namespace

Result<std::string> IniAccess::ReadIniValue(const std::string& file, const std::string& section,
                                            const std::string& key) {
    const Result<std::string> ansiSection = m_codec.toAnsi(section);
    if (!ansiSection) return untranslatable(section);
    const Result<std::string> ansiKey = m_codec.toAnsi(key);
    if (!ansiKey) return untranslatable(key);

    const std::string answer = m_files.GetPrivateProfileStringA(
        ansiSection.value(), ansiKey.value(), "", kIniBufferBytes, file);
    const Result<std::string> text = m_codec.fromAnsi(answer.substr(0, answer.find('\0')));
    if (!text) {
        return Status::error("配置文件“" + file + "”中的值不是有效的文字",
                             kErrorNoUnicodeTranslation);
    }
    return trimBlanks(text.value());
}

Status IniAccess::WriteIniValue(const std::string& file, const std::string& section,
                                const std::string& key, const std::string& value) {
    const Result<std::string> ansiSection = m_codec.toAnsi(section);
    if (!ansiSection) return untranslatable(section);
    const Result<std::string> ansiKey = m_codec.toAnsi(key);
    if (!ansiKey) return untranslatable(key);
    const std::string cut = firstCharacters(value, kIniValueMaxChars);
    const Result<std::string> ansiValue = m_codec.toAnsi(cut);
    if (!ansiValue) return untranslatable(cut);

    return m_files.WritePrivateProfileStringA(ansiSection.value(), ansiKey.value(),
                                              ansiValue.value(), file);
}

}  // namespace hivora
