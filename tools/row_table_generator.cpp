// Writes the table of settings rows against Windows versions into README.md, between the lines
// "<!-- row-table begin -->" and "<!-- row-table end -->", from the catalogue itself, or checks
// that the README's table is the one the catalogue gives:
//
//   row_table_generator                     prints the table
//   row_table_generator README.md           writes it into README.md
//   row_table_generator --check README.md   exit status 1, with a note, when they differ
//
// The build's target update_readme_row_table runs the second form on the repository's README;
// the test readme_row_table runs the third.

#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>

#include "core/livestate/row_table.h"

namespace {

constexpr const char* kRegenerate =
    "cmake --build --preset debug-asan --target update_readme_row_table";

std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

// The line number (from 1) of the first line where `a` and `b` differ.
int firstDifferentLine(const std::string& a, const std::string& b) {
    int line = 1;
    for (std::size_t i = 0; i < a.size() && i < b.size() && a[i] == b[i]; ++i) {
        if (a[i] == '\n') ++line;
    }
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string table = hivora::rowTableMarkdown(hivora::catalogueRowLines());
    const std::string first = argc > 1 ? argv[1] : "";
    if (argc == 1) {
        std::cout << table;
        return 0;
    }
    const bool check = first == "--check";
    if ((check && argc != 3) || (!check && argc != 2)) {
        std::cerr << "usage: row_table_generator [[--check] README.md]\n";
        return 2;
    }
    const std::string path = check ? argv[2] : first;
    const std::optional<std::string> document = readFile(path);
    if (!document) {
        std::cerr << "cannot read " << path << "\n";
        return 1;
    }
    const std::optional<std::string> updated = hivora::withRowTable(*document, table);
    if (!updated) {
        std::cerr << path << " has no lines " << hivora::kRowTableBegin << " and "
                  << hivora::kRowTableEnd << " (in that order) to put the table between\n";
        return 1;
    }
    if (check) {
        if (*updated == *document) return 0;
        const std::string current = hivora::rowTableOf(*document).value_or("");
        std::cerr << path << ": the table of rows differs from the catalogue's (first at line "
                  << firstDifferentLine(current, table) << " of the table).\n"
                  << "Regenerate it with: " << kRegenerate << "\n";
        return 1;
    }
    if (*updated != *document && !writeFile(path, *updated)) {
        std::cerr << "cannot write " << path << "\n";
        return 1;
    }
    return 0;
}
