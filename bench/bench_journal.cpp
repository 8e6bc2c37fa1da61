// The change journal's cost. One row action (hide a desktop item: a namespace key removed and two
// switches written) on a store whose system.reg is over 2 MB, with and without the journal, the
// journal synced to disk as in use; the journal's own work without the disk; and reading a journal
// of 10,000 entries as the history window does.
// Targets: the journal adds under 1 ms plus one sync to an action; 10,000 entries read < 100 ms.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/catalogue/row_dispatch.h"
#include "core/export/export_file.h"
#include "core/journal/action_recorder.h"
#include "core/journal/journal_items.h"
#include "core/journal/journal_text.h"
#include "platform/ansi_codec.h"
#include "platform/journal_file.h"
#include "platform/posix/file_store.h"

namespace hivora {
namespace {

constexpr int kKeyCount = 30000;

const AnsiCodec& codec() {
    static const std::unique_ptr<AnsiCodec> c = makeAnsiCodec(936).value();
    return *c;
}

void setValue(RegistryApi& api, RegKey root, const std::string& path, const char* name,
              std::uint32_t type, const std::string& data) {
    RegKey k = 0;
    if (api.RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, kKeyAllAccess, &k, nullptr) != 0)
        std::abort();
    (void)api.RegSetValueExA(k, name, 0, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                             static_cast<std::uint32_t>(data.size()));
    api.RegCloseKey(k);
}

const std::string kNameSpace =
    "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\Desktop\\NameSpace\\"
    "{645FF040-5081-101B-9F08-00AA002F954E}";

// A store of over 2 MB in a temporary folder, made once and removed at exit.
class GeneratedStore {
  public:
    GeneratedStore() {
        m_folder = (std::filesystem::temp_directory_path() / "hivora-bench-XXXXXX").string();
        if (!::mkdtemp(m_folder.data())) std::abort();
        auto store = openFileStore(m_folder + "/store", codec()).value();
        for (int i = 0; i < kKeyCount; ++i) {
            char path[96];
            std::snprintf(path, sizeof path, "Software\\Vendor%02d\\Component%05d", i / 600, i);
            setValue(*store, kHkeyLocalMachine, path, "", kRegSz,
                     "C:\\windows\\system32\\comp" + std::to_string(i) + ".dll" + '\0');
        }
        seedItem(*store);
        if (!store->flush().isOk()) std::abort();
    }
    ~GeneratedStore() {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    static void seedItem(RegistryApi& api) {
        setValue(api, kHkeyLocalMachine, kNameSpace, "", kRegSz, std::string("Bin\0", 4));
        setValue(api, kHkeyLocalMachine, kNameSpace, "InfoTip", kRegSz, std::string("Tip\0", 4));
    }
    std::string storeFolder() const { return m_folder + "/store"; }
    std::string journalPath() const { return m_folder + "/state/journal.jsonl"; }

  private:
    std::string m_folder;
};

GeneratedStore& generated() {
    static GeneratedStore store;
    return store;
}

struct NoRefresh : DesktopRefresher {
    void refreshDesktop() override {}
};
struct SilentDialogs : DialogServices {
    int ShowMessageBox(const std::string&, int, const std::string&) override { return kIdOk; }
    std::string ShowInputBox(const std::string&, const std::string&, const std::string&,
                             bool) override {
        return {};
    }
    std::string ShowOpenFileDialog(const std::string&) override { return {}; }
    std::string ShowSaveFileDialog(const std::string&, const std::string&) override { return {}; }
    std::int32_t ShowColorDialog(std::int32_t c) override { return c; }
    Status RunCommand(const std::string&, int) override { return Status::ok(); }
    std::string BrowseForFolder(const std::string&) override { return {}; }
};
struct NoFiles : FileSystem {
    std::optional<std::uint32_t> attributes(const std::string&) const override { return {}; }
};

enum class JournalKind { None, OnDisk, InMemory };

// Each iteration hides the Recycle Bin (the action measured); putting the item back between
// iterations is not timed.
void runHide(benchmark::State& state, JournalKind kind) {
    auto store = openFileStore(generated().storeFolder(), codec()).value();
    RegInfoGetSet layer(*store, codec());
    SilentDialogs dialogs;
    TweakFramework framework(dialogs);
    NoFiles files;
    NoRefresh refresher;
    const std::unique_ptr<JournalFiles> disk = makeJournalFiles();
    MemoryJournalFiles memory;
    JournalFiles& journalFiles = kind == JournalKind::OnDisk ? *disk : memory;
    ChangeJournal journal(journalFiles, generated().journalPath(), "bench");
    ActionRecorder recorder(journal);
    CatalogueServices services{layer, framework, files, refresher};
    services.observer = kind == JournalKind::None ? nullptr : &recorder;
    for (auto _ : state) {
        const RowOutcome outcome =
            runRowAction(services, CataloguePage::HideShow, 0, RowButton::Set);
        if (!outcome.status.isOk()) state.SkipWithError(outcome.status.message().c_str());
        state.PauseTiming();
        GeneratedStore::seedItem(*store);
        (void)store->flush();
        state.ResumeTiming();
    }
}

void BM_HideWithoutJournal(benchmark::State& state) {
    runHide(state, JournalKind::None);
}
void BM_HideWithJournalOnDisk(benchmark::State& state) {
    runHide(state, JournalKind::OnDisk);
}
void BM_HideWithJournalInMemory(benchmark::State& state) {
    runHide(state, JournalKind::InMemory);
}
BENCHMARK(BM_HideWithoutJournal)->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_HideWithJournalOnDisk)->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_HideWithJournalInMemory)->Unit(benchmark::kMillisecond)->Iterations(40);

