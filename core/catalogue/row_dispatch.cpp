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
    return runButtonAction(services, action, catalogue.refreshesDesktop);
}

RowOutcome runButtonAction(CatalogueServices& services, const ButtonAction& action,
                           bool refreshDesktop) {
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
    layer.beginAction();
    for (const RegOp& op : ops) {
        const Status status = applyRegOp(layer, op);
        anyTookEffect = anyTookEffect || status.isOk();
        outcome.status.update(status);
    }
    // A failed save drops the whole batch, so nothing of it took effect.
    const Status saved = layer.endAction();
    if (!saved.isOk()) anyTookEffect = false;
    outcome.status.update(saved);

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
    }
    return Status::error("未知的注册表操作");
}

}  // namespace hivora
