#include "core/startup/startup_list.h"

#include <algorithm>

namespace hivora {

namespace {

// The two Run keys in the order the list shows them.
constexpr RegKey kRunRoots[] = {kHkeyCurrentUser, kHkeyLocalMachine};

}  // namespace

std::string runKeyDisplayName(RegKey root) {
    return std::string(rootName(root)) + "\\" + kRunKeyPath;
}

StartupList::~StartupList() {
    ClearStartupRows();
}

std::size_t StartupList::RefreshStartupList() {
    ClearStartupRows();
    for (RegKey root : kRunRoots) readRunKey(root);
    return m_rows.size();
}

void StartupList::readRunKey(RegKey root) {
    const std::int16_t count =
        m_layer.EnumRegValues(root, kRunKeyPath, m_names, m_texts, m_handles);
    if (count < 1) return;  // missing key (-1) or no values: the layer closed it again

    const std::size_t first = static_cast<std::size_t>(m_layer.OpenKeyHandleCount()) - count;
    const RegKey key = m_handles[first];
    m_openKeys.push_back(key);
    m_rows.reserve(m_rows.size() + static_cast<std::size_t>(count));
    for (std::int16_t i = 0; i < count; ++i) {
        StartupRow row;
        row.name = std::move(m_names[i]);
        row.text = std::move(m_texts[i]);
        if (row.text.empty()) {
            // A command line with %variables% is commonly stored as REG_EXPAND_SZ; the listing
            // reads REG_SZ only, so such an entry would otherwise show no command at all.
            std::int32_t flag = 0;
            std::string expandable =
                m_layer.GetRegExpandString(root, kRunKeyPath, row.name, kKeyAllAccess, flag);
            if (flag == 0) row.text = std::move(expandable);
        }
        row.key = m_handles[first + static_cast<std::size_t>(i)];
        row.root = root;
        m_rows.push_back(std::move(row));
    }
}

void StartupList::ClearStartupRows() {
    // Every key is closed once, whether rows still refer to it or not: a key whose rows have all
    // been removed is still open.
    for (RegKey key : m_openKeys) m_layer.CloseRegKey(key);
    m_openKeys.clear();
    m_rows.clear();
    m_handles.clear();
    m_layer.OpenKeyHandleCount() = 0;
}

std::vector<RegKey> StartupList::OpenKeyHandles() const {
    std::vector<RegKey> handles;
    handles.reserve(m_rows.size());
    for (const StartupRow& row : m_rows) handles.push_back(row.key);
    return handles;
}

void StartupList::setCheckState(std::size_t row, int state) {
    if (row < m_rows.size()) m_rows[row].checkState = state;
}

void StartupList::SelectAll() {
    for (StartupRow& row : m_rows) row.checkState = kChecked;
}

void StartupList::InvertSelection() {
    for (StartupRow& row : m_rows) row.checkState = (row.checkState + 1) % 2;
}

bool StartupList::removeRow(std::size_t row) {
    if (row >= m_rows.size()) return false;
    StartupRow& target = m_rows[row];
    if (target.key == kRemovedRowKey) return false;
    if (m_layer.DeleteRegValueInKey(target.key, target.name) != kErrorSuccess) return false;
    target.key = kRemovedRowKey;
    return true;
}

RemovalOutcome StartupList::RemoveSelected() {
    RemovalOutcome outcome;
    std::vector<std::pair<std::size_t, RegKey>> deleted;  // row and the key it had

    // The store is held from here to the save; when it cannot be, nothing is removed.
    Status watched = m_layer.beginAction();
    if (m_observer && watched) {
        std::vector<RegOp> ops;
        for (const StartupRow& row : m_rows)
            if (row.checkState == kChecked && row.key != kRemovedRowKey)
                ops.push_back(deleteValue(row.root, kRunKeyPath, row.name));
        watched = m_observer->beforeOperations(m_layer, ops, {"startup", -1, "remove", "开机启动"});
    }
    for (std::size_t k = 0; k < m_rows.size(); ++k) {
        if (m_rows[k].checkState != kChecked) continue;
        if (!watched) {
            ++outcome.failed;
            continue;
        }
        const RegKey key = m_rows[k].key;
        if (removeRow(k)) {
            deleted.emplace_back(k, key);
        } else {
            ++outcome.failed;
        }
    }
    if (m_observer && watched && !m_observer->beforeSave(m_layer)) {
        // Unrecorded, the removal is taken back (the observer restored the values).
        outcome.failed += static_cast<int>(deleted.size());
        for (const auto& [row, key] : deleted) m_rows[row].key = key;
        deleted.clear();
    }
    const Status saved = m_layer.saveAction();
    if (m_observer && watched) m_observer->afterSave(saved);
    (void)m_layer.endAction();
    if (!saved) {
        // The save failed and the store dropped the batch: the values are all still there.
        for (const auto& [row, key] : deleted) m_rows[row].key = key;
        outcome.failed += static_cast<int>(deleted.size());
        deleted.clear();
    }
    outcome.removed = static_cast<int>(deleted.size());

    if (outcome.removed > 0) {
        RefreshStartupList();
        outcome.refreshed = true;
    }
    if (outcome.failed > 0) {
        outcome.shown = OutcomeMessage::SetError;
    } else if (outcome.removed > 0) {
        outcome.shown = OutcomeMessage::SetDone;
    }
    return outcome;
}

}  // namespace hivora
