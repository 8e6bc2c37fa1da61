// The few rows whose data cannot say their state or how to show their value.
//
// - Hidden drives: the registry keeps a mask of the letters the user typed; they are shown as
//   letters again.
// - The browser's address bar: hiding it replaces the default value of its server key with a
//   "rem ..." text built from the system folder, and showing it puts back whatever was saved
//   before; what is set is recognised by that text.
// - The browser's address aliases: each click adds or removes one alias of the user's choice, so
//   the row is set when the aliases key holds any alias beyond the browser's own.

#include <algorithm>
#include <cctype>

#include "core/catalogue/browser_dialogues.h"
#include "core/catalogue/registry_locations.h"
#include "core/catalogue/row_dialogues.h"
#include "core/livestate/row_plan.h"

namespace hivora {
namespace {

using namespace locations;

std::string hiddenDrivesText(std::uint32_t type, std::string_view bytes) {
    if (type != kRegDword || bytes.size() != 4) return {};
    std::uint32_t mask = 0;
    for (int i = 3; i >= 0; --i) mask = (mask << 8) | static_cast<std::uint8_t>(bytes[i]);
    constexpr std::uint32_t kAllLetters = (1u << 26) - 1;
    if ((mask & kAllLetters) == kAllLetters) return "全部驱动器";
    std::string letters;
    for (int bit = 0; bit < 26; ++bit) {
        if (mask & (1u << bit)) letters += static_cast<char>('A' + bit);
    }
    return letters;
}

std::string lowerAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

RowState addressBarState(LiveStateReader& reader) {
    RowState state;
    PlaceReading server = reader.readValue(kHkeyClassesRoot, kBrowseUiServer, "");
    const std::string lower = lowerAscii(server.data);
    const bool hidden =
        server.present && lower.starts_with("\"rem ") && lower.ends_with("\\browseui.dll\"");
    state.state = hidden ? SettingState::Set : SettingState::NotSet;
    state.readings = {std::move(server),
                      reader.readValue(kHkeyClassesRoot, kBrowseUiServer, "temp")};
    return state;
}

// The aliases the browser itself keeps under AboutURLs.
constexpr const char* kBrowserOwnAliases[] = {
    "blank",
    "DesktopItemNavigationFailure",
    "InPrivate",
    "NavigationCanceled",
    "NavigationFailure",
    "NoAdd-ons",
    "NoAddOnsInfo",
    "OfflineInformation",
    "PostNotCached",
    "SecurityRisk",
    "Tabs",
};

RowState aliasesState(LiveStateReader& reader) {
    RowState state;
    const auto values = reader.readAllValues(kHkeyLocalMachine, kBrowserAboutUrls);
    for (const auto& [name, data] :
         values.value_or(std::vector<std::pair<std::string, std::string>>{})) {
        const bool own = std::any_of(std::begin(kBrowserOwnAliases), std::end(kBrowserOwnAliases),
                                     [&](const char* alias) { return sameKeyName(alias, name); });
        if (own) continue;
        if (!state.valueText.empty()) state.valueText += "，";
        state.valueText += "about:" + name + " = " + data;
        state.readings.push_back({kHkeyLocalMachine, kBrowserAboutUrls, name, false, true, data});
    }
    state.state = state.readings.empty() ? SettingState::NotSet : SettingState::Set;
    if (state.readings.empty()) {
        state.readings.push_back(
            {kHkeyLocalMachine, kBrowserAboutUrls, {}, true, values.has_value(), {}});
    }
    return state;
}

const SpecialRow kSpecialRows[] = {
    {askHiddenDrives, nullptr, hiddenDrivesText},
    {askAddressBarHidden, addressBarState, nullptr},
    {askAliasAdded, aliasesState, nullptr},
};

}  // namespace

std::span<const SpecialRow> specialRows() {
    return kSpecialRows;
}

}  // namespace hivora
