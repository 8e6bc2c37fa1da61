#include "platform/posix/wineserver_probe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace hivora {

namespace {

// The name Debian's Wine keeps in "<prefix>/wineserver"; empty when there is none or it is not a
// plain folder name.
std::string debianServerName(const std::string& prefixFolder) {
    std::ifstream in(prefixFolder + "/wineserver");
    std::string name;
    std::getline(in, name);
    while (!name.empty() && (name.back() == '\r' || name.back() == ' ')) name.pop_back();
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        return {};
    return name;
}

bool lockIsHeld(const std::string& folder) {
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

}  // namespace

std::vector<std::string> wineserverFolders(const std::string& prefixFolder,
                                           const std::string& base) {
    struct stat st {};
    if (::stat(prefixFolder.c_str(), &st) != 0) return {};
    char server[64];
    std::snprintf(server, sizeof server, "/server-%llx-%llx",
                  static_cast<unsigned long long>(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino));
    std::vector<std::string> bases;
    if (!base.empty()) {
        bases.push_back(base);
    } else {
        const char* tmpdir = std::getenv("TMPDIR");
        if (tmpdir && tmpdir[0] == '/' && std::string(tmpdir) != "/tmp") bases.push_back(tmpdir);
        bases.push_back("/tmp");
    }
    const std::string debianName = debianServerName(prefixFolder);
    std::vector<std::string> folders;
    for (const std::string& b : bases) {
        folders.push_back(b + "/.wine-" + std::to_string(::getuid()) + server);
        if (!debianName.empty()) folders.push_back(b + "/" + debianName + server);
    }
    return folders;
}

bool wineserverRunning(const std::string& prefixFolder, const std::string& base) {
    for (const std::string& folder : wineserverFolders(prefixFolder, base))
        if (lockIsHeld(folder)) return true;
    return false;
}

}  // namespace hivora
