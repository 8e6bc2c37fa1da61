#include "core/journal/journal_session.h"

#include <set>

#include "core/journal/journal_text.h"

namespace hivora {

Status journalUnreadable(const Status& s) {
    return Status::error("无法读取操作记录：" + s.message(), s.code());
}

Result<JournalSession> openJournalSession(const std::string& storeFolder, JournalLoading loading) {
    Result<std::string> path = journalPathForStore(storeFolder);
    if (!path) return path.status();
    JournalSession session;
    session.files = makeJournalFiles();
    session.journal = std::make_unique<ChangeJournal>(*session.files, path.value(), storeFolder);
    if (loading == JournalLoading::Now) {
        if (Status s = session.journal->load(); !s) return journalUnreadable(s);
        (void)session.journal->prune();
    }
    session.recorder = std::make_unique<ActionRecorder>(*session.journal);
    return session;
}

std::vector<std::string> historyLines(const ChangeJournal& journal, const AnsiCodec& codec) {
    std::set<std::int64_t> undone;
    for (const JournalEntry& e : journal.entries())
        if (e.undoes) undone.insert(*e.undoes);
    std::vector<std::string> lines;
    const auto& entries = journal.entries();
    for (auto e = entries.rbegin(); e != entries.rend(); ++e)
        lines.push_back(historyLine(*e, undone.count(e->id) != 0, codec));
    return lines;
}

}  // namespace hivora
