// The skin pictures that ship with the program, the backing image's drawing primitives and the
// rounded window shape.

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "assets/skin_assets.h"
#include "core/scrollbar/pixel_buffer.h"
#include "core/scrollbar/scroll_bar_painter.h"
#include "core/ui/round_region.h"

namespace hivora {
namespace {

TEST(ScrollBarSkin, EveryPictureShipsWithItsSize) {
    struct Range {
        int first, last, width, height;
    } const ranges[] = {
        {9301, 9306, 17, 16}, {9307, 9307, 3, 16},  {9308, 9308, 2, 16},  {9309, 9314, 17, 16},
        {9315, 9315, 3, 16},  {9316, 9316, 2, 16},  {9317, 9322, 17, 16}, {9323, 9323, 3, 16},
        {9324, 9324, 2, 16},  {9262, 9263, 17, 16}, {9266, 9269, 1, 17},  {9136, 9141, 16, 17},
        {9131, 9131, 16, 2},  {9132, 9132, 16, 3},  {9147, 9152, 16, 17}, {9142, 9142, 16, 2},
        {9143, 9143, 16, 3},  {9159, 9164, 16, 17}, {9154, 9154, 16, 2},  {9155, 9155, 16, 3},
        {9260, 9261, 16, 17}, {9130, 9130, 17, 1},  {9153, 9153, 17, 1},  {9264, 9265, 17, 1},
    };
    int count = 0;
    for (const auto& range : ranges) {
        for (int id = range.first; id <= range.last; ++id, ++count) {
            const SkinPicture* picture = findSkinPicture(id);
            ASSERT_NE(picture, nullptr) << id;
            EXPECT_EQ(picture->width, range.width) << id;
            EXPECT_EQ(picture->height, range.height) << id;
        }
    }
    EXPECT_EQ(static_cast<int>(skinPictureIds().size()), count);
    // Ids that no picture carries, such as the vertical bar's kept cap ids, find nothing.
    for (int id : {0, -1, 9133, 9144, 9156, 9300, 9325}) EXPECT_EQ(findSkinPicture(id), nullptr);
}

using Points = std::set<std::pair<int, int>>;  // (column, row)

Points glyphPixels(int id, std::uint32_t glyph) {
    const SkinPicture& picture = *findSkinPicture(id);
    Points points;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if ((picture.pixels[y * picture.width + x] & 0xFFFFFF) == glyph) points.insert({x, y});
        }
    }
    return points;
}

TEST(ScrollBarSkin, ChevronsCoverTheirPixels) {
    const std::uint32_t blueGlyph = 0x52658C;  // 0xRRGGBB of the colour value 8C6552
    Points left = {{9, 3}, {9, 11}};
    const int starts[] = {8, 7, 6, 5, 6, 7, 8};
    for (int row = 4; row <= 10; ++row) {
        for (int k = 0; k < 3; ++k) left.insert({starts[row - 4] + k, row});
    }
    const Points up = {{7, 5}, {6, 6}, {7, 6}, {8, 6},  {5, 7},  {6, 7},  {7, 7},  {8, 7},
                       {9, 7}, {4, 8}, {5, 8}, {6, 8},  {8, 8},  {9, 8},  {10, 8}, {3, 9},
                       {4, 9}, {5, 9}, {9, 9}, {10, 9}, {11, 9}, {4, 10}, {10, 10}};
    Points right, down, disabled;
    for (auto [x, y] : left) right.insert({16 - x, y});
    for (auto [x, y] : up) down.insert({x, 16 - y});
    for (int state = 0; state < 3; ++state) {
        EXPECT_EQ(glyphPixels(9301 + state, blueGlyph), left);
        EXPECT_EQ(glyphPixels(9304 + state, blueGlyph), right);
        EXPECT_EQ(glyphPixels(9136 + state, blueGlyph), up);
        EXPECT_EQ(glyphPixels(9139 + state, blueGlyph), down);
    }
    // The disabled left arrow's chevron sits one column further left.
    for (auto [x, y] : left) disabled.insert({x - 1, y});
    EXPECT_EQ(glyphPixels(9262, 0xC9C9C2), disabled);
}

