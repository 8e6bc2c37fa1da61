#pragma once
// Which registry the program writes: the real one on Windows; on other systems a folder of
// registry files in Wine's format (the program's own store, or the Wine prefix the user named).

#include <memory>
#include <string>

#include "app/options.h"
#include "platform/ansi_codec.h"
#include "platform/registry_api.h"
#include "platform/status.h"

namespace hivora {

struct RegistryChoice {
    std::unique_ptr<AnsiCodec> codec;
    std::unique_ptr<RegistryApi> registry;  // uses `codec`; declared after it, destroyed first
    std::string description;                // for the user: the folder, or the Windows registry
    // The folder of the Wine prefix the store is (--prefix); "" for the private store and on
    // Windows. Give it to makePlatformServices (platform/platform_services.h).
    std::string winePrefix;
};

// The folder of registry files the options name (the private store when none); "" on Windows.
std::string storeFolder(const Options& options);

// The quick checks that need not read the registry, made before the window opens: no wineserver
// runs for the store's folder, and each hive file there that exists can be read. Failure: a
// sentence for the user, in Chinese, naming the file and what to do. Nothing is written.
Status checkStoreUsable(const Options& options);

// Success: the registry and its codec. Failure: a sentence for the user, in Chinese.
Result<RegistryChoice> chooseRegistry(const Options& options);

}  // namespace hivora
