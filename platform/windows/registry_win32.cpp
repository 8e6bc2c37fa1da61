// The registry interface over advapi32. Results, sizes and edge cases are the platform's own: this
// file adds no checks of its own except where a 32-bit handle cannot be mapped to an HKEY.

#include "platform/windows/registry_win32.h"

#include <windows.h>

#include <cstdint>
#include <unordered_map>

namespace hivora {
namespace {

struct PredefinedRoot {
    RegKey id;
    HKEY hkey;
};

// The four roots the program passes by value. On 64-bit Windows HKEY_CLASSES_ROOT is the
// sign-extended 0xFFFFFFFF80000000, so the numbers cannot simply be cast.
const PredefinedRoot kPredefinedRoots[] = {
    {kHkeyClassesRoot, HKEY_CLASSES_ROOT},
    {kHkeyCurrentUser, HKEY_CURRENT_USER},
    {kHkeyLocalMachine, HKEY_LOCAL_MACHINE},
    {kHkeyUsers, HKEY_USERS},
};

// Hands out ids below the predefined range, skipping 0 (the "no handle" value).
constexpr RegKey kFirstId = 1;
constexpr RegKey kLastId = 0x7FFFFFFFu;

class Win32Registry final : public RegistryApi {
  public:
    ~Win32Registry() override {
        for (const auto& [id, hkey] : m_open) ::RegCloseKey(hkey);
    }

    RegResult RegOpenKeyExA(RegKey key, const char* subKey, std::uint32_t options,
                            std::uint32_t sam, RegKey* result) override {
        if (result) *result = 0;
        HKEY parent = lookup(key);
        if (!parent) return kErrorInvalidHandle;
        if (!result) return kErrorInvalidParameter;
        HKEY opened = nullptr;
        const LSTATUS status = ::RegOpenKeyExA(parent, subKey, options, sam, &opened);
        if (status != ERROR_SUCCESS) return status;
        *result = remember(key, parent, opened);
        return ERROR_SUCCESS;
    }

    RegResult RegOpenKeyA(RegKey key, const char* subKey, RegKey* result) override {
        if (result) *result = 0;
        HKEY parent = lookup(key);
        if (!parent) return kErrorInvalidHandle;
        if (!result) return kErrorInvalidParameter;
        HKEY opened = nullptr;
        const LSTATUS status = ::RegOpenKeyA(parent, subKey, &opened);
        if (status != ERROR_SUCCESS) return status;
        *result = remember(key, parent, opened);
        return ERROR_SUCCESS;
    }

    RegResult RegCreateKeyExA(RegKey key, const char* subKey, std::uint32_t reserved,
                              const char* keyClass, std::uint32_t options, std::uint32_t sam,
                              RegKey* result, std::uint32_t* disposition) override {
        if (result) *result = 0;
        HKEY parent = lookup(key);
        if (!parent) return kErrorInvalidHandle;
        if (!result) return kErrorInvalidParameter;
        HKEY created = nullptr;
        DWORD how = 0;
        // The class parameter is LPSTR in the headers although the function never writes it.
        const LSTATUS status =
            ::RegCreateKeyExA(parent, subKey, reserved, const_cast<char*>(keyClass), options, sam,
                              nullptr, &created, disposition ? &how : nullptr);
        if (status != ERROR_SUCCESS) return status;
        *result = remember(key, parent, created);
        if (disposition) *disposition = how;
        return ERROR_SUCCESS;
    }

    RegResult RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t* cbData) override {
        HKEY hkey = lookup(key);
        if (!hkey) return kErrorInvalidHandle;
        // DWORD is `unsigned long` here, a different type from std::uint32_t of the same size.
        // The copies start as the caller's values, so that what the platform leaves alone stays.
        DWORD valueType = type ? *type : 0;
        DWORD size = cbData ? *cbData : 0;
        const LSTATUS status = ::RegQueryValueExA(
            hkey, valueName, nullptr, type ? &valueType : nullptr, data, cbData ? &size : nullptr);
        if (type) *type = valueType;
        if (cbData) *cbData = size;
        return status;
    }

