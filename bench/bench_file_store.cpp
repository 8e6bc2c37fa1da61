// The Wine-format registry store with a hive the size of a real Wine prefix's: system.reg of
// 30,000 keys and over 2 MB, generated in a temporary folder. Measures loading the store, one
// value changed and saved durably, and one user action of six writes with its save.
// Targets on the development machine: load >= 100 MB/s, a durable single change < 15 ms.

#include <benchmark/benchmark.h>

#include "bench/generated_store.h"

namespace hivora {
namespace {

using namespace bench;

void BM_LoadStore(benchmark::State& state) {
    const GeneratedStore& g = generated();
    for (auto _ : state) {
        auto store = openFileStore(g.folder(), codec());
        if (!store) state.SkipWithError(store.status().message().c_str());
        state.PauseTiming();  // freeing the trees is not part of loading
        store = Status::error("done");
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * g.bytes()));
    state.counters["system.reg_MB"] = static_cast<double>(g.systemBytes()) / 1e6;
    state.counters["keys"] = kKeyCount;
}
BENCHMARK(BM_LoadStore)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SingleChangeSavedDurably(benchmark::State& state) {
    auto store = openFileStore(generated().folder(), codec()).value();
    std::uint32_t n = 0;
    const std::string path = "Software\\Vendor25\\Component15015";
    for (auto _ : state) {
        if (setValue(*store, kHkeyLocalMachine, path, "Flags", kRegDword, dword(++n)) != 0)
            state.SkipWithError("write refused");
        if (!store->flush().isOk()) state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SingleChangeSavedDurably)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ActionOfSixWritesAndItsSave(benchmark::State& state) {
    auto store = openFileStore(generated().folder(), codec()).value();
    std::uint32_t n = 0;
    const std::string policies = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
    for (auto _ : state) {
        ++n;
        setValue(*store, kHkeyLocalMachine, policies, "NoDrives", kRegDword, dword(n));
        setValue(*store, kHkeyLocalMachine, policies, "NoViewOnDrive", kRegDword, dword(n));
        setValue(*store, kHkeyLocalMachine, policies, "NoRun", kRegBinary, dword(n));
        setValue(*store, kHkeyLocalMachine, "Software\\Vendor01\\Component00601", "InstallPath",
                 kRegSz, "D:\\" + std::to_string(n) + '\0');
        setValue(*store, kHkeyCurrentUser, policies, "NoClose", kRegDword, dword(n));
        setValue(*store, kHkeyCurrentUser, "Control Panel\\Desktop", "Wallpaper", kRegSz,
                 "C:\\wall" + std::to_string(n) + ".bmp" + '\0');
        if (!store->flush().isOk()) state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_ActionOfSixWritesAndItsSave)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace hivora

BENCHMARK_MAIN();
