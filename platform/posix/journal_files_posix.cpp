// The journal's files on POSIX systems: appends written with O_APPEND and fsync'ed, rewrites
// through the registry store's crash-safe replace.

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/journal_file.h"
#include "platform/posix/durable_file.h"

namespace hivora {
namespace {

Status errnoStatus(int error, const std::string& what) {
    return Status::error("无法写入操作记录 " + what + "：" + std::strerror(error), error);
}

std::string folderOf(const std::string& path) {
    const std::size_t cut = path.rfind('/');
    if (cut == std::string::npos) return ".";
    return cut == 0 ? "/" : path.substr(0, cut);
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The journal is only ever the program's own regular file. A symbolic link put in its place
// would make every append and rewrite land in whatever file it names, and a FIFO or a device
// would hang the program or fill its memory: both are refused, the file left alone.
Status refusedPath(const std::string& path, int error) {
    return Status::error("操作记录 " + path + " 无法使用：" + readFailureReason(Status::error("", error)) +
                             "。请移走它，程序会在原处新建操作记录。",
                         error);
}

// Ok when `path` is missing or a regular file that is no symbolic link.
Status checkJournalPath(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return Status::ok();
    if (S_ISLNK(st.st_mode)) return refusedPath(path, ELOOP);
    if (!S_ISREG(st.st_mode)) return refusedPath(path, EINVAL);
    return Status::ok();
}

class PosixJournalFiles final : public JournalFiles {
  public:
    Result<std::string> read(const std::string& path) override {
        bool missing = false;
        Result<std::string> text =
            readWholeFile(path, &missing, ReadRules{kMaxHiveFileBytes, /*followLinks=*/false});
        if (!text && missing) return std::string();
        if (!text) {
            const int error = text.status().code();
            if (error == ELOOP || error == EINVAL || error == EFBIG) return refusedPath(path, error);
        }
        return text;
    }

    Result<std::string> readFrom(const std::string& path, std::uint64_t offset) override {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            if (errno == ENOENT) return std::string();
            return errnoStatus(errno, path);
        }
        std::string bytes;
        char buffer[1 << 14];
        for (auto at = static_cast<off_t>(offset);;) {
            const ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                const int error = errno;
                ::close(fd);
                return errnoStatus(error, path);
            }
            if (n == 0) break;
            bytes.append(buffer, static_cast<std::size_t>(n));
            at += n;
        }
        ::close(fd);
        return bytes;
    }

    Status appendDurably(const std::string& path, std::string_view bytes) override {
        const std::string folder = folderOf(path);
        if (Status s = makeFolders(folder); !s) return s;
        const bool isNew = ::access(path.c_str(), F_OK) != 0;
        // O_NOFOLLOW: a link in the journal's place is refused, never written through.
        const int fd = ::open(path.c_str(),
                              O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
        if (fd < 0) return errno == ELOOP ? refusedPath(path, ELOOP) : errnoStatus(errno, path);
        const auto fail = [&](int error) {
            ::close(fd);
            return errnoStatus(error, path);
        };
        struct stat st {};
        if (::fstat(fd, &st) != 0) return fail(errno);
        if (!S_ISREG(st.st_mode)) {
            ::close(fd);
            return refusedPath(path, EINVAL);
        }
        if (st.st_size > 0) {
            char last = '\n';
            if (::pread(fd, &last, 1, st.st_size - 1) != 1) return fail(errno ? errno : EIO);
            if (last != '\n' && !writeAll(fd, "\n")) return fail(errno ? errno : EIO);
        }
        if (!writeAll(fd, bytes)) return fail(errno ? errno : EIO);
        if (::fsync(fd) != 0) return fail(errno);
        if (::close(fd) != 0) return errnoStatus(errno, path);
        if (isNew) {
            // The new file's name must survive a crash too.
            const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (dir >= 0) {
                const int synced = ::fsync(dir);
                const int error = errno;
                ::close(dir);
                if (synced != 0) return errnoStatus(error, folder);
            }
        }
        return Status::ok();
    }

    Status replaceDurably(const std::string& path, std::string_view bytes) override {
        // replaceFileDurably would replace a link's target; the journal's own path must be the file.
        if (Status s = checkJournalPath(path); !s) return s;
        if (Status s = makeFolders(folderOf(path)); !s) return s;
        return replaceFileDurably(path, bytes);
    }
};

std::string stateHome() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return state;
    const char* home = std::getenv("HOME");
    if (home && *home) return std::string(home) + "/.local/state";
    const passwd* pw = ::getpwuid(::getuid());
    if (pw && pw->pw_dir && *pw->pw_dir) return std::string(pw->pw_dir) + "/.local/state";
    return {};
}

// FNV-1a, enough to tell the folders of one user apart in a file name.
std::uint64_t fingerprint(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ULL;
    }
    return hash;
}

}  // namespace

std::unique_ptr<JournalFiles> makeJournalFiles() {
    return std::make_unique<PosixJournalFiles>();
}

Result<std::string> journalPathForStore(const std::string& storeFolder) {
    const std::string base = stateHome();
    if (base.empty()) return Status::error("找不到用户的主目录，无法保存操作记录。");
    // The same store named two ways (a trailing slash, a link) keeps one journal.
    std::string folder = storeFolder;
    char resolved[PATH_MAX];
    if (::realpath(storeFolder.c_str(), resolved) != nullptr) folder = resolved;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    std::string name = folder.substr(folder.rfind('/') + 1);
    for (char& c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
        if (!plain) c = '_';
    }
    if (name.empty() || name == "." || name == "..") name = "store";
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx",
                  static_cast<unsigned long long>(fingerprint(folder)));
    return base + "/hivora/" + name + "-" + hash + ".jsonl";
}

}  // namespace hivora
