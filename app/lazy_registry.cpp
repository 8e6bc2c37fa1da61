#include "app/lazy_registry.h"

namespace hivora {

Status LazyRegistry::open() {
    if (m_choice) return Status::ok();
    if (m_failure) return *m_failure;
    Result<RegistryChoice> opened = m_open();
    if (!opened) {
        m_failure = opened.status();
        return *m_failure;
    }
    m_choice = std::move(opened).value();
    return Status::ok();
}

RegistryApi* LazyRegistry::api() {
    return open().isOk() ? m_choice->registry.get() : nullptr;
}

RegResult LazyRegistry::RegOpenKeyExA(RegKey key, const char* subKey, std::uint32_t options,
                                      std::uint32_t sam, RegKey* result) {
    RegistryApi* r = api();
    return r ? r->RegOpenKeyExA(key, subKey, options, sam, result) : kErrorAccessDenied;
}

RegResult LazyRegistry::RegOpenKeyA(RegKey key, const char* subKey, RegKey* result) {
    RegistryApi* r = api();
    return r ? r->RegOpenKeyA(key, subKey, result) : kErrorAccessDenied;
}

RegResult LazyRegistry::RegCreateKeyExA(RegKey key, const char* subKey, std::uint32_t reserved,
                                        const char* keyClass, std::uint32_t options,
                                        std::uint32_t sam, RegKey* result,
                                        std::uint32_t* disposition) {
    RegistryApi* r = api();
    return r ? r->RegCreateKeyExA(key, subKey, reserved, keyClass, options, sam, result,
                                  disposition)
             : kErrorAccessDenied;
}

RegResult LazyRegistry::RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* type,
                                         std::uint8_t* data, std::uint32_t* cbData) {
    RegistryApi* r = api();
    return r ? r->RegQueryValueExA(key, valueName, type, data, cbData) : kErrorAccessDenied;
}

RegResult LazyRegistry::RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved,
                                       std::uint32_t type, const std::uint8_t* data,
                                       std::uint32_t cbData) {
    RegistryApi* r = api();
    return r ? r->RegSetValueExA(key, valueName, reserved, type, data, cbData) : kErrorAccessDenied;
}

RegResult LazyRegistry::RegEnumValueA(RegKey key, std::uint32_t index, char* valueName,
                                      std::uint32_t* cchValueName, std::uint32_t* type,
                                      std::uint8_t* data, std::uint32_t* cbData) {
    RegistryApi* r = api();
    return r ? r->RegEnumValueA(key, index, valueName, cchValueName, type, data, cbData)
             : kErrorAccessDenied;
}

RegResult LazyRegistry::RegDeleteValueA(RegKey key, const char* valueName) {
    RegistryApi* r = api();
    return r ? r->RegDeleteValueA(key, valueName) : kErrorAccessDenied;
}

RegResult LazyRegistry::RegEnumKeyExA(RegKey key, std::uint32_t index, char* name,
                                     std::uint32_t* cchName, char* keyClass,
                                     std::uint32_t* cchClass) {
    RegistryApi* r = api();
    return r ? r->RegEnumKeyExA(key, index, name, cchName, keyClass, cchClass)
             : kErrorAccessDenied;
}

RegResult LazyRegistry::RegDeleteKeyA(RegKey key, const char* subKey) {
    RegistryApi* r = api();
    return r ? r->RegDeleteKeyA(key, subKey) : kErrorAccessDenied;
}

RegResult LazyRegistry::RegCloseKey(RegKey key) {
    RegistryApi* r = api();
    return r ? r->RegCloseKey(key) : kErrorAccessDenied;
}

Status LazyRegistry::flush() {
    // Nothing was opened, so nothing waits to be saved.
    if (!m_choice) return m_failure ? *m_failure : Status::ok();
    return m_choice->registry->flush();
}

Status LazyRegistry::lockStore() {
    RegistryApi* r = api();
    return r ? r->lockStore() : *m_failure;
}

void LazyRegistry::unlockStore() {
    if (m_choice) m_choice->registry->unlockStore();
}

bool LazyRegistry::discardChanges() {
    // Nothing opened, nothing changed: there is nothing to drop either.
    return m_choice ? m_choice->registry->discardChanges() : true;
}

std::string LazyRegistry::lastErrorMessage() const {
    if (m_failure) return m_failure->message();
    return m_choice ? m_choice->registry->lastErrorMessage() : std::string();
}

}  // namespace hivora
