// File attributes on a POSIX host, in the Windows terms the pages test for.

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "platform/system_services.h"

namespace hivora {
namespace {

class PosixFileSystem final : public FileSystem {
  public:
    std::optional<std::uint32_t> attributes(const std::string& path) const override {
        if (path.empty()) return std::nullopt;
        struct stat entry {};
        if (::stat(path.c_str(), &entry) != 0) return std::nullopt;

        std::uint32_t attributes =
            S_ISDIR(entry.st_mode) ? kFileAttributeDirectory : kFileAttributeArchive;
        if (::access(path.c_str(), W_OK) != 0) attributes |= kFileAttributeReadOnly;
        if (isDotName(path)) attributes |= kFileAttributeHidden;
        return attributes;
    }

  private:
    // A name starting with "." is what a POSIX desktop hides; "." and ".." are not names.
    static bool isDotName(const std::string& path) {
        std::string name = path;
        while (name.size() > 1 && name.back() == '/') name.pop_back();
        const auto slash = name.find_last_of('/');
        if (slash != std::string::npos) name.erase(0, slash + 1);
        return name.size() > 1 && name[0] == '.' && name != "..";
    }
};

}  // namespace

std::unique_ptr<FileSystem> makeFileSystem() {
    return std::make_unique<PosixFileSystem>();
}

}  // namespace hivora
