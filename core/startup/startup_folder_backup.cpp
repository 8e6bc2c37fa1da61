// Switching a Startup folder's shortcut off where Windows honours no StartupApproved value
// (Windows 7 and earlier, Wine): the shortcut's bytes go into a value of the place's backup key,
// named as the file, and the file moves to this program's backup folder.
//
// The backup key is the truth, the files follow it. Only the key's values are written inside the
// recorded action, so undo and redo of a switch change the key alone; reconcileFolders() then
// moves the files to match, at the end of every switch and at every refresh:
//   - a file in the backup folder that no value names goes back to the Startup folder (an
//     undone switch-off, or a redone switch-on);
//   - a file in the Startup folder with the bytes of a value goes to the backup folder (a redone
//     switch-off, or an undone switch-on);
//   - a value whose file is in neither folder has it written into the backup folder from the
//     value's bytes (an undone removal), so that switching it on has a file to move.
// Files only ever move or are written where none is; a file whose bytes differ from the value of
// its name is left alone, and both rows are listed.

#include <optional>
#include <string>

#include "core/journal/registry_state.h"
#include "core/startup/startup_list.h"
#include "platform/path_mapping.h"
#include "platform/shortcut_file.h"

namespace hivora {

namespace {

constexpr char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
// Below the application-data folder of the place's root ("AppData" of the user, "Common AppData"
// of the machine): outside the Start menu, so that Explorer neither runs nor shows what is there.
constexpr char kBackupFolderTail[] = "\\Hivora\\DisabledStartup";

// A backup value's name becomes a file name in both folders: one that could name a file outside
// them (a value put there by hand) is never used as one.
bool usableFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string::npos;
}

}  // namespace

std::optional<StartupList::FolderPaths> StartupList::folderPaths(std::size_t liveSource) const {
    if (!m_machine || m_machine->paths == nullptr) return std::nullopt;
    const StartupSource& where = startupSources()[liveSource];
    const bool user = where.place == StartupPlace::UserFolder;
    std::int32_t flag = 0;
    const std::string startup = m_layer.GetRegString(
        where.root, kShellFolders, user ? "Startup" : "Common Startup", kKeyRead, flag);
    if (flag != 0 || startup.empty()) return std::nullopt;
    FolderPaths paths;
    paths.live = m_machine->paths->hostPath(startup);
    flag = 0;
    const std::string data = m_layer.GetRegString(
        where.root, kShellFolders, user ? "AppData" : "Common AppData", kKeyRead, flag);
    if (flag == 0 && !data.empty())
        paths.backup = m_machine->paths->hostPath(data + kBackupFolderTail);
    return paths;
}

Status StartupList::reconcileFolders() {
    Status outcome;
    const RegistryView view{m_layer.api(), m_layer.codec()};
    for (std::size_t live : {kUserFolderSource, kCommonFolderSource}) {
        const std::optional<FolderPaths> paths = folderPaths(live);
        if (!paths || paths->backup.empty()) continue;
        const StartupSource& backup = startupSources()[live + 1];
        const Result<KeyState> key = readKeyState(view, backup.root, backup.keyPath);
        if (!key) continue;  // unreadable now: the files stay where they are
        const std::vector<NamedValue>& values = key.value().values;

        for (const FolderFile& file : folderFiles(paths->backup)) {
            bool named = false;
            for (const NamedValue& value : values)
                named = named || equalsFolded(value.name, file.name);
            const std::string home = paths->live + "/" + file.name;
            if (!named && !fileExists(home))
                outcome.update(moveFile(paths->backup + "/" + file.name, home));
        }
        for (const NamedValue& value : values) {
            if (!usableFileName(value.name)) continue;
            const std::string inLive = paths->live + "/" + value.name;
            const std::string inBackup = paths->backup + "/" + value.name;
            if (fileExists(inLive)) {
                const Result<std::string> bytes = readFileBytes(inLive);
                if (!bytes || bytes.value() != value.data) continue;
                if (!fileExists(inBackup)) {
                    outcome.update(moveFile(inLive, inBackup));
                } else {
                    const Result<std::string> kept = readFileBytes(inBackup);
                    if (kept && kept.value() == value.data) outcome.update(removeFile(inLive));
                }
            } else if (!fileExists(inBackup)) {
                outcome.update(writeNewFile(inBackup, value.data));
            }
        }
    }
    return outcome;
}

