// The bar's mouse handling and its two timers: Timer1 polls, every 5 ms, whether the pointer has
// left the bar so that the hot part can go back to normal; Timer2 repeats an arrow step every
// 100 ms and a page every 200 ms while a button is held.

#include <cmath>

#include "core/scrollbar/skinned_scroll_bar.h"

namespace hivora {

namespace {

constexpr int kHoverPollMs = 5;
constexpr int kArrowRepeatMs = 100;
constexpr int kTrackRepeatMs = 200;

bool isArrowOrThumb(int part) {
    return part >= kPartDecArrow && part <= kPartIncArrow;
}
bool isTrack(int part) {
    return part == kPartTrackBefore || part == kPartTrackAfter;
}

}  // namespace

void SkinnedScrollBar::mouseMove(int buttons, double x, double y) {
    if (!Enabled()) return;
    const double along = m_orientation == Orientation::Horizontal ? x : y;
    const bool leftAlone = buttons == kLeftButton;
    ScrollBarState& s = m_state;

    if (leftAlone && s.mouseDown) {
        if (s.pressedPart == kPartThumb) {
            // The value follows the pointer's distance from where the thumb was taken. With no
            // travel (a bar too short for its thumb) there is nothing to map, and the value stays.
            if (s.thumb.travel != 0) {
                const double moved = along - static_cast<double>(s.pressPosition);
                const double target = roundHalfEven(moved / s.thumb.travel * m_max) +
                                      static_cast<double>(s.pressValue);
                if (target > m_max) {
                    setValue(m_max);
                } else if (target < m_min) {
                    setValue(m_min);
                } else {
                    setValue(static_cast<std::int32_t>(target));
                }
            }
        } else if (isTrack(s.pressedPart)) {
            s.pressPosition = static_cast<float>(along);  // the repeat pages toward the pointer
        }
        if (onScroll) onScroll();
    } else {
        s.hoverPart = hitTestPart(along, length(), s.thumbPos, s.thumb.length);
        if (s.hoverPart != s.hotPart) {
            if (isArrowOrThumb(s.hoverPart)) {
                Sequence sequence(*this);
                ClearHotPart();
                // The left button held over the bar without a press on it: the press began
                // outside, and the part shows pressed.
                drawPart(s.hoverPart, leftAlone ? kStatePressed : kStateHot);
            } else if (isArrowOrThumb(s.hotPart)) {
                Sequence sequence(*this);
                drawPart(s.hotPart, kStateNormal);
            }
        }
    }

    s.hotPart = s.hoverPart;
    if (!s.hoverTimerRunning) {
        m_hoverTimer->start(kHoverPollMs);
        s.hoverTimerRunning = true;
    }
}

void SkinnedScrollBar::mouseDown(int button, double x, double y) {
    if (!Enabled()) return;
    const double along = m_orientation == Orientation::Horizontal ? x : y;
    ScrollBarState& s = m_state;
    const bool horizontal = m_orientation == Orientation::Horizontal;

    // A press that no pointer move preceded (the bar appeared under a resting pointer) finds its
    // part itself instead of acting on none.
    if (s.hoverPart == kPartUnknown) {
        s.hoverPart = hitTestPart(along, length(), s.thumbPos, s.thumb.length);
    }
    s.pressedPart = s.hoverPart;
    if (horizontal) s.mouseDown = true;
    if (s.lastDrawn == s.hoverPart + 10) return;  // that arrow or the thumb already shows pressed

    Sequence sequence(*this);
    // Any button pages at once on the track.
    const long long value = m_value;
    if (s.pressedPart == kPartTrackBefore) {
        const long long next = value - m_largeChange;
        setValueWide(next < m_min ? m_min : next);
    } else if (s.pressedPart == kPartTrackAfter) {
        const long long next = value + m_largeChange;
        setValueWide(next > m_max ? m_max : next);
    }

    if (button != kLeftButton) return;
    if (s.pressedPart == kPartDecArrow) {
        DrawDecArrow(kStatePressed);
    } else if (s.pressedPart == kPartThumb) {
        DrawThumb(kStatePressed);
        s.dragging = true;
    } else if (s.pressedPart == kPartIncArrow) {
        DrawIncArrow(kStatePressed);
    }
    if (!horizontal) s.mouseDown = true;
    if (s.pressedPart != kPartThumb && !s.repeatTimerRunning && !s.dragging) {
        // The first arrow step comes with the first tick; the track has paged once already.
        m_repeatTimer->start(isTrack(s.pressedPart) ? kTrackRepeatMs : kArrowRepeatMs);
        s.repeatTimerRunning = true;
    }
    s.pressPosition = static_cast<float>(along);
    s.pressValue = m_value;
}

void SkinnedScrollBar::mouseUp(int /*button*/, double /*x*/, double /*y*/) {
    if (!Enabled()) return;
    // The hot part stays as it is, so the part under the pointer shows normal until the pointer
    // moves onto another part. Timer2 stops itself on its next tick.
    endPress();
    RepaintAll();
}

void SkinnedScrollBar::repeatTick() {
    ScrollBarState& s = m_state;
    if (!s.dragging && s.mouseDown) {
        const long long value = m_value;
        switch (s.pressedPart) {
            case kPartDecArrow:
                // Below Min the value is set to 0, which the setter raises to Min.
                setValueWide(value - 1 < m_min ? 0 : value - m_smallChange);
                break;
            case kPartIncArrow:
                setValueWide(value + 1 > m_max ? m_max : value + m_smallChange);
                break;
            case kPartTrackBefore:
                setValueWide(value - m_largeChange < m_min ? m_min : value - m_largeChange);
                break;
            case kPartTrackAfter:
                setValueWide(value + m_largeChange > m_max ? m_max : value + m_largeChange);
                break;
            default:
                break;
        }
        // Every tick of a held press reports, even when the value is at its limit.
        raiseChange();
    }

    // A track press ends once the thumb has arrived under the pointer; an arrow press only with
    // the release. (Testing the thumb for an arrow press as well would end the repetition of an
    // arrow held on the pixel where the thumb starts.)
    const bool arrived =
        isTrack(s.pressedPart) && IsDownPosOnThumb(s.pressPosition, s.thumbPos, s.thumb.length);
    if (s.repeatTimerRunning && (arrived || !s.mouseDown)) {
        {
            Sequence sequence(*this);
            DrawThumb(kStateNormal);
        }
        s.repeatTimerRunning = false;
        m_repeatTimer->stop();
    }
}

void SkinnedScrollBar::hoverTick() {
    ScrollBarState& s = m_state;
    if (m_services.pointer.IsCursorOverWindow(hwnd()) || s.mouseDown) return;
    {
        Sequence sequence(*this);
        ClearHotPart();
        s.hotPart = kPartNone;
    }
    s.hoverTimerRunning = false;
    m_hoverTimer->stop();
}

}  // namespace hivora
