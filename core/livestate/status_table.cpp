#include "core/livestate/status_table.h"

namespace hivora {
namespace {

void appendField(std::string& line, std::string_view field) {
    for (const char c : field) line += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
}

}  // namespace

std::string formatStatusTable(const std::vector<PageStates>& states) {
    std::string text;
    for (const PageStates& page : states) {
        for (const RowState& row : page.rows) {
            appendField(text, page.page->name);
            text += '\t';
            appendField(text, row.caption);
            text += '\t';
            text += settingStateWord(row.state);
            if (!row.valueText.empty()) {
                text += '\t';
                appendField(text, row.valueText);
            }
            text += '\n';
        }
    }
    return text;
}

}  // namespace hivora
