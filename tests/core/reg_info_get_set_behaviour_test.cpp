// The registry layer against the in-memory registry: what its procedures leave in the registry
// and read back from it, and how failures of the registry come out.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/registry/reg_info_get_set.h"
#include "platform/tree_registry.h"
#include "registry_layer_fixture.h"

namespace hivora {
namespace {

using test::caseName;

constexpr RegKey kHkcu = kHkeyCurrentUser;
constexpr RegKey kHklm = kHkeyLocalMachine;
constexpr std::uint32_t kAll = kKeyAllAccess;
constexpr char kRun[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class RegistryLayerBehaviour : public test::CodePage936Test {
  protected:
    void SetUp() override {
        CodePage936Test::SetUp();
        if (HasFatalFailure()) return;
        m_registry = makeMemoryRegistry(*m_codec);
        m_layer = std::make_unique<RegInfoGetSet>(*m_registry, *m_codec);
    }

    // Whether the key holds a text value of that name, as the layer reads it.
    bool holdsText(RegKey root, const std::string& path, const std::string& name) {
        std::int32_t flag = 0;
        (void)m_layer->GetRegString(root, path, name, kAll, flag);
        return flag == 0;
    }
    bool keyExists(RegKey root, const char* path) {
        RegKey key = 0;
        const bool exists = m_registry->RegOpenKeyExA(root, path, 0, kKeyRead, &key) == 0;
        if (exists) (void)m_registry->RegCloseKey(key);
        return exists;
    }
    std::string read(RegKey root, const std::string& path, const std::string& name) {
        std::int32_t flag = 99;
        return m_layer->GetRegString(root, path, name, kAll, flag);
    }

    std::unique_ptr<TreeRegistry> m_registry;
    std::unique_ptr<RegInfoGetSet> m_layer;
};

// Writes and reads --------------------------------------------------------------------------------

std::string longestChineseText() {  // 32,767 bytes in code page 936, half again more in UTF-8
    std::string text;
    for (int i = 0; i < 16383; ++i) text += "中";
    return text + "x";
}

struct TextCase {
    const char* name;
    std::string path;
    std::string valueName;
    std::string text;
};

const TextCase kTextCases[] = {
    {"VariablesNotExpanded", "Software\\Hivora", "Value", "%WINDIR%\\x"},
    {"EmptyText", "Software\\Hivora", "Value", ""},
    {"DefaultValue", "AudioCD\\shell", "", "play"},
    {"DeepPathCreated", "A\\B\\C\\D", "V", "x"},
    {"ChineseThroughCodePage936", "Software\\中文", "名字", "控制面板"},
    {"LongestText", "Software\\Hivora", "V", longestChineseText()},
};

class TextRoundTrip : public testing::WithParamInterface<TextCase>,
                      public RegistryLayerBehaviour {};

TEST_P(TextRoundTrip, ReadsBackWhatWasWritten) {
    const TextCase& c = GetParam();
    std::int32_t flag = 99;
    ASSERT_TRUE(m_layer->SetRegString(kHkcu, c.path, c.valueName, c.text, 0, kAll));
    EXPECT_EQ(m_layer->GetRegString(kHkcu, c.path, c.valueName, kAll, flag), c.text);
    EXPECT_EQ(flag, 0);

    ASSERT_TRUE(m_layer->SetRegExpandString(kHkcu, c.path, c.valueName, c.text, 0, kAll));
    EXPECT_EQ(m_layer->GetRegExpandString(kHkcu, c.path, c.valueName, kAll, flag), c.text);
    EXPECT_EQ(flag, 0);
}

INSTANTIATE_TEST_SUITE_P(Table, TextRoundTrip, testing::ValuesIn(kTextCases), caseName<TextCase>);

struct ReadFailureCase {
    const char* name;
    std::function<void(RegInfoGetSet&)> setup;
    bool expand;  // read with GetRegExpandString
};

const ReadFailureCase kReadFailureCases[] = {
    {"MissingValue", [](RegInfoGetSet& l) { (void)l.CreateRegKey(kHkcu, "K", 0, kAll); }, false},
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
                         caseName<ReadFailureCase>);

// Failures of the registry come out ---------------------------------------------------------------

TEST_F(RegistryLayerBehaviour, RefusedWriteIsAFailureWithTheRegistrysWords) {
    m_registry->setFaults(RegistryFaults::refusingWrites(kErrorAccessDenied, "注册表只读"));
    const Status written = m_layer->SetRegString(kHklm, "Software\\Policies\\X", "V", "1", 0, kAll);
    EXPECT_EQ(written.code(), kErrorAccessDenied);
    EXPECT_NE(written.message().find("注册表只读"), std::string::npos) << written.message();
    EXPECT_FALSE(m_layer->CreateRegKey(kHklm, "Software\\Y", 0, kAll).isOk());
    EXPECT_FALSE(holdsText(kHklm, "Software\\Policies\\X", "V"));
}

TEST_F(RegistryLayerBehaviour, AnActionSavesOnceAndReportsTheSave) {
    ASSERT_TRUE(m_layer->beginAction());
    ASSERT_TRUE(m_layer->SetRegString(kHkcu, "K", "A", "1", 0, kAll));
    ASSERT_TRUE(m_layer->SetRegString(kHkcu, "K", "B", "2", 0, kAll));
    m_registry->setFaults(RegistryFaults::failingFlush("磁盘已满"));
    EXPECT_FALSE(m_layer->endAction().isOk());
    m_registry->setFaults({});
    EXPECT_FALSE(holdsText(kHkcu, "K", "A"));  // both dropped together
    EXPECT_FALSE(holdsText(kHkcu, "K", "B"));
}

// Removals ----------------------------------------------------------------------------------------

TEST_F(RegistryLayerBehaviour, RemovalsRemoveOnlyWhatTheyName) {
    ASSERT_TRUE(m_layer->SetRegString(kHkcu, "K\\Sub", "V", "x", 0, kAll));
    ASSERT_TRUE(m_layer->SetRegString(kHkcu, "K\\Sub", "W", "y", 0, kAll));
    ASSERT_TRUE(m_layer->DeleteRegValue(kHkcu, "k\\SUB", "v", kAll));  // names ignore case
    EXPECT_FALSE(holdsText(kHkcu, "K\\Sub", "V"));
    EXPECT_EQ(read(kHkcu, "K\\Sub", "W"), "y");

    EXPECT_FALSE(m_layer->DeleteRegKey(kHkcu, "K", kAll).isOk());  // it has a sub-key
    EXPECT_TRUE(keyExists(kHkcu, "K\\Sub"));
    ASSERT_TRUE(m_layer->RemoveRegKey(kHkcu, "K\\Sub", kKeyRead));
    EXPECT_FALSE(keyExists(kHkcu, "K\\Sub"));
    EXPECT_TRUE(keyExists(kHkcu, "K"));
}

TEST_F(RegistryLayerBehaviour, RemoveRegKeyTakesTheWholeBranch) {
    // The namespace keys the hide rows remove hold sub-keys on real systems.
    ASSERT_TRUE(m_layer->SetRegString(kHkcu, "K\\A\\Deep\\Deeper", "V", "x", 0, kAll));
    ASSERT_TRUE(m_layer->SetRegString(kHkcu, "K\\B", "W", "y", 0, kAll));
    ASSERT_TRUE(m_layer->SetRegString(kHkcu, "K", "Z", "z", 0, kAll));
    ASSERT_TRUE(m_layer->SetRegString(kHkcu, "Kept", "V", "k", 0, kAll));
    ASSERT_TRUE(m_layer->RemoveRegKey(kHkcu, "K", kAll));
    EXPECT_FALSE(keyExists(kHkcu, "K"));
    EXPECT_EQ(read(kHkcu, "Kept", "V"), "k");
    EXPECT_TRUE(m_layer->RemoveRegKey(kHkcu, "K", kAll).isOk());  // already gone
}

// Enumeration -------------------------------------------------------------------------------------

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
    EXPECT_FALSE(holdsText(kHkcu, kRun, "UserB"));
    EXPECT_EQ(read(kHkcu, kRun, "UserA"), "a.exe");

    m_layer->CloseRegKey(handles[0]);
    m_layer->CloseRegKey(handles[2]);
    EXPECT_EQ(m_registry->openHandleCount(), 0u);
}

}  // namespace
}  // namespace hivora
