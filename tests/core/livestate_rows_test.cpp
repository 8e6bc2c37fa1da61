// Every row of every page: its state on an empty store, after its set button, after its lift
// button, and after another program wrote a value of a type neither button writes. Then the
// cases where the data alone could mislead: texts stored with a NUL, half-set rows, asking rows
// with some of their values, drive masks, and the tooltip.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "core/catalogue/registry_locations.h"
#include "tests/core/livestate_rig.h"

namespace hivora::testing {
namespace {

using Page = CataloguePage;
constexpr SettingState kSet = SettingState::Set;
constexpr SettingState kNotSet = SettingState::NotSet;
constexpr SettingState kMixed = SettingState::Mixed;

struct RowExpectation {
    const char* name;
    Page page;
    int row;
    SettingState onEmptyStore;
    Answers setAnswers{};              // for rows whose set asks
    const char* valueShows = nullptr;  // asking rows: a part of the value text after the set
};

// Rows on an empty store: "mixed" where the set's effect is partly the empty store's state (the
// desktop items' keys are absent, as hiding leaves them; no "IsShortcut" is there, as removing
// the arrow leaves it).
const RowExpectation kRows[] = {
    {"desktop icons", Page::Desktop, 0, kNotSet},
    {"keep desktop", Page::Desktop, 1, kNotSet},
    {"menu alignment", Page::Desktop, 2, kNotSet},
    {"full drag", Page::Desktop, 3, kNotSet},
    {"taskbar text", Page::Desktop, 4, kNotSet, {{"你好"}, {kIdYes, kIdNo}}, "你好"},
    {"info tips", Page::Desktop, 5, kNotSet},
    {"taskbar menu", Page::Desktop, 6, kNotSet},
    {"wallpaper", Page::Desktop, 7, kNotSet, {{"2"}, {}, {kExistingPicture}}, "sea.bmp"},
    {"wallpaper origin", Page::Desktop, 8, kNotSet, {{"100", "200"}}, "100"},
    {"shortcut arrow", Page::Desktop, 9, kMixed},
    {"shortcut prefix", Page::Desktop, 10, kNotSet},
    {"icon size", Page::Desktop, 11, kNotSet, {{"48"}}, "48"},
    {"view menu", Page::Restrictions, 0, kNotSet},
    {"tray menu", Page::Restrictions, 1, kNotSet},
    {"recent documents", Page::Restrictions, 2, kNotSet},
    {"autorun", Page::Restrictions, 3, kNotSet},
    {"audio cd", Page::Restrictions, 4, kNotSet},
    {"dos mode", Page::Restrictions, 5, kNotSet},
    {"user folders", Page::Restrictions, 6, kNotSet},
    {"info tip policy", Page::Restrictions, 7, kNotSet},
    {"display settings", Page::Restrictions, 8, kNotSet},
    {"registry editor", Page::Restrictions, 9, kNotSet},
    {"control panel", Page::Restrictions, 10, kNotSet},
    {"task manager", Page::Restrictions, 11, kNotSet},
    {"start menu", Page::Restrictions, 12, kNotSet},
    {"recycle bin", Page::HideShow, 0, kMixed},
    {"my documents", Page::HideShow, 1, kMixed},
    {"network places", Page::HideShow, 2, kNotSet},
    {"my computer", Page::HideShow, 3, kNotSet},
    {"browser icon", Page::HideShow, 4, kNotSet},
    {"drives", Page::HideShow, 5, kNotSet, {{"cd"}}, "CD"},
    {"hidden files", Page::HideShow, 6, kNotSet},
    {"shut down", Page::HideShow, 7, kNotSet},
    {"log off", Page::HideShow, 8, kNotSet},
    {"search", Page::HideShow, 9, kNotSet},
    {"recent documents menu", Page::HideShow, 10, kNotSet},
    {"run", Page::HideShow, 11, kNotSet},
};

void PrintTo(const RowExpectation& c, std::ostream* out) {
    *out << c.name;
}

class EveryRow : public ::testing::TestWithParam<RowExpectation> {};

// A value of a type that no button writes (a list of texts) at the first value the lift touches.
void writeForeignValue(LiveStateRig& rig, const CatalogueRow& row) {
    for (const RegOp& op : row.lift.ops) {
        if (op.kind == RegOpKind::CreateKey || op.kind == RegOpKind::RemoveKey) continue;
        rig.writeForeign(op.root, op.key, op.name, kRegMultiSz, std::string("x\0\0", 3));
        return;
    }
    ADD_FAILURE() << "the lift writes no value";
}

TEST_P(EveryRow, FollowsItsButtonsAndForeignWrites) {
    const RowExpectation& c = GetParam();
    const CatalogueRow& row = pageCatalogue(c.page).rows[static_cast<std::size_t>(c.row)];
    LiveStateRig rig;

    const RowState empty = rig.state(c.page, c.row);
    EXPECT_EQ(empty.state, c.onEmptyStore);
    EXPECT_FALSE(empty.readings.empty());

    rig.press(c.page, c.row, RowButton::Set, c.setAnswers);
    const RowState set = rig.state(c.page, c.row);
    EXPECT_EQ(set.state, kSet);
    if (c.valueShows) {
        EXPECT_NE(set.valueText.find(c.valueShows), std::string::npos) << set.valueText;
    } else {
        EXPECT_EQ(set.valueText, "");
    }

    rig.press(c.page, c.row, RowButton::Lift);
    const RowState lifted = rig.state(c.page, c.row);
    EXPECT_EQ(lifted.state, kNotSet);
    EXPECT_EQ(lifted.valueText, "");

    rig.press(c.page, c.row, RowButton::Set, c.setAnswers);
    writeForeignValue(rig, row);
    EXPECT_EQ(rig.state(c.page, c.row).state, kMixed);
}

INSTANTIATE_TEST_SUITE_P(LiveState, EveryRow, ::testing::ValuesIn(kRows), [](const auto& info) {
    std::string name = info.param.name;
    for (char& ch : name) ch = std::isalnum(ch) ? ch : '_';
    return name;
});

TEST(LiveState, EveryRowOfEveryPageHasItsCase) {
    std::set<std::pair<Page, int>> covered;
    for (const RowExpectation& c : kRows) covered.insert({c.page, c.row});
    for (const StatePage& page : statePages()) {
        const auto rows = static_cast<int>(pageCatalogue(page.page).rows.size());
        for (int row = 0; row < rows; ++row) {
            EXPECT_TRUE(covered.count({page.page, row})) << page.name << " row " << row;
        }
    }
}

// ---- Values other programs leave ---------------------------------------------------------------

struct ForeignValue {
    RegKey root;
    std::string key;
    std::string name;
    std::uint32_t type;
    std::string bytes;
};

struct StoreCase {
    const char* name;
    Page page;
    int row;
    std::vector<ForeignValue> values;
    SettingState expected;
    std::string valueText{};
};

std::string dwordBytes(std::uint32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

using namespace locations;
const std::string kOnFlag("\x01\0\0\0", 4);

const StoreCase kStoreCases[] = {
    {"text with its terminating NUL counts as the text",
     Page::Desktop,
     2,
     {{kHkeyCurrentUser, kDesktopSettings, "MenuDropAlignment", kRegSz, std::string("1\0", 2)}},
     kSet},
    {"text of another value is mixed",
     Page::Desktop,
     2,
     {{kHkeyCurrentUser, kDesktopSettings, "MenuDropAlignment", kRegSz, "2"}},
     kMixed},
    {"names differ from the row's only in letter case",
     Page::Restrictions,
     0,
     {{kHkeyCurrentUser, "SOFTWARE\\microsoft\\Windows\\CurrentVersion\\Policies\\EXPLORER",
       "noviewcontextmenu", kRegBinary, kOnFlag}},
     kSet},
    {"one of the two values forbidden is mixed",
     Page::Restrictions,
     2,
     {{kHkeyCurrentUser, kExplorerPolicies, "NoRecentDocsHistory", kRegBinary, kOnFlag}},
     kMixed},
    {"a number where the flag bytes belong is mixed",
     Page::Restrictions,
     5,
     {{kHkeyCurrentUser, kWinOldAppPolicies, "Disabled", kRegDword, dwordBytes(1)}},
     kMixed},
    {"an asking row with one of its values is set",
     Page::Desktop,
     8,
     {{kHkeyCurrentUser, kDesktopSettings, "WallpaperOriginX", kRegSz, "100"}},
     kSet,
     "100"},
    {"an asking row holding what lifting writes is not set",
     Page::Desktop,
     11,
     {{kHkeyCurrentUser, kWindowMetrics, "Shell Icon Size", kRegSz, "32"}},
     kNotSet},
    {"an asking row's value of another type is mixed",
     Page::Desktop,
     7,
     {{kHkeyCurrentUser, kSystemPolicies, "Wallpaper", kRegDword, dwordBytes(3)}},
     kMixed},
    {"every drive hidden",
     Page::HideShow,
     5,
     {{kHkeyCurrentUser, kExplorerPolicies, "NoDrives", kRegDword, dwordBytes(0xFFFFFFFF)}},
     kSet,
     "全部驱动器"},
    {"drives C and Z hidden",
     Page::HideShow,
     5,
     {{kHkeyCurrentUser, kExplorerPolicies, "NoDrives", kRegDword, dwordBytes(4 | (1u << 25))}},
     kSet,
     "CZ"},
    {"the browser icon's key alone does not decide",
     Page::HideShow,
     4,
     {{kHkeyCurrentUser, kHideIconsNewStartPanel, "{871C5380-42A0-1069-A2EA-08002B30309D}",
       kRegDword, dwordBytes(0)},
      {kHkeyCurrentUser, kHideIconsClassicStartMenu, "{871C5380-42A0-1069-A2EA-08002B30309D}",
       kRegDword, dwordBytes(0)}},
     kNotSet},
};

void PrintTo(const StoreCase& c, std::ostream* out) {
    *out << c.name;
}

class StoreValues : public ::testing::TestWithParam<StoreCase> {};

TEST_P(StoreValues, ReadAsExpected) {
    const StoreCase& c = GetParam();
    LiveStateRig rig;
    for (const ForeignValue& v : c.values) rig.writeForeign(v.root, v.key, v.name, v.type, v.bytes);
    const RowState state = rig.state(c.page, c.row);
    EXPECT_EQ(state.state, c.expected);
    EXPECT_EQ(state.valueText, c.valueText);
}

INSTANTIATE_TEST_SUITE_P(LiveState, StoreValues, ::testing::ValuesIn(kStoreCases));

TEST(LiveState, KeysOfAllRowsListEachKeyOnce) {
    LiveStateRig rig;
    const auto keys = rig.reader().keysOfAllRows();
    const auto count = [&](RegKey root, const std::string& key) {
        return std::count(keys.begin(), keys.end(), std::pair(root, key));
    };
    EXPECT_EQ(count(kHkeyCurrentUser, kExplorerPolicies), 1);
    EXPECT_EQ(count(kHkeyClassesRoot, kShortcutClass), 1);
    EXPECT_EQ(count(kHkeyUsers, kDefaultSystemPolicies), 1);
}

TEST(LiveState, TooltipNamesKeyValueAndData) {
    LiveStateRig rig;
    rig.press(Page::HideShow, 0, RowButton::Set);
    const std::string tip = stateTooltip(rig.state(Page::HideShow, 0));
    EXPECT_EQ(tip.rfind("已设置\n", 0), 0u) << tip;
    EXPECT_NE(tip.find("HKEY_LOCAL_MACHINE\\" + std::string(kDesktopNameSpace) +
                       "{645FF040-5081-101B-9F08-00AA002F954E}  (项不存在)"),
              std::string::npos)
        << tip;
    EXPECT_NE(tip.find("HKEY_CURRENT_USER\\" + std::string(kHideIconsNewStartPanel) +
                       "  {645FF040-5081-101B-9F08-00AA002F954E} = 1"),
              std::string::npos)
        << tip;

    rig.press(Page::Desktop, 4, RowButton::Set, {{"你好"}, {kIdNo}});
    const std::string asked = stateTooltip(rig.state(Page::Desktop, 4));
    EXPECT_NE(asked.find("已设置：你好"), std::string::npos) << asked;
    EXPECT_NE(asked.find("sTimeFormat = 你好"), std::string::npos) << asked;

    EXPECT_NE(stateTooltip(rig.state(Page::Desktop, 0)).find("NoDesktop = (不存在)"),
              std::string::npos);
}

}  // namespace
}  // namespace hivora::testing
