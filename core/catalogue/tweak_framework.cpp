#include "core/catalogue/tweak_framework.h"

namespace hivora {

std::string_view outcomeText(OutcomeMessage message) {
    switch (message) {
        case OutcomeMessage::None:
            return "";
        case OutcomeMessage::SetDone:
            return "已设置！";
        case OutcomeMessage::UnsetDone:
            return "已解除！";
        case OutcomeMessage::SetError:
            return "设置出错！";
        case OutcomeMessage::ResetDone:
            return "已修改为默认！";
    }
    return "";
}

std::optional<int> PressImageButton(int mouseButton, int kind) {
    if (mouseButton != kLeftMouseButton) return std::nullopt;
    return pressedFace(kind);
}

std::optional<int> ReleaseImageButton(int mouseButton, int kind) {
    if (mouseButton != kLeftMouseButton) return std::nullopt;
    return releasedFace(kind);
}

void TweakFramework::show(OutcomeMessage message) {
    show(message, {});
}

void TweakFramework::show(OutcomeMessage message, const std::string& secondLine) {
    if (message == OutcomeMessage::None) return;
    // The prompt goes through ScratchText, as every row action expects to find the last message
    // there afterwards.
    m_scratchText = std::string(outcomeText(message));
    if (!secondLine.empty()) m_scratchText += "\r\n" + secondLine;
    (void)m_dialogs.ShowMessageBox(m_scratchText, kMbOk, std::string(kOutcomeTitle));
}

}  // namespace hivora
