#pragma once
// The catalogue as data. A page is a list of rows; a row is its caption and the actions of its two
// buttons; an action is the registry operations it runs, in order, the outcome message it shows
// and whether it raises NeedsRestart. Rows that first ask the user something carry a dialogue: a
// small function that asks through the dialog services and returns the operations to run.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/catalogue/tweak_framework.h"
#include "core/catalogue/windows_version.h"
#include "core/dialog_services.h"
#include "core/registry/reg_info_get_set.h"
#include "platform/logon_secrets.h"
#include "platform/path_mapping.h"
#include "platform/registry_api.h"
#include "platform/status.h"
#include "platform/system_services.h"

namespace hivora {

// ---- Registry operations ----------------------------------------------------------------------

enum class RegOpKind {
    SetString,        // REG_SZ `text`
    SetExpandString,  // REG_EXPAND_SZ `text`
    SetDword,         // REG_DWORD `number`
    SetBinary,        // REG_BINARY, one byte per char of `text`
    DeleteValue,      // remove value `name`
    CreateKey,        // create key `key` empty (an existing key stays as it is)
    RemoveKey,        // remove key `key` itself
    // Bring back key `key` as it was when this program last removed it, values and sub-keys
    // included, where the change journal holds it. Without such a record: create it empty when
    // `number` is 1, leave it absent when 0. A key that exists is left as it is.
    RestoreKey,
    // Any value type: type `number` (as std::uint32_t), bytes `text` as stored (texts in the ANSI
    // code page). For values read from files, such as an imported .reg; no catalogue row uses it.
    SetRaw,
};

// One registry operation of a row action. `name` is the value name ("" the default value) and is
// unused by the two key operations.
struct RegOp {
    RegOpKind kind;
    RegKey root;
    std::string key;
    std::string name;
    std::string text;
    std::int32_t number = 0;

