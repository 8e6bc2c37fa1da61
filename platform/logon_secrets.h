#pragma once
// Where the automatic logon password is kept.
//
// Winlogon on Windows reads the password of the automatic logon from the LSA secret
// "DefaultPassword" (set with LsaStorePrivateData), which only administrators can read back; the
// plain-text registry value of the same name is an older, readable fallback that must not be left
// beside it. Registry files in Wine's format have no secret store, and a Wine prefix keeps them
// readable by others: there the password has no safe place, and automatic logon is refused.

#include <memory>
#include <string>

#include "platform/status.h"

namespace hivora {

// The name of the secret (and of the registry value) Winlogon reads.
inline constexpr const char* kDefaultPasswordSecret = "DefaultPassword";

enum class PasswordPlace {
    RegistryValue,  // the caller writes the "DefaultPassword" value; the store does nothing
    LsaSecret,      // the store keeps the secret; the caller removes any plain-text value
    Nowhere,        // no safe place: the password is never written (storeSecret refuses)
};

// Why a password cannot be kept where the place is Nowhere.
inline constexpr const char* kNoPasswordPlaceText =
    "Wine 格式的注册表文件没有保存密码的安全位置（该文件可能被其他用户读取），"
    "为避免密码以明文保存，未设置自动登录。";

// Why a password cannot be kept for an installed Windows worked on from outside (--windows).
inline constexpr const char* kOfflinePasswordText =
    "脱机的 Windows 把自动登录密码保存为 LSA 机密，位于加密的 SECURITY 注册表文件中，Hivora "
    "无法从外部安全地写入它；为避免密码以明文保存，未设置自动登录。请启动这个 Windows 后再设置。";

class LogonSecretStore {
  public:
    virtual ~LogonSecretStore() = default;

    virtual PasswordPlace place() const = 0;

    // LsaSecret: stores `secret` (UTF-8) as the LSA secret `name` on this machine. Failure: the
    // secret is unchanged; the Status says why in Chinese, with the Windows error code (5 when
    // administrator rights are missing). RegistryValue: nothing to do, always ok. Nowhere:
    // always refused, the Status saying why there is no place (kNoPasswordPlaceText,
    // kOfflinePasswordText); callers may ask with an empty secret to learn the reason.
    virtual Status storeSecret(const std::string& name, const std::string& secret) = 0;

    // Removes the secret `name`; a secret that does not exist is removed already (ok). Failure as
    // for storeSecret. RegistryValue: always ok.
    virtual Status removeSecret(const std::string& name) = 0;
};

// Windows: the LSA secret store of the local machine. Elsewhere: PasswordPlace::Nowhere.
std::unique_ptr<LogonSecretStore> makeLogonSecretStore();
#ifndef _WIN32
// For an installed Windows worked on from outside: PasswordPlace::Nowhere, refusing with
// kOfflinePasswordText.
std::unique_ptr<LogonSecretStore> makeOfflineLogonSecretStore();
#endif

}  // namespace hivora
