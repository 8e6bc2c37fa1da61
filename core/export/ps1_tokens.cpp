#include "core/export/ps1_tokens.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "platform/unicode_text.h"

namespace hivora {
namespace {

enum class Quote { None, Single, Double };

// The quote starting at `i` and its length in bytes: "'" and U+2018..U+201B are single quotes,
// '"' and U+201C..U+201E double ones (all three bytes E2 80 9x in UTF-8).
std::pair<Quote, std::size_t> quoteAt(std::string_view line, std::size_t i) {
    if (i >= line.size()) return {Quote::None, 0};
    if (line[i] == '\'') return {Quote::Single, 1};
    if (line[i] == '"') return {Quote::Double, 1};
    if (i + 2 < line.size() && static_cast<unsigned char>(line[i]) == 0xE2 &&
        static_cast<unsigned char>(line[i + 1]) == 0x80) {
        const auto third = static_cast<unsigned char>(line[i + 2]);
        if (third >= 0x98 && third <= 0x9B) return {Quote::Single, 3};
        if (third >= 0x9C && third <= 0x9E) return {Quote::Double, 3};
    }
    return {Quote::None, 0};
}

// The bytes of the UTF-8 character starting at `i` (1 for a stray byte).
std::size_t charLength(std::string_view line, std::size_t i) {
    const auto lead = static_cast<unsigned char>(line[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    return i + length <= line.size() ? length : 1;
}

bool isWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-';
}

bool isLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

// A quoted string whose opening quote (`quoteLength` bytes) is at `i`; `i` is left after its
// closing quote. A quote of the same family written twice stands for the second one.
Result<std::string> quoted(std::string_view line, std::size_t& i, Quote family,
                           std::size_t quoteLength) {
    std::string text;
    i += quoteLength;
    while (i < line.size()) {
        if (auto [quote, length] = quoteAt(line, i); quote == family) {
            auto [next, nextLength] = quoteAt(line, i + length);
            if (next != family) {
                i += length;
                return text;
            }
            text.append(line.substr(i + length, nextLength));
            i += length + nextLength;
            continue;
        }
        const char c = line[i];
        if (family == Quote::Double && c == '$')
            return Status::error("双引号字符串中的 $ 会被 PowerShell 展开，不在导出脚本的范围内");
        if (family == Quote::Double && c == '`') {
            if (i + 1 >= line.size()) return Status::error("字符串末尾的反引号后缺少字符");
            const char escaped = line[i + 1];
            static constexpr std::string_view kLetters = "0abfnrtv";
            static constexpr std::string_view kMeanings("\0\a\b\f\n\r\t\v", 8);
            if (escaped == 'e' || escaped == 'u')
                return Status::error(std::string("转义 `") + escaped +
                                     " 只有 PowerShell 6 以后才认得，不在导出脚本的范围内");
            if (const std::size_t at = kLetters.find(escaped); at != std::string_view::npos) {
                text += kMeanings[at];
                i += 2;
            } else {
                const std::size_t length = charLength(line, i + 1);
                text.append(line.substr(i + 1, length));  // `" `$ `` and the like: the character
                i += 1 + length;
            }
            continue;
        }
        text += c;
        ++i;
    }
    return Status::error("字符串缺少结束的引号");
}

}  // namespace

Result<std::vector<Ps1Token>> powerShellTokens(std::string_view line) {
    using Kind = Ps1Token::Kind;
    std::vector<Ps1Token> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t') {
            ++i;
        } else if (c == '#') {
            break;
        } else if (auto [quote, length] = quoteAt(line, i); quote != Quote::None) {
            Result<std::string> text = quoted(line, i, quote, length);
            if (!text) return text.status();
            tokens.push_back({Kind::String, std::move(text).value()});
        } else if (std::isdigit(static_cast<unsigned char>(c)) ||
                   (c == '-' && i + 1 < line.size() &&
                    std::isdigit(static_cast<unsigned char>(line[i + 1])))) {
            std::size_t end = i + 1;
            const bool hex = line.substr(i, 2) == "0x" || line.substr(i, 3) == "-0x";
            if (hex) end = line.find('x', i) + 1;
            while (end < line.size() && (hex ? std::isxdigit(static_cast<unsigned char>(line[end]))
                                             : std::isdigit(static_cast<unsigned char>(line[end]))))
                ++end;
            if (end < line.size() &&
                std::string_view(" \t,)}|+#").find(line[end]) == std::string_view::npos)
                return Status::error("数字格式错误：" + std::string(line.substr(i, end + 1 - i)));
            if (hex && line[end - 1] == 'x') return Status::error("数字格式错误：0x 后缺少数字");
            tokens.push_back({Kind::Number, std::string(line.substr(i, end - i))});
            i = end;
        } else if (isLetter(c) ||
                   ((c == '$' || c == '-') && i + 1 < line.size() && isLetter(line[i + 1]))) {
            std::size_t end = i + 1;
            while (end < line.size() && isWordChar(line[end])) ++end;
            tokens.push_back({Kind::Word, std::string(line.substr(i, end - i))});
            i = end;
        } else if (c == '[') {
            const std::size_t close = line.find(']', i);
            std::size_t end = close == std::string_view::npos ? close : close + 1;
            if (end != std::string_view::npos && line.substr(end, 1) == "]") ++end;  // [byte[]]
            std::string name;
            if (end != std::string_view::npos)
                for (const char n : line.substr(i + 1, end - i - 2))
                    name += static_cast<char>(std::tolower(static_cast<unsigned char>(n)));
            const bool array = name.size() > 2 && name.ends_with("[]");
            const std::string_view bare =
                std::string_view(name).substr(0, name.size() - (array ? 2 : 0));
            if (bare.empty() || !std::all_of(bare.begin(), bare.end(), [](char n) {
                    return std::isalpha(static_cast<unsigned char>(n));
                }))
                return Status::error("类型名格式错误");
            tokens.push_back({Kind::Type, std::move(name)});
            i = end;
        } else if (std::string_view("(){}|,@+=").find(c) != std::string_view::npos) {
            tokens.push_back({Kind::Punct, std::string(1, c)});
            ++i;
        } else if (c == ';') {
            return Status::error("一行只能有一条命令，不能用 ; 连接");
        } else if (c == '`') {
            return Status::error("字符串外的反引号（续行或转义）不在导出脚本的范围内");
        } else {
            return Status::error("无法识别的字符“" +
                                 std::string(line.substr(i, charLength(line, i))) + "”");
        }
    }
    return tokens;
}

