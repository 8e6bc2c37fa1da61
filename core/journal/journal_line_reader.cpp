// Reads one line of the journal straight into a JournalLine with nlohmann's event (SAX) parser.
// No document tree is built on the way: with a tree, allocating and freeing its nodes cost more
// than the parsing itself, and a long journal is read at every start.
//
// The shapes are the ones entryToJson and voidMarkToJson write. Members the reader does not know
// are skipped; a known member of the wrong type, a missing one, an id outside 1…kMaxJournalId, or
// bad JSON makes the line Garbled.

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>

#include "core/journal/journal_entry.h"

namespace hivora {
namespace {

using Json = nlohmann::json;

constexpr int kMaxKeyDepth = 512;

// A state as written: null, a value {type, data} or a key {class, values, keys} (sub-keys also
// carry their name). Which of the two an item's states must be is known only from the item's
// "kind", which may come after them, so a draft collects both shapes.
struct StateDraft {
    bool isNull = true;
    std::optional<std::uint32_t> type;
    std::optional<std::string> dataHex;
    bool hasClass = false, hasValues = false, hasKeys = false, hasName = false;
    KeyState key;  // name, class, values and sub-keys as read
};

struct ItemDraft {
    std::optional<std::string> kind, root, key, name;
    bool hasBefore = false, hasAfter = false;
    StateDraft before, after;

    // The draft of member "before" or "after", marked as read and made empty.
    StateDraft& startState(bool isBefore) {
        if (isBefore) {
            hasBefore = true;
            before = StateDraft();
            return before;
        }
        hasAfter = true;
        after = StateDraft();
        return after;
    }
};

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

bool toValueState(const StateDraft& draft, ValueState& out) {
    out = ValueState();
    if (draft.isNull) return true;
    if (!draft.type || !draft.dataHex) return false;
    out.present = true;
    out.type = *draft.type;
    return fromHex(*draft.dataHex, out.data);
}

bool isKeyShaped(const StateDraft& draft) {
    return draft.hasClass && draft.hasValues && draft.hasKeys;
}

bool toKeyState(StateDraft& draft, KeyState& out) {
    out = KeyState();
    if (draft.isNull) return true;
    if (!isKeyShaped(draft)) return false;
    out = std::move(draft.key);
    out.present = true;
    return true;
}

class LineReader final : public nlohmann::json_sax<Json> {
  public:
    // The line read, once sax_parse has accepted the whole text.
    JournalLine result() {
        JournalLine line;
        if (!m_finished) return line;
        if (m_voidSeen) {
            if (m_voided) {
                line.kind = JournalLine::Kind::Void;
                line.voided = *m_voided;
            }
            return line;
        }
        if (m_id && m_time && m_store && m_labelDone && m_itemsSeen) {
            m_entry.id = *m_id;
            m_entry.time = *m_time;
            m_entry.store = std::move(*m_store);
            line.kind = JournalLine::Kind::Entry;
            line.entry = std::move(m_entry);
        }
        return line;
    }

