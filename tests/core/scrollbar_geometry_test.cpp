// Thumb size, position and hit test of the skinned scroll bar, alone and as a laid-out bar.

#include <gtest/gtest.h>

#include "core/scrollbar/scroll_bar_geometry.h"
#include "core/scrollbar/scroll_bar_types.h"
#include "tests/core/scrollbar_rig.h"

namespace hivora {
namespace {

using testing::BarRig;

TEST(ScrollBarRounding, HalvesGoToTheEvenNeighbour) {
    struct Case {
        double in;
        double out;
    } const cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {0.5, 0}, {1.5, 2}, {2.4999, 2}, {7.6, 8}};
    for (const auto& c : cases) EXPECT_EQ(roundHalfEven(c.in), c.out) << c.in;
}

struct SizeCase {
    const char* name;
    int barLength;
    std::int32_t largeChange;
    std::int32_t max;
    int length;  // expected thumb length
    int travel;
};

TEST(ScrollBarGeometry, ThumbSizeFollowsPageShareWithTenPixelFloor) {
    const SizeCase cases[] = {
        // 10/265 of 231 is 8.7, raised to the floor of 10.
        {"colour dialog bar", 265, 10, 255, 10, 221},
        {"startup list, few rows", 457, 10, 5, 282, 141},  // 10/15 x 423 = 282
        {"page larger than range", 100, 30, 10, 50, 16},   // 1 - 10/40 = 0.75 x 66 = 49.5 -> 50
        {"half rounds to even", 99, 1, 1, 32, 33},         // 0.5 x 65 = 32.5
        {"huge max does not overflow", 300, 10000, 2147483647, 10, 256},
    };
    for (const auto& c : cases) {
        ThumbSize size;
        EXPECT_TRUE(CalcThumbSize(c.barLength, c.largeChange, c.max, size)) << c.name;
        EXPECT_EQ(size.length, c.length) << c.name;
        EXPECT_EQ(size.travel, c.travel) << c.name;
    }
}

TEST(ScrollBarGeometry, ThumbSizeKeptWhenNothingToCompute) {
    const SizeCase cases[] = {
        {"bar not longer than 34", 34, 10, 255, 0, 0},
        {"LargeChange 0", 265, 0, 255, 0, 0},
        {"Max 0", 265, 10, 0, 0, 0},
    };
    for (const auto& c : cases) {
        ThumbSize size{77, 88};
        EXPECT_FALSE(CalcThumbSize(c.barLength, c.largeChange, c.max, size)) << c.name;
        EXPECT_EQ(size.length, 77) << c.name;
        EXPECT_EQ(size.travel, 88) << c.name;
    }
}

TEST(ScrollBarGeometry, ThumbPositionMapsValueOverTravelIgnoringMin) {
    struct Case {
        const char* name;
        std::int32_t value;
        std::int32_t max;
        int expected;
    } const cases[] = {
        {"value 0", 0, 255, 17},
        {"negative value", -4, 255, 17},
        {"value at max", 255, 255, 238},
        {"value 5 (a Min of 5 does not move the start)", 5, 255, 21},  // 5 x 221 / 255 = 4.33
        {"middle", 128, 255, 128},                                     // 110.9 + 17
        {"no divisor keeps the old position", 3, 0, 99},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CalcThumbPos(265, 10, c.value, c.max, 99), c.expected) << c.name;
    }
}

TEST(ScrollBarGeometry, HitTestOrderAndOverlaps) {
    // 265-pixel bar, thumb at 100..110 (length 10).
    struct Case {
        double x;
        int part;
    } const cases[] = {
        {0, kPartDecArrow},       {17, kPartDecArrow},      {17.5, kPartTrackBefore},
        {99.9, kPartTrackBefore}, {100, kPartThumb},        {110, kPartThumb},
        {110.5, kPartTrackAfter}, {247.9, kPartTrackAfter}, {248, kPartIncArrow},
        {264, kPartIncArrow},
    };
    for (const auto& c : cases) EXPECT_EQ(hitTestPart(c.x, 265, 100, 10), c.part) << c.x;
    // The thumb wins over the arrow where they meet.
    EXPECT_EQ(hitTestPart(248, 265, 238, 10), kPartThumb);
}

TEST(ScrollBarLayout, ColourDialogBarAndItsTwin) {
    for (const Orientation orientation : {Orientation::Horizontal, Orientation::Vertical}) {
        BarRig rig(orientation, 265);
        const auto& s = rig.bar->state();
        EXPECT_EQ(s.thumb.length, 10);
        EXPECT_EQ(s.thumb.travel, 221);
        EXPECT_EQ(s.thumbPos, 17);
        rig.bar->setValue(255);
        EXPECT_EQ(rig.bar->state().thumbPos, 238);

        rig.bar->setMin(5);  // the value stays at 255
        rig.bar->setValue(5);
        EXPECT_EQ(rig.bar->state().thumbPos, 21);
    }
}

TEST(ScrollBarLayout, ThicknessAndMinimumLengthAreEnforced) {
    struct Case {
        const char* name;
        Orientation orientation;
        int width, height;
        int expectedWidth, expectedHeight;
    } const cases[] = {
        {"horizontal too short and too thick", Orientation::Horizontal, 20, 40, 34, 17},
        {"horizontal fine", Orientation::Horizontal, 457, 17, 457, 17},
        {"vertical too short and too wide", Orientation::Vertical, 30, 10, 17, 34},
        {"vertical fine", Orientation::Vertical, 17, 185, 17, 185},
    };
    for (const auto& c : cases) {
        BarRig rig(c.orientation);
        rig.bar->resize(c.width, c.height);
        EXPECT_EQ(rig.bar->width(), c.expectedWidth) << c.name;
        EXPECT_EQ(rig.bar->height(), c.expectedHeight) << c.name;
        EXPECT_EQ(rig.bar->image().width(), c.expectedWidth) << c.name;
        EXPECT_EQ(rig.bar->image().height(), c.expectedHeight) << c.name;
        if (c.width != c.expectedWidth || c.height != c.expectedHeight) {
            EXPECT_EQ(rig.window.width, c.expectedWidth) << c.name;  // the window follows
            EXPECT_EQ(rig.window.height, c.expectedHeight) << c.name;
        }
    }
}

TEST(ScrollBarLayout, NarrowBarsKeepOldThumbOrHideIt) {
    // Widened from 20 to 34 pixels: not longer than 34, so the 265-pixel thumb is kept.
    BarRig rig(Orientation::Horizontal, 265);
    rig.bar->resize(20, 17);
    EXPECT_EQ(rig.bar->state().thumb.length, 10);
    EXPECT_EQ(rig.bar->state().thumb.travel, 221);

    // 40 pixels: computed (6 pixels of track, raised to 10, travel -4) but not drawn.
    rig.bar->resize(40, 17);
    EXPECT_EQ(rig.bar->state().thumb.length, 10);
    EXPECT_EQ(rig.bar->state().thumb.travel, -4);

    // LargeChange 0 leaves the thumb as it was at re-layout.
    BarRig other(Orientation::Horizontal, 457);
    const int before = other.bar->state().thumb.length;
    other.bar->setLargeChange(0);
    EXPECT_EQ(other.bar->state().thumb.length, before);
}

}  // namespace
}  // namespace hivora
