#include "core/livestate/status_table.h"

#include "core/livestate/row_mark.h"

namespace hivora {
namespace {

void appendField(std::string& line, std::string_view field) {
    for (const char c : field) line += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
}

}  // namespace

std::string formatStatusTable(const std::vector<PageStates>& states, WindowsGeneration current) {
    std::string text;
    for (const PageStates& page : states) {
        for (const RowState& row : page.rows) {
            appendField(text, page.page->name);
            text += '\t';
            appendField(text, row.caption);
            text += '\t';
            text += settingStateWord(row.state);
            // The value field is kept, empty, on rows without one: the fields stay in place.
            text += '\t';
            appendField(text, row.valueText);
            text += '\t';
            appendField(text, reachText(row.takesEffectOn, current));
            text += '\n';
        }
    }
    return text;
}

}  // namespace hivora
