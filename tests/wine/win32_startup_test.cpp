// The startup list's registry places against the system's own registry (Wine's advapi32 here):
// per place, listing, switching off and on (the value moved whole to the backup key and back,
// type and bytes as stored) and deleting, with the place's other entry untouched. The current
// user's and the machine's roots are redirected to keys of a scratch branch for the test's
// length, so the test never changes what starts on the machine it runs on.

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <ostream>
#include <string>

#include "core/registry/reg_info_get_set.h"
#include "core/startup/startup_list.h"
#include "platform/ansi_codec.h"
#include "platform/windows/registry_win32.h"

namespace hivora {
namespace {

constexpr wchar_t kScratch[] = L"Software\\HivoraStartupTest";

// HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE of this process lead to two fresh scratch keys until
// the object goes; then the scratch branch is removed.
class RedirectedRoots {
  public:
    RedirectedRoots() {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
        m_ok = ::RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kScratch) + L"\\cu").c_str(), 0,
                                 nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_user, nullptr) == 0 &&
               ::RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kScratch) + L"\\lm").c_str(), 0,
                                 nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_machine, nullptr) == 0 &&
               ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, m_machine) == 0 &&
               ::RegOverridePredefKey(HKEY_CURRENT_USER, m_user) == 0;
    }
    ~RedirectedRoots() {
        ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        if (m_user != nullptr) ::RegCloseKey(m_user);
        if (m_machine != nullptr) ::RegCloseKey(m_machine);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
    }
    RedirectedRoots(const RedirectedRoots&) = delete;
    RedirectedRoots& operator=(const RedirectedRoots&) = delete;
    bool ok() const { return m_ok; }

  private:
    HKEY m_user = nullptr;
    HKEY m_machine = nullptr;
    bool m_ok = false;
};

HKEY rootOf(RegKey root) {
    return root == kHkeyCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

struct Stored {
    bool present = false;
    DWORD type = 0;
    std::string bytes;
    bool operator==(const Stored&) const = default;
    friend void PrintTo(const Stored& value, std::ostream* out) {
        *out << (value.present ? "type " + std::to_string(value.type) + ", " +
                                     std::to_string(value.bytes.size()) + " bytes: " + value.bytes
                               : std::string("absent"));
    }
};

// A value as advapi32 holds it, read without our registry layer.
Stored storedValue(RegKey root, const char* key, const char* name) {
    HKEY handle = nullptr;
    if (::RegOpenKeyExA(rootOf(root), key, 0, KEY_READ, &handle) != 0) return {};
    Stored value;
    DWORD size = 0;
    if (::RegQueryValueExA(handle, name, nullptr, &value.type, nullptr, &size) == 0) {
        value.bytes.resize(size);
        value.present = ::RegQueryValueExA(handle, name, nullptr, &value.type,
                                           reinterpret_cast<BYTE*>(value.bytes.data()), &size) == 0;
        value.bytes.resize(size);
    }
    ::RegCloseKey(handle);
    return value;
}

void putValue(RegKey root, const char* key, const char* name, DWORD type,
              const std::string& bytes) {
    HKEY handle = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(rootOf(root), key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle,
                                nullptr),
              0);
    ASSERT_EQ(::RegSetValueExA(handle, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                               static_cast<DWORD>(bytes.size())),
              0);
    ::RegCloseKey(handle);
}

int rowOf(const StartupList& list, std::size_t source, const std::string& name) {
    for (std::size_t k = 0; k < list.size(); ++k)
        if (list.rows()[k].source == source && list.rows()[k].name == name)
            return static_cast<int>(k);
    return -1;
}

struct PlaceCase {
    const char* name;
    std::size_t source;  // the live source; its backup is the next
};

const PlaceCase kPlaces[] = {
    {"UserRun", 0}, {"MachineRun", 2}, {"UserRunOnce", 4},    {"MachineRunOnce", 6},
    {"Run32", 8},   {"RunOnce32", 10}, {"UserPolicyRun", 12}, {"MachinePolicyRun", 14},
};

TEST(Win32Startup, EveryRegistryPlaceListsSwitchesAndDeletesThroughAdvapi32) {
    RedirectedRoots roots;
    ASSERT_TRUE(roots.ok());
    const std::unique_ptr<RegistryApi> registry = makeWin32Registry();
    const std::unique_ptr<AnsiCodec> codec = makeAnsiCodec(::GetACP()).value();
    RegInfoGetSet layer(*registry, *codec);

    // An expandable command with a trailing zero as Windows stores it, and a neighbour.
    const std::string command("%ProgramFiles%\\Tray\\tray.exe /q\0", 31);
    const std::string keep("keep.exe\0", 9);
    for (const PlaceCase& place : kPlaces) {
        SCOPED_TRACE(place.name);
        const StartupSource& live = startupSources()[place.source];
        const StartupSource& backup = startupSources()[place.source + 1];
        putValue(live.root, live.keyPath, "Tray", REG_EXPAND_SZ, command);
        putValue(live.root, live.keyPath, "Keep", REG_SZ, keep);
        // As advapi32 holds them (its "A" functions keep texts as UTF-16 and count in ANSI).
        const Stored kept = storedValue(live.root, live.keyPath, "Keep");
        const Stored moved = storedValue(live.root, live.keyPath, "Tray");
        ASSERT_EQ(moved.type, static_cast<DWORD>(REG_EXPAND_SZ));

        StartupList list(layer);
        list.RefreshStartupList();
        const int row = rowOf(list, place.source, "Tray");
        ASSERT_GE(row, 0);
        EXPECT_EQ(list.rows()[static_cast<std::size_t>(row)].text,
                  "%ProgramFiles%\\Tray\\tray.exe /q");
        EXPECT_TRUE(list.rows()[static_cast<std::size_t>(row)].expandable);

        const std::size_t off[] = {static_cast<std::size_t>(row)};
        ASSERT_EQ(list.switchRows(off, false).switched, 1);
        EXPECT_FALSE(storedValue(live.root, live.keyPath, "Tray").present);
        EXPECT_EQ(storedValue(backup.root, backup.keyPath, "Tray"), moved);

        list.RefreshStartupList();
        const int offRow = rowOf(list, place.source + 1, "Tray");
        ASSERT_GE(offRow, 0);
        EXPECT_FALSE(list.rows()[static_cast<std::size_t>(offRow)].on);
        const std::size_t on[] = {static_cast<std::size_t>(offRow)};
        ASSERT_EQ(list.switchRows(on, true).switched, 1);
        EXPECT_EQ(storedValue(live.root, live.keyPath, "Tray"), moved);
        EXPECT_FALSE(storedValue(backup.root, backup.keyPath, "Tray").present);

        list.RefreshStartupList();
        list.setCheckState(static_cast<std::size_t>(rowOf(list, place.source, "Tray")), kChecked);
        EXPECT_EQ(list.RemoveSelected().removed, 1);
        EXPECT_FALSE(storedValue(live.root, live.keyPath, "Tray").present);
        EXPECT_EQ(storedValue(live.root, live.keyPath, "Keep"), kept);
        list.ClearStartupRows();
    }
}

}  // namespace
}  // namespace hivora
