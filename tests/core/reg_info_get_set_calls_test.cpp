// The registry calls each procedure of the layer makes, in order and with their arguments, and
// what it makes of their results.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
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
constexpr std::uint32_t kAll = kKeyAllAccess;

std::string outcome(const Status& status) {
    return status ? "ok" : "error " + std::to_string(status.code());
}

std::string readOutcome(const std::string& text, std::int32_t flag) {
    return "\"" + text + "\" flag " + std::to_string(flag);
}

struct CallCase {
    const char* name;
    std::vector<FakeValue> values;             // the fake's key
    std::map<std::string, RegResult> results;  // forced result codes
    std::function<std::string(RegInfoGetSet&)> action;
    std::vector<std::string> expectedCalls;
    std::string expectedOutcome;
};

const std::string kSz(1, '\x01');

const CallCase kCallCases[] = {
    // Reads.
    {"GetRegStringReadsSizeThenData",
     {{"V", kRegSz, std::string("abc\0", 4)}},
     {},
     [](RegInfoGetSet& l) {
         std::int32_t flag = 5;
         std::string text = l.GetRegString(kHkcu, "K", "V", kAll, flag);
         return readOutcome(text, flag);
     },
     {"RegOpenKeyExA(80000001, \"K\", 0, F003F) -> 100", "RegQueryValueExA(100, \"V\", null, 0)",
      "RegQueryValueExA(100, \"V\", buffer, 4)", "RegCloseKey(100)"},
     "\"abc\" flag 0"},
    {"GetRegStringTakesTextWithoutNulWhole",
     {{"V", kRegSz, "abc"}},
     {},
     [](RegInfoGetSet& l) {
         std::int32_t flag = 5;
         std::string text = l.GetRegString(kHkcu, "K", "V", kAll, flag);
         return readOutcome(text, flag);
     },
     {"RegOpenKeyExA(80000001, \"K\", 0, F003F) -> 100", "RegQueryValueExA(100, \"V\", null, 0)",
      "RegQueryValueExA(100, \"V\", buffer, 3)", "RegCloseKey(100)"},
     "\"abc\" flag 0"},
    {"GetRegStringEmptyValueIsEmptyWithFlagZero",
     {{"V", kRegSz, ""}},
     {},
     [](RegInfoGetSet& l) {
         std::int32_t flag = 5;
         std::string text = l.GetRegString(kHkcu, "K", "V", kAll, flag);
         return readOutcome(text, flag);
     },
     {"RegOpenKeyExA(80000001, \"K\", 0, F003F) -> 100", "RegQueryValueExA(100, \"V\", null, 0)",
      "RegQueryValueExA(100, \"V\", buffer, 0)", "RegCloseKey(100)"},
     "\"\" flag 0"},
    {"GetRegStringMissingKeyStillQueriesAndClosesHandleZero",
     {},
     {{"RegOpenKeyExA", kErrorFileNotFound}},
     [](RegInfoGetSet& l) {
         std::int32_t flag = 0;
         std::string text = l.GetRegString(kHkcu, "K", "V", kAll, flag);
         return readOutcome(text, flag);
     },
     {"RegOpenKeyExA(80000001, \"K\", 0, F003F) -> 0", "RegQueryValueExA(0, \"V\", null, 0)",
      "RegCloseKey(0)"},
     "\"\" flag -1"},
    {"GetRegStringOfExpandValueFails",
     {{"V", kRegExpandSz, std::string("x\0", 2)}},
     {},
     [](RegInfoGetSet& l) {
         std::int32_t flag = 0;
         std::string text = l.GetRegString(kHkcu, "K", "V", kAll, flag);
         return readOutcome(text, flag);
     },
     {"RegOpenKeyExA(80000001, \"K\", 0, F003F) -> 100", "RegQueryValueExA(100, \"V\", null, 0)",
      "RegCloseKey(100)"},
     "\"\" flag -1"},
    {"GetRegExpandStringDoesNotExpand",
     {{"V", kRegExpandSz, std::string("%WINDIR%\\x\0", 11)}},
     {},
     [](RegInfoGetSet& l) {
         std::int32_t flag = 5;
         std::string text = l.GetRegExpandString(kHkcu, "K", "V", kAll, flag);
         return readOutcome(text, flag);
     },
     {"RegOpenKeyExA(80000001, \"K\", 0, F003F) -> 100", "RegQueryValueExA(100, \"V\", null, 0)",
      "RegQueryValueExA(100, \"V\", buffer, 11)", "RegCloseKey(100)"},
     "\"%WINDIR%\\x\" flag 0"},
    {"GetRegExpandStringOfPlainTextFails",
     {{"V", kRegSz, std::string("x\0", 2)}},
     {},
     [](RegInfoGetSet& l) {
         std::int32_t flag = 0;
         std::string text = l.GetRegExpandString(kHkcu, "K", "V", kAll, flag);
         return readOutcome(text, flag);
     },
     {"RegOpenKeyExA(80000001, \"K\", 0, F003F) -> 100", "RegQueryValueExA(100, \"V\", null, 0)",
      "RegCloseKey(100)"},
     "\"\" flag -1"},

    // Writes.
    {"SetRegStringCreatesSetsClosesSaves",
     {},
     {},
     [](RegInfoGetSet& l) { return outcome(l.SetRegString(kHkcu, "A\\B", "V", "ab", 0, kAll)); },
     {"RegCreateKeyExA(80000001, \"A\\B\", 0, \"REG_SZ\", 0, F003F) -> 100",
      "RegSetValueExA(100, \"V\", 0, 1, [61 62], 2)", "RegCloseKey(100)", "flush"},
     "ok"},
    {"SetRegStringChineseInCodePage936",
     {},
     {},
     [](RegInfoGetSet& l) { return outcome(l.SetRegString(kHkcu, "K", "名", "中文", 0, kAll)); },
     {"RegCreateKeyExA(80000001, \"K\", 0, \"REG_SZ\", 0, F003F) -> 100",
      "RegSetValueExA(100, \"\xC3\xFB\", 0, 1, [D6 D0 CE C4], 4)", "RegCloseKey(100)", "flush"},
     "ok"},
    {"SetRegStringEmptyTextHasNoBytes",
     {},
     {},
     [](RegInfoGetSet& l) { return outcome(l.SetRegString(kHkcu, "K", "", "", 0, kAll)); },
     {"RegCreateKeyExA(80000001, \"K\", 0, \"REG_SZ\", 0, F003F) -> 100",
      "RegSetValueExA(100, \"\", 0, 1, [], 0)", "RegCloseKey(100)", "flush"},
     "ok"},
    {"SetRegExpandStringClassAndType",
     {},
     {},
     [](RegInfoGetSet& l) {
         return outcome(l.SetRegExpandString(kHkcu, "K", "V", "%A%", 0, kAll));
     },
     {"RegCreateKeyExA(80000001, \"K\", 0, \"REG_EXPAND_SZ\", 0, F003F) -> 100",
      "RegSetValueExA(100, \"V\", 0, 2, [25 41 25], 3)", "RegCloseKey(100)", "flush"},
     "ok"},
    {"SetRegDwordLeastSignificantByteFirst",
     {},
     {},
     [](RegInfoGetSet& l) { return outcome(l.SetRegDword(kHkcu, "K", "V", 0x12345678, 0, kAll)); },
     {"RegCreateKeyExA(80000001, \"K\", 0, \"REG_DWORD\", 0, F003F) -> 100",
      "RegSetValueExA(100, \"V\", 0, 4, [78 56 34 12], 4)", "RegCloseKey(100)", "flush"},
     "ok"},
    {"SetRegDwordMinusOne",
     {},
     {},
     [](RegInfoGetSet& l) { return outcome(l.SetRegDword(kHkcu, "K", "V", -1, 0, kAll)); },
     {"RegCreateKeyExA(80000001, \"K\", 0, \"REG_DWORD\", 0, F003F) -> 100",
      "RegSetValueExA(100, \"V\", 0, 4, [FF FF FF FF], 4)", "RegCloseKey(100)", "flush"},
     "ok"},
    {"SetRegBinaryOneByteEach",
     {},
     {},
     [](RegInfoGetSet& l) {
         return outcome(
             l.SetRegBinary(kHkcu, "K", "V", std::string_view("\x01\0\0\0", 4), 0, kAll));
     },
     {"RegCreateKeyExA(80000001, \"K\", 0, \"REG_BINARY\", 0, F003F) -> 100",
      "RegSetValueExA(100, \"V\", 0, 3, [01 00 00 00], 4)", "RegCloseKey(100)", "flush"},
     "ok"},
    {"CreateOptionsAndAccessMaskPassedThrough",
     {},
     {},
     [](RegInfoGetSet& l) { return outcome(l.SetRegDword(kHkcu, "K", "V", 0, 4, kKeyRead)); },
     {"RegCreateKeyExA(80000001, \"K\", 0, \"REG_DWORD\", 4, 20019) -> 100",
      "RegSetValueExA(100, \"V\", 0, 4, [00 00 00 00], 4)", "RegCloseKey(100)", "flush"},
     "ok"},

    // Failed writes are reported, and nothing is done on a handle that was never opened.
    {"RefusedSetIsReported",
     {},
     {{"RegSetValueExA", kErrorAccessDenied}},
     [](RegInfoGetSet& l) { return outcome(l.SetRegString(kHkcu, "K", "V", "x", 0, kAll)); },
     {"RegCreateKeyExA(80000001, \"K\", 0, \"REG_SZ\", 0, F003F) -> 100",
      "RegSetValueExA(100, \"V\", 0, 1, [78], 1)", "RegCloseKey(100)", "flush"},
     "error 5"},
    {"RefusedCreateStopsThere",
     {},
     {{"RegCreateKeyExA", kErrorAccessDenied}},
     [](RegInfoGetSet& l) { return outcome(l.SetRegDword(kHkcu, "K", "V", 1, 0, kAll)); },
     {"RegCreateKeyExA(80000001, \"K\", 0, \"REG_DWORD\", 0, F003F) -> 0", "flush"},
     "error 5"},
    {"FailedSaveIsReported",
     {},
     {{"flush", kErrorDiskFull}},
     [](RegInfoGetSet& l) { return outcome(l.SetRegDword(kHkcu, "K", "V", 1, 0, kAll)); },
     {"RegCreateKeyExA(80000001, \"K\", 0, \"REG_DWORD\", 0, F003F) -> 100",
      "RegSetValueExA(100, \"V\", 0, 4, [01 00 00 00], 4)", "RegCloseKey(100)", "flush"},
     "error 112"},
    {"UntranslatableTextCallsNothing",
     {},
     {},
     [](RegInfoGetSet& l) {
         return outcome(l.SetRegString(kHkcu, "K", "V", "\xF0\x9F\x98\x80", 0, kAll));
     },
     {},
     "error 1113"},
    {"UntranslatableValueNameCallsNothing",
     {},
     {},
     [](RegInfoGetSet& l) {
         return outcome(l.SetRegDword(kHkcu, "K", "\xF0\x9F\x98\x80", 1, 0, kAll));
     },
     {},
     "error 1113"},
    {"TextOver32767BytesCallsNothing",
     {},
     {},
     [](RegInfoGetSet& l) {
         return outcome(l.SetRegString(kHkcu, "K", "V", std::string(32768, 'x'), 0, kAll));
     },
     {},
     "error 87"},
    {"ChineseTextOver32767AnsiBytesCallsNothing",
     {},
     {},
     [](RegInfoGetSet& l) {
         std::string text;  // 16,384 characters, 32,768 bytes in code page 936
         for (int i = 0; i < 16384; ++i) text += "中";
         return outcome(l.SetRegExpandString(kHkcu, "K", "V", text, 0, kAll));
     },
     {},
     "error 87"},
    {"EmptyBinaryCallsNothing",
     {},
     {},
     [](RegInfoGetSet& l) { return outcome(l.SetRegBinary(kHkcu, "K", "V", "", 0, kAll)); },
     {},
     "error 87"},

    // Removals and creation.
    {"DeleteRegKeyOpensDeletesItselfCloses",
     {},
     {},
     [](RegInfoGetSet& l) { return outcome(l.DeleteRegKey(kHkcu, "K", kAll)); },
     {"RegOpenKeyExA(80000001, \"K\", 0, F003F) -> 100", "RegDeleteKeyA(100, \"\")",
      "RegCloseKey(100)", "flush"},
     "ok"},
    {"DeleteRegKeyMissingIsOk",
     {},
     {{"RegOpenKeyExA", kErrorFileNotFound}},
     [](RegInfoGetSet& l) { return outcome(l.DeleteRegKey(kHkcu, "K", kAll)); },
     {"RegOpenKeyExA(80000001, \"K\", 0, F003F) -> 0"},
     "ok"},
    {"DeleteRegKeyWithSubKeysRefused",
     {},
     {{"RegDeleteKeyA", kErrorAccessDenied}},
     [](RegInfoGetSet& l) { return outcome(l.DeleteRegKey(kHkcu, "K", kAll)); },
     {"RegOpenKeyExA(80000001, \"K\", 0, F003F) -> 100", "RegDeleteKeyA(100, \"\")",
      "RegCloseKey(100)", "flush"},
     "error 5"},
    {"DeleteRegKeyOpenDeniedIsReported",
     {},
     {{"RegOpenKeyExA", kErrorAccessDenied}},
     [](RegInfoGetSet& l) { return outcome(l.DeleteRegKey(kHkcu, "K", kAll)); },
     {"RegOpenKeyExA(80000001, \"K\", 0, F003F) -> 0"},
     "error 5"},
    {"RemoveRegKeyUsesFullAccess",
     {},
     {},
     [](RegInfoGetSet& l) { return outcome(l.RemoveRegKey(kHkcu, "K", kKeyRead)); },
     {"RegOpenKeyExA(80000001, \"K\", 0, F003F) -> 100", "RegDeleteKeyA(100, \"\")",
      "RegCloseKey(100)", "flush"},
     "ok"},
    {"CreateRegKeyWithClassRegSz",
     {},
     {},
     [](RegInfoGetSet& l) { return outcome(l.CreateRegKey(kHkcu, "A\\B", 0, kAll)); },
     {"RegCreateKeyExA(80000001, \"A\\B\", 0, \"REG_SZ\", 0, F003F) -> 100", "RegCloseKey(100)",
      "flush"},
     "ok"},
    {"CreateRegKeyRefused",
     {},
     {{"RegCreateKeyExA", kErrorAccessDenied}},
     [](RegInfoGetSet& l) { return outcome(l.CreateRegKey(kHkcu, "K", 0, kAll)); },
     {"RegCreateKeyExA(80000001, \"K\", 0, \"REG_SZ\", 0, F003F) -> 0", "flush"},
     "error 5"},
    {"DeleteRegValueOpensDeletesCloses",
     {},
     {},
     [](RegInfoGetSet& l) { return outcome(l.DeleteRegValue(kHkcu, "K", "V", kAll)); },
     {"RegOpenKeyExA(80000001, \"K\", 0, F003F) -> 100", "RegDeleteValueA(100, \"V\")",
      "RegCloseKey(100)", "flush"},
     "ok"},
    {"DeleteRegValueMissingValueIsOk",
     {},
     {{"RegDeleteValueA", kErrorFileNotFound}},
     [](RegInfoGetSet& l) { return outcome(l.DeleteRegValue(kHkcu, "K", "V", kAll)); },
     {"RegOpenKeyExA(80000001, \"K\", 0, F003F) -> 100", "RegDeleteValueA(100, \"V\")",
      "RegCloseKey(100)", "flush"},
     "ok"},
    {"DeleteRegValueMissingKeyIsOk",
     {},
     {{"RegOpenKeyExA", kErrorFileNotFound}},
     [](RegInfoGetSet& l) { return outcome(l.DeleteRegValue(kHkcu, "K", "V", kAll)); },
     {"RegOpenKeyExA(80000001, \"K\", 0, F003F) -> 0"},
     "ok"},
    {"DeleteRegValueRefused",
     {},
     {{"RegDeleteValueA", kErrorAccessDenied}},
     [](RegInfoGetSet& l) { return outcome(l.DeleteRegValue(kHkcu, "K", "V", kAll)); },
     {"RegOpenKeyExA(80000001, \"K\", 0, F003F) -> 100", "RegDeleteValueA(100, \"V\")",
      "RegCloseKey(100)", "flush"},
     "error 5"},
    {"DeleteRegValueInKeyGivesTheCode",
     {},
     {{"RegDeleteValueA", kErrorAccessDenied}},
     [](RegInfoGetSet& l) { return std::to_string(l.DeleteRegValueInKey(0x42, "V")); },
     {"RegDeleteValueA(42, \"V\")"},
     "5"},
    {"DeleteRegValueInKeySavesAndKeepsHandleOpen",
     {},
     {},
     [](RegInfoGetSet& l) { return std::to_string(l.DeleteRegValueInKey(0x42, "V")); },
     {"RegDeleteValueA(42, \"V\")", "flush"},
     "0"},
    {"CloseRegKey",
     {},
     {},
     [](RegInfoGetSet& l) {
         l.CloseRegKey(0x42);
         return std::string("done");
     },
     {"RegCloseKey(42)"},
     "done"},

    // One save per action.
    {"WritesInsideAnActionSaveOnceAtTheEnd",
     {},
     {},
     [](RegInfoGetSet& l) {
         l.beginAction();
         l.beginAction();
         Status s = l.SetRegDword(kHkcu, "K", "A", 1, 0, kAll);
         s.update(l.DeleteRegValue(kHkcu, "K", "B", kAll));
         s.update(l.endAction());  // inner: no save
         const std::string inner = outcome(s);
         return inner + " " + outcome(l.endAction());
     },
     {"RegCreateKeyExA(80000001, \"K\", 0, \"REG_DWORD\", 0, F003F) -> 100",
      "RegSetValueExA(100, \"A\", 0, 4, [01 00 00 00], 4)", "RegCloseKey(100)",
      "RegOpenKeyExA(80000001, \"K\", 0, F003F) -> 101", "RegDeleteValueA(101, \"B\")",
      "RegCloseKey(101)", "flush"},
     "ok ok"},
    {"FailedSaveAtEndOfActionIsReported",
     {},
     {{"flush", kErrorDiskFull}},
     [](RegInfoGetSet& l) {
         l.beginAction();
         const std::string write = outcome(l.SetRegDword(kHkcu, "K", "A", 1, 0, kAll));
         return write + " " + outcome(l.endAction());
     },
     {"RegCreateKeyExA(80000001, \"K\", 0, \"REG_DWORD\", 0, F003F) -> 100",
      "RegSetValueExA(100, \"A\", 0, 4, [01 00 00 00], 4)", "RegCloseKey(100)", "flush"},
     "ok error 112"},
};

class RegistryLayerCalls : public testing::WithParamInterface<CallCase>,
                           public RegistryLayerCallsBase {};

TEST_P(RegistryLayerCalls, MakesTheseCallsInOrder) {
    const CallCase& c = GetParam();
    RecordingRegistry registry;
    registry.values = c.values;
    registry.results = c.results;
    RegInfoGetSet layer(registry, *m_codec);

    EXPECT_EQ(c.action(layer), c.expectedOutcome);
    EXPECT_EQ(registry.calls, c.expectedCalls);
}

INSTANTIATE_TEST_SUITE_P(Table, RegistryLayerCalls, testing::ValuesIn(kCallCases),
                         [](const testing::TestParamInfo<CallCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace hivora
