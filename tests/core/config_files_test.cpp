// The configuration file's values: IniAccess over the profile functions, and the colours read at
// start-up.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/config/color_config.h"
#include "core/config/ini_access.h"
#include "platform/profile_format.h"
#include "platform/registry_api.h"

namespace hivora {
namespace {

// Profile files held in memory with the platform's text rules; records what it was asked.
class MemoryProfileFiles : public ProfileFiles {
  public:
    std::map<std::string, std::string> files;
    std::vector<std::string> requests;
    std::optional<Status> writeFailure;

    std::string GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                         const std::string& defaultValue, std::uint32_t bufferSize,
                                         const std::string& fileName) override {
        requests.push_back("get [" + section + "] " + key + " default \"" + defaultValue +
                           "\" buffer " + std::to_string(bufferSize));
        const auto file = files.find(fileName);
        std::optional<std::string> value;
        if (file != files.end()) value = findProfileValue(file->second, section, key, 936);
        return cutToProfileBuffer(value ? *value : defaultValue, bufferSize, 936);
    }
    Status WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                      const std::string& value,
                                      const std::string& fileName) override {
        requests.push_back("write [" + section + "] " + key + " = " + value);
        if (writeFailure) return *writeFailure;
        Result<std::string> text = writeProfileValue(files[fileName], section, key, value, 936);
        if (!text) return text.status();
        files[fileName] = text.value();
        return Status::ok();
    }
};

class ConfigFilesTest : public testing::Test {
  protected:
    void SetUp() override {
        auto codec = makeAnsiCodec(936);
        ASSERT_TRUE(codec.isOk()) << codec.status().message();
        m_codec = std::move(codec).value();
        m_ini = std::make_unique<IniAccess>(m_files, *m_codec);
    }
    MemoryProfileFiles m_files;
    std::unique_ptr<AnsiCodec> m_codec;
    std::unique_ptr<IniAccess> m_ini;
};

const std::string kFile = "/opt/hivora/config.ini";

// ReadIniValue / WriteIniValue
// ----------------------------------------------------------------------

TEST_F(ConfigFilesTest, ReadAsksForTheKeyWithEmptyDefaultAnd128ByteBuffer) {
    m_files.files[kFile] = "[Color]\r\nBack_Color=\t 255 \r\n";
    const Result<std::string> value = m_ini->ReadIniValue(kFile, "Color", "Back_Color");
    ASSERT_TRUE(value.isOk());
    EXPECT_EQ(value.value(), "255");
    EXPECT_EQ(m_files.requests,
              std::vector<std::string>{"get [Color] Back_Color default \"\" buffer 128"});
}

struct ReadCase {
    const char* name;
    std::string file;  // ANSI text of config.ini; empty: no file
    std::string expected;
};

const ReadCase kReadCases[] = {
    {"MissingFile", "", ""},
    {"MissingKey", "[Color]\nOther=1\n", ""},
    {"QuotedBlanksTrimmedAfterQuotesGo", "[Color]\nk=\" 12 \"\n", "12"},
    {"CutAtFirstNul", std::string("[Color]\nk=12\0 34\n", 17), "12"},
    {"CutTo127Bytes", "[Color]\nk=" + std::string(200, '9') + "\n", std::string(127, '9')},
    {"ChineseFromCodePage936", "[Color]\nk=\xD6\xD0\xCE\xC4\n", "中文"},
};

