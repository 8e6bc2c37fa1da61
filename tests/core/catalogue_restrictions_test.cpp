// The restriction rows: every forbid and lift writes its values (lift writes the "off" form, it
// never deletes) and raises NeedsRestart.

#include <gtest/gtest.h>

#include "tests/core/catalogue_harness.h"

namespace hivora::testing {
namespace {

constexpr RegKey kHkcr = kHkeyClassesRoot;
constexpr RegKey kHkcu = kHkeyCurrentUser;
constexpr RegKey kHku = kHkeyUsers;

const std::string kPolicies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const std::string kOldApp = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\WinOldApp";
const std::string kWindowsSystem = "Software\\Policies\\Microsoft\\Windows\\System";
const std::string kAdvanced = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
const std::string kDefaultSystem =
    ".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

constexpr RowButton kForbid = RowButton::Set;
constexpr RowButton kLift = RowButton::Lift;
constexpr OutcomeMessage kSetDone = OutcomeMessage::SetDone;
constexpr OutcomeMessage kUnsetDone = OutcomeMessage::UnsetDone;

Effect flag(const char* name, const std::string& bytes) {
    return binary(kHkcu, kPolicies, name, bytes);
}
Effect policy(const char* name, std::uint32_t value) {
    return dword(kHkcu, kPolicies, name, value);
}
// The default profile's copy first, then the current user's, which is the one that binds.
std::vector<Effect> systemPolicy(const char* name, std::uint32_t value) {
    return {dword(kHku, kDefaultSystem, name, value),
            dword(kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System", name,
                  value)};
}
std::vector<Effect> recentDocs(const std::string& bytes) {
    return {flag("NoRecentDocsHistory", bytes), flag("ClearRecentDocsonExit", bytes)};
}
// The three folders, then today's policy for every profile folder (removed when lifting).
std::vector<Effect> folderChanges(std::uint32_t value) {
    return {policy("DisableMyPicturesDirChange", value), policy("DisableFavoritesDirChange", value),
            policy("DisableMyMusicDirChange", value),
            value ? policy("DisablePersonalDirChange", 1)
                  : removed(kHkcu, kPolicies, "DisablePersonalDirChange")};
}

const RowCase kRestrictionCases[] = {
    {"Row0Forbid", 0, kForbid, {}, {flag("NoViewContextMenu", kOn)}, kSetDone},
    {"Row0Lift", 0, kLift, {}, {flag("NoViewContextMenu", kOff)}, kUnsetDone},
    {"Row1Forbid", 1, kForbid, {}, {flag("NoTrayContextMenu", kOn)}, kSetDone},
    {"Row1Lift", 1, kLift, {}, {flag("NoTrayContextMenu", kOff)}, kUnsetDone},
    {"Row2Forbid", 2, kForbid, {}, recentDocs(kOn), kSetDone},
    {"Row2Lift", 2, kLift, {}, recentDocs(kOff), kUnsetDone},
    // No drive type runs automatically; lifting gives Windows' own default mask back.
    {"Row3ForbidEveryType",
     3,
     kForbid,
     {},
     {flag("NoDriveTypeAutoRun", std::string("\xFF\0\0\0", 4))},
     kSetDone},
    {"Row3LiftToWindowsDefault",
     3,
     kLift,
     {},
     {flag("NoDriveTypeAutoRun", std::string("\x91\0\0\0", 4))},
     kUnsetDone},
    {"Row4ForbidOneBlank", 4, kForbid, {}, {sz(kHkcr, "AudioCD\\shell", "", " ")}, kSetDone},
    {"Row4LiftPlay", 4, kLift, {}, {sz(kHkcr, "AudioCD\\shell", "", "Play")}, kUnsetDone},
    // Windows 9x's switch, then today's command prompt policy (2: batch files still run).
    {"Row5ForbidBothPlaces",
     5,
     kForbid,
     {},
     {binary(kHkcu, kOldApp, "Disabled", kOn), dword(kHkcu, kWindowsSystem, "DisableCMD", 2)},
     kSetDone},
    {"Row5LiftBothPlaces",
     5,
     kLift,
     {},
     {binary(kHkcu, kOldApp, "Disabled", kOff), removed(kHkcu, kWindowsSystem, "DisableCMD")},
     kUnsetDone},
    {"Row6Forbid", 6, kForbid, {}, folderChanges(1), kSetDone},
    {"Row6Lift", 6, kLift, {}, folderChanges(0), kUnsetDone},
    // The value switches info tips on: forbidding writes 0.
    {"Row7ForbidWritesZero", 7, kForbid, {}, {dword(kHkcu, kAdvanced, "ShowInfoTip", 0)}, kSetDone},
    {"Row7LiftWritesOne", 7, kLift, {}, {dword(kHkcu, kAdvanced, "ShowInfoTip", 1)}, kUnsetDone},
    {"Row8Forbid", 8, kForbid, {}, systemPolicy("NoDispCPL", 1), kSetDone},
    {"Row8Lift", 8, kLift, {}, systemPolicy("NoDispCPL", 0), kUnsetDone},
    {"Row9Forbid", 9, kForbid, {}, systemPolicy("DisableRegistryTools", 1), kSetDone},
    {"Row9Lift", 9, kLift, {}, systemPolicy("DisableRegistryTools", 0), kUnsetDone},
    {"Row10Forbid", 10, kForbid, {}, {flag("NoSetFolders", kOn)}, kSetDone},
    {"Row10Lift", 10, kLift, {}, {flag("NoSetFolders", kOff)}, kUnsetDone},
    {"Row11Forbid", 11, kForbid, {}, systemPolicy("DisableTaskMgr", 1), kSetDone},
    {"Row11Lift", 11, kLift, {}, systemPolicy("DisableTaskMgr", 0), kUnsetDone},
    {"Row12Forbid", 12, kForbid, {}, {policy("NoChangeStartMenu", 1)}, kSetDone},
    {"Row12Lift", 12, kLift, {}, {policy("NoChangeStartMenu", 0)}, kUnsetDone},
};

class RestrictionRows : public ::testing::TestWithParam<RowCase> {};

TEST_P(RestrictionRows, WritesShowsAndNeedsRestart) {
    checkRowCase(CataloguePage::Restrictions, GetParam(), /*raisesRestart=*/true);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, RestrictionRows, ::testing::ValuesIn(kRestrictionCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RestrictionRowsTable, CoversEveryButtonOfEveryRow) {
    expectEveryButtonCovered(CataloguePage::Restrictions, kRestrictionCases);
}

// Lifting after forbidding leaves the flag raised, and so does a later row of another page.
TEST(RestrictionRows, NeedsRestartIsNeverLowered) {
    CatalogueHarness harness;
    EXPECT_EQ(harness.framework().needsRestartFlag(), 0);
    (void)harness.run(CataloguePage::Restrictions, 2, kForbid);
    EXPECT_EQ(harness.framework().needsRestartFlag(), -1);
    (void)harness.run(CataloguePage::Restrictions, 2, kLift);
    (void)harness.run(CataloguePage::Desktop, 0, RowButton::Lift);
    (void)harness.run(CataloguePage::HideShow, 3, RowButton::Lift);
    EXPECT_TRUE(harness.framework().NeedsRestart());
}

}  // namespace
}  // namespace hivora::testing
