// A row is all or nothing: when one of its writes is refused, what it had already written is put
// back from the states the journal read first, the files stay as they were, nothing is recorded
// and the box says so. Every fixed-operation row that writes more than one registry file is run
// with each later file refusing changes (a hive with an unreadable line refuses them).

#include <gtest/gtest.h>

#include <set>

#include "tests/core/journal_fixture.h"

namespace hivora::testing {
namespace {

// The file of the store an operation writes.
std::string hiveFileOf(const RegOp& op) {
    if (op.root == kHkeyLocalMachine || op.root == kHkeyClassesRoot) return "system.reg";
    if (op.root == kHkeyUsers) {
        std::string key = op.key.substr(0, 8);
        for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return key == ".DEFAULT" ? "userdef.reg" : "user.reg";
    }
    return "user.reg";
}

struct RefusedFileCase {
    CataloguePage page;
    int row;
    RowButton button;
    std::string refusingFile;  // written by the row after another file
};

void PrintTo(const RefusedFileCase& c, std::ostream* out) {
    *out << pageName(c.page) << "/" << c.row << (c.button == RowButton::Set ? "/set" : "/lift")
         << " refused by " << c.refusingFile;
}

std::vector<RefusedFileCase> rowsWritingSeveralFiles() {
    std::vector<RefusedFileCase> cases;
    for (CataloguePage page :
         {CataloguePage::Desktop, CataloguePage::Restrictions, CataloguePage::HideShow,
          CataloguePage::BrowserProperties, CataloguePage::LogonStyle}) {
        const auto rows = pageCatalogue(page).rows;
        for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
            for (RowButton button : {RowButton::Set, RowButton::Lift}) {
                const ButtonAction& action = button == RowButton::Set ? rows[row].set
                                                                       : rows[row].lift;
                if (action.ask != nullptr || action.ops.empty()) continue;
                const std::string first = hiveFileOf(action.ops.front());
                std::set<std::string> later;
                for (const RegOp& op : action.ops)
                    if (hiveFileOf(op) != first) later.insert(hiveFileOf(op));
                for (const std::string& file : later) cases.push_back({page, row, button, file});
            }
        }
    }
    return cases;
}

class RefusedHalfway : public ::testing::TestWithParam<RefusedFileCase> {};

TEST_P(RefusedHalfway, PutsBackWhatTheRowWroteAndSaysNothingChanged) {
    const RefusedFileCase& c = GetParam();
    JournalFixture f;
    seedUsersRegistry(f.store());
    // The hive keeps its unreadable line as it is; the store refuses every change into it.
    {
        std::string text = test::readFile(f.folder() + "/" + c.refusingFile);
        text += "\n[Damaged] 1700000000\n\"v\"=hex:100\n";
        test::writeFile(f.folder() + "/" + c.refusingFile, text);
    }
    f.reopen();
    const auto before = f.hiveFiles();

    const RowOutcome outcome = f.run(c.page, c.row, c.button);

    EXPECT_FALSE(outcome.status.isOk());
    EXPECT_EQ(outcome.shown, OutcomeMessage::SetError);
    EXPECT_EQ(f.hiveFiles(), before);
    EXPECT_FALSE(f.recorder().lastEntry());
    EXPECT_TRUE(f.journal().entries().empty());
    const std::string shown = f.dialogs().messagePrompts().back();
    EXPECT_TRUE(shown.starts_with("设置出错！\r\n")) << shown;
    EXPECT_TRUE(shown.ends_with(std::string("\r\n") + kNothingChangedLine)) << shown;
    EXPECT_NE(shown.find(c.refusingFile), std::string::npos) << "the reason names the file";
}

INSTANTIATE_TEST_SUITE_P(Rows, RefusedHalfway, ::testing::ValuesIn(rowsWritingSeveralFiles()));

}  // namespace
}  // namespace hivora::testing
