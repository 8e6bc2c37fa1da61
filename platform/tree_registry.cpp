#include "platform/tree_registry.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>

#include "platform/registry_links.h"
#include "platform/unicode_text.h"

namespace hivora {

namespace {

constexpr std::uint32_t kRegOptionVolatile = 1;
constexpr std::size_t kMaxKeyNameLength = 255;
// Said when a path leads through a link key whose target cannot be found.
constexpr char kBrokenLinkMessage[] = "注册表中的链接项指向不存在的位置，或链接层层相扣无法到达。";
bool startsWithSeparator(const std::u16string& path) {
    return !path.empty() && path[0] == u'\\';
}

// The store of the in-memory registry: a copy of each hive as it was at the last flush, taken at
// the first change after it, to go back to when a flush is made to fail.
class MemoryHiveStore final : public HiveStore {
  public:
    void refresh(HiveId, HiveSlot&) override {}
    Status prepareChange(HiveId id, HiveSlot& slot, const KeyPath&) override {
        if (slot.pending.empty()) saved(id) = slot.tree->clone();
        return Status::ok();
    }
    Status save(std::array<HiveSlot, kHiveCount>& slots) override {
        for (std::size_t i = 0; i < kHiveCount; ++i) {
            m_saved[i].reset();
            slots[i].pending.clear();
        }
        return Status::ok();
    }
    Status lock() override { return Status::ok(); }
    void unlock() override {}
    void discard(HiveId id, HiveSlot& slot) override {
        if (saved(id)) slot.tree = std::move(saved(id));
        slot.pending.clear();
    }

  private:
    std::unique_ptr<HiveTree>& saved(HiveId id) { return m_saved[static_cast<std::size_t>(id)]; }
    std::array<std::unique_ptr<HiveTree>, kHiveCount> m_saved;
};

}  // namespace

FileTime systemFileTime() {
    const auto since1970 = std::chrono::duration_cast<std::chrono::nanoseconds>(
                               std::chrono::system_clock::now().time_since_epoch())
                               .count();
    return kTicks1601To1970 + static_cast<FileTime>(since1970 / 100);
}

TreeRegistry::TreeRegistry(const AnsiCodec& codec,
                           std::array<std::unique_ptr<HiveTree>, kHiveCount> hives,
                           std::unique_ptr<HiveStore> store)
    : m_codec(codec),
      m_store(store ? std::move(store) : std::make_unique<MemoryHiveStore>()),
      m_clock(systemFileTime) {
    for (std::size_t i = 0; i < kHiveCount; ++i)
        m_slots[i].tree = hives[i] ? std::move(hives[i]) : std::make_unique<HiveTree>();
}

TreeRegistry::~TreeRegistry() {
    bool pending = false;
    for (const HiveSlot& s : m_slots) pending = pending || !s.pending.empty();
    if (pending) (void)flush();
}

void TreeRegistry::replaceHive(HiveId id, std::unique_ptr<HiveTree> tree) {
    slot(id).tree = std::move(tree);
    slot(id).pending.clear();
}

bool TreeRegistry::isPredefined(RegKey key) const {
    return key >= kHkeyClassesRoot && key <= kHkeyUsers;
}

const TreeRegistry::Location* TreeRegistry::locate(RegKey key) const {
    static const Location kRoots[] = {
        {false, HiveId::System, {u"Software", u"Classes"}},  // HKEY_CLASSES_ROOT
        {false, HiveId::User, {}},                           // HKEY_CURRENT_USER
        {false, HiveId::System, {}},                         // HKEY_LOCAL_MACHINE
        {true, HiveId::System, {}},                          // HKEY_USERS
    };
    if (isPredefined(key)) return &kRoots[key - kHkeyClassesRoot];
    const auto it = m_handles.find(key);
    return it == m_handles.end() ? nullptr : &it->second;
}

std::u16string TreeRegistry::userSid() const {
    // The SID on the second line of user.reg ("User\S-1-5-21-...").
    const std::u16string& userRoot = m_slots[index(HiveId::User)].tree->rootName;
    const std::size_t cut = userRoot.rfind(u'\\');
    return cut == std::u16string::npos ? std::u16string(kDefaultUserSid) : userRoot.substr(cut + 1);
}

RegResult TreeRegistry::resolve(const Location& base, const KeyPath& sub, bool followLast,
                                Location& reached, KeyPath& rest) {
    // Each hive is brought up to date once, on its first use, so that the keys the walk holds
    // stay valid while it goes on.
    std::array<bool, kHiveCount> refreshed{};
    LinkWalker walker(
        [this, &refreshed](HiveId id) -> HiveTree& {
            if (!refreshed[index(id)]) m_store->refresh(id, slot(id));
            refreshed[index(id)] = true;
            return *slot(id).tree;
        },
        userSid());
    KeySpot start{KeySpot::Kind::Users};
    if (!base.usersRoot) {
        // A handle names its key by its own path, links already followed, so that path is taken
        // name by name. Only a predefined root can be missing here (HKEY_CLASSES_ROOT in a new
        // hive); what is missing of it is left to create, with the sub-key's names.
        TreeKey* key = walker.tree(base.hive).root.get();
        std::size_t found = 0;
        for (; found < base.path.size(); ++found) {
            TreeKey* next = key->findSubKey(base.path[found]);
            if (!next) break;
            key = next;
        }
        if (found < base.path.size()) {
            reached = Location{false, base.hive, key->path()};
            rest.assign(base.path.begin() + static_cast<std::ptrdiff_t>(found), base.path.end());
            rest.insert(rest.end(), sub.begin(), sub.end());
            return kErrorSuccess;
        }
        start = KeySpot{KeySpot::Kind::Key, base.hive, key};
    }
    const LinkWalker::Walk walk = walker.walk(start, sub, followLast);
    if (!walk.ok) return fail(kErrorFileNotFound, kBrokenLinkMessage);
    if (walk.reached.kind == KeySpot::Kind::Users)
        reached = Location{true, HiveId::System, {}};
    else
        reached = Location{false, walk.reached.hive, walk.reached.key->path()};
    rest.assign(sub.begin() + static_cast<std::ptrdiff_t>(walk.matched), sub.end());
    return kErrorSuccess;
}

TreeKey* TreeRegistry::findKey(const Location& where) {
    if (where.usersRoot || where.deleted) return nullptr;
    HiveSlot& s = slot(where.hive);
    m_store->refresh(where.hive, s);
    return s.tree->findKey(where.path);
}

RegResult TreeRegistry::missingKeyResult(RegKey handle) const {
    // An opened handle whose key has gone was deleted under it; a predefined root whose key is
    // missing (HKEY_CLASSES_ROOT in an empty hive) simply has nothing in it.
    return isPredefined(handle) ? kErrorFileNotFound : kErrorKeyDeleted;
}

void TreeRegistry::markHandlesDeleted(const Location& where) {
    const auto sameName = [](const std::u16string& a, const std::u16string& b) {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) {
                   return foldNameChar(x) == foldNameChar(y);
               });
    };
    for (auto& [handle, location] : m_handles) {
        if (location.usersRoot || location.hive != where.hive ||
            location.path.size() < where.path.size()) {
            continue;
        }
        if (std::equal(where.path.begin(), where.path.end(), location.path.begin(), sameName)) {
            location.deleted = true;
        }
    }
}

