// The registry's behaviour as Windows shows it, held against every RegistryApi backend: the
// in-memory registry and the Wine-format store here, and the real registry when this file is
// built for Windows. Written against RegistryApi only; every expectation is what Windows does.
// Each test works below its own key under Software\HivoraSuite and removes what it made.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "tests/platform/registry_backends.h"

namespace hivora::test {
namespace {

using Bytes = std::string;

class RegistrySuite : public ::testing::TestWithParam<RegistryBackend> {
  protected:
    void SetUp() override {
        m_api = GetParam().make();
        ASSERT_NE(m_api, nullptr);
        m_base = std::string("Software\\HivoraSuite\\") + testName();
    }

    void TearDown() override {
        for (RegKey k : m_open) m_api->RegCloseKey(k);
        // Deepest keys first: a key with sub-keys cannot be deleted.
        std::sort(m_created.begin(), m_created.end(), [](const auto& a, const auto& b) {
            return std::count(a.second.begin(), a.second.end(), '\\') >
                   std::count(b.second.begin(), b.second.end(), '\\');
        });
        for (const auto& [root, path] : m_created) {
            RegKey k = 0;
            if (api().RegOpenKeyExA(root, path.c_str(), 0, kKeyAllAccess, &k) != kErrorSuccess)
                continue;
            (void)api().RegDeleteKeyA(k, "");
            api().RegCloseKey(k);
        }
        (void)api().flush();
    }

    RegistryApi& api() { return *m_api; }
    const std::string& base() const { return m_base; }
    static std::string testName() {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        return name;
    }

    // Creates `path` (every level recorded for removal) and returns its open handle.
    RegKey create(RegKey root, const std::string& path, std::uint32_t* disposition = nullptr) {
        RegKey k = 0;
        EXPECT_EQ(api().RegCreateKeyExA(root, path.c_str(), 0, "REG_SZ", 0, kKeyAllAccess, &k,
                                        disposition),
                  kErrorSuccess)
            << path;
        // Every level this test may have made, but nothing outside the suite's own keys.
        for (std::size_t cut = path.find('\\'); cut != std::string::npos;
             cut = path.find('\\', cut + 1))
            if (path.substr(0, cut).find("HivoraSuite") != std::string::npos)
                m_created.emplace_back(root, path.substr(0, cut));
        m_created.emplace_back(root, path);
        if (k) m_open.push_back(k);
        return k;
    }
    RegKey createHere(const std::string& sub = "") {
        return create(kHkeyCurrentUser, sub.empty() ? base() : base() + "\\" + sub);
    }
    // Opens `path` below `root`; the handle is closed at the end of the test.
    RegResult open(RegKey root, const std::string& path, RegKey& k) {
        const RegResult r = api().RegOpenKeyExA(root, path.c_str(), 0, kKeyAllAccess, &k);
        if (r == kErrorSuccess) m_open.push_back(k);
        return r;
    }

    void set(RegKey k, const char* name, std::uint32_t type, const Bytes& data) {
        ASSERT_EQ(api().RegSetValueExA(k, name, 0, type,
                                       reinterpret_cast<const std::uint8_t*>(data.data()),
                                       static_cast<std::uint32_t>(data.size())),
                  kErrorSuccess)
            << name;
    }

    // The value's type and data through a size query and a read, as the access layer reads.
    struct Read {
        RegResult result = -1;
        std::uint32_t type = 0;
        std::uint32_t sizeQueried = 0;
        Bytes data;
    };
    Read read(RegKey k, const char* name) {
        Read out;
        out.result = api().RegQueryValueExA(k, name, &out.type, nullptr, &out.sizeQueried);
        if (out.result != kErrorSuccess) return out;
        std::vector<std::uint8_t> buffer(out.sizeQueried + 1, 0xEE);
        std::uint32_t count = out.sizeQueried;
        out.result = api().RegQueryValueExA(k, name, &out.type, buffer.data(), &count);
        out.data.assign(reinterpret_cast<const char*>(buffer.data()), count);
        return out;
    }

