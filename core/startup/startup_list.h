#pragma once
// The startup list: every place a program starts from at logon (startup_places.h), in the places'
// order (the two Run keys first, the current user's before the machine's), as rows of value name,
// command line, place, on/off, a missing-program mark, check mark and the open key the value was
// read from, with the list's commands (select all, invert, remove, switch off, switch on, and
// Winlogon's restore of Windows' default).
//
// Every registry row keeps the handle of its key open, so that a removal deletes the value in
// exactly the key it was read from, even when several keys hold a value of that name. The handles
// stay open from RefreshStartupList until the next ClearStartupRows, which closes every key the
// list opened, including keys whose rows have all been removed. Winlogon's rows hold no handle.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/catalogue/action_observer.h"
#include "core/catalogue/tweak_framework.h"
#include "core/registry/reg_info_get_set.h"
#include "core/startup/program_path.h"
#include "core/startup/startup_places.h"
#include "platform/shortcut_file.h"

namespace hivora {

// The Run key's path below both roots.
inline constexpr char kRunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The key handle of a row whose value has been removed: the row refers to no key any more.
inline constexpr RegKey kRemovedRowKey = 0xFFFFFFFFu;

// Check box states, as the rows' check boxes hold them.
inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 1;
inline constexpr int kGreyed = 2;

struct StartupRow {
    std::string name;  // the value's name; "" for the key's default value
    std::string text;  // its command line as stored (REG_SZ or REG_EXPAND_SZ), else ""
    int checkState = kUnchecked;
    RegKey key = kRemovedRowKey;  // the open key it was read from; 0 for Winlogon's rows
    RegKey root = 0;              // kHkeyCurrentUser or kHkeyLocalMachine
    std::uint8_t source = 0;      // its index in startupSources()
    bool expandable = false;      // stored as REG_EXPAND_SZ
    bool on = true;               // Windows starts it at logon
    bool missing = false;         // its program file does not exist ...
    std::string missingPath;      // ... at this Windows path (expanded)
    bool missingLooked = false;   // `missing` was worked out (StartupList::markedRow)

    const StartupSource& where() const { return startupSources()[source]; }
};

// The machine whose registry the list reads: whether Wine runs it, and its files through the
// path mapping (both must outlive the list).
struct StartupMachine {
    bool wine = false;
    const FileSystem* files = nullptr;
    const PathMapping* paths = nullptr;
};

// The command shown for a shortcut that cannot be read.
inline constexpr char kUnreadableText[] = "无法读取";
// The command a shortcut runs, as the list shows it: its target (quoted when it holds a blank)
// and its arguments.
std::string shortcutCommand(const ShortcutTarget& shortcut);

// What a switch command did.
struct SwitchOutcome {
    int switched = 0;  // entries switched (and saved)
    int failed = 0;    // checked rows that could not be switched
    bool refreshed = false;
    OutcomeMessage shown = OutcomeMessage::None;
    Status status;  // the first failure
};

// The full name of the Run key under `root`, as a user reads it:
// "HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run" or HKEY_LOCAL_MACHINE's.
std::string runKeyDisplayName(RegKey root);

// What one remove command did.
struct RemovalOutcome {
    int removed = 0;  // values deleted (and saved)
    int failed = 0;   // checked rows whose value could not be deleted or saved
    bool refreshed = false;
    OutcomeMessage shown = OutcomeMessage::None;
};

class StartupList {
  public:
    // `layer` must outlive the list.
    explicit StartupList(RegInfoGetSet& layer) : m_layer(layer) {}
    // Closes the keys still open.
    ~StartupList();
    StartupList(const StartupList&) = delete;
    StartupList& operator=(const StartupList&) = delete;

