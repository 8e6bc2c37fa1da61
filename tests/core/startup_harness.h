#pragma once
// What the startup list tests share: an in-memory registry with the two Run keys filled from a
// short description, the real access layer, and the scripted dialog double behind the outcome
// messages.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/catalogue/tweak_framework.h"
#include "core/registry/reg_info_get_set.h"
#include "core/startup/startup_list.h"
#include "platform/tree_registry.h"
#include "tests/core/scripted_dialogs.h"

namespace hivora::testing {

struct RunValue {
    std::string name;
    std::string data;
    std::uint32_t type = kRegSz;
};
// A Run key's contents; nullopt: the key does not exist.
using RunKey = std::optional<std::vector<RunValue>>;

class StartupHarness {
  public:
    StartupHarness()
        : m_codec(makeAnsiCodec(936).value()),
          m_store(makeMemoryRegistry(*m_codec)),
          m_layer(*m_store, *m_codec),
          m_framework(m_dialogs) {}

    // Creates the key (when given) and its values, then saves.
    void seed(RegKey root, const RunKey& key) {
        if (!key) return;
        RegKey handle = 0;
        ASSERT_EQ(m_store->RegCreateKeyExA(root, kRunKeyPath, 0, nullptr, 0, kKeyAllAccess, &handle,
                                           nullptr),
                  kErrorSuccess);
        for (const RunValue& value : *key) {
            const std::string name = m_codec->toAnsi(value.name).value();
            const std::string data =
                value.type == kRegDword ? value.data : m_codec->toAnsi(value.data).value() + '\0';
            ASSERT_EQ(m_store->RegSetValueExA(handle, name.c_str(), 0, value.type,
                                              reinterpret_cast<const std::uint8_t*>(data.data()),
                                              static_cast<std::uint32_t>(data.size())),
                      kErrorSuccess);
        }
        (void)m_store->RegCloseKey(handle);
        ASSERT_TRUE(m_store->flush().isOk());
    }

    bool hasValue(RegKey root, const std::string& name) {
        std::int32_t flag = 0;
        (void)m_layer.GetRegString(root, kRunKeyPath, name, kKeyAllAccess, flag);
        if (flag == 0) return true;
        (void)m_layer.GetRegExpandString(root, kRunKeyPath, name, kKeyAllAccess, flag);
        return flag == 0;
    }

    TreeRegistry& store() { return *m_store; }
    RegInfoGetSet& layer() { return m_layer; }
    ScriptedDialogs& dialogs() { return m_dialogs; }
    TweakFramework& framework() { return m_framework; }

  private:
    std::unique_ptr<AnsiCodec> m_codec;  // outlives the store
    std::unique_ptr<TreeRegistry> m_store;
    RegInfoGetSet m_layer;
    ScriptedDialogs m_dialogs;
    TweakFramework m_framework;
};

}  // namespace hivora::testing
