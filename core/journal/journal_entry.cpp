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

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool fromHex(const std::string& hex, std::string& out) {
    if (hex.size() % 2 != 0) return false;
    out.clear();
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = hexDigit(hex[i]), low = hexDigit(hex[i + 1]);
        if (high < 0 || low < 0) return false;
        out += static_cast<char>(high * 16 + low);
    }
    return true;
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

// Readers: false when the JSON does not have the expected shape.
bool readString(const Json& j, const char* field, std::string& out) {
    const auto it = j.find(field);
    if (it == j.end() || !it->is_string()) return false;
    out = it->get<std::string>();
    return true;
}

template <typename T>
bool readInteger(const Json& j, const char* field, T& out) {
    const auto it = j.find(field);
    if (it == j.end() || !it->is_number_integer()) return false;
    out = it->get<T>();
    return true;
}

bool readValue(const Json& j, ValueState& out) {
    out = {};
    if (j.is_null()) return true;
    if (!j.is_object()) return false;
    std::string hex;
    out.present = true;
    return readInteger(j, "type", out.type) && readString(j, "data", hex) && fromHex(hex, out.data);
}

bool readKey(const Json& j, KeyState& out, int depth) {
    out = {};
    if (j.is_null()) return true;
    if (!j.is_object() || depth > 512) return false;
    out.present = true;
    if (!readString(j, "class", out.keyClass)) return false;
    const auto values = j.find("values");
    const auto subKeys = j.find("keys");
    if (values == j.end() || !values->is_array() || subKeys == j.end() || !subKeys->is_array())
        return false;
    for (const Json& v : *values) {
        NamedValue value;
        std::string hex;
        if (!v.is_object() || !readString(v, "name", value.name) ||
            !readInteger(v, "type", value.type) || !readString(v, "data", hex) ||
            !fromHex(hex, value.data))
            return false;
        out.values.push_back(std::move(value));
    }
    for (const Json& k : *subKeys) {
        KeyState child;
        if (!k.is_object() || !readKey(k, child, depth + 1) || !readString(k, "name", child.name))
            return false;
        out.subKeys.push_back(std::move(child));
    }
    return true;
}

bool readItem(const Json& j, JournalItem& item) {
    std::string kind, root;
    if (!j.is_object() || !readString(j, "kind", kind) || !readString(j, "root", root) ||
        !readString(j, "key", item.key))
        return false;
    item.root = rootFromName(root);
    if (item.root == 0 || !j.contains("before") || !j.contains("after")) return false;
    if (kind == "value") {
        item.kind = ItemKind::Value;
        return readString(j, "name", item.name) && readValue(j["before"], item.valueBefore) &&
               readValue(j["after"], item.valueAfter);
    }
    if (kind == "key") {
        item.kind = ItemKind::Key;
        return readKey(j["before"], item.keyBefore, 0) && readKey(j["after"], item.keyAfter, 0);
    }
    return false;
}

bool readEntry(const Json& j, JournalEntry& entry) {
    const auto label = j.find("label");
    const auto items = j.find("items");
    if (!readInteger(j, "id", entry.id) || !readInteger(j, "time", entry.time) ||
        !readString(j, "store", entry.store) || label == j.end() || !label->is_object() ||
        items == j.end() || !items->is_array())
        return false;
    if (!readString(*label, "page", entry.label.page) ||
        !readInteger(*label, "row", entry.label.row) ||
        !readString(*label, "button", entry.label.button) ||
        !readString(*label, "caption", entry.label.caption))
        return false;
    if (const auto undoes = j.find("undoes"); undoes != j.end() && !undoes->is_null()) {
        std::int64_t id = 0;
        if (!readInteger(j, "undoes", id)) return false;
        entry.undoes = id;
    }
    for (const Json& i : *items) {
        JournalItem item;
        if (!readItem(i, item)) return false;
        entry.items.push_back(std::move(item));
    }
    return true;
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

JournalLine parseJournalLine(std::string_view line) {
    JournalLine parsed;
    const Json j = Json::parse(line, nullptr, /*allow_exceptions=*/false);
    if (j.is_discarded() || !j.is_object()) return parsed;
    if (j.contains("void")) {
        if (readInteger(j, "void", parsed.voided)) parsed.kind = JournalLine::Kind::Void;
        return parsed;
    }
    if (readEntry(j, parsed.entry)) parsed.kind = JournalLine::Kind::Entry;
    return parsed;
}

}  // namespace hivora
