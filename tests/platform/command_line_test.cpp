// Taking a Windows command line apart, and recognising the commands that power a machine off.

#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hivora {
namespace {

struct SplitCase {
    const char* name;
    std::string line;
    std::vector<std::string> words;
};

const SplitCase kSplitCases[] = {
    {"Blanks", "cmd /c shutdown -r -f -t 0", {"cmd", "/c", "shutdown", "-r", "-f", "-t", "0"}},
    {"RunsOfBlanksAndTabs", "  a \t b  ", {"a", "b"}},
    {"QuotedBlanks", "\"C:\\Program Files\\x.exe\" /a", {"C:\\Program Files\\x.exe", "/a"}},
    {"QuoteInsideWord", "a\"b c\"d", {"ab cd"}},
    {"EmptyQuotedWord", "a \"\" b", {"a", "", "b"}},
    {"BackslashesKeptBeforeOther", "C:\\a\\\\b", {"C:\\a\\\\b"}},
    {"EscapedQuote", "a\\\"b", {"a\"b"}},
    {"EvenBackslashesThenQuote", "\"a\\\\\" b", {"a\\", "b"}},
    {"OddBackslashesThenQuote", "\"a\\\\\\\" b\"", {"a\\\" b"}},
    {"UnclosedQuoteRunsToEnd", "a \"b c", {"a", "b c"}},
    {"Empty", "", {}},
    {"OnlyBlanks", "   ", {}},
    {"Utf8Kept", "\xE4\xB8\xAD \"\xE6\x96\x87 x\"", {"\xE4\xB8\xAD", "\xE6\x96\x87 x"}},
};

class SplitCommandLine : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLine, GivesTheWordsAProgramWouldSee) {
    EXPECT_EQ(GetParam().words, splitCommandLine(GetParam().line));
}

INSTANTIATE_TEST_SUITE_P(Table, SplitCommandLine, testing::ValuesIn(kSplitCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct PowerCase {
    const char* program;
    bool power;
};

const PowerCase kPowerCases[] = {
    {"shutdown", true},
    {"/sbin/shutdown", true},
    {"REBOOT", true},
    {"poweroff", true},
    {"halt", true},
    {"cmd", true},
    {"CMD.EXE", true},
    {"C:\\Windows\\System32\\cmd.exe", true},
    {"systemctl", true},
    {"/usr/bin/systemctl", true},
    {"init", true},
    {"shutdown.exe", true},
    {"notepad", false},
    {"cmdline-tool", false},
    {"/usr/bin/halting", false},
    {"", false},
    {".exe", false},
};

TEST(IsPowerCommand, KnowsThePowerCommandsInAnyForm) {
    for (const PowerCase& c : kPowerCases) {
        EXPECT_EQ(c.power, isPowerCommand(c.program)) << c.program;
    }
}

}  // namespace
}  // namespace hivora
