// Shortcuts read through the Windows shell's own link object, so that what the list shows is what
// Explorer would start.
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/shortcut_file.h"
#include "platform/windows/wide_text.h"

namespace hivora {

namespace {

// COM for the calling thread for the length of one read. A thread that already has it in the
// other apartment model (RPC_E_CHANGED_MODE) can still create the in-process link object.
class ComForThisThread {
  public:
    ComForThisThread() : m_result(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComForThisThread() {
        if (SUCCEEDED(m_result)) ::CoUninitialize();
    }
    ComForThisThread(const ComForThisThread&) = delete;
    ComForThisThread& operator=(const ComForThisThread&) = delete;

  private:
    HRESULT m_result;
};

// Releases a COM interface when it leaves scope.
template <typename Interface>
struct Released {
    Interface* pointer = nullptr;
    ~Released() {
        if (pointer != nullptr) pointer->Release();
    }
};

// The longest path or argument text a shortcut can hold (its strings carry 16-bit counts).
constexpr int kLongestText = 32768;

}  // namespace

Result<ShortcutTarget> readShortcut(const std::string& hostPath) {
    const std::wstring path = wideFromUtf8(hostPath);
    if (path.empty()) return Status::error("无法读取");
    ComForThisThread com;
    Released<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link.pointer))))
        return Status::error("无法读取");
    Released<IPersistFile> file;
    if (FAILED(link.pointer->QueryInterface(IID_IPersistFile,
                                            reinterpret_cast<void**>(&file.pointer))) ||
        FAILED(file.pointer->Load(path.c_str(), STGM_READ)))
        return Status::error("无法读取");

    std::vector<wchar_t> buffer(kLongestText, L'\0');
    ShortcutTarget shortcut;
    // S_FALSE: the shortcut names no file-system path (a control-panel item, a store app): "".
    if (link.pointer->GetPath(buffer.data(), kLongestText, nullptr, 0) == S_OK)
        shortcut.target = utf8FromWide(buffer.data());
    buffer.assign(kLongestText, L'\0');
    if (SUCCEEDED(link.pointer->GetArguments(buffer.data(), kLongestText)))
        shortcut.arguments = utf8FromWide(buffer.data());
    return shortcut;
}

}  // namespace hivora