    RegResult RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved,
                             std::uint32_t type, const std::uint8_t* data,
                             std::uint32_t cbData) override {
        HKEY hkey = lookup(key);
        if (!hkey) return kErrorInvalidHandle;
        return ::RegSetValueExA(hkey, valueName, reserved, type, data, cbData);
    }

    RegResult RegEnumValueA(RegKey key, std::uint32_t index, char* valueName,
                            std::uint32_t* cchValueName, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* cbData) override {
        HKEY hkey = lookup(key);
        if (!hkey) return kErrorInvalidHandle;
        DWORD nameLength = cchValueName ? *cchValueName : 0;
        DWORD valueType = type ? *type : 0;
        DWORD size = cbData ? *cbData : 0;
        const LSTATUS status =
            ::RegEnumValueA(hkey, index, valueName, cchValueName ? &nameLength : nullptr, nullptr,
                            type ? &valueType : nullptr, data, cbData ? &size : nullptr);
        if (cchValueName) *cchValueName = nameLength;
        if (type) *type = valueType;
        if (cbData) *cbData = size;
        return status;
    }

    RegResult RegDeleteValueA(RegKey key, const char* valueName) override {
        HKEY hkey = lookup(key);
        if (!hkey) return kErrorInvalidHandle;
        return ::RegDeleteValueA(hkey, valueName);
    }

    RegResult RegEnumKeyExA(RegKey key, std::uint32_t index, char* name, std::uint32_t* cchName,
                            char* keyClass, std::uint32_t* cchClass) override {
        HKEY hkey = lookup(key);
        if (!hkey) return kErrorInvalidHandle;
        DWORD nameLength = cchName ? *cchName : 0;
        DWORD classLength = cchClass ? *cchClass : 0;
        const LSTATUS status =
            ::RegEnumKeyExA(hkey, index, name, cchName ? &nameLength : nullptr, nullptr, keyClass,
                            cchClass ? &classLength : nullptr, nullptr);
        if (cchName) *cchName = nameLength;
        if (cchClass) *cchClass = classLength;
        return status;
    }

    RegResult RegDeleteKeyA(RegKey key, const char* subKey) override {
        HKEY hkey = lookup(key);
        if (!hkey) return kErrorInvalidHandle;
        return ::RegDeleteKeyA(hkey, subKey);
    }

    RegResult RegCloseKey(RegKey key) override {
        HKEY hkey = lookup(key);
        if (!hkey) return kErrorInvalidHandle;
        const LSTATUS status = ::RegCloseKey(hkey);
        m_open.erase(key);  // a predefined root is not in the table and stays usable
        return status;
    }

    // The Windows registry makes each change durable itself.
    [[nodiscard]] Status flush() override { return Status::ok(); }
    // Windows keeps other programs' writes apart itself; there is nothing to hold.
    [[nodiscard]] Status lockStore() override { return Status::ok(); }
    void unlockStore() override {}
    // Each change is in the registry as soon as it is made: nothing waits to be dropped.
    bool discardChanges() override { return false; }
    // The result codes say all Windows tells.
    std::string lastErrorMessage() const override { return {}; }

  private:
    HKEY lookup(RegKey id) const {
        for (const PredefinedRoot& root : kPredefinedRoots) {
            if (root.id == id) return root.hkey;
        }
        const auto found = m_open.find(id);
        return found == m_open.end() ? nullptr : found->second;
    }

    // RegOpenKeyA with an empty sub-key gives back the very handle it was given; that handle
    // must keep its id, or closing one id would leave the other pointing at a closed key.
    RegKey remember(RegKey parentId, HKEY parent, HKEY opened) {
        if (opened == parent) return parentId;
        RegKey id = m_nextId;
        while (m_open.count(id) != 0) id = advance(id);
        m_nextId = advance(id);
        m_open.emplace(id, opened);
        return id;
    }

    static RegKey advance(RegKey id) { return id == kLastId ? kFirstId : id + 1; }

    std::unordered_map<RegKey, HKEY> m_open;
    RegKey m_nextId = kFirstId;
};

}  // namespace

std::unique_ptr<RegistryApi> makeWin32Registry() {
    return std::make_unique<Win32Registry>();
}

}  // namespace hivora
