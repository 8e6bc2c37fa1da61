#include "app/font_warmup.h"

#include <QFontDatabase>

namespace hivora {

FontWarmup::FontWarmup(QString family) {
    // Any query of the database loads all of it.
    m_thread =
        std::thread([family = std::move(family)] { (void)QFontDatabase::hasFamily(family); });
}

FontWarmup::~FontWarmup() {
    wait();
}

void FontWarmup::wait() {
    if (m_thread.joinable()) m_thread.join();
}

}  // namespace hivora
