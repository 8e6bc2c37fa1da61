#pragma once
// What the live-state tests share: a fresh in-memory store, the access
// layer over it (through a wrapper that keeps the handles not closed yet), the row actions with a scripted dialog double, and a reader of row states.
// Writes "by another program" go straight to the store, outside the layer.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/catalogue/row_dispatch.h"
#include "core/livestate/live_state.h"
#include "core/registry/reg_info_get_set.h"
#include "platform/ansi_codec.h"
#include "platform/tree_registry.h"
#include "tests/core/catalogue_harness.h"
#include "tests/core/counting_registry.h"
#include "tests/core/scripted_dialogs.h"

namespace hivora::testing {

class NoRefresh : public DesktopRefresher {
  public:
    void refreshDesktop() override {}
};

struct FixedSystemDirectory : SystemDirectory {
    std::string GetSystemDirectoryA() const override { return kSystemFolder; }
};

class LiveStateRig {
  public:
    LiveStateRig()
        : m_codec(makeAnsiCodec(kDefaultCodePage).value()),
          m_store(makeMemoryRegistry(*m_codec)),
          m_counting(*m_store),
          m_layer(m_counting, *m_codec),
          m_framework(m_dialogs),
          m_services{m_layer, m_framework, m_files, m_refresher, nullptr, &m_systemDirectory},
          m_reader(m_layer) {
        m_files.entries = {{kExistingPicture, kFileAttributeArchive},
                           {kExistingFolder, kFileAttributeDirectory},
                           {kBrowseUi, kFileAttributeArchive}};
    }

    // Runs a button of a row with the user's answers; the action must complete and succeed.
    void press(CataloguePage page, int row, RowButton button, const Answers& answers = {}) {
        script(answers);
        expectDone(runRowAction(m_services, page, row, button));
    }
    void script(const Answers& answers) {
        for (const std::string& text : answers.inputs) m_dialogs.answerInputBox(text);
        for (int box : answers.boxes) m_dialogs.answerMessageBox(box);
        for (const std::string& path : answers.files) m_dialogs.answerOpenFile(path);
    }
    static void expectDone(const RowOutcome& outcome) {
        EXPECT_TRUE(outcome.completed && outcome.status.isOk()) << outcome.status.message();
    }

    // Another program stores a value: `bytes` as they are, of `type`, and saves.
    void writeForeign(RegKey root, const std::string& key, const std::string& name,
                      std::uint32_t type, const std::string& bytes) {
        RegKey handle = 0;
        ASSERT_EQ(m_store->RegCreateKeyExA(root, m_codec->toAnsi(key).value().c_str(), 0, nullptr,
                                           0, kKeyAllAccess, &handle, nullptr),
                  kErrorSuccess);
        EXPECT_EQ(m_store->RegSetValueExA(handle, m_codec->toAnsi(name).value().c_str(), 0, type,
                                          reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                          static_cast<std::uint32_t>(bytes.size())),
                  kErrorSuccess);
        (void)m_store->RegCloseKey(handle);
        EXPECT_TRUE(m_store->flush().isOk());
    }

    RowState state(CataloguePage page, int row) { return m_reader.readRow(page, row); }
    LiveStateReader& reader() { return m_reader; }
    RegInfoGetSet& layer() { return m_layer; }
    const CountingRegistry& counting() const { return m_counting; }
    CatalogueServices& services() { return m_services; }
    const AnsiCodec& codec() const { return *m_codec; }

  private:
    std::unique_ptr<AnsiCodec> m_codec;  // outlives the store
    std::unique_ptr<TreeRegistry> m_store;
    CountingRegistry m_counting;
    RegInfoGetSet m_layer;
    ScriptedDialogs m_dialogs;
    TweakFramework m_framework;
    FakeFileSystem m_files;
    NoRefresh m_refresher;
    FixedSystemDirectory m_systemDirectory;
    CatalogueServices m_services;
    LiveStateReader m_reader;
};

}  // namespace hivora::testing
