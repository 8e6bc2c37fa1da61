#pragma once
// The tab strip of the main window: five picture tabs that choose the page on show, the tip
// label above them and the 100 ms timer that notices the pointer leaving a tab (tabs receive no
// event when the pointer leaves them). Toolkit-free: the window forwards the tabs' mouse events
// here and carries out what the strip asks of its view.

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "core/ui/pointer.h"
#include "core/ui/timer_service.h"

namespace hivora {

inline constexpr int kTabCount = 5;
// Interval of the hover timer while a hovered tab is watched.
inline constexpr int kTabHoverIntervalMs = 100;

// The faces of one tab, as offsets 1..5 of its five pictures 5i+1..5i+5.
enum class TabFace : int { Selected = 1, Normal = 2, Hovered = 3, Pressed = 4, Held = 5 };

// Picture number (from 1) of `face` of tab `tab`.
constexpr int tabFaceNumber(int tab, TabFace face) {
    return 5 * tab + static_cast<int>(face);
}

// The tip captions, by tab.
inline constexpr std::array<std::string_view, kTabCount> kTabTips = {
    "开机启动", "桌面背景", "IE设置", "系统设置", "系统信息"};

// Mouse button codes as the handlers receive them: for a move the set of buttons held.
inline constexpr int kMouseNone = 0;
inline constexpr int kMouseLeft = 1;
inline constexpr int kMouseRight = 2;

// What the strip drives. All calls come on the user-interface thread.
class TabStripView {
  public:
    virtual ~TabStripView() = default;
    // Tab `tab` shows picture `number` of the tab image list.
    virtual void showTabFace(int tab, int number) = 0;
    // The tip takes `caption`, sizes itself to it, is centred above tab `tab` and shown.
    virtual void showTabTip(int tab, std::string_view caption) = 0;
    virtual void hideTabTip() = 0;
    virtual void setPageVisible(int page, bool visible) = 0;
    // Reads the startup list again (the startup page is about to be shown).
    virtual void refreshStartupList() = 0;
    // The window of tab `tab`, as the pointer service names it.
    virtual WindowHandle tabWindow(int tab) const = 0;
};

class TabStrip {
  public:
    // `view`, `timers` and `pointer` must outlive the strip.
    TabStrip(TabStripView& view, TimerService& timers, const PointerService& pointer);

    // The start-up state: page 0 shown with tab 0 selected, the other pages hidden and their tabs
    // normal; CurrentPage 0, HoverTab -1, timer idle.
    void reset();

    // Handlers of the tabs' mouse events. `buttons` of a move is the set of buttons held;
    // `button` of a press or release is the button (kMouseLeft = 1). `inside` tells whether the
    // release point lies within the tab, edges included (IsPointInControl).
    void mouseMove(int tab, int buttons);
    void mouseDown(int tab, int button);
    void mouseUp(int tab, int button, bool inside);

    // Makes `page` the page on show; does nothing for the current page or an index outside the
    // strip. Showing page 0 reads the startup list first.
    void SwitchPage(int page);

    // The tip of `tab` is captioned and shown; an index outside 0..4 keeps the old caption.
    void ShowTabTip(int tab);

    int CurrentPage() const { return m_currentPage; }
    int HoverTab() const { return m_hoverTab; }
    // The timer's interval as the window sets it: 0 when idle.
    int timerInterval() const;
    // The face each tab shows now (as an offset), for the window's own checks.
    TabFace face(int tab) const { return m_faces[static_cast<std::size_t>(tab)]; }

  private:
    void timerTick();
    void setFace(int tab, TabFace face);
    TabFace restingFace(int tab) const;
    void startTimer();
    void stopTimer();

    TabStripView& m_view;
    const PointerService& m_pointer;
    std::unique_ptr<Timer> m_timer;
    std::array<TabFace, kTabCount> m_faces{};
    std::int16_t m_currentPage = 0;
    std::int16_t m_hoverTab = -1;
};

}  // namespace hivora
