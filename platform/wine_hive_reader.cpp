// The reading half of the Wine registry format (see wine_hive_format.h). It follows Wine's own
// loader line by line, taking lines and numbers apart as the loader does (wine_hive_lines.h): "["
// starts a key, "@" or "\"" a value, "#" an option, ";" and blank lines are skipped, anything
// else is reported. Besides the tree it notes where each key's and value's lines lie in the text,
// so the writer can copy untouched ones.

#include <optional>

#include "platform/registry_api.h"
#include "platform/tree_registry.h"  // systemFileTime
#include "platform/unicode_text.h"
#include "platform/wine_hive_format.h"
#include "platform/wine_hive_lines.h"

namespace hivora {

namespace {

// The longest key name and value name Wine's server takes, in UTF-16 units.
constexpr std::size_t kMaxKeyNameUnits = 256;
constexpr std::size_t kMaxValueNameUnits = 16383;

std::string_view skipBlanks(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isCSpace(s[i])) ++i;
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
        : m_text(*text), m_lines(*text), m_result{std::make_unique<HiveTree>(), {}} {
        m_result.tree->source = std::move(text);
    }

    ParsedHive read() {
        std::string_view first;
        if (!nextLine(first) || first != kWineRegistryMagic) {
            report("not a Wine registry file (the first line must be \"" +
                       std::string(kWineRegistryMagic) + "\")",
                   true);
            m_result.tree->source.reset();
            return std::move(m_result);
        }
        m_lastContentEnd = m_next;
        std::string_view line;
        while (!m_stopped && nextLine(line)) {
            const std::string_view body = skipBlanks(line);
            // Blank lines (and lines a NUL cuts down to nothing, which Wine skips alike) belong to
            // the next key's leading run.
            if (body.empty()) continue;
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
                    report("Unrecognized input");  // and left out of a repaired file
                    break;
            }
            m_lastContentEnd = m_next;
        }
        closeKey();
        HiveTree& tree = *m_result.tree;
        if (!m_seenKey) setHeader(m_lastContentEnd);
        tree.trailer = m_text.substr(m_lastContentEnd);
        return std::move(m_result);
    }

  private:
    // The next line as Wine's loader sees it; false at the end of the text.
    bool nextLine(std::string_view& line) {
        WineLineReader::Line next;
        if (!m_lines.next(next)) return false;
        m_lineStart = next.start;
        m_next = next.end;
        m_lineNumber = next.number;
        line = next.content;
        return true;
    }

    // Reports the current line. Inside a key the key is marked changed, so that a repaired hive
    // writes it anew without the line.
    void report(std::string message, bool fatal = false) {
        m_result.diagnostics.push_back({m_lineNumber, std::move(message), fatal});
        if (m_key) m_key->changed = true;
        if (!m_seenKey) m_headerCuts.push_back({m_lineStart, m_next});
    }

    std::string_view currentLines(std::size_t from) const {
        return m_text.substr(from, m_next - from);
    }

    // A line inside a key that the reader does not interpret stays with the key.
    void keepLine() {
        if (m_key) m_key->extraLines.push_back(currentLines(m_lineStart));
    }

    // The header up to `end`, without the lines that were reported in it.
    void setHeader(std::size_t end) {
        HiveTree& tree = *m_result.tree;
        if (m_headerCuts.empty()) {
            tree.header = m_text.substr(0, end);
            return;
        }
        auto kept = std::make_shared<std::string>();
        std::size_t from = 0;
        for (const auto& [cutStart, cutEnd] : m_headerCuts) {
            if (cutStart >= end) break;
            kept->append(m_text.substr(from, cutStart - from));
            from = cutEnd;
        }
        if (from < end) kept->append(m_text.substr(from, end - from));
        tree.headerText = kept;
        tree.header = *kept;
    }

    // Ends the current key's block. The time on its key line (the time of reading when it has
    // none) counts only when no "#time=" line gave one; Wine then gives it to the key's parents
    // that have none either.
    void closeKey() {
        if (!m_key) return;
        if (m_keyBlockStart != std::string_view::npos)
            m_key->sourceBlock = m_text.substr(m_keyBlockStart, m_lastContentEnd - m_keyBlockStart);
        const FileTime stamp = m_lineStamp.value_or(m_readTime);
        for (TreeKey* k = m_key; k && k->modified == 0; k = k->parent) k->modified = stamp;
        m_key = nullptr;
    }

    void startKey(std::string_view afterBracket) {
        closeKey();
        if (!m_seenKey) setHeader(m_lastContentEnd);
        m_seenKey = true;
        m_keyBlockStart = std::string_view::npos;
        m_lineStamp.reset();

        const std::size_t used = parseEscaped(afterBracket, ']', m_scratch);
        if (used == std::string_view::npos) {
            report("Malformed key");
            return;
        }
        TreeKey* key = walkPath(m_scratch);
        if (!key) {
            report("Error creating key (a name longer than " + std::to_string(kMaxKeyNameUnits) +
                   " characters)");
            return;
        }
        // A key listed twice: Wine merges the two; the merged key is written anew.
        if (!key->sourceBlock.empty() || key->changed) key->changed = true;
        // The Unix seconds after "]"; a "#time=" line, when there is one, is more precise.
        if (const auto seconds = wineScanUnsigned(afterBracket.substr(used)))
            m_lineStamp = kTicks1601To1970 + static_cast<FileTime>(*seconds) * kTicksPerSecond;
        key->sourceLeading = m_text.substr(m_lastContentEnd, m_lineStart - m_lastContentEnd);
        m_keyBlockStart = m_lineStart;
        m_key = key;
    }

