#include "platform/posix/durable_file.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace hivora {

namespace {

constexpr std::string_view kTempMarker = ".hivora-";
constexpr std::string_view kTempSuffix = ".tmp";

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

Status errnoStatus(int error, const std::string& what) {
    return Status::error(what + ": " + std::strerror(error), error);
}

// Runs a step, unless the test's fault says it fails; gives errno (0 on success).
template <typename Step>
int runStep(const StepFault& fault, std::string_view name, Step step) {
    if (fault) {
        if (const int injected = fault(name)) return injected;
    }
    return step() ? 0 : errno;
}

bool writeAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;  // some file systems cannot sync folders
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return ok;
}

}  // namespace

FileStamp stampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    FileStamp s;
    s.exists = true;
    s.device = static_cast<std::uint64_t>(st.st_dev);
    s.inode = static_cast<std::uint64_t>(st.st_ino);
    s.size = static_cast<std::uint64_t>(st.st_size);
    s.modifiedNs =
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    s.changedNs = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1'000'000'000 + st.st_ctim.tv_nsec;
    return s;
}

namespace {

Status readRefusal(const std::string& path, int error, const ReadRules& rules) {
    return Status::error(path + "：" + readFailureReason(Status::error("", error), rules.maxBytes),
                         error);
}

// Opens the file for reading when it is one readWholeFile reads: a descriptor on a regular file
// no larger than the limit, or the refusal.
Result<int> openForReading(const std::string& path, bool* missing, const ReadRules& rules) {
    if (missing) *missing = false;
    // The kind of file is checked before it is opened: opening a FIFO for reading waits for a
    // writer, and opening some devices does something by itself.
    struct stat st {};
    if ((rules.followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) {
        if (errno == ENOENT && missing) *missing = true;
        return readRefusal(path, errno, rules);
    }
    if (!rules.followLinks && S_ISLNK(st.st_mode)) return readRefusal(path, ELOOP, rules);
    if (!S_ISREG(st.st_mode)) return readRefusal(path, EINVAL, rules);
    // The path may have been replaced since: the descriptor is checked again, and O_NONBLOCK
    // keeps even that open from waiting on a FIFO put there meanwhile.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC |
                                            (rules.followLinks ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        if (errno == ENOENT && missing) *missing = true;
        return readRefusal(path, errno, rules);
    }
    int error = 0;
    if (::fstat(fd, &st) != 0)
        error = errno;
    else if (!S_ISREG(st.st_mode))
        error = EINVAL;
    else if (static_cast<std::uint64_t>(st.st_size) > rules.maxBytes)
        error = EFBIG;
    if (error == 0) return fd;
    ::close(fd);
    return readRefusal(path, error, rules);
}

}  // namespace

Result<std::string> readWholeFile(const std::string& path, bool* missing, const ReadRules& rules) {
    Result<int> opened = openForReading(path, missing, rules);
    if (!opened) return opened.status();
    const int fd = opened.value();
    std::string content;
    struct stat st {};
    if (::fstat(fd, &st) == 0) content.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        int error = 0;
        if (n < 0 && errno == EINTR) continue;
        if (n < 0)
            error = errno;
        else if (content.size() + static_cast<std::size_t>(n) > rules.maxBytes)
            error = EFBIG;  // a file that grows while it is read is bounded all the same
        if (error != 0) {
            ::close(fd);
            return readRefusal(path, error, rules);
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return content;
}

Status checkFileReadable(const std::string& path, const ReadRules& rules) {
    Result<int> opened = openForReading(path, nullptr, rules);
    if (!opened) return opened.status();
    char probe = 0;
    ssize_t n = 0;
    do {
        n = ::read(opened.value(), &probe, 1);
    } while (n < 0 && errno == EINTR);
    const int error = errno;
    ::close(opened.value());
    return n < 0 ? readRefusal(path, error, rules) : Status::ok();
}

std::string readFailureReason(const Status& failure, std::uint64_t maxBytes) {
    switch (failure.code()) {
        case EINVAL:
            return "它不是普通文件（而是命名管道、设备、套接字或文件夹），没有读取";
        case EFBIG:
            if (maxBytes >= (1ULL << 30) && maxBytes % (1ULL << 30) == 0)
                return "文件大于 " + std::to_string(maxBytes >> 30) + " GiB，没有读取";
            return "文件大于 " + std::to_string(maxBytes >> 20) + " MiB，没有读取";
        case ELOOP:
            return "它是符号链接，为安全起见没有跟随";
        default:
            return std::strerror(failure.code());
    }
}

std::string finalLinkTarget(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        char target[4096];
        const ssize_t n = ::readlink(current.c_str(), target, sizeof target - 1);
        if (n <= 0) return current;
        const std::string link(target, static_cast<std::size_t>(n));
        current = link[0] == '/' ? link : folderOf(current) + "/" + link;
    }
    return current;
}

bool isStoreTemporaryName(std::string_view name) {
    return name.size() > kTempMarker.size() + kTempSuffix.size() + 1 && name[0] == '.' &&
           name.find(kTempMarker) != std::string_view::npos &&
           name.substr(name.size() - kTempSuffix.size()) == kTempSuffix;
}

Result<std::string> writeTemporaryFor(const std::string& path, std::string_view content,
                                      const StepFault& fault) {
    static std::atomic<unsigned> counter{0};
    const std::string target = finalLinkTarget(path);
    const std::string temporary = folderOf(target) + "/." + baseNameOf(target) +
                                  std::string(kTempMarker) + std::to_string(::getpid()) + "-" +
                                  std::to_string(++counter) + std::string(kTempSuffix);
    // The new file gets the old file's permissions; a file made for the first time is readable
    // by its owner only, as registry files can hold secrets such as a logon password.
    struct stat old {};
    const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0600;

    int fd = -1;
    if (const int e = runStep(fault, kStepCreate, [&] {
            fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            return fd >= 0;
        }))
        return errnoStatus(e, temporary);

    const auto abandon = [&](int error) {
        if (fd >= 0) ::close(fd);
        ::unlink(temporary.c_str());
        return errnoStatus(error, temporary);
    };
    if (const int e = runStep(fault, kStepWrite, [&] { return writeAll(fd, content); }))
        return abandon(e);
    if (const int e = runStep(fault, kStepSync, [&] { return ::fsync(fd) == 0; }))
        return abandon(e);
    if (::close(fd) != 0) {
        fd = -1;
        return abandon(errno);
    }
    return temporary;
}

Status renameTemporaryOver(const std::string& temporary, const std::string& path,
                           const StepFault& fault) {
    const std::string target = finalLinkTarget(path);
    if (const int e = runStep(fault, kStepRename,
                              [&] { return ::rename(temporary.c_str(), target.c_str()) == 0; })) {
        ::unlink(temporary.c_str());
        return errnoStatus(e, target);
    }
    return Status::ok();
}

Status syncFolderOf(const std::string& path, const StepFault& fault) {
    const std::string folder = folderOf(finalLinkTarget(path));
    if (const int e = runStep(fault, kStepSyncFolder, [&] { return syncFolder(folder); }))
        return errnoStatus(e, folder);
    return Status::ok();
}

Status replaceFileDurably(const std::string& path, std::string_view content,
                          const StepFault& fault) {
    Result<std::string> temporary = writeTemporaryFor(path, content, fault);
    if (!temporary) return temporary.status();
    if (Status s = renameTemporaryOver(temporary.value(), path, fault); !s) return s;
    // The new file is in place; syncing the folder makes the rename itself durable.
    return syncFolderOf(path, fault);
}

std::string folderOfPath(const std::string& path) {
    return folderOf(path);
}

void removeLeftoverTemporaries(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        if (isStoreTemporaryName(entry->d_name)) ::unlink((folder + "/" + entry->d_name).c_str());
    }
    ::closedir(dir);
}

