#pragma once
// What the catalogue row tests share: a fresh in-memory store behind a recording decorator, the
// real access layer, a scripted dialog double, fake file attributes and a desktop refresher that
// notes when it was called. A row's expected effects are a list of Effects, compared with the
// registry changes the action made, results included.

#include <gtest/gtest.h>

#include <concepts>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/catalogue/row_dispatch.h"
#include "core/registry/reg_info_get_set.h"
#include "platform/ansi_codec.h"
#include "platform/logon_secrets.h"
#include "platform/settings_broadcast.h"
#include "platform/tree_registry.h"
#include "tests/core/change_recording_registry.h"
#include "tests/core/scripted_dialogs.h"

namespace hivora::testing {

// ---- Expected effects -------------------------------------------------------------------------

// An expected registry change, as the recorder notes it; expected to succeed.
using Effect = RegChange;

inline Effect sz(RegKey root, std::string key, std::string name, std::string text) {
    return {RegChangeKind::SetValue, root, key, name, kRegSz, text};
}
inline Effect binary(RegKey root, std::string key, std::string name, std::string bytes) {
    return {RegChangeKind::SetValue, root, key, name, kRegBinary, bytes};
}
inline Effect dword(RegKey root, std::string key, std::string name, std::uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(value >> (8 * i));
    return {RegChangeKind::SetValue, root, key, name, kRegDword, bytes};
}
inline Effect removed(RegKey root, std::string key, std::string name) {
    return {RegChangeKind::DeleteValue, root, key, name};
}

inline const std::string kOn{"\x01\0\0\0", 4};
inline const std::string kOff{"\0\0\0\0", 4};

// ---- Doubles ----------------------------------------------------------------------------------

// The attributes of each path in `entries`; no others exist.
struct FakeFileSystem : FileSystem {
    std::optional<std::uint32_t> attributes(const std::string& path) const override {
        const auto found = entries.find(path);
        return found == entries.end() ? std::nullopt : std::optional(found->second);
    }
    std::map<std::string, std::uint32_t> entries;
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

// Notes every announcement as a word: the WM_SETTINGCHANGE area, or "menu:1", "drag:0" for the
// two system parameters.
struct RecordingBroadcaster : SettingsBroadcaster {
    Status announceSettingChange(const std::string& area) override {
        said.push_back(area);
        return answer;
    }
    Status setMenuDropAlignment(bool right) override {
        said.push_back(right ? "menu:1" : "menu:0");
        return answer;
    }
    Status setDragFullWindows(bool full) override {
        said.push_back(full ? "drag:1" : "drag:0");
        return answer;
    }
    std::vector<std::string> said;
    Status answer;  // what every call answers
};

// A secret store that keeps secrets in a map, as the LSA store keeps them, and can be told to
// refuse.
struct FakeSecretStore : LogonSecretStore {
    PasswordPlace place() const override { return PasswordPlace::LsaSecret; }
    Status storeSecret(const std::string& name, const std::string& secret) override {
        if (!refusal.isOk()) return refusal;
        secrets[name] = secret;
        return Status::ok();
    }
    Status removeSecret(const std::string& name) override {
        if (!refusal.isOk()) return refusal;
        secrets.erase(name);
        return Status::ok();
    }
    std::map<std::string, std::string> secrets;
    Status refusal;  // not ok: every call fails with it and changes nothing
};

struct FixedSystemFolder : SystemDirectory {
    std::string GetSystemDirectoryA() const override { return folder; }
    std::string folder;
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
// The system folder every harness has, and the address bar's library in it.
inline const std::string kSystemFolder = "C:\\WINDOWS\\system32";
inline const std::string kBrowseUi = kSystemFolder + "\\BROWSEUI.DLL";

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
        m_files.entries = {{kExistingPicture, kFileAttributeArchive},
                           {kExistingFolder, kFileAttributeDirectory},
                           {kBrowseUi, kFileAttributeArchive}};
        m_systemFolder.folder = kSystemFolder;
        m_services.systemDirectory = &m_systemFolder;
        m_services.broadcaster = &m_broadcaster;
    }

    // `effects` as the store holds them: texts in the ANSI code page.
    std::vector<Effect> inAnsi(std::vector<Effect> effects) const {
        for (Effect& effect : effects) {
            if (effect.type == kRegSz || effect.type == kRegExpandSz) {
                effect.bytes = m_codec->toAnsi(effect.bytes).value();
            }
        }
        return effects;
    }

