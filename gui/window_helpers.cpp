#include "gui/window_helpers.h"

#include <QApplication>
#include <QCursor>
#include <QRegion>
#include <QVariant>
#include <QWidget>
#include <cmath>

#include "core/ui/round_region.h"
#include "core/ui/twips.h"
#include "core/ui/window_style.h"

namespace hivora {

WindowHandle windowHandleOf(const QWidget* widget) {
    return reinterpret_cast<WindowHandle>(widget);
}

bool IsCursorOverWindow(WindowHandle window) {
    if (window == kNoWindow) return false;
    return windowHandleOf(QApplication::widgetAt(QCursor::pos())) == window;
}

bool IsCursorOverWindow(const QWidget* widget) {
    return IsCursorOverWindow(windowHandleOf(widget));
}

bool QtPointerService::IsCursorOverWindow(WindowHandle window) const {
    return hivora::IsCursorOverWindow(window);
}

QtPointerService& QtPointerService::shared() {
    static QtPointerService service;
    return service;
}

void SetRoundRegion(QWidget* widget, int cornerWidth, int cornerHeight) {
    if (widget == nullptr) return;
    // The size in twips divided by the twips per pixel, truncated. Qt already measures in
    // pixels, so this is the widget's size itself; the conversion keeps the rule in one place.
    const int width = twipsToPixels(pixelsToTwips(widget->width()));
    const int height = twipsToPixels(pixelsToTwips(widget->height()));
    QRegion region;
    // Runs of identical rows become one rectangle: a region of a few rectangles, not one per row.
    const auto rows = roundRectRows(-1, -1, width + 2, height + 2, cornerWidth, cornerHeight);
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t end = i + 1;
        while (end < rows.size() && rows[end].left == rows[i].left &&
               rows[end].right == rows[i].right && rows[end].y == rows[end - 1].y + 1) {
            ++end;
        }
        region +=
            QRect(rows[i].left, rows[i].y, rows[i].right - rows[i].left, static_cast<int>(end - i));
        i = end;
    }
    widget->setMask(region);
    widget->update();
}

namespace {

constexpr char kStyleProperty[] = "hivoraWindowStyle";

}  // namespace

std::uint32_t windowStyleOf(const QWidget* window) {
    if (window == nullptr) return 0;
    const QVariant stored = window->property(kStyleProperty);
    return stored.isValid() ? stored.toUInt() : kWsOverlappedWindow;
}

void SetWindowStyleMask(QWidget* window, std::uint32_t mask) {
    if (window == nullptr) return;
    const std::uint32_t style = windowStyleOf(window) & mask;
    window->setProperty(kStyleProperty, style);
    const FrameTraits traits = frameTraitsOf(style);
    Qt::WindowFlags flags = Qt::Window;
    if (traits.titleBar) {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (traits.systemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (traits.minimizeButton) flags |= Qt::WindowMinimizeButtonHint;
        if (traits.maximizeButton) flags |= Qt::WindowMaximizeButtonHint;
    } else {
        // Qt gives any window with a button hint a title bar again, so a frameless window asks
        // for none; it can still be minimised (showMinimized) as the kept style bit allows.
        flags |= Qt::FramelessWindowHint;
    }
    // Changing the flags recreates the native window and hides it: put back where it was.
    const QRect geometry = window->geometry();
    const bool visible = window->isVisible();
    window->setWindowFlags(flags);
    window->setGeometry(geometry);
    if (!traits.resizable && geometry.isValid()) window->setFixedSize(geometry.size());
    if (visible) window->show();
}

bool IsPointInControl(const QWidget* widget, QPointF point) {
    if (widget == nullptr) return false;
    const int x = pixelsToTwips(static_cast<int>(std::floor(point.x())));
    const int y = pixelsToTwips(static_cast<int>(std::floor(point.y())));
    return IsPointInControl(pixelsToTwips(widget->width()), pixelsToTwips(widget->height()), x, y);
}

}  // namespace hivora
