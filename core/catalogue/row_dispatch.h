#pragma once
// Runs the action of one button of one catalogue row: asks the user if the row asks, applies the
// row's registry operations as one saved batch, raises NeedsRestart if the row needs it and a
// change took effect, refreshes the desktop where the page wants it, and shows the outcome.

#include "core/catalogue/action_observer.h"
#include "core/catalogue/catalogue_types.h"
#include "core/catalogue/tweak_framework.h"
#include "core/registry/reg_info_get_set.h"
#include "platform/logon_secrets.h"
#include "platform/path_mapping.h"
#include "platform/settings_broadcast.h"
#include "platform/status.h"
#include "platform/system_services.h"

namespace hivora {

// What a row action needs from the rest of the program.
// The four references are required; the pointers may stay null, which gives the behaviour of the
// program's private store on a host without Windows.
struct CatalogueServices {
    RegInfoGetSet& layer;
    TweakFramework& framework;  // NeedsRestart, ScratchText, the dialogs and the outcome messages
    const FileSystem& files;    // the host's files; Windows paths reach it through `paths`
    DesktopRefresher& refresher;
    // Windows paths <-> host paths (makeWinePathMapping for a Wine prefix). Null: identity.
    const PathMapping* paths = nullptr;
    // The Windows system directory. Null: the store has none.
    const SystemDirectory* systemDirectory = nullptr;
    // Told after actions that change what running programs show. Null: nobody is told.
    SettingsBroadcaster* broadcaster = nullptr;
    // The automatic logon password's keeper. Null: the password is the registry value.
    LogonSecretStore* secrets = nullptr;
    // Notes every action (the change journal); none: actions run unrecorded.
    ActionObserver* observer = nullptr;
    // The generation of Windows the registry belongs to (detectWindowsGeneration). Unknown: no
    // row is said to be without effect.
    WindowsGeneration windowsGeneration = WindowsGeneration::Unknown;
};

struct RowOutcome {
    // False when the action ended before writing (a dialogue that ends it, or no such row):
    // nothing was written or refreshed, and no outcome message shown beyond what the row's
    // contract names ("失败！" of the address bar row, the refusals of the logon picture select
    // and of a bad computer name), or "设置出错！" with the reason when the dialogue refused
    // (DialogueContext::failure) and gave nothing to write.
    bool completed = false;
    // The message shown: the action's own on success, SetError when anything failed.
    OutcomeMessage shown = OutcomeMessage::None;
    // Ok when every operation and the save succeeded; otherwise the first failure.
    Status status;
};

// The rows of `page`.
const PageCatalogue& pageCatalogue(CataloguePage page);

// The click of `button` on row `index` of `page`. An index outside the page does nothing and
// reports a failed status (completed stays false). A row without effect on
// services.windowsGeneration still runs; its outcome box, when the action succeeded, adds the
// line that says so (noEffectLine).
RowOutcome runRowAction(CatalogueServices& services, CataloguePage page, int index,
                        RowButton button);

// Runs one action; the engine behind runRowAction and behind the text-box rows (browser_page.h,
// logon_page.h, system_info_page.h), for pages whose buttons are single controls.
// A row is all or nothing. With an observer (the change journal, which reads every touched
// item's state first), the first failed operation ends the operations and the observer puts
// back what the row had written; the box then says "设置出错！", why, and "未作任何改动。", or
// names each item that could not be put back (those stay recorded, so they can be undone).
// Without an observer every operation is attempted, as there is nothing to put back from.
// A failed operation or save turns the message into "设置出错！"; when the first failure is
// access denied, the second line says that the setting needs administrator rights, otherwise it
// gives the failure's own message (a failure the dialogue reported, see DialogueContext::failure,
// included). After a completed action that
// changed something, running programs are told (a policy write: "Policy"; then the action's
// notice), and a failed announcement changes nothing of the outcome. NeedsRestart is raised only
// when the action asks for it, at least one of its operations succeeded (a removal of something
// already absent counts as succeeding) and the batch was saved. With `refreshDesktop`, the desktop
// is refreshed after the operations and before the message, also when something failed (what did
// change should show).
// With an observer, `label` names the action in its record, and a failure of the observer
// before the operations ends the action unwritten (shown as "设置出错！").
// `doneNote`, when not empty, is the second line of the action's own message on success.
RowOutcome runButtonAction(CatalogueServices& services, const ButtonAction& action,
                           bool refreshDesktop, const ActionLabel& label = {},
                           const std::string& doneNote = {});

// The stable name of `page` in records ("desktop", "restrictions", "hideShow", ...).
const char* pageName(CataloguePage page);

// One registry operation through the access layer, with create options 0 and full access.
// RestoreKey without a journal: CreateKey when its `number` is 1, nothing otherwise.
Status applyRegOp(RegInfoGetSet& layer, const RegOp& op);

// The last line of "设置出错！" when a failed row was put back whole, and the line before the
// list of what could not be.
inline constexpr const char* kNothingChangedLine = "未作任何改动。";
inline constexpr const char* kLeftChangedLine = "以下内容未能恢复：";

// The second line added to "设置出错！" when a change was refused for lack of rights.
inline constexpr const char* kNeedsAdministratorLine =
    "此项设置需要管理员权限，请以管理员身份运行本程序。";

// GetSystemDirectoryPath: the Windows system directory without a trailing backslash
// ("C:\windows\system32"), or "" when the store has none (the private store on a host without
// Windows).
std::string GetSystemDirectoryPath(const CatalogueServices& services);

}  // namespace hivora
