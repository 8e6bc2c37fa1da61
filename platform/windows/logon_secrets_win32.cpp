// The automatic logon password as the LSA secret Winlogon reads; see logon_secrets.h.

#include <windows.h>
// After windows.h, which it needs.
#include <ntsecapi.h>

#include <cstdio>
#include <string>

#include "platform/logon_secrets.h"
#include "platform/windows/wide_text.h"

namespace hivora {
namespace {

constexpr NTSTATUS kStatusObjectNameNotFound = static_cast<NTSTATUS>(0xC0000034L);

// An LSA text over `text`; the text must outlive it. LSA counts bytes, not characters.
LSA_UNICODE_STRING lsaText(std::wstring& text) {
    LSA_UNICODE_STRING lsa{};
    lsa.Buffer = text.data();
    lsa.Length = static_cast<USHORT>(text.size() * sizeof(wchar_t));
    lsa.MaximumLength = lsa.Length;
    return lsa;
}

std::string statusText(NTSTATUS status) {
    char text[16] = {};
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(status));
    return text;
}

Status lsaFailure(const char* what, NTSTATUS status) {
    const auto code = static_cast<std::int32_t>(::LsaNtStatusToWinError(status));
    return Status::error(std::string(what) + "（系统机密存储返回 " + statusText(status) + "）",
                         code);
}

class LsaSecretStore final : public LogonSecretStore {
  public:
    PasswordPlace place() const override { return PasswordPlace::LsaSecret; }

    Status storeSecret(const std::string& name, const std::string& secret) override {
        std::wstring wideSecret = wideFromUtf8(secret);
        if (wideSecret.empty() && !secret.empty()) {
            return Status::error("密码含有无法转换的字符，未保存。", ERROR_NO_UNICODE_TRANSLATION);
        }
        const Status stored = store(name, &wideSecret);
        // The password should not linger in this process's memory longer than needed.
        ::SecureZeroMemory(wideSecret.data(), wideSecret.size() * sizeof(wchar_t));
        return stored;
    }

    Status removeSecret(const std::string& name) override { return store(name, nullptr); }

  private:
    // LsaStorePrivateData with `secret`, or without data (which removes the secret).
    static Status store(const std::string& name, std::wstring* secret) {
        LSA_OBJECT_ATTRIBUTES attributes{};
        LSA_HANDLE policy = nullptr;
        NTSTATUS status = ::LsaOpenPolicy(nullptr, &attributes, POLICY_CREATE_SECRET, &policy);
        if (status != 0) return lsaFailure("无法打开本机的安全策略，密码未保存", status);

        std::wstring wideName = wideFromUtf8(name);
        LSA_UNICODE_STRING key = lsaText(wideName);
        LSA_UNICODE_STRING data{};
        if (secret != nullptr) data = lsaText(*secret);
        status = ::LsaStorePrivateData(policy, &key, secret != nullptr ? &data : nullptr);
        ::LsaClose(policy);

        if (status == 0) return Status::ok();
        // Removing a secret that is not there leaves what was asked for.
        if (secret == nullptr && status == kStatusObjectNameNotFound) return Status::ok();
        return lsaFailure(secret != nullptr ? "无法把密码保存为系统机密，自动登录未设置"
                                            : "无法删除保存为系统机密的密码",
                          status);
    }
};

}  // namespace

std::unique_ptr<LogonSecretStore> makeLogonSecretStore() {
    return std::make_unique<LsaSecretStore>();
}

}  // namespace hivora
