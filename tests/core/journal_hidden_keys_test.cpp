// Desktop items hidden by removing their namespace key and shown again: the key comes back whole
// from the journal, spelt as the registry had it.

#include <gtest/gtest.h>

#include "core/catalogue/registry_locations.h"
#include "core/journal/journal_items.h"
#include "core/journal/journal_text.h"
#include "core/journal/undo_chain.h"
#include "core/startup/startup_list.h"
#include "tests/core/journal_fixture.h"

namespace hivora::testing {
namespace {

using namespace locations;

// ---- Hidden desktop items shown again ----------------------------------------------------------

struct ShowCase {
    const char* name;
    int row;
    std::string key;
    bool journalled;     // hidden while the journal recorded
    bool keyAfterShow;   // whether the key exists after show
    std::size_t values;  // and how many values it holds
};

void PrintTo(const ShowCase& c, std::ostream* out) {
    *out << c.name;
}

class ShowAgain : public ::testing::TestWithParam<ShowCase> {};

TEST_P(ShowAgain, BringsTheNamespaceKeyBackWhole) {
    const ShowCase& c = GetParam();
    JournalFixture f;
    seedUsersRegistry(f.store());
    const Result<KeyState> seeded = readKeyState(f.view(), kHkeyLocalMachine, c.key);
    if (c.journalled) {
        ASSERT_TRUE(f.run(CataloguePage::HideShow, c.row, RowButton::Set).status);
    } else {
        f.runUnrecorded(CataloguePage::HideShow, c.row, RowButton::Set);
    }
    f.reopen();

    ASSERT_TRUE(f.run(CataloguePage::HideShow, c.row, RowButton::Lift).status);

    const Result<KeyState> shown = readKeyState(f.view(), kHkeyLocalMachine, c.key);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown.value().present, c.keyAfterShow);
    EXPECT_EQ(shown.value().values.size(), c.values);
    if (c.values != 0) {
        EXPECT_TRUE(shown.value().sameContent(seeded.value()));
    }
}

const ShowCase kShowCases[] = {
    {"recycle bin from the journal", 0, kRecycleBin, true, true, 3},
    {"my documents from the journal", 1, kMyDocuments, true, true, 3},
    {"browser from the journal", 4, kBrowser, true, true, 3},
    {"recycle bin hidden unrecorded: empty", 0, kRecycleBin, false, true, 0},
    {"browser hidden unrecorded: stays absent", 4, kBrowser, false, false, 0},
};
INSTANTIATE_TEST_SUITE_P(HideShow, ShowAgain, ::testing::ValuesIn(kShowCases));

// Wine's prefixes spell the My Documents key in capitals, the row in small letters: whether the
// key comes back by undo or by the show button, it keeps the spelling it had.
TEST(HiddenKeySpelling, ComesBackAsTheRegistryHadIt) {
    const std::string capitals =
        std::string(locations::kDesktopNameSpace) + "{450D8FBA-AD25-11D0-98A8-0800361B1103}";
    for (const RowButton comeBack : {RowButton::Lift, RowButton::Set /* stands for the undo */}) {
        JournalFixture f;
        seedUsersRegistry(f.store());
        ASSERT_EQ(f.store().RegDeleteKeyA(kHkeyLocalMachine, kMyDocuments.c_str()), kErrorSuccess);
        putValue(f.store(), kHkeyLocalMachine, capitals, "", kRegSz, std::string("My\0", 3));
        ASSERT_TRUE(f.store().flush());
        const auto before = f.hiveFiles();

        ASSERT_TRUE(f.run(CataloguePage::HideShow, 1, RowButton::Set).status);
        if (comeBack == RowButton::Lift)
            ASSERT_TRUE(f.run(CataloguePage::HideShow, 1, RowButton::Lift).status);
        else
            ASSERT_EQ(f.undo().result, UndoResult::Done);

        const auto spelling = [&f] {
            const std::string system = f.hiveFiles()["system.reg"];
            return system.find("{450D8FBA-AD25-11D0-98A8-0800361B1103}") != std::string::npos &&
                   system.find("{450d8fba") == std::string::npos;
        };
        EXPECT_TRUE(spelling());
        if (comeBack == RowButton::Set) {
            EXPECT_EQ(f.hiveFiles(), before);
            continue;
        }
        // Walked back over the show and the hide, then forward again.
        ASSERT_EQ(f.undo().result, UndoResult::Done);
        ASSERT_EQ(f.undo().result, UndoResult::Done);
        EXPECT_EQ(f.hiveFiles(), before);
        ASSERT_EQ(f.redo().result, UndoResult::Done);
        ASSERT_EQ(f.redo().result, UndoResult::Done);
        EXPECT_TRUE(spelling());
    }
}

}  // namespace
}  // namespace hivora::testing
