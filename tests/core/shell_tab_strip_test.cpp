// The tab strip: faces, hover timer, presses and releases, page switches, as event scripts.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/shell/tab_strip.h"
#include "tests/core/fake_clock.h"
#include "tests/core/scrollbar_rig.h"

namespace hivora {
namespace {

using testing::FakeClock;
using testing::FakePointer;

struct RecordingTabView : TabStripView {
    void showTabFace(int tab, int number) override { faces[tab] = number; }
    void showTabTip(int tab, std::string_view caption) override {
        tipTab = tab;
        tip = std::string(caption);
        tipVisible = true;
    }
    void hideTabTip() override { tipVisible = false; }
    void setPageVisible(int page, bool visible) override {
        pages[page] = visible;
        log.push_back((visible ? "show " : "hide ") + std::to_string(page));
    }
    void refreshStartupList() override { log.push_back("refresh"); }
    WindowHandle tabWindow(int tab) const override { return 100 + tab; }

    int faces[kTabCount] = {};
    bool pages[kTabCount] = {};
    int tipTab = -1;
    std::string tip;
    bool tipVisible = false;
    std::vector<std::string> log;
};

// One step of a script: an event, or time passing with the pointer over a tab (-1: elsewhere).
struct Step {
    enum Kind { Move, Down, Up, UpOutside, Wait } kind;
    int tab;
    int buttons = kMouseNone;
};

struct TabCase {
    const char* name;
    std::vector<Step> steps;
    std::array<TabFace, kTabCount> faces;
    int currentPage;
    int hoverTab;
    int timerInterval;
    bool tipVisible;
};

class TabStripScripts : public ::testing::TestWithParam<TabCase> {};

TEST_P(TabStripScripts, EndInTheExpectedState) {
    const TabCase& c = GetParam();
    FakeClock clock;
    FakePointer pointer;
    RecordingTabView view;
    TabStrip strip(view, clock, pointer);
    strip.reset();
    for (const Step& step : c.steps) {
        switch (step.kind) {
            case Step::Move:
                pointer.over = view.tabWindow(step.tab);
                strip.mouseMove(step.tab, step.buttons);
                break;
            case Step::Down:
                strip.mouseDown(step.tab, step.buttons);
                break;
            case Step::Up:
                strip.mouseUp(step.tab, step.buttons, true);
                break;
            case Step::UpOutside:
                pointer.over = kNoWindow;
                strip.mouseUp(step.tab, step.buttons, false);
                break;
            case Step::Wait:
                pointer.over = step.tab < 0 ? kNoWindow : view.tabWindow(step.tab);
                clock.advance(step.buttons);
                break;
        }
    }
    for (int tab = 0; tab < kTabCount; ++tab) {
        EXPECT_EQ(strip.face(tab), c.faces[tab]) << "tab " << tab;
        EXPECT_EQ(view.faces[tab], tabFaceNumber(tab, c.faces[tab])) << "tab " << tab;
        EXPECT_EQ(view.pages[tab], tab == c.currentPage) << "page " << tab;
    }
    EXPECT_EQ(strip.CurrentPage(), c.currentPage);
    EXPECT_EQ(strip.HoverTab(), c.hoverTab);
    EXPECT_EQ(strip.timerInterval(), c.timerInterval);
    EXPECT_EQ(view.tipVisible, c.tipVisible);
}

constexpr auto S = TabFace::Selected;
constexpr auto N = TabFace::Normal;
constexpr auto H = TabFace::Hovered;
constexpr auto P = TabFace::Pressed;
constexpr auto L = TabFace::Held;

INSTANTIATE_TEST_SUITE_P(
    Shell, TabStripScripts,
    ::testing::Values(
        TabCase{"start", {}, {S, N, N, N, N}, 0, -1, 0, false},
        TabCase{"hover_other", {{Step::Move, 2}}, {S, N, H, N, N}, 0, 2, 100, true},
        TabCase{
            "hover_current_keeps_selected", {{Step::Move, 0}}, {S, N, N, N, N}, 0, 0, 100, true},
        TabCase{"timer_sees_pointer_stay",
                {{Step::Move, 2}, {Step::Wait, 2, 300}},
                {S, N, H, N, N},
                0,
                2,
                100,
                true},
        TabCase{"timer_sees_pointer_leave",
                {{Step::Move, 2}, {Step::Wait, -1, 100}},
                {S, N, N, N, N},
                0,
                -1,
                0,
                false},
        TabCase{"straight_from_tab1_to_tab3",
                {{Step::Move, 1}, {Step::Move, 3}},
                {S, N, N, H, N},
                0,
                3,
                100,
                true},
        TabCase{"press_stops_timer",
                {{Step::Move, 2}, {Step::Down, 2, kMouseLeft}, {Step::Wait, -1, 500}},
                {S, N, P, N, N},
                0,
                2,
                0,
                true},
        TabCase{"release_inside_switches",
                {{Step::Move, 2}, {Step::Down, 2, kMouseLeft}, {Step::Up, 2, kMouseLeft}},
                {N, N, S, N, N},
                2,
                -1,
                0,
                true},
        TabCase{"release_outside_keeps_page_and_tip",
                {{Step::Move, 2},
                 {Step::Down, 2, kMouseLeft},
                 {Step::UpOutside, 2, kMouseLeft},
                 {Step::Wait, -1, 1000}},
                {S, N, N, N, N},
                0,
                -1,
                0,
                true},
        TabCase{"second_press_after_outside_release_is_held",
                {{Step::Move, 2},
                 {Step::Down, 2, kMouseLeft},
                 {Step::UpOutside, 2, kMouseLeft},
                 {Step::Down, 2, kMouseLeft},
                 {Step::Move, 2, kMouseLeft}},
                {S, N, L, N, N},
                0,
                -1,
                0,
                true},
        TabCase{"current_tab_ignores_press_and_release",
                {{Step::Move, 0}, {Step::Down, 0, kMouseLeft}, {Step::Up, 0, kMouseLeft}},
                {S, N, N, N, N},
                0,
                0,
                100,
                true},
        TabCase{"right_button_changes_nothing",
                {{Step::Move, 3}, {Step::Down, 3, 2}, {Step::Up, 3, 2}},
                {S, N, N, H, N},
                0,
                3,
                100,
                true},
        TabCase{
            "other_buttons_held_only_tip", {{Step::Move, 4, 2}}, {S, N, N, N, N}, 0, -1, 0, true},
        TabCase{"after_switch_hover_registers_afresh",
                {{Step::Move, 1},
                 {Step::Down, 1, kMouseLeft},
                 {Step::Up, 1, kMouseLeft},
                 {Step::Move, 1},
                 {Step::Wait, -1, 100}},
                {N, S, N, N, N},
                1,
                -1,
                0,
                false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TabStrip, StartupPageReadsTheListBeforeItShowsAndOnlyFromAnotherPage) {
    FakeClock clock;
    FakePointer pointer;
    RecordingTabView view;
    TabStrip strip(view, clock, pointer);
    strip.reset();
    view.log.clear();
    strip.SwitchPage(0);  // already current
    strip.SwitchPage(3);
    strip.SwitchPage(0);
    EXPECT_EQ(view.log,
              (std::vector<std::string>{"show 3", "hide 0", "refresh", "show 0", "hide 3"}));
}

TEST(TabStrip, TipNamesTheTabUnderThePointer) {
    FakeClock clock;
    FakePointer pointer;
    RecordingTabView view;
    TabStrip strip(view, clock, pointer);
    strip.reset();
    for (int tab = 0; tab < kTabCount; ++tab) {
        strip.mouseMove(tab, kMouseNone);
        EXPECT_EQ(view.tipTab, tab);
        EXPECT_EQ(view.tip, kTabTips[static_cast<std::size_t>(tab)]);
    }
    strip.ShowTabTip(7);
    EXPECT_EQ(view.tip, "系统信息");
}

}  // namespace
}  // namespace hivora
