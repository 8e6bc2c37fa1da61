// The startup list at its limit: 32,767 values in the current user's Run key, command lines of
// 40 to 200 characters. The listing alone, the list's refresh, the frame's whole refresh (listing,
// measuring every label, laying out, binding the rows in sight) and one scroll step of the
// vertical bar. Targets: frame refresh < 150 ms, scroll step < 4 ms, and as many row widgets for
// 32,767 rows as for 100 (the "row widgets" counter). The same with the 32,767 entries spread
// over every registry place (backup keys of switched-off entries included), and switching one
// entry off and on again in that list (target: 20 ms each, the save aside); and with 2,000 of
// them shortcuts in the user's Startup folder, every program looked for on the host.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QCheckBox>
#include <filesystem>
#include <fstream>
#include <random>

#include "core/catalogue/row_dispatch.h"
#include "core/startup/startup_list.h"
#include "gui/startup_frame.h"
#include "platform/path_mapping.h"
#include "platform/tree_registry.h"
#include "tests/platform/lnk_writer.h"

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

// How many entries each registry source holds (startupSources() order), 32,767 in all.
constexpr int kSpread[16] = {8000, 2767, 8000, 2000, 2000, 0, 2000, 0,
                             4000, 0,    1000, 0,    1000, 0, 2000, 0};

// The same with 2,000 of the user's Run entries in the user's Startup folder instead.
constexpr int kSpreadBesideShortcuts[16] = {6000, 2767, 8000, 2000, 2000, 0, 2000, 0,
                                            4000, 0,    1000, 0,    1000, 0, 2000, 0};
constexpr int kShortcuts = 2000;

