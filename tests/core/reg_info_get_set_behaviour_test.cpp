// The registry layer against the in-memory registry: what its procedures leave in the registry
// and read back from it, and how failures of the registry come out.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/registry/reg_info_get_set.h"
#include "platform/tree_registry.h"

namespace hivora {
namespace {

constexpr RegKey kHkcu = kHkeyCurrentUser;
constexpr RegKey kHklm = kHkeyLocalMachine;
constexpr std::uint32_t kAll = kKeyAllAccess;
constexpr char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

RegistryFaults refusingChanges(RegResult code, std::string message) {
    RegistryFaults faults;
    faults.writeResult = code;
    faults.message = std::move(message);
    return faults;
}

RegistryFaults failingSaves() {
    RegistryFaults faults;
    faults.failFlush = true;
    faults.message = "磁盘已满";
    return faults;
}

struct RawValue {
    RegResult result = kErrorSuccess;
    std::uint32_t type = kRegNone;
    std::string bytes;
};

class RegistryLayerBehaviour : public testing::Test {
  protected:
    void SetUp() override {
        auto codec = makeAnsiCodec(936);
        ASSERT_TRUE(codec.isOk()) << codec.status().message();
        m_codec = std::move(codec).value();
        m_registry = makeMemoryRegistry(*m_codec);
        m_layer = std::make_unique<RegInfoGetSet>(*m_registry, *m_codec);
    }

    // The value as the registry holds it, read past the layer (ANSI name and path).
    RawValue raw(RegKey root, const char* path, const char* name) {
        RawValue v;
        RegKey key = 0;
        v.result = m_registry->RegOpenKeyExA(root, path, 0, kKeyRead, &key);
        if (v.result != kErrorSuccess) return v;
        std::uint32_t size = 0;
        v.result = m_registry->RegQueryValueExA(key, name, &v.type, nullptr, &size);
        if (v.result == kErrorSuccess) {
            v.bytes.assign(size, '\0');
            v.result = m_registry->RegQueryValueExA(
                key, name, &v.type, reinterpret_cast<std::uint8_t*>(v.bytes.data()), &size);
            v.bytes.resize(size);
        }
        (void)m_registry->RegCloseKey(key);
        return v;
    }
    bool keyExists(RegKey root, const char* path) {
        RegKey key = 0;
        const bool exists = m_registry->RegOpenKeyExA(root, path, 0, kKeyRead, &key) == 0;
        if (exists) (void)m_registry->RegCloseKey(key);
        return exists;
    }
    std::string read(RegKey root, const std::string& path, const std::string& name,
                     std::int32_t* flagOut = nullptr) {
        std::int32_t flag = 99;
        std::string text = m_layer->GetRegString(root, path, name, kAll, flag);
        if (flagOut) *flagOut = flag;
        return text;
    }

