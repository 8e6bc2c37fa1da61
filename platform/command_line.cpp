// Command-line words and the power-command guard; see command_line.h.

#include "platform/command_line.h"

#include <algorithm>
#include <cctype>

namespace hivora {
namespace {

// The programs that can power off or restart a POSIX host, and "cmd", through which the restart
// command of Windows runs ("cmd /c shutdown -r ...").
constexpr std::string_view kPowerCommands[] = {"shutdown",  "reboot", "poweroff", "halt",    "cmd",
                                               "systemctl", "init",   "telinit",  "loginctl"};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::vector<std::string> splitCommandLine(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == '\\') {
            const size_t runStart = i;
            while (i < line.size() && line[i] == '\\') ++i;
            const size_t run = i - runStart;
            inWord = true;
            if (i < line.size() && line[i] == '"') {
                word.append(run / 2, '\\');
                if (run % 2 == 1) {
                    word.push_back('"');
                    ++i;
                }
                // An even run leaves the quote to the next turn, where it opens or closes.
            } else {
                word.append(run, '\\');
            }
            continue;
        }
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (isBlank(c) && !quoted) {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word.push_back(c);
            inWord = true;
        }
        ++i;
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

bool isPowerCommand(std::string_view program) {
    const size_t slash = program.find_last_of("/\\");
    std::string name(slash == std::string_view::npos ? program : program.substr(slash + 1));
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    constexpr std::string_view kExe = ".exe";
    if (name.size() > kExe.size() &&
        name.compare(name.size() - kExe.size(), kExe.size(), kExe) == 0) {
        name.resize(name.size() - kExe.size());
    }
    return std::find(std::begin(kPowerCommands), std::end(kPowerCommands), name) !=
           std::end(kPowerCommands);
}

}  // namespace hivora
