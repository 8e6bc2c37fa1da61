// Path mapping between this machine and the Windows programs of a Wine prefix or of an installed
// Windows; see path_mapping.h. Wine names a drive by a symbolic link "<letter>:" in the prefix's "dosdevices"
// folder; everything here is derived from those links at the time of the call.

#include "platform/path_mapping.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace hivora {
namespace {

namespace fs = std::filesystem;

char lowerAscii(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Windows compares names without regard to letter case; bytes outside ASCII (UTF-8 of Chinese
// names, which have no case) compare as they are.
bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

// The components of the part of a Windows path after its drive, with "." dropped and ".." taking
// the one before it away, as Windows resolves them before it looks at the disk.
std::vector<std::string> windowsComponents(const std::string& rest) {
    std::vector<std::string> parts;
    std::string part;
    auto flush = [&] {
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        part.clear();
    };
    for (char c : rest) {
        if (c == '\\' || c == '/') {
            flush();
        } else {
            part += c;
        }
    }
    flush();
    return parts;
}

// The entry of `folder` named `name` in any letter case: the exact name when it exists,
// otherwise the first entry that differs only in case. Nothing when there is none or the folder
// cannot be read.
std::optional<std::string> findIgnoringCase(const fs::path& folder, const std::string& name) {
    std::error_code error;
    if (fs::exists(folder / name, error)) return name;
    fs::directory_iterator entries(folder, error);
    if (error) return std::nullopt;
    for (const fs::directory_entry& entry : entries) {
        const std::string found = entry.path().filename().string();
        if (sameNameIgnoringCase(found, name)) return found;
    }
    return std::nullopt;
}

// `base` followed by the components of `rest`, each spelled as on disk where it exists in
// another letter case; from the first component that exists in no case on, the rest as given.
// `found`: whether every component exists.
fs::path walkIgnoringCase(fs::path base, const std::string& rest, bool& found) {
    found = true;
    for (const std::string& part : windowsComponents(rest)) {
        const auto entry = found ? findIgnoringCase(base, part) : std::nullopt;
        found = entry.has_value();
        base /= entry.value_or(part);
    }
    return base;
}

// "<host root><rest>" for a host path at or below `root`, as a Windows path below `drive`;
// nothing for any other path.
std::optional<std::string> belowRoot(const std::string& path, const std::string& root,
                                     const std::string& drive) {
    const bool covers = root == "/" || path == root ||
                        (path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
                         path[root.size()] == '/');
    if (!covers) return std::nullopt;
    std::string rest = root == "/" ? path : path.substr(root.size());
    if (rest.empty()) rest = "/";
    std::replace(rest.begin(), rest.end(), '/', '\\');
    return drive + rest;
}

class IdentityPathMapping final : public PathMapping {
  public:
    std::string hostPath(const std::string& path) const override { return path; }
    std::string windowsPath(const std::string& path) const override { return path; }
};

class WinePathMapping final : public PathMapping {
  public:
    explicit WinePathMapping(std::string prefix)
        : m_devices(fs::path(std::move(prefix)) / "dosdevices") {}

    std::string hostPath(const std::string& path) const override {
        if (!isDriveLetterPath(path)) return path;
        const auto link = findIgnoringCase(m_devices, std::string{lowerAscii(path[0]), ':'});
        if (!link) return path;
        std::error_code error;
        fs::path current = fs::canonical(m_devices / *link, error);
        if (error) return path;

        bool found = false;
        return walkIgnoringCase(current, path.substr(2), found).string();
    }

    std::string windowsPath(const std::string& path) const override {
        if (path.empty() || path[0] != '/') return path;
        std::error_code error;
        fs::path normal = fs::weakly_canonical(path, error);
        if (error) normal = fs::path(path).lexically_normal();
        std::string full = normal.string();
        while (full.size() > 1 && full.back() == '/') full.pop_back();

        // The drive whose folder is the longest leading part of the path; among drives of the
        // same folder the lowest letter, as Wine picks.
        std::string bestRoot;
        char bestLetter = 0;
        for (const auto& [letter, root] : drives()) {
            const bool covers =
                root == "/" || full == root ||
                (full.size() > root.size() && full.compare(0, root.size(), root) == 0 &&
                 full[root.size()] == '/');
            if (!covers) continue;
            if (bestLetter == 0 || root.size() > bestRoot.size() ||
                (root.size() == bestRoot.size() && letter < bestLetter)) {
                bestRoot = root;
                bestLetter = letter;
            }
        }
        if (bestLetter == 0) return *belowRoot(full, "/", "\\\\?\\unix");
        const char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(bestLetter)));
        return *belowRoot(full, bestRoot, std::string{drive, ':'});
    }

  private:
    // Each drive link of the prefix that leads to a folder: its letter (lower case) and the
    // folder's canonical path.
    std::vector<std::pair<char, std::string>> drives() const {
        std::vector<std::pair<char, std::string>> found;
        std::error_code error;
        fs::directory_iterator entries(m_devices, error);
        if (error) return found;
        for (const fs::directory_entry& entry : entries) {
            const std::string name = entry.path().filename().string();
            if (!isDriveLetterPath(name) || name.size() != 2) continue;
            std::error_code resolveError;
            const fs::path root = fs::canonical(entry.path(), resolveError);
            if (resolveError || !fs::is_directory(root, resolveError)) continue;
            found.emplace_back(lowerAscii(name[0]), root.string());
        }
        return found;
    }

    fs::path m_devices;
};

// An installed Windows whose system volume is mounted at `root`: drive C: is that folder.
class InstallationPathMapping final : public PathMapping {
  public:
    explicit InstallationPathMapping(std::string root) : m_root(std::move(root)) {
        while (m_root.size() > 1 && m_root.back() == '/') m_root.pop_back();
    }

    std::string hostPath(const std::string& path) const override {
        std::string rest;
        if (isDriveLetterPath(path) && lowerAscii(path[0]) == 'c')
            rest = path.substr(2);
        else if (path.size() >= kSystemDrive.size() &&
                 sameNameIgnoringCase(path.substr(0, kSystemDrive.size()), kSystemDrive))
            rest = path.substr(kSystemDrive.size());
        else
            return path;
        bool found = false;
        const fs::path host = walkIgnoringCase(m_root, rest, found);
        return found ? host.string() : path;
    }

    std::string windowsPath(const std::string& path) const override {
        return belowRoot(path, m_root, "C:").value_or(path);
    }

  private:
    static inline const std::string kSystemDrive = "%SystemDrive%";
    std::string m_root;
};

}  // namespace

bool isDriveLetterPath(const std::string& path) {
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) &&
           path[1] == ':' && (path.size() == 2 || path[2] == '\\' || path[2] == '/');
}

std::unique_ptr<PathMapping> makeIdentityPathMapping() {
    return std::make_unique<IdentityPathMapping>();
}

std::unique_ptr<PathMapping> makeWinePathMapping(const std::string& prefix) {
    return std::make_unique<WinePathMapping>(prefix);
}

std::unique_ptr<PathMapping> makeInstallationPathMapping(std::string root) {
    return std::make_unique<InstallationPathMapping>(std::move(root));
}

}  // namespace hivora
