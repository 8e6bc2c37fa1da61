#pragma once
// Which registry items an action touches, their states before and after, and putting them back.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/catalogue/catalogue_types.h"
#include "core/journal/change_journal.h"
#include "core/journal/journal_entry.h"
#include "core/journal/registry_state.h"

namespace hivora {

// The items `ops` will touch, each with its state now as `before` (and `after` alike):
// - every value written or removed;
// - for an operation that creates keys, the highest key of its path that does not exist yet,
//   whole (undoing removes it again with everything in it);
// - every key removed, whole.
// An item appears once however many operations touch it. Failure: a state cannot be read.
Result<std::vector<JournalItem>> itemsTouchedBy(RegistryView view, std::span<const RegOp> ops);

// Reads the state of every item now into `before` (which = true) or `after`.
Status readItemStates(RegistryView view, std::vector<JournalItem>& items, bool before);

// The state of `item` now, in the shape of the item (its value, or its key whole).
Result<JournalItem> currentStateOf(RegistryView view, const JournalItem& item);
// Whether the item's state now (`now`'s before) equals its recorded `before` or `after`.
bool sameState(const JournalItem& now, const JournalItem& recorded, bool before);

// Puts every item back to its `before` (toBefore) or `after` state: keys that must exist first
// (outermost first), then values (last first), then keys that must go (last first). Carries on
// after a failure; each failure adds a line "where: why" to `failures`.
void writeItemStates(RegistryView view, std::span<const JournalItem> items, bool toBefore,
                     std::vector<std::string>& failures);

// The item of the newest entry that removed the key (its `key` spelt as the registry had it,
// its `keyBefore` the whole key), or null when the journal holds none. Valid until the journal
// changes.
const JournalItem* lastRemovedKey(const ChangeJournal& journal, RegKey root,
                                  const std::string& key);

// "HKEY_CURRENT_USER\Software\...\Name" for a value, "...\Key\" for a key.
std::string itemPath(const JournalItem& item);

}  // namespace hivora
