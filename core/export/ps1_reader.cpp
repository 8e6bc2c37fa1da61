#include "core/export/ps1_reader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

#include "core/export/ps1_tokens.h"
#include "core/journal/registry_state.h"
#include "platform/unicode_text.h"

namespace hivora {
namespace {

using Kind = Ps1Token::Kind;
using Cursor = Ps1Cursor;

// What one line does.
struct Statement {
    enum class What { StopOnError, Announce, MakeKey, SetValue, RemoveValue, RemoveKey } what;
    std::string message;  // Announce
    ExportChange change;  // the others but StopOnError
};

// The root and key of 'Registry::HKEY_...\key'.
bool registryPath(Cursor& at, ExportChange& change) {
    std::string path;
    if (!at.text(path)) return false;
    constexpr std::string_view kPrefix = "Registry::";
    if (!samePowerShellWord(std::string_view(path).substr(0, kPrefix.size()), kPrefix))
        return at.fail("路径应以 Registry:: 开头：" + path);
    const std::string_view rest = std::string_view(path).substr(kPrefix.size());
    const std::size_t slash = rest.find('\\');
    std::string root(rest.substr(0, slash));
    for (char& c : root) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    change.root = rootFromName(root);
    if (change.root == 0) return at.fail("无法识别的根项：" + std::string(rest.substr(0, slash)));
    change.key = slash == std::string_view::npos ? "" : std::string(rest.substr(slash + 1));
    if (slash != std::string_view::npos && change.key.empty())
        return at.fail("路径不能以 \\ 结尾：" + path);
    return true;
}

bool propertyName(Cursor& at, ExportChange& change) {
    if (!at.text(change.name)) return false;
    if (samePowerShellWord(change.name, "(default)")) change.name.clear();
    return true;
}

// Appends `text` in the code page, as ExportChange keeps texts.
bool ansi(Cursor& at, const std::string& text, const AnsiCodec& codec, std::string& out) {
    Result<std::string> bytes = codec.toAnsi(text);
    if (!bytes) return at.fail("文本无法用代码页 " + std::to_string(codec.codePage()) + " 表示");
    out += bytes.value();
    return true;
}

// A decimal number in the signed range of `Number`, appended least significant byte first.
template <typename Number>
bool numberData(Cursor& at, const char* type, std::string& data) {
    std::string digits;
    if (!at.number(digits)) return false;
    Number value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size())
        return at.fail(std::string(type) + " 的值应为有符号范围内的十进制整数：" + digits);
    auto bits = static_cast<std::make_unsigned_t<Number>>(value);
    for (std::size_t i = 0; i < sizeof(Number); ++i, bits >>= 8)
        data += static_cast<char>(bits & 0xFF);
    return true;
}

// -PropertyType T -Value V: the value's type and data.
bool propertyValue(Cursor& at, ExportChange& change, const AnsiCodec& codec) {
    std::string type, text;
    if (!(at.word("-PropertyType") && at.anyWord(type) && at.word("-Value"))) return false;
    change.data.clear();
    if (samePowerShellWord(type, "String") || samePowerShellWord(type, "ExpandString")) {
        change.type = samePowerShellWord(type, "String") ? kRegSz : kRegExpandSz;
        if (!(at.text(text) && ansi(at, text, codec, change.data))) return false;
        change.data += '\0';
        return true;
    }
    if (samePowerShellWord(type, "DWord")) {
        change.type = kRegDword;
        return numberData<std::int32_t>(at, "DWord", change.data);
    }
    if (samePowerShellWord(type, "QWord")) {
        change.type = kRegQword;
        return numberData<std::int64_t>(at, "QWord", change.data);
    }
    const bool list = samePowerShellWord(type, "MultiString");
    if (!list && !samePowerShellWord(type, "Binary"))
        return at.fail("导出脚本不用 -PropertyType " + type);
    change.type = list ? kRegMultiSz : kRegBinary;
    if (!(at.punct("(") && at.type(list ? "string[]" : "byte[]") && at.punct("@") && at.punct("(")))
        return false;
    for (bool first = true; !at.at(Kind::Punct, ")"); first = false) {
        if (!first && !at.punct(",")) return false;
        if (list) {
            if (!(at.text(text) && ansi(at, text, codec, change.data))) return false;
            change.data += '\0';
            continue;
        }
        std::string byte;
        unsigned value = 0;
        if (!at.number(byte)) return false;
        if (byte.size() < 3 || byte.size() > 4 || byte.substr(0, 2) != "0x" ||
            std::from_chars(byte.data() + 2, byte.data() + byte.size(), value, 16).ptr !=
                byte.data() + byte.size())
            return at.fail("字节应写作 0xNN：" + byte);
        change.data += static_cast<char>(value);
    }
    if (list) change.data += '\0';
    return at.punct(")") && at.punct(")");
}

// The statement of a line's tokens. Failure: why the line is none of the forms.
Result<Statement> statement(const std::vector<Ps1Token>& tokens, const AnsiCodec& codec) {
    Cursor at(tokens);
    Statement s{Statement::What::StopOnError, {}, {}};
    ExportChange& c = s.change;
    bool good = false;
    std::string text, again, name;
    ExportChange other;
    if (at.at(Kind::Word, "$ErrorActionPreference")) {
        good = at.word("$ErrorActionPreference") && at.punct("=") && at.text(text) && at.end() &&
               (samePowerShellWord(text, "Stop") ||
                at.fail("$ErrorActionPreference 应为 'Stop'，出错时才会停下"));
    } else if (at.at(Kind::Word, "Write-Host")) {
        s.what = Statement::What::Announce;
        good = at.word("Write-Host") && at.text(s.message) && at.end();
    } else if (at.at(Kind::Word, "New-ItemProperty")) {
        s.what = Statement::What::SetValue;
        c.kind = ExportChange::Kind::SetValue;
        good = at.word("New-ItemProperty") && at.word("-LiteralPath") && registryPath(at, c) &&
               at.word("-Name") && propertyName(at, c) && propertyValue(at, c, codec) &&
               at.word("-Force") && at.punct("|") && at.word("Out-Null") && at.end();
    } else if (at.at(Kind::Word, "if")) {
        if (!(at.word("if") && at.punct("("))) {
        } else if (at.at(Kind::Word, "-not")) {
            s.what = Statement::What::MakeKey;
            c.kind = ExportChange::Kind::MakeKey;
            good = at.word("-not") && at.punct("(") && at.word("Test-Path") &&
                   at.word("-LiteralPath") && registryPath(at, c) && at.punct(")") &&
                   at.punct(")") && at.punct("{") && at.word("New-Item") && at.word("-Path") &&
                   registryPath(at, other) && at.word("-Force") && at.punct("|") &&
                   at.word("Out-Null") && at.punct("}") && at.end();
        } else if (at.at(Kind::Word, "Test-Path")) {
            s.what = Statement::What::RemoveKey;
            c.kind = ExportChange::Kind::RemoveKey;
            good = at.word("Test-Path") && at.word("-LiteralPath") && registryPath(at, c) &&
                   at.punct(")") && at.punct("{") && at.word("Remove-Item") &&
                   at.word("-LiteralPath") && registryPath(at, other) && at.word("-Recurse") &&
                   at.word("-Force") && at.punct("}") && at.end();
        } else {
            s.what = Statement::What::RemoveValue;
            c.kind = ExportChange::Kind::RemoveValue;
            good = at.word("Get-ItemProperty") && at.word("-LiteralPath") && registryPath(at, c) &&
                   at.word("-Name") && propertyName(at, c) && at.word("-ErrorAction") &&
                   at.word("SilentlyContinue") && at.punct(")") && at.punct("{") &&
                   at.word("Remove-ItemProperty") && at.word("-LiteralPath") &&
                   registryPath(at, other) && at.word("-Name") && propertyName(at, other) &&
                   at.punct("}") && at.end() &&
                   (other.name == c.name || at.fail("条件与命令中的值名不同"));
        }
        good = good &&
               ((other.root == c.root && other.key == c.key) || at.fail("条件与命令中的路径不同"));
    } else {
        at.fail("不是导出脚本里的命令：" + (tokens.empty() ? std::string() : tokens[0].text));
    }
    if (!good) return Status::error(at.why());
    return s;
}

// `text` with line breaks as blanks, as the writer names a key in messages.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

}  // namespace

