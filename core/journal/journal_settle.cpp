#include "core/journal/journal_settle.h"

#include "core/journal/journal_items.h"

namespace hivora {

Result<SettleOutcome> settleEntry(ChangeJournal& journal, RegistryView view,
                                  const JournalEntry& entry) {
    SettleOutcome outcome;
    std::vector<JournalItem> tookEffect;
    bool anyNot = false;
    for (const JournalItem& item : entry.items) {
        if (!item.changed()) continue;
        Result<JournalItem> now = currentStateOf(view, item);
        if (!now) return now.status();
        // An item at neither state was changed since by someone else: the entry's save reached
        // it, or the change since hides whether it did; either way the record keeps it.
        if (sameState(now.value(), item, true) && !sameState(now.value(), item, false)) {
            anyNot = true;
        } else {
            tookEffect.push_back(item);
        }
    }
    if (!anyNot) {
        journal.noteSettled(entry.id);
        return outcome;
    }
    if (Status s = journal.markVoid(entry.id); !s) return s;
    journal.noteSettled(entry.id);
    if (tookEffect.empty()) {
        outcome.settled = Settled::Void;
        return outcome;
    }
    JournalEntry replacement;
    replacement.label = entry.label;
    replacement.label.caption += kPartlySavedSuffix;
    replacement.items = std::move(tookEffect);
    if (Status s = journal.append(replacement); !s) return s;
    journal.noteSettled(replacement.id);
    outcome.settled = Settled::Partial;
    outcome.replacement = replacement.id;
    return outcome;
}

Status settleNewestEntry(ChangeJournal& journal, RegistryView view) {
    if (Status s = journal.catchUp(); !s) return s;
    const std::vector<JournalEntry>& entries = journal.entries();
    if (entries.empty() || journal.isSettled(entries.back().id)) return Status::ok();
    const JournalEntry newest = entries.back();  // settling appends, which may move the entries
    Result<SettleOutcome> settled = settleEntry(journal, view, newest);
    return settled ? Status::ok() : settled.status();
}

}  // namespace hivora
