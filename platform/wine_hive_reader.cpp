// The reading half of the Wine registry format (see wine_hive_format.h). It follows Wine's own
// loader line by line: "[" starts a key, "@" or "\"" a value, "#" an option, ";" and blank lines
// are skipped, anything else is reported. Besides the tree it notes where each key's and value's
// lines lie in the text, so the writer can copy untouched ones.

#include "platform/registry_api.h"
#include "platform/unicode_text.h"
#include "platform/wine_hive_format.h"

namespace hivora {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}
bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
unsigned hexValue(char c) {
    if (c <= '9') return static_cast<unsigned>(c - '0');
    return static_cast<unsigned>((c | 0x20) - 'a' + 10);
}
std::string_view skipBlanks(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i])) ++i;
    return s.substr(i);
}

// How a value's data is written after its "=": the tag, the type it gives and how to read on.
enum class DataForm { Text, Dword, Hex, HexWithType };
struct DataTag {
    std::string_view tag;
    std::uint32_t type;
    DataForm form;
};
constexpr DataTag kDataTags[] = {
    {"\"", kRegSz, DataForm::Text},
    {"str:\"", kRegSz, DataForm::Text},
    {"str(2):\"", kRegExpandSz, DataForm::Text},
    {"str(7):\"", kRegMultiSz, DataForm::Text},
    {"hex:", kRegBinary, DataForm::Hex},
    {"dword:", kRegDword, DataForm::Dword},
    {"hex(", 0, DataForm::HexWithType},
};

// Reads the text line by line, keeping the offsets the writer needs.
class HiveReader {
  public:
    explicit HiveReader(std::shared_ptr<const std::string> text)
        : m_text(*text), m_result{std::make_unique<HiveTree>(), {}} {
        m_result.tree->source = std::move(text);
    }

    ParsedHive read() {
        std::string_view first;
        if (!nextLine(first) || first != kWineRegistryMagic) {
            report("not a Wine registry file (the first line must be \"" +
                   std::string(kWineRegistryMagic) + "\")");
            m_result.tree->source.reset();
            return std::move(m_result);
        }
        m_lastContentEnd = m_next;
        std::string_view line;
        while (nextLine(line)) {
            const std::string_view body = skipBlanks(line);
            if (body.empty()) continue;  // blank lines belong to the next key's leading run
            switch (body[0]) {
                case '[':
                    startKey(body.substr(1));
                    break;
                case '@':
                case '"':
                    readValue(body);
                    break;
                case '#':
                    readOption(body);
                    break;
                case ';':
                    keepLine();
                    break;
                default:
                    report("Unrecognized input");
                    keepLine();
                    break;
            }
            m_lastContentEnd = m_next;
        }
        closeKey();
        HiveTree& tree = *m_result.tree;
        if (!m_seenKey) tree.header = m_text.substr(0, m_lastContentEnd);
        tree.trailer = m_text.substr(m_lastContentEnd);
        return std::move(m_result);
    }

  private:
    // The next line without its "\n" (and "\r"); false at the end of the text.
    bool nextLine(std::string_view& line) {
        if (m_next >= m_text.size()) return false;
        m_lineStart = m_next;
        std::size_t end = m_text.find('\n', m_next);
        m_next = end == std::string_view::npos ? m_text.size() : end + 1;
        if (end == std::string_view::npos) end = m_text.size();
        if (end > m_lineStart && m_text[end - 1] == '\r') --end;
        line = m_text.substr(m_lineStart, end - m_lineStart);
        ++m_lineNumber;
        return true;
    }

    void report(std::string message) {
        m_result.diagnostics.push_back({m_lineNumber, std::move(message)});
    }

    std::string_view currentLines(std::size_t from) const {
        return m_text.substr(from, m_next - from);
    }

    // A line inside a key that the reader does not interpret stays with the key.
    void keepLine() {
        if (m_key) m_key->extraLines.push_back(currentLines(m_lineStart));
    }

    void closeKey() {
        if (m_key && m_keyBlockStart != std::string_view::npos)
            m_key->sourceBlock = m_text.substr(m_keyBlockStart, m_lastContentEnd - m_keyBlockStart);
    }

