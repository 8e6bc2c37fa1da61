#include "core/journal/journal_entry.h"

#include <nlohmann/json.hpp>

namespace hivora {
namespace {

using Json = nlohmann::json;

std::string toHex(const std::string& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const unsigned char c : bytes) {
        hex += kDigits[c >> 4];
        hex += kDigits[c & 15];
    }
    return hex;
}

Json valueJson(const ValueState& state) {
    if (!state.present) return nullptr;
    return {{"type", state.type}, {"data", toHex(state.data)}};
}

Json keyJson(const KeyState& state) {
    if (!state.present) return nullptr;
    Json values = Json::array();
    for (const NamedValue& v : state.values)
        values.push_back({{"name", v.name}, {"type", v.type}, {"data", toHex(v.data)}});
    Json subKeys = Json::array();
    for (const KeyState& sub : state.subKeys) {
        Json child = keyJson(sub);
        child["name"] = sub.name;
        subKeys.push_back(std::move(child));
    }
    return {{"class", state.keyClass}, {"values", std::move(values)}, {"keys", std::move(subKeys)}};
}

}  // namespace

bool JournalItem::sameTarget(const JournalItem& other) const {
    const auto same = [](const std::string& a, const std::string& b) {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
                   return std::tolower(x) == std::tolower(y);
               });
    };
    return kind == other.kind && root == other.root && same(key, other.key) &&
           (kind == ItemKind::Key || same(name, other.name));
}

bool JournalItem::changed() const {
    return kind == ItemKind::Value ? valueBefore != valueAfter : !keyBefore.sameContent(keyAfter);
}

std::string entryToJson(const JournalEntry& entry) {
    Json items = Json::array();
    for (const JournalItem& item : entry.items) {
        Json j = {{"kind", item.kind == ItemKind::Value ? "value" : "key"},
                  {"root", std::string(rootName(item.root))},
                  {"key", item.key}};
        if (item.kind == ItemKind::Value) {
            j["name"] = item.name;
            j["before"] = valueJson(item.valueBefore);
            j["after"] = valueJson(item.valueAfter);
        } else {
            j["before"] = keyJson(item.keyBefore);
            j["after"] = keyJson(item.keyAfter);
        }
        items.push_back(std::move(j));
    }
    Json j = {{"id", entry.id},
              {"time", entry.time},
              {"store", entry.store},
              {"label",
               {{"page", entry.label.page},
                {"row", entry.label.row},
                {"button", entry.label.button},
                {"caption", entry.label.caption}}},
              {"items", std::move(items)}};
    if (entry.undoes) j["undoes"] = *entry.undoes;
    // Texts that are not UTF-8 cannot reach here (names pass the code page first); should one
    // slip through, it is written with replacement characters rather than failing the action.
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string voidMarkToJson(std::int64_t id) {
    return Json{{"void", id}}.dump();
}

}  // namespace hivora
