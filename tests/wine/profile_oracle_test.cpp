// The profile rules of platform/profile_format.h held against the platform's own
// GetPrivateProfileStringA / WritePrivateProfileStringA (Wine's when run here): for each file text
// and query, the rules must give what the platform gives.
//
// Left out, since Wine's answer may not be Windows' and no file of the program's has them: a lone
// carriage return as line end (Wine ends a line there, the rules do not) and a section line
// without "]" (Wine ignores it, the rules take it as a section).

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/ansi_codec.h"
#include "platform/profile_files.h"
#include "platform/profile_format.h"
#include "tests/wine/win32_test_support.h"

namespace hivora {
namespace {

constexpr std::uint32_t kGbk = 936;

struct ReadCase {
    const char* name;
    std::string fileText;
    std::string section;
    std::string key;
    std::string defaultValue;
    std::uint32_t bufferSize;
};

const ReadCase kReadCases[] = {
    {"Plain", "[Color]\r\nBack_Color=14001242\r\n", "Color", "Back_Color", "", 128},
    {"CaseOfNames", "[color]\nBACK_COLOR=1\n", "COLOR", "back_color", "", 128},
    {"BlanksAroundEverything", "  [ Color ]  \n  Back_Color  =  7  \n", "Color", "Back_Color", "",
     128},
    {"TabsAroundValue", "[S]\nk=\t7\t\n", "S", "k", "", 128},
    {"DoubleQuotesTakenOff", "[S]\nk=\" a b \"\n", "S", "k", "", 128},
    {"SingleQuotesTakenOff", "[S]\nk='x'\n", "S", "k", "", 128},
    {"UnmatchedQuoteKept", "[S]\nk=\"x\n", "S", "k", "", 128},
    {"QuotesInsideKept", "[S]\nk=a\"b\"\n", "S", "k", "", 128},
    {"LaterEqualsKept", "[S]\nk=a=b\n", "S", "k", "", 128},
    {"LastLineWithoutEnding", "[S]\nk=v", "S", "k", "", 128},
    {"FirstKeyWins", "[S]\nk=1\nk=2\n", "S", "k", "", 128},
    {"FirstSectionWins", "[S]\nk=1\n[S]\nk=2\n", "S", "k", "", 128},
    {"SecondSectionOfSameNameSearchedToo", "[S]\na=1\n[S]\nk=2\n", "S", "k", "dflt", 128},
    {"KeyBeforeAnySection", "k=1\n[S]\n", "S", "k", "dflt", 128},
    {"CommentLine", "[S]\n;k=1\n", "S", "k", "dflt", 128},
    {"LineWithoutEquals", "[S]\nk\n", "S", "k", "dflt", 128},
    {"MissingSection", "[Other]\nk=1\n", "S", "k", "dflt", 128},
    {"EmptyFile", "", "S", "k", "dflt", 128},
    {"EmptyValue", "[S]\nk=\n", "S", "k", "dflt", 128},
    {"SectionNamePrefix", "[Colors]\nk=1\n", "Color", "k", "dflt", 128},
    {"ValueCutTo127Bytes", "[S]\nk=" + std::string(200, 'x') + "\n", "S", "k", "", 128},
    {"DefaultCut", "", "S", "k", std::string(200, 'd'), 128},
    {"BufferOfOne", "[S]\nk=abc\n", "S", "k", "", 1},
    {"ChineseValue", "[\xD1\xD5\xC9\xAB]\n\xBC\xFC=\xD6\xD0\xCE\xC4\n", "\xD1\xD5\xC9\xAB",
     "\xBC\xFC", "", 128},
    {"DoubleByteAtTheCut", "[S]\nk=" + std::string(126, 'x') + "\xD6\xD0\n", "S", "k", "", 128},
    {"TrailByteLooksLikeLetter", "[S]\n\x81Z=1\n", "S", "\x81z", "dflt", 128},
    {"BlankSectionLineBeforeKey", "[S]\n\n\nk=v\n", "S", "k", "", 128},
    {"SemicolonAfterValueKept", "[S]\nk=v ;note\n", "S", "k", "", 128},
    {"TextAfterSectionBracket", "[S] junk\nk=v\n", "S", "k", "dflt", 128},
    {"BlankInsideKeyName", "[S]\nmy key=1\n", "S", "my key", "dflt", 128},
    {"TabsAroundKeyName", "[S]\n\tk\t=1\n", "S", "k", "dflt", 128},
    {"KeyOfOtherCaseFirst", "[S]\nK=1\nk=2\n", "S", "k", "", 128},
};

class ProfileReadOracle : public testing::TestWithParam<ReadCase> {};

TEST_P(ProfileReadOracle, RulesGiveWhatThePlatformGives) {
    const ReadCase& c = GetParam();
    test::TempFolder folder;
    const std::string path = folder.file("config.ini");
    ASSERT_TRUE(test::writeWholeFile(path, c.fileText));

    auto platform = makeProfileFiles();
    const std::string fromPlatform =
        platform->GetPrivateProfileStringA(c.section, c.key, c.defaultValue, c.bufferSize, path);
    const std::optional<std::string> found = findProfileValue(c.fileText, c.section, c.key, kGbk);
    const std::string fromRules =
        cutToProfileBuffer(found.value_or(c.defaultValue), c.bufferSize, kGbk);
    EXPECT_EQ(fromRules, fromPlatform);
}

INSTANTIATE_TEST_SUITE_P(Table, ProfileReadOracle, testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct WriteCase {
    const char* name;
    std::string fileText;
    std::string section;
    std::string key;
    std::string value;
};

const WriteCase kWriteCases[] = {
    {"NewFile", "", "Color", "Back_Color", "1"},
    {"ReplaceValue", "[Color]\r\nFont_Color=0\r\nBack_Color=5\r\nBorder_Color=0\r\n", "Color",
     "Back_Color", "14001242"},
    {"KeyCaseOfFileKept", "[COLOR]\r\nBACK_COLOR=5\r\n", "color", "Back_Color", "9"},
    {"KeyAddedToSection", "[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n", "A", "k", "v"},
    {"SectionAdded", "[A]\r\na=1\r\n", "B", "k", "v"},
    {"SameKeyInOtherSection", "[A]\r\nk=1\r\n", "B", "k", "2"},
    {"OnlyFirstOfTwoSections", "[S]\r\nk=1\r\n[S]\r\nk=2\r\n", "S", "k", "3"},
    {"CommentedKeyNotTaken", "[S]\r\n;k=1\r\n", "S", "k", "2"},
    {"LastLineWithoutEnding", "[A]\r\na=1", "A", "k", "v"},
    {"ChineseValue", "", "\xD1\xD5\xC9\xAB", "k", "\xD6\xD0\xCE\xC4"},
    {"EmptyValue", "[S]\r\nk=1\r\n", "S", "k", ""},
    {"ValueWithBlanks", "", "S", "k", "  a b  "},
    {"QuotedValue", "", "S", "k", "\"x\""},
};

// Every key the cases' files hold or write, in every section they name.
std::vector<std::pair<std::string, std::string>> everyKey() {
    std::vector<std::pair<std::string, std::string>> probes;
    for (const char* section : {"Color", "A", "B", "S", "\xD1\xD5\xC9\xAB"})
        for (const char* key : {"Back_Color", "Font_Color", "Border_Color", "a", "b", "k"})
            probes.emplace_back(section, key);
    return probes;
}

class ProfileWriteOracle : public testing::TestWithParam<WriteCase> {};

// The platform's file text is its own (Wine, unlike Windows, writes the whole file anew), so the
// two are compared by what the platform reads back from each: every key, the written one and the
// others, must read the same from the platform's file and from the text the rules make.
TEST_P(ProfileWriteOracle, PlatformReadsTheSameFromBothFiles) {
    const WriteCase& c = GetParam();
    test::TempFolder folder;
    const std::string byPlatform = folder.file("platform.ini");
    const std::string byRules = folder.file("rules.ini");
    if (!c.fileText.empty()) {
        ASSERT_TRUE(test::writeWholeFile(byPlatform, c.fileText));
    }

    auto platform = makeProfileFiles();
    ASSERT_TRUE(platform->WritePrivateProfileStringA(c.section, c.key, c.value, byPlatform).isOk());
    Result<std::string> rulesText = writeProfileValue(c.fileText, c.section, c.key, c.value, kGbk);
    ASSERT_TRUE(rulesText.isOk()) << rulesText.status().message();
    ASSERT_TRUE(test::writeWholeFile(byRules, rulesText.value()));
    EXPECT_EQ("platform.ini|rules.ini|", folder.listing()) << "the write's copy stayed behind";

    for (const auto& [section, key] : everyKey()) {
        SCOPED_TRACE("[" + section + "] " + key);
        const std::string expected =
            platform->GetPrivateProfileStringA(section, key, "<none>", 128, byPlatform);
        EXPECT_EQ(expected,
                  platform->GetPrivateProfileStringA(section, key, "<none>", 128, byRules));
        EXPECT_EQ(expected,
                  findProfileValue(rulesText.value(), section, key, kGbk).value_or("<none>"));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ProfileWriteOracle, testing::ValuesIn(kWriteCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A write that fails is reported and leaves the folder as it was: no change to the file and no
// copy behind. A text that would read back as another key or section is refused, as on every
// platform; a read-only file is not written; a missing folder takes no file.
struct FailedWriteCase {
    const char* name;
    std::string file;  // within the test folder
    std::string value;
    bool readOnly;
};

const FailedWriteCase kFailedWrites[] = {
    {"LineBreakInValue", "config.ini", "1\r\n[Evil]\r\nx=1", false},
    {"ReadOnlyFile", "config.ini", "1", true},
    {"MissingFolder", "missing\\config.ini", "1", false},
};

class ProfileFailedWrite : public testing::TestWithParam<FailedWriteCase> {};

TEST_P(ProfileFailedWrite, IsReportedAndLeavesTheFolderAsItWas) {
    const FailedWriteCase& c = GetParam();
    test::TempFolder folder;
    const std::string path = folder.file(c.file);
    test::writeWholeFile(path, "[Color]\r\nBack_Color=5\r\n");  // fails where the folder is missing
    if (c.readOnly) {
        ASSERT_TRUE(::SetFileAttributesW(wideFromUtf8(path).c_str(), FILE_ATTRIBUTE_READONLY));
    }
    const std::string before = test::readWholeFile(path);
    const std::string listing = folder.listing();

    EXPECT_FALSE(makeProfileFiles()
                     ->WritePrivateProfileStringA("Color", "Back_Color", c.value, path)
                     .isOk());
    EXPECT_EQ(before, test::readWholeFile(path));
    EXPECT_EQ(listing, folder.listing());
}

INSTANTIATE_TEST_SUITE_P(Table, ProfileFailedWrite, testing::ValuesIn(kFailedWrites),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace hivora
