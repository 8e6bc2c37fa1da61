// The interoperability table; see interop_values.h. Texts are in code page 936, as the "A" calls
// take them in a Chinese locale.

#include "tests/wine/interop_values.h"

#include <cstdint>
#include <set>

namespace hivora::test {
namespace {

using Bytes = std::string;

struct Place {
    RegKey root;
    std::string rootName;
    std::string path;
};

std::vector<Place> places(const std::string& tag) {
    return {
        {kHkeyCurrentUser, "HKEY_CURRENT_USER", "Software\\HivoraInterop\\" + tag},
        {kHkeyLocalMachine, "HKEY_LOCAL_MACHINE", "Software\\HivoraInterop\\" + tag},
        {kHkeyUsers, "HKEY_USERS", ".Default\\Software\\HivoraInterop\\" + tag},
        {kHkeyClassesRoot, "HKEY_CLASSES_ROOT", "HivoraInterop." + tag},
    };
}

struct Value {
    std::string name;
    std::uint32_t type;
    Bytes written;
    Bytes read;  // what a read sized by the size query gives back on Windows
};

Bytes pattern(std::size_t count) {
    Bytes bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    return bytes;
}

Bytes repeated(const Bytes& unit, std::size_t times) {
    Bytes out;
    for (std::size_t i = 0; i < times; ++i) out += unit;
    return out;
}

const std::vector<Value>& values() {
    static const std::vector<Value> table = {
        {"", kRegSz, Bytes("\xC4\xAC\xC8\xCF\xD6\xB5", 7), Bytes("\xC4\xAC\xC8\xCF\xD6\xB5", 7)},
        {"Text", kRegSz, Bytes("\xD6\xD0\xCE\xC4 text", 10), Bytes("\xD6\xD0\xCE\xC4 text", 10)},
        {"EmptyText", kRegSz, "", ""},
        {"TextWithoutNul", kRegSz, "abcd", Bytes("abcd", 5)},
        {"InnerNul", kRegSz, Bytes("a\0b", 4), Bytes("a\0b", 4)},
        {"Controls", kRegSz, Bytes("tab\there\nline\r\x1b\x01\x7f", 18),
         Bytes("tab\there\nline\r\x1b\x01\x7f", 18)},
        {"LongChinese", kRegSz, repeated("\xD6\xD0", 1500) + Bytes(1, '\0'),
         repeated("\xD6\xD0", 1500) + Bytes(1, '\0')},
        {"Expand", kRegExpandSz, Bytes("%SystemRoot%\\\xCF\xB5\xCD\xB3", 18),
         Bytes("%SystemRoot%\\\xCF\xB5\xCD\xB3", 18)},
        {"Multi", kRegMultiSz, Bytes("\xD2\xBB\0two\0", 8), Bytes("\xD2\xBB\0two\0", 8)},
        {"Dword", kRegDword, "\x78\x56\x34\x12", "\x78\x56\x34\x12"},
        {"DwordShort", kRegDword, "\x01\x02", "\x01\x02"},
        {"Binary", kRegBinary, Bytes("\x01\x00\x00\x00", 4), Bytes("\x01\x00\x00\x00", 4)},
        {"LongBinary", kRegBinary, pattern(600), pattern(600)},
        {"None", kRegNone, "", ""},
        {"NoneData", kRegNone, "\x01\x02\x03", "\x01\x02\x03"},
        {"Qword", 11, Bytes("\x01\x00\x00\x00\x00\x00\x00\x80", 8),
         Bytes("\x01\x00\x00\x00\x00\x00\x00\x80", 8)},
        {"Custom", 0x1234ABCD, "\x07", "\x07"},
        {"quote\"back\\slash[x]=y", kRegSz, Bytes("a\"b\\c", 6), Bytes("a\"b\\c", 6)},
        {"\xC3\xFB\xB3\xC6", kRegSz, Bytes("\xD6\xB5", 3), Bytes("\xD6\xB5", 3)},
        // Written twice with names that differ in case: one value, spelled as first written,
        // holding the second data.
        {"MixedCase", kRegDword, Bytes("\x01\x00\x00\x00", 4), Bytes("\x02\x00\x00\x00", 4)},
    };
    return table;
}

constexpr char kCaseVariant[] = "MIXEDCASE";
constexpr char kSubKey[] = "\xD7\xD3\xBC\xFC\\Deep";  // 子键\Deep
constexpr char kCaseKeyFirst[] = "CaseKey";
constexpr char kCaseKeySecond[] = "CASEKEY\\Inner";
constexpr char kCaseKeyLookup[] = "casekey\\INNER";

std::string where(const Place& place, const std::string& more = "") {
    return place.rootName + "\\" + place.path + (more.empty() ? "" : "\\" + more);
}

std::string hex(const Bytes& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes.substr(0, 64)) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return bytes.size() > 64 ? out + "...(" + std::to_string(bytes.size()) + " bytes)" : out;
}

const std::uint8_t* raw(const Bytes& bytes) {
    return reinterpret_cast<const std::uint8_t*>(bytes.data());
}

void setValue(RegistryApi& registry, RegKey key, const std::string& name, std::uint32_t type,
              const Bytes& data, const std::string& at, std::vector<std::string>& problems) {
    const RegResult r = registry.RegSetValueExA(key, name.c_str(), 0, type, raw(data),
                                                static_cast<std::uint32_t>(data.size()));
    if (r != kErrorSuccess)
        problems.push_back(at + ": set \"" + name + "\" gave " + std::to_string(r));
}

RegKey createKey(RegistryApi& registry, RegKey root, const std::string& path, const std::string& at,
                 std::vector<std::string>& problems) {
    RegKey key = 0;
    const RegResult r =
        registry.RegCreateKeyExA(root, path.c_str(), 0, "REG_SZ", 0, kKeyAllAccess, &key, nullptr);
    if (r != kErrorSuccess) problems.push_back(at + ": create gave " + std::to_string(r));
    return key;
}

// The value as the program's registry layer reads it, compared with what Windows gives.
void checkValue(RegistryApi& registry, RegKey key, const std::string& name, std::uint32_t type,
                const Bytes& expected, const std::string& at, std::vector<std::string>& problems) {
    const std::string label = at + " \"" + name + "\"";
    std::uint32_t foundType = 0;
    std::uint32_t size = 0;
    RegResult r = registry.RegQueryValueExA(key, name.c_str(), &foundType, nullptr, &size);
    if (r != kErrorSuccess) {
        problems.push_back(label + ": size query gave " + std::to_string(r));
        return;
    }
    if (foundType != type) {
        problems.push_back(label + ": type " + std::to_string(foundType) + ", expected " +
                           std::to_string(type));
    }
    if (size != expected.size()) {
        problems.push_back(label + ": size " + std::to_string(size) + ", expected " +
                           std::to_string(expected.size()));
    }
    Bytes buffer(size, '\0');
    std::uint32_t count = size;
    r = registry.RegQueryValueExA(key, name.c_str(), nullptr,
                                  reinterpret_cast<std::uint8_t*>(buffer.data()), &count);
    if (r != kErrorSuccess) {
        problems.push_back(label + ": read gave " + std::to_string(r));
        return;
    }
    // A reader's buffer of the queried size holds zeros past what was copied.
    if (buffer != expected) {
        problems.push_back(label + ": data " + hex(buffer) + ", expected " + hex(expected));
    }
}

// The value names the enumeration lists, each once.
void checkNames(RegistryApi& registry, RegKey key, const std::set<std::string>& expected,
                const std::string& at, std::vector<std::string>& problems) {
    std::multiset<std::string> listed;
    for (std::uint32_t index = 0;; ++index) {
        char name[512];
        std::uint32_t length = sizeof name;
        const RegResult r =
            registry.RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr);
        if (r == kErrorNoMoreItems) break;
        if (r != kErrorSuccess) {
            problems.push_back(at + ": listing value " + std::to_string(index) + " gave " +
                               std::to_string(r));
            return;
        }
        listed.insert(std::string(name, length));
    }
    if (listed != std::multiset<std::string>(expected.begin(), expected.end())) {
        std::string names;
        for (const std::string& n : listed) names += " \"" + n + "\"";
        problems.push_back(at + ": listed" + names);
    }
}

}  // namespace

