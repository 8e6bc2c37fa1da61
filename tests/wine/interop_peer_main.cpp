// The Windows side of the interoperability check, run under Wine by wine_interop_test:
//   interop_peer.exe write <tag>   writes the table through the real registry
//   interop_peer.exe check <tag>   reads it back and lists every difference
// Exit code 0 when all went well, 1 when something differed or failed, 2 for a wrong call.

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/windows/registry_win32.h"
#include "tests/wine/interop_values.h"

namespace {

// The class the writer gives its keys, as the platform reports it.
void checkKeyClass(const std::string& tag, std::vector<std::string>& problems) {
    const std::string path = "Software\\HivoraInterop\\" + tag;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    char keyClass[64] = {};
    DWORD length = sizeof keyClass;
    const LSTATUS r = ::RegQueryInfoKeyA(key, keyClass, &length, nullptr, nullptr, nullptr, nullptr,
                                         nullptr, nullptr, nullptr, nullptr, nullptr);
    ::RegCloseKey(key);
    // The text up to its NUL: Wine counts the NUL in the length it reports, Windows does not.
    const std::string found(keyClass);
    if (r != ERROR_SUCCESS || found != "REG_SZ") {
        problems.push_back("HKEY_CURRENT_USER\\" + path + ": class \"" + found +
                           "\", expected \"REG_SZ\" (" + std::to_string(r) + ", length " +
                           std::to_string(length) + ")");
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: interop_peer.exe write|check <tag>\n");
        return 2;
    }
    const std::string mode = argv[1];
    const std::string tag = argv[2];
    auto registry = hivora::makeWin32Registry();
    std::vector<std::string> problems;
    if (mode == "write") {
        problems = hivora::test::writeInteropValues(*registry, tag);
    } else if (mode == "check") {
        problems = hivora::test::checkInteropValues(*registry, tag);
        checkKeyClass(tag, problems);
    } else {
        std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
        return 2;
    }
    for (const std::string& problem : problems) std::printf("%s\n", problem.c_str());
    std::printf("%s %s: %zu problem(s)\n", mode.c_str(), tag.c_str(), problems.size());
    return problems.empty() ? 0 : 1;
}
