#include "core/livestate/row_table.h"

#include "core/catalogue/row_dispatch.h"
#include "core/livestate/live_state.h"

namespace hivora {
namespace {

// A Markdown table cell: a "|" would end the cell, a line break the table, a "<" could open an
// HTML tag. In code (`inCode`) only the "|" needs its backslash.
std::string cell(std::string_view text, bool inCode = false) {
    std::string escaped;
    for (const char c : text) {
        if (c == '|' || (c == '<' && !inCode))
            escaped += {'\\', c};
        else if (c == '\n' || c == '\r')
            escaped += ' ';
        else
            escaped += c;
    }
    return escaped;
}

// Where the table lies in `document`: the first character after the begin marker's line and the
// first character of the end marker's line.
struct TableSpan {
    std::size_t from;
    std::size_t to;
};

std::optional<TableSpan> tableSpan(std::string_view document) {
    const std::size_t begin = document.find(kRowTableBegin);
    if (begin == std::string_view::npos) return std::nullopt;
    const std::size_t afterBegin = document.find('\n', begin);
    if (afterBegin == std::string_view::npos) return std::nullopt;
    const std::size_t end = document.find(kRowTableEnd, afterBegin);
    if (end == std::string_view::npos) return std::nullopt;
    const std::size_t endLine = document.rfind('\n', end);
    return TableSpan{afterBegin + 1, endLine + 1};
}

}  // namespace

std::vector<RowTableLine> catalogueRowLines() {
    std::vector<RowTableLine> lines;
    for (const StatePage& page : statePages()) {
        int index = 0;
        const auto add = [&](std::string_view caption, WindowsGenerations takesEffectOn,
                             std::string_view todaysLocation) {
            lines.push_back({std::string(page.name), index++, std::string(caption), takesEffectOn,
                             std::string(todaysLocation)});
        };
        if (page.page) {
            for (const CatalogueRow& row : pageCatalogue(*page.page).rows)
                add(row.caption, row.takesEffectOn, row.todaysLocation);
        } else {
            for (const TextBoxRow& row : page.textRows)
                add(row.caption, row.takesEffectOn, row.todaysLocation);
        }
    }
    return lines;
}

std::string rowTableMarkdown(std::span<const RowTableLine> lines) {
    std::string table =
        "| 页面 | 行 | 设置 | 生效的 Windows | 当前 Windows 的位置 |\n"
        "| --- | --: | --- | --- | --- |\n";
    for (const RowTableLine& line : lines) {
        table += "| " + cell(line.page) + " | " + std::to_string(line.row) + " | " +
                 cell(line.caption) + " | ";
        table += line.takesEffectOn.all() ? std::string("所有版本")
                                          : generationNames(line.takesEffectOn);
        table += " | ";
        // As code, so that the backslashes of a registry path show as they are.
        table += line.todaysLocation.empty() ? std::string("—")
                                             : "`" + cell(line.todaysLocation, true) + "`";
        table += " |\n";
    }
    return table;
}

std::optional<std::string> withRowTable(std::string_view document, std::string_view table) {
    const std::optional<TableSpan> span = tableSpan(document);
    if (!span) return std::nullopt;
    std::string result(document.substr(0, span->from));
    result += table;
    result += document.substr(span->to);
    return result;
}

std::optional<std::string> rowTableOf(std::string_view document) {
    const std::optional<TableSpan> span = tableSpan(document);
    if (!span) return std::nullopt;
    return std::string(document.substr(span->from, span->to - span->from));
}

}  // namespace hivora
