// The shell's folder browser (SHBrowseForFolderA), started at the desktop and limited to folders
// of the file system.

#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <shlobj.h>

#include "platform/ansi_codec.h"
#include "platform/system_services.h"

namespace hivora {
namespace {

// The browser needs COM on the calling thread. The program's window thread normally has it
// already (the toolkit starts it); then this initialisation is refused or merely counted.
class ComApartment {
  public:
    ComApartment() : m_result(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(m_result)) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    HRESULT m_result;
};

class Win32FolderBrowser final : public FolderBrowser {
  public:
    std::string browseForFolder(std::uintptr_t ownerWindow, const std::string& title) override {
        Result<std::unique_ptr<AnsiCodec>> codec = makeAnsiCodec(systemAnsiCodePage());
        if (!codec) return {};
        // A title the code page cannot show is shown empty rather than as question marks.
        const std::string ansiTitle = codec.value()->toAnsi(title).valueOr(std::string());

        ComApartment com;
        BROWSEINFOA info{};
        info.hwndOwner = reinterpret_cast<HWND>(ownerWindow);
        info.pidlRoot = nullptr;
        info.pszDisplayName = nullptr;
        info.lpszTitle = ansiTitle.c_str();
        info.ulFlags = BIF_RETURNONLYFSDIRS;
        info.lpfn = nullptr;
        info.lParam = 0;
        info.iImage = 0;
        PIDLIST_ABSOLUTE item = ::SHBrowseForFolderA(&info);
        if (!item) return {};  // cancelled

        char path[512] = {};
        const BOOL found = ::SHGetPathFromIDListA(item, path);
        ::CoTaskMemFree(item);
        if (!found) return {};  // a virtual folder without a file-system path
        return codec.value()->fromAnsi(path).valueOr(std::string());
    }
};

}  // namespace

std::unique_ptr<FolderBrowser> makeFolderBrowser() {
    return std::make_unique<Win32FolderBrowser>();
}

}  // namespace hivora
