#include "core/scrollbar/scroll_bar_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/scrollbar/scroll_bar_types.h"

namespace hivora {

namespace {

// A rounded coordinate as an int; values beyond any real screen are held well inside int's range
// so that adding a thumb length to them cannot overflow.
int toPixel(double value) {
    constexpr double kLimit = std::numeric_limits<int>::max() / 4;
    return static_cast<int>(std::clamp(roundHalfEven(value), -kLimit, kLimit));
}

}  // namespace

double roundHalfEven(double value) {
    const double nearest = std::round(value);  // halves away from zero
    if (std::fabs(value - std::trunc(value)) == 0.5) return 2.0 * std::round(value / 2.0);
    return nearest;
}

bool CalcThumbSize(int barLength, std::int32_t largeChange, std::int32_t max, ThumbSize& size) {
    if (barLength <= kMinBarLength || largeChange < 1 || max < 1) return false;
    const double track = barLength - kMinBarLength;
    const double large = largeChange;
    const double total = large + static_cast<double>(max);
    // The same ratio either way; the second form is how the bar has always computed a page larger
    // than the range, and it can differ in the last bit where a half is rounded.
    const double ratio = largeChange > max ? 1.0 - max / total : large / total;
    size.length = std::max(toPixel(ratio * track), kMinThumbLength);
    size.travel = toPixel(track - size.length);
    return true;
}

int CalcThumbPos(int barLength, int thumbLength, std::int32_t value, std::int32_t max,
                 int previous) {
    if (value <= 0) return kArrowLength;
    if (max <= 0) return previous;
    const double travel = barLength - kMinBarLength - thumbLength;
    return toPixel(travel / max * value + kArrowLength);
}

int hitTestPart(double x, int barLength, int thumbPos, int thumbLength) {
    if (x <= kArrowLength) return kPartDecArrow;
    if (IsDownPosOnThumb(x, thumbPos, thumbLength)) return kPartThumb;
    if (x >= barLength - kArrowLength) return kPartIncArrow;
    if (x < thumbPos) return kPartTrackBefore;
    return kPartTrackAfter;
}

bool IsDownPosOnThumb(double position, int thumbPos, int thumbLength) {
    return thumbPos <= position && position <= static_cast<double>(thumbPos) + thumbLength;
}

}  // namespace hivora
