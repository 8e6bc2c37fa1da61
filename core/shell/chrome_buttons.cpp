#include "core/shell/chrome_buttons.h"

#include "core/shell/tab_strip.h"

namespace hivora {

namespace {

bool validButton(int button) {
    return button >= 0 && button < kSizeBoxCount;
}

}  // namespace

ChromeButtons::ChromeButtons(ChromeView& view, TimerService& timers, const PointerService& pointer)
    : m_view(view), m_pointer(pointer), m_timer(timers.createTimer([this] { timerTick(); })) {
    m_faces.fill(SizeBoxFace::Resting);
}

void ChromeButtons::reset() {
    m_timer->stop();
    m_hover = -1;
    m_pressedButton = -1;
    for (int button = 0; button < kSizeBoxCount; ++button) setFace(button, SizeBoxFace::Resting);
}

int ChromeButtons::timerInterval() const {
    return m_timer->isActive() ? m_timer->interval() : 0;
}

void ChromeButtons::setFace(int button, SizeBoxFace face) {
    m_faces[static_cast<std::size_t>(button)] = face;
    m_view.showSizeBoxFace(button, sizeBoxFaceNumber(button, face));
}

void ChromeButtons::mouseMove(int button, int buttons, bool inside) {
    if (!validButton(button) || button == m_hover) return;
    if (buttons == kMouseNone) {
        for (int other = 0; other < kSizeBoxCount; ++other) {
            setFace(other, other == button ? SizeBoxFace::Hot : SizeBoxFace::Resting);
        }
        m_timer->start(kSizeBoxHoverIntervalMs);
        m_hover = static_cast<std::int16_t>(button);
    } else if (buttons == kMouseLeft) {
        setFace(button, inside ? SizeBoxFace::Pressed : SizeBoxFace::HeldOutside);
    }
}

void ChromeButtons::mouseDown(int button, int mouseButton) {
    if (!validButton(button) || mouseButton != kMouseLeft) return;
    // The polling must not put the resting face back while the button is down.
    m_timer->stop();
    m_pressedButton = button;
    setFace(button, SizeBoxFace::Pressed);
}

void ChromeButtons::mouseUp(int button, int mouseButton, bool inside) {
    if (!validButton(button) || mouseButton != kMouseLeft) return;
    m_hover = -1;
    setFace(button, SizeBoxFace::Resting);
    const bool isClick = inside && m_pressedButton == button;
    m_pressedButton = -1;
    if (isClick) click(button);
}

void ChromeButtons::click(int button) {
    switch (button) {
        case kSizeBoxClose:
            m_view.requestClose();
            break;
        case kSizeBoxMinimize:
            m_view.requestMinimize();
            break;
        case kSizeBoxAbout:
            m_view.showAbout();
            break;
        case kSizeBoxColor:
            m_view.showColorDialog();
            break;
        case kSizeBoxUndo:
            m_view.requestUndo();
            break;
        default:
            break;
    }
}

void ChromeButtons::timerTick() {
    if (m_hover == -1) {
        m_timer->stop();
        return;
    }
    if (m_pointer.IsCursorOverWindow(m_view.sizeBoxWindow(m_hover))) return;
    setFace(m_hover, SizeBoxFace::Resting);
    m_timer->stop();
    m_hover = -1;
}

}  // namespace hivora
