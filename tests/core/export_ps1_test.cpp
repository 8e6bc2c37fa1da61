// The PowerShell export read back by the reader of the subset it writes (no PowerShell runs
// here): every value type and awkward text comes back as it was, removals too, and a script
// outside the subset is refused at the right line.

#include <gtest/gtest.h>

#include "core/export/ps1_reader.h"
#include "core/export/ps1_tokens.h"
#include "core/export/ps1_writer.h"
#include "tests/platform/store_test_support.h"

namespace hivora {

void PrintTo(const ExportChange& c, std::ostream* out) {
    *out << "{kind " << static_cast<int>(c.kind) << ", root " << std::hex << c.root << std::dec
         << ", " << ::testing::PrintToString(c.key) << ", " << ::testing::PrintToString(c.name)
         << ", type " << c.type << ", " << ::testing::PrintToString(c.data) << "}";
}

namespace testing {
namespace {

using namespace std::string_literals;

const AnsiCodec& utf8Codec() {
    static const std::unique_ptr<AnsiCodec> codec = makeAnsiCodec(65001).value();
    return *codec;
}

constexpr RegKey kUser = kHkeyCurrentUser;

ExportChange value(std::string name, std::uint32_t type, std::string data,
                   std::string key = "Software\\Hivora", RegKey root = kUser) {
    return {
        ExportChange::Kind::SetValue, root, std::move(key), std::move(name), type, std::move(data)};
}

ExportChange other(ExportChange::Kind kind, RegKey root, std::string key, std::string name = {}) {
    return {kind, root, std::move(key), std::move(name), 0, {}};
}

// A value as the reader gives it back: texts end in their NUL, a list in its empty text.
ExportChange canonical(ExportChange change) {
    std::string& data = change.data;
    if (change.type == kRegSz || change.type == kRegExpandSz) {
        if (data.empty() || data.back() != '\0') data += '\0';
    } else if (change.type == kRegMultiSz) {
        if (data.empty() || data.back() != '\0') data += '\0';
        if (data.size() > 1 && data[data.size() - 2] != '\0') data += '\0';
    }
    return change;
}

Result<Ps1Script> writtenAndRead(const std::vector<ExportChange>& changes) {
    Result<std::string> script = writePowerShell(changes, utf8Codec());
    if (!script) return script.status();
    Result<Ps1Script> read = readPowerShell(script.value(), utf8Codec());
    if (!read) return Status::error(read.status().message() + "\n" + script.value());
    return read;
}

struct ValueRow {
    const char* what;
    ExportChange change;
};

void PrintTo(const ValueRow& row, std::ostream* out) {
    *out << row.what;
}

class Ps1RoundTrip : public ::testing::TestWithParam<ValueRow> {};

// Written, then read as PowerShell would read it, each value is the one the export was asked
// to set, under its key and name.
TEST_P(Ps1RoundTrip, TheScriptSetsTheValueItWasGiven) {
    const ExportChange& change = GetParam().change;
    Result<Ps1Script> read = writtenAndRead({change});
    ASSERT_TRUE(read) << read.status().message();
    EXPECT_EQ(read.value().changes, std::vector<ExportChange>{canonical(change)});
}

const std::string kAllBytes = [] {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    return bytes;
}();

INSTANTIATE_TEST_SUITE_P(
    EveryTypeAndText, Ps1RoundTrip,
    ::testing::Values(
        ValueRow{"text", value("S", kRegSz, "plain\0"s)},
        ValueRow{"text kept without its NUL", value("S", kRegSz, "plain")},
        ValueRow{"single quotes", value("It's", kRegSz, "a'b''c'")},
        ValueRow{"typographic quotes", value("‘名’", kRegSz, "‘x’ ‚y‛ “z” „")},
        ValueRow{"double quotes, dollar, backtick", value("$x`", kRegSz, "\"$env:TEMP\" `n @(1)")},
        ValueRow{"backslashes", value("a\\b", kRegSz, "C:\\dir\\")},
        ValueRow{"line breaks inside", value("S", kRegSz, "one\r\ntwo\nthree\r")},
        ValueRow{"a line break first", value("S", kRegSz, "\nfirst")},
        ValueRow{"nothing but a line break", value("S", kRegSz, "\r\n")},
        ValueRow{"CJK", value("中文名", kRegSz, "中文设置")},
        ValueRow{"beyond the BMP", value("😀", kRegSz, "😀𠀀")},
        ValueRow{"empty text", value("S", kRegSz, "")},
        ValueRow{"the default value", value("", kRegSz, "默认")},
        ValueRow{"expandable", value("P", kRegExpandSz, "%SystemRoot%\\中\0"s)},
        ValueRow{"list", value("M", kRegMultiSz, "a'\0\n\0中😀\0\0"s)},
        ValueRow{"empty list", value("M", kRegMultiSz, "\0"s)},
        ValueRow{"list kept without its end", value("M", kRegMultiSz, "a\0b"s)},
        ValueRow{"dword", value("D", kRegDword, "\x78\x56\x34\x12")},
        ValueRow{"dword with the top bit", value("D", kRegDword, "\xff\xff\xff\xff")},
        ValueRow{"dword 0x80000000", value("D", kRegDword, "\0\0\0\x80"s)},
        ValueRow{"qword", value("Q", kRegQword, "\1\2\3\4\5\6\7\x80"s)},
        ValueRow{"largest qword", value("Q", kRegQword, "\xff\xff\xff\xff\xff\xff\xff\x7f")},
        ValueRow{"binary", value("B", kRegBinary, "\0\x7f\x80\xff"s)},
        ValueRow{"empty binary", value("B", kRegBinary, "")},
        ValueRow{"every byte", value("B", kRegBinary, kAllBytes)},
        ValueRow{"awkward key", value("V", kRegDword, std::string(4, '\0'),
                                      "Software\\It's ‘here’\\中文 😀", kHkeyLocalMachine)},
        ValueRow{"a value of the root key", value("Top", kRegSz, "x", "", kHkeyUsers)}));

// Keys made and removed, values removed, in order; password values and types PowerShell cannot
// write are comment lines, not changes, and their data is nowhere in the script.
TEST(Ps1Reader, ReadsRemovalsInOrderAndSkipsWhatWasLeftOut) {
    using Kind = ExportChange::Kind;
    const std::vector<ExportChange> changes{
        other(Kind::MakeKey, kHkeyLocalMachine, "Software\\It's"),
        value("N", kRegDword, std::string(4, '\1'), "Software\\It's", kHkeyLocalMachine),
        other(Kind::RemoveValue, kUser, "Software\\Hivora", ""),
        other(Kind::RemoveValue, kUser, "Software\\Hivora", "Old'‘"),
        other(Kind::RemoveKey, kHkeyClassesRoot, ".x\\sub"),
        other(Kind::RemoveKey, kHkeyUsers, "S-1-5-18\\中"),
        other(Kind::MakeKey, kUser, "Software\\Empty")};
    std::vector<ExportChange> written = changes;
    written.insert(written.begin() + 3, value("DefaultPassword", kRegSz, "hunter2"));
    written[3].kind = Kind::SecretLeftOut;
    written.insert(written.begin() + 5, value("L", 6, "\\Registry\\Machine"));
    Result<std::string> script = writePowerShell(written, utf8Codec());
    ASSERT_TRUE(script);
    EXPECT_EQ(script.value().find("hunter2"), std::string::npos);
    Result<Ps1Script> read = readPowerShell(script.value(), utf8Codec());
    ASSERT_TRUE(read) << read.status().message() << "\n" << script.value();
    EXPECT_EQ(read.value().changes, changes);
    ASSERT_EQ(read.value().comments.size(), 3u);
    EXPECT_NE(read.value().comments[1].find("DefaultPassword 是密码，不以明文导出"),
              std::string::npos);
    EXPECT_NE(read.value().comments[2].find("\\L 的类型 6"), std::string::npos);
}

struct Ps1Case {
    ExportChange change;
    std::vector<std::string> lines;  // after the two opening lines
};

TEST(Ps1Export, WritesOneCheckedCommandPerChange) {
    const std::string p = "'Registry::HKEY_CURRENT_USER\\Software\\Hivora'";
    const std::string makeKey = "if (-not (Test-Path -LiteralPath " + p + ")) { New-Item -Path " +
                                p + " -Force | Out-Null }";
    const std::vector<Ps1Case> cases{
        {value("It's", kRegSz, "a'b‘c"),
         {"Write-Host '设置值 HKEY_CURRENT_USER\\Software\\Hivora\\It''s'", makeKey,
          "New-ItemProperty -LiteralPath " + p +
              " -Name 'It''s' -PropertyType String -Value 'a''b‘‘c' -Force | Out-Null"}},
        {value("", kRegExpandSz, std::string("x\ny\0", 4)),
         {"Write-Host '设置值 HKEY_CURRENT_USER\\Software\\Hivora\\(默认)'", makeKey,
          "New-ItemProperty -LiteralPath " + p +
              " -Name '(default)' -PropertyType ExpandString -Value ('x' + [char]10 + 'y') "
              "-Force | Out-Null"}},
        {value("M", kRegMultiSz, std::string("a\0中\0\0", 7)),
         {"Write-Host '设置值 HKEY_CURRENT_USER\\Software\\Hivora\\M'", makeKey,
          "New-ItemProperty -LiteralPath " + p +
              " -Name 'M' -PropertyType MultiString -Value ([string[]]@('a','中')) -Force | "
              "Out-Null"}},
        {value("D", kRegDword, std::string("\xff\xff\xff\xff", 4)),
         {"Write-Host '设置值 HKEY_CURRENT_USER\\Software\\Hivora\\D'", makeKey,
          "New-ItemProperty -LiteralPath " + p +
              " -Name 'D' -PropertyType DWord -Value -1 -Force | Out-Null"}},
        {value("Q", kRegQword, std::string("\x02\0\0\0\0\0\0\0", 8)),
         {"Write-Host '设置值 HKEY_CURRENT_USER\\Software\\Hivora\\Q'", makeKey,
          "New-ItemProperty -LiteralPath " + p +
              " -Name 'Q' -PropertyType QWord -Value 2 -Force | Out-Null"}},
        {value("B", kRegBinary, std::string("\x01\xab", 2)),
         {"Write-Host '设置值 HKEY_CURRENT_USER\\Software\\Hivora\\B'", makeKey,
          "New-ItemProperty -LiteralPath " + p +
              " -Name 'B' -PropertyType Binary -Value ([byte[]]@(0x01,0xab)) -Force | Out-Null"}},
        {value("L", 6, "x"),
         {"# HKEY_CURRENT_USER\\Software\\Hivora\\L 的类型 6 无法用 "
          "New-ItemProperty 写入，已略去"}},
        {{ExportChange::Kind::RemoveValue, kUser, "Software\\Hivora", "Old", 0, {}},
         {"Write-Host '删除值 HKEY_CURRENT_USER\\Software\\Hivora\\Old'",
          "if (Get-ItemProperty -LiteralPath " + p +
              " -Name 'Old' -ErrorAction SilentlyContinue) { Remove-ItemProperty -LiteralPath " +
              p + " -Name 'Old' }"}},
        {{ExportChange::Kind::RemoveKey, kUser, "Software\\Hivora", {}, 0, {}},
         {"Write-Host '删除项 HKEY_CURRENT_USER\\Software\\Hivora'",
          "if (Test-Path -LiteralPath " + p + ") { Remove-Item -LiteralPath " + p +
              " -Recurse -Force }"}},
        {{ExportChange::Kind::MakeKey, kUser, "Software\\Hivora", {}, 0, {}},
         {"Write-Host '创建项 HKEY_CURRENT_USER\\Software\\Hivora'", makeKey}},
    };
    for (const Ps1Case& c : cases) {
        Result<std::string> script = writePowerShell({c.change}, utf8Codec());
        ASSERT_TRUE(script);
        std::vector<std::string> lines;
        std::string_view rest = script.value();
        while (!rest.empty()) {
            const std::size_t end = rest.find("\r\n");
            ASSERT_NE(end, std::string_view::npos) << "every line ends in CRLF";
            lines.emplace_back(rest.substr(0, end));
            rest.remove_prefix(end + 2);
        }
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[0].substr(0, 3), "\xEF\xBB\xBF");
        EXPECT_EQ(lines[1], "$ErrorActionPreference = 'Stop'");
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end()), c.lines)
            << c.change.name;
        // And read as PowerShell reads it, the script makes the change (or, for a type it
        // cannot write, nothing).
        Result<Ps1Script> read = readPowerShell(script.value(), utf8Codec());
        ASSERT_TRUE(read) << read.status().message();
        EXPECT_EQ(read.value().changes, c.change.type == 6
                                            ? std::vector<ExportChange>{}
                                            : std::vector<ExportChange>{canonical(c.change)});
    }
}