RegKey TreeRegistry::addHandle(Location where) {
    const RegKey handle = m_nextHandle;
    m_nextHandle += 4;  // handles look like Windows handles: multiples of four
    m_handles.emplace(handle, std::move(where));
    return handle;
}

RegResult TreeRegistry::fail(RegResult code, std::string message) {
    m_lastError = std::move(message);
    return code;
}

RegResult TreeRegistry::prepareChange(HiveId id, const KeyPath& path) {
    if (m_faults.writeResult != kErrorSuccess)
        return fail(m_faults.writeResult,
                    m_faults.message.empty() ? "无法写入注册表：访问被拒绝。" : m_faults.message);
    const Status s = m_store->prepareChange(id, slot(id), path);
    if (!s) return fail(s.code() != 0 ? s.code() : kErrorAccessDenied, s.message());
    return kErrorSuccess;
}

void TreeRegistry::record(HiveId id, TreeChange change) {
    slot(id).pending.push_back(std::move(change));
}

const TreeRegistry::Location* TreeRegistry::classesBase(RegKey key, const Location* base,
                                                      const KeyPath& path, Location& holder) {
    if (!m_userClassesMerged || key != kHkeyClassesRoot || path.empty()) return base;
    // Decided by the class key the path starts with (".txt", "txtfile", "CLSID"): the user's
    // when the user has it, so that keys made below it go there too.
    holder = Location{false, HiveId::User, {u"Software", u"Classes", path.front()}};
    const bool usersOwn = slot(HiveId::User).tree->findKey(holder.path) != nullptr;
    holder.path.pop_back();
    return usersOwn ? &holder : base;
}

