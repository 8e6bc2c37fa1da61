#include "platform/posix/file_store.h"

#include <errno.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "platform/posix/wineserver_probe.h"
#include "platform/wine_hive_format.h"

namespace hivora {

namespace {

// The roots as Wine names them in each hive's header, in HiveId order.
constexpr const char16_t* kHiveRootNames[kHiveCount] = {
    u"Machine",
    u"User\\S-1-5-21-0-0-0-1000",
    u"User\\.Default",
};

std::size_t index(HiveId id) {
    return static_cast<std::size_t>(id);
}

// A failed file operation as the user reads it; the code is the Windows result code.
Status saveFailure(const Status& cause, const std::string& path, const std::string& folder) {
    const int error = cause.code();
    if (error == ENOSPC || error == EDQUOT)
        return Status::error("无法保存注册表：磁盘空间不足（" + path + "），未作改动。",
                             kErrorDiskFull);
    if (error == EROFS || error == EACCES || error == EPERM)
        return Status::error("无法保存注册表：文件夹 " + folder + " 只读或没有写入权限，未作改动。",
                             kErrorAccessDenied);
    return Status::error(
        "无法保存注册表文件 " + path + "：" + std::strerror(error) + "，未作改动。",
        kErrorWriteFault);
}

// Why a hive refuses changes, with the way out where there is one.
std::string refusedWriteMessage(const std::string& path, const HiveDiagnostic& bad) {
    std::string text = "无法写入注册表：注册表文件 " + path + " 第 " + std::to_string(bad.line) +
                       " 行无法读取（" + formatDiagnostic(path, bad) +
                       "），为免损坏，此文件不会被改写。";
    if (bad.fatal) return text + "Wine 也无法读取此文件，请从备份恢复。";
    return text + "修复方法：运行 hivora --repair-hive " + path +
           "，它会先备份原文件，再像 Wine 那样删去无法读取的行。";
}

class FileHiveStore final : public HiveStore {
  public:
    FileHiveStore(std::string folder, FileStoreOptions options)
        : m_folder(std::move(folder)), m_options(std::move(options)) {
        for (std::size_t i = 0; i < kHiveCount; ++i)
            m_files[i].path = m_folder + "/" + kHiveFileNames[i];
    }

    // Reads one hive file, noting its stamp and its first unreadable line. On failure nothing is
    // noted, so the file still counts as changed and is tried again before any write.
    Result<std::unique_ptr<HiveTree>> load(HiveId id) {
        HiveFile& file = m_files[index(id)];
        // The stamp is taken first: a file replaced while it is read then looks changed at the
        // next check and is read again, never the other way round.
        FileStamp stamp = stampOf(file.path);
        std::optional<HiveDiagnostic> malformed;
        bool missing = false;
        Result<std::string> text = readWholeFile(file.path, &missing);
        std::unique_ptr<HiveTree> tree;
        if (missing) {
            tree = std::make_unique<HiveTree>();
            stamp = {};
        } else if (!text) {
            return Status::error(
                "无法读取注册表文件 " + file.path + "：" + readFailureReason(text.status()),
                kErrorRegistryIoFailed);
        } else {
            ParsedHive parsed =
                parseHive(std::make_shared<const std::string>(std::move(text).value()));
            if (!parsed.diagnostics.empty()) malformed = parsed.diagnostics.front();
            tree = std::move(parsed.tree);
        }
        if (tree->rootName.empty()) tree->rootName = kHiveRootNames[index(id)];
        file.stamp = stamp;
        file.malformed = std::move(malformed);
        return tree;
    }

    // Removes temporary files a crashed save left, when no other writer is busy in the folder.
    void removeLeftovers() {
        if (m_options.readOnly) return;  // a reading run leaves the folder exactly as it is
        if (Result<FolderLock> lock = FolderLock::acquire(m_folder, /*wait=*/false))
            removeLeftoverTemporaries(m_folder);
    }

    void refresh(HiveId id, HiveSlot& slot) override {
        if (!slot.pending.empty()) return;
        if (stampOf(m_files[index(id)].path) == m_files[index(id)].stamp) return;
        if (Result<std::unique_ptr<HiveTree>> tree = load(id)) slot.tree = std::move(tree).value();
    }

