#include "core/shell/tab_strip.h"

namespace hivora {

namespace {

bool validTab(int tab) {
    return tab >= 0 && tab < kTabCount;
}

}  // namespace

TabStrip::TabStrip(TabStripView& view, TimerService& timers, const PointerService& pointer)
    : m_view(view), m_pointer(pointer), m_timer(timers.createTimer([this] { timerTick(); })) {
    m_faces.fill(TabFace::Normal);
}

void TabStrip::reset() {
    stopTimer();
    m_currentPage = 0;
    m_hoverTab = -1;
    m_view.setPageVisible(0, true);
    setFace(0, TabFace::Selected);
    for (int tab = 1; tab < kTabCount; ++tab) {
        m_view.setPageVisible(tab, false);
        setFace(tab, TabFace::Normal);
    }
}

int TabStrip::timerInterval() const {
    return m_timer->isActive() ? m_timer->interval() : 0;
}

TabFace TabStrip::restingFace(int tab) const {
    return tab == m_currentPage ? TabFace::Selected : TabFace::Normal;
}

void TabStrip::setFace(int tab, TabFace face) {
    m_faces[static_cast<std::size_t>(tab)] = face;
    m_view.showTabFace(tab, tabFaceNumber(tab, face));
}

void TabStrip::startTimer() {
    m_timer->start(kTabHoverIntervalMs);
}

void TabStrip::stopTimer() {
    m_timer->stop();
}

void TabStrip::ShowTabTip(int tab) {
    if (!validTab(tab)) return;
    m_view.showTabTip(tab, kTabTips[static_cast<std::size_t>(tab)]);
}

void TabStrip::mouseMove(int tab, int buttons) {
    if (!validTab(tab)) return;
    ShowTabTip(tab);
    if (tab == m_hoverTab) return;  // the entry into this tab is already registered
    if (buttons == kMouseNone) {
        // Every other tab goes back to rest first: the pointer may have left a hovered tab for
        // this one before the timer saw it.
        for (int other = 0; other < kTabCount; ++other) {
            if (other != tab) setFace(other, restingFace(other));
        }
        if (tab != m_currentPage) setFace(tab, TabFace::Hovered);
        m_hoverTab = static_cast<std::int16_t>(tab);
        startTimer();
    } else if (buttons == kMouseLeft && tab != m_currentPage) {
        setFace(tab, TabFace::Held);
    }
}

void TabStrip::mouseDown(int tab, int button) {
    if (!validTab(tab) || button != kMouseLeft || tab == m_currentPage) return;
    setFace(tab, TabFace::Pressed);
    // The polling must not put the resting face back while the button is down.
    stopTimer();
}

void TabStrip::mouseUp(int tab, int button, bool inside) {
    if (!validTab(tab) || button != kMouseLeft || tab == m_currentPage) return;
    m_hoverTab = -1;
    if (inside) {
        SwitchPage(tab);
    } else {
        setFace(tab, TabFace::Normal);
    }
}

void TabStrip::SwitchPage(int page) {
    if (!validTab(page) || page == m_currentPage) return;
    if (page == 0) m_view.refreshStartupList();
    m_view.setPageVisible(page, true);
    setFace(page, TabFace::Selected);
    const int previous = m_currentPage;
    m_view.setPageVisible(previous, false);
    m_currentPage = static_cast<std::int16_t>(page);
    setFace(previous, TabFace::Normal);
}

void TabStrip::timerTick() {
    if (m_hoverTab == -1) {
        stopTimer();
        return;
    }
    if (m_pointer.IsCursorOverWindow(m_view.tabWindow(m_hoverTab))) return;
    stopTimer();
    m_view.hideTabTip();
    setFace(m_hoverTab, restingFace(m_hoverTab));
    m_hoverTab = -1;
}

}  // namespace hivora
