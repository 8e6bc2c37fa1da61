#include "core/journal/journal_text.h"

#include <cctype>
#include <ctime>
#include <string_view>

#include "core/journal/journal_items.h"
#include "core/journal/undo_chain.h"

namespace hivora {
namespace {

constexpr std::size_t kShownBytes = 32;
constexpr char kSecretText[] = "******";

std::string flat(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return text;
}

}  // namespace

std::string describeValue(const ValueState& state, const AnsiCodec& codec) {
    if (!state.present) return "（无）";
    const std::string& data = state.data;
    if (state.type == kRegDword && data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i) number = number << 8 | static_cast<unsigned char>(data[i]);
        return std::to_string(number);
    }
    if (state.type == kRegSz || state.type == kRegExpandSz || state.type == kRegMultiSz) {
        std::string text = data;
        while (!text.empty() && text.back() == '\0') text.pop_back();
        for (char& c : text)
            if (c == '\0') c = ' ';
        if (Result<std::string> utf8 = codec.fromAnsi(text)) return "\"" + utf8.value() + "\"";
    }
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (std::size_t i = 0; i < data.size() && i < kShownBytes; ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        if (i > 0) hex += ' ';
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    if (data.size() > kShownBytes) hex += " …";
    return data.empty() ? "（空）" : hex;
}

std::string describeKey(const KeyState& state) {
    if (!state.present) return "（无）";
    return "项（" + std::to_string(state.values.size()) + " 个数值，" +
           std::to_string(state.subKeys.size()) + " 个子项）";
}

bool isSecretValue(const JournalItem& item) {
    constexpr std::string_view kWord = "password";
    if (item.kind != ItemKind::Value) return false;
    const std::string& name = item.name;
    for (std::size_t at = 0; at + kWord.size() <= name.size(); ++at) {
        std::size_t i = 0;
        while (i < kWord.size() &&
               std::tolower(static_cast<unsigned char>(name[at + i])) == kWord[i])
            ++i;
        if (i == kWord.size()) return true;
    }
    return false;
}

std::string describeItemValue(const JournalItem& item, const ValueState& state,
                              const AnsiCodec& codec) {
    if (state.present && isSecretValue(item)) return kSecretText;
    return describeValue(state, codec);
}

std::string describeChange(const JournalItem& item, const AnsiCodec& codec) {
    if (item.kind == ItemKind::Value)
        return itemPath(item) + "：" + describeItemValue(item, item.valueBefore, codec) + " → " +
               describeItemValue(item, item.valueAfter, codec);
    return itemPath(item) + "：" + describeKey(item.keyBefore) + " → " + describeKey(item.keyAfter);
}

std::string formatLocalTime(std::int64_t seconds) {
    const auto t = static_cast<std::time_t>(seconds);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::vector<HistoryRow> historyRows(const std::vector<JournalEntry>& entries,
                                    const AnsiCodec& codec) {
    const UndoChain chain = walkUndoChain(entries);
    std::vector<HistoryRow> rows;
    rows.reserve(entries.size());
    for (std::size_t i = entries.size(); i-- > 0;) {
        const JournalEntry& entry = entries[i];
        const EntryStatus& status = chain.entries[i];
        HistoryRow row;
        row.id = entry.id;
        row.time = entry.time;
        row.undone = status.role == EntryRole::Action && status.undone;
        if (status.role == EntryRole::Action || !status.action) {
            row.caption = entry.label.caption;
        } else {
            row.caption = (status.role == EntryRole::Undo ? "撤销：" : "重做：") +
                          entries[*status.action].label.caption;
        }
        for (const JournalItem& item : entry.items)
            if (item.changed()) row.changes.push_back(describeChange(item, codec));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string historyLine(const HistoryRow& row) {
    std::string changes;
    for (const std::string& change : row.changes) {
        if (!changes.empty()) changes += "；";
        changes += change;
    }
    std::string line = std::to_string(row.id) + "\t" + formatLocalTime(row.time) + "\t" +
                       flat(row.caption) + "\t" + flat(changes);
    if (row.undone) line += "\t已撤销";
    return line;
}

}  // namespace hivora
