#pragma once
// Whether each settings row is in effect now, read from the registry and judged by the row's own
// data: what its set button writes, creates or removes, against what its lift button does.
//
// Each registry place a row touches (a value, or a key for the rows that create or remove keys)
// is read and sorted:
// - it holds what only the set button leaves there: it speaks for "set";
// - it holds what only the lift button leaves there, or it is an absent value that both buttons
//   write (an absent setting is the system's default, which is what lifting restores): it speaks
//   for "not set";
// - both buttons leave the same there, or only one button touches it (lifting the browser icon
//   does not re-create its key): it does not decide;
// - it holds what neither button leaves there (another value or type): the row is "mixed".
// A row is "set" when some places speak for set and none for not set, "not set" when none speaks
// for set, and "mixed" otherwise.
//
// A row widened for today's Windows (CatalogueRow::todaysLocation) is judged by the places it
// always wrote; today's location is read and shown but never decides, so a row whose old values
// another program set reads "set" whatever is at today's location.
//
// Rows whose set asks the user (a text, a file, drive letters) cannot say in advance what they
// write. Their dialogue is run once against a probe that answers every question, which shows the
// places and value types the set writes; any value of that type there other than what lifting
// writes speaks for "set". Such a row is never "mixed" for holding only some of those values (the
// user may give only some), and its current values are given as text. A place such a set writes
// and lifting leaves alone decides by itself: a value there is "set", none is "not set". Rows whose
// lift asks are probed the same way.
//
// The rows that take a text box's text (page addresses, special folders, registration info) are
// judged the same way from what their button writes for a sample text and, where they have one,
// what their default button writes. A stored password is never shown.
//
// The few rows whose data cannot say their state are read by functions of their own
// (rows_with_own_rules.cpp): the hidden drives (shown as letters), the browser's address bar and its
// address aliases.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/catalogue/catalogue_types.h"
#include "core/registry/reg_info_get_set.h"

namespace hivora {

enum class SettingState { NotSet, Set, Mixed };

// "set", "not set" or "mixed", for scripts.
std::string_view settingStateWord(SettingState state);
// "已设置", "未设置" or "部分设置", for the user.
std::string_view settingStateText(SettingState state);

// What one registry place holds now.
struct PlaceReading {
    RegKey root = 0;
    std::string key;
    std::string name;    // the value name ("" the default value); unused for a key place
    bool isKey = false;  // the place is the key itself
    bool present = false;
    std::string data;  // UTF-8 form of the data for the user; "" when absent or a key
};

struct RowState {
    std::string caption;
    SettingState state = SettingState::NotSet;
    // Rows whose set asks the user, when set: their current values, joined by "，".
    std::string valueText;
    std::vector<PlaceReading> readings;  // every place the row touches, in the order of its data
    // From the row's data: the Windows generations it takes effect on (empty: every one) and
    // where today's Windows keeps the setting ("" when nowhere else).
    WindowsGenerations takesEffectOn{};
    std::string todaysLocation;
};

// The start of the tooltip line that names where today's Windows keeps a row's setting.
inline constexpr const char* kTodaysLocationLabel = "当前 Windows 的位置：";

// Several lines: the state; when the row has no effect on `current`, the line that says so
// (noEffectLine); when the row names one, "当前 Windows 的位置：<today's location>"; then each
// place as "root\key  name = data" (or "(不存在)").
std::string stateTooltip(const RowState& state,
                         WindowsGeneration current = WindowsGeneration::Unknown);

// How one place of a row is judged; built once per row from its data (see row_plan.h).
struct PlaceCheck;
struct RowPlan;

// The frames whose rows take their value from a text box.
enum class TextBoxPage { PageAddresses, SpecialFolders, Registration };

// A row that takes its value from a text box.
struct TextBoxRow {
    std::string caption;
    std::vector<RegOp> writes;         // what its button writes for a sample text
    std::vector<RegOp> defaultWrites;  // what its default button writes; empty: it has none
    // As CatalogueRow::takesEffectOn and ::todaysLocation.
    WindowsGenerations takesEffectOn{};
    std::string todaysLocation{};
};

// Reads row states through the access layer's registry. Plans are built on first use of a row
// and kept, so repeated reads cost only the registry reads. Reads never write, never fail: a
// place that cannot be read counts as absent.
class LiveStateReader {
  public:
    explicit LiveStateReader(RegInfoGetSet& layer);
    ~LiveStateReader();
    LiveStateReader(const LiveStateReader&) = delete;
    LiveStateReader& operator=(const LiveStateReader&) = delete;

    RowState readRow(const CatalogueRow& row);
    RowState readRow(const TextBoxRow& row);
    // Row `index` of a text-box frame (the registration rows: owner, organisation, computer
    // name); a state with no readings for an index outside it.
    RowState readRow(TextBoxPage page, int index);
    // Row `index` of `page`; a state with no readings for an index outside the page.
    RowState readRow(CataloguePage page, int index);
    // Every key the rows of all pages read, each once (root, path), for watching them.
    std::vector<std::pair<RegKey, std::string>> keysOfAllRows();
    // One value as it is now, for a text box that shows it.
    PlaceReading readValue(RegKey root, const std::string& key, const std::string& name);

    // The names and data of every value of a key, for rows that own a whole key; nothing when
    // the key cannot be opened.
    std::optional<std::vector<std::pair<std::string, std::string>>> readAllValues(
        RegKey root, const std::string& key);

  private:
    const RowPlan& planFor(const CatalogueRow& row);
    const RowPlan& planFor(const TextBoxRow& row);
    RowState judgeRow(const RowPlan& plan, std::string caption);
    PlaceReading readPlace(const PlaceCheck& check, std::uint32_t& type, std::string& bytes);

    RegInfoGetSet& m_layer;
    std::unordered_map<const void*, std::unique_ptr<RowPlan>> m_plans;
    std::vector<std::uint8_t> m_buffer;
};

// ---- All pages --------------------------------------------------------------------------------

// The rows of one frame of the window: two-button rows of a catalogue page, or text-box rows.
struct StatePage {
    std::string_view name;  // the tab and frame the rows sit in, for the user
    std::optional<CataloguePage> page;
    std::optional<TextBoxPage> textPage;   // when `page` is empty
    std::span<const TextBoxRow> textRows;  // the rows of `textPage`
};

// Every frame of settings rows, in the order of the window's tabs.
std::span<const StatePage> statePages();
// The number of rows of `page`.
std::size_t rowCount(const StatePage& page);

struct PageStates {
    const StatePage* page;
    std::vector<RowState> rows;  // one per row of the page, in order
};

// The states of all rows of all pages.
std::vector<PageStates> readAllStates(LiveStateReader& reader);

}  // namespace hivora
