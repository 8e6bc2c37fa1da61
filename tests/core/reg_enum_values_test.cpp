// The calls EnumRegValues makes on the key it lists, and what it lists.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/registry/reg_info_get_set.h"
#include "recording_registry.h"
#include "registry_layer_fixture.h"

namespace hivora {
namespace {

using test::FakeValue;
using test::RecordingRegistry;
using test::RegistryLayerCallsBase;

constexpr RegKey kHkcu = kHkeyCurrentUser;

// Enumeration ------------------------------------------------------------------------------------

using EnumRegValuesCalls = RegistryLayerCallsBase;

TEST_F(EnumRegValuesCalls, ReadsEachTextAgainByNameThroughGetRegString) {
    RecordingRegistry registry;
    registry.values = {{"A", kRegSz, std::string("a\0", 2)}, {"B", kRegExpandSz, "%b%"}};
    RegInfoGetSet layer(registry, *m_codec);
    std::vector<std::string> names, texts;
    std::vector<RegKey> handles;

    EXPECT_EQ(layer.EnumRegValues(kHkcu, "Run", names, texts, handles), 2);
    EXPECT_EQ(
        registry.calls,
        (std::vector<std::string>{
            "RegOpenKeyA(80000001, \"Run\") -> 100", "RegEnumValueA(100, 0, 256, 1024)",
            "RegOpenKeyExA(80000001, \"Run\", 0, F003F) -> 101",
            "RegQueryValueExA(101, \"A\", null, 0)", "RegQueryValueExA(101, \"A\", buffer, 2)",
            "RegCloseKey(101)", "RegEnumValueA(100, 1, 256, 1024)",
            "RegOpenKeyExA(80000001, \"Run\", 0, F003F) -> 102",
            "RegQueryValueExA(102, \"B\", null, 0)", "RegCloseKey(102)",
            "RegEnumValueA(100, 2, 256, 1024)"}));
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B", ""}));
    EXPECT_EQ(texts, (std::vector<std::string>{"a", "", ""}));
    EXPECT_EQ(handles, (std::vector<RegKey>{0x100, 0x100, 0}));
    EXPECT_EQ(layer.OpenKeyHandleCount(), 2);
}

// The calls on the enumerated key only (the re-reads by name are covered above).
std::vector<std::string> enumerationCalls(const std::vector<std::string>& calls) {
    std::vector<std::string> kept;
    for (const std::string& call : calls) {
        if (call.rfind("RegEnumValueA", 0) == 0 || call.rfind("RegOpenKeyA", 0) == 0 ||
            call == "RegCloseKey(100)") {
            kept.push_back(call);
        }
    }
    return kept;
}

struct EnumCase {
    const char* name;
    std::vector<FakeValue> values;
    std::map<std::string, RegResult> results;
    std::int16_t expectedCount;
    std::vector<std::string> expectedNames;  // the first expectedCount entries
    std::vector<std::string> expectedCalls;  // on the enumerated key
};

const std::string kLongName(300, 'n');

const EnumCase kEnumCases[] = {
    {"LongDataIsReadAgainWithTheReportedSize",
     {{"Big", kRegSz, std::string(2000, 'x')}, {"After", kRegSz, "y"}},
     {},
     2,
     {"Big", "After"},
     {"RegOpenKeyA(80000001, \"Run\") -> 100", "RegEnumValueA(100, 0, 256, 1024)",
      "RegEnumValueA(100, 0, 256, 2000)", "RegEnumValueA(100, 1, 256, 2000)",
      "RegEnumValueA(100, 2, 256, 2000)"}},
    {"LongNameIsReadAgainWithALargerBuffer",
     {{kLongName, kRegSz, "x"}, {"After", kRegSz, "y"}},
     {},
     2,
     {kLongName, "After"},
     {"RegOpenKeyA(80000001, \"Run\") -> 100", "RegEnumValueA(100, 0, 256, 1024)",
      "RegEnumValueA(100, 0, 512, 1024)", "RegEnumValueA(100, 1, 512, 1024)",
      "RegEnumValueA(100, 2, 512, 1024)"}},
    {"ValueWithoutAnAnsiNameIsLeftOutNotTheRest",
     {{"A", kRegSz, "a"}, {"?", kRegSz, "x", kErrorNoUnicodeTranslation}, {"C", kRegSz, "c"}},
     {},
     2,
     {"A", "C"},
     {"RegOpenKeyA(80000001, \"Run\") -> 100", "RegEnumValueA(100, 0, 256, 1024)",
      "RegEnumValueA(100, 1, 256, 1024)", "RegEnumValueA(100, 2, 256, 1024)",
      "RegEnumValueA(100, 3, 256, 1024)"}},
    {"KeyDeletedUnderTheListEndsIt",
     {{"A", kRegSz, "a"}, {"B", kRegSz, "b", kErrorKeyDeleted}, {"C", kRegSz, "c"}},
     {},
     1,
     {"A"},
     {"RegOpenKeyA(80000001, \"Run\") -> 100", "RegEnumValueA(100, 0, 256, 1024)",
      "RegEnumValueA(100, 1, 256, 1024)"}},
    {"NoValuesClosesTheKeyAtOnce",
     {},
     {},
     0,
     {},
     {"RegOpenKeyA(80000001, \"Run\") -> 100", "RegEnumValueA(100, 0, 256, 1024)",
      "RegCloseKey(100)"}},
    {"MissingKeyGivesMinusOne",
     {{"A", kRegSz, "a"}},
     {{"RegOpenKeyA", kErrorFileNotFound}},
     -1,
     {},
     {"RegOpenKeyA(80000001, \"Run\") -> 0"}},
};

class EnumRegValuesTable : public testing::WithParamInterface<EnumCase>,
                           public RegistryLayerCallsBase {};

TEST_P(EnumRegValuesTable, ListsEveryValue) {
    const EnumCase& c = GetParam();
    RecordingRegistry registry;
    registry.values = c.values;
    registry.results = c.results;
    RegInfoGetSet layer(registry, *m_codec);
    layer.OpenKeyHandleCount() = 1;  // one handle from an earlier call
    std::vector<std::string> names = {"earlier"}, texts = {"earlier"};
    std::vector<RegKey> handles = {0x77};

    const std::int16_t count = layer.EnumRegValues(kHkcu, "Run", names, texts, handles);

    EXPECT_EQ(count, c.expectedCount);
    EXPECT_EQ(enumerationCalls(registry.calls), c.expectedCalls);
    if (count <= 0) {  // nothing recorded
        EXPECT_EQ(names, std::vector<std::string>{"earlier"});
        EXPECT_EQ(handles, std::vector<RegKey>{0x77});
        EXPECT_EQ(layer.OpenKeyHandleCount(), 1);
        return;
    }
    ASSERT_EQ(names.size(), static_cast<std::size_t>(count) + 1);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + count), c.expectedNames);
    EXPECT_EQ(layer.OpenKeyHandleCount(), 1 + count);
    ASSERT_EQ(handles.size(), static_cast<std::size_t>(1 + count) + 1);
    EXPECT_EQ(handles[0], 0x77u);
    for (int i = 1; i <= count; ++i) EXPECT_EQ(handles[i], 0x100u);
}

INSTANTIATE_TEST_SUITE_P(Table, EnumRegValuesTable, testing::ValuesIn(kEnumCases),
                         [](const testing::TestParamInfo<EnumCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace hivora
