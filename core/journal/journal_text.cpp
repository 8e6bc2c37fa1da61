#include "core/journal/journal_text.h"

#include <ctime>

#include "core/journal/journal_items.h"

namespace hivora {
namespace {

constexpr std::size_t kShownBytes = 32;

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

std::string describeChange(const JournalItem& item, const AnsiCodec& codec) {
    if (item.kind == ItemKind::Value)
        return itemPath(item) + "：" + describeValue(item.valueBefore, codec) + " → " +
               describeValue(item.valueAfter, codec);
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

std::string historyLine(const JournalEntry& entry, bool undone, const AnsiCodec& codec) {
    std::string changes;
    for (const JournalItem& item : entry.items) {
        if (!item.changed()) continue;
        if (!changes.empty()) changes += "；";
        changes += describeChange(item, codec);
    }
    std::string line = std::to_string(entry.id) + "\t" + formatLocalTime(entry.time) + "\t" +
                       flat(entry.label.caption) + "\t" + flat(changes);
    if (undone) line += "\t已撤销";
    return line;
}

}  // namespace hivora
