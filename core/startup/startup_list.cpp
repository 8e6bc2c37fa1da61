#include "core/startup/startup_list.h"

#include <algorithm>

#include "core/journal/registry_state.h"
#include "platform/shortcut_file.h"

namespace hivora {

std::string shortcutCommand(const ShortcutTarget& shortcut) {
    const std::string& target = shortcut.target;
    std::string text = target.find(' ') == std::string::npos ? target : "\"" + target + "\"";
    if (!shortcut.arguments.empty()) text += " " + shortcut.arguments;
    return text;
}

std::string runKeyDisplayName(RegKey root) {
    return std::string(rootName(root)) + "\\" + kRunKeyPath;
}

StartupList::~StartupList() {
    ClearStartupRows();
}

std::size_t StartupList::RefreshStartupList() {
    ClearStartupRows();
    if (m_machine) {
        m_rule = startupSwitchRule(detectWindowsGeneration(m_layer), m_machine->wine);
        m_lookup.reset();
        if (m_machine->files != nullptr && m_machine->paths != nullptr)
            m_lookup = ProgramLookup{
                m_machine->files, m_machine->paths, readStartupEnvironment(m_layer), {}};
    }
    readApproved();
    // Files left behind by an undo or redo of a folder switch move now, in a list that records
    // its changes (a listing only reads); what cannot move is listed where it is.
    (void)followBackupKeys();
    const auto sources = startupSources();
    for (std::size_t source = 0; source < sources.size(); ++source) {
        if (sources[source].place == StartupPlace::Winlogon) {
            readWinlogon();
        } else if (isFolderPlace(sources[source].place)) {
            if (sources[source].backup) {
                readFolderBackup(source);
            } else {
                readFolder(source);
            }
        } else {
            readKey(source);
        }
    }
    // Programs are looked for as rows are shown (markedRow): one look at the disk per row of a
    // long list would cost more than reading it.
    if (m_lookup) m_lookup->known.clear();  // files come and go between refreshes
    return m_rows.size();
}

const StartupRow& StartupList::markedRow(std::size_t index) {
    StartupRow& row = m_rows[index];
    if (row.missingLooked) return row;
    row.missingLooked = true;
    // An unreadable shortcut names no program to look for.
    if (!m_lookup || (isFolderPlace(row.where().place) && row.text == kUnreadableText)) return row;
    std::optional<std::string> missing = missingProgram(*m_lookup, row.text, row.expandable);
    row.missing = missing.has_value();
    if (missing) row.missingPath = std::move(*missing);
    return row;
}

void StartupList::markAllRows() {
    for (std::size_t k = 0; k < m_rows.size(); ++k) (void)markedRow(k);
}

void StartupList::readApproved() {
    if (m_rule != StartupSwitchRule::Approved) return;
    const RegistryView view{m_layer.api(), m_layer.codec()};
    for (const StartupSource& where : startupSources()) {
        // Each approved key belongs to exactly one live source of its root.
        if (where.backup || where.approvedKeyPath == nullptr) continue;
        const Result<KeyState> key = readKeyState(view, where.root, where.approvedKeyPath);
        if (!key) continue;  // unreadable: every entry counts as on, as Windows takes it
        for (const NamedValue& value : key.value().values) {
            if (approvedValueSaysOff(value.type, value.data))
                m_approvedOff.insert(
                    startupApprovedId(where.root, where.approvedKeyPath, value.name));
        }
    }
}

bool StartupList::approvedOff(const StartupSource& where, const std::string& name) const {
    return m_rule == StartupSwitchRule::Approved && where.approvedKeyPath != nullptr &&
           !m_approvedOff.empty() &&
           m_approvedOff.count(startupApprovedId(where.root, where.approvedKeyPath, name)) != 0;
}

void StartupList::readFolder(std::size_t source) {
    if (!m_machine || m_machine->files == nullptr) return;
    const StartupSource& where = startupSources()[source];
    const std::optional<FolderPaths> paths = folderPaths(source);
    if (!paths) return;
    const std::string& host = paths->live;
    for (FolderFile& file : folderFiles(host)) {
        StartupRow row;
        const std::string path = host + "/" + file.name;
        ReadShortcut& known = m_shortcuts[path];
        if (known.text.empty() || known.size != file.size || known.modified != file.modified) {
            const Result<ShortcutTarget> shortcut = readShortcut(path);
            if (!shortcut) {
                known.text = kUnreadableText;
            } else {
                known.text = shortcutCommand(shortcut.value());
            }
            known.size = file.size;
            known.modified = file.modified;
        }
        row.text = known.text;
        row.name = std::move(file.name);
        row.key = 0;  // a file, not a value
        row.root = where.root;
        row.source = static_cast<std::uint8_t>(source);
        row.on = !approvedOff(where, row.name);
        // An unreadable shortcut names no program to look for.
        row.expandable = false;
        m_rows.push_back(std::move(row));
    }
}

void StartupList::readWinlogon() {
    const StartupSource& where = startupSources()[kWinlogonSource];
    for (const char* name : {"Shell", "Userinit"}) {
        std::int32_t flag = 0;
        bool expandable = false;
        std::string text = m_layer.GetRegString(where.root, where.keyPath, name, kKeyRead, flag);
        if (flag != 0) {
            text = m_layer.GetRegExpandString(where.root, where.keyPath, name, kKeyRead, flag);
            expandable = true;
        }
        if (flag != 0 || isWinlogonDefault(name, text)) continue;
        StartupRow row;
        row.name = name;
        row.text = std::move(text);
        row.key = 0;  // changed by name: it is restored, never deleted
        row.root = where.root;
        row.source = static_cast<std::uint8_t>(kWinlogonSource);
        row.expandable = expandable;
        m_rows.push_back(std::move(row));
    }
}

void StartupList::readKey(std::size_t source) {
    const StartupSource& where = startupSources()[source];
    const RegKey root = where.root;
    const std::int16_t count =
        m_layer.EnumRegValues(root, where.keyPath, m_names, m_texts, m_handles);
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
                m_layer.GetRegExpandString(root, where.keyPath, row.name, kKeyAllAccess, flag);
            if (flag == 0) {
                row.text = std::move(expandable);
                row.expandable = true;
            }
        }
        row.key = m_handles[first + static_cast<std::size_t>(i)];
        row.root = root;
        row.source = static_cast<std::uint8_t>(source);
        row.on = !where.backup && !approvedOff(where, row.name);
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
    m_approvedOff.clear();
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
    const StartupSource& where = target.where();
    // A shortcut still in its folder is a file, which the journal cannot bring back: only a kept
    // one, a value of the backup key, is deleted (its file goes once that is saved).
    if (isFolderPlace(where.place) && !where.backup) return false;
    if (isFolderPlace(where.place)) {
        if (!m_layer.DeleteRegValue(where.root, where.keyPath, target.name, kKeyAllAccess))
            return false;
        // Its approved value, left behind, would switch off a later shortcut of the name.
        const char* approved = startupSources()[target.source & ~std::size_t{1}].approvedKeyPath;
        if (m_rule == StartupSwitchRule::Approved)
            (void)m_layer.DeleteRegValue(where.root, approved, target.name, kKeyAllAccess);
    } else if (where.place == StartupPlace::Winlogon) {
        // Without its shell or Userinit Windows cannot log on: the value goes back to Windows'
        // own instead of away.
        if (!m_layer.SetRegString(where.root, where.keyPath, target.name,
                                  std::string(winlogonDefault(target.name)), kRegOptionNonVolatile,
                                  kKeyAllAccess))
            return false;
    } else if (m_layer.DeleteRegValueInKey(target.key, target.name) != kErrorSuccess) {
        return false;
    }
    // A switched-off mark left behind would switch off a later entry of the same name.
    if (where.approvedKeyPath != nullptr && m_rule == StartupSwitchRule::Approved && !where.backup)
        (void)m_layer.DeleteRegValue(where.root, where.approvedKeyPath, target.name, kKeyAllAccess);
    target.key = kRemovedRowKey;
    return true;
}

