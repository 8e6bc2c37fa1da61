#include "core/startup/program_path.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "core/catalogue/file_checks.h"

namespace hivora {

namespace {

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string readText(RegInfoGetSet& layer, RegKey root, const char* key, const char* name) {
    std::int32_t flag = 0;
    std::string text = layer.GetRegString(root, key, name, kKeyRead, flag);
    if (flag == 0) return text;
    text = layer.GetRegExpandString(root, key, name, kKeyRead, flag);
    return flag == 0 ? text : std::string();
}

void putIfAny(StartupEnvironment& env, const char* name, std::string value) {
    if (!value.empty()) env[name] = std::move(value);
}

// Every value of an Environment key, expanded against what is known so far.
void addEnvironmentKey(RegInfoGetSet& layer, RegKey root, const char* key,
                       StartupEnvironment& env) {
    std::vector<std::string> names, texts;
    std::vector<RegKey> handles;
    // The listing keeps the key open for removals; this reader closes it again at once.
    const std::int16_t before = layer.OpenKeyHandleCount();
    const std::int16_t count = layer.EnumRegValues(root, key, names, texts, handles);
    if (count > 0) {
        layer.CloseRegKey(handles[static_cast<std::size_t>(before)]);
        layer.OpenKeyHandleCount() = before;
    }
    for (std::int16_t i = 0; i < count; ++i) {
        std::string value = readText(layer, root, key, names[i].c_str());
        if (!value.empty()) env[upper(names[i])] = expandEnvironmentStrings(value, env);
    }
}

bool isBareName(std::string_view path) {
    return path.find_first_of("\\/:") == std::string_view::npos;
}

bool hasExtension(std::string_view path) {
    const auto dot = path.rfind('.');
    return dot != std::string_view::npos &&
           path.find_first_of("\\/", dot) == std::string_view::npos;
}

bool endsWithProgramExtension(std::string_view path) {
    if (path.size() < 4) return false;
    const std::string tail = upper(path.substr(path.size() - 4));
    return tail == ".EXE" || tail == ".COM" || tail == ".BAT" || tail == ".CMD";
}

bool fileAt(const ProgramLookup& lookup, const std::string& windowsPath) {
    const auto [slot, fresh] = lookup.known.try_emplace(windowsPath, false);
    if (fresh) slot->second = FileExists(*lookup.files, lookup.paths->hostPath(windowsPath));
    return slot->second;
}

// Whether a program named by `path` exists, Windows' way: as given, then with ".exe" when it has
// no extension; a bare name in the system and Windows folders. Nothing when a bare name cannot
// be looked for.
std::optional<bool> programExists(const ProgramLookup& lookup, std::string path) {
    if (!path.empty() && path.back() == ',') path.pop_back();  // Userinit's list separator
    if (path.empty()) return std::nullopt;
    std::vector<std::string> candidates;
    if (isBareName(path)) {
        const auto root = lookup.environment.find("SYSTEMROOT");
        if (root == lookup.environment.end()) return std::nullopt;
        for (const char* folder : {"\\system32\\", "\\"})
            candidates.push_back(root->second + folder + path);
    } else {
        candidates.push_back(path);
    }
    for (const std::string& candidate : candidates) {
        if (fileAt(lookup, candidate)) return true;
        if (!hasExtension(candidate) && fileAt(lookup, candidate + ".exe")) return true;
    }
    return false;
}

}  // namespace

StartupEnvironment readStartupEnvironment(RegInfoGetSet& layer) {
    constexpr RegKey kLm = kHkeyLocalMachine;
    constexpr RegKey kCu = kHkeyCurrentUser;
    constexpr char kNt[] = "Software\\Microsoft\\Windows NT\\CurrentVersion";
    constexpr char kWindows[] = "Software\\Microsoft\\Windows\\CurrentVersion";
    constexpr char kShellFolders[] =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    StartupEnvironment env;
    const std::string systemRoot = readText(layer, kLm, kNt, "SystemRoot");
    putIfAny(env, "SYSTEMROOT", systemRoot);
    putIfAny(env, "WINDIR", systemRoot);
    if (systemRoot.size() >= 2 && systemRoot[1] == ':')
        env["SYSTEMDRIVE"] = systemRoot.substr(0, 2);
    putIfAny(env, "PROGRAMFILES", readText(layer, kLm, kWindows, "ProgramFilesDir"));
    putIfAny(env, "PROGRAMFILES(X86)", readText(layer, kLm, kWindows, "ProgramFilesDir (x86)"));
    putIfAny(env, "COMMONPROGRAMFILES", readText(layer, kLm, kWindows, "CommonFilesDir"));
    addEnvironmentKey(layer, kLm,
                      "System\\CurrentControlSet\\Control\\Session Manager\\Environment", env);
    putIfAny(env, "USERPROFILE", readText(layer, kCu, "Volatile Environment", "USERPROFILE"));
    putIfAny(env, "APPDATA", readText(layer, kCu, kShellFolders, "AppData"));
    putIfAny(env, "LOCALAPPDATA", readText(layer, kCu, kShellFolders, "Local AppData"));
    addEnvironmentKey(layer, kCu, "Environment", env);
    return env;
}

std::string expandEnvironmentStrings(std::string_view text, const StartupEnvironment& environment) {
    std::string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find('%', at);
        const std::size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
        if (close == std::string_view::npos) {
            out.append(text.substr(at));
            break;
        }
        out.append(text.substr(at, open - at));
        const auto found = environment.find(upper(text.substr(open + 1, close - open - 1)));
        if (found != environment.end()) {
            out += found->second;
            at = close + 1;
        } else {
            // Unknown: the first % stays, and the second may open the next reference.
            out += '%';
            at = open + 1;
        }
    }
    return out;
}

std::string firstCommandToken(std::string_view command) {
    while (!command.empty() && (command.front() == ' ' || command.front() == '\t'))
        command.remove_prefix(1);
    if (!command.empty() && command.front() == '"') {
        const std::size_t close = command.find('"', 1);
        return std::string(command.substr(1, close == std::string_view::npos ? close : close - 1));
    }
    return std::string(command.substr(0, command.find_first_of(" \t")));
}

std::optional<std::string> missingProgram(const ProgramLookup& lookup, std::string_view command,
                                          bool expandable) {
    std::string text =
        expandable ? expandEnvironmentStrings(command, lookup.environment) : std::string(command);
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.erase(0, 1);
    if (text.empty()) return std::nullopt;
    const std::string first = firstCommandToken(text);
    // A reference left unexpanded names a folder this registry does not tell: no verdict.
    if (first.empty() || (expandable && first.find('%') != std::string::npos)) return std::nullopt;

    if (text.front() == '"' || text.find_first_of(" \t") == std::string::npos) {
        const std::optional<bool> exists = programExists(lookup, first);
        if (!exists || *exists) return std::nullopt;
        return first;
    }
    // Unquoted with blanks: each longer prefix ending before a blank, as Windows tries them.
    std::optional<std::string> reported;
    std::size_t end = 0;
    while (true) {
        end = text.find_first_of(" \t", end + 1);
        const std::string candidate = text.substr(0, end);
        const std::optional<bool> exists = programExists(lookup, candidate);
        if (!exists || *exists) return std::nullopt;
        if (!reported && endsWithProgramExtension(candidate)) reported = candidate;
        if (end == std::string::npos) break;
    }
    return reported ? reported : first;
}

}  // namespace hivora
