#pragma once
// The journal as the user reads it: states, item changes and history lines.

#include <string>

#include "core/journal/journal_entry.h"
#include "platform/ansi_codec.h"

namespace hivora {

// "（无）" for an absent value; a number for REG_DWORD; a quoted text for the text types; hex
// bytes otherwise (long data cut with "…").
std::string describeValue(const ValueState& state, const AnsiCodec& codec);
// "（无）" or "项（N 个数值，M 个子项）".
std::string describeKey(const KeyState& state);
// "where：before → after".
std::string describeChange(const JournalItem& item, const AnsiCodec& codec);

// Local time "YYYY-MM-DD HH:MM:SS" of seconds since 1970.
std::string formatLocalTime(std::int64_t seconds);

// One line of the history, fields separated by tabs (tabs and line breaks inside fields become
// blanks): id, time, caption, the changes joined by "；", and "已撤销" when a later entry undid it.
std::string historyLine(const JournalEntry& entry, bool undone, const AnsiCodec& codec);

}  // namespace hivora
