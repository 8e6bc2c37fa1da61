// Wine's symbolic-link keys ("#link" with a SymbolicLinkValue) in the tree registry and the file
// store: paths through a link reach its target, across hives; reads, writes, new keys and
// deletions land there; links that lead nowhere, too deep or round in a circle fail with
// ERROR_FILE_NOT_FOUND and change nothing; and the link keys themselves come out of every save
// byte for byte. The hives are written as Wine writes them.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "platform/posix/file_store.h"
#include "platform/tree_registry.h"
#include "platform/unicode_text.h"
#include "platform/wine_hive_format.h"
#include "tests/platform/store_test_support.h"

namespace hivora::test {
namespace {

constexpr const char* kKeyStamp = " 1700000000\n#time=1da0c2b5d6a2c00\n";

// One key block: `path` with single backslashes, `body` its option and value lines.
std::string block(const std::string& path, const std::string& body) {
    std::string escaped;
    for (char c : path) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return "\n[" + escaped + "]" + kKeyStamp + body;
}

// A link key's body: "#link" and the target as UTF-16 bytes without a final NUL, one hex line.
std::string linkTo(const std::u16string& target) {
    std::string hex;
    for (std::uint8_t byte : toUtf16Le(target)) {
        static const char kDigits[] = "0123456789abcdef";
        if (!hex.empty()) hex += ',';
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return "#link\n\"SymbolicLinkValue\"=hex(6):" + hex + "\n";
}

std::string id(const std::string& name) {
    return "\"Id\"=\"" + name + "\"\n";
}

std::string two(int n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

const std::u16string kMachine = u"\\Registry\\Machine\\";
const std::u16string kFonts = u"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";

// The system hive: Wine's two Wow6432Node links, and below Software\Links one link of each kind.
// C01..C16 is a chain of sixteen links, as deep as Wine follows; C00 makes it seventeen. E<k>
// names E<k-1> eight times over, so that following it naively takes 8^k steps.
std::string systemHive() {
    std::string text =
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n";
    text += block("Software\\Classes\\Wow6432Node\\CLSID", id("clsid32"));
    text += block("Software\\Links", id("links"));
    text += block("Software\\Links\\BadPrefix", linkTo(u"\\Machine\\Software"));
    for (int k = 0; k <= 16; ++k) {
        const std::u16string next =
            k == 16 ? kFonts : u"Software\\Links\\C" + utf8ToUtf16(two(k + 1)).value();
        text += block("Software\\Links\\C" + two(k), linkTo(kMachine + next));
    }
    text += block("Software\\Links\\CycleA", linkTo(kMachine + u"Software\\Links\\CycleB"));
    text += block("Software\\Links\\CycleB", linkTo(kMachine + u"Software\\links\\cyclea"));
    text += block("Software\\Links\\DoubleSeparator", linkTo(u"\\Registry\\\\Machine\\Software"));
    for (int k = 0; k <= 16; ++k) {
        std::u16string target = kMachine + u"Software\\Links";
        for (int i = 0; k > 0 && i < 8; ++i) target += u"\\E" + utf8ToUtf16(two(k - 1)).value();
        text += block("Software\\Links\\E" + two(k), linkTo(target));
    }
    text += block("Software\\Links\\Lower",
                  linkTo(u"\\registry\\MACHINE\\software\\classes\\wow6432node"));
    text += block("Software\\Links\\NoValue", "#link\n");
    text += block("Software\\Links\\Nowhere", linkTo(kMachine + u"Software\\Missing"));
    text += block("Software\\Links\\OtherUser", linkTo(u"\\Registry\\User\\S-1-5-21-9\\Software"));
    text += block("Software\\Links\\Self", linkTo(kMachine + u"Software\\Links\\Self"));
    text +=
        block("Software\\Links\\ToDefault", linkTo(u"\\Registry\\User\\.Default\\Control Panel"));
    text += block("Software\\Links\\ToUser",
                  linkTo(u"\\Registry\\User\\S-1-5-21-0-0-0-1000\\Software\\Target"));
    text += block("Software\\Links\\ToUsers", linkTo(u"\\Registry\\User"));
    text += block("Software\\Links\\TrailingNul", linkTo(kMachine + kFonts + u'\0'));
    text += block("Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
                  "\"Arial (TrueType)\"=\"arial.ttf\"\n" + id("fonts"));
    text += block("Software\\Wow6432Node\\Classes",
                  linkTo(kMachine + u"Software\\Classes\\Wow6432Node"));
    text += block("Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
                  linkTo(kMachine + kFonts));
    return text;
}

std::string userHive() {
    return "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
           "#arch=win64\n" +
           block("Software\\Target", id("user-target"));
}

std::string defaultHive() {
    return "WINE REGISTRY Version 2\n;; All keys relative to "
           "\\\\User\\\\.Default\n\n#arch=win64\n" +
           block("Control Panel", id("default-panel"));
}

std::unique_ptr<HiveTree> parsed(const std::string& text) {
    ParsedHive hive = parseHive(std::make_shared<const std::string>(text));
    EXPECT_TRUE(hive.diagnostics.empty());
    // The hive is as Wine would write it: read and written back it is the same text.
    EXPECT_EQ(renderHive(*hive.tree), text);
    return std::move(hive.tree);
}

std::unique_ptr<TreeRegistry> linkedRegistry() {
    auto registry = makeMemoryRegistry(codec936());
    registry->replaceHive(HiveId::System, parsed(systemHive()));
    registry->replaceHive(HiveId::User, parsed(userHive()));
    registry->replaceHive(HiveId::UserDefault, parsed(defaultHive()));
    return registry;
}

// The "Id" text of the key `path` opens, or the result code of the failed open as "error N".
std::string idAt(RegistryApi& api, RegKey root, const char* path, std::uint32_t options = 0) {
    RegKey k = 0;
    const RegResult opened = api.RegOpenKeyExA(root, path, options, kKeyRead, &k);
    if (opened != kErrorSuccess) return "error " + std::to_string(opened);
    char text[64] = {};
    std::uint32_t size = sizeof text - 1;
    const RegResult read =
        api.RegQueryValueExA(k, "Id", nullptr, reinterpret_cast<std::uint8_t*>(text), &size);
    api.RegCloseKey(k);
    return read == kErrorSuccess ? std::string(text) : "no id (" + std::to_string(read) + ")";
}

const std::string kNotFound = "error " + std::to_string(kErrorFileNotFound);

TEST(RegistryLinks, PathsThroughLinksReachTheTargetOrFailAsWineFails) {
    const auto registry = linkedRegistry();
    const struct {
        const char* what;
        RegKey root;
        const char* path;
        std::string id;
    } cases[] = {
        {"Wine's 32-bit Fonts link", kHkeyLocalMachine,
         "Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", "fonts"},
        {"a link in the middle of a path", kHkeyLocalMachine,
         "Software\\Wow6432Node\\Classes\\CLSID", "clsid32"},
        {"names in any case", kHkeyLocalMachine, "software\\WOW6432NODE\\classes\\clsid",
         "clsid32"},
        {"a target in any case", kHkeyLocalMachine, "Software\\Links\\Lower\\CLSID", "clsid32"},
        {"into the user's hive", kHkeyLocalMachine, "Software\\Links\\ToUser", "user-target"},
        {"into the default user's hive", kHkeyLocalMachine, "Software\\Links\\ToDefault",
         "default-panel"},
        {"to HKEY_USERS and on", kHkeyLocalMachine,
         "Software\\Links\\ToUsers\\.Default\\Control Panel", "default-panel"},
        {"sixteen links in a row", kHkeyLocalMachine, "Software\\Links\\C01", "fonts"},
        {"seventeen links in a row", kHkeyLocalMachine, "Software\\Links\\C00", kNotFound},
        {"links named over and over, fifteen deep", kHkeyLocalMachine, "Software\\Links\\E15",
         "links"},
        {"links named over and over, sixteen deep", kHkeyLocalMachine, "Software\\Links\\E16",
         kNotFound},
        {"two links round in a circle", kHkeyLocalMachine, "Software\\Links\\CycleA", kNotFound},
        {"a link to itself", kHkeyLocalMachine, "Software\\Links\\Self\\Below", kNotFound},
        {"a target that does not exist", kHkeyLocalMachine, "Software\\Links\\Nowhere", kNotFound},
        {"a link without its value", kHkeyLocalMachine, "Software\\Links\\NoValue", kNotFound},
        {"a target not below \\Registry", kHkeyLocalMachine, "Software\\Links\\BadPrefix",
         kNotFound},
        {"a doubled separator after \\Registry", kHkeyLocalMachine,
         "Software\\Links\\DoubleSeparator", kNotFound},
        {"a NUL ending the target", kHkeyLocalMachine, "Software\\Links\\TrailingNul", kNotFound},
        {"a user the registry does not hold", kHkeyLocalMachine, "Software\\Links\\OtherUser",
         kNotFound},
    };
    for (const auto& c : cases) EXPECT_EQ(idAt(*registry, c.root, c.path), c.id) << c.what;
    EXPECT_EQ(registry->openHandleCount(), 0u);
}

TEST(RegistryLinks, OpenLinkOpensTheLinkKeyItselfEvenWhenItLeadsNowhere) {
    const auto registry = linkedRegistry();
    for (const char* path : {"Software\\Wow6432Node\\Classes", "Software\\Links\\Nowhere",
                             "Software\\Links\\CycleA"}) {
        SCOPED_TRACE(path);
        RegKey k = 0;
        ASSERT_EQ(
            registry->RegOpenKeyExA(kHkeyLocalMachine, path, kRegOptionOpenLink, kKeyRead, &k),
            kErrorSuccess);
        std::uint32_t type = 0, size = 0;
        EXPECT_EQ(registry->RegQueryValueExA(k, "SymbolicLinkValue", &type, nullptr, &size),
                  kErrorSuccess);
        EXPECT_EQ(type, 6u);
        registry->RegCloseKey(k);
        ASSERT_EQ(registry->RegCreateKeyExA(kHkeyLocalMachine, path, 0, nullptr, kRegOptionOpenLink,
                                            kKeyAllAccess, &k, nullptr),
                  kErrorSuccess);
        EXPECT_EQ(registry->RegQueryValueExA(k, "SymbolicLinkValue", &type, nullptr, &size),
                  kErrorSuccess);
        registry->RegCloseKey(k);
    }
    // Followed, the link shows its target's values, not its own.
    RegKey k = 0;
    ASSERT_EQ(registry->RegOpenKeyExA(kHkeyLocalMachine, "Software\\Wow6432Node\\Classes", 0,
                                      kKeyRead, &k),
              kErrorSuccess);
    EXPECT_EQ(registry->RegQueryValueExA(k, "SymbolicLinkValue", nullptr, nullptr, nullptr),
              kErrorFileNotFound);
    registry->RegCloseKey(k);
}

TEST(RegistryLinks, EnumerationListsTheLinkByItsNameAndThroughItTheTarget) {
    const auto registry = linkedRegistry();
    char name[64];
    std::uint32_t length = sizeof name;
    RegKey k = 0;
    ASSERT_EQ(registry->RegOpenKeyA(kHkeyLocalMachine, "Software\\Wow6432Node", &k), 0);
    ASSERT_EQ(registry->RegEnumKeyExA(k, 0, name, &length, nullptr, nullptr), 0);
    EXPECT_STREQ(name, "Classes");
    registry->RegCloseKey(k);

    ASSERT_EQ(registry->RegOpenKeyA(kHkeyLocalMachine, "Software\\Wow6432Node\\Classes", &k), 0);
    length = sizeof name;
    ASSERT_EQ(registry->RegEnumKeyExA(k, 0, name, &length, nullptr, nullptr), 0);
    EXPECT_STREQ(name, "CLSID");
    registry->RegCloseKey(k);

    ASSERT_EQ(registry->RegOpenKeyA(kHkeyLocalMachine,
                                    "Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion"
                                    "\\Fonts",
                                    &k),
              0);
    length = sizeof name;
    ASSERT_EQ(registry->RegEnumValueA(k, 0, name, &length, nullptr, nullptr, nullptr), 0);
    EXPECT_STREQ(name, "Arial (TrueType)");
    registry->RegCloseKey(k);
}

// Every link key of the original system hive is still there unchanged, its block copied byte for
// byte into the hive's text.
void expectLinksUntouched(const TreeRegistry& registry) {
    const auto original = parsed(systemHive());
    const std::string now = renderHive(registry.hive(HiveId::System));
    std::vector<const TreeKey*> todo{original->root.get()};
    while (!todo.empty()) {
        const TreeKey* key = todo.back();
        todo.pop_back();
        for (const auto& sub : key->subKeys) todo.push_back(sub.get());
        if (!key->isLink) continue;
        const std::string text(key->sourceBlock);
        EXPECT_NE(now.find(text), std::string::npos) << text;
        const TreeKey* kept = registry.hive(HiveId::System).findKey(key->path());
        ASSERT_NE(kept, nullptr) << text;
        EXPECT_TRUE(kept->isLink);
        EXPECT_FALSE(kept->changed) << text;
        EXPECT_TRUE(kept->subKeys.empty()) << text;
    }
}

RegResult setText(RegistryApi& api, const char* path, const char* name) {
    RegKey k = 0;
    RegResult r = api.RegOpenKeyExA(kHkeyLocalMachine, path, 0, kKeyAllAccess, &k);
    if (r != kErrorSuccess) return r;
    r = api.RegSetValueExA(k, name, 0, kRegSz, reinterpret_cast<const std::uint8_t*>("x"), 2);
    api.RegCloseKey(k);
    return r;
}

RegResult createKey(RegistryApi& api, const char* path) {
    RegKey k = 0;
    const RegResult r =
        api.RegCreateKeyExA(kHkeyLocalMachine, path, 0, nullptr, 0, kKeyAllAccess, &k, nullptr);
    api.RegCloseKey(k);
    return r;
}

TEST(RegistryLinks, ChangesThroughALinkLandAtItsTargetAndBrokenLinksChangeNothing) {
    const char* const wowFonts =
        "Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
    const struct {
        const char* what;
        std::function<RegResult(RegistryApi&)> change;
        RegResult result;
        HiveId hive;
        std::u16string key;    // where the change shows, below the hive's root
        std::u16string value;  // a value that shows there, or "" for the key alone
        bool present;          // whether that key (value) is there afterwards
    } cases[] = {
        {"a value set through Wine's Fonts link",
         [&](RegistryApi& a) { return setText(a, wowFonts, "New"); }, kErrorSuccess, HiveId::System,
         kFonts, u"New", true},
        {"a value deleted through the link",
         [&](RegistryApi& a) {
             RegKey k = 0;
             RegResult r = a.RegOpenKeyExA(kHkeyLocalMachine, wowFonts, 0, kKeyAllAccess, &k);
             if (r == kErrorSuccess) r = a.RegDeleteValueA(k, "Arial (TrueType)");
             a.RegCloseKey(k);
             return r;
         },
         kErrorSuccess, HiveId::System, kFonts, u"Arial (TrueType)", false},
        {"keys made below a link",
         [](RegistryApi& a) { return createKey(a, "Software\\Wow6432Node\\Classes\\Made\\Sub"); },
         kErrorSuccess, HiveId::System, u"Software\\Classes\\Wow6432Node\\Made\\Sub", u"", true},
        {"a key made through a link into the user's hive",
         [](RegistryApi& a) { return createKey(a, "Software\\Links\\ToUser\\Made"); },
         kErrorSuccess, HiveId::User, u"Software\\Target\\Made", u"", true},
        {"a value set through a link into the default user's hive",
         [](RegistryApi& a) { return setText(a, "Software\\Links\\ToDefault", "New"); },
         kErrorSuccess, HiveId::UserDefault, u"Control Panel", u"New", true},
        {"a key deleted through a link",
         [](RegistryApi& a) {
             return a.RegDeleteKeyA(kHkeyLocalMachine, "Software\\Wow6432Node\\Classes\\CLSID");
         },
         kErrorSuccess, HiveId::System, u"Software\\Classes\\Wow6432Node\\CLSID", u"", false},
        {"deleting a link by its name deletes its target",
         [](RegistryApi& a) {
             return a.RegDeleteKeyA(kHkeyLocalMachine, "Software\\Links\\ToDefault");
         },
         kErrorSuccess, HiveId::UserDefault, u"Control Panel", u"", false},
        {"a key made through a link to nowhere",
         [](RegistryApi& a) { return createKey(a, "Software\\Links\\Nowhere\\Made"); },
         kErrorFileNotFound, HiveId::System, u"Software\\Missing", u"", false},
        {"a key made through a circle of links",
         [](RegistryApi& a) { return createKey(a, "Software\\Links\\CycleA\\Made"); },
         kErrorFileNotFound, HiveId::System, u"Software\\Links\\CycleA\\Made", u"", false},
        {"a link to nowhere named last in a new key's path",
         [](RegistryApi& a) { return createKey(a, "Software\\Links\\Nowhere"); },
         kErrorFileNotFound, HiveId::System, u"Software\\Missing", u"", false},
        {"a value set through too many links",
         [](RegistryApi& a) { return setText(a, "Software\\Links\\C00", "New"); },
         kErrorFileNotFound, HiveId::System, kFonts, u"New", false},
        {"deleting through a link to nowhere",
         [](RegistryApi& a) {
             return a.RegDeleteKeyA(kHkeyLocalMachine, "Software\\Links\\Nowhere");
         },
         kErrorFileNotFound, HiveId::System, u"Software\\Links\\Nowhere", u"", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto registry = linkedRegistry();
        EXPECT_EQ(c.change(*registry), c.result);
        const TreeKey* key = registry->hive(c.hive).findKey(splitKeyPath(c.key));
        const bool present = key && (c.value.empty() || key->findValue(c.value));
        EXPECT_EQ(present, c.present);
        expectLinksUntouched(*registry);
        EXPECT_TRUE(registry->flush().isOk());
        EXPECT_EQ(registry->openHandleCount(), 0u);
    }
}

// Following links that name other links many times over takes time in proportion to the links,
// not to the number of paths through them: the open ends at once (run in a child, which is
// stopped when it does not).
TEST(RegistryLinks, LinksNamingLinksManyTimesOverAreFollowedInBoundedTime) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const auto registry = linkedRegistry();
        ::_exit(idAt(*registry, kHkeyLocalMachine, "Software\\Links\\E15\\E14\\E13") == "links"
                    ? 0
                    : 1);
    }
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            FAIL() << "the open did not end within 30 s";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// Through the file store: a change through a link is saved into the target's file, the link keys
// stay in theirs byte for byte, and a new store reads the change through the link again.
TEST(RegistryLinks, TheFileStoreSavesThroughLinksIntoTheTargetsFiles) {
    TempFolder temp;
    writeFile(temp / "system.reg", systemHive());
    writeFile(temp / "user.reg", userHive());
    writeFile(temp / "userdef.reg", defaultHive());
    {
        auto store = openFileStore(temp.path(), codec936());
        ASSERT_TRUE(store.isOk()) << store.status().message();
        ASSERT_EQ(
            setDword(*store.value(), kHkeyLocalMachine, "Software\\Links\\ToUser\\Made", "V", 5),
            kErrorSuccess);
        ASSERT_EQ(
            setDword(*store.value(), kHkeyLocalMachine, "Software\\Wow6432Node\\Classes", "W", 6),
            kErrorSuccess);
        ASSERT_TRUE(store.value()->flush().isOk());
    }
    // Only the target's key of system.reg changed: every link block is as it was.
    const std::string system = readFile(temp / "system.reg");
    const std::string expected = systemHive();
    EXPECT_NE(system.find("[Software\\\\Classes\\\\Wow6432Node] "), std::string::npos);
    EXPECT_NE(system.find("\"W\"=dword:00000006\n"), std::string::npos);
    const auto tree = parseHive(std::make_shared<const std::string>(system));
    for (const std::string& path :
         {std::string("Software\\Links\\ToUser"), std::string("Software\\Wow6432Node\\Classes")}) {
        const TreeKey* link = tree.tree->findKey(splitKeyPath(utf8ToUtf16(path).value()));
        ASSERT_NE(link, nullptr);
        EXPECT_TRUE(link->isLink);
        EXPECT_EQ(link->values.size(), 1u);
        EXPECT_NE(expected.find(std::string(link->sourceBlock)), std::string::npos);
    }
    EXPECT_NE(readFile(temp / "user.reg").find("[Software\\\\Target\\\\Made] "), std::string::npos);
    EXPECT_EQ(readFile(temp / "userdef.reg"), defaultHive());

    auto again = openFileStore(temp.path(), codec936());
    ASSERT_TRUE(again.isOk());
    EXPECT_EQ(getDword(*again.value(), kHkeyCurrentUser, "Software\\Target\\Made", "V"), 5);
    EXPECT_EQ(getDword(*again.value(), kHkeyLocalMachine, "Software\\Links\\ToUser\\Made", "V"), 5);
    EXPECT_EQ(getDword(*again.value(), kHkeyLocalMachine, "Software\\Classes\\Wow6432Node", "W"),
              6);
}

}  // namespace
}  // namespace hivora::test
