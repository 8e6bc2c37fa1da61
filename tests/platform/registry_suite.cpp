// The registry's behaviour as Windows shows it, held against every RegistryApi backend: the
// in-memory registry and the Wine-format store here, and the real registry when this file is
// built for Windows. Written against RegistryApi only; every expectation is what Windows does.
// Each test works below its own key under Software\HivoraSuite and removes what it made.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tests/platform/registry_backends.h"

namespace hivora::test {
namespace {

using Bytes = std::string;

const std::uint8_t* raw(const Bytes& b) {
    return reinterpret_cast<const std::uint8_t*>(b.data());
}
std::uint32_t size32(const Bytes& b) {
    return static_cast<std::uint32_t>(b.size());
}

class RegistrySuite : public ::testing::TestWithParam<RegistryBackend> {
  protected:
    void SetUp() override {
        m_api = GetParam().make();
        ASSERT_NE(m_api, nullptr);
        m_base = std::string("Software\\HivoraSuite\\") +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(m_base.begin(), m_base.end(), '/', '_');
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

    // Creates `path` (every level recorded for removal) and returns its open handle.
    RegKey create(RegKey root, const std::string& path, const char* keyClass = "REG_SZ") {
        RegKey k = 0;
        std::uint32_t disposition = 0;
        const RegResult r = api().RegCreateKeyExA(root, path.c_str(), 0, keyClass, 0, kKeyAllAccess,
                                                  &k, &disposition);
        EXPECT_EQ(r, kErrorSuccess) << path;
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

    void set(RegKey k, const char* name, std::uint32_t type, const Bytes& data) {
        ASSERT_EQ(api().RegSetValueExA(k, name, 0, type, raw(data), size32(data)), kErrorSuccess)
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

  private:
    std::shared_ptr<RegistryApi> m_api;
    std::string m_base;
    std::vector<std::pair<RegKey, std::string>> m_created;
    std::vector<RegKey> m_open;
};

TEST_P(RegistrySuite, OpeningAMissingKeyFailsWithNotFoundAndANullHandle) {
    const std::string missing = base() + "\\NoSuchKey";
    RegKey k = 0xDEAD;
    EXPECT_EQ(api().RegOpenKeyExA(kHkeyCurrentUser, missing.c_str(), 0, kKeyAllAccess, &k),
              kErrorFileNotFound);
    EXPECT_EQ(k, 0u);
    k = 0xDEAD;
    EXPECT_EQ(api().RegOpenKeyA(kHkeyCurrentUser, missing.c_str(), &k), kErrorFileNotFound);
    EXPECT_EQ(k, 0u);
}

TEST_P(RegistrySuite, CreatingANestedPathCreatesEveryLevelOnce) {
    RegKey k = 0;
    std::uint32_t disposition = 0;
    const std::string path = base() + "\\A\\B\\C";
    create(kHkeyCurrentUser, path);  // records the levels for removal
    ASSERT_EQ(api().RegCreateKeyExA(kHkeyCurrentUser, path.c_str(), 0, "REG_SZ", 0, kKeyAllAccess,
                                    &k, &disposition),
              kErrorSuccess);
    EXPECT_EQ(disposition, kRegOpenedExistingKey);
    api().RegCloseKey(k);
    for (const char* level : {"\\A", "\\A\\B", "\\A\\B\\C"}) {
        const std::string p = base() + level;
        ASSERT_EQ(api().RegOpenKeyExA(kHkeyCurrentUser, p.c_str(), 0, kKeyAllAccess, &k),
                  kErrorSuccess)
            << p;
        api().RegCloseKey(k);
    }
    const std::string fresh = base() + "\\A\\New";
    create(kHkeyCurrentUser, fresh);
}

TEST_P(RegistrySuite, SizeQueryReportsTypeAndRoomForTheNul) {
    struct Case {
        const char* name;
        std::uint32_t type;
        Bytes written;
        std::uint32_t expectedSize;
        Bytes expectedRead;
    };
    const Case cases[] = {
        {"TextWithNul", kRegSz, Bytes("abc", 4), 4, Bytes("abc", 4)},
        {"TextCountWithoutNul", kRegSz, "abcd", 5, Bytes("abcd", 5)},
        {"ExpandText", kRegExpandSz, Bytes("%P%\\x", 6), 6, Bytes("%P%\\x", 6)},
        {"Dword", kRegDword, Bytes("\x01\x00\x00\x00", 4), 4, Bytes("\x01\x00\x00\x00", 4)},
        {"Binary", kRegBinary, Bytes("\x00\x01\xff", 3), 3, Bytes("\x00\x01\xff", 3)},
        {"MultiText", kRegMultiSz, Bytes("a\0bc\0\0", 6), 6, Bytes("a\0bc\0\0", 6)},
    };
    const RegKey k = createHere();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        set(k, c.name, c.type, c.written);
        const Read r = read(k, c.name);
        ASSERT_EQ(r.result, kErrorSuccess);
        EXPECT_EQ(r.type, c.type);
        EXPECT_EQ(r.sizeQueried, c.expectedSize);
        // The layer finds the text's end at the first NUL of a buffer of the queried size.
        const Bytes upToSize = r.data + Bytes(c.expectedSize - r.data.size(), '\0');
        EXPECT_EQ(upToSize, c.expectedRead);
    }
}

TEST_P(RegistrySuite, ABufferTooSmallGivesMoreDataAndTheSizeNeeded) {
    const RegKey k = createHere();
    set(k, "Text", kRegSz, Bytes("hello", 6));
    set(k, "Bin", kRegBinary, Bytes("\x01\x02\x03\x04", 4));
    struct Case {
        const char* name;
        std::uint32_t buffer;
        std::uint32_t needed;
    };
    for (const Case& c : {Case{"Text", 3, 6}, Case{"Bin", 2, 4}}) {
        SCOPED_TRACE(c.name);
        std::uint8_t buffer[16] = {};
        std::uint32_t count = c.buffer;
        EXPECT_EQ(api().RegQueryValueExA(k, c.name, nullptr, buffer, &count), kErrorMoreData);
        EXPECT_EQ(count, c.needed);
    }
}

TEST_P(RegistrySuite, EnumerationListsEveryValueThenNoMoreItems) {
    const RegKey k = createHere();
    set(k, "Alpha", kRegSz, Bytes("one", 4));
    set(k, "beta", kRegDword, Bytes("\x02\x00\x00\x00", 4));
    set(k, "Gamma", kRegExpandSz, Bytes("%X%", 4));
    std::set<std::string> names;
    std::uint32_t index = 0;
    for (;; ++index) {
        char name[256];
        std::uint32_t nameLength = sizeof name;
        std::uint8_t data[64];
        std::uint32_t dataLength = sizeof data;
        std::uint32_t type = 0;
        const RegResult r =
            api().RegEnumValueA(k, index, name, &nameLength, &type, data, &dataLength);
        if (r == kErrorNoMoreItems) break;
        ASSERT_EQ(r, kErrorSuccess);
        ASSERT_EQ(std::strlen(name), nameLength);
        names.insert(name);
        if (std::string(name) == "beta") {
            EXPECT_EQ(type, kRegDword);
            EXPECT_EQ(dataLength, 4u);
        }
        if (std::string(name) == "Alpha") {
            EXPECT_EQ(Bytes(reinterpret_cast<char*>(data), 4), Bytes("one", 4));
        }
    }
    EXPECT_EQ(index, 3u);
    EXPECT_EQ(names, (std::set<std::string>{"Alpha", "beta", "Gamma"}));
}

TEST_P(RegistrySuite, EnumerationWithSmallBuffersGivesMoreData) {
    const RegKey k = createHere();
    set(k, "LongValueName", kRegSz, Bytes("a long enough text", 19));
    char name[256];
    std::uint8_t data[256];
    struct Case {
        const char* name;
        std::uint32_t nameBuffer;
        std::uint32_t dataBuffer;
    };
    for (const Case& c : {Case{"NameTooShort", 5, 256}, Case{"NameWithoutRoomForNul", 13, 256},
                          Case{"DataTooShort", 256, 4}}) {
        SCOPED_TRACE(c.name);
        std::uint32_t nameLength = c.nameBuffer, dataLength = c.dataBuffer;
        EXPECT_EQ(api().RegEnumValueA(k, 0, name, &nameLength, nullptr, data, &dataLength),
                  kErrorMoreData);
    }
}

TEST_P(RegistrySuite, AKeyWithSubKeysIsNotDeleted) {
    const RegKey parent = createHere("Parent");
    create(kHkeyCurrentUser, base() + "\\Parent\\Child");
    EXPECT_NE(api().RegDeleteKeyA(parent, ""), kErrorSuccess);
    RegKey k = 0;
    ASSERT_EQ(api().RegOpenKeyExA(parent, "Child", 0, kKeyAllAccess, &k), kErrorSuccess);
    api().RegCloseKey(k);
    EXPECT_EQ(api().RegDeleteKeyA(parent, "Child"), kErrorSuccess);
    EXPECT_EQ(api().RegOpenKeyExA(parent, "Child", 0, kKeyAllAccess, &k), kErrorFileNotFound);
    EXPECT_EQ(api().RegDeleteKeyA(parent, "Child"), kErrorFileNotFound);
}

TEST_P(RegistrySuite, TheEmptyNameIsTheDefaultValue) {
    const RegKey k = createHere();
    set(k, "", kRegSz, Bytes("default", 8));
    Read r = read(k, nullptr);
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
    ASSERT_EQ(api().RegOpenKeyExA(kHkeyCurrentUser, upper.c_str(), 0, kKeyAllAccess, &k),
              kErrorSuccess);
    set(k, "ValueName", kRegDword, Bytes("\x07\x00\x00\x00", 4));
    set(k, "VALUENAME", kRegDword, Bytes("\x08\x00\x00\x00", 4));  // replaces it
    EXPECT_EQ(read(k, "valuename").data, Bytes("\x08\x00\x00\x00", 4));
    char name[64];
    std::uint32_t nameLength = sizeof name;
    ASSERT_EQ(api().RegEnumValueA(k, 0, name, &nameLength, nullptr, nullptr, nullptr),
              kErrorSuccess);
    EXPECT_STREQ(name, "ValueName");
    std::uint32_t more = sizeof name;
    EXPECT_EQ(api().RegEnumValueA(k, 1, name, &more, nullptr, nullptr, nullptr), kErrorNoMoreItems);
    api().RegCloseKey(k);
}

TEST_P(RegistrySuite, UnknownAndClosedHandlesAreInvalid) {
    RegKey k = 0;
    ASSERT_EQ(api().RegCreateKeyExA(kHkeyCurrentUser, base().c_str(), 0, nullptr, 0, kKeyAllAccess,
                                    &k, nullptr),
              kErrorSuccess);
    create(kHkeyCurrentUser, base());
    ASSERT_EQ(api().RegCloseKey(k), kErrorSuccess);
    const Bytes one("\x01\x00\x00\x00", 4);
    for (RegKey bad : {k, RegKey{0x7654320}}) {
        SCOPED_TRACE(bad);
        std::uint32_t count = 0;
        char name[8];
        std::uint32_t nameLength = sizeof name;
        RegKey sub = 0;
        EXPECT_EQ(api().RegQueryValueExA(bad, "x", nullptr, nullptr, &count), kErrorInvalidHandle);
        EXPECT_EQ(api().RegSetValueExA(bad, "x", 0, kRegDword, raw(one), 4), kErrorInvalidHandle);
        EXPECT_EQ(api().RegEnumValueA(bad, 0, name, &nameLength, nullptr, nullptr, nullptr),
                  kErrorInvalidHandle);
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
    char name[16];
    std::uint32_t nameLength = sizeof name;
    ASSERT_EQ(api().RegEnumValueA(k, 0, name, &nameLength, nullptr, nullptr, nullptr),
              kErrorSuccess);
    EXPECT_EQ(std::string(name, nameLength), "\xC3\xFB\xB3\xC6");
}

TEST_P(RegistrySuite, ClassesRootIsTheMachinesSoftwareClasses) {
    const std::string name = std::string("HivoraSuite.") +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name();
    const RegKey k = create(kHkeyClassesRoot, name);
    set(k, "", kRegSz, Bytes("viaClassesRoot", 15));
    RegKey machine = 0;
    const std::string machinePath = "Software\\Classes\\" + name;
    ASSERT_EQ(
        api().RegOpenKeyExA(kHkeyLocalMachine, machinePath.c_str(), 0, kKeyAllAccess, &machine),
        kErrorSuccess);
    EXPECT_EQ(read(machine, "").data, Bytes("viaClassesRoot", 15));
    api().RegCloseKey(machine);
}

TEST_P(RegistrySuite, UsersDefaultIsItsOwnHive) {
    const std::string path = ".Default\\" + base();
    const RegKey k = create(kHkeyUsers, path);
    set(k, "Where", kRegSz, Bytes("default user", 13));
    RegKey current = 0;
    EXPECT_EQ(api().RegOpenKeyExA(kHkeyCurrentUser, base().c_str(), 0, kKeyAllAccess, &current),
              kErrorFileNotFound);
    RegKey again = 0;
    ASSERT_EQ(api().RegOpenKeyExA(kHkeyUsers, path.c_str(), 0, kKeyAllAccess, &again),
              kErrorSuccess);
    EXPECT_EQ(read(again, "Where").data, Bytes("default user", 13));
    api().RegCloseKey(again);
}

TEST_P(RegistrySuite, UsersSidIsTheCurrentUser) {
    if (GetParam().userSid.empty()) GTEST_SKIP() << "the backend's user SID is unknown";
    const RegKey k = createHere();
    set(k, "Who", kRegSz, Bytes("me", 3));
    RegKey viaUsers = 0;
    const std::string path = GetParam().userSid + "\\" + base();
    ASSERT_EQ(api().RegOpenKeyExA(kHkeyUsers, path.c_str(), 0, kKeyAllAccess, &viaUsers),
              kErrorSuccess);
    EXPECT_EQ(read(viaUsers, "Who").data, Bytes("me", 3));
    api().RegCloseKey(viaUsers);
}

TEST_P(RegistrySuite, ValuesAreReplacedAndDeleted) {
    const RegKey k = createHere();
    set(k, "V", kRegDword, Bytes("\x05\x00\x00\x00", 4));
    set(k, "V", kRegSz, Bytes("now text", 9));
    Read r = read(k, "V");
    EXPECT_EQ(r.type, kRegSz);
    EXPECT_EQ(r.data, Bytes("now text", 9));
    EXPECT_EQ(api().RegDeleteValueA(k, "V"), kErrorSuccess);
    EXPECT_EQ(read(k, "V").result, kErrorFileNotFound);
    EXPECT_EQ(api().RegDeleteValueA(k, "V"), kErrorFileNotFound);
}

TEST_P(RegistrySuite, OpenKeyWithoutSubKeyGivesTheSameHandle) {
    const RegKey k = createHere();
    RegKey same = 0;
    ASSERT_EQ(api().RegOpenKeyA(k, "", &same), kErrorSuccess);
    EXPECT_EQ(same, k);
    ASSERT_EQ(api().RegOpenKeyA(k, nullptr, &same), kErrorSuccess);
    EXPECT_EQ(same, k);
}

TEST_P(RegistrySuite, ChangesSurviveAFlush) {
    const RegKey k = createHere();
    set(k, "Kept", kRegDword, Bytes("\x2a\x00\x00\x00", 4));
    ASSERT_TRUE(api().flush().isOk()) << api().flush().message();
    EXPECT_EQ(read(k, "Kept").data, Bytes("\x2a\x00\x00\x00", 4));
}

INSTANTIATE_TEST_SUITE_P(Backends, RegistrySuite, ::testing::ValuesIn(registryBackends()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace hivora::test