RegResult TreeRegistry::openKey(RegKey key, const char* subKey, bool openLink, RegKey* result) {
    if (!result) return kErrorInvalidParameter;
    *result = 0;
    const Location* base = locate(key);
    if (!base) return kErrorInvalidHandle;
    std::u16string sub;
    if (const RegResult r = toText(subKey, sub)) return r;
    if (startsWithSeparator(sub)) return kErrorBadPathname;
    const KeyPath path = splitKeyPath(sub);
    Location userClasses;
    base = classesBase(key, base, path, userClasses);
    if (!base->usersRoot && !findKey(*base)) return missingKeyResult(key);
    Location where;
    KeyPath missing;
    if (const RegResult r = resolve(*base, path, !openLink, where, missing)) return r;
    if (!missing.empty()) return kErrorFileNotFound;
    *result = addHandle(std::move(where));
    return kErrorSuccess;
}

RegResult TreeRegistry::RegOpenKeyExA(RegKey key, const char* subKey, std::uint32_t options,
                                      std::uint32_t, RegKey* result) {
    return openKey(key, subKey, (options & kRegOptionOpenLink) != 0, result);
}

RegResult TreeRegistry::RegOpenKeyA(RegKey key, const char* subKey, RegKey* result) {
    // Without a sub-key RegOpenKey hands back the very handle it was given.
    if (result && (!subKey || !*subKey)) {
        *result = 0;
        if (!locate(key)) return kErrorInvalidHandle;
        *result = key;
        return kErrorSuccess;
    }
    return openKey(key, subKey, false, result);
}

RegResult TreeRegistry::RegCreateKeyExA(RegKey key, const char* subKey, std::uint32_t,
                                        const char* keyClass, std::uint32_t options, std::uint32_t,
                                        RegKey* result, std::uint32_t* disposition) {
    if (!result) return kErrorInvalidParameter;
    *result = 0;
    const Location* base = locate(key);
    if (!base) return kErrorInvalidHandle;
    std::u16string sub, cls;
    if (const RegResult r = toText(subKey, sub)) return r;
    if (const RegResult r = toText(keyClass, cls)) return r;
    if (startsWithSeparator(sub)) return kErrorBadPathname;
    const KeyPath path = splitKeyPath(sub);
    for (const auto& part : path)
        if (part.size() > kMaxKeyNameLength) return kErrorInvalidParameter;
    Location userClasses;
    base = classesBase(key, base, path, userClasses);
    if (!base->usersRoot && !isPredefined(key) && !findKey(*base)) return kErrorKeyDeleted;
    const bool openLink = (options & kRegOptionOpenLink) != 0;
    Location where;
    KeyPath missing;
    if (const RegResult r = resolve(*base, path, !openLink, where, missing)) return r;
    std::optional<HiveId> prepared;
    if (!missing.empty()) {
        if (where.usersRoot) return kErrorAccessDenied;  // HKEY_USERS takes no new hives
        // The new keys go below the last existing key, which is where a link on the way led.
        // Preparing may bring the hive up to date with the disk, so the path is looked up again.
        KeyPath first = where.path;
        first.push_back(missing.front());
        if (const RegResult r = prepareChange(where.hive, first)) return r;
        prepared = where.hive;
        if (const RegResult r = resolve(*base, path, !openLink, where, missing)) return r;
    }
    if (missing.empty()) {
        if (disposition) *disposition = kRegOpenedExistingKey;
        *result = addHandle(std::move(where));
        return kErrorSuccess;
    }
    if (where.usersRoot || where.hive != prepared)
        return fail(kErrorAccessDenied, "注册表在读取期间被其他程序改动，请重试。");
    where.path.insert(where.path.end(), missing.begin(), missing.end());

    TreeChange change;
    change.kind = TreeChange::Kind::CreateKey;
    change.path = where.path;
    if (!cls.empty()) change.keyClass = cls;
    change.isVolatile = (options & kRegOptionVolatile) != 0;
    change.time = now();
    const bool created =
        slot(where.hive)
            .tree->createKey(change.path, change.keyClass, change.time, change.isVolatile)
            .created;
    if (created) record(where.hive, std::move(change));
    if (disposition) *disposition = created ? kRegCreatedNewKey : kRegOpenedExistingKey;
    *result = addHandle(std::move(where));
    return kErrorSuccess;
}

