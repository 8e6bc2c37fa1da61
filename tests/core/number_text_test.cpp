#include "core/registry/number_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace hivora {
namespace {

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
    {"PlainDecimal", "255", k16, 255},
    {"BlanksAroundAreRemoved", " \t 42 \t", k16, 42},
    {"PlusSign", "+7", k16, 7},
    {"MinusSign", "-7", k16, -7},
    {"LeadingZeros", "007", k16, 7},
    {"HalfRoundsDownToEven", "48.5", k16, 48},
    {"HalfRoundsUpToEven", "49.5", k16, 50},
    {"NegativeHalfToEven", "-2.5", k16, -2},
    {"NegativeHalfOddToEven", "-3.5", k16, -4},
    {"ZeroPointFiveIsZero", "0.5", k16, 0},
    {"MinusZeroPointFiveIsZero", "-0.5", k16, 0},
    {"JustAboveHalfRoundsUp", "48.5000001", k16, 49},
    {"JustBelowHalfRoundsDown", "48.4999999", k16, 48},
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
    {"RoundsToInt16Max", "32766.5", k16, 32766},
    {"Int32Max", "2147483647", k32, 2147483647},
    {"Int32Min", "-2147483648", k32, INT32_MIN},
    {"Int32MaxPlusOne", "2147483648", k32, kNotANumber},
    {"FarOutOfRange", "99999999999999999999999", k32, kNotANumber},
    {"HexUpper", "&HFF", k16, 255},
    {"HexLowerPrefixAndDigits", "&hff", k16, 255},
    {"HexAllOnes16", "&HFFFF", k16, -1},
    {"HexAllOnesAs32IsPositive", "&HFFFF", k32, 65535},
    {"HexAllOnes32", "&HFFFFFFFF", k32, -1},
    {"HexSignBit16", "&H8000", k16, -32768},
    {"HexLeadingZerosDoNotCount", "&H0000FFFF", k16, -1},
    {"HexTooManyDigits16", "&H10000", k16, kNotANumber},
    {"HexTooManyDigits32", "&H100000000", k32, kNotANumber},
    {"HexColour", " &HD5A45A ", k32, 14001242},
    {"HexWithoutDigits", "&H", k16, kNotANumber},
    {"HexBadDigit", "&HFG", k16, kNotANumber},
    {"HexWithSign", "-&H1", k16, kNotANumber},
    {"Octal", "&O17", k16, kNotANumber},
    {"Empty", "", k16, kNotANumber},
    {"BlanksOnly", "   ", k16, kNotANumber},
    {"SignOnly", "-", k16, kNotANumber},
    {"PointOnly", ".", k16, kNotANumber},
    {"InnerBlank", "1 2", k16, kNotANumber},
    {"BlankAfterSign", "- 1", k16, kNotANumber},
    {"TrailingLetters", "12px", k16, kNotANumber},
    {"Letters", "abc", k32, kNotANumber},
    {"ThousandsSeparator", "1,000", k32, kNotANumber},
    {"ExponentWithoutDigits", "1e", k16, kNotANumber},
    {"TwoPoints", "1.2.3", k16, kNotANumber},
};

class ParseWholeNumber : public testing::TestWithParam<NumberCase> {};

TEST_P(ParseWholeNumber, GivesTheNumberOrNone) {
    const NumberCase& c = GetParam();
    EXPECT_EQ(parseWholeNumber(c.text, c.width), c.expected) << "text \"" << c.text << "\"";
}

INSTANTIATE_TEST_SUITE_P(Table, ParseWholeNumber, testing::ValuesIn(kNumberCases),
                         [](const testing::TestParamInfo<NumberCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ParseWholeNumberText, DoesNotReadPastTheView) {
    // A view into a longer text: the digits after the view must not count.
    const std::string text = "123456";
    EXPECT_EQ(parseWholeNumber(std::string_view(text).substr(0, 3), NumberWidth::Int16), 123);
}

}  // namespace
}  // namespace hivora
