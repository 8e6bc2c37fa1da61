#pragma once
// The rows that ask the user before they write. Each asks through the dialog services, keeps the
// user's answers in the scratch slot, and returns the registry operations to run (possibly none),
// or nothing when the action ends without a message.

#include <optional>
#include <string>
#include <vector>

#include "core/catalogue/catalogue_types.h"

namespace hivora {

// `text` without leading and trailing blanks (spaces only, as the rows trim the user's answers).
std::string trimBlanks(const std::string& text);

// Desktop row 4, set: a text to show beside the taskbar clock. Asks for the text (used as typed,
// also when empty), then whether to show the time too and, if so, in 12-hour form. Writes
// "sTimeFormat": the text as a quoted literal (in single quotes, a single quote inside doubled;
// nothing for an empty text), alone, or followed by " h:mm tt" or " H:mm".
std::optional<std::vector<RegOp>> askTaskbarText(DialogueContext& context);

// Desktop row 7, set: a forced wallpaper. Asks for a picture file; when that names no existing
// file (or is cancelled) the action ends. Otherwise writes "Wallpaper" = the path (its Windows
// form on a Wine prefix), asks for the style and writes "WallpaperStyle" = "0", "1" or "2" (any
// other answer gives "0").
std::optional<std::vector<RegOp>> askWallpaper(DialogueContext& context);

// Desktop row 8, set: the wallpaper's origin. Asks for x, then y; writes each answer that is not
// empty, as typed. Both empty writes nothing but the action still completes.
std::optional<std::vector<RegOp>> askWallpaperPosition(DialogueContext& context);

// Desktop row 11, set: the desktop icon size. Asks for a size; a whole number (fractions rounded,
// halves to even) from 16 to 64 is used, anything else (empty, out of range, not a number) gives
// 32. Writes "Shell Icon Size" as a blank followed by the digits (" 32").
std::optional<std::vector<RegOp>> askIconSize(DialogueContext& context);

// Hide row 5: hide drives. Asks for drive letters; a blank or cancelled answer ends the action.
// Otherwise writes "NoDrives" = the drive mask of the trimmed answer ("-1": all drives).
std::optional<std::vector<RegOp>> askHiddenDrives(DialogueContext& context);

}  // namespace hivora
