#include "core/shell/closing.h"

namespace hivora {

namespace {

// Quotes a word for the launcher's Windows-style splitting when it holds blanks or quotes.
std::string quotedWord(const std::string& word) {
    if (word.find_first_of(" \t\"") == std::string::npos && !word.empty()) return word;
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (const char c : word) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            out.append(backslashes * 2 + 1, '\\');
        } else {
            out.append(backslashes, '\\');
        }
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + "\"";
}

}  // namespace

std::optional<std::string> restartCommandFor(const RestartTarget& target) {
    if (target.windows) return std::string(kWindowsRestartCommand);
    if (target.winePrefix.empty() || !target.wineInstalled) return std::nullopt;
    return "env " + quotedWord("WINEPREFIX=" + target.winePrefix) +
           " wineboot --end-session --restart";
}

bool confirmClose(DialogServices& dialogs, bool needsRestart,
                  const std::optional<std::string>& restartCommand,
                  const std::function<void()>& beforeRestart) {
    if (needsRestart) {
        const int answer = dialogs.ShowMessageBox(kRestartPrompt, kMbYesNoCancel);
        if (answer == kIdCancel) return false;
        if (answer == kIdYes && restartCommand) {
            if (beforeRestart) beforeRestart();
            // The window closes whether or not the command could start; the launcher has said
            // why in its status, and there is nothing left to offer here.
            (void)dialogs.RunCommand(*restartCommand, kRestartWindowStyle);
        }
        return true;
    }
    return dialogs.ShowMessageBox(kQuitPrompt, kMbYesNo) != kIdNo;
}

}  // namespace hivora
