#pragma once
// Keeping the journal true to the registry. Every writer holds the store from its journal append
// through its save (RegInfoGetSet::beginAction), so only the newest entry can disagree with the
// registry: its writer was killed between the append and the save, or its save failed part way
// (one hive file renamed, another not). Settling such an entry records what reached the disk, so
// that afterwards an entry counts as done (or undone) exactly when its values are there.

#include <cstdint>

#include "core/journal/change_journal.h"
#include "core/journal/registry_state.h"

namespace hivora {

enum class Settled {
    Stands,   // every changed item holds its state after (or was changed since by another writer)
    Void,     // no item took effect: the entry is marked void
    Partial,  // some took effect: the entry is void and `replacement` records those
};

struct SettleOutcome {
    Settled settled = Settled::Stands;
    std::int64_t replacement = 0;  // Partial: the id of the entry appended in its place
};

// The caption of the entry that records the part of an action (or an undo) that was saved.
inline constexpr char kPartlySavedSuffix[] = "（部分保存）";

// Compares `entry`'s changed items with the registry now and records what took effect: nothing
// for Stands; a void mark for Void; for Partial a void mark and an action (without `undoes`, so
// that undo takes exactly those items back first) holding the items that are not at their state
// before, captioned with kPartlySavedSuffix. The entry is noted settled. Failure: a state cannot
// be read or the journal cannot be written; the journal is then as it was, or holds the void mark
// without its replacement.
Result<SettleOutcome> settleEntry(ChangeJournal& journal, RegistryView view,
                                  const JournalEntry& entry);

// While holding the store: catches the journal up with its file and settles its newest entry,
// unless it is settled already. Failure: as settleEntry, or the file cannot be read.
Status settleNewestEntry(ChangeJournal& journal, RegistryView view);

}  // namespace hivora
