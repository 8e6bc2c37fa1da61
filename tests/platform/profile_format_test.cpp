#include "platform/profile_format.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace hivora {
namespace {

constexpr std::uint32_t kGbk = 936;
constexpr std::uint32_t kLatin = 1252;

template <typename Case>
std::string caseName(const testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

// Reading -----------------------------------------------------------------------------------------

struct FindCase {
    const char* name;
    const char* file;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

const FindCase kFindCases[] = {
    {"Plain", "[Color]\r\nBack_Color=14001242\r\n", "Color", "Back_Color", "14001242"},
    {"SectionAndKeyIgnoreCase", "[color]\nBACK_COLOR=1\n", "COLOR", "back_color", "1"},
    {"BlanksAroundNamesAndValue", "  [ Color ]  \n  Back_Color  =  7  \n", "Color", "Back_Color",
     "7"},
    {"BlanksAroundQuery", "[Color]\nBack_Color=7\n", " Color ", " Back_Color ", "7"},
    {"EmptyValue", "[Color]\nBack_Color=\n", "Color", "Back_Color", ""},
    {"EnclosingDoubleQuotesRemoved", "[S]\nk=\" a b \"\n", "S", "k", " a b "},
    {"EnclosingSingleQuotesRemoved", "[S]\nk='x'\n", "S", "k", "x"},
    {"UnmatchedQuoteKept", "[S]\nk=\"x\n", "S", "k", "\"x"},
    {"ValueKeepsLaterEquals", "[S]\nk=a=b\n", "S", "k", "a=b"},
    {"LastLineWithoutEnding", "[S]\nk=v", "S", "k", "v"},
    {"FirstKeyWins", "[S]\nk=1\nk=2\n", "S", "k", "1"},
    {"FirstSectionWins", "[S]\nk=1\n[S]\nk=2\n", "S", "k", "1"},
    {"KeyOfOtherSectionNotFound", "[A]\nk=1\n[B]\n", "B", "k", std::nullopt},
    {"KeyBeforeAnySectionNotFound", "k=1\n[S]\n", "S", "k", std::nullopt},
    {"CommentIsNoKey", "[S]\n;k=1\n", "S", "k", std::nullopt},
    {"LineWithoutEqualsIsNoKey", "[S]\nk\n", "S", "k", std::nullopt},
    {"MissingSection", "[Other]\nk=1\n", "S", "k", std::nullopt},
    {"SectionNamePrefixNoMatch", "[Colors]\nk=1\n", "Color", "k", std::nullopt},
};

class FindProfileValue : public testing::TestWithParam<FindCase> {};
TEST_P(FindProfileValue, FindsTheValueAsWindowsReadsIt) {
    const FindCase& c = GetParam();
    EXPECT_EQ(findProfileValue(c.file, c.section, c.key, kGbk), c.expected);
}
INSTANTIATE_TEST_SUITE_P(Table, FindProfileValue, testing::ValuesIn(kFindCases),
                         caseName<FindCase>);

TEST(FindProfileValueDoubleByte, TrailByteIsNotCaseFolded) {
    // "\x81\x41" and "\x81\x61" are two different characters in code page 936 whose second bytes
    // are "A" and "a"; only a single-byte code page folds them together.
    const std::string file = "[S]\n\x81\x41=wide\n";
    EXPECT_EQ(findProfileValue(file, "S", "\x81\x61", kGbk), std::nullopt);
    EXPECT_EQ(findProfileValue(file, "S", "\x81\x41", kGbk), "wide");
    EXPECT_EQ(findProfileValue(file, "S", "\x81\x61", kLatin), "wide");
}

// Cutting to the caller's buffer ------------------------------------------------------------------

struct CutCase {
    const char* name;
    std::string value;
    std::uint32_t bufferSize;
    std::uint32_t codePage;
    std::string expected;
};

const CutCase kCutCases[] = {
    {"Fits", std::string(127, 'x'), 128, kGbk, std::string(127, 'x')},
    {"CutTo127Bytes", std::string(200, 'x'), 128, kGbk, std::string(127, 'x')},
    {"BufferOfOne", "abc", 1, kGbk, ""},
    {"BufferOfZero", "abc", 0, kGbk, ""},
    {"DoubleByteNotSplit", std::string(126, 'x') + "\xD6\xD0", 128, kGbk, std::string(126, 'x')},
    {"DoubleByteFitsWhole", std::string(125, 'x') + "\xD6\xD0z", 128, kGbk,
     std::string(125, 'x') + "\xD6\xD0"},
    {"SingleByteCodePageCutsAnywhere", std::string(126, 'x') + "\xE9\xE9", 128, kLatin,
     std::string(126, 'x') + "\xE9"},
};

class CutToProfileBuffer : public testing::TestWithParam<CutCase> {};
TEST_P(CutToProfileBuffer, HoldsAtMostBufferSizeMinusOneBytes) {
    const CutCase& c = GetParam();
    EXPECT_EQ(cutToProfileBuffer(c.value, c.bufferSize, c.codePage), c.expected);
}
INSTANTIATE_TEST_SUITE_P(Table, CutToProfileBuffer, testing::ValuesIn(kCutCases),
                         caseName<CutCase>);

// Writing -----------------------------------------------------------------------------------------

struct WriteCase {
    const char* name;
    const char* before;
    const char* section;
    const char* key;
    const char* value;
    const char* after;  // nullptr: the write is refused
};

const WriteCase kWriteCases[] = {
    {"CreatesFileText", "", "Color", "Back_Color", "1", "[Color]\r\nBack_Color=1\r\n"},
    {"ReplacesValueKeepsOtherLinesByteForByte",
     "; mine\r\n[Color]\r\n  Font_Color = 5 \r\nback_color=2\r\nOther=x\r\n\r\n[Z]\r\nq=1", "Color",
     "Back_Color", "3",
     "; mine\r\n[Color]\r\n  Font_Color = 5 \r\nback_color=3\r\nOther=x\r\n\r\n[Z]\r\nq=1"},
    {"SectionMatchIgnoresCase", "[COLOR]\nx=1\n", "color", "Back_Color", "9",
     "[COLOR]\nx=1\nBack_Color=9\n"},
    {"KeyAddedAfterLastNonBlankLineOfSection", "[A]\na=1\n\n[B]\nb=2\n", "A", "k", "v",
     "[A]\na=1\nk=v\n\n[B]\nb=2\n"},
    {"KeyAddedToEmptySection", "[A]\n[B]\n", "A", "k", "v", "[A]\nk=v\n[B]\n"},
    {"KeyAddedToLastLineWithoutEnding", "[A]\na=1", "A", "k", "v", "[A]\na=1\nk=v\n"},
    {"SectionAppendedAfterLastLineWithoutEnding", "[A]\r\na=1", "B", "k", "v",
     "[A]\r\na=1\r\n[B]\r\nk=v\r\n"},
    {"EmptyValue", "[S]\nk=1\n", "S", "k", "", "[S]\nk=\n"},
    {"Utf8MarkBeforeTheFirstSectionStays", "\xEF\xBB\xBF[Color]\r\nBack_Color=1\r\n", "Color",
     "Back_Color", "2", "\xEF\xBB\xBF[Color]\r\nBack_Color=2\r\n"},
    {"KeyOfSameNameInOtherSectionUntouched", "[A]\nk=1\n", "B", "k", "2", "[A]\nk=1\n[B]\nk=2\n"},
    {"ValueWithLineBreakRefused", "[S]\n", "S", "k", "a\r\n[Evil]", nullptr},
    {"KeyWithEqualsRefused", "[S]\n", "S", "a=b", "v", nullptr},
    {"EmptyKeyRefused", "[S]\n", "S", "", "v", nullptr},
    {"KeyReadAsACommentRefused", "[S]\n", "S", ";k", "v", nullptr},
    {"SectionWithBracketRefused", "", "a]b", "k", "v", nullptr},
    {"EmptySectionRefused", "", "", "k", "v", nullptr},
};

class WriteProfileValue : public testing::TestWithParam<WriteCase> {};
TEST_P(WriteProfileValue, ChangesOnlyTheKeyLine) {
    const WriteCase& c = GetParam();
    const Result<std::string> after = writeProfileValue(c.before, c.section, c.key, c.value, kGbk);
    if (c.after == nullptr) {
        EXPECT_FALSE(after.isOk());
        return;
    }
    ASSERT_TRUE(after.isOk()) << after.status().message();
    EXPECT_EQ(after.value(), c.after);
    // What was written reads back.
    EXPECT_EQ(findProfileValue(after.value(), c.section, c.key, kGbk), std::string(c.value));
}
INSTANTIATE_TEST_SUITE_P(Table, WriteProfileValue, testing::ValuesIn(kWriteCases),
                         caseName<WriteCase>);

}  // namespace
}  // namespace hivora
