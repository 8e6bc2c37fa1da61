#pragma once
// Small operating-system services the pages use. Each has a Windows implementation, a POSIX one
// (which does what makes sense on a desktop without Windows) and test doubles in tests/.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/status.h"

namespace hivora {

// Attributes of a file-system entry, as Windows reports them (FILE_ATTRIBUTE_*).
inline constexpr std::uint32_t kFileAttributeReadOnly = 0x01;
inline constexpr std::uint32_t kFileAttributeHidden = 0x02;
inline constexpr std::uint32_t kFileAttributeSystem = 0x04;
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;
inline constexpr std::uint32_t kFileAttributeArchive = 0x20;

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // The entry's attributes, or nothing when there is no entry or it cannot be examined.
    virtual std::optional<std::uint32_t> attributes(const std::string& path) const = 0;
};

class SystemDirectory {
public:
    virtual ~SystemDirectory() = default;
    // GetSystemDirectoryA: the system folder without a trailing separator ("C:\WINDOWS\system32").
    virtual std::string GetSystemDirectoryA() const = 0;
};

class CommandLauncher {
public:
    virtual ~CommandLauncher() = default;
    // Starts `commandLine` as a new process and returns at once. `windowStyle` 2: minimised.
    virtual Status runCommand(const std::string& commandLine, int windowStyle) = 0;
};

class DesktopRefresher {
public:
    virtual ~DesktopRefresher() = default;
    // Asks the shell's desktop window to repaint itself; does nothing where there is no shell.
    virtual void refreshDesktop() = 0;
};

class FolderBrowser {
public:
    virtual ~FolderBrowser() = default;
    // The platform's folder browser, titled `title`; the chosen folder's full path, or "" when
    // the user cancels. `ownerWindow` is the native handle of the owner (0 for none).
    virtual std::string browseForFolder(std::uintptr_t ownerWindow, const std::string& title) = 0;
};

}  // namespace hivora