    Status prepareChange(HiveId id, HiveSlot& slot, const KeyPath&) override {
        if (m_options.readOnly) return Status::error(kReadOnlyStoreMessage, kErrorAccessDenied);
        if (Status s = checkWineserver(); !s) return s;
        if (Status s = bringUpToDate(id, slot); !s) return s;
        return checkReadable(id);
    }

    Status lock() override {
        if (m_lockDepth > 0) {
            ++m_lockDepth;
            return Status::ok();
        }
        Result<FolderLocks> held = acquireLocks();
        if (!held) return held.status();
        m_held = std::move(held).value();
        m_lockDepth = 1;
        return Status::ok();
    }

    void unlock() override {
        if (m_lockDepth == 0) return;
        if (--m_lockDepth == 0) m_held = FolderLocks();
    }

    // All or nothing: every changed hive's new text is written and synced to a temporary file
    // before any of them is renamed over its hive, so a failure up to then changes nothing. Only
    // a rename failing after another succeeded leaves the hives apart, and then the message names
    // exactly which files were saved.
    Status save(std::array<HiveSlot, kHiveCount>& slots) override {
        std::vector<HiveId> changed;
        for (std::size_t i = 0; i < kHiveCount; ++i)
            if (!slots[i].pending.empty()) changed.push_back(static_cast<HiveId>(i));
        if (changed.empty()) return Status::ok();
        const auto dropAll = [&](Status why) {
            for (HiveId id : changed) discard(id, slots[index(id)]);
            return why;
        };
        const std::string& firstPath = m_files[index(changed.front())].path;
        if (Status s = makeFolders(m_folder); !s)
            return dropAll(saveFailure(s, firstPath, m_folder));
        // Within an action the store is held already; a lone save holds it for itself.
        std::optional<FolderLocks> ownLock;
        if (m_lockDepth == 0) {
            Result<FolderLocks> held = acquireLocks();
            if (!held) return dropAll(held.status());
            ownLock = std::move(held).value();
        }
        if (Status s = checkWineserver(); !s) return dropAll(s);
        std::vector<std::string> texts;
        for (HiveId id : changed) {
            HiveSlot& slot = slots[index(id)];
            if (Status s = bringUpToDate(id, slot); !s) return dropAll(s);
            if (Status s = checkReadable(id); !s) return dropAll(s);
            texts.push_back(renderHive(*slot.tree));
        }
        std::vector<std::string> temporaries;
        for (std::size_t k = 0; k < changed.size(); ++k) {
            const std::string& path = m_files[index(changed[k])].path;
            Result<std::string> temporary = writeTemporaryFor(path, texts[k], m_options.saveFault);
            if (!temporary) {
                for (const std::string& t : temporaries) ::unlink(t.c_str());
                return dropAll(saveFailure(temporary.status(), path, m_folder));
            }
            temporaries.push_back(std::move(temporary).value());
        }
        std::vector<HiveId> saved;
        Status renamed;
        for (std::size_t k = 0; k < changed.size(); ++k) {
            const std::string& path = m_files[index(changed[k])].path;
            if (!renamed) {
                ::unlink(temporaries[k].c_str());
                continue;
            }
            renamed = renameTemporaryOver(temporaries[k], path, m_options.saveFault);
            if (renamed) saved.push_back(changed[k]);
        }
        Status synced;
        for (HiveId id : saved) {
            const std::string& path = m_files[index(id)].path;
            synced.update(syncFolderOf(path, m_options.saveFault));
            m_files[index(id)].stamp = stampOf(path);
            slots[index(id)].pending.clear();
        }
        for (HiveId id : changed)
            if (!slots[index(id)].pending.empty()) discard(id, slots[index(id)]);
        if (saved.empty()) return saveFailure(renamed, firstPath, m_folder);
        if (!renamed) {
            std::string lost;
            for (HiveId id : changed)
                if (std::find(saved.begin(), saved.end(), id) == saved.end())
                    lost += (lost.empty() ? "" : "、") + m_files[index(id)].path;
            return Status::error("无法保存注册表：" + fileList(saved) + " 已保存，" + lost +
                                     " 未能保存（" + std::strerror(renamed.code()) +
                                     "），其中的修改已放弃。",
                                 kErrorWriteFault);
        }
        if (!synced)
            return Status::error("注册表文件 " + fileList(saved) +
                                     " 已改写，但无法确认已写入磁盘（" +
                                     std::strerror(synced.code()) + "）。",
                                 kErrorWriteFault);
        return Status::ok();
    }