    // Value `index` as RegEnumValueA gives it, with room enough for name and data.
    struct Listed {
        RegResult result = -1;
        std::string name;
        std::uint32_t type = 0;
        Bytes data;
    };
    Listed list(RegKey k, std::uint32_t index) {
        Listed out;
        char name[256];
        std::uint8_t data[256];
        std::uint32_t nameLength = sizeof name, dataLength = sizeof data;
        out.result = api().RegEnumValueA(k, index, name, &nameLength, &out.type, data, &dataLength);
        if (out.result != kErrorSuccess) return out;
        EXPECT_EQ(std::strlen(name), nameLength);
        out.name.assign(name, nameLength);
        out.data.assign(reinterpret_cast<const char*>(data), dataLength);
        return out;
    }

  private:
    std::shared_ptr<RegistryApi> m_api;
    std::string m_base;
    std::vector<std::pair<RegKey, std::string>> m_created;
    std::vector<RegKey> m_open;
};

TEST_P(RegistrySuite, OpeningGivesTheKeyItselfForNoSubKeyAndNullForAMissingOne) {
    const RegKey k = createHere();
    for (const char* sub : {"", static_cast<const char*>(nullptr)}) {
        RegKey same = 0;
        EXPECT_EQ(api().RegOpenKeyA(k, sub, &same), kErrorSuccess);
        EXPECT_EQ(same, k);
    }
    RegKey missing = 0xDEAD;
    EXPECT_EQ(api().RegOpenKeyExA(k, "NoSuchKey", 0, kKeyAllAccess, &missing), kErrorFileNotFound);
    EXPECT_EQ(missing, 0u);
    missing = 0xDEAD;
    EXPECT_EQ(api().RegOpenKeyA(k, "NoSuchKey", &missing), kErrorFileNotFound);
    EXPECT_EQ(missing, 0u);
}

TEST_P(RegistrySuite, CreatingANestedPathCreatesEveryLevelOnce) {
    std::uint32_t disposition = 0;
    create(kHkeyCurrentUser, base() + "\\A\\B\\C", &disposition);
    EXPECT_EQ(disposition, kRegCreatedNewKey);
    create(kHkeyCurrentUser, base() + "\\A\\B\\C", &disposition);
    EXPECT_EQ(disposition, kRegOpenedExistingKey);
    RegKey k = 0;
    for (const char* level : {"\\A", "\\A\\B", "\\A\\B\\C"})
        EXPECT_EQ(open(kHkeyCurrentUser, base() + level, k), kErrorSuccess) << level;
}

TEST_P(RegistrySuite, SizeQueryReportsTypeAndRoomForTheNul) {
    const struct {
        const char* name;
        std::uint32_t type;
        Bytes written;
        std::uint32_t expectedSize;  // what is read is `written`, NUL-padded to this size
    } cases[] = {
        {"TextWithNul", kRegSz, Bytes("abc", 4), 4},
        {"TextCountWithoutNul", kRegSz, "abcd", 5},
        {"EmptyText", kRegSz, Bytes(), 0},
        {"ExpandText", kRegExpandSz, Bytes("%P%\\x", 6), 6},
        {"Dword", kRegDword, Bytes("\x01\x00\x00\x00", 4), 4},
        {"Binary", kRegBinary, Bytes("\x00\x01\xff", 3), 3},
        {"MultiText", kRegMultiSz, Bytes("a\0bc\0\0", 6), 6},
    };
    const RegKey k = createHere();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        set(k, c.name, c.type, c.written);
        const Read r = read(k, c.name);
        ASSERT_EQ(r.result, kErrorSuccess);
        EXPECT_EQ(r.type, c.type);
        EXPECT_EQ(r.sizeQueried, c.expectedSize);
        // The layer finds the text's end at the first NUL of a buffer of the queried size.
        ASSERT_LE(r.data.size(), c.expectedSize);
        EXPECT_EQ(r.data + Bytes(c.expectedSize - r.data.size(), '\0'),
                  c.written + Bytes(c.expectedSize - c.written.size(), '\0'));
    }
}

TEST_P(RegistrySuite, BuffersTooSmallGiveMoreData) {
    const RegKey k = createHere();
    set(k, "Text", kRegSz, Bytes("hello", 6));
    set(k, "Bin", kRegBinary, Bytes("\x01\x02\x03\x04", 4));
    std::uint8_t data[256] = {};
    // A read reports the size it needs: (value, buffer, size needed).
    for (auto [name, count, needed] : {std::tuple{"Text", 3u, 6u}, std::tuple{"Bin", 2u, 4u}}) {
        EXPECT_EQ(api().RegQueryValueExA(k, name, nullptr, data, &count), kErrorMoreData) << name;
        EXPECT_EQ(count, needed) << name;
    }
    // An enumeration too, for a name without room for its NUL as for the data: (name buffer,
    // data buffer).
    const RegKey one = createHere("One");
    set(one, "LongValueName", kRegSz, Bytes("a long enough text", 19));
    char name[256];
    for (auto [nameLength, dataLength] : {std::pair{5u, 256u}, {13u, 256u}, {256u, 4u}})
        EXPECT_EQ(api().RegEnumValueA(one, 0, name, &nameLength, nullptr, data, &dataLength),
                  kErrorMoreData)
            << nameLength << " " << dataLength;
}

TEST_P(RegistrySuite, EnumerationListsEveryValueThenNoMoreItems) {
    const RegKey k = createHere();
    const std::map<std::string, std::pair<std::uint32_t, Bytes>> values = {
        {"Alpha", {kRegSz, Bytes("one", 4)}},
        {"beta", {kRegDword, Bytes("\x02\x00\x00\x00", 4)}},
        {"Gamma", {kRegExpandSz, Bytes("%X%", 4)}},
    };
    for (const auto& [name, value] : values) set(k, name.c_str(), value.first, value.second);
    std::map<std::string, std::pair<std::uint32_t, Bytes>> listed;
    std::uint32_t index = 0;
    for (Listed e; (e = list(k, index)).result == kErrorSuccess; ++index)
        listed[e.name] = {e.type, e.data};
    EXPECT_EQ(list(k, index).result, kErrorNoMoreItems);
    EXPECT_EQ(index, 3u);
    EXPECT_EQ(listed, values);
}

TEST_P(RegistrySuite, SubKeysAreListedWithTheirClassThenNoMoreItems) {
    const RegKey parent = createHere("Parent");
    for (const char* child : {"Child", "other", "Third", "Third\\Deeper"})
        createHere(std::string("Parent\\") + child);
    std::map<std::string, std::string> listed;  // name -> class
    std::uint32_t index = 0;
    for (;; ++index) {
        char name[256], keyClass[64];
        std::uint32_t nameLength = sizeof name, classLength = sizeof keyClass;
        const RegResult r =
            api().RegEnumKeyExA(parent, index, name, &nameLength, keyClass, &classLength);
        if (r != kErrorSuccess) {
            EXPECT_EQ(r, kErrorNoMoreItems);
            break;
        }
        EXPECT_EQ(std::strlen(name), nameLength);
        listed[std::string(name, nameLength)] = std::string(keyClass, classLength);
    }
    // Deeper is no child of Parent.
    const std::map<std::string, std::string> expected = {
        {"Child", "REG_SZ"}, {"other", "REG_SZ"}, {"Third", "REG_SZ"}};
    EXPECT_EQ(listed, expected);
    char tiny[3];
    std::uint32_t tinyLength = sizeof tiny;
    EXPECT_EQ(api().RegEnumKeyExA(parent, 0, tiny, &tinyLength, nullptr, nullptr), kErrorMoreData);
}

TEST_P(RegistrySuite, AKeyWithSubKeysIsNotDeleted) {
    const RegKey parent = createHere("Parent");
    createHere("Parent\\Child");
    EXPECT_NE(api().RegDeleteKeyA(parent, ""), kErrorSuccess);
    EXPECT_EQ(api().RegDeleteKeyA(parent, nullptr), kErrorInvalidParameter);
    RegKey k = 0;
    ASSERT_EQ(open(parent, "Child", k), kErrorSuccess);
    EXPECT_EQ(api().RegDeleteKeyA(parent, "Child"), kErrorSuccess);
    EXPECT_EQ(open(parent, "Child", k), kErrorFileNotFound);
    EXPECT_EQ(api().RegDeleteKeyA(parent, "Child"), kErrorFileNotFound);
}

TEST_P(RegistrySuite, AHandleToADeletedKeyStaysDeletedWhenTheNameIsMadeAgain) {
    const RegKey gone = createHere("Gone");
    ASSERT_EQ(api().RegDeleteKeyA(gone, ""), kErrorSuccess);
    createHere("Gone");
    const std::uint8_t one[4] = {1, 0, 0, 0};
    EXPECT_EQ(api().RegSetValueExA(gone, "x", 0, kRegDword, one, 4), kErrorKeyDeleted);
    EXPECT_EQ(list(gone, 0).result, kErrorKeyDeleted);
}

TEST_P(RegistrySuite, ValuesAreReplacedFlushedAndDeletedTheEmptyNameBeingTheDefault) {
    const RegKey k = createHere();
    set(k, "V", kRegDword, Bytes("\x05\x00\x00\x00", 4));
    set(k, "V", kRegSz, Bytes("now text", 9));
    const Status flushed = api().flush();
    ASSERT_TRUE(flushed.isOk()) << flushed.message();
    Read r = read(k, "V");
    EXPECT_EQ(r.type, kRegSz);
    EXPECT_EQ(r.data, Bytes("now text", 9));
    EXPECT_EQ(api().RegDeleteValueA(k, "V"), kErrorSuccess);
    EXPECT_EQ(read(k, "V").result, kErrorFileNotFound);
    EXPECT_EQ(api().RegDeleteValueA(k, "V"), kErrorFileNotFound);
    // "" and a null name both name the default value.
    set(k, "", kRegSz, Bytes("default", 8));
    r = read(k, nullptr);
    EXPECT_EQ(r.result, kErrorSuccess);
    EXPECT_EQ(r.data, Bytes("default", 8));
    ASSERT_EQ(api().RegDeleteValueA(k, nullptr), kErrorSuccess);
    EXPECT_EQ(read(k, "").result, kErrorFileNotFound);
}

TEST_P(RegistrySuite, NamesMatchWithoutRegardToCaseAndKeepTheirSpelling) {
    createHere("MixedCase");
    RegKey k = 0;
    std::string upper = base() + "\\MIXEDCASE";
    std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
    ASSERT_EQ(open(kHkeyCurrentUser, upper, k), kErrorSuccess);
    set(k, "ValueName", kRegDword, Bytes("\x07\x00\x00\x00", 4));
    set(k, "VALUENAME", kRegDword, Bytes("\x08\x00\x00\x00", 4));  // replaces it
    EXPECT_EQ(read(k, "valuename").data, Bytes("\x08\x00\x00\x00", 4));
    EXPECT_EQ(list(k, 0).name, "ValueName");
    EXPECT_EQ(list(k, 1).result, kErrorNoMoreItems);
}

// Letters of every script fold as Windows folds them, in key names and value names alike.
TEST_P(RegistrySuite, NamesFoldAsWindowsFoldsThemInEveryScript) {
    if (GetParam().codePage != 936) GTEST_SKIP() << "the backend's ANSI code page is not 936";
    const struct {
        const char* what;
        const char* first;
        const char* second;
        bool same;
    } cases[] = {
        {"RomanNumerals", "\xA2\xF1", "\xA2\xA1", true},  // Ⅰ ⅰ
        {"FullWidth", "\xA3\xC1", "\xA3\xE1", true},      // Ａ ａ
        {"Greek", "\xA6\xA1", "\xA6\xC1", true},          // Α α
        {"Cyrillic", "\xA7\xA1", "\xA7\xD1", true},       // А а
        {"ToneMarkIsNoCase", "\xA8\xA3", "a", false},     // ǎ a
        {"Chinese", "\xD6\xD0", "\xCE\xC4", false},       // 中 文
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const RegKey k = createHere(c.what);
        createHere(std::string(c.what) + "\\" + c.first);
        RegKey other = 0;
        EXPECT_EQ(open(k, c.second, other), c.same ? kErrorSuccess : kErrorFileNotFound);
        set(k, c.first, kRegDword, Bytes("\x01\x00\x00\x00", 4));
        set(k, c.second, kRegDword, Bytes("\x02\x00\x00\x00", 4));
        if (c.same) {
            EXPECT_EQ(list(k, 0).name, c.first);  // the first spelling stays
        }
        EXPECT_EQ(list(k, c.same ? 1 : 2).result, kErrorNoMoreItems);
    }
}

TEST_P(RegistrySuite, UnknownAndClosedHandlesAreInvalid) {
    const RegKey k = createHere();
    ASSERT_EQ(api().RegCloseKey(k), kErrorSuccess);
    const std::uint8_t one[4] = {1, 0, 0, 0};
    for (RegKey bad : {k, RegKey{0x7654320}}) {
        SCOPED_TRACE(bad);
        std::uint32_t count = 0;
        RegKey sub = 0;
        EXPECT_EQ(list(bad, 0).result, kErrorInvalidHandle);
        EXPECT_EQ(api().RegQueryValueExA(bad, "x", nullptr, nullptr, &count), kErrorInvalidHandle);
        EXPECT_EQ(api().RegSetValueExA(bad, "x", 0, kRegDword, one, 4), kErrorInvalidHandle);
        EXPECT_EQ(api().RegDeleteValueA(bad, "x"), kErrorInvalidHandle);
        EXPECT_EQ(api().RegOpenKeyExA(bad, "x", 0, kKeyAllAccess, &sub), kErrorInvalidHandle);
        EXPECT_EQ(api().RegCloseKey(bad), kErrorInvalidHandle);
    }
}

TEST_P(RegistrySuite, ChineseTextTravelsInCodePage936) {
    if (GetParam().codePage != 936) GTEST_SKIP() << "the backend's ANSI code page is not 936";
    const RegKey k = createHere("\xD6\xD0\xCE\xC4");                   // "中文"
    const Bytes text("\xC4\xE3\xBA\xC3\xA3\xAC\xCA\xC0\xBD\xE7", 11);  // "你好，世界" + NUL
    set(k, "\xC3\xFB\xB3\xC6", kRegSz, text);                          // "名称"
    const Read r = read(k, "\xC3\xFB\xB3\xC6");
    EXPECT_EQ(r.result, kErrorSuccess);
    EXPECT_EQ(r.sizeQueried, 11u);
    EXPECT_EQ(r.data, text);
    EXPECT_EQ(list(k, 0).name, "\xC3\xFB\xB3\xC6");
}

// Byte 0xFF stands for U+F8F5 in code page 936: Wine's registry takes it in a name and in text
// and gives the same byte back.
TEST_P(RegistrySuite, ByteFFTravelsInCodePage936AsWineKeepsIt) {
    if (GetParam().codePage != 936) GTEST_SKIP() << "the backend's ANSI code page is not 936";
    const RegKey k = createHere("a\xFF");
    const Bytes text("\xFF\xD6\xD0", 4);  // U+F8F5, "中", NUL
    set(k, "n\xFF", kRegSz, text);
    const Read r = read(k, "n\xFF");
    EXPECT_EQ(r.result, kErrorSuccess);
    EXPECT_EQ(r.data, text);
    EXPECT_EQ(list(k, 0).name, "n\xFF");
}

TEST_P(RegistrySuite, RootsShareKeysWhereWindowsAliasesThem) {
    const std::string classesName = "HivoraSuite." + testName();
    const struct {
        const char* name;
        RegKey root;
        std::string path;
        RegKey otherRoot;
        std::string otherPath;
        bool shared;
    } cases[] = {
        {"ClassesRootIsTheMachinesSoftwareClasses", kHkeyClassesRoot, classesName,
         kHkeyLocalMachine, "Software\\Classes\\" + classesName, true},
        {"UsersSidIsTheCurrentUser", kHkeyCurrentUser, base(), kHkeyUsers,
         GetParam().userSid + "\\" + base(), true},
        {"UsersDefaultIsItsOwnHive", kHkeyUsers, ".Default\\" + base() + "\\Default",
         kHkeyCurrentUser, base() + "\\Default", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.otherRoot == kHkeyUsers && GetParam().userSid.empty()) continue;  // SID unknown
        const Bytes where(c.path.c_str(), c.path.size() + 1);
        set(create(c.root, c.path), "Where", kRegSz, where);
        RegKey other = 0;
        const RegResult opened = open(c.otherRoot, c.otherPath, other);
        EXPECT_EQ(opened, c.shared ? kErrorSuccess : kErrorFileNotFound);
        if (opened == kErrorSuccess) {
            EXPECT_EQ(read(other, "Where").data, where);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, RegistrySuite, ::testing::ValuesIn(registryBackends()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace hivora::test
