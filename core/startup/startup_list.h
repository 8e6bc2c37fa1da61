#pragma once
// The startup list: the values of the two Run keys (the current user's first, then the machine's)
// as rows of value name, command line, check mark and the open key the value was read from, with
// the list's three commands (select all, invert, remove the checked entries).
//
// Every row keeps the handle of its Run key open, so that a removal deletes the value in exactly
// the key it was read from, even when both keys hold a value of that name. The handles stay open
// from RefreshStartupList until the next ClearStartupRows, which closes every key the list opened,
// including keys whose rows have all been removed.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/catalogue/action_observer.h"
#include "core/catalogue/tweak_framework.h"
#include "core/registry/reg_info_get_set.h"

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
    RegKey key = kRemovedRowKey;  // the open Run key it was read from
    RegKey root = 0;              // kHkeyCurrentUser or kHkeyLocalMachine
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

    // Clears the list (as ClearStartupRows) and reads both Run keys again: the current user's
    // values in the registry's order, then the machine's. A key that cannot be opened adds no
    // rows. Every row starts unchecked. Returns the number of rows.
    std::size_t RefreshStartupList();
    // No rows; every key the list opened is closed and the shared handle count is back at 0.
    void ClearStartupRows();

    const std::vector<StartupRow>& rows() const { return m_rows; }
    std::size_t size() const { return m_rows.size(); }
    // The handles of the rows in row order (OpenKeyHandles); kRemovedRowKey for removed rows.
    std::vector<RegKey> OpenKeyHandles() const;
    // How many distinct Run keys the list holds open now (0, 1 or 2).
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
    // registry action (one save). A save that fails undoes the whole batch, which then counts as
    // failed. When anything was removed the list is read again. `shown` names the message the
    // caller shows through TweakFramework::show once its view shows the new list: "设置出错！"
    // when any checked row could not be removed, else "已设置！" when something was removed,
    // else none.
    // With an observer (the change journal), the removal is recorded before its save; when the
    // observer cannot note the values first, nothing is removed and "设置出错！" is named.
    RemovalOutcome RemoveSelected();
    // The watcher of removals; null (the default): removals are not recorded.
    void setObserver(ActionObserver* observer) { m_observer = observer; }

  private:
    // Appends the rows of one Run key; records its handle when the key had values.
    void readRunKey(RegKey root);

    RegInfoGetSet& m_layer;
    ActionObserver* m_observer = nullptr;
    std::vector<StartupRow> m_rows;
    std::vector<RegKey> m_openKeys;  // each key the list opened, once
    // Reused by every refresh, so that a refresh of a long list allocates little.
    std::vector<std::string> m_names;
    std::vector<std::string> m_texts;
    std::vector<RegKey> m_handles;
};

}  // namespace hivora
