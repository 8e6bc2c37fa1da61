// The program's options, and the store choice refusing a folder it cannot use with a sentence
// that names the file and says what to do, writing nothing.

#include "app/options.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/hive_repair_prompt.h"
#include "app/registry_choice.h"
#include "platform/posix/file_store.h"
#include "tests/core/scripted_dialogs.h"

namespace hivora {
namespace {

struct OptionCase {
    std::vector<std::string> args;
    Options expected;
    std::string errorPart;  // "" when the words are accepted
};

TEST(Options, WordsAndErrors) {
    const OptionCase cases[] = {
        {{}, {}, ""},
        {{"--help"}, {"", 0, true, false}, ""},
        {{"--version"}, {"", 0, false, true}, ""},
        {{"--prefix", "/p", "--code-page", "936"}, {"/p", 936, false, false}, ""},
        {{"--prefix"}, {}, "--prefix"},
        {{"--prefix", ""}, {}, "--prefix"},
        {{"--code-page", "0"}, {}, "--code-page"},
        {{"--code-page", "936x"}, {}, "--code-page"},
        {{"--code-page", "70000"}, {}, "--code-page"},
        {{"--verbose"}, {}, "--verbose"},
    };
    for (const OptionCase& c : cases) {
        const ParsedOptions parsed = parseOptions(c.args);
        if (c.errorPart.empty()) {
            EXPECT_EQ(parsed.error, "") << ::testing::PrintToString(c.args);
            EXPECT_EQ(parsed.options.storeDirectory, c.expected.storeDirectory);
            EXPECT_EQ(parsed.options.codePage, c.expected.codePage);
            EXPECT_EQ(parsed.options.showHelp, c.expected.showHelp);
            EXPECT_EQ(parsed.options.showVersion, c.expected.showVersion);
        } else {
            EXPECT_NE(parsed.error.find(c.errorPart), std::string::npos)
                << ::testing::PrintToString(c.args) << " -> " << parsed.error;
        }
    }
    EXPECT_STREQ(kVersionText, "Hivora 1.0\n");
    EXPECT_NE(std::string(kUsageText).find("--version"), std::string::npos);
}

#ifndef _WIN32
TEST(StoreChoice, UnreadableHiveIsNamedWithWhatToDoAndNothingIsWritten) {
    namespace fs = std::filesystem;
    const fs::path prefix = fs::path(::testing::TempDir()) / "hivora_options_prefix";
    fs::remove_all(prefix);
    fs::create_directories(prefix / "system.reg");  // a folder where the hive file should be
    { std::ofstream(prefix / "user.reg") << "WINE REGISTRY Version 2\n"; }
    const auto stampBefore = fs::last_write_time(prefix / "user.reg");

    Options options;
    options.storeDirectory = prefix.string();
    const Result<RegistryChoice> choice = chooseRegistry(options);
    ASSERT_FALSE(choice);
    const std::string& message = choice.status().message();
    EXPECT_NE(message.find((prefix / "system.reg").string()), std::string::npos) << message;
    EXPECT_NE(message.find("--prefix"), std::string::npos) << message;
    EXPECT_NE(message.find("没有写入任何内容"), std::string::npos) << message;
    EXPECT_EQ(fs::last_write_time(prefix / "user.reg"), stampBefore);
    EXPECT_FALSE(fs::exists(prefix / "userdef.reg"));

    EXPECT_FALSE(checkStoreUsable(options).isOk());
    fs::remove(prefix / "system.reg");
    EXPECT_TRUE(checkStoreUsable(options).isOk());
    EXPECT_TRUE(chooseRegistry(options));
    fs::remove_all(prefix);
}

// A hive with an unreadable line is named with the line; No leaves it as it is, Yes backs it up
// and repairs it.
TEST(StoreChoice, HiveWithUnreadableLineIsOfferedForRepair) {
    namespace fs = std::filesystem;
    const fs::path prefix = fs::path(::testing::TempDir()) / "hivora_repair_prefix";
    fs::remove_all(prefix);
    fs::create_directories(prefix);
    const std::string hive = (prefix / "user.reg").string();
    for (int answer : {kIdNo, kIdYes}) {
        {
            std::ofstream(hive) << "WINE REGISTRY Version 2\n\n#arch=win64\n\n[Software\\\\Bad] "
                                   "1700000000\n\"NoEquals\" 5\n\"After\"=dword:00000002\n";
        }
        testing::ScriptedDialogs dialogs;
        dialogs.answerMessageBox(answer);
        EXPECT_EQ(offerHiveRepairs(prefix.string(), dialogs), answer == kIdYes ? 1 : 0);
        const std::vector<std::string> prompts = dialogs.messagePrompts();
        ASSERT_FALSE(prompts.empty());
        EXPECT_NE(prompts[0].find(hive + " 第 6 行"), std::string::npos) << prompts[0];
        EXPECT_EQ(findRefusal(hive).has_value(), answer == kIdNo);
    }
    fs::remove_all(prefix);
}
#endif

}  // namespace
}  // namespace hivora
