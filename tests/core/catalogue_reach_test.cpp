// Rows without effect on the edited registry's Windows: they still write, and their box says so
// after the outcome; for an unknown version nothing is said. And where a few rows take effect.

#include <gtest/gtest.h>

#include <string>

#include "core/catalogue/browser_page.h"
#include "core/catalogue/logon_page.h"
#include "tests/core/catalogue_harness.h"

namespace hivora::testing {
namespace {

const std::string kUpTo10 = "（仅 Windows 9x 至 Windows 10）";

struct ReachCase {
    const char* name;
    WindowsGeneration generation;
    RowButton button;
    std::string lastBox;
};

void PrintTo(const ReachCase& c, std::ostream* out) {
    *out << c.name;
}

// The browser page's row 0 (the home page lock), which Windows 11 no longer reaches.
const ReachCase kReachCases[] = {
    {"UnknownSaysNothing", WindowsGeneration::Unknown, RowButton::Set, "已设置！"},
    {"ReachedSaysNothing", WindowsGeneration::Win10, RowButton::Set, "已设置！"},
    {"SetOnWindows11", WindowsGeneration::Win11, RowButton::Set,
     "已设置！\r\n此设置对 Windows 11 无效" + kUpTo10},
    {"LiftOnWindows11", WindowsGeneration::Win11, RowButton::Lift,
     "已解除！\r\n此设置对 Windows 11 无效" + kUpTo10},
};

class RowReach : public ::testing::TestWithParam<ReachCase> {};

TEST_P(RowReach, StillWritesAndTheBoxSaysWhereItHasNoEffect) {
    const ReachCase& c = GetParam();
    CatalogueHarness harness;
    harness.services().windowsGeneration = c.generation;

    const RowOutcome outcome = harness.run(CataloguePage::BrowserProperties, 0, c.button);

    EXPECT_TRUE(outcome.status.isOk());
    EXPECT_FALSE(harness.effects().empty());
    ASSERT_FALSE(harness.dialogs().messagePrompts().empty());
    EXPECT_EQ(harness.dialogs().messagePrompts().back(), c.lastBox);
}

INSTANTIATE_TEST_SUITE_P(BrowserRow, RowReach, ::testing::ValuesIn(kReachCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The browser's page addresses say so too, for the apply and the default button alike.
TEST(RowReach, PageAddressBoxesSayWhereTheyHaveNoEffect) {
    CatalogueHarness harness;
    harness.services().windowsGeneration = WindowsGeneration::Win11;
    EXPECT_TRUE(runIEPageChange(harness.services(), 0, "http://example.cn").status.isOk());
    ASSERT_FALSE(harness.dialogs().messagePrompts().empty());
    EXPECT_EQ(harness.dialogs().messagePrompts().back(),
              "已设置！\r\n此设置对 Windows 11 无效" + kUpTo10);

    harness.services().windowsGeneration = WindowsGeneration::Vista7;
    EXPECT_TRUE(runIEPageDefault(harness.services(), 2).status.isOk());
    EXPECT_EQ(harness.dialogs().messagePrompts().back(),
              "已修改为默认！\r\n此设置对 Windows Vista/7 无效（仅 Windows 9x、Windows XP）");
}

// A few rows' reach against the generations either side of where it ends, so that a mark put on
// the wrong row or the wrong side of a boundary shows.
WindowsGenerations rowReach(CataloguePage page, int row) {
    return pageCatalogue(page).rows[static_cast<std::size_t>(row)].takesEffectOn;
}

struct MarkCase {
    const char* name;
    WindowsGenerations (*reach)();
    WindowsGeneration generation;
    bool takesEffect;
};

void PrintTo(const MarkCase& c, std::ostream* out) {
    *out << c.name;
}

WindowsGenerations clockText() {
    return rowReach(CataloguePage::Desktop, 4);
}
WindowsGenerations iconSize() {
    return rowReach(CataloguePage::Desktop, 11);
}
WindowsGenerations dosMode() {
    return rowReach(CataloguePage::Restrictions, 5);
}
WindowsGenerations myDocumentsIcon() {
    return rowReach(CataloguePage::HideShow, 1);
}
WindowsGenerations browserIcon() {
    return rowReach(CataloguePage::HideShow, 4);
}
WindowsGenerations browserOptions() {
    return rowReach(CataloguePage::BrowserProperties, 3);
}
WindowsGenerations homePage() {
    return iePageTakesEffectOn(0);
}
WindowsGenerations searchAssistant() {
    return iePageTakesEffectOn(2);
}
WindowsGenerations logonPicture() {
    return kLogonAppearanceTakesEffectOn;
}

using G = WindowsGeneration;
const MarkCase kMarkCases[] = {
    {"ClockTextOnXp", clockText, G::Xp, true},
    // Vista shares 7's generation: 7 is left unmarked rather than Vista marked wrongly.
    {"ClockTextOnVista7", clockText, G::Vista7, true},
    {"ClockTextOnWindows8", clockText, G::Win8, false},
    {"ClockTextOnWindows11", clockText, G::Win11, false},
    {"IconSizeUnmarkedOnWindows11", iconSize, G::Win11, true},
    {"WidenedDosModeOnWindows11", dosMode, G::Win11, true},
    {"WidenedMyDocumentsOnWindows11", myDocumentsIcon, G::Win11, true},
    {"BrowserIconOnWindows10", browserIcon, G::Win10, true},
    {"BrowserIconOnWindows11", browserIcon, G::Win11, false},
    {"BrowserOptionsOnWindows10", browserOptions, G::Win10, true},
    {"BrowserOptionsOnWindows11", browserOptions, G::Win11, false},
    {"HomePageOnWindows10", homePage, G::Win10, true},
    {"HomePageOnWindows11", homePage, G::Win11, false},
    {"SearchAssistantOnXp", searchAssistant, G::Xp, true},
    {"SearchAssistantOnVista7", searchAssistant, G::Vista7, false},
    {"LogonPictureOnWindows9x", logonPicture, G::Win9x, true},
    {"LogonPictureOnXp", logonPicture, G::Xp, true},
    {"LogonPictureOnVista7", logonPicture, G::Vista7, false},
    {"LogonPictureOnWindows11", logonPicture, G::Win11, false},
};

class RowMark : public ::testing::TestWithParam<MarkCase> {};

TEST_P(RowMark, TakesEffectWhereDocumented) {
    const MarkCase& c = GetParam();
    EXPECT_EQ(c.reach().has(c.generation), c.takesEffect);
}

INSTANTIATE_TEST_SUITE_P(Rows, RowMark, ::testing::ValuesIn(kMarkCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace hivora::testing
