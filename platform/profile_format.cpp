#include "platform/profile_format.h"

#include <vector>

#include "platform/registry_api.h"

namespace hivora {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool isLeadByte(char c, bool doubleByte) {
    return doubleByte && static_cast<unsigned char>(c) >= 0x81;
}

char foldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Equal without regard to the case of ASCII letters; a trail byte compares exactly.
bool namesMatch(std::string_view a, std::string_view b, bool doubleByte) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (isLeadByte(a[i], doubleByte) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
            continue;
        }
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    }
    return true;
}

// One line of the file: its text without the line ending, and the ending ("\r\n", "\n" or ""
// for a last line without one).
struct Line {
    std::string text;
    std::string ending;
};

std::vector<Line> splitLines(std::string_view fileText) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < fileText.size()) {
        const std::size_t newline = fileText.find('\n', start);
        if (newline == std::string_view::npos) {
            lines.push_back({std::string(fileText.substr(start)), ""});
            break;
        }
        std::size_t end = newline;
        if (end > start && fileText[end - 1] == '\r') --end;
        lines.push_back({std::string(fileText.substr(start, end - start)),
                         std::string(fileText.substr(end, newline + 1 - end))});
        start = newline + 1;
    }
    return lines;
}

// A file saved by an editor that marks UTF-8 begins with the byte order mark; it is no part of the
// first line, or a first section "[Color]" would never be found. A write keeps it in front.
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::string_view withoutUtf8Mark(std::string_view fileText) {
    if (fileText.substr(0, kUtf8Mark.size()) == kUtf8Mark) fileText.remove_prefix(kUtf8Mark.size());
    return fileText;
}

std::string joinLines(const std::vector<Line>& lines) {
    std::string text;
    for (const Line& line : lines) text += line.text + line.ending;
    return text;
}

// The section a line opens, if it is a section line.
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trimBlanks(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    line.remove_prefix(1);
    return trimBlanks(line.substr(0, line.find(']')));
}

struct KeyLine {
    std::string_view name;
    std::string_view value;
};

// The key a line holds, if it is a key line.
std::optional<KeyLine> keyOf(std::string_view line) {
    line = trimBlanks(line);
    if (line.empty() || line.front() == ';') return std::nullopt;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return KeyLine{trimBlanks(line.substr(0, equals)), trimBlanks(line.substr(equals + 1))};
}

std::string_view withoutEnclosingQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// Where a section's lines are in the file: [header, end). No value when the file has no such
// section.
struct SectionSpan {
    std::size_t header;
    std::size_t end;
};

std::optional<SectionSpan> findSection(const std::vector<Line>& lines, std::string_view section,
                                       bool doubleByte) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = sectionName(lines[i].text);
        if (!name || !namesMatch(*name, section, doubleByte)) continue;
        std::size_t end = i + 1;
        while (end < lines.size() && !sectionName(lines[end].text)) ++end;
        return SectionSpan{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> findKey(const std::vector<Line>& lines, SectionSpan span,
                                   std::string_view key, bool doubleByte) {
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        const auto found = keyOf(lines[i].text);
        if (found && namesMatch(found->name, key, doubleByte)) return i;
    }
    return std::nullopt;
}

std::string lineEndingOf(const std::vector<Line>& lines) {
    for (const Line& line : lines) {
        if (!line.ending.empty()) return line.ending;
    }
    return "\r\n";
}

bool hasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

Status invalidText(const char* what) {
    return Status::error(std::string("配置文件的") + what + "无效，未写入", kErrorInvalidParameter);
}

Status checkWritable(std::string_view section, std::string_view key, std::string_view value) {
    if (section.empty() || hasLineBreak(section) || section.find(']') != std::string_view::npos) {
        return invalidText("节名");
    }
    if (key.empty() || hasLineBreak(key) || key.find('=') != std::string_view::npos ||
        key.front() == '[' || key.front() == ';') {
        return invalidText("键名");
    }
    if (hasLineBreak(value)) return invalidText("值");
    return Status::ok();
}

}  // namespace

bool isDoubleByteCodePage(std::uint32_t codePage) {
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
}

std::optional<std::string> findProfileValue(std::string_view fileText, std::string_view section,
                                            std::string_view key, std::uint32_t codePage) {
    const bool doubleByte = isDoubleByteCodePage(codePage);
    const std::vector<Line> lines = splitLines(withoutUtf8Mark(fileText));
    const auto span = findSection(lines, trimBlanks(section), doubleByte);
    if (!span) return std::nullopt;
    const auto keyLine = findKey(lines, *span, trimBlanks(key), doubleByte);
    if (!keyLine) return std::nullopt;
    return std::string(withoutEnclosingQuotes(keyOf(lines[*keyLine].text)->value));
}

std::string cutToProfileBuffer(std::string_view value, std::uint32_t bufferSize,
                               std::uint32_t codePage) {
    if (bufferSize == 0) return {};
    const std::size_t limit = bufferSize - 1;
    if (value.size() <= limit) return std::string(value);
    const bool doubleByte = isDoubleByteCodePage(codePage);
    std::size_t end = 0;
    while (end < limit) {
        const std::size_t width = isLeadByte(value[end], doubleByte) ? 2 : 1;
        if (end + width > limit) break;
        end += width;
    }
    return std::string(value.substr(0, end));
}

Result<std::string> writeProfileValue(std::string_view fileText, std::string_view section,
                                      std::string_view key, std::string_view value,
                                      std::uint32_t codePage) {
    section = trimBlanks(section);
    key = trimBlanks(key);
    if (Status checked = checkWritable(section, key, value); !checked) return checked;

    const bool doubleByte = isDoubleByteCodePage(codePage);
    const std::string_view body = withoutUtf8Mark(fileText);
    const std::string_view mark = fileText.substr(0, fileText.size() - body.size());
    std::vector<Line> lines = splitLines(body);
    const std::string ending = lineEndingOf(lines);
    const auto newLine = [&](std::string text) { return Line{std::move(text), ending}; };

    const auto span = findSection(lines, section, doubleByte);
    if (!span) {
        if (!lines.empty() && lines.back().ending.empty()) lines.back().ending = ending;
        lines.push_back(newLine("[" + std::string(section) + "]"));
        lines.push_back(newLine(std::string(key) + "=" + std::string(value)));
        return std::string(mark) + joinLines(lines);
    }

    if (const auto keyLine = findKey(lines, *span, key, doubleByte)) {
        Line& line = lines[*keyLine];
        line.text = std::string(keyOf(line.text)->name) + "=" + std::string(value);
        return std::string(mark) + joinLines(lines);
    }

    std::size_t last = span->header;  // the last non-blank line of the section
    for (std::size_t i = span->header + 1; i < span->end; ++i) {
        if (!trimBlanks(lines[i].text).empty()) last = i;
    }
    if (lines[last].ending.empty()) lines[last].ending = ending;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(last) + 1,
                 newLine(std::string(key) + "=" + std::string(value)));
    return std::string(mark) + joinLines(lines);
}

}  // namespace hivora
