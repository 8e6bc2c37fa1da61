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
#include "registry_layer_fixture.h"

namespace hivora {
namespace {

using test::caseName;

// Profile files held in memory, read with the platform's text rules; records what it was asked.
class MemoryProfileFiles : public ProfileFiles {
  public:
    std::map<std::string, std::string> files;
    std::vector<std::string> requests;
    Status writeOutcome;  // what every write answers; it changes no file

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
                                      const std::string& /*fileName*/) override {
        requests.push_back("write [" + section + "] " + key + " = " + value);
        return writeOutcome;
    }
};

class ConfigFilesTest : public test::CodePage936Test {
  protected:
    void SetUp() override {
        CodePage936Test::SetUp();
        if (HasFatalFailure()) return;
        m_ini = std::make_unique<IniAccess>(m_files, *m_codec);
    }
    MemoryProfileFiles m_files;
    std::unique_ptr<IniAccess> m_ini;
};

const std::string kFile = "/opt/hivora/config.ini";

// ReadIniValue / WriteIniValue -------------------------------------------------------------------

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
    std::string file;                     // ANSI text of config.ini; empty: no file
    std::optional<std::string> expected;  // no value: the read fails
};

const ReadCase kReadCases[] = {
    {"MissingFile", "", ""},
    {"QuotedBlanksTrimmedAfterQuotesGo", "[Color]\nk=\" 12 \"\n", "12"},
    {"CutAtFirstNul", std::string("[Color]\nk=12\0 34\n", 17), "12"},
    {"ChineseFromCodePage936", "[Color]\nk=\xD6\xD0\xCE\xC4\n", "中文"},
    {"LeadByteWithoutItsSecondByteFails", "[Color]\nk=\x81\n", std::nullopt},
};

class ReadIniValueTable : public testing::WithParamInterface<ReadCase>, public ConfigFilesTest {};
TEST_P(ReadIniValueTable, GivesTheTrimmedText) {
    if (!GetParam().file.empty()) m_files.files[kFile] = GetParam().file;
    const Result<std::string> value = m_ini->ReadIniValue(kFile, "Color", "k");
    ASSERT_EQ(value.isOk(), GetParam().expected.has_value()) << value.status().message();
    if (value) {
        EXPECT_EQ(value.value(), *GetParam().expected);
    }
}
INSTANTIATE_TEST_SUITE_P(Table, ReadIniValueTable, testing::ValuesIn(kReadCases),
                         caseName<ReadCase>);

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
    m_files.writeOutcome = Status::error("只读", kErrorAccessDenied);
    EXPECT_EQ(m_ini->WriteIniValue(kFile, "Color", "Back_Color", "1").code(), kErrorAccessDenied);
}

// Colours ----------------------------------------------------------------------------------------

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
    {"NumbersAsTheyAreWritten",
     "[Color]\nFont_Color=&HFFFFFFFF\nBack_Color=2.5\nBorder_Color=-1.5\n",
     ColorSettings{-1, 2, -2}},
    {"AboveInt32", "[Color]\nFont_Color=2147483648\n", std::nullopt},
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
                         caseName<SettingsCase>);

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
