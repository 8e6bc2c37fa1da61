#include "platform/posix/hive_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/posix/file_store.h"
#include "platform/posix/hive_file.h"
#include "platform/posix/hivex_tree.h"
#include "platform/unicode_text.h"

namespace hivora {

namespace {

constexpr char kNothingWritten[] = "\n没有写入任何内容。";

// A hive file and where its root sits in the registry's trees.
struct MountedHive {
    std::string path;
    HiveId slot = HiveId::System;
    KeyPath graft;           // the key of the slot's tree that is the hive's root
    std::string refusal;     // why it may not be written; "" when it may
    std::string backupPath;  // the backup made in this run; "" before the first save
};

bool startsWith(const KeyPath& path, const KeyPath& prefix) {
    if (path.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (!namesEqual(path[i], prefix[i])) return false;
    return true;
}

// Puts the contents of `branch` (a hive's root) into `at`, which keeps its name and parent.
void graftBranch(TreeKey& at, std::unique_ptr<TreeKey> branch) {
    at.subKeys = std::move(branch->subKeys);
    for (auto& child : at.subKeys) child->parent = &at;
    at.values = std::move(branch->values);
    at.modified = branch->modified;
}

// Windows makes SYSTEM\CurrentControlSet at boot as a link to the control set Select\Current
// names; the hive file never holds it. It is made here the same way, volatile so it is never
// written, so that paths through it reach the control set and changes are saved there.
void addCurrentControlSet(TreeKey& system) {
    const TreeKey* select = system.findSubKey(u"Select");
    const TreeValue* current = select ? select->findValue(u"Current") : nullptr;
    if (!current || current->type != kRegDword || current->data.size() != 4) return;
    std::uint32_t n = 0;
    for (int i = 3; i >= 0; --i) n = (n << 8) | current->data[static_cast<std::size_t>(i)];
    if (n == 0 || n > 999 || system.findSubKey(u"CurrentControlSet")) return;
    std::string number = std::to_string(n);
    number.insert(0, 3 - number.size(), '0');
    TreeKey& link = system.addSubKey(u"CurrentControlSet");
    link.isLink = true;
    link.isVolatile = true;
    link.modified = system.modified;
    link.setValue(u"SymbolicLinkValue", 6,
                  toUtf16Le(asciiToUtf16("\\Registry\\Machine\\System\\ControlSet" + number)));
}

class WindowsHiveStore final : public HiveStore {
  public:
    WindowsHiveStore(std::vector<MountedHive> hives, std::string lockFolder,
                     std::string volumeProblem, std::u16string userRoot,
                     WindowsStoreOptions options)
        : m_hives(std::move(hives)),
          m_lockFolder(std::move(lockFolder)),
          m_volumeProblem(std::move(volumeProblem)),
          m_userRoot(std::move(userRoot)),
          m_options(std::move(options)) {}

    // The tree of `id`: every hive of the slot read from disk, each at its place.
    Result<std::unique_ptr<HiveTree>> buildSlot(HiveId id) {
        auto tree = std::make_unique<HiveTree>();
        tree->rootName = id == HiveId::System        ? u"Machine"
                         : id == HiveId::UserDefault ? u"User\\.Default"
                                                     : m_userRoot;
        // Shorter grafts first: UsrClass.dat goes into NTUSER.DAT's tree, not the other way.
        for (std::size_t depth = 0; depth < 3; ++depth) {
            for (const MountedHive& hive : m_hives) {
                if (hive.slot != id || hive.graft.size() != depth) continue;
                // A hive refused for writing may be half written: it is read as far as it goes.
                auto file = HivexFile::open(hive.path, false, !hive.refusal.empty());
                if (!file) return file.status();
                auto root = loadHiveTree(*file.value());
                if (!root) {
                    return Status::error(
                        "无法读取注册表文件 " + hive.path + "：" + root.status().message(),
                        kErrorRegistryCorrupt);
                }
                TreeKey* at = tree->root.get();
                for (const auto& name : hive.graft) {
                    TreeKey* next = at->findSubKey(name);
                    at = next ? next : &at->addSubKey(name);
                }
                graftBranch(*at, std::move(root).value());
                if (id == HiveId::System && hive.graft.size() == 1 &&
                    namesEqual(hive.graft[0], u"SYSTEM"))
                    addCurrentControlSet(*at);
            }
        }
        return tree;
    }

    void refresh(HiveId, HiveSlot&) override {}

    Status prepareChange(HiveId id, HiveSlot&, const KeyPath& path) override {
        if (m_options.readOnly) return Status::error(kReadOnlyStoreMessage, kErrorAccessDenied);
        if (!m_volumeProblem.empty())
            return Status::error("无法写入注册表：" + m_volumeProblem + kNothingWritten,
                                 kErrorAccessDenied);
        const MountedHive* hive = route(id, path, nullptr);
        if (!hive) return Status::error(unroutedMessage(id), kErrorAccessDenied);
        if (!hive->refusal.empty())
            return Status::error("无法写入注册表：" + hive->refusal + kNothingWritten,
                                 kErrorAccessDenied);
        return Status::ok();
    }

    Status save(std::array<HiveSlot, kHiveCount>& slots) override;

    Status lock() override {
        if (m_lockDepth++ > 0) return Status::ok();
        auto held = FolderLock::acquire(m_lockFolder);
        if (!held) {
            m_lockDepth = 0;
            return Status::error("无法锁定 " + m_lockFolder + "：" + held.status().message(),
                                 kErrorBusy);
        }
        m_lock.emplace(std::move(held).value());
        return Status::ok();
    }
    void unlock() override {
        if (m_lockDepth > 0 && --m_lockDepth == 0) m_lock.reset();
    }

    void discard(HiveId id, HiveSlot& slot) override {
        if (slot.pending.empty()) return;
        slot.pending.clear();
        if (auto tree = buildSlot(id)) slot.tree = std::move(tree).value();
    }

  private:
    // The hive `path` of slot `id` lies in (the deepest graft that holds it), and the path
    // below that hive's root as `inner`; null when no hive holds it.
    MountedHive* route(HiveId id, const KeyPath& path, KeyPath* inner) {
        MountedHive* best = nullptr;
        for (MountedHive& hive : m_hives) {
            if (hive.slot == id && startsWith(path, hive.graft) &&
                (!best || hive.graft.size() > best->graft.size()))
                best = &hive;
        }
        if (best && inner) inner->assign(path.begin() + best->graft.size(), path.end());
        return best;
    }
    static std::string unroutedMessage(HiveId id) {
        if (id == HiveId::System)
            return "无法写入注册表：脱机的 Windows 中，HKEY_LOCAL_MACHINE 下只能修改 SOFTWARE 和 "
                   "SYSTEM（找不到对应的注册表文件时也不能修改）。";
        if (id == HiveId::User)
            return "无法写入注册表：没有选定用户（或找不到其 NTUSER.DAT），不能修改 "
                   "HKEY_CURRENT_USER。请用 --user 指定用户。";
        return "无法写入注册表：找不到 DEFAULT 注册表文件，不能修改 HKEY_USERS\\.DEFAULT。";
    }

    struct Work {
        MountedHive* hive = nullptr;
        std::vector<TreeChange> changes;  // paths below the hive's root
        std::vector<KeyPath> touched;     // the same keys, as paths of the slot's tree
        std::string temporary;
        bool backupMadeNow = false;
        bool renamed = false;
    };
    Status writeTemporary(Work& work);
    Status backUp(Work& work);
    Status readBack(const Work& work, const HiveTree& tree);
    // After a failed save: every slot with changes goes back to what is on disk.
    void dropAll(std::array<HiveSlot, kHiveCount>& slots) {
        for (std::size_t i = 0; i < kHiveCount; ++i) discard(static_cast<HiveId>(i), slots[i]);
    }

    std::vector<MountedHive> m_hives;
    std::string m_lockFolder;
    std::string m_volumeProblem;
    std::u16string m_userRoot;
    WindowsStoreOptions m_options;
    int m_lockDepth = 0;
    std::optional<FolderLock> m_lock;
};

Status stepFailure(const WindowsStoreOptions& options, std::string_view step) {
    if (!options.saveFault) return Status::ok();
    if (const int error = options.saveFault(step))
        return Status::error(std::string(step) + "：" + std::strerror(error), error);
    return Status::ok();
}

Status WindowsHiveStore::writeTemporary(Work& work) {
    const std::string& path = work.hive->path;
    auto file = HivexFile::open(path, true);
    if (!file) return file.status();
    for (const TreeChange& change : work.changes)
        if (Status s = applyChange(*file.value(), change); !s) return s;

    if (Status s = stepFailure(m_options, kStepCreate); !s) return s;
    const std::size_t slash = path.rfind('/');
    std::string name = folderOfPath(path) + "/." + path.substr(slash + 1) + ".hivora-XXXXXX.tmp";
    const int fd = ::mkstemps(name.data(), 4);
    if (fd < 0)
        return Status::error(
            "无法在 " + folderOfPath(path) + " 中建立临时文件：" + std::strerror(errno), errno);
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) (void)::fchmod(fd, info.st_mode & 07777);
    ::close(fd);
    work.temporary = name;
    if (Status s = stepFailure(m_options, kStepWrite); !s) return s;
    if (Status s = file.value()->commitTo(name); !s) return s;
    // libhivex closes what it wrote without syncing it.
    if (Status s = stepFailure(m_options, kStepSync); !s) return s;
    const int written = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    const bool synced = written >= 0 && ::fsync(written) == 0;
    const int error = errno;
    if (written >= 0) ::close(written);
    if (!synced)
        return Status::error("无法把 " + name + " 写到磁盘：" + std::strerror(error), error);
    return Status::ok();
}

Status WindowsHiveStore::backUp(Work& work) {
    MountedHive& hive = *work.hive;
    if (!hive.backupPath.empty()) return Status::ok();
    const std::time_t now = m_options.clock ? m_options.clock() : std::time(nullptr);
    const std::string base = hiveBackupPath(hive.path, now);
    std::string candidate = base;
    for (int n = 2; stampOf(candidate).exists || ::access(candidate.c_str(), F_OK) == 0; ++n)
        candidate = base + "-" + std::to_string(n);
    // A second name for the file costs nothing and is exact; the save then renames a new file
    // over the hive's name, so the old file lives on under the backup's name alone.
    if (::link(hive.path.c_str(), candidate.c_str()) != 0) {
        auto bytes = readWholeFile(hive.path);
        if (!bytes) return bytes.status();
        auto temporary = writeTemporaryFor(candidate, bytes.value(), m_options.saveFault);
        if (!temporary) return temporary.status();
        if (Status s = renameTemporaryOver(temporary.value(), candidate, m_options.saveFault); !s)
            return s;
    }
    if (Status s = syncFolderOf(candidate, m_options.saveFault); !s) {
        ::unlink(candidate.c_str());
        return s;
    }
    hive.backupPath = candidate;
    work.backupMadeNow = true;
    return Status::ok();
}

Status WindowsHiveStore::readBack(const Work& work, const HiveTree& tree) {
    auto file = HivexFile::open(work.hive->path, false);
    if (!file) return file.status();
    for (std::size_t i = 0; i < work.changes.size(); ++i) {
        const TreeKey* expected = tree.findKey(work.touched[i]);
        if (Status s = compareKeyValues(*file.value(), work.changes[i].path, expected); !s)
            return s;
    }
    return Status::ok();
}

Status WindowsHiveStore::save(std::array<HiveSlot, kHiveCount>& slots) {
    std::vector<Work> work;
    for (std::size_t i = 0; i < kHiveCount; ++i) {
        const HiveId id = static_cast<HiveId>(i);
        for (const TreeChange& change : slots[i].pending) {
            if (change.kind == TreeChange::Kind::CreateKey && change.isVolatile) continue;
            KeyPath inner;
            MountedHive* hive = route(id, change.path, &inner);
            Status refused = prepareChange(id, slots[i], change.path);
            if (!hive || !refused) {
                dropAll(slots);
                return refused.isOk() ? Status::error(unroutedMessage(id), kErrorAccessDenied)
                                      : refused;
            }
            auto it = std::find_if(work.begin(), work.end(),
                                   [hive](const Work& w) { return w.hive == hive; });
            if (it == work.end())
                it = work.insert(work.end(), Work{hive, {}, {}, {}, false, false});
            it->changes.push_back(change);
            it->changes.back().path = std::move(inner);
            it->touched.push_back(change.path);
        }
    }
    Status result;
    for (Work& w : work) {
        if (result) result.update(writeTemporary(w));
    }
    for (Work& w : work) {
        if (result) result.update(backUp(w));
    }
    for (Work& w : work) {
        if (!result) break;
        result.update(renameTemporaryOver(w.temporary, w.hive->path, m_options.saveFault));
        w.renamed = result.isOk();
    }
    if (result) {
        for (Work& w : work) result.update(syncFolderOf(w.hive->path, m_options.saveFault));
    }
    std::string saved;
    for (Work& w : work) {
        if (!w.renamed) {
            if (!w.temporary.empty()) ::unlink(w.temporary.c_str());
            // A backup that is a second name of a hive left unchanged would follow that hive's
            // later changes: it goes, and the next save makes a new one.
            if (w.backupMadeNow) {
                ::unlink(w.hive->backupPath.c_str());
                w.hive->backupPath.clear();
            }
        } else {
            saved += (saved.empty() ? "" : "、") + w.hive->path;
        }
    }
    if (!result) {
        dropAll(slots);
        std::string message = "无法保存注册表：" + result.message();
        if (!saved.empty())
            message += "\n已保存的文件：" + saved + "。";
        else
            message += kNothingWritten;
        return Status::error(message, result.code() != 0 ? kErrorRegistryIoFailed : 0);
    }
    for (const Work& w : work) {
        const HiveTree& tree = *slots[static_cast<std::size_t>(w.hive->slot)].tree;
        if (Status s = readBack(w, tree); !s) {
            dropAll(slots);
            return Status::error("保存后读回 " + w.hive->path + " 时发现内容与预期不符：" +
                                     s.message() + "\n保存前的文件在 " + w.hive->backupPath +
                                     "，可用它替换回去。",
                                 kErrorRegistryIoFailed);
        }
    }
    for (HiveSlot& slot : slots) slot.pending.clear();
    return Status::ok();
}

std::string refusalFor(const HiveInspection& inspection) {
    return inspection.detail +
           "。\n请先启动这个 Windows，再完全关机（不要休眠，也不要用“快速启动”），让它写完注册表，"
           "然后再用 Hivora 修改";
}

}  // namespace

Result<WindowsRegistry> openWindowsRegistry(const WindowsInstallation& installation,
                                            const WindowsUser* user, const AnsiCodec& codec,
                                            WindowsStoreOptions options) {
    WindowsRegistry out;
    std::vector<MountedHive> hives;
    auto mount = [&](const std::string& path, HiveId slot, KeyPath graft) {
        if (!path.empty()) hives.push_back({path, slot, std::move(graft), {}, {}});
    };
    mount(installation.software, HiveId::System, {u"SOFTWARE"});
    mount(installation.system, HiveId::System, {u"SYSTEM"});
    mount(installation.defaultHive, HiveId::UserDefault, {});
    std::u16string userRoot = u"User\\" + std::u16string(kDefaultUserSid);
    if (user) {
        mount(user->ntuserPath, HiveId::User, {});
        mount(user->usrClassPath, HiveId::User, {u"Software", u"Classes"});
        if (!user->sid.empty()) userRoot = u"User\\" + asciiToUtf16(user->sid);
    }
    for (MountedHive& hive : hives) {
        const HiveInspection inspection = inspectHiveFile(hive.path);
        if (inspection.condition == HiveCondition::Unreadable)
            return Status::error(inspection.detail + "。" + kNothingWritten, kErrorRegistryCorrupt);
        if (inspection.condition != HiveCondition::Clean) {
            hive.refusal = refusalFor(inspection);
            out.warnings.push_back("注意：" + inspection.detail +
                                   "。显示的内容可能已经过时，Hivora 不会写入这个文件。");
        }
    }
    std::string volume = volumeWriteProblem(installation, options.volume);
    if (!volume.empty()) out.warnings.push_back("注意：" + volume);
    auto store = std::make_unique<WindowsHiveStore>(std::move(hives), installation.hiveFolder,
                                                    std::move(volume), std::move(userRoot),
                                                    std::move(options));
    std::array<std::unique_ptr<HiveTree>, kHiveCount> trees;
    for (std::size_t i = 0; i < kHiveCount; ++i) {
        auto tree = store->buildSlot(static_cast<HiveId>(i));
        if (!tree) return tree.status();
        trees[i] = std::move(tree).value();
    }
    out.registry = std::make_unique<TreeRegistry>(codec, std::move(trees), std::move(store));
    out.registry->setUserClassesMerged(true);
    return out;
}

}  // namespace hivora
