// Draws the faces of the main window's picture controls and writes them as PNG files, each at 1x
// and at 2x ("name@2x.png", taken on high-density screens). gui/CMakeLists.txt builds every PNG
// of the folder into the program as a resource.
//
//   QT_QPA_PLATFORM=offscreen face_generator <output folder>
//
// Run it from the repository root with assets/faces as the folder whenever the art below changes,
// and commit the pictures. Captions use "Noto Sans CJK SC" (Debian package fonts-noto-cjk).
//
// The art follows the skinned scroll bars: soft vertical gradients in the blue scheme, a
// one-pixel darker outline, a lighter top edge and small rounded corners. Everything is drawn in
// device-independent pixels; the 2x pictures are drawn again at twice the scale, not enlarged.

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

// ---- The blue family (from the scroll bars' arrows and thumb) ---------------------------------

const QColor kOutline(123, 158, 214);      // arrow border
const QColor kSoftOutline(159, 181, 210);  // thumb border
const QColor kGlyph(52, 76, 124);  // a little darker than the arrow chevron, for small marks
const QColor kText(24, 36, 66);
const QColor kPressFrame(204, 40, 36);
const QColor kAccent(253, 196, 83);  // the guide line's orange
const QColor kCloseRed(214, 64, 52);

struct Body {
    QColor top;
    QColor bottom;
    QColor outline;
    QColor highlight;  // the lighter top edge; invalid for none
};

const Body kRestBody{QColor(224, 234, 253), QColor(190, 207, 247), kOutline, QColor(255, 255, 255)};
const Body kHotBody{QColor(240, 246, 255), QColor(212, 228, 255), kOutline, QColor(255, 255, 255)};
const Body kDownBody{QColor(170, 188, 241), QColor(148, 170, 239), QColor(96, 124, 184), QColor()};

constexpr double kCorner = 4.0;

void drawBody(QPainter& p, const QRectF& r, const Body& body, double corner = kCorner) {
    QLinearGradient gradient(r.topLeft(), r.bottomLeft());
    gradient.setColorAt(0, body.top);
    gradient.setColorAt(1, body.bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(gradient);
    p.drawRoundedRect(r, corner, corner);
    if (body.highlight.isValid()) {
        p.setPen(QPen(body.highlight, 1));
        p.drawLine(QPointF(r.left() + corner, r.top() + 1.5),
                   QPointF(r.right() - corner, r.top() + 1.5));
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(body.outline, 1));
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), corner, corner);
}

QFont captionFont(double pointSize) {
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPointSizeF(pointSize);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// ---- Image buttons (57 x 25): released and pressed, per kind ----------------------------------

const char* const kButtonCaptions[] = {"选 择", "设 置", "全 选", "反 选", "删 除",
                                       "解 除", "更 改", "默 认", "隐 藏", "显 示",
                                       "禁 止", "应 用", "禁 用", "启 用"};

void drawButton(QPainter& p, int kind, bool pressed) {
    const QRectF full(0, 0, 57, 25);
    if (pressed) {
        p.setPen(Qt::NoPen);
        p.setBrush(kPressFrame);
        p.drawRoundedRect(full, kCorner + 1, kCorner + 1);
        drawBody(p, full.adjusted(2, 2, -2, -2), kDownBody, kCorner - 1);
    } else {
        drawBody(p, full, kRestBody);
    }
    p.setFont(captionFont(9));
    p.setPen(kText);
    const double shift = pressed ? 1 : 0;
    p.drawText(full.translated(shift, shift), Qt::AlignCenter,
               QString::fromUtf8(kButtonCaptions[kind]));
}

// ---- Tabs (44 x 44): a pictogram per page, five states ----------------------------------------

enum TabState { kSelected, kNormal, kHovered, kPressed, kHeld };

void strokeStyle(QPainter& p, const QColor& color, double width) {
    QPen pen(color, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
}

// Each pictogram fills the 24 x 24 box centred at (22, 22).
void drawPower(QPainter& p, const QColor& ink, const QColor&) {
    strokeStyle(p, ink, 2.6);
    p.drawArc(QRectF(12, 13, 20, 20), 120 * 16, 300 * 16);
    p.drawLine(QPointF(22, 10), QPointF(22, 22));
}

void drawScreen(QPainter& p, const QColor& ink, const QColor& fill) {
    strokeStyle(p, ink, 2);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(10, 11, 24, 17), 2, 2);
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(22, 28), QPointF(22, 32));
    p.drawLine(QPointF(16, 33), QPointF(28, 33));
}

