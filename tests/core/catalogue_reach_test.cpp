// Rows without effect on the edited registry's Windows: they still write, and their box says so
// after the outcome; for an unknown version nothing is said.

#include <gtest/gtest.h>

#include <string>

#include "tests/core/catalogue_harness.h"

namespace hivora::testing {
namespace {

const std::string kUpTo10 = "（仅 Windows 9x、Windows XP、Windows Vista/7、Windows 8、Windows 10）";

struct ReachCase {
    const char* name;
    WindowsGeneration generation;
    RowButton button;
    std::string lastBox;
};

void PrintTo(const ReachCase& c, std::ostream* out) {
    *out << c.name;
}

// The browser page's row 0 (the home page lock), which Windows 11 no longer reaches.
const ReachCase kReachCases[] = {
    {"UnknownSaysNothing", WindowsGeneration::Unknown, RowButton::Set, "已设置！"},
    {"ReachedSaysNothing", WindowsGeneration::Win10, RowButton::Set, "已设置！"},
    {"SetOnWindows11", WindowsGeneration::Win11, RowButton::Set,
     "已设置！\r\n此设置对 Windows 11 无效" + kUpTo10},
    {"LiftOnWindows11", WindowsGeneration::Win11, RowButton::Lift,
     "已解除！\r\n此设置对 Windows 11 无效" + kUpTo10},
};

class RowReach : public ::testing::TestWithParam<ReachCase> {};

TEST_P(RowReach, StillWritesAndTheBoxSaysWhereItHasNoEffect) {
    const ReachCase& c = GetParam();
    CatalogueHarness harness;
    harness.services().windowsGeneration = c.generation;

    const RowOutcome outcome = harness.run(CataloguePage::BrowserProperties, 0, c.button);

    EXPECT_TRUE(outcome.status.isOk());
    EXPECT_FALSE(harness.effects().empty());
    ASSERT_FALSE(harness.dialogs().messagePrompts().empty());
    EXPECT_EQ(harness.dialogs().messagePrompts().back(), c.lastBox);
}

INSTANTIATE_TEST_SUITE_P(BrowserRow, RowReach, ::testing::ValuesIn(kReachCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace hivora::testing