    ChangeRecordingRegistry& recorder() { return m_recorder; }
    CatalogueServices& services() { return m_services; }
    RegInfoGetSet& layer() { return m_layer; }
    FakeFileSystem& files() { return m_files; }
    FixedSystemFolder& systemFolder() { return m_systemFolder; }
    RecordingBroadcaster& broadcaster() { return m_broadcaster; }
    // From now on every save fails and drops its batch, as with a read-only registry file.
    void makeStoreReadOnly() { m_store->setFaults(RegistryFaults::failingFlush("只读")); }
    ScriptedDialogs& dialogs() { return m_dialogs; }
    TweakFramework& framework() { return m_framework; }
    const NotingRefresher& refresher() const { return m_refresher; }

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
            const RegChange& c = changes[i];
            const bool openedForWrite =
                c.kind == RegChangeKind::CreateKey && i + 1 < changes.size() &&
                changes[i + 1].kind == RegChangeKind::SetValue && changes[i + 1].key == c.key;
            if (!openedForWrite) found.push_back(c);
        }
        return found;
    }

    // The value's text as the layer reads it ("" when it is missing or no REG_SZ).
    std::string text(RegKey root, const std::string& key, const std::string& name) {
        std::int32_t errorFlag = 0;
        return m_layer.GetRegString(root, key, name, kKeyAllAccess, errorFlag);
    }

    // Whether the store holds the value now.
    bool hasValue(RegKey root, const std::string& key, const std::string& name) {
        RegKey handle = 0;
        if (m_store->RegOpenKeyExA(root, key.c_str(), 0, kKeyRead, &handle) != kErrorSuccess) {
            return false;
        }
        const RegResult found =
            m_store->RegQueryValueExA(handle, name.c_str(), nullptr, nullptr, nullptr);
        (void)m_store->RegCloseKey(handle);
        return found == kErrorSuccess;
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
    FixedSystemFolder m_systemFolder;
    RecordingBroadcaster m_broadcaster;
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

// Table cases print as their names.
template <typename Case>
requires std::convertible_to<decltype(Case::name), const char*>
void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

// Runs `c` on `page` against a fresh store and checks that exactly its effects were made and
// succeeded, the outcome and its message, the restart flag and (for pages that refresh) that the
// desktop was refreshed once, right before the message and after any question the row asked.
inline void checkRowCase(CataloguePage page, const RowCase& c, bool raisesRestart) {
    CatalogueHarness harness;
    harness.seedRemovalsOf(c.effects);
    harness.script(c.answers);

    const RowOutcome outcome = harness.run(page, c.row, c.button);

    EXPECT_EQ(harness.effects(), harness.inAnsi(c.effects));
    const bool completed = c.message != OutcomeMessage::None;
    EXPECT_TRUE(outcome.status.isOk()) << outcome.status.message();
    EXPECT_EQ(outcome.completed, completed);
    EXPECT_EQ(outcome.shown, c.message);
    const std::vector<std::string> shown = harness.dialogs().messagePrompts();
    // Questions the row asked come first; the outcome message, if any, is the last box.
    const bool endsWithOutcome =
        !shown.empty() && (shown.back() == outcomeText(OutcomeMessage::SetDone) ||
                           shown.back() == outcomeText(OutcomeMessage::UnsetDone) ||
                           shown.back().starts_with(outcomeText(OutcomeMessage::SetError)) ||
                           shown.back() == outcomeText(OutcomeMessage::ResetDone));
    EXPECT_EQ(endsWithOutcome ? shown.back() : "", outcomeText(c.message));
    EXPECT_EQ(harness.framework().NeedsRestart(), raisesRestart && completed && !c.effects.empty());

    std::vector<std::size_t> refreshes;
    if (pageCatalogue(page).refreshesDesktop && completed) refreshes = {shown.size() - 1};
    EXPECT_EQ(harness.refresher().boxesBeforeEachRefresh(), refreshes);
}

// Fails unless `cases` hold both buttons of every row of `page`.
inline void expectEveryButtonCovered(CataloguePage page, std::span<const RowCase> cases) {
    std::set<std::pair<int, RowButton>> covered;
    for (const RowCase& c : cases) covered.insert({c.row, c.button});
    for (int row = 0; row < static_cast<int>(pageCatalogue(page).rows.size()); ++row) {
        EXPECT_TRUE(covered.count({row, RowButton::Set}) && covered.count({row, RowButton::Lift}))
            << "row " << row;
    }
}

}  // namespace hivora::testing
