#pragma once
// The skinned scroll bar: a value between Min and Max that the user steps with the arrows, pages
// with the track and drags with the thumb, with auto-repeat while a button is held, drawn from
// skin pictures into a backing image that its window shows. One implementation serves both twins;
// the orientation picks the axis and the few rules in which they differ:
//   - the horizontal bar marks a press as in progress (mouse down) for any button, before anything
//     else; the vertical bar only for the left button, once the press is under way;
//   - the horizontal bar draws the silver track for every scheme from 2 up, the vertical one for
//     scheme 2 only (painter).
//
// Everything runs on the user-interface thread; a handler of an event may call back into the bar.
// Nothing fails toward the host: bad property values are replaced (with the message "Invalid
// property value" for SmallChange and LargeChange), and a computation without a divisor leaves the
// affected value as it was.

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "core/dialog_services.h"
#include "core/scrollbar/color_scheme.h"
#include "core/scrollbar/pixel_buffer.h"
#include "core/scrollbar/scroll_bar_geometry.h"
#include "core/scrollbar/scroll_bar_types.h"
#include "core/ui/pointer.h"
#include "core/ui/timer_service.h"

namespace hivora {

class PropertyBag;

// The bar's own window, as the toolkit provides it.
class ScrollBarWindow {
  public:
    virtual ~ScrollBarWindow() = default;
    virtual WindowHandle hwnd() const = 0;
    virtual bool isWindowEnabled() const = 0;
    virtual void setWindowEnabled(bool enabled) = 0;
    // The bar keeps a fixed thickness and a minimum length; the window takes the size given here.
    virtual void setWindowSize(int width, int height) = 0;
    // Shows the backing image as it now stands; the window keeps showing it until the next call.
    virtual void present(const PixelBuffer& image) = 0;
};

struct ScrollBarServices {
    DialogServices& dialogs;
    TimerService& timers;
    PointerService& pointer;
};

// What the bar holds besides its properties, for drawing and for tests of its behaviour.
struct ScrollBarState {
    int hoverPart = kPartUnknown;
    int hotPart = kPartNone;
    int pressedPart = kPartUnknown;
    bool mouseDown = false;
    bool dragging = false;
    float pressPosition = 0.0f;
    std::int32_t pressValue = 0;
    int thumbPos = 0;
    ThumbSize thumb;
    bool repeatTimerRunning = false;
    bool hoverTimerRunning = false;
    int lastDrawn = 0;  // part code + 5 x state code of the last arrow or thumb drawing
};

class SkinnedScrollBar {
  public:
    // A new bar of the given outer size in pixels: Max 255, LargeChange 10, SmallChange 1, its
    // fixed thickness, the colour table of scheme 0, laid out and painted. The window and the
    // services must outlive the bar.
    SkinnedScrollBar(Orientation orientation, ScrollBarWindow& window, ScrollBarServices services,
                     int width, int height);
    ~SkinnedScrollBar();
    SkinnedScrollBar(const SkinnedScrollBar&) = delete;
    SkinnedScrollBar& operator=(const SkinnedScrollBar&) = delete;

    // ---- Events (may be left empty) ----
    std::function<void()> onChange;  // Change
    std::function<void()> onScroll;  // Scroll
    // The host is told which stored property changed ("Value", "Min", ...).
    std::function<void(std::string_view)> onPropertyChanged;

    // ---- Properties ----
    std::int32_t Value() const { return m_value; }
    // Equal to the current value: nothing. Else clamped into Min..Max, stored, redrawn, Change.
    void setValue(std::int32_t value);
    std::int32_t Min() const { return m_min; }
    // Below 0 or above 32767 becomes 0; the value follows; re-layout.
    void setMin(std::int32_t value);
    std::int32_t Max() const { return m_max; }
    // Below 0 becomes 32767; the value follows; re-layout.
    void setMax(std::int32_t value);
    std::int32_t SmallChange() const { return m_smallChange; }
    // Below 0 or above 32767: "Invalid property value" and 1 is stored.
    void setSmallChange(std::int32_t value);
    std::int32_t LargeChange() const { return m_largeChange; }
    // Below 0 or above 10000: "Invalid property value" and 1 is stored; re-layout.
    void setLargeChange(std::int32_t value);
    std::int32_t ColorScheme() const { return m_scheme; }
    // -1 counts as 0; a new scheme reloads the colours and repaints.
    void setColorScheme(std::int32_t value);
    bool Enabled() const;
    // Enables or disables the window, then as windowEnabledChanged().
    void setEnabled(bool enabled);
    // The window was enabled or disabled (by setEnabled or by the toolkit, for instance with its
    // parent): notes the change and repaints. Disabling ends a press in progress, as a button
    // release would, because a disabled window gets no release.
    void windowEnabledChanged();
    WindowHandle hwnd() const;

