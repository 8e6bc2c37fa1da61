#pragma once
// The registry on POSIX systems: a folder of registry files in Wine's format, the program's own
// store by default or a Wine prefix.
//
// The folder holds system.reg (HKEY_LOCAL_MACHINE), user.reg (HKEY_CURRENT_USER, also
// HKEY_USERS\<its SID>) and userdef.reg (HKEY_USERS\.Default). A missing file is an empty hive;
// it is made at the first write into it (the folder too).
//
// Changes are collected in memory and saved by flush(), one file per changed hive, each replaced
// crash-safely (platform/posix/durable_file.h). Before a change and again when saving, the store
// takes the folder's lock, reads a file that another program changed since it was loaded, and
// applies its own pending changes to that newer text, so concurrent writers do not lose each
// other's changes. It refuses to change anything while a wineserver runs for the folder (the
// server would overwrite the files when it exits), and never writes a hive whose file had a line
// it could not read. Refusals and failed saves say why in lastErrorMessage(). A failed save drops
// the unsaved changes: what the program reads afterwards is what is on disk.

#include <memory>
#include <string>

#include "platform/ansi_codec.h"
#include "platform/posix/durable_file.h"
#include "platform/status.h"
#include "platform/tree_registry.h"

namespace hivora {

struct FileStoreOptions {
    // The system temporary folder in which Wine keeps its server folders (see
    // wineserver_probe.h); empty: $TMPDIR and /tmp, as Wine uses them.
    std::string wineTempBase;
    // For tests: makes steps of a save fail (see durable_file.h).
    StepFault saveFault;
};

// The sentence given when a wineserver runs for the store's folder.
inline constexpr char kWineserverRunningMessage[] =
    "无法写入注册表：Wine 正在运行此前缀（wineserver），请先关闭 Wine 程序。";

// Opens the store in `folder` (which need not exist yet). Success: a registry over its three
// hives; files with unreadable lines are loaded as far as they go and refuse changes. Failure: a
// file exists but cannot be read (the Status says which, in Chinese for the user). The codec must
// outlive the registry; its destructor saves what was not flushed.
Result<std::unique_ptr<TreeRegistry>> openFileStore(const std::string& folder,
                                                    const AnsiCodec& codec,
                                                    FileStoreOptions options = {});

// The program's own store: $XDG_DATA_HOME/hivora/registry, or ~/.local/share/hivora/registry.
std::string defaultStoreDirectory();

}  // namespace hivora