    // The key a path names, made with its missing parents; empty parts are skipped, and a path
    // that is empty or starts with a NUL names the root, as in Wine. Null when a part is too long
    // for Wine (the parents before it stay made, as in Wine). Files list keys in order, so
    // consecutive paths share their first levels: those are taken from the previous path.
    TreeKey* walkPath(std::u16string_view path) {
        TreeKey* key = m_result.tree->root.get();
        if (!path.empty() && path[0] == u'\0') return key;
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
                    if (!sub && part.size() > kMaxKeyNameUnits) return nullptr;
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
            // Outside a key (before the first, or after one that could not be read) only the
            // architecture counts; Wine loads nothing more of a file with an unknown one.
            if (line.substr(0, 6) == "#arch=" && line.substr(6) != "win32" &&
                line.substr(6) != "win64") {
                report("Unknown architecture", true);
                m_stopped = true;
            }
            return;
        }
        if (line.substr(0, 6) == "#time=") {
            FileTime t = 0;
            for (char c : line.substr(6)) {
                if (!isCHexDigit(c)) break;
                t = (t << 4) | static_cast<FileTime>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
            }
            // The first time a key gets counts, as in Wine.
            for (TreeKey* k = m_key; k && k->modified == 0; k = k->parent) k->modified = t;
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
        while (pos < line.size() && isCSpace(line[pos])) ++pos;
        if (pos >= line.size() || line[pos] != '=') {
            report("Malformed value name");
            return;
        }
        if (name.size() > kMaxValueNameUnits) {
            // Wine drops such a value without a word and the hive stays writable. The value is
            // left out here too, but its line stays with the key, so a save loses nothing.
            keepLine();
            return;
        }
        ++pos;
        while (pos < line.size() && isCSpace(line[pos])) ++pos;

        std::uint32_t type = kRegNone;
        std::vector<std::uint8_t> data;
        const bool readable = readData(line.substr(pos), type, data);
        if (!readable) {
            type = kRegNone;
            data.clear();
        }
        TreeValue& value = m_key->setValue(name, type, std::move(data));
        // A value Wine could not read is written anew (as REG_NONE) when the hive is repaired.
        value.sourceText = readable ? currentLines(valueStart) : std::string_view();
        if (!readable) report("Malformed value");
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
                    std::size_t used = 0;
                    const auto v = static_cast<std::uint32_t>(wineStrtoul16(rest, used));
                    data = {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16),
                            std::uint8_t(v >> 24)};
                    return true;
                }
                case DataForm::HexWithType: {
                    // "hex(" with no number at all reads as type 0, as in Wine.
                    std::size_t used = 0;
                    type = static_cast<std::uint32_t>(wineStrtoul16(rest, used));
                    if (rest.substr(used, 2) != "):") return false;
                    return readHexList(rest.substr(used + 2), data);
                }
                case DataForm::Hex:
                    return readHexList(rest, data);
            }
        }
        return false;
    }

    // Comma-separated bytes; a trailing "\" carries the list on to the next line. Each byte is
    // read as Wine reads it (strtoul, cut to 32 bits, at most 0xff).
    bool readHexList(std::string_view rest, std::vector<std::uint8_t>& data) {
        for (;;) {
            std::size_t i = 0;
            while (i < rest.size() && isCHexDigit(rest[i])) {
                std::size_t used = 0;
                const auto v = static_cast<std::uint32_t>(wineStrtoul16(rest.substr(i), used));
                if (used == 0 || v > 0xFF) return false;
                data.push_back(static_cast<std::uint8_t>(v));
                i += used;
                while (i < rest.size() && isCSpace(rest[i])) ++i;
                if (i < rest.size() && rest[i] == ',') ++i;
                while (i < rest.size() && isCSpace(rest[i])) ++i;
            }
            while (i < rest.size() && isCSpace(rest[i])) ++i;
            if (i == rest.size()) return true;
            if (rest[i] != '\\') return false;
            std::string_view next;
            if (!nextLine(next)) return false;
            rest = skipBlanks(next);
        }
    }

    std::string_view m_text;
    WineLineReader m_lines;
    ParsedHive m_result;
    std::size_t m_next = 0;            // offset just past the current line
    std::size_t m_lineStart = 0;       // offset of the current line
    std::size_t m_lastContentEnd = 0;  // end of the last non-blank line, newline included
    std::size_t m_keyBlockStart = std::string_view::npos;
    int m_lineNumber = 0;
    bool m_seenKey = false;
    bool m_stopped = false;  // Wine reads no further
    TreeKey* m_key = nullptr;
    std::optional<FileTime> m_lineStamp;  // the current key line's time
    const FileTime m_readTime = systemFileTime();
    std::vector<std::pair<std::size_t, std::size_t>> m_headerCuts;  // reported lines before keys
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
