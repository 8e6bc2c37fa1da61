// The interoperability table; see interop_values.h. Texts are in code page 936, as the "A" calls
// take them in a Chinese locale.

#include "tests/wine/interop_values.h"

#include <cstdint>

#include "tests/wine/registry_recorder.h"

namespace hivora::test {
namespace {

struct Place {
    RegKey root;
    std::string path;
};

std::vector<Place> places(const std::string& tag) {
    return {
        {kHkeyCurrentUser, "Software\\HivoraInterop\\" + tag},
        {kHkeyLocalMachine, "Software\\HivoraInterop\\" + tag},
        {kHkeyUsers, ".Default\\Software\\HivoraInterop\\" + tag},
        {kHkeyClassesRoot, "HivoraInterop." + tag},
    };
}

// Every shape of value, the default value, and names that Wine's files escape or that differ
// only in case.
const std::vector<ValueShape>& values() {
    static const std::vector<ValueShape> table = [] {
        std::vector<ValueShape> all = valueShapes();
        const ValueShape named[] = {
            {"", kRegSz, bytes("\xC4\xAC\xC8\xCF\xD6\xB5", 7)},  // the default value
            {"quote\"back\\slash[x]=y", kRegSz, bytes("a\"b\\c", 6)},
            {"\xC3\xFB\xB3\xC6", kRegSz, bytes("\xD6\xB5", 3)},
            // Two names that differ in case: one value, spelled as first written, with the
            // second data.
            {"MixedCase", kRegDword, dword(1)},
            {"MIXEDCASE", kRegDword, dword(2)},
        };
        all.insert(all.end(), std::begin(named), std::end(named));
        return all;
    }();
    return table;
}

// Sub-keys, written by one path and looked up by another: a Chinese-named level, and a key whose
// name is written in two cases and looked up in a third.
struct SubKey {
    const char* writtenAt;
    const char* lookedUpAt;
    ValueShape value;
};

const SubKey kSubKeys[] = {
    {"\xD7\xD3\xBC\xFC\\Deep", "\xD7\xD3\xBC\xFC\\Deep", {"Where", kRegSz, bytes("\xC9\xEE", 3)}},
    {"CaseKey", "CASEKEY", {"Outer", kRegDword, dword(4)}},
    {"CASEKEY\\Inner", "casekey\\INNER", {"Inner", kRegDword, dword(5)}},
};

}  // namespace

std::vector<std::string> writeInteropValues(RegistryApi& registry, const std::string& tag) {
    std::vector<std::string> problems;
    // Creates the key, writes the values into it and closes it.
    auto write = [&](RegKey root, const std::string& path, const std::vector<ValueShape>& values) {
        RegKey key = 0;
        RegResult r = registry.RegCreateKeyExA(root, path.c_str(), 0, "REG_SZ", 0, kKeyAllAccess,
                                               &key, nullptr);
        if (r != kErrorSuccess) problems.push_back(path + ": create gave " + std::to_string(r));
        for (const ValueShape& v : values) {
            r = registry.RegSetValueExA(key, v.name.c_str(), 0, v.type,
                                        reinterpret_cast<const std::uint8_t*>(v.data.data()),
                                        static_cast<std::uint32_t>(v.data.size()));
            if (r != kErrorSuccess)
                problems.push_back(path + ": set \"" + v.name + "\" gave " + std::to_string(r));
        }
        registry.RegCloseKey(key);
    };
    for (const Place& place : places(tag)) {
        write(place.root, place.path, values());
        for (const SubKey& sub : kSubKeys)
            write(place.root, place.path + "\\" + sub.writtenAt, {sub.value});
    }
    if (const Status flushed = registry.flush(); !flushed)
        problems.push_back("flush: " + flushed.message());
    return problems;
}

std::string readInteropValues(RegistryApi& registry, const std::string& tag) {
    std::string text;
    // Every value of the key as the program's registry layer reads it, then the listing.
    auto read = [&](RegKey root, const std::string& path, const std::vector<ValueShape>& values) {
        RegKey key = 0;
        const RegResult r = registry.RegOpenKeyExA(root, path.c_str(), 0, kKeyRead, &key);
        text += "[" + std::to_string(root) + "\\" + path + "] open -> " + std::to_string(r) + "\n";
        if (r != kErrorSuccess) return;
        Recorder recorder(registry, key);
        for (const ValueShape& v : values) recorder.read(v.name.c_str());
        recorder.enumerate();
        text += recorder.trace();
        registry.RegCloseKey(key);
    };
    for (const Place& place : places(tag)) {
        read(place.root, place.path, values());
        for (const SubKey& sub : kSubKeys)
            read(place.root, place.path + "\\" + sub.lookedUpAt, {sub.value});
    }
    return text;
}

}  // namespace hivora::test
