// Whole numbers from text, and the conversions between the registry's textual forms and numbers.

#include "core/registry/value_conversions.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/registry/number_text.h"
#include "registry_layer_fixture.h"

namespace hivora {
namespace {

using test::caseName;

// parseWholeNumber --------------------------------------------------------------------------------

struct NumberCase {
    const char* name;
    const char* text;
    NumberWidth width;
    std::optional<std::int32_t> expected;
};

constexpr auto k16 = NumberWidth::Int16;
constexpr auto k32 = NumberWidth::Int32;
constexpr std::optional<std::int32_t> kNotANumber = std::nullopt;

const NumberCase kNumberCases[] = {
    {"BlanksAroundAreRemoved", " \t 42 \t", k16, 42},
    {"PlusSign", "+7", k16, 7},
    {"LeadingZeros", "007", k16, 7},
    {"HalfRoundsDownToEven", "48.5", k16, 48},
    {"HalfRoundsUpToEven", "49.5", k16, 50},
    {"NegativeHalfToEven", "-2.5", k16, -2},
    {"ZeroPointFiveIsZero", "0.5", k16, 0},
    {"JustAboveHalfRoundsUp", "48.5000001", k16, 49},
    {"FractionOnly", ".6", k16, 1},
    {"TrailingPoint", "48.", k16, 48},
    {"Exponent", "1e3", k16, 1000},
    {"NegativeExponentHalf", "25E-1", k16, 2},
    {"ExponentWithFraction", "2.55e1", k16, 26},
    {"TinyExponentIsZero", "9e-999999999", k32, 0},
    {"ZeroWithHugeExponent", "0e999999999", k32, 0},
    {"HugeExponentOverflows", "1e999999999", k32, kNotANumber},
    {"Int16Max", "32767", k16, 32767},
    {"Int16Min", "-32768", k16, -32768},
    {"Int16MaxPlusOne", "32768", k16, kNotANumber},
    {"Int16MinMinusOne", "-32769", k16, kNotANumber},
    {"RoundsIntoOverflow", "32767.5", k16, kNotANumber},
    {"Int32Max", "2147483647", k32, 2147483647},
    {"Int32Min", "-2147483648", k32, INT32_MIN},
    {"Int32MaxPlusOne", "2147483648", k32, kNotANumber},
    {"FarOutOfRange", "99999999999999999999999", k32, kNotANumber},
    {"HexLowerPrefixAndDigits", "&hff", k16, 255},
    {"HexAllOnesAs32IsPositive", "&HFFFF", k32, 65535},
    {"HexAllOnes32", "&HFFFFFFFF", k32, -1},
    {"HexLeadingZerosDoNotCount", "&H0000FFFF", k16, -1},
    {"HexTooManyDigits16", "&H10000", k16, kNotANumber},
    {"HexTooManyDigits32", "&H100000000", k32, kNotANumber},
    {"HexColour", " &HD5A45A ", k32, 14001242},
    {"HexWithoutDigits", "&H", k16, kNotANumber},
    {"HexBadDigit", "&HFG", k16, kNotANumber},
    {"HexWithSign", "-&H1", k16, kNotANumber},
    {"Octal", "&O17", k16, kNotANumber},
    {"Empty", "", k16, kNotANumber},
    {"SignOnly", "-", k16, kNotANumber},
    {"PointOnly", ".", k16, kNotANumber},
    {"InnerBlank", "1 2", k16, kNotANumber},
    {"TrailingLetters", "12px", k16, kNotANumber},
    {"ExponentWithoutDigits", "1e", k16, kNotANumber},
};

class ParseWholeNumber : public testing::TestWithParam<NumberCase> {};

TEST_P(ParseWholeNumber, GivesTheNumberOrNone) {
    const NumberCase& c = GetParam();
    EXPECT_EQ(parseWholeNumber(c.text, c.width), c.expected) << "text \"" << c.text << "\"";
}

INSTANTIATE_TEST_SUITE_P(Table, ParseWholeNumber, testing::ValuesIn(kNumberCases),
                         caseName<NumberCase>);

TEST(ParseWholeNumberText, DoesNotReadPastTheView) {
    // A view into a longer text: the digits after the view must not count.
    const std::string text = "123456";
    EXPECT_EQ(parseWholeNumber(std::string_view(text).substr(0, 3), NumberWidth::Int16), 123);
}

// ToHexText and ColorToRgbText --------------------------------------------------------------------

struct NumberTextCase {
    const char* name;
    std::string (*convert)(std::int32_t);
    std::int32_t value;
    const char* expected;
};

const NumberTextCase kNumberTextCases[] = {
    {"HexZero", ToHexText, 0, ""},
    {"HexNegative", ToHexText, -5, ""},
    {"HexSixteen", ToHexText, 16, "10"},
    {"HexTwoFiftyFive", ToHexText, 255, "FF"},
    {"HexColour", ToHexText, 0xA56E3A, "A56E3A"},
    {"HexInt32Max", ToHexText, INT32_MAX, "7FFFFFFF"},
    {"RgbBlack", ColorToRgbText, 0, "0 0 0"},
    {"RgbRed", ColorToRgbText, 0xFF, "255 0 0"},
    {"RgbBlue", ColorToRgbText, 0xFF0000, "0 0 255"},
    {"RgbExample", ColorToRgbText, 0xA56E3A, "58 110 165"},
    {"RgbNegative", ColorToRgbText, -1, "0 0 0"},
    {"RgbSevenDigitsReadByPosition", ColorToRgbText, 0x1000000, "0 0 16"},
};

class NumberToText : public testing::TestWithParam<NumberTextCase> {};
TEST_P(NumberToText, GivesTheText) {
    EXPECT_EQ(GetParam().convert(GetParam().value), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, NumberToText, testing::ValuesIn(kNumberTextCases),
                         caseName<NumberTextCase>);

// RgbTextToColor ----------------------------------------------------------------------------------

constexpr std::optional<std::int32_t> kConversionError = std::nullopt;

struct ColorCase {
    const char* name;
    const char* text;
    std::optional<std::int32_t> expected;
};

const ColorCase kColorCases[] = {
    {"Blue", "0 0 255", 0xFF0000},
    {"Black", "0 0 0", 0},
    {"OneTwoThree", "1 2 3", 0x030201},
    {"Example", "58 110 165", 0xA56E3A},
    {"EmptyIsWhite", "", 0xFFFFFF},
    {"RedTooLargeIsWhite", "256 0 0", 0xFFFFFF},
    {"BlueTooLargeIsWhite", "0 0 256", 0xFFFFFF},
    {"NegativeIsWhite", "0 -1 0", 0xFFFFFF},
    {"OutOfRangeStopsBeforeLaterParts", "256 x", 0xFFFFFF},
    {"FractionHalfToEven", "0.5 1.5 2.5", 0x020200},
    {"RoundsUpTo256IsWhite", "255.6 0 0", 0xFFFFFF},
    {"HexComponent", "&HFF 0 0", 0xFF},
    {"HexAllOnesIsMinusOneSoWhite", "&HFFFF 0 0", 0xFFFFFF},
    {"PartsAfterThirdIgnored", "1 2 3 junk", 0x030201},
    {"TrailingBlankLeavesEmptyFourthPart", "1 2 3 ", 0x030201},
    {"TwoComponents", "1 2", kConversionError},
    {"DoubleBlank", "1  2 3", kConversionError},
    {"Letters", "a b c", kConversionError},
    {"Beyond16Bits", "1 40000 0", kConversionError},
};

class RgbTextToColorTable : public testing::TestWithParam<ColorCase> {};
TEST_P(RgbTextToColorTable, GivesTheColourOrAConversionError) {
    const ColorCase& c = GetParam();
    const Result<std::int32_t> color = RgbTextToColor(c.text);
    if (c.expected) {
        ASSERT_TRUE(color.isOk()) << color.status().message();
        EXPECT_EQ(color.value(), *c.expected);
    } else {
        EXPECT_FALSE(color.isOk());
    }
}
INSTANTIATE_TEST_SUITE_P(Table, RgbTextToColorTable, testing::ValuesIn(kColorCases),
                         caseName<ColorCase>);

TEST(ColorTextRoundTrip, ColoursComeBackUnchanged) {
    // A prime stride down from white meets every value of each component; all 16.7 million
    // colours would take too long under the sanitizers.
    for (std::int32_t color = 0xFFFFFF; color >= 0; color -= 251) {
        const Result<std::int32_t> back = RgbTextToColor(ColorToRgbText(color));
        ASSERT_TRUE(back.isOk() && back.value() == color) << "colour " << color;
    }
}

// DriveLettersToMask ------------------------------------------------------------------------------

struct DriveCase {
    const char* name;
    const char* text;
    std::int32_t expected;
};

const DriveCase kDriveCases[] = {
    {"UpperCD", "CD", 12},
    {"PunctuationIgnored", "C:, F", 36},
    {"SameLetterBothCases", "Cc", 4},
    {"SameLetterTwice", "CC", 4},
    {"Z", "z", 1 << 25},
    {"AllDrives", "-1", -1},
    {"BlankBeforeMinusOne", " -1", 0},
    {"Empty", "", 0},
    {"NonAsciiIgnored", "盘C", 4},
    {"EveryLetter", "abcdefghijklmnopqrstuvwxyz", (1 << 26) - 1},
};

class DriveLettersToMaskTable : public testing::TestWithParam<DriveCase> {};
TEST_P(DriveLettersToMaskTable, SetsOneBitPerLetter) {
    EXPECT_EQ(DriveLettersToMask(GetParam().text), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, DriveLettersToMaskTable, testing::ValuesIn(kDriveCases),
                         caseName<DriveCase>);

}  // namespace
}  // namespace hivora
