// The skinned scroll bar's drawing: a redraw after a value change, a full repaint, and a thumb
// drag across all 256 values of a 265 x 17 bar (the colour dialog's bars). A drag moves the value
// once per mouse move, so a value-change redraw must stay far below a frame (target: < 20 us).

#include <benchmark/benchmark.h>

#include "core/scrollbar/skinned_scroll_bar.h"
#include "tests/core/fake_clock.h"

namespace hivora {
namespace {

class BenchWindow : public ScrollBarWindow {
public:
    WindowHandle hwnd() const override { return 1; }
    bool isWindowEnabled() const override { return true; }
    void setWindowEnabled(bool) override {}
    void setWindowSize(int, int) override {}
    void present(const PixelBuffer& image) override { benchmark::DoNotOptimize(image.data()); }
};

class NoDialogs : public DialogServices {
public:
    int ShowMessageBox(const std::string&, int, const std::string&) override { return kIdOk; }
    std::string ShowInputBox(const std::string&, const std::string&, const std::string&,
                             bool) override {
        return {};
    }
    std::string ShowOpenFileDialog(const std::string&) override { return {}; }
    std::string ShowSaveFileDialog(const std::string&, const std::string&) override { return {}; }
    std::int32_t ShowColorDialog(std::int32_t initial) override { return initial; }
    Status RunCommand(const std::string&, int) override { return Status::ok(); }
    std::string BrowseForFolder(const std::string&) override { return {}; }
};

class PointerOverBar : public PointerService {
public:
    bool IsCursorOverWindow(WindowHandle) const override { return true; }
};

struct Rig {
    testing::FakeClock clock;
    NoDialogs dialogs;
    PointerOverBar pointer;
    BenchWindow window;
    SkinnedScrollBar bar{Orientation::Horizontal, window, {dialogs, clock, pointer}, 265, 17};
};

void RedrawAfterValueChange(benchmark::State& state) {
    Rig rig;
    rig.bar.setLargeChange(100);  // a thumb long enough to carry its grip
    for (auto _ : state) rig.bar.RedrawAfterValueChange();
}
BENCHMARK(RedrawAfterValueChange);

void ValueChange(benchmark::State& state) {
    Rig rig;
    std::int32_t value = 0;
    for (auto _ : state) {
        value = value == 255 ? 0 : value + 1;
        rig.bar.setValue(value);  // redraw, Change, notice
    }
}
BENCHMARK(ValueChange);

void RepaintAll(benchmark::State& state) {
    Rig rig;
    rig.bar.setLargeChange(100);
    for (auto _ : state) rig.bar.RepaintAll();
}
BENCHMARK(RepaintAll);

// Press the thumb, move the pointer one pixel at a time over the whole travel (every value from
// 0 to 255 is passed), release.
void DragAcrossAllValues(benchmark::State& state) {
    Rig rig;
    int moves = 0;
    for (auto _ : state) {
        rig.bar.setValue(0);
        rig.bar.mouseMove(0, 20, 8);
        rig.bar.mouseDown(kLeftButton, 20, 8);
        for (int x = 20; x <= 20 + 221; ++x, ++moves) rig.bar.mouseMove(kLeftButton, x, 8);
        rig.bar.mouseUp(kLeftButton, 241, 8);
        if (rig.bar.Value() != 255) state.SkipWithError("the drag did not reach the end");
    }
    state.counters["per_move"] =
        benchmark::Counter(moves, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(DragAcrossAllValues);

}  // namespace
}  // namespace hivora

BENCHMARK_MAIN();
