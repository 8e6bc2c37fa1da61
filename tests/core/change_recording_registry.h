#pragma once
// A RegistryApi decorator for the catalogue tests: it passes every call to the registry
// underneath, records the calls that change something (key creation, value writes, removals) with
// the full key path they act on, and can refuse changes under chosen roots with "access denied",
// as Windows does for an ordinary user under HKEY_LOCAL_MACHINE.

#include <cstdint>
#include <map>
#include <ostream>
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

    bool operator==(const RegChange&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const RegChange& c) {
    static const char* const kKinds[] = {"CreateKey", "SetValue", "DeleteValue", "DeleteKey"};
    out << kKinds[static_cast<int>(c.kind)] << "(" << std::hex << c.root << " \"" << c.key
        << "\" \"" << c.name << "\" type " << c.type << " bytes";
    for (unsigned char byte : c.bytes) out << ' ' << int(byte);
    return out << " result " << c.result << std::dec << ")";
}

class ChangeRecordingRegistry : public RegistryApi {
  public:
    explicit ChangeRecordingRegistry(RegistryApi& inner) : m_inner(inner) {
        for (RegKey root = kHkeyClassesRoot; root <= kHkeyUsers; ++root) m_paths[root] = {root, ""};
    }

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
        if (result) *result = 0;
        const RegResult r =
            record({RegChangeKind::CreateKey, rootOf(key), pathOf(key, subKey)}, key, [&] {
                return m_inner.RegCreateKeyExA(key, subKey, reserved, keyClass, options, sam,
                                               result, disposition);
            });
        if (r == kErrorSuccess && result) remember(*result, key, subKey);
        return r;
    }
    RegResult RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t* cbData) override {
        return m_inner.RegQueryValueExA(key, valueName, type, data, cbData);
    }
    RegResult RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved,
                             std::uint32_t type, const std::uint8_t* data,
                             std::uint32_t cbData) override {
        const std::string bytes(reinterpret_cast<const char*>(data), cbData);
        return record(
            {RegChangeKind::SetValue, rootOf(key), pathOf(key, nullptr), valueName ? valueName : "",
             type, bytes},
            key,
            [&] { return m_inner.RegSetValueExA(key, valueName, reserved, type, data, cbData); });
    }
    RegResult RegEnumValueA(RegKey key, std::uint32_t index, char* valueName,
                            std::uint32_t* cchValueName, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* cbData) override {
        return m_inner.RegEnumValueA(key, index, valueName, cchValueName, type, data, cbData);
    }
    RegResult RegDeleteValueA(RegKey key, const char* valueName) override {
        return record({RegChangeKind::DeleteValue, rootOf(key), pathOf(key, nullptr),
                       valueName ? valueName : ""},
                      key, [&] { return m_inner.RegDeleteValueA(key, valueName); });
    }
    RegResult RegDeleteKeyA(RegKey key, const char* subKey) override {
        return record({RegChangeKind::DeleteKey, rootOf(key), pathOf(key, subKey)}, key,
                      [&] { return m_inner.RegDeleteKeyA(key, subKey); });
    }
    // A handle value the store hands out again is remembered anew when it is opened.
    RegResult RegEnumKeyExA(RegKey key, std::uint32_t index, char* name, std::uint32_t* cchName,
                            char* keyClass, std::uint32_t* cchClass) override {
        return m_inner.RegEnumKeyExA(key, index, name, cchName, keyClass, cchClass);
    }
    RegResult RegCloseKey(RegKey key) override { return m_inner.RegCloseKey(key); }
    Status flush() override { return m_inner.flush(); }
    Status lockStore() override { return m_inner.lockStore(); }
    void unlockStore() override { m_inner.unlockStore(); }
    bool discardChanges() override { return m_inner.discardChanges(); }
    std::string lastErrorMessage() const override { return m_inner.lastErrorMessage(); }

  private:
    struct Place {
        RegKey root;
        std::string path;
    };

    RegKey rootOf(RegKey key) const {
        const auto found = m_paths.find(key);
        return found == m_paths.end() ? 0 : found->second.root;
    }
    std::string pathOf(RegKey key, const char* subKey) const {
        const auto found = m_paths.find(key);
        std::string path = found == m_paths.end() ? "" : found->second.path;
        if (subKey && *subKey) path += (path.empty() ? "" : "\\") + std::string(subKey);
        return path;
    }
    void remember(RegKey handle, RegKey parent, const char* subKey) {
        m_paths[handle] = Place{rootOf(parent), pathOf(parent, subKey)};
    }
    // Notes `change` with the result of `call`, or refuses it under a denied root.
    template <typename Call>
    RegResult record(RegChange change, RegKey key, Call call) {
        change.result = m_deniedRoots.count(rootOf(key)) != 0 ? kErrorAccessDenied : call();
        m_changes.push_back(change);
        return change.result;
    }

    RegistryApi& m_inner;
    std::set<RegKey> m_deniedRoots;
    std::map<RegKey, Place> m_paths;  // the root handles and every key opened below them
    std::vector<RegChange> m_changes;
};

}  // namespace hivora::testing
