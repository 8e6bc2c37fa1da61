#pragma once
// Small operating-system services the pages use. Each has a Windows implementation, a POSIX one
// (which does what makes sense on a desktop without Windows) and test doubles in tests/.

#include <cstdint>
#include <memory>
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
    // GetSystemDirectoryA: the system folder without a trailing separator ("C:\WINDOWS\system32"),
    // or "" when there is none.
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

// The platform's implementations. On Windows each is the system's own service. Elsewhere:
// - makeFileSystem: the host's file system.
// - makeSystemDirectory: with a Wine prefix, the Windows path "C:\windows\system32" of Wine's
//   system folder (found on this machine through the prefix's drive links, path_mapping.h);
//   without one, "" (there is no system folder). The prefix is ignored on Windows.
// - makeCommandLauncher: starts the program named by the command line's first word with the
//   other words as arguments, without a shell. It refuses, with an error, to start the system's
//   power commands (shutdown, reboot, poweroff, halt) and "cmd", so that a Windows restart
//   command can never power off the host.
// - makeDesktopRefresher: does nothing where there is no Windows shell.
// - makeFolderBrowser: returns "" (no browser); the user interface supplies its own.
std::unique_ptr<FileSystem> makeFileSystem();
std::unique_ptr<SystemDirectory> makeSystemDirectory(const std::string& winePrefix = {});
std::unique_ptr<CommandLauncher> makeCommandLauncher();
std::unique_ptr<DesktopRefresher> makeDesktopRefresher();
std::unique_ptr<FolderBrowser> makeFolderBrowser();

}  // namespace hivora
