#include "gui/window_helpers.h"

#include <QApplication>
#include <QCursor>
#include <QRegion>
#include <QWidget>

#include "core/ui/round_region.h"
#include "core/ui/twips.h"

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

}  // namespace hivora
