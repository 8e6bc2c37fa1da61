// Wine's registry text format: escapes both ways, every value type as Wine writes it, untouched
// files written back byte for byte, changed keys re-rendered alone, and bad lines reported with
// their line numbers.

#include "platform/wine_hive_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "platform/registry_api.h"
#include "platform/unicode_text.h"
#include "platform/wine_hive_lines.h"
#include "tests/platform/odd_hive_lines.h"

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

TEST(Escapes, AreWrittenAsWineWritesThemAndReadBack) {
    for (const EscapeCase& c : kEscapeCases) {
        SCOPED_TRACE(c.name);
        std::string out;
        appendEscaped(out, c.text, c.quote);
        EXPECT_EQ(out, c.written);
        std::u16string back;
        EXPECT_EQ(parseEscaped(out + c.quote[1], c.quote[1], back), out.size() + 1);
        std::u16string expected = c.text;
        if (!expected.empty() && expected.back() == 0) expected.pop_back();
        EXPECT_EQ(back, expected);
    }
}

TEST(Escapes, ReaderAcceptsWhatWineAccepts) {
    const struct {
        const char* name;
        std::string input;
        std::u16string text;
    } cases[] = {
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
    {"Text", u"v", kRegSz, toUtf16Le(std::u16string(u"text\0", 5)), "\"v\"=\"text\"\n"},
    {"DefaultValue", u"", kRegSz, toUtf16Le(std::u16string(u"x\0", 2)), "@=\"x\"\n"},
    {"EmptyText", u"e", kRegSz, toUtf16Le(std::u16string(u"\0", 1)), "\"e\"=\"\"\n"},
    {"ExpandText", u"p", kRegExpandSz, toUtf16Le(std::u16string(u"%A%\0", 4)),
     "\"p\"=str(2):\"%A%\"\n"},
    {"MultiText", u"m", kRegMultiSz, toUtf16Le(std::u16string(u"a\0b\0\0", 5)),
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
    {"ChineseText", u"\u540d", kRegSz, toUtf16Le(std::u16string(u"\u4e2d\u6587\0", 3)),
     "\"\\x540d\"=\"\\x4e2d\\x6587\"\n"},
    {"LongBinaryWraps", u"Data", kRegBinary, std::vector<std::uint8_t>(30, 0xab),
     "\"Data\"=hex:ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,ab,\\\n"
     "  ab,ab,ab,ab,ab,ab,ab,ab\n"},
};

TEST(Values, AreWrittenAsWineWritesThemAndReadBack) {
    for (const ValueCase& c : kValueCases) {
        SCOPED_TRACE(c.name);
        HiveTree tree;
        tree.rootName = u"Machine";
        TreeKey& key = tree.root->addSubKey(u"K");
        key.modified = 0x1dd87a46e608046;
        key.changed = true;
        key.setValue(c.valueName, c.type, c.data);
        const std::string text = renderHive(tree);
        EXPECT_EQ(text,
                  "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n"
                  "[K] 1796796818\n#time=1dd87a46e608046\n" +
                      c.line);
        const ParsedHive back = parse(text);
        EXPECT_TRUE(back.diagnostics.empty());
        const TreeKey* k = back.tree->findKey({u"K"});
        const TreeValue* v = k ? k->findValue(c.valueName) : nullptr;
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->type, c.type);
        EXPECT_EQ(v->data, c.data);
    }
}

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

TEST(Sample, IsReadWithEveryPartAndAnUntouchedFileIsWrittenBackByteForByte) {
    for (const std::string& text :
         {kSample, kSample.substr(0, kSample.size() - 1), kSample + "\n\n"}) {
        const ParsedHive parsed = parse(text);
        EXPECT_TRUE(parsed.diagnostics.empty());
        EXPECT_EQ(renderHive(*parsed.tree), text);
    }
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
    EXPECT_NE(cv->findValue(u"owner"), nullptr);  // names match without regard to case
}

// Replaces the first `from` in `text` with `to`.
void replaceOnce(std::string& text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
}

TEST(Sample, ChangesReRenderOnlyTheKeysTheyTouch) {
    const ParsedHive parsed = parse(kSample);
    HiveTree& tree = *parsed.tree;
    TreeKey* cv = tree.findKey(splitKeyPath(u"Software\\Microsoft\\Windows\\CurrentVersion"));
    cv->setValue(u"Number", kRegDword, bytes({2, 0, 0, 0}));
    cv->touch(0x1da0c2b5d6a2c00 + 10'000'000);  // one second later
    const FileTime t = 0x1dd87a46e608046;
    tree.createKey(splitKeyPath(u"Software\\_Under"), std::nullopt, t, false);
    tree.createKey(splitKeyPath(u"Software\\zeta\\Deep"), std::u16string(u"REG_SZ"), t, false);
    tree.createKey(splitKeyPath(u"Software\\Volatile"), std::nullopt, t, true);
    tree.deleteKey(*tree.findKey(splitKeyPath(u"System\\Empty")), t);

    std::string expected = kSample;
    replaceOnce(expected, "CurrentVersion] 1700000002\n#time=1da0c2b5d6a2c00",
                "CurrentVersion] 1698778336\n#time=1da0c2b5e02c280");
    replaceOnce(expected, "\"Number\"=dword:00000001", "\"Number\"=dword:00000002");
    // Wine compares lowercase forms, so "_" (0x5f) sorts before letters. New keys get the class
    // at every level, as Wine gives it: "zeta" is written for its class, while "Software" holds
    // only sub-keys and stays implied; so does "System", which still has CurrentControlSet.
    // Volatile keys are never written.
    const std::string stamp = "] 1796796818\n#time=1dd87a46e608046\n";
    replaceOnce(expected, "[Software\\\\Classes\\\\.txt]",
                "[Software\\\\_Under" + stamp + "\n[Software\\\\Classes\\\\.txt]");
    replaceOnce(expected, "[System\\\\CurrentControlSet]",
                "[Software\\\\zeta" + stamp + "#class=\"REG_SZ\"\n\n[Software\\\\zeta\\\\Deep" +
                    stamp + "#class=\"REG_SZ\"\n\n[System\\\\CurrentControlSet]");
    replaceOnce(expected,
                "\n[System\\\\Empty] 1700000004\n#time=1da0c2b5d6a2e00\n#someday=option\n", "");
    EXPECT_EQ(renderHive(tree), expected);
}

TEST(Diagnostics, NameTheLineAndReadingGoesOn) {
    const std::string head = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n";
    const struct {
        const char* name;
        std::string text;
        int line;
        std::string message;
    } cases[] = {
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
        {"UnknownArchitectureEndsTheFile", head + "#arch=win16\n\n[A] 1\n\"ok\"=dword:1\n", 3,
         "Unknown architecture"},
        {"ContinuationAtTheEnd", head + "\n[A] 1\n\"ok\"=dword:1\n\"v\"=hex:01,\\\n", 6,
         "Malformed value"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ParsedHive parsed = parse(c.text);
        ASSERT_EQ(parsed.diagnostics.size(), 1u);
        EXPECT_EQ(parsed.diagnostics[0].line, c.line);
        EXPECT_EQ(parsed.diagnostics[0].message.rfind(c.message, 0), 0u)
            << parsed.diagnostics[0].message;
        const bool readsOn = std::string(c.name) != "NotARegistryFile" &&
                             std::string(c.name) != "UnknownArchitectureEndsTheFile";
        EXPECT_EQ(parsed.diagnostics[0].fatal, !readsOn);
        if (readsOn) {
            const TreeKey* a = parsed.tree->findKey({u"A"});
            ASSERT_NE(a, nullptr);
            EXPECT_NE(a->findValue(u"ok"), nullptr);  // later lines were still read
            if (const TreeValue* v = a->findValue(u"v")) {
                EXPECT_EQ(v->type, kRegNone);
                EXPECT_TRUE(v->data.empty());
            }
        }
    }
}

// Lines as Wine's loader takes them: its buffer starts at 4 bytes and grows by half, so the rest
// of a line after a NUL is lost when the buffer held it, and read as the next line when not.
TEST(WineLines, AreTakenApartAsWinesLoaderTakesThem) {
    const std::string wide(30, 'x');
    const struct {
        const char* what;
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"NewlinesAndCarriageReturns", "a\r\nb\n\nc", {"a", "b", "", "c"}},
        {"CarriageReturnStaysWithoutNewline", "a\r", {"a\r"}},
        {"NulBeyondTheBufferStartsALine", std::string("ab\0cd\nef\n", 9), {"ab", "cd", "ef"}},
        {"NulWithinTheBufferLosesTheRest",
         wide + "\n" + std::string("ab\0cd\nef\n", 9),
         {wide, "ab", "ef"}},
        {"NulFirstGivesAnEmptyLine", std::string("\0a\nb\n", 5), {"", "b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WineLineReader reader(c.text);
        std::vector<std::string> lines;
        WineLineReader::Line line;
        std::size_t end = 0;
        while (reader.next(line)) {
            EXPECT_EQ(line.start, end);  // every byte belongs to one line
            EXPECT_EQ(line.number, static_cast<int>(lines.size()) + 1);
            lines.emplace_back(line.content);
            end = line.end;
        }
        EXPECT_EQ(end, c.text.size());
        EXPECT_EQ(lines, c.lines);
    }
}

// Every odd line reads as Wine reads it, and is reported exactly where Wine reports it.
TEST(OddLines, ReadAsWineReadsThem) {
    const std::string header = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n";
    const ParsedHive parsed = parse(test::oddHive(header));
    int line = 3;  // the first block's blank line
    for (const test::OddLine& odd : test::oddLines()) {
        SCOPED_TRACE(odd.what);
        const int first = line + 1;
        line += 2 + static_cast<int>(std::count(odd.body.begin(), odd.body.end(), '\n'));
        bool reported = false;
        for (const HiveDiagnostic& d : parsed.diagnostics)
            reported = reported || (d.line >= first && d.line < line);
        EXPECT_EQ(reported, odd.reported);
        const std::string path = test::oddPath(odd);
        const TreeKey* key =
            parsed.tree->findKey(splitKeyPath(std::u16string(path.begin(), path.end())));
        const TreeValue* v = key ? key->findValue(u"v") : nullptr;
        ASSERT_EQ(v != nullptr, odd.type.has_value());
        if (!v) continue;
        EXPECT_EQ(v->type, *odd.type);
        EXPECT_EQ(v->data, odd.data);
    }
}

}  // namespace
}  // namespace hivora
