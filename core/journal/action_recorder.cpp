#include "core/journal/action_recorder.h"

#include <algorithm>

#include "core/catalogue/row_dispatch.h"
#include "core/journal/journal_items.h"

namespace hivora {

Status ActionRecorder::beforeOperations(RegInfoGetSet& layer, std::span<const RegOp> ops,
                                        const ActionLabel& label) {
    m_label = label;
    m_last.reset();
    m_appended = false;
    m_items.clear();
    Result<std::vector<JournalItem>> items =
        itemsTouchedBy(RegistryView{layer.api(), layer.codec()}, ops);
    if (!items)
        return Status::error("无法记录修改前的注册表内容：" + items.status().message(),
                             items.status().code());
    m_items = std::move(items).value();
    return Status::ok();
}

Status ActionRecorder::applyOperation(RegInfoGetSet& layer, const RegOp& op) {
    if (op.kind != RegOpKind::RestoreKey) return applyRegOp(layer, op);
    const RegistryView view{layer.api(), layer.codec()};
    Result<bool> exists = keyExists(view, op.root, op.key);
    if (!exists) return exists.status();
    if (exists.value()) return Status::ok();
    if (const JournalItem* removed = lastRemovedKey(m_journal, op.root, op.key))
        return writeKeyState(view, op.root, removed->key, removed->keyBefore);
    return applyRegOp(layer, op);
}

void ActionRecorder::rollBack(RegInfoGetSet& layer, std::vector<std::string>& leftChanged) {
    writeItemStates(RegistryView{layer.api(), layer.codec()}, m_items, true, leftChanged);
}

Status ActionRecorder::beforeSave(RegInfoGetSet& layer) {
    const RegistryView view{layer.api(), layer.codec()};
    Status read = readItemStates(view, m_items, false);
    // A key the action made is recorded as it is spelt now: the show button may bring a key back
    // spelt as it was when hidden, not as the row names it, and a redo must do the same.
    for (JournalItem& item : m_items) {
        if (!read || item.kind != ItemKind::Key || item.keyBefore.present || !item.keyAfter.present)
            continue;
        Result<std::string> stored = keyPathAsStored(view, item.root, item.key);
        if (stored) item.key = std::move(stored).value();
        read.update(stored.status());
    }
    JournalEntry entry;
    entry.label = m_label;
    entry.items = m_items;
    if (read && std::none_of(entry.items.begin(), entry.items.end(),
                             [](const JournalItem& i) { return i.changed(); }))
        return Status::ok();  // nothing changed: nothing to undo
    Status appended = read ? m_journal.append(entry) : read;
    if (appended) {
        m_appended = true;
        m_last = std::move(entry);
        return Status::ok();
    }
    // Without its record the action could not be undone: put everything back before the save.
    std::vector<std::string> failures;
    writeItemStates(view, m_items, true, failures);
    return Status::error("操作记录无法写入，修改已取消：" + appended.message(), appended.code());
}

void ActionRecorder::afterSave(const Status& saved) {
    if (saved || !m_appended || !m_last) return;
    // Should the mark itself fail, undo still finds the registry as the entry's `before`, which
    // it treats as nothing to overwrite.
    (void)m_journal.markVoid(m_last->id);
    m_last.reset();
}

}  // namespace hivora
