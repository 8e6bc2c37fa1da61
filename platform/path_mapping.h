#pragma once
// How paths cross between this machine and the registry the program writes.
//
// On Windows, and with the program's private store, a path is the same on both sides. With a
// Wine prefix the registry is read by Windows programs running under Wine, so every path written
// into it must be a Windows path as Wine gives it ("C:\users\me\Pictures", "Z:\home\me\a.bmp"),
// and every Windows path read from it (or typed by the user) is found on this machine through the
// prefix's drive links in "dosdevices/" ("c:" -> "../drive_c", "z:" -> "/"), with the letter case
// of each name ignored, as Windows ignores it.

#include <memory>
#include <optional>
#include <string>

#include "platform/system_services.h"

namespace hivora {

class PathMapping {
  public:
    virtual ~PathMapping() = default;

    // The path on this machine for `path` as the registry holds it or the user typed it. A
    // Windows path ("X:\..." or "X:/...") resolves through the drive links; each name that exists
    // on disk under another letter case is spelled as on disk, the first name that exists in no
    // case and everything after it are kept as given (with "/" separators). A drive without a
    // link, and a path that is not a Windows path (a host path, a relative path, a network path),
    // come back unchanged. Never fails.
    virtual std::string hostPath(const std::string& path) const = 0;

    // The Windows path under which Windows programs of the store see `path`. A host path
    // ("/...") becomes the drive whose link is the longest leading part of it (the lowest letter
    // when several links name the same folder) followed by the rest with "\" separators; a host
    // path that no drive covers gets Wine's own form for it, "\\?\unix" followed by the path with
    // "\" separators. Anything else (already a Windows path, a relative path) comes back
    // unchanged. Never fails.
    virtual std::string windowsPath(const std::string& path) const = 0;
};

// Paths the same on both sides: Windows, and the program's private store.
std::unique_ptr<PathMapping> makeIdentityPathMapping();

// The mapping of the Wine prefix at `prefix` (its "dosdevices/" folder is read at each call, so
// drives added later are seen). A prefix without "dosdevices/" maps like the identity.
std::unique_ptr<PathMapping> makeWinePathMapping(const std::string& prefix);

// The paths of an installed Windows whose system volume is mounted at `root`: drive C: (and
// %SystemDrive%) is `root`, names matched without regard to case. A path of another drive, or
// one that is not there, comes back unchanged, so it is never taken for a file of this machine.
// windowsPath() turns a host path at or below `root` into its C: path, anything else unchanged.
std::unique_ptr<PathMapping> makeInstallationPathMapping(std::string root);

// Whether `path` is a drive-letter Windows path ("X:" followed by nothing, "\" or "/").
bool isDriveLetterPath(const std::string& path);

// A file system that examines every path through `mapping` first, so that callers can test the
// Windows paths they read from the registry. Both must outlive it.
class MappedFileSystem final : public FileSystem {
  public:
    MappedFileSystem(const FileSystem& host, const PathMapping& mapping)
        : m_host(host), m_mapping(mapping) {}
    std::optional<std::uint32_t> attributes(const std::string& path) const override {
        return m_host.attributes(m_mapping.hostPath(path));
    }

  private:
    const FileSystem& m_host;
    const PathMapping& m_mapping;
};

}  // namespace hivora
