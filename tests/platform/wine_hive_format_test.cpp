// Wine's registry text format: escapes both ways, every value type as Wine writes it, untouched
// files written back byte for byte, changed keys re-rendered alone, and bad lines reported with
// their line numbers.

#include "platform/wine_hive_format.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/ansi_codec.h"
#include "platform/registry_api.h"
#include "platform/tree_registry.h"
#include "platform/unicode_text.h"

namespace hivora {
namespace {

ParsedHive parse(const std::string& text) {
    return parseHive(std::make_shared<const std::string>(text));
}

std::vector<std::uint8_t> bytes(std::initializer_list<int> list) {
    std::vector<std::uint8_t> out;
    for (int b : list) out.push_back(static_cast<std::uint8_t>(b));
    return out;
}

std::vector<std::uint8_t> text16(std::u16string_view units) {
    return toUtf16Le(units);
}

struct EscapeCase {
    const char* name;
    std::u16string text;
    const char* quote;
    std::string written;
};

const EscapeCase kEscapeCases[] = {
    {"Plain", u"Software", "\"\"", "Software"},
    {"Backslash", u"a\\b", "\"\"", "a\\\\b"},
    {"QuotesInNames", u"say \"hi\"", "\"\"", "say \\\"hi\\\""},
    {"BracketsInKeyPaths", u"[x]", "[]", "\\[x\\]"},
    {"QuotesNotEscapedInKeyPaths", u"\"", "[]", "\""},
    {"Chinese", u"\u4e2d\u6587", "\"\"", "\\x4e2d\\x6587"},
    {"PaddedBeforeAHexDigit", u"\u00e9a", "\"\"", "\\x00e9a"},
    {"UnpaddedBeforeOtherLetters", u"\u00e9g", "\"\"", "\\xe9g"},
    {"ControlLetters", u"\a\b\t\n\v\f\r\x1b", "\"\"", "\\a\\b\\t\\n\\v\\f\\r\\e"},
    {"Octal", u"\x01x", "\"\"", "\\1x"},
    {"OctalPaddedBeforeADigit", std::u16string(u"\x01") + u"5", "\"\"", "\\0015"},
    {"InnerNul", std::u16string(u"a\0b", 3), "\"\"", "a\\0b"},
    {"FinalNulNotWritten", std::u16string(u"ab\0", 3), "\"\"", "ab"},
    {"DeleteIsPlain", u"\x7f", "\"\"", "\x7f"},
    {"SurrogatePair", u"\U0001F600", "\"\"", "\\xd83d\\xde00"},
};

void PrintTo(const EscapeCase& c, std::ostream* os) {
    *os << c.name;
}

class Escapes : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(Escapes, AreWrittenAsWineWritesThemAndReadBack) {
    const EscapeCase& c = GetParam();
    std::string out;
    appendEscaped(out, c.text, c.quote);
    EXPECT_EQ(out, c.written);
    std::u16string back;
    ASSERT_EQ(parseEscaped(out + c.quote[1], c.quote[1], back), out.size() + 1);
    std::u16string expected = c.text;
    if (!expected.empty() && expected.back() == 0) expected.pop_back();
    EXPECT_EQ(back, expected);
}

INSTANTIATE_TEST_SUITE_P(Format, Escapes, ::testing::ValuesIn(kEscapeCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ReadEscapeCase {
    const char* name;
    std::string input;
    std::u16string text;
};

TEST(Escapes, ReaderAcceptsWhatWineAccepts) {
    const ReadEscapeCase cases[] = {
        {"HexOfOneDigit", "\\x4\"", u"\x04"},
        {"HexStopsAtFourDigits", "\\x00411\"", u"A1"},
        {"XWithoutDigits", "\\xg\"", u"xg"},
        {"OctalOfThreeDigits", "\\1011\"", u"A1"},
        {"OtherEscapedCharacter", "\\q\\]\"", u"q]"},
        {"Utf8Input", "\xe4\xb8\xad\xf0\x9f\x98\x80\"", u"\u4e2d\U0001F600"},
        {"InvalidUtf8Skipped",
         "a\xff"
         "b\"",
         u"ab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::u16string out;
        EXPECT_EQ(parseEscaped(c.input, '"', out), c.input.size());
        EXPECT_EQ(out, c.text);
    }
    std::u16string out;
    EXPECT_EQ(parseEscaped("no end", '"', out), std::string_view::npos);
    EXPECT_EQ(parseEscaped("ends in \\\"", '"', out), std::string_view::npos);
}

struct ValueCase {
    const char* name;
    std::u16string valueName;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
    std::string line;
};

const ValueCase kValueCases[] = {
    {"Text", u"v", kRegSz, text16(std::u16string(u"text\0", 5)), "\"v\"=\"text\"\n"},
    {"DefaultValue", u"", kRegSz, text16(std::u16string(u"x\0", 2)), "@=\"x\"\n"},
    {"EmptyText", u"e", kRegSz, text16(std::u16string(u"\0", 1)), "\"e\"=\"\"\n"},
    {"ExpandText", u"p", kRegExpandSz, text16(std::u16string(u"%A%\0", 4)),
     "\"p\"=str(2):\"%A%\"\n"},
    {"MultiText", u"m", kRegMultiSz, text16(std::u16string(u"a\0b\0\0", 5)),
     "\"m\"=str(7):\"a\\0b\\0\"\n"},
    {"Dword", u"d", kRegDword, bytes({10, 0, 0, 0}), "\"d\"=dword:0000000a\n"},
    {"DwordHighBit", u"d", kRegDword, bytes({0xff, 0xff, 0xff, 0xff}), "\"d\"=dword:ffffffff\n"},
    {"Binary", u"b", kRegBinary, bytes({1, 0, 0, 0}), "\"b\"=hex:01,00,00,00\n"},
    {"EmptyBinary", u"b", kRegBinary, {}, "\"b\"=hex:\n"},
    {"None", u"n", kRegNone, {}, "\"n\"=hex(0):\n"},
    {"Qword", u"q", 11, bytes({1, 2, 3, 4, 5, 6, 7, 8}), "\"q\"=hex(b):01,02,03,04,05,06,07,08\n"},
    {"TextWithoutNul", u"t", kRegSz, bytes({0x61, 0}), "\"t\"=hex(1):61,00\n"},
    {"TextOfOddLength", u"t", kRegExpandSz, bytes({0x61, 0, 0}), "\"t\"=hex(2):61,00,00\n"},
    {"ShortDword", u"d", kRegDword, bytes({1, 2, 3}), "\"d\"=hex(4):01,02,03\n"},
    {"ChineseText", u"\u540d", kRegSz, text16(std::u16string(u"\u4e2d\u6587\0", 3)),
     "\"\\x540d\"=\"\\x4e2d\\x6587\"\n"},
    {"LongBinaryWraps", u"Data", kRegBinary, std::vector<std::uint8_t>(30, 0xab),
     "\"Data\"=hex:ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,\\\n"
     "  ab,ab,ab,ab,ab,ab,ab,ab\n"},
};

void PrintTo(const ValueCase& c, std::ostream* os) {
    *os << c.name;
}

class Values : public ::testing::TestWithParam<ValueCase> {};

TEST_P(Values, AreWrittenAsWineWritesThemAndReadBack) {
    const ValueCase& c = GetParam();
    HiveTree tree;
    tree.rootName = u"Machine";
    TreeKey& key = tree.root->addSubKey(u"K");
    key.modified = 0x1dd87a46e608046;
    key.changed = true;
    key.setValue(c.valueName, c.type, c.data);
    const std::string text = renderHive(tree);
    const std::string expected =
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n"
        "[K] 1796796818\n#time=1dd87a46e608046\n" +
        c.line;
    EXPECT_EQ(text, expected);

    const ParsedHive back = parse(text);
    EXPECT_TRUE(back.diagnostics.empty());
    const TreeKey* k = back.tree->findKey({u"K"});
    ASSERT_NE(k, nullptr);
    const TreeValue* v = k->findValue(c.valueName);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->type, c.type);
    EXPECT_EQ(v->data, c.data);
}

INSTANTIATE_TEST_SUITE_P(Format, Values, ::testing::ValuesIn(kValueCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A file as Wine writes it, with the parts the store does not interpret.
const std::string kSample =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to \\\\Machine\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Software\\\\Classes\\\\.txt] 1700000000\n"
    "#time=1da0c2b5d6a2a00\n"
    "@=\"txtfile\"\n"
    "\"Content Type\"=\"text/plain\"\n"
    "\n"
    "[Software\\\\Classes\\\\CLSID\\\\{00000000-0000-0000-0000-000000000001}] 1700000001\n"
    "#time=1da0c2b5d6a2b00\n"
    "#class=\"REG_SZ\"\n"
    "\n"
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1700000002\n"
    "#time=1da0c2b5d6a2c00\n"
    "\"CommonFilesDir\"=\"C:\\\\Program Files\\\\Common Files\"\n"
    "\"DevicePath\"=str(2):\"%SystemRoot%\\\\inf\"\n"
    "\"Long\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\n"
    "  16,17,18,19,1a\n"
    "\"Number\"=dword:00000001\n"
    "\"Owner\"=\"\\x5f20\\x4e09\"\n"
    "\"Qword\"=hex(b):00,00,00,00,00,00,00,00\n"
    "\"Strange\"=hex(80000001):01,02\n"
    "\n"
    "[System\\\\CurrentControlSet] 1700000003\n"
    "#time=1da0c2b5d6a2d00\n"
    "#link\n"
    "\"SymbolicLinkValue\"=hex(6):5c,00,52,00\n"
    "\n"
    "[System\\\\Empty] 1700000004\n"
    "#time=1da0c2b5d6a2e00\n"
    "#someday=option\n";

TEST(Sample, UntouchedFileIsWrittenBackByteForByte) {
    for (const std::string& text :
         {kSample, kSample.substr(0, kSample.size() - 1), kSample + "\n\n"}) {
        const ParsedHive parsed = parse(text);
        EXPECT_TRUE(parsed.diagnostics.empty());
        EXPECT_EQ(renderHive(*parsed.tree), text);
    }
}

TEST(Sample, IsReadWithEveryPart) {
    const ParsedHive parsed = parse(kSample);
    const HiveTree& tree = *parsed.tree;
    EXPECT_EQ(tree.rootName, u"Machine");
    const TreeKey* link = tree.findKey({u"System", u"currentcontrolset"});
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->isLink);
    const TreeKey* clsid = tree.findKey(
        splitKeyPath(u"Software\\Classes\\CLSID\\{00000000-0000-0000-0000-000000000001}"));
    ASSERT_NE(clsid, nullptr);
    EXPECT_EQ(clsid->keyClass, std::u16string(u"REG_SZ"));
    EXPECT_EQ(clsid->modified, 0x1da0c2b5d6a2b00u);
    const TreeKey* cv = tree.findKey(splitKeyPath(u"Software\\Microsoft\\Windows\\CurrentVersion"));
    ASSERT_NE(cv, nullptr);
    EXPECT_EQ(cv->findValue(u"Strange")->type, 0x80000001u);
    EXPECT_EQ(cv->findValue(u"Long")->data.size(), 27u);
    EXPECT_EQ(cv->findValue(u"owner")->data, text16(std::u16string(u"\u5f20\u4e09\0", 3)));
}

TEST(Sample, AChangeReRendersOnlyTheTouchedKey) {
    const ParsedHive parsed = parse(kSample);
    HiveTree& tree = *parsed.tree;
    TreeKey* cv = tree.findKey(splitKeyPath(u"Software\\Microsoft\\Windows\\CurrentVersion"));
    cv->setValue(u"Number", kRegDword, bytes({2, 0, 0, 0}));
    cv->touch(0x1da0c2b5d6a2c00 + 10'000'000);  // one second later
    std::string expected = kSample;
    const auto replace = [&](const std::string& from, const std::string& to) {
        const std::size_t at = expected.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        expected.replace(at, from.size(), to);
    };
    replace("CurrentVersion] 1700000002\n#time=1da0c2b5d6a2c00",
            "CurrentVersion] 1698778336\n#time=1da0c2b5e02c280");
    replace("\"Number\"=dword:00000001", "\"Number\"=dword:00000002");
    EXPECT_EQ(renderHive(tree), expected);
}

TEST(Sample, NewKeysGoInWineOrderAndDeletedKeysLeave) {
    const ParsedHive parsed = parse(kSample);
    HiveTree& tree = *parsed.tree;
    const FileTime t = 0x1dd87a46e608046;
    // Wine compares lowercase forms, so "_" (0x5f) sorts before letters.
    tree.createKey(splitKeyPath(u"Software\\_Under"), std::nullopt, t, false);
    tree.createKey(splitKeyPath(u"Software\\zeta\\Deep"), std::u16string(u"REG_SZ"), t, false);
    tree.createKey(splitKeyPath(u"Software\\Volatile"), std::nullopt, t, true);
    tree.deleteKey(*tree.findKey(splitKeyPath(u"System\\Empty")), t);
    const std::string text = renderHive(tree);
    const std::size_t under =
        text.find("\n\n[Software\\\\_Under] 1796796818\n#time=1dd87a46e608046\n");
    const std::size_t classes = text.find("[Software\\\\Classes");
    const std::size_t deep = text.find(
        "[Software\\\\zeta\\\\Deep] 1796796818\n#time=1dd87a46e608046\n#class=\"REG_SZ\"\n");
    EXPECT_NE(under, std::string::npos);
    EXPECT_LT(under, classes);
    EXPECT_NE(deep, std::string::npos);
    // New keys get the class at every level, as Wine gives it: "zeta" is written for its class,
    // while "Software\Classes" holds only sub-keys and stays implied.
    EXPECT_NE(
        text.find("[Software\\\\zeta] 1796796818\n#time=1dd87a46e608046\n#class=\"REG_SZ\"\n"),
        std::string::npos);
    EXPECT_EQ(text.find("[Software\\\\Classes]"), std::string::npos);
    EXPECT_EQ(text.find("Volatile"), std::string::npos);
    EXPECT_EQ(text.find("System\\\\Empty"), std::string::npos);
    EXPECT_EQ(text.find("#someday"), std::string::npos);
    // System lost its last sub-key but one: still implied by CurrentControlSet.
    EXPECT_EQ(text.find("[System]"), std::string::npos);
    EXPECT_TRUE(parse(text).diagnostics.empty());
}

struct BadCase {
    const char* name;
    std::string text;
    int line;
    std::string message;
};

TEST(Diagnostics, NameTheLineAndReadingGoesOn) {
    const std::string head = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n";
    const BadCase cases[] = {
        {"NotARegistryFile", "REGEDIT4\n[A]\n", 1, "not a Wine registry file"},
        {"UnrecognizedInput", head + "\n[A] 1\ngarbage\n\"ok\"=dword:1\n", 5, "Unrecognized input"},
        {"ValueWithoutKey", head + "\"v\"=dword:1\n\n[A] 1\n\"ok\"=dword:1\n", 3,
         "Value without key"},
        {"UnterminatedKey", head + "\n[A\n\n[A] 1\n\"ok\"=dword:1\n", 4, "Malformed key"},
        {"ValueNameWithoutEquals", head + "\n[A] 1\n\"v\" 5\n\"ok\"=dword:1\n", 5,
         "Malformed value name"},
        {"BadHex", head + "\n[A] 1\n\"v\"=hex:zz\n\"ok\"=dword:1\n", 5, "Malformed value"},
        {"HexByteTooBig", head + "\n[A] 1\n\"v\"=hex:100\n\"ok\"=dword:1\n", 5, "Malformed value"},
        {"UnknownTag", head + "\n[A] 1\n\"v\"=qword:1\n\"ok\"=dword:1\n", 5, "Malformed value"},
        {"UnterminatedText", head + "\n[A] 1\n\"v\"=\"open\n\"ok\"=dword:1\n", 5,
         "Malformed value"},
        {"UnknownArchitecture", head + "#arch=win16\n\n[A] 1\n\"ok\"=dword:1\n", 3,
         "Unknown architecture"},
        {"ContinuationAtTheEnd", head + "\n[A] 1\n\"ok\"=dword:1\n\"v\"=hex:01,\\\n", 6,
         "Malformed value"},
    };
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ParsedHive parsed = parse(c.text);
        ASSERT_EQ(parsed.diagnostics.size(), 1u);
        EXPECT_EQ(parsed.diagnostics[0].line, c.line);
        EXPECT_EQ(parsed.diagnostics[0].message.rfind(c.message, 0), 0u)
            << parsed.diagnostics[0].message;
        if (std::string(c.name) != "NotARegistryFile") {
            const TreeKey* a = parsed.tree->findKey({u"A"});
            ASSERT_NE(a, nullptr);
            EXPECT_NE(a->findValue(u"ok"), nullptr);  // later lines were still read
            if (const TreeValue* v = a->findValue(u"v")) {
                EXPECT_EQ(v->type, kRegNone);
                EXPECT_TRUE(v->data.empty());
            }
        }
    }
    EXPECT_EQ(formatDiagnostic("system.reg", {12, "Unrecognized input"}),
              "system.reg:12: Unrecognized input");
}

TEST(CodePage936, ChineseTextIsEscapedInTheFileAndReadsBackInGbk) {
    auto codec = makeAnsiCodec(936);
    ASSERT_TRUE(codec.isOk()) << codec.status().message();
    auto registry = makeMemoryRegistry(*codec.value());
    registry->setClock([] { return FileTime{0x1dd87a46e608046}; });
    RegKey k = 0;
    ASSERT_EQ(registry->RegCreateKeyExA(kHkeyCurrentUser, "Software\\\xD6\xD0\xCE\xC4", 0, "REG_SZ",
                                        0, kKeyAllAccess, &k, nullptr),
              kErrorSuccess);
    const std::string gbk = "\xC4\xE3\xBA\xC3";  // "你好"
    ASSERT_EQ(registry->RegSetValueExA(k, "\xC3\xFB", 0, kRegSz,
                                       reinterpret_cast<const std::uint8_t*>(gbk.c_str()), 4),
              kErrorSuccess);
    const std::string text = renderHive(registry->hive(HiveId::User));
    EXPECT_NE(text.find("[Software\\\\\\x4e2d\\x6587] 1796796818\n#time=1dd87a46e608046\n"
                        "#class=\"REG_SZ\"\n\"\\x540d\"=\"\\x4f60\\x597d\"\n"),
              std::string::npos)
        << text;

    auto reopened = makeMemoryRegistry(*codec.value());
    reopened->replaceHive(HiveId::User, parse(text).tree);
    RegKey again = 0;
    ASSERT_EQ(reopened->RegOpenKeyA(kHkeyCurrentUser, "Software\\\xD6\xD0\xCE\xC4", &again),
              kErrorSuccess);
    char buffer[16] = {};
    std::uint32_t count = sizeof buffer;
    ASSERT_EQ(reopened->RegQueryValueExA(again, "\xC3\xFB", nullptr,
                                         reinterpret_cast<std::uint8_t*>(buffer), &count),
              kErrorSuccess);
    EXPECT_EQ(std::string(buffer, count), gbk + '\0');
}

}  // namespace
}  // namespace hivora