Result<FolderLock> FolderLock::acquire(const std::string& folder, bool wait) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errnoStatus(errno, folder);
    while (::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) != 0) {
        if (errno == EINTR) continue;
        const int error = errno;
        ::close(fd);
        return errnoStatus(error, folder);
    }
    return FolderLock(fd);
}

Result<FolderLocks> FolderLocks::acquire(const std::vector<std::string>& folders) {
    struct Held {
        dev_t device;
        ino_t inode;
        int fd;
    };
    std::vector<Held> opened;
    const auto closeAll = [&] {
        for (const Held& h : opened) ::close(h.fd);
    };
    for (const std::string& folder : folders) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        struct stat st {};
        if (fd < 0 || ::fstat(fd, &st) != 0) {
            const int error = errno;
            if (fd >= 0) ::close(fd);
            closeAll();
            return errnoStatus(error, folder);
        }
        opened.push_back({st.st_dev, st.st_ino, fd});
    }
    // One order for every writer, and each folder once: flock on a second descriptor of a folder
    // this process holds already would wait for ever.
    std::sort(opened.begin(), opened.end(), [](const Held& a, const Held& b) {
        return a.device != b.device ? a.device < b.device : a.inode < b.inode;
    });
    FolderLocks locks;
    for (std::size_t i = 0; i < opened.size(); ++i) {
        if (i > 0 && opened[i].device == opened[i - 1].device &&
            opened[i].inode == opened[i - 1].inode) {
            ::close(opened[i].fd);
            continue;
        }
        while (::flock(opened[i].fd, LOCK_EX) != 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            for (std::size_t j = i; j < opened.size(); ++j) ::close(opened[j].fd);
            return errnoStatus(error, "flock");  // `locks` lets go of the ones held so far
        }
        locks.m_fds.push_back(opened[i].fd);
    }
    return locks;
}

FolderLocks& FolderLocks::operator=(FolderLocks&& other) noexcept {
    if (this != &other) {
        release();
        m_fds = std::move(other.m_fds);
        other.m_fds.clear();
    }
    return *this;
}

void FolderLocks::release() {
    for (const int fd : m_fds) ::close(fd);  // closing releases the lock
    m_fds.clear();
}

FolderLocks::~FolderLocks() {
    release();
}

FolderLock::~FolderLock() {
    if (m_fd >= 0) ::close(m_fd);  // closing releases the lock
}

Status makeFolders(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode) ? Status::ok() : errnoStatus(ENOTDIR, folder);
    }
    const std::string parent = folderOf(folder);
    if (parent != folder && parent != "." && parent != "/") {
        if (Status s = makeFolders(parent); !s) return s;
    }
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return errnoStatus(errno, folder);
    return Status::ok();
}

}  // namespace hivora