    // Clears the list (as ClearStartupRows) and reads every place again, in startupSources()'
    // order; within a key, the values in the registry's order. A key that cannot be opened adds
    // no rows. Every row starts unchecked. Returns the number of rows. With an observer, the
    // Startup folders' files are first moved to match their backup keys (an undo or redo of a
    // switch changes only the keys).
    std::size_t RefreshStartupList();
    // The Startup folders' files moved to match their backup keys, as a refresh does first: for
    // every undo and redo, which change only the keys. A removal deletes a kept shortcut's file,
    // so its bytes then live only in the kept value: the files must follow each undo before the
    // next one. Nothing without an observer or a machine. Returns the first failure.
    Status followBackupKeys() { return m_observer ? reconcileFolders() : Status(); }
    // No rows; every key the list opened is closed and the shared handle count is back at 0.
    void ClearStartupRows();

    // The rows; their `missing` marks are worked out only by markedRow and markAllRows.
    const std::vector<StartupRow>& rows() const { return m_rows; }
    // Row `index` (< size()) with its missing-program mark worked out, once per refresh: a view
    // asks for the rows it shows. Without a program lookup nothing is marked.
    const StartupRow& markedRow(std::size_t index);
    // Every row's mark worked out, for a whole listing.
    void markAllRows();
    std::size_t size() const { return m_rows.size(); }
    // The handles of the rows in row order (OpenKeyHandles); kRemovedRowKey for removed rows.
    std::vector<RegKey> OpenKeyHandles() const;
    // How many distinct keys the list holds open now.
    std::size_t openKeyCount() const { return m_openKeys.size(); }

    // Check marks. Out-of-range rows are ignored.
    void setCheckState(std::size_t row, int state);
    // Every row checked.
    void SelectAll();
    // Every row's state becomes (state + 1) mod 2: checked rows clear, cleared and grey ones check.
    void InvertSelection();

    // The removal rule for one row: deletes the row's value by name in the row's key. Success
    // (the registry's result 0): the row refers to no key any more and true is returned. Failure,
    // or a row already removed or out of range: the row is left as it was, false.
    bool removeRow(std::size_t row);

    // The remove command: applies the removal rule to every checked row in order, all in one
    // registry action (one save). Checked shortcuts still in their Startup folders are first
    // kept, under any rule, as switching off keeps them under Windows 7 (a recorded action of its
    // own), and then removed as kept rows: undo brings each back kept, and a second undo back
    // into its folder. A save that fails undoes the whole batch, which then counts as
    // failed. When anything was removed the list is read again. `shown` names the message the
    // caller shows through TweakFramework::show once its view shows the new list: "设置出错！"
    // when any checked row could not be removed, else "已设置！" when something was removed,
    // else none.
    // With an observer (the change journal), the removal is recorded before its save; when the
    // observer cannot note the values first, nothing is removed and "设置出错！" is named.
    RemovalOutcome RemoveSelected();
    // The watcher of removals and switches; null (the default): they are not recorded.
    void setObserver(ActionObserver* observer) { m_observer = observer; }

    // The switch commands: every checked row is switched off (on) in one registry action (one
    // save), all or nothing: with an observer, the first failure puts back what the action wrote.
    // Rows already in the wanted state are left alone; Winlogon's rows, which are never switched
    // off, and a row whose name the other side already holds count as failed. The rows switched
    // change in place, keeping their positions, their check marks cleared (a moved entry's row
    // now refers to the key it moved to); the list is not read again (`refreshed` stays false).
    // `shown` as for RemoveSelected.
    SwitchOutcome SwitchSelected(bool on);
    // The same for the rows given (out-of-range ones count as failed), checked or not.
    SwitchOutcome switchRows(std::span<const std::size_t> rows, bool on);
    // "恢复默认": Winlogon's Shell or Userinit of the checked rows back to Windows' default, in
    // one recorded action, after which the list is read again. Other rows checked count as
    // failed.
    SwitchOutcome RestoreDefaults();
    SwitchOutcome restoreDefaultRows(std::span<const std::size_t> rows);