    std::unique_ptr<AnsiCodec> m_codec;
    std::unique_ptr<TreeRegistry> m_registry;
    std::unique_ptr<RegInfoGetSet> m_layer;
};

// Writes and reads -----------------------------------------------------------------------------

struct TextCase {
    const char* name;
    std::string path;
    std::string valueName;
    std::string text;
};

const TextCase kTextCases[] = {
    {"Plain", "Software\\Hivora", "Value", "abc"},
    {"EmptyText", "Software\\Hivora", "Value", ""},
    {"DefaultValue", "AudioCD\\shell", "", "play"},
    {"DeepPathCreated", "A\\B\\C\\D", "V", "x"},
    {"ChineseThroughCodePage936", "Software\\中文", "名字", "控制面板"},
    {"LongestText", "Software\\Hivora", "V", std::string(kMaxRegTextBytes, 'x')},
};

class TextRoundTrip : public testing::WithParamInterface<TextCase>,
                      public RegistryLayerBehaviour {};

TEST_P(TextRoundTrip, ReadsBackWhatWasWritten) {
    const TextCase& c = GetParam();
    ASSERT_TRUE(m_layer->SetRegString(kHkcu, c.path, c.valueName, c.text, 0, kAll));
    std::int32_t flag = 99;
    EXPECT_EQ(read(kHkcu, c.path, c.valueName, &flag), c.text);
    EXPECT_EQ(flag, 0);

    ASSERT_TRUE(m_layer->SetRegExpandString(kHkcu, c.path, c.valueName, c.text, 0, kAll));
    EXPECT_EQ(m_layer->GetRegExpandString(kHkcu, c.path, c.valueName, kAll, flag), c.text);
    EXPECT_EQ(flag, 0);
}

INSTANTIATE_TEST_SUITE_P(Table, TextRoundTrip, testing::ValuesIn(kTextCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegistryLayerBehaviour, ValuesHoldTheExpectedBytes) {
    ASSERT_TRUE(m_layer->SetRegDword(kHkcu, "K", "Zero", 0, 0, kAll));
    ASSERT_TRUE(m_layer->SetRegDword(kHkcu, "K", "One", 1, 0, kAll));
    ASSERT_TRUE(
        m_layer->SetRegBinary(kHkcu, "K", "Bin", std::string_view("\x01\0\0\0", 4), 0, kAll));
    ASSERT_TRUE(m_layer->SetRegString(kHkcu, "K", "Text", "中", 0, kAll));

    const RawValue zero = raw(kHkcu, "K", "Zero");
    EXPECT_EQ(zero.type, kRegDword);
    EXPECT_EQ(zero.bytes, std::string("\0\0\0\0", 4));
    EXPECT_EQ(raw(kHkcu, "K", "One").bytes, std::string("\x01\0\0\0", 4));
    const RawValue bin = raw(kHkcu, "K", "Bin");
    EXPECT_EQ(bin.type, kRegBinary);
    EXPECT_EQ(bin.bytes, std::string("\x01\0\0\0", 4));
    const RawValue text = raw(kHkcu, "K", "Text");
    EXPECT_EQ(text.type, kRegSz);
    EXPECT_EQ(text.bytes.substr(0, 2), "\xD6\xD0");
}

struct ReadFailureCase {
    const char* name;
    std::function<void(RegInfoGetSet&)> setup;
    bool expand;  // read with GetRegExpandString
};

const ReadFailureCase kReadFailureCases[] = {
    {"MissingKey", [](RegInfoGetSet&) {}, false},
    {"MissingValue", [](RegInfoGetSet& l) { (void)l.CreateRegKey(kHkcu, "K", 0, kAll); }, false},
    {"ExpandValueReadAsText",
     [](RegInfoGetSet& l) { (void)l.SetRegExpandString(kHkcu, "K", "V", "%x%", 0, kAll); }, false},
    {"TextReadAsExpandValue",
     [](RegInfoGetSet& l) { (void)l.SetRegString(kHkcu, "K", "V", "x", 0, kAll); }, true},
    {"DwordReadAsText", [](RegInfoGetSet& l) { (void)l.SetRegDword(kHkcu, "K", "V", 7, 0, kAll); },
     false},
};

class ReadFailures : public testing::WithParamInterface<ReadFailureCase>,
                     public RegistryLayerBehaviour {};

TEST_P(ReadFailures, GiveEmptyTextAndFlagMinusOne) {
    GetParam().setup(*m_layer);
    std::int32_t flag = 0;
    const std::string text = GetParam().expand
                                 ? m_layer->GetRegExpandString(kHkcu, "K", "V", kAll, flag)
                                 : m_layer->GetRegString(kHkcu, "K", "V", kAll, flag);
    EXPECT_EQ(text, "");
    EXPECT_EQ(flag, -1);
    EXPECT_EQ(m_registry->openHandleCount(), 0u);  // every key it opened is closed again
}

INSTANTIATE_TEST_SUITE_P(Table, ReadFailures, testing::ValuesIn(kReadFailureCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegistryLayerBehaviour, TooLongTextIsRefusedAndTheOldValueKept) {
    ASSERT_TRUE(m_layer->SetRegString(kHkcu, "K", "V", "old", 0, kAll));
    std::string text;  // 16,384 characters: 32,768 bytes in code page 936
    for (int i = 0; i < 16384; ++i) text += "中";
    const Status written = m_layer->SetRegString(kHkcu, "K", "V", text, 0, kAll);
    EXPECT_FALSE(written.isOk());
    EXPECT_EQ(read(kHkcu, "K", "V"), "old");
}

TEST_F(RegistryLayerBehaviour, UntranslatableTextWritesNothing) {
    const Status written = m_layer->SetRegString(kHkcu, "K", "V", "😀", 0, kAll);
    EXPECT_EQ(written.code(), kErrorNoUnicodeTranslation);
    EXPECT_FALSE(keyExists(kHkcu, "K"));
}

// Failures of the registry come out --------------------------------------------------------------

TEST_F(RegistryLayerBehaviour, RefusedWriteIsAFailureWithTheRegistrysWords) {
    m_registry->setFaults(refusingChanges(kErrorAccessDenied, "注册表只读"));
    const Status written = m_layer->SetRegDword(kHklm, "Software\\Policies\\X", "V", 1, 0, kAll);
    EXPECT_FALSE(written.isOk());
    EXPECT_EQ(written.code(), kErrorAccessDenied);
    EXPECT_NE(written.message().find("注册表只读"), std::string::npos) << written.message();
    EXPECT_FALSE(m_layer->CreateRegKey(kHklm, "Software\\Y", 0, kAll).isOk());
    EXPECT_EQ(raw(kHklm, "Software\\Policies\\X", "V").result, kErrorFileNotFound);
}

TEST_F(RegistryLayerBehaviour, FailedSaveIsAFailureAndTheChangeIsGone) {
    m_registry->setFaults(failingSaves());
    EXPECT_FALSE(m_layer->SetRegString(kHkcu, "K", "V", "x", 0, kAll).isOk());
    m_registry->setFaults(RegistryFaults{});
    EXPECT_EQ(raw(kHkcu, "K", "V").result, kErrorFileNotFound);
}

TEST_F(RegistryLayerBehaviour, AnActionSavesOnceAndReportsTheSave) {
    m_layer->beginAction();
    ASSERT_TRUE(m_layer->SetRegDword(kHkcu, "K", "A", 1, 0, kAll));
    ASSERT_TRUE(m_layer->SetRegDword(kHkcu, "K", "B", 2, 0, kAll));
    m_registry->setFaults(failingSaves());
    EXPECT_FALSE(m_layer->endAction().isOk());
    m_registry->setFaults(RegistryFaults{});
    EXPECT_EQ(raw(kHkcu, "K", "A").result, kErrorFileNotFound);  // both dropped together
    EXPECT_EQ(raw(kHkcu, "K", "B").result, kErrorFileNotFound);
}

// Removals and creation --------------------------------------------------------------------------

TEST_F(RegistryLayerBehaviour, RemovingWhatIsAbsentSucceeds) {
    EXPECT_TRUE(m_layer->DeleteRegValue(kHkcu, "No\\Such\\Key", "V", kAll));
    ASSERT_TRUE(m_layer->CreateRegKey(kHkcu, "K", 0, kAll));
    EXPECT_TRUE(m_layer->DeleteRegValue(kHkcu, "K", "NoSuchValue", kAll));
    EXPECT_TRUE(m_layer->DeleteRegKey(kHkcu, "No\\Such\\Key", kAll));
    EXPECT_TRUE(m_layer->RemoveRegKey(kHkcu, "No\\Such\\Key", 0));
}

TEST_F(RegistryLayerBehaviour, RemovalsRemove) {
    ASSERT_TRUE(m_layer->SetRegString(kHkcu, "K\\Sub", "V", "x", 0, kAll));
    ASSERT_TRUE(m_layer->SetRegString(kHkcu, "K\\Sub", "W", "y", 0, kAll));
    ASSERT_TRUE(m_layer->DeleteRegValue(kHkcu, "k\\SUB", "v", kAll));  // names ignore case
    EXPECT_EQ(raw(kHkcu, "K\\Sub", "V").result, kErrorFileNotFound);
    EXPECT_EQ(read(kHkcu, "K\\Sub", "W"), "y");

    ASSERT_TRUE(m_layer->RemoveRegKey(kHkcu, "K\\Sub", kKeyRead));
    EXPECT_FALSE(keyExists(kHkcu, "K\\Sub"));
    EXPECT_TRUE(keyExists(kHkcu, "K"));
}

TEST_F(RegistryLayerBehaviour, KeyWithSubKeysIsNotDeletedAndSaysSo) {
    ASSERT_TRUE(m_layer->CreateRegKey(kHkcu, "K\\Sub", 0, kAll));
    EXPECT_FALSE(m_layer->DeleteRegKey(kHkcu, "K", kAll).isOk());
    EXPECT_TRUE(keyExists(kHkcu, "K\\Sub"));
}

TEST_F(RegistryLayerBehaviour, CreateRegKeyLeavesAnExistingKeyAsItIs) {
    ASSERT_TRUE(m_layer->SetRegString(kHkcu, "K", "V", "kept", 0, kAll));
    ASSERT_TRUE(m_layer->CreateRegKey(kHkcu, "K", 0, kAll));
    EXPECT_EQ(read(kHkcu, "K", "V"), "kept");
    ASSERT_TRUE(m_layer->CreateRegKey(kHkcu, "New\\Key", 0, kAll));
    EXPECT_TRUE(keyExists(kHkcu, "New\\Key"));
    EXPECT_EQ(m_registry->openHandleCount(), 0u);
}

// Enumeration ------------------------------------------------------------------------------------

TEST_F(RegistryLayerBehaviour, LongNamesAndDataDoNotHideAnyEntry) {
    // Values are kept in name order: the long ones come first.
    const std::string longName = "A" + std::string(299, 'n');
    const std::string longData = "B" + std::string(1999, 'd');
    ASSERT_TRUE(m_layer->SetRegString(kHkcu, kRun, longName, "short.exe", 0, kAll));
    ASSERT_TRUE(m_layer->SetRegString(kHkcu, kRun, "B", longData, 0, kAll));
    ASSERT_TRUE(m_layer->SetRegExpandString(kHkcu, kRun, "C", "%windir%\\c.exe", 0, kAll));
    ASSERT_TRUE(m_layer->SetRegString(kHkcu, kRun, "D", "杀毒.exe", 0, kAll));

    std::vector<std::string> names, texts;
    std::vector<RegKey> handles;
    ASSERT_EQ(m_layer->EnumRegValues(kHkcu, kRun, names, texts, handles), 4);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 4),
              (std::vector<std::string>{longName, "B", "C", "D"}));
    EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 4),
              (std::vector<std::string>{"short.exe", longData, "", "杀毒.exe"}));
}

