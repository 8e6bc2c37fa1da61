#pragma once
// A RegistryApi decorator for the catalogue tests: it passes every call to the registry
// underneath, records the calls that change something (key creation, value writes, removals) with
// the full key path they act on, and can refuse changes under chosen roots with "access denied",
// as Windows does for an ordinary user under HKEY_LOCAL_MACHINE.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/registry_api.h"

namespace hivora::testing {

enum class RegChangeKind { CreateKey, SetValue, DeleteValue, DeleteKey };

struct RegChange {
    RegChangeKind kind{};
    RegKey root = 0;
    std::string key{};   // path below the root, as the caller spelled it
    std::string name{};  // value name (SetValue, DeleteValue)
    std::uint32_t type = 0;
    std::string bytes{};  // SetValue data
    RegResult result = kErrorSuccess;
};

class ChangeRecordingRegistry : public RegistryApi {
  public:
    explicit ChangeRecordingRegistry(RegistryApi& inner) : m_inner(inner) {}

    // Every change through the root handle `root` (and keys opened below it) fails with
    // kErrorAccessDenied from now on.
    void denyChangesUnder(RegKey root) { m_deniedRoots.insert(root); }

    // Every change call, in order, with its result.
    const std::vector<RegChange>& changes() const { return m_changes; }
    void clear() { m_changes.clear(); }

    RegResult RegOpenKeyExA(RegKey key, const char* subKey, std::uint32_t options,
                            std::uint32_t sam, RegKey* result) override {
        const RegResult r = m_inner.RegOpenKeyExA(key, subKey, options, sam, result);
        if (r == kErrorSuccess && result) remember(*result, key, subKey);
        return r;
    }
    RegResult RegOpenKeyA(RegKey key, const char* subKey, RegKey* result) override {
        const RegResult r = m_inner.RegOpenKeyA(key, subKey, result);
        if (r == kErrorSuccess && result) remember(*result, key, subKey);
        return r;
    }
    RegResult RegCreateKeyExA(RegKey key, const char* subKey, std::uint32_t reserved,
                              const char* keyClass, std::uint32_t options, std::uint32_t sam,
                              RegKey* result, std::uint32_t* disposition) override {
        RegChange change{RegChangeKind::CreateKey, rootOf(key), pathOf(key, subKey)};
        if (denied(key)) {
            if (result) *result = 0;
            change.result = kErrorAccessDenied;
        } else {
            change.result = m_inner.RegCreateKeyExA(key, subKey, reserved, keyClass, options, sam,
                                                    result, disposition);
            if (change.result == kErrorSuccess && result) remember(*result, key, subKey);
        }
        m_changes.push_back(change);
        return change.result;
    }
    RegResult RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t* cbData) override {
        return m_inner.RegQueryValueExA(key, valueName, type, data, cbData);
    }
    RegResult RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved,
                             std::uint32_t type, const std::uint8_t* data,
                             std::uint32_t cbData) override {
        RegChange change{RegChangeKind::SetValue,
                         rootOf(key),
                         pathOf(key, nullptr),
                         valueName ? valueName : "",
                         type,
                         std::string(reinterpret_cast<const char*>(data), cbData)};
        change.result = denied(key)
                            ? kErrorAccessDenied
                            : m_inner.RegSetValueExA(key, valueName, reserved, type, data, cbData);
        m_changes.push_back(change);
        return change.result;
    }
    RegResult RegEnumValueA(RegKey key, std::uint32_t index, char* valueName,
                            std::uint32_t* cchValueName, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* cbData) override {
        return m_inner.RegEnumValueA(key, index, valueName, cchValueName, type, data, cbData);
    }
    RegResult RegDeleteValueA(RegKey key, const char* valueName) override {
        RegChange change{RegChangeKind::DeleteValue, rootOf(key), pathOf(key, nullptr),
                         valueName ? valueName : ""};
        change.result = denied(key) ? kErrorAccessDenied : m_inner.RegDeleteValueA(key, valueName);
        m_changes.push_back(change);
        return change.result;
    }
    RegResult RegDeleteKeyA(RegKey key, const char* subKey) override {
        RegChange change{RegChangeKind::DeleteKey, rootOf(key), pathOf(key, subKey)};
        change.result = denied(key) ? kErrorAccessDenied : m_inner.RegDeleteKeyA(key, subKey);
        m_changes.push_back(change);
        return change.result;
    }
    RegResult RegCloseKey(RegKey key) override {
        m_paths.erase(key);
        return m_inner.RegCloseKey(key);
    }
    Status flush() override { return m_inner.flush(); }
    std::string lastErrorMessage() const override { return m_inner.lastErrorMessage(); }

  private:
    struct Place {
        RegKey root;
        std::string path;
    };

    static bool isRoot(RegKey key) { return key >= kHkeyClassesRoot && key <= kHkeyUsers; }

    RegKey rootOf(RegKey key) const {
        if (isRoot(key)) return key;
        const auto found = m_paths.find(key);
        return found == m_paths.end() ? 0 : found->second.root;
    }
    std::string pathOf(RegKey key, const char* subKey) const {
        std::string path;
        if (!isRoot(key)) {
            const auto found = m_paths.find(key);
            if (found != m_paths.end()) path = found->second.path;
        }
        if (subKey && *subKey) path = path.empty() ? std::string(subKey) : path + "\\" + subKey;
        return path;
    }
    void remember(RegKey handle, RegKey parent, const char* subKey) {
        if (isRoot(handle)) return;
        m_paths[handle] = Place{rootOf(parent), pathOf(parent, subKey)};
    }
    bool denied(RegKey key) const { return m_deniedRoots.count(rootOf(key)) != 0; }

    RegistryApi& m_inner;
    std::set<RegKey> m_deniedRoots;
    std::map<RegKey, Place> m_paths;
    std::vector<RegChange> m_changes;
};

}  // namespace hivora::testing
