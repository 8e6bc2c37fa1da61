#include "core/registry/value_conversions.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace hivora {
namespace {

template <typename Case>
std::string caseName(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

// ToHexText -------------------------------------------------------------------------------------

struct HexCase {
    const char* name;
    std::int32_t value;
    const char* expected;
};

const HexCase kHexCases[] = {
    {"Zero", 0, ""},           {"Negative", -5, ""},           {"Int32Min", INT32_MIN, ""},
    {"One", 1, "1"},           {"Sixteen", 16, "10"},          {"TwoFiftyFive", 255, "FF"},
    {"FourKay", 4096, "1000"}, {"Colour", 0xA56E3A, "A56E3A"}, {"Int32Max", INT32_MAX, "7FFFFFFF"},
};

class ToHexTextTable : public testing::TestWithParam<HexCase> {};
TEST_P(ToHexTextTable, WritesUpperCaseDigits) {
    EXPECT_EQ(ToHexText(GetParam().value), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, ToHexTextTable, testing::ValuesIn(kHexCases), caseName<HexCase>);

// ColorToRgbText --------------------------------------------------------------------------------

struct RgbTextCase {
    const char* name;
    std::int32_t color;
    const char* expected;
};

const RgbTextCase kRgbTextCases[] = {
    {"Black", 0, "0 0 0"},
    {"Red", 0xFF, "255 0 0"},
    {"Green", 0xFF00, "0 255 0"},
    {"Blue", 0xFF0000, "0 0 255"},
    {"Example", 0xA56E3A, "58 110 165"},
    {"Negative", -1, "0 0 0"},
    {"White", 0xFFFFFF, "255 255 255"},
    {"SevenDigitsReadByPosition", 0x1000000, "0 0 16"},
};

class ColorToRgbTextTable : public testing::TestWithParam<RgbTextCase> {};
TEST_P(ColorToRgbTextTable, GivesRedGreenBlue) {
    EXPECT_EQ(ColorToRgbText(GetParam().color), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, ColorToRgbTextTable, testing::ValuesIn(kRgbTextCases),
                         caseName<RgbTextCase>);

// RgbTextToColor --------------------------------------------------------------------------------

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
    {"OneComponent", "7", kConversionError},
    {"DoubleBlank", "1  2 3", kConversionError},
    {"LeadingBlank", " 1 2 3", kConversionError},
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
    // Every value of each component (the others moving with it), and a prime stride over the
    // whole range; all 16.7 million colours would take too long under the sanitizers.
    std::vector<std::int32_t> colors = {0, 0xFFFFFF};
    for (std::int32_t c = 0; c < 256; ++c) {
        colors.push_back(c + 256 * ((c * 7 + 3) % 256) + 65536 * ((c * 13 + 5) % 256));
        colors.push_back(c * 65536 + 256 * (255 - c));
    }
    for (std::int32_t color = 0; color <= 0xFFFFFF; color += 251) colors.push_back(color);

    for (std::int32_t color : colors) {
        const Result<std::int32_t> back = RgbTextToColor(ColorToRgbText(color));
        ASSERT_TRUE(back.isOk() && back.value() == color) << "colour " << color;
    }
}

// DriveLettersToMask ----------------------------------------------------------------------------

struct DriveCase {
    const char* name;
    const char* text;
    std::int32_t expected;
};

const DriveCase kDriveCases[] = {
    {"UpperCD", "CD", 12},
    {"LowerCD", "cd", 12},
    {"PunctuationIgnored", "C:, F", 36},
    {"SameLetterBothCases", "Cc", 4},
    {"SameLetterTwice", "CC", 4},
    {"A", "A", 1},
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
