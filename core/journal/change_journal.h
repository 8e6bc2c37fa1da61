#pragma once
// The change journal of one registry store: an append-only file of JSON lines, one entry per
// action, each on disk before the action's registry save.
//
// Reading is tolerant: a torn last line (a crash during an append) or any other line that is not
// a well-formed entry is skipped and counted, and the file stays usable, as every append starts
// on a fresh line. An entry whose save failed is followed by a void mark and is left out.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "core/journal/journal_entry.h"
#include "platform/journal_file.h"
#include "platform/status.h"

namespace hivora {

// Entries older than this, or beyond the newest kJournalKeepCount, are pruned at start-up.
inline constexpr std::int64_t kJournalKeepSeconds = 365LL * 24 * 60 * 60;
inline constexpr std::size_t kJournalKeepCount = 10000;

class ChangeJournal {
  public:
    using Clock = std::function<std::int64_t()>;  // seconds since 1970

    // `path` from journalPathForStore; `store` names the store in each entry. Without a clock,
    // the system's.
    ChangeJournal(JournalFiles& files, std::string path, std::string store, Clock clock = {});

    // Reads the file (a missing file is an empty journal). Failure: it cannot be read; the
    // journal is then empty and appends still work.
    Status load();
    // Drops entries older than a year and all but the newest 10,000, with the void marks of the
    // entries dropped, rewriting the file crash-safely, only when there is something to drop.
    // Every other line (one the reader does not understand too) stays byte for byte, in order.
    // Only for a run that writes to the journal anyway: reading never prunes.
    Status prune();

    // load() and then prune() on another thread, so that a long journal does not hold up the
    // window. Every other member (and the destructor) first waits for them to finish, so the
    // journal is never seen half read. Call it once, before anything else.
    void startLoading();
    // Waits for startLoading's work. Returns load()'s outcome (a failed prune only leaves the
    // file as it was); ok when nothing was started.
    Status finishLoading() const;

    // The entries, oldest first.
    const std::vector<JournalEntry>& entries() const;
    const JournalEntry* find(std::int64_t id) const;
    // Lines skipped by the last load.
    int garbledLines() const;
    const std::string& path() const { return m_path; }
    const std::string& store() const { return m_store; }

    // Takes up what other programs appended to the file since it was read (a file rewritten
    // meanwhile is read again whole). Call it while holding the store (RegInfoGetSet::
    // beginAction), so that what it finds is what the next append follows. Reads only the new
    // bytes. Failure: the file cannot be read; the entries are as they were.
    Status catchUp();

    // Gives `entry` the next id, the time and the store, and appends it durably. The id follows
    // the newest in the file, not only in this program (catchUp first), so two programs holding
    // the store in turn never give one id twice. Failure: the entry is not in the journal (a torn
    // line at most reached the file); also when the ids are used up (kMaxJournalId), with
    // nothing written.
    Status append(JournalEntry& entry);
    // Marks entry `id` as never having taken effect (its save failed) and forgets it.
    Status markVoid(std::int64_t id);

    // Entries known to match the registry: the ones this program saved, and the ones checked
    // against the registry (settleNewestEntry). Only the newest entry can be unsettled: every
    // writer holds the store from its append to its save.
    void noteSettled(std::int64_t id) { m_settled = std::max(m_settled, id); }
    bool isSettled(std::int64_t id) const { return id <= m_settled; }

    ~ChangeJournal();
    ChangeJournal(const ChangeJournal&) = delete;
    ChangeJournal& operator=(const ChangeJournal&) = delete;

  private:
    // load() and prune() without waiting for startLoading's work (which they are).
    Status loadFile();
    Status pruneFile();
    Status catchUpFile();
    // Notes the text read so far: `text` is the file's first `bytes` bytes' end.
    void noteRead(std::uint64_t bytes, std::string_view text);

    JournalFiles& m_files;
    std::string m_path;
    std::string m_store;
    Clock m_clock;
    std::vector<JournalEntry> m_entries;
    std::int64_t m_lastId = 0;
    int m_garbled = 0;
    // How far the file has been read, and its last bytes up to there: a file whose bytes there
    // differ was rewritten by another program since, and is read again whole.
    std::uint64_t m_readBytes = 0;
    std::string m_readTail;
    std::int64_t m_settled = 0;
    // The work startLoading started; read and settled only by the journal's user's thread.
    mutable std::future<Status> m_loading;
    mutable Status m_loaded = Status::ok();
};

}  // namespace hivora
