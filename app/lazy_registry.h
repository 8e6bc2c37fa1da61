#pragma once
// The registry opened on first use. Opening the store reads its files, which for a large Wine
// prefix takes longer than putting the window on screen; the window comes first and the store
// opens when something asks for it (the startup list, right after the first paint).

#include <functional>
#include <optional>
#include <string>

#include "app/registry_choice.h"

namespace hivora {

class LazyRegistry : public RegistryApi {
  public:
    explicit LazyRegistry(std::function<Result<RegistryChoice>()> open) : m_open(std::move(open)) {}

    // Opens the store unless that was done (or tried) before. Failure: the sentence for the user;
    // every later call then fails with kErrorAccessDenied and lastErrorMessage() says why.
    Status open();
    bool isOpen() const { return m_choice.has_value(); }
    // The opened store's note for the user (RegistryChoice::note); "" when none or not open.
    std::string note() const { return m_choice ? m_choice->note : std::string(); }

    RegResult RegOpenKeyExA(RegKey key, const char* subKey, std::uint32_t options,
                            std::uint32_t sam, RegKey* result) override;
    RegResult RegOpenKeyA(RegKey key, const char* subKey, RegKey* result) override;
    RegResult RegCreateKeyExA(RegKey key, const char* subKey, std::uint32_t reserved,
                              const char* keyClass, std::uint32_t options, std::uint32_t sam,
                              RegKey* result, std::uint32_t* disposition) override;
    RegResult RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t* cbData) override;
    RegResult RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved,
                             std::uint32_t type, const std::uint8_t* data,
                             std::uint32_t cbData) override;
    RegResult RegEnumValueA(RegKey key, std::uint32_t index, char* valueName,
                            std::uint32_t* cchValueName, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* cbData) override;
    RegResult RegDeleteValueA(RegKey key, const char* valueName) override;
    RegResult RegEnumKeyExA(RegKey key, std::uint32_t index, char* name, std::uint32_t* cchName,
                            char* keyClass, std::uint32_t* cchClass) override;
    RegResult RegDeleteKeyA(RegKey key, const char* subKey) override;
    RegResult RegCloseKey(RegKey key) override;
    [[nodiscard]] Status flush() override;
    [[nodiscard]] Status lockStore() override;
    void unlockStore() override;
    bool discardChanges() override;
    std::string lastErrorMessage() const override;

  private:
    RegistryApi* api();

    std::function<Result<RegistryChoice>()> m_open;
    std::optional<RegistryChoice> m_choice;
    std::optional<Status> m_failure;
};

}  // namespace hivora
