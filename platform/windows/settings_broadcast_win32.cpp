// Telling running programs about a changed setting, as the control panel does; see
// settings_broadcast.h.

#include <windows.h>

#include "platform/settings_broadcast.h"
#include "platform/windows/wide_text.h"

namespace hivora {
namespace {

// Long enough for a busy program to answer, short enough that one that hangs costs little.
constexpr UINT kAnswerTimeoutMs = 1000;

Status lastError(const char* what) {
    const DWORD code = ::GetLastError();
    return Status::error(std::string(what) + "（错误代码 " + std::to_string(code) + "）",
                         static_cast<std::int32_t>(code));
}

class Win32Broadcaster final : public SettingsBroadcaster {
  public:
    Status announceSettingChange(const std::string& area) override {
        const std::wstring wideArea = wideFromUtf8(area);
        DWORD_PTR answer = 0;
        ::SetLastError(0);
        const LRESULT sent = ::SendMessageTimeoutW(
            HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(wideArea.c_str()),
            SMTO_ABORTIFHUNG | SMTO_NORMAL, kAnswerTimeoutMs, &answer);
        // A broadcast reports no single answer; only a failure of the call itself counts.
        if (sent == 0 && ::GetLastError() != 0 && ::GetLastError() != ERROR_TIMEOUT) {
            return lastError("无法通知其他程序设置已更改");
        }
        return Status::ok();
    }

    Status setMenuDropAlignment(bool rightAligned) override {
        return setParameter(SPI_SETMENUDROPALIGNMENT, rightAligned);
    }

    Status setDragFullWindows(bool fullWindows) override {
        return setParameter(SPI_SETDRAGFULLWINDOWS, fullWindows);
    }

  private:
    static Status setParameter(UINT action, bool on) {
        if (!::SystemParametersInfoW(action, on ? 1 : 0, nullptr, SPIF_SENDCHANGE)) {
            return lastError("无法让系统立即应用此设置");
        }
        return Status::ok();
    }
};

}  // namespace

std::unique_ptr<SettingsBroadcaster> makeSettingsBroadcaster() {
    return std::make_unique<Win32Broadcaster>();
}

}  // namespace hivora
