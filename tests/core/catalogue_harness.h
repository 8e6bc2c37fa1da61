#pragma once
// What the catalogue row tests share: a fresh in-memory store behind a recording decorator, the
// real access layer, a scripted dialog double, fake file attributes and a desktop refresher that
// notes when it was called. A row's expected effects are a list of Effects, compared with the
// registry calls the action made and read back from the store.

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/catalogue/row_dispatch.h"
#include "core/registry/reg_info_get_set.h"
#include "platform/ansi_codec.h"
#include "platform/tree_registry.h"
#include "tests/core/change_recording_registry.h"
#include "tests/core/scripted_dialogs.h"

namespace hivora::testing {

// ---- Expected effects -------------------------------------------------------------------------

struct Effect {
    RegChangeKind kind{};
    RegKey root = 0;
    std::string key{};
    std::string name{};
    std::uint32_t type = 0;
    std::string bytes{};

    bool operator==(const Effect&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Effect& effect) {
    static const char* const kKinds[] = {"CreateKey", "SetValue", "DeleteValue", "DeleteKey"};
    out << kKinds[static_cast<int>(effect.kind)] << "(" << std::hex << effect.root << std::dec
        << " \"" << effect.key << "\" \"" << effect.name << "\"";
    if (effect.kind == RegChangeKind::SetValue) {
        out << " type " << effect.type << " bytes";
        for (unsigned char c : effect.bytes) out << ' ' << std::hex << int(c) << std::dec;
    }
    return out << ")";
}

inline Effect sz(RegKey root, std::string key, std::string name, std::string text) {
    return {RegChangeKind::SetValue, root,   std::move(key),
            std::move(name),         kRegSz, std::move(text)};
}
inline Effect dword(RegKey root, std::string key, std::string name, std::uint32_t value) {
    std::string bytes{};
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return {RegChangeKind::SetValue, root, std::move(key), std::move(name), kRegDword, bytes};
}
inline Effect binary(RegKey root, std::string key, std::string name, std::string bytes) {
    return {RegChangeKind::SetValue, root,       std::move(key),
            std::move(name),         kRegBinary, std::move(bytes)};
}
inline Effect removed(RegKey root, std::string key, std::string name) {
    return {RegChangeKind::DeleteValue, root, std::move(key), std::move(name)};
}
inline Effect createdKey(RegKey root, std::string key) {
    return {RegChangeKind::CreateKey, root, std::move(key)};
}
inline Effect removedKey(RegKey root, std::string key) {
    return {RegChangeKind::DeleteKey, root, std::move(key)};
}

inline const std::string kOn{"\x01\0\0\0", 4};
inline const std::string kOff{"\0\0\0\0", 4};

// ---- Doubles ----------------------------------------------------------------------------------

class FakeFileSystem : public FileSystem {
  public:
    void add(const std::string& path, std::uint32_t attributes) { m_entries[path] = attributes; }
    std::optional<std::uint32_t> attributes(const std::string& path) const override {
        const auto found = m_entries.find(path);
        if (found == m_entries.end()) return std::nullopt;
        return found->second;
    }

  private:
    std::map<std::string, std::uint32_t> m_entries;
};

// Notes, for every refresh, how many message boxes had been shown before it.
class NotingRefresher : public DesktopRefresher {
  public:
    explicit NotingRefresher(const ScriptedDialogs& dialogs) : m_dialogs(dialogs) {}
    void refreshDesktop() override {
        m_boxesBefore.push_back(m_dialogs.callsOf(DialogKind::MessageBox).size());
    }
    const std::vector<std::size_t>& boxesBeforeEachRefresh() const { return m_boxesBefore; }

  private:
    const ScriptedDialogs& m_dialogs;
    std::vector<std::size_t> m_boxesBefore;
};

// ---- Harness ----------------------------------------------------------------------------------

// The user's answers for one action, per kind of dialog, in order.
struct Answers {
    std::vector<std::string> inputs{};
    std::vector<int> boxes{};
    std::vector<std::string> files{};
};

// Entries every harness's file system holds: one picture and its folder.
inline const std::string kExistingPicture = "C:\\pictures\\sea.bmp";
inline const std::string kExistingFolder = "C:\\pictures";

class CatalogueHarness {
  public:
    CatalogueHarness()
        : m_codec(makeAnsiCodec(kDefaultCodePage).value().release()),
          m_store(makeMemoryRegistry(*m_codec)),
          m_recorder(*m_store),
          m_layer(m_recorder, *m_codec),
          m_framework(m_dialogs),
          m_refresher(m_dialogs),
          m_services{m_layer, m_framework, m_files, m_refresher} {
        m_files.add(kExistingPicture, kFileAttributeArchive);
        m_files.add(kExistingFolder, kFileAttributeDirectory);
    }

