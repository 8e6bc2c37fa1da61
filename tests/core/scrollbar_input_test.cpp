// The skinned scroll bar under the mouse and its timers, on a fake clock: arrow steps and their
// auto-repeat, track paging toward the pointer, thumb drags, the hover polling, and the few ways
// the two twins differ.

#include <gtest/gtest.h>

#include <utility>

#include "tests/core/scrollbar_rig.h"

namespace hivora {
namespace {

using testing::BarRig;

// A 265-pixel bar: arrows 0..17 and 248..264, thumb 10 pixels long at 17 for value 0.
constexpr double kDecArrow = 8;
constexpr double kIncArrow = 256;

class ScrollBarInput : public ::testing::TestWithParam<Orientation> {
  protected:
    BarRig rig{GetParam(), 265};
    const ScrollBarState& state() const { return rig.bar->state(); }
};

HIVORA_FOR_BOTH_TWINS(ScrollBarInput);

TEST_P(ScrollBarInput, ArrowHeldStepsWithEveryTickAndReportsAtTheLimit) {
    struct Case {
        const char* name;
        double at;
        std::int32_t startValue;
        std::int32_t smallChange;
        int holdMs;
        std::int32_t value;
        int changes;  // after the start value was set
    } const cases[] = {
        {"click shorter than the first tick", kIncArrow, 0, 1, 99, 0, 0},
        {"held 250 ms: two steps, each reported twice", kIncArrow, 0, 1, 250, 2, 4},
        {"SmallChange 5", kIncArrow, 0, 5, 250, 10, 4},
        {"decrease arrow", kDecArrow, 50, 1, 300, 47, 6},
        {"held at Min 0: Change every tick, no movement", kDecArrow, 0, 1, 450, 0, 4},
        {"held at Max", kIncArrow, 255, 1, 300, 255, 3},
        {"step past Max is clamped, then only reported", kIncArrow, 253, 5, 200, 255, 3},
        // Along 17 is still the arrow, and also the thumb's first pixel at value 0: the
        // repetition must not take the held arrow for a thumb that has arrived.
        {"arrow held where the thumb starts", 17, 0, 1, 500, 0, 5},
    };
    for (const auto& c : cases) {
        BarRig bar(GetParam(), 265);
        bar.bar->setSmallChange(c.smallChange);
        bar.bar->setValue(c.startValue);
        bar.changes = 0;
        bar.press(c.at);
        EXPECT_EQ(bar.bar->Value(), c.startValue) << c.name << ": no step at the press";
        bar.clock.advance(c.holdMs);
        bar.release(c.at);
        EXPECT_EQ(bar.bar->Value(), c.value) << c.name;
        EXPECT_EQ(bar.changes, c.changes) << c.name;
        // The repeat timer stops itself on its next tick and nothing moves any more.
        bar.clock.advance(1000);
        EXPECT_EQ(bar.bar->Value(), c.value) << c.name;
        EXPECT_EQ(bar.changes, c.changes) << c.name;
        EXPECT_FALSE(bar.bar->state().repeatTimerRunning) << c.name;
    }
}

TEST_P(ScrollBarInput, TrackPressPagesAtOnceThenEvery200MsUntilTheThumbCoversThePointer) {
    rig.press(200);
    EXPECT_EQ(rig.bar->Value(), 10);
    EXPECT_EQ(rig.changes, 1);
    // Value 200 puts the thumb at 190..200, over the pointer: the 19th tick (3800 ms) is the last.
    for (const auto& [ms, value] :
         {std::pair{199, 10}, {1, 20}, {3599, 190}, {1, 200}, {2000, 200}}) {
        rig.clock.advance(ms);
        EXPECT_EQ(rig.bar->Value(), value) << "at " << rig.clock.now() << " ms";
    }
    EXPECT_FALSE(state().repeatTimerRunning);
}

TEST_P(ScrollBarInput, TrackPressFollowsThePointerAndPagesBackward) {
    rig.press(120);
    rig.clock.advance(200);  // 20
    rig.move(200, kLeftButton);
    EXPECT_EQ(rig.scrolls, 1);
    rig.clock.advance(3600);  // on to 200, as if pressed there
    EXPECT_EQ(rig.bar->Value(), 200);
    rig.release(200);

    rig.press(30);  // before the thumb: pages down to 10, whose thumb (26..36) covers 30
    EXPECT_EQ(rig.bar->Value(), 190);
    rig.clock.advance(5000);
    EXPECT_EQ(rig.bar->Value(), 10);
}

TEST_P(ScrollBarInput, RightButtonOnTheTrackPagesOnceAndOnTheArrowDoesNothing) {
    rig.press(200, kRightButton);
    EXPECT_EQ(rig.bar->Value(), 10);
    rig.clock.advance(1000);
    EXPECT_EQ(rig.bar->Value(), 10);
    EXPECT_FALSE(state().repeatTimerRunning);
    // Only the horizontal bar marks a press of any button as in progress.
    EXPECT_EQ(state().mouseDown, GetParam() == Orientation::Horizontal);
    rig.release(200, kRightButton);
    EXPECT_FALSE(state().mouseDown);

    rig.press(kIncArrow, kRightButton);
    rig.clock.advance(1000);
    EXPECT_EQ(rig.bar->Value(), 10);
    EXPECT_EQ(rig.changes, 1);
}

TEST_P(ScrollBarInput, ThumbDragMapsTheDistanceOverTheTravel) {
    rig.press(20);  // thumb 17..27
    EXPECT_TRUE(state().dragging);
    struct Step {
        double to;
        std::int32_t value;
    } const steps[] = {
        {130.5, 128},  // 110.5 / 221 x 255 = 127.5, half to even
        {40, 23},      // 20 / 221 x 255 = 23.08
        {-100, 0},     // clamped to Min
        {600, 255},    // clamped to Max
    };
    int scrolls = 0;
    for (const auto& step : steps) {
        rig.move(step.to, kLeftButton);
        EXPECT_EQ(rig.scrolls, ++scrolls);
        EXPECT_EQ(rig.bar->Value(), step.value) << step.to;
    }
    rig.clock.advance(1000);  // no repetition while dragging
    EXPECT_EQ(rig.bar->Value(), 255);
    rig.release(600);
    EXPECT_FALSE(state().dragging);
    rig.move(20);  // no button: a hover, not a drag
    EXPECT_EQ(rig.bar->Value(), 255);
    EXPECT_EQ(rig.scrolls, scrolls);
}

TEST_P(ScrollBarInput, HoverShowsHotPartUntilThePointerLeaves) {
    rig.move(kDecArrow);
    EXPECT_EQ(state().hotPart, kPartDecArrow);
    EXPECT_EQ(state().lastDrawn, 5 * kStateHot + kPartDecArrow);
    EXPECT_TRUE(state().hoverTimerRunning);

    rig.move(100);  // onto the track: the arrow goes back to normal
    EXPECT_EQ(state().hotPart, kPartTrackAfter);
    EXPECT_EQ(state().lastDrawn, kPartDecArrow);

    rig.move(20);
    EXPECT_EQ(state().lastDrawn, 5 * kStateHot + kPartThumb);
    rig.clock.advance(50);  // still over the bar: polling goes on
    EXPECT_EQ(state().hotPart, kPartThumb);

    rig.pointer.over = kNoWindow;
    rig.clock.advance(5);
    EXPECT_EQ(state().hotPart, kPartNone);
    EXPECT_EQ(state().lastDrawn, kPartThumb);
    EXPECT_FALSE(state().hoverTimerRunning);
    EXPECT_EQ(rig.clock.activeTimers(), 0);
}

TEST_P(ScrollBarInput, LeavingDuringAPressKeepsTheHotPart) {
    rig.press(kIncArrow);
    rig.pointer.over = kNoWindow;
    rig.clock.advance(20);
    EXPECT_EQ(state().hotPart, kPartIncArrow);
    rig.release(kIncArrow);
    rig.clock.advance(5);
    EXPECT_EQ(state().hotPart, kPartNone);
}

TEST_P(ScrollBarInput, LeftButtonHeldFromOutsideShowsThePartPressed) {
    rig.move(kIncArrow, kLeftButton);
    EXPECT_EQ(state().lastDrawn, 5 * kStatePressed + kPartIncArrow);
    EXPECT_EQ(rig.scrolls, 0);
}

TEST_P(ScrollBarInput, PressWithoutAPrecedingMoveActsOnThePartUnderItAndPresentsOnce) {
    const int presents = rig.window.presents;
    rig.bar->mouseDown(kLeftButton, rig.x(200), rig.y(200));  // pages: redraw inside the press
    EXPECT_EQ(state().pressedPart, kPartTrackAfter);
    EXPECT_EQ(rig.bar->Value(), 10);
    EXPECT_EQ(rig.window.presents, presents + 1);
    EXPECT_EQ(rig.window.shown.pixel(5, 5), rig.bar->image().pixel(5, 5));
}

TEST_P(ScrollBarInput, DisablingEndsAHeldPressAndIgnoresTheMouse) {
    rig.press(kIncArrow);
    rig.clock.advance(150);
    EXPECT_EQ(rig.bar->Value(), 1);
    rig.bar->setEnabled(false);
    rig.clock.advance(1000);
    EXPECT_EQ(rig.bar->Value(), 1);
    EXPECT_FALSE(state().repeatTimerRunning);

    rig.press(200);
    rig.clock.advance(1000);
    EXPECT_EQ(rig.bar->Value(), 1);
}

TEST(ScrollBarInputNarrow, FortyPixelBarStillStepsWithItsArrows) {
    BarRig rig(Orientation::Horizontal, 40);
    rig.press(30);
    rig.clock.advance(300);
    EXPECT_EQ(rig.bar->Value(), 3);
}

}  // namespace
}  // namespace hivora
