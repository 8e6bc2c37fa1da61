#pragma once
// The pieces every settings row shares: the four outcome messages, the ScratchText slot, the
// NeedsRestart flag, and the press look of the image buttons.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/dialog_services.h"

namespace hivora {

// ---- Outcome messages -------------------------------------------------------------------------

enum class OutcomeMessage {
    None,       // the action ends without a message
    SetDone,    // "已设置！"
    UnsetDone,  // "已解除！"
    SetError,   // "设置出错！"
    ResetDone,  // "已修改为默认！"
};

// The title of every outcome message box.
inline constexpr std::string_view kOutcomeTitle = "提示信息";

// The prompt of `message`; "" for OutcomeMessage::None.
std::string_view outcomeText(OutcomeMessage message);

// ---- Image buttons ----------------------------------------------------------------------------

// Button kinds: the pair of faces 2n+1 (released) and 2n+2 (pressed) in the button image list.
enum ButtonKind : int {
    kKindChoose = 0,
    kKindSet = 1,
    kKindSelectAll = 2,
    kKindInvertSelection = 3,
    kKindDelete = 4,
    kKindLift = 5,
    kKindChange = 6,
    kKindDefault = 7,
    kKindHide = 8,
    kKindShow = 9,
    kKindForbid = 10,
    kKindApply = 11,
    kKindSwitchOff = 12,  // "禁 用" of the startup list
    kKindSwitchOn = 13,   // "启 用" of the startup list
};
inline constexpr int kButtonKindCount = 14;

// The mouse button code of the left button; only it moves a button's face.
inline constexpr int kLeftMouseButton = 1;

// Image numbers (from 1) of the faces of button kind `kind`.
constexpr int releasedFace(int kind) {
    return 2 * kind + 1;
}
constexpr int pressedFace(int kind) {
    return 2 * kind + 2;
}

// The face a button of `kind` shows after a press with `mouseButton`: the pressed face for the
// left button, nothing (the face stays as it is) for any other button.
std::optional<int> PressImageButton(int mouseButton, int kind);
// The same for a release: the released face for the left button, otherwise nothing.
std::optional<int> ReleaseImageButton(int mouseButton, int kind);

// ---- Shared state of the row actions -----------------------------------------------------------

// Owns NeedsRestart and ScratchText and shows the outcome messages through the dialog services.
// One instance lives as long as the main window.
class TweakFramework {
  public:
    explicit TweakFramework(DialogServices& dialogs) : m_dialogs(dialogs) {}

    // Each stores its prompt in ScratchText and shows it in an OK-only box titled "提示信息";
    // the answer is ignored.
    void ShowSetDone() { show(OutcomeMessage::SetDone); }
    void ShowUnsetDone() { show(OutcomeMessage::UnsetDone); }
    void ShowSetError() { show(OutcomeMessage::SetError); }
    void ShowResetDone() { show(OutcomeMessage::ResetDone); }
    // Any of the four by value; OutcomeMessage::None shows nothing and leaves ScratchText.
    void show(OutcomeMessage message);
    // The message with a second line under it ("设置出错！" and why); an empty `secondLine` shows
    // the message alone.
    void show(OutcomeMessage message, const std::string& secondLine);

    // True once a change that needs a restart took effect during this run.
    bool NeedsRestart() const { return m_needsRestart; }
    // The flag in its 16-bit form: 0 false, -1 true.
    std::int16_t needsRestartFlag() const { return m_needsRestart ? -1 : 0; }
    // Raises the flag; nothing lowers it again during the run.
    void raiseNeedsRestart() { m_needsRestart = true; }
    // Only for the start of a run (loading the colour configuration clears it).
    void clearNeedsRestart() { m_needsRestart = false; }

    // The scratch slot of the row actions; after an outcome message it holds that message.
    std::string& ScratchText() { return m_scratchText; }
    const std::string& ScratchText() const { return m_scratchText; }

    DialogServices& dialogs() { return m_dialogs; }

  private:
    DialogServices& m_dialogs;
    bool m_needsRestart = false;
    std::string m_scratchText;
};

}  // namespace hivora
