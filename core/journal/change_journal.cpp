#include "core/journal/change_journal.h"

#include <algorithm>
#include <chrono>
#include <set>
#include <string_view>
#include <system_error>
#include <thread>

namespace hivora {

namespace {

// Below this size a journal is parsed on the calling thread alone: starting threads would cost
// more than they save.
constexpr std::size_t kParallelParseBytes = 256 * 1024;
constexpr unsigned kMaxParseThreads = 8;
// How many of the last bytes read are compared to tell an appended file from a rewritten one.
// They end with the last line's id and time, which no other journal line repeats.
constexpr std::size_t kTailCheckBytes = 128;

// The lines of `text` that hold anything, in file order.
std::vector<std::string_view> nonBlankLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.find_first_not_of(" \t\r") != std::string_view::npos) lines.push_back(line);
    }
    return lines;
}

// Parsing is nearly all the cost of reading a journal, and its lines are independent, so a
// large journal is parsed in as many contiguous slices as there are cores. The result is the
// same as parsing line after line.
std::vector<JournalLine> parseLines(const std::vector<std::string_view>& lines,
                                    std::size_t textBytes) {
    std::vector<JournalLine> parsed(lines.size());
    const auto parseSlice = [&lines, &parsed](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) parsed[i] = parseJournalLine(lines[i]);
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t slices =
        textBytes < kParallelParseBytes ? 1 : std::min(cores, kMaxParseThreads);
    const std::size_t perSlice = (lines.size() + slices - 1) / std::max<std::size_t>(slices, 1);
    std::vector<std::thread> helpers;
    // The calling thread takes the first slice itself.
    for (std::size_t begin = perSlice; begin < lines.size(); begin += perSlice) {
        const std::size_t end = std::min(lines.size(), begin + perSlice);
        try {
            helpers.emplace_back(parseSlice, begin, end);
        } catch (const std::system_error&) {
            parseSlice(begin, end);  // no thread to be had: the slice is parsed here instead
        }
    }
    parseSlice(0, std::min(lines.size(), perSlice));
    for (std::thread& helper : helpers) helper.join();
    return parsed;
}

}  // namespace

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
    (void)finishLoading();
    return loadFile();
}

Status ChangeJournal::prune() {
    (void)finishLoading();
    return pruneFile();
}

