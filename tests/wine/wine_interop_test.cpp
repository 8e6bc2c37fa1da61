// Registry files shared with Wine, both ways: values our store writes into a Wine prefix read back
// the same through the real registry in a Windows program under Wine, and values that program
// writes under Wine read back the same through our store once the wineserver has saved them.
//
// Needs a prefix and the cross-built Windows side; tests/wine/run_wine_tests.sh provides both
// through the environment. Without them each test is skipped.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ansi_codec.h"
#include "platform/posix/file_store.h"
#include "platform/posix/wineserver_probe.h"
#include "platform/tree_registry.h"
#include "platform/wine_hive_format.h"
#include "tests/platform/odd_hive_lines.h"
#include "tests/wine/interop_links.h"
#include "tests/wine/interop_values.h"

namespace hivora::test {
namespace {

const AnsiCodec& codec936() {
    static const std::unique_ptr<AnsiCodec> codec = makeAnsiCodec(936).value();
    return *codec;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// What the table reads back as from a registry that answers as Windows does: the in-memory
// store, which registry_differential_test holds against the real registry call by call.
std::string asWindowsReadsIt(const std::string& tag) {
    auto memory = makeMemoryRegistry(codec936());
    const std::string problems = joined(writeInteropValues(*memory, tag));
    return problems + readInteropValues(*memory, tag);
}

struct Outcome {
    int exitCode = -1;
    std::string output;
    std::string errors;
};

class WineInterop : public testing::Test {
  protected:
    void SetUp() override {
        for (auto [field, name] : {std::pair{&m_prefix, "HIVORA_WINE_PREFIX"},
                                   {&m_loader, "HIVORA_WINE_LOADER"},
                                   {&m_server, "HIVORA_WINESERVER"},
                                   {&m_peer, "HIVORA_INTEROP_PEER"}}) {  // interop_peer.exe
            const char* value = std::getenv(name);
            if (!value || !*value)
                GTEST_SKIP() << "run by tests/wine/run_wine_tests.sh, which provides a Wine prefix";
            *field = value;
        }
        // The prefix, quiet, in the Chinese locale it was made in, with no installer dialogues.
        ::setenv("WINEPREFIX", m_prefix.c_str(), 1);
        ::setenv("WINEDEBUG", "-all", 1);
        ::setenv("LANG", "zh_CN.UTF-8", 1);
        ::setenv("LC_ALL", "zh_CN.UTF-8", 1);
        ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d", 1);
        ::unsetenv("DISPLAY");
        char folder[] = "/tmp/hivora-interop-XXXXXX";
        ASSERT_NE(nullptr, ::mkdtemp(folder));
        m_scratch = folder;
    }
    void TearDown() override {
        if (m_scratch.empty()) return;
        for (const char* file : {"/output.txt", "/errors.txt"})
            ::unlink((m_scratch + file).c_str());
        ::rmdir(m_scratch.c_str());
    }

    // Runs `argv`, its output and errors going to files rather than to this process's streams: a
    // wineserver that the call starts keeps its inherited streams open, which would hold up
    // whoever reads this test's output.
    Outcome run(const std::vector<std::string>& argv) {
        std::string command;
        for (const std::string& word : argv) command += "'" + word + "' ";  // paths without quotes
        const std::string output = m_scratch + "/output.txt";
        const std::string errors = m_scratch + "/errors.txt";
        const int status =
            std::system((command + "</dev/null >'" + output + "' 2>'" + errors + "'").c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readWholeFile(output),
                readWholeFile(errors)};
    }

    // Ends the prefix's wineserver, if one runs, and waits until it has saved the registry files.
    void stopWineserver() {
        if (wineserverRunning(m_prefix)) run({m_server, "-k"});
        run({m_server, "-w"});
    }

    std::string m_prefix, m_loader, m_server, m_peer;
    std::string m_scratch;  // a folder for the programs' output
};

TEST_F(WineInterop, ValuesWrittenByTheStoreReadTheSameUnderWine) {
    stopWineserver();
    {
        auto store = openFileStore(m_prefix, codec936());
        ASSERT_TRUE(store.isOk()) << store.status().message();
        const std::vector<std::string> problems = writeInteropValues(*store.value(), "FromStore");
        ASSERT_TRUE(problems.empty()) << joined(problems) << store.value()->lastErrorMessage();
    }
    const Outcome read = run({m_loader, m_peer, "read", "FromStore"});
    stopWineserver();
    EXPECT_EQ(0, read.exitCode) << read.errors;
    // The wineserver reports lines of the registry files it cannot read as "file:line: ...".
    EXPECT_EQ(std::string::npos, read.errors.find(".reg:")) << read.errors;
    EXPECT_EQ(asWindowsReadsIt("FromStore"), read.output);
}

TEST_F(WineInterop, ValuesWrittenUnderWineReadTheSameThroughTheStore) {
    const Outcome written = run({m_loader, m_peer, "write", "FromWine"});
    ASSERT_EQ(0, written.exitCode) << written.errors;
    stopWineserver();  // the server saves the files as it exits

    auto store = openFileStore(m_prefix, codec936());
    ASSERT_TRUE(store.isOk()) << store.status().message();
    EXPECT_EQ(asWindowsReadsIt("FromWine"), readInteropValues(*store.value(), "FromWine"));
}

// While a wineserver runs for the prefix it holds the registry and will write it back when it
// exits, so the store must refuse to change the files, and say why.
TEST_F(WineInterop, StoreRefusesToWriteWhileWineRuns) {
    const Outcome started = run({m_server, "-p"});  // stays until stopped
    ASSERT_EQ(0, started.exitCode) << started.errors;
    {
        auto store = openFileStore(m_prefix, codec936());
        ASSERT_TRUE(store.isOk()) << store.status().message();
        EXPECT_FALSE(writeInteropValues(*store.value(), "WhileWineRuns").empty());
        EXPECT_EQ(kWineserverRunningMessage, store.value()->lastErrorMessage());
    }
    stopWineserver();

    auto store = openFileStore(m_prefix, codec936());
    ASSERT_TRUE(store.isOk()) << store.status().message();
    RegKey key = 0;
    EXPECT_EQ(kErrorFileNotFound,
              store.value()->RegOpenKeyExA(
                  kHkeyCurrentUser, "Software\\HivoraInterop\\WhileWineRuns", 0, kKeyRead, &key));
}

// A fresh prefix's link keys (the 32-bit view's Fonts and Time Zones, and the 64-bit Time Zones
// link) list the same through the store as under Wine; a value the store writes through a link
// is seen by Wine through the link, and by the store at the link's target.
TEST_F(WineInterop, BranchesReachedThroughLinkKeysReadTheSameThroughTheStore) {
    const auto listAll = [](RegistryApi& registry) {
        std::string text;
        for (const std::string& path : linkedPaths()) text += listBranch(registry, path, 1);
        return text;
    };
    stopWineserver();
    const Outcome wine = run({m_loader, m_peer, "links"});
    stopWineserver();
    ASSERT_EQ(0, wine.exitCode) << wine.errors;
    {
        auto store = openFileStore(m_prefix, codec936());
        ASSERT_TRUE(store.isOk()) << store.status().message();
        EXPECT_EQ(wine.output, listAll(*store.value()));
    }
    // Both sides read through the links, not an empty key: a time zone's values are listed.
    EXPECT_NE(wine.output.find("China Standard Time] open -> 0\nenum 0 \"Display\""),
              std::string::npos)
        << wine.output;

    const char* const fontsLink =
        "Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
    const char* const fonts = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
    const auto setProbe = [&](bool remove) {
        auto store = openFileStore(m_prefix, codec936());
        ASSERT_TRUE(store.isOk()) << store.status().message();
        RegKey key = 0;
        ASSERT_EQ(kErrorSuccess, store.value()->RegOpenKeyExA(kHkeyLocalMachine, fontsLink, 0,
                                                              kKeyAllAccess, &key));
        const RegResult r = remove ? store.value()->RegDeleteValueA(key, "HivoraLinkProbe")
                                   : store.value()->RegSetValueExA(
                                         key, "HivoraLinkProbe", 0, kRegSz,
                                         reinterpret_cast<const std::uint8_t*>("probe.ttf"), 10);
        store.value()->RegCloseKey(key);
        EXPECT_EQ(kErrorSuccess, r);
        EXPECT_TRUE(store.value()->flush().isOk());
    };
    setProbe(false);
    const Outcome after = run({m_loader, m_peer, "links"});
    stopWineserver();
    EXPECT_EQ(0, after.exitCode) << after.errors;
    EXPECT_NE(after.output.find("\"HivoraLinkProbe\" type 1"), std::string::npos) << after.output;
    {
        auto store = openFileStore(m_prefix, codec936());
        ASSERT_TRUE(store.isOk()) << store.status().message();
        EXPECT_EQ(after.output, listAll(*store.value()));
        RegKey key = 0;
        ASSERT_EQ(kErrorSuccess,
                  store.value()->RegOpenKeyExA(kHkeyLocalMachine, fonts, 0, kKeyRead, &key));
        EXPECT_EQ(kErrorSuccess, store.value()->RegQueryValueExA(key, "HivoraLinkProbe", nullptr,
                                                                 nullptr, nullptr));
        store.value()->RegCloseKey(key);
    }
    setProbe(true);
}

// The table of odd lines as the prefix's user.reg: Wine loads it (reporting what it cannot read)
// and, once a change makes it save the hive, writes what it read. The store's reader must hold the
// same values and report the same lines.
TEST_F(WineInterop, OddLinesReadTheSameInWineAndInTheStore) {
    stopWineserver();
    const std::string userReg = m_prefix + "/user.reg";
    const std::string original = readWholeFile(userReg);
    const std::string odd = oddHive(original.substr(0, original.find("\n[")) + "\n");
    std::ofstream(userReg, std::ios::binary) << odd;
    const Outcome touched =
        run({m_loader, "reg", "add", "HKCU\\Software\\HivoraOddTouch", "/v", "x", "/d", "y", "/f"});
    stopWineserver();
    const std::string saved = readWholeFile(userReg);
    std::ofstream(userReg, std::ios::binary) << original;
    ASSERT_EQ(0, touched.exitCode) << touched.errors;

    // The server reports "user.reg:<line>: <message> '<line text>'".
    std::set<int> wineLines, storeLines;
    const std::regex report("user\\.reg:([0-9]+): ");
    for (std::sregex_iterator it(touched.errors.begin(), touched.errors.end(), report), end;
         it != end; ++it)
        wineLines.insert(std::stoi((*it)[1].str()));
    const ParsedHive ours = parseHive(std::make_shared<const std::string>(odd));
    for (const HiveDiagnostic& d : ours.diagnostics) storeLines.insert(d.line);
    EXPECT_EQ(wineLines, storeLines) << touched.errors;

    const ParsedHive wine = parseHive(std::make_shared<const std::string>(saved));
    EXPECT_TRUE(wine.diagnostics.empty());
    for (const OddLine& line : oddLines()) {
        SCOPED_TRACE(line.what);
        const std::string path = oddPath(line);
        const KeyPath keyPath = splitKeyPath(std::u16string(path.begin(), path.end()));
        const TreeKey* wineKey = wine.tree->findKey(keyPath);
        const TreeKey* ourKey = ours.tree->findKey(keyPath);
        const TreeValue* wineValue = wineKey ? wineKey->findValue(u"v") : nullptr;
        const TreeValue* ourValue = ourKey ? ourKey->findValue(u"v") : nullptr;
        ASSERT_EQ(wineValue != nullptr, ourValue != nullptr);
        if (!wineValue) continue;
        EXPECT_EQ(wineValue->type, ourValue->type);
        EXPECT_EQ(wineValue->data, ourValue->data);
    }
}

}  // namespace
}  // namespace hivora::test