void drawGlobe(QPainter& p, const QColor& ink, const QColor& fill) {
    strokeStyle(p, ink, 2);
    p.setBrush(fill);
    p.drawEllipse(QPointF(22, 22), 11, 11);
    p.setBrush(Qt::NoBrush);
    strokeStyle(p, ink, 1.4);
    p.drawEllipse(QPointF(22, 22), 4.8, 11);
    p.drawLine(QPointF(11.5, 22), QPointF(32.5, 22));
    p.drawLine(QPointF(13.5, 16.5), QPointF(30.5, 16.5));
    p.drawLine(QPointF(13.5, 27.5), QPointF(30.5, 27.5));
}

void drawShield(QPainter& p, const QColor& ink, const QColor& fill) {
    QPainterPath shield;
    shield.moveTo(22, 9.5);
    shield.cubicTo(26, 12, 29.5, 12.5, 32.5, 12.5);
    shield.cubicTo(32.5, 24, 29, 30.5, 22, 34.5);
    shield.cubicTo(15, 30.5, 11.5, 24, 11.5, 12.5);
    shield.cubicTo(14.5, 12.5, 18, 12, 22, 9.5);
    strokeStyle(p, ink, 2);
    p.setBrush(fill);
    p.drawPath(shield);
    strokeStyle(p, ink, 2.2);
    p.drawPolyline(QPolygonF({QPointF(17, 21.5), QPointF(21, 25.5), QPointF(27.5, 17.5)}));
}

void drawChip(QPainter& p, const QColor& ink, const QColor& fill) {
    strokeStyle(p, ink, 2);
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(14, 14, 16, 16), 2, 2);
    strokeStyle(p, ink, 1.6);
    for (int i = 0; i < 3; ++i) {
        const double at = 18 + 4 * i;
        p.drawLine(QPointF(at, 10), QPointF(at, 13));
        p.drawLine(QPointF(at, 31), QPointF(at, 34));
        p.drawLine(QPointF(10, at), QPointF(13, at));
        p.drawLine(QPointF(31, at), QPointF(34, at));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(QPointF(22, 19), 1.4, 1.4);
    p.drawRoundedRect(QRectF(20.8, 21.6, 2.4, 5.6), 0.8, 0.8);
}

using Pictogram = std::function<void(QPainter&, const QColor&, const QColor&)>;
const Pictogram kPictograms[] = {drawPower, drawScreen, drawGlobe, drawShield, drawChip};

