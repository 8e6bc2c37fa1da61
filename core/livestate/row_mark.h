#pragma once
// What the window and `--status` say of a row beside its state: whether the row takes effect on
// the Windows of the registry being edited. A row without effect there keeps its state and its
// buttons; only its mark, its tooltip and its status field say so.

#include <string>

#include "core/catalogue/windows_version.h"
#include "core/livestate/live_state.h"

namespace hivora {

// How a row stands on the Windows generation of the registry.
enum class RowReach {
    Unknown,      // the registry names no version: nothing is said of any row
    TakesEffect,  // the row takes effect there (also every row whose data names no generations)
    NoEffect,     // the row's data names generations, and this is not one of them
};

RowReach rowReach(WindowsGenerations takesEffectOn, WindowsGeneration current);

// The status field: "有效", "无效（仅 Windows XP）" (the generations the row takes effect on) or
// "未知".
std::string reachText(WindowsGenerations takesEffectOn, WindowsGeneration current);

// The mark beside a row's caption: its state, whether it is drawn as a row without effect, its
// tooltip (stateTooltip with the version) and the name a screen reader gives it ("已设置", or
// "已设置，此设置对 Windows 10 无效（仅 Windows XP）").
struct RowMark {
    SettingState state = SettingState::NotSet;
    bool noEffect = false;
    std::string tooltip;
    std::string accessibleName;
};

RowMark rowMark(const RowState& state, WindowsGeneration current);

}  // namespace hivora
