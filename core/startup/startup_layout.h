#pragma once
// The startup list's view arithmetic, in twips: where each row's check box and labels sit inside
// the content, how large the content is, which scroll bars it needs, their ranges, and where a
// bar's value puts the content. The toolkit measures the labels; everything here is pure.
//
// The view is a fixed window (7095 x 3015) onto the content, which holds every row. A bar that is
// needed takes its 255-twip strip from the view's right or bottom edge. The vertical bar is decided
// first, on the content's height alone, and is not reconsidered when the horizontal bar then takes
// height away: a layout always starts from the full view, so a list laid out in several steps ends
// as one laid out at once.

#include <cstdint>
#include <optional>

namespace hivora {

namespace startup_geometry {

// The frame on page 0, and the places of its parts inside it.
inline constexpr int kFrameLeft = 3840;
inline constexpr int kFrameTop = 120;
inline constexpr int kFrameWidth = 7575;
inline constexpr int kFrameHeight = 4215;
inline constexpr int kViewLeft = 240;
inline constexpr int kViewTop = 360;
inline constexpr int kViewFullWidth = 7095;
inline constexpr int kViewFullHeight = 3015;
inline constexpr int kBarThickness = 255;
inline constexpr int kVBarLeft = kViewLeft + kViewFullWidth - kBarThickness;  // 7080
inline constexpr int kHBarTop = kViewTop + kViewFullHeight - kBarThickness;   // 3120
inline constexpr int kButtonTop = 3600;
inline constexpr int kSelectAllLeft = 3600;
inline constexpr int kInvertLeft = 4920;
inline constexpr int kRemoveLeft = 6240;
// "禁用" and "启用", left of the three at the same pitch.
inline constexpr int kSwitchOffLeft = 960;
inline constexpr int kSwitchOnLeft = 2280;

// Rows inside the content.
inline constexpr int kCheckLeft = 240;
inline constexpr int kFirstCheckTop = 120;
inline constexpr int kRowPitch = 375;
inline constexpr int kCheckSize = 255;
inline constexpr int kNameLeft = 600;
inline constexpr int kColumnGap = 600;     // from the widest name to the data column
inline constexpr int kRightMargin = 600;   // after the widest data label
inline constexpr int kBottomMargin = 300;  // after the last check box
// Row 0 keeps the places it was designed with; rows 1 and above centre their labels.
inline constexpr int kFirstNameTop = 150;
inline constexpr int kFirstDataTop = 157;

// Hidden content one scroll step stands for, at most.
inline constexpr int kScrollStepTwips = 360;
// The bars' values are 16-bit: no range goes beyond this.
inline constexpr std::int32_t kMaxScrollRange = 32767;

}  // namespace startup_geometry

// Top of row `row`'s check box: 375 * row + 120.
int startupCheckTop(int row);
// Top of a label of `labelHeight` on row `row`. Row 0: its designed top (150 for the name, 157 for
// the data). Other rows: centred on the check box, centre = check top + 127.5 rounded to a whole
// twip with halves to even, top = centre - labelHeight / 2.
double startupLabelTop(int row, int labelHeight, bool isNameLabel);

struct StartupViewLayout {
    int viewWidth = startup_geometry::kViewFullWidth;  // the visible part, after the bars
    int viewHeight = startup_geometry::kViewFullHeight;
    int contentWidth = 0;
    int contentHeight = 0;
    int dataLeft = 0;  // the shared left edge of the data labels
    bool verticalBar = false;
    bool horizontalBar = false;
    // Lengths of the bars: the view's width and height.
    int hBarWidth() const { return viewWidth; }
    int vBarHeight() const { return viewHeight; }
};

// The layout of `rowCount` rows whose widest name label is `widestName` and widest data label
// `widestData` twips wide. No rows: the empty view (content 0 x 0, no bars, full size).
StartupViewLayout layOutStartupView(int rowCount, int widestName, int widestData);

// New scroll ranges after a refresh: the bar's Max to set (its Min goes to 0 first), or nothing
// when the bar keeps the range it had. Vertical: (content - view) / 360 + 1 rounded, halves to
// even; horizontal: the same, set only when the unrounded quotient is above 0. Both are held to at
// most 32767, the bars' limit, so that a list of thousands of rows still gets its range.
struct StartupScrollRanges {
    std::optional<std::int32_t> verticalMax;
    std::optional<std::int32_t> horizontalMax;
};
StartupScrollRanges startupScrollRanges(const StartupViewLayout& layout);

// The content's left (or top) edge for a bar at `value` of `max`: -(value * (content - view) /
// max), between -(content - view) and 0 (a content that fits stays at 0). Nothing when max is 0:
// the content stays where it is.
std::optional<double> startupContentOffset(std::int32_t value, std::int32_t max, int contentSize,
                                           int viewSize);

// The rows that may show in a view of `viewHeight` whose top lies `scrolled` twips down the
// content (a row and a bit of margin to either side): rows first .. first + count - 1.
struct StartupRowSpan {
    int first = 0;
    int count = 0;
};
StartupRowSpan startupRowsInSight(int rowCount, int scrolled, int viewHeight);
// The most rows startupRowsInSight gives for a view of `viewHeight`.
int startupMaxRowsInSight(int viewHeight);

}  // namespace hivora
