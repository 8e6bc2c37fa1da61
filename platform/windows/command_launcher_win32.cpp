// Starting a command line as a new process, as the restart does: the process is started with the
// requested window style and left to run; its handles are closed at once.

#include <windows.h>

#include <vector>

#include "platform/system_services.h"
#include "platform/windows/wide_text.h"

namespace hivora {
namespace {

class Win32CommandLauncher final : public CommandLauncher {
  public:
    Status runCommand(const std::string& commandLine, int windowStyle) override {
        std::wstring wide = wideFromUtf8(commandLine);
        if (wide.empty())
            return Status::error("命令行为空或不是有效的文字", ERROR_INVALID_PARAMETER);
        // CreateProcessW may write into the command line, so it gets a private copy.
        std::vector<wchar_t> line(wide.begin(), wide.end());
        line.push_back(L'\0');

        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(windowStyle);
        PROCESS_INFORMATION process{};
        if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process)) {
            const DWORD error = ::GetLastError();
            return Status::error("无法启动命令：" + commandLine, static_cast<std::int32_t>(error));
        }
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
        return Status::ok();
    }
};

}  // namespace

std::unique_ptr<CommandLauncher> makeCommandLauncher() {
    return std::make_unique<Win32CommandLauncher>();
}

}  // namespace hivora