    // `effect` as the store holds it: texts in the ANSI code page.
    Effect inAnsi(Effect effect) const {
        if (effect.type == kRegSz || effect.type == kRegExpandSz) {
            effect.bytes = m_codec->toAnsi(effect.bytes).value();
        }
        return effect;
    }
    std::vector<Effect> inAnsi(const std::vector<Effect>& effects) const {
        std::vector<Effect> converted;
        for (const Effect& effect : effects) converted.push_back(inAnsi(effect));
        return converted;
    }

    ChangeRecordingRegistry& recorder() { return m_recorder; }
    // From now on every save fails and drops its batch, as with a read-only registry file.
    void makeStoreReadOnly() { m_store->setFaults({.failFlush = true, .message = "只读"}); }
    ScriptedDialogs& dialogs() { return m_dialogs; }
    TweakFramework& framework() { return m_framework; }
    FakeFileSystem& files() { return m_files; }
    const NotingRefresher& refresher() const { return m_refresher; }
    CatalogueServices& services() { return m_services; }

    // Makes every value or key that `expected` removes exist first, so that the removal is a real
    // change the recorder sees; then forgets the calls made so far.
    void seedRemovalsOf(const std::vector<Effect>& expected) {
        for (const Effect& effect : expected) {
            if (effect.kind == RegChangeKind::DeleteValue) {
                EXPECT_TRUE(m_layer.SetRegString(effect.root, effect.key, effect.name, "seed", 0,
                                                 kKeyAllAccess));
            } else if (effect.kind == RegChangeKind::DeleteKey) {
                EXPECT_TRUE(m_layer.CreateRegKey(effect.root, effect.key, 0, kKeyAllAccess));
            }
        }
        m_recorder.clear();
    }

    void script(const Answers& answers) {
        for (const std::string& text : answers.inputs) m_dialogs.answerInputBox(text);
        for (int box : answers.boxes) m_dialogs.answerMessageBox(box);
        for (const std::string& path : answers.files) m_dialogs.answerOpenFile(path);
    }

    RowOutcome run(CataloguePage page, int row, RowButton button) {
        return runRowAction(m_services, page, row, button);
    }

    // The registry changes of the action, as the operations it asked for: the key creation that
    // a value write makes first is folded into the write.
    std::vector<Effect> effects() const {
        std::vector<Effect> found;
        const std::vector<RegChange>& changes = m_recorder.changes();
        for (std::size_t i = 0; i < changes.size(); ++i) {
            const RegChange& change = changes[i];
            const bool openedForWrite =
                change.kind == RegChangeKind::CreateKey && i + 1 < changes.size() &&
                changes[i + 1].kind == RegChangeKind::SetValue && changes[i + 1].key == change.key;
            if (openedForWrite) continue;
            found.push_back(
                {change.kind, change.root, change.key, change.name, change.type, change.bytes});
        }
        return found;
    }

    // Whether the store holds the value now.
    bool hasValue(RegKey root, const std::string& key, const std::string& name) {
        RegKey handle = 0;
        if (m_store->RegOpenKeyExA(root, key.c_str(), 0, kKeyRead, &handle) != kErrorSuccess) {
            return false;
        }
        const bool found = m_store->RegQueryValueExA(handle, name.c_str(), nullptr, nullptr,
                                                     nullptr) == kErrorSuccess;
        (void)m_store->RegCloseKey(handle);
        return found;
    }