// The journal's own part alone: the touched items read before and after, the entry as JSON and
// its append to a file in memory. (The registry is only read, so every iteration is alike.)
void BM_JournalWorkPerAction(benchmark::State& state) {
    auto store = openFileStore(generated().storeFolder(), codec()).value();
    const RegistryView view{*store, codec()};
    MemoryJournalFiles memory;
    ChangeJournal journal(memory, "/j", "bench");
    const RegOp ops[] = {
        removeKey(kHkeyLocalMachine, kNameSpace),
        setDword(kHkeyCurrentUser, "Software\\Hide\\NewStartPanel", "{645FF040}", 1),
        setDword(kHkeyCurrentUser, "Software\\Hide\\ClassicStartMenu", "{645FF040}", 1),
    };
    for (auto _ : state) {
        Result<std::vector<JournalItem>> items = itemsTouchedBy(view, ops);
        if (!items) state.SkipWithError("capture failed");
        JournalEntry entry;
        entry.label = {"hideShow", 0, "set", "隐藏"};
        entry.items = std::move(items).value();
        (void)readItemStates(view, entry.items, false);
        (void)journal.append(entry);
    }
}
BENCHMARK(BM_JournalWorkPerAction)->Unit(benchmark::kMicrosecond);

// One entry appended to the journal on disk and synced: the sync the journal adds.
void BM_AppendOneEntrySynced(benchmark::State& state) {
    const std::unique_ptr<JournalFiles> disk = makeJournalFiles();
    ChangeJournal journal(*disk, generated().journalPath() + ".append", "bench");
    JournalEntry entry;
    entry.label = {"hideShow", 0, "set", "隐藏"};
    entry.items.push_back({ItemKind::Value,
                           kHkeyCurrentUser,
                           "Software\\Hide",
                           "{645FF040}",
                           ValueState{},
                           ValueState{true, kRegDword, std::string(4, '\1')},
                           {},
                           {}});
    for (auto _ : state) (void)journal.append(entry);
}
BENCHMARK(BM_AppendOneEntrySynced)->Unit(benchmark::kMillisecond)->Iterations(40);

// A journal of 10,000 entries of a hide each (a removed key with two values, two switches).
void BM_ReadTenThousandEntries(benchmark::State& state) {
    MemoryJournalFiles memory;
    JournalEntry entry;
    entry.label = {"hideShow", 0, "set", "隐藏\"回收站\""};
    KeyState removed{true, "{645FF040}", "REG_SZ", {}, {}};
    removed.values = {{"", kRegSz, std::string("Bin\0", 4)}, {"InfoTip", kRegSz, "Tip"}};
    entry.items.push_back(
        {ItemKind::Key, kHkeyLocalMachine, kNameSpace, {}, {}, {}, removed, KeyState{}});
    for (const char* key : {"NewStartPanel", "ClassicStartMenu"})
        entry.items.push_back({ItemKind::Value,
                               kHkeyCurrentUser,
                               std::string("Software\\HideDesktopIcons\\") + key,
                               "{645FF040}",
                               ValueState{true, kRegDword, std::string(4, '\0')},
                               ValueState{true, kRegDword, std::string("\x01\0\0\0", 4)},
                               {},
                               {}});
    std::string text;
    for (int i = 1; i <= 10000; ++i) {
        entry.id = i;
        text += entryToJson(entry) + "\n";
    }
    memory.file("/j") = text;
    const bool lines = state.range(0) != 0;
    for (auto _ : state) {
        ChangeJournal journal(memory, "/j", "bench");
        if (!journal.load().isOk() || journal.entries().size() != 10000) std::abort();
        if (!lines) continue;
        std::size_t total = 0;
        for (const HistoryRow& row : historyRows(journal.entries(), codec()))
            total += historyLine(row).size();
        benchmark::DoNotOptimize(total);
    }
    state.counters["bytes"] = static_cast<double>(text.size());
}
// Argument 0: the entries read; 1: and each made into its history line.
BENCHMARK(BM_ReadTenThousandEntries)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Ten thousand actions, each setting its own value (a hundred keys of a hundred values), and
// every hundredth removing a key whole, exported in one format: argument 0 .reg, 1 PowerShell,
// 2 Ansible. Target: under 200 ms.
void BM_ExportTenThousandEntries(benchmark::State& state) {
    std::vector<JournalEntry> entries(10000);
    for (int i = 0; i < 10000; ++i) {
        JournalEntry& entry = entries[static_cast<std::size_t>(i)];
        entry.id = i + 1;
        entry.label = {"desktop", i % 12, "set", "屏蔽桌面所有图标"};
        const std::string key = "Software\\HivoraBench\\K" + std::to_string(i % 100);
        entry.items.push_back({ItemKind::Value, kHkeyCurrentUser, key,
                               "V" + std::to_string(i), ValueState{},
                               ValueState{true, kRegSz,
                                          codec().toAnsi("值 " + std::to_string(i)).value() +
                                              '\0'},
                               {}, {}});
        if (i % 100 == 99) {
            KeyState removed{true, "Gone", "", {{"X", kRegDword, std::string(4, '\1')}}, {}};
            entry.items.push_back({ItemKind::Key, kHkeyCurrentUser,
                                   "Software\\HivoraBench\\Gone" + std::to_string(i), {}, {},
                                   {}, removed, KeyState{}});
        }
    }
    const ExportFormat format = static_cast<ExportFormat>(state.range(0));
    std::vector<std::size_t> chosen(entries.size());
    for (std::size_t i = 0; i < chosen.size(); ++i) chosen[i] = i;
    std::size_t bytes = 0;
    for (auto _ : state) {
        Result<ExportText> text = exportText(entries, chosen, format, codec());
        if (!text) std::abort();
        bytes = text.value().bytes.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ExportTenThousandEntries)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace hivora

BENCHMARK_MAIN();
