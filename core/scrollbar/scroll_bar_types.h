#pragma once
// Codes and fixed sizes shared by the skinned scroll bar's model, geometry and renderer.

#include <cstdint>

namespace hivora {

// The two twins: a horizontal bar measures along x, a vertical one along y.
enum class Orientation { Horizontal, Vertical };

// Part codes, as the hit test reports them and the drawing code records them. 0 means that no hit
// test has happened yet.
inline constexpr int kPartUnknown = 0;
inline constexpr int kPartDecArrow = 1;     // left / up arrow
inline constexpr int kPartThumb = 2;        //
inline constexpr int kPartIncArrow = 3;     // right / down arrow
inline constexpr int kPartTrackBefore = 4;  // track before (left of / above) the thumb
inline constexpr int kPartTrackAfter = 5;   // track after (right of / below) the thumb
inline constexpr int kPartNone = 10;

// Drawing states of an arrow or the thumb.
inline constexpr int kStateNormal = 0;
inline constexpr int kStateHot = 1;
inline constexpr int kStatePressed = 2;

// Fixed pixel geometry.
inline constexpr int kBarThickness = 17;     // across the bar
inline constexpr int kArrowLength = 17;      // along the bar, each end
inline constexpr int kMinBarLength = 34;     // two arrows, no track
inline constexpr int kMinThumbLength = 10;   // a shorter computed thumb is raised to this
inline constexpr int kThumbShownAbove = 47;  // the thumb is drawn only on longer bars
inline constexpr int kGripMinThumb = 16;     // thumbs of 15 pixels or less have no grip

// Mouse buttons, as a set of flags.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

// Colour value as the system keeps colours: red in the low byte, then green, then blue
// (0x00BBGGRR).
using ColorRef = std::uint32_t;

}  // namespace hivora
