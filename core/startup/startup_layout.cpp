#include "core/startup/startup_layout.h"

#include <algorithm>

#include "core/scrollbar/scroll_bar_geometry.h"

namespace hivora {

using namespace startup_geometry;

namespace {

// Room kept above and below a row's check box for labels taller than it, when deciding which rows
// may show.
constexpr int kLabelOverhang = 120;

std::int32_t rangeOf(double quotient) {
    return static_cast<std::int32_t>(std::min<double>(roundHalfEven(quotient), kMaxScrollRange));
}

}  // namespace

int startupCheckTop(int row) {
    return kRowPitch * row + kFirstCheckTop;
}

double startupLabelTop(int row, int labelHeight, bool isNameLabel) {
    if (row == 0) return isNameLabel ? kFirstNameTop : kFirstDataTop;
    const double centre = roundHalfEven(startupCheckTop(row) + kCheckSize / 2.0);
    return centre - labelHeight / 2.0;
}

StartupViewLayout layOutStartupView(int rowCount, int widestName, int widestData) {
    StartupViewLayout layout;
    if (rowCount < 1) return layout;

    layout.contentHeight = startupCheckTop(rowCount - 1) + kCheckSize + kBottomMargin;
    if (layout.contentHeight > layout.viewHeight) {
        layout.verticalBar = true;
        layout.viewWidth -= kBarThickness;
    }
    layout.dataLeft = kNameLeft + widestName + kColumnGap;
    layout.contentWidth = layout.dataLeft + widestData + kRightMargin;
    if (layout.contentWidth > layout.viewWidth) {
        layout.horizontalBar = true;
        layout.viewHeight -= kBarThickness;
    }
    return layout;
}

StartupScrollRanges startupScrollRanges(const StartupViewLayout& layout) {
    StartupScrollRanges ranges;
    const double vertical =
        static_cast<double>(layout.contentHeight - layout.viewHeight) / kScrollStepTwips + 1;
    if (rangeOf(vertical) > 0) ranges.verticalMax = rangeOf(vertical);
    const double horizontal =
        static_cast<double>(layout.contentWidth - layout.viewWidth) / kScrollStepTwips + 1;
    if (horizontal > 0) ranges.horizontalMax = rangeOf(horizontal);
    return ranges;
}

std::optional<double> startupContentOffset(std::int32_t value, std::int32_t max, int contentSize,
                                           int viewSize) {
    if (max == 0) return std::nullopt;
    const double hidden = contentSize - viewSize;
    if (hidden <= 0) return 0.0;  // nothing to pan: a fitting content never leaves its edge
    const double offset = -(static_cast<double>(value) * hidden / max);
    return std::clamp(offset, -hidden, 0.0);
}

StartupRowSpan startupRowsInSight(int rowCount, int scrolled, int viewHeight) {
    // Row k covers kFirstCheckTop + kRowPitch * k - overhang .. + kCheckSize + overhang.
    const int reachBelow = kFirstCheckTop + kCheckSize + kLabelOverhang;  // a row's bottom, less k
    const int above = scrolled - reachBelow;
    int first = above < 0 ? 0 : above / kRowPitch;
    const int bottom = scrolled + viewHeight - kFirstCheckTop + kLabelOverhang;
    int last = bottom < 0 ? -1 : bottom / kRowPitch;
    first = std::clamp(first, 0, rowCount);
    last = std::min(last, rowCount - 1);
    return {first, std::max(0, last - first + 1)};
}

int startupMaxRowsInSight(int viewHeight) {
    return (viewHeight + kCheckSize + 2 * kLabelOverhang) / kRowPitch + 2;
}

}  // namespace hivora
