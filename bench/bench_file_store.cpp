// The Wine-format registry store with a hive the size of a real Wine prefix's: system.reg of
// 30,000 keys and over 2 MB, generated in a temporary folder. Measures loading the store, one
// value changed and saved durably, and one user action of six writes with its save.
// Also a user.reg whose one key is nested 300,000 levels deep: loaded, changed, saved and closed.
// Targets on the development machine: load >= 100 MB/s, a durable single change < 15 ms, the deep
// key's round < 1 s (also under the sanitizers).

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/ansi_codec.h"
#include "platform/posix/durable_file.h"
#include "platform/posix/file_store.h"

namespace hivora {
namespace {

constexpr int kKeyCount = 30000;

const AnsiCodec& codec() {
    static const std::unique_ptr<AnsiCodec> c = makeAnsiCodec(936).value();
    return *c;
}

RegResult setValue(RegistryApi& api, RegKey root, const std::string& path, const char* name,
                   std::uint32_t type, const std::string& data, const char* keyClass = "REG_SZ") {
    RegKey k = 0;
    RegResult r =
        api.RegCreateKeyExA(root, path.c_str(), 0, keyClass, 0, kKeyAllAccess, &k, nullptr);
    if (r != kErrorSuccess) return r;
    r = api.RegSetValueExA(k, name, 0, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                           static_cast<std::uint32_t>(data.size()));
    api.RegCloseKey(k);
    return r;
}

std::string dword(std::uint32_t v) {
    return std::string(reinterpret_cast<const char*>(&v), 4);
}

// The generated store, made once for all benchmarks and removed at exit.
class GeneratedStore {
  public:
    GeneratedStore() {
        m_folder = (std::filesystem::temp_directory_path() / "hivora-bench-XXXXXX").string();
        if (!::mkdtemp(m_folder.data())) std::abort();
        auto store = openFileStore(m_folder, codec()).value();
        // Keys as a prefix's classes and components look: one or two values each.
        for (int i = 0; i < kKeyCount; ++i) {
            char path[96];
            std::snprintf(path, sizeof path, "Software\\Vendor%02d\\Component%05d", i / 600, i);
            setValue(*store, kHkeyLocalMachine, path, "", kRegSz,
                     "C:\\windows\\system32\\comp" + std::to_string(i) + ".dll" + '\0', nullptr);
            if (i % 2 == 0)
                setValue(*store, kHkeyLocalMachine, path, "Flags", kRegDword,
                         dword(static_cast<std::uint32_t>(i)), nullptr);
        }
        setValue(*store, kHkeyCurrentUser, "Software\\Hivora", "Start", kRegDword, dword(0));
        if (!store->flush().isOk()) std::abort();
        for (const char* name : {"system.reg", "user.reg", "userdef.reg"}) {
            const std::string path = m_folder + "/" + name;
            if (std::filesystem::exists(path)) m_bytes += std::filesystem::file_size(path);
        }
        m_systemBytes = std::filesystem::file_size(m_folder + "/system.reg");
    }
    ~GeneratedStore() {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    const std::string& folder() const { return m_folder; }
    std::uintmax_t bytes() const { return m_bytes; }
    std::uintmax_t systemBytes() const { return m_systemBytes; }

  private:
    std::string m_folder;
    std::uintmax_t m_bytes = 0;
    std::uintmax_t m_systemBytes = 0;
};

GeneratedStore& generated() {
    static GeneratedStore store;
    return store;
}

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

void BM_KeyNested300000LevelsLoadedChangedSavedClosed(benchmark::State& state) {
    constexpr int kDepth = 300'000;
    std::string filePath, apiPath;
    for (int level = 0; level < kDepth; ++level) {
        filePath += level ? "\\\\k" : "k";
        apiPath += level ? "\\k" : "k";
    }
    std::string folder = (std::filesystem::temp_directory_path() / "hivora-deep-XXXXXX").string();
    if (!::mkdtemp(folder.data())) std::abort();
    const std::string text =
        "WINE REGISTRY Version 2\n\n[" + filePath + "] 1700000000\n\"D\"=dword:00000001\n";
    std::uint32_t n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!replaceFileDurably(folder + "/user.reg", text).isOk()) std::abort();
        state.ResumeTiming();
        auto store = openFileStore(folder, codec()).value();
        if (setValue(*store, kHkeyCurrentUser, apiPath, "D", kRegDword, dword(++n)) != 0)
            state.SkipWithError("write refused");
        if (!store->flush().isOk()) state.SkipWithError("save failed");
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}
BENCHMARK(BM_KeyNested300000LevelsLoadedChangedSavedClosed)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace hivora

BENCHMARK_MAIN();
