// The ANSI conversions as the platform's code-page tables make them. Built for Windows, this holds
// our Windows codec against Wine's tables; built natively, the same table holds the iconv codec
// to what Windows does, so both sides of the program convert alike.

#include <gtest/gtest.h>

#include <string>

#include "platform/ansi_codec.h"

namespace hivora {
namespace {

struct CodecCase {
    const char* name;
    std::uint32_t codePage;
    std::string utf8;
    std::string ansi;
};

const CodecCase kBothWays[] = {
    {"Ascii936", 936, "Back_Color", "Back_Color"},
    {"Chinese936", 936, "\xE4\xB8\xAD\xE6\x96\x87", "\xD6\xD0\xCE\xC4"},
    {"FullWidthComma936", 936, "\xEF\xBC\x8C", "\xA3\xAC"},
    {"EuroSign936", 936, "\xE2\x82\xAC", "\x80"},
    {"EmbeddedNul936", 936, std::string("a\0b", 3), std::string("a\0b", 3)},
    {"Empty936", 936, "", ""},
    {"Latin1252", 1252, "\xC3\xA9t\xC3\xA9", "\xE9t\xE9"},
    {"Utf8PassesThrough", 65001, "\xE4\xB8\xAD", "\xE4\xB8\xAD"},
};

class CodecBothWays : public testing::TestWithParam<CodecCase> {};

TEST_P(CodecBothWays, ConvertsAsThePlatformTablesSay) {
    const CodecCase& c = GetParam();
    auto codec = makeAnsiCodec(c.codePage);
    ASSERT_TRUE(codec.isOk());
    Result<std::string> ansi = codec.value()->toAnsi(c.utf8);
    ASSERT_TRUE(ansi.isOk()) << ansi.status().message();
    EXPECT_EQ(c.ansi, ansi.value());
    Result<std::string> utf8 = codec.value()->fromAnsi(c.ansi);
    ASSERT_TRUE(utf8.isOk()) << utf8.status().message();
    EXPECT_EQ(c.utf8, utf8.value());
}

INSTANTIATE_TEST_SUITE_P(Table, CodecBothWays, testing::ValuesIn(kBothWays),
                         [](const auto& info) { return std::string(info.param.name); });

struct RefusalCase {
    const char* name;
    std::uint32_t codePage;
    bool toAnsi;  // else fromAnsi
    std::string input;
};

// Characters a code page lacks and bytes it does not define are failures, never "?" or a
// look-alike letter.
const RefusalCase kRefusals[] = {
    {"HangulNotIn936", 936, true, "\xED\x95\x9C"},
    {"EmojiNotIn936", 936, true, "\xF0\x9F\x98\x80"},
    {"CapitalAGraveNotIn936", 936, true, "\xC3\x80"},
    {"ChineseNotIn1252", 1252, true, "\xE4\xB8\xAD"},
    {"InvalidUtf8", 936, true, "\xC3"},
    {"LoneLeadByte936", 936, false, "\x81"},
    {"ByteFFNotIn936", 936, false, "\xFF"},
    {"LoneLeadByteBeforeText936", 936, false, "a\xD6"},
};

class CodecRefusals : public testing::TestWithParam<RefusalCase> {};

TEST_P(CodecRefusals, FailInsteadOfSubstituting) {
    const RefusalCase& c = GetParam();
    auto codec = makeAnsiCodec(c.codePage);
    ASSERT_TRUE(codec.isOk());
    Result<std::string> out =
        c.toAnsi ? codec.value()->toAnsi(c.input) : codec.value()->fromAnsi(c.input);
    EXPECT_FALSE(out.isOk()) << "gave \"" << out.valueOr("") << "\"";
}

INSTANTIATE_TEST_SUITE_P(Table, CodecRefusals, testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Codec, UnknownCodePageIsRefused) {
    EXPECT_FALSE(makeAnsiCodec(12345).isOk());
}

}  // namespace
}  // namespace hivora
