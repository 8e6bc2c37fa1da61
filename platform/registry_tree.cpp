#include "platform/registry_tree.h"

#include <algorithm>

#include "platform/unicode_text.h"

namespace hivora {

namespace {

// Index of the first element not ordered before `name`. Files list names in order, so the
// common case while loading is "after the last one"; that is checked first.
template <typename Vec, typename NameOf>
std::size_t lowerBound(const Vec& items, std::u16string_view name, NameOf nameOf) {
    if (items.empty() || compareNames(nameOf(items.back()), name) < 0) return items.size();
    std::size_t lo = 0, hi = items.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi) / 2;
        if (compareNames(nameOf(items[mid]), name) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

const std::u16string& keyName(const std::unique_ptr<TreeKey>& k) {
    return k->name;
}
const std::u16string& valueName(const TreeValue& v) {
    return v.name;
}

// Copies one key's own fields; its sub-keys are left to the caller.
std::unique_ptr<TreeKey> copyKeyFields(const TreeKey& key, TreeKey* parent) {
    auto copy = std::make_unique<TreeKey>();
    copy->name = key.name;
    copy->parent = parent;
    copy->values = key.values;
    copy->keyClass = key.keyClass;
    copy->modified = key.modified;
    copy->isLink = key.isLink;
    copy->isVolatile = key.isVolatile;
    copy->extraLines = key.extraLines;
    copy->sourceLeading = key.sourceLeading;
    copy->sourceBlock = key.sourceBlock;
    copy->changed = key.changed;
    return copy;
}

// A copy of the branch at `key`, level by level with an explicit list of keys still to copy.
std::unique_ptr<TreeKey> cloneBranch(const TreeKey& key) {
    std::unique_ptr<TreeKey> top = copyKeyFields(key, nullptr);
    std::vector<std::pair<const TreeKey*, TreeKey*>> todo{{&key, top.get()}};
    while (!todo.empty()) {
        const auto [from, to] = todo.back();
        todo.pop_back();
        to->subKeys.reserve(from->subKeys.size());
        for (const auto& sub : from->subKeys) {
            to->subKeys.push_back(copyKeyFields(*sub, to));
            todo.emplace_back(sub.get(), to->subKeys.back().get());
        }
    }
    return top;
}

}  // namespace

KeyPath splitKeyPath(std::u16string_view path) {
    KeyPath parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(u'\\', start);
        if (end == std::u16string_view::npos) end = path.size();
        if (end > start) parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

TreeKey::~TreeKey() {
    // Each key taken from the list hands its own sub-keys to the list before it goes, so every
    // destructor below this one finds no sub-keys and returns at once.
    std::vector<std::unique_ptr<TreeKey>> pending = std::move(subKeys);
    while (!pending.empty()) {
        std::unique_ptr<TreeKey> key = std::move(pending.back());
        pending.pop_back();
        for (auto& sub : key->subKeys) pending.push_back(std::move(sub));
        key->subKeys.clear();
    }
}

TreeKey* TreeKey::findSubKey(std::u16string_view wanted) const {
    const std::size_t i = lowerBound(subKeys, wanted, keyName);
    if (i < subKeys.size() && namesEqual(subKeys[i]->name, wanted)) return subKeys[i].get();
    return nullptr;
}

TreeKey& TreeKey::addSubKey(std::u16string newName) {
    const std::size_t i = lowerBound(subKeys, newName, keyName);
    auto key = std::make_unique<TreeKey>();
    key->name = std::move(newName);
    key->parent = this;
    TreeKey& ref = *key;
    subKeys.insert(subKeys.begin() + static_cast<std::ptrdiff_t>(i), std::move(key));
    return ref;
}

bool TreeKey::removeSubKey(std::u16string_view wanted) {
    const std::size_t i = lowerBound(subKeys, wanted, keyName);
    if (i >= subKeys.size() || !namesEqual(subKeys[i]->name, wanted)) return false;
    subKeys.erase(subKeys.begin() + static_cast<std::ptrdiff_t>(i));
    return true;
}

const TreeValue* TreeKey::findValue(std::u16string_view wanted) const {
    const std::size_t i = lowerBound(values, wanted, valueName);
    if (i < values.size() && namesEqual(values[i].name, wanted)) return &values[i];
    return nullptr;
}

TreeValue& TreeKey::setValue(std::u16string_view newName, std::uint32_t type,
                             std::vector<std::uint8_t> data) {
    const std::size_t i = lowerBound(values, newName, valueName);
    if (i < values.size() && namesEqual(values[i].name, newName)) {
        // Windows keeps the name's first spelling when a value is replaced.
        TreeValue& v = values[i];
        v.type = type;
        v.data = std::move(data);
        v.sourceText = {};
        return v;
    }
    TreeValue v;
    v.name = std::u16string(newName);
    v.type = type;
    v.data = std::move(data);
    return *values.insert(values.begin() + static_cast<std::ptrdiff_t>(i), std::move(v));
}

bool TreeKey::removeValue(std::u16string_view wanted) {
    const std::size_t i = lowerBound(values, wanted, valueName);
    if (i >= values.size() || !namesEqual(values[i].name, wanted)) return false;
    values.erase(values.begin() + static_cast<std::ptrdiff_t>(i));
    return true;
}

KeyPath TreeKey::path() const {
    KeyPath parts;
    for (const TreeKey* k = this; k->parent; k = k->parent) parts.push_back(k->name);
    std::reverse(parts.begin(), parts.end());
    return parts;
}

HiveTree::HiveTree() : root(std::make_unique<TreeKey>()) {}

TreeKey* HiveTree::findKey(const KeyPath& path) const {
    TreeKey* key = root.get();
    for (const auto& part : path) {
        key = key->findSubKey(part);
        if (!key) return nullptr;
    }
    return key;
}

HiveTree::Created HiveTree::createKey(const KeyPath& path,
                                      const std::optional<std::u16string>& keyClass, FileTime now,
                                      bool isVolatile) {
    TreeKey* key = root.get();
    bool created = false;
    for (const auto& part : path) {
        if (TreeKey* sub = key->findSubKey(part)) {
            key = sub;
            continue;
        }
        key->touch(now);
        TreeKey& fresh = key->addSubKey(part);
        fresh.keyClass = keyClass;
        fresh.isVolatile = isVolatile || key->isVolatile;
        fresh.touch(now);
        key = &fresh;
        created = true;
    }
    return {key, created};
}

void HiveTree::deleteKey(TreeKey& key, FileTime now) {
    TreeKey* parent = key.parent;
    if (!parent) return;
    parent->touch(now);
    parent->removeSubKey(key.name);  // destroys `key`
}

std::unique_ptr<HiveTree> HiveTree::clone() const {
    auto copy = std::make_unique<HiveTree>();
    copy->rootName = rootName;
    copy->source = source;
    copy->headerText = headerText;
    copy->header = header;
    copy->trailer = trailer;
    copy->root = cloneBranch(*root);
    return copy;
}

void replayChange(HiveTree& tree, const TreeChange& change) {
    switch (change.kind) {
        case TreeChange::Kind::CreateKey:
            tree.createKey(change.path, change.keyClass, change.time, change.isVolatile);
            return;
        case TreeChange::Kind::SetValue: {
            TreeKey* key = tree.createKey(change.path, std::nullopt, change.time, false).key;
            key->setValue(change.valueName, change.type, change.data);
            key->touch(change.time);
            return;
        }
        case TreeChange::Kind::DeleteValue:
            if (TreeKey* key = tree.findKey(change.path)) {
                if (key->removeValue(change.valueName)) key->touch(change.time);
            }
            return;
        case TreeChange::Kind::DeleteKey:
            if (TreeKey* key = tree.findKey(change.path)) {
                if (key->parent && key->subKeys.empty()) tree.deleteKey(*key, change.time);
            }
            return;
    }
}

}  // namespace hivora
