#include "core/journal/undo_chain.h"

#include <algorithm>

namespace hivora {
namespace {

// The index of the entry `id` among the first `count` entries.
std::optional<std::size_t> indexOf(const std::vector<JournalEntry>& entries, std::size_t count,
                                   std::int64_t id) {
    const auto end = entries.begin() + static_cast<std::ptrdiff_t>(count);
    const auto it =
        std::lower_bound(entries.begin(), end, id,
                         [](const JournalEntry& e, std::int64_t wanted) { return e.id < wanted; });
    if (it == end || it->id != id) return std::nullopt;
    return static_cast<std::size_t>(it - entries.begin());
}

struct Undone {
    std::size_t action;
    std::size_t undo;  // the entry that undid it last
};

}  // namespace

UndoChain walkUndoChain(const std::vector<JournalEntry>& entries) {
    UndoChain chain;
    chain.entries.resize(entries.size());
    std::vector<Undone> redoable;  // oldest undo first
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const JournalEntry& entry = entries[i];
        EntryStatus& status = chain.entries[i];
        if (!entry.undoes) {
            status.action = i;
            redoable.clear();
            continue;
        }
        // What it undid was walked already, so its action is known (or known to be missing).
        const std::optional<std::size_t> undid = indexOf(entries, i, *entry.undoes);
        status.role = EntryRole::Undo;
        if (!undid) continue;
        status.action = chain.entries[*undid].action;
        if (!status.action) continue;
        EntryStatus& action = chain.entries[*status.action];
        action.undone = !action.undone;
        if (action.undone) {
            redoable.push_back({*status.action, i});
        } else {
            status.role = EntryRole::Redo;
            const auto it = std::find_if(redoable.rbegin(), redoable.rend(), [&](const Undone& u) {
                return u.action == *status.action;
            });
            if (it != redoable.rend()) redoable.erase(std::next(it).base());
        }
    }
    for (std::size_t i = entries.size(); i-- > 0;) {
        const EntryStatus& status = chain.entries[i];
        if (status.role == EntryRole::Action && !status.undone) {
            chain.nextUndo = i;
            break;
        }
    }
    if (!redoable.empty()) {
        chain.nextRedo = redoable.back().action;
        chain.redoReverses = redoable.back().undo;
    }
    return chain;
}

}  // namespace hivora
