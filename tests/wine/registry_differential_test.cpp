// Our registry store held against the real registry, call by call. Each case is a short script
// of registry calls; it runs once on the in-memory store and once on the platform's registry (Wine
// here), each below a fresh key, and the two records of every result code, type, size, data and
// returned name must be the same. The cases are the corners the program's own calls can reach:
// odd text lengths, missing terminators, small buffers, odd names and paths, and keys deleted
// while open. Differences the store has on purpose are left out where they come up: it refuses
// bytes that are no text in the ANSI code page, ignores the access mask (every handle may write)
// and takes no values on HKEY_USERS itself.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "platform/ansi_codec.h"
#include "platform/tree_registry.h"
#include "platform/windows/registry_win32.h"

namespace hivora {
namespace {

using Bytes = std::string;

std::string hex(const std::uint8_t* data, std::uint32_t count) {
    std::ostringstream out;
    for (std::uint32_t i = 0; i < count; ++i) {
        static const char digits[] = "0123456789abcdef";
        out << digits[data[i] >> 4] << digits[data[i] & 15];
    }
    return out.str();
}

// Runs calls below one base key and records what each gives back.
class Recorder {
public:
    Recorder(RegistryApi& api, RegKey base) : m_api(api), m_base(base) {}

    RegistryApi& api() { return m_api; }
    RegKey base() const { return m_base; }

    void line(const std::string& text) { m_trace += text + "\n"; }
    const std::string& trace() const { return m_trace; }

    // How a returned handle relates to the base key, since the numbers differ between backends.
    std::string handleKind(RegKey handle) const {
        if (handle == 0) return "none";
        return handle == m_base ? "base" : "other";
    }

    void set(const char* name, std::uint32_t type, const Bytes& data) {
        const RegResult r = m_api.RegSetValueExA(
            m_base, name, 0, type, reinterpret_cast<const std::uint8_t*>(data.data()),
            static_cast<std::uint32_t>(data.size()));
        line("set " + label(name) + " -> " + std::to_string(r));
    }

    // The whole read of a value: size query, read into a buffer of that size, read into a
    // buffer one byte short.
    void read(const char* name) { read(m_base, name); }
    void read(RegKey key, const char* name) {
        std::uint32_t type = 0xEEEE;
        std::uint32_t size = 0;
        RegResult r = m_api.RegQueryValueExA(key, name, &type, nullptr, &size);
        // What a failed call leaves in its out-parameters is not documented; only success counts.
        if (r != kErrorSuccess) {
            line("size " + label(name) + " -> " + std::to_string(r));
            return;
        }
        line("size " + label(name) + " -> " + std::to_string(r) + " type " +
             std::to_string(type) + " size " + std::to_string(size));
        std::vector<std::uint8_t> buffer(size + 8, 0xEE);
        std::uint32_t count = size;
        r = m_api.RegQueryValueExA(key, name, &type, buffer.data(), &count);
        line("read -> " + std::to_string(r) + " type " + std::to_string(type) + " count " +
             std::to_string(count) + " data " + hex(buffer.data(), r == 0 ? count : 0));
        if (size == 0) return;
        count = size - 1;
        r = m_api.RegQueryValueExA(key, name, &type, buffer.data(), &count);
        line("short -> " + std::to_string(r) + " count " + std::to_string(count));
    }

    // Every value as the enumeration lists it, with buffers large enough.
    void enumerate() {
        for (std::uint32_t index = 0;; ++index) {
            char name[512];
            std::uint32_t nameLength = sizeof name;
            std::uint8_t data[512];
            std::uint32_t dataLength = sizeof data;
            std::uint32_t type = 0xEEEE;
            const RegResult r =
                m_api.RegEnumValueA(m_base, index, name, &nameLength, &type, data, &dataLength);
            if (r != kErrorSuccess) {
                line("enum " + std::to_string(index) + " -> " + std::to_string(r));
                return;
            }
            line("enum " + std::to_string(index) + " " + label(std::string(name, nameLength)) +
                 " type " + std::to_string(type) + " count " + std::to_string(dataLength) +
                 " data " + hex(data, dataLength));
        }
    }

