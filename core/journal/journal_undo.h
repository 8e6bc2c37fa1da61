#pragma once
// Undo through the change journal. The latest entry not yet undone is put back to its state
// before: values re-created with their type and bytes, values that did not exist removed, keys
// removed brought back whole, keys the action made removed. An undo is itself an entry, so undoing
// it again redoes the action.
//
// Before writing, each item is compared with what the entry left: an item that has been changed
// since (by another program) and is not simply back at its old state is listed to the user, who
// is asked whether to overwrite it.

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
    NothingToUndo,  // the journal holds no entry left to undo
    Cancelled,      // the user kept the changes made since
    Failed,         // something could not be put back, recorded or saved
};

struct UndoOutcome {
    UndoResult result = UndoResult::NothingToUndo;
    std::int64_t undoneId = 0;          // the entry undone (Done, Failed, Cancelled)
    std::vector<std::string> failures;  // "where：why" for each item that could not be put back
    Status status;                      // the first failure
};

// The message shown when an undo succeeded, and the prompt's title.
inline constexpr char kUndoDoneText[] = "已撤销！";
inline constexpr char kNothingToUndoText[] = "没有可以撤销的操作。";
inline constexpr char kUndoQuestionTitle[] = "撤销";

// The newest entry that no later entry undid; null when there is none.
const JournalEntry* latestUndoable(const ChangeJournal& journal);

// The items of `entry` changed since it was made and not back at their state before, one line
// each ("where：现在 X，操作后 Y"). Failure: an item cannot be read.
Result<std::vector<std::string>> changesSince(RegistryView view, const JournalEntry& entry,
                                              const AnsiCodec& codec);

// Undoes the latest entry. Shows, through the dialog services: the question about changes made
// since (Yes goes on, anything else cancels); "没有可以撤销的操作。"; "已撤销！" on success; on
// failure "设置出错！" followed by what could not be put back or why nothing could be. All
// boxes are titled "提示信息" except the question.
UndoOutcome undoLatest(UndoServices& services);

}  // namespace hivora
