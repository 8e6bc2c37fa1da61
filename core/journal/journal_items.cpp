#include "core/journal/journal_items.h"

#include <algorithm>

namespace hivora {
namespace {

bool createsKeys(RegOpKind kind) {
    return kind != RegOpKind::DeleteValue && kind != RegOpKind::RemoveKey;
}

void addOnce(std::vector<JournalItem>& items, JournalItem item) {
    for (const JournalItem& have : items)
        if (have.sameTarget(item)) return;
    items.push_back(std::move(item));
}

// The highest key of `key`'s path that does not exist; "" when the whole path exists.
Result<std::string> highestMissing(RegistryView view, RegKey root, const std::string& key) {
    std::size_t end = 0;
    while (end != std::string::npos) {
        end = key.find('\\', end + 1);
        const std::string prefix = key.substr(0, end);
        if (prefix.empty() || prefix.back() == '\\') continue;
        Result<bool> exists = keyExists(view, root, prefix);
        if (!exists) return exists.status();
        if (!exists.value()) return prefix;
    }
    return std::string();
}

// HKEY_CLASSES_ROOT shows HKEY_LOCAL_MACHINE\Software\Classes. Where that key is missing (a new
// store), a write under HKEY_CLASSES_ROOT makes it, and only that key taken whole can take it
// back: the missing key is looked for along the machine's path.
constexpr char kMachineClasses[] = "Software\\Classes";

Result<std::pair<RegKey, std::string>> highestMissingOf(RegistryView view, RegKey root,
                                                        const std::string& key) {
    if (root == kHkeyClassesRoot) {
        Result<std::string> classes = highestMissing(view, kHkeyLocalMachine, kMachineClasses);
        if (!classes) return classes.status();
        if (!classes.value().empty())
            return std::pair{kHkeyLocalMachine, std::move(classes).value()};
    }
    Result<std::string> missing = highestMissing(view, root, key);
    if (!missing) return missing.status();
    return std::pair{root, std::move(missing).value()};
}

Status readOne(RegistryView view, JournalItem& item, bool before) {
    if (item.kind == ItemKind::Value) {
        Result<ValueState> state = readValueState(view, item.root, item.key, item.name);
        if (!state) return state.status();
        (before ? item.valueBefore : item.valueAfter) = std::move(state).value();
    } else {
        Result<KeyState> state = readKeyState(view, item.root, item.key);
        if (!state) return state.status();
        (before ? item.keyBefore : item.keyAfter) = std::move(state).value();
    }
    return Status::ok();
}

void note(std::vector<std::string>& failures, const JournalItem& item, const Status& status) {
    if (!status) failures.push_back(itemPath(item) + "：" + status.message());
}

}  // namespace

Result<std::vector<JournalItem>> itemsTouchedBy(RegistryView view, std::span<const RegOp> ops) {
    std::vector<JournalItem> items;
    for (const RegOp& op : ops) {
        if (createsKeys(op.kind)) {
            Result<std::pair<RegKey, std::string>> missing =
                highestMissingOf(view, op.root, op.key);
            if (!missing) return missing.status();
            const auto& [root, key] = missing.value();
            if (!key.empty()) addOnce(items, {ItemKind::Key, root, key, {}, {}, {}, {}, {}});
        }
        switch (op.kind) {
            case RegOpKind::SetString:
            case RegOpKind::SetExpandString:
            case RegOpKind::SetDword:
            case RegOpKind::SetBinary:
            case RegOpKind::SetRaw:
            case RegOpKind::DeleteValue:
                addOnce(items, {ItemKind::Value, op.root, op.key, op.name, {}, {}, {}, {}});
                break;
            case RegOpKind::RemoveKey: {
                // Recorded as the registry spells it, so that it comes back spelt so.
                Result<std::string> stored = keyPathAsStored(view, op.root, op.key);
                if (!stored) return stored.status();
                addOnce(items, {ItemKind::Key, op.root, stored.value(), {}, {}, {}, {}, {}});
                break;
            }
            case RegOpKind::CreateKey:
            case RegOpKind::RestoreKey:
                break;
        }
    }
    if (Status s = readItemStates(view, items, true); !s) return s;
    for (JournalItem& item : items) {
        item.valueAfter = item.valueBefore;
        item.keyAfter = item.keyBefore;
    }
    return items;
}

Status readItemStates(RegistryView view, std::vector<JournalItem>& items, bool before) {
    for (JournalItem& item : items)
        if (Status s = readOne(view, item, before); !s) return s;
    return Status::ok();
}

Result<JournalItem> currentStateOf(RegistryView view, const JournalItem& item) {
    JournalItem now = item;
    if (Status s = readOne(view, now, true); !s) return s;
    return now;
}

bool sameState(const JournalItem& now, const JournalItem& recorded, bool before) {
    if (now.kind == ItemKind::Value)
        return now.valueBefore == (before ? recorded.valueBefore : recorded.valueAfter);
    return now.keyBefore.sameContent(before ? recorded.keyBefore : recorded.keyAfter);
}

void writeItemStates(RegistryView view, std::span<const JournalItem> items, bool toBefore,
                     std::vector<std::string>& failures) {
    const auto keyWanted = [&](const JournalItem& item) -> const KeyState& {
        return toBefore ? item.keyBefore : item.keyAfter;
    };
    for (const JournalItem& item : items) {
        if (item.kind == ItemKind::Key && keyWanted(item).present)
            note(failures, item, writeKeyState(view, item.root, item.key, keyWanted(item)));
    }
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        if (it->kind == ItemKind::Value)
            note(failures, *it,
                 writeValueState(view, it->root, it->key, it->name,
                                 toBefore ? it->valueBefore : it->valueAfter));
    }
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        if (it->kind == ItemKind::Key && !keyWanted(*it).present)
            note(failures, *it, writeKeyState(view, it->root, it->key, keyWanted(*it)));
    }
}

const JournalItem* lastRemovedKey(const ChangeJournal& journal, RegKey root,
                                  const std::string& key) {
    JournalItem wanted{ItemKind::Key, root, key, {}, {}, {}, {}, {}};
    const auto& entries = journal.entries();
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        for (const JournalItem& item : entry->items) {
            if (item.sameTarget(wanted) && item.keyBefore.present && !item.keyAfter.present)
                return &item;
        }
    }
    return nullptr;
}

std::string itemPath(const JournalItem& item) {
    std::string path = std::string(rootName(item.root)) + "\\" + item.key + "\\";
    if (item.kind == ItemKind::Value) path += item.name.empty() ? "（默认）" : item.name;
    return path;
}

}  // namespace hivora