    // Reads back from the store what `effect` left there.
    void expectStored(const Effect& effect) {
        RegKey key = 0;
        const bool keyExists = m_store->RegOpenKeyExA(effect.root, effect.key.c_str(), 0, kKeyRead,
                                                      &key) == kErrorSuccess;
        switch (effect.kind) {
            case RegChangeKind::CreateKey:
                EXPECT_TRUE(keyExists) << effect;
                break;
            case RegChangeKind::DeleteKey:
                EXPECT_FALSE(keyExists) << effect;
                break;
            case RegChangeKind::DeleteValue:
                if (keyExists) {
                    EXPECT_EQ(m_store->RegQueryValueExA(key, effect.name.c_str(), nullptr, nullptr,
                                                        nullptr),
                              kErrorFileNotFound)
                        << effect;
                }
                break;
            case RegChangeKind::SetValue: {
                ASSERT_TRUE(keyExists) << effect;
                std::uint32_t type = 0;
                std::uint32_t size = 0;
                ASSERT_EQ(
                    m_store->RegQueryValueExA(key, effect.name.c_str(), &type, nullptr, &size),
                    kErrorSuccess)
                    << effect;
                std::string bytes(size, '\0');
                ASSERT_EQ(
                    m_store->RegQueryValueExA(key, effect.name.c_str(), &type,
                                              reinterpret_cast<std::uint8_t*>(bytes.data()), &size),
                    kErrorSuccess);
                bytes.resize(size);
                // A text may be stored with its terminating NUL; the text itself must match.
                if ((type == kRegSz || type == kRegExpandSz) &&
                    bytes.size() == effect.bytes.size() + 1 && bytes.back() == '\0') {
                    bytes.pop_back();
                }
                EXPECT_EQ(type, effect.type) << effect;
                EXPECT_EQ(bytes, effect.bytes) << effect;
                break;
            }
        }
        if (keyExists) (void)m_store->RegCloseKey(key);
    }

  private:
    std::unique_ptr<AnsiCodec> m_codec;  // outlives the store
    std::unique_ptr<TreeRegistry> m_store;
    ChangeRecordingRegistry m_recorder;
    RegInfoGetSet m_layer;
    ScriptedDialogs m_dialogs;
    TweakFramework m_framework;
    FakeFileSystem m_files;
    NotingRefresher m_refresher;
    CatalogueServices m_services;
};

// ---- One row case -----------------------------------------------------------------------------

struct RowCase {
    const char* name{};
    int row{};
    RowButton button{};
    Answers answers{};
    std::vector<Effect> effects{};  // in order; empty when nothing is written
    OutcomeMessage message{};       // OutcomeMessage::None: the action ends silently
};

inline std::ostream& operator<<(std::ostream& out, const RowCase& c) {
    return out << c.name;
}

// Runs `c` on `page` against a fresh store and checks effects, read-back, message, restart flag
// and (for pages that refresh) that the desktop was refreshed once, before the message.
inline void checkRowCase(CataloguePage page, const RowCase& c, bool raisesRestart) {
    CatalogueHarness harness;
    harness.seedRemovalsOf(c.effects);
    harness.script(c.answers);

    const RowOutcome outcome = harness.run(page, c.row, c.button);

    const std::vector<Effect> expected = harness.inAnsi(c.effects);
    EXPECT_EQ(harness.effects(), expected);
    for (const Effect& effect : expected) harness.expectStored(effect);

    const std::vector<std::string> shown = harness.dialogs().messagePrompts();
    const bool completed = c.message != OutcomeMessage::None;
    EXPECT_EQ(outcome.completed, completed);
    EXPECT_TRUE(outcome.status.isOk()) << outcome.status.message();
    EXPECT_EQ(outcome.shown, c.message);
    ASSERT_FALSE(shown.empty() && completed);
    if (completed) {
        const DialogCall last = harness.dialogs().callsOf(DialogKind::MessageBox).back();
        EXPECT_EQ(last.prompt, std::string(outcomeText(c.message)));
        EXPECT_EQ(last.title, "提示信息");
        EXPECT_EQ(last.buttons, kMbOk);
        EXPECT_EQ(harness.framework().ScratchText(), std::string(outcomeText(c.message)));
    }
    EXPECT_EQ(harness.framework().NeedsRestart(), raisesRestart && completed && !c.effects.empty());

    const auto& refreshes = harness.refresher().boxesBeforeEachRefresh();
    if (pageCatalogue(page).refreshesDesktop && completed) {
        ASSERT_EQ(refreshes.size(), 1u);
        // Right before the outcome message, after any question the row asked.
        EXPECT_EQ(refreshes[0], shown.size() - 1);
    } else {
        EXPECT_TRUE(refreshes.empty());
    }
}

}  // namespace hivora::testing