    static std::string label(const char* name) { return name ? label(std::string(name)) : "(null)"; }
    static std::string label(const std::string& name) {
        return "\"" + (name.size() > 40 ? name.substr(0, 8) + "...[" + std::to_string(name.size()) + "]" : name) +
               "\"";
    }

private:
    RegistryApi& m_api;
    RegKey m_base;
    std::string m_trace;
};

struct DiffCase {
    std::string name;
    std::function<void(Recorder&)> script;
};

Bytes bytes(const char* data, std::size_t count) { return Bytes(data, count); }
Bytes dword(std::uint32_t v) {
    return Bytes{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                 static_cast<char>(v >> 24)};
}

// Text values of every text type and many shapes, each written, read and listed.
void addTextCases(std::vector<DiffCase>& cases) {
    const std::pair<const char*, Bytes> shapes[] = {
        {"Empty", ""},
        {"OneByte", "a"},
        {"TwoBytes", "ab"},
        {"WithNul", bytes("abc", 4)},
        {"OnlyNul", bytes("", 1)},
        {"TwoNuls", bytes("\0\0", 2)},
        {"InnerNul", bytes("a\0b", 3)},
        {"InnerNulAndEnd", bytes("a\0b", 4)},
        {"ChineseNoNul", "\xD6\xD0\xCE\xC4"},
        {"ChineseWithNul", bytes("\xD6\xD0\xCE\xC4", 5)},
        {"EuroSign", "\x80"},
    };
    // Bytes that are no text in code page 936 (a lone lead byte, a bad trail byte, 0xFF) are left
    // out on purpose: Windows stores them with a substitute character, the store refuses them
    // with ERROR_NO_UNICODE_TRANSLATION rather than change the text. The program only writes text
    // it converted itself, which is always valid.
    const std::pair<const char*, std::uint32_t> types[] = {
        {"Sz", kRegSz}, {"ExpandSz", kRegExpandSz}, {"MultiSz", kRegMultiSz}};
    for (const auto& [typeName, type] : types) {
        for (const auto& [shapeName, data] : shapes) {
            const std::uint32_t t = type;
            const Bytes d = data;
            cases.push_back({std::string(typeName) + "_" + shapeName, [t, d](Recorder& r) {
                                 r.set("v", t, d);
                                 r.read("v");
                                 r.enumerate();
                             }});
        }
    }
}

// Values whose data the registry keeps as given.
void addRawCases(std::vector<DiffCase>& cases) {
    const std::tuple<const char*, std::uint32_t, Bytes> raws[] = {
        {"Dword", kRegDword, dword(0x12345678)},
        {"DwordTwoBytes", kRegDword, "\x01\x02"},
        {"DwordFiveBytes", kRegDword, "\x01\x02\x03\x04\x05"},
        {"DwordEmpty", kRegDword, ""},
        {"BinaryEmpty", kRegBinary, ""},
        {"BinaryBytes", kRegBinary, bytes("\x00\x01\xFF", 3)},
        {"NoneEmpty", kRegNone, ""},
        {"NoneBytes", kRegNone, "\x01\x02"},
        {"Qword", 11, bytes("\x01\x00\x00\x00\x00\x00\x00\x80", 8)},
        {"UnknownType", 0x1234ABCD, "\x07"},
    };
    for (const auto& [name, type, data] : raws) {
        const std::uint32_t t = type;
        const Bytes d = data;
        cases.push_back({std::string("Raw_") + name, [t, d](Recorder& r) {
                             r.set("v", t, d);
                             r.read("v");
                             r.enumerate();
                         }});
    }
}

// The corners of the calls' parameters.
void addCallCases(std::vector<DiffCase>& cases) {
    cases.push_back({"Query_NullPointers", [](Recorder& r) {
        r.set("v", kRegSz, bytes("abc", 4));
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        std::uint8_t data[16];
        RegResult result = r.api().RegQueryValueExA(r.base(), "v", &type, nullptr, nullptr);
        r.line("type only " + std::to_string(result) + " " + std::to_string(type));
        result = r.api().RegQueryValueExA(r.base(), "v", nullptr, nullptr, &size);
        r.line("size only " + std::to_string(result) + " " + std::to_string(size));
        r.line("data without size " +
               std::to_string(r.api().RegQueryValueExA(r.base(), "v", nullptr, data, nullptr)));
        r.line("missing " + std::to_string(r.api().RegQueryValueExA(r.base(), "nope", &type, nullptr, &size)));
    }});
    cases.push_back({"Query_ZeroBufferForText", [](Recorder& r) {
        r.set("v", kRegSz, "abcd");
        std::uint8_t data[16];
        std::uint32_t count = 0;
        RegResult result = r.api().RegQueryValueExA(r.base(), "v", nullptr, data, &count);
        r.line("zero " + std::to_string(result) + " " + std::to_string(count));
        count = 4;
        result = r.api().RegQueryValueExA(r.base(), "v", nullptr, data, &count);
        r.line("four " + std::to_string(result) + " " + std::to_string(count));
    }});
    cases.push_back({"Set_NullDataWithCount", [](Recorder& r) {
        r.line("null data " + std::to_string(r.api().RegSetValueExA(r.base(), "v", 0, kRegBinary, nullptr, 4)));
        r.read("v");
    }});
    cases.push_back({"Set_NullDataZeroCount", [](Recorder& r) {
        r.line("null data " + std::to_string(r.api().RegSetValueExA(r.base(), "v", 0, kRegSz, nullptr, 0)));
        r.read("v");
    }});
    cases.push_back({"Names_DefaultAndNull", [](Recorder& r) {
        r.set(nullptr, kRegSz, bytes("d", 2));
        r.read("");
        r.set("", kRegDword, dword(1));
        r.read(nullptr);
        r.enumerate();
        r.line("delete null " + std::to_string(r.api().RegDeleteValueA(r.base(), nullptr)));
        r.read("");
    }});
    cases.push_back({"Names_Odd", [](Recorder& r) {
        r.set("back\\slash", kRegDword, dword(1));
        r.set("quote\"[bracket]=", kRegDword, dword(2));
        r.set("\xC3\xFB\xB3\xC6", kRegDword, dword(3));
        r.set(" blank ", kRegDword, dword(4));
        r.enumerate();
    }});
    cases.push_back({"Names_Length", [](Recorder& r) {
        for (std::size_t length : {255u, 256u, 16383u, 16384u}) {
            const std::string name(length, 'n');
            r.set(name.c_str(), kRegDword, dword(static_cast<std::uint32_t>(length)));
            r.read(name.c_str());
        }
    }});
    cases.push_back({"Names_CaseFolding", [](Recorder& r) {
        // ASCII, Latin-1 (in 936: none), Greek and full-width letters in code page 936.
        const std::pair<const char*, const char*> pairs[] = {
            {"Abc", "aBC"},
            {"\xA6\xB2", "\xA6\xD2"},  // Greek capital and small sigma
            {"\xA3\xC1", "\xA3\xE1"},  // full-width A and a
            {"\xA7\xA1", "\xA7\xD1"},  // Cyrillic capital and small A
        };
        for (const auto& [upper, lower] : pairs) {
            r.set(upper, kRegDword, dword(1));
            r.set(lower, kRegDword, dword(2));
        }
        r.enumerate();
    }});
    cases.push_back({"Enum_Buffers", [](Recorder& r) {
        r.set("Name", kRegSz, bytes("value", 6));
        char name[16];
        std::uint8_t data[16];
        const std::pair<std::uint32_t, std::uint32_t> sizes[] = {{16, 16}, {4, 16}, {5, 16},
                                                                 {16, 5},  {16, 6}, {16, 0}};
        for (const auto& [nameSize, dataSize] : sizes) {
            std::uint32_t nameLength = nameSize;
            std::uint32_t dataLength = dataSize;
            std::uint32_t type = 0;
            const RegResult result =
                r.api().RegEnumValueA(r.base(), 0, name, &nameLength, &type, data, &dataLength);
            // Documented: the name's length on success; the size needed when the name fitted but
            // the data did not.
            std::string outcome = std::to_string(result);
            if (result == kErrorSuccess) outcome += " name " + std::to_string(nameLength);
            if (result == kErrorSuccess || nameSize > 4) {
                outcome += " data " + std::to_string(dataLength);
            }
            r.line("enum " + std::to_string(nameSize) + "/" + std::to_string(dataSize) + " -> " +
                   outcome);
        }
        std::uint32_t nameLength = 16;
        std::uint32_t dataLength = 0;
        const RegResult result =
            r.api().RegEnumValueA(r.base(), 0, name, &nameLength, nullptr, nullptr, &dataLength);
        r.line("no data buffer " + std::to_string(result) + " " + std::to_string(dataLength));
        nameLength = 16;
        r.line("past end " + std::to_string(r.api().RegEnumValueA(r.base(), 1, name, &nameLength,
                                                                   nullptr, nullptr, nullptr)));
    }});
}

// Key paths and key lifetimes.
void addKeyCases(std::vector<DiffCase>& cases) {
    const std::pair<const char*, const char*> paths[] = {
        {"Nested", "a\\b"},
        {"DoubledSeparator", "a\\\\b"},
        {"LeadingSeparator", "\\a"},
        {"TrailingSeparator", "a\\"},
        {"Chinese", "\xD6\xD0\xCE\xC4"},
        {"Blank", " "},
        {"Name255", nullptr},
    };
    // Not compared: a name of 256 characters, which Wine takes and the store refuses as longer
    // than the documented 255; and names with bytes that are no text in the code page.
    for (const auto& [name, path] : paths) {
        std::string sub = path ? path : std::string(std::stoul(std::string(name).substr(4)), 'k');
        cases.push_back({std::string("Path_") + name, [sub](Recorder& r) {
            RegKey k = 0;
            std::uint32_t disposition = 0;
            RegResult result = r.api().RegCreateKeyExA(r.base(), sub.c_str(), 0, nullptr, 0,
                                                       kKeyAllAccess, &k, &disposition);
            r.line("create -> " + std::to_string(result) + " " + r.handleKind(k) + " " +
                   std::to_string(disposition));
            if (k) r.api().RegCloseKey(k);
            k = 0;
            result = r.api().RegOpenKeyExA(r.base(), sub.c_str(), 0, kKeyAllAccess, &k);
            r.line("open -> " + std::to_string(result) + " " + r.handleKind(k));
            if (k) r.api().RegCloseKey(k);
            r.line("delete -> " + std::to_string(r.api().RegDeleteKeyA(r.base(), sub.c_str())));
        }});
    }
    cases.push_back({"Key_EmptyAndNullSubKey", [](Recorder& r) {
        RegKey k = 0;
        std::uint32_t disposition = 0;
        RegResult result = r.api().RegCreateKeyExA(r.base(), "", 0, nullptr, 0, kKeyAllAccess, &k,
                                                   &disposition);
        // The disposition is left out: Wine reports a new key for the key itself, which is not
        // documented either way, and the program never looks at it.
        r.line("create empty -> " + std::to_string(result) + " " + r.handleKind(k));
        if (k && k != r.base()) r.api().RegCloseKey(k);
        k = 0;
        result = r.api().RegOpenKeyExA(r.base(), "", 0, kKeyAllAccess, &k);
        r.line("open empty -> " + std::to_string(result) + " " + r.handleKind(k));
        if (k && k != r.base()) r.api().RegCloseKey(k);
        k = 0;
        result = r.api().RegOpenKeyExA(r.base(), nullptr, 0, kKeyAllAccess, &k);
        r.line("open null -> " + std::to_string(result) + " " + r.handleKind(k));
        if (k && k != r.base()) r.api().RegCloseKey(k);
        r.line("delete null -> " + std::to_string(r.api().RegDeleteKeyA(r.base(), nullptr)));
    }});
    cases.push_back({"Key_DeletedWhileOpen", [](Recorder& r) {
        RegKey child = 0;
        r.api().RegCreateKeyExA(r.base(), "child", 0, nullptr, 0, kKeyAllAccess, &child, nullptr);
        r.line("delete -> " + std::to_string(r.api().RegDeleteKeyA(r.base(), "child")));
        const Bytes one = dword(1);
        r.line("set -> " + std::to_string(r.api().RegSetValueExA(
                               child, "v", 0, kRegDword,
                               reinterpret_cast<const std::uint8_t*>(one.data()), 4)));
        r.read(child, "v");
        RegKey grandchild = 0;
        const RegResult created = r.api().RegCreateKeyExA(child, "g", 0, nullptr, 0, kKeyAllAccess,
                                                          &grandchild, nullptr);
        r.line("create below -> " + std::to_string(created) + " " + r.handleKind(grandchild));
        r.line("delete again -> " + std::to_string(r.api().RegDeleteKeyA(child, "")));
        r.line("close -> " + std::to_string(r.api().RegCloseKey(child)));
        r.line("reopen -> " + std::to_string(r.api().RegOpenKeyExA(r.base(), "child", 0,
                                                                    kKeyAllAccess, &child)));
    }});
    cases.push_back({"Key_RecreatedAfterDelete", [](Recorder& r) {
        RegKey first = 0;
        r.api().RegCreateKeyExA(r.base(), "child", 0, nullptr, 0, kKeyAllAccess, &first, nullptr);
        r.api().RegDeleteKeyA(r.base(), "child");
        RegKey second = 0;
        std::uint32_t disposition = 0;
        r.api().RegCreateKeyExA(r.base(), "child", 0, nullptr, 0, kKeyAllAccess, &second,
                                &disposition);
        r.line("disposition " + std::to_string(disposition));
        const Bytes one = dword(1);
        r.line("set through old handle -> " +
               std::to_string(r.api().RegSetValueExA(
                   first, "v", 0, kRegDword, reinterpret_cast<const std::uint8_t*>(one.data()), 4)));
        r.read(second, "v");
        r.api().RegCloseKey(first);
        r.api().RegCloseKey(second);
    }});
    cases.push_back({"Key_DeleteSelfThenParentStillWorks", [](Recorder& r) {
        RegKey child = 0;
        r.api().RegCreateKeyExA(r.base(), "child", 0, nullptr, 0, kKeyAllAccess, &child, nullptr);
        r.line("delete self -> " + std::to_string(r.api().RegDeleteKeyA(child, "")));
        r.line("delete missing -> " + std::to_string(r.api().RegDeleteKeyA(r.base(), "child")));
        r.api().RegCloseKey(child);
        r.set("after", kRegDword, dword(1));
        r.read("after");
    }});
    cases.push_back({"Roots_CloseTwice", [](Recorder& r) {
        r.line("close root -> " + std::to_string(r.api().RegCloseKey(kHkeyCurrentUser)));
        r.line("again -> " + std::to_string(r.api().RegCloseKey(kHkeyCurrentUser)));
        RegKey k = 0;
        r.line("still opens -> " + std::to_string(r.api().RegOpenKeyExA(
                                        kHkeyCurrentUser, "Software", 0, kKeyRead, &k)));
        if (k) r.api().RegCloseKey(k);
        r.line("close zero -> " + std::to_string(r.api().RegCloseKey(0)));
    }});
}

std::vector<DiffCase> allCases() {
    std::vector<DiffCase> cases;
    addTextCases(cases);
    addRawCases(cases);
    addCallCases(cases);
    addKeyCases(cases);
    return cases;
}

constexpr char kWindowsBase[] = "Software\\HivoraDifferential";

class RegistryDifferential : public testing::TestWithParam<DiffCase> {
protected:
    static void TearDownTestSuite() { ::RegDeleteTreeA(HKEY_CURRENT_USER, kWindowsBase); }

    // The case's script below a fresh key of `api`.
    std::string run(RegistryApi& api) {
        const std::string path = std::string(kWindowsBase) + "\\" + GetParam().name;
        RegKey base = 0;
        std::uint32_t disposition = 0;
        EXPECT_EQ(kErrorSuccess, api.RegCreateKeyExA(kHkeyCurrentUser, path.c_str(), 0, nullptr, 0,
                                                     kKeyAllAccess, &base, &disposition));
        EXPECT_EQ(kRegCreatedNewKey, disposition) << "left over from an earlier run";
        Recorder recorder(api, base);
        GetParam().script(recorder);
        api.RegCloseKey(base);
        return recorder.trace();
    }
};

TEST_P(RegistryDifferential, StoreAnswersAsWindows) {
    auto codec = makeAnsiCodec(936);
    ASSERT_TRUE(codec.isOk());
    auto store = makeMemoryRegistry(*codec.value());
    auto windows = makeWin32Registry();
    const std::string fromWindows = run(*windows);
    const std::string fromStore = run(*store);
    EXPECT_EQ(fromWindows, fromStore);
}

INSTANTIATE_TEST_SUITE_P(Cases, RegistryDifferential, testing::ValuesIn(allCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace hivora