    // How entries are switched off: StartupSwitchRule::Approved reads and writes the
    // StartupApproved values; Backup (the default) ignores them and moves values. Takes effect at
    // the next refresh.
    void setSwitchRule(StartupSwitchRule rule) { m_rule = rule; }
    StartupSwitchRule switchRule() const { return m_rule; }
    // The time written into an approved value switched off; the system clock by default.
    void setClock(std::function<FileTime()> clock) { m_clock = std::move(clock); }
    // Where programs are looked for; none (the default): no row is marked missing. The lookup's
    // references must outlive the list.
    void setProgramLookup(std::optional<ProgramLookup> lookup) { m_lookup = std::move(lookup); }
    // With a machine, each refresh works both out afresh from the registry being edited: the
    // rule from its Windows version (startupSwitchRule), the lookup from its environment.
    void setMachine(std::optional<StartupMachine> machine) { m_machine = machine; }

  private:
    // Appends the rows of one registry source; records its handle when the key had values.
    void readKey(std::size_t source);
    void readWinlogon();
    // The shortcuts of a Startup folder, found through the machine's shell folders and paths.
    void readFolder(std::size_t source);

    // Startup folders' switched-off shortcuts (startup_folder_backup.cpp).
    struct FolderPaths {
        std::string live;    // the Startup folder on this machine
        std::string backup;  // where its switched-off shortcuts are kept; "" when unknown
    };
    // The folders of the place whose live source is `liveSource`; nothing without a machine or
    // when the registry names no Startup folder for it.
    std::optional<FolderPaths> folderPaths(std::size_t liveSource) const;
    // Moves files so that each folder place matches its backup key (see the .cpp). Carries on
    // past a failure; returns the first.
    Status reconcileFolders();
    // The rows of a folder place's backup key, text from the file in the backup folder.
    void readFolderBackup(std::size_t source);
    // Removes the backup folder's file of a switched-off shortcut whose value was deleted.
    void dropKeptFile(const StartupRow& row);
    // switchOps for a folder's row where no StartupApproved value switches it.
    std::optional<std::vector<RegOp>> folderSwitchOps(const StartupRow& row, bool on, Status& why);
    // The names StartupApproved switches off, per approved key and root.
    void readApproved();
    bool approvedOff(const StartupSource& where, const std::string& name) const;
    // The operations that switch `row` to `on`; nothing with `why` set when it cannot be.
    std::optional<std::vector<RegOp>> switchOps(const StartupRow& row, bool on, Status& why);
    // Runs `ops` as one recorded action, all or nothing.
    Status runAction(const std::vector<RegOp>& ops, const char* button);
    // Counts the outcome; with `refresh` and anything switched, reads the list again.
    SwitchOutcome finish(SwitchOutcome outcome, const Status& status, int attempted, bool refresh);
    // The row after a saved switch to `on`: its state, its key (a move changes it), the marks.
    void markSwitched(StartupRow& row, bool on);

    RegInfoGetSet& m_layer;
    ActionObserver* m_observer = nullptr;
    StartupSwitchRule m_rule = StartupSwitchRule::Backup;
    // While RemoveSelected keeps shortcuts before deleting them: every switch moves the file.
    bool m_keepingForRemoval = false;
    std::function<FileTime()> m_clock;
    std::optional<ProgramLookup> m_lookup;
    std::optional<StartupMachine> m_machine;
    // What each shortcut read last showed, by host path, with the size and time stamp it had:
    // a refresh reads again only the shortcuts that changed.
    struct ReadShortcut {
        std::uint64_t size = 0;
        std::int64_t modified = 0;
        std::string text;
    };
    std::unordered_map<std::string, ReadShortcut> m_shortcuts;
    // "<source index>|<name folded>" of every approved value that switches its entry off.
    std::unordered_set<std::string> m_approvedOff;
    std::vector<StartupRow> m_rows;
    std::vector<RegKey> m_openKeys;  // each key the list opened, once
    // Reused by every refresh, so that a refresh of a long list allocates little.
    std::vector<std::string> m_names;
    std::vector<std::string> m_texts;
    std::vector<RegKey> m_handles;
};

}  // namespace hivora