void drawTab(QPainter& p, int tab, TabState state) {
    const QRectF full(0, 0, 44, 44);
    QColor ink = kGlyph;
    QColor fill(255, 255, 255, 150);
    double sink = 0;
    switch (state) {
        case kSelected: {
            // Raised and brightest, with the accent under the pictogram.
            drawBody(
                p, full,
                {QColor(255, 255, 255), QColor(214, 228, 254), kOutline, QColor(255, 255, 255)});
            p.setPen(Qt::NoPen);
            p.setBrush(kAccent);
            p.drawRoundedRect(QRectF(12, 38, 20, 3), 1.5, 1.5);
            ink = QColor(36, 66, 132);
            fill = QColor(253, 222, 150);
            break;
        }
        case kNormal:
            drawBody(p, full,
                     {QColor(200, 216, 248), QColor(186, 204, 244), kSoftOutline, QColor()});
            ink = QColor(62, 88, 138);
            fill = QColor(255, 255, 255, 90);
            break;
        case kHovered:
            drawBody(p, full, kHotBody);
            break;
        case kPressed:
            drawBody(p, full, kDownBody);
            p.setPen(QPen(QColor(90, 112, 170, 160), 1));
            p.drawLine(QPointF(kCorner, 1.5), QPointF(44 - kCorner, 1.5));
            sink = 1;
            break;
        case kHeld:
            drawBody(p, full, {kHotBody.top, kHotBody.bottom, QColor(96, 124, 184), QColor()});
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(QColor(96, 124, 184), 1));
            p.drawRoundedRect(full.adjusted(1.5, 1.5, -1.5, -1.5), kCorner - 1, kCorner - 1);
            break;
    }
    p.save();
    p.translate(sink, sink);
    kPictograms[tab](p, ink, fill);
    p.restore();
}

// ---- Chrome buttons (24 x 22): close, minimise, About, colour, undo; four states each
// -----------------

enum ChromeState { kResting, kHot, kDown, kHeldOutside };

void drawGear(QPainter& p, const QColor& ink, double cx, double cy) {
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 2; ++i) {
        const double radius = (i % 2 == 0) ? 7.4 : 5.4;
        const double a0 = (i - 0.5) * M_PI / teeth;
        const double a1 = (i + 0.5) * M_PI / teeth;
        const QPointF p0(cx + radius * std::cos(a0), cy + radius * std::sin(a0));
        const QPointF p1(cx + radius * std::cos(a1), cy + radius * std::sin(a1));
        if (i == 0)
            gear.moveTo(p0);
        else
            gear.lineTo(p0);
        gear.lineTo(p1);
    }
    gear.closeSubpath();
    gear.addEllipse(QPointF(cx, cy), 2.3, 2.3);
    gear.setFillRule(Qt::OddEvenFill);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(gear);
}

void drawChrome(QPainter& p, int button, ChromeState state) {
    const QRectF full(0, 0, 24, 22);
    const bool red = button == 0 && (state == kHot || state == kDown);
    Body body = state == kHot ? kHotBody : state == kDown ? kDownBody : kRestBody;
    if (red) {
        body = state == kHot
                   ? Body{QColor(240, 120, 104), QColor(214, 64, 52), QColor(160, 40, 34),
                          QColor(255, 190, 180)}
                   : Body{QColor(196, 52, 42), QColor(170, 40, 32), QColor(130, 28, 24), QColor()};
    }
    if (state == kHeldOutside) body.outline = QColor(96, 124, 184);
    drawBody(p, full, body, 3.5);
    const double shift = state == kDown ? 1 : 0;
    p.translate(shift, shift);
    const QColor ink = red ? QColor(255, 255, 255) : kGlyph;
    switch (button) {
        case 0:
            strokeStyle(p, ink, 2.2);
            p.drawLine(QPointF(8, 7), QPointF(16, 15));
            p.drawLine(QPointF(16, 7), QPointF(8, 15));
            break;
        case 1:
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            p.drawRoundedRect(QRectF(7, 13, 10, 2.6), 1, 1);
            break;
        case 2:
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            p.drawEllipse(QPointF(12, 6.6), 1.6, 1.6);
            p.drawRoundedRect(QRectF(10.8, 9.2, 2.6, 7.2), 1, 1);
            p.drawRect(QRectF(9.4, 9.2, 2.4, 1.4));
            p.drawRect(QRectF(9.4, 15.2, 5.4, 1.4));
            break;
        case 3:
            drawGear(p, ink, 12, 11);
            break;
        case 4: {
            // A curved arrow turning back to the left: the undo.
            strokeStyle(p, ink, 2.0);
            QPainterPath arc;
            arc.moveTo(8.5, 9);
            arc.cubicTo(QPointF(11, 6.2), QPointF(17.5, 6.8), QPointF(17, 12));
            arc.cubicTo(QPointF(16.6, 15), QPointF(14, 16.2), QPointF(11.5, 16));
            p.setBrush(Qt::NoBrush);
            p.drawPath(arc);
            QPainterPath head;
            head.moveTo(5.6, 9.6);
            head.lineTo(10.6, 5.4);
            head.lineTo(11, 11.2);
            head.closeSubpath();
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            p.drawPath(head);
            break;
        }
    }
}

