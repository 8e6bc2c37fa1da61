// Our registry store held against the real registry, call by call. Each case is a short script
// of registry calls; it runs once on the in-memory store and once on the platform's registry (Wine
// here), each below a fresh key, and the two records (registry_recorder.h) must be the same. The
// cases are the corners the program's own calls can reach: odd text lengths, missing
// terminators, small buffers, odd names and paths, and keys deleted while open.
//
// Differences the store has on purpose are left out: it refuses bytes that are no text in the
// ANSI code page (Windows stores a substitute character), ignores the access mask (every handle
// may write), takes no values on HKEY_USERS itself, and refuses key names over the documented 255
// characters (Wine takes 256).

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/ansi_codec.h"
#include "platform/tree_registry.h"
#include "platform/windows/registry_win32.h"
#include "tests/wine/registry_recorder.h"

namespace hivora::test {
namespace {

using Script = std::function<void(Recorder&)>;

struct DiffCase {
    std::string name;
    Script script;
};

// ---- Values of every type and shape: written, read and listed ----------------------------

Script writeReadList(std::uint32_t type, const Bytes& data) {
    return [type, data](Recorder& r) {
        r.set("v", type, data);
        r.read("v");
        r.enumerate();
    };
}

void addValueCases(std::vector<DiffCase>& cases) {
    for (const ValueShape& shape : valueShapes())
        cases.push_back({shape.name, writeReadList(shape.type, shape.data)});
}

// ---- The corners of the calls' parameters ---------------------------------------------------

void queryWithNullPointers(Recorder& r) {
    r.set("v", kRegSz, bytes("abc", 4));
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::uint8_t data[16];
    r.note("type only", r.api().RegQueryValueExA(r.base(), "v", &type, nullptr, nullptr));
    r.line("type " + std::to_string(type));
    r.note("size only", r.api().RegQueryValueExA(r.base(), "v", nullptr, nullptr, &size));
    r.line("size " + std::to_string(size));
    r.note("data without size", r.api().RegQueryValueExA(r.base(), "v", nullptr, data, nullptr));
    r.note("missing", r.api().RegQueryValueExA(r.base(), "nope", &type, nullptr, &size));
}

// Null data, with a count and without one.
void setNullData(Recorder& r) {
    r.note("null data", r.api().RegSetValueExA(r.base(), "counted", 0, kRegBinary, nullptr, 4));
    r.read("counted");
    r.note("null data", r.api().RegSetValueExA(r.base(), "empty", 0, kRegSz, nullptr, 0));
    r.read("empty");
}

// Names as the listing gives them back: the default value written by a null name (replacing and
// deleting it is the shared suite's), names with the characters Wine's files escape or quote,
// Chinese and blanks, and names that differ only in case in code page 936, whose second write
// replaces the first value.
void valueNamesListed(Recorder& r) {
    r.set(nullptr, kRegSz, bytes("d", 2));
    r.read("");
    for (const char* odd : {"back\\slash", "quote\"[bracket]=", "\xC3\xFB\xB3\xC6", " blank "})
        r.set(odd, kRegDword, dword(3));  // "\xC3\xFB\xB3\xC6": 名称
    const std::pair<const char*, const char*> caseDiffering[] = {
        {"Abc", "aBC"},
        {"\xA6\xB2", "\xA6\xD2"},  // capital and small sigma
        {"\xA3\xC1", "\xA3\xE1"},  // full-width A and a
        {"\xA7\xA1", "\xA7\xD1"},  // Cyrillic capital and small A
    };
    for (const auto& [upper, lower] : caseDiffering) {
        r.set(upper, kRegDword, dword(1));
        r.set(lower, kRegDword, dword(2));
    }
    r.enumerate();
}

void valueNameLengths(Recorder& r) {
    for (std::size_t length : {255u, 256u, 16383u, 16384u}) {
        const std::string name(length, 'n');
        r.set(name.c_str(), kRegDword, dword(static_cast<std::uint32_t>(length)));
        r.read(name.c_str());
    }
}

// Documented outcomes only: the name's length on success, the data size needed when the name
// fitted but the data did not.
void enumerationBufferSizes(Recorder& r) {
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
            r.note("enum " + std::to_string(nameSize) + "/" + std::to_string(dataSize),
                   r.api().RegEnumValueA(r.base(), 0, name, &nameLength, &type, data, &dataLength));
        if (result == kErrorSuccess) r.line("name " + std::to_string(nameLength));
        if (result == kErrorSuccess || nameSize > 4) r.line("data " + std::to_string(dataLength));
    }
    std::uint32_t nameLength = 16;
    std::uint32_t dataLength = 0;
    r.note("no data buffer",
           r.api().RegEnumValueA(r.base(), 0, name, &nameLength, nullptr, nullptr, &dataLength));
    r.line("data " + std::to_string(dataLength));
    nameLength = 16;
    r.note("past end",
           r.api().RegEnumValueA(r.base(), 1, name, &nameLength, nullptr, nullptr, nullptr));
}

// ---- Key paths and key lifetimes ------------------------------------------------------------

Script createOpenDelete(const std::string& sub) {
    return [sub](Recorder& r) {
        RegKey key = 0;
        std::uint32_t disposition = 0;
        r.note("create", r.api().RegCreateKeyExA(r.base(), sub.c_str(), 0, nullptr, 0,
                                                 kKeyAllAccess, &key, &disposition));
        r.line("handle " + r.handleKind(key) + " disposition " + std::to_string(disposition));
        r.close(key);
        r.close(r.open(sub.c_str()));
        r.note("delete", r.api().RegDeleteKeyA(r.base(), sub.c_str()));
    };
}

void addPathCases(std::vector<DiffCase>& cases) {
    const std::pair<const char*, std::string> paths[] = {
        {"Nested", "a\\b"},
        {"DoubledSeparator", "a\\\\b"},
        {"LeadingSeparator", "\\a"},
        {"TrailingSeparator", "a\\"},
        {"Blank", " "},
        {"Name255", std::string(255, 'k')},
    };
    for (const auto& [name, sub] : paths) {
        cases.push_back({std::string("Path_") + name, createOpenDelete(sub)});
    }
}

// The disposition of creating the key itself is not compared: Wine reports a new key, which is
// documented neither way, and the program never looks at it.
void emptyAndNullSubKeys(Recorder& r) {
    r.close(r.create(""));
    r.close(r.open(""));
    r.close(r.open(nullptr));
    r.note("delete null", r.api().RegDeleteKeyA(r.base(), nullptr));
}

// A key deleted through its parent: its handle stays, and every call on it says the key is gone.
// A key deleted through its own handle: the parent lives on.
void keysDeletedWhileOpen(Recorder& r) {
    const RegKey child = r.create("child");
    r.note("delete", r.api().RegDeleteKeyA(r.base(), "child"));
    r.set("v", kRegDword, dword(1), child);
    r.read("v", child);
    RegKey grandchild = 0;
    r.note("create below",
           r.api().RegCreateKeyExA(child, "g", 0, nullptr, 0, kKeyAllAccess, &grandchild, nullptr));
    r.note("delete again", r.api().RegDeleteKeyA(child, ""));
    r.note("close", r.api().RegCloseKey(child));
    r.close(r.open("child"));

    const RegKey self = r.create("self");
    r.note("delete self", r.api().RegDeleteKeyA(self, ""));
    r.note("delete missing", r.api().RegDeleteKeyA(r.base(), "self"));
    r.close(self);
    r.set("after", kRegDword, dword(1));
    r.read("after");
}

void rootsClosedTwice(Recorder& r) {
    r.note("close root", r.api().RegCloseKey(kHkeyCurrentUser));
    r.note("again", r.api().RegCloseKey(kHkeyCurrentUser));
    RegKey key = 0;
    r.note("still opens", r.api().RegOpenKeyExA(kHkeyCurrentUser, "Software", 0, kKeyRead, &key));
    r.close(key);
    r.note("close zero", r.api().RegCloseKey(0));
}

std::vector<DiffCase> allCases() {
    std::vector<DiffCase> cases;
    addValueCases(cases);
    addPathCases(cases);
    const DiffCase scripts[] = {
        {"Query_NullPointers", queryWithNullPointers},
        {"Set_NullData", setNullData},
        {"Names_Listed", valueNamesListed},
        {"Names_Lengths", valueNameLengths},
        {"Enum_BufferSizes", enumerationBufferSizes},
        {"Key_EmptyAndNullSubKey", emptyAndNullSubKeys},
        {"Key_DeletedWhileOpen", keysDeletedWhileOpen},
        {"Roots_ClosedTwice", rootsClosedTwice},
    };
    cases.insert(cases.end(), std::begin(scripts), std::end(scripts));
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
}  // namespace hivora::test
