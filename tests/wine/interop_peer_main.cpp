// The Windows side of the interoperability check, run under Wine by wine_interop_test:
//   interop_peer.exe write <tag>   writes the table through the real registry
//   interop_peer.exe read <tag>    prints what the table reads back as (interop_values.h)
//   interop_peer.exe links         lists the branches the prefix reaches through link keys
//                                  (interop_links.h)
// Problems go to the error stream. Exit code 0 when all went well, 1 when something failed, 2 for
// a wrong call.

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/windows/registry_win32.h"
#include "tests/wine/interop_links.h"
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
                           "\", expected \"REG_SZ\" (" + std::to_string(r) + ")");
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc >= 2 ? argv[1] : "";
    if (argc == 2 && mode == "links") {
        auto registry = hivora::makeWin32Registry();
        _setmode(_fileno(stdout), _O_BINARY);
        for (const std::string& path : hivora::test::linkedPaths())
            std::fputs(hivora::test::listBranch(*registry, path, 1).c_str(), stdout);
        return 0;
    }
    if (argc != 3 || (mode != "write" && mode != "read")) {
        std::fprintf(stderr, "usage: interop_peer.exe write|read <tag> | links\n");
        return 2;
    }
    const std::string tag = argv[2];
    auto registry = hivora::makeWin32Registry();
    std::vector<std::string> problems;
    if (mode == "write") {
        problems = hivora::test::writeInteropValues(*registry, tag);
    } else {
        _setmode(_fileno(stdout), _O_BINARY);  // the record's bytes as they are
        std::fputs(hivora::test::readInteropValues(*registry, tag).c_str(), stdout);
        checkKeyClass(tag, problems);
    }
    for (const std::string& problem : problems) std::fprintf(stderr, "%s\n", problem.c_str());
    return problems.empty() ? 0 : 1;
}
