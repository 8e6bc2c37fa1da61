#include "core/journal/change_journal.h"

#include <algorithm>
#include <chrono>
#include <set>

namespace hivora {

ChangeJournal::ChangeJournal(JournalFiles& files, std::string path, std::string store, Clock clock)
    : m_files(files),
      m_path(std::move(path)),
      m_store(std::move(store)),
      m_clock(std::move(clock)) {
    if (!m_clock) {
        m_clock = [] {
            return std::chrono::duration_cast<std::chrono::seconds>(
                       std::chrono::system_clock::now().time_since_epoch())
                .count();
        };
    }
}

Status ChangeJournal::load() {
    m_entries.clear();
    m_garbled = 0;
    m_voids = 0;
    Result<std::string> text = m_files.read(m_path);
    if (!text) return text.status();
    std::set<std::int64_t> voided;
    std::string_view rest = text.value();
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (line.find_first_not_of(" \t\r") == std::string_view::npos) continue;
        JournalLine parsed = parseJournalLine(line);
        switch (parsed.kind) {
            case JournalLine::Kind::Entry:
                m_lastId = std::max(m_lastId, parsed.entry.id);
                m_entries.push_back(std::move(parsed.entry));
                break;
            case JournalLine::Kind::Void:
                voided.insert(parsed.voided);
                ++m_voids;
                break;
            case JournalLine::Kind::Garbled:
                ++m_garbled;
                break;
        }
    }
    std::erase_if(m_entries, [&](const JournalEntry& e) { return voided.count(e.id) != 0; });
    return Status::ok();
}

Status ChangeJournal::prune() {
    const std::int64_t oldest = m_clock() - kJournalKeepSeconds;
    std::vector<JournalEntry> kept;
    const std::size_t skip =
        m_entries.size() > kJournalKeepCount ? m_entries.size() - kJournalKeepCount : 0;
    for (std::size_t i = skip; i < m_entries.size(); ++i)
        if (m_entries[i].time >= oldest) kept.push_back(m_entries[i]);
    if (kept.size() == m_entries.size() && m_garbled == 0 && m_voids == 0) return Status::ok();
    std::string text;
    for (const JournalEntry& e : kept) text += entryToJson(e) + "\n";
    if (Status s = m_files.replaceDurably(m_path, text); !s) return s;
    m_entries = std::move(kept);
    m_garbled = 0;
    m_voids = 0;
    return Status::ok();
}

const JournalEntry* ChangeJournal::find(std::int64_t id) const {
    for (const JournalEntry& e : m_entries)
        if (e.id == id) return &e;
    return nullptr;
}

Status ChangeJournal::append(JournalEntry& entry) {
    entry.id = m_lastId + 1;
    entry.time = m_clock();
    entry.store = m_store;
    if (Status s = m_files.appendDurably(m_path, entryToJson(entry) + "\n"); !s) return s;
    m_lastId = entry.id;
    m_entries.push_back(entry);
    return Status::ok();
}

Status ChangeJournal::markVoid(std::int64_t id) {
    std::erase_if(m_entries, [&](const JournalEntry& e) { return e.id == id; });
    if (Status s = m_files.appendDurably(m_path, voidMarkToJson(id) + "\n"); !s) return s;
    ++m_voids;
    return Status::ok();
}

}  // namespace hivora
