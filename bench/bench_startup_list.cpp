// The startup list at its limit: 32,767 values in the current user's Run key, command lines of
// 40 to 200 characters. The listing alone, the list's refresh, the frame's whole refresh (listing,
// measuring every label, laying out, binding the rows in sight) and one scroll step of the
// vertical bar. Targets: frame refresh < 150 ms, scroll step < 4 ms, and as many row widgets for
// 32,767 rows as for 100 (the "row widgets" counter).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <random>

#include "core/startup/startup_list.h"
#include "gui/startup_frame.h"
#include "platform/tree_registry.h"

namespace hivora {
namespace {

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

// A registry whose user Run key holds `count` values.
struct Store {
    explicit Store(int count)
        : codec(makeAnsiCodec(936).value()),
          registry(makeMemoryRegistry(*codec)),
          layer(*registry, *codec),
          framework(dialogs) {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> length(40, 200);
        RegKey key = 0;
        (void)registry->RegCreateKeyExA(kHkeyCurrentUser, kRunKeyPath, 0, nullptr, 0, kKeyAllAccess,
                                        &key, nullptr);
        for (int i = 0; i < count; ++i) {
            const std::string name = "Program" + std::to_string(i);
            std::string command = "C:\\Program Files\\Vendor " + std::to_string(i) + "\\";
            while (static_cast<int>(command.size()) < length(random) - 4) command += 'a' + i % 26;
            command += ".exe";
            (void)registry->RegSetValueExA(key, name.c_str(), 0, kRegSz,
                                           reinterpret_cast<const std::uint8_t*>(command.c_str()),
                                           static_cast<std::uint32_t>(command.size() + 1));
        }
        (void)registry->RegCloseKey(key);
        (void)registry->flush();
    }
    std::unique_ptr<AnsiCodec> codec;
    std::unique_ptr<TreeRegistry> registry;
    RegInfoGetSet layer;
    NoDialogs dialogs;
    TweakFramework framework;
};

Store& fullStore() {
    static Store store(32767);
    return store;
}

void EnumRegValuesAlone(benchmark::State& state) {
    Store& store = fullStore();
    std::vector<std::string> names, texts;
    std::vector<RegKey> handles;
    for (auto _ : state) {
        const std::int16_t count =
            store.layer.EnumRegValues(kHkeyCurrentUser, kRunKeyPath, names, texts, handles);
        benchmark::DoNotOptimize(count);
        store.layer.CloseRegKey(handles[0]);
        store.layer.OpenKeyHandleCount() = 0;
    }
}
BENCHMARK(EnumRegValuesAlone)->Unit(benchmark::kMillisecond);

void ListRefresh(benchmark::State& state) {
    Store& store = fullStore();
    StartupList list(store.layer);
    for (auto _ : state) benchmark::DoNotOptimize(list.RefreshStartupList());
}
BENCHMARK(ListRefresh)->Unit(benchmark::kMillisecond);

void FrameRefresh(benchmark::State& state) {
    Store small(100);
    Store& store = state.range(0) == 100 ? small : fullStore();
    StartupFrame frame(store.layer, store.framework);
    frame.show();
    for (auto _ : state) frame.refresh();
    state.counters["rows"] = static_cast<double>(frame.list().size());
    state.counters["row widgets"] = static_cast<double>(frame.findChildren<QCheckBox*>().size());
}
BENCHMARK(FrameRefresh)->Arg(100)->Arg(32767)->Unit(benchmark::kMillisecond);

void ScrollStep(benchmark::State& state) {
    Store& store = fullStore();
    StartupFrame frame(store.layer, store.framework);
    frame.show();
    frame.refresh();
    auto* bar = frame.findChild<TarnXPVScrollBar*>(QStringLiteral("VScroll_PowerStart"));
    std::int32_t value = 0;
    for (auto _ : state) {
        value = value >= bar->Max() ? 0 : value + 1;
        bar->setValue(value);  // Change: the content moves, rows coming into sight are bound
    }
    state.counters["max"] = bar->Max();
}
BENCHMARK(ScrollStep)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace hivora

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
