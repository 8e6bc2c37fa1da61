#pragma once
// The browser property rows that ask the user or read the registry before they write. Each
// returns the operations to run, or nothing when the action ends without a message (see
// Dialogue in catalogue_types.h).

#include <optional>
#include <vector>

#include "core/catalogue/catalogue_types.h"

namespace hivora {

// Row 4, set: hides the address bar by pointing its server at a command line that loads nothing.
// Without a system directory, or without "BROWSEUI.DLL" in it, shows "失败！" (OK, no title) and
// ends. Otherwise backs the key's default value up in "temp", unless the default value already
// is this row's replacement (so a second set keeps the first backup), and writes the
// replacement: a quoted "rem <system directory>\BROWSEUI.DLL".
std::optional<std::vector<RegOp>> askAddressBarHidden(DialogueContext& context);

// Row 4, unset: writes "temp" back to the default value when "temp" is not empty; otherwise
// writes nothing (the action still confirms).
std::optional<std::vector<RegOp>> askAddressBarRestored(DialogueContext& context);

// Row 5, set: explains the about: aliases and asks whether to go on (Yes/No), then the alias and
// the address (each trimmed; empty ends silently). Writes the alias as a value of "AboutURLs"
// with the address (a host path in its Windows form on a Wine prefix).
std::optional<std::vector<RegOp>> askAliasAdded(DialogueContext& context);

// Row 5, unset: the same question, then the alias to delete (trimmed; empty ends silently).
std::optional<std::vector<RegOp>> askAliasRemoved(DialogueContext& context);

// Row 8, set: a picture file for the toolbar. A cancelled dialog ends silently; a file that does
// not exist writes nothing and fails the action ("设置出错！" saying so). Otherwise writes the
// path (its Windows form on a Wine prefix) to "backbitmapIE5", then "backbitmap".
std::optional<std::vector<RegOp>> askToolbarPicture(DialogueContext& context);

// Row 11, set: the text of the address bar's links entry (trimmed; empty ends silently).
std::optional<std::vector<RegOp>> askLinksFolderName(DialogueContext& context);

}  // namespace hivora
