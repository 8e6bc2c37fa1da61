// The registry calls each procedure of the layer makes, in order and with their arguments, and
// what it makes of their results: reads, writes, removals, and the listing of a key's values.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/registry/reg_info_get_set.h"
#include "recording_registry.h"
#include "registry_layer_fixture.h"

namespace hivora {
namespace {

using test::caseName;
using test::FakeValue;
using test::RecordingRegistry;

constexpr RegKey kHkcu = kHkeyCurrentUser;
constexpr std::uint32_t kAll = kKeyAllAccess;

// The calls on key "K" of HKEY_CURRENT_USER, which every case works on.
const std::string kOpen = "RegOpenKeyExA(80000001, \"K\", 0, F003F) -> 100";
const std::string kOpenFailed = "RegOpenKeyExA(80000001, \"K\", 0, F003F) -> 0";
const std::string kSizeQuery = "RegQueryValueExA(100, \"V\", null, 0)";
const std::string kClose = "RegCloseKey(100)";
std::string created(const std::string& keyClass, const char* handle = "100") {
    return "RegCreateKeyExA(80000001, \"K\", 0, \"" + keyClass + "\", 0, F003F) -> " + handle;
}

class RegistryLayerCalls : public test::CodePage936Test {
  protected:
    RecordingRegistry m_registry;
};

// Reads ------------------------------------------------------------------------------------------

struct ReadCase {
    const char* name;
    std::vector<FakeValue> values;  // the fake's key
    std::vector<std::string> expectedCalls;
    std::string expectedText;
    std::int32_t expectedFlag;
    bool openFails = false;
};

// Both queries of a value of `size` bytes.
std::vector<std::string> readWhole(int size) {
    return {kOpen, kSizeQuery, "RegQueryValueExA(100, \"V\", buffer, " + std::to_string(size) + ")",
            kClose};
}

const ReadCase kReadCases[] = {
    {"SizeThenDataUpToTheNul", {{"V", kRegSz, std::string("abc\0", 4)}}, readWhole(4), "abc", 0},
    {"TextWithoutNulTakenWhole", {{"V", kRegSz, "abc"}}, readWhole(3), "abc", 0},
    {"OtherTypeIsNotRead", {{"V", kRegExpandSz, "x"}}, {kOpen, kSizeQuery, kClose}, "", -1},
    {"MissingKeyStillQueriesAndClosesHandleZero",
     {},
     {kOpenFailed, "RegQueryValueExA(0, \"V\", null, 0)", "RegCloseKey(0)"},
     "",
     -1,
     true},
};

class GetRegStringCalls : public testing::WithParamInterface<ReadCase>,
                          public RegistryLayerCalls {};

TEST_P(GetRegStringCalls, MakesTheseCallsInOrder) {
    const ReadCase& c = GetParam();
    m_registry.values = c.values;
    if (c.openFails) m_registry.results["RegOpenKeyExA"] = kErrorFileNotFound;
    RegInfoGetSet layer(m_registry, *m_codec);
    std::int32_t flag = 5;
    EXPECT_EQ(layer.GetRegString(kHkcu, "K", "V", kAll, flag), c.expectedText);
    EXPECT_EQ(flag, c.expectedFlag);
    EXPECT_EQ(m_registry.calls, c.expectedCalls);
}

INSTANTIATE_TEST_SUITE_P(Table, GetRegStringCalls, testing::ValuesIn(kReadCases),
                         caseName<ReadCase>);

// Writes, removals and key creation --------------------------------------------------------------

struct ChangeCase {
    const char* name;
    std::function<Status(RegInfoGetSet&)> change;
    std::vector<std::string> expectedCalls;
    RegResult expectedCode;         // 0: success
    const char* failing = nullptr;  // the registry function made to fail with failCode
    RegResult failCode = kErrorSuccess;
};

Status asStatus(RegResult code) {
    return code == kErrorSuccess ? Status::ok() : Status::error("", code);
}

// A write on a key of that class: create, set, close, save.
std::vector<std::string> written(const std::string& keyClass, const std::string& setCall) {
    return {created(keyClass), setCall, kClose, "flush"};
}
// A removal: open, remove, close, save.
std::vector<std::string> removed(const std::string& removeCall) {
    return {kOpen, removeCall, kClose, "flush"};
}

Status setOneDword(RegInfoGetSet& l) {
    return l.SetRegDword(kHkcu, "K", "V", 1, 0, kAll);
}
Status deleteKey(RegInfoGetSet& l) {
    return l.DeleteRegKey(kHkcu, "K", kAll);
}
Status createKey(RegInfoGetSet& l) {
    return l.CreateRegKey(kHkcu, "K", 0, kAll);
}
Status deleteValue(RegInfoGetSet& l) {
    return l.DeleteRegValue(kHkcu, "K", "V", kAll);
}
Status deleteValueInKey(RegInfoGetSet& l) {
    return asStatus(l.DeleteRegValueInKey(0x42, "V"));
}

// Call lists of the failures that stop early.
const std::vector<std::string> kNoCalls;
const std::vector<std::string> kOnlyOpenFailed = {kOpenFailed};
std::vector<std::string> createFailed(const std::string& keyClass) {
    return {created(keyClass, "0"), "flush"};  // a partly created path is saved all the same
}

const std::string kSetOneDword = "RegSetValueExA(100, \"V\", 0, 4, [01 00 00 00], 4)";
const std::string kDeleteKey = "RegDeleteKeyA(100, \"\")";
const std::string kDeleteValue = "RegDeleteValueA(100, \"V\")";
const std::string kDeleteInKey = "RegDeleteValueA(42, \"V\")";  // on a handle from a listing

const ChangeCase kChangeCases[] = {
    // Writes: ANSI texts without a terminating NUL, the type's name as the class of a new key.
    {"SetRegStringInCodePage936",
     [](RegInfoGetSet& l) { return l.SetRegString(kHkcu, "K", "名", "中文", 0, kAll); },
     written("REG_SZ", "RegSetValueExA(100, \"\xC3\xFB\", 0, 1, [D6 D0 CE C4], 4)"), 0},
    {"SetRegStringEmptyTextOfTheDefaultValue",
     [](RegInfoGetSet& l) { return l.SetRegString(kHkcu, "K", "", "", 0, kAll); },
     written("REG_SZ", "RegSetValueExA(100, \"\", 0, 1, [], 0)"), 0},
    {"SetRegExpandString",
     [](RegInfoGetSet& l) { return l.SetRegExpandString(kHkcu, "K", "V", "%A%", 0, kAll); },
     written("REG_EXPAND_SZ", "RegSetValueExA(100, \"V\", 0, 2, [25 41 25], 3)"), 0},
    {"SetRegDwordLeastSignificantByteFirst",
     [](RegInfoGetSet& l) { return l.SetRegDword(kHkcu, "K", "V", 0x12345678, 0, kAll); },
     written("REG_DWORD", "RegSetValueExA(100, \"V\", 0, 4, [78 56 34 12], 4)"), 0},
    {"SetRegBinaryOneByteEach",
     [](RegInfoGetSet& l) {
         return l.SetRegBinary(kHkcu, "K", "V", std::string_view("\x01\0\0\0", 4), 0, kAll);
     },
     written("REG_BINARY", "RegSetValueExA(100, \"V\", 0, 3, [01 00 00 00], 4)"), 0},
    {"CreateOptionsAndAccessMaskPassedThrough",
     [](RegInfoGetSet& l) { return l.SetRegDword(kHkcu, "K", "V", 0, 4, kKeyRead); },
     {"RegCreateKeyExA(80000001, \"K\", 0, \"REG_DWORD\", 4, 20019) -> 100",
      "RegSetValueExA(100, \"V\", 0, 4, [00 00 00 00], 4)", kClose, "flush"},
     0},

    // Failed writes are reported, and nothing is done on a handle that was never opened.
    {"RefusedSetIsReported", setOneDword, written("REG_DWORD", kSetOneDword), kErrorAccessDenied,
     "RegSetValueExA", kErrorAccessDenied},
    {"RefusedCreateStopsThere", setOneDword, createFailed("REG_DWORD"), kErrorAccessDenied,
     "RegCreateKeyExA", kErrorAccessDenied},
    {"FailedSaveIsReported", setOneDword, written("REG_DWORD", kSetOneDword), kErrorDiskFull,
     "flush", kErrorDiskFull},
    {"UntranslatableTextCallsNothing",
     [](RegInfoGetSet& l) { return l.SetRegString(kHkcu, "K", "V", "\xF0\x9F\x98\x80", 0, kAll); },
     kNoCalls, kErrorNoUnicodeTranslation},
    {"UntranslatableValueNameCallsNothing",
     [](RegInfoGetSet& l) { return l.SetRegDword(kHkcu, "K", "\xF0\x9F\x98\x80", 1, 0, kAll); },
     kNoCalls, kErrorNoUnicodeTranslation},
    {"TextOver32767BytesCallsNothing",
     [](RegInfoGetSet& l) {
         return l.SetRegString(kHkcu, "K", "V", std::string(32768, 'x'), 0, kAll);
     },
     kNoCalls, kErrorInvalidParameter},
    {"ChineseTextOver32767AnsiBytesCallsNothing",
     [](RegInfoGetSet& l) {
         std::string text;  // 16,384 characters, 32,768 bytes in code page 936
         for (int i = 0; i < 16384; ++i) text += "中";
         return l.SetRegExpandString(kHkcu, "K", "V", text, 0, kAll);
     },
     kNoCalls, kErrorInvalidParameter},
    {"EmptyBinaryCallsNothing",
     [](RegInfoGetSet& l) { return l.SetRegBinary(kHkcu, "K", "V", "", 0, kAll); }, kNoCalls,
     kErrorInvalidParameter},

    // Removals and creation.
    {"DeleteRegKeyOpensDeletesItselfCloses", deleteKey, removed(kDeleteKey), 0},
    {"DeleteRegKeyMissingIsOk", deleteKey, kOnlyOpenFailed, 0, "RegOpenKeyExA", kErrorFileNotFound},
    {"DeleteRegKeyWithSubKeysRefused", deleteKey, removed(kDeleteKey), kErrorAccessDenied,
     "RegDeleteKeyA", kErrorAccessDenied},
    {"DeleteRegKeyOpenDeniedIsReported", deleteKey, kOnlyOpenFailed, kErrorAccessDenied,
     "RegOpenKeyExA", kErrorAccessDenied},
    {"RemoveRegKeyUsesFullAccess",
     [](RegInfoGetSet& l) { return l.RemoveRegKey(kHkcu, "K", kKeyRead); },
     {kOpen, "RegEnumKeyExA(100, 0)", kDeleteKey, kClose, "flush"}, 0},
    {"RemoveRegKeyStopsWhenSubKeysCannotBeListed",
     [](RegInfoGetSet& l) { return l.RemoveRegKey(kHkcu, "K", kAll); },
     {kOpen, "RegEnumKeyExA(100, 0)", kClose, "flush"}, kErrorAccessDenied, "RegEnumKeyExA",
     kErrorAccessDenied},
    {"CreateRegKeyWithClassRegSz", createKey, {created("REG_SZ"), kClose, "flush"}, 0},
    {"CreateRegKeyRefused", createKey, createFailed("REG_SZ"), kErrorAccessDenied,
     "RegCreateKeyExA", kErrorAccessDenied},
    {"DeleteRegValueOpensDeletesCloses", deleteValue, removed(kDeleteValue), 0},
    {"DeleteRegValueMissingKeyIsOk", deleteValue, kOnlyOpenFailed, 0, "RegOpenKeyExA",
     kErrorFileNotFound},
    {"DeleteRegValueMissingValueIsOk", deleteValue, removed(kDeleteValue), 0, "RegDeleteValueA",
     kErrorFileNotFound},
    {"DeleteRegValueRefused", deleteValue, removed(kDeleteValue), kErrorAccessDenied,
     "RegDeleteValueA", kErrorAccessDenied},
    {"DeleteRegValueInKeySavesAndKeepsHandleOpen", deleteValueInKey, {kDeleteInKey, "flush"}, 0},
    {"DeleteRegValueInKeyGivesTheCode",
     deleteValueInKey,
     {kDeleteInKey},
     kErrorAccessDenied,
     "RegDeleteValueA",
     kErrorAccessDenied},

    // One save per action, by the outermost bracket.
    {"WritesInsideAnActionSaveOnceAtTheEnd",
     [](RegInfoGetSet& l) {
         if (Status held = l.beginAction(); !held) return held;
         if (Status held = l.beginAction(); !held) return held;
         Status s = setOneDword(l);
         s.update(l.DeleteRegValue(kHkcu, "K", "B", kAll));
         s.update(l.endAction());
         s.update(l.endAction());
         return s;
     },
     {created("REG_DWORD"), kSetOneDword, kClose, "RegOpenKeyExA(80000001, \"K\", 0, F003F) -> 101",
      "RegDeleteValueA(101, \"B\")", "RegCloseKey(101)", "flush"},
     0},
};

class ChangeCalls : public testing::WithParamInterface<ChangeCase>, public RegistryLayerCalls {};

TEST_P(ChangeCalls, MakesTheseCallsInOrder) {
    const ChangeCase& c = GetParam();
    if (c.failing) m_registry.results[c.failing] = c.failCode;
    RegInfoGetSet layer(m_registry, *m_codec);
    const Status status = c.change(layer);
    EXPECT_EQ(status.isOk(), c.expectedCode == kErrorSuccess) << status.message();
    EXPECT_EQ(status.code(), c.expectedCode);
    EXPECT_EQ(m_registry.calls, c.expectedCalls);
}

INSTANTIATE_TEST_SUITE_P(Table, ChangeCalls, testing::ValuesIn(kChangeCases), caseName<ChangeCase>);

// Enumeration ------------------------------------------------------------------------------------

const std::string kOpenRun = "RegOpenKeyA(80000001, \"Run\") -> 100";

TEST_F(RegistryLayerCalls, EnumRegValuesReadsEachTextAgainByNameThroughGetRegString) {
    m_registry.values = {{"A", kRegSz, std::string("a\0", 2)}, {"B", kRegExpandSz, "%b%"}};
    RegInfoGetSet layer(m_registry, *m_codec);
    std::vector<std::string> names, texts;
    std::vector<RegKey> handles;

    EXPECT_EQ(layer.EnumRegValues(kHkcu, "Run", names, texts, handles), 2);
    EXPECT_EQ(m_registry.calls,
              (std::vector<std::string>{kOpenRun, "RegEnumValueA(100, 0, 256, 1024)",
                                        "RegOpenKeyExA(80000001, \"Run\", 0, F003F) -> 101",
                                        "RegQueryValueExA(101, \"A\", null, 0)",
                                        "RegQueryValueExA(101, \"A\", buffer, 2)",
                                        "RegCloseKey(101)", "RegEnumValueA(100, 1, 256, 1024)",
                                        "RegOpenKeyExA(80000001, \"Run\", 0, F003F) -> 102",
                                        "RegQueryValueExA(102, \"B\", null, 0)", "RegCloseKey(102)",
                                        "RegEnumValueA(100, 2, 256, 1024)"}));
    EXPECT_EQ(texts, (std::vector<std::string>{"a", "", ""}));  // the listing is in the table below
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
    std::int16_t expectedCount;
    std::vector<std::string> expectedNames;  // the first expectedCount entries
    std::vector<std::string> expectedCalls;  // on the enumerated key
    bool openFails = false;
};

const std::string kLongName(300, 'n');

const EnumCase kEnumCases[] = {
    {"LongDataIsReadAgainWithTheReportedSize",
     {{"Big", kRegSz, std::string(2000, 'x')}, {"After", kRegSz, "y"}},
     2,
     {"Big", "After"},
     {kOpenRun, "RegEnumValueA(100, 0, 256, 1024)", "RegEnumValueA(100, 0, 256, 2000)",
      "RegEnumValueA(100, 1, 256, 2000)", "RegEnumValueA(100, 2, 256, 2000)"}},
    {"LongNameIsReadAgainWithALargerBuffer",
     {{kLongName, kRegSz, "x"}, {"After", kRegSz, "y"}},
     2,
     {kLongName, "After"},
     {kOpenRun, "RegEnumValueA(100, 0, 256, 1024)", "RegEnumValueA(100, 0, 512, 1024)",
      "RegEnumValueA(100, 1, 512, 1024)", "RegEnumValueA(100, 2, 512, 1024)"}},
    {"ValueWithoutAnAnsiNameIsLeftOutNotTheRest",
     {{"A", kRegSz, "a"}, {"?", kRegSz, "x", kErrorNoUnicodeTranslation}, {"C", kRegSz, "c"}},
     2,
     {"A", "C"},
     {kOpenRun, "RegEnumValueA(100, 0, 256, 1024)", "RegEnumValueA(100, 1, 256, 1024)",
      "RegEnumValueA(100, 2, 256, 1024)", "RegEnumValueA(100, 3, 256, 1024)"}},
    {"KeyDeletedUnderTheListEndsIt",
     {{"A", kRegSz, "a"}, {"B", kRegSz, "b", kErrorKeyDeleted}, {"C", kRegSz, "c"}},
     1,
     {"A"},
     {kOpenRun, "RegEnumValueA(100, 0, 256, 1024)", "RegEnumValueA(100, 1, 256, 1024)"}},
    {"NoValuesClosesTheKeyAtOnce",
     {},
     0,
     {},
     {kOpenRun, "RegEnumValueA(100, 0, 256, 1024)", "RegCloseKey(100)"}},
    {"MissingKeyGivesMinusOne",
     {{"A", kRegSz, "a"}},
     -1,
     {},
     {"RegOpenKeyA(80000001, \"Run\") -> 0"},
     true},
};

class EnumRegValuesCalls : public testing::WithParamInterface<EnumCase>,
                           public RegistryLayerCalls {};

TEST_P(EnumRegValuesCalls, ListsEveryValue) {
    const EnumCase& c = GetParam();
    m_registry.values = c.values;
    if (c.openFails) m_registry.results["RegOpenKeyA"] = kErrorFileNotFound;
    RegInfoGetSet layer(m_registry, *m_codec);
    layer.OpenKeyHandleCount() = 1;  // one handle from an earlier call
    std::vector<std::string> names = {"earlier"}, texts = {"earlier"};
    std::vector<RegKey> handles = {0x77};

    const std::int16_t count = layer.EnumRegValues(kHkcu, "Run", names, texts, handles);

    EXPECT_EQ(count, c.expectedCount);
    EXPECT_EQ(enumerationCalls(m_registry.calls), c.expectedCalls);
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

INSTANTIATE_TEST_SUITE_P(Table, EnumRegValuesCalls, testing::ValuesIn(kEnumCases),
                         caseName<EnumCase>);

}  // namespace
}  // namespace hivora
