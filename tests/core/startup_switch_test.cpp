// Switching startup entries off and on: per place and rule, the exact bytes written (the
// StartupApproved value Task Manager writes, or the value moved whole to the program's backup key
// and back), the entry's neighbours untouched, and undo walking both steps back. Also which rule
// a Windows version gets, and how approved values of the wrong size or type read.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/core/startup_rig.h"

namespace hivora {
namespace {

using testing::StartupRig;
using Rule = StartupSwitchRule;

const std::string kOffBytes("\x03\0\0\0\xd4\x0d\x43\x8d\xc8\x3b\xd9\x01", 12);
const std::string kOnBytes("\x02\0\0\0\0\0\0\0\0\0\0\0", 12);

struct SwitchCase {
    const char* name;
    std::size_t source;
    Rule rule;
    bool approved;  // switched through StartupApproved rather than moved
};

// clang-format off
const SwitchCase kSwitchCases[] = {
    {"UserRunMoved",            0,  Rule::Backup,   false},
    {"MachineRunMoved",         2,  Rule::Backup,   false},
    {"UserRunOnceMoved",        4,  Rule::Backup,   false},
    {"MachineRunOnceMoved",     6,  Rule::Backup,   false},
    {"Run32Moved",              8,  Rule::Backup,   false},
    {"RunOnce32Moved",          10, Rule::Backup,   false},
    {"UserPolicyRunMoved",      12, Rule::Backup,   false},
    {"MachinePolicyRunMoved",   14, Rule::Backup,   false},
    {"UserRunApproved",         0,  Rule::Approved, true},
    {"MachineRunApproved",      2,  Rule::Approved, true},
    {"Run32Approved",           8,  Rule::Approved, true},
    // Places Task Manager does not switch move on every Windows.
    {"UserRunOnceOnWin10",      4,  Rule::Approved, false},
    {"RunOnce32OnWin10",        10, Rule::Approved, false},
    {"MachinePolicyRunOnWin10", 14, Rule::Approved, false},
};
// clang-format on

class Switching : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(Switching, OffOnAndUndoWithExactBytes) {
    const SwitchCase& c = GetParam();
    const StartupSource& live = startupSources()[c.source];
    const StartupSource& backup = startupSources()[c.source | 1];
    StartupRig rig;
    StartupList& list = rig.list();
    list.setSwitchRule(c.rule);
    const ValueState target{true, kRegExpandSz,
                            testing::ansiText("\"%ProgramFiles%\\工具\\t.exe\" -x")};
    rig.put(live.root, live.keyPath, "Keep", kRegSz, testing::ansiText("keep.exe"));
    rig.put(live.root, live.keyPath, "Target", target.type, target.data);
    const char* approvedKey = live.approvedKeyPath;
    if (approvedKey) rig.put(live.root, approvedKey, "Keep", kRegBinary, kOnBytes);
    const auto state = [&] {
        std::vector<ValueState> s{rig.stored(live.root, live.keyPath, "Target"),
                                  rig.stored(backup.root, backup.keyPath, "Target")};
        if (approvedKey) s.push_back(rig.stored(live.root, approvedKey, "Target"));
        return s;
    };
    const auto untouched = [&] {
        EXPECT_EQ(rig.stored(live.root, live.keyPath, "Keep"),
                  (ValueState{true, kRegSz, testing::ansiText("keep.exe")}));
        if (approvedKey) {
            EXPECT_EQ(rig.stored(live.root, approvedKey, "Keep"),
                      (ValueState{true, kRegBinary, kOnBytes}));
        }
    };
    const std::vector<ValueState> original = state();

    list.RefreshStartupList();
    ASSERT_TRUE(rig.checkOnly(c.source, "Target"));
    const SwitchOutcome off = list.SwitchSelected(false);
    EXPECT_EQ(off.switched, 1);
    EXPECT_EQ(off.failed, 0);
    EXPECT_EQ(off.shown, OutcomeMessage::SetDone);
    const ValueState absent;
    std::vector<ValueState> offState =
        c.approved ? std::vector<ValueState>{target, absent, {true, kRegBinary, kOffBytes}}
                   : std::vector<ValueState>{absent, target};
    if (approvedKey && !c.approved) offState.push_back(absent);
    EXPECT_EQ(state(), offState);
    untouched();
    const int offRow = rig.rowOf(c.approved ? c.source : (c.source | 1), "Target");
    ASSERT_GE(offRow, 0);
    EXPECT_FALSE(list.rows()[static_cast<std::size_t>(offRow)].on);
    EXPECT_EQ(list.rows()[static_cast<std::size_t>(offRow)].text,
              "\"%ProgramFiles%\\工具\\t.exe\" -x");
    EXPECT_TRUE(list.rows()[static_cast<std::size_t>(rig.rowOf(c.source, "Keep"))].on);

    // Switching it off again changes nothing.
    EXPECT_EQ(list.SwitchSelected(false).switched, 0);
    ASSERT_TRUE(rig.checkOnly(c.approved ? c.source : (c.source | 1), "Target"));
    const SwitchOutcome on = list.SwitchSelected(true);
    EXPECT_EQ(on.switched, 1);
    std::vector<ValueState> onState = original;
    if (c.approved) onState[2] = {true, kRegBinary, kOnBytes};
    EXPECT_EQ(state(), onState);
    untouched();
    EXPECT_TRUE(list.rows()[static_cast<std::size_t>(rig.rowOf(c.source, "Target"))].on);

