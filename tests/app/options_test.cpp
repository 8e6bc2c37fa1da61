// The program's options, and the store choice: the private store unless a prefix is named, and a
// folder it cannot use (an unreadable hive, a running wineserver) refused with a sentence that
// says what to do, writing nothing.

#include "app/options.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/hive_repair_prompt.h"
#include "app/registry_choice.h"
#include "app/status_command.h"
#include "platform/posix/file_store.h"
#include "platform/posix/wineserver_probe.h"
#include "tests/core/scripted_dialogs.h"
#include "tests/platform/fake_wineserver.h"

namespace hivora {
namespace {

struct OptionCase {
    std::vector<std::string> args;
    Options expected;
    std::string errorPart;  // "" when the words are accepted
};

// The options a row expects; the rest stay as Options leaves them.
Options expect(std::string store, std::uint32_t codePage, bool help = false, bool version = false,
               bool status = false, std::string repairHive = {}) {
    Options options;
    options.storeDirectory = std::move(store);
    options.codePage = codePage;
    options.showHelp = help;
    options.showVersion = version;
    options.printStatus = status;
    options.repairHive = std::move(repairHive);
    return options;
}

TEST(Options, WordsAndErrors) {
    const OptionCase cases[] = {
        {{}, {}, ""},
        {{"--help"}, expect("", 0, true, false), ""},
        {{"--version"}, expect("", 0, false, true), ""},
        {{"--prefix", "/p", "--code-page", "936"}, expect("/p", 936, false, false), ""},
        {{"--prefix"}, {}, "--prefix"},
        {{"--prefix", ""}, {}, "--prefix"},
        {{"--code-page", "0"}, {}, "--code-page"},
        {{"--code-page", "936x"}, {}, "--code-page"},
        {{"--code-page", "70000"}, {}, "--code-page"},
        {{"--verbose"}, {}, "--verbose"},
        {{"-h"}, expect("", 0, true, false), ""},
        {{"-V"}, expect("", 0, false, true), ""},
        {{"--store", "/s", "--code-page", "65535"}, expect("/s", 65535, false, false), ""},
        {{"--status", "--prefix", "/p"}, expect("/p", 0, false, false, true), ""},
        {{"--repair-hive", "/p/user.reg"}, expect("", 0, false, false, false, "/p/user.reg"), ""},
        {{"--repair-hive"}, {}, "--repair-hive"},
        {{"--repair-hive", ""}, {}, "--repair-hive"},
    };
    for (const OptionCase& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const ParsedOptions parsed = parseOptions(c.args);
        if (c.errorPart.empty()) {
            EXPECT_EQ(parsed.error, "") << ::testing::PrintToString(c.args);
            EXPECT_EQ(parsed.options.storeDirectory, c.expected.storeDirectory);
            EXPECT_EQ(parsed.options.codePage, c.expected.codePage);
            EXPECT_EQ(parsed.options.showHelp, c.expected.showHelp);
            EXPECT_EQ(parsed.options.showVersion, c.expected.showVersion);
            EXPECT_EQ(parsed.options.printStatus, c.expected.printStatus);
            EXPECT_EQ(parsed.options.repairHive, c.expected.repairHive);
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

// Sets environment variables for one test and puts them back as they were.
class ScopedEnvironment {
  public:
    void set(const char* name, const std::string& value) {
        remember(name);
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        for (const auto& [name, old] : m_saved)
            old ? (void)::setenv(name.c_str(), old->c_str(), 1) : (void)::unsetenv(name.c_str());
    }

  private:
    void remember(const char* name) {
        for (const auto& saved : m_saved)
            if (saved.first == name) return;
        const char* old = std::getenv(name);
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

// Without --prefix the program works on its private store below XDG_DATA_HOME and hands no Wine
// prefix to the platform services; with --prefix it works on that folder and hands it on.
TEST(StoreChoice, ThePrivateStoreUnlessAPrefixIsNamed) {
    namespace fs = std::filesystem;
    const fs::path temp = fs::path(::testing::TempDir()) / "hivora_store_choice";
    fs::remove_all(temp);
    fs::create_directories(temp / "prefix");
    ScopedEnvironment environment;
    environment.set("HOME", (temp / "home").string());
    environment.set("XDG_DATA_HOME", (temp / "data").string());
    const std::string privateStore = (temp / "data/hivora/registry").string();
    {
        const Result<RegistryChoice> own = chooseRegistry(Options{});
        ASSERT_TRUE(own) << own.status().message();
        EXPECT_EQ(own.value().description, privateStore);
        EXPECT_EQ(own.value().winePrefix, "");
        EXPECT_EQ(storeFolder(Options{}), privateStore);
    }
    Options prefixed;
    prefixed.storeDirectory = (temp / "prefix").string();
    {
        const Result<RegistryChoice> prefix = chooseRegistry(prefixed);
        ASSERT_TRUE(prefix) << prefix.status().message();
        EXPECT_EQ(prefix.value().description, prefixed.storeDirectory);
        EXPECT_EQ(prefix.value().winePrefix, prefixed.storeDirectory);
    }
    // Opening writes nothing: neither store has a file yet.
    EXPECT_FALSE(fs::exists(privateStore));
    EXPECT_TRUE(fs::is_empty(temp / "prefix"));
    EXPECT_FALSE(fs::exists(temp / "home"));
    fs::remove_all(temp);
}

// While a wineserver runs for the prefix, the quick check and the choice both refuse it and say
// how to stop the server; nothing is written.
TEST(StoreChoice, APrefixWithARunningWineserverIsRefused) {
    namespace fs = std::filesystem;
    const fs::path temp = fs::path(::testing::TempDir()) / "hivora_busy_prefix";
    fs::remove_all(temp);
    fs::create_directories(temp / "prefix");
    fs::create_directories(temp / "tmp");
    ScopedEnvironment environment;
    environment.set("TMPDIR", (temp / "tmp").string());
    Options options;
    options.storeDirectory = (temp / "prefix").string();
    ASSERT_TRUE(checkStoreUsable(options).isOk());

    // A stand-in for the server, holding its lock.
    const std::string server = wineserverFolders(options.storeDirectory).front();
    ASSERT_EQ(server.rfind((temp / "tmp").string(), 0), 0u) << server;
    std::optional<test::FakeWineserver> running(std::in_place, server);

    const Status usable = checkStoreUsable(options);
    EXPECT_EQ(usable.code(), kErrorBusy);
    EXPECT_NE(usable.message().find("wineserver -k"), std::string::npos) << usable.message();
    const Result<RegistryChoice> choice = chooseRegistry(options);
    ASSERT_FALSE(choice);
    EXPECT_EQ(choice.status().code(), kErrorBusy);
    // Reading is allowed all the same, with a note that Wine may still change the files.
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(runStatusCommand(options), 0);
    const std::string printed = ::testing::internal::GetCapturedStdout();
    const std::string note = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(printed.find("\tnot set"), std::string::npos) << printed;
    EXPECT_NE(note.find("Wine"), std::string::npos) << note;
    running.reset();  // the server ends
    EXPECT_TRUE(checkStoreUsable(options).isOk());
    EXPECT_TRUE(fs::is_empty(temp / "prefix"));
    fs::remove_all(temp);
}

// A hive in a FIFO's or a device's place is refused before the window opens, without waiting
// on it or reading it.
TEST(StoreChoice, AHiveThatIsNoFileIsRefusedWithoutReading) {
    namespace fs = std::filesystem;
    const fs::path prefix = fs::path(::testing::TempDir()) / "hivora_fifo_prefix";
    fs::remove_all(prefix);
    fs::create_directories(prefix);
    ASSERT_EQ(::mkfifo((prefix / "user.reg").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", prefix / "system.reg");
    Options options;
    options.storeDirectory = prefix.string();
    const Status usable = checkStoreUsable(options);
    EXPECT_FALSE(usable.isOk());
    EXPECT_NE(usable.message().find(".reg"), std::string::npos) << usable.message();
    EXPECT_FALSE(chooseRegistry(options));
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