TEST_F(RegistryLayerBehaviour, TwoListingsShareTheHandleListAndTheHandlesWork) {
    ASSERT_TRUE(m_layer->SetRegString(kHkcu, kRun, "UserA", "a.exe", 0, kAll));
    ASSERT_TRUE(m_layer->SetRegString(kHkcu, kRun, "UserB", "b.exe", 0, kAll));
    ASSERT_TRUE(m_layer->SetRegString(kHklm, kRun, "Machine", "m.exe", 0, kAll));

    std::vector<std::string> names, texts;
    std::vector<RegKey> handles;
    ASSERT_EQ(m_layer->EnumRegValues(kHkcu, kRun, names, texts, handles), 2);
    ASSERT_EQ(m_layer->EnumRegValues(kHklm, kRun, names, texts, handles), 1);
    EXPECT_EQ(names[0], "Machine");
    EXPECT_EQ(texts[0], "m.exe");
    EXPECT_EQ(m_layer->OpenKeyHandleCount(), 3);
    ASSERT_GE(handles.size(), 3u);
    EXPECT_EQ(handles[0], handles[1]);
    EXPECT_NE(handles[1], handles[2]);

    // Removal through the handles, as the startup list does it.
    EXPECT_EQ(m_layer->DeleteRegValueInKey(handles[1], "UserB"), kErrorSuccess);
    EXPECT_EQ(m_layer->DeleteRegValueInKey(handles[2], "Machine"), kErrorSuccess);
    EXPECT_EQ(m_layer->DeleteRegValueInKey(handles[2], "Machine"), kErrorFileNotFound);
    EXPECT_EQ(raw(kHkcu, kRun, "UserB").result, kErrorFileNotFound);
    EXPECT_EQ(read(kHkcu, kRun, "UserA"), "a.exe");

    m_layer->CloseRegKey(handles[0]);
    m_layer->CloseRegKey(handles[2]);
    EXPECT_EQ(m_registry->openHandleCount(), 0u);
}

TEST_F(RegistryLayerBehaviour, MissingKeyGivesMinusOneAndTouchesNothing) {
    m_layer->OpenKeyHandleCount() = 2;
    std::vector<std::string> names = {"a", "b"}, texts = {"x", "y"};
    std::vector<RegKey> handles = {7, 7, 0};
    EXPECT_EQ(m_layer->EnumRegValues(kHkcu, "No\\Such\\Key", names, texts, handles), -1);
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(texts, (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(handles, (std::vector<RegKey>{7, 7, 0}));
    EXPECT_EQ(m_layer->OpenKeyHandleCount(), 2);
}

TEST_F(RegistryLayerBehaviour, KeyWithoutValuesListsNothingAndKeepsNoHandleOpen) {
    ASSERT_TRUE(m_layer->CreateRegKey(kHkcu, kRun, 0, kAll));
    std::vector<std::string> names, texts;
    std::vector<RegKey> handles;
    EXPECT_EQ(m_layer->EnumRegValues(kHkcu, kRun, names, texts, handles), 0);
    EXPECT_EQ(m_layer->OpenKeyHandleCount(), 0);
    EXPECT_EQ(m_registry->openHandleCount(), 0u);
}

}  // namespace
}  // namespace hivora
