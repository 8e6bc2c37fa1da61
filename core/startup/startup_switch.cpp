// The startup list's switch commands and Winlogon's restore. Every command reads what it moves
// and writes it inside one held, recorded action, so that undo brings back exactly the bytes.

#include <chrono>

#include "core/catalogue/row_dispatch.h"
#include "core/journal/registry_state.h"
#include "core/startup/startup_list.h"

namespace hivora {

namespace {

FileTime systemFileTime() {
    const auto since1970 =
        std::chrono::duration_cast<std::chrono::duration<FileTime, std::ratio<1, 10'000'000>>>(
            std::chrono::system_clock::now().time_since_epoch());
    return kTicks1601To1970 + since1970.count();
}

// The live source of a place for a row of its backup, and the other way round.
const StartupSource& partnerOf(std::size_t source) {
    return startupSources()[source ^ 1u];
}

}  // namespace

std::optional<std::vector<RegOp>> StartupList::switchOps(const StartupRow& row, bool on,
                                                         Status& why) {
    if (row.key == kRemovedRowKey) {
        why = Status::error("该项已删除。");
        return std::nullopt;
    }
    const StartupSource& where = row.where();
    if (where.place == StartupPlace::Winlogon) {
        why = Status::error("Winlogon 的 " + row.name +
                            " 不能禁用。请在该行上单击右键，选择“恢复默认”改回 Windows 的默认值。");
        return std::nullopt;
    }
    if (m_keepingForRemoval) return folderSwitchOps(row, false, why);
    if (row.on == on) return std::vector<RegOp>{};

    const bool approved = m_rule == StartupSwitchRule::Approved && where.approvedKeyPath != nullptr;
    if (isFolderPlace(where.place) && !(approved && !where.backup))
        return folderSwitchOps(row, on, why);
    if (!where.backup && approved) {
        // Task Manager's own switch: the entry stays where it is.
        const FileTime now = on ? 0 : (m_clock ? m_clock() : systemFileTime());
        return std::vector<RegOp>{
            setBinary(where.root, where.approvedKeyPath, row.name, approvedValueBytes(on, now))};
    }
    if (!where.backup && on) {
        // On by approval only, under a rule that no longer reads it: nothing to move.
        return std::vector<RegOp>{};
    }

    // Moved whole between the place's key and its backup: type and bytes as stored.
    const RegistryView view{m_layer.api(), m_layer.codec()};
    const StartupSource& other = partnerOf(row.source);
    const Result<ValueState> value = readValueState(view, where.root, where.keyPath, row.name);
    if (!value) {
        why = value.status();
        return std::nullopt;
    }
    if (!value.value().present) {
        why = Status::error("该项已不存在：" + row.name, kErrorFileNotFound);
        return std::nullopt;
    }
    const Result<ValueState> there = readValueState(view, other.root, other.keyPath, row.name);
    if (!there) {
        why = there.status();
        return std::nullopt;
    }
    if (there.value().present) {
        why = Status::error((on ? "启动项中已有同名项：" : "已禁用的项中已有同名项：") + row.name);
        return std::nullopt;
    }
    std::vector<RegOp> ops{
        setRaw(other.root, other.keyPath, row.name, value.value().type, value.value().data),
        deleteValue(where.root, where.keyPath, row.name)};
    if (on && approved && approvedOff(other, row.name)) {
        // Back in a place whose approved value still says off: that would keep it off.
        ops.push_back(
            setBinary(other.root, other.approvedKeyPath, row.name, approvedValueBytes(true, 0)));
    }
    return ops;
}

Status StartupList::runAction(const std::vector<RegOp>& ops, const char* button) {
    // The caller holds the store (beginAction); this ends the bracket.
    Status watched =
        m_observer ? m_observer->beforeOperations(m_layer, ops, {"startup", -1, button, "开机启动"})
                   : Status();
    Status failure;
    for (const RegOp& op : ops) {
        if (!watched) break;
        failure.update(m_observer ? m_observer->applyOperation(m_layer, op)
                                  : applyRegOp(m_layer, op));
        if (!failure) break;  // the rest would only be put back
    }
    Status outcome = watched;
    outcome.update(failure);
    if (m_observer && watched && !failure) {
        std::vector<std::string> leftChanged;
        m_observer->rollBack(m_layer, leftChanged);
        // What could not be put back stays recorded, so that it can still be undone.
        if (!leftChanged.empty()) (void)m_observer->beforeSave(m_layer);
    } else if (m_observer && watched) {
        outcome.update(m_observer->beforeSave(m_layer));
    } else if (!failure) {
        // Unwatched: all or nothing where the store can drop what it has not saved.
        (void)m_layer.api().discardChanges();
    }
    const Status saved = m_layer.saveAction();
    outcome.update(saved);
    if (m_observer && watched) m_observer->afterSave(saved);
    (void)m_layer.endAction();
    return outcome;
}

SwitchOutcome StartupList::finish(SwitchOutcome outcome, const Status& status, int attempted,
                                  bool refresh) {
    outcome.status.update(status);
    if (attempted > 0) {
        if (status) {
            outcome.switched = attempted;
        } else {
            outcome.failed += attempted;
        }
    }
    if (outcome.switched > 0 && refresh) {
        RefreshStartupList();
        outcome.refreshed = true;
    }
    if (outcome.failed > 0) {
        outcome.shown = OutcomeMessage::SetError;
    } else if (outcome.switched > 0) {
        outcome.shown = OutcomeMessage::SetDone;
    }
    return outcome;
}

SwitchOutcome StartupList::switchRows(std::span<const std::size_t> rows, bool on) {
    SwitchOutcome outcome;
    // Held from before the values are read until they are saved.
    const Status held = m_layer.beginAction();
    std::vector<RegOp> ops;
    std::vector<std::size_t> switching;
    int attempted = 0;
    for (std::size_t row : rows) {
        Status why;
        std::optional<std::vector<RegOp>> rowOps =
            row < m_rows.size() && held ? switchOps(m_rows[row], on, why) : std::nullopt;
        if (!held) why = held;
        if (!rowOps) {
            ++outcome.failed;
            outcome.status.update(row < m_rows.size() ? why : Status::error("没有这一项。"));
            continue;
        }
        if (rowOps->empty()) continue;
        ++attempted;
        switching.push_back(row);
        ops.insert(ops.end(), rowOps->begin(), rowOps->end());
    }
    if (ops.empty()) {
        (void)m_layer.endAction();
        return finish(outcome, Status(), 0, false);
    }
    const Status done = runAction(ops, on ? "on" : "off");
    // A long list is not read again for one switch: the rows switched change in place.
    if (done)
        for (std::size_t row : switching) markSwitched(m_rows[row], on);
    // The files of the folder places follow the saved backup keys. A file that cannot move is
    // an error to report, and the list is read again to show where each file is.
    const Status files = done ? reconcileFolders() : Status();
    outcome = finish(outcome, done, attempted, !files.isOk());
    if (!files) {
        outcome.status.update(files);
        outcome.shown = OutcomeMessage::SetError;
    }
    return outcome;
}

void StartupList::markSwitched(StartupRow& row, bool on) {
    const StartupSource& where = row.where();
    const bool approved = !m_keepingForRemoval && m_rule == StartupSwitchRule::Approved &&
                          where.approvedKeyPath != nullptr;
    if (!(approved && !where.backup) && isFolderPlace(where.place)) {
        row.source = static_cast<std::uint8_t>(row.source ^ 1u);  // changed by name, no handle
    } else if (!(approved && !where.backup)) {
        // Moved to the other key of its place: the row follows it, with a handle of that key.
        row.source = static_cast<std::uint8_t>(row.source ^ 1u);
        const StartupSource& now = row.where();
        RegKey handle = 0;
        if (m_layer.api().RegOpenKeyA(now.root, now.keyPath, &handle) == kErrorSuccess) {
            m_openKeys.push_back(handle);
            row.key = handle;
        } else {
            row.key = kRemovedRowKey;  // gone again already: nothing left to act on
        }
    }
    if (approved) {
        const StartupSource& live = startupSources()[row.source & ~std::size_t{1}];
        const std::string id = startupApprovedId(live.root, live.approvedKeyPath, row.name);
        if (on) {
            m_approvedOff.erase(id);
        } else {
            m_approvedOff.insert(id);
        }
    }
    row.on = on;
    row.checkState = kUnchecked;  // done with, as a list read again would show it
}

SwitchOutcome StartupList::SwitchSelected(bool on) {
    std::vector<std::size_t> rows;
    for (std::size_t k = 0; k < m_rows.size(); ++k)
        if (m_rows[k].checkState == kChecked) rows.push_back(k);
    return switchRows(rows, on);
}

SwitchOutcome StartupList::restoreDefaultRows(std::span<const std::size_t> rows) {
    SwitchOutcome outcome;
    const Status held = m_layer.beginAction();
    std::vector<RegOp> ops;
    for (std::size_t row : rows) {
        const bool winlogon = row < m_rows.size() && m_rows[row].key != kRemovedRowKey &&
                              m_rows[row].where().place == StartupPlace::Winlogon;
        if (!winlogon || !held) {
            ++outcome.failed;
            outcome.status.update(held ? Status::error("只有 Winlogon 的项可以恢复默认。") : held);
            continue;
        }
        const StartupSource& where = m_rows[row].where();
        ops.push_back(setString(where.root, where.keyPath, m_rows[row].name,
                                std::string(winlogonDefault(m_rows[row].name))));
    }
    if (ops.empty()) {
        (void)m_layer.endAction();
        return finish(outcome, Status(), 0, true);
    }
    const int attempted = static_cast<int>(ops.size());
    return finish(outcome, runAction(ops, "restoreDefault"), attempted, true);
}

SwitchOutcome StartupList::RestoreDefaults() {
    std::vector<std::size_t> rows;
    for (std::size_t k = 0; k < m_rows.size(); ++k)
        if (m_rows[k].checkState == kChecked) rows.push_back(k);
    return restoreDefaultRows(rows);
}

}  // namespace hivora
