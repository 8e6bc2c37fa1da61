// The table `hivora --status` prints: one line per row of every page with page, caption, state,
// the value of set asking rows (empty for the others) and whether the row takes effect on the
// Windows the registry names, fields kept free of tabs and breaks. Where the program itself is
// built, it is run on prefixes of several Windows versions and must print the same table without
// writing anything.

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

TEST(StatusTable, OneLinePerRowWithPageCaptionStateAskedValueAndReach) {
    LiveStateRig rig;
    rig.press(CataloguePage::Restrictions, 9, RowButton::Set);
    rig.press(CataloguePage::Desktop, 4, RowButton::Set, {{"甲\t乙"}, {kIdNo}});
    rig.writeForeign(kHkeyCurrentUser, "Control Panel\\Desktop", "DragFullWindows", kRegSz, "7");

    const std::vector<std::string> lines =
        linesOf(formatStatusTable(readAllStates(rig.reader()), WindowsGeneration::Unknown));
    ASSERT_EQ(lines.size(), totalRows());
    EXPECT_TRUE(
        hasLine(lines, "桌面背景\t" + caption(CataloguePage::Desktop, 0) + "\tnot set\t\t未知"));
    EXPECT_TRUE(
        hasLine(lines, "桌面背景\t" + caption(CataloguePage::Desktop, 3) + "\tmixed\t\t未知"));
    EXPECT_TRUE(
        hasLine(lines, "桌面背景\t" + caption(CataloguePage::Desktop, 4) + "\tset\t'甲 乙'\t未知"));
    EXPECT_TRUE(hasLine(
        lines, "系统设置·禁止\t" + caption(CataloguePage::Restrictions, 9) + "\tset\t\t未知"));
    EXPECT_TRUE(hasLine(lines, "系统信息·注册到\t计算机名=>>\tnot set\t\t未知"));
    for (const std::string& line : lines) {
        EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 4) << line;
    }
}

// The fifth field for rows of each reach, on registries of each version.
struct ReachCase {
    const char* name;
    WindowsGeneration current;
    const char* xpOnly;      // a row that takes effect on XP only
    const char* fromVista;   // a row that takes effect from Vista on
    const char* everywhere;  // a row that names no versions
};

void PrintTo(const ReachCase& c, std::ostream* out) {
    *out << c.name;
}

const ReachCase kReaches[] = {
    {"Xp", WindowsGeneration::Xp, "有效",
     "无效（仅 Windows Vista/7 至 Windows 11）", "有效"},
    {"Windows10", WindowsGeneration::Win10, "无效（仅 Windows XP）", "有效", "有效"},
    {"Windows11", WindowsGeneration::Win11, "无效（仅 Windows XP）", "有效", "有效"},
    {"NoVersion", WindowsGeneration::Unknown, "未知", "未知", "未知"},
};

class StatusReach : public ::testing::TestWithParam<ReachCase> {};

TEST_P(StatusReach, FifthFieldSaysWhetherTheRowTakesEffect) {
    const ReachCase& c = GetParam();
    const StatePage page{"页", CataloguePage::Desktop, {}, {}};
    PageStates states{&page, {}};
    const auto row = [](const char* caption, SettingState state, const char* value,
                        WindowsGenerations reach) {
        RowState row;
        row.caption = caption;
        row.state = state;
        row.valueText = value;
        row.takesEffectOn = reach;
        return row;
    };
    states.rows.push_back(row("甲", SettingState::Set, "", onlyOn(WindowsGeneration::Xp)));
    states.rows.push_back(row("乙", SettingState::Set, "C:\\a", fromOn(WindowsGeneration::Vista7)));
    states.rows.push_back(row("丙", SettingState::NotSet, "", {}));

    EXPECT_EQ(formatStatusTable({states}, c.current),
              std::string("页\t甲\tset\t\t") + c.xpOnly + "\n" + "页\t乙\tset\tC:\\a\t" +
                  c.fromVista + "\n" + "页\t丙\tnot set\t\t" + c.everywhere + "\n");
}

INSTANTIATE_TEST_SUITE_P(Versions, StatusReach, ::testing::ValuesIn(kReaches),
                         [](const auto& info) { return std::string(info.param.name); });

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

// A prefix whose NT version values say `version` and `build` (nothing when null), as the program
// finds it.
struct PrefixCase {
    const char* name;
    const char* version;
    const char* build;
    WindowsGeneration expected;
};

void PrintTo(const PrefixCase& c, std::ostream* out) {
    *out << c.name;
}

const PrefixCase kPrefixes[] = {
    {"Xp", "5.1", "2600", WindowsGeneration::Xp},
    {"Windows10", "6.3", "19045", WindowsGeneration::Win10},
    {"Windows11", "6.3", "22631", WindowsGeneration::Win11},
    {"NoCurrentVersion", nullptr, "22631", WindowsGeneration::Unknown},
};

class StatusCommand : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(StatusCommand, PrintsTheTableOfThePrefixAndItsVersionWithoutWriting) {
    const PrefixCase& c = GetParam();
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
        const std::string ntKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
        if (c.version != nullptr) {
            ASSERT_TRUE(layer.SetRegString(kHkeyLocalMachine, ntKey, "CurrentVersion", c.version, 0,
                                           kKeyAllAccess));
        }
        ASSERT_TRUE(layer.SetRegString(kHkeyLocalMachine, ntKey, "CurrentBuildNumber", c.build, 0,
                                       kKeyAllAccess));
        LiveStateReader reader(layer);
        expected = formatStatusTable(readAllStates(reader), c.expected);
    }
    const auto userBefore = std::filesystem::last_write_time(prefix / "user.reg");
    const auto systemBefore = std::filesystem::last_write_time(prefix / "system.reg");

    const auto [output, exitCode] =
        runProgram(home.path(), "--status --prefix '" + prefix.path() + "'");

    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(output, expected);
    EXPECT_NE(output.find("\tset\tCD\t"), std::string::npos);
    const std::vector<std::string> lines = linesOf(output);
    const auto unknown = std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.ends_with("\t未知");
    });
    EXPECT_EQ(static_cast<std::size_t>(unknown),
              c.expected == WindowsGeneration::Unknown ? lines.size() : 0);
    EXPECT_EQ(std::filesystem::last_write_time(prefix / "user.reg"), userBefore);
    EXPECT_EQ(std::filesystem::last_write_time(prefix / "system.reg"), systemBefore);
    EXPECT_TRUE(std::filesystem::is_empty(home.path()));
}

INSTANTIATE_TEST_SUITE_P(Prefixes, StatusCommand, ::testing::ValuesIn(kPrefixes),
                         [](const auto& info) { return std::string(info.param.name); });
#endif

}  // namespace
}  // namespace hivora::testing
