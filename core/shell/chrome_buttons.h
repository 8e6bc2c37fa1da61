#pragma once
// The five chrome buttons at the top right of the borderless main window (right to left: close,
// minimise, About, colour, undo), with their resting, hot, pressed and held-outside faces and the
// 100 ms timer that notices the pointer leaving a hot button. Toolkit-free: the window forwards
// the buttons' mouse events here and carries out the requests.

#include <array>
#include <cstdint>
#include <memory>

#include "core/ui/pointer.h"
#include "core/ui/timer_service.h"

namespace hivora {

inline constexpr int kSizeBoxCount = 5;
inline constexpr int kSizeBoxHoverIntervalMs = 100;

// Indexes of the chrome buttons, right to left.
enum SizeBoxButton : int {
    kSizeBoxClose = 0,
    kSizeBoxMinimize = 1,
    kSizeBoxAbout = 2,
    kSizeBoxColor = 3,
    kSizeBoxUndo = 4
};

// Faces of one button, as offsets 1..4 of its pictures 4i+1..4i+4.
enum class SizeBoxFace : int { Resting = 1, Hot = 2, Pressed = 3, HeldOutside = 4 };

constexpr int sizeBoxFaceNumber(int button, SizeBoxFace face) {
    return 4 * button + static_cast<int>(face);
}

class ChromeView {
  public:
    virtual ~ChromeView() = default;
    // Button `button` shows picture `number` of the chrome image list.
    virtual void showSizeBoxFace(int button, int number) = 0;
    virtual WindowHandle sizeBoxWindow(int button) const = 0;
    // The window goes through its normal closing path (which may keep it open).
    virtual void requestClose() = 0;
    virtual void requestMinimize() = 0;
    // Modal, owned by the main window.
    virtual void showAbout() = 0;
    virtual void showColorDialog() = 0;
    // Undoes the latest recorded action.
    virtual void requestUndo() = 0;
};

class ChromeButtons {
  public:
    // `view`, `timers` and `pointer` must outlive the buttons.
    ChromeButtons(ChromeView& view, TimerService& timers, const PointerService& pointer);

    // Start-up: every button resting, SizeBoxHover -1, timer idle.
    void reset();

    // Mouse handlers. `buttons` of a move is the set held (kMouseLeft alone = 1); `inside` tells
    // whether the point lies within the button, edges included. A left release inside the
    // button that took the left press is a click and runs the button's request after the
    // resting face is back.
    void mouseMove(int button, int buttons, bool inside);
    void mouseDown(int button, int mouseButton);
    void mouseUp(int button, int mouseButton, bool inside);

    int SizeBoxHover() const { return m_hover; }
    int timerInterval() const;
    SizeBoxFace face(int button) const { return m_faces[static_cast<std::size_t>(button)]; }

  private:
    void click(int button);
    void timerTick();
    void setFace(int button, SizeBoxFace face);

    ChromeView& m_view;
    const PointerService& m_pointer;
    std::unique_ptr<Timer> m_timer;
    std::array<SizeBoxFace, kSizeBoxCount> m_faces{};
    std::int16_t m_hover = -1;
    int m_pressedButton = -1;
};

}  // namespace hivora
