#pragma once
// Reading a .reg file (regedit's version 5 and REGEDIT4 forms) into registry operations, and
// applying them as one recorded action.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalogue/action_observer.h"
#include "core/catalogue/catalogue_types.h"
#include "core/registry/reg_info_get_set.h"
#include "platform/ansi_codec.h"
#include "platform/status.h"

namespace hivora {

// The operations of the file's bytes, in file order:
//   [KEY]            CreateKey        [-KEY]        RemoveKey (with its branch)
//   "n"="text"       SetString        "n"=dword:x   SetDword
//   "n"=hex:..       SetRaw REG_BINARY               "n"=hex(N):..  SetRaw type N
//   "n"=-            DeleteValue      @ for the default value
// A version 5 file is UTF-16LE with a byte-order mark; its hex(1), hex(2) and hex(7) data are
// UTF-16LE and are turned into the code page of `codec`, as the registry keeps them. A REGEDIT4
// file is UTF-8 when it reads as such, otherwise in the code page of `codec`; its hex data is
// taken as it is. Blank lines and ";" comments are skipped, hex data may go on over lines ending
// in "\". Quoted texts take \\ and \" (and Wine's \n).
// Failure: every bad line, one a line, as "FILE:LINE: reason" (FILE is `fileName`); nothing is
// returned then, so nothing is written.
Result<std::vector<RegOp>> parseRegFile(std::string_view bytes, const std::string& fileName,
                                        const AnsiCodec& codec);

// Runs `ops` as one action in the layer's save bracket: with `observer` (the change journal's
// recorder) it is recorded as one entry that undo takes back, and the first failed operation
// puts back everything written before it. Success: every operation and the save succeeded.
// Failure: the first failure; with an observer nothing of the file stays written unless the
// message names what could not be put back.
Status applyRegOps(RegInfoGetSet& layer, ActionObserver* observer, std::span<const RegOp> ops,
                   const ActionLabel& label);

}  // namespace hivora
