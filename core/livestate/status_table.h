#pragma once
// The text that `hivora --status` prints: one line per settings row, fields separated by tabs:
// the page, the caption, the state ("set", "not set" or "mixed") and, for a set row whose set asks
// the user, its current value as a fourth field. Tabs and line breaks inside a field become
// blanks, so that every row stays one line of exactly its fields.

#include <string>
#include <vector>

#include "core/livestate/live_state.h"

namespace hivora {

// `states` as read by readAllStates.
std::string formatStatusTable(const std::vector<PageStates>& states);

}  // namespace hivora
