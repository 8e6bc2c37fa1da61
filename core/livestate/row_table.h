#pragma once
// The table of every settings row against the Windows versions it takes effect on, as README.md
// shows it between two marker lines. tools/row_table_generator writes it there and checks it, so
// that the README says what the catalogue says.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalogue/windows_version.h"

namespace hivora {

// One row of the table.
struct RowTableLine {
    std::string page;  // the tab and frame, as --status names them
    int row = 0;       // the row's index in its frame, from 0 as the catalogue counts
    std::string caption;
    WindowsGenerations takesEffectOn{};
    std::string todaysLocation;  // "" when the row's own place is today's
};

// Every row of every frame (statePages), in the window's order.
std::vector<RowTableLine> catalogueRowLines();

// A Markdown table with a header and one line per entry of `lines`: page, row, caption, the
// generations the row takes effect on ("所有版本" when it names none; three or more in a row as
// "Windows 9x 至 Windows 10") and today's location as code ("—" when there is none). "|" and,
// outside code, "<" are escaped with a backslash, line breaks become blanks. Ends with a line
// break.
std::string rowTableMarkdown(std::span<const RowTableLine> lines);

inline constexpr std::string_view kRowTableBegin = "<!-- row-table begin -->";
inline constexpr std::string_view kRowTableEnd = "<!-- row-table end -->";

// `document` with what lies between the line holding kRowTableBegin and the line holding
// kRowTableEnd replaced by `table`; the marker lines themselves stay. Nothing when either marker
// is missing or the end comes before the begin.
std::optional<std::string> withRowTable(std::string_view document, std::string_view table);

// The text between the two marker lines of `document`; nothing under the same conditions.
std::optional<std::string> rowTableOf(std::string_view document);

}  // namespace hivora