// ---- Browse buttons (20 x 16): normal and pressed ----------------------------------------------

void drawSysDir(QPainter& p, bool pressed) {
    const QRectF full(0, 0, 20, 16);
    drawBody(p, full, pressed ? kDownBody : kRestBody, 3);
    const double shift = pressed ? 1 : 0;
    p.translate(shift, shift);
    QPainterPath folder;
    folder.moveTo(4.5, 5);
    folder.lineTo(8.5, 5);
    folder.lineTo(10, 6.5);
    folder.lineTo(15.5, 6.5);
    folder.lineTo(15.5, 12);
    folder.lineTo(4.5, 12);
    folder.closeSubpath();
    strokeStyle(p, kGlyph, 1.2);
    p.setBrush(QColor(253, 222, 150));
    p.drawPath(folder);
}

// ---- Output -----------------------------------------------------------------------------------

struct Writer {
    QString folder;

    bool write(const QString& name, QSize size, const std::function<void(QPainter&)>& draw) {
        for (int scale : {1, 2}) {
            QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            {
                QPainter painter(&image);
                painter.setRenderHint(QPainter::Antialiasing);
                painter.setRenderHint(QPainter::TextAntialiasing);
                painter.scale(scale, scale);
                draw(painter);
            }
            const QString file = scale == 1 ? name + ".png" : name + "@2x.png";
            if (!image.save(folder + "/" + file, "PNG")) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(folder + "/" + file));
                return false;
            }
        }
        return true;
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: face_generator <output folder>\n");
        return 2;
    }
    if (QFont(QStringLiteral("Noto Sans CJK SC")).exactMatch() == false) {
        std::fprintf(stderr, "font \"Noto Sans CJK SC\" missing: install fonts-noto-cjk\n");
        return 1;
    }
    Writer out{QString::fromLocal8Bit(argv[1])};
    QDir().mkpath(out.folder);
    bool ok = true;
    for (int tab = 0; tab < 5; ++tab) {
        for (int state = 0; state < 5; ++state) {
            ok &= out.write(QStringLiteral("tab_%1").arg(5 * tab + state + 1, 2, 10, QChar('0')),
                            QSize(44, 44), [&](QPainter& p) { drawTab(p, tab, TabState(state)); });
        }
    }
    for (int kind = 0; kind < 14; ++kind) {
        for (int pressed = 0; pressed < 2; ++pressed) {
            ok &= out.write(
                QStringLiteral("button_%1").arg(2 * kind + pressed + 1, 2, 10, QChar('0')),
                QSize(57, 25), [&](QPainter& p) { drawButton(p, kind, pressed != 0); });
        }
    }
    for (int button = 0; button < 5; ++button) {
        for (int state = 0; state < 4; ++state) {
            ok &= out.write(
                QStringLiteral("sizebox_%1").arg(4 * button + state + 1, 2, 10, QChar('0')),
                QSize(24, 22), [&](QPainter& p) { drawChrome(p, button, ChromeState(state)); });
        }
    }
    for (int pressed = 0; pressed < 2; ++pressed) {
        ok &= out.write(QStringLiteral("sysdir_%1").arg(pressed + 1, 2, 10, QChar('0')),
                        QSize(20, 16), [&](QPainter& p) { drawSysDir(p, pressed != 0); });
    }

    return ok ? 0 : 1;
}
