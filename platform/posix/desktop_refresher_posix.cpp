// No Windows shell reads the settings on a POSIX host, so there is no desktop to refresh.

#include <memory>

#include "platform/system_services.h"

namespace hivora {
namespace {

class PosixDesktopRefresher final : public DesktopRefresher {
  public:
    void refreshDesktop() override {}
};

}  // namespace

std::unique_ptr<DesktopRefresher> makeDesktopRefresher() {
    return std::make_unique<PosixDesktopRefresher>();
}

}  // namespace hivora
