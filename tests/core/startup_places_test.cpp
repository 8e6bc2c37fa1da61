// Every registry place of the startup list, one table row each: what a refresh lists and tags,
// that deleting one entry removes exactly it and undo brings its type and bytes back, and that
// the place's other entries and a namesake in another place stay as they were.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/core/startup_rig.h"

namespace hivora {
namespace {

using testing::StartupRig;

struct PlaceCase {
    const char* name;
    std::size_t source;
    const char* tag;
};

// clang-format off
const PlaceCase kPlaces[] = {
    {"UserRun",           0,  "HKCU\\Run"},
    {"MachineRun",        2,  "HKLM\\Run"},
    {"UserRunOnce",       4,  "HKCU\\RunOnce"},
    {"MachineRunOnce",    6,  "HKLM\\RunOnce"},
    {"Run32",             8,  "HKLM\\Run（32位）"},
    {"RunOnce32",         10, "HKLM\\RunOnce（32位）"},
    {"UserPolicyRun",     12, "HKCU\\策略Run"},
    {"MachinePolicyRun",  14, "HKLM\\策略Run"},
};
// clang-format on

class Places : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(Places, ListDeleteUndo) {
    const PlaceCase& c = GetParam();
    const StartupSource& where = startupSources()[c.source];
    StartupRig rig;
    const std::string target = testing::ansiText("%SystemRoot%\\目标.exe /q");
    rig.put(where.root, where.keyPath, "Before", kRegSz, testing::ansiText("before.exe"));
    rig.put(where.root, where.keyPath, "Target", kRegExpandSz, target);
    rig.put(where.root, where.keyPath, "Number", kRegDword, std::string("\7\0\0\0", 4));
    // A namesake in another place, which no command on this place may touch.
    const StartupSource& elsewhere = startupSources()[c.source == 0 ? 2 : 0];
    rig.put(elsewhere.root, elsewhere.keyPath, "Target", kRegSz, testing::ansiText("other.exe"));

