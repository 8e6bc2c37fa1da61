#pragma once
// The registry over three hive trees, with Windows semantics: the RegistryApi that the Wine-format
// store (platform/posix/file_store.h) and the in-memory registry for tests share.
//
// Roots: HKEY_LOCAL_MACHINE is the system hive; HKEY_CLASSES_ROOT is its Software\Classes;
// HKEY_CURRENT_USER is the user hive, also reachable as HKEY_USERS\<its SID>; HKEY_USERS\.Default
// is the default-user hive. HKEY_USERS itself holds no values and takes no new keys.
//
// Symbolic-link keys (Wine's "#link") are followed as Wine follows them, across hives
// (registry_links.h): opening, creating, deleting, reading and writing through a link acts on its
// target, and a link that leads nowhere fails with kErrorFileNotFound. RegOpenKeyExA and
// RegCreateKeyExA with kRegOptionOpenLink open the link key itself when it is named last.
//
// In-memory registry for tests. makeMemoryRegistry(codec) gives an empty registry that needs no
// files; the codec (usually makeAnsiCodec(936)) must outlive it. Fill it through the ordinary
// calls (RegCreateKeyExA, RegSetValueExA) or replaceHive(), and read it back the same way. Changes
// are batched until flush(), as in the file store. To simulate a store that refuses writes, call
// setFaults(): with `writeResult` set, every change is refused with that code (for example
// kErrorAccessDenied) and lastErrorMessage() gives `message`; with `failFlush` set, flush() fails
// and drops the changes made since the last flush, as a failed save does.
//
//     auto codec = makeAnsiCodec(936).value();
//     auto registry = makeMemoryRegistry(*codec);
//     registry->setFaults(RegistryFaults::refusingWrites(kErrorAccessDenied, "只读"));
//     registry->setFaults(RegistryFaults::failingFlush());   // flush() fails until reset
//     registry->setFaults({});                               // back to normal
//
// Not thread-safe: one thread at a time, as the program's user-interface thread uses it.

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ansi_codec.h"
#include "platform/registry_api.h"
#include "platform/registry_tree.h"

namespace hivora {

enum class HiveId { System = 0, User = 1, UserDefault = 2 };
inline constexpr std::size_t kHiveCount = 3;

// The SID under which Wine files the current user's hive.
inline constexpr char16_t kDefaultUserSid[] = u"S-1-5-21-0-0-0-1000";

// One hive as the registry holds it: the tree, and the changes made since the last save.
struct HiveSlot {
    std::unique_ptr<HiveTree> tree;
    std::vector<TreeChange> pending;
};

// Where the hives come from and go to. The registry asks before reading and before changing a
// hive, so that a store can bring its copy up to date with the disk, and hands it the changes to
// save at flush().
class HiveStore {
  public:
    virtual ~HiveStore() = default;
    // Before a read of `id`: may replace slot.tree with the file's newer contents; only when
    // nothing is pending.
    virtual void refresh(HiveId id, HiveSlot& slot) = 0;
    // Before a change of `id` at `path` (the key changed, or for new keys the first one made):
    // brings slot.tree up to date (applying slot.pending again to a newer file) and says whether
    // the hive may be changed there. A refusal carries a Windows result code and a sentence for
    // the user.
    virtual Status prepareChange(HiveId id, HiveSlot& slot, const KeyPath& path) = 0;
    // Makes the pending changes of every hive in `slots` durable, all together: when any hive
    // cannot be saved, none is changed, as far as the files allow (a failure between the files'
    // final renames leaves the ones renamed so far saved, and the Status names them). Hives saved
    // have their pending cleared; the others are dropped (slot.tree becomes what is on disk).
    virtual Status save(std::array<HiveSlot, kHiveCount>& slots) = 0;
    // Holds the store against other writers until unlock(), so that reads, a record elsewhere
    // and the save happen as one step. Calls nest. Failure: nothing is held, the Status says why.
    virtual Status lock() = 0;
    virtual void unlock() = 0;
    // Drops slot.pending and returns slot.tree to what was last saved.
    virtual void discard(HiveId id, HiveSlot& slot) = 0;
};

// Failures a test can ask for (see the header comment).
struct RegistryFaults {
    RegResult writeResult = kErrorSuccess;  // non-zero: every change is refused with it
    bool failFlush = false;                 // flush() fails and drops unsaved changes
    std::string message;                    // lastErrorMessage() for these failures

    static RegistryFaults refusingWrites(RegResult code, std::string message = {}) {
        RegistryFaults f;
        f.writeResult = code;
        f.message = std::move(message);
        return f;
    }
    static RegistryFaults failingFlush(std::string message = {}) {
        RegistryFaults f;
        f.failFlush = true;
        f.message = std::move(message);
        return f;
    }
};

class TreeRegistry : public RegistryApi {
  public:
    using Clock = std::function<FileTime()>;

    // `hives` in HiveId order; a null entry becomes an empty hive. `store` null: the hives live
    // in memory only (what makeMemoryRegistry gives).
    TreeRegistry(const AnsiCodec& codec, std::array<std::unique_ptr<HiveTree>, kHiveCount> hives,
                 std::unique_ptr<HiveStore> store);
    // Flushes what is still pending, as a last resort; callers flush themselves to learn errors.
    ~TreeRegistry() override;