    ASSERT_EQ(rig.fixture().undo().result, UndoResult::Done);
    EXPECT_EQ(state(), offState);
    ASSERT_EQ(rig.fixture().undo().result, UndoResult::Done);
    EXPECT_EQ(state(), original);
    untouched();
}

INSTANTIATE_TEST_SUITE_P(Startup, Switching, ::testing::ValuesIn(kSwitchCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SwitchConflict, NamesakeInTheBackupKeepsBothAsTheyWere) {
    StartupRig rig;
    const StartupSource& live = startupSources()[0];
    const StartupSource& backup = startupSources()[1];
    rig.put(live.root, live.keyPath, "Same", kRegSz, testing::ansiText("new.exe"));
    rig.put(backup.root, backup.keyPath, "Same", kRegSz, testing::ansiText("old.exe"));
    StartupList& list = rig.list();
    ASSERT_EQ(list.RefreshStartupList(), 2u);
    list.SelectAll();
    const SwitchOutcome off = list.SwitchSelected(false);
    EXPECT_EQ(off.switched, 0);
    EXPECT_EQ(off.failed, 1);  // the backup row is off already and left alone
    EXPECT_EQ(off.shown, OutcomeMessage::SetError);
    const SwitchOutcome on = list.SwitchSelected(true);
    EXPECT_EQ(on.failed, 1);
    EXPECT_EQ(rig.stored(live.root, live.keyPath, "Same"),
              (ValueState{true, kRegSz, testing::ansiText("new.exe")}));
    EXPECT_EQ(rig.stored(backup.root, backup.keyPath, "Same"),
              (ValueState{true, kRegSz, testing::ansiText("old.exe")}));
}

// ---- Approved values as Windows reads them ---------------------------------------------------

struct ApprovedCase {
    const char* name;
    std::uint32_t type;
    std::string bytes;
    bool on;
};

// clang-format off
const ApprovedCase kApprovedCases[] = {
    {"EnabledTwo",     kRegBinary, kOnBytes, true},
    {"EnabledSix",     kRegBinary, std::string("\x06\0\0\0\0\0\0\0\0\0\0\0", 12), true},
    {"DisabledThree",  kRegBinary, kOffBytes, false},
    {"DisabledSeven",  kRegBinary, std::string("\x07\0\0\0\1\2\3\4\5\6\7\x08", 12), false},
    {"TooShort",       kRegBinary, kOffBytes.substr(0, 11), true},
    {"TooLong",        kRegBinary, kOffBytes + '\0', true},
    {"NumberNotBinary", kRegDword, std::string("\3\0\0\0", 4), true},
    {"WrongTypeRightSize", kRegNone, kOffBytes, true},
};
// clang-format on

class ApprovedValues : public ::testing::TestWithParam<ApprovedCase> {};

TEST_P(ApprovedValues, ReadAsWindowsDoesAndRewrittenWhole) {
    const ApprovedCase& c = GetParam();
    EXPECT_EQ(approvedValueSaysOff(c.type, c.bytes), !c.on);
    StartupRig rig;
    const StartupSource& live = startupSources()[0];
    rig.put(live.root, live.keyPath, "App", kRegSz, testing::ansiText("app.exe"));
    rig.put(live.root, live.approvedKeyPath, "App", c.type, c.bytes);
    StartupList& list = rig.list();
    list.setSwitchRule(Rule::Approved);
    ASSERT_EQ(list.RefreshStartupList(), 1u);
    EXPECT_EQ(list.rows()[0].on, c.on);
    // Under the moving rule the approved value means nothing.
    list.setSwitchRule(Rule::Backup);
    list.RefreshStartupList();
    EXPECT_TRUE(list.rows()[0].on);

    list.setSwitchRule(Rule::Approved);
    list.RefreshStartupList();
    list.SelectAll();
    EXPECT_EQ(list.SwitchSelected(!c.on).switched, 1);
    EXPECT_EQ(rig.stored(live.root, live.approvedKeyPath, "App"),
              (ValueState{true, kRegBinary, c.on ? kOffBytes : kOnBytes}));
}

INSTANTIATE_TEST_SUITE_P(Startup, ApprovedValues, ::testing::ValuesIn(kApprovedCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ApprovedValues, BytesOfBothStates) {
    EXPECT_EQ(approvedValueBytes(false, testing::kSwitchTime), kOffBytes);
    EXPECT_EQ(approvedValueBytes(true, testing::kSwitchTime), kOnBytes);
}

// ---- The version rule ------------------------------------------------------------------------

struct RuleCase {
    WindowsGeneration generation;
    bool wine;
    Rule rule;
};

TEST(StartupSwitchRule, FromTheRegistrysVersion) {
    using G = WindowsGeneration;
    const RuleCase cases[] = {
        {G::Unknown, false, Rule::Backup}, {G::Win9x, false, Rule::Backup},
        {G::Xp, false, Rule::Backup},      {G::Vista7, false, Rule::Backup},
        {G::Win8, false, Rule::Approved},  {G::Win10, false, Rule::Approved},
        {G::Win11, false, Rule::Approved}, {G::Win10, true, Rule::Backup},
        {G::Win11, true, Rule::Backup},    {G::Xp, true, Rule::Backup},
    };
    for (const RuleCase& c : cases)
        EXPECT_EQ(startupSwitchRule(c.generation, c.wine), c.rule)
            << generationName(c.generation) << (c.wine ? " under Wine" : "");
}

}  // namespace
}  // namespace hivora
