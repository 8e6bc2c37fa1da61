// Registry files shared with Wine, both ways: values our store writes into a Wine prefix read back
// the same through the real registry in a Windows program under Wine, and values that program
// writes under Wine read back the same through our store once the wineserver has saved them.
//
// Needs a prefix and the cross-built Windows side; tests/wine/run_wine_tests.sh provides both
// through the environment. Without them each test is skipped.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ansi_codec.h"
#include "platform/posix/file_store.h"
#include "platform/posix/wineserver_probe.h"
#include "tests/wine/interop_values.h"

extern char** environ;

namespace hivora::test {
namespace {

struct WineSetup {
    std::string prefix;   // HIVORA_WINE_PREFIX
    std::string loader;   // HIVORA_WINE_LOADER: wine64
    std::string server;   // HIVORA_WINESERVER
    std::string peer;     // HIVORA_INTEROP_PEER: interop_peer.exe
    std::string scratch;  // a folder for the programs' output
};

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

struct Outcome {
    int exitCode = -1;
    std::string output;
};

// Runs `argv` with Wine's environment for the prefix, its output (both streams) going to a file
// rather than to this process's streams: a wineserver that the call starts keeps its inherited
// streams open, which would hold up whoever reads this test's output.
Outcome run(const WineSetup& wine, std::vector<std::string> argv) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        if (name == "WINEPREFIX" || name == "WINEDEBUG" || name == "LANG" || name == "LC_ALL" ||
            name == "WINEDLLOVERRIDES" || name == "DISPLAY")
            continue;
        environment.push_back(text);
    }
    environment.push_back("WINEPREFIX=" + wine.prefix);
    environment.push_back("WINEDEBUG=-all");
    environment.push_back("LANG=zh_CN.UTF-8");
    environment.push_back("LC_ALL=zh_CN.UTF-8");
    environment.push_back("WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d");

    std::vector<char*> args;
    for (std::string& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    std::vector<char*> env;
    for (std::string& e : environment) env.push_back(e.data());
    env.push_back(nullptr);

    const std::string outputFile = wine.scratch + "/output.txt";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t child = 0;
    Outcome outcome;
    const int error = posix_spawn(&child, args[0], &actions, nullptr, args.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        outcome.output = "cannot start " + argv[0];
        return outcome;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(outputFile, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    outcome.output = text.str();
    return outcome;
}

// Ends the prefix's wineserver, if one runs, and waits until it has saved the registry files.
void stopWineserver(const WineSetup& wine) {
    if (wineserverRunning(wine.prefix)) run(wine, {wine.server, "-k"});
    run(wine, {wine.server, "-w"});
}

const AnsiCodec& codec936() {
    static const std::unique_ptr<AnsiCodec> codec = makeAnsiCodec(936).value();
    return *codec;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

class WineInterop : public testing::Test {
  protected:
    void SetUp() override {
        m_wine.prefix = variable("HIVORA_WINE_PREFIX");
        m_wine.loader = variable("HIVORA_WINE_LOADER");
        m_wine.server = variable("HIVORA_WINESERVER");
        m_wine.peer = variable("HIVORA_INTEROP_PEER");
        if (m_wine.prefix.empty() || m_wine.loader.empty() || m_wine.server.empty() ||
            m_wine.peer.empty()) {
            GTEST_SKIP() << "run by tests/wine/run_wine_tests.sh, which provides a Wine prefix";
        }
        char folder[] = "/tmp/hivora-interop-XXXXXX";
        ASSERT_NE(nullptr, ::mkdtemp(folder));
        m_wine.scratch = folder;
    }
    void TearDown() override {
        if (m_wine.scratch.empty()) return;
        ::unlink((m_wine.scratch + "/output.txt").c_str());
        ::rmdir(m_wine.scratch.c_str());
    }

    WineSetup m_wine;
};

TEST_F(WineInterop, ValuesWrittenByTheStoreReadTheSameUnderWine) {
    stopWineserver(m_wine);
    {
        auto store = openFileStore(m_wine.prefix, codec936());
        ASSERT_TRUE(store.isOk()) << store.status().message();
        const std::vector<std::string> problems = writeInteropValues(*store.value(), "FromStore");
        ASSERT_TRUE(problems.empty()) << joined(problems) << store.value()->lastErrorMessage();
    }
    const Outcome checked = run(m_wine, {m_wine.loader, m_wine.peer, "check", "FromStore"});
    stopWineserver(m_wine);
    EXPECT_EQ(0, checked.exitCode) << checked.output;
    // The wineserver reports lines of the registry files it cannot read as "file:line: ...".
    EXPECT_EQ(std::string::npos, checked.output.find(".reg:")) << checked.output;
}

TEST_F(WineInterop, ValuesWrittenUnderWineReadTheSameThroughTheStore) {
    const Outcome written = run(m_wine, {m_wine.loader, m_wine.peer, "write", "FromWine"});
    ASSERT_EQ(0, written.exitCode) << written.output;
    stopWineserver(m_wine);  // the server saves the files as it exits

    auto store = openFileStore(m_wine.prefix, codec936());
    ASSERT_TRUE(store.isOk()) << store.status().message();
    const std::vector<std::string> problems = checkInteropValues(*store.value(), "FromWine");
    EXPECT_TRUE(problems.empty()) << joined(problems);
}

// While a wineserver runs for the prefix it holds the registry and will write it back when it
// exits, so the store must refuse to change the files, and say why.
TEST_F(WineInterop, StoreRefusesToWriteWhileWineRuns) {
    const Outcome started = run(m_wine, {m_wine.server, "-p"});  // stays until stopped
    ASSERT_EQ(0, started.exitCode) << started.output;
    {
        auto store = openFileStore(m_wine.prefix, codec936());
        ASSERT_TRUE(store.isOk()) << store.status().message();
        EXPECT_FALSE(writeInteropValues(*store.value(), "WhileWineRuns").empty());
        EXPECT_EQ(kWineserverRunningMessage, store.value()->lastErrorMessage());
    }
    stopWineserver(m_wine);

    auto store = openFileStore(m_wine.prefix, codec936());
    ASSERT_TRUE(store.isOk()) << store.status().message();
    RegKey key = 0;
    EXPECT_EQ(kErrorFileNotFound,
              store.value()->RegOpenKeyExA(
                  kHkeyCurrentUser, "Software\\HivoraInterop\\WhileWineRuns", 0, kKeyRead, &key));
}

}  // namespace
}  // namespace hivora::test
