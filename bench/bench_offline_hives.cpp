// An installed Windows of realistic size worked on from outside (--windows): hives of about
// 80 MB (SOFTWARE), 15 MB (SYSTEM) and 5 MB (NTUSER.DAT), generated through libhivex, beside a
// private store in Wine's format holding the same keys and values.
//
// BM_OpenHivesVsPrivateStore: opening the registry and reading what the window reads first (the
// two Run keys of the startup list), the hives against the private store, in the same iteration.
// Target: ratio <= 1.5. (The window's first frame itself comes before either is opened.)
//
// BM_RowChangeVsDurableCopy: one row's change to SOFTWARE saved (backup, write, sync, rename,
// read back) against a plain durable copy of the same file (read, write, sync, rename, sync the
// folder), in the same iteration. Target: ratio <= 2.

#include <benchmark/benchmark.h>
#include <hivex.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ansi_codec.h"
#include "platform/posix/durable_file.h"
#include "platform/posix/file_store.h"
#include "platform/posix/hive_store.h"

namespace hivora {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kValuesPerKey = 20;
constexpr int kRunEntries = 50;
const char* const kRun = "Microsoft\\Windows\\CurrentVersion\\Run";

std::string utf16z(const std::string& ascii) {
    std::string out;
    for (char c : ascii) out += {c, '\0'};
    return out + std::string(2, '\0');
}

std::string valueText(int key, int value) {
    return "C:\\Program Files\\Vendor" + std::to_string(key % 97) + "\\component-" +
           std::to_string(key) + "-" + std::to_string(value) + ".dll,-" + std::to_string(value);
}

// The smallest hive (base block, one bin with the root key and its security cell), as the tests
// make it; see tests/platform/hive_test_support.h.
std::string minimalHive() {
    std::string h(8192, '\0');
    auto put = [&h](std::size_t at, std::uint64_t v, int w) {
        for (int i = 0; i < w; ++i) h[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    h.replace(0, 4, "regf");
    put(4, 1, 4), put(8, 1, 4), put(20, 1, 4), put(24, 5, 4), put(32, 1, 4);
    put(36, 0x20, 4), put(40, 4096, 4), put(44, 1, 4);
    std::uint32_t sum = 0;
    for (std::size_t at = 0; at < 508; at += 4)
        sum ^= static_cast<std::uint32_t>(static_cast<unsigned char>(h[at])) |
               static_cast<std::uint32_t>(static_cast<unsigned char>(h[at + 1])) << 8 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(h[at + 2])) << 16 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(h[at + 3])) << 24;
    put(508, sum, 4);
    const std::size_t bin = 4096, nk = bin + 32, sk = nk + 88;
    h.replace(bin, 4, "hbin"), put(bin + 8, 4096, 4);
    put(nk, static_cast<std::uint32_t>(-88), 4), h.replace(nk + 4, 2, "nk"), put(nk + 6, 0x2C, 2);
    put(nk + 20, 0xFFFFFFFF, 4), put(nk + 32, 0xFFFFFFFF, 4), put(nk + 36, 0xFFFFFFFF, 4);
    put(nk + 44, 0xFFFFFFFF, 4), put(nk + 48, sk - bin, 4), put(nk + 52, 0xFFFFFFFF, 4);
    put(nk + 76, 4, 2), h.replace(nk + 80, 4, "ROOT");
    put(sk, static_cast<std::uint32_t>(-48), 4), h.replace(sk + 4, 2, "sk");
    put(sk + 8, sk - bin, 4), put(sk + 12, sk - bin, 4), put(sk + 16, 1, 4), put(sk + 20, 20, 4);
    h[sk + 24] = 1, put(sk + 26, 0x8004, 2);
    put(sk + 48, bin + 4096 - (sk + 48), 4);
    return h;
}

hive_node_h child(hive_h* h, hive_node_h parent, const std::string& name) {
    const hive_node_h found = hivex_node_get_child(h, parent, name.c_str());
    return found ? found : hivex_node_add_child(h, parent, name.c_str());
}

// A hive of `keys` keys of kValuesPerKey text values each (under Vendor<n>\Product<m>), plus
// `extra` (the Run entries, the version) as key path -> values; appends the same, in Wine's text
// format below `winePrefix` ("" for a hive's own root), to `wineText`.
void makeHive(
    const std::string& path, int keys, const std::string& winePrefix,
    const std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>>&
        extra,
    std::string& wineText) {
    std::ofstream(path, std::ios::binary) << minimalHive();
    hive_h* h = hivex_open(path.c_str(), HIVEX_OPEN_WRITE);
    if (!h) std::abort();
    auto wineKey = [&](const std::string& key) {
        std::string escaped;
        for (char c : winePrefix + key)
            escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
        wineText += "\n[" + escaped + "] 1700000000\n#time=1da0000000000000\n";
    };
    auto wineValue = [&](const std::string& name, const std::string& text) {
        std::string escaped;
        for (char c : text) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
        wineText += "\"" + name + "\"=\"" + escaped + "\"\n";
    };
    auto setAll = [&](hive_node_h node, const std::vector<std::pair<std::string, std::string>>& v) {
        std::vector<std::string> names, datas;
        std::vector<hive_set_value> values;
        for (const auto& [name, text] : v) names.push_back(name), datas.push_back(utf16z(text));
        for (std::size_t i = 0; i < v.size(); ++i)
            values.push_back({names[i].data(), hive_t_REG_SZ, datas[i].size(), datas[i].data()});
        if (hivex_node_set_values(h, node, values.size(), values.data(), 0) != 0) std::abort();
        for (const auto& [name, text] : v) wineValue(name, text);
    };
    for (int k = 0; k < keys; ++k) {
        const std::string vendor = "Vendor" + std::to_string(k % 100);
        const std::string product = "Product" + std::to_string(k);
        const hive_node_h node = child(h, child(h, hivex_root(h), vendor), product);
        wineKey(vendor + "\\" + product);
        std::vector<std::pair<std::string, std::string>> values;
        for (int v = 0; v < kValuesPerKey; ++v)
            values.emplace_back("Setting" + std::to_string(v), valueText(k, v));
        setAll(node, values);
    }
    for (const auto& [key, values] : extra) {
        hive_node_h node = hivex_root(h);
        std::size_t start = 0;
        while (start < key.size()) {
            std::size_t end = key.find('\\', start);
            if (end == std::string::npos) end = key.size();
            node = child(h, node, key.substr(start, end - start));
            start = end + 1;
        }
        wineKey(key);
        setAll(node, values);
    }
    if (hivex_commit(h, path.c_str(), 0) != 0) std::abort();
    hivex_close(h);
}

struct Generated {
    std::string root, config, privateStore;
    std::uintmax_t hiveBytes = 0;
    Generated() {
        root = (fs::temp_directory_path() / "hivora-offline-XXXXXX").string();
        if (!::mkdtemp(root.data())) std::abort();
        config = root + "/Windows/System32/config";
        privateStore = root + "/private";
        fs::create_directories(config);
        fs::create_directories(root + "/Users/alice");
        fs::create_directories(privateStore);
        std::vector<std::pair<std::string, std::string>> run;
        for (int i = 0; i < kRunEntries; ++i)
            run.emplace_back("Tool" + std::to_string(i),
                             "\"C:\\Program Files\\Tool " + std::to_string(i) + "\\tool.exe\" /bg");
        std::string machine = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n";
        std::string user =
            "WINE REGISTRY Version 2\n;; All keys relative to "
            "\\\\User\\\\S-1-5-21-0-0-0-1000\n";
        const std::string cv = "Microsoft\\Windows NT\\CurrentVersion";
        makeHive(config + "/SOFTWARE", 19200, "Software\\",
                 {{kRun, run},
                  {cv, {{"ProductName", "Windows 10 Pro"}, {"CurrentBuild", "19045"}}},
                  {cv + "\\ProfileList\\S-1-5-21-1-2-3-1001",
                   {{"ProfileImagePath", "C:\\Users\\alice"}}}},
                 machine);
        makeHive(config + "/SYSTEM", 4500, "System\\", {{"Select", {}}}, machine);
        makeHive(root + "/Users/alice/NTUSER.DAT", 1500, "",
                 {{std::string("Software\\") + kRun, run}}, user);
        std::ofstream(privateStore + "/system.reg", std::ios::binary) << machine;
        std::ofstream(privateStore + "/user.reg", std::ios::binary) << user;
        for (const char* f : {"/SOFTWARE", "/SYSTEM"}) hiveBytes += fs::file_size(config + f);
        hiveBytes += fs::file_size(root + "/Users/alice/NTUSER.DAT");
    }
    ~Generated() { fs::remove_all(root); }
};

Generated& generated() {
    static Generated g;
    return g;
}

const AnsiCodec& codec() {
    static const auto c = makeAnsiCodec(936).value();
    return *c;
}

// What the startup list reads first: every value of both Run keys.
void readRunKeys(RegistryApi& api) {
    for (RegKey root : {kHkeyLocalMachine, kHkeyCurrentUser}) {
        RegKey k = 0;
        if (api.RegOpenKeyExA(root, (std::string("Software\\") + kRun).c_str(), 0, kKeyRead, &k))
            std::abort();
        char name[256], data[1024];
        int count = 0;
        for (std::uint32_t i = 0;; ++i) {
            std::uint32_t nameSize = sizeof name, dataSize = sizeof data, type = 0;
            if (api.RegEnumValueA(k, i, name, &nameSize, &type,
                                  reinterpret_cast<std::uint8_t*>(data), &dataSize))
                break;
            ++count;
        }
        if (count != kRunEntries) std::abort();
        api.RegCloseKey(k);
    }
}

std::unique_ptr<TreeRegistry> openHives() {
    auto installation = findWindowsInstallation(generated().root);
    if (!installation || installation.value().users.empty()) std::abort();
    auto opened =
        openWindowsRegistry(installation.value(), &installation.value().users[0], codec());
    if (!opened) std::abort();
    return std::move(opened.value().registry);
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_OpenHivesVsPrivateStore(benchmark::State& state) {
    generated();
    double hives = 0, store = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        {
            auto registry = openHives();
            readRunKeys(*registry);
        }
        const double h = secondsSince(start);
        start = Clock::now();
        {
            auto registry = openFileStore(generated().privateStore, codec()).value();
            readRunKeys(*registry);
        }
        const double s = secondsSince(start);
        hives += h, store += s;
        state.SetIterationTime(h);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["hives_ms"] = hives / n * 1e3;
    state.counters["private_ms"] = store / n * 1e3;
    state.counters["ratio"] = hives / store;
    state.counters["hive_MB"] = static_cast<double>(generated().hiveBytes) / 1e6;
    state.counters["software_MB"] =
        static_cast<double>(fs::file_size(generated().config + "/SOFTWARE")) / 1e6;
}
BENCHMARK(BM_OpenHivesVsPrivateStore)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);

void BM_RowChangeVsDurableCopy(benchmark::State& state) {
    const std::string software = generated().config + "/SOFTWARE";
    const std::string copy = generated().config + "/SOFTWARE.copy";
    double change = 0, plain = 0;
    int round = 0;
    for (auto _ : state) {
        auto registry = openHives();
        RegKey k = 0;
        if (registry->RegOpenKeyExA(kHkeyLocalMachine, "SOFTWARE\\Vendor7\\Product7", 0,
                                    kKeyAllAccess, &k))
            std::abort();
        const std::string text = "changed " + std::to_string(++round);
        (void)registry->RegSetValueExA(k, "Setting3", 0, kRegSz,
                                       reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                       static_cast<std::uint32_t>(text.size() + 1));
        registry->RegCloseKey(k);
        auto start = Clock::now();
        if (!registry->flush()) std::abort();
        const double c = secondsSince(start);

        start = Clock::now();
        auto bytes = readWholeFile(software);
        if (!bytes || !replaceFileDurably(copy, bytes.value())) std::abort();
        const double p = secondsSince(start);
        change += c, plain += p;
        state.SetIterationTime(c);
        // Each round is a run of its own: its first save makes a backup again.
        registry.reset();
        for (const auto& entry : fs::directory_iterator(generated().config))
            if (entry.path().string().find(".hivora-backup-") != std::string::npos ||
                entry.path() == copy)
                fs::remove(entry.path());
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["change_ms"] = change / n * 1e3;
    state.counters["copy_ms"] = plain / n * 1e3;
    state.counters["ratio"] = change / plain;
}
BENCHMARK(BM_RowChangeVsDurableCopy)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

}  // namespace
}  // namespace hivora

BENCHMARK_MAIN();
