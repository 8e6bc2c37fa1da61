// The logon password and the settings broadcast on a host without Windows: registry files in
// Wine's format have no secret store (a password is never written there) and no running Windows
// programs to tell about a change.

#include "platform/logon_secrets.h"
#include "platform/settings_broadcast.h"

namespace hivora {
namespace {

class NoPasswordPlace final : public LogonSecretStore {
  public:
    explicit NoPasswordPlace(const char* reason) : m_reason(reason) {}
    PasswordPlace place() const override { return PasswordPlace::Nowhere; }
    Status storeSecret(const std::string& /*name*/, const std::string& /*secret*/) override {
        return Status::error(m_reason);
    }
    Status removeSecret(const std::string& /*name*/) override { return Status::ok(); }

  private:
    const char* m_reason;
};

class SilentBroadcaster final : public SettingsBroadcaster {
  public:
    Status announceSettingChange(const std::string& /*area*/) override { return Status::ok(); }
    Status setMenuDropAlignment(bool /*rightAligned*/) override { return Status::ok(); }
    Status setDragFullWindows(bool /*fullWindows*/) override { return Status::ok(); }
};

}  // namespace

std::unique_ptr<LogonSecretStore> makeLogonSecretStore() {
    return std::make_unique<NoPasswordPlace>(kNoPasswordPlaceText);
}

std::unique_ptr<LogonSecretStore> makeOfflineLogonSecretStore() {
    return std::make_unique<NoPasswordPlace>(kOfflinePasswordText);
}

std::unique_ptr<SettingsBroadcaster> makeSettingsBroadcaster() {
    return std::make_unique<SilentBroadcaster>();
}

}  // namespace hivora
