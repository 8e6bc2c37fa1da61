// The startup list against an in-memory registry: what a refresh lists and in which order, which
// keys it keeps open and that clearing closes them all, the check-mark commands, and the remove
// command with the store agreeing or refusing.

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "tests/core/startup_harness.h"

namespace hivora {
namespace {

using testing::RunKey;
using testing::RunValue;
using testing::StartupHarness;

constexpr RegKey kHkcu = kHkeyCurrentUser;
constexpr RegKey kHklm = kHkeyLocalMachine;

struct Listed {
    RegKey root;
    std::string name;
    std::string text;
    bool operator==(const Listed&) const = default;
    friend void PrintTo(const Listed& l, std::ostream* out) {
        *out << (l.root == kHkeyLocalMachine ? "HKLM:" : "HKCU:") << l.name << "=" << l.text;
    }
};

std::string commandOf(std::size_t length) {
    std::string text = "C:\\Program Files\\";
    while (text.size() < length - 4) text += 'p';
    return text + ".exe";
}

struct ListCase {
    const char* name;
    RunKey user;
    RunKey machine;
    std::vector<Listed> rows;
    std::size_t keysOpen;
};

// clang-format off
const ListCase kListCases[] = {
    {"BothKeysUserFirst",
     std::vector<RunValue>{{"Tray", "tray.exe"}, {"Sync", "sync.exe /min"}},
     std::vector<RunValue>{{"Audio", "audio.exe"}},
     {{kHkcu, "Sync", "sync.exe /min"}, {kHkcu, "Tray", "tray.exe"}, {kHklm, "Audio", "audio.exe"}}, 2},
    {"UserKeyMissing", std::nullopt, std::vector<RunValue>{{"A", "a.exe"}, {"B", "b.exe"}},
     {{kHklm, "A", "a.exe"}, {kHklm, "B", "b.exe"}}, 1},
    {"BothKeysEmpty", std::vector<RunValue>{}, std::vector<RunValue>{}, {}, 0},
    {"NeitherKeyExists", std::nullopt, std::nullopt, {}, 0},
    {"DefaultValueHasEmptyName", std::vector<RunValue>{{"", "default.exe"}}, std::nullopt,
     {{kHkcu, "", "default.exe"}}, 1},
    {"ExpandableCommandShownAsStored",
     std::vector<RunValue>{{"Env", "%ProgramFiles%\\x.exe", kRegExpandSz}}, std::nullopt,
     {{kHkcu, "Env", "%ProgramFiles%\\x.exe"}}, 1},
    {"NumberValueHasNoText", std::vector<RunValue>{{"N", std::string("\1\0\0\0", 4), kRegDword}},
     std::nullopt, {{kHkcu, "N", ""}}, 1},
    {"LongCommandAndTheValuesAfterIt",
     std::vector<RunValue>{{"A", "a.exe"}, {"B", "b.exe"}, {"Long", commandOf(2000)}, {"After", "c"}},
     std::nullopt,
     {{kHkcu, "A", "a.exe"}, {kHkcu, "After", "c"}, {kHkcu, "B", "b.exe"}, {kHkcu, "Long", commandOf(2000)}}, 1},
};
// clang-format on

class RefreshLists : public ::testing::TestWithParam<ListCase> {};

TEST_P(RefreshLists, RowsHandlesAndClosing) {
    const ListCase& c = GetParam();
    StartupHarness harness;
    harness.seed(kHkcu, c.user);
    harness.seed(kHklm, c.machine);
    StartupList list(harness.layer());

    for (int pass = 0; pass < 2; ++pass) {  // a second refresh starts from nothing again
        EXPECT_EQ(list.RefreshStartupList(), c.rows.size());
        std::vector<Listed> rows;
        for (const StartupRow& row : list.rows()) {
            rows.push_back({row.root, row.name, row.text});
            EXPECT_EQ(row.checkState, kUnchecked);
        }
        EXPECT_EQ(rows, c.rows);
        EXPECT_EQ(harness.layer().OpenKeyHandleCount(), static_cast<int>(c.rows.size()));
        EXPECT_EQ(list.openKeyCount(), c.keysOpen);
        EXPECT_EQ(harness.store().openHandleCount(), c.keysOpen);
        // Rows of one key share its handle; the two keys' handles differ.
        const std::vector<RegKey> handles = list.OpenKeyHandles();
        for (std::size_t k = 0; k < handles.size(); ++k) {
            EXPECT_EQ(handles[k] == handles[0], list.rows()[k].root == list.rows()[0].root);
        }
    }
    list.ClearStartupRows();
    EXPECT_EQ(list.size(), 0u);
    EXPECT_EQ(harness.layer().OpenKeyHandleCount(), 0);
    EXPECT_EQ(harness.store().openHandleCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Startup, RefreshLists, ::testing::ValuesIn(kListCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StartupChecks, SelectAllAndInvert) {
    StartupHarness harness;
    harness.seed(kHkcu, std::vector<RunValue>{{"A", "a"}, {"B", "b"}, {"C", "c"}});
    StartupList list(harness.layer());
    list.RefreshStartupList();
    const auto states = [&] {
        std::vector<int> s;
        for (const StartupRow& row : list.rows()) s.push_back(row.checkState);
        return s;
    };
    list.setCheckState(1, kChecked);
    list.setCheckState(2, kGreyed);
    list.setCheckState(7, kChecked);  // out of range: ignored
    list.InvertSelection();
    EXPECT_EQ(states(), (std::vector<int>{1, 0, 1}));
    list.SelectAll();
    EXPECT_EQ(states(), (std::vector<int>{1, 1, 1}));
    list.InvertSelection();
    EXPECT_EQ(states(), (std::vector<int>{0, 0, 0}));
    list.InvertSelection();
    EXPECT_EQ(states(), (std::vector<int>{1, 1, 1}));
}

// ---- The remove command ------------------------------------------------------------------------

enum class Fault { None, RefuseWrites, FailSave, GoneBeforehand };

// Values are named "U:<name>" (the current user's) or "M:<name>" (the machine's).
struct RemoveCase {
    const char* name;
    std::vector<std::string> checked;  // of U:Same, U:Other, U:, M:Same, M:Last
    Fault fault;
    std::vector<std::string> gone;  // values no longer in the store afterwards
    int removed;
    int failed;
    OutcomeMessage shown;
};

// clang-format off
const RemoveCase kRemoveCases[] = {
    {"SameNameOnlyFromItsOwnKey", {"M:Same"}, Fault::None, {"M:Same"}, 1, 0, OutcomeMessage::SetDone},
    {"OneFromEachKey", {"U:Other", "M:Last"}, Fault::None, {"U:Other", "M:Last"}, 2, 0, OutcomeMessage::SetDone},
    {"DefaultValue", {"U:"}, Fault::None, {"U:"}, 1, 0, OutcomeMessage::SetDone},
    {"WholeMachineKey", {"M:Same", "M:Last"}, Fault::None, {"M:Same", "M:Last"}, 2, 0, OutcomeMessage::SetDone},
    {"NothingChecked", {}, Fault::None, {}, 0, 0, OutcomeMessage::None},
    {"StoreRefusesWrites", {"U:Same", "M:Same"}, Fault::RefuseWrites, {}, 0, 2, OutcomeMessage::SetError},
    {"SaveFailsAndUndoesAll", {"U:Same", "M:Same"}, Fault::FailSave, {}, 0, 2, OutcomeMessage::SetError},
    {"OneAlreadyGone", {"U:Other", "M:Last"}, Fault::GoneBeforehand, {"U:Other", "M:Last"}, 1, 1, OutcomeMessage::SetError},
};
// clang-format on

std::string idOf(RegKey root, const std::string& name) {
    return (root == kHkcu ? "U:" : "M:") + name;
}

class RemoveCommand : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(RemoveCommand, DeletesInTheRowsOwnKeyAndReports) {
    const RemoveCase& c = GetParam();
    StartupHarness harness;
    harness.seed(kHkcu, std::vector<RunValue>{{"Same", "u.exe"}, {"Other", "o.exe"}, {"", "d"}});
    harness.seed(kHklm, std::vector<RunValue>{{"Same", "m.exe"}, {"Last", "l.exe"}});
    StartupList list(harness.layer());
    ASSERT_EQ(list.RefreshStartupList(), 5u);
    for (std::size_t k = 0; k < list.size(); ++k) {
        const std::string id = idOf(list.rows()[k].root, list.rows()[k].name);
        if (std::count(c.checked.begin(), c.checked.end(), id)) list.setCheckState(k, kChecked);
    }
    if (c.fault == Fault::RefuseWrites) {
        harness.store().setFaults(RegistryFaults::refusingWrites(kErrorAccessDenied));
    } else if (c.fault == Fault::FailSave) {
        harness.store().setFaults(RegistryFaults::failingFlush());
    } else if (c.fault == Fault::GoneBeforehand) {
        ASSERT_TRUE(harness.layer().DeleteRegValue(kHkcu, kRunKeyPath, "Other", kKeyAllAccess));
    }

    const RemovalOutcome outcome = list.RemoveSelected();
    harness.store().setFaults({});

    EXPECT_EQ(outcome.removed, c.removed);
    EXPECT_EQ(outcome.failed, c.failed);
    EXPECT_EQ(outcome.shown, c.shown);
    EXPECT_EQ(outcome.refreshed, c.removed > 0);
    const std::pair<RegKey, const char*> all[] = {
        {kHkcu, "Same"}, {kHkcu, "Other"}, {kHkcu, ""}, {kHklm, "Same"}, {kHklm, "Last"}};
    for (const auto& [root, name] : all) {
        const std::string id = idOf(root, name);
        EXPECT_EQ(harness.hasValue(root, name), std::count(c.gone.begin(), c.gone.end(), id) == 0)
            << id;
    }
    // Keys the list no longer holds were closed, also one whose rows had all been removed.
    EXPECT_EQ(harness.store().openHandleCount(), list.openKeyCount());
    if (outcome.refreshed) {
        EXPECT_EQ(list.size(), 5 - c.gone.size());
    } else {  // nothing changed: the rows still refer to their keys, marks kept
        EXPECT_EQ(list.size(), 5u);
        for (const StartupRow& row : list.rows()) EXPECT_NE(row.key, kRemovedRowKey);
    }
    list.ClearStartupRows();
    EXPECT_EQ(harness.store().openHandleCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Startup, RemoveCommand, ::testing::ValuesIn(kRemoveCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace hivora