TEST(ScrollBarPixels, LinesLeaveTheirEndPointAndStayInside) {
    PixelBuffer image(10, 5);
    const Argb white = argbFromColorRef(0xFFFFFF);
    DrawLine(image, 2, 1, 6, 1, 0xFFFFFF);    // columns 2..5
    DrawLine(image, 8, 4, 8, 0, 0xFFFFFF);    // upward: rows 4..1
    DrawLine(image, -5, 3, 30, 3, 0xFFFFFF);  // clipped to the image
    DrawLine(image, 0, 0, 0, 0, 0xFFFFFF);    // a point: nothing
    struct Probe {
        int x, y;
        bool painted;
    } const probes[] = {{1, 1, false}, {2, 1, true},  {5, 1, true}, {6, 1, false}, {8, 4, true},
                        {8, 1, true},  {8, 0, false}, {0, 3, true}, {9, 3, true},  {0, 0, false}};
    for (const auto& p : probes) {
        EXPECT_EQ(image.pixel(p.x, p.y) == white, p.painted) << p.x << "," << p.y;
    }
}

TEST(ScrollBarPixels, StretchRepeatsAndScalesNearestPixel) {
    const Argb source[] = {1, 2, 3, 4};  // 2 x 2
    PixelBuffer image(8, 4);
    image.stretchPicture(0, 0, 4, 2, PictureView{2, 2, source});
    const Argb expectedRow0[] = {1, 1, 2, 2};
    const Argb expectedRow1[] = {3, 3, 4, 4};
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(image.pixel(x, 0), expectedRow0[x]);
        EXPECT_EQ(image.pixel(x, 1), expectedRow1[x]);
    }
    image.stretchPicture(6, 2, 5, 5, PictureView{2, 2, source});  // clipped at the edges
    EXPECT_EQ(image.pixel(7, 3), 1u);
    image.stretchPicture(0, 2, -3, 2, PictureView{2, 2, source});  // no area: nothing
    EXPECT_EQ(image.pixel(0, 2), 0xFF000000u);
}

TEST(RoundRegion, CornersAreCutSymmetricallyAndSmallEllipsesGiveRectangles) {
    // The main window: 12060 x 8660 twips at 15 per pixel is 804 x 577; the shape runs from
    // (-1, -1) to (806, 579) with an 18 x 18 corner.
    const auto rows = roundRectRows(-1, -1, 806, 579, 18, 18);
    ASSERT_EQ(rows.size(), 580u);
    EXPECT_EQ(rows.front().y, -1);
    EXPECT_EQ(rows.back().y, 578);
    EXPECT_GT(rows.front().left, -1);
    EXPECT_EQ(rows.front().left + rows.front().right, -1 + 806);  // symmetric
    EXPECT_EQ(rows.front(), (RegionRow{-1, rows.back().left, rows.back().right}));
    EXPECT_EQ(rows[9], (RegionRow{8, -1, 806}));  // below the corner: full width
    for (std::size_t i = 1; i < 9; ++i) EXPECT_LE(rows[i].left, rows[i - 1].left);

    // Swapped corners are put in order; ellipses below 2 pixels give plain corners.
    EXPECT_EQ(roundRectRows(5, 4, 0, 0, 1, 10).front(), (RegionRow{0, 0, 5}));
    EXPECT_TRUE(roundRectRows(0, 0, 0, 10, 4, 4).empty());
    // A 15 x 15 corner on a 17-pixel bar.
    const auto bar = roundRectRows(-1, -1, 267, 19, 15, 15);
    EXPECT_EQ(bar.size(), 20u);
    EXPECT_EQ(bar[10], (RegionRow{9, -1, 267}));
}

}  // namespace
}  // namespace hivora
