// The fake clock that drives every timer-based control in tests: ticks in time order, ties in
// creation order, and timers started, stopped or destroyed by a tick.

#include "tests/core/fake_clock.h"

#include <gtest/gtest.h>

#include <string>

namespace hivora::testing {
namespace {

TEST(FakeClock, FiresDueTicksInOrderAndLetsTicksChangeTimers) {
    FakeClock clock;
    std::string log;
    const auto note = [&](const char* name) { log += name + std::to_string(clock.now()) + " "; };
    std::unique_ptr<Timer> slow, fast, doomed;
    slow = clock.createTimer([&] { note("s"); });
    fast = clock.createTimer([&] {
        note("f");
        if (clock.now() == 100) doomed.reset();    // destroying a timer stops it for good
        if (clock.now() == 150) fast->start(100);  // restarted from within its own tick
    });
    doomed = clock.createTimer([&] { note("d"); });
    slow->start(100);
    fast->start(50);
    doomed->start(50);
    EXPECT_EQ(fast->interval(), 50);
    clock.advance(99);
    EXPECT_EQ(log, "f50 d50 ");
    clock.advance(201);
    // At 100 the older timer first, and the doomed one is gone before its turn.
    EXPECT_EQ(log, "f50 d50 s100 f100 f150 s200 f250 s300 ");
    EXPECT_EQ(clock.now(), 300);
    slow->stop();
    fast->stop();
    EXPECT_EQ(clock.activeTimers(), 0);
    clock.advance(1000);
    EXPECT_EQ(clock.now(), 1300);
    EXPECT_EQ(log, "f50 d50 s100 f100 f150 s200 f250 s300 ");
}

}  // namespace
}  // namespace hivora::testing
