#pragma once
// One entry of the change journal: an action (or an undo) with, for every item it touched, the
// state before and after. Entries are stored as one line of JSON each, written by
// journal_entry.cpp and read by journal_line_reader.cpp.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/catalogue/action_observer.h"
#include "core/journal/registry_state.h"

namespace hivora {

enum class ItemKind { Value, Key };

// A value (key + name) or a whole key the action touched.
struct JournalItem {
    ItemKind kind = ItemKind::Value;
    RegKey root = 0;
    std::string key;
    std::string name;  // values only
    ValueState valueBefore, valueAfter;
    KeyState keyBefore, keyAfter;

    bool sameTarget(const JournalItem& other) const;
    // Whether the state before and after differ.
    bool changed() const;
};

// Ids run from 1 to 2^53, the integers every JSON reader holds exactly. A line whose id (or the id
// it undoes or voids) lies outside is not understood: it reads as Garbled.
inline constexpr std::int64_t kMaxJournalId = std::int64_t{1} << 53;

struct JournalEntry {
    std::int64_t id = 0;    // increasing in the order of the file
    std::int64_t time = 0;  // seconds since 1970 (UTC)
    std::string store;      // the store's folder, or the Windows registry
    ActionLabel label;
    std::optional<std::int64_t> undoes;  // for an undo: the id of the entry it undid
    std::vector<JournalItem> items;
};

// The entry as one line of JSON, without the newline.
std::string entryToJson(const JournalEntry& entry);

// What one line of the file holds.
struct JournalLine {
    enum class Kind { Entry, Void, Garbled } kind = Kind::Garbled;
    JournalEntry entry;       // Kind::Entry
    std::int64_t voided = 0;  // Kind::Void: the id of an entry whose save failed
};
// Never fails: a line that is not a well-formed entry or void mark is Garbled.
JournalLine parseJournalLine(std::string_view line);
// The mark written after an entry whose registry save failed: the entry never took effect.
std::string voidMarkToJson(std::int64_t id);

}  // namespace hivora
