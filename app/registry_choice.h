#pragma once
// Which registry the program writes: the real one on Windows; on other systems a folder of
// registry files in Wine's format (the program's own store, or the Wine prefix the user named).

#include <memory>
#include <string>
#include <vector>

#include "app/options.h"
#include "platform/ansi_codec.h"
#include "platform/platform_services.h"
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
    // Non-empty: a sentence for the user to read on standard error before the output (a reading
    // command run while Wine uses the prefix; for --windows, hives or a volume that refuse
    // writes, one a line).
    std::string note;
};

// What the run does with the registry.
enum class RegistryUse {
    Change,  // the window, --undo, --redo: refused while a wineserver runs for the prefix
    Read,    // --status, --history: allowed then, with a note; the store writes nothing at all
};

// The folder of registry files the options name (the private store when none; for --windows the
// folder holding the installation's hives); "" on Windows.
std::string storeFolder(const Options& options);

// For --windows: the installation and the user the window works on, for its title ("Windows 10
// Pro 22H2（内部版本 19045.3803） · 用户 alice"); "" without --windows or when it cannot be found.
std::string windowsInstallationLabel(const Options& options);

// The quick checks that need not read the registry, made before the window opens: a folder named
// with --prefix exists, no wineserver runs for the store's folder, and each hive file there that
// exists is a regular file of at most 1 GiB that can be read (a FIFO or a device is refused
// without being read). Failure: a sentence for the user, in Chinese, naming the path and what to
// do. Nothing is written.
Status checkStoreUsable(const Options& options);

// The platform's services for the store the options name: a Wine prefix's path mapping for
// --prefix; for --windows on a mounted system volume, drive C: mapped onto it (a folder of loose
// hive copies maps nothing, as no program's files are there).
PlatformServices platformServicesFor(const Options& options);

// Whether --windows names a mounted system volume (not a folder of loose hive copies) whose
// installation was found.
bool isMountedInstallation(const Options& options);

// For --windows: the names of the installation's users, in the order found; empty otherwise.
std::vector<std::string> windowsUserNames(const Options& options);

// Success: the registry and its codec (for RegistryUse::Read, a store that refuses changes and
// perhaps a note). Failure: a sentence for the user, in Chinese: a folder named with --prefix that
// does not exist, (Change) a wineserver running for the prefix, a hive that cannot be read; for
// --windows no installation in the folder, or a user to choose (the users listed).
Result<RegistryChoice> chooseRegistry(const Options& options,
                                      RegistryUse use = RegistryUse::Change);

}  // namespace hivora
