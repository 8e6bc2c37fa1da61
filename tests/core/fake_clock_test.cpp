// The fake clock that drives every timer-based control in tests: ticks in time order, ties in
// creation order, and timers started, stopped or destroyed by a tick.

#include "tests/core/fake_clock.h"

#include <gtest/gtest.h>

#include <string>

namespace hivora::testing {
namespace {

TEST(FakeClock, FiresDueTicksInTimeOrderThenCreationOrder) {
    FakeClock clock;
    std::string log;
    auto slow = clock.createTimer([&] { log += "s" + std::to_string(clock.now()) + " "; });
    auto fast = clock.createTimer([&] { log += "f" + std::to_string(clock.now()) + " "; });
    slow->start(100);
    fast->start(50);
    EXPECT_EQ(fast->interval(), 50);
    clock.advance(99);
    EXPECT_EQ(log, "f50 ");
    clock.advance(101);
    EXPECT_EQ(log, "f50 s100 f100 f150 s200 f200 ");  // at 100 and 200 the older timer first
    EXPECT_EQ(clock.now(), 200);
}

TEST(FakeClock, TicksMayStopRestartOrDestroyTimers) {
    FakeClock clock;
    int ticksA = 0;
    int ticksB = 0;
    std::unique_ptr<Timer> b;
    auto a = clock.createTimer([&] {
        if (++ticksA == 2) b.reset();  // destroying a timer stops it for good
    });
    b = clock.createTimer([&] { ++ticksB; });
    std::unique_ptr<Timer> self;
    int selfTicks = 0;
    self = clock.createTimer([&] {
        if (++selfTicks == 1) self->start(30);  // restarted from within its own tick
    });
    a->start(10);
    b->start(10);
    self->start(10);
    clock.advance(50);
    EXPECT_EQ(ticksA, 5);
    EXPECT_EQ(ticksB, 1);     // at 10; at 20 it was gone before its turn
    EXPECT_EQ(selfTicks, 2);  // at 10, then 30 later at 40
    a->stop();
    self->stop();
    EXPECT_EQ(clock.activeTimers(), 0);
    clock.advance(100);
    EXPECT_EQ(ticksA, 5);
}

}  // namespace
}  // namespace hivora::testing
