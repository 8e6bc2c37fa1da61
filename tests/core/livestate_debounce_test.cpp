// Change notices folded into one call 200 ms after the last of a burst, on the fake clock.

#include <gtest/gtest.h>

#include <vector>

#include "core/livestate/change_debounce.h"
#include "tests/core/fake_clock.h"

namespace hivora::testing {
namespace {

struct DebounceCase {
    const char* name;
    std::vector<long long> noticesAt;  // milliseconds, ascending
    std::vector<long long> callsAt;
};

void PrintTo(const DebounceCase& c, std::ostream* out) {
    *out << c.name;
}

const DebounceCase kCases[] = {
    {"one notice", {0}, {200}},
    {"a burst settles after its last notice", {0, 50, 150, 349}, {549}},
    {"two bursts apart", {0, 10, 500}, {210, 700}},
    {"a notice just after the call starts anew", {0, 200}, {200, 400}},
    {"nothing noticed, nothing called", {}, {}},
};

class Debounce : public ::testing::TestWithParam<DebounceCase> {};

TEST_P(Debounce, CallsOnceAfterTheBurstSettles) {
    const DebounceCase& c = GetParam();
    FakeClock clock;
    std::vector<long long> calls;
    ChangeDebouncer debouncer(clock, [&] { calls.push_back(clock.now()); });
    for (const long long at : c.noticesAt) {
        clock.advance(at - clock.now());
        debouncer.notice();
    }
    clock.advance(2000);
    EXPECT_EQ(calls, c.callsAt);
    EXPECT_FALSE(debouncer.pending());
}

INSTANTIATE_TEST_SUITE_P(LiveState, Debounce, ::testing::ValuesIn(kCases));

TEST(Debounce, ACallMayNoticeAgain) {
    FakeClock clock;
    int calls = 0;
    std::unique_ptr<ChangeDebouncer> debouncer;
    debouncer = std::make_unique<ChangeDebouncer>(clock, [&] {
        if (++calls == 1) debouncer->notice();
    });
    debouncer->notice();
    clock.advance(1000);
    EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace hivora::testing
