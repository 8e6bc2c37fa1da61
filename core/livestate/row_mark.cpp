#include "core/livestate/row_mark.h"

namespace hivora {

RowReach rowReach(WindowsGenerations takesEffectOn, WindowsGeneration current) {
    if (current == WindowsGeneration::Unknown) return RowReach::Unknown;
    return takesEffectOn.has(current) ? RowReach::TakesEffect : RowReach::NoEffect;
}

std::string reachText(WindowsGenerations takesEffectOn, WindowsGeneration current) {
    switch (rowReach(takesEffectOn, current)) {
        case RowReach::Unknown:
            return "未知";
        case RowReach::TakesEffect:
            return "有效";
        case RowReach::NoEffect:
            return "无效（仅 " + generationNames(takesEffectOn) + "）";
    }
    return {};
}

RowMark rowMark(const RowState& state, WindowsGeneration current) {
    RowMark mark;
    mark.state = state.state;
    mark.noEffect = rowReach(state.takesEffectOn, current) == RowReach::NoEffect;
    mark.tooltip = stateTooltip(state, current);
    mark.accessibleName = settingStateText(state.state);
    if (mark.noEffect) mark.accessibleName += "，" + noEffectLine(state.takesEffectOn, current);
    return mark;
}

}  // namespace hivora
