// Settings rows of every built page, end to end: the button is found by its object name, pressed
// and released with real mouse events, the dialogs are answered by the scripted double, and the
// store's files and the message shown are checked.

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>

#include "tests/gui/page_rig.h"

namespace hivora::testing {
namespace {

constexpr RegKey kHkcr = kHkeyClassesRoot;
constexpr RegKey kHkcu = kHkeyCurrentUser;
constexpr RegKey kHku = kHkeyUsers;

const std::string kExplorerPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

struct Expected {
    RegKey root;
    std::string key;
    std::string name;
    std::optional<StoredValue> value;  // nullopt: the value is absent
};

struct ClickCase {
    const char* name;
    int page;
    const char* button;
    std::vector<std::string> inputs;
    std::vector<int> boxes;
    std::vector<Expected> expected;
    std::string message;  // "" when no outcome box comes up
    bool restart;
};

class PageRows : public ::testing::TestWithParam<ClickCase> {};

TEST_P(PageRows, ClickWritesTheStoreAndShowsTheOutcome) {
    const ClickCase& c = GetParam();
    PageRig rig(c.page);
    for (const std::string& text : c.inputs) rig.dialogs().answerInputBox(text);
    for (int box : c.boxes) rig.dialogs().answerMessageBox(box);

    rig.click(QString::fromUtf8(c.button));

    for (const Expected& e : c.expected) {
        EXPECT_EQ(rig.stored(e.root, e.key, e.name), e.value) << e.key << " / " << e.name;
    }
    const std::vector<std::string> prompts = rig.dialogs().messagePrompts();
    if (c.message.empty()) {
        EXPECT_TRUE(prompts.empty());
    } else {
        ASSERT_FALSE(prompts.empty());
        EXPECT_EQ(prompts.back(), c.message);
        // Every box, the outcome included, came up with the button at rest.
        for (bool resting : rig.dialogs().restingAtBox) EXPECT_TRUE(resting);
    }
    EXPECT_EQ(rig.framework().NeedsRestart(), c.restart);
}

const ClickCase kClickCases[] = {
    {"DesktopHideIcons",
     1,
     "Picture_DesktopSet(0)",
     {},
     {},
     {{kHkcu, kExplorerPolicies, "NoDesktop", dword(1)}},
     "已设置！",
     false},
    {"DesktopMenuAlignmentLift",
     1,
     "Picture_DesktopUnset(2)",
     {},
     {},
     {{kHkcu, "Control Panel\\Desktop", "MenuDropAlignment", sz("0")}},
     "已解除！",
     false},
    {"DesktopIconSizeAsked",
     1,
     "Picture_DesktopSet(11)",
     {"48"},
     {},
     {{kHkcu, "Control Panel\\Desktop\\WindowMetrics", "Shell Icon Size", sz(" 48")}},
     "已设置！",
     false},
    {"ForbidRecentDocuments",
     3,
     "Picture_Forbid(2)",
     {},
     {},
     {{kHkcu, kExplorerPolicies, "NoRecentDocsHistory", binary(kOn)},
      {kHkcu, kExplorerPolicies, "ClearRecentDocsonExit", binary(kOn)}},
     "已设置！",
     true},
    {"LiftAudioCdAutoRun",
     3,
     "Picture_Passage(4)",
     {},
     {},
     {{kHkcr, "AudioCD\\shell", "", sz("Play")}},
     "已解除！",
     true},
    {"HideDrivesAsked",
     3,
     "Picture_Hide(5)",
     {" cf "},
     {},
     {{kHkcu, kExplorerPolicies, "NoDrives", dword(36)}},
     "已设置！",
     false},
    {"HideDrivesCancelled",
     3,
     "Picture_Hide(5)",
     {""},
     {},
     {{kHkcu, kExplorerPolicies, "NoDrives", std::nullopt}},
     "",
     false},
    {"ShowSearchInStartMenu",
     3,
     "Picture_Show(9)",
     {},
     {},
     {{kHku, ".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", "NoFind",
       dword(0)}},
     "已解除！",
     false},
};

INSTANTIATE_TEST_SUITE_P(Pages, PageRows, ::testing::ValuesIn(kClickCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The press look and the keyboard: a right press changes nothing and runs nothing; Space and
// Enter press the focused button; Tab walks the rows in order.
TEST(PageButtons, RightButtonDoesNothingKeyboardPressesAndTabFollowsRows) {
    PageRig rig(3);
    auto* forbid = rig.find<ImageButton>(QStringLiteral("Picture_Forbid(0)"));
    ASSERT_NE(forbid, nullptr);
    const QImage released = forbid->pixmap().toImage();
    QTest::mousePress(forbid, Qt::RightButton, {}, forbid->rect().center());
    EXPECT_EQ(forbid->pixmap().toImage(), released);
    QTest::mouseRelease(forbid, Qt::RightButton, {}, forbid->rect().center());
    EXPECT_TRUE(rig.dialogs().calls().empty());

    // A release outside the button after a press there: back at rest, no action.
    QTest::mousePress(forbid, Qt::LeftButton, {}, forbid->rect().center());
    QTest::mouseRelease(forbid, Qt::LeftButton, {}, QPoint(-5, -5));
    EXPECT_FALSE(forbid->isPressed());
    EXPECT_TRUE(rig.dialogs().calls().empty());

    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return}) {
        forbid->setFocus();
        QTest::keyPress(forbid, key);
        EXPECT_TRUE(forbid->isPressed());
        QTest::keyRelease(forbid, key);
    }
    EXPECT_EQ(rig.dialogs().messagePrompts(), (std::vector<std::string>{"已设置！", "已设置！"}));

    const char* const chain[] = {"Picture_Forbid(0)", "Picture_Passage(0)", "Picture_Forbid(1)",
                                 "Picture_Passage(1)"};
    for (int i = 0; i + 1 < 4; ++i) {
        QWidget* next = rig.find(QString::fromLatin1(chain[i]));
        ASSERT_NE(next, nullptr);
        do {
            next = next->nextInFocusChain();
        } while ((next->focusPolicy() & Qt::TabFocus) == 0);
        EXPECT_EQ(next->objectName().toStdString(), chain[i + 1]);
    }
}

// Every row array of the two catalogue pages is complete and captioned from the catalogue.
TEST(PageButtons, EveryRowHasItsNamedControls) {
    struct Arrays {
        int page;
        const char* label;
        const char* set;
        const char* lift;
        int rows;
        const PageCatalogue& catalogue;
    };
    const Arrays arrays[] = {
        {1, "Label_DesktopSetting", "Picture_DesktopSet", "Picture_DesktopUnset", 12,
         desktopCatalogue()},
        {3, "Label_ForbidTips", "Picture_Forbid", "Picture_Passage", 13, restrictionsCatalogue()},
        {3, "Label_HideTips", "Picture_Hide", "Picture_Show", 12, hideShowCatalogue()},
    };
    for (const Arrays& a : arrays) {
        PageRig rig(a.page);
        for (int i = 0; i < a.rows; ++i) {
            auto* label = rig.find<QLabel>(QStringLiteral("%1(%2)").arg(a.label).arg(i));
            ASSERT_NE(label, nullptr) << a.label << i;
            EXPECT_EQ(label->text().toStdString(), a.catalogue.rows[i].caption);
            EXPECT_NE(rig.find<ImageButton>(QStringLiteral("%1(%2)").arg(a.set).arg(i)), nullptr);
            EXPECT_NE(rig.find<ImageButton>(QStringLiteral("%1(%2)").arg(a.lift).arg(i)), nullptr);
        }
        EXPECT_EQ(rig.find(QStringLiteral("%1(%2)").arg(a.label).arg(a.rows)), nullptr);
    }
}

}  // namespace
}  // namespace hivora::testing