Result<Ps1Script> readPowerShell(std::string_view bytes, const AnsiCodec& codec) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    const bool bom = bytes.substr(0, kBom.size()) == kBom;
    if (bom) bytes.remove_prefix(kBom.size());
    if (!bom && std::any_of(bytes.begin(), bytes.end(),
                            [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
        return Status::error(
            "1: 文件含非 ASCII 字符却没有 UTF-8 字节顺序标记，Windows PowerShell 会按 ANSI "
            "代码页读它");

    Ps1Script script;
    std::vector<std::string> errors;
    const auto bad = [&errors](std::size_t line, const std::string& why) {
        errors.push_back(std::to_string(line) + ": " + why);
    };
    bool stops = false;  // $ErrorActionPreference = 'Stop' was read
    // The change the latest Write-Host announced, while its lines are read: `keyMade` once its
    // key's New-Item line was. `checked` is false after a bad line, whose meaning is unknown:
    // the next command then is taken without asking for its announcement.
    struct Announced {
        std::size_t line = 0;
        std::string message;
        bool checked = true;
        std::optional<ExportChange> keyMade;
    };
    std::optional<Announced> announced;
    const auto close = [&] {
        if (!announced) return;
        if (announced->keyMade)
            script.changes.push_back(*announced->keyMade);
        else if (announced->checked)
            bad(announced->line, "Write-Host 之后没有它所说的修改");
        announced.reset();
    };
    // Whether the change of line `number` was announced as the latest Write-Host's.
    const auto mayMake = [&](std::size_t number, const ExportChange& change) {
        if (!announced) {
            bad(number, "修改前没有 Write-Host 说明它改什么");
            return false;
        }
        const std::string key = oneLine(changeKeyPath(change));
        if (announced->checked && announced->message.find(key) == std::string::npos) {
            bad(number, "前面 Write-Host 的说明没有提到 " + key);
            return false;
        }
        return true;
    };

    std::size_t number = 0;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.find('\r') != std::string_view::npos) {
            bad(number, "行中有单独的回车符，PowerShell 会把它当作换行");
            continue;
        }
        if (!utf8ToUtf16(line)) {
            bad(number, "不是有效的 UTF-8 文本");
            continue;
        }
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos) continue;
        if (line[first] == '#') {
            const std::size_t text = line.find_first_not_of(" \t", first + 1);
            script.comments.emplace_back(text == std::string_view::npos ? "" : line.substr(text));
            continue;
        }
        Result<std::vector<Ps1Token>> tokens = powerShellTokens(line);
        Result<Statement> read =
            tokens ? statement(tokens.value(), codec) : Result<Statement>(tokens.status());
        if (!read) {
            bad(number, read.status().message());
            if (announced)
                announced->checked = false;
            else
                announced = Announced{number, {}, false, {}};
            continue;
        }
        Statement& s = read.value();
        using What = Statement::What;
        if (s.what == What::StopOnError) {
            stops = true;
            continue;
        }
        if (!stops) {
            bad(number, "前面没有 $ErrorActionPreference = 'Stop'，出错时脚本不会停下");
            stops = true;  // said once
        }
        switch (s.what) {
            case What::Announce:
                close();
                announced = Announced{number, std::move(s.message), true, {}};
                break;
            case What::MakeKey:
                if (announced && announced->keyMade) {
                    bad(number, "一条 Write-Host 之后只能有一项修改");
                } else if (mayMake(number, s.change)) {
                    announced->keyMade = std::move(s.change);
                    continue;  // the value set next, if any, goes with it
                }
                announced.reset();
                break;
            case What::SetValue:
                if (!announced) {
                    bad(number, "修改前没有 Write-Host 说明它改什么");
                } else if (!announced->keyMade) {
                    if (announced->checked)
                        bad(number, "New-ItemProperty 之前没有 New-Item 确保它的项存在");
                } else if (announced->keyMade->root != s.change.root ||
                           announced->keyMade->key != s.change.key) {
                    bad(number, "New-ItemProperty 的项与前一行创建的项不同");
                } else {
                    script.changes.push_back(std::move(s.change));
                }
                announced.reset();
                break;
            default:  // RemoveValue, RemoveKey
                if (announced && announced->keyMade)
                    bad(number, "一条 Write-Host 之后只能有一项修改");
                else if (mayMake(number, s.change))
                    script.changes.push_back(std::move(s.change));
                announced.reset();
                break;
        }
    }
    close();
    if (!errors.empty()) {
        std::string message;
        for (const std::string& error : errors) message += (message.empty() ? "" : "\n") + error;
        return Status::error(message);
    }
    return script;
}

}  // namespace hivora
