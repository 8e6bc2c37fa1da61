#pragma once
// The judging plan of one row, built from its data: every registry place its two buttons touch,
// with what each button leaves there. Internal to core/livestate.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalogue/catalogue_types.h"
#include "core/livestate/live_state.h"
#include "core/registry/reg_info_get_set.h"
#include "platform/ansi_codec.h"

namespace hivora {

// What one button leaves at a place.
enum class Leaves {
    Untouched,       // the button does not touch the place
    Value,           // exactly `type` and `bytes` (texts in the ANSI code page, without a NUL)
    AnyValueOfType,  // some value of `type`: the button writes what the user answered
    NoValue,         // the value is removed
    Key,             // the key exists
    NoKey,           // the key is removed
};

struct SideEffect {
    Leaves leaves = Leaves::Untouched;
    std::uint32_t type = 0;
    std::string bytes;
};

struct PlaceCheck {
    RegKey root = 0;
    std::string key;
    std::string name;
    bool isKey = false;
    SideEffect set;
    SideEffect lift;
    // Today's location of a widened row: read and shown, but the row is judged by the places it
    // always wrote, so another program's value (or none) here never makes it "mixed".
    bool todays = false;
    // The key path and value name in the code page, converted once; false when they cannot be
    // (the place then reads as absent).
    bool encodable = false;
    std::string ansiKey;
    std::string ansiName;
};

// Fills the code-page forms of `place`.
void encodePlace(PlaceCheck& place, const AnsiCodec& codec);

// The text of a set value for the user, for rows whose data is a code rather than what the user
// typed. Given the value's type and its raw bytes.
using ValueTextFormatter = std::string (*)(std::uint32_t type, std::string_view bytes);

// The state of a row whose data cannot say it, read by a function of its own.
using SpecialState = RowState (*)(LiveStateReader& reader);

struct RowPlan {
    std::vector<PlaceCheck> places;
    bool setAsks = false;
    ValueTextFormatter formatValue = nullptr;  // null: the data as read
    SpecialState special = nullptr;            // set: the places are not used
};

// The plan of `row`; its dialogues are probed with `layer` for the rows that read before they
// write. Texts the code page cannot hold stay as they are (they then never match).
RowPlan buildRowPlan(const CatalogueRow& row, RegInfoGetSet& layer);
RowPlan buildTextRowPlan(const TextBoxRow& row, const AnsiCodec& codec);

// The rows whose data cannot say their state, by the dialogue of their set (rows_with_own_rules.cpp).
struct SpecialRow {
    Dialogue setAsk;
    SpecialState state;         // null: judged from the data, with `format` for the value
    ValueTextFormatter format;  // null: the data as read
};
std::span<const SpecialRow> specialRows();

// Whether the value holds a secret that is never shown (a stored logon password).
bool isSecretValue(std::string_view valueName);

// Registry names compare without regard to the case of ASCII letters.
bool sameKeyName(std::string_view a, std::string_view b);

// The data of a value for the user: texts decoded from the code page (shown as bytes when they
// cannot be), numbers in decimal, other data as hexadecimal bytes.
std::string dataText(std::uint32_t type, std::string_view bytes, const AnsiCodec& codec);

}  // namespace hivora
