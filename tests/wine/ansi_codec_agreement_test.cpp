// The ANSI conversions as the platform's code-page tables make them. Built for Windows, this holds
// our Windows codec against Wine's tables; built natively, the same table holds the iconv codec
// to what Windows does, so both sides of the program convert alike.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/ansi_codec.h"

namespace hivora {
namespace {

// A text in both encodings converts both ways. A text with one side only is one that side's
// converter refuses: characters a code page lacks and bytes it does not define are failures,
// never "?" or a look-alike letter.
struct CodecCase {
    const char* name;
    std::uint32_t codePage;
    std::optional<std::string> utf8;
    std::optional<std::string> ansi;
};

const CodecCase kCases[] = {
    {"Ascii936", 936, "Back_Color", "Back_Color"},
    {"Chinese936", 936, "\xE4\xB8\xAD\xE6\x96\x87", "\xD6\xD0\xCE\xC4"},
    {"FullWidthComma936", 936, "\xEF\xBC\x8C", "\xA3\xAC"},
    {"EuroSign936", 936, "\xE2\x82\xAC", "\x80"},
    {"EmbeddedNul936", 936, std::string("a\0b", 3), std::string("a\0b", 3)},
    {"Empty936", 936, "", ""},
    {"Latin1252", 1252, "\xC3\xA9t\xC3\xA9", "\xE9t\xE9"},
    {"Utf8PassesThrough", 65001, "\xE4\xB8\xAD", "\xE4\xB8\xAD"},
    {"HangulNotIn936", 936, "\xED\x95\x9C", std::nullopt},
    {"EmojiNotIn936", 936, "\xF0\x9F\x98\x80", std::nullopt},
    {"CapitalAGraveNotIn936", 936, "\xC3\x80", std::nullopt},
    {"ChineseNotIn1252", 1252, "\xE4\xB8\xAD", std::nullopt},
    {"InvalidUtf8", 936, "\xC3", std::nullopt},
    {"LoneLeadByte936", 936, std::nullopt, "\x81"},
    // 0xFF is U+F8F5, as Wine's registry reads and writes it.
    {"ByteFF936", 936, "\xEF\xA3\xB5", "\xFF"},
    {"ByteFFInText936", 936, "a\xEF\xA3\xB5\xE4\xB8\xAD", "a\xFF\xD6\xD0"},
    {"UndefinedPairStillRefused936", 936, std::nullopt, "\xFF\x81"},
    {"LoneLeadByteBeforeText936", 936, std::nullopt, "a\xD6"},
    {"LeadByteWithBadTrail936", 936, std::nullopt, "\x81\x7F"},
    // The user-defined areas map to the private-use characters U+E000-U+E765.
    {"UserDefinedFirst936", 936, "\xEE\x80\x80", "\xAA\xA1"},
    {"UserDefinedLast936", 936, "\xEE\x9D\xA5", "\xA7\xA0"},
    {"UserDefinedLowRows936", 936, "\xEE\x93\x86", "\xA1\x40"},
    {"UserDefinedHighRows936", 936, "\xEE\x88\xB4", "\xF8\xA1"},
    {"UserDefinedInText936", 936, "a\xEE\x80\x80\xE4\xB8\xAD", "a\xAA\xA1\xD6\xD0"},
    {"PrivateUseOutsideTheAreas936", 936, "\xEF\x80\x80", std::nullopt},
};

class Codec : public testing::TestWithParam<CodecCase> {};

TEST_P(Codec, ConvertsAsThePlatformTablesSay) {
    const CodecCase& c = GetParam();
    auto codec = makeAnsiCodec(c.codePage);
    ASSERT_TRUE(codec.isOk());
    if (c.utf8) {
        Result<std::string> ansi = codec.value()->toAnsi(*c.utf8);
        EXPECT_EQ(c.ansi, ansi.isOk() ? std::optional(ansi.value()) : std::nullopt)
            << ansi.status().message();
    }
    if (c.ansi) {
        Result<std::string> utf8 = codec.value()->fromAnsi(*c.ansi);
        EXPECT_EQ(c.utf8, utf8.isOk() ? std::optional(utf8.value()) : std::nullopt)
            << utf8.status().message();
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Codec, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CodecFactory, UnknownCodePageIsRefused) {
    EXPECT_FALSE(makeAnsiCodec(12345).isOk());
}

}  // namespace
}  // namespace hivora
