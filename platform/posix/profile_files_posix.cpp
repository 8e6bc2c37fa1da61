#include "platform/posix/profile_files_posix.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <optional>
#include <string>

#include "platform/ansi_codec.h"
#include "platform/posix/durable_file.h"
#include "platform/profile_format.h"
#include "platform/registry_api.h"

namespace hivora {
namespace {

RegResult windowsCodeOf(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
            return kErrorAccessDenied;
        case ENOSPC:
        case EDQUOT:
            return kErrorDiskFull;
        case ENOENT:
        case ENOTDIR:
            return kErrorFileNotFound;
        default:
            return kErrorWriteFault;
    }
}

Status fileError(const char* what, const std::string& path, int error) {
    return Status::error(std::string(what) + "“" + path + "”：" + std::strerror(error),
                         windowsCodeOf(error));
}

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    // Closes now and reports the outcome: close may be where a delayed write error shows.
    int closeNow() {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

  private:
    int m_fd;
};

// A profile file is a few lines of settings; anything bigger is not one.
constexpr std::uint64_t kMaxProfileBytes = 16ULL << 20;

// The file's text; no value, with errno set, when it cannot be read or is no regular file (a
// FIFO or a device is never opened for reading, so it cannot hang the program). A missing file
// reads as "" (ENOENT is not an error here).
std::optional<std::string> readProfileText(const std::string& path, std::string* why = nullptr) {
    bool missing = false;
    Result<std::string> text = readWholeFile(path, &missing, ReadRules{kMaxProfileBytes, true});
    if (missing) return std::string();
    if (!text) {
        if (why) *why = readFailureReason(text.status(), kMaxProfileBytes);
        errno = text.status().code();
        return std::nullopt;
    }
    return std::move(text).value();
}

bool writeAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t put = ::write(fd, text.data() + written, text.size() - written);
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return false;
        written += static_cast<std::size_t>(put);
    }
    return true;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Replaces `path` by a file holding `text`, so that `path` is at every moment the old or the new
// file, and both the file and its folder entry are on disk when this returns ok.
Status replaceFileAtomically(const std::string& path, const std::string& text) {
    struct stat old {};
    const bool existed = ::stat(path.c_str(), &old) == 0;
    const mode_t mode = existed ? (old.st_mode & 07777) : 0644;

    const std::string folder = folderOf(path);
    std::string temporary = path + ".XXXXXX";
    FileDescriptor fd(::mkstemp(temporary.data()));
    if (fd.get() < 0) return fileError("无法在文件夹中创建临时文件，未写入", path, errno);

    const auto abandon = [&](const char* what) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return fileError(what, path, error);
    };
    if (::fchmod(fd.get(), mode) != 0) return abandon("无法设置文件权限，未写入");
    if (!writeAll(fd.get(), text)) return abandon("无法写入文件");
    if (::fsync(fd.get()) != 0) return abandon("无法把文件写入磁盘");
    if (fd.closeNow() != 0) return abandon("无法写入文件");
    if (::rename(temporary.c_str(), path.c_str()) != 0) return abandon("无法替换文件");

    // The rename is durable only once the folder is on disk as well.
    FileDescriptor folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.get() < 0 || ::fsync(folderFd.get()) != 0) {
        return fileError("文件已写入，但无法确认其文件夹已保存到磁盘", path, errno);
    }
    return Status::ok();
}

class PosixProfileFiles final : public ProfileFiles {
  public:
    explicit PosixProfileFiles(std::uint32_t codePage) : m_codePage(codePage) {}

    std::string GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                         const std::string& defaultValue, std::uint32_t bufferSize,
                                         const std::string& fileName) override {
        const std::optional<std::string> text = readProfileText(fileName);
        std::optional<std::string> value;
        if (text) value = findProfileValue(*text, section, key, m_codePage);
        return cutToProfileBuffer(value ? *value : defaultValue, bufferSize, m_codePage);
    }

    Status WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                      const std::string& value,
                                      const std::string& fileName) override {
        std::string why;
        const std::optional<std::string> text = readProfileText(fileName, &why);
        if (!text)
            return Status::error("无法读取文件“" + fileName + "”：" + why + "，未写入",
                                 windowsCodeOf(errno));
        Result<std::string> updated = writeProfileValue(*text, section, key, value, m_codePage);
        if (!updated) return updated.status();
        return replaceFileAtomically(fileName, updated.value());
    }

  private:
    std::uint32_t m_codePage;
};

}  // namespace

std::unique_ptr<ProfileFiles> makePosixProfileFiles(std::uint32_t codePage) {
    return std::make_unique<PosixProfileFiles>(codePage);
}

std::unique_ptr<ProfileFiles> makeProfileFiles() {
    return makePosixProfileFiles(systemAnsiCodePage());
}

}  // namespace hivora
