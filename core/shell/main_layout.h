#pragma once
// The main window's geometry in twips: the chrome buttons, the tab strip with its tip, the hidden
// guide line under the strip and the five pages below it. Computed here once, converted to
// pixels by the window.

#include <array>
#include <cstdint>

#include "core/shell/chrome_buttons.h"
#include "core/shell/tab_strip.h"

namespace hivora {

inline constexpr int kMainWindowWidthTwips = 12060;
inline constexpr int kMainWindowHeightTwips = 8660;
inline constexpr int kMainWindowCorner = 18;
inline constexpr int kPageCorner = 20;
inline constexpr int kTabCorner = 11;
inline constexpr int kSizeBoxCorner = 13;
inline constexpr int kSysDirCorner = 10;
// The guide line's colour, 0x00BBGGRR (red 253, green 196, blue 83).
inline constexpr std::int32_t kSeparatorColor = 0x53C4FD;

// The window's drawn border: two pixels in twips.
inline constexpr int kBorderWidthTwips = 2 * 15;

struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

struct MainLayoutInput {
    int innerWidth = kMainWindowWidthTwips;  // client area after the frame is gone
    int innerHeight = kMainWindowHeightTwips;
    int tab0WidthBeforeBorderRemoval = 660;  // spaces every tab, whatever their own widths
    std::array<int, kTabCount> tabWidths = {660, 660, 660, 660, 660};
    int tabHeight = 660;
    int sizeBoxWidthBeforeBorderRemoval = 360;  // spaces the chrome buttons
    std::array<int, kSizeBoxCount> sizeBoxWidths = {360, 360, 360, 360, 360};
    int sizeBoxHeight = 330;
    int tipHeight = 180;
    int borderWidthTwips = kBorderWidthTwips;
};

struct MainLayout {
    std::array<TwipsRect, kSizeBoxCount> sizeBoxes{};
    std::array<TwipsRect, kTabCount> tabs{};
    int tipTop = 0;
    // The guide line, hidden: only its y places the pages.
    int separatorX1 = 0;
    int separatorX2 = 0;
    int separatorY = 0;
    TwipsRect page{};  // every page alike
};

// The tip's Top: 120 twips between its bottom and the top of the tabs.
constexpr int tipTopFor(int tabTop, int tipHeight) {
    return tabTop - tipHeight - 120;
}

// Layout of the chrome buttons (right to left, 120 inside the right edge, 20 apart, top 120), the
// tabs (top 540, left 5000 + i * (W + 240)), the tip (120 above the tabs), the guide line (60
// below the tabs) and the pages (60 below the line, 240 from the sides and the bottom). Never
// fails; the page height is cut to the signed 16-bit range.
MainLayout computeMainLayout(const MainLayoutInput& input);

}  // namespace hivora
