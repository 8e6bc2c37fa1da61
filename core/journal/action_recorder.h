#pragma once
// Records every row action in the change journal: the items it touches as they were before and
// as they are after, appended durably before the action's registry save. Also brings back keys
// an earlier action removed (RegOpKind::RestoreKey) from the journal's records.
//
//     ActionRecorder recorder(journal);
//     services.observer = &recorder;   // services: the CatalogueServices of the pages

#include <optional>
#include <vector>

#include "core/catalogue/action_observer.h"
#include "core/journal/change_journal.h"
#include "core/journal/journal_entry.h"

namespace hivora {

class ActionRecorder final : public ActionObserver {
  public:
    explicit ActionRecorder(ChangeJournal& journal) : m_journal(journal) {}

    // Settles the journal's newest entry (journal_settle.h; the layer holds the store now), then
    // reads the state before of every item `ops` touch. Failure (a state cannot be read): the
    // action must not run, since it could not be undone.
    Status beforeOperations(RegInfoGetSet& layer, std::span<const RegOp> ops,
                            const ActionLabel& label) override;
    Status applyOperation(RegInfoGetSet& layer, const RegOp& op) override;
    // Writes back the states read by beforeOperations.
    void rollBack(RegInfoGetSet& layer, std::vector<std::string>& leftChanged) override;
    // Reads the states after and appends the entry (none when nothing changed). When the journal
    // cannot be written, the action's unsaved changes are dropped (RegistryApi::discardChanges;
    // where that cannot be, the items are written back as they were) and the failure returned.
    Status beforeSave(RegInfoGetSet& layer) override;
    // Called before the store is let go. A failed save: the entry is settled against what reached
    // the disk (void when nothing did, replaced by the part saved when some did).
    void afterSave(const Status& saved) override;

    // The entry of the last action recorded, if it changed anything.
    const std::optional<JournalEntry>& lastEntry() const { return m_last; }

  private:
    ChangeJournal& m_journal;
    RegInfoGetSet* m_layer = nullptr;  // the layer of the action under way
    ActionLabel m_label;
    std::vector<JournalItem> m_items;
    std::optional<JournalEntry> m_last;
    bool m_appended = false;
};

}  // namespace hivora
