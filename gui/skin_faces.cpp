#include "gui/skin_faces.h"

#include <QLinearGradient>
#include <QPainter>
#include <QString>

namespace hivora {

namespace {

// Until the drawn artwork ships, faces are painted here in the scroll bars' blue: enough for the
// pages and tests to show the right sizes and captions.
constexpr const char* kButtonCaptions[] = {"选 择", "设 置", "全 选", "反 选", "删 除", "解 除",
                                           "更 改", "默 认", "隐 藏", "显 示", "禁 止", "应 用"};

QPixmap plainFace(int width, int height, bool pressed, const QString& caption) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QLinearGradient body(0, 0, 0, height);
    body.setColorAt(0, pressed ? QColor(0x9d, 0xbf, 0xe8) : QColor(0xdd, 0xea, 0xfb));
    body.setColorAt(1, pressed ? QColor(0x6f, 0x9c, 0xd6) : QColor(0xa6, 0xc5, 0xee));
    painter.setBrush(body);
    painter.setPen(pressed ? QColor(0xd0, 0x20, 0x20) : QColor(0x3a, 0x6e, 0xa5));
    painter.drawRoundedRect(QRectF(0.5, 0.5, width - 1, height - 1), 3, 3);
    painter.setPen(QColor(0x10, 0x20, 0x40));
    painter.drawText(QRect(pressed ? 1 : 0, pressed ? 1 : 0, width, height), Qt::AlignCenter,
                     caption);
    return pixmap;
}

}  // namespace

QPixmap tabFace(int number) {
    if (number < 1 || number > 25) return {};
    const int state = (number - 1) % 5;
    return plainFace(44, 44, state == 3, QString::number((number - 1) / 5));
}

QPixmap buttonFace(int number) {
    if (number < 1 || number > 24) return {};
    const int kind = (number - 1) / 2;
    return plainFace(57, 25, number % 2 == 0, QString::fromUtf8(kButtonCaptions[kind]));
}

QPixmap sizeBoxFace(int number) {
    if (number < 1 || number > 16) return {};
    constexpr const char* kMarks[] = {"×", "–", "i", "◐"};
    return plainFace(24, 22, (number - 1) % 4 >= 2, QString::fromUtf8(kMarks[(number - 1) / 4]));
}

QPixmap sysDirFace(int number) {
    if (number < 1 || number > 2) return {};
    return plainFace(20, 16, number == 2, QStringLiteral("…"));
}

}  // namespace hivora