    void startKey(std::string_view afterBracket) {
        closeKey();
        if (!m_seenKey) m_result.tree->header = m_text.substr(0, m_lastContentEnd);
        m_seenKey = true;
        m_key = nullptr;
        m_keyBlockStart = std::string_view::npos;

        const std::size_t used = parseEscaped(afterBracket, ']', m_scratch);
        if (used == std::string_view::npos || (!m_scratch.empty() && m_scratch[0] == u'\\')) {
            report("Malformed key");
            return;
        }
        TreeKey* key = walkPath(m_scratch);
        // A key listed twice: Wine merges the two; the merged key is written anew.
        if (!key->sourceBlock.empty() || key->changed) key->changed = true;
        // The Unix seconds after "]"; a "#time=" line, when there is one, is more precise.
        const std::string_view stamp = skipBlanks(afterBracket.substr(used));
        std::uint32_t seconds = 0;
        std::size_t digits = 0;
        while (digits < stamp.size() && stamp[digits] >= '0' && stamp[digits] <= '9')
            seconds = seconds * 10 + static_cast<std::uint32_t>(stamp[digits++] - '0');
        if (digits > 0)
            key->modified = kTicks1601To1970 + static_cast<FileTime>(seconds) * kTicksPerSecond;
        key->sourceLeading = m_text.substr(m_lastContentEnd, m_lineStart - m_lastContentEnd);
        m_keyBlockStart = m_lineStart;
        m_key = key;
    }

    // The key a path names, made with its missing parents. Files list keys in order, so
    // consecutive paths share their first levels: those are taken from the previous path.
    TreeKey* walkPath(std::u16string_view path) {
        TreeKey* key = m_result.tree->root.get();
        std::size_t level = 0;
        std::size_t start = 0;
        while (start < path.size()) {
            std::size_t end = path.find(u'\\', start);
            if (end == std::u16string_view::npos) end = path.size();
            if (end > start) {
                const std::u16string_view part = path.substr(start, end - start);
                if (level < m_lastPath.size() && namesEqual(m_lastPath[level]->name, part)) {
                    key = m_lastPath[level];
                } else {
                    m_lastPath.resize(level);
                    TreeKey* sub = key->findSubKey(part);
                    key = sub ? sub : &key->addSubKey(std::u16string(part));
                    m_lastPath.push_back(key);
                }
                ++level;
            }
            start = end + 1;
        }
        m_lastPath.resize(level);
        return key;
    }

    void readOption(std::string_view line) {
        if (!m_key) {
            if (m_seenKey) return;  // options of a key that could not be read
            if (line.substr(0, 6) == "#arch=" && line.substr(6) != "win32" &&
                line.substr(6) != "win64")
                report("Unknown architecture");
            return;  // part of the header
        }
        if (line.substr(0, 6) == "#time=") {
            FileTime t = 0;
            for (char c : line.substr(6)) {
                if (!isHex(c)) break;
                t = (t << 4) | hexValue(c);
            }
            m_key->modified = t;
        } else if (line.substr(0, 8) == "#class=\"" &&
                   parseEscaped(line.substr(8), '"', m_scratch) != std::string_view::npos) {
            m_key->keyClass = m_scratch;
        } else if (line.substr(0, 5) == "#link") {
            m_key->isLink = true;
        } else {
            keepLine();  // unknown options stay with the key, as Wine ignores them
        }
    }

    void readValue(std::string_view line) {
        if (!m_key) {
            report("Value without key");
            return;
        }
        const std::size_t valueStart = m_lineStart;
        std::size_t pos = 1;
        std::u16string& name = m_name;
        name.clear();
        if (line[0] == '"') {
            const std::size_t used = parseEscaped(line.substr(1), '"', name);
            if (used == std::string_view::npos) {
                report("Malformed value name");
                return;
            }
            pos += used;
        }
        while (pos < line.size() && isBlank(line[pos])) ++pos;
        if (pos >= line.size() || line[pos] != '=') {
            report("Malformed value name");
            return;
        }
        ++pos;
        while (pos < line.size() && isBlank(line[pos])) ++pos;

        std::uint32_t type = kRegNone;
        std::vector<std::uint8_t> data;
        if (!readData(line.substr(pos), type, data)) {
            report("Malformed value");
            type = kRegNone;
            data.clear();
        }
        TreeValue& value = m_key->setValue(name, type, std::move(data));
        value.sourceText = currentLines(valueStart);
    }

