// The small shell and kernel services on Windows: file attributes, the system folder and the
// desktop refresh, each one platform call.

#include <windows.h>

#include <vector>

#include "platform/ansi_codec.h"
#include "platform/system_services.h"
#include "platform/windows/wide_text.h"

namespace hivora {
namespace {

class Win32FileSystem final : public FileSystem {
  public:
    std::optional<std::uint32_t> attributes(const std::string& path) const override {
        if (path.empty()) return std::nullopt;
        const std::wstring wide = wideFromUtf8(path);
        if (wide.empty()) return std::nullopt;
        const DWORD found = ::GetFileAttributesW(wide.c_str());
        if (found == INVALID_FILE_ATTRIBUTES) return std::nullopt;
        return static_cast<std::uint32_t>(found);
    }
};

// The folder the program looks in for system DLLs, in UTF-8 like every other path it handles.
class Win32SystemDirectory final : public SystemDirectory {
  public:
    std::string GetSystemDirectoryA() const override {
        // Room for 200 characters first, as the page asks; a longer folder (a deep custom
        // Windows folder) is read again with the size the platform reports instead of lost.
        std::vector<char> buffer(200, '\0');
        UINT length = ::GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length >= buffer.size()) {
            buffer.assign(length + 1, '\0');
            length = ::GetSystemDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
            if (length >= buffer.size()) return {};
        }
        std::string folder(buffer.data(), length);
        // The root of a drive ("C:\") is the one form the platform reports with a separator.
        if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
        Result<std::unique_ptr<AnsiCodec>> codec = makeAnsiCodec(systemAnsiCodePage());
        if (!codec) return folder;
        return codec.value()->fromAnsi(folder).valueOr(folder);
    }
};

class Win32DesktopRefresher final : public DesktopRefresher {
  public:
    // As if F5 were pressed on the desktop: the shell's desktop window re-reads its icons.
    void refreshDesktop() override {
        HWND desktop = ::FindWindowA("Progman", "Program Manager");
        if (desktop) ::PostMessageA(desktop, WM_KEYDOWN, VK_F5, 0);
    }
};

}  // namespace

std::unique_ptr<FileSystem> makeFileSystem() {
    return std::make_unique<Win32FileSystem>();
}

std::unique_ptr<SystemDirectory> makeSystemDirectory(const std::string& /*winePrefix*/) {
    return std::make_unique<Win32SystemDirectory>();
}

std::unique_ptr<DesktopRefresher> makeDesktopRefresher() {
    return std::make_unique<Win32DesktopRefresher>();
}

}  // namespace hivora
