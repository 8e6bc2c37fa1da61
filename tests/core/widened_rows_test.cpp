// Rows that write today's location beside the one they always wrote: both are written, and one
// undo puts both back as they were, whatever was there before (someone else's value included).

#include <gtest/gtest.h>

#include <algorithm>
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

const Place kMyDocumentsIcon{kHkeyCurrentUser, locations::kHideIconsNewStartPanel,
                             "{450D8FBA-AD25-11D0-98A8-0800361B1103}"};
const Place kUsersFilesIcon{kHkeyCurrentUser, locations::kHideIconsNewStartPanel,
                            "{59031a47-3f72-44a7-89c5-5595fe6b30ee}"};
const Place kNetworkPlacesIcon{kHkeyCurrentUser, locations::kHideIconsNewStartPanel,
                               "{208D2C60-3AEA-1069-A2D7-08002B30309D}"};
const Place kNetworkIcon{kHkeyCurrentUser, locations::kHideIconsNewStartPanel,
                         "{F02C1A0D-BE21-4350-88B0-7367FC96EF3C}"};
const Place kMyPicturesPolicy{kHkeyCurrentUser, locations::kExplorerPolicies,
                              "DisableMyPicturesDirChange"};
const Place kProfileFoldersPolicy{kHkeyCurrentUser, locations::kExplorerPolicies,
                                  "DisablePersonalDirChange"};
const Place kFolderOptions{kHkeyCurrentUser, locations::kExplorerPolicies, "NoFolderOptions"};
const Place kBrowserOptions{kHkeyCurrentUser, locations::kBrowserRestrictionPolicies,
                            "NoBrowserOptions"};

const WidenedCase kWidenedCases[] = {
    {"MyDocumentsIconOnEmpty",
     CataloguePage::HideShow,
     1,
     kMyDocumentsIcon,
     kUsersFilesIcon,
     {true, kRegDword, kDword1},
     {}},
    // The user had the icon shown through the desktop icon settings.
    {"NetworkIconOverShownIcon",
     CataloguePage::HideShow,
     2,
     kNetworkPlacesIcon,
     kNetworkIcon,
     {true, kRegDword, kDword1},
     {true, kRegDword, std::string(4, '\0')}},
    {"UserFoldersOnEmpty",
     CataloguePage::Restrictions,
     6,
     kMyPicturesPolicy,
     kProfileFoldersPolicy,
     {true, kRegDword, kDword1},
     {}},
    {"UserFoldersOverDisabledPolicy",
     CataloguePage::Restrictions,
     6,
     kMyPicturesPolicy,
     kProfileFoldersPolicy,
     {true, kRegDword, kDword1},
     {true, kRegDword, std::string(4, '\0')}},
    {"BrowserOptionsOnEmpty",
     CataloguePage::BrowserProperties,
     3,
     kFolderOptions,
     kBrowserOptions,
     {true, kRegDword, kDword1},
     {}},
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

// A row that names today's location writes it with both buttons, and has its case above.
TEST(WidenedRows, EachRowNamingTodaysLocationWritesItAndHasACase) {
    constexpr CataloguePage kPages[] = {CataloguePage::Desktop, CataloguePage::Restrictions,
                                        CataloguePage::HideShow, CataloguePage::BrowserProperties,
                                        CataloguePage::LogonStyle};
    for (CataloguePage page : kPages) {
        const auto rows = pageCatalogue(page).rows;
        for (std::size_t index = 0; index < rows.size(); ++index) {
            const CatalogueRow& row = rows[index];
            SCOPED_TRACE(std::string(pageName(page)) + " row " + std::to_string(index));
            const bool named = !row.todaysLocation.empty();
            EXPECT_EQ(row.set.todaysOps > 0, named);
            EXPECT_EQ(row.lift.todaysOps > 0, named);
            const bool hasCase = std::any_of(
                std::begin(kWidenedCases), std::end(kWidenedCases), [&](const WidenedCase& c) {
                    return c.page == page && c.row == static_cast<int>(index);
                });
            EXPECT_EQ(hasCase, named);
        }
    }
}

}  // namespace
}  // namespace hivora::testing
