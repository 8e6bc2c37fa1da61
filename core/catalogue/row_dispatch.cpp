#include "core/catalogue/row_dispatch.h"

#include <cctype>
#include <memory>
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
        case CataloguePage::BrowserProperties:
            return browserPropertiesCatalogue();
        case CataloguePage::LogonStyle:
            return logonStyleCatalogue();
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
    // The user may be preparing an older system, so the row runs; the box only says so.
    return runButtonAction(services, action, catalogue.refreshesDesktop, label,
                           noEffectLine(row.takesEffectOn, services.windowsGeneration));
}

const char* pageName(CataloguePage page) {
    switch (page) {
        case CataloguePage::Desktop:
            return "desktop";
        case CataloguePage::Restrictions:
            return "restrictions";
        case CataloguePage::HideShow:
            return "hideShow";
        case CataloguePage::BrowserProperties:
            return "browserProperties";
        case CataloguePage::LogonStyle:
            return "logonStyle";
    }
    return "";
}

namespace {

// Tells running programs what changed. Announcements are best effort: the registry already holds
// the setting, so a failed broadcast leaves the outcome as it is.
void announce(SettingsBroadcaster& broadcaster, bool policyChanged, SettingNotice notice) {
    if (policyChanged) (void)broadcaster.announceSettingChange("Policy");
    switch (notice) {
        case SettingNotice::None:
            break;
        case SettingNotice::International:
            (void)broadcaster.announceSettingChange("intl");
            break;
        case SettingNotice::WindowMetrics:
            (void)broadcaster.announceSettingChange("WindowMetrics");
            break;
        case SettingNotice::MenuAlignRight:
        case SettingNotice::MenuAlignLeft:
            (void)broadcaster.setMenuDropAlignment(notice == SettingNotice::MenuAlignRight);
            break;
        case SettingNotice::DragFullWindows:
        case SettingNotice::DragFrameOnly:
            (void)broadcaster.setDragFullWindows(notice == SettingNotice::DragFullWindows);
            break;
    }
}

// The line under "设置出错！": why the action failed.
std::string failureLine(const Status& status) {
    if (status.code() == kErrorAccessDenied) return kNeedsAdministratorLine;
    return status.message();
}

}  // namespace

RowOutcome runButtonAction(CatalogueServices& services, const ButtonAction& action,
                           bool refreshDesktop, const ActionLabel& label,
                           const std::string& doneNote) {
    RowOutcome outcome;
    std::vector<RegOp> ops(action.ops.begin(), action.ops.end());
    if (action.ask != nullptr) {
        const std::unique_ptr<PathMapping> identity =
            services.paths ? nullptr : makeIdentityPathMapping();
        const PathMapping& paths = services.paths ? *services.paths : *identity;
        const MappedFileSystem files(services.files, paths);
        DialogueContext context{services.framework.dialogs(), files,
                                services.framework.ScratchText()};
        context.layer = &services.layer;
        context.paths = services.paths;
        context.systemDirectory = GetSystemDirectoryPath(services);
        context.secrets = services.secrets;
        auto asked = action.ask(context);
        if (!asked) return outcome;
        ops = std::move(*asked);
        outcome.status = context.failure;
        if (!context.failure.isOk() && ops.empty()) {
            // The dialogue refused before anything was written: said, but not completed.
            outcome.shown = OutcomeMessage::SetError;
            services.framework.show(outcome.shown, failureLine(outcome.status));
            return outcome;
        }
    }
    outcome.completed = true;

    RegInfoGetSet& layer = services.layer;
    bool anyTookEffect = false;
    ActionObserver* observer = services.observer;
    bool policyChanged = false;
    // The store is held from here to the save; when it cannot be, nothing is written.
    const Status held = layer.beginAction();
    const Status watched = !held      ? held
                           : observer ? observer->beforeOperations(layer, ops, label)
                                      : Status();
    Status firstOpFailure;
    for (const RegOp& op : ops) {
        if (!watched) break;
        const Status status =
            observer ? observer->applyOperation(layer, op) : applyRegOp(layer, op);
        anyTookEffect = anyTookEffect || status.isOk();
        policyChanged = policyChanged || (status.isOk() && writesPolicy(op));
        firstOpFailure.update(status);
        // With the states before in hand, the rest is not attempted: it would be put back.
        if (!status && observer) break;
    }
    outcome.status.update(firstOpFailure);
    outcome.status.update(watched);
    std::string rollBackLines;
    if (observer && watched && !firstOpFailure) {
        // All or nothing: what the row wrote before the failure is put back. Whatever cannot be
        // put back is recorded, so that it can still be undone, and named to the user.
        std::vector<std::string> leftChanged;
        observer->rollBack(layer, leftChanged);
        if (leftChanged.empty()) {
            anyTookEffect = policyChanged = false;
            rollBackLines = kNothingChangedLine;
        } else {
            (void)observer->beforeSave(layer);
            rollBackLines = kLeftChangedLine;
            for (const std::string& line : leftChanged) rollBackLines += "\r\n" + line;
        }
    } else if (observer && watched) {
        const Status recorded = observer->beforeSave(layer);
        if (!recorded) anyTookEffect = false;
        outcome.status.update(recorded);
    }
    // A failed save drops the whole batch, so nothing of it took effect.
    const Status saved = layer.saveAction();
    if (!saved.isOk()) anyTookEffect = policyChanged = false;
    outcome.status.update(saved);
    // Still holding the store, so that the record of a failed save is written before anyone else's.
    if (observer && watched) observer->afterSave(saved);
    (void)layer.endAction();

    if (action.raisesRestart && anyTookEffect) services.framework.raiseNeedsRestart();
    if (anyTookEffect && services.broadcaster != nullptr) {
        announce(*services.broadcaster, policyChanged, action.notice);
    }
    if (refreshDesktop) services.refresher.refreshDesktop();

    if (outcome.status.isOk()) {
        outcome.shown = action.outcome;
        services.framework.show(outcome.shown, doneNote);
    } else {
        outcome.shown = OutcomeMessage::SetError;
        std::string lines = failureLine(outcome.status);
        if (!rollBackLines.empty()) lines += (lines.empty() ? "" : "\r\n") + rollBackLines;
        services.framework.show(outcome.shown, lines);
    }
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
        case RegOpKind::SetRaw:
            return layer.SetRegRaw(op.root, op.key, op.name, static_cast<std::uint32_t>(op.number),
                                   op.text, kCreateOptions, kAccess);
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

std::string GetSystemDirectoryPath(const CatalogueServices& services) {
    if (services.systemDirectory == nullptr) return {};
    std::string folder = services.systemDirectory->GetSystemDirectoryA();
    // A drive's root ("C:\") keeps its separator; any other folder is given without one.
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    return folder;
}

bool writesPolicy(const RegOp& op) {
    if (op.kind == RegOpKind::CreateKey || op.kind == RegOpKind::RemoveKey) return false;
    std::string key = "\\" + op.key + "\\";
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key.find("\\policies\\") != std::string::npos;
}

std::string pathForRegistry(const DialogueContext& context, const std::string& path) {
    return context.paths ? context.paths->windowsPath(path) : path;
}

}  // namespace hivora
