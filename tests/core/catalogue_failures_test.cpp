// What the rows ask, word for word, and what they report when the registry refuses a change.

#include <gtest/gtest.h>

#include <tuple>

#include "tests/core/catalogue_harness.h"

namespace hivora::testing {
namespace {

using hivora::testing::PrintTo;  // the cases below print as their names

constexpr CataloguePage kDesktop = CataloguePage::Desktop;
constexpr CataloguePage kRestrictions = CataloguePage::Restrictions;
constexpr CataloguePage kHideShow = CataloguePage::HideShow;
constexpr RowButton kSet = RowButton::Set;
constexpr RowButton kLift = RowButton::Lift;

// ---- Exact prompts ----

struct ExpectedCall {
    DialogKind kind{};
    std::string prompt{};
    int buttons{};
    std::string title{};
    std::string filter{};
};

ExpectedCall input(std::string prompt, std::string title) {
    return {DialogKind::InputBox, prompt, 0, title, {}};
}
ExpectedCall question(std::string prompt) {
    return {DialogKind::MessageBox, prompt, kMbYesNo, "提示信息", {}};
}

struct PromptCase {
    const char* name{};
    CataloguePage page{};
    int row{};
    Answers answers{};
    std::vector<ExpectedCall> calls{};  // before the outcome message
};

const PromptCase kPromptCases[] = {
    {"TaskbarTextTwelveHour",
     kDesktop,
     4,
     {{"x"}, {kIdYes, kIdYes}},
     {input("请输入你要显示的文字：", "格式显示时间"), question("是否同时显示时间？"),
      question("是否以12小时制显示时间？")}},
    {"Wallpaper",
     kDesktop,
     7,
     {{"0"}, {}, {kExistingPicture}},
     {{DialogKind::OpenFile, "", 0, "",
       "所有图片(*.bmp;*.jpg;*.jpeg;*.gif;*.png)|*.bmp;*.jpg;*.jpeg;*.gif;*.png"},
      input("请选择桌面背景的显示效果样式：0＝居中\r\n1＝平铺\r\n2＝拉伸\r\n", "style")}},
    {"WallpaperPosition",
     kDesktop,
     8,
     {{"", ""}},
     {input("请输入墙纸左侧的水平坐标值：(单位像素)", "定位墙纸在桌面上的位置"),
      input("请输入墙纸顶端的垂直坐标值：(单位像素)", "定位墙纸在桌面上的位置")}},
    {"IconSize",
     kDesktop,
     11,
     {{"48"}},
     {input("请输入新的图标大小(范围16到64)：(默认为32)", "改变桌面图标的大小")}},
    {"HiddenDrives",
     kHideShow,
     5,
     {{"c"}},
     {input("请输入你想隐藏的驱动器：(直接输入盘符，可输入多个,不分大小写) 例如：\r\n"
            "隐藏C盘，则输入C或c即可；\r\n"
            "隐藏C盘和D盘，则输入CD或cd即可；\r\n"
            "隐藏C盘和F盘，则输入CF或cf即可；\r\n"
            "隐藏所有驱动器请输入：-1",
            "用户输入")}},
};

class RowPrompts : public ::testing::TestWithParam<PromptCase> {};

TEST_P(RowPrompts, AskExactlyThis) {
    const PromptCase& c = GetParam();
    CatalogueHarness harness;
    harness.script(c.answers);
    (void)harness.run(c.page, c.row, kSet);

    const std::vector<DialogCall>& calls = harness.dialogs().calls();
    ASSERT_EQ(calls.size(), c.calls.size() + 1);
    EXPECT_EQ(calls.back().prompt, "已设置！");
    for (std::size_t i = 0; i < c.calls.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(calls[i].kind, c.calls[i].kind);
        EXPECT_EQ(calls[i].prompt, c.calls[i].prompt);
        EXPECT_EQ(calls[i].buttons, c.calls[i].buttons);
        EXPECT_EQ(calls[i].givenTitle, c.calls[i].title);
        EXPECT_EQ(calls[i].filter, c.calls[i].filter);
        EXPECT_EQ(calls[i].defaultText, "");  // no row offers a default
        EXPECT_FALSE(calls[i].masked);
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, RowPrompts, ::testing::ValuesIn(kPromptCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Refused changes ----

struct FailureCase {
    const char* name{};
    CataloguePage page{};
    int row{};
    RowButton button{};
    RegKey deniedRoot = 0;       // changes under this root are refused, as for an ordinary user
    bool saveFails = false;      // the store fails its save, as a read-only registry file does
    bool anyWriteStays = false;  // a write under another root went through
    Answers answers{};
};

const FailureCase kFailureCases[] = {
    {"MachineWriteDenied", kDesktop, 10, kSet, kHkeyLocalMachine},
    {"ShortcutArrowIconDenied", kDesktop, 9, kSet, kHkeyLocalMachine},
    {"DefaultProfileDeniedUserWriteStays", kDesktop, 5, kSet, kHkeyUsers, false, true},
    {"RestrictionUnderUserDenied", kRestrictions, 12, kSet, kHkeyCurrentUser},
    {"AudioCdDenied", kRestrictions, 4, kLift, kHkeyClassesRoot},
    {"HiddenFilesDenied", kHideShow, 6, kLift, kHkeyLocalMachine},
    {"ReadOnlyStoreRestriction", kRestrictions, 0, kSet, 0, true},
    {"ReadOnlyStoreHide", kHideShow, 9, kSet, 0, true},
    // Characters the code page (936) has no form for.
    {"TextOutsideCodePage", kDesktop, 4, kSet, 0, false, false, {{"\xF0\x9F\x98\x80"}, {kIdNo}}},
};

class RefusedChanges : public ::testing::TestWithParam<FailureCase> {};

TEST_P(RefusedChanges, ShowSetErrorAndRaiseNothing) {
    const FailureCase& c = GetParam();
    CatalogueHarness harness;
    if (c.deniedRoot != 0) harness.recorder().denyChangesUnder(c.deniedRoot);
    if (c.saveFails) harness.makeStoreReadOnly();
    harness.script(c.answers);

    const RowOutcome result = harness.run(c.page, c.row, c.button);

    EXPECT_TRUE(result.completed);
    EXPECT_FALSE(result.status.isOk());
    EXPECT_EQ(result.shown, OutcomeMessage::SetError);
    // A refusal for lack of rights says that administrator rights are needed; any other failure
    // gives its own reason on the second line.
    const std::string shown = harness.dialogs().messagePrompts().back();
    const std::string firstLine = "设置出错！\r\n";
    if (c.deniedRoot != 0) {
        EXPECT_EQ(shown, firstLine + kNeedsAdministratorLine);
    } else {
        EXPECT_TRUE(shown.starts_with(firstLine)) << shown;
        EXPECT_GT(shown.size(), firstLine.size() + 4) << "no reason given: " << shown;
    }
    EXPECT_FALSE(harness.framework().NeedsRestart());
    // Every operation is attempted; a failed save drops the whole batch.
    bool anyWriteStays = false;
    for (const RegChange& change : harness.recorder().changes()) {
        anyWriteStays |= change.kind == RegChangeKind::SetValue &&
                         harness.hasValue(change.root, change.key, change.name);
    }
    EXPECT_EQ(anyWriteStays, c.anyWriteStays);
    // The hide rows still refresh: what did change should show.
    EXPECT_EQ(harness.refresher().boxesBeforeEachRefresh().size(), c.page == kHideShow ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, RefusedChanges, ::testing::ValuesIn(kFailureCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Removing a value or key that is already absent is no failure: the rows confirm as usual.
TEST(RefusedChanges, RemovingWhatIsAbsentIsNoFailure) {
    const std::tuple<CataloguePage, int, RowButton> removals[] = {
        {kDesktop, 0, kLift}, {kDesktop, 1, kLift}, {kDesktop, 6, kLift},  {kDesktop, 7, kLift},
        {kDesktop, 8, kLift}, {kHideShow, 0, kSet}, {kHideShow, 5, kLift},
    };
    CatalogueHarness harness;
    for (const auto& [page, row, button] : removals) {
        const RowOutcome outcome = harness.run(page, row, button);
        EXPECT_TRUE(outcome.status.isOk()) << "row " << row << ": " << outcome.status.message();
    }
}

}  // namespace
}  // namespace hivora::testing
