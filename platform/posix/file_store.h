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
// other's changes. A hive file that is a symbolic link is written where it leads, and that folder
// is locked and checked for a wineserver as well. A save that changes several hives writes every
// new file before it renames any (see HiveStore::save). It refuses to change anything while a
// wineserver runs for the folder (the server would overwrite the files when it exits), and never
// writes a hive whose file had a line it could not read, until the hive is repaired (repairHive
// below); the other hives stay writable. Refusals and failed saves say why in lastErrorMessage():
// for an unreadable line, the file, the line and how to repair it. A failed save drops the unsaved
// changes: what the program reads afterwards is what is on disk.

#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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
    // For commands that only read (--status, --history): the store writes nothing at all, not
    // even the removal of a crashed save's temporary files, and refuses every change.
    bool readOnly = false;
};

// The sentence given for a change to a store opened read-only.
inline constexpr char kReadOnlyStoreMessage[] = "无法写入注册表：此次运行只读取注册表，不作修改。";

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

// ---- Hives with unreadable lines ---------------------------------------------------------------

// The hive files of a store folder, in HiveId order.
inline constexpr const char* kHiveFileNames[kHiveCount] = {"system.reg", "user.reg", "userdef.reg"};

// A hive file that refuses changes because of a line the reader cannot read.
struct RefusedHive {
    std::string path;    // the hive file
    int line = 0;        // its first unreadable line, 1-based (0: the file cannot be read at all)
    std::string reason;  // what is wrong with that line, in Wine's words
    // False when Wine reads nothing past that line (no registry file, unknown architecture):
    // leaving lines out cannot repair it, and repairHive refuses.
    bool repairable = true;
};

// Why the hive file at `path` refuses changes: its first unreadable line. Nothing when the file
// is missing or reads without fault; a file that exists but cannot be read gives line 0 and
// repairable false.
std::optional<RefusedHive> findRefusal(const std::string& path);
// The hives of the store in `folder` that refuse changes, in HiveId order (findRefusal of each).
std::vector<RefusedHive> listRefusedHives(const std::string& folder);

// The path of the copy repairHive makes: "<file>.hivora-backup-<YYYYMMDD-HHMMSS>", local time.
std::string hiveBackupPath(const std::string& hivePath, std::time_t when);

// Makes a refused hive writable the way Wine does when it loads and saves such a file. First the
// file is copied durably to hiveBackupPath(target, now) beside it (for a path that is a symbolic
// link, the target is the file it leads to, whose folder is also the one locked and checked for a
// running wineserver) (a name taken already gets "-2",
// "-3", ...); then the file is replaced crash-safely with what Wine would write for it: the lines
// Wine cannot read left out (a value it cannot read kept as REG_NONE without data, as Wine keeps
// it), every other line byte for byte. Success: the hive reads without fault and the backup holds
// the old bytes; a hive with nothing unreadable is left as it is, without a backup. Failure (the
// Status says why, in Chinese for the user): a wineserver runs for the folder, the file cannot be
// read, Wine reads nothing past its bad line, or the backup or the save failed; the hive is then
// unchanged and still refuses changes. `options` as for openFileStore (its saveFault applies to
// the backup's writing and then to the save). `backupPath`, when given, receives the backup's path
// (empty when none was made). An open store takes the repaired file up before its next change.
Status repairHive(const std::string& path, const FileStoreOptions& options = {},
                  std::string* backupPath = nullptr);

}  // namespace hivora
