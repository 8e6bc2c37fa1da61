#include "core/journal/journal_session.h"

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
    if (loading != JournalLoading::Later) {
        if (Status s = session.journal->load(); !s) return journalUnreadable(s);
        if (loading == JournalLoading::Now) (void)session.journal->prune();
    }
    session.recorder = std::make_unique<ActionRecorder>(*session.journal);
    return session;
}

std::vector<std::string> historyLines(const ChangeJournal& journal, const AnsiCodec& codec) {
    std::vector<std::string> lines;
    for (const HistoryRow& row : historyRows(journal.entries(), codec))
        lines.push_back(historyLine(row));
    return lines;
}

}  // namespace hivora
