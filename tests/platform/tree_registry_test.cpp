// What the tree registry adds to the shared suite: the failures other tests can ask for, how names
// and texts are kept (UTF-16, texts with their NUL) and refused when the code page cannot carry
// them, and the refusals around the predefined roots.

#include "platform/tree_registry.h"

#include <gtest/gtest.h>

#include "platform/unicode_text.h"
#include "platform/wine_hive_format.h"
#include "tests/platform/store_test_support.h"

namespace hivora::test {
namespace {

const std::uint8_t* raw(const char* text) {
    return reinterpret_cast<const std::uint8_t*>(text);
}

class TreeRegistryTest : public ::testing::Test {
  protected:
    std::unique_ptr<TreeRegistry> registry = makeMemoryRegistry(codec936());

    RegKey create(const char* path, const char* keyClass = "REG_SZ",
                  std::uint32_t* disposition = nullptr) {
        RegKey k = 0;
        EXPECT_EQ(registry->RegCreateKeyExA(kHkeyCurrentUser, path, 0, keyClass, 0, kKeyAllAccess,
                                            &k, disposition),
                  kErrorSuccess);
        return k;
    }
    const TreeKey* userKey(std::u16string_view path) {
        return registry->hive(HiveId::User).findKey(splitKeyPath(path));
    }
};

TEST_F(TreeRegistryTest, InjectedWriteFailuresRefuseEveryChangeButNoRead) {
    const RegKey k = create("Software\\Existing");
    ASSERT_EQ(setDword(*registry, kHkeyCurrentUser, "Software\\Existing", "V", 1), kErrorSuccess);
    registry->setFaults(RegistryFaults::refusingWrites(kErrorAccessDenied, "只读存储"));
    RegKey sub = 0;
    EXPECT_EQ(registry->RegCreateKeyExA(k, "New", 0, nullptr, 0, kKeyAllAccess, &sub, nullptr),
              kErrorAccessDenied);
    EXPECT_EQ(sub, 0u);
    // Opening the existing key is no change; setting its value is.
    EXPECT_EQ(registry->RegCreateKeyExA(k, "", 0, nullptr, 0, kKeyAllAccess, &sub, nullptr),
              kErrorSuccess);
    EXPECT_EQ(setDword(*registry, kHkeyCurrentUser, "Software\\Existing", "V", 2),
              kErrorAccessDenied);
    EXPECT_EQ(registry->RegDeleteValueA(k, "V"), kErrorAccessDenied);
    EXPECT_EQ(registry->RegDeleteKeyA(kHkeyCurrentUser, "Software\\Existing"), kErrorAccessDenied);
    EXPECT_EQ(registry->lastErrorMessage(), "只读存储");
    EXPECT_EQ(getDword(*registry, kHkeyCurrentUser, "Software\\Existing", "V"), 1);
}

TEST_F(TreeRegistryTest, AnInjectedFlushFailureDropsTheUnsavedChanges) {
    ASSERT_EQ(setDword(*registry, kHkeyCurrentUser, "Software\\Hivora", "Saved", 1), 0);
    ASSERT_TRUE(registry->flush().isOk());
    registry->setFaults(RegistryFaults::failingFlush());
    ASSERT_EQ(setDword(*registry, kHkeyCurrentUser, "Software\\Hivora", "Saved", 2), 0);
    ASSERT_EQ(setDword(*registry, kHkeyCurrentUser, "Software\\Hivora\\Sub", "Lost", 3), 0);
    EXPECT_EQ(registry->flush().code(), kErrorWriteFault);
    EXPECT_FALSE(registry->lastErrorMessage().empty());
    EXPECT_EQ(getDword(*registry, kHkeyCurrentUser, "Software\\Hivora", "Saved"), 1);
    EXPECT_EQ(getDword(*registry, kHkeyCurrentUser, "Software\\Hivora\\Sub", "Lost"), -1);
}

TEST_F(TreeRegistryTest, NewKeysGetTheClassAtEveryLevelAndOldKeysKeepTheirs) {
    std::uint32_t disposition = 0;
    registry->RegCloseKey(create("A", "REG_DWORD"));
    registry->RegCloseKey(create("A\\B\\C", "REG_SZ", &disposition));
    EXPECT_EQ(disposition, kRegCreatedNewKey);
    EXPECT_EQ(userKey(u"A")->keyClass, std::u16string(u"REG_DWORD"));
    EXPECT_EQ(userKey(u"A\\B")->keyClass, std::u16string(u"REG_SZ"));
    EXPECT_EQ(userKey(u"A\\B\\C")->keyClass, std::u16string(u"REG_SZ"));
    registry->RegCloseKey(create("a\\b\\c", "REG_BINARY", &disposition));
    EXPECT_EQ(disposition, kRegOpenedExistingKey);
    EXPECT_EQ(userKey(u"A\\B\\C")->keyClass, std::u16string(u"REG_SZ"));
    registry->RegCloseKey(create("NoClass", nullptr));
    EXPECT_FALSE(userKey(u"NoClass")->keyClass.has_value());
    EXPECT_EQ(registry->openHandleCount(), 0u);
}

TEST_F(TreeRegistryTest, NamesAndTextsAreKeptAsUtf16TextsWithTheirNul) {
    const RegKey k = create("\xD6\xD0\xCE\xC4");  // "中文", in code page 936
    const std::u16string keyName = u"\u4e2d\u6587";
    ASSERT_NE(userKey(keyName), nullptr);
    const struct {
        const char* name;
        std::u16string storedName;
        const char* ansi;
        std::uint32_t count;
        std::u16string stored;
        std::uint32_t sizeReported;
    } cases[] = {
        {"CountedNul", u"CountedNul", "abc", 4, std::u16string(u"abc\0", 4), 4},
        {"NulLeftOut", u"NulLeftOut", "abc", 3, std::u16string(u"abc\0", 4), 4},
        {"Empty", u"Empty", "", 0, u"", 0},
        {"\xC3\xFB", u"\u540d", "\xD6\xD0\xCE\xC4", 4, std::u16string(u"\u4e2d\u6587\0", 3), 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(registry->RegSetValueExA(k, c.name, 0, kRegSz, raw(c.ansi), c.count),
                  kErrorSuccess);
        const TreeValue* v = userKey(keyName)->findValue(c.storedName);
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->data, toUtf16Le(c.stored));
        std::uint32_t size = 0;
        EXPECT_EQ(registry->RegQueryValueExA(k, c.name, nullptr, nullptr, &size), kErrorSuccess);
        EXPECT_EQ(size, c.sizeReported);
    }
    // An empty text reads as no bytes, as on Windows: nothing is put into the buffer.
    std::uint8_t one = 0xEE;
    std::uint32_t size = 1;
    EXPECT_EQ(registry->RegQueryValueExA(k, "Empty", nullptr, &one, &size), kErrorSuccess);
    EXPECT_EQ(one, 0xEE);
    EXPECT_EQ(size, 0u);
}

TEST_F(TreeRegistryTest, TextsTheCodePageCannotCarryAreRefused) {
    // Bytes that are no GBK text on the way in.
    const RegKey k = create("T");
    EXPECT_EQ(registry->RegSetValueExA(k, "Bad", 0, kRegSz, raw("\x81"), 1),
              kErrorNoUnicodeTranslation);
    EXPECT_EQ(userKey(u"T")->findValue(u"Bad"), nullptr);
    RegKey none = 0;
    EXPECT_EQ(registry->RegOpenKeyA(kHkeyCurrentUser, "\x81", &none), kErrorNoUnicodeTranslation);

    // Thai has no form in code page 936: a value written by another program cannot be read as
    // ANSI text, and is not handed out with "?" in it.
    auto parsed = parseHive(std::make_shared<const std::string>(
        "WINE REGISTRY Version 2\n\n[T] 1\n\"Thai\"=\"\\xe01\"\n\"\\xe01\"=dword:00000001\n"));
    registry->replaceHive(HiveId::User, std::move(parsed.tree));
    RegKey t = 0;
    ASSERT_EQ(registry->RegOpenKeyA(kHkeyCurrentUser, "T", &t), kErrorSuccess);
    std::uint32_t size = 0;
    EXPECT_EQ(registry->RegQueryValueExA(t, "Thai", nullptr, nullptr, &size),
              kErrorNoUnicodeTranslation);
    EXPECT_NE(registry->lastErrorMessage().find("936"), std::string::npos);
    char name[16];
    std::uint32_t nameLength = sizeof name;
    EXPECT_EQ(registry->RegEnumValueA(t, 1, name, &nameLength, nullptr, nullptr, nullptr),
              kErrorNoUnicodeTranslation);
}

// Names up to the longest Windows takes are kept and read back whole; one character more is
// refused and leaves nothing behind: 255 characters for a key, 16,383 for a value.
TEST_F(TreeRegistryTest, NamesUpToTheLimitReadBackAndLongerOnesAreRefused) {
    const RegKey k = create("Limits");
    const std::uint8_t one[4] = {1, 0, 0, 0};
    const struct {
        bool isKey;
        std::size_t length;
        RegResult expected;
    } cases[] = {
        {true, 255, kErrorSuccess},
        {true, 256, kErrorInvalidParameter},
        {false, 16383, kErrorSuccess},
        {false, 16384, kErrorInvalidParameter},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.isKey ? "key of " : "value of ") + std::to_string(c.length));
        const std::string name(c.length, c.isKey ? 'k' : 'v');
        if (c.isKey) {
            RegKey sub = 0;
            EXPECT_EQ(registry->RegCreateKeyExA(k, name.c_str(), 0, nullptr, 0, kKeyAllAccess, &sub,
                                                nullptr),
                      c.expected);
            if (sub) registry->RegCloseKey(sub);
            sub = 0;
            EXPECT_EQ(registry->RegOpenKeyA(k, name.c_str(), &sub) == kErrorSuccess,
                      c.expected == kErrorSuccess);
            if (sub) registry->RegCloseKey(sub);
            continue;
        }
        EXPECT_EQ(registry->RegSetValueExA(k, name.c_str(), 0, kRegDword, one, 4), c.expected);
        std::uint32_t size = 0;
        EXPECT_EQ(registry->RegQueryValueExA(k, name.c_str(), nullptr, nullptr, &size),
                  c.expected == kErrorSuccess ? kErrorSuccess : kErrorFileNotFound);
        if (c.expected != kErrorSuccess) continue;
        // Listed with its whole name in a buffer of 16,384 characters.
        std::string listed(16384, '\0');
        auto length = static_cast<std::uint32_t>(listed.size());
        ASSERT_EQ(registry->RegEnumValueA(k, 0, listed.data(), &length, nullptr, nullptr, nullptr),
                  kErrorSuccess);
        EXPECT_EQ(length, c.length);
        EXPECT_EQ(listed.substr(0, length), name);
    }
    EXPECT_EQ(userKey(u"Limits")->values.size(), 1u);
}

