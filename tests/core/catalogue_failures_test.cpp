// What the rows ask, word for word, and what they report when the registry refuses a change.

#include <gtest/gtest.h>

#include "tests/core/catalogue_harness.h"

namespace hivora::testing {
namespace {

// ---- Exact prompts ----

struct ExpectedCall {
    DialogKind kind{};
    std::string prompt{};
    int buttons{};
    std::string title{};
    std::string filter{};
};

ExpectedCall input(std::string prompt, std::string title) {
    return {DialogKind::InputBox, std::move(prompt), 0, std::move(title), {}};
}
ExpectedCall question(std::string prompt) {
    return {DialogKind::MessageBox, std::move(prompt), kMbYesNo, "提示信息", {}};
}
ExpectedCall outcome(std::string prompt) {
    return {DialogKind::MessageBox, std::move(prompt), kMbOk, "提示信息", {}};
}

struct PromptCase {
    const char* name{};
    CataloguePage page{};
    int row{};
    Answers answers{};
    std::vector<ExpectedCall> calls{};
};

const PromptCase kPromptCases[] = {
    {"TaskbarTextTwelveHour",
     CataloguePage::Desktop,
     4,
     {{"x"}, {kIdYes, kIdYes}},
     {input("请输入你要显示的文字：", "格式显示时间"), question("是否同时显示时间？"),
      question("是否以12小时制显示时间？"), outcome("已设置！")}},
    {"TaskbarTextWithoutTime",
     CataloguePage::Desktop,
     4,
     {{"x"}, {kIdNo}},
     {input("请输入你要显示的文字：", "格式显示时间"), question("是否同时显示时间？"),
      outcome("已设置！")}},
    {"Wallpaper",
     CataloguePage::Desktop,
     7,
     {{"0"}, {}, {kExistingPicture}},
     {{DialogKind::OpenFile, "", 0, "",
       "所有图片(*.bmp;*.jpg;*.jpeg;*.gif;*.png)|*.bmp;*.jpg;*.jpeg;*.gif;*.png"},
      input("请选择桌面背景的显示效果样式：0＝居中\r\n1＝平铺\r\n2＝拉伸\r\n", "style"),
      outcome("已设置！")}},
    {"WallpaperCancelledAsksNoMore",
     CataloguePage::Desktop,
     7,
     {{}, {}, {""}},
     {{DialogKind::OpenFile, "", 0, "",
       "所有图片(*.bmp;*.jpg;*.jpeg;*.gif;*.png)|*.bmp;*.jpg;*.jpeg;*.gif;*.png"}}},
    {"WallpaperPosition",
     CataloguePage::Desktop,
     8,
     {{"", ""}},
     {input("请输入墙纸左侧的水平坐标值：(单位像素)", "定位墙纸在桌面上的位置"),
      input("请输入墙纸顶端的垂直坐标值：(单位像素)", "定位墙纸在桌面上的位置"),
      outcome("已设置！")}},
    {"IconSize",
     CataloguePage::Desktop,
     11,
     {{"48"}},
     {input("请输入新的图标大小(范围16到64)：(默认为32)", "改变桌面图标的大小"),
      outcome("已设置！")}},
    {"HiddenDrives",
     CataloguePage::HideShow,
     5,
     {{"c"}},
     {input("请输入你想隐藏的驱动器：(直接输入盘符，可输入多个,不分大小写) 例如：\r\n"
            "隐藏C盘，则输入C或c即可；\r\n"
            "隐藏C盘和D盘，则输入CD或cd即可；\r\n"
            "隐藏C盘和F盘，则输入CF或cf即可；\r\n"
            "隐藏所有驱动器请输入：-1",
            "用户输入"),
      outcome("已设置！")}},
};

std::ostream& operator<<(std::ostream& out, const PromptCase& c) {
    return out << c.name;
}

class RowPrompts : public ::testing::TestWithParam<PromptCase> {};

TEST_P(RowPrompts, AskExactlyThis) {
    const PromptCase& c = GetParam();
    CatalogueHarness harness;
    harness.script(c.answers);
    (void)harness.run(c.page, c.row, RowButton::Set);

    const std::vector<DialogCall>& calls = harness.dialogs().calls();
    ASSERT_EQ(calls.size(), c.calls.size());
    for (std::size_t i = 0; i < calls.size(); ++i) {
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

enum class Refusal { DenyMachine, DenyUsers, DenyClasses, ReadOnlyStore, None };

struct FailureCase {
    const char* name{};
    Refusal refusal{};
    CataloguePage page{};
    int row{};
    RowButton button{};
    Answers answers{};
    bool anyWriteStays{};  // a write under another root went through
};

const FailureCase kFailureCases[] = {
    {"MachineWriteDenied",
     Refusal::DenyMachine,
     CataloguePage::Desktop,
     10,
     RowButton::Set,
     {},
     false},
    {"ShortcutArrowIconDenied",
     Refusal::DenyMachine,
     CataloguePage::Desktop,
     9,
     RowButton::Set,
     {},
     false},
    {"DefaultProfileDenied",
     Refusal::DenyUsers,
     CataloguePage::Desktop,
     5,
     RowButton::Set,
     {},
     true},
    {"RestrictionUnderUsersDenied",
     Refusal::DenyUsers,
     CataloguePage::Restrictions,
     8,
     RowButton::Set,
     {},
     false},
    {"AudioCdDenied",
     Refusal::DenyClasses,
     CataloguePage::Restrictions,
     4,
     RowButton::Lift,
     {},
     false},
    {"ReadOnlyStoreRestriction",
     Refusal::ReadOnlyStore,
     CataloguePage::Restrictions,
     0,
     RowButton::Set,
     {},
     false},
    {"ReadOnlyStoreHide",
     Refusal::ReadOnlyStore,
     CataloguePage::HideShow,
     9,
     RowButton::Set,
     {},
     false},
    {"HiddenFilesDenied",
     Refusal::DenyMachine,
     CataloguePage::HideShow,
     6,
     RowButton::Lift,
     {},
     false},
    // Characters the code page (936) has no form for.
    {"TextOutsideCodePage",
     Refusal::None,
     CataloguePage::Desktop,
     4,
     RowButton::Set,
     {{"\xF0\x9F\x98\x80"}, {kIdNo}},
     false},
};

std::ostream& operator<<(std::ostream& out, const FailureCase& c) {
    return out << c.name;
}

class RefusedChanges : public ::testing::TestWithParam<FailureCase> {};

TEST_P(RefusedChanges, ShowSetErrorAndRaiseNothing) {
    const FailureCase& c = GetParam();
    CatalogueHarness harness;
    switch (c.refusal) {
        case Refusal::DenyMachine:
            harness.recorder().denyChangesUnder(kHkeyLocalMachine);
            break;
        case Refusal::DenyUsers:
            harness.recorder().denyChangesUnder(kHkeyUsers);
            break;
        case Refusal::DenyClasses:
            harness.recorder().denyChangesUnder(kHkeyClassesRoot);
            break;
        case Refusal::ReadOnlyStore:
            harness.makeStoreReadOnly();
            break;
        case Refusal::None:
            break;
    }
    harness.script(c.answers);

    const RowOutcome result = harness.run(c.page, c.row, c.button);

    EXPECT_TRUE(result.completed);
    EXPECT_FALSE(result.status.isOk());
    EXPECT_EQ(result.shown, OutcomeMessage::SetError);
    EXPECT_EQ(harness.dialogs().messagePrompts().back(), "设置出错！");
    EXPECT_EQ(harness.framework().ScratchText(), "设置出错！");
    EXPECT_FALSE(harness.framework().NeedsRestart());
    bool anySucceeded = false;
    for (const RegChange& change : harness.recorder().changes()) {
        anySucceeded |= change.kind == RegChangeKind::SetValue && change.result == kErrorSuccess;
    }
    if (c.refusal != Refusal::ReadOnlyStore) {
        EXPECT_EQ(anySucceeded, c.anyWriteStays);
    }
    // A failed save drops the whole batch.
    for (const RegChange& change : harness.recorder().changes()) {
        if (c.refusal == Refusal::ReadOnlyStore && change.kind == RegChangeKind::SetValue) {
            EXPECT_FALSE(harness.hasValue(change.root, change.key, change.name)) << change.name;
        }
    }
    // The hide rows still refresh: what did change should show.
    const bool refreshes = c.page == CataloguePage::HideShow;
    EXPECT_EQ(harness.refresher().boxesBeforeEachRefresh().size(), refreshes ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, RefusedChanges, ::testing::ValuesIn(kFailureCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RefusedChanges, RestartRaisedOnceARestrictionTakesEffect) {
    CatalogueHarness harness;
    harness.recorder().denyChangesUnder(kHkeyUsers);
    EXPECT_EQ(harness.run(CataloguePage::Restrictions, 9, RowButton::Set).shown,
              OutcomeMessage::SetError);
    EXPECT_FALSE(harness.framework().NeedsRestart());
    EXPECT_EQ(harness.run(CataloguePage::Restrictions, 0, RowButton::Set).shown,
              OutcomeMessage::SetDone);
    EXPECT_TRUE(harness.framework().NeedsRestart());
}

TEST(RefusedChanges, LiftOfAbsentValuesIsNoFailure) {
    CatalogueHarness harness;
    for (int row : {0, 1, 6, 7, 8}) {
        EXPECT_EQ(harness.run(CataloguePage::Desktop, row, RowButton::Lift).shown,
                  OutcomeMessage::UnsetDone)
            << "row " << row;
    }
}

}  // namespace
}  // namespace hivora::testing
