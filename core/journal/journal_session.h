#pragma once
// The journal of one store as the program uses it for a run: its files, the journal loaded and
// pruned, and the recorder to hand to the pages (CatalogueServices::observer,
// StartupList::setObserver).

#include <memory>
#include <string>
#include <vector>

#include "core/journal/action_recorder.h"
#include "core/journal/change_journal.h"
#include "platform/ansi_codec.h"
#include "platform/journal_file.h"

namespace hivora {

struct JournalSession {
    std::unique_ptr<JournalFiles> files;
    std::unique_ptr<ChangeJournal> journal;    // uses `files`
    std::unique_ptr<ActionRecorder> recorder;  // uses `journal`
};

enum class JournalLoading {
    Now,       // read and pruned before openJournalSession returns: for a run that writes
    ReadOnly,  // read before openJournalSession returns; nothing is written, not even a prune
    Later,     // not read: the caller starts it (ChangeJournal::startLoading) when it suits it
};

// Opens the journal of the store in `storeFolder` (RegistryChoice::description) in its place
// (journalPathForStore), reads it and prunes it (or only reads it, or leaves both for later). A
// failed prune leaves the file as it was and is not an error. Failure: no place for the journal,
// or (Now, ReadOnly) the file cannot be read or is refused (a symbolic link, not a regular file).
Result<JournalSession> openJournalSession(const std::string& storeFolder,
                                          JournalLoading loading = JournalLoading::Now);

// The message for a journal that could not be read (`s` says why).
Status journalUnreadable(const Status& s);

// The history, newest first: one historyLine per entry of historyRows.
std::vector<std::string> historyLines(const ChangeJournal& journal, const AnsiCodec& codec);

}  // namespace hivora