    bool readData(std::string_view rest, std::uint32_t& type, std::vector<std::uint8_t>& data) {
        for (const DataTag& tag : kDataTags) {
            if (rest.substr(0, tag.tag.size()) != tag.tag) continue;
            rest.remove_prefix(tag.tag.size());
            type = tag.type;
            switch (tag.form) {
                case DataForm::Text: {
                    if (parseEscaped(rest, '"', m_scratch) == std::string_view::npos) return false;
                    m_scratch.push_back(u'\0');
                    data = toUtf16Le(m_scratch);
                    return true;
                }
                case DataForm::Dword: {
                    // Read as Wine reads it: base 16, stopping at the first other character.
                    std::uint32_t v = 0;
                    for (char c : skipBlanks(rest)) {
                        if (!isHex(c)) break;
                        v = (v << 4) | hexValue(c);
                    }
                    data = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16),
                            std::uint8_t(v >> 24)};
                    return true;
                }
                case DataForm::HexWithType: {
                    std::size_t i = 0;
                    std::uint32_t t = 0;
                    while (i < rest.size() && i < 8 && isHex(rest[i]))
                        t = (t << 4) | hexValue(rest[i++]);
                    if (i == 0 || rest.substr(i, 2) != "):") return false;
                    type = t;
                    rest.remove_prefix(i + 2);
                    return readHexList(rest, data);
                }
                case DataForm::Hex:
                    return readHexList(rest, data);
            }
        }
        return false;
    }

    // Comma-separated bytes; a trailing "\" carries the list on to the next line.
    bool readHexList(std::string_view rest, std::vector<std::uint8_t>& data) {
        for (;;) {
            std::size_t i = 0;
            while (i < rest.size() && isHex(rest[i])) {
                unsigned v = 0;
                while (i < rest.size() && isHex(rest[i])) {
                    v = (v << 4) | hexValue(rest[i++]);
                    if (v > 0xFF) return false;
                }
                data.push_back(static_cast<std::uint8_t>(v));
                while (i < rest.size() && isBlank(rest[i])) ++i;
                if (i < rest.size() && rest[i] == ',') ++i;
                while (i < rest.size() && isBlank(rest[i])) ++i;
            }
            while (i < rest.size() && isBlank(rest[i])) ++i;
            if (i == rest.size()) return true;
            if (rest[i] != '\\') return false;
            std::string_view next;
            if (!nextLine(next)) return false;
            rest = skipBlanks(next);
        }
    }

    std::string_view m_text;
    ParsedHive m_result;
    std::size_t m_next = 0;            // offset of the next line
    std::size_t m_lineStart = 0;       // offset of the current line
    std::size_t m_lastContentEnd = 0;  // end of the last non-blank line, newline included
    std::size_t m_keyBlockStart = std::string_view::npos;
    int m_lineNumber = 0;
    bool m_seenKey = false;
    TreeKey* m_key = nullptr;
    std::u16string m_scratch;
    std::u16string m_name;
    std::vector<TreeKey*> m_lastPath;  // the keys of the previous key line's path, by level
};

}  // namespace

ParsedHive parseHive(std::shared_ptr<const std::string> text) {
    HiveReader reader(std::move(text));
    ParsedHive parsed = reader.read();
    // The root's name from the header's ";; All keys relative to \\Machine" line.
    HiveTree& tree = *parsed.tree;
    const std::string_view marker = ";; All keys relative to ";
    const std::size_t at = tree.header.find(marker);
    if (at != std::string_view::npos) {
        std::string_view rest = tree.header.substr(at + marker.size());
        rest = rest.substr(0, rest.find('\n'));
        std::u16string path;
        parseEscaped(std::string(rest) + "\n", '\n', path);
        while (!path.empty() && (path.back() == u'\r' || path.back() == u' ')) path.pop_back();
        std::size_t first = path.find_first_not_of(u'\\');
        tree.rootName = first == std::u16string::npos ? u"" : path.substr(first);
    }
    return parsed;
}

std::string formatDiagnostic(std::string_view fileName, const HiveDiagnostic& diagnostic) {
    return std::string(fileName) + ":" + std::to_string(diagnostic.line) + ": " +
           diagnostic.message;
}

}  // namespace hivora
