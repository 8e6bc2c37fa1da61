#pragma once
// Lines Wine never writes but reads in hand-edited or damaged hive files, each with Wine's reading
// of it (Wine 8): the value "v" it holds afterwards and whether it reports a line. The store's
// reader is held to this table in wine_hive_format_test; the Wine stage loads the same file in
// Wine and compares (wine_interop_test).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hivora::test {

struct OddLine {
    const char* what;  // also the key's name below "Odd", unless `keyLine` names another
    std::string body;  // the lines after the key line
    bool reported;     // Wine reports a line of the block
    std::optional<std::uint32_t> type;  // of the value "v"; none: Wine holds no such value
    std::vector<std::uint8_t> data;
    std::string keyLine = {};  // the key line when not "[Odd\\<what>] 1700000000"
    std::string path = {};     // the key's path when not "Odd\<what>"
};

inline const std::vector<OddLine>& oddLines() {
    using B = std::vector<std::uint8_t>;
    static const std::vector<OddLine> lines = {
        {"DwordWithPrefix", "\"v\"=dword:0x10\n", false, 4, B{0x10, 0, 0, 0}},
        {"DwordUpperPrefix", "\"v\"=dword:0X1g\n", false, 4, B{1, 0, 0, 0}},
        {"DwordNegative", "\"v\"=dword:-1\n", false, 4, B{0xff, 0xff, 0xff, 0xff}},
        {"DwordAfterBlank", "\"v\"=dword: 10\n", false, 4, B{0x10, 0, 0, 0}},
        {"DwordEmpty", "\"v\"=dword:\n", false, 4, B{0, 0, 0, 0}},
        {"DwordTooWide", "\"v\"=dword:123456789\n", false, 4, B{0x89, 0x67, 0x45, 0x23}},
        {"DwordOverflow", "\"v\"=dword:fffffffffffffffffff\n", false, 4, B{0xff, 0xff, 0xff, 0xff}},
        {"DwordNulInside", std::string("\"v\"=dword:2\0junk\n", 17), false, 4, B{2, 0, 0, 0}},
        {"HexTypeEmpty", "\"v\"=hex():00\n", false, 0, B{0}},
        {"HexTypeAfterBlank", "\"v\"=hex( 2):61,00\n", false, 2, B{0x61, 0}},
        {"HexTypeWithPrefix", "\"v\"=hex(0x2):61,00\n", false, 2, B{0x61, 0}},
        {"HexTypeTooWide", "\"v\"=hex(100000001):00\n", false, 1, B{0}},
        {"HexTypeNegative", "\"v\"=hex(-1):00\n", false, 0xffffffff, B{0}},
        {"HexTypePlus", "\"v\"=hex(+3):01\n", false, 3, B{1}},
        {"HexTypeNotHex", "\"v\"=hex(zz):00\n", true, 0, B{}},
        {"HexByteWithPrefix", "\"v\"=hex:0x1f\n", false, 3, B{0x1f}},
        {"HexByteTooWide", "\"v\"=hex:100000000\n", false, 3, B{0}},
        {"HexByteOver255", "\"v\"=hex:100\n", true, 0, B{}},
        {"HexPrefixAlone", "\"v\"=hex:0x\n", true, 0, B{}},
        {"HexBytesWithoutComma", "\"v\"=hex:1 2\n", false, 3, B{1, 2}},
        {"HexContinued", "\"v\"=hex:01,\\\n  02\n", false, 3, B{1, 2}},
        {"HexContinuedOverABlankLine", "\"v\"=hex:01,\\\n", false, 3, B{1}},
        {"TextLoneHighSurrogate", "\"v\"=\"x\xed\xa0\x80y\"\n", false, 1,
         B{'x', 0, 0x00, 0xd8, 'y', 0, 0, 0}},
        {"TextLoneLowSurrogate", "\"v\"=\"\xed\xb0\x80\"\n", false, 1, B{0x00, 0xdc, 0, 0}},
        {"TextCutUtf8", "\"v\"=\"\xe4\xb8\"z\"\n", false, 1, B{0, 0}},
        {"TextNulInside", std::string("\"v\"=\"x\0y\"\n", 10), true, 0, B{}},
        {"TextOverTwoLines", "\"v\"=\"ab\ncd\"\n", true, 0, B{}},
        {"NameWithoutEquals", "\"v\" 5\n", true, std::nullopt, B{}},
        {"NameNulInside", std::string("\"v\0c\"=dword:1\n", 14), true, std::nullopt, B{}},
        // One unit over the longest value name: the value is left out, the line not reported.
        {"ValueNameOf16384", "\"" + std::string(16384, 'n') + "\"=dword:1\n\"v\"=dword:2\n", false,
         4, B{2, 0, 0, 0}},
        {"BlanksAroundEquals", "\"v\"  =  dword:7\n", false, 4, B{7, 0, 0, 0}},
        {"KeyLeadingBackslash", "\"v\"=dword:1\n", false, 4, B{1, 0, 0, 0},
         "[\\\\Odd\\\\KeyLeadingBackslash] 1700000000"},
        {"KeyNameOf256", "\"v\"=dword:1\n", false, 4, B{1, 0, 0, 0},
         "[Odd\\\\" + std::string(256, 'b') + "] 1700000000", "Odd\\" + std::string(256, 'b')},
        {"KeyNameOf257", "\"v\"=dword:1\n", true, std::nullopt, B{},
         "[Odd\\\\" + std::string(257, 'c') + "] 1700000000", "Odd\\" + std::string(257, 'c')},
        {"KeyNulInside", "\"v\"=dword:1\n", true, std::nullopt, B{},
         std::string("[Odd\\\\KeyNulInside\0X] 1700000000", 32)},
        {"KeyEscapedNul", "\"v\"=dword:1\n", false, 4, B{1, 0, 0, 0},
         "[Odd\\\\Key\\0Nul] 1700000000", std::string("Odd\\Key\0Nul", 11)},
    };
    return lines;
}

// The hive file of the whole table, below the given header lines.
inline std::string oddHive(const std::string& header) {
    std::string text = header;
    for (const OddLine& odd : oddLines()) {
        text += "\n" +
                (odd.keyLine.empty() ? "[Odd\\\\" + std::string(odd.what) + "] 1700000000"
                                     : odd.keyLine) +
                "\n" + odd.body;
    }
    return text;
}

// The key path of an entry, below the hive's root.
inline std::string oddPath(const OddLine& odd) {
    return odd.path.empty() ? "Odd\\" + std::string(odd.what) : odd.path;
}

}  // namespace hivora::test
