#pragma once
// Undo and redo through the change journal. Undo puts the newest action not yet undone back to
// its state before: values re-created with their type and bytes, values that did not exist
// removed, keys removed brought back whole, keys the action made removed. Redo writes the states
// after of the action undone last. Which action each takes is walkUndoChain's answer; both are
// recorded as entries (an undo names the action, a redo the undo it reverses).
//
// Before writing, each item is compared with what the action (for a redo: its undo) left: an item
// that has been changed since (by another program) and is not simply at the state about to be
// written is listed to the user, who is asked whether to overwrite it.

#include <cstdint>
#include <string>
#include <vector>

#include "core/dialog_services.h"
#include "core/journal/change_journal.h"
#include "core/journal/registry_state.h"
#include "core/registry/reg_info_get_set.h"

namespace hivora {

struct UndoServices {
    RegInfoGetSet& layer;
    ChangeJournal& journal;
    DialogServices& dialogs;
};

enum class UndoResult {
    Done,           // everything was put back and saved
    NothingToUndo,  // the journal holds no action left to undo (for a redo: to redo)
    Cancelled,      // the user kept the changes made since
    Failed,         // something could not be put back, recorded or saved
};

// Which way an action is turned: back to its states before, or forward again to its states after.
enum class UndoDirection { Undo, Redo };

struct UndoOutcome {
    UndoResult result = UndoResult::NothingToUndo;
    std::int64_t actionId = 0;          // the action undone or redone (Done, Failed, Cancelled)
    std::vector<std::string> failures;  // "where：why" for each item that could not be put back
    Status status;                      // the first failure
};

// The messages of an undo and a redo: success, nothing to do, and the title of the question.
inline constexpr char kUndoDoneText[] = "已撤销！";
inline constexpr char kNothingToUndoText[] = "没有可以撤销的操作。";
inline constexpr char kUndoQuestionTitle[] = "撤销";
inline constexpr char kRedoDoneText[] = "已重做！";
inline constexpr char kNothingToRedoText[] = "没有可以重做的操作。";
inline constexpr char kRedoQuestionTitle[] = "重做";

// The items of action `entry` changed since it was made (Undo; for Redo: since it was undone)
// and at neither of its states, one line each ("where：现在 X，操作后 Y", for Redo "撤销后 Y";
// password values as describeItemValue shows them). Failure: an item cannot be read.
Result<std::vector<std::string>> changesSince(RegistryView view, const JournalEntry& entry,
                                              const AnsiCodec& codec,
                                              UndoDirection direction = UndoDirection::Undo);

// Undoes the newest action not yet undone. Shows, through the dialog services: the question about
// changes made since (Yes goes on, anything else cancels); "没有可以撤销的操作。"; "已撤销！" on
// success; on failure "设置出错！" followed by what could not be put back or why nothing could be.
// All boxes are titled "提示信息" except the question.
UndoOutcome undoLatest(UndoServices& services);

// Redoes the action undone last, the same way: the question (titled "重做"),
// "没有可以重做的操作。", "已重做！" on success, "设置出错！" and why on failure.
UndoOutcome redoLatest(UndoServices& services);

}  // namespace hivora
