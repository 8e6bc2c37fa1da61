// The command launcher on a POSIX host: it starts programs without a shell and never one that
// could power the host off.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "platform/registry_api.h"
#include "platform/system_services.h"

namespace hivora {
namespace {

// The restart command of the program and other ways to reach the power commands: all refused
// before anything is started.
TEST(PosixCommandLauncher, RefusesPowerCommands) {
    auto launcher = makeCommandLauncher();
    for (const char* line : {"cmd /c shutdown -r -f -t 0", "shutdown -r now", "\"/sbin/reboot\"",
                             "poweroff", "halt -p", "systemctl reboot", "CMD.EXE /c dir"}) {
        const Status started = launcher->runCommand(line, 2);
        EXPECT_FALSE(started.isOk()) << line;
        EXPECT_EQ(kErrorAccessDenied, started.code()) << line;
    }
}

TEST(PosixCommandLauncher, EmptyCommandLineIsAnError) {
    EXPECT_FALSE(makeCommandLauncher()->runCommand("  ", 2).isOk());
}

TEST(PosixCommandLauncher, MissingProgramIsAnError) {
    const Status started = makeCommandLauncher()->runCommand("hivora-no-such-program --x", 2);
    EXPECT_FALSE(started.isOk());
    EXPECT_EQ(kErrorFileNotFound, started.code());
}

// The started program's words arrive as the command line grouped them, with no shell between:
// the child writes its arguments into a pipe that the test reads, waiting at most 20 s for it.
TEST(PosixCommandLauncher, StartsTheProgramWithItsWords) {
    char folder[] = "/tmp/hivora-launch-XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(folder));
    const std::string fifo = std::string(folder) + "/pipe";
    ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);

    // "$1" and "$2" are the words after the script; "a;b $HOME" stays one literal word.
    const std::string line = "sh -c \"printf '%s|%s' \\\"$1\\\" \\\"$2\\\" > " + fifo +
                             "\" sh \"a;b $HOME\" \xE4\xB8\xAD";
    const Status started = makeCommandLauncher()->runCommand(line, 2);
    ASSERT_TRUE(started.isOk()) << started.message();

    std::string received;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd ready{reader, POLLIN, 0};
        if (::poll(&ready, 1, 1000) < 0) break;
        char chunk[256];
        const ssize_t got = ::read(reader, chunk, sizeof chunk);
        if (got > 0) {
            received.append(chunk, static_cast<size_t>(got));
        } else if (got == 0 && !received.empty()) {
            break;  // the writer closed its end
        } else if (got < 0 && errno != EAGAIN) {
            break;
        }
    }
    ::close(reader);
    ::unlink(fifo.c_str());
    ::rmdir(folder);
    EXPECT_EQ("a;b $HOME|\xE4\xB8\xAD", received);
}

// A Wine prefix has Wine's system folder, as its programs name it; the private store has none.
TEST(PosixSystemDirectory, IsWinesSystemFolderOrNone) {
    EXPECT_EQ("", makeSystemDirectory()->GetSystemDirectoryA());
    EXPECT_EQ("C:\\windows\\system32",
              makeSystemDirectory("/home/u/.wine/")->GetSystemDirectoryA());
}

}  // namespace
}  // namespace hivora
