#pragma once
// At start-up, after the store is open: every hive file of the store that has a line the store
// cannot read is named with that line, and the user is asked whether to back it up and repair it.
// No keeps that hive read-only for the run: its rows then report "设置出错！" with the reason.

#include <string>

#include "core/dialog_services.h"

namespace hivora {

// The question for one refused hive, and the messages after a repair. Asks nothing for a folder
// whose hives all read without fault (or on Windows). Returns how many hives were repaired.
int offerHiveRepairs(const std::string& storeFolder, DialogServices& dialogs);

}  // namespace hivora