struct TextRow {
    const char* expression;
    std::string text;  // or, for an expression refused, the start of the reason
    bool good = true;
};

void PrintTo(const TextRow& row, std::ostream* out) {
    *out << row.expression;
}

class Ps1Text : public ::testing::TestWithParam<TextRow> {};

// PowerShell's quoting: what each expression stands for, or why it is outside the subset.
TEST_P(Ps1Text, StandsForItsText) {
    const TextRow& row = GetParam();
    Result<std::string> text = powerShellStringValue(row.expression);
    if (row.good) {
        ASSERT_TRUE(text) << text.status().message();
        EXPECT_EQ(text.value(), row.text);
    } else {
        ASSERT_FALSE(text) << text.value();
        EXPECT_EQ(text.status().message().substr(0, row.text.size()), row.text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    QuotingRules, Ps1Text,
    ::testing::Values(
        TextRow{"'a''b'", "a'b"}, TextRow{"'$x `n \\ \"'", "$x `n \\ \""},
        TextRow{"'a‘‘b’’c‚‚d‛‛'", "a‘b’c‚d‛"}, TextRow{"‘typographic’", "typographic"},
        TextRow{"''", ""}, TextRow{R"("a""b`"c")", "a\"b\"c"},
        TextRow{"\"x`ty`$z``w`'\"", "x\ty$z`w'"}, TextRow{"“a”", "a"},
        TextRow{"('a' + [char]10 + 'b')", "a\nb"}, TextRow{"('' + [char]13 + [char]10)", "\r\n"},
        TextRow{"'abc", "字符串缺少结束的引号", false}, TextRow{"'a‘b''", "行尾多出了 b", false},
        TextRow{"\"$x\"", "双引号字符串中的 $", false},
        TextRow{"\"`e\"", "转义 `e 只有 PowerShell 6", false},
        TextRow{"\"`0\"", "注册表文本中不能有 NUL", false},
        TextRow{"([char]10 + 'a')", "和式应以引号字符串开头", false},
        TextRow{"('a' + [char]55296)", "[char] 的值无效：55296", false},
        TextRow{"('a' 'b')", "此处应为 +", false}, TextRow{"'a' 'b'", "行尾多出了", false},
        TextRow{"'a'; 'b'", "一行只能有一条命令", false}, TextRow{"a", "此处应为字符串", false}));

const std::string kStop = "$ErrorActionPreference = 'Stop'\n";
const std::string kPath = "'Registry::HKEY_CURRENT_USER\\Software\\H'";
const std::string kSays = "Write-Host '设置值 HKEY_CURRENT_USER\\Software\\H\\V'\n";
const std::string kMakeKey = "if (-not (Test-Path -LiteralPath " + kPath + ")) { New-Item -Path " +
                             kPath + " -Force | Out-Null }\n";
std::string setLine(const std::string& typeAndValue, const std::string& path = kPath) {
    return "New-ItemProperty -LiteralPath " + path + " -Name 'V' -PropertyType " + typeAndValue +
           " -Force | Out-Null\n";
}

struct BadScript {
    const char* what;
    std::string script;  // after the byte-order mark
    std::string error;
    bool bom = true;
};

void PrintTo(const BadScript& row, std::ostream* out) {
    *out << row.what;
}

class Ps1BadScript : public ::testing::TestWithParam<BadScript> {};

// Each line outside the subset is named by its number, and nothing is returned.
TEST_P(Ps1BadScript, IsRefusedAtItsLine) {
    const BadScript& row = GetParam();
    Result<Ps1Script> read =
        readPowerShell((row.bom ? "\xEF\xBB\xBF" : "") + row.script, utf8Codec());
    ASSERT_FALSE(read);
    EXPECT_EQ(read.status().message(), row.error);
}

INSTANTIATE_TEST_SUITE_P(
    OutsideTheSubset, Ps1BadScript,
    ::testing::Values(
        BadScript{"no stop on error", kSays + kMakeKey,
                  "1: 前面没有 $ErrorActionPreference = 'Stop'，出错时脚本不会停下"},
        BadScript{"errors let pass", "$ErrorActionPreference = 'Continue'\n",
                  "1: $ErrorActionPreference 应为 'Stop'，出错时才会停下"},
        BadScript{"a change not announced", kStop + kMakeKey,
                  "2: 修改前没有 Write-Host 说明它改什么"},
        BadScript{"announced as another key",
                  kStop + "Write-Host '创建项 HKEY_CURRENT_USER\\Software\\Other'\n" + kMakeKey,
                  "3: 前面 Write-Host 的说明没有提到 HKEY_CURRENT_USER\\Software\\H"},
        BadScript{"an announcement with no change", kStop + kSays + kSays + kMakeKey,
                  "2: Write-Host 之后没有它所说的修改"},
        BadScript{"a value set before its key is made", kStop + kSays + setLine("DWord -Value 1"),
                  "3: New-ItemProperty 之前没有 New-Item 确保它的项存在"},
        BadScript{"a value set under another key",
                  kStop + kSays + kMakeKey +
                      setLine("DWord -Value 1", "'Registry::HKEY_CURRENT_USER\\Software\\I'"),
                  "4: New-ItemProperty 的项与前一行创建的项不同"},
        BadScript{"a key tested and another made",
                  kStop + kSays + "if (-not (Test-Path -LiteralPath " + kPath +
                      ")) { New-Item -Path 'Registry::HKEY_USERS\\H' -Force | Out-Null }\n",
                  "3: 条件与命令中的路径不同"},
        BadScript{"a value tested and another removed",
                  kStop + "Write-Host '删除值 HKEY_CURRENT_USER\\Software\\H\\A'\n" +
                      "if (Get-ItemProperty -LiteralPath " + kPath +
                      " -Name 'A' -ErrorAction SilentlyContinue) { Remove-ItemProperty "
                      "-LiteralPath " +
                      kPath + " -Name 'B' }\n",
                  "3: 条件与命令中的值名不同"},
        BadScript{"a typographic quote not doubled",
                  kStop + kSays + kMakeKey + setLine("String -Value 'a‘b'"),
                  "4: 字符串缺少结束的引号"},
        BadScript{"a string left open", kStop + "Write-Host 'abc\n", "2: 字符串缺少结束的引号"},
        BadScript{"a variable expanded", kStop + kSays + kMakeKey + setLine("String -Value \"$a\""),
                  "4: 双引号字符串中的 $ 会被 PowerShell 展开，不在导出脚本的范围内"},
        BadScript{"[char] added to [char]",
                  kStop + kSays + kMakeKey + setLine("String -Value ([char]13 + [char]10)"),
                  "4: 和式应以引号字符串开头，否则 PowerShell 把 [char] 当数字相加"},
        BadScript{"a type the writer never uses",
                  kStop + kSays + kMakeKey + setLine("Unknown -Value 'x'"),
                  "4: 导出脚本不用 -PropertyType Unknown"},
        BadScript{"a dword beyond the signed range",
                  kStop + kSays + kMakeKey + setLine("DWord -Value 4294967295"),
                  "4: DWord 的值应为有符号范围内的十进制整数：4294967295"},
        BadScript{"a byte too big",
                  kStop + kSays + kMakeKey + setLine("Binary -Value ([byte[]]@(0x01,0x100))"),
                  "4: 字节应写作 0xNN：0x100"},
        BadScript{"no -Force",
                  kStop + kSays + kMakeKey + "New-ItemProperty -LiteralPath " + kPath +
                      " -Name 'V' -PropertyType DWord -Value 1 | Out-Null\n",
                  "4: 此处应为 -Force，实为 |"},
        BadScript{"a key removed without its branch",
                  kStop + "Write-Host '删除项 HKEY_CURRENT_USER\\Software\\H'\n" +
                      "if (Test-Path -LiteralPath " + kPath + ") { Remove-Item -LiteralPath " +
                      kPath + " -Force }\n",
                  "3: 此处应为 -Recurse，实为 -Force"},
        BadScript{"a drive path", kStop + kSays + "if (-not (Test-Path -LiteralPath 'HKCU:\\H')) {",
                  "3: 路径应以 Registry:: 开头：HKCU:\\H"},
        BadScript{"an unknown root",
                  kStop + kSays + kMakeKey +
                      setLine("DWord -Value 1", "'Registry::HKEY_NOWHERE\\Software\\H'"),
                  "4: 无法识别的根项：HKEY_NOWHERE"},
        BadScript{"another command", kStop + "Invoke-Expression 'calc'\n",
                  "2: 不是导出脚本里的命令：Invoke-Expression"},
        BadScript{"two statements on a line", kStop + "Write-Host 'a'; Write-Host 'b'\n",
                  "2: 一行只能有一条命令，不能用 ; 连接"},
        BadScript{"a line continued", kStop + "Write-Host `\n'a'\n",
                  "2: 字符串外的反引号（续行或转义）不在导出脚本的范围内\n"
                  "3: 不是导出脚本里的命令：a"},
        BadScript{"a lone carriage return", kStop + "Write-Host 'a\rb'\n",
                  "2: 行中有单独的回车符，PowerShell 会把它当作换行"},
        BadScript{"not ASCII without a byte-order mark", kStop + "# 中文\n",
                  "1: 文件含非 ASCII 字符却没有 UTF-8 字节顺序标记，Windows PowerShell 会按 ANSI "
                  "代码页读它",
                  false},
        BadScript{"every bad line named",
                  kStop + kSays + kMakeKey + setLine("DWord -Value x") + kSays + kMakeKey +
                      setLine("QWord -Value 1.5"),
                  "4: 此处应为数字，实为 x\n7: 数字格式错误：1."}));

}  // namespace
}  // namespace testing
}  // namespace hivora