    // ---- Stored properties (scroll_bar_properties.cpp) ----
    // Loads the properties from the host window's description, keys in this order: "Enabled",
    // "LargeChange", "Max", "Min", "SmallChange", "Value", "ColorScheme" (absent keys take their
    // defaults); the setters' rules apply except to Enabled and ColorScheme.
    void ReadProperties(PropertyBag& bag);
    // Writes every property that differs from its default, in the order "Enabled",
    // "LargeChange", "Min", "Max", "SmallChange", "Value", "Colorscheme"; then re-lays out.
    void WriteProperties(PropertyBag& bag);

    // ---- Window events (scroll_bar_input.cpp) ----
    // The window took a new outer size in pixels: re-layout. The bar keeps its thickness at 17
    // and its length at 34 or more, and gives the window that size back when it differs.
    void resize(int width, int height);
    // Coordinates in pixels from the window's top-left corner; buttons as kLeftButton etc.
    void mouseMove(int buttons, double x, double y);
    void mouseDown(int button, double x, double y);
    void mouseUp(int button, double x, double y);

    // ---- Drawing ----
    // The track and thumb after a value change (one present).
    void RedrawAfterValueChange();
    // Track, arrows and thumb, all in their normal state (one present).
    void RepaintAll();
    const PixelBuffer& image() const { return m_image; }

    Orientation orientation() const { return m_orientation; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    const ScrollBarState& state() const { return m_state; }

  private:
    // An off-screen drawing sequence: everything drawn while one or more sequences are open is
    // presented once, when the outermost one ends, so that the window never shows a half-drawn
    // bar.
    class Sequence {
      public:
        explicit Sequence(SkinnedScrollBar& bar) : m_bar(bar) { ++m_bar.m_sequenceDepth; }
        ~Sequence() { m_bar.endSequence(); }
        Sequence(const Sequence&) = delete;
        Sequence& operator=(const Sequence&) = delete;

      private:
        SkinnedScrollBar& m_bar;
    };

    int length() const { return m_orientation == Orientation::Horizontal ? m_width : m_height; }
    void relayout();
    void loadColorScheme();
    void noteChange(std::string_view property);
    void raiseChange();
    void showInvalidValue();
    void setValueWide(long long value);  // saturates into the 32-bit range first
    void endPress();

    void drawPart(int part, int state);
    void DrawDecArrow(int state);
    void DrawIncArrow(int state);
    void DrawThumb(int state);
    void DrawPressedTrack();
    void ClearHotPart();
    void CalcThumbPos();

    void hoverTick();   // Timer1
    void repeatTick();  // Timer2

    void endSequence();

    Orientation m_orientation;
    ScrollBarWindow& m_window;
    ScrollBarServices m_services;
    std::unique_ptr<Timer> m_hoverTimer;   // Timer1
    std::unique_ptr<Timer> m_repeatTimer;  // Timer2

    std::int32_t m_value = 0;
    std::int32_t m_min = 0;
    std::int32_t m_max = 255;
    std::int32_t m_smallChange = 1;
    std::int32_t m_largeChange = 10;
    std::int32_t m_scheme = 0;
    ThumbColorTable m_colors{};
    int m_keptCapId = 0;

    int m_width = 0;
    int m_height = 0;
    bool m_sizing = false;  // giving the window its size back
    ScrollBarState m_state;
    PixelBuffer m_image;
    int m_sequenceDepth = 0;
};

}  // namespace hivora
