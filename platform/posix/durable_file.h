#pragma once
// File operations the registry store builds on: whole-file reads, a stamp that tells whether a
// file changed on disk, a crash-safe replace, and a lock on a folder.

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace hivora {

// Identity and age of a file as stat() sees it (following symbolic links). Two stamps differ when
// the file was replaced (new inode), rewritten (size, modification or change time) or created
// or removed.
struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0, inode = 0, size = 0;
    std::int64_t modifiedNs = 0, changedNs = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp stampOf(const std::string& path);

// The largest registry file the program reads: Wine's own hives stay far below it, and a bigger
// one would take the memory of the whole machine to hold and parse.
inline constexpr std::uint64_t kMaxHiveFileBytes = 1ULL << 30;

// What readWholeFile accepts at the path.
struct ReadRules {
    std::uint64_t maxBytes = kMaxHiveFileBytes;
    // False: a path that is itself a symbolic link is refused (ELOOP) instead of followed.
    bool followLinks = true;
};

// The file's bytes. Only a regular file is read: a FIFO, a device (such as /dev/zero), a socket
// or a folder is refused before any byte is read (code EINVAL), so such a path can neither block
// the program nor fill its memory; so is a file larger than `rules.maxBytes` (EFBIG), also when
// it grows while being read. Failure: the Status code is errno, the message names the file and
// says why in Chinese. `missing` is set when the file does not exist.
Result<std::string> readWholeFile(const std::string& path, bool* missing = nullptr,
                                  const ReadRules& rules = {});

// The same checks as readWholeFile, and one byte read, without reading the file: ok when
// readWholeFile would most likely succeed. Failure (a missing file too) as for readWholeFile.
Status checkFileReadable(const std::string& path, const ReadRules& rules = {});

// Why a read failed, in Chinese, for a Status from readWholeFile (its code), without the path;
// `maxBytes` as the read's ReadRules.
std::string readFailureReason(const Status& failure, std::uint64_t maxBytes = kMaxHiveFileBytes);

// Steps of a durable replace, in order, named for fault injection in tests.
inline constexpr std::string_view kStepCreate = "create";  // the temporary file
inline constexpr std::string_view kStepWrite = "write";
inline constexpr std::string_view kStepSync = "sync";  // the temporary file's data
inline constexpr std::string_view kStepRename = "rename";
inline constexpr std::string_view kStepSyncFolder = "sync-folder";
// Called before each step; a non-zero errno makes that step fail with it.
using StepFault = std::function<int(std::string_view step)>;

// Replaces the file at `path` with `content` so that a crash at any moment leaves either the old
// or the new file: a temporary file in the same folder is written and synced, renamed over the
// old one, and the folder is synced. A path that is a symbolic link stays one: its final target is
// replaced. The new file keeps the old one's permissions; a file that did not exist is made
// readable and writable by its owner only. Success: the new bytes are on disk. Failure: the old
// file is as it was, the temporary file is gone, and the Status carries errno as its code.
Status replaceFileDurably(const std::string& path, std::string_view content,
                          const StepFault& fault = {});

// The two halves of replaceFileDurably, for saves that replace several files together: first
// every new text is written to its temporary file and synced, and only when all of them are on
// disk is any renamed over its file.
//
// Writes `content` to a new temporary file beside the final target of `path` (steps create,
// write, sync) with the permissions replaceFileDurably gives. Success: the temporary file's path;
// its data is on disk. Failure: no temporary file is left, and the Status carries errno.
Result<std::string> writeTemporaryFor(const std::string& path, std::string_view content,
                                      const StepFault& fault = {});
// Renames `temporary` (from writeTemporaryFor) over the final target of `path` (step rename).
// Failure: the file is as it was, `temporary` is removed, and the Status carries errno.
Status renameTemporaryOver(const std::string& temporary, const std::string& path,
                           const StepFault& fault = {});
// Syncs the folder that holds the final target of `path`, making renames into it durable (step
// sync-folder). Failure: errno in the Status.
Status syncFolderOf(const std::string& path, const StepFault& fault = {});

// The file a chain of symbolic links ends at (the path itself when it is no link). A dangling
// link gives the path it points to.
std::string finalLinkTarget(const std::string& path);

// Whether `name` is one of the temporary files replaceFileDurably makes.
bool isStoreTemporaryName(std::string_view name);
// Removes the store's temporary files left in `folder` by a crash. Only safe while holding the
// folder's lock, which every writer holds while its temporary file exists.
void removeLeftoverTemporaries(const std::string& folder);

// An exclusive lock on a folder (flock on the folder itself, so no lock file is added to it).
// Writers of one store take it for each read-modify-write.
class FolderLock {
  public:
    // Blocks until the lock is held, or fails (the folder cannot be opened) with errno as code.
    static Result<FolderLock> acquire(const std::string& folder, bool wait = true);
    FolderLock(FolderLock&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    FolderLock& operator=(FolderLock&&) = delete;
    FolderLock(const FolderLock&) = delete;
    ~FolderLock();

  private:
    explicit FolderLock(int fd) : m_fd(fd) {}
    int m_fd = -1;
};

// Exclusive locks on several folders at once (each as FolderLock), taken in one fixed order (by
// device and inode, a folder named twice locked once) so that two writers asking for the same
// folders never wait for each other.
class FolderLocks {
  public:
    FolderLocks() = default;
    // Blocks until every folder is held. Failure: a folder cannot be opened (errno as code);
    // nothing is held then.
    static Result<FolderLocks> acquire(const std::vector<std::string>& folders);
    FolderLocks(FolderLocks&& other) noexcept : m_fds(std::move(other.m_fds)) {
        other.m_fds.clear();
    }
    FolderLocks& operator=(FolderLocks&& other) noexcept;
    FolderLocks(const FolderLocks&) = delete;
    FolderLocks& operator=(const FolderLocks&) = delete;
    ~FolderLocks();

  private:
    void release();
    std::vector<int> m_fds;
};

// The folder part of a path ("." for a bare name, "/" for a file in the root).
std::string folderOfPath(const std::string& path);

// Creates `folder` and its missing parents (mode 0700 for new ones). Failure: errno as code.
Status makeFolders(const std::string& folder);

}  // namespace hivora