RemovalOutcome StartupList::RemoveSelected() {
    RemovalOutcome outcome;
    std::vector<std::pair<std::size_t, RegKey>> deleted;  // row and the key it had

    std::vector<std::size_t> shortcuts;
    for (std::size_t k = 0; k < m_rows.size(); ++k) {
        const StartupRow& row = m_rows[k];
        if (row.checkState == kChecked && row.key != kRemovedRowKey &&
            isFolderPlace(row.where().place) && !row.where().backup)
            shortcuts.push_back(k);
    }
    if (!shortcuts.empty()) {
        m_keepingForRemoval = true;
        (void)switchRows(shortcuts, false);
        m_keepingForRemoval = false;
        // Kept now, they are removed below as kept rows; one that could not be kept is refused.
        for (std::size_t k : shortcuts) m_rows[k].checkState = kChecked;
    }

    // The store is held from here to the save; when it cannot be, nothing is removed.
    Status watched = m_layer.beginAction();
    if (m_observer && watched) {
        std::vector<RegOp> ops;
        for (const StartupRow& row : m_rows) {
            if (row.checkState != kChecked || row.key == kRemovedRowKey) continue;
            const StartupSource& where = row.where();
            if (where.place == StartupPlace::Winlogon) {
                ops.push_back(setString(where.root, where.keyPath, row.name,
                                        std::string(winlogonDefault(row.name))));
                continue;
            }
            if (isFolderPlace(where.place) && !where.backup) continue;  // refused below
            ops.push_back(deleteValue(row.root, where.keyPath, row.name));
            if (isFolderPlace(where.place) && m_rule == StartupSwitchRule::Approved)
                ops.push_back(deleteValue(
                    row.root, startupSources()[row.source & ~std::size_t{1}].approvedKeyPath,
                    row.name));
            if (where.approvedKeyPath != nullptr && m_rule == StartupSwitchRule::Approved &&
                !where.backup)
                ops.push_back(deleteValue(row.root, where.approvedKeyPath, row.name));
        }
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
    // Removed shortcuts' files go from the backup folder only now that the removal is saved; a
    // file left behind would move back into the Startup folder at the refresh.
    for (const auto& [row, key] : deleted)
        if (isFolderPlace(m_rows[row].where().place)) dropKeptFile(m_rows[row]);

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
