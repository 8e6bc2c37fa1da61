// The three export formats: what each writes for every value type, removals and password values,
// and the .reg file read back by our own import.

#include <gtest/gtest.h>
#include <yaml-cpp/yaml.h>

#include "core/export/ansible_writer.h"
#include "core/export/ps1_writer.h"
#include "core/export/reg_import.h"
#include "core/export/reg_writer.h"
#include "platform/unicode_text.h"
#include "tests/platform/store_test_support.h"

namespace hivora::testing {
namespace {

const AnsiCodec& utf8Codec() {
    static const std::unique_ptr<AnsiCodec> codec = makeAnsiCodec(65001).value();
    return *codec;
}

constexpr RegKey kUser = kHkeyCurrentUser;

ExportChange value(std::string name, std::uint32_t type, std::string data,
                   std::string key = "Software\\Hivora") {
    return {ExportChange::Kind::SetValue,
            kUser,
            std::move(key),
            std::move(name),
            type,
            std::move(data)};
}

// An operation as the registry then holds it: its type and bytes.
std::pair<std::uint32_t, std::string> stored(const RegOp& op, const AnsiCodec& codec) {
    switch (op.kind) {
        case RegOpKind::SetString:
            return {kRegSz, codec.toAnsi(op.text).value()};
        case RegOpKind::SetDword: {
            std::string bytes;
            for (int i = 0; i < 4; ++i)
                bytes +=
                    static_cast<char>((static_cast<std::uint32_t>(op.number) >> (8 * i)) & 0xFF);
            return {kRegDword, bytes};
        }
        case RegOpKind::SetRaw:
            return {static_cast<std::uint32_t>(op.number), op.text};
        default:
            return {~0u, {}};
    }
}

// The .reg text in UTF-8, for looking at lines.
std::string regText(const std::string& file) {
    EXPECT_EQ(file.substr(0, 2), std::string("\xFF\xFE", 2));
    return utf16ToUtf8(
               fromUtf16Le(reinterpret_cast<const std::uint8_t*>(file.data()) + 2, file.size() - 2))
        .value();
}

struct RoundTrip {
    const char* what;
    std::uint32_t type;
    std::string data;
    const char* lineHas;  // part of the .reg line it is written as
};

void PrintTo(const RoundTrip& c, std::ostream* out) {
    *out << c.what;
}

class RegRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

// Written by our export and read by our import, each value comes back with its type and bytes
// (a REG_SZ without its terminating NUL, as this program stores texts).
TEST_P(RegRoundTrip, ValueComesBackAsItWas) {
    const RoundTrip& c = GetParam();
    const std::vector<ExportChange> changes{
        {ExportChange::Kind::MakeKey, kUser, "Software\\Hivora", {}, 0, {}},
        value("名\"称\\", c.type, c.data)};
    Result<std::string> file = writeRegFile(changes, utf8Codec());
    ASSERT_TRUE(file) << file.status().message();
    EXPECT_NE(regText(file.value()).find(c.lineHas), std::string::npos) << regText(file.value());
    Result<std::vector<RegOp>> ops = parseRegFile(file.value(), "a.reg", utf8Codec());
    ASSERT_TRUE(ops) << ops.status().message();
    ASSERT_EQ(ops.value().size(), 2u);
    EXPECT_EQ(ops.value()[0], createKey(kUser, "Software\\Hivora"));
    const RegOp& op = ops.value()[1];
    EXPECT_EQ(op.key, "Software\\Hivora");
    EXPECT_EQ(op.name, "名\"称\\");
    std::string expected = c.data;
    if (c.type == kRegSz && !expected.empty() && expected.back() == '\0') expected.pop_back();
    EXPECT_EQ(stored(op, utf8Codec()), std::pair(c.type, expected));
}

INSTANTIATE_TEST_SUITE_P(
    EveryType, RegRoundTrip,
    ::testing::Values(
        RoundTrip{"text", kRegSz, "plain", "=\"plain\""},
        RoundTrip{"text with NUL", kRegSz, std::string("plain\0", 6), "=\"plain\""},
        RoundTrip{"quotes and backslashes", kRegSz, "C:\\a \"b\"\\", R"(="C:\\a \"b\"\\")"},
        RoundTrip{"line breaks", kRegSz, "one\r\ntwo\n", "=hex(1):6f,00"},
        RoundTrip{"CJK", kRegSz, "中文设置", "=\"中文设置\""},
        RoundTrip{"beyond the BMP", kRegSz, "😀𠀀", "=\"😀𠀀\""},
        RoundTrip{"empty text", kRegSz, "", "=\"\""},
        RoundTrip{"expandable", kRegExpandSz, std::string("%SystemRoot%\\中\0", 16),
                  "=hex(2):25,00,53,00"},
        RoundTrip{"list", kRegMultiSz, std::string("a\"\0b\\\0\0", 7), "=hex(7):61,00,22,00"},
        RoundTrip{"dword", kRegDword, std::string("\x78\x56\x34\xF2", 4), "=dword:f2345678"},
        RoundTrip{"short dword", kRegDword, std::string("\x01", 1), "=hex(4):01"},
        RoundTrip{"qword", kRegQword, std::string("\1\2\3\4\5\6\7\x80", 8),
                  "=hex(b):01,02,03,04,05,06,07,80"},
        RoundTrip{"binary", kRegBinary, std::string("\0\xff", 2), "=hex:00,ff"},
        RoundTrip{"empty binary", kRegBinary, "", "=hex:\r\n"},
        RoundTrip{"none", kRegNone, "\x10", "=hex(0):10"},
        RoundTrip{"long binary wraps", kRegBinary, std::string(100, '\x5a'), "5a,\\\r\n  5a"},
        RoundTrip{"type of its own", 0x20001, "xy", "=hex(20001):78,79"}));

// Removals, the default value, password values and the file's form.
TEST(RegExport, WritesRemovalsPasswordsAndTheFileForm) {
    const std::vector<ExportChange> changes{
        {ExportChange::Kind::RemoveKey, kHkeyLocalMachine, "Software\\Old", {}, 0, {}},
        {ExportChange::Kind::RemoveValue, kUser, "Software\\Hivora", "Gone", 0, {}},
        value("", kRegSz, "默认"),
        {ExportChange::Kind::SecretLeftOut, kUser, "Software\\Hivora", "DefaultPassword", 0, {}}};
    Result<std::string> file = writeRegFile(changes, utf8Codec());
    ASSERT_TRUE(file);
    const std::string text = regText(file.value());
    EXPECT_EQ(text,
              "Windows Registry Editor Version 5.00\r\n"
              "\r\n[-HKEY_LOCAL_MACHINE\\Software\\Old]\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software\\Hivora]\r\n"
              "\"Gone\"=-\r\n"
              "@=\"默认\"\r\n"
              "; \"DefaultPassword\" 是密码，不以明文导出，已略去\r\n"
              "\r\n");
    Result<std::vector<RegOp>> ops = parseRegFile(file.value(), "a.reg", utf8Codec());
    ASSERT_TRUE(ops) << ops.status().message();
    EXPECT_EQ(ops.value(), (std::vector<RegOp>{removeKey(kHkeyLocalMachine, "Software\\Old"),
                                               createKey(kUser, "Software\\Hivora"),
                                               deleteValue(kUser, "Software\\Hivora", "Gone"),
                                               setString(kUser, "Software\\Hivora", "", "默认")}));
}

TEST(RegExport, PasswordValuesInsideARecordedKeyAreLeftOut) {
    JournalItem key;
    key.kind = ItemKind::Key;
    key.root = kUser;
    key.key = "Software\\Logon";
    key.keyAfter.present = true;
    key.keyAfter.values = {{"User", kRegSz, "me"}, {"AutoPASSWORD", kRegSz, "hunter2"}};
    const std::vector<ExportChange> changes = exportChanges({key});
    for (auto write : {writeRegFile, writePowerShell, writeAnsibleTasks}) {
        Result<std::string> file = write(changes, utf8Codec());
        ASSERT_TRUE(file);
        const std::string text =
            file.value().substr(0, 2) == "\xFF\xFE" ? regText(file.value()) : file.value();
        EXPECT_EQ(text.find("hunter2"), std::string::npos) << text;
        EXPECT_NE(text.find("AutoPASSWORD"), std::string::npos) << text;
        EXPECT_NE(text.find("是密码，不以明文导出"), std::string::npos) << text;
    }
}

// An action that made a key is recorded as the key whole and as the values it set: each value
// is exported once, unless a later removal of the key makes saying it again necessary.
TEST(ExportChanges, AValueTheKeyAlreadySaysIsNotRepeated) {
    JournalItem key;
    key.kind = ItemKind::Key;
    key.root = kUser;
    key.key = "Software\\Made";
    key.keyAfter.present = true;
    key.keyAfter.values = {{"V", kRegDword, std::string("\x01\0\0\0", 4)}};
    JournalItem value;
    value.root = kUser;
    value.key = "software\\made";
    value.name = "v";
    value.valueAfter = {true, kRegDword, std::string("\x01\0\0\0", 4)};
    JournalItem removed = key;
    removed.keyAfter = KeyState{};
    const auto count = [](const std::vector<ExportChange>& changes) {
        return std::count_if(changes.begin(), changes.end(), [](const ExportChange& c) {
            return c.kind == ExportChange::Kind::SetValue;
        });
    };
    EXPECT_EQ(count(exportChanges({key, value})), 1);
    EXPECT_EQ(count(exportChanges({key, removed, value})), 2);
    JournalItem other = value;
    other.valueAfter.data = std::string("\x02\0\0\0", 4);
    EXPECT_EQ(count(exportChanges({key, other})), 2);
    // A removal forgets the values of the key's branch, and only those: not a sibling's whose
    // name starts the same, nor the same key under another root.
    JournalItem deep = value, sibling = value, elsewhere = value;
    deep.key = "Software\\Made\\Sub";
    sibling.key = "Software\\Made2";
    elsewhere.root = kHkeyLocalMachine;
    EXPECT_EQ(count(exportChanges({deep, removed, deep})), 2);
    EXPECT_EQ(count(exportChanges({sibling, elsewhere, removed, sibling, elsewhere})), 2);
}

struct BadLine {
    const char* body;  // after the header line
    const char* error;
};

void PrintTo(const BadLine& c, std::ostream* out) {
    *out << c.error;
}

class RegImportBadLines : public ::testing::TestWithParam<BadLine> {};

// Each bad line is named with its file and line, and nothing at all is returned to write.
TEST_P(RegImportBadLines, NamesTheLineAndWritesNothing) {
    const std::string file =
        std::string("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Good]\r\n\"Fine\"=\"1\"\r\n") +
        GetParam().body;
    Result<std::vector<RegOp>> ops = parseRegFile(file, "x.reg", test::codec936());
    ASSERT_FALSE(ops);
    EXPECT_EQ(ops.status().message(), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    EveryFault, RegImportBadLines,
    ::testing::Values(
        BadLine{"\"A\"=dword:123456789\r\n", "x.reg:5: dword 数据应为 1 到 8 位十六进制数字"},
        BadLine{"\"A\"=hex:0g\r\n", "x.reg:5: 十六进制数据格式错误"},
        BadLine{"\"A\"=hex(2x):00\r\n", "x.reg:5: hex(类型) 的类型号格式错误"},
        BadLine{"\"A=\"1\"\r\n", "x.reg:5: 数值名称后缺少 ="},
        BadLine{"\"A\"=\"1\r\n", "x.reg:5: 字符串缺少结束的引号"},
        BadLine{"\"A\"=\"\\q\"\r\n", "x.reg:5: 字符串不认识的转义 \\q"},
        BadLine{"\"A\"=word:1\r\n", "x.reg:5: 无法识别的数据"},
        BadLine{"[HKEY_NOWHERE\\X]\r\n", "x.reg:5: 无法识别的根项：HKEY_NOWHERE"},
        BadLine{"[-HKEY_CURRENT_USER\\X]\r\n\"A\"=-\r\n", "x.reg:6: 已删除的项下不能写数值"},
        BadLine{"[HKEY_CURRENT_USER\\X\r\n", "x.reg:5: 项名缺少结束的 ]"},
        BadLine{"\"A\"=\"😀\"\r\n", "x.reg:5: 文本无法用代码页 936 表示"},
        BadLine{"\"A\"=hex:01,\\\r\n  02,zz\r\n\"B\"=-\r\nrubbish\r\n",
                "x.reg:5: 十六进制数据格式错误\nx.reg:8: 无法识别的行"}));

TEST(RegImport, ReadsRegedit4AndRefusesAFileWithoutHeader) {
    // REGEDIT4 in the code page: hex(2) data is taken as the code page's bytes.
    const std::string ansi = test::codec936().toAnsi("中").value();
    const std::string file = "REGEDIT4\n[HKEY_USERS\\.DEFAULT\\X]\n\"T\"=\"" + ansi +
                             "\"\n@=hex(2):41,00\n\"D\"=dword:0000002a\n";
    Result<std::vector<RegOp>> ops = parseRegFile(file, "old.reg", test::codec936());
    ASSERT_TRUE(ops) << ops.status().message();
    EXPECT_EQ(ops.value(),
              (std::vector<RegOp>{createKey(kHkeyUsers, ".DEFAULT\\X"),
                                  setString(kHkeyUsers, ".DEFAULT\\X", "T", "中"),
                                  setRaw(kHkeyUsers, ".DEFAULT\\X", "", kRegExpandSz, {"A\0", 2}),
                                  setDword(kHkeyUsers, ".DEFAULT\\X", "D", 42)}));

    Result<std::vector<RegOp>> headless =
        parseRegFile("\n[HKEY_USERS\\X]\n", "no.reg", test::codec936());
    ASSERT_FALSE(headless);
    EXPECT_EQ(headless.status().message().substr(0, 9), "no.reg:2:");
}

// ---- Ansible -----------------------------------------------------------------------------------

TEST(AnsibleExport, TasksParseBackIntoTheSameOptions) {
    const std::vector<ExportChange> changes{
        {ExportChange::Kind::MakeKey, kHkeyLocalMachine, "Software\\H", {}, 0, {}},
        value("S", kRegSz, "yes"),
        value("", kRegExpandSz, "a \"q\" \\ 中\n😀"),
        value("M", kRegMultiSz, std::string("1\0two\0\0", 7)),
        value("D", kRegDword, std::string("\xff\xff\xff\xff", 4)),
        value("Q", kRegQword, std::string("\x05\0\0\0\0\0\0\0", 8)),
        value("B", kRegBinary, std::string("\x0a\xbe", 2)),
        value("N", kRegNone, ""),
        value("DefaultPassword", kRegSz, "secret"),
        {ExportChange::Kind::RemoveValue, kUser, "Software\\Hivora", "Old", 0, {}},
        {ExportChange::Kind::RemoveKey, kHkeyClassesRoot, ".x", {}, 0, {}}};
    std::vector<ExportChange> exported = changes;
    exported[8].kind = ExportChange::Kind::SecretLeftOut;
    Result<std::string> yaml = writeAnsibleTasks(exported, utf8Codec());
    ASSERT_TRUE(yaml) << yaml.status().message();
    EXPECT_EQ(yaml.value().find("secret"), std::string::npos);
    EXPECT_NE(yaml.value().find("# HKEY_CURRENT_USER\\Software\\Hivora\\DefaultPassword 是密码"),
              std::string::npos)
        << yaml.value();

    const YAML::Node tasks = YAML::Load(yaml.value());
    ASSERT_TRUE(tasks.IsSequence());
    ASSERT_EQ(tasks.size(), 10u) << yaml.value();
    std::vector<std::map<std::string, std::string>> options;
    for (const YAML::Node& task : tasks) {
        ASSERT_TRUE(task["name"]);
        ASSERT_EQ(task.size(), 2u);
        std::map<std::string, std::string> row;
        for (const auto& option : task[kWinRegeditModule]) {
            const YAML::Node& v = option.second;
            std::string text;
            if (v.IsSequence())
                for (const YAML::Node& item : v) text += item.as<std::string>() + "|";
            else
                text = v.as<std::string>();
            row[option.first.as<std::string>()] = text;
        }
        options.push_back(row);
    }
    using Row = std::map<std::string, std::string>;
    const std::vector<Row> expected{
        {{"path", "HKLM:\\Software\\H"}, {"state", "present"}},
        {{"path", "HKCU:\\Software\\Hivora"},
         {"name", "S"},
         {"data", "yes"},
         {"type", "string"},
         {"state", "present"}},
        {{"path", "HKCU:\\Software\\Hivora"},
         {"name", ""},
         {"data", "a \"q\" \\ 中\n😀"},
         {"type", "expandstring"},
         {"state", "present"}},
        {{"path", "HKCU:\\Software\\Hivora"},
         {"name", "M"},
         {"data", "1|two|"},
         {"type", "multistring"},
         {"state", "present"}},
        {{"path", "HKCU:\\Software\\Hivora"},
         {"name", "D"},
         {"data", "4294967295"},
         {"type", "dword"},
         {"state", "present"}},
        {{"path", "HKCU:\\Software\\Hivora"},
         {"name", "Q"},
         {"data", "5"},
         {"type", "qword"},
         {"state", "present"}},
        {{"path", "HKCU:\\Software\\Hivora"},
         {"name", "B"},
         {"data", "hex:0a,be"},
         {"type", "binary"},
         {"state", "present"}},
        {{"path", "HKCU:\\Software\\Hivora"},
         {"name", "N"},
         {"data", "hex:"},
         {"type", "none"},
         {"state", "present"}},
        {{"path", "HKCU:\\Software\\Hivora"}, {"name", "Old"}, {"state", "absent"}},
        {{"path", "HKCR:\\.x"}, {"delete_key", "true"}, {"state", "absent"}}};
    EXPECT_EQ(options, expected);
    // A text that looks like a flag or a number stays a text.
    EXPECT_EQ(tasks[1][kWinRegeditModule]["data"].Tag(), "!");
}

}  // namespace
}  // namespace hivora::testing