    StartupList& list = rig.list();
    ASSERT_EQ(list.RefreshStartupList(), 4u);
    std::vector<std::string> names;
    for (const StartupRow& row : list.rows()) {
        if (row.source != c.source) continue;
        names.push_back(row.name);
        EXPECT_STREQ(row.where().tag, c.tag);
        EXPECT_TRUE(row.on);
        EXPECT_EQ(row.root, where.root);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Before", "Number", "Target"}));
    // Places keep the order: every row of a source before the rows of later ones.
    for (std::size_t k = 1; k < list.size(); ++k)
        EXPECT_LE(list.rows()[k - 1].source, list.rows()[k].source);
    const StartupRow& shown = list.rows()[static_cast<std::size_t>(rig.rowOf(c.source, "Target"))];
    EXPECT_EQ(shown.text, "%SystemRoot%\\目标.exe /q");
    EXPECT_TRUE(shown.expandable);

    const ValueState before = rig.stored(where.root, where.keyPath, "Before");
    const ValueState number = rig.stored(where.root, where.keyPath, "Number");
    const ValueState namesake = rig.stored(elsewhere.root, elsewhere.keyPath, "Target");

    ASSERT_TRUE(rig.checkOnly(c.source, "Target"));
    const RemovalOutcome removed = list.RemoveSelected();
    EXPECT_EQ(removed.removed, 1);
    EXPECT_EQ(removed.failed, 0);
    EXPECT_FALSE(rig.stored(where.root, where.keyPath, "Target").present);
    EXPECT_EQ(rig.rowOf(c.source, "Target"), -1);
    EXPECT_EQ(rig.stored(where.root, where.keyPath, "Before"), before);
    EXPECT_EQ(rig.stored(where.root, where.keyPath, "Number"), number);
    EXPECT_EQ(rig.stored(elsewhere.root, elsewhere.keyPath, "Target"), namesake);

    ASSERT_EQ(rig.fixture().undo().result, UndoResult::Done);
    EXPECT_EQ(rig.stored(where.root, where.keyPath, "Target"),
              (ValueState{true, kRegExpandSz, target}));
    list.RefreshStartupList();
    EXPECT_GE(rig.rowOf(c.source, "Target"), 0);
    EXPECT_EQ(rig.stored(elsewhere.root, elsewhere.keyPath, "Target"), namesake);
}

INSTANTIATE_TEST_SUITE_P(Startup, Places, ::testing::ValuesIn(kPlaces),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Winlogon --------------------------------------------------------------------------------

struct WinlogonCase {
    const char* name;
    const char* shell;     // nullptr: absent
    const char* userinit;  // nullptr: absent
    std::vector<std::string> listed;
};

// clang-format off
const WinlogonCase kWinlogonCases[] = {
    {"DefaultsAreNotListed", "explorer.exe", "C:\\Windows\\system32\\userinit.exe,", {}},
    {"DefaultsInOtherCaseAndSpelling", "Explorer.EXE ", "%SystemRoot%\\System32\\userinit.exe", {}},
    {"AbsentIsNotListed", nullptr, nullptr, {}},
    {"ReplacedShell", "evil.exe", "C:\\Windows\\system32\\userinit.exe,", {"Shell"}},
    {"AddedToUserinit", "explorer.exe", "C:\\Windows\\system32\\userinit.exe,C:\\x.exe", {"Userinit"}},
    {"Both", "explorer.exe,x.exe", "y.exe", {"Shell", "Userinit"}},
};
// clang-format on

class Winlogon : public ::testing::TestWithParam<WinlogonCase> {};

TEST_P(Winlogon, ListedWhenNotDefaultAndRestoredWithUndo) {
    const WinlogonCase& c = GetParam();
    StartupRig rig;
    rig.put(kHkeyLocalMachine, kWinlogonKeyPath, "AutoRestartShell", kRegDword,
            std::string("\1\0\0\0", 4));
    if (c.shell)
        rig.put(kHkeyLocalMachine, kWinlogonKeyPath, "Shell", kRegSz, testing::ansiText(c.shell));
    if (c.userinit)
        rig.put(kHkeyLocalMachine, kWinlogonKeyPath, "Userinit", kRegSz,
                testing::ansiText(c.userinit));
    StartupList& list = rig.list();
    list.RefreshStartupList();
    std::vector<std::string> listed;
    for (const StartupRow& row : list.rows()) {
        EXPECT_EQ(row.source, kWinlogonSource);
        listed.push_back(row.name);
    }
    ASSERT_EQ(listed, c.listed);
    if (listed.empty()) return;

    const ValueState otherBefore =
        rig.stored(kHkeyLocalMachine, kWinlogonKeyPath, "AutoRestartShell");
    const ValueState changed = rig.stored(kHkeyLocalMachine, kWinlogonKeyPath, listed[0]);
    // Never switched off.
    const std::size_t first = 0;
    const SwitchOutcome off = list.switchRows({&first, 1}, false);
    EXPECT_EQ(off.failed, 1);
    EXPECT_EQ(rig.stored(kHkeyLocalMachine, kWinlogonKeyPath, listed[0]), changed);

    const SwitchOutcome restored = list.restoreDefaultRows({&first, 1});
    EXPECT_EQ(restored.switched, 1);
    EXPECT_EQ(restored.shown, OutcomeMessage::SetDone);
    EXPECT_EQ(
        rig.stored(kHkeyLocalMachine, kWinlogonKeyPath, listed[0]),
        (ValueState{true, kRegSz, testing::ansiText(std::string(winlogonDefault(listed[0])))}));
    EXPECT_EQ(rig.stored(kHkeyLocalMachine, kWinlogonKeyPath, "AutoRestartShell"), otherBefore);
    EXPECT_EQ(list.size(), listed.size() - 1);

    ASSERT_EQ(rig.fixture().undo().result, UndoResult::Done);
    EXPECT_EQ(rig.stored(kHkeyLocalMachine, kWinlogonKeyPath, listed[0]), changed);
}

INSTANTIATE_TEST_SUITE_P(Startup, Winlogon, ::testing::ValuesIn(kWinlogonCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(WinlogonRemoval, DeleteRestoresTheDefaultInstead) {
    StartupRig rig;
    rig.put(kHkeyLocalMachine, kWinlogonKeyPath, "Shell", kRegSz, testing::ansiText("evil.exe"));
    StartupList& list = rig.list();
    ASSERT_EQ(list.RefreshStartupList(), 1u);
    list.SelectAll();
    EXPECT_EQ(list.RemoveSelected().removed, 1);
    EXPECT_EQ(rig.stored(kHkeyLocalMachine, kWinlogonKeyPath, "Shell"),
              (ValueState{true, kRegSz, testing::ansiText(kDefaultShell)}));
    ASSERT_EQ(rig.fixture().undo().result, UndoResult::Done);
    EXPECT_EQ(rig.stored(kHkeyLocalMachine, kWinlogonKeyPath, "Shell"),
              (ValueState{true, kRegSz, testing::ansiText("evil.exe")}));
}

}  // namespace
}  // namespace hivora