RegResult TreeRegistry::RegDeleteKeyA(RegKey key, const char* subKey) {
    const Location* base = locate(key);
    if (!base) return kErrorInvalidHandle;
    if (!subKey)
        return kErrorInvalidParameter;  // as Windows: "" names the key itself, null nothing
    std::u16string sub;
    if (const RegResult r = toText(subKey, sub)) return r;
    if (startsWithSeparator(sub)) return kErrorBadPathname;
    const KeyPath path = splitKeyPath(sub);
    // The predefined roots and the hives' own roots cannot be deleted.
    if (path.empty() && isPredefined(key)) return kErrorAccessDenied;
    Location userClasses;
    base = classesBase(key, base, path, userClasses);
    if (!base->usersRoot && !findKey(*base)) return missingKeyResult(key);
    // As Windows does, the key is opened as for reading, so a link named last is followed and
    // its target is what goes.
    Location where;
    KeyPath missing;
    if (const RegResult r = resolve(*base, path, true, where, missing)) return r;
    if (!missing.empty()) return kErrorFileNotFound;
    if (where.usersRoot || where.path.empty()) return kErrorAccessDenied;
    const TreeKey* target = findKey(where);
    if (!target) return kErrorFileNotFound;
    if (!target->subKeys.empty()) return kErrorAccessDenied;  // as Windows: sub-keys first
    if (const RegResult r = prepareChange(where.hive, where.path)) return r;
    TreeKey* fresh = findKey(where);
    if (!fresh) return kErrorFileNotFound;
    if (!fresh->subKeys.empty()) return kErrorAccessDenied;
    TreeChange change;
    change.kind = TreeChange::Kind::DeleteKey;
    change.path = where.path;
    change.time = now();
    slot(where.hive).tree->deleteKey(*fresh, change.time);
    markHandlesDeleted(where);
    record(where.hive, std::move(change));
    return kErrorSuccess;
}

RegResult TreeRegistry::RegEnumKeyExA(RegKey key, std::uint32_t index, char* name,
                                      std::uint32_t* cchName, char* keyClass,
                                      std::uint32_t* cchClass) {
    const Location* where = locate(key);
    if (!where) return kErrorInvalidHandle;
    if (!name || !cchName || (keyClass && !cchClass)) return kErrorInvalidParameter;
    std::u16string subName, subClass;
    if (where->usersRoot) {
        // HKEY_USERS lists the default user's hive, then the current user's by its SID.
        if (index > 1) return kErrorNoMoreItems;
        subName = index == 0 ? std::u16string(u".Default") : userSid();
    } else {
        const TreeKey* k = findKey(*where);
        if (!k) return missingKeyResult(key);
        if (index >= k->subKeys.size()) return kErrorNoMoreItems;
        subName = k->subKeys[index]->name;
        subClass = k->subKeys[index]->keyClass.value_or(std::u16string());
    }
    // Both texts are checked before either buffer is written, as a short buffer leaves both.
    std::string ansiName, ansiClass;
    if (const RegResult r = toAnsi(subName, ansiName)) return r;
    if (const RegResult r = toAnsi(subClass, ansiClass)) return r;
    if (ansiName.size() >= *cchName || (keyClass && ansiClass.size() >= *cchClass))
        return kErrorMoreData;
    std::memcpy(name, ansiName.data(), ansiName.size() + 1);
    *cchName = static_cast<std::uint32_t>(ansiName.size());
    if (keyClass) {
        std::memcpy(keyClass, ansiClass.data(), ansiClass.size() + 1);
        *cchClass = static_cast<std::uint32_t>(ansiClass.size());
    }
    return kErrorSuccess;
}

RegResult TreeRegistry::RegCloseKey(RegKey key) {
    if (isPredefined(key)) return kErrorSuccess;
    return m_handles.erase(key) == 1 ? kErrorSuccess : kErrorInvalidHandle;
}

Status TreeRegistry::flush() {
    bool pending = false;
    for (const HiveSlot& s : m_slots) pending = pending || !s.pending.empty();
    if (!pending) return Status::ok();
    Status outcome;
    if (m_faults.failFlush) {
        for (std::size_t i = 0; i < kHiveCount; ++i)
            if (!m_slots[i].pending.empty()) m_store->discard(static_cast<HiveId>(i), m_slots[i]);
        outcome = Status::error(
            m_faults.message.empty() ? "无法保存注册表：写入失败。" : m_faults.message,
            kErrorWriteFault);
    } else {
        outcome = m_store->save(m_slots);
    }
    if (!outcome) m_lastError = outcome.message();
    return outcome;
}

Status TreeRegistry::lockStore() {
    return m_store->lock();
}

void TreeRegistry::unlockStore() {
    m_store->unlock();
}

bool TreeRegistry::discardChanges() {
    for (std::size_t i = 0; i < kHiveCount; ++i)
        if (!m_slots[i].pending.empty()) m_store->discard(static_cast<HiveId>(i), m_slots[i]);
    return true;
}

std::unique_ptr<TreeRegistry> makeMemoryRegistry(const AnsiCodec& codec) {
    return std::make_unique<TreeRegistry>(
        codec, std::array<std::unique_ptr<HiveTree>, kHiveCount>{}, nullptr);
}

}  // namespace hivora
