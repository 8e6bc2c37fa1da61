#pragma once
// The text that `hivora --status` prints: one line per settings row, five fields separated by
// tabs: the page, the caption, the state ("set", "not set" or "mixed"), the current value of a set
// row whose set asks the user ("" for every other row) and whether the row takes effect on the
// Windows of the registry ("有效", "无效（仅 Windows XP）", or "未知" when the registry names no
// version; see row_mark.h). Tabs and line breaks inside a field become blanks, so that every row
// stays one line of exactly its fields.

#include <string>
#include <vector>

#include "core/catalogue/windows_version.h"
#include "core/livestate/live_state.h"

namespace hivora {

// `states` as read by readAllStates; `current` the registry's generation (detectWindowsGeneration).
std::string formatStatusTable(const std::vector<PageStates>& states, WindowsGeneration current);

}  // namespace hivora
