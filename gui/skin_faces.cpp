#include "gui/skin_faces.h"

#include <QGuiApplication>
#include <QString>
#include <array>

#include "core/catalogue/tweak_framework.h"

namespace hivora {

namespace {

// The faces are built into the program as resources (assets/faces, drawn by
// tools/face_generator.cpp), each at 1x and 2x. The 2x picture is taken when any part of the
// desktop is denser than 1x, so that the window stays sharp when Qt scales it.
QPixmap loadFace(const char* list, int number) {
    const bool dense = qGuiApp != nullptr && qGuiApp->devicePixelRatio() > 1.0;
    const QString base =
        QStringLiteral(":/faces/%1_%2").arg(QLatin1String(list)).arg(number, 2, 10, QChar('0'));
    QPixmap pixmap;
    if (dense && pixmap.load(base + QStringLiteral("@2x.png"))) {
        pixmap.setDevicePixelRatio(2.0);
        return pixmap;
    }
    pixmap.load(base + QStringLiteral(".png"));
    pixmap.setDevicePixelRatio(1.0);
    return pixmap;
}

// Loaded once, on first use, on the user-interface thread.
template <std::size_t N>
QPixmap cachedFace(std::array<QPixmap, N>& cache, const char* list, int number) {
    if (number < 1 || number > static_cast<int>(N)) return {};
    QPixmap& slot = cache[static_cast<std::size_t>(number - 1)];
    if (slot.isNull()) slot = loadFace(list, number);
    return slot;
}

}  // namespace

QPixmap tabFace(int number) {
    static std::array<QPixmap, 25> cache;
    return cachedFace(cache, "tab", number);
}

QPixmap buttonFace(int number) {
    static std::array<QPixmap, 2 * kButtonKindCount> cache;
    return cachedFace(cache, "button", number);
}

QPixmap sizeBoxFace(int number) {
    static std::array<QPixmap, 20> cache;
    return cachedFace(cache, "sizebox", number);
}

QPixmap sysDirFace(int number) {
    static std::array<QPixmap, 2> cache;
    return cachedFace(cache, "sysdir", number);
}

}  // namespace hivora
