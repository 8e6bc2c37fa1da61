#include "core/livestate/status_table.h"

#include "core/catalogue/row_dispatch.h"

namespace hivora {
namespace {

void appendField(std::string& line, std::string_view field) {
    for (const char c : field) line += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
}

}  // namespace

std::string formatStatusTable(const std::vector<PageStates>& states) {
    std::string text;
    for (const PageStates& page : states) {
        const PageCatalogue& catalogue = pageCatalogue(page.page.page);
        for (std::size_t i = 0; i < page.rows.size() && i < catalogue.rows.size(); ++i) {
            const RowState& row = page.rows[i];
            appendField(text, page.page.name);
            text += '\t';
            appendField(text, catalogue.rows[i].caption);
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
