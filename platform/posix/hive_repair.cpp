// Hives with lines the reader cannot read: listing them, and repairing one as Wine would rewrite
// it, after a durable copy of the old file (see file_store.h).

#include <errno.h>

#include <cstring>
#include <ctime>
#include <memory>

#include "platform/posix/file_store.h"
#include "platform/posix/wineserver_probe.h"
#include "platform/registry_api.h"
#include "platform/wine_hive_format.h"

namespace hivora {

namespace {

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool exists(const std::string& path) {
    return stampOf(path).exists;
}

Status failed(const std::string& path, const std::string& why, std::int32_t code) {
    return Status::error("无法修复注册表文件 " + path + "：" + why, code);
}

}  // namespace

std::optional<RefusedHive> findRefusal(const std::string& path) {
    bool missing = false;
    Result<std::string> text = readWholeFile(path, &missing);
    if (missing) return std::nullopt;
    if (!text) return RefusedHive{path, 0, readFailureReason(text.status()), false};
    const ParsedHive parsed =
        parseHive(std::make_shared<const std::string>(std::move(text).value()));
    if (parsed.diagnostics.empty()) return std::nullopt;
    const HiveDiagnostic& first = parsed.diagnostics.front();
    return RefusedHive{path, first.line, first.message, !first.fatal};
}

std::vector<RefusedHive> listRefusedHives(const std::string& folder) {
    std::vector<RefusedHive> refused;
    for (const char* name : kHiveFileNames)
        if (std::optional<RefusedHive> hive = findRefusal(folder + "/" + name))
            refused.push_back(std::move(*hive));
    return refused;
}

std::string hiveBackupPath(const std::string& hivePath, std::time_t when) {
    std::tm local{};
    ::localtime_r(&when, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return hivePath + ".hivora-backup-" + stamp;
}

Status repairHive(const std::string& path, const FileStoreOptions& options,
                  std::string* backupPath) {
    if (backupPath) backupPath->clear();
    // A hive that is a symbolic link is repaired where it leads: the lock, the check for Wine and
    // the backup all belong to the folder of the file that is rewritten.
    const std::string target = finalLinkTarget(path);
    const std::string folder = folderOf(target);
    // Other writers of the store take the same lock; Wine must not run for the folder at all.
    Result<FolderLock> lock = FolderLock::acquire(folder);
    if (!lock)
        return failed(path, std::string("无法锁定文件夹：") + std::strerror(lock.status().code()),
                      kErrorAccessDenied);
    if (wineserverRunning(folder, options.wineTempBase) ||
        (target != path && wineserverRunning(folderOf(path), options.wineTempBase)))
        return failed(path, kWineserverRunningMessage, kErrorBusy);
    bool missing = false;
    Result<std::string> old = readWholeFile(path, &missing);
    if (missing) return failed(path, "文件不存在。", kErrorFileNotFound);
    if (!old) return failed(path, readFailureReason(old.status()) + "。", kErrorRegistryIoFailed);

    const auto text = std::make_shared<const std::string>(old.value());
    const ParsedHive parsed = parseHive(text);
    if (parsed.diagnostics.empty()) return Status::ok();
    for (const HiveDiagnostic& bad : parsed.diagnostics) {
        if (bad.fatal)
            return failed(path,
                          "Wine 也无法读取此文件（" + formatDiagnostic(path, bad) +
                              "），删去几行无法修复，请从备份恢复。",
                          kErrorRegistryCorrupt);
    }
    // The repaired text must read without fault before anything is written.
    const std::string repaired = renderHive(*parsed.tree);
    const ParsedHive check = parseHive(std::make_shared<const std::string>(repaired));
    if (!check.diagnostics.empty())
        return failed(path,
                      "修复后仍有无法读取的行（" +
                          formatDiagnostic(path, check.diagnostics.front()) + "），未作改动。",
                      kErrorRegistryCorrupt);

    std::string backup = hiveBackupPath(target, std::time(nullptr));
    for (int n = 2; exists(backup); ++n)
        backup = hiveBackupPath(target, std::time(nullptr)) + "-" + std::to_string(n);
    if (Status s = replaceFileDurably(backup, old.value(), options.saveFault); !s)
        return failed(path,
                      "无法写入备份 " + backup + "（" + std::strerror(s.code()) +
                          "），文件未作改动，仍不会被改写。",
                      kErrorWriteFault);
    if (backupPath) *backupPath = backup;
    if (Status s = replaceFileDurably(path, repaired, options.saveFault); !s)
        return failed(path,
                      std::string("无法保存修复后的文件（") + std::strerror(s.code()) +
                          "），原文件未作改动；备份在 " + backup + "。",
                      kErrorWriteFault);
    return Status::ok();
}

}  // namespace hivora
