// Draws the program's icon, as the desktop's menus show it, into PNG files:
//
//   icon_generator <directory>
//
// writes <directory>/hivora-48.png and <directory>/hivora-256.png. Run it from the repository
// root with assets/icons as the directory whenever the art below changes, and commit the result.
//
// The art: a rounded tile in the blue of the scroll bars with a lighter top, and a small comb of
// seven honey-coloured cells (a hive of settings), each cell a flat-topped hexagon with a darker
// rim; the centre cell is lit, as the one switch being turned.

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

QPolygonF hexagon(QPointF centre, double radius) {
    QPolygonF points;
    for (int i = 0; i < 6; ++i) {
        const double angle = std::numbers::pi / 3.0 * i;
        points << centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
    }
    return points;
}

QImage drawIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double s = size;

    // The tile.
    const QRectF tile(s * 0.04, s * 0.04, s * 0.92, s * 0.92);
    QLinearGradient body(tile.topLeft(), tile.bottomLeft());
    body.setColorAt(0.0, QColor(0x8f, 0xb6, 0xf0));
    body.setColorAt(0.55, QColor(0x3a, 0x6e, 0xa5));
    body.setColorAt(1.0, QColor(0x24, 0x4c, 0x7c));
    painter.setPen(QPen(QColor(0x1b, 0x38, 0x5c), std::max(1.0, s / 64.0)));
    painter.setBrush(body);
    painter.drawRoundedRect(tile, s * 0.18, s * 0.18);

    // The comb: a centre cell and six around it.
    const double radius = s * 0.13;
    const QPointF centre(s * 0.5, s * 0.53);
    const double dx = radius * 1.5;
    const double dy = radius * std::sqrt(3.0) / 2.0;
    const QPointF offsets[] = {{0, 0},    {dx, -dy},  {dx, dy},    {0, 2 * dy},
                               {-dx, dy}, {-dx, -dy}, {0, -2 * dy}};
    for (int i = 6; i >= 0; --i) {
        const QPointF at = centre + offsets[i];
        QRadialGradient honey(at - QPointF(radius * 0.3, radius * 0.4), radius * 1.3);
        honey.setColorAt(0.0, i == 0 ? QColor(0xff, 0xf1, 0xb8) : QColor(0xfd, 0xd8, 0x6a));
        honey.setColorAt(1.0, i == 0 ? QColor(0xfd, 0xc4, 0x53) : QColor(0xd9, 0x93, 0x1c));
        painter.setBrush(honey);
        painter.setPen(QPen(QColor(0x8a, 0x55, 0x0c), std::max(1.0, s / 80.0)));
        painter.drawPolygon(hexagon(at, radius * 0.94));
    }
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: icon_generator <directory>\n", stderr);
        return 2;
    }
    QGuiApplication app(argc, argv);
    for (int size : {48, 256}) {
        const QString path =
            QStringLiteral("%1/hivora-%2.png").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (!drawIcon(size).save(path)) {
            std::fprintf(stderr, "cannot write %s\n", path.toLocal8Bit().constData());
            return 1;
        }
    }
    return 0;
}
