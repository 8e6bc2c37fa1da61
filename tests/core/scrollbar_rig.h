#pragma once
// A skinned scroll bar on a fake window, with a fake clock, a fake pointer and scripted dialogs,
// counting what the bar tells its host.

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "core/scrollbar/skinned_scroll_bar.h"
#include "tests/core/fake_clock.h"
#include "tests/core/scripted_dialogs.h"

namespace hivora {
// Test names and failure messages name the twin.
inline void PrintTo(Orientation orientation, std::ostream* out) {
    *out << (orientation == Orientation::Horizontal ? "Horizontal" : "Vertical");
}
}  // namespace hivora

// Runs a TEST_P suite whose parameter is the orientation once for each twin.
#define HIVORA_FOR_BOTH_TWINS(suite)                                                            \
    INSTANTIATE_TEST_SUITE_P(BothTwins, suite,                                                  \
                             ::testing::Values(Orientation::Horizontal, Orientation::Vertical), \
                             ::testing::PrintToStringParamName())

namespace hivora::testing {

class FakeBarWindow : public ScrollBarWindow {
  public:
    WindowHandle hwnd() const override { return 0x5B01; }
    bool isWindowEnabled() const override { return enabled; }
    void setWindowEnabled(bool value) override { enabled = value; }
    void setWindowSize(int w, int h) override {
        width = w;
        height = h;
    }
    void present(const PixelBuffer& image) override {
        ++presents;
        shown = image;
    }

    bool enabled = true;
    int width = 0;
    int height = 0;
    int presents = 0;
    PixelBuffer shown;  // the image as last presented
};

class FakePointer : public PointerService {
  public:
    bool IsCursorOverWindow(WindowHandle window) const override { return window == over; }
    WindowHandle over = kNoWindow;
};

struct BarRig {
    explicit BarRig(Orientation orientation = Orientation::Horizontal, int length = 265) {
        const bool horizontal = orientation == Orientation::Horizontal;
        bar = std::make_unique<SkinnedScrollBar>(
            orientation, window, ScrollBarServices{dialogs, clock, pointer},
            horizontal ? length : 17, horizontal ? 17 : length);
        bar->onChange = [this] { ++changes; };
        bar->onScroll = [this] { ++scrolls; };
        bar->onPropertyChanged = [this](std::string_view name) { notes.emplace_back(name); };
    }

    // The pointer over the bar at `along` pixels from its start, in the middle of its thickness.
    double x(double along) const { return horizontal() ? along : 8; }
    double y(double along) const { return horizontal() ? 8 : along; }
    bool horizontal() const { return bar->orientation() == Orientation::Horizontal; }

    void move(double along, int buttons = 0) {
        pointer.over = window.hwnd();
        bar->mouseMove(buttons, x(along), y(along));
    }
    void press(double along, int button = kLeftButton) {
        move(along);
        bar->mouseDown(button, x(along), y(along));
    }
    void release(double along, int button = kLeftButton) {
        bar->mouseUp(button, x(along), y(along));
    }

    FakeClock clock;
    ScriptedDialogs dialogs;
    FakePointer pointer;
    FakeBarWindow window;
    std::unique_ptr<SkinnedScrollBar> bar;
    int changes = 0;
    int scrolls = 0;
    std::vector<std::string> notes;
};

}  // namespace hivora::testing
