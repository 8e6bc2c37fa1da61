// The listing of branches reached through link keys; see interop_links.h.

#include "tests/wine/interop_links.h"

#include "tests/wine/registry_recorder.h"

namespace hivora::test {

const std::vector<std::string>& linkedPaths() {
    static const std::vector<std::string> paths = {
        "Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
        "Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones",
        "Software\\Microsoft\\Windows\\CurrentVersion\\Time Zones",
        "Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones\\China Standard "
        "Time",
    };
    return paths;
}

std::string listBranch(RegistryApi& registry, const std::string& path, int depth) {
    RegKey key = 0;
    const RegResult opened =
        registry.RegOpenKeyExA(kHkeyLocalMachine, path.c_str(), 0, kKeyRead, &key);
    std::string text = "[" + path + "] open -> " + std::to_string(opened) + "\n";
    if (opened != kErrorSuccess) return text;
    Recorder recorder(registry, key);
    recorder.enumerate();
    text += recorder.trace();
    std::vector<std::string> subKeys;
    for (std::uint32_t index = 0;; ++index) {
        char name[256];
        std::uint32_t length = sizeof name;
        const RegResult r = registry.RegEnumKeyExA(key, index, name, &length, nullptr, nullptr);
        if (r != kErrorSuccess) {
            text += "key " + std::to_string(index) + " -> " + std::to_string(r) + "\n";
            break;
        }
        text += "key " + std::to_string(index) + " " + Recorder::label(std::string(name, length)) +
                "\n";
        subKeys.emplace_back(name, length);
    }
    registry.RegCloseKey(key);
    if (depth > 0)
        for (const std::string& sub : subKeys)
            text += listBranch(registry, path + "\\" + sub, depth - 1);
    return text;
}

}  // namespace hivora::test