    RegResult RegOpenKeyExA(RegKey key, const char* subKey, std::uint32_t options,
                            std::uint32_t sam, RegKey* result) override;
    RegResult RegOpenKeyA(RegKey key, const char* subKey, RegKey* result) override;
    RegResult RegCreateKeyExA(RegKey key, const char* subKey, std::uint32_t reserved,
                              const char* keyClass, std::uint32_t options, std::uint32_t sam,
                              RegKey* result, std::uint32_t* disposition) override;
    RegResult RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* type,
                               std::uint8_t* data, std::uint32_t* cbData) override;
    RegResult RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved,
                             std::uint32_t type, const std::uint8_t* data,
                             std::uint32_t cbData) override;
    RegResult RegEnumValueA(RegKey key, std::uint32_t index, char* valueName,
                            std::uint32_t* cchValueName, std::uint32_t* type, std::uint8_t* data,
                            std::uint32_t* cbData) override;
    RegResult RegDeleteValueA(RegKey key, const char* valueName) override;
    RegResult RegEnumKeyExA(RegKey key, std::uint32_t index, char* name, std::uint32_t* cchName,
                            char* keyClass, std::uint32_t* cchClass) override;
    RegResult RegDeleteKeyA(RegKey key, const char* subKey) override;
    RegResult RegCloseKey(RegKey key) override;

    // Saves the changes of every hive together; on failure those not saved are dropped (see
    // HiveStore::save).
    Status flush() override;
    Status lockStore() override;
    void unlockStore() override;
    bool discardChanges() override;
    // The sentence for the last failed call; kept until another call fails.
    std::string lastErrorMessage() const override { return m_lastError; }

    void setFaults(RegistryFaults faults) { m_faults = std::move(faults); }
    // The time stamp given to changed keys; the system clock unless set.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // Merges the user's classes into HKEY_CLASSES_ROOT as Windows does: a path below it whose
    // first key (".txt", "CLSID") exists in the user hive's Software\Classes is opened,
    // created and deleted there, any other in the system hive's Software\Classes. Enumerating
    // HKEY_CLASSES_ROOT itself lists the system's keys only. Off unless set (Wine does not
    // merge them).
    void setUserClassesMerged(bool merged) { m_userClassesMerged = merged; }
    // The hive's tree, for tests and the store's own checks.
    const HiveTree& hive(HiveId id) const { return *m_slots[index(id)].tree; }
    // Puts `tree` in place of the hive as if it had been read from disk (no change is pending).
    void replaceHive(HiveId id, std::unique_ptr<HiveTree> tree);
    // Number of open (non-predefined) handles, for leak checks in tests.
    std::size_t openHandleCount() const { return m_handles.size(); }

  private:
    // What a handle names: a key of one hive, or HKEY_USERS itself.
    struct Location {
        bool usersRoot = false;
        HiveId hive = HiveId::System;
        KeyPath path;
        // Set when the key is deleted: the handle keeps failing with kErrorKeyDeleted even after
        // a key of the same name is created again, as on Windows.
        bool deleted = false;
    };
    // Marks every open handle on `where` or below it as deleted.
    void markHandlesDeleted(const Location& where);

    static std::size_t index(HiveId id) { return static_cast<std::size_t>(id); }
    HiveSlot& slot(HiveId id) { return m_slots[index(id)]; }

    const Location* locate(RegKey key) const;
    bool isPredefined(RegKey key) const;
    // Where `sub` leads below `base`: the last key of the path that exists, links on the way
    // followed as registry_links.h describes (the last name's link only when `followLast`), as
    // `reached`, and the names below it that do not exist as `rest`. Handles keep `reached`, so a
    // handle opened through a link names the target. kErrorFileNotFound (with a message) when a
    // link on the way fails.
    RegResult resolve(const Location& base, const KeyPath& sub, bool followLast, Location& reached,
                      KeyPath& rest);
    // The name of the current user's hive under HKEY_USERS.
    std::u16string userSid() const;
    // The key a location names, after letting the store refresh the hive; null when it is gone.
    TreeKey* findKey(const Location& where);
    RegResult missingKeyResult(RegKey handle) const;

    RegResult openKey(RegKey key, const char* subKey, bool openLink, RegKey* result);
    // The base to take `path` below `key` from: `base` itself, or with user classes merged and
    // `key` HKEY_CLASSES_ROOT, the user's classes (kept in `holder`) when the path is there.
    const Location* classesBase(RegKey key, const Location* base, const KeyPath& path,
                                Location& holder);
    RegKey addHandle(Location where);
    // Converts between the caller's ANSI text and the tree's UTF-16.
    RegResult toText(const char* ansi, std::u16string& out);
    RegResult toAnsi(std::u16string_view text, std::string& out);
    // The ANSI form of a value's data and the byte count a size query reports for it.
    RegResult ansiData(const TreeValue& value, std::string& bytes, std::uint32_t& needed);
    // Hands a value's type and data to a query or an enumeration: the size needed for a null
    // `data`, kErrorMoreData and the size needed for a short buffer, else the bytes.
    RegResult deliverData(const TreeValue& value, std::uint32_t* type, std::uint8_t* data,
                          std::uint32_t* cbData);
    // Asks the faults and the store whether the hive may change now at `path`.
    RegResult prepareChange(HiveId id, const KeyPath& path);
    void record(HiveId id, TreeChange change);
    RegResult fail(RegResult code, std::string message);
    FileTime now() const { return m_clock(); }

    const AnsiCodec& m_codec;
    std::array<HiveSlot, kHiveCount> m_slots;
    std::unique_ptr<HiveStore> m_store;
    std::unordered_map<RegKey, Location> m_handles;
    RegKey m_nextHandle = 0x1000;
    RegistryFaults m_faults;
    bool m_userClassesMerged = false;
    Clock m_clock;
    std::string m_lastError;
};

// An empty registry held in memory only (see the header comment).
std::unique_ptr<TreeRegistry> makeMemoryRegistry(const AnsiCodec& codec);

// The current time as a FILETIME.
FileTime systemFileTime();

}  // namespace hivora
