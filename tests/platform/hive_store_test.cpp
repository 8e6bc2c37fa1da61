// The hive store on installations the tests build: where each root leads, what a save writes (and
// what it leaves alone, byte for byte), and that reglookup, a second reader of the format, finds
// every saved hive sound and holding the same keys and values.

#include "platform/posix/hive_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "platform/posix/hivex_tree.h"
#include "platform/unicode_text.h"
#include "tests/platform/hive_test_support.h"
#include "tests/platform/store_test_support.h"

namespace hivora::test {
namespace {

namespace fs = std::filesystem;

// An installation with users alice and bob, opened for alice.
class HiveStoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(makeTestInstallation(m_folder.path(), {"alice", "bob"}));
        m_config = m_folder.path() + "/Windows/System32/config";
        m_files = {m_config + "/SOFTWARE",
                   m_config + "/SYSTEM",
                   m_config + "/DEFAULT",
                   m_folder.path() + "/Users/alice/NTUSER.DAT",
                   m_folder.path() + "/Users/alice/AppData/Local/Microsoft/Windows/UsrClass.dat",
                   m_folder.path() + "/Users/bob/NTUSER.DAT",
                   m_folder.path() + "/Users/bob/AppData/Local/Microsoft/Windows/UsrClass.dat"};
    }

    std::unique_ptr<TreeRegistry> open(WindowsStoreOptions options = {},
                                       std::vector<std::string>* warnings = nullptr) {
        auto installation = findWindowsInstallation(m_folder.path());
        EXPECT_TRUE(installation) << installation.status().message();
        if (!installation) return nullptr;
        m_installation = installation.value();
        const WindowsUser* alice = nullptr;
        for (const auto& u : m_installation.users)
            if (u.name == "alice") alice = &u;
        auto opened = openWindowsRegistry(m_installation, alice, codec936(), std::move(options));
        EXPECT_TRUE(opened) << opened.status().message();
        if (!opened) return nullptr;
        if (warnings) *warnings = opened.value().warnings;
        return std::move(opened.value().registry);
    }

    std::map<std::string, std::string> snapshot() const {
        std::map<std::string, std::string> bytes;
        for (const auto& f : m_files) bytes[f] = readBytes(f);
        return bytes;
    }
    // Every file of the hive folders that is not one of the hives themselves.
    std::vector<std::string> strayFiles() const {
        std::vector<std::string> stray;
        for (const auto& entry : fs::recursive_directory_iterator(m_folder.path())) {
            if (!entry.is_regular_file()) continue;
            if (std::find(m_files.begin(), m_files.end(), entry.path().string()) == m_files.end())
                stray.push_back(entry.path().filename().string());
        }
        return stray;
    }

    TempFolder m_folder;
    std::string m_config;
    std::vector<std::string> m_files;  // SOFTWARE, SYSTEM, DEFAULT, alice's two, bob's two
    WindowsInstallation m_installation;
};

RegResult setText(RegistryApi& api, RegKey root, const std::string& path, const std::string& name,
                  const std::string& text, std::uint32_t type = kRegSz) {
    RegKey k = 0;
    RegResult r =
        api.RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, kKeyAllAccess, &k, nullptr);
    if (r != kErrorSuccess) return r;
    r = api.RegSetValueExA(k, name.c_str(), 0, type,
                           reinterpret_cast<const std::uint8_t*>(text.c_str()),
                           static_cast<std::uint32_t>(text.size() + 1));
    api.RegCloseKey(k);
    return r;
}

std::string readText(RegistryApi& api, RegKey root, const std::string& path,
                     const std::string& name) {
    RegKey k = 0;
    if (api.RegOpenKeyExA(root, path.c_str(), 0, kKeyRead, &k) != kErrorSuccess) return "<no key>";
    char buffer[512] = {};
    std::uint32_t size = sizeof buffer - 1, type = 0;
    const RegResult r = api.RegQueryValueExA(k, name.c_str(), &type,
                                             reinterpret_cast<std::uint8_t*>(buffer), &size);
    api.RegCloseKey(k);
    if (r != kErrorSuccess) return "<no value>";
    return std::string(buffer);
}

std::set<std::string> lines(const std::string& listing) {
    std::set<std::string> out;
    std::istringstream in(listing);
    for (std::string line; std::getline(in, line);) out.insert(line);
    return out;
}

