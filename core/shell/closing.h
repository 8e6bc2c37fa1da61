#pragma once
// What happens when the main window is asked to close: the quit question, or, after a change
// that needs a restart, the restart offer; and which command restarts the system the program
// works on.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/dialog_services.h"

namespace hivora {

inline constexpr char kRestartPrompt[] =
    "有的修改需要重启才能生效，是否立及重启？\r\n"
    "\r\n"
    "选择［是］立及重新启动，使应用生效；\r\n"
    "选择［否］退出设置，稍后重新启动；\r\n"
    "选择［取消］则继续设置。\r\n";
inline constexpr char kQuitPrompt[] = "退出Hivora？\r\n\r\n";

// Windows' own restart: at once, forcing programs to close. Started minimised (window style 2).
inline constexpr char kWindowsRestartCommand[] = "cmd /c shutdown -r -f -t 0";
inline constexpr int kRestartWindowStyle = 2;

// Where the program's registry lives, as far as restarting goes.
struct RestartTarget {
    bool windows = false;        // the real Windows registry: restart the computer
    std::string winePrefix;      // else: a Wine prefix the store works on ("" for the own store)
    bool wineInstalled = false;  // Wine's wineboot can be started
};

// The command that restarts `target`, or nothing when there is nothing to restart. On Windows the
// computer's restart; with a Wine prefix and Wine installed, Wine's restart of that prefix only
// (its session ended, then its restart-time work run), never the host's; otherwise nothing.
std::optional<std::string> restartCommandFor(const RestartTarget& target);

// Runs the closing question through `dialogs` and answers whether the window may close.
// With `needsRestart`: Yes starts `restartCommand` (when there is one) through RunCommand and
// closes, Cancel keeps the window open, anything else closes. Without: No keeps it open,
// anything else closes. `beforeRestart` runs just before the restart command starts (the
// registry saves what it holds, so the restart sees it); a failed start still closes.
bool confirmClose(DialogServices& dialogs, bool needsRestart,
                  const std::optional<std::string>& restartCommand,
                  const std::function<void()>& beforeRestart = {});

}  // namespace hivora
