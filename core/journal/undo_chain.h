#pragma once
// Which actions of the journal are undone now, and what undo and redo would do next.
//
// The journal only ever grows; the state is worked out by walking it oldest first:
// - an action (an entry without `undoes`) is done, and ends the chain of redos: actions undone
//   before it stay undone and can no longer be redone;
// - an entry with `undoes = X` flips the state of the action at the root of X (X, or what X
//   undid, and so on down to the action). When the flip leaves the action undone the entry is an
//   undo, otherwise a redo.
// Undo takes back the newest action that is done; redo brings back the action undone last (the
// newest undo not yet redone). Journals written before redo existed, where undoing again undid
// the undo, read the same way: each undo of an undo counts as a redo.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/journal/journal_entry.h"

namespace hivora {

enum class EntryRole {
    Action,  // a change made by the user
    Undo,    // the action at its root taken back
    Redo,    // the action at its root brought back
};

struct EntryStatus {
    EntryRole role = EntryRole::Action;
    // The index of the action at the entry's root (the entry's own for an action); empty when an
    // undo's chain leads out of the journal (the action was pruned).
    std::optional<std::size_t> action;
    // Actions only: whether the action is undone now.
    bool undone = false;
};

struct UndoChain {
    std::vector<EntryStatus> entries;  // one for each entry walked, in the same order
    // The index of the action undo takes back next; empty: nothing to undo.
    std::optional<std::size_t> nextUndo;
    // The index of the action redo brings back next, and of the undo entry that took it back
    // (what the redo's `undoes` names); both empty when there is nothing to redo.
    std::optional<std::size_t> nextRedo;
    std::optional<std::size_t> redoReverses;
};

// Walks `entries` (oldest first, ids increasing, as ChangeJournal::entries holds them). Never
// fails: an `undoes` naming no earlier entry leaves the entry without an action and changes no
// state.
UndoChain walkUndoChain(const std::vector<JournalEntry>& entries);

}  // namespace hivora
