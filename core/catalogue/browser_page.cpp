// The page-address rows of the browser page: each writes one text to one or two values.

#include "core/catalogue/browser_page.h"

#include <vector>

#include "core/catalogue/registry_locations.h"
#include "core/catalogue/row_dialogues.h"

namespace hivora {
namespace {

using namespace locations;

// One value a page-address row writes.
struct AddressValue {
    RegKey root;
    const char* key;
    const char* name;
};

struct AddressRow {
    std::string_view caption;
    const char* factoryDefault;
    std::vector<AddressValue> values;  // in the order they are written
    WindowsGenerations takesEffectOn;
};

// The browser's desktop program is not part of Windows 11: "Internet Explorer is disabled" (the
// source is named beside the property rows, browser_property_rows.cpp).
constexpr WindowsGenerations kBrowser = before(WindowsGeneration::Win11);
// The Search Assistant is off from version 7 on, which came with Vista.
// Source:
// https://learn.microsoft.com/en-us/previous-versions/windows/internet-explorer/ie-developer/platform-apis/aa753632(v=vs.85)
constexpr WindowsGenerations kBrowserBefore7 =
    onlyOn(WindowsGeneration::Win9x, WindowsGeneration::Xp);

const std::vector<AddressRow>& addressRows() {
    // The home and start pages are the user's own settings, so they go where the browser reads
    // the user's choice (HKEY_CURRENT_USER).
    static const std::vector<AddressRow> rows = {
        {"默认主页：",
         kFactoryHomePage,
         {{kHkeyCurrentUser, kBrowserMain, "Default_Page_URL"}},
         kBrowser},
        {"默认首页：",
         kFactoryHomePage,
         {{kHkeyCurrentUser, kBrowserMain, "Start Page"}},
         kBrowser},
        {"搜索引擎：",
         kFactorySearchAssistant,
         {{kHkeyLocalMachine, kBrowserSearch, "SearchAssistant"},
          {kHkeyLocalMachine, kBrowserSearch, "CustomizeSearch"}},
         kBrowserBefore7},
        {"标 题 栏：",
         kFactoryWindowTitle,
         {{kHkeyCurrentUser, kBrowserMain, "Window Title"},
          {kHkeyLocalMachine, kBrowserMain, "Window Title"}},
         kBrowser},
    };
    return rows;
}

const AddressRow* addressRow(int row) {
    if (row < 0 || row >= kIEPageRowCount) return nullptr;
    return &addressRows()[static_cast<std::size_t>(row)];
}

RowOutcome noSuchRow(int row) {
    RowOutcome outcome;
    outcome.status = Status::error("没有第 " + std::to_string(row) + " 行");
    return outcome;
}

std::vector<RegOp> addressWrites(const AddressRow& row, const std::string& text) {
    std::vector<RegOp> ops;
    for (const AddressValue& value : row.values) {
        ops.push_back(setString(value.root, value.key, value.name, text));
    }
    return ops;
}

RowOutcome writeAddress(CatalogueServices& services, int index, const AddressRow& row,
                        const std::string& text, OutcomeMessage message) {
    const std::vector<RegOp> ops = addressWrites(row, text);
    const ButtonAction action{ops, nullptr, message, false};
    const ActionLabel label{"browserPages", index,
                            message == OutcomeMessage::ResetDone ? "default" : "change",
                            std::string(row.caption)};
    // Written also where it has no effect (the user may be preparing an older system).
    return runButtonAction(services, action, false, label,
                           noEffectLine(row.takesEffectOn, services.windowsGeneration));
}

}  // namespace

std::string_view iePageCaption(int row) {
    const AddressRow* found = addressRow(row);
    return found ? found->caption : std::string_view();
}

std::vector<RegOp> iePageWrites(int row, const std::string& text) {
    const AddressRow* found = addressRow(row);
    return found ? addressWrites(*found, text) : std::vector<RegOp>{};
}

std::string_view iePageFactoryDefault(int row) {
    const AddressRow* found = addressRow(row);
    return found ? found->factoryDefault : std::string_view();
}

WindowsGenerations iePageTakesEffectOn(int row) {
    const AddressRow* found = addressRow(row);
    return found ? found->takesEffectOn : WindowsGenerations{};
}

RowOutcome runIEPageChange(CatalogueServices& services, int row, const std::string& boxText) {
    const AddressRow* found = addressRow(row);
    if (found == nullptr) return noSuchRow(row);
    if (trimBlanks(boxText).empty()) return {};
    return writeAddress(services, row, *found, boxText, OutcomeMessage::SetDone);
}

RowOutcome runIEPageDefault(CatalogueServices& services, int row) {
    const AddressRow* found = addressRow(row);
    if (found == nullptr) return noSuchRow(row);
    return writeAddress(services, row, *found, found->factoryDefault, OutcomeMessage::ResetDone);
}

}  // namespace hivora
