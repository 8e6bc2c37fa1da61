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
    if (skip == 0 && std::none_of(m_entries.begin(), m_entries.end(), tooOld))
        return Status::ok();
    // Ids grow in the order of the file, so the entries beyond the newest 10,000 are those below
    // the first one kept. Entries voided earlier fall under the same two rules.
    const std::int64_t firstCounted = skip == 0 ? 0 : m_entries[skip].id;
    const auto dropped = [&](const JournalEntry& e) { return tooOld(e) || e.id < firstCounted; };

    // The file is read again rather than rebuilt from memory: every line this reader does not
    // understand (a torn line, a line from a newer program) stays byte for byte where it was,
    // and an entry another program appended since the load is kept too.
    Result<std::string> text = m_files.read(m_path);
    if (!text) return text.status();
    struct Piece {
        std::string_view bytes;  // the line with its newline, as in the file
        JournalLine parsed;
    };
    std::vector<Piece> pieces;
    std::string_view rest = text.value();
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        const std::size_t size = end == std::string_view::npos ? rest.size() : end + 1;
        const std::string_view line = rest.substr(0, size);
        rest.remove_prefix(size);
        pieces.push_back({line, parseJournalLine(line.substr(0, line.find('\n')))});
    }
    std::set<std::int64_t> droppedIds, keptIds;
    for (const Piece& piece : pieces) {
        if (piece.parsed.kind != JournalLine::Kind::Entry) continue;
        (dropped(piece.parsed.entry) ? droppedIds : keptIds).insert(piece.parsed.entry.id);
    }
    std::string kept;
    kept.reserve(text.value().size());
    for (const Piece& piece : pieces) {
        const JournalLine& line = piece.parsed;
        if (line.kind == JournalLine::Kind::Entry && droppedIds.count(line.entry.id) != 0 &&
            keptIds.count(line.entry.id) == 0)
            continue;
        // A void mark goes only with its entry: kept alone, it could never revive anything.
        if (line.kind == JournalLine::Kind::Void && droppedIds.count(line.voided) != 0 &&
            keptIds.count(line.voided) == 0)
            continue;
        kept += piece.bytes;
    }
    if (kept.size() == text.value().size()) return Status::ok();
    if (Status s = m_files.replaceDurably(m_path, kept); !s) return s;
    noteRead(kept.size(), kept);
    std::erase_if(m_entries, [&](const JournalEntry& e) {
        return droppedIds.count(e.id) != 0 && keptIds.count(e.id) == 0;
    });
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
    // The largest id a line may carry: the journal is full rather than have the id wrap round.
    if (m_lastId >= kMaxJournalId)
        return Status::error("操作记录的编号已经用完，无法再记录操作。请移走操作记录文件 " + m_path +
                             "，程序会新建一个。");
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
    return Status::ok();
}

}  // namespace hivora