std::vector<std::string> writeInteropValues(RegistryApi& registry, const std::string& tag) {
    std::vector<std::string> problems;
    for (const Place& place : places(tag)) {
        const RegKey key = createKey(registry, place.root, place.path, where(place), problems);
        if (!key) continue;
        for (const Value& v : values())
            setValue(registry, key, v.name, v.type, v.written, where(place), problems);
        setValue(registry, key, kCaseVariant, kRegDword, Bytes("\x02\x00\x00\x00", 4), where(place),
                 problems);
        registry.RegCloseKey(key);

        const RegKey deep = createKey(registry, place.root, place.path + "\\" + kSubKey,
                                      where(place, kSubKey), problems);
        if (deep) {
            setValue(registry, deep, "Where", kRegSz, Bytes("\xC9\xEE", 3), where(place, kSubKey),
                     problems);
            registry.RegCloseKey(deep);
        }
        const RegKey first = createKey(registry, place.root, place.path + "\\" + kCaseKeyFirst,
                                       where(place, kCaseKeyFirst), problems);
        if (first) registry.RegCloseKey(first);
        const RegKey inner = createKey(registry, place.root, place.path + "\\" + kCaseKeySecond,
                                       where(place, kCaseKeySecond), problems);
        if (inner) {
            setValue(registry, inner, "Inner", kRegDword, Bytes("\x05\x00\x00\x00", 4),
                     where(place, kCaseKeySecond), problems);
            registry.RegCloseKey(inner);
        }
    }
    if (const Status flushed = registry.flush(); !flushed)
        problems.push_back("flush: " + flushed.message());
    return problems;
}

