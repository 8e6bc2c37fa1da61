#include "core/livestate/row_plan.h"

#include <algorithm>
#include <cstdio>

#include "platform/logon_secrets.h"

namespace hivora {
namespace {

// ---- The probe that shows what an asking set writes -------------------------------------------

// Answers every question so that the dialogue goes as far as it can: Yes to every box, a short
// number to every input box (a valid size, style, coordinate and text alike), a path for every
// file and folder. It starts nothing.
class ProbeDialogs : public DialogServices {
  public:
    int ShowMessageBox(const std::string&, int, const std::string&) override { return kIdYes; }
    std::string ShowInputBox(const std::string&, const std::string&, const std::string&,
                             bool) override {
        return "1";
    }
    std::string ShowOpenFileDialog(const std::string&) override { return "C:\\probe.bmp"; }
    std::string ShowSaveFileDialog(const std::string&, const std::string&) override { return {}; }
    std::int32_t ShowColorDialog(std::int32_t initialColor) override { return initialColor ^ 1; }
    Status RunCommand(const std::string&, int) override {
        return Status::error("probe starts nothing");
    }
    std::string BrowseForFolder(const std::string&) override { return "C:\\probe"; }
};

// Every path exists, as an ordinary file.
class ProbeFiles : public FileSystem {
  public:
    std::optional<std::uint32_t> attributes(const std::string&) const override {
        return kFileAttributeArchive;
    }
};

// The dialogue may read the registry (through `layer`) but writes nothing itself; no secret store
// is given, so a password is written as a value, which shows where it would go.
std::vector<RegOp> probeAskedOps(Dialogue ask, RegInfoGetSet& layer) {
    ProbeDialogs dialogs;
    ProbeFiles files;
    std::string scratch;
    DialogueContext context{dialogs, files, scratch};
    context.layer = &layer;
    return ask(context).value_or(std::vector<RegOp>{});
}

// ---- Building ---------------------------------------------------------------------------------

std::uint32_t typeOf(RegOpKind kind) {
    switch (kind) {
        case RegOpKind::SetString:
            return kRegSz;
        case RegOpKind::SetExpandString:
            return kRegExpandSz;
        case RegOpKind::SetDword:
            return kRegDword;
        case RegOpKind::SetBinary:
            return kRegBinary;
        default:
            return kRegNone;
    }
}

SideEffect effectOf(const RegOp& op, bool asked, const AnsiCodec& codec) {
    switch (op.kind) {
        case RegOpKind::DeleteValue:
            return {Leaves::NoValue, 0, {}};
        case RegOpKind::CreateKey:
        case RegOpKind::RestoreKey:  // brings the key back (whole from the journal, or empty)
            return {Leaves::Key, 0, {}};
        case RegOpKind::RemoveKey:
            return {Leaves::NoKey, 0, {}};
        default:
            break;
    }
    const std::uint32_t type = typeOf(op.kind);
    if (asked) return {Leaves::AnyValueOfType, type, {}};
    std::string bytes;
    if (op.kind == RegOpKind::SetDword) {
        const auto value = static_cast<std::uint32_t>(op.number);
        for (int i = 0; i < 4; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    } else if (op.kind == RegOpKind::SetBinary) {
        bytes = op.text;
    } else {
        Result<std::string> ansi = codec.toAnsi(op.text);
        bytes = ansi ? std::move(ansi).value() : op.text;
    }
    return {Leaves::Value, type, std::move(bytes)};
}

PlaceCheck& placeFor(RowPlan& plan, const RegOp& op) {
    const bool isKey = op.kind == RegOpKind::CreateKey || op.kind == RegOpKind::RemoveKey ||
                       op.kind == RegOpKind::RestoreKey;
    for (PlaceCheck& place : plan.places) {
        if (place.root == op.root && place.isKey == isKey && sameKeyName(place.key, op.key) &&
            (isKey || sameKeyName(place.name, op.name))) {
            return place;
        }
    }
    PlaceCheck place;
    place.root = op.root;
    place.key = op.key;
    place.name = isKey ? std::string() : op.name;
    place.isKey = isKey;
    plan.places.push_back(std::move(place));
    return plan.places.back();
}

// A later operation on the same place decides what the button leaves there. The last
// `todaysOps` operations write today's location of a widened row.
void addSide(RowPlan& plan, std::span<const RegOp> ops, bool isSet, bool asked,
             const AnsiCodec& codec, std::size_t todaysOps = 0) {
    const std::size_t firstTodays = ops.size() - std::min(todaysOps, ops.size());
    for (std::size_t i = 0; i < ops.size(); ++i) {
        const RegOp& op = ops[i];
        // A restore that makes nothing when the journal has no copy leaves no known state.
        if (op.kind == RegOpKind::RestoreKey && op.number == 0) continue;
        PlaceCheck& place = placeFor(plan, op);
        (isSet ? place.set : place.lift) = effectOf(op, asked, codec);
        place.todays = place.todays || i >= firstTodays;
    }
}

}  // namespace

void encodePlace(PlaceCheck& place, const AnsiCodec& codec) {
    Result<std::string> key = codec.toAnsi(place.key);
    Result<std::string> name = codec.toAnsi(place.name);
    place.encodable = key && name;
    if (!place.encodable) return;
    place.ansiKey = std::move(key).value();
    place.ansiName = std::move(name).value();
}

RowPlan buildRowPlan(const CatalogueRow& row, RegInfoGetSet& layer) {
    RowPlan plan;
    plan.setAsks = row.set.ask != nullptr;
    if (plan.setAsks) {
        for (const SpecialRow& special : specialRows()) {
            if (special.setAsk != row.set.ask) continue;
            plan.special = special.state;
            plan.formatValue = special.format;
        }
        if (plan.special) return plan;
    }
    const AnsiCodec& codec = layer.codec();
    if (plan.setAsks) {
        addSide(plan, probeAskedOps(row.set.ask, layer), true, true, codec, row.set.todaysOps);
    } else {
        addSide(plan, row.set.ops, true, false, codec, row.set.todaysOps);
    }
    if (row.lift.ask != nullptr) {
        addSide(plan, probeAskedOps(row.lift.ask, layer), false, true, codec, row.lift.todaysOps);
    } else {
        addSide(plan, row.lift.ops, false, false, codec, row.lift.todaysOps);
    }
    for (PlaceCheck& place : plan.places) encodePlace(place, codec);
    return plan;
}

RowPlan buildTextRowPlan(const TextBoxRow& row, const AnsiCodec& codec) {
    RowPlan plan;
    plan.setAsks = true;
    addSide(plan, row.writes, true, true, codec);
    addSide(plan, row.defaultWrites, false, false, codec);
    for (PlaceCheck& place : plan.places) encodePlace(place, codec);
    return plan;
}

bool isSecretValue(std::string_view valueName) {
    return sameKeyName(valueName, kDefaultPasswordSecret);
}

bool sameKeyName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

std::string dataText(std::uint32_t type, std::string_view bytes, const AnsiCodec& codec) {
    if (type == kRegSz || type == kRegExpandSz) {
        while (!bytes.empty() && bytes.back() == '\0') bytes.remove_suffix(1);
        if (Result<std::string> text = codec.fromAnsi(bytes)) return std::move(text).value();
    }
    if (type == kRegDword && bytes.size() == 4) {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<std::uint8_t>(bytes[i]);
        return std::to_string(static_cast<std::int32_t>(value));
    }
    constexpr std::size_t kShownBytes = 16;
    std::string text;
    for (std::size_t i = 0; i < bytes.size() && i < kShownBytes; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X",
                      static_cast<unsigned>(static_cast<std::uint8_t>(bytes[i])));
        if (!text.empty()) text += ' ';
        text += hex;
    }
    if (bytes.size() > kShownBytes) text += " …";
    return text;
}

}  // namespace hivora