    void discard(HiveId id, HiveSlot& slot) override {
        slot.pending.clear();
        Result<std::unique_ptr<HiveTree>> tree = load(id);
        slot.tree = tree ? std::move(tree).value() : std::make_unique<HiveTree>();
        if (slot.tree->rootName.empty()) slot.tree->rootName = kHiveRootNames[index(id)];
    }

  private:
    struct HiveFile {
        std::string path;
        FileStamp stamp;                          // the file as last read or written
        std::optional<HiveDiagnostic> malformed;  // its first unreadable line
    };

    // The folders the store's files are in: its own, and for a hive that is a symbolic link the
    // folder of the file it leads to, which is where Wine and other writers of that file look.
    std::vector<std::string> fileFolders() const {
        std::vector<std::string> folders{m_folder};
        for (const HiveFile& file : m_files) {
            const std::string target = finalLinkTarget(file.path);
            if (target == file.path) continue;
            const std::string folder = folderOfPath(target);
            if (std::find(folders.begin(), folders.end(), folder) == folders.end() &&
                ::access(folder.c_str(), F_OK) == 0)
                folders.push_back(folder);
        }
        return folders;
    }

    Result<FolderLocks> acquireLocks() {
        if (Status s = makeFolders(m_folder); !s) return saveFailure(s, m_files[0].path, m_folder);
        Result<FolderLocks> held = FolderLocks::acquire(fileFolders());
        if (!held)
            return Status::error("无法锁定注册表文件夹：" + held.status().message(),
                                 kErrorAccessDenied);
        return held;
    }

    std::string fileList(const std::vector<HiveId>& ids) const {
        std::string list;
        for (HiveId id : ids) list += (list.empty() ? "" : "、") + m_files[index(id)].path;
        return list;
    }

    Status checkWineserver() const {
        for (const std::string& folder : fileFolders())
            if (wineserverRunning(folder, m_options.wineTempBase))
                return Status::error(kWineserverRunningMessage, kErrorBusy);
        return Status::ok();
    }

    Status checkReadable(HiveId id) const {
        const HiveFile& file = m_files[index(id)];
        if (!file.malformed) return Status::ok();
        return Status::error(refusedWriteMessage(file.path, *file.malformed),
                             kErrorRegistryCorrupt);
    }

    // When another program changed the file since it was read, reads it again and applies the
    // changes still pending to the newer text.
    Status bringUpToDate(HiveId id, HiveSlot& slot) {
        if (stampOf(m_files[index(id)].path) == m_files[index(id)].stamp) return Status::ok();
        Result<std::unique_ptr<HiveTree>> tree = load(id);
        if (!tree) return tree.status();
        for (const TreeChange& change : slot.pending) replayChange(*tree.value(), change);
        slot.tree = std::move(tree).value();
        return Status::ok();
    }

    std::string m_folder;
    FileStoreOptions m_options;
    std::array<HiveFile, kHiveCount> m_files;
    FolderLocks m_held;  // while an action holds the store (lock() .. unlock())
    int m_lockDepth = 0;
};

}  // namespace

Result<std::unique_ptr<TreeRegistry>> openFileStore(const std::string& folder,
                                                    const AnsiCodec& codec,
                                                    FileStoreOptions options) {
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    auto store = std::make_unique<FileHiveStore>(path, std::move(options));
    store->removeLeftovers();
    std::array<std::unique_ptr<HiveTree>, kHiveCount> hives;
    for (std::size_t i = 0; i < kHiveCount; ++i) {
        Result<std::unique_ptr<HiveTree>> tree = store->load(static_cast<HiveId>(i));
        if (!tree) return tree.status();
        hives[i] = std::move(tree).value();
    }
    return std::make_unique<TreeRegistry>(codec, std::move(hives), std::move(store));
}

std::string defaultStoreDirectory() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (dataHome && dataHome[0] == '/') {
        base = dataHome;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            const passwd* pw = ::getpwuid(::getuid());
            home = pw ? pw->pw_dir : "/tmp";
        }
        base = std::string(home) + "/.local/share";
    }
    return base + "/hivora/registry";
}

}  // namespace hivora
