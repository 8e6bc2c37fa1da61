#pragma once
// The files of the change journal: an append-only text file that must be on disk before the
// registry save it protects, read whole at start-up and now and then rewritten whole.
//
// Implementations: POSIX (platform/posix), Windows (platform/windows), and an in-memory double
// (makeMemoryJournalFiles) whose steps can be made to fail, for tests.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/status.h"

namespace hivora {

class JournalFiles {
  public:
    virtual ~JournalFiles() = default;

    // The file's bytes; "" when it does not exist. Failure: it exists but cannot be read.
    virtual Result<std::string> read(const std::string& path) = 0;
    // The file's bytes from `offset` on; "" when it does not exist or is no longer than that.
    // Lets a program that read the file before take up only what others appended since. The
    // default reads the whole file. Failure: it exists but cannot be read.
    virtual Result<std::string> readFrom(const std::string& path, std::uint64_t offset) {
        Result<std::string> whole = read(path);
        if (!whole || offset == 0) return whole;
        if (offset >= whole.value().size()) return std::string();
        return whole.value().substr(static_cast<std::size_t>(offset));
    }
    // Appends `bytes` and makes them durable (data synced; the folder too when the file is new)
    // before returning. When the file does not end in a newline (a torn last line), one is
    // written first, so that the torn line never runs into the new one. The folder and its
    // parents are made when missing. Failure: errno (or the Windows code) in the Status; what
    // reached the file then is a torn line at most.
    virtual Status appendDurably(const std::string& path, std::string_view bytes) = 0;
    // Replaces the file so that a crash leaves either the old or the new text.
    virtual Status replaceDurably(const std::string& path, std::string_view bytes) = 0;
};

// The host's files.
std::unique_ptr<JournalFiles> makeJournalFiles();

// Where the journal of a store lives. POSIX: $XDG_STATE_HOME/hivora, else ~/.local/state/hivora,
// one file per store named from the store's folder (never inside the store or a Wine prefix).
// Windows: %LOCALAPPDATA%\Hivora, one file for the registry (`storeFolder` is unused).
// Failure: no home folder can be found.
Result<std::string> journalPathForStore(const std::string& storeFolder);

// ---- In-memory double --------------------------------------------------------------------------

class MemoryJournalFiles : public JournalFiles {
  public:
    // Called before each step ("read", "append", "replace"); a failed Status fails the step
    // and leaves the file untouched.
    using Fault = std::function<Status(std::string_view step, const std::string& path)>;

    Result<std::string> read(const std::string& path) override;
    Status appendDurably(const std::string& path, std::string_view bytes) override;
    Status replaceDurably(const std::string& path, std::string_view bytes) override;

    void setFault(Fault fault) { m_fault = std::move(fault); }
    // The file's text, for tests to inspect or to put in place.
    std::string& file(const std::string& path) { return m_files[path]; }
    int appendCount() const { return m_appends; }

  private:
    Status check(std::string_view step, const std::string& path) const {
        return m_fault ? m_fault(step, path) : Status::ok();
    }
    std::unordered_map<std::string, std::string> m_files;
    Fault m_fault;
    int m_appends = 0;
};

}  // namespace hivora
