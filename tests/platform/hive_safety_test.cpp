// The installations the hive store must never write to, and the ones it must not refuse: a hive
// Windows left half written, transaction logs newer than their hive, a hibernated or Fast Startup
// volume, a read-only mount, and hives cut short anywhere. Reading stays possible (with a warning)
// wherever the hive can be read at all, and nothing ever changes a byte.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

#include "platform/posix/hive_file.h"
#include "platform/posix/hive_store.h"
#include "tests/platform/hive_test_support.h"
#include "tests/platform/store_test_support.h"

namespace hivora::test {
namespace {

namespace fs = std::filesystem;

struct Paths {
    std::string root, software, system, ntuser;
};

void editFile(const std::string& path, const std::function<void(std::string&)>& edit) {
    std::string bytes = readBytes(path);
    edit(bytes);
    writeFile(path, bytes);
}

// A transaction log of the new kind for `hive`: its base block marked as a log, then one entry
// bringing the hive to `sequence`.
std::string newKindLog(const std::string& hive, std::uint32_t sequence) {
    std::string log = hive.substr(0, 512) + std::string(512, '\0');
    putLe(log, 28, 6, 4);
    fixBaseBlockChecksum(log);
    log.replace(512, 4, "HvLE");
    putLe(log, 516, 512, 4);  // size
    putLe(log, 524, sequence, 4);
    putLe(log, 528, getLe32(hive, 40), 4);  // hive bins data size
    return log;
}

// A transaction log of the old kind, written whole for the hive at `sequence`.
std::string oldKindLog(const std::string& hive, std::uint32_t sequence) {
    std::string log = hive.substr(0, 512) + std::string(512, '\0');
    putLe(log, 4, sequence, 4);
    putLe(log, 8, sequence, 4);
    putLe(log, 28, 1, 4);
    fixBaseBlockChecksum(log);
    log.replace(512, 4, "DIRT");
    return log;
}

struct SafetyCase {
    const char* name;
    std::function<void(const Paths&)> prepare;
    bool readOnlyMount = false;
    // Expected: which writes are refused and what their message says ("" none is).
    bool machineRefused = false;  // HKLM\SYSTEM
    bool userRefused = false;     // HKCU
    const char* says = "";
};

TEST(HiveSafety, WritesAreRefusedWhereWindowsWouldLoseThemAndReadingGoesOn) {
    const std::string hibernated = "这个 Windows 处于休眠状态";
    const SafetyCase cases[] = {
        {"SequenceNumbersDiffer",
         [](const Paths& p) {
             editFile(p.system, [](std::string& b) {
                 putLe(b, 4, getLe32(b, 8) + 1, 4);
                 fixBaseBlockChecksum(b);
             });
         },
         false, true, false, "上次未写完"},
        {"ChecksumWrong",
         [](const Paths& p) { editFile(p.system, [](std::string& b) { b[200] ^= 0x5A; }); }, false,
         true, false, "上次未写完"},
        {"NewKindLog1HoldsANewerEntry",
         [](const Paths& p) {
             const std::string hive = readBytes(p.system);
             writeFile(p.system + ".LOG1", newKindLog(hive, getLe32(hive, 8) + 1));
         },
         false, true, false, "事务日志"},
        {"OldKindLog2InLowerCaseIsNewer",
         [](const Paths& p) {
             const std::string hive = readBytes(p.ntuser);
             writeFile(p.ntuser + ".log2", oldKindLog(hive, getLe32(hive, 8) + 1));
         },
         false, false, true, "事务日志"},
        {"LogWithOnlyAppliedEntries",
         [](const Paths& p) {
             const std::string hive = readBytes(p.system);
             writeFile(p.system + ".LOG1", newKindLog(hive, getLe32(hive, 8)));
             writeFile(p.system + ".LOG2", std::string());
         }},
        {"LogWithAWrongChecksum",
         [](const Paths& p) {
             const std::string hive = readBytes(p.system);
             std::string log = newKindLog(hive, getLe32(hive, 8) + 5);
             log[100] ^= 1;
             writeFile(p.system + ".LOG1", log);
         }},
        {"HibernatedLowerCase",
         [](const Paths& p) { writeFile(p.root + "/hiberfil.sys", "hibr" + std::string(60, 'x')); },
         false, true, true, hibernated.c_str()},
        {"FastStartupUpperCase",
         [](const Paths& p) { writeFile(p.root + "/HIBERFIL.SYS", "HIBR" + std::string(60, 'x')); },
         false, true, true, hibernated.c_str()},
        {"ResumeFailed",
         [](const Paths& p) {
             writeFile(p.root + "/hiberfil.sys", "wake" + std::string(60, '\0'));
         },
         false, true, true, hibernated.c_str()},
        {"HibernationFileZeroed",
         [](const Paths& p) { writeFile(p.root + "/hiberfil.sys", std::string(4096, '\0')); }},
        {"ReadOnlyMount", [](const Paths&) {}, true, true, true, "只读方式挂载"},
    };
    for (const SafetyCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        ASSERT_TRUE(makeTestInstallation(folder.path(), {"alice"}));
        const std::string config = folder.path() + "/Windows/System32/config";
        const Paths paths{folder.path(), config + "/SOFTWARE", config + "/SYSTEM",
                          folder.path() + "/Users/alice/NTUSER.DAT"};
        c.prepare(paths);
        std::map<std::string, std::string> before;
        for (const auto& e : fs::recursive_directory_iterator(folder.path()))
            if (e.is_regular_file()) before[e.path().string()] = readBytes(e.path().string());

        auto installation = findWindowsInstallation(folder.path());
        ASSERT_TRUE(installation) << installation.status().message();
        WindowsStoreOptions options;
        options.volume.mountedReadOnly = [&c](const std::string&) { return c.readOnlyMount; };
        auto opened = openWindowsRegistry(installation.value(), &installation.value().users[0],
                                          codec936(), options);
        ASSERT_TRUE(opened) << opened.status().message();
        auto& registry = *opened.value().registry;
        const bool anyRefused = c.machineRefused || c.userRefused;
        EXPECT_EQ(opened.value().warnings.empty(), !anyRefused);

        const struct {
            RegKey root;
            const char* path;
            bool refused;
        } writes[] = {
            {kHkeyLocalMachine, "SYSTEM\\CurrentControlSet\\Control", c.machineRefused},
            {kHkeyCurrentUser, "Environment", c.userRefused},
        };
        for (const auto& w : writes) {
            SCOPED_TRACE(w.path);
            RegKey k = 0;
            ASSERT_EQ(registry.RegOpenKeyExA(w.root, w.path, 0, kKeyAllAccess, &k), kErrorSuccess)
                << "reading stays possible";
            const std::uint8_t data[] = {1, 0, 0, 0};
            const RegResult r = registry.RegSetValueExA(k, "Hivora", 0, kRegDword, data, 4);
            registry.RegCloseKey(k);
            if (!w.refused) {
                EXPECT_EQ(r, kErrorSuccess);
                continue;
            }
            EXPECT_EQ(r, kErrorAccessDenied);
            const std::string message = registry.lastErrorMessage();
            EXPECT_NE(message.find(c.says), std::string::npos) << message;
            EXPECT_NE(message.find("没有写入任何内容"), std::string::npos) << message;
        }
        EXPECT_TRUE(registry.discardChanges());
        EXPECT_TRUE(registry.flush());
        opened.value().registry.reset();
        for (const auto& [path, bytes] : before) EXPECT_TRUE(readBytes(path) == bytes) << path;
    }
}

TEST(HiveSafety, AHiveCutShortAtAnyStepIsRefusedWithAMessage) {
    TempFolder folder;
    std::vector<HiveEntry> many;
    for (int i = 0; i < 200; ++i)
        many.push_back({"Filler\\K" + std::to_string(i / 20), "V" + std::to_string(i), 3,
                        std::string(150, static_cast<char>('a' + i % 26))});
    ASSERT_TRUE(makeTestInstallation(folder.path(), {"alice"}, many));
    const std::string software = folder.path() + "/Windows/System32/config/SOFTWARE";
    const std::string whole = readBytes(software);
    ASSERT_GE(whole.size(), 8u * 4096) << "several bins, so that cuts fall between and inside";
    EXPECT_EQ(inspectHiveBytes("SOFTWARE", whole, {}, {}).condition, HiveCondition::Clean);
    for (std::size_t cut = 0; cut < whole.size(); cut += 4096) {
        SCOPED_TRACE(cut);
        EXPECT_EQ(
            inspectHiveBytes("SOFTWARE", std::string_view(whole).substr(0, cut), {}, {}).condition,
            HiveCondition::Unreadable);
        writeFile(software, whole.substr(0, cut));
        auto installation = findWindowsInstallation(folder.path());
        ASSERT_TRUE(installation) << installation.status().message();
        // SOFTWARE cut short names no users: the store is opened without one.
        EXPECT_TRUE(installation.value().users.empty());
        auto opened = openWindowsRegistry(installation.value(), nullptr, codec936());
        ASSERT_FALSE(opened);
        EXPECT_NE(opened.status().message().find(software), std::string::npos)
            << opened.status().message();
        EXPECT_TRUE(readBytes(software) == whole.substr(0, cut));
    }
    // A bin whose header is damaged is refused the same way.
    std::string broken = whole;
    broken.replace(4096 + 4096, 4, "hbix");
    EXPECT_EQ(inspectHiveBytes("SOFTWARE", broken, {}, {}).condition, HiveCondition::Unreadable);
}

}  // namespace
}  // namespace hivora::test