    bool null() override { return scalar(Scalar{Scalar::Null}); }
    bool boolean(bool) override { return scalar(Scalar{Scalar::Other}); }
    bool number_integer(number_integer_t v) override {
        return scalar(Scalar{Scalar::Integer, static_cast<std::int64_t>(v)});
    }
    bool number_unsigned(number_unsigned_t v) override {
        // Beyond the signed range no member of the line can take it.
        if (v > static_cast<number_unsigned_t>(INT64_MAX)) return scalar(Scalar{Scalar::Other});
        return scalar(Scalar{Scalar::Integer, static_cast<std::int64_t>(v)});
    }
    bool number_float(number_float_t, const string_t&) override {
        return scalar(Scalar{Scalar::Other});
    }
    bool string(string_t& text) override { return scalar(Scalar{Scalar::Text, 0, &text}); }
    bool binary(binary_t&) override { return scalar(Scalar{Scalar::Other}); }
    bool key(string_t& name) override {
        m_frames.back().member.assign(name);
        return true;
    }
    bool start_object(std::size_t) override;
    bool end_object() override;
    bool start_array(std::size_t) override;
    bool end_array() override {
        m_frames.pop_back();
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

  private:
    enum class Kind { Line, Label, Items, Item, State, Values, NamedValue, Keys, Skipped };

    struct Frame {
        Kind kind = Kind::Skipped;
        std::string member;               // objects: the member whose value comes next
        StateDraft* state = nullptr;      // State: the draft filled
        std::unique_ptr<StateDraft> own;  // State of a sub-key: its draft, owned here
        int depth = 0;                    // State: 0 for an item's state, +1 per sub-key
        NamedValue value;                 // NamedValue: the value read
        std::optional<std::string> valueHex;
        bool hasName = false, hasType = false;
    };

    struct Scalar {
        enum { Null, Integer, Text, Other } kind;
        std::int64_t integer = 0;
        std::string* text = nullptr;
    };

    bool scalar(const Scalar& v);
    bool lineMember(const std::string& member, const Scalar& v);
    bool labelMember(const std::string& member, const Scalar& v);
    bool itemMember(const std::string& member, const Scalar& v);
    bool stateMember(Frame& frame, const Scalar& v);
    bool namedValueMember(Frame& frame, const Scalar& v);
    bool finishItem();

    void push(Kind kind) {
        m_frames.emplace_back();
        m_frames.back().kind = kind;
    }
    Frame& top() { return m_frames.back(); }
    // Whether a member of the object on top is one the reader knows: such a member must have the
    // type it expects; any other is skipped whatever it holds.
    bool knownMember() const;

    std::vector<Frame> m_frames;
    bool m_finished = false;
    std::optional<std::int64_t> m_id, m_time, m_voided;
    std::optional<std::string> m_store;
    bool m_voidSeen = false, m_labelDone = false, m_itemsSeen = false;
    unsigned m_labelSeen = 0;
    JournalEntry m_entry;
    ItemDraft m_item;
};

bool isOneOf(const std::string& member, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (member == name) return true;
    return false;
}

bool LineReader::knownMember() const {
    const Frame& frame = m_frames.back();
    switch (frame.kind) {
        case Kind::Line:
            return isOneOf(frame.member,
                           {"id", "time", "store", "label", "items", "undoes", "void"});
        case Kind::Label:
            return isOneOf(frame.member, {"page", "row", "button", "caption"});
        case Kind::Item:
            return isOneOf(frame.member, {"kind", "root", "key", "name", "before", "after"});
        case Kind::State:
            return isOneOf(frame.member, {"type", "data", "class", "values", "keys", "name"});
        case Kind::NamedValue:
            return isOneOf(frame.member, {"name", "type", "data"});
        default:
            return false;
    }
}

bool LineReader::start_object(std::size_t) {
    if (m_frames.empty()) {
        if (m_finished) return false;
        push(Kind::Line);
        return true;
    }
    Frame& parent = top();
    switch (parent.kind) {
        case Kind::Items:
            m_item = ItemDraft();
            push(Kind::Item);
            return true;
        case Kind::Values:
            push(Kind::NamedValue);
            return true;
        case Kind::Keys: {
            if (parent.depth + 1 > kMaxKeyDepth) return false;
            Frame child;
            child.kind = Kind::State;
            child.own = std::make_unique<StateDraft>();
            child.state = child.own.get();
            child.state->isNull = false;
            child.depth = parent.depth + 1;
            m_frames.push_back(std::move(child));
            return true;
        }
        case Kind::Skipped:
            push(Kind::Skipped);
            return true;
        default:
            break;
    }
    if (parent.kind == Kind::Line && parent.member == "label") {
        push(Kind::Label);
        return true;
    }
    if (parent.kind == Kind::Item && (parent.member == "before" || parent.member == "after")) {
        StateDraft& draft = m_item.startState(parent.member == "before");
        draft.isNull = false;
        Frame child;
        child.kind = Kind::State;
        child.state = &draft;
        m_frames.push_back(std::move(child));
        return true;
    }
    if (knownMember()) return false;  // an object where something else belongs
    push(Kind::Skipped);
    return true;
}

bool LineReader::start_array(std::size_t) {
    if (m_frames.empty()) return false;
    Frame& parent = top();
    if (parent.kind == Kind::Skipped) {
        push(Kind::Skipped);
        return true;
    }
    if (parent.kind == Kind::Line && parent.member == "items") {
        m_itemsSeen = true;
        m_entry.items.clear();
        push(Kind::Items);
        return true;
    }
    if (parent.kind == Kind::State && (parent.member == "values" || parent.member == "keys")) {
        StateDraft& draft = *parent.state;
        const bool values = parent.member == "values";
        if (values) {
            draft.hasValues = true;
            draft.key.values.clear();
        } else {
            draft.hasKeys = true;
            draft.key.subKeys.clear();
        }
        Frame child;
        child.kind = values ? Kind::Values : Kind::Keys;
        child.depth = parent.depth;
        child.state = parent.state;
        m_frames.push_back(std::move(child));
        return true;
    }
    const bool inObject = parent.kind == Kind::Line || parent.kind == Kind::Label ||
                          parent.kind == Kind::Item || parent.kind == Kind::State ||
                          parent.kind == Kind::NamedValue;
    if (!inObject || knownMember()) return false;
    push(Kind::Skipped);
    return true;
}

bool LineReader::end_object() {
    Frame frame = std::move(m_frames.back());
    m_frames.pop_back();
    switch (frame.kind) {
        case Kind::Line:
            m_finished = true;
            return true;
        case Kind::Label:
            m_labelDone = m_labelSeen == 0b1111;
            return m_labelDone;
        case Kind::Item:
            return finishItem();
        case Kind::State: {
            if (frame.depth == 0) return true;  // an item's state waits for the item's kind
            StateDraft& draft = *frame.state;
            if (!isKeyShaped(draft) || !draft.hasName) return false;
            KeyState sub;
            if (!toKeyState(draft, sub)) return false;
            top().state->key.subKeys.push_back(std::move(sub));
            return true;
        }
        case Kind::NamedValue: {
            if (!frame.hasName || !frame.hasType || !frame.valueHex) return false;
            if (!fromHex(*frame.valueHex, frame.value.data)) return false;
            top().state->key.values.push_back(std::move(frame.value));
            return true;
        }
        default:
            return true;
    }
}

bool LineReader::finishItem() {
    ItemDraft& draft = m_item;
    if (!draft.kind || !draft.root || !draft.key || !draft.hasBefore || !draft.hasAfter)
        return false;
    JournalItem item;
    item.root = rootFromName(*draft.root);
    if (item.root == 0) return false;
    item.key = std::move(*draft.key);
    if (*draft.kind == "value") {
        if (!draft.name) return false;
        item.kind = ItemKind::Value;
        item.name = std::move(*draft.name);
        if (!toValueState(draft.before, item.valueBefore) ||
            !toValueState(draft.after, item.valueAfter))
            return false;
    } else if (*draft.kind == "key") {
        item.kind = ItemKind::Key;
        if (!toKeyState(draft.before, item.keyBefore) || !toKeyState(draft.after, item.keyAfter))
            return false;
    } else {
        return false;
    }
    m_entry.items.push_back(std::move(item));
    return true;
}

bool LineReader::scalar(const Scalar& v) {
    if (m_frames.empty()) return false;  // the line must be an object
    Frame& frame = top();
    switch (frame.kind) {
        case Kind::Line:
            return lineMember(frame.member, v);
        case Kind::Label:
            return labelMember(frame.member, v);
        case Kind::Item:
            return itemMember(frame.member, v);
        case Kind::State:
            return stateMember(frame, v);
        case Kind::NamedValue:
            return namedValueMember(frame, v);
        case Kind::Skipped:
            return true;
        default:
            return false;  // a plain value in an array of objects
    }
}

bool LineReader::lineMember(const std::string& member, const Scalar& v) {
    const bool integer = v.kind == Scalar::Integer;
    const bool validId = integer && v.integer >= 1 && v.integer <= kMaxJournalId;
    if (member == "id" && validId) {
        m_id = v.integer;
    } else if (member == "time" && integer) {
        m_time = v.integer;
    } else if (member == "store" && v.kind == Scalar::Text) {
        m_store = *v.text;
    } else if (member == "undoes" && (validId || v.kind == Scalar::Null)) {
        if (validId) m_entry.undoes = v.integer;
    } else if (member == "void") {
        // A void mark is a void mark whatever else the line holds; one that names no entry (or
        // an id no entry can have) is garbled.
        m_voidSeen = true;
        if (validId) m_voided = v.integer;
    } else if (knownMember()) {
        return false;
    }
    return true;
}

bool LineReader::labelMember(const std::string& member, const Scalar& v) {
    ActionLabel& label = m_entry.label;
    const bool text = v.kind == Scalar::Text;
    if (member == "page" && text) {
        label.page = *v.text;
        m_labelSeen |= 1;
    } else if (member == "row" && v.kind == Scalar::Integer) {
        label.row = static_cast<int>(v.integer);
        m_labelSeen |= 2;
    } else if (member == "button" && text) {
        label.button = *v.text;
        m_labelSeen |= 4;
    } else if (member == "caption" && text) {
        label.caption = *v.text;
        m_labelSeen |= 8;
    } else if (knownMember()) {
        return false;
    }
    return true;
}

bool LineReader::itemMember(const std::string& member, const Scalar& v) {
    const bool text = v.kind == Scalar::Text;
    if (member == "kind" && text) {
        m_item.kind = *v.text;
    } else if (member == "root" && text) {
        m_item.root = *v.text;
    } else if (member == "key" && text) {
        m_item.key = *v.text;
    } else if (member == "name" && text) {
        m_item.name = *v.text;
    } else if ((member == "before" || member == "after") && v.kind == Scalar::Null) {
        (void)m_item.startState(member == "before");  // null: an absent value or key
    } else if (knownMember()) {
        return false;
    }
    return true;
}

bool LineReader::stateMember(Frame& frame, const Scalar& v) {
    StateDraft& draft = *frame.state;
    const bool text = v.kind == Scalar::Text;
    if (frame.member == "type" && v.kind == Scalar::Integer) {
        draft.type = static_cast<std::uint32_t>(v.integer);
    } else if (frame.member == "data" && text) {
        draft.dataHex = *v.text;
    } else if (frame.member == "class" && text) {
        draft.key.keyClass = *v.text;
        draft.hasClass = true;
    } else if (frame.member == "name" && text) {
        draft.key.name = *v.text;
        draft.hasName = true;
    } else if (knownMember()) {
        return false;
    }
    return true;
}

bool LineReader::namedValueMember(Frame& frame, const Scalar& v) {
    const bool text = v.kind == Scalar::Text;
    if (frame.member == "name" && text) {
        frame.value.name = *v.text;
        frame.hasName = true;
    } else if (frame.member == "type" && v.kind == Scalar::Integer) {
        frame.value.type = static_cast<std::uint32_t>(v.integer);
        frame.hasType = true;
    } else if (frame.member == "data" && text) {
        frame.valueHex = *v.text;
    } else if (knownMember()) {
        return false;
    }
    return true;
}

}  // namespace

JournalLine parseJournalLine(std::string_view line) {
    LineReader reader;
    if (!Json::sax_parse(line, &reader)) return {};
    return reader.result();
}

}  // namespace hivora
