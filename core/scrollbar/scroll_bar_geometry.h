#pragma once
// The scroll bar's pixel geometry along its length: thumb length, travel and position from the
// value model, and the hit test. Lengths are along the bar (width of a horizontal bar, height of a
// vertical one); an arrow of 17 pixels sits at each end and the track lies between them.

#include <cstdint>

namespace hivora {

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
double roundHalfEven(double value);

struct ThumbSize {
    int length = 0;  // along the bar; 0 until first computed
    int travel = 0;  // track length minus thumb length
};

// CalcThumbSize: the thumb is LargeChange / (LargeChange + Max) of the track, at least 10 pixels.
// Leaves `size` as it was (and returns false) when the bar is not longer than 34 pixels, or
// LargeChange or Max is below 1.
bool CalcThumbSize(int barLength, std::int32_t largeChange, std::int32_t max, ThumbSize& size);

// CalcThumbPos: the thumb's leading edge for `value`: 17 for a value of 0 or less, else
// round(travel / Max * value + 17) with travel = barLength - 34 - thumbLength. Min takes no part.
// Returns `previous` when Max is 0 or less and the value positive (the mapping has no divisor).
int CalcThumbPos(int barLength, int thumbLength, std::int32_t value, std::int32_t max,
                 int previous);

// The part under the coordinate `x` along the bar, tested in this order: x <= 17 the decrease
// arrow; thumbPos <= x <= thumbPos + thumbLength the thumb; x >= barLength - 17 the increase
// arrow; x < thumbPos the track before the thumb; otherwise the track after it. (The tests
// overlap one pixel beyond each arrow and the thumb, as the bar has always done.)
int hitTestPart(double x, int barLength, int thumbPos, int thumbLength);

// IsDownPosOnThumb: thumbPos <= position <= thumbPos + thumbLength.
bool IsDownPosOnThumb(double position, int thumbPos, int thumbLength);

}  // namespace hivora
