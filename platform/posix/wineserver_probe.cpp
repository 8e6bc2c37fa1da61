#include "platform/posix/wineserver_probe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

namespace hivora {

std::string wineserverFolder(const std::string& prefixFolder, const std::string& base) {
    struct stat st {};
    if (::stat(prefixFolder.c_str(), &st) != 0) return {};
    char name[96];
    std::snprintf(name, sizeof name, "/.wine-%u/server-%llx-%llx",
                  static_cast<unsigned>(::getuid()), static_cast<unsigned long long>(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino));
    return base + name;
}

bool wineserverRunning(const std::string& prefixFolder, const std::string& base) {
    const std::string folder = wineserverFolder(prefixFolder, base);
    if (folder.empty()) return false;
    const int fd = ::open((folder + "/lock").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    // The server holds a write lock on the first byte of "lock" for as long as it runs.
    struct flock query {};
    query.l_type = F_WRLCK;
    query.l_whence = SEEK_SET;
    query.l_start = 0;
    query.l_len = 1;
    const bool queried = ::fcntl(fd, F_GETLK, &query) == 0;
    ::close(fd);
    if (queried) return query.l_type != F_UNLCK;
    // Without working locks Wine itself falls back on the socket's existence.
    struct stat st {};
    return ::stat((folder + "/socket").c_str(), &st) == 0;
}

}  // namespace hivora
