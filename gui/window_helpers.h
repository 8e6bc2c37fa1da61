#pragma once
// Window helpers in Qt terms: the handle by which toolkit-free code names a widget, whether the
// pointer is over a widget, and the rounded shape of a window or control.

#include <QPointF>
#include <cstdint>

#include "core/ui/pointer.h"

class QWidget;

namespace hivora {

// The handle that names `widget` for code below the toolkit (its identity, stable for the
// widget's lifetime; no native window is created for it). kNoWindow for nullptr.
WindowHandle windowHandleOf(const QWidget* widget);

// True when the widget topmost under the pointer is exactly `window`: a child widget lying over
// it at the pointer, or a part cut away by its shape, makes the answer false.
bool IsCursorOverWindow(WindowHandle window);
bool IsCursorOverWindow(const QWidget* widget);

// The pointer as Qt reports it.
class QtPointerService : public PointerService {
  public:
    bool IsCursorOverWindow(WindowHandle window) const override;
    static QtPointerService& shared();
};

// SetRoundRegion: gives the widget a rounded rectangular shape from (-1, -1) to (W + 2, H + 2),
// W x H being its size in pixels now, with corners cut by an ellipse `cornerWidth` x
// `cornerHeight` pixels, as the window helpers have always shaped windows. The widget shows and
// takes input only inside the shape and is redrawn. A later resize does not change the shape, so
// apply it once the widget has its final size. Does nothing for nullptr.
void SetRoundRegion(QWidget* widget, int cornerWidth, int cornerHeight);

// SetWindowStyleMask: the top-level widget's window style (the platform's style bits, a new
// window having kWsOverlappedWindow) becomes the old style AND `mask`; its frame follows (title
// bar, system menu, sizing border, minimise and maximise buttons) without moving or resizing the
// window. A visible window stays visible. Does nothing for nullptr.
void SetWindowStyleMask(QWidget* window, std::uint32_t mask);
// The window style as SetWindowStyleMask last left it (kWsOverlappedWindow before any call).
std::uint32_t windowStyleOf(const QWidget* window);

// IsPointInControl for a point in the widget's own pixels (as a mouse event gives it): the point
// is taken to twips and tested against the widget's size in twips, edges included.
bool IsPointInControl(const QWidget* widget, QPointF point);

}  // namespace hivora
