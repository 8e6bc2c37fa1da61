#pragma once
// A watcher of row actions: the change journal hooks in here to note what an action changes and
// to bring back keys an earlier action removed. The catalogue knows only this interface.

#include <span>
#include <string>
#include <vector>

#include "core/catalogue/catalogue_types.h"
#include "core/registry/reg_info_get_set.h"
#include "platform/status.h"

namespace hivora {

// Which button of which row ran an action, for the record. Empty parts are unknown.
struct ActionLabel {
    std::string page;     // a stable page name: "desktop", "restrictions", "hideShow", ...
    int row = -1;         // the row's index on its page, -1 for a single control
    std::string button;   // "set" or "lift" for the two-button rows, or the control's own name
    std::string caption;  // the row's caption as shown
};

// The calls runButtonAction makes, all inside the action's save bracket (beginAction/endAction).
class ActionObserver {
  public:
    virtual ~ActionObserver() = default;

    // Before the first operation. A failure ends the action at once: nothing has been written
    // and the failure is shown as "设置出错！".
    virtual Status beforeOperations(RegInfoGetSet& layer, std::span<const RegOp> ops,
                                    const ActionLabel& label) = 0;
    // Runs one operation in place of applyRegOp, with the same result.
    virtual Status applyOperation(RegInfoGetSet& layer, const RegOp& op) = 0;
    // After an operation failed, in place of beforeSave: puts every item the operations touch
    // back as it was before the action, so that the action changes nothing. Each item that could
    // not be put back adds a line "where：why" to `leftChanged`.
    virtual void rollBack(RegInfoGetSet& layer, std::vector<std::string>& leftChanged) = 0;
    // After the operations, before the save: records the action durably. On failure the unsaved
    // changes have been put back to what they were before the action, so the save that follows
    // changes nothing, and the Status says why.
    virtual Status beforeSave(RegInfoGetSet& layer) = 0;
    // After the save, with its outcome (a failed save dropped the action's changes).
    virtual void afterSave(const Status& saved) = 0;
};

}  // namespace hivora
