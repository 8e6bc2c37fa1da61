// Every row of every page: its state on an empty store, after its set button, after its lift
// button, and after another program wrote a value of a type neither button writes. Then the
// cases where the data alone could mislead: texts stored with a NUL, half-set rows, asking rows
// with some of their values, drive masks, and the tooltip.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "core/catalogue/browser_page.h"
#include "core/catalogue/registry_locations.h"
#include "core/catalogue/system_info_page.h"
#include "tests/core/livestate_rig.h"

namespace hivora::testing {
namespace {

using Page = CataloguePage;
constexpr SettingState kSet = SettingState::Set;
constexpr SettingState kNotSet = SettingState::NotSet;
constexpr SettingState kMixed = SettingState::Mixed;

struct RowExpectation {
    const char* name;
    std::string_view page;  // as statePages() names it
    int row;
    SettingState onEmptyStore;
    Answers setAnswers{};              // the text-box rows take inputs[0] as their text
    const char* valueShows = nullptr;  // asking rows: a part of the value text after the set
    Answers liftAnswers{};
    SettingState afterLift = kNotSet;
    SettingState afterForeign = kMixed;
};

constexpr std::string_view kLogon = "开机启动·登录系统样式";
constexpr std::string_view kDesktop = "桌面背景";
constexpr std::string_view kAddresses = "IE设置·页面";
constexpr std::string_view kBrowser = "IE设置·属性";
constexpr std::string_view kRestrictions = "系统设置·禁止";
constexpr std::string_view kHideShow = "系统设置·隐藏";
constexpr std::string_view kFolders = "系统信息·目录位置";
constexpr std::string_view kRegistration = "系统信息·注册到";

const Answers kFolder{{kExistingFolder}};
const Answers kAlias{{"home", "http://example.cn"}, {kIdYes}};

// Rows on an empty store: "mixed" where the set's effect is partly the empty store's state (the
// desktop items' keys are absent, as hiding leaves them; no "IsShortcut" is there, as removing
// the arrow leaves it); "set" where the set removes what an empty store lacks anyway.
const RowExpectation kRows[] = {
    {"logon notice", kLogon, 0, kNotSet, {{"通知", "内容"}}, "通知"},
    {"force auto logon", kLogon, 1, kNotSet},
    {"hide last user", kLogon, 2, kNotSet},
    {"auto logon", kLogon, 3, kNotSet, {{"admin", "secret"}}, "admin"},
    {"desktop icons", kDesktop, 0, kNotSet},
    {"keep desktop", kDesktop, 1, kNotSet},
    {"menu alignment", kDesktop, 2, kNotSet},
    {"full drag", kDesktop, 3, kNotSet},
    {"taskbar text", kDesktop, 4, kNotSet, {{"你好"}, {kIdYes, kIdNo}}, "你好"},
    {"info tips", kDesktop, 5, kNotSet},
    {"taskbar menu", kDesktop, 6, kNotSet},
    {"wallpaper", kDesktop, 7, kNotSet, {{"2"}, {}, {kExistingPicture}}, "sea.bmp"},
    {"wallpaper origin", kDesktop, 8, kNotSet, {{"100", "200"}}, "100"},
    {"shortcut arrow", kDesktop, 9, kMixed},
    {"shortcut prefix", kDesktop, 10, kNotSet},
    {"icon size", kDesktop, 11, kNotSet, {{"48"}}, "48"},
    {"home page", kAddresses, 0, kNotSet, {{"http://example.cn/"}}, "example.cn"},
    {"start page", kAddresses, 1, kNotSet, {{"http://example.cn/"}}, "example.cn"},
    {"search page", kAddresses, 2, kNotSet, {{"http://example.cn/s"}}, "example.cn/s"},
    {"window title", kAddresses, 3, kNotSet, {{"浏览器"}}, "浏览器"},
    {"lock home page", kBrowser, 0, kNotSet},
    {"view source", kBrowser, 1, kNotSet},
    {"advanced tab", kBrowser, 2, kNotSet},
    {"internet options", kBrowser, 3, kNotSet},
    // An empty store has no original address bar to restore, so the lift leaves it replaced;
    // a value of another type there is not the replacement.
    {"address bar", kBrowser, 4, kNotSet, {}, nullptr, {}, kSet, kNotSet},
    {"aliases", kBrowser, 5, kNotSet, kAlias, "about:home", {{"home"}, {kIdYes}}, kNotSet, kSet},
    {"open maximised", kBrowser, 6, kSet},
    {"languages", kBrowser, 7, kNotSet},
    {"toolbar picture", kBrowser, 8, kNotSet, {{}, {}, {kExistingPicture}}, "sea.bmp"},
    {"toolbars", kBrowser, 9, kNotSet},
    {"status bar", kBrowser, 10, kNotSet},
    {"links folder", kBrowser, 11, kNotSet, {{"收藏"}}, "收藏"},
    {"view menu", kRestrictions, 0, kNotSet},
    {"tray menu", kRestrictions, 1, kNotSet},
    {"recent documents", kRestrictions, 2, kNotSet},
    {"autorun", kRestrictions, 3, kNotSet},
    {"audio cd", kRestrictions, 4, kNotSet},
    {"dos mode", kRestrictions, 5, kNotSet},
    {"user folders", kRestrictions, 6, kNotSet},
    {"info tip policy", kRestrictions, 7, kNotSet},
    {"display settings", kRestrictions, 8, kNotSet},
    {"registry editor", kRestrictions, 9, kNotSet},
    {"control panel", kRestrictions, 10, kNotSet},
    {"task manager", kRestrictions, 11, kNotSet},
    {"start menu", kRestrictions, 12, kNotSet},
    {"recycle bin", kHideShow, 0, kMixed},
    {"my documents", kHideShow, 1, kMixed},
    {"network places", kHideShow, 2, kNotSet},
    {"my computer", kHideShow, 3, kNotSet},
    {"browser icon", kHideShow, 4, kNotSet},
    {"drives", kHideShow, 5, kNotSet, {{"cd"}}, "CD"},
    {"hidden files", kHideShow, 6, kNotSet},
    {"shut down", kHideShow, 7, kNotSet},
    {"log off", kHideShow, 8, kNotSet},
    {"search", kHideShow, 9, kNotSet},
    {"recent documents menu", kHideShow, 10, kNotSet},
    {"run", kHideShow, 11, kNotSet},
    {"documents folder", kFolders, 0, kNotSet, kFolder, "pictures"},
    {"favourites folder", kFolders, 1, kNotSet, kFolder, "pictures"},
    {"pictures folder", kFolders, 2, kNotSet, kFolder, "pictures"},
    {"videos folder", kFolders, 3, kNotSet, kFolder, "pictures"},
    {"music folder", kFolders, 4, kNotSet, kFolder, "pictures"},
    {"desktop folder", kFolders, 5, kNotSet, kFolder, "pictures"},
    {"history folder", kFolders, 6, kNotSet, kFolder, "pictures"},
    {"cookies folder", kFolders, 7, kNotSet, kFolder, "pictures"},
    {"cache folder", kFolders, 8, kNotSet, kFolder, "pictures"},
    {"owner", kRegistration, 0, kNotSet, {{"张三"}}, "张三"},
    {"organisation", kRegistration, 1, kNotSet, {{"某公司"}}, "某公司"},
    {"computer name", kRegistration, 2, kNotSet, {{"PC-1"}}, "PC-1"},
};

void PrintTo(const RowExpectation& c, std::ostream* out) {
    *out << c.name;
}

const StatePage& statePage(std::string_view name) {
    for (const StatePage& page : statePages()) {
        if (page.name == name) return page;
    }
    ADD_FAILURE() << "no page " << name;
    return statePages().front();
}

// The row's set (or, with `lift`, its lift or default) button, as the page runs it.
// Returns false when the row has no such button.
bool press(LiveStateRig& rig, const RowExpectation& c, bool lift) {
    const StatePage& page = statePage(c.page);
    const Answers& answers = lift ? c.liftAnswers : c.setAnswers;
    if (page.page) {
        rig.press(*page.page, c.row, lift ? RowButton::Lift : RowButton::Set, answers);
        return true;
    }
    const std::string text = answers.inputs.empty() ? "" : answers.inputs[0];
    if (c.page == kAddresses) {
        rig.expectDone(lift ? runIEPageDefault(rig.services(), c.row)
                            : runIEPageChange(rig.services(), c.row, text));
        return true;
    }
    if (lift) return false;
    if (c.page == kFolders) {
        rig.expectDone(runSysDirApply(rig.services(), c.row, text));
    } else {
        std::string texts[3];
        texts[c.row] = text;
        // The owner and organisation alone are written silently: completed, no message.
        (void)runRegToApply(rig.services(), texts[0], texts[1], texts[2]);
    }
    return true;
}

// A value of a type that no button writes (a list of texts) at the first value the row reads.
void writeForeignValue(LiveStateRig& rig, const RowState& state) {
    for (const PlaceReading& place : state.readings) {
        if (place.isKey) continue;
        rig.writeForeign(place.root, place.key, place.name, kRegMultiSz, std::string("x\0\0", 3));
        return;
    }
    ADD_FAILURE() << "the row reads no value";
}

class EveryRow : public ::testing::TestWithParam<RowExpectation> {};

TEST_P(EveryRow, FollowsItsButtonsAndForeignWrites) {
    const RowExpectation& c = GetParam();
    const StatePage& page = statePage(c.page);
    LiveStateRig rig;
    // Each reading closes every key it opened.
    const auto read = [&] {
        const auto before = rig.counting().openKeys();
        RowState state = page.page
                             ? rig.reader().readRow(*page.page, c.row)
                             : rig.reader().readRow(page.textRows[static_cast<std::size_t>(c.row)]);
        for (const auto& [handle, key] : rig.counting().openKeys())
            EXPECT_TRUE(before.count(handle)) << "left open: " << key;
        return state;
    };

    const RowState empty = read();
    EXPECT_EQ(empty.state, c.onEmptyStore);
    EXPECT_FALSE(empty.readings.empty());

    press(rig, c, false);
    const RowState set = read();
    EXPECT_EQ(set.state, kSet);
    if (c.valueShows) {
        EXPECT_NE(set.valueText.find(c.valueShows), std::string::npos) << set.valueText;
    } else {
        EXPECT_EQ(set.valueText, "");
    }

    if (press(rig, c, true)) {
        const RowState lifted = read();
        EXPECT_EQ(lifted.state, c.afterLift);
        if (c.afterLift != kSet) {
            EXPECT_EQ(lifted.valueText, "");
        }
        press(rig, c, false);
    }
    writeForeignValue(rig, read());
    EXPECT_EQ(read().state, c.afterForeign);
}

INSTANTIATE_TEST_SUITE_P(LiveState, EveryRow, ::testing::ValuesIn(kRows), [](const auto& info) {
    std::string name = info.param.name;
    for (char& ch : name) ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return name;
});

TEST(LiveState, EveryRowOfEveryPageHasItsCase) {
    std::set<std::pair<std::string_view, int>> covered;
    for (const RowExpectation& c : kRows) covered.insert({c.page, c.row});
    for (const StatePage& page : statePages()) {
        for (int row = 0; row < static_cast<int>(rowCount(page)); ++row) {
            EXPECT_TRUE(covered.count({page.name, row})) << page.name << " row " << row;
        }
    }
}

TEST(LiveState, AStoredPasswordIsNeverShown) {
    LiveStateRig rig;
    rig.press(CataloguePage::LogonStyle, 3, RowButton::Set, {{"admin", "secret"}});
    const RowState state = rig.reader().readRow(CataloguePage::LogonStyle, 3);
    EXPECT_EQ(state.valueText.find("secret"), std::string::npos) << state.valueText;
    EXPECT_EQ(stateTooltip(state).find("secret"), std::string::npos);
    EXPECT_NE(stateTooltip(state).find("DefaultPassword = ******"), std::string::npos);
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
    EXPECT_NE(asked.find("已设置：'你好'"), std::string::npos) << asked;
    EXPECT_NE(asked.find("sTimeFormat = '你好'"), std::string::npos) << asked;

    EXPECT_NE(stateTooltip(rig.state(Page::Desktop, 0)).find("NoDesktop = (不存在)"),
              std::string::npos);
}

}  // namespace
}  // namespace hivora::testing
