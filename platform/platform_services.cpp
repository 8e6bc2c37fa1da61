#include "platform/platform_services.h"

namespace hivora {

PlatformServices makePlatformServices(const std::string& winePrefix) {
    PlatformServices services;
    services.files = makeFileSystem();
    services.systemDirectory = makeSystemDirectory(winePrefix);
#ifdef _WIN32
    services.paths = makeIdentityPathMapping();
#else
    services.paths =
        winePrefix.empty() ? makeIdentityPathMapping() : makeWinePathMapping(winePrefix);
#endif
    services.refresher = makeDesktopRefresher();
    services.broadcaster = makeSettingsBroadcaster();
    services.secrets = makeLogonSecretStore();
    return services;
}

}  // namespace hivora
