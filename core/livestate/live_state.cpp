#include "core/livestate/live_state.h"

#include <algorithm>

#include "core/catalogue/registry_locations.h"
#include "core/catalogue/row_dispatch.h"
#include "core/livestate/row_plan.h"

namespace hivora {
namespace {

enum class Verdict { Undecided, ForSet, ForLift, Foreign };

bool writesValue(const SideEffect& side) {
    return side.leaves == Leaves::Value || side.leaves == Leaves::AnyValueOfType;
}

bool holds(const SideEffect& side, bool present, std::uint32_t type, std::string_view bytes) {
    switch (side.leaves) {
        case Leaves::Untouched:
            return false;
        case Leaves::Value:
            return present && type == side.type && bytes == side.bytes;
        case Leaves::AnyValueOfType:
            return present && type == side.type;
        case Leaves::NoValue:
        case Leaves::NoKey:
            return !present;
        case Leaves::Key:
            return present;
    }
    return false;
}

Verdict judge(const PlaceCheck& place, bool present, std::uint32_t type, std::string_view bytes) {
    // What the user gave, in a place nothing else writes: there or not.
    if (place.set.leaves == Leaves::AnyValueOfType && place.lift.leaves == Leaves::Untouched) {
        if (!present) return Verdict::ForLift;
        return type == place.set.type ? Verdict::ForSet : Verdict::Foreign;
    }
    // A fixed place only one button touches keeps the other button's state: it cannot decide.
    if (place.set.leaves == Leaves::Untouched || place.lift.leaves == Leaves::Untouched) {
        return Verdict::Undecided;
    }
    const bool lifted = holds(place.lift, present, type, bytes);
    // What the user may answer includes what lifting writes; that still reads as lifted.
    const bool set = holds(place.set, present, type, bytes) && !lifted;
    if (set) return Verdict::ForSet;
    if (lifted) {
        return holds(place.set, present, type, bytes) ? Verdict::Undecided : Verdict::ForLift;
    }
    // Both buttons write a value that is absent: the system's default, which lifting restores.
    if (!present && !place.isKey && writesValue(place.set) && writesValue(place.lift)) {
        return Verdict::ForLift;
    }
    return Verdict::Foreign;
}

// Texts are compared without the terminating NULs other programs store.
std::string_view withoutTrailingNuls(std::string_view bytes, std::uint32_t type) {
    if (type == kRegSz || type == kRegExpandSz) {
        while (!bytes.empty() && bytes.back() == '\0') bytes.remove_suffix(1);
    }
    return bytes;
}

}  // namespace

std::string_view settingStateWord(SettingState state) {
    switch (state) {
        case SettingState::Set:
            return "set";
        case SettingState::NotSet:
            return "not set";
        case SettingState::Mixed:
            return "mixed";
    }
    return "";
}

std::string_view settingStateText(SettingState state) {
    switch (state) {
        case SettingState::Set:
            return "已设置";
        case SettingState::NotSet:
            return "未设置";
        case SettingState::Mixed:
            return "部分设置";
    }
    return "";
}

std::string stateTooltip(const RowState& state, WindowsGeneration current) {
    std::string text(settingStateText(state.state));
    if (!state.valueText.empty()) text += "：" + state.valueText;
    if (const std::string line = noEffectLine(state.takesEffectOn, current); !line.empty()) {
        text += "\n" + line;
    }
    if (!state.todaysLocation.empty()) text += "\n" + (kTodaysLocationLabel + state.todaysLocation);
    for (const PlaceReading& place : state.readings) {
        text += "\n";
        text += rootName(place.root);
        text += "\\" + place.key;
        if (place.isKey) {
            text += place.present ? "  (项存在)" : "  (项不存在)";
            continue;
        }
        text += "  " + (place.name.empty() ? std::string("(默认)") : place.name) + " = ";
        text += place.present ? place.data : std::string("(不存在)");
    }
    return text;
}

LiveStateReader::LiveStateReader(RegInfoGetSet& layer) : m_layer(layer), m_buffer(256) {}
LiveStateReader::~LiveStateReader() = default;

const RowPlan& LiveStateReader::planFor(const CatalogueRow& row) {
    std::unique_ptr<RowPlan>& plan = m_plans[&row];
    if (!plan) plan = std::make_unique<RowPlan>(buildRowPlan(row, m_layer));
    return *plan;
}

const RowPlan& LiveStateReader::planFor(const TextBoxRow& row) {
    std::unique_ptr<RowPlan>& plan = m_plans[&row];
    if (!plan) plan = std::make_unique<RowPlan>(buildTextRowPlan(row, m_layer.codec()));
    return *plan;
}

PlaceReading LiveStateReader::readPlace(const PlaceCheck& check, std::uint32_t& type,
                                        std::string& bytes) {
    PlaceReading reading;
    reading.root = check.root;
    reading.key = check.key;
    reading.name = check.name;
    reading.isKey = check.isKey;
    type = kRegNone;
    bytes.clear();

    RegistryApi& api = m_layer.api();
    const AnsiCodec& codec = m_layer.codec();
    if (!check.encodable) return reading;
    RegKey handle = 0;
    if (api.RegOpenKeyExA(check.root, check.ansiKey.c_str(), 0, kKeyRead, &handle) !=
        kErrorSuccess) {
        return reading;
    }
    if (check.isKey) {
        reading.present = true;
    } else {
        for (int attempt = 0; attempt < 3; ++attempt) {
            auto size = static_cast<std::uint32_t>(m_buffer.size());
            const RegResult result =
                api.RegQueryValueExA(handle, check.ansiName.c_str(), &type, m_buffer.data(), &size);
            if (result == kErrorMoreData) {
                m_buffer.resize(std::max<std::size_t>(size, m_buffer.size() * 2));
                continue;
            }
            if (result == kErrorSuccess) {
                reading.present = true;
                bytes.assign(reinterpret_cast<const char*>(m_buffer.data()), size);
                reading.data = isSecretValue(check.name) ? "******" : dataText(type, bytes, codec);
            }
            break;
        }
    }
    (void)api.RegCloseKey(handle);
    return reading;
}

RowState LiveStateReader::readRow(const CatalogueRow& row) {
    RowState state = judgeRow(planFor(row), std::string(row.caption));
    state.takesEffectOn = row.takesEffectOn;
    state.todaysLocation = row.todaysLocation;
    return state;
}

RowState LiveStateReader::readRow(const TextBoxRow& row) {
    RowState state = judgeRow(planFor(row), row.caption);
    state.takesEffectOn = row.takesEffectOn;
    state.todaysLocation = row.todaysLocation;
    return state;
}

RowState LiveStateReader::judgeRow(const RowPlan& plan, std::string caption) {
    if (plan.special) {
        RowState state = plan.special(*this);
        state.caption = std::move(caption);
        return state;
    }
    RowState state;
    state.caption = std::move(caption);
    state.readings.reserve(plan.places.size());
    bool forSet = false;
    bool forLift = false;
    bool foreign = false;
    std::string bytes;
    for (const PlaceCheck& place : plan.places) {
        std::uint32_t type = kRegNone;
        PlaceReading reading = readPlace(place, type, bytes);
        const Verdict verdict =
            place.todays ? Verdict::Undecided
                         : judge(place, reading.present, type, withoutTrailingNuls(bytes, type));
        forSet = forSet || verdict == Verdict::ForSet;
        forLift = forLift || verdict == Verdict::ForLift;
        foreign = foreign || verdict == Verdict::Foreign;
        if (plan.setAsks && verdict == Verdict::ForSet) {
            std::string shown = plan.formatValue && !isSecretValue(place.name)
                                    ? plan.formatValue(type, bytes)
                                    : std::string(reading.data);
            if (!state.valueText.empty()) state.valueText += "，";
            state.valueText += shown;
        }
        state.readings.push_back(std::move(reading));
    }

    if (foreign) {
        state.state = SettingState::Mixed;
    } else if (!forSet) {
        state.state = SettingState::NotSet;
    } else if (!forLift || plan.setAsks) {
        // An asking set may write only some of its values; what it wrote is the setting.
        state.state = SettingState::Set;
    } else {
        state.state = SettingState::Mixed;
    }
    if (state.state != SettingState::Set) state.valueText.clear();
    return state;
}

RowState LiveStateReader::readRow(CataloguePage page, int index) {
    const PageCatalogue& catalogue = pageCatalogue(page);
    if (index < 0 || static_cast<std::size_t>(index) >= catalogue.rows.size()) return {};
    return readRow(catalogue.rows[static_cast<std::size_t>(index)]);
}

std::vector<std::pair<RegKey, std::string>> LiveStateReader::keysOfAllRows() {
    std::vector<std::pair<RegKey, std::string>> keys;
    const auto addPlaces = [&](const RowPlan& plan) {
        for (const PlaceCheck& place : plan.places) {
            const auto same = [&](const auto& known) {
                return known.first == place.root && sameKeyName(known.second, place.key);
            };
            if (std::none_of(keys.begin(), keys.end(), same))
                keys.emplace_back(place.root, place.key);
        }
    };
    for (const StatePage& page : statePages()) {
        if (page.page) {
            for (const CatalogueRow& row : pageCatalogue(*page.page).rows) addPlaces(planFor(row));
        } else {
            for (const TextBoxRow& row : page.textRows) addPlaces(planFor(row));
        }
    }
    // The rows read by functions of their own name their keys here.
    keys.emplace_back(kHkeyClassesRoot, locations::kBrowseUiServer);
    keys.emplace_back(kHkeyLocalMachine, locations::kBrowserAboutUrls);
    return keys;
}

RowState LiveStateReader::readRow(TextBoxPage page, int index) {
    for (const StatePage& frame : statePages()) {
        if (frame.textPage != page) continue;
        if (index < 0 || static_cast<std::size_t>(index) >= frame.textRows.size()) return {};
        return readRow(frame.textRows[static_cast<std::size_t>(index)]);
    }
    return {};
}

PlaceReading LiveStateReader::readValue(RegKey root, const std::string& key,
                                        const std::string& name) {
    PlaceCheck place;
    place.root = root;
    place.key = key;
    place.name = name;
    encodePlace(place, m_layer.codec());
    std::uint32_t type = kRegNone;
    std::string bytes;
    return readPlace(place, type, bytes);
}

std::optional<std::vector<std::pair<std::string, std::string>>> LiveStateReader::readAllValues(
    RegKey root, const std::string& key) {
    RegistryApi& api = m_layer.api();
    const AnsiCodec& codec = m_layer.codec();
    Result<std::string> ansiKey = codec.toAnsi(key);
    RegKey handle = 0;
    if (!ansiKey ||
        api.RegOpenKeyExA(root, ansiKey.value().c_str(), 0, kKeyRead, &handle) != kErrorSuccess) {
        return std::nullopt;
    }
    std::vector<std::pair<std::string, std::string>> values;
    std::vector<char> name(256);
    for (std::uint32_t index = 0;;) {
        auto nameLength = static_cast<std::uint32_t>(name.size());
        auto size = static_cast<std::uint32_t>(m_buffer.size());
        std::uint32_t type = kRegNone;
        const RegResult result = api.RegEnumValueA(handle, index, name.data(), &nameLength, &type,
                                                   m_buffer.data(), &size);
        if (result == kErrorMoreData) {
            name.resize(name.size() * 2);
            m_buffer.resize(std::max<std::size_t>(size, m_buffer.size() * 2));
            if (name.size() > 65536) break;
            continue;
        }
        if (result != kErrorSuccess) break;
        const std::string ansiName(name.data(), nameLength);
        Result<std::string> decoded = codec.fromAnsi(ansiName);
        const std::string bytes(reinterpret_cast<const char*>(m_buffer.data()), size);
        values.emplace_back(decoded ? decoded.value() : ansiName, dataText(type, bytes, codec));
        ++index;
    }
    (void)api.RegCloseKey(handle);
    return values;
}

}  // namespace hivora