TEST_F(HiveStoreTest, TheInstallationIsFoundWhateverTheCaseOfItsNames) {
    fs::rename(m_folder.path() + "/Windows", m_folder.path() + "/WINDOWS");
    fs::rename(m_folder.path() + "/WINDOWS/System32", m_folder.path() + "/WINDOWS/system32");
    fs::rename(m_folder.path() + "/WINDOWS/system32/config/SOFTWARE",
               m_folder.path() + "/WINDOWS/system32/config/software");
    auto found = findWindowsInstallation(m_folder.path());
    ASSERT_TRUE(found) << found.status().message();
    const WindowsInstallation& w = found.value();
    EXPECT_FALSE(w.looseFolder);
    EXPECT_EQ(w.software, m_folder.path() + "/WINDOWS/system32/config/software");
    EXPECT_EQ(w.describe(), "Windows 10 Pro 22H2（内部版本 19045.3803）");
    ASSERT_EQ(w.users.size(), 2u);  // the service profile S-1-5-18 is no user
    EXPECT_EQ(w.users[0].name, "alice");
    EXPECT_EQ(w.users[0].sid, "S-1-5-21-1-2-3-1001");
    EXPECT_EQ(w.users[1].name, "bob");  // from "%SystemDrive%\Users\bob"
    EXPECT_NE(w.users[0].usrClassPath.find("UsrClass.dat"), std::string::npos);
}

TEST_F(HiveStoreTest, AFolderOfLooseHiveCopiesIsFoundByTheUsualNames) {
    TempFolder loose;
    fs::copy_file(m_config + "/SOFTWARE", loose / "software");
    fs::copy_file(m_config + "/SYSTEM", loose / "System");
    fs::create_directory(loose / "carol");
    fs::copy_file(m_files[3], loose / "carol/ntuser.dat");
    fs::copy_file(m_files[4], loose / "carol/usrclass.DAT");
    auto found = findWindowsInstallation(loose.path());
    ASSERT_TRUE(found) << found.status().message();
    EXPECT_TRUE(found.value().looseFolder);
    EXPECT_EQ(found.value().system, loose / "System");
    EXPECT_TRUE(found.value().defaultHive.empty());
    ASSERT_EQ(found.value().users.size(), 1u);
    EXPECT_EQ(found.value().users[0].name, "carol");
    EXPECT_EQ(found.value().users[0].usrClassPath, loose / "carol/usrclass.DAT");

    TempFolder empty;
    EXPECT_FALSE(findWindowsInstallation(empty.path()));
}

TEST_F(HiveStoreTest, RootsLeadToTheHivesWindowsLoadsThere) {
    auto registry = open();
    ASSERT_TRUE(registry);
    const struct {
        RegKey root;
        const char* path;
        const char* value;
        const char* expected;
    } cases[] = {
        {kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "ProductName",
         "Windows 10 Pro"},
        {kHkeyLocalMachine, "System\\CurrentControlSet\\Control\\Session Manager", "BootExecute",
         "autocheck autochk *"},
        {kHkeyUsers, ".DEFAULT\\Control Panel\\Desktop", "Wallpaper", ""},
        {kHkeyCurrentUser, "Environment", "TEMP", "%USERPROFILE%\\AppData\\Local\\Temp"},
        {kHkeyUsers, "S-1-5-21-1-2-3-1001\\Environment", "TEMP",
         "%USERPROFILE%\\AppData\\Local\\Temp"},
        {kHkeyCurrentUser, "Software\\Classes\\.hivora", "", "hivorafile"},
        {kHkeyClassesRoot, ".txt", "", "txtfile"},
        {kHkeyClassesRoot, ".hivora", "", "hivorafile"},  // the user's classes merged in
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(readText(*registry, c.root, c.path, c.value), c.expected);
    }
}

