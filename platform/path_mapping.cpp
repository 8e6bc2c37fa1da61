// Path mapping between this machine and the Windows programs of a Wine prefix; see
// path_mapping.h. Wine names a drive by a symbolic link "<letter>:" in the prefix's "dosdevices"
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

        const std::vector<std::string> parts = windowsComponents(path.substr(2));
        bool onDisk = true;
        for (const std::string& part : parts) {
            const auto found = onDisk ? findIgnoringCase(current, part) : std::nullopt;
            onDisk = found.has_value();
            current /= found.value_or(part);
        }
        return current.string();
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
        std::string windows;
        std::string rest;
        if (bestLetter != 0) {
            windows = {static_cast<char>(std::toupper(static_cast<unsigned char>(bestLetter))),
                       ':'};
            rest = bestRoot == "/" ? full : full.substr(bestRoot.size());
        } else {
            windows = "\\\\?\\unix";
            rest = full;
        }
        if (rest.empty()) rest = "/";
        std::replace(rest.begin(), rest.end(), '/', '\\');
        return windows + rest;
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

}  // namespace hivora