// A registry whose user Run key holds `count` values; with `spread`, the values of every place.
struct Store {
    explicit Store(int count, const int* spread = nullptr)
        : codec(makeAnsiCodec(936).value()),
          registry(makeMemoryRegistry(*codec)),
          layer(*registry, *codec),
          framework(dialogs) {
        if (!spread) {
            fill(kHkeyCurrentUser, kRunKeyPath, count, 0);
            return;
        }
        int first = 0;
        for (std::size_t source = 0; source < 16; ++source) {
            const StartupSource& where = startupSources()[source];
            fill(where.root, where.keyPath, spread[source], first);
            first += spread[source];
        }
    }
    void fill(RegKey root, const char* path, int count, int first) {
        if (count == 0) return;
        std::mt19937 random(7 + first);
        std::uniform_int_distribution<int> length(40, 200);
        RegKey key = 0;
        (void)registry->RegCreateKeyExA(root, path, 0, nullptr, 0, kKeyAllAccess, &key, nullptr);
        for (int i = first; i < first + count; ++i) {
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

Store& spreadStore() {
    static Store store(32767, kSpread);
    return store;
}

// A Startup folder of generated shortcuts, found through the store's shell folders; the list
// looks at the host's files for it and for every program.
struct Shortcuts {
    Shortcuts() {
        char pattern[] = "/tmp/hivora-bench-startup-XXXXXX";
        folder = ::mkdtemp(pattern);
        for (int i = 0; i < kShortcuts; ++i) {
            const std::string target =
                "C:\\Program Files\\Linked " + std::to_string(i) + "\\app.exe";
            std::ofstream(folder + "/Shortcut " + std::to_string(i) + ".lnk", std::ios::binary)
                << test::shortcutBytes(target, "--from-startup " + std::to_string(i));
        }
    }
    ~Shortcuts() {
        std::filesystem::remove_all(folder);
        std::filesystem::remove_all(folder + "-data");
    }
    std::string folder;
    std::unique_ptr<FileSystem> files = makeFileSystem();
    std::unique_ptr<PathMapping> paths = makeIdentityPathMapping();
};

Shortcuts& shortcuts() {
    static Shortcuts made;
    return made;
}

Store& shortcutStore() {
    // Made once and kept for the whole run, as the other stores are.
    static Store* store = [] {
        auto* made = new Store(32767 - kShortcuts, kSpreadBesideShortcuts);
        (void)made->layer.SetRegString(
            kHkeyCurrentUser,
            "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Startup",
            shortcuts().folder, 0, kKeyAllAccess);
        (void)made->layer.SetRegString(
            kHkeyCurrentUser,
            "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "AppData",
            shortcuts().folder + "-data", 0, kKeyAllAccess);
        return made;
    }();
    return *store;
}

// Arg 2 of the benches below: the places with the shortcuts, looked at through the host's files.
Store& storeOf(std::int64_t arg) {
    return arg == 2 ? shortcutStore() : arg == 1 ? spreadStore() : fullStore();
}
// The window's list records its actions, and so also lines its Startup folders' files up with
// the backup keys at each refresh; this observer stands in for the journal at no cost.
class PassingObserver : public ActionObserver {
  public:
    Status beforeOperations(RegInfoGetSet&, std::span<const RegOp>, const ActionLabel&) override {
        return {};
    }
    Status applyOperation(RegInfoGetSet& layer, const RegOp& op) override {
        return applyRegOp(layer, op);
    }
    void rollBack(RegInfoGetSet&, std::vector<std::string>&) override {}
    Status beforeSave(RegInfoGetSet&) override { return {}; }
    void afterSave(const Status&) override {}
};

void useMachineFor(std::int64_t arg, StartupList& list) {
    static PassingObserver observer;
    if (arg == 2) {
        list.setMachine(StartupMachine{true, shortcuts().files.get(), shortcuts().paths.get()});
        list.setObserver(&observer);
    }
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

void PlacesListRefresh(benchmark::State& state) {
    StartupList list(storeOf(state.range(0)).layer);
    useMachineFor(state.range(0), list);
    for (auto _ : state) benchmark::DoNotOptimize(list.RefreshStartupList());
    state.counters["rows"] = static_cast<double>(list.size());
}
BENCHMARK(PlacesListRefresh)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Switches the entry `name` of the place whose live source is `live` off and on again, once per
// iteration; only the switches are timed, not finding the rows.
void switchOffAndOn(benchmark::State& state, StartupList& list, const std::string& name,
                    std::size_t live) {
    const auto rowOf = [&](std::size_t source) {
        for (std::size_t k = 0; k < list.size(); ++k)
            if (list.rows()[k].source == source && list.rows()[k].name == name) return k;
        return list.size();
    };
    for (auto _ : state) {
        state.PauseTiming();
        const std::size_t off = rowOf(live);
        state.ResumeTiming();
        benchmark::DoNotOptimize(list.switchRows({&off, 1}, false).switched);
        state.PauseTiming();
        const std::size_t on = rowOf(live + 1);
        state.ResumeTiming();
        benchmark::DoNotOptimize(list.switchRows({&on, 1}, true).switched);
    }
}

// One entry of the machine's Run key off and on again by moving it; the rows change in place and
// the memory store's save costs nothing.
void PlacesSwitchOne(benchmark::State& state) {
    StartupList list(spreadStore().layer);
    list.RefreshStartupList();
    switchOffAndOn(state, list, "Program" + std::to_string(kSpread[0] + kSpread[1] + 10), 2);
}
BENCHMARK(PlacesSwitchOne)->Unit(benchmark::kMillisecond);

// One shortcut of the 2,000 off and on again under Wine's rule: its bytes into the backup key and
// the file to the backup folder, then back.
void PlacesSwitchShortcut(benchmark::State& state) {
    StartupList list(shortcutStore().layer);
    useMachineFor(2, list);
    list.RefreshStartupList();
    switchOffAndOn(state, list, "Shortcut 10.lnk", kUserFolderSource);
}
BENCHMARK(PlacesSwitchShortcut)->Unit(benchmark::kMillisecond);

void FrameRefresh(benchmark::State& state) {
    Store small(100);
    Store& store = state.range(0) == 100 ? small : storeOf(state.range(0));
    StartupFrame frame(store.layer, store.framework);
    useMachineFor(state.range(0), frame.list());
    frame.show();
    for (auto _ : state) frame.refresh();
    state.counters["rows"] = static_cast<double>(frame.list().size());
    state.counters["row widgets"] = static_cast<double>(frame.findChildren<QCheckBox*>().size());
}
// Arg 1: the 32,767 entries spread over the places; 2: 2,000 of them shortcuts.
BENCHMARK(FrameRefresh)->Arg(100)->Arg(32767)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void ScrollStep(benchmark::State& state) {
    Store& store = storeOf(state.range(0));
    StartupFrame frame(store.layer, store.framework);
    useMachineFor(state.range(0), frame.list());
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
BENCHMARK(ScrollStep)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

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
