#pragma once
// Where the automatic logon password is kept.
//
// Winlogon on Windows reads the password of the automatic logon from the LSA secret
// "DefaultPassword" (set with LsaStorePrivateData), which only administrators can read back; the
// plain-text registry value of the same name is an older, readable fallback that must not be left
// beside it. Registry files in Wine's format have no secret store: there the password stays the
// "DefaultPassword" registry value, and the caller writes that value itself.

#include <memory>
#include <string>

#include "platform/status.h"

namespace hivora {

// The name of the secret (and of the registry value) Winlogon reads.
inline constexpr const char* kDefaultPasswordSecret = "DefaultPassword";

enum class PasswordPlace {
    RegistryValue,  // the caller writes the "DefaultPassword" value; the store does nothing
    LsaSecret,      // the store keeps the secret; the caller removes any plain-text value
};

class LogonSecretStore {
  public:
    virtual ~LogonSecretStore() = default;

    virtual PasswordPlace place() const = 0;

    // LsaSecret: stores `secret` (UTF-8) as the LSA secret `name` on this machine. Failure: the
    // secret is unchanged; the Status says why in Chinese, with the Windows error code (5 when
    // administrator rights are missing). RegistryValue: nothing to do, always ok.
    virtual Status storeSecret(const std::string& name, const std::string& secret) = 0;

    // Removes the secret `name`; a secret that does not exist is removed already (ok). Failure as
    // for storeSecret. RegistryValue: always ok.
    virtual Status removeSecret(const std::string& name) = 0;
};

// Windows: the LSA secret store of the local machine. Elsewhere: PasswordPlace::RegistryValue.
std::unique_ptr<LogonSecretStore> makeLogonSecretStore();

}  // namespace hivora
