#pragma once
// The journal as the user reads it: states, item changes and history lines.

#include <string>
#include <vector>

#include "core/journal/journal_entry.h"
#include "platform/ansi_codec.h"

namespace hivora {

// "（无）" for an absent value; a number for REG_DWORD; a quoted text for the text types; hex
// bytes otherwise (long data cut with "…").
std::string describeValue(const ValueState& state, const AnsiCodec& codec);
// "（无）" or "项（N 个数值，M 个子项）".
std::string describeKey(const KeyState& state);
// Whether the data of value item `item` is kept out of sight: its name holds "password" in any
// case (such as "DefaultPassword").
bool isSecretValue(const JournalItem& item);
// describeValue of `state`, one of the value item's states; "******" for a secret value present.
std::string describeItemValue(const JournalItem& item, const ValueState& state,
                              const AnsiCodec& codec);
// "where：before → after".
std::string describeChange(const JournalItem& item, const AnsiCodec& codec);

// Local time "YYYY-MM-DD HH:MM:SS" of seconds since 1970.
std::string formatLocalTime(std::int64_t seconds);

// One entry of the journal as the history shows it.
struct HistoryRow {
    std::int64_t id = 0;
    std::int64_t time = 0;
    // An action's caption; an undo's or redo's is "撤销：" or "重做：" and its action's caption
    // (its own as recorded when the action is no longer in the journal).
    std::string caption;
    std::vector<std::string> changes;  // describeChange of each item the entry changed
    bool undone = false;               // an action undone now
};

// The history of `entries` (oldest first, as the journal holds them), newest first, with the
// states walkUndoChain gives them.
std::vector<HistoryRow> historyRows(const std::vector<JournalEntry>& entries,
                                    const AnsiCodec& codec);

// One line of the history, fields separated by tabs (tabs and line breaks inside fields become
// blanks): id, time, caption, the changes joined by "；", and "已撤销" for an action undone now.
std::string historyLine(const HistoryRow& row);

}  // namespace hivora
