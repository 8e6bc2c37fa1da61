// Rows that write today's location beside the one they always wrote: both are written, and one
// undo puts both back as they were, whatever was there before (someone else's value included).

#include <gtest/gtest.h>

#include <string>

#include "tests/core/journal_fixture.h"

namespace hivora::testing {
namespace {

const std::string kDword2{"\x02\0\0\0", 4};
const std::string kDword1{"\x01\0\0\0", 4};

struct Place {
    RegKey root;
    std::string key;
    std::string name;
};

struct WidenedCase {
    const char* name;
    CataloguePage page;
    int row;
    Place old;     // where the row always wrote
    Place modern;  // today's location
    ValueState modernAfterSet;
    // What was at today's location before (absent, or someone else's value).
    ValueState modernBefore;
};

void PrintTo(const WidenedCase& c, std::ostream* out) {
    *out << c.name;
}

const Place kWinOldApp{kHkeyCurrentUser, locations::kWinOldAppPolicies, "Disabled"};
const Place kDisableCmd{kHkeyCurrentUser, locations::kWindowsSystemPolicies, "DisableCMD"};
const Place kLegacyLastUser{kHkeyLocalMachine, locations::kLegacyWinlogon,
                            "DontDisplayLastUserName"};
const Place kPolicyLastUser{kHkeyLocalMachine, locations::kMachineSystemPolicies,
                            "DontDisplayLastUserName"};

const WidenedCase kWidenedCases[] = {
    {"DosModeOnEmpty",
     CataloguePage::Restrictions,
     5,
     kWinOldApp,
     kDisableCmd,
     {true, kRegDword, kDword2},
     {}},
    // An administrator's stricter value (1: batch files stopped too) comes back on undo.
    {"DosModeOverSomeonesPolicy",
     CataloguePage::Restrictions,
     5,
     kWinOldApp,
     kDisableCmd,
     {true, kRegDword, kDword2},
     {true, kRegDword, kDword1}},
    {"LastUserNameOnEmpty",
     CataloguePage::LogonStyle,
     2,
     kLegacyLastUser,
     kPolicyLastUser,
     {true, kRegDword, kDword1},
     {}},
    {"LastUserNameOverDisabledPolicy",
     CataloguePage::LogonStyle,
     2,
     kLegacyLastUser,
     kPolicyLastUser,
     {true, kRegDword, kDword1},
     {true, kRegDword, std::string(4, '\0')}},
};

class WidenedRow : public ::testing::TestWithParam<WidenedCase> {};

ValueState stateAt(JournalFixture& f, const Place& place) {
    Result<ValueState> state = readValueState(f.view(), place.root, place.key, place.name);
    EXPECT_TRUE(state) << state.status().message();
    return state ? state.value() : ValueState{};
}

TEST_P(WidenedRow, WritesBothPlacesAndUndoRestoresBoth) {
    const WidenedCase& c = GetParam();
    JournalFixture f;
    seedUsersRegistry(f.store());
    if (c.modernBefore.present) {
        putValue(f.store(), c.modern.root, c.modern.key, c.modern.name, c.modernBefore.type,
                 c.modernBefore.data);
        ASSERT_TRUE(f.store().flush());
    }
    const auto before = f.hiveFiles();
    const ValueState oldBefore = stateAt(f, c.old);

    const RowOutcome outcome = f.run(c.page, c.row, RowButton::Set);
    ASSERT_TRUE(outcome.status) << outcome.status.message();
    EXPECT_TRUE(stateAt(f, c.old).present);
    EXPECT_NE(stateAt(f, c.old), oldBefore);
    EXPECT_EQ(stateAt(f, c.modern), c.modernAfterSet);

    f.reopen();
    EXPECT_EQ(f.undo().result, UndoResult::Done);
    EXPECT_EQ(stateAt(f, c.old), oldBefore);
    EXPECT_EQ(stateAt(f, c.modern), c.modernBefore);
    EXPECT_EQ(f.hiveFiles(), before);
}

INSTANTIATE_TEST_SUITE_P(Rows, WidenedRow, ::testing::ValuesIn(kWidenedCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace hivora::testing
