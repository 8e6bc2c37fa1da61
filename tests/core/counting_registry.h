#pragma once
// A RegistryApi decorator that passes every call to the registry underneath and keeps the handles
// it handed out and that were not closed yet, with the key each one names. A reader that forgets
// to close a key leaves its handle here.

#include <map>
#include <string>

#include "platform/registry_api.h"

namespace hivora::testing {

class CountingRegistry final : public RegistryApi {
  public:
    explicit CountingRegistry(RegistryApi& inner) : m_inner(inner) {}

    // The handles opened or created and not closed since, by handle: "root\key".
    const std::map<RegKey, std::string>& openKeys() const { return m_open; }
    int opened() const { return m_opened; }
    int closed() const { return m_closed; }

    RegResult RegOpenKeyExA(RegKey key, const char* subKey, std::uint32_t options,
                            std::uint32_t sam, RegKey* result) override {
        const RegResult r = m_inner.RegOpenKeyExA(key, subKey, options, sam, result);
        if (r == kErrorSuccess) note(key, subKey, *result);
        return r;
    }
    RegResult RegOpenKeyA(RegKey key, const char* subKey, RegKey* result) override {
        const RegResult r = m_inner.RegOpenKeyA(key, subKey, result);
        // Without a sub-key the call hands back `key` itself, which is no new handle.
        if (r == kErrorSuccess && *result != key) note(key, subKey, *result);
        return r;
    }
    RegResult RegCreateKeyExA(RegKey key, const char* subKey, std::uint32_t reserved,
                              const char* keyClass, std::uint32_t options, std::uint32_t sam,
                              RegKey* result, std::uint32_t* disposition) override {
        const RegResult r = m_inner.RegCreateKeyExA(key, subKey, reserved, keyClass, options, sam,
                                                    result, disposition);
        if (r == kErrorSuccess) note(key, subKey, *result);
        return r;
    }
    RegResult RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t* cbData) override {
        return m_inner.RegQueryValueExA(key, valueName, type, data, cbData);
    }
    RegResult RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved,
                             std::uint32_t type, const std::uint8_t* data,
                             std::uint32_t cbData) override {
        return m_inner.RegSetValueExA(key, valueName, reserved, type, data, cbData);
    }
    RegResult RegEnumValueA(RegKey key, std::uint32_t index, char* valueName,
                            std::uint32_t* cchValueName, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* cbData) override {
        return m_inner.RegEnumValueA(key, index, valueName, cchValueName, type, data, cbData);
    }
    RegResult RegDeleteValueA(RegKey key, const char* valueName) override {
        return m_inner.RegDeleteValueA(key, valueName);
    }
    RegResult RegEnumKeyExA(RegKey key, std::uint32_t index, char* name, std::uint32_t* cchName,
                            char* keyClass, std::uint32_t* cchClass) override {
        return m_inner.RegEnumKeyExA(key, index, name, cchName, keyClass, cchClass);
    }
    RegResult RegDeleteKeyA(RegKey key, const char* subKey) override {
        return m_inner.RegDeleteKeyA(key, subKey);
    }
    RegResult RegCloseKey(RegKey key) override {
        const RegResult r = m_inner.RegCloseKey(key);
        if (m_open.erase(key) != 0) ++m_closed;
        return r;
    }
    Status flush() override { return m_inner.flush(); }
    Status lockStore() override { return m_inner.lockStore(); }
    void unlockStore() override { m_inner.unlockStore(); }
    bool discardChanges() override { return m_inner.discardChanges(); }
    std::string lastErrorMessage() const override { return m_inner.lastErrorMessage(); }

  private:
    void note(RegKey parent, const char* subKey, RegKey handle) {
        if (!rootName(handle).empty()) return;  // a predefined root needs no closing
        const auto base = m_open.find(parent);
        const std::string parentName =
            base != m_open.end() ? base->second : std::string(rootName(parent));
        m_open[handle] = parentName + "\\" + (subKey ? subKey : "");
        ++m_opened;
    }

    RegistryApi& m_inner;
    std::map<RegKey, std::string> m_open;
    int m_opened = 0;
    int m_closed = 0;
};

}  // namespace hivora::testing
