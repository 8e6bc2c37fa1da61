// Thumb size, position and hit test of the skinned scroll bar, alone and as a laid-out bar.

#include <gtest/gtest.h>

#include <utility>

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

TEST(ScrollBarGeometry, ThumbSizeFollowsPageShareWithTenPixelFloor) {
    // (The colour dialog's 265-pixel bar is checked on a laid-out bar below.)
    struct Case {
        const char* name;
        int barLength;
        std::int32_t largeChange;
        std::int32_t max;
        bool computed;
        int length;  // expected thumb length
        int travel;
    } const cases[] = {
        {"startup list, few rows", 457, 10, 5, true, 282, 141},  // 10/15 x 423 = 282
        {"page larger than range", 100, 30, 10, true, 50, 16},   // 1 - 10/40 = 0.75 x 66 = 49.5
        {"half rounds to even", 99, 1, 1, true, 32, 33},         // 0.5 x 65 = 32.5
        {"huge max does not overflow", 300, 10000, 2147483647, true, 10, 256},
        // Nothing to compute: the size passed in is kept.
        {"bar not longer than 34", 34, 10, 255, false, 77, 88},
        {"LargeChange 0", 265, 0, 255, false, 77, 88},
        {"Max 0", 265, 10, 0, false, 77, 88},
    };
    for (const auto& c : cases) {
        ThumbSize size{77, 88};
        EXPECT_EQ(CalcThumbSize(c.barLength, c.largeChange, c.max, size), c.computed) << c.name;
        EXPECT_EQ(size.length, c.length) << c.name;
        EXPECT_EQ(size.travel, c.travel) << c.name;
    }
}

TEST(ScrollBarGeometry, ThumbPositionMapsValueOverTravelIgnoringMin) {
    struct Case {
        const char* name;
        std::int32_t value;
        std::int32_t max;
        int expected;
    } const cases[] = {
        // Values 0, 5 and 255 are checked on a laid-out bar below.
        {"negative value", -4, 255, 17},
        {"middle", 128, 255, 128},  // 110.9 + 17
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
    // 10/265 of 231 is 8.7, raised to the floor of 10; value 5 is 5 x 221 / 255 = 4.33 from the
    // start, whatever Min is.
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
    using Size = std::pair<int, int>;
    struct Case {
        const char* name;
        Orientation orientation;
        Size asked, expected;
    } const cases[] = {
        {"horizontal too short and too thick", Orientation::Horizontal, {20, 40}, {34, 17}},
        {"horizontal fine", Orientation::Horizontal, {457, 17}, {457, 17}},
        {"vertical too short and too wide", Orientation::Vertical, {30, 10}, {17, 34}},
        {"vertical fine", Orientation::Vertical, {17, 185}, {17, 185}},
    };
    for (const auto& c : cases) {
        BarRig rig(c.orientation);
        rig.bar->resize(c.asked.first, c.asked.second);
        EXPECT_EQ(Size(rig.bar->width(), rig.bar->height()), c.expected) << c.name;
        EXPECT_EQ(Size(rig.bar->image().width(), rig.bar->image().height()), c.expected) << c.name;
        if (c.asked != c.expected) {  // the window follows
            EXPECT_EQ(Size(rig.window.width, rig.window.height), c.expected) << c.name;
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
