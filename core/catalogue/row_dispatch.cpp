#include "core/catalogue/row_dispatch.h"

#include <string>
#include <vector>

namespace hivora {

const PageCatalogue& pageCatalogue(CataloguePage page) {
    switch (page) {
        case CataloguePage::Desktop:
            return desktopCatalogue();
        case CataloguePage::Restrictions:
            return restrictionsCatalogue();
        case CataloguePage::HideShow:
            return hideShowCatalogue();
    }
    return desktopCatalogue();
}

RowOutcome runRowAction(CatalogueServices& services, CataloguePage page, int index,
                        RowButton button) {
    const PageCatalogue& catalogue = pageCatalogue(page);
    if (index < 0 || static_cast<std::size_t>(index) >= catalogue.rows.size()) {
        RowOutcome outcome;
        outcome.status = Status::error("没有第 " + std::to_string(index) + " 行");
        return outcome;
    }
    const CatalogueRow& row = catalogue.rows[static_cast<std::size_t>(index)];
    const ButtonAction& action = button == RowButton::Set ? row.set : row.lift;
    const ActionLabel label{pageName(page), index, button == RowButton::Set ? "set" : "lift",
                            std::string(row.caption)};
    return runButtonAction(services, action, catalogue.refreshesDesktop, label);
}

const char* pageName(CataloguePage page) {
    switch (page) {
        case CataloguePage::Desktop:
            return "desktop";
        case CataloguePage::Restrictions:
            return "restrictions";
        case CataloguePage::HideShow:
            return "hideShow";
    }
    return "";
}

RowOutcome runButtonAction(CatalogueServices& services, const ButtonAction& action,
                           bool refreshDesktop, const ActionLabel& label) {
    RowOutcome outcome;
    std::vector<RegOp> ops(action.ops.begin(), action.ops.end());
    if (action.ask != nullptr) {
        DialogueContext context{services.framework.dialogs(), services.files,
                                services.framework.ScratchText()};
        auto asked = action.ask(context);
        if (!asked) return outcome;
        ops = std::move(*asked);
    }
    outcome.completed = true;

    RegInfoGetSet& layer = services.layer;
    bool anyTookEffect = false;
    ActionObserver* observer = services.observer;
    layer.beginAction();
    const Status watched = observer ? observer->beforeOperations(layer, ops, label) : Status();
    for (const RegOp& op : ops) {
        if (!watched) break;
        const Status status =
            observer ? observer->applyOperation(layer, op) : applyRegOp(layer, op);
        anyTookEffect = anyTookEffect || status.isOk();
        outcome.status.update(status);
    }
    outcome.status.update(watched);
    if (observer && watched) {
        const Status recorded = observer->beforeSave(layer);
        if (!recorded) anyTookEffect = false;
        outcome.status.update(recorded);
    }
    // A failed save drops the whole batch, so nothing of it took effect.
    const Status saved = layer.endAction();
    if (!saved.isOk()) anyTookEffect = false;
    outcome.status.update(saved);
    if (observer && watched) observer->afterSave(saved);

    if (action.raisesRestart && anyTookEffect) services.framework.raiseNeedsRestart();
    if (refreshDesktop) services.refresher.refreshDesktop();

    outcome.shown = outcome.status.isOk() ? action.outcome : OutcomeMessage::SetError;
    services.framework.show(outcome.shown);
    return outcome;
}

Status applyRegOp(RegInfoGetSet& layer, const RegOp& op) {
    constexpr std::uint32_t kCreateOptions = kRegOptionNonVolatile;
    constexpr std::uint32_t kAccess = kKeyAllAccess;
    switch (op.kind) {
        case RegOpKind::SetString:
            return layer.SetRegString(op.root, op.key, op.name, op.text, kCreateOptions, kAccess);
        case RegOpKind::SetExpandString:
            return layer.SetRegExpandString(op.root, op.key, op.name, op.text, kCreateOptions,
                                            kAccess);
        case RegOpKind::SetDword:
            return layer.SetRegDword(op.root, op.key, op.name, op.number, kCreateOptions, kAccess);
        case RegOpKind::SetBinary:
            return layer.SetRegBinary(op.root, op.key, op.name, op.text, kCreateOptions, kAccess);
        case RegOpKind::DeleteValue:
            return layer.DeleteRegValue(op.root, op.key, op.name, kAccess);
        case RegOpKind::CreateKey:
            return layer.CreateRegKey(op.root, op.key, kCreateOptions, kAccess);
        case RegOpKind::RemoveKey:
            return layer.RemoveRegKey(op.root, op.key, kAccess);
        case RegOpKind::RestoreKey:
            return op.number == 1 ? layer.CreateRegKey(op.root, op.key, kCreateOptions, kAccess)
                                  : Status::ok();
    }
    return Status::error("未知的注册表操作");
}

}  // namespace hivora
