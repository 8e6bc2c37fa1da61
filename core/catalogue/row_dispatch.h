#pragma once
// Runs the action of one button of one catalogue row: asks the user if the row asks, applies the
// row's registry operations as one saved batch, raises NeedsRestart if the row needs it and a
// change took effect, refreshes the desktop where the page wants it, and shows the outcome.

#include "core/catalogue/action_observer.h"
#include "core/catalogue/catalogue_types.h"
#include "core/catalogue/tweak_framework.h"
#include "core/registry/reg_info_get_set.h"
#include "platform/status.h"
#include "platform/system_services.h"

namespace hivora {

// What a row action needs from the rest of the program.
struct CatalogueServices {
    RegInfoGetSet& layer;
    TweakFramework& framework;  // NeedsRestart, ScratchText, the dialogs and the outcome messages
    const FileSystem& files;
    DesktopRefresher& refresher;
    // Notes every action (the change journal); none: actions run unrecorded.
    ActionObserver* observer = nullptr;
};

struct RowOutcome {
    // False when the action ended before writing (a dialogue that ends it, or no such row):
    // nothing was written, refreshed or shown.
    bool completed = false;
    // The message shown: the action's own on success, SetError when anything failed.
    OutcomeMessage shown = OutcomeMessage::None;
    // Ok when every operation and the save succeeded; otherwise the first failure.
    Status status;
};

// The rows of `page`.
const PageCatalogue& pageCatalogue(CataloguePage page);

// The click of `button` on row `index` of `page`. An index outside the page does nothing and
// reports a failed status (completed stays false).
RowOutcome runRowAction(CatalogueServices& services, CataloguePage page, int index,
                        RowButton button);

// Runs one action; the engine behind runRowAction, for pages whose buttons are single controls.
// Every operation is attempted even after one fails, so that a write the user may make (under
// HKEY_CURRENT_USER) is not held back by one that needs more rights. A failed operation or save
// turns the message into "设置出错！". NeedsRestart is raised only when the action asks for it, at
// least one of its operations succeeded (a removal of something already absent counts as
// succeeding) and the batch was saved. With `refreshDesktop`, the desktop is refreshed after the
// operations and before the message, also when something failed (what did change should show).
// With an observer, `label` names the action in its record, and a failure of the observer
// before the operations ends the action unwritten (shown as "设置出错！").
RowOutcome runButtonAction(CatalogueServices& services, const ButtonAction& action,
                           bool refreshDesktop, const ActionLabel& label = {});

// The stable name of `page` in records ("desktop", "restrictions", "hideShow").
const char* pageName(CataloguePage page);

// One registry operation through the access layer, with create options 0 and full access.
// RestoreKey without a journal: CreateKey when its `number` is 1, nothing otherwise.
Status applyRegOp(RegInfoGetSet& layer, const RegOp& op);

}  // namespace hivora
