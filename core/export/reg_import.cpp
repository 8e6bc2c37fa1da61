#include "core/export/reg_import.h"

#include <cctype>
#include <optional>

#include "core/catalogue/row_dispatch.h"
#include "core/export/reg_writer.h"
#include "core/journal/registry_state.h"
#include "platform/unicode_text.h"

namespace hivora {
namespace {

// One line as read, after hex continuations were joined; `number` is where it began.
struct Line {
    std::size_t number = 0;
    std::string text;
};

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// The file's text in UTF-8, and whether it is the UTF-16 form.
Result<std::pair<std::string, bool>> decodeFile(std::string_view bytes, const AnsiCodec& codec) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        const std::u16string units =
            fromUtf16Le(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 2, bytes.size() - 2);
        Result<std::string> text = utf16ToUtf8(units);
        if (!text) return Status::error("文件不是有效的 UTF-16 文本");
        return std::pair{std::move(text).value(), true};
    }
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (utf8ToUtf16(bytes)) return std::pair{std::string(bytes), false};
    Result<std::string> text = codec.fromAnsi(bytes);
    if (!text)
        return Status::error("文件既不是 UTF-8，也不是代码页 " + std::to_string(codec.codePage()) +
                             " 的文本");
    return std::pair{std::move(text).value(), false};
}

// Splits into lines and joins each line ending in "\" (hex data going on) with the next.
std::vector<Line> logicalLines(const std::string& text) {
    std::vector<Line> lines;
    std::size_t start = 0, number = 0;
    bool continuing = false;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        ++number;
        std::string_view line = trimmed(std::string_view(text).substr(start, end - start));
        start = end + 1;
        if (continuing) {
            lines.back().text += line;
        } else {
            lines.push_back({number, std::string(line)});
        }
        const std::string& joined = lines.back().text;
        continuing = !joined.empty() && joined.back() == '\\' &&
                     (joined.front() == '"' || joined.front() == '@') &&
                     joined.find("=hex") != std::string::npos;
        if (continuing) lines.back().text.pop_back();
        if (end == text.size()) break;
    }
    return lines;
}

// A quoted text at the start of `rest` (after its opening quote), unescaped; `rest` is left
// after the closing quote. Empty: no closing quote, or an escape not understood (`why` says).
std::optional<std::string> unquote(std::string_view& rest, std::string& why) {
    std::string out;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const char c = rest[i];
        if (c == '"') {
            rest.remove_prefix(i + 1);
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == rest.size()) break;
        switch (rest[i]) {
            case '\\':
                out += '\\';
                break;
            case '"':
                out += '"';
                break;
            case 'n':
                out += '\n';
                break;
            default:
                why = std::string("不认识的转义 \\") + rest[i];
                return std::nullopt;
        }
    }
    why = "缺少结束的引号";
    return std::nullopt;
}