    bool operator==(const RegOp&) const = default;
};

// Builders, so that the tables read as "what is written where".
inline RegOp setString(RegKey root, std::string key, std::string name, std::string text) {
    return {RegOpKind::SetString, root, std::move(key), std::move(name), std::move(text), 0};
}
inline RegOp setExpandString(RegKey root, std::string key, std::string name, std::string text) {
    return {RegOpKind::SetExpandString, root, std::move(key), std::move(name), std::move(text), 0};
}
inline RegOp setDword(RegKey root, std::string key, std::string name, std::int32_t number) {
    return {RegOpKind::SetDword, root, std::move(key), std::move(name), {}, number};
}
inline RegOp setBinary(RegKey root, std::string key, std::string name, std::string_view bytes) {
    return {RegOpKind::SetBinary, root, std::move(key), std::move(name), std::string(bytes), 0};
}
inline RegOp deleteValue(RegKey root, std::string key, std::string name) {
    return {RegOpKind::DeleteValue, root, std::move(key), std::move(name), {}, 0};
}
inline RegOp createKey(RegKey root, std::string key) {
    return {RegOpKind::CreateKey, root, std::move(key), {}, {}, 0};
}
inline RegOp removeKey(RegKey root, std::string key) {
    return {RegOpKind::RemoveKey, root, std::move(key), {}, {}, 0};
}
inline RegOp restoreKey(RegKey root, std::string key, bool createWhenUnknown) {
    return {RegOpKind::RestoreKey, root, std::move(key), {}, {}, createWhenUnknown ? 1 : 0};
}

inline RegOp setRaw(RegKey root, std::string key, std::string name, std::uint32_t type,
                    std::string bytes) {
    return {RegOpKind::SetRaw, root, std::move(key), std::move(name), std::move(bytes),
            static_cast<std::int32_t>(type)};
}

// The four-byte binary flags, 01 00 00 00 and 00 00 00 00.
inline constexpr std::string_view kBinaryFlagOn{"\x01\0\0\0", 4};
inline constexpr std::string_view kBinaryFlagOff{"\0\0\0\0", 4};

// Whether `op` writes a policy (a key under "...\Policies\..."); running programs are told
// ("Policy") after an action that changed one.
bool writesPolicy(const RegOp& op);

// ---- Actions and rows -------------------------------------------------------------------------

// What a dialogue may use: the dialog services, the file tests, the scratch slot where it keeps
// the user's answers, and for the rows that need them the registry (to read before writing), the
// path mapping, the system directory and the secret store.
struct DialogueContext {
    DialogServices& dialogs;
    // Takes paths in either form: Windows paths are examined through the path mapping.
    const FileSystem& files;
    std::string& scratchText;
    RegInfoGetSet* layer = nullptr;
    const PathMapping* paths = nullptr;   // null: paths are written as they are
    std::string systemDirectory{};        // Windows form; "" when the store has none
    LogonSecretStore* secrets = nullptr;  // null: the password is a registry value
    // Set by a dialogue when something it did itself failed (a secret it could not store, a file
    // that does not exist). The operations it returns still run; the action then shows
    // "设置出错！" with the Status's message as a second line.
    Status failure{};
};

// The path to write for `path`, a path the user picked or typed: its Windows form when the store
// is a Wine prefix, otherwise `path` itself.
std::string pathForRegistry(const DialogueContext& context, const std::string& path);

// Asks the user and returns the operations to run, possibly none. Nothing (std::nullopt) ends the
// action at once: nothing is written, nothing refreshed, no message shown.
using Dialogue = std::optional<std::vector<RegOp>> (*)(DialogueContext&);

// What running programs are told after an action that changed something (on Windows; nothing
// elsewhere). Policy writes are announced without being named here (see writesPolicy).
enum class SettingNotice {
    None,
    International,    // WM_SETTINGCHANGE "intl"
    WindowMetrics,    // WM_SETTINGCHANGE "WindowMetrics"
    MenuAlignRight,   // SystemParametersInfo: menus drop to the right
    MenuAlignLeft,    //   ... to the left
    DragFullWindows,  // SystemParametersInfo: contents shown while dragging
    DragFrameOnly,    //   ... only the frame
};

struct ButtonAction {
    std::span<const RegOp> ops;  // the fixed operations, in order (unused when `ask` is set)
    Dialogue ask = nullptr;      // set for the rows that ask the user first
    OutcomeMessage outcome = OutcomeMessage::SetDone;  // shown when every operation succeeded
    bool raisesRestart = false;  // raised when the action changed the registry
    SettingNotice notice = SettingNotice::None;
    // How many of the last operations (of `ops`, or of what `ask` returns) write today's
    // location of a row widened for today's Windows (see CatalogueRow::todaysLocation). They run
    // like the others; live state shows them but judges the row by the operations before them.
    std::uint8_t todaysOps = 0;
};

struct CatalogueRow {
    std::string_view caption;
    ButtonAction set;   // set, forbid or hide
    ButtonAction lift;  // lift or show
    // The Windows generations on which what the row writes takes effect, as documented (the
    // source is named beside the table's entry). Empty: every generation, which is what a row
    // whose reach was not looked into says.
    WindowsGenerations takesEffectOn{};
    // Where today's Windows keeps the setting when that differs from what the row was first
    // written for, as "Policies\System DontDisplayLastUserName (HKLM)"; "" when it does not.
    // Shown in the row's tooltip beside its state. A row that names one also writes it: the
    // last ButtonAction::todaysOps operations of each button.
    std::string_view todaysLocation{};
};

// The pages whose rows are all two-button rows. The browser's page-address rows, the logon
// appearance buttons, the special folders and the registration info take text or show previews;
// their functions are in browser_page.h, logon_page.h and system_info_page.h.
enum class CataloguePage { Desktop, Restrictions, HideShow, BrowserProperties, LogonStyle };
enum class RowButton { Set, Lift };

struct PageCatalogue {
    std::span<const CatalogueRow> rows;
    ButtonKind setKind;  // the face kinds of the two buttons
    ButtonKind liftKind;
    bool refreshesDesktop;  // the desktop is refreshed after every completed action
};

// The two-button pages (defined in desktop_rows.cpp, restriction_rows.cpp, hide_show_rows.cpp,
// browser_property_rows.cpp and logon_style_rows.cpp).
const PageCatalogue& desktopCatalogue();
const PageCatalogue& restrictionsCatalogue();
const PageCatalogue& hideShowCatalogue();
const PageCatalogue& browserPropertiesCatalogue();  // 12 rows, set (kind 1) and unset (kind 5)
const PageCatalogue& logonStyleCatalogue();         // 4 rows, set (kind 1) and unset (kind 5)

}  // namespace hivora
