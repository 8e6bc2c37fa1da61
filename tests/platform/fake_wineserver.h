#pragma once
// A stand-in for a running wineserver (POSIX): the write lock on the first byte of "lock" in the
// server's folder, which the server holds while it runs. Taken as an open file description lock,
// which conflicts with every other owner's lock, so the probe sees it as it sees another
// process's. The lock goes with the object, as when the server ends.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/posix/wineserver_probe.h"

namespace hivora::test {

class FakeWineserver {
  public:
    // Holds the lock in `serverFolder`, made when missing.
    explicit FakeWineserver(const std::string& serverFolder) {
        std::filesystem::create_directories(serverFolder);
        m_fd = ::open((serverFolder + "/lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_len = 1;
        EXPECT_EQ(::fcntl(m_fd, F_OFD_SETLK, &lock), 0);
    }
    // A server for the Wine prefix `prefix`, its folder below `base` ("": $TMPDIR or /tmp).
    static FakeWineserver forPrefix(const std::string& prefix, const std::string& base = {}) {
        const auto folders = wineserverFolders(prefix, base);
        EXPECT_FALSE(folders.empty()) << prefix;
        return FakeWineserver(folders.empty() ? prefix + "/no-server" : folders.front());
    }
    FakeWineserver(FakeWineserver&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    FakeWineserver(const FakeWineserver&) = delete;
    FakeWineserver& operator=(const FakeWineserver&) = delete;
    ~FakeWineserver() {
        if (m_fd >= 0) ::close(m_fd);
    }

  private:
    int m_fd = -1;
};

}  // namespace hivora::test
