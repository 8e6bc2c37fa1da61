#pragma once
// Every small operating-system service the settings rows use, made together for the registry the
// program writes, so that the paths, the system folder and the password's place always agree
// with that registry.

#include <memory>
#include <string>

#include "platform/logon_secrets.h"
#include "platform/path_mapping.h"
#include "platform/settings_broadcast.h"
#include "platform/system_services.h"

namespace hivora {

struct PlatformServices {
    std::unique_ptr<FileSystem> files;
    std::unique_ptr<SystemDirectory> systemDirectory;
    std::unique_ptr<PathMapping> paths;
    std::unique_ptr<DesktopRefresher> refresher;
    std::unique_ptr<SettingsBroadcaster> broadcaster;
    std::unique_ptr<LogonSecretStore> secrets;
};

// On Windows: the system's own services (`winePrefix` is ignored). Elsewhere: for a Wine prefix
// (`winePrefix` its folder), Windows paths through its drive links and Wine's system folder; for
// the program's private store (`winePrefix` empty), paths as they are and no system folder. The
// password then has no safe place and nothing is announced. Never fails; every member is set.
PlatformServices makePlatformServices(const std::string& winePrefix);

}  // namespace hivora
