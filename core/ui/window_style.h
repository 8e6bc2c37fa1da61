#pragma once
// Window style bits as the platform keeps them, the helpers' style mask, and the point test of
// controls, all in the platform's own units (style bits, twips).

#include <cstdint>

namespace hivora {

inline constexpr std::uint32_t kWsMaximizeBox = 0x00010000;
inline constexpr std::uint32_t kWsMinimizeBox = 0x00020000;
inline constexpr std::uint32_t kWsThickFrame = 0x00040000;
inline constexpr std::uint32_t kWsSysMenu = 0x00080000;
inline constexpr std::uint32_t kWsCaption = 0x00C00000;
// A new top-level window's style: caption, system menu, sizing border, both boxes.
inline constexpr std::uint32_t kWsOverlappedWindow = 0x00CF0000;
// The main window's mask: no caption, system menu, sizing border or maximise box.
inline constexpr std::uint32_t kMainWindowStyleMask = 0xFF32FFFF;

// What a style asks of a top-level window's frame.
struct FrameTraits {
    bool titleBar = false;
    bool systemMenu = false;
    bool resizable = false;
    bool minimizeButton = false;
    bool maximizeButton = false;
    friend bool operator==(const FrameTraits&, const FrameTraits&) = default;
};

constexpr FrameTraits frameTraitsOf(std::uint32_t style) {
    return {(style & kWsCaption) == kWsCaption, (style & kWsSysMenu) != 0,
            (style & kWsThickFrame) != 0, (style & kWsMinimizeBox) != 0,
            (style & kWsMaximizeBox) != 0};
}

// IsPointInControl: true when 0 <= x <= width and 0 <= y <= height (twips, the control's own
// coordinates), the right and bottom edges included.
constexpr bool IsPointInControl(int widthTwips, int heightTwips, int x, int y) {
    return x >= 0 && x <= widthTwips && y >= 0 && y <= heightTwips;
}

}  // namespace hivora
