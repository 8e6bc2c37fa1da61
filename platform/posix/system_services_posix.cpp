// The system folder and the folder browser on a host without Windows; see system_services.h.

#include <string>

#include "platform/system_services.h"

namespace hivora {
namespace {

class FixedSystemDirectory final : public SystemDirectory {
  public:
    explicit FixedSystemDirectory(std::string folder) : m_folder(std::move(folder)) {}
    std::string GetSystemDirectoryA() const override { return m_folder; }

  private:
    std::string m_folder;
};

class NoFolderBrowser final : public FolderBrowser {
  public:
    std::string browseForFolder(std::uintptr_t /*ownerWindow*/,
                                const std::string& /*title*/) override {
        return {};
    }
};

}  // namespace

std::unique_ptr<SystemDirectory> makeSystemDirectory(const std::string& winePrefix) {
    // Wine keeps its system files where Windows does; the path is found on this machine through
    // the prefix's drive links (path_mapping.h).
    if (winePrefix.empty()) return std::make_unique<FixedSystemDirectory>("");
    return std::make_unique<FixedSystemDirectory>("C:\\windows\\system32");
}

std::unique_ptr<FolderBrowser> makeFolderBrowser() {
    return std::make_unique<NoFolderBrowser>();
}

}  // namespace hivora
