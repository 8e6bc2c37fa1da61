#include "core/shell/main_layout.h"

#include <algorithm>

namespace hivora {

namespace {

constexpr int kSizeBoxTop = 120;
constexpr int kSizeBoxRightMargin = 120;
constexpr int kSizeBoxGap = 20;
constexpr int kTabTop = 540;
constexpr int kTabLeft = 5000;
constexpr int kTabGap = 240;
constexpr int kSeparatorGap = 60;
constexpr int kPageGap = 60;
constexpr int kPageMargin = 240;
constexpr int kPageBottomMargin = 240;

}  // namespace

MainLayout computeMainLayout(const MainLayoutInput& input) {
    MainLayout layout;
    const int boxSpacing = input.sizeBoxWidthBeforeBorderRemoval;
    int left = input.innerWidth - boxSpacing - kSizeBoxRightMargin;
    for (int i = 0; i < kSizeBoxCount; ++i) {
        if (i > 0) left = left - boxSpacing - kSizeBoxGap;
        layout.sizeBoxes[static_cast<std::size_t>(i)] = {
            left, kSizeBoxTop, input.sizeBoxWidths[static_cast<std::size_t>(i)],
            input.sizeBoxHeight};
    }

    const int tabSpacing = input.tab0WidthBeforeBorderRemoval;
    for (int i = 0; i < kTabCount; ++i) {
        layout.tabs[static_cast<std::size_t>(i)] = {kTabLeft + i * (tabSpacing + kTabGap), kTabTop,
                                                    input.tabWidths[static_cast<std::size_t>(i)],
                                                    input.tabHeight};
    }
    layout.tipTop = tipTopFor(kTabTop, input.tipHeight);

    layout.separatorX1 = input.borderWidthTwips;
    layout.separatorX2 = input.innerWidth - input.borderWidthTwips;
    layout.separatorY = kTabTop + input.tabHeight + kSeparatorGap;

    const int pageTop = layout.separatorY + kPageGap;
    const int pageHeight =
        std::clamp(input.innerHeight - pageTop - kPageBottomMargin, -32768, 32767);
    layout.page = {kPageMargin, pageTop, input.innerWidth - 2 * kPageMargin, pageHeight};
    return layout;
}

}  // namespace hivora