std::optional<std::string> hexBytes(std::string_view text) {
    std::string bytes;
    text = trimmed(text);
    if (text.empty()) return bytes;
    std::size_t start = 0;
    while (true) {
        std::size_t end = text.find(',', start);
        const std::string_view part =
            trimmed(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (part.size() != 2 || !std::isxdigit(static_cast<unsigned char>(part[0])) ||
            !std::isxdigit(static_cast<unsigned char>(part[1])))
            return std::nullopt;
        bytes += static_cast<char>(std::stoi(std::string(part), nullptr, 16));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return bytes;
}

bool allHex(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) return false;
    for (char c : text)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

class Parser {
  public:
    Parser(const std::string& fileName, const AnsiCodec& codec, bool utf16)
        : m_fileName(fileName), m_codec(codec), m_utf16(utf16) {}

    void line(const Line& line) {
        m_number = line.number;
        const std::string_view text = line.text;
        if (text.empty() || text.front() == ';') return;
        if (text.front() == '[') return keyLine(text);
        if (text.front() == '"' || text.front() == '@') return valueLine(text);
        bad("无法识别的行");
    }

    std::vector<RegOp>& ops() { return m_ops; }
    const std::vector<std::string>& errors() const { return m_errors; }
    void bad(const std::string& why) {
        m_errors.push_back(m_fileName + ":" + std::to_string(m_number) + ": " + why);
    }

  private:
    bool fitsCodePage(const std::string& text) {
        if (m_codec.toAnsi(text)) return true;
        bad("文本无法用代码页 " + std::to_string(m_codec.codePage()) + " 表示");
        return false;
    }

    void keyLine(std::string_view text) {
        const std::size_t close = text.rfind(']');
        if (close == std::string_view::npos || !trimmed(text.substr(close + 1)).empty())
            return bad("项名缺少结束的 ]");
        std::string_view path = text.substr(1, close - 1);
        const bool removal = !path.empty() && path.front() == '-';
        if (removal) path.remove_prefix(1);
        const std::size_t slash = path.find('\\');
        const RegKey root = rootFromName(std::string(path.substr(0, slash)));
        m_section.reset();
        if (root == 0) return bad("无法识别的根项：" + std::string(path.substr(0, slash)));
        std::string key =
            slash == std::string_view::npos ? "" : std::string(path.substr(slash + 1));
        if (!fitsCodePage(key)) return;
        if (removal && key.empty()) return bad("不能删除根项");
        m_section = Section{root, key, removal};
        if (removal)
            m_ops.push_back(removeKey(root, key));
        else if (!key.empty())
            m_ops.push_back(createKey(root, key));
    }

    void valueLine(std::string_view text) {
        if (!m_section) return bad("数值前没有项名");
        if (m_section->removed) return bad("已删除的项下不能写数值");
        std::string name;
        if (text.front() == '@') {
            text.remove_prefix(1);
        } else {
            text.remove_prefix(1);
            std::string why;
            std::optional<std::string> quoted = unquote(text, why);
            if (!quoted) return bad("数值名称" + why);
            name = std::move(*quoted);
        }
        text = trimmed(text);
        if (text.empty() || text.front() != '=') return bad("数值名称后缺少 =");
        text = trimmed(text.substr(1));
        if (!fitsCodePage(name)) return;
        const RegKey root = m_section->root;
        const std::string& key = m_section->key;
        if (text == "-") return m_ops.push_back(deleteValue(root, key, name));
        if (!text.empty() && text.front() == '"') {
            text.remove_prefix(1);
            std::string why;
            std::optional<std::string> value = unquote(text, why);
            if (!value) return bad("字符串" + why);
            if (!trimmed(text).empty()) return bad("字符串后有多余的内容");
            if (!fitsCodePage(*value)) return;
            return m_ops.push_back(setString(root, key, name, std::move(*value)));
        }
        if (text.substr(0, 6) == "dword:") {
            const std::string_view digits = trimmed(text.substr(6));
            if (!allHex(digits, 8)) return bad("dword 数据应为 1 到 8 位十六进制数字");
            const auto number =
                static_cast<std::uint32_t>(std::stoul(std::string(digits), nullptr, 16));
            return m_ops.push_back(setDword(root, key, name, static_cast<std::int32_t>(number)));
        }
        std::uint32_t type = kRegBinary;
        if (text.substr(0, 4) == "hex:") {
            text.remove_prefix(4);
        } else if (text.substr(0, 4) == "hex(") {
            const std::size_t close = text.find("):");
            if (close == std::string_view::npos || !allHex(text.substr(4, close - 4), 8))
                return bad("hex(类型) 的类型号格式错误");
            type = static_cast<std::uint32_t>(
                std::stoul(std::string(text.substr(4, close - 4)), nullptr, 16));
            text.remove_prefix(close + 2);
        } else {
            return bad("无法识别的数据");
        }
        std::optional<std::string> bytes = hexBytes(text);
        if (!bytes) return bad("十六进制数据格式错误");
        const bool textType = type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
        if (textType && m_utf16) {
            // Version 5 keeps these texts in UTF-16LE; the registry keeps them in the code page.
            if (bytes->size() % 2 != 0) return bad("UTF-16 文本的字节数应为偶数");
            Result<std::string> utf8 = utf16ToUtf8(
                fromUtf16Le(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()));
            if (!utf8) return bad("数据不是有效的 UTF-16 文本");
            Result<std::string> ansi = m_codec.toAnsi(utf8.value());
            if (!ansi)
                return bad("文本无法用代码页 " + std::to_string(m_codec.codePage()) + " 表示");
            *bytes = std::move(ansi).value();
        }
        m_ops.push_back(setRaw(root, key, name, type, std::move(*bytes)));
    }

    struct Section {
        RegKey root;
        std::string key;
        bool removed;
    };

    const std::string& m_fileName;
    const AnsiCodec& m_codec;
    const bool m_utf16;
    std::size_t m_number = 0;
    std::optional<Section> m_section;
    std::vector<RegOp> m_ops;
    std::vector<std::string> m_errors;
};

}  // namespace

Result<std::vector<RegOp>> parseRegFile(std::string_view bytes, const std::string& fileName,
                                        const AnsiCodec& codec) {
    Result<std::pair<std::string, bool>> decoded = decodeFile(bytes, codec);
    if (!decoded) return Status::error(fileName + ":1: " + decoded.status().message());
    const auto& [text, utf16] = decoded.value();
    const std::vector<Line> lines = logicalLines(text);
    std::size_t first = 0;
    while (first < lines.size() && lines[first].text.empty()) ++first;
    const std::string header = first < lines.size() ? lines[first].text : "";
    const bool known =
        utf16 ? header == kRegHeaderV5 : header == kRegHeaderV4 || header == kRegHeaderV5;
    if (!known) {
        const std::size_t number = first < lines.size() ? lines[first].number : 1;
        return Status::error(fileName + ":" + std::to_string(number) + ": 缺少文件头（应为 \"" +
                             kRegHeaderV5 + "\" 或 \"" + kRegHeaderV4 + "\"）");
    }
    // A version 5 header on an 8-bit file still has texts in UTF-16 hex data.
    Parser typed(fileName, codec, utf16 || header == kRegHeaderV5);
    for (std::size_t i = first + 1; i < lines.size(); ++i) typed.line(lines[i]);
    if (!typed.errors().empty()) {
        std::string message;
        for (const std::string& error : typed.errors())
            message += (message.empty() ? "" : "\n") + error;
        return Status::error(message);
    }
    return std::move(typed.ops());
}

Status applyRegOps(RegInfoGetSet& layer, ActionObserver* observer, std::span<const RegOp> ops,
                   const ActionLabel& label) {
    // The same bracket as a row action (runButtonAction): the store held from the first read to
    // the save, the record appended before the save, all or nothing.
    Status outcome = layer.beginAction();
    const bool held = outcome.isOk();
    if (held && observer) outcome.update(observer->beforeOperations(layer, ops, label));
    const bool watched = outcome.isOk();
    Status firstFailure;
    for (const RegOp& op : ops) {
        if (!watched) break;
        const Status status =
            observer ? observer->applyOperation(layer, op) : applyRegOp(layer, op);
        firstFailure.update(status);
        if (!status && observer) break;
    }
    outcome.update(firstFailure);
    if (observer && watched && !firstFailure) {
        std::vector<std::string> leftChanged;
        observer->rollBack(layer, leftChanged);
        std::string lines = leftChanged.empty() ? kNothingChangedLine : kLeftChangedLine;
        for (const std::string& line : leftChanged) lines += "\n" + line;
        if (!leftChanged.empty()) (void)observer->beforeSave(layer);
        outcome = Status::error(outcome.message() + "\n" + lines, outcome.code());
    } else if (observer && watched) {
        outcome.update(observer->beforeSave(layer));
    }
    const Status saved = held ? layer.saveAction() : Status::ok();
    outcome.update(saved);
    if (observer && watched) observer->afterSave(saved);
    (void)layer.endAction();
    return outcome;
}

}  // namespace hivora
