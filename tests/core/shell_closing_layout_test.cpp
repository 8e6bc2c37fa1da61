// The closing question and its answers, the restart command per target, the window's layout
// numbers, the frame the style mask leaves, the point test and where the configuration lives.

#include <gtest/gtest.h>

#include "core/config/config_location.h"
#include "core/shell/closing.h"
#include "core/shell/main_layout.h"
#include "core/ui/window_style.h"
#include "tests/core/scripted_dialogs.h"

namespace hivora {
namespace {

using testing::DialogKind;
using testing::ScriptedDialogs;

struct ClosingCase {
    const char* name;
    bool needsRestart;
    int answer;
    bool closes;
    bool runsRestart;
};

class ClosingAnswers : public ::testing::TestWithParam<ClosingCase> {};

TEST_P(ClosingAnswers, CloseOrStayAndRestartOnlyOnYes) {
    const ClosingCase& c = GetParam();
    ScriptedDialogs dialogs;
    dialogs.answerMessageBox(c.answer);
    int flushes = 0;
    const bool closes = confirmClose(dialogs, c.needsRestart, std::string(kWindowsRestartCommand),
                                     [&] { ++flushes; });
    EXPECT_EQ(closes, c.closes);
    const auto boxes = dialogs.callsOf(DialogKind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, c.needsRestart ? kRestartPrompt : kQuitPrompt);
    EXPECT_EQ(boxes[0].buttons, c.needsRestart ? kMbYesNoCancel : kMbYesNo);
    EXPECT_EQ(boxes[0].givenTitle, "");
    const auto runs = dialogs.callsOf(DialogKind::RunCommand);
    ASSERT_EQ(runs.size(), c.runsRestart ? 1u : 0u);
    EXPECT_EQ(flushes, c.runsRestart ? 1 : 0);
    if (c.runsRestart) {
        EXPECT_EQ(runs[0].commandLine, "cmd /c shutdown -r -f -t 0");
        EXPECT_EQ(runs[0].windowStyle, 2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Shell, ClosingAnswers,
    ::testing::Values(ClosingCase{"quit_yes", false, kIdYes, true, false},
                      ClosingCase{"quit_no", false, kIdNo, false, false},
                      ClosingCase{"quit_closed_box", false, kIdCancel, true, false},
                      ClosingCase{"restart_yes", true, kIdYes, true, true},
                      ClosingCase{"restart_no", true, kIdNo, true, false},
                      ClosingCase{"restart_cancel", true, kIdCancel, false, false},
                      ClosingCase{"restart_other", true, kIdOk, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Closing, RestartYesWithoutACommandClosesWithoutRunning) {
    ScriptedDialogs dialogs;
    dialogs.answerMessageBox(kIdYes);
    EXPECT_TRUE(confirmClose(dialogs, true, std::nullopt));
    EXPECT_TRUE(dialogs.callsOf(DialogKind::RunCommand).empty());
}

TEST(Closing, RestartCommandPerTarget) {
    struct Case {
        RestartTarget target;
        std::optional<std::string> command;
    } cases[] = {
        {{true, "", false}, "cmd /c shutdown -r -f -t 0"},
        {{false, "", true}, std::nullopt},
        {{false, "/home/u/.wine", false}, std::nullopt},
        {{false, "/home/u/.wine", true},
         "env WINEPREFIX=/home/u/.wine wineboot --end-session --restart"},
        {{false, "/home/u/my \"wine\"", true},
         "env \"WINEPREFIX=/home/u/my \\\"wine\\\"\" wineboot --end-session --restart"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(restartCommandFor(c.target), c.command) << c.target.winePrefix;
    }
}

TEST(MainLayoutNumbers, FollowTheTwipsRules) {
    const MainLayout layout = computeMainLayout({});
    for (int i = 0; i < kTabCount; ++i) {
        EXPECT_EQ(layout.tabs[i], (TwipsRect{5000 + i * 900, 540, 660, 660})) << i;
    }
    EXPECT_EQ(layout.sizeBoxes[0], (TwipsRect{11580, 120, 360, 330}));
    EXPECT_EQ(layout.sizeBoxes[3].left, 11580 - 3 * 380);
    EXPECT_EQ(layout.tipTop, 540 - 180 - 120);
    EXPECT_EQ(layout.separatorY, 1260);
    EXPECT_EQ(layout.separatorX1, 30);
    EXPECT_EQ(layout.separatorX2, 12030);
    EXPECT_EQ(layout.page, (TwipsRect{240, 1320, 11580, 7100}));

    // Spacing follows tab 0's width before its border went, whatever the others' widths.
    MainLayoutInput odd;
    odd.tab0WidthBeforeBorderRemoval = 720;
    odd.tabWidths = {660, 900, 300, 660, 660};
    const MainLayout spaced = computeMainLayout(odd);
    EXPECT_EQ(spaced.tabs[2].left, 5000 + 2 * 960);
    EXPECT_EQ(spaced.tabs[1].width, 900);
}

TEST(WindowHelpersCore, StyleMaskAndPointTest) {
    EXPECT_EQ(kWsOverlappedWindow & kMainWindowStyleMask, kWsMinimizeBox);
    EXPECT_EQ(frameTraitsOf(kWsOverlappedWindow & kMainWindowStyleMask),
              (FrameTraits{false, false, false, true, false}));
    struct Point {
        int x, y;
        bool inside;
    } points[] = {{0, 0, true},    {660, 660, true}, {661, 0, false},
                  {0, 661, false}, {-1, 5, false},   {330, -1, false}};
    for (const Point& p : points) {
        EXPECT_EQ(IsPointInControl(660, 660, p.x, p.y), p.inside) << p.x << "," << p.y;
    }
}

TEST(ConfigLocation, BesideTheProgramOnWindowsElseTheUsersFolder) {
    struct Case {
        ConfigLocationInputs in;
        std::optional<std::string> folder;
    } cases[] = {
        {{true, "C:\\Tools", std::string("/x"), std::string("/h")}, "C:\\Tools"},
        {{false, "/usr/bin", std::string("/cfg/"), std::string("/home/u")}, "/cfg/hivora"},
        {{false, "/usr/bin", std::string("relative"), std::string("/home/u")},
         "/home/u/.config/hivora"},
        {{false, "/usr/bin", std::nullopt, std::string("/home/u")}, "/home/u/.config/hivora"},
        {{false, "/usr/bin", std::string(""), std::nullopt}, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(configFolder(c.in), c.folder) << c.in.programFolder;
}

}  // namespace
}  // namespace hivora