bool samePowerShellWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool Ps1Cursor::fail(std::string reason) {
    if (m_why.empty()) m_why = std::move(reason);
    return false;
}

bool Ps1Cursor::at(Ps1Token::Kind kind, std::string_view text) const {
    return m_next < m_tokens.size() && m_tokens[m_next].kind == kind &&
           (text.empty() || samePowerShellWord(m_tokens[m_next].text, text));
}

bool Ps1Cursor::take(Ps1Token::Kind kind, std::string_view expected) {
    if (!at(kind, expected)) return fail("此处应为 " + std::string(expected) + "，实为" + shown());
    ++m_next;
    return true;
}

bool Ps1Cursor::takeAny(Ps1Token::Kind kind, std::string& out) {
    if (!at(kind))
        return fail(std::string(kind == Ps1Token::Kind::Word ? "此处应为名称" : "此处应为数字") +
                    "，实为" + shown());
    out = m_tokens[m_next++].text;
    return true;
}

bool Ps1Cursor::end() {
    return m_next == m_tokens.size() || fail("行尾多出了" + shown());
}

std::string Ps1Cursor::shown() const {
    if (m_next >= m_tokens.size()) return "行尾";
    const Ps1Token& token = m_tokens[m_next];
    if (token.kind == Ps1Token::Kind::String) return "字符串 '" + token.text + "'";
    if (token.kind == Ps1Token::Kind::Type) return " [" + token.text + "]";
    return " " + token.text;
}

bool Ps1Cursor::text(std::string& out) {
    using Kind = Ps1Token::Kind;
    out.clear();
    if (at(Kind::String)) {
        out = m_tokens[m_next++].text;
    } else if (at(Kind::Punct, "(")) {
        ++m_next;
        for (bool first = true;; first = false) {
            if (at(Kind::String)) {
                out += m_tokens[m_next++].text;
            } else if (at(Kind::Type, "char")) {
                // [char]10 + [char]13 is 23 to PowerShell; a string on the left makes + join.
                if (first)
                    return fail("和式应以引号字符串开头，否则 PowerShell 把 [char] 当数字相加");
                ++m_next;
                std::string digits;
                if (!number(digits)) return false;
                unsigned unit = 0;
                const auto [end, error] =
                    std::from_chars(digits.data(), digits.data() + digits.size(), unit);
                if (error != std::errc() || end != digits.data() + digits.size() || unit == 0 ||
                    unit > 0xFFFF || (unit >= 0xD800 && unit <= 0xDFFF))
                    return fail("[char] 的值无效：" + digits);
                appendUtf8(out, unit);
            } else {
                return fail("此处应为字符串或 [char]N，实为" + shown());
            }
            if (at(Kind::Punct, ")")) break;
            if (!punct("+")) return false;
        }
        ++m_next;
    } else {
        return fail("此处应为字符串，实为" + shown());
    }
    if (out.find('\0') != std::string::npos) return fail("注册表文本中不能有 NUL 字符");
    return true;
}

Result<std::string> powerShellStringValue(std::string_view expression) {
    Result<std::vector<Ps1Token>> tokens = powerShellTokens(expression);
    if (!tokens) return tokens.status();
    Ps1Cursor at(tokens.value());
    std::string text;
    if (!(at.text(text) && at.end())) return Status::error(at.why());
    return text;
}

}  // namespace hivora