TEST_F(HiveStoreTest, AChangeLandsInItsHiveAloneAndTheKeysOtherValuesSurvive) {
    const struct {
        RegKey root;
        const char* path;
        std::size_t file;       // index in m_files
        const char* listedKey;  // the key as reglookup lists it in that file
    } cases[] = {
        {kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0,
         "/Microsoft/Windows NT/CurrentVersion"},
        {kHkeyLocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", 1,
         "/ControlSet001/Control/Session Manager"},
        {kHkeyUsers, ".DEFAULT\\Control Panel\\Desktop", 2, "/Control Panel/Desktop"},
        {kHkeyCurrentUser, "Environment", 3, "/Environment"},
        {kHkeyCurrentUser, "Software\\Classes\\.hivora", 4, "/.hivora"},
        {kHkeyClassesRoot, ".txt\\ShellNew", 0, "/Classes/.txt/ShellNew"},
        {kHkeyClassesRoot, ".hivora\\ShellNew", 4, "/.hivora/ShellNew"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const auto before = snapshot();
        const std::string listedBefore = reglookupListing(m_files[c.file]);
        ASSERT_EQ(listedBefore.find("failed"), std::string::npos) << listedBefore;
        auto registry = open();
        ASSERT_TRUE(registry);
        ASSERT_EQ(setText(*registry, c.root, c.path, "HivoraTest", "set"), kErrorSuccess);
        ASSERT_TRUE(registry->flush()) << registry->lastErrorMessage();
        registry.reset();

        for (std::size_t i = 0; i < m_files.size(); ++i)
            if (i != c.file) {
                EXPECT_TRUE(readBytes(m_files[i]) == before.at(m_files[i])) << m_files[i];
            }
        // The second reader sees the old keys and values and the new value, nothing else.
        auto expected = lines(listedBefore);
        expected.insert(std::string(c.listedKey) + "/HivoraTest,SZ,set");
        auto after = lines(reglookupListing(m_files[c.file]));
        std::set<std::string> keyLines;  // new keys on the way
        for (const auto& l : after)
            if (!expected.count(l) && l.find(",KEY,") != std::string::npos) keyLines.insert(l);
        for (const auto& l : keyLines) after.erase(l);
        EXPECT_EQ(after, expected);
        // And the store reads back what it wrote.
        auto again = open();
        EXPECT_EQ(readText(*again, c.root, c.path, "HivoraTest"), "set");
    }
}

// Values over 16 KB are kept by the hive format in chunks of their own (big data): one written
// through the store reads back whole, and a later change to another value of the hive leaves it
// exactly as it was, as the store and reglookup both read it.
TEST_F(HiveStoreTest, BigValuesAreWrittenWholeAndSurviveOtherChanges) {
    std::string big(40000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 251);
    const auto readBig = [](RegistryApi& api) {
        RegKey k = 0;
        if (api.RegOpenKeyExA(kHkeyLocalMachine, "SOFTWARE\\Hivora\\Big", 0, kKeyRead, &k) !=
            kErrorSuccess)
            return std::string("<no key>");
        std::string data(65536, '\0');
        std::uint32_t size = static_cast<std::uint32_t>(data.size()), type = 0;
        const RegResult r = api.RegQueryValueExA(
            k, "Blob", &type, reinterpret_cast<std::uint8_t*>(data.data()), &size);
        api.RegCloseKey(k);
        if (r != kErrorSuccess || type != kRegBinary) return std::string("<no value>");
        data.resize(size);
        return data;
    };
    {
        auto registry = open();
        ASSERT_TRUE(registry);
        RegKey k = 0;
        ASSERT_EQ(registry->RegCreateKeyExA(kHkeyLocalMachine, "SOFTWARE\\Hivora\\Big", 0, nullptr,
                                            0, kKeyAllAccess, &k, nullptr),
                  kErrorSuccess);
        ASSERT_EQ(registry->RegSetValueExA(k, "Blob", 0, kRegBinary,
                                           reinterpret_cast<const std::uint8_t*>(big.data()),
                                           static_cast<std::uint32_t>(big.size())),
                  kErrorSuccess);
        registry->RegCloseKey(k);
        ASSERT_TRUE(registry->flush()) << registry->lastErrorMessage();
    }
    const std::string listed = reglookupListing(m_files[0]);
    ASSERT_EQ(listed.find("failed"), std::string::npos) << listed;
    auto registry = open();
    ASSERT_TRUE(registry);
    EXPECT_TRUE(readBig(*registry) == big);
    ASSERT_EQ(setText(*registry, kHkeyLocalMachine, "SOFTWARE\\Hivora", "Other", "changed"),
              kErrorSuccess);
    ASSERT_TRUE(registry->flush()) << registry->lastErrorMessage();
    registry.reset();

    auto again = open();
    ASSERT_TRUE(again);
    EXPECT_TRUE(readBig(*again) == big);
    auto before = lines(listed);
    auto after = lines(reglookupListing(m_files[0]));
    before.insert("/Hivora/Other,SZ,changed");
    EXPECT_EQ(after, before);
}

TEST_F(HiveStoreTest, ARunThatChangesNothingLeavesEveryByteAndMakesNoFile) {
    const auto before = snapshot();
    {
        auto registry = open();
        ASSERT_TRUE(registry);
        EXPECT_EQ(readText(*registry, kHkeyCurrentUser, "Environment", "TEMP").empty(), false);
        ASSERT_TRUE(registry->lockStore());
        registry->unlockStore();
        ASSERT_TRUE(registry->flush());
        // Changed and dropped again before saving.
        ASSERT_EQ(setText(*registry, kHkeyCurrentUser, "Environment", "X", "1"), kErrorSuccess);
        EXPECT_TRUE(registry->discardChanges());
        EXPECT_EQ(readText(*registry, kHkeyCurrentUser, "Environment", "X"), "<no value>");
    }
    EXPECT_TRUE(snapshot() == before);
    EXPECT_EQ(strayFiles(), std::vector<std::string>{});
}

TEST_F(HiveStoreTest, TheFirstSaveOfAHiveKeepsABackupOfItAndSetThenUndoReadsAsBefore) {
    const std::string ntuser = m_files[3];
    const std::string original = readBytes(ntuser);
    const std::string listedBefore = reglookupListing(ntuser);
    auto registry = open({.readOnly = false, .saveFault = {}, .volume = {}, .clock = [] {
                              return std::time_t{1700000000};
                          }});
    ASSERT_TRUE(registry);
    ASSERT_EQ(setText(*registry, kHkeyCurrentUser, "Environment", "TEMP", "C:\\t"), kErrorSuccess);
    ASSERT_EQ(setText(*registry, kHkeyCurrentUser, "Environment", "NEW", "n"), kErrorSuccess);
    ASSERT_TRUE(registry->flush()) << registry->lastErrorMessage();
    EXPECT_NE(reglookupListing(ntuser).find("/Environment/TEMP,SZ,C:\\t"), std::string::npos);
    // Undone as the journal undoes: the old value written back, the new one deleted.
    ASSERT_EQ(setText(*registry, kHkeyCurrentUser, "Environment", "TEMP",
                      "%USERPROFILE%\\AppData\\Local\\Temp", kRegExpandSz),
              kErrorSuccess);
    RegKey k = 0;
    ASSERT_EQ(registry->RegOpenKeyExA(kHkeyCurrentUser, "Environment", 0, kKeyAllAccess, &k), 0);
    ASSERT_EQ(registry->RegDeleteValueA(k, "NEW"), kErrorSuccess);
    registry->RegCloseKey(k);
    ASSERT_TRUE(registry->flush()) << registry->lastErrorMessage();
    registry.reset();

    EXPECT_EQ(reglookupListing(ntuser), listedBefore);
    std::vector<std::string> stray = strayFiles();
    ASSERT_EQ(stray.size(), 1u) << "one backup, no temporary file";
    EXPECT_EQ(stray[0].rfind("NTUSER.DAT.hivora-backup-2023111", 0), 0u) << stray[0];
    EXPECT_TRUE(readBytes(m_folder.path() + "/Users/alice/" + stray[0]) == original);
}

// The library writes new keys without a class; the store adds them, so a key reads back after
// a save as it was made, and the file stays sound for a second reader.
TEST_F(HiveStoreTest, NewKeysKeepTheirClassThroughASave) {
    auto registry = open();
    ASSERT_TRUE(registry);
    RegKey k = 0;
    ASSERT_EQ(registry->RegCreateKeyExA(kHkeyCurrentUser, "Software\\Hivora\\Deep", 0, "REG_SZ", 0,
                                        kKeyAllAccess, &k, nullptr),
              kErrorSuccess);
    registry->RegCloseKey(k);
    ASSERT_EQ(setText(*registry, kHkeyLocalMachine, "SOFTWARE\\Hivora", "A", "1"), 0);
    ASSERT_TRUE(registry->flush()) << registry->lastErrorMessage();
    registry = open();
    for (const char* parent : {"Software", "Software\\Hivora"}) {
        SCOPED_TRACE(parent);
        ASSERT_EQ(registry->RegOpenKeyExA(kHkeyCurrentUser, parent, 0, kKeyRead, &k), 0);
        char name[64], keyClass[64];
        std::uint32_t nameSize = 64, classSize = 64;
        bool found = false;
        for (std::uint32_t i = 0; !found; ++i) {
            nameSize = classSize = 64;
            if (registry->RegEnumKeyExA(k, i, name, &nameSize, keyClass, &classSize) != 0) break;
            if (std::string(name) == "Hivora" || std::string(name) == "Deep") {
                found = true;
                EXPECT_EQ(std::string(keyClass), "REG_SZ");
            }
        }
        EXPECT_TRUE(found);
        registry->RegCloseKey(k);
    }
    EXPECT_EQ(reglookupListing(m_files[3]).find("failed"), std::string::npos)
        << reglookupListing(m_files[3]);
    EXPECT_EQ(reglookupListing(m_files[0]).find("failed"), std::string::npos);
}

TEST_F(HiveStoreTest, AFailedStepOfASaveLeavesEveryHiveAsItWas) {
    for (const char* step : {"create", "write", "sync", "rename", "sync-folder"}) {
        SCOPED_TRACE(step);
        const auto before = snapshot();
        WindowsStoreOptions options;
        options.saveFault = [step](std::string_view s) { return s == step ? EIO : 0; };
        auto registry = open(options);
        ASSERT_TRUE(registry);
        ASSERT_EQ(setText(*registry, kHkeyLocalMachine, "SOFTWARE\\Hivora", "A", "1"), 0);
        ASSERT_EQ(setText(*registry, kHkeyCurrentUser, "Software\\Hivora", "A", "1"), 0);
        const Status saved = registry->flush();
        EXPECT_FALSE(saved);
        EXPECT_NE(saved.message().find("没有写入任何内容"), std::string::npos) << saved.message();
        // The unsaved changes are dropped: what is read is what is on disk.
        EXPECT_EQ(readText(*registry, kHkeyCurrentUser, "Software\\Hivora", "A"), "<no key>");
        registry.reset();
        EXPECT_TRUE(snapshot() == before);
        EXPECT_EQ(strayFiles(), std::vector<std::string>{});
    }
}

}  // namespace
}  // namespace hivora::test

