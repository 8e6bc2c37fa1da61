#pragma once
// Colours as the program stores them (0x00BBGGRR, the Windows COLORREF layout of "config.ini"
// and the registry) and as Qt takes them.

#include <QColor>
#include <cstdint>

namespace hivora {

// The colour of `value`; its top byte is ignored.
inline QColor qColorOf(std::int32_t value) {
    const auto bgr = static_cast<std::uint32_t>(value);
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

// The stored value of `color` (0x00BBGGRR).
inline std::int32_t colorValueOf(const QColor& color) {
    return static_cast<std::int32_t>(color.red() | (color.green() << 8) | (color.blue() << 16));
}

}  // namespace hivora
