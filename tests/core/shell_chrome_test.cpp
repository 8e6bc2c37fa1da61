// The chrome buttons: faces, hover timer and clicks, as event scripts.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/shell/chrome_buttons.h"
#include "core/shell/tab_strip.h"
#include "tests/core/fake_clock.h"
#include "tests/core/scrollbar_rig.h"

namespace hivora {
namespace {

using testing::FakeClock;
using testing::FakePointer;

struct RecordingChromeView : ChromeView {
    void showSizeBoxFace(int button, int number) override { faces[button] = number; }
    WindowHandle sizeBoxWindow(int button) const override { return 200 + button; }
    void requestClose() override { requests.push_back("close"); }
    void requestMinimize() override { requests.push_back("minimize"); }
    void showAbout() override { requests.push_back("about"); }
    void showColorDialog() override { requests.push_back("color"); }
    void requestUndo() override { requests.push_back("undo"); }

    int faces[kSizeBoxCount] = {};
    std::vector<std::string> requests;
};

struct Step {
    enum Kind { Move, MoveOff, Down, Up, UpOff, Wait } kind;
    int button;
    int mouse = kMouseNone;  // buttons held for a move, the button for a press or release; ms
};

struct ChromeCase {
    const char* name;
    std::vector<Step> steps;
    std::array<SizeBoxFace, kSizeBoxCount> faces;
    int hover;
    int timerInterval;
    std::vector<std::string> requests;
};

class ChromeScripts : public ::testing::TestWithParam<ChromeCase> {};

TEST_P(ChromeScripts, EndInTheExpectedState) {
    const ChromeCase& c = GetParam();
    FakeClock clock;
    FakePointer pointer;
    RecordingChromeView view;
    ChromeButtons chrome(view, clock, pointer);
    chrome.reset();
    for (const Step& step : c.steps) {
        switch (step.kind) {
            case Step::Move:
                pointer.over = view.sizeBoxWindow(step.button);
                chrome.mouseMove(step.button, step.mouse, true);
                break;
            case Step::MoveOff:
                pointer.over = kNoWindow;
                chrome.mouseMove(step.button, step.mouse, false);
                break;
            case Step::Down:
                chrome.mouseDown(step.button, step.mouse);
                break;
            case Step::Up:
                chrome.mouseUp(step.button, step.mouse, true);
                break;
            case Step::UpOff:
                chrome.mouseUp(step.button, step.mouse, false);
                break;
            case Step::Wait:
                pointer.over = step.button < 0 ? kNoWindow : view.sizeBoxWindow(step.button);
                clock.advance(step.mouse);
                break;
        }
    }
    for (int button = 0; button < kSizeBoxCount; ++button) {
        EXPECT_EQ(chrome.face(button), c.faces[button]) << "button " << button;
        EXPECT_EQ(view.faces[button], sizeBoxFaceNumber(button, c.faces[button]));
    }
    EXPECT_EQ(chrome.SizeBoxHover(), c.hover);
    EXPECT_EQ(chrome.timerInterval(), c.timerInterval);
    EXPECT_EQ(view.requests, c.requests);
}

constexpr auto R = SizeBoxFace::Resting;
constexpr auto T = SizeBoxFace::Hot;
constexpr auto P = SizeBoxFace::Pressed;
constexpr auto O = SizeBoxFace::HeldOutside;
constexpr int kLeft = kMouseLeft;

INSTANTIATE_TEST_SUITE_P(
    Shell, ChromeScripts,
    ::testing::Values(
        ChromeCase{"start", {}, {R, R, R, R, R}, -1, 0, {}},
        ChromeCase{"hover", {{Step::Move, 1}}, {R, T, R, R, R}, 1, 100, {}},
        ChromeCase{"straight_from_1_to_2",
                   {{Step::Move, 1}, {Step::Move, 2}},
                   {R, R, T, R, R},
                   2,
                   100,
                   {}},
        ChromeCase{"leave_for_background",
                   {{Step::Move, 0}, {Step::Wait, -1, 100}},
                   {R, R, R, R, R},
                   -1,
                   0,
                   {}},
        ChromeCase{"stay", {{Step::Move, 0}, {Step::Wait, 0, 500}}, {T, R, R, R, R}, 0, 100, {}},
        ChromeCase{"hovered_press_keeps_pressed_off_button_then_no_click",
                   {{Step::Move, 3},
                    {Step::Down, 3, kLeft},
                    {Step::MoveOff, 3, kLeft},
                    {Step::Wait, -1, 300},
                    {Step::UpOff, 3, kLeft}},
                   {R, R, R, R, R},
                   -1,
                   0,
                   {}},
        ChromeCase{"hovered_press_off_button_face",
                   {{Step::Move, 3}, {Step::Down, 3, kLeft}, {Step::MoveOff, 3, kLeft}},
                   {R, R, R, P, R},
                   3,
                   0,
                   {}},
        ChromeCase{"second_press_shows_held_outside_and_back",
                   {{Step::Move, 2},
                    {Step::Down, 2, kLeft},
                    {Step::Up, 2, kLeft},
                    {Step::Down, 2, kLeft},
                    {Step::MoveOff, 2, kLeft}},
                   {R, R, O, R, R},
                   -1,
                   0,
                   {"about"}},
        ChromeCase{"held_outside_back_on",
                   {{Step::Down, 1, kLeft}, {Step::MoveOff, 1, kLeft}, {Step::Move, 1, kLeft}},
                   {R, P, R, R, R},
                   -1,
                   0,
                   {}},
        ChromeCase{"right_button_no_face_no_action",
                   {{Step::Move, 0}, {Step::Down, 0, 2}, {Step::Up, 0, 2}},
                   {T, R, R, R, R},
                   0,
                   100,
                   {}},
        ChromeCase{"clicks_in_order",
                   {{Step::Down, 0, kLeft},
                    {Step::Up, 0, kLeft},
                    {Step::Down, 1, kLeft},
                    {Step::Up, 1, kLeft},
                    {Step::Down, 2, kLeft},
                    {Step::Up, 2, kLeft},
                    {Step::Down, 3, kLeft},
                    {Step::Up, 3, kLeft},
                    {Step::Down, 4, kLeft},
                    {Step::Up, 4, kLeft}},
                   {R, R, R, R, R},
                   -1,
                   0,
                   {"close", "minimize", "about", "color", "undo"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace hivora