Status ChangeJournal::loadFile() {
    m_entries.clear();
    m_garbled = 0;
    m_voids = 0;
    Result<std::string> text = m_files.read(m_path);
    if (!text) return text.status();
    std::set<std::int64_t> voided;
    std::vector<JournalLine> lines = parseLines(nonBlankLines(text.value()), text.value().size());
    m_entries.reserve(lines.size());
    for (JournalLine& parsed : lines) {
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
    noteRead(text.value().size(), text.value());
    return Status::ok();
}

void ChangeJournal::noteRead(std::uint64_t bytes, std::string_view text) {
    m_readBytes = bytes;
    m_readTail =
        std::string(text.substr(text.size() - std::min<std::size_t>(text.size(), kTailCheckBytes)));
}

Status ChangeJournal::catchUp() {
    (void)finishLoading();
    return catchUpFile();
}

Status ChangeJournal::catchUpFile() {
    const std::uint64_t from = m_readBytes - m_readTail.size();
    Result<std::string> read = m_files.readFrom(m_path, from);
    if (!read) return read.status();
    const std::string_view bytes = read.value();
    if (bytes.size() < m_readTail.size() || bytes.substr(0, m_readTail.size()) != m_readTail)
        return loadFile();  // rewritten since: a prune by another program
    // Only whole lines: a line without its newline may be one another program is writing.
    const std::size_t end = bytes.rfind('\n');
    if (end == std::string_view::npos || end + 1 <= m_readTail.size()) return Status::ok();
    const std::string_view added = bytes.substr(m_readTail.size(), end + 1 - m_readTail.size());
    bool ordered = true;
    for (const std::string_view line : nonBlankLines(added)) {
        JournalLine parsed = parseJournalLine(line);
        switch (parsed.kind) {
            case JournalLine::Kind::Entry: {
                // This program's own appends come back here too.
                if (parsed.entry.id <= m_lastId && find(parsed.entry.id) != nullptr) break;
                ordered = ordered && parsed.entry.id > m_lastId;
                m_lastId = std::max(m_lastId, parsed.entry.id);
                m_entries.push_back(std::move(parsed.entry));
                break;
            }
            case JournalLine::Kind::Void:
                std::erase_if(m_entries,
                              [&](const JournalEntry& e) { return e.id == parsed.voided; });
                ++m_voids;
                break;
            case JournalLine::Kind::Garbled:
                ++m_garbled;
                break;
        }
    }
    if (!ordered)
        std::stable_sort(m_entries.begin(), m_entries.end(),
                         [](const JournalEntry& a, const JournalEntry& b) { return a.id < b.id; });
    noteRead(from + end + 1, bytes.substr(0, end + 1));
    return Status::ok();
}

Status ChangeJournal::pruneFile() {
    const std::int64_t oldest = m_clock() - kJournalKeepSeconds;
    const std::size_t skip =
        m_entries.size() > kJournalKeepCount ? m_entries.size() - kJournalKeepCount : 0;
    const auto tooOld = [oldest](const JournalEntry& e) { return e.time < oldest; };
    // The usual case, checked without copying the journal: nothing to drop.
    if (skip == 0 && m_garbled == 0 && m_voids == 0 &&
        std::none_of(m_entries.begin(), m_entries.end(), tooOld))
        return Status::ok();
    std::vector<JournalEntry> kept;
    for (std::size_t i = skip; i < m_entries.size(); ++i)
        if (!tooOld(m_entries[i])) kept.push_back(m_entries[i]);
    std::string text;
    for (const JournalEntry& e : kept) text += entryToJson(e) + "\n";
    if (Status s = m_files.replaceDurably(m_path, text); !s) return s;
    noteRead(text.size(), text);
    m_entries = std::move(kept);
    m_garbled = 0;
    m_voids = 0;
    return Status::ok();
}

void ChangeJournal::startLoading() {
    try {
        m_loading = std::async(std::launch::async, [this] {
            Status loaded = loadFile();
            if (loaded) (void)pruneFile();
            return loaded;
        });
    } catch (const std::system_error&) {
        m_loaded = loadFile();  // no thread to be had: read here and now
        if (m_loaded) (void)pruneFile();
    }
}

Status ChangeJournal::finishLoading() const {
    // The future's get() orders everything the loading thread wrote before what follows here.
    if (m_loading.valid()) m_loaded = m_loading.get();
    return m_loaded;
}

ChangeJournal::~ChangeJournal() {
    (void)finishLoading();
}

const std::vector<JournalEntry>& ChangeJournal::entries() const {
    (void)finishLoading();
    return m_entries;
}

int ChangeJournal::garbledLines() const {
    (void)finishLoading();
    return m_garbled;
}

const JournalEntry* ChangeJournal::find(std::int64_t id) const {
    (void)finishLoading();
    for (const JournalEntry& e : m_entries)
        if (e.id == id) return &e;
    return nullptr;
}

Status ChangeJournal::append(JournalEntry& entry) {
    (void)finishLoading();
    // A file that cannot be read now will not take the append either; should it, the id below
    // still follows every entry this program knows.
    (void)catchUpFile();
    entry.id = m_lastId + 1;
    entry.time = m_clock();
    entry.store = m_store;
    if (Status s = m_files.appendDurably(m_path, entryToJson(entry) + "\n"); !s) return s;
    m_lastId = entry.id;
    m_entries.push_back(entry);
    return Status::ok();
}

Status ChangeJournal::markVoid(std::int64_t id) {
    (void)finishLoading();
    std::erase_if(m_entries, [&](const JournalEntry& e) { return e.id == id; });
    if (Status s = m_files.appendDurably(m_path, voidMarkToJson(id) + "\n"); !s) return s;
    ++m_voids;
    return Status::ok();
}

}  // namespace hivora
