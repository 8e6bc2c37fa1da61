#pragma once
// Wine's registry text format, "WINE REGISTRY Version 2": text to hive tree and back, no I/O.
//
// The reader reads every line as Wine's loader reads it, forgiving where Wine is and strict where
// Wine is: a line Wine reports is reported as a diagnostic with its line number and reading goes
// on. The store refuses to write a hive whose file had diagnostics, so such a file is never
// overwritten, unless the hive is repaired; for that the tree holds what Wine would hold: a
// malformed value as REG_NONE without data, other unreadable lines left out, and every key that
// held such a line marked changed, so that it is written anew as Wine would write it.
//
// The writer writes exactly as Wine writes: keys in name order, each after one blank line, with
// its time stamp, "#time=", "#class=" and "#link" lines, then its values; texts with Wine's
// escapes. Keys and values untouched since reading are copied from the file's own lines, so an
// untouched file is written back byte for byte.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry_tree.h"

namespace hivora {

inline constexpr std::string_view kWineRegistryMagic = "WINE REGISTRY Version 2";

struct HiveDiagnostic {
    int line = 0;  // 1-based
    std::string message;
    // Wine loads nothing of the file past this line (no registry file, unknown architecture), so
    // it cannot be repaired by leaving lines out.
    bool fatal = false;
};

struct ParsedHive {
    std::unique_ptr<HiveTree> tree;  // never null; empty when the text is no registry file
    std::vector<HiveDiagnostic> diagnostics;
};

// Reads a hive file's text. The tree keeps `text` alive and points into it.
ParsedHive parseHive(std::shared_ptr<const std::string> text);
// "file:line: message", as Wine reports a bad line.
std::string formatDiagnostic(std::string_view fileName, const HiveDiagnostic& diagnostic);

// The file text of `tree`. A tree made new gets the header for its rootName and no "#arch=" line
// (Wine then takes the prefix's own architecture).
std::string renderHive(const HiveTree& tree);

// Wine's escaping of one text (a name, a class, a text value's units with their final NUL, which
// is not written). `quote` holds the two characters that get a backslash besides the backslash
// itself: "\"\"" for names and data, "[]" for key paths.
void appendEscaped(std::string& out, std::u16string_view text, std::string_view quote);
// Reads an escaped text up to the unescaped `end` character. UTF-8 input is read as Wine reads it:
// an encoded surrogate is kept, an invalid sequence is skipped. Returns the number of characters
// consumed including `end`, or std::string_view::npos when `end` is missing.
std::size_t parseEscaped(std::string_view input, char end, std::u16string& out);

}  // namespace hivora
