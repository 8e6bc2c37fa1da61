#pragma once
// `hivora --repair-hive FILE`: repairs one registry file that has lines the store cannot read, on
// the command line, without a window (see repairHive in platform/posix/file_store.h).

#include <string>

namespace hivora {

// Repairs `path`, telling the user on the standard streams what was wrong, where the old file was
// kept and how it went. Returns the exit code: 0 when the file reads without fault afterwards
// (repaired, or nothing to repair), 1 when it could not be repaired (it is then unchanged).
int runRepairCommand(const std::string& path);

}  // namespace hivora
