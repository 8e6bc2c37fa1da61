// The table `hivora --status` prints: one line per row of every page with page, caption and
// state, the value of set asking rows as a fourth field, fields kept free of tabs and breaks.
// Where the program itself is built, it is run on a private store folder and must print the same
// table without writing anything.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "core/livestate/status_table.h"
#include "tests/core/livestate_rig.h"

#ifdef HIVORA_PROGRAM
#include "platform/posix/file_store.h"
#include "tests/platform/store_test_support.h"
#endif

namespace hivora::testing {
namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::size_t totalRows() {
    std::size_t count = 0;
    for (const StatePage& page : statePages()) count += rowCount(page);
    return count;
}

bool hasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::string caption(CataloguePage page, int row) {
    return std::string(pageCatalogue(page).rows[static_cast<std::size_t>(row)].caption);
}

TEST(StatusTable, OneLinePerRowWithPageCaptionStateAndAskedValue) {
    LiveStateRig rig;
    rig.press(CataloguePage::Restrictions, 9, RowButton::Set);
    rig.press(CataloguePage::Desktop, 4, RowButton::Set, {{"甲\t乙"}, {kIdNo}});
    rig.writeForeign(kHkeyCurrentUser, "Control Panel\\Desktop", "DragFullWindows", kRegSz, "7");

    const std::vector<std::string> lines = linesOf(formatStatusTable(readAllStates(rig.reader())));
    ASSERT_EQ(lines.size(), totalRows());
    EXPECT_TRUE(hasLine(lines, "桌面背景\t" + caption(CataloguePage::Desktop, 0) + "\tnot set"));
    EXPECT_TRUE(hasLine(lines, "桌面背景\t" + caption(CataloguePage::Desktop, 3) + "\tmixed"));
    EXPECT_TRUE(
        hasLine(lines, "桌面背景\t" + caption(CataloguePage::Desktop, 4) + "\tset\t'甲 乙'"));
    EXPECT_TRUE(
        hasLine(lines, "系统设置·禁止\t" + caption(CataloguePage::Restrictions, 9) + "\tset"));
    EXPECT_TRUE(hasLine(lines, "系统信息·注册到\t计算机名=>>\tnot set"));
    for (const std::string& line : lines) {
        const auto fields = std::count(line.begin(), line.end(), '\t') + 1;
        EXPECT_TRUE(fields == 3 || fields == 4) << line;
    }
}

#ifdef HIVORA_PROGRAM
// The program's standard output and exit code for `arguments`, with a private home.
std::pair<std::string, int> runProgram(const std::string& home, const std::string& arguments) {
    const std::string command = "env HOME='" + home + "' XDG_DATA_HOME='" + home +
                                "/data' QT_QPA_PLATFORM=offscreen '" HIVORA_PROGRAM "' " +
                                arguments;
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return {"", -1};
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    const int status = ::pclose(pipe);
    return {output, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

TEST(StatusCommand, PrintsTheTableOfThePrefixWithoutWriting) {
    test::TempFolder home;
    test::TempFolder prefix;
    const auto codec = makeAnsiCodec(kDefaultCodePage).value();
    std::string expected;
    {
        auto store = openFileStore(prefix.path(), *codec).value();
        RegInfoGetSet layer(*store, *codec);
        ASSERT_TRUE(layer.SetRegDword(kHkeyCurrentUser,
                                      "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\"
                                      "Explorer",
                                      "NoDrives", 12, 0, kKeyAllAccess));
        LiveStateReader reader(layer);
        expected = formatStatusTable(readAllStates(reader));
    }
    const auto before = std::filesystem::last_write_time(prefix / "user.reg");

    const auto [output, exitCode] =
        runProgram(home.path(), "--status --prefix '" + prefix.path() + "'");

    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(output, expected);
    EXPECT_NE(output.find("\tset\tCD\n"), std::string::npos);
    EXPECT_EQ(std::filesystem::last_write_time(prefix / "user.reg"), before);
    EXPECT_FALSE(std::filesystem::exists(prefix / "system.reg"));
    EXPECT_TRUE(std::filesystem::is_empty(home.path()));
}
#endif

}  // namespace
}  // namespace hivora::testing