std::vector<std::string> checkInteropValues(RegistryApi& registry, const std::string& tag) {
    std::vector<std::string> problems;
    for (const Place& place : places(tag)) {
        RegKey key = 0;
        RegResult r = registry.RegOpenKeyExA(place.root, place.path.c_str(), 0, kKeyRead, &key);
        if (r != kErrorSuccess) {
            problems.push_back(where(place) + ": open gave " + std::to_string(r));
            continue;
        }
        std::set<std::string> names;
        for (const Value& v : values()) {
            checkValue(registry, key, v.name, v.type, v.read, where(place), problems);
            names.insert(v.name);
        }
        checkNames(registry, key, names, where(place), problems);
        registry.RegCloseKey(key);

        const std::pair<const char*, std::pair<const char*, Bytes>> subValues[] = {
            {kSubKey, {"Where", Bytes("\xC9\xEE", 3)}},
            {kCaseKeyLookup, {"Inner", Bytes("\x05\x00\x00\x00", 4)}},
        };
        for (const auto& [sub, value] : subValues) {
            const std::string path = place.path + "\\" + sub;
            RegKey subKey = 0;
            r = registry.RegOpenKeyExA(place.root, path.c_str(), 0, kKeyRead, &subKey);
            if (r != kErrorSuccess) {
                problems.push_back(where(place, sub) + ": open gave " + std::to_string(r));
                continue;
            }
            const std::uint32_t type = value.second.size() == 4 ? kRegDword : kRegSz;
            checkValue(registry, subKey, value.first, type, value.second, where(place, sub),
                       problems);
            registry.RegCloseKey(subKey);
        }
    }
    return problems;
}

}  // namespace hivora::test
