// Every fixed row of the two-button pages on an installed Windows' own hives: set, saved, then
// undone in a later run through the journal, the hives must read, for reglookup (a second reader
// of the format), as they did before, key times aside; and every hive the row saved is sound.

#include <gtest/gtest.h>

#include <map>
#include <ostream>

#include "core/catalogue/registry_locations.h"
#include "core/catalogue/row_dispatch.h"
#include "core/journal/action_recorder.h"
#include "core/journal/change_journal.h"
#include "core/journal/journal_undo.h"
#include "platform/journal_file.h"
#include "platform/posix/hive_store.h"
#include "tests/core/catalogue_harness.h"
#include "tests/core/scripted_dialogs.h"
#include "tests/platform/hive_test_support.h"
#include "tests/platform/store_test_support.h"

namespace hivora::testing {
namespace {

struct RowCase {
    CataloguePage page;
    int row;
    RowButton button;
};

void PrintTo(const RowCase& c, std::ostream* out) {
    *out << pageName(c.page) << "/" << c.row << (c.button == RowButton::Set ? "/set" : "/lift");
}

std::vector<RowCase> fixedRows() {
    std::vector<RowCase> cases;
    for (CataloguePage page :
         {CataloguePage::Desktop, CataloguePage::Restrictions, CataloguePage::HideShow,
          CataloguePage::BrowserProperties, CataloguePage::LogonStyle}) {
        const auto rows = pageCatalogue(page).rows;
        for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
            const ButtonAction& set = rows[row].set;
            if (set.ask == nullptr && !set.ops.empty())
                cases.push_back({page, row, RowButton::Set});
        }
    }
    return cases;
}

class NullRefresher : public DesktopRefresher {
  public:
    void refreshDesktop() override {}
};

class OfflineRows : public ::testing::TestWithParam<RowCase> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(test::makeTestInstallation(m_folder.path(), {"alice"}));
        const std::string config = m_folder.path() + "/Windows/System32/config";
        m_hives = {config + "/SOFTWARE", config + "/SYSTEM", config + "/DEFAULT",
                   m_folder.path() + "/Users/alice/NTUSER.DAT",
                   m_folder.path() + "/Users/alice/AppData/Local/Microsoft/Windows/UsrClass.dat"};
    }

    // One run of the program: the store opened afresh, the journal read again.
    void openRun() {
        m_services.reset();
        m_layer.reset();
        m_store.reset();
        auto installation = findWindowsInstallation(m_folder.path());
        ASSERT_TRUE(installation);
        auto opened = openWindowsRegistry(installation.value(), &installation.value().users[0],
                                          test::codec936());
        ASSERT_TRUE(opened) << opened.status().message();
        m_store = std::move(opened.value().registry);
        m_layer = std::make_unique<RegInfoGetSet>(*m_store, test::codec936());
        m_services.reset(new CatalogueServices{*m_layer, m_framework, m_files, m_refresher});
        m_services->observer = &m_recorder;
        ASSERT_TRUE(m_journal.load());
    }

    std::map<std::string, std::string> listings() const {
        std::map<std::string, std::string> out;
        for (const auto& hive : m_hives) out[hive] = test::reglookupListing(hive);
        return out;
    }

    test::TempFolder m_folder;
    std::vector<std::string> m_hives;
    MemoryJournalFiles m_journalFiles;
    ChangeJournal m_journal{m_journalFiles, "/journal/offline.jsonl", m_folder.path(),
                            [] { return std::int64_t{1'700'000'000}; }};
    ActionRecorder m_recorder{m_journal};
    ScriptedDialogs m_dialogs;
    TweakFramework m_framework{m_dialogs};
    FakeFileSystem m_files;
    NullRefresher m_refresher;
    std::unique_ptr<TreeRegistry> m_store;
    std::unique_ptr<RegInfoGetSet> m_layer;
    std::unique_ptr<CatalogueServices> m_services;
};

TEST_P(OfflineRows, SetThenUndoLeavesEveryHiveAsTheSecondReaderSawIt) {
    const RowCase& c = GetParam();
    const auto before = listings();
    for (const auto& [hive, listing] : before)
        ASSERT_EQ(listing.find("reglookup failed"), std::string::npos) << hive << listing;

    openRun();
    const RowOutcome outcome = runRowAction(*m_services, c.page, c.row, c.button);
    ASSERT_TRUE(outcome.status.isOk()) << outcome.status.message();
    const auto set = listings();
    for (const auto& [hive, listing] : set)
        EXPECT_EQ(listing.find("reglookup failed"), std::string::npos) << hive << listing;
    // A row that only removes values this installation does not have changes nothing and
    // leaves nothing to undo.
    if (set == before) return;

    openRun();
    UndoServices undo{*m_layer, m_journal, m_dialogs};
    EXPECT_EQ(undoLatest(undo).result, UndoResult::Done);
    EXPECT_EQ(listings(), before);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, OfflineRows, ::testing::ValuesIn(fixedRows()),
                         [](const auto& info) {
                             std::string name = std::string(pageName(info.param.page)) + "_" +
                                                std::to_string(info.param.row);
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

}  // namespace
}  // namespace hivora::testing