class ReadIniValueTable : public testing::WithParamInterface<ReadCase>, public ConfigFilesTest {};
TEST_P(ReadIniValueTable, GivesTheTrimmedText) {
    if (!GetParam().file.empty()) m_files.files[kFile] = GetParam().file;
    const Result<std::string> value = m_ini->ReadIniValue(kFile, "Color", "k");
    ASSERT_TRUE(value.isOk()) << value.status().message();
    EXPECT_EQ(value.value(), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, ReadIniValueTable, testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConfigFilesTest, ReadOfBytesThatAreNoTextFails) {
    m_files.files[kFile] = "[Color]\nk=\x81\n";  // a lead byte without its second byte
    EXPECT_FALSE(m_ini->ReadIniValue(kFile, "Color", "k").isOk());
}

TEST_F(ConfigFilesTest, WriteCutsToThe128FirstCharactersAndConvertsToAnsi) {
    std::string value;
    for (int i = 0; i < 130; ++i) value += "中";
    ASSERT_TRUE(m_ini->WriteIniValue(kFile, "Color", "k", value));
    std::string expected;
    for (int i = 0; i < 128; ++i) expected += "\xD6\xD0";
    EXPECT_EQ(m_files.requests, std::vector<std::string>{"write [Color] k = " + expected});
}

TEST_F(ConfigFilesTest, WriteOfUntranslatableTextWritesNothing) {
    const Status written = m_ini->WriteIniValue(kFile, "Color", "k", "\xF0\x9F\x98\x80");
    EXPECT_EQ(written.code(), kErrorNoUnicodeTranslation);
    EXPECT_TRUE(m_files.requests.empty());
}

TEST_F(ConfigFilesTest, FailedWriteIsReported) {
    m_files.writeFailure = Status::error("只读", kErrorAccessDenied);
    const Status written = m_ini->WriteIniValue(kFile, "Color", "Back_Color", "1");
    EXPECT_FALSE(written.isOk());
    EXPECT_EQ(written.code(), kErrorAccessDenied);
}

TEST_F(ConfigFilesTest, WrittenValueReadsBack) {
    ASSERT_TRUE(m_ini->WriteIniValue(kFile, "Color", "Back_Color", "  65280  "));
    const Result<std::string> value = m_ini->ReadIniValue(kFile, "color", "BACK_COLOR");
    ASSERT_TRUE(value.isOk());
    EXPECT_EQ(value.value(), "65280");
}

// Colours ----------------------------------------------------------------------------------------

struct ColorTextCase {
    const char* name;
    const char* text;
    std::optional<std::int32_t> expected;
};

const ColorTextCase kColorTextCases[] = {
    {"Decimal", "14001242", 14001242},
    {"SurroundingBlanks", "  255 ", 255},
    {"Hex", "&HD5A45A", 0xD5A45A},
    {"HexLower", "&hff", 255},
    {"HexAllOnesIsMinusOne", "&HFFFFFFFF", -1},
    {"FractionHalfToEven", "2.5", 2},
    {"FractionHalfUpToEven", "3.5", 4},
    {"Negative", "-1", -1},
    {"Int32Max", "2147483647", 2147483647},
    {"Int32Min", "-2147483648", INT32_MIN},
    {"AboveInt32", "2147483648", std::nullopt},
    {"Letters", "blue", std::nullopt},
    {"TrailingLetters", "255x", std::nullopt},
    {"HexTooLong", "&H1FFFFFFFF", std::nullopt},
    {"Empty", "", std::nullopt},
};

class ColorFromConfigText : public testing::TestWithParam<ColorTextCase> {};
TEST_P(ColorFromConfigText, ConvertsOrRefuses) {
    EXPECT_EQ(colorFromConfigText(GetParam().text), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(Table, ColorFromConfigText, testing::ValuesIn(kColorTextCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct SettingsCase {
    const char* name;
    const char* file;  // nullptr: no file
    std::optional<ColorSettings> expected;
};

const SettingsCase kSettingsCases[] = {
    {"NoFileGivesDefaults", nullptr, ColorSettings{0, 14001242, 0}},
    {"EmptyValuesGiveDefaults", "[Color]\nFont_Color=\nBack_Color=  \n",
     ColorSettings{0, 14001242, 0}},
    {"AllThree", "[color]\nborder_color=3\nFONT_COLOR=&HFF\nBack_Color=65280\n",
     ColorSettings{255, 65280, 3}},
    {"OtherSectionIgnored", "[Colour]\nBack_Color=1\n", ColorSettings{0, 14001242, 0}},
    {"BadBackColor", "[Color]\nBack_Color=blue\n", std::nullopt},
    {"BadBorderColorAlthoughUnused", "[Color]\nBorder_Color=abc\n", std::nullopt},
    {"OutOfRange", "[Color]\nFont_Color=99999999999\n", std::nullopt},
};

class ReadColorSettings : public testing::WithParamInterface<SettingsCase>,
                          public ConfigFilesTest {};
TEST_P(ReadColorSettings, GivesTheColoursOrTheWarning) {
    const SettingsCase& c = GetParam();
    if (c.file) m_files.files[kFile] = c.file;
    const Result<ColorSettings> settings = readColorSettings(*m_ini, kFile);
    if (!c.expected) {
        ASSERT_FALSE(settings.isOk());
        EXPECT_EQ(settings.status().message(), kBadConfigPrompt);
    } else {
        ASSERT_TRUE(settings.isOk()) << settings.status().message();
        EXPECT_EQ(settings.value().fontColor, c.expected->fontColor);
        EXPECT_EQ(settings.value().backColor, c.expected->backColor);
        EXPECT_EQ(settings.value().borderColor, c.expected->borderColor);
    }
    EXPECT_EQ(m_files.files.count(kFile), c.file ? 1u : 0u);  // reading writes nothing
}
INSTANTIATE_TEST_SUITE_P(Table, ReadColorSettings, testing::ValuesIn(kSettingsCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct PathCase {
    const char* folder;
    const char* expected;
};

TEST(ConfigFilePath, JoinsWithTheFoldersOwnSeparator) {
    const PathCase cases[] = {
        {"C:\\Program Files\\Hivora", "C:\\Program Files\\Hivora\\config.ini"},
        {"C:\\", "C:\\config.ini"},
        {"/opt/hivora", "/opt/hivora/config.ini"},
        {"/opt/hivora/", "/opt/hivora/config.ini"},
        {"", "config.ini"},
    };
    for (const PathCase& c : cases) EXPECT_EQ(configFilePath(c.folder), c.expected) << c.folder;
}

}  // namespace
}  // namespace hivora
