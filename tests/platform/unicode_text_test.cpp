// Names compared as Windows compares them: equal under Windows' lower-case mapping for every unit
// of the Basic Multilingual Plane, and ordered by the lower-case forms (the order Wine writes keys
// and values in). Wine's test stage holds the whole table against Wine itself.

#include "platform/unicode_text.h"

#include <gtest/gtest.h>

#include <string>

namespace hivora {
namespace {

struct NameCase {
    const char* what;
    std::u16string a;
    std::u16string b;
    int order;  // the sign of compareNames(a, b)
};

const NameCase kNameCases[] = {
    {"AsciiLetters", u"Software", u"SOFTWARE", 0},
    {"LatinOne", u"\u00c0\u00de", u"\u00e0\u00fe", 0},
    {"CaronLetters", u"\u01cd", u"\u01ce", 0},                // Ǎ ǎ
    {"RomanNumerals", u"\u2160", u"\u2170", 0},               // Ⅰ ⅰ
    {"CircledLetters", u"\u24b6", u"\u24d0", 0},              // Ⓐ ⓐ
    {"Armenian", u"\u0531", u"\u0561", 0},                    // Ա ա
    {"Georgian", u"\u10a0", u"\u2d00", 0},                    // Ⴀ ⴀ
    {"Cherokee", u"\u13a0", u"\uab70", 0},                    // Ꭰ ꭰ
    {"GreekWithTonos", u"\u1f08\u1fbc", u"\u1f00\u1fb3", 0},  // Ἀᾼ ἀᾳ
    {"FullWidth", u"\uff21", u"\uff41", 0},                   // Ａ ａ
    {"YWithDiaeresis", u"\u0178", u"\u00ff", 0},              // Ÿ ÿ
    {"DzDigraphTitleCaseStays", u"\u01c5", u"\u01c6", -1},    // ǅ is not folded
    {"DottedCapitalIStays", u"\u0130", u"i", 1},              // İ is not folded
    {"KelvinSignStays", u"\u212a", u"k", 1},                  // K is not folded
    {"SharpSStays", u"\u00df", u"ss", 1},
    {"SurrogatesStay", u"\U0001F600", u"\U0001F600", 0},
    {"UnderscoreBeforeLetters", u"_", u"A", -1},  // by the lower-case forms
    {"ShorterFirst", u"ab", u"ABC", -1},
    {"ByUnitsNotLength", u"b", u"AB", 1},
};

TEST(NameFolding, NamesCompareAsWindowsComparesThem) {
    for (const NameCase& c : kNameCases) {
        SCOPED_TRACE(c.what);
        const int order = compareNames(c.a, c.b);
        EXPECT_EQ((order > 0) - (order < 0), c.order);
        EXPECT_EQ(namesEqual(c.a, c.b), c.order == 0);
        const int reverse = compareNames(c.b, c.a);
        EXPECT_EQ((reverse > 0) - (reverse < 0), -c.order);
    }
}

TEST(NameFolding, AsciiFoldsOnlyLettersAsTheFastPathAssumes) {
    for (char16_t c = 0; c < 0x80; ++c) {
        const bool upper = c >= u'A' && c <= u'Z';
        EXPECT_EQ(foldNameChar(c), upper ? c + 32 : c) << static_cast<int>(c);
    }
}

}  // namespace
}  // namespace hivora