TEST_F(TreeRegistryTest, RootsBadPathsAndDeletedKeysAreRefusedAsWindowsRefusesThem) {
    const std::uint8_t one[4] = {1, 0, 0, 0};
    std::uint8_t buffer[4] = {};
    std::uint32_t size = 0;
    RegKey k = 0;
    const RegKey gone = create("Gone");
    ASSERT_EQ(registry->RegDeleteKeyA(kHkeyCurrentUser, "Gone"), kErrorSuccess);
    const struct {
        const char* name;
        RegResult result;
        RegResult expected;
    } cases[] = {
        {"CreateAHiveBelowUsers",
         registry->RegCreateKeyExA(kHkeyUsers, "S-1-5-99", 0, nullptr, 0, kKeyAllAccess, &k,
                                   nullptr),
         kErrorAccessDenied},
        {"OpenAnUnknownUser", registry->RegOpenKeyA(kHkeyUsers, "S-1-5-99", &k),
         kErrorFileNotFound},
        {"ValueOnUsers", registry->RegSetValueExA(kHkeyUsers, "V", 0, kRegDword, one, 4),
         kErrorAccessDenied},
        {"DeleteAPredefinedRoot", registry->RegDeleteKeyA(kHkeyLocalMachine, ""),
         kErrorAccessDenied},
        {"DeleteAHive", registry->RegDeleteKeyA(kHkeyUsers, ".Default"), kErrorAccessDenied},
        {"LeadingBackslash", registry->RegOpenKeyA(kHkeyCurrentUser, "\\Software", &k),
         kErrorBadPathname},
        {"NameTooLong",
         registry->RegCreateKeyExA(kHkeyCurrentUser, std::string(256, 'k').c_str(), 0, nullptr, 0,
                                   kKeyAllAccess, &k, nullptr),
         kErrorInvalidParameter},
        {"BufferWithoutCount",
         registry->RegQueryValueExA(kHkeyCurrentUser, "V", nullptr, buffer, nullptr),
         kErrorInvalidParameter},
        {"QueryThroughAHandleToADeletedKey",
         registry->RegQueryValueExA(gone, "V", nullptr, nullptr, &size), kErrorKeyDeleted},
        {"CloseAHandleToADeletedKey", registry->RegCloseKey(gone), kErrorSuccess},
    };
    for (const auto& c : cases) EXPECT_EQ(c.result, c.expected) << c.name;
    EXPECT_EQ(registry->openHandleCount(), 0u);
}

}  // namespace
}  // namespace hivora::test