namespace hivora::test {
namespace {

// The quick reader of names and values (hive_cells.h) against libhivex: a whole hive loaded
// finds every name and value as the library gives them, whichever way the hive stores them.
TEST(HiveCells, ReadNamesAndValuesAsTheLibraryDoes) {
    TempFolder folder;
    const std::string path = folder / "HIVE";
    const std::string big(20000, 'b');
    const struct {
        std::string key, value;
        int type;
        std::string data;
    } entries[] = {
        {"Plain", "Dword", 4, dword(0x12345678)},              // data kept in the record itself
        {"Plain", "Text", 1, sz("C:\\Windows")},               // data in a cell of its own
        {"Plain", "Empty", 3, ""},                             // no data at all
        {"Plain", "", 1, sz("default")},                       // the default value
        {"Plain\\Cl\xC3\xA9", "Caf\xC3\xA9", 1, sz("latin")},  // Latin-1 names
        {"\xE9\x94\xAE", "\xE5\x80\xBC", 4, dword(7)},         // names only UTF-16 holds
        {"Big", "Blob", 3, big},                               // left to the library
    };
    std::vector<HiveEntry> hive;
    for (const auto& e : entries) hive.push_back({e.key, e.value, e.type, e.data});
    ASSERT_TRUE(writeTestHive(path, hive));

    auto file = HivexFile::open(path, false);
    ASSERT_TRUE(file);
    auto tree = loadHiveTree(*file.value());
    ASSERT_TRUE(tree) << tree.status().message();
    for (const auto& e : entries) {
        SCOPED_TRACE(e.key + "/" + e.value);
        const TreeKey* key = tree.value().get();
        for (const auto& name : splitKeyPath(utf8ToUtf16(e.key).value()))
            key = key ? key->findSubKey(name) : nullptr;
        ASSERT_NE(key, nullptr);
        const TreeValue* value = key->findValue(utf8ToUtf16(e.value).value());
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->type, static_cast<std::uint32_t>(e.type));
        EXPECT_EQ(std::string(value->data.begin(), value->data.end()), e.data);
        EXPECT_EQ(key->values.size(), e.key == "Plain" ? 4u : 1u);
    }
    // The plain keys were read without the library; the big value was not.
    const HiveCells cells = file.value()->cells();
    TreeKey scratch;
    EXPECT_TRUE(cells.readValues(file.value()->find({u"Plain"}), scratch));
    EXPECT_FALSE(cells.readValues(file.value()->find({u"Big"}), scratch));
    EXPECT_EQ(cells.keyName(file.value()->find({u"\u952E"})), std::u16string(u"\u952E"));
}

}  // namespace
}  // namespace hivora::test
