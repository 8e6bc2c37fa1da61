#pragma once
// The registry of an installed Windows, read from and written to its own binary hive files
// through libhivex (platform/posix/hivex_tree.h).
//
// Roots, as Windows maps them: HKEY_LOCAL_MACHINE\SOFTWARE and \SYSTEM are the hives SOFTWARE and
// SYSTEM (SYSTEM\CurrentControlSet leads to the control set SYSTEM\Select\Current names);
// HKEY_USERS\.DEFAULT is DEFAULT; HKEY_CURRENT_USER (also HKEY_USERS\<SID>) is the user's
// NTUSER.DAT, with its Software\Classes taken from the user's UsrClass.dat when there is one;
// HKEY_CLASSES_ROOT is SOFTWARE\Classes merged with the user's classes as Windows merges them
// (a key the user's classes hold is taken from there; TreeRegistry::setUserClassesMerged).
// Nothing else of HKEY_LOCAL_MACHINE can be written (the
// SAM and SECURITY hives never are).
//
// Reads come from trees loaded at opening. Changes are collected until flush(), which saves every
// changed hive together: each changed hive is rebuilt by libhivex from the file as it is on disk
// with the changes applied (setting one value leaves the key's other values, the security
// descriptors, class names, times and the order of everything else as they were) and written to a
// temporary file beside it, which is synced; before the first save of a hive in a run, the hive
// is kept beside itself as <hive>.hivora-backup-<YYYYMMDD-HHMMSS> (a second name for the old
// file where the file system allows, else a synced copy); then each temporary file is renamed
// over its hive and the folder synced; then every changed key is read back from the new file and
// compared. A run that changes nothing writes nothing.
//
// Writes are refused (lastErrorMessage() says why and what to do, in Chinese), reads allowed, for
// a hive Windows has not finished writing (hive_file.h), and for every hive when the volume is
// hibernated, was shut down with Fast Startup, or is mounted read-only (hive_mount.h). The
// store's folder is locked (FolderLock) while an action holds it.

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ansi_codec.h"
#include "platform/posix/durable_file.h"
#include "platform/posix/hive_mount.h"
#include "platform/tree_registry.h"

namespace hivora {

struct WindowsStoreOptions {
    // For commands that only read (--status, --history): every change is refused.
    bool readOnly = false;
    // For tests: makes steps of a save fail (durable_file.h step names).
    StepFault saveFault;
    VolumeChecks volume;
    // The time in the backups' names; null: now.
    std::function<std::time_t()> clock;
};

struct WindowsRegistry {
    std::unique_ptr<TreeRegistry> registry;
    // One sentence per hive or volume that refuses writes, in Chinese: reading it works but may
    // show what is out of date. Empty when everything may be written.
    std::vector<std::string> warnings;
};

// Opens the installation for `user` (one of installation.users; null: no user, HKEY_CURRENT_USER
// is then empty and refuses changes). Success: the registry over its hives. Failure: a hive that
// exists cannot be read at all (cut short, not a hive, damaged), with a Chinese sentence naming
// it. The codec must outlive the registry.
Result<WindowsRegistry> openWindowsRegistry(const WindowsInstallation& installation,
                                            const WindowsUser* user, const AnsiCodec& codec,
                                            WindowsStoreOptions options = {});

}  // namespace hivora
