#include "core/ui/round_region.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace hivora {

namespace {

// How many pixels the shape is cut in from each side on the row `rowsFromEdge` rows away from the
// nearer of the top and bottom edges (0 for the edge row itself). Rows beyond the corner's reach
// are not cut.
int cornerInset(int rowsFromEdge, double radiusX, double radiusY) {
    const double dy = radiusY - (rowsFromEdge + 0.5);  // from the ellipse centre to the row centre
    if (dy <= 0.0) return 0;
    const double ratio = dy / radiusY;
    const double dx = radiusX * std::sqrt(std::max(0.0, 1.0 - ratio * ratio));
    // The first pixel whose centre lies at or inside the ellipse's edge.
    return static_cast<int>(std::ceil(radiusX - dx - 0.5));
}

}  // namespace

std::vector<RegionRow> roundRectRows(int left, int top, int right, int bottom, int ellipseWidth,
                                     int ellipseHeight) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    std::vector<RegionRow> rows;
    const int width = right - left;
    const int height = bottom - top;
    if (width <= 0 || height <= 0) return rows;

    ellipseWidth = std::min(width, std::abs(ellipseWidth));
    ellipseHeight = std::min(height, std::abs(ellipseHeight));
    const bool rounded = ellipseWidth >= 2 && ellipseHeight >= 2;
    const double radiusX = ellipseWidth / 2.0;
    const double radiusY = ellipseHeight / 2.0;

    rows.reserve(static_cast<std::size_t>(height));
    for (int y = top; y < bottom; ++y) {
        const int fromEdge = std::min(y - top, bottom - 1 - y);
        const int inset = rounded ? cornerInset(fromEdge, radiusX, radiusY) : 0;
        if (left + inset < right - inset) rows.push_back({y, left + inset, right - inset});
    }
    return rows;
}

}  // namespace hivora
