#pragma once
// UTF-8 <-> UTF-16 for the "W" functions that take paths and command lines. Invalid UTF-8 gives
// an empty result, which the callers' platform calls then reject as a missing path.

#include <windows.h>

#include <string>

namespace hivora {

inline std::wstring wideFromUtf8(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int length = static_cast<int>(utf8.size());
    const int needed =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, wide.data(), needed);
    return wide;
}

inline std::string utf8FromWide(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int length = static_cast<int>(wide.size());
    const int needed =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string utf8(static_cast<size_t>(needed), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(), needed, nullptr, nullptr);
    return utf8;
}

}  // namespace hivora
