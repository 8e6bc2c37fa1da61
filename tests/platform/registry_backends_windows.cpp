// The registries the shared suite runs against on Windows (and under Wine): the system's own
// registry through the Win32 pass-through, and the in-memory registry built for Windows, which
// then converts texts with the platform's code-page tables.

#include <windows.h>
// After windows.h, which it needs.
#include <sddl.h>

#include "platform/ansi_codec.h"
#include "platform/tree_registry.h"
#include "platform/windows/registry_win32.h"
#include "tests/platform/registry_backends.h"

namespace hivora::test {

namespace {

// The SID under which HKEY_USERS holds the current user's hive ("S-1-5-21-...").
std::string currentUserSid() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    std::string sid;
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size > 0 && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) {
        char* text = nullptr;
        const auto* user = reinterpret_cast<const TOKEN_USER*>(buffer.data());
        if (::ConvertSidToStringSidA(user->User.Sid, &text)) {
            sid = text;
            ::LocalFree(text);
        }
    }
    ::CloseHandle(token);
    return sid;
}

const AnsiCodec& codec936() {
    static const std::unique_ptr<AnsiCodec> codec = makeAnsiCodec(936).value();
    return *codec;
}

}  // namespace

std::vector<RegistryBackend> registryBackends() {
    std::vector<RegistryBackend> backends;
    backends.push_back({"Windows", [] { return std::shared_ptr<RegistryApi>(makeWin32Registry()); },
                        ::GetACP(), currentUserSid()});
    backends.push_back({"Memory",
                        [] { return std::shared_ptr<RegistryApi>(makeMemoryRegistry(codec936())); },
                        936, "S-1-5-21-0-0-0-1000"});
    return backends;
}

}  // namespace hivora::test