void StartupList::readFolderBackup(std::size_t source) {
    const StartupSource& where = startupSources()[source];
    const RegistryView view{m_layer.api(), m_layer.codec()};
    const Result<KeyState> key = readKeyState(view, where.root, where.keyPath);
    if (!key || key.value().values.empty()) return;
    const std::optional<FolderPaths> paths = folderPaths(source - 1);
    for (const NamedValue& value : key.value().values) {
        StartupRow row;
        row.name = value.name;
        row.text = kUnreadableText;
        if (paths && !paths->backup.empty() && usableFileName(value.name)) {
            const Result<ShortcutTarget> shortcut = readShortcut(paths->backup + "/" + value.name);
            if (shortcut) row.text = shortcutCommand(shortcut.value());
        }
        row.key = 0;  // a value changed by name
        row.root = where.root;
        row.source = static_cast<std::uint8_t>(source);
        row.on = false;
        m_rows.push_back(std::move(row));
    }
}

void StartupList::dropKeptFile(const StartupRow& row) {
    const std::optional<FolderPaths> paths = folderPaths(row.source & ~std::size_t{1});
    if (!paths || paths->backup.empty() || !usableFileName(row.name)) return;
    const std::string kept = paths->backup + "/" + row.name;
    // Gone already is fine; one that cannot go would come back at the refresh, which shows it.
    if (fileExists(kept)) (void)removeFile(kept);
}

std::optional<std::vector<RegOp>> StartupList::folderSwitchOps(const StartupRow& row, bool on,
                                                               Status& why) {
    const std::size_t live = row.source & ~std::size_t{1};
    const StartupSource& backup = startupSources()[live + 1];
    const std::optional<FolderPaths> paths = folderPaths(live);
    if (!paths || paths->backup.empty()) {
        why = Status::error(
            "找不到存放已禁用快捷方式的文件夹：注册表的 Shell Folders 中没有 " +
            std::string(backup.root == kHkeyCurrentUser ? "AppData" : "Common AppData") + "。");
        return std::nullopt;
    }
    if (!usableFileName(row.name)) {
        why = Status::error("该名称不能用作文件名：" + row.name);
        return std::nullopt;
    }
    const RegistryView view{m_layer.api(), m_layer.codec()};
    const Result<ValueState> kept = readValueState(view, backup.root, backup.keyPath, row.name);
    if (!kept) {
        why = kept.status();
        return std::nullopt;
    }
    const std::string inLive = paths->live + "/" + row.name;
    if (!on) {
        if (kept.value().present) {
            why = Status::error("已禁用的项中已有同名项：" + row.name);
            return std::nullopt;
        }
        Result<std::string> bytes = readFileBytes(inLive);
        if (!bytes) {
            why = Status::error("该项已不存在：" + row.name, kErrorFileNotFound);
            return std::nullopt;
        }
        return std::vector<RegOp>{
            setRaw(backup.root, backup.keyPath, row.name, kRegBinary, std::move(bytes.value()))};
    }
    if (!kept.value().present) {
        why = Status::error("该项已不存在：" + row.name, kErrorFileNotFound);
        return std::nullopt;
    }
    if (fileExists(inLive)) {
        why = Status::error("启动项中已有同名项：" + row.name);
        return std::nullopt;
    }
    // The file that goes back is the backup folder's; written from the value if it went missing.
    const std::string inBackup = paths->backup + "/" + row.name;
    if (!fileExists(inBackup)) {
        const Status written = writeNewFile(inBackup, kept.value().data);
        if (!written) {
            why = written;
            return std::nullopt;
        }
    }
    std::vector<RegOp> ops{deleteValue(backup.root, backup.keyPath, row.name)};
    const StartupSource& liveSource = startupSources()[live];
    if (approvedOff(liveSource, row.name)) {
        // Back in a folder whose approved value still says off: that would keep it off.
        ops.push_back(setBinary(liveSource.root, liveSource.approvedKeyPath, row.name,
                                approvedValueBytes(true, 0)));
    }
    return ops;
}

}  // namespace hivora
