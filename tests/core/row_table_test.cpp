// The README's table of rows against Windows versions: its lines as the catalogue gives them, and
// its place between the two marker lines of a document. (That README.md holds the table the
// catalogue gives is the test readme_row_table, which runs tools/row_table_generator.)

#include "core/livestate/row_table.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/catalogue/row_dispatch.h"
#include "core/livestate/live_state.h"

namespace hivora::testing {
namespace {

TEST(RowTable, CellsNameTheVersionsAndTodaysPlaceEscapedForMarkdown) {
    const std::vector<RowTableLine> lines = {
        {"系统设置·禁止", 5, "禁止使用MS－DOS方式", before(WindowsGeneration::Xp),
         "Software\\Policies\\Microsoft\\Windows\\System DisableCMD (HKCU)"},
        {"桌面背景", 0, "a|b\nc", {}, ""},
        {"IE设置·属性", 1, "禁用菜单<查看>下的<源文件>项：", before(WindowsGeneration::Win11),
         "a|b<c>"},
        {"IE设置·属性", 4, "x", onlyOn(WindowsGeneration::Win9x, WindowsGeneration::Xp), ""},
        {"页", 9, "y",
         onlyOn(WindowsGeneration::Xp, WindowsGeneration::Win8, WindowsGeneration::Win10,
                WindowsGeneration::Win11),
         ""},
    };
    EXPECT_EQ(rowTableMarkdown(lines),
              "| 页面 | 行 | 设置 | 生效的 Windows | 当前 Windows 的位置 |\n"
              "| --- | --: | --- | --- | --- |\n"
              "| 系统设置·禁止 | 5 | 禁止使用MS－DOS方式 | Windows 9x | "
              "`Software\\Policies\\Microsoft\\Windows\\System DisableCMD (HKCU)` |\n"
              "| 桌面背景 | 0 | a\\|b c | 所有版本 | — |\n"
              "| IE设置·属性 | 1 | 禁用菜单\\<查看>下的\\<源文件>项： | Windows 9x 至 Windows 10 | "
              "`a\\|b<c>` |\n"
              "| IE设置·属性 | 4 | x | Windows 9x、Windows XP | — |\n"
              "| 页 | 9 | y | Windows XP、Windows 8 至 Windows 11 | — |\n");
}

// Every row of every frame, numbered from 0 within its frame, with the catalogue's own data.
TEST(RowTable, HoldsEveryRowOfEveryFrameInTheWindowsOrder) {
    const std::vector<RowTableLine> lines = catalogueRowLines();
    std::size_t at = 0;
    for (const StatePage& page : statePages()) {
        for (std::size_t row = 0; row < rowCount(page); ++row, ++at) {
            ASSERT_LT(at, lines.size());
            EXPECT_EQ(lines[at].page, page.name);
            EXPECT_EQ(lines[at].row, static_cast<int>(row));
            if (page.page) {
                const CatalogueRow& data = pageCatalogue(*page.page).rows[row];
                EXPECT_EQ(lines[at].caption, data.caption);
                EXPECT_EQ(lines[at].takesEffectOn, data.takesEffectOn);
                EXPECT_EQ(lines[at].todaysLocation, data.todaysLocation);
            } else {
                EXPECT_EQ(lines[at].caption, page.textRows[row].caption);
            }
        }
    }
    EXPECT_EQ(at, lines.size());
}

struct SpliceCase {
    const char* name;
    const char* document;
    std::optional<std::string> replaced;  // with the table "T\n"
    std::optional<std::string> current;   // what rowTableOf finds
};

void PrintTo(const SpliceCase& c, std::ostream* out) {
    *out << c.name;
}

const SpliceCase kSplices[] = {
    {"ReplacesWhatIsBetween",
     "# A\n<!-- row-table begin -->\nold\nlines\n<!-- row-table end -->\nrest\n",
     "# A\n<!-- row-table begin -->\nT\n<!-- row-table end -->\nrest\n", "old\nlines\n"},
    {"FillsAnEmptyPlace", "<!-- row-table begin -->\n<!-- row-table end -->",
     "<!-- row-table begin -->\nT\n<!-- row-table end -->", ""},
    {"MarkersWithTextAround", "x <!-- row-table begin --> y\nold\n  <!-- row-table end --> z\n",
     "x <!-- row-table begin --> y\nT\n  <!-- row-table end --> z\n", "old\n"},
    {"NoBegin", "old\n<!-- row-table end -->\n", std::nullopt, std::nullopt},
    {"NoEnd", "<!-- row-table begin -->\nold\n", std::nullopt, std::nullopt},
    {"EndBeforeBegin", "<!-- row-table end -->\n<!-- row-table begin -->\n", std::nullopt,
     std::nullopt},
    {"BeginOnTheLastLine", "<!-- row-table begin -->", std::nullopt, std::nullopt},
};

class RowTablePlace : public ::testing::TestWithParam<SpliceCase> {};

TEST_P(RowTablePlace, IsBetweenTheMarkerLines) {
    const SpliceCase& c = GetParam();
    EXPECT_EQ(withRowTable(c.document, "T\n"), c.replaced);
    EXPECT_EQ(rowTableOf(c.document), c.current);
}

INSTANTIATE_TEST_SUITE_P(Documents, RowTablePlace, ::testing::ValuesIn(kSplices),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace hivora::testing
