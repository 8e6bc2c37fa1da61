#include "core/export/export_changes.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <tuple>
#include <unordered_map>

#include "core/journal/journal_text.h"
#include "core/journal/undo_chain.h"

namespace hivora {

std::vector<std::size_t> entriesNotUndone(const std::vector<JournalEntry>& entries) {
    const UndoChain chain = walkUndoChain(entries);
    std::vector<std::size_t> chosen;
    for (std::size_t i = 0; i < chain.entries.size(); ++i) {
        const EntryStatus& status = chain.entries[i];
        if (status.role == EntryRole::Action && !status.undone) chosen.push_back(i);
    }
    return chosen;
}

Result<std::vector<std::size_t>> entriesInIdRange(const std::vector<JournalEntry>& entries,
                                                  std::int64_t first, std::int64_t last) {
    if (first > last) return Status::error("记录范围无效：起点大于终点");
    std::vector<std::size_t> chosen;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].id >= first && entries[i].id <= last) chosen.push_back(i);
    if (chosen.empty())
        return Status::error("记录 " + std::to_string(first) + "-" + std::to_string(last) +
                             " 中没有任何修改记录");
    return chosen;
}

namespace {

// What JournalItem::sameTarget compares, as one string: kind, root, and the key (and a value's
// name) with ASCII letters folded.
std::string targetOf(const JournalItem& item) {
    std::string target = item.kind == ItemKind::Key ? "k" : "v";
    target += std::to_string(item.root) + '\\';
    for (const char c : item.key)
        target += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (item.kind == ItemKind::Value) {
        target += '\0';
        for (const char c : item.name)
            target += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return target;
}

}  // namespace

std::vector<JournalItem> netItems(const std::vector<JournalEntry>& entries,
                                  const std::vector<std::size_t>& chosen) {
    // Ordered by each item's last change: a key removed after a value in it was set must come
    // after that value, and a value set after its key was removed must come after the removal.
    // Every change is listed, then only the last of each target kept: linear in the changes.
    std::vector<const JournalItem*> changes;
    std::vector<std::string> targets;
    std::unordered_map<std::string, std::size_t> last;
    for (std::size_t index : chosen) {
        if (index >= entries.size()) continue;
        for (const JournalItem& item : entries[index].items) {
            if (!item.changed()) continue;
            targets.push_back(targetOf(item));
            last[targets.back()] = changes.size();
            changes.push_back(&item);
        }
    }
    std::vector<JournalItem> net;
    for (std::size_t i = 0; i < changes.size(); ++i)
        if (last[targets[i]] == i) net.push_back(*changes[i]);
    return net;
}

bool isSecretName(const std::string& name) {
    JournalItem item;
    item.kind = ItemKind::Value;
    item.name = name;
    return isSecretValue(item);
}

namespace {

ExportChange valueChange(RegKey root, const std::string& key, const std::string& name,
                         std::uint32_t type, const std::string& data) {
    ExportChange change{ExportChange::Kind::SetValue, root, key, name, type, data};
    if (isSecretName(name)) {
        change.kind = ExportChange::Kind::SecretLeftOut;
        change.data.clear();
    }
    return change;
}

// The key, then its values, then each sub-key the same way. Walked with a stack rather than by
// recursion: a recorded branch may be nested deeper than the call stack allows.
void addKey(std::vector<ExportChange>& out, RegKey root, const std::string& path,
            const KeyState& top) {
    std::vector<std::pair<std::string, const KeyState*>> pending{{path, &top}};
    while (!pending.empty()) {
        auto [key, state] = pending.back();
        pending.pop_back();
        out.push_back({ExportChange::Kind::MakeKey, root, key, {}, 0, {}});
        for (const NamedValue& value : state->values)
            out.push_back(valueChange(root, key, value.name, value.type, value.data));
        for (auto sub = state->subKeys.rbegin(); sub != state->subKeys.rend(); ++sub)
            pending.push_back({key.empty() ? sub->name : key + "\\" + sub->name, &*sub});
    }
}

}  // namespace

namespace {

std::string folded(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Leaves out a value change that repeats what the list already makes true: an action that made
// a key is recorded as the key whole and as the values it set, which would say everything twice.
// A removal of a key forgets what was said of the values below it.
std::vector<ExportChange> withoutRepeats(std::vector<ExportChange> changes) {
    // Ordered by root, folded key, folded name: the values of a key and of its branch lie in two
    // runs a removal finds by search, so a removal costs what it forgets, not the whole map.
    using Target = std::tuple<RegKey, std::string, std::string>;
    std::map<Target, std::size_t> said;  // the index in `out` of what was said last
    const auto forgetRun = [&said](RegKey root, const std::string& from, const std::string& to) {
        said.erase(said.lower_bound(Target{root, from, {}}),
                   said.lower_bound(Target{root, to, {}}));
    };
    std::vector<ExportChange> out;
    out.reserve(changes.size());
    for (ExportChange& change : changes) {
        std::string key = folded(change.key);
        if (change.kind == ExportChange::Kind::RemoveKey) {
            // The key itself: every name under exactly `key`, which sorts before key + '\0'.
            forgetRun(change.root, key, key + '\0');
            // Its branch: keys starting key + '\\', which sort before key + ']' ('\\' + 1).
            forgetRun(change.root, key + '\\', key + ']');
        } else if (change.kind != ExportChange::Kind::MakeKey) {
            Target target{change.root, std::move(key), folded(change.name)};
            const auto found = said.find(target);
            if (found != said.end()) {
                const ExportChange& before = out[found->second];
                if (before.kind == change.kind && before.type == change.type &&
                    before.data == change.data)
                    continue;
                found->second = out.size();
            } else {
                said.emplace(std::move(target), out.size());
            }
        }
        out.push_back(std::move(change));
    }
    return out;
}

}  // namespace

std::vector<ExportChange> exportChanges(const std::vector<JournalItem>& items) {
    std::vector<ExportChange> out;
    for (const JournalItem& item : items) {
        if (item.kind == ItemKind::Key) {
            if (item.keyAfter.present)
                addKey(out, item.root, item.key, item.keyAfter);
            else
                out.push_back({ExportChange::Kind::RemoveKey, item.root, item.key, {}, 0, {}});
        } else if (item.valueAfter.present) {
            out.push_back(valueChange(item.root, item.key, item.name, item.valueAfter.type,
                                      item.valueAfter.data));
        } else {
            ExportChange change{
                ExportChange::Kind::RemoveValue, item.root, item.key, item.name, 0, {}};
            out.push_back(std::move(change));
        }
    }
    return withoutRepeats(std::move(out));
}

Result<std::string> valueText(const std::string& data, const AnsiCodec& codec) {
    std::string_view bytes = data;
    if (!bytes.empty() && bytes.back() == '\0') bytes.remove_suffix(1);
    return codec.fromAnsi(bytes);
}

Result<std::vector<std::string>> valueTexts(const std::string& data, const AnsiCodec& codec) {
    std::string_view bytes = data;
    // The list ends with an empty text: "a\0b\0\0". Stores also keep it without the final NUL.
    if (!bytes.empty() && bytes.back() == '\0') bytes.remove_suffix(1);
    if (!bytes.empty() && bytes.back() == '\0') bytes.remove_suffix(1);
    std::vector<std::string> texts;
    if (bytes.empty()) return texts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = bytes.find('\0', start);
        Result<std::string> text = codec.fromAnsi(bytes.substr(start, end - start));
        if (!text) return text.status();
        texts.push_back(std::move(text).value());
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return texts;
}

namespace {
template <typename Number>
std::optional<Number> littleEndian(const std::string& data) {
    if (data.size() != sizeof(Number)) return std::nullopt;
    Number value = 0;
    for (std::size_t i = sizeof(Number); i-- > 0;)
        value = static_cast<Number>((value << 8) | static_cast<unsigned char>(data[i]));
    return value;
}
}  // namespace

std::optional<std::uint32_t> valueDword(const std::string& data) {
    return littleEndian<std::uint32_t>(data);
}
std::optional<std::uint64_t> valueQword(const std::string& data) {
    return littleEndian<std::uint64_t>(data);
}

std::string changeKeyPath(const ExportChange& change) {
    std::string path(rootName(change.root));
    if (!change.key.empty()) path += "\\" + change.key;
    return path;
}

}  // namespace hivora
