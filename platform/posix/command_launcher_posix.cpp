// Starting a command without a shell on a POSIX host. The window style has no meaning here.

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/command_line.h"
#include "platform/registry_api.h"
#include "platform/system_services.h"

extern char** environ;

namespace hivora {
namespace {

class PosixCommandLauncher final : public CommandLauncher {
  public:
    Status runCommand(const std::string& commandLine, int /*windowStyle*/) override {
        std::vector<std::string> words = splitCommandLine(commandLine);
        if (words.empty()) return Status::error("命令行为空", kErrorInvalidParameter);
        if (isPowerCommand(words.front())) {
            return Status::error("此系统上不执行关机或重启命令：" + commandLine,
                                 kErrorAccessDenied);
        }
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);

        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        // Its own session: the started program outlives a terminal that closes with this one.
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
        pid_t child = 0;
        const int error =
            posix_spawnp(&child, argv.front(), nullptr, &attributes, argv.data(), environ);
        posix_spawnattr_destroy(&attributes);
        if (error != 0) {
            return Status::error(
                "无法启动命令：" + commandLine + "（" + std::strerror(error) + "）",
                error == ENOENT ? kErrorFileNotFound : kErrorAccessDenied);
        }
        // The caller does not wait; a watcher collects the exit so no zombie is left behind.
        std::thread([child] {
            int status = 0;
            while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
        return Status::ok();
    }
};

}  // namespace

std::unique_ptr<CommandLauncher> makeCommandLauncher() {
    return std::make_unique<PosixCommandLauncher>();
}

}  // namespace hivora
