#pragma once
// A registry store in a temporary folder (the real file store, with a fixed clock so that its
// files can be compared byte for byte), the access layer, a change journal in memory and the
// catalogue's services with the journal's recorder hooked in.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "core/catalogue/registry_locations.h"
#include "core/catalogue/row_dispatch.h"
#include "core/journal/action_recorder.h"
#include "core/journal/change_journal.h"
#include "core/journal/journal_undo.h"
#include "platform/journal_file.h"
#include "platform/posix/file_store.h"
#include "tests/core/catalogue_harness.h"
#include "tests/core/scripted_dialogs.h"
#include "tests/platform/store_test_support.h"

namespace hivora::testing {

inline constexpr FileTime kFixedTime = kTicks1601To1970 + 1'700'000'000ULL * kTicksPerSecond;
inline constexpr char kJournalPath[] = "/journal/store.jsonl";

class NullRefresher : public DesktopRefresher {
  public:
    void refreshDesktop() override {}
};

class JournalFixture {
  public:
    // `journalFiles` null: an in-memory journal owned by the fixture.
    explicit JournalFixture(JournalFiles* journalFiles = nullptr,
                            std::string journalPath = kJournalPath)
        : m_journalFiles(journalFiles ? *journalFiles : m_memoryFiles),
          m_journal(m_journalFiles, std::move(journalPath), m_folder.path(),
                    [this] { return m_now; }),
          m_recorder(m_journal),
          m_framework(m_dialogs) {
        m_files.entries = {{kExistingPicture, kFileAttributeArchive},
                           {kExistingFolder, kFileAttributeDirectory}};
        reopen();
    }

    // Opens the store again from its files (as a new run of the program would) and reloads the
    // journal.
    void reopen() {
        m_services.reset();
        m_layer.reset();
        m_store.reset();
        auto store = openFileStore(m_folder.path(), test::codec936(), m_storeOptions);
        ASSERT_TRUE(store) << store.status().message();
        m_store = std::move(store).value();
        m_store->setClock([] { return kFixedTime; });
        m_layer = std::make_unique<RegInfoGetSet>(*m_store, test::codec936());
        m_services.reset(new CatalogueServices{*m_layer, m_framework, m_files, m_refresher});
        m_services->observer = &m_recorder;
        ASSERT_TRUE(m_journal.load());
    }

    // The three hive files as they are on disk.
    std::map<std::string, std::string> hiveFiles() const {
        std::map<std::string, std::string> files;
        for (const char* name : {"system.reg", "user.reg", "userdef.reg"})
            files[name] = test::readFile(m_folder / name);
        return files;
    }

    RowOutcome run(CataloguePage page, int row, RowButton button) {
        return runRowAction(*m_services, page, row, button);
    }
    UndoOutcome undo() {
        UndoServices services{*m_layer, m_journal, m_dialogs};
        return undoLatest(services);
    }
    UndoOutcome redo() {
        UndoServices services{*m_layer, m_journal, m_dialogs};
        return redoLatest(services);
    }
    // Runs `action` without recording it, as a change made before the journal existed.
    void runUnrecorded(CataloguePage page, int row, RowButton button) {
        CatalogueServices plain{*m_layer, m_framework, m_files, m_refresher};
        (void)runRowAction(plain, page, row, button);
    }

    RegistryView view() { return {*m_store, test::codec936()}; }
    TreeRegistry& store() { return *m_store; }
    RegInfoGetSet& layer() { return *m_layer; }
    ChangeJournal& journal() { return m_journal; }
    MemoryJournalFiles& memoryFiles() { return m_memoryFiles; }
    ActionRecorder& recorder() { return m_recorder; }
    ScriptedDialogs& dialogs() { return m_dialogs; }
    const std::string& folder() const { return m_folder.path(); }
    void setNow(std::int64_t seconds) { m_now = seconds; }
    // Options for the next reopen(), such as faults in the store's saves.
    void setStoreOptions(FileStoreOptions options) { m_storeOptions = std::move(options); }

  private:
    test::TempFolder m_folder;
    FileStoreOptions m_storeOptions;
    MemoryJournalFiles m_memoryFiles;
    JournalFiles& m_journalFiles;
    std::int64_t m_now = 1'700'000'000;
    ChangeJournal m_journal;
    ActionRecorder m_recorder;
    ScriptedDialogs m_dialogs;
    TweakFramework m_framework;
    FakeFileSystem m_files;
    NullRefresher m_refresher;
    std::unique_ptr<TreeRegistry> m_store;
    std::unique_ptr<RegInfoGetSet> m_layer;
    std::unique_ptr<CatalogueServices> m_services;
};

// Sets a value of any type through the raw registry, making its key.
inline void putValue(RegistryApi& api, RegKey root, const std::string& key, const std::string& name,
                     std::uint32_t type, const std::string& data) {
    RegKey handle = 0;
    ASSERT_EQ(
        api.RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, kKeyAllAccess, &handle, nullptr),
        kErrorSuccess);
    ASSERT_EQ(api.RegSetValueExA(handle, name.c_str(), 0, type,
                                 reinterpret_cast<const std::uint8_t*>(data.data()),
                                 static_cast<std::uint32_t>(data.size())),
              kErrorSuccess);
    (void)api.RegCloseKey(handle);
}

inline std::string ansiText(const std::string& utf8) {
    return test::codec936().toAnsi(utf8).value() + std::string(1, '\0');
}

inline const std::string kRecycleBin =
    std::string(locations::kDesktopNameSpace) + "{645FF040-5081-101B-9F08-00AA002F954E}";
inline const std::string kBrowser =
    std::string(locations::kDesktopNameSpace) + "{FBF23B42-E3F0-101B-8488-00AA003E56F8}";
inline const std::string kMyDocuments =
    std::string(locations::kDesktopNameSpace) + "{450d8fba-ad25-11d0-98a8-0800361b1103}";

// What a user's registry holds before the program touches it: desktop items with their own
// values, and a policy of someone else's beside the ones the rows write.
inline void seedUsersRegistry(RegistryApi& api) {
    for (const std::string& key : {kRecycleBin, kBrowser, kMyDocuments}) {
        putValue(api, kHkeyLocalMachine, key, "", kRegSz, ansiText("回收站"));
        putValue(api, kHkeyLocalMachine, key, "InfoTip", kRegExpandSz,
                 ansiText("%SystemRoot%\\提示"));
        putValue(api, kHkeyLocalMachine, key, "Flags", kRegBinary, std::string("\x07\0\xff", 3));
    }
    putValue(api, kHkeyCurrentUser, locations::kExplorerPolicies, "NoDrives", kRegDword,
             std::string("\x04\0\0\0", 4));
    putValue(api, kHkeyCurrentUser, locations::kExplorerPolicies, "SomeoneElses", kRegMultiSz,
             std::string("a\0b\0\0", 5));
    // Every registry has these; their absence would leave an empty hive file or the root of
    // HKEY_CLASSES_ROOT behind after an undo, which no real registry lacks.
    putValue(api, kHkeyUsers, ".DEFAULT\\Control Panel", "Seed", kRegSz, ansiText("默认"));
    putValue(api, kHkeyClassesRoot, ".txt", "", kRegSz, ansiText("txtfile"));
    ASSERT_TRUE(api.flush());
}

}  // namespace hivora::testing
