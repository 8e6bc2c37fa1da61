#pragma once
// The pixel shape of a rectangle with rounded corners, as a window region is built from it. The
// toolkit layer turns the rows into its own region type; the shape itself is computed here so that
// it is the same everywhere and can be checked without a window system.

#include <vector>

namespace hivora {

// One row of a region: the pixels x with left <= x < right on line y.
struct RegionRow {
    int y = 0;
    int left = 0;
    int right = 0;
    friend bool operator==(const RegionRow&, const RegionRow&) = default;
};

// The rows of the rectangle from (left, top) to (right, bottom), right and bottom exclusive, whose
// corners are cut by quarters of an ellipse `ellipseWidth` x `ellipseHeight` pixels, as Windows'
// rounded rectangle regions are. A pixel belongs to the shape when its centre lies inside the
// corner ellipse. Swapped corners are put in order; the ellipse is limited to the rectangle's size;
// an ellipse narrower or lower than 2 pixels gives plain corners. Rows come top to bottom; an empty
// rectangle gives no rows.
std::vector<RegionRow> roundRectRows(int left, int top, int right, int bottom, int ellipseWidth,
                                     int ellipseHeight);

}  // namespace hivora
