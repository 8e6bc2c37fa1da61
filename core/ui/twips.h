#pragma once
// Twips and pixels. Windows and controls keep their geometry in twips (1/1440 inch); at the
// standard 96 dots per inch one pixel is 15 twips. This is the one place that conversion lives.

namespace hivora {

inline constexpr int kTwipsPerPixel = 15;

// Pixels to twips: exact.
constexpr int pixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

// Twips to whole pixels, the quotient truncated toward zero as an integer division does
// (14 twips are 0 pixels, -14 twips are 0 pixels).
constexpr int twipsToPixels(int twips) {
    return twips / kTwipsPerPixel;
}

}  // namespace hivora
