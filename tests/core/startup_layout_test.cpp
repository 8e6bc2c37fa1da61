// The startup view's arithmetic in twips: when each bar appears, the data column, the scroll
// ranges and where a bar's value puts the content, and which rows need widgets.

#include "core/startup/startup_layout.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/startup/startup_captions.h"

namespace hivora {
namespace {

struct LayoutCase {
    const char* name;
    int rows;
    int widestName;
    int widestData;
    StartupViewLayout expected;  // view w/h, content w/h, data left, bars
};

const LayoutCase kLayoutCases[] = {
    {"Empty", 0, 900, 900, {7095, 3015, 0, 0, 0, false, false}},
    {"OneRowFits", 1, 900, 1500, {7095, 3015, 4200, 675, 2100, false, false}},
    {"SevenRowsNoBar", 7, 900, 1500, {7095, 3015, 4200, 2925, 2100, false, false}},
    {"EightRowsVerticalBar", 8, 900, 1500, {6840, 3015, 4200, 3300, 2100, true, false}},
    {"WidthExactlyTheView", 1, 0, 5295, {7095, 3015, 7095, 675, 1200, false, false}},
    {"OneTwipWider", 1, 0, 5296, {7095, 2760, 7096, 675, 1200, false, true}},
    {"BothBars", 8, 900, 6000, {6840, 2760, 8700, 3300, 2100, true, true}},
    // The vertical bar's strip makes the horizontal bar necessary.
    {"VerticalBarBringsHorizontal", 8, 900, 4300, {6840, 2760, 7000, 3300, 2100, true, true}},
    // The horizontal bar's strip hides the seventh row's bottom; the vertical bar stays away.
    {"VerticalNotReconsidered", 7, 900, 6000, {7095, 2760, 8700, 2925, 2100, false, true}},
    {"WidestNameMovesDataColumn", 2, 3000, 100, {7095, 3015, 4900, 1050, 4200, false, false}},
};

class ViewLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ViewLayout, BarsAndSizes) {
    const LayoutCase& c = GetParam();
    const StartupViewLayout got = layOutStartupView(c.rows, c.widestName, c.widestData);
    const StartupViewLayout& e = c.expected;
    EXPECT_EQ(got.viewWidth, e.viewWidth);
    EXPECT_EQ(got.viewHeight, e.viewHeight);
    EXPECT_EQ(got.contentWidth, e.contentWidth);
    EXPECT_EQ(got.contentHeight, e.contentHeight);
    EXPECT_EQ(got.dataLeft, e.dataLeft);
    EXPECT_EQ(got.verticalBar, e.verticalBar);
    EXPECT_EQ(got.horizontalBar, e.horizontalBar);
    // The bars fill the strips the view gave up.
    EXPECT_EQ(got.hBarWidth(), e.viewWidth);
    EXPECT_EQ(got.vBarHeight(), e.viewHeight);
}

INSTANTIATE_TEST_SUITE_P(Startup, ViewLayout, ::testing::ValuesIn(kLayoutCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct RangeCase {
    const char* name;
    int viewWidth, viewHeight, contentWidth, contentHeight;
    std::optional<std::int32_t> verticalMax, horizontalMax;
};

const RangeCase kRangeCases[] = {
    {"EightRows", 6840, 3015, 4200, 3300, 2, std::nullopt},            // 285/360 + 1 = 1.79
    {"HalfGoesDownToEven", 7095, 3015, 7095 + 540, 3015 + 540, 2, 2},  // 2.5
    {"HalfGoesUpToEven", 7095, 3015, 7095 + 900, 3015 + 900, 4, 4},    // 3.5
    // Quotient above 0 that rounds to 0: only the horizontal range is still set.
    {"SmallQuotient", 7095, 3015, 7095 - 300, 3015 - 300, std::nullopt, 0},
    {"NothingHidden", 7095, 3015, 4200, 675, std::nullopt, std::nullopt},
    // 32,767 rows: the quotient passes the bars' 16-bit limit and is held to it.
    {"LongestList", 6840, 3015, 4200, 375 * 32767 + 300, 32767, std::nullopt},
};

class ScrollRanges : public ::testing::TestWithParam<RangeCase> {};

TEST_P(ScrollRanges, MaxFromHiddenContent) {
    const RangeCase& c = GetParam();
    StartupViewLayout layout;
    layout.viewWidth = c.viewWidth;
    layout.viewHeight = c.viewHeight;
    layout.contentWidth = c.contentWidth;
    layout.contentHeight = c.contentHeight;
    const StartupScrollRanges ranges = startupScrollRanges(layout);
    EXPECT_EQ(ranges.verticalMax, c.verticalMax);
    EXPECT_EQ(ranges.horizontalMax, c.horizontalMax);
}

INSTANTIATE_TEST_SUITE_P(Startup, ScrollRanges, ::testing::ValuesIn(kRangeCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct OffsetCase {
    const char* name;
    std::int32_t value, max;
    int content, view;
    std::optional<double> offset;
};

const OffsetCase kOffsetCases[] = {
    {"Start", 0, 2, 3300, 3015, 0.0},
    // At Max the last check box's bottom plus 300 meets the view's bottom.
    {"End", 2, 2, 3300, 3015, -285.0},
    {"Halfway", 1, 2, 3300, 3015, -142.5},
    // A removal lowered Max below the old Value; the bar brings Value down to Max: the end.
    {"MaxFellToValue", 4, 4, 4800, 2760, -2040.0},
    {"NoRange", 3, 0, 3300, 3015, std::nullopt},
    // A list that now fits stays at the edge whatever the bar still holds.
    {"ContentFits", 1, 1, 2900, 3015, 0.0},
};

class ContentOffset : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(ContentOffset, FromValueAndMax) {
    const OffsetCase& c = GetParam();
    EXPECT_EQ(startupContentOffset(c.value, c.max, c.content, c.view), c.offset);
}

INSTANTIATE_TEST_SUITE_P(Startup, ContentOffset, ::testing::ValuesIn(kOffsetCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StartupRows, LabelsCentredOnTheCheckBoxExceptRowZero) {
    EXPECT_EQ(startupLabelTop(0, 255, true), 150);
    EXPECT_EQ(startupLabelTop(0, 255, false), 157);
    EXPECT_EQ(startupLabelTop(1, 255, true), 622 - 127.5);  // centre 622.5 goes to even 622
    EXPECT_EQ(startupLabelTop(2, 195, false), 998 - 97.5);  // 997.5 goes to 998
    EXPECT_EQ(startupCheckTop(7), 2745);
}

TEST(StartupRows, EveryRowInSightHasASlotAndThePoolIsEnough) {
    const int rowCount = 100;
    for (int viewHeight : {3015, 2760}) {
        for (int scrolled = 0; scrolled <= 375 * 100 + 300 - viewHeight; scrolled += 37) {
            const StartupRowSpan span = startupRowsInSight(rowCount, scrolled, viewHeight);
            EXPECT_LE(span.count, startupMaxRowsInSight(viewHeight));
            for (int row = 0; row < rowCount; ++row) {
                const int top = startupCheckTop(row);
                const bool seen = top + 255 > scrolled && top < scrolled + viewHeight;
                if (seen) {
                    EXPECT_TRUE(row >= span.first && row < span.first + span.count)
                        << "row " << row << " at " << scrolled;
                }
            }
        }
    }
    EXPECT_EQ(startupRowsInSight(0, 0, 3015).count, 0);
    EXPECT_EQ(startupRowsInSight(3, 0, 3015).count, 3);
}

// ---- The row's context menu ------------------------------------------------------------------

struct MenuCase {
    const char* name;
    std::size_t source;
    bool on;
    bool removed;
    StartupSwitchRule rule;
    std::string expected;  // "label+" for an enabled item, "label-" for a disabled one
    friend void PrintTo(const MenuCase& c, std::ostream* out) { *out << c.name; }
};

const MenuCase kMenuCases[] = {
    {"RunOn", 0, true, false, StartupSwitchRule::Backup, "禁用+ 启用-"},
    {"RunOffInBackup", 1, false, false, StartupSwitchRule::Backup, "禁用- 启用+"},
    {"RunOffApproved", 2, false, false, StartupSwitchRule::Approved, "禁用- 启用+"},
    {"RunOnceOn", 6, true, false, StartupSwitchRule::Approved, "禁用+ 启用-"},
    {"PolicyRunOff", 13, false, false, StartupSwitchRule::Backup, "禁用- 启用+"},
    {"RemovedRow", 0, true, true, StartupSwitchRule::Backup, "禁用- 启用-"},
    // Shortcuts switch under either rule: by StartupApproved, or by moving the file.
    {"FolderUnderBackup", kUserFolderSource, true, false, StartupSwitchRule::Backup, "禁用+ 启用-"},
    {"FolderKeptOff", kUserFolderSource + 1, false, false, StartupSwitchRule::Backup,
     "禁用- 启用+"},
    {"FolderApproved", kCommonFolderSource, true, false, StartupSwitchRule::Approved,
     "禁用+ 启用-"},
    // Winlogon's values are never switched off: only Windows' default is offered.
    {"WinlogonShell", kWinlogonSource, true, false, StartupSwitchRule::Approved, "恢复默认+"},
    {"WinlogonRemoved", kWinlogonSource, true, true, StartupSwitchRule::Backup, "恢复默认-"},
};

class RowMenu : public ::testing::TestWithParam<MenuCase> {};

TEST_P(RowMenu, OffersWhatTheRowAllows) {
    const MenuCase& c = GetParam();
    StartupRow row;
    row.name = "Entry";
    row.source = static_cast<std::uint8_t>(c.source);
    row.on = c.on;
    row.key = c.removed ? kRemovedRowKey : 1;
    std::string shown;
    for (const StartupMenuItem& item : startupRowMenu(row, c.rule)) {
        if (!shown.empty()) shown += ' ';
        shown += std::string(item.label) + (item.enabled ? "+" : "-");
        // Each label names its command.
        const bool matches =
            (item.command == StartupRowCommand::SwitchOff && std::string(item.label) == "禁用") ||
            (item.command == StartupRowCommand::SwitchOn && std::string(item.label) == "启用") ||
            (item.command == StartupRowCommand::RestoreDefault &&
             std::string(item.label) == "恢复默认");
        EXPECT_TRUE(matches) << item.label;
    }
    EXPECT_EQ(shown, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, RowMenu, ::testing::ValuesIn(kMenuCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace hivora
