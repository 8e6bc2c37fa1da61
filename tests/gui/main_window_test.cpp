// The main window: its start-up state and layout, a bad configuration, the closing answers, and
// the tabs and chrome buttons under real mouse events.

#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTimer>
#include <algorithm>

#include "gui/image_button.h"
#include "gui/page_skins.h"
#include "gui/picture_box.h"
#include "gui/startup_frame.h"
#include "gui/window_helpers.h"
#include "tests/gui/main_window_rig.h"

namespace hivora {
namespace {

using testing::backgroundOf;
using testing::DialogKind;
using testing::MainWindowRig;

// A move with buttons held, as a real drag delivers it (QTest's moves carry none).
void moveHeld(QWidget* widget, QPoint to) {
    QMouseEvent move(QEvent::MouseMove, QPointF(to), widget->mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

TEST(MainWindowStartUp, FacesPagesNamesColoursAndLayout) {
    MainWindowRig rig;
    MainWindow& window = rig.create();
    // Frames and buttons built by the pages before start-up take their colour and faces there.
    auto* frame = new QGroupBox(window.page(3));
    frame->setObjectName("Frame_Forbid");
    auto* forbid = new ImageButton(kKindForbid, "Picture_Forbid(0)", frame);
    forbid->setPixmap({});
    rig.seedRun("Tool", "C:\\tool.exe");
    ASSERT_TRUE(window.Form_Load());
    EXPECT_EQ(window.startupFrame()->list().size(), 0u);  // not read before the first paint
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.log.size() == 2; }));
    EXPECT_EQ(rig.log, (std::vector<std::string>{"logon", "refresh"}));  // list after showing
    EXPECT_EQ(window.startupFrame()->list().size(), 1u);
    EXPECT_EQ(window.startupFrame()->parentWidget(), window.page(0));
    EXPECT_EQ(window.startupFrame()->objectName(), "Frame_PowerStart");
    EXPECT_EQ(window.startupFrame()->geometry(), QRect(256, 8, 505, 281));
    EXPECT_EQ(backgroundOf(window.startupFrame()), 14001242);

    EXPECT_EQ(window.windowTitle(), "Hivora V1.0");
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(windowStyleOf(&window), 0x00020000u);  // of the frame, only the minimise box is left
    EXPECT_EQ(window.size(), QSize(804, 577));
    EXPECT_FALSE(window.mask().isEmpty());
    EXPECT_EQ(backgroundOf(&window), 14001242);
    EXPECT_EQ(backgroundOf(frame), 14001242);
    EXPECT_FALSE(forbid->pixmap().isNull());

    const int tabFaces[] = {1, 7, 12, 17, 22};
    for (int i = 0; i < kTabCount; ++i) {
        EXPECT_EQ(window.tabFaceShown(i), tabFaces[i]);
        EXPECT_EQ(window.tab(i)->objectName(), QString("Picture_TopToolBar(%1)").arg(i));
        // 5000 + i * 900 twips, 540 down; 44 x 44 pixels.
        EXPECT_EQ(window.tab(i)->geometry(), QRect((5000 + i * 900) / 15, 36, 44, 44)) << i;
        QWidget* page = window.page(i);
        EXPECT_EQ(page->objectName(), QString("Picture_Main(%1)").arg(i));
        EXPECT_EQ(page->isVisible(), i == 0);
        EXPECT_EQ(page->geometry(), QRect(16, 88, 772, 473));  // 240, 1320, 11580 x 7100 twips
        EXPECT_EQ(backgroundOf(page), 14001242);
        EXPECT_FALSE(page->mask().isEmpty());
    }
    for (int i = 0; i < kSizeBoxCount; ++i) {
        EXPECT_EQ(window.sizeBoxFaceShown(i), 4 * i + 1);
        EXPECT_EQ(window.sizeBox(i)->geometry(), QRect((11580 - i * 380) / 15, 8, 24, 22)) << i;
    }
    EXPECT_EQ(window.separator()->y(), 84);  // 1260 twips
    EXPECT_FALSE(window.separator()->isVisible());
    EXPECT_FALSE(window.tabTip()->isVisible());
    EXPECT_EQ(window.tabStrip().CurrentPage(), 0);
    EXPECT_EQ(window.tabStrip().HoverTab(), -1);
    EXPECT_EQ(window.chrome().SizeBoxHover(), -1);
}

// With a page filler, the first frame waits only for the page on show: the others are filled
// right after it (or earlier, when shown first), skinned and coloured as if filled before.
TEST(MainWindowStartUp, PagesAreFilledAsTheyAreFirstNeeded) {
    for (const int shownEarly : {-1, 2}) {
        MainWindowRig rig;
        rig.writeConfig("[Color]\r\nBack_Color=255\r\n");
        MainWindow& window = rig.create();
        std::vector<int> filled;
        window.setPageFiller([&filled](int index, QWidget* page) {
            filled.push_back(index);
            auto* frame = new QGroupBox(page);
            frame->setObjectName(index == 3 ? "Frame_Forbid" : "Frame_Other");
            auto* button = new ImageButton(kKindForbid, "Picture_Forbid(0)", frame);
            button->setPixmap({});
        });
        QObject::connect(&window, &MainWindow::firstPainted,
                         [&rig] { rig.log.push_back("painted"); });
        QObject::connect(&window, &MainWindow::pagesFilled, [&rig, &filled] {
            rig.log.push_back("filled " + std::to_string(filled.size()));
        });
        ASSERT_TRUE(window.Form_Load());
        if (shownEarly >= 0) window.tabStrip().SwitchPage(shownEarly);
        const std::vector<int> filledFirst =
            shownEarly < 0 ? std::vector<int>{0} : std::vector<int>{0, shownEarly};
        EXPECT_EQ(filled, filledFirst);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return !rig.log.empty() && rig.log.back() == "refresh"; }));
        EXPECT_EQ(rig.log, (std::vector<std::string>{"logon", "painted", "filled 5", "refresh"}));
        std::vector<int> sorted = filled;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, (std::vector<int>{0, 1, 2, 3, 4})) << "each page once";
        for (int i = 0; i < kPageCount; ++i) {
            EXPECT_EQ(window.page(i)->isVisible(), i == std::max(shownEarly, 0)) << i;
            for (auto* button : window.page(i)->findChildren<ImageButton*>()) {
                EXPECT_FALSE(button->pixmap().isNull()) << i;
            }
        }
        EXPECT_EQ(backgroundOf(window.page(3)->findChild<QWidget*>("Frame_Forbid")), 255);
    }
}

// Which controls the skinning step gives faces: the pages' image buttons by their names (single,
// or of a row array), and the folder-browse pictures; names of other shapes are left alone.
TEST(PageSkins, NamesThatTakeFaces) {
    struct Case {
        const char* name;
        bool skinned;
    };
    const Case cases[] = {
        {"Picture_Forbid(2)", true}, {"Picture_RegTo", true},          {"Picture_Hide(12)", true},
        {"Picture_SysDir(3)", true}, {"Picture_Forbid(x)", false},     {"Picture_Forbid()", false},
        {"Picture_Forbid(2", false}, {"Picture_Forbidden(2)", false},  {"(2)", false},
        {"Picture_SysDir", false},   {"Picture_TopToolBar(1)", false},
    };
    QWidget root;
    std::vector<ImageButton*> buttons;
    for (const Case& c : cases) {
        buttons.push_back(new ImageButton(kKindForbid, c.name, &root));
        buttons.back()->setPixmap({});
    }
    skinPageButtons(&root);
    for (std::size_t i = 0; i < buttons.size(); ++i)
        EXPECT_EQ(!buttons[i]->pixmap().isNull(), cases[i].skinned) << cases[i].name;
}

TEST(MainWindowStartUp, BadConfigurationWarnsAndNeverShowsNorWrites) {
    for (const char* text : {"[Color]\r\nBack_Color=blue\r\n", "[Color]\r\nBorder_Color=&HZZ\r\n",
                             "[Color]\r\nFont_Color=99999999999\r\n"}) {
        MainWindowRig rig;
        rig.writeConfig(text);
        rig.dialogs.answerMessageBox(kIdOk);
        rig.dialogs.expectOkBoxesScripted();
        MainWindow& window = rig.create();
        EXPECT_FALSE(window.Form_Load()) << text;
        EXPECT_FALSE(window.isVisible());
        EXPECT_TRUE(rig.log.empty());
        const auto boxes = rig.dialogs.callsOf(DialogKind::MessageBox);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].prompt, "程序出错，可能是配置信息没有正确修改，请尝试删除！");
        EXPECT_EQ(boxes[0].title, "警告");
        EXPECT_EQ(boxes[0].buttons, 48);
        EXPECT_EQ(rig.readConfig(), text);
    }
}

TEST(MainWindowStartUp, ConfiguredColourPaintsWindowAndPages) {
    MainWindowRig rig;
    rig.writeConfig("[Color]\r\nBack_Color=255\r\n");
    MainWindow& window = rig.loaded();
    EXPECT_EQ(backgroundOf(&window), 255);
    EXPECT_EQ(backgroundOf(window.page(4)), 255);
}

struct CloseCase {
    const char* name;
    bool needsRestart;
    int answer;
    bool closes;
    std::optional<std::string> restartCommand;
    std::vector<std::string> log;  // after start-up
};

class MainWindowClosing : public ::testing::TestWithParam<CloseCase> {};

TEST_P(MainWindowClosing, ClearsRowsAsksAndActs) {
    const CloseCase& c = GetParam();
    MainWindowRig rig;
    rig.seedRun("Tool", "C:\\tool.exe");
    rig.create(c.restartCommand);
    ASSERT_TRUE(rig.window->Form_Load());
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.log.size() == 2; }));
    rig.log.clear();
    if (c.needsRestart) rig.framework.raiseNeedsRestart();
    rig.dialogs.answerMessageBox(c.answer);
    EXPECT_EQ(rig.window->close(), c.closes);
    EXPECT_EQ(rig.window->isVisible(), !c.closes);
    EXPECT_EQ(rig.log, c.log);
    // The rows went before the question; staying reads them again at once.
    EXPECT_EQ(rig.window->startupFrame()->list().size(), c.closes ? 0u : 1u);
    const auto runs = rig.dialogs.callsOf(DialogKind::RunCommand);
    const bool restarts = std::find(c.log.begin(), c.log.end(), "flush") != c.log.end();
    ASSERT_EQ(runs.size(), restarts ? 1u : 0u);
    if (restarts) {
        EXPECT_EQ(runs[0].commandLine, *c.restartCommand);
    }
}

const std::string kWindowsRestart = "cmd /c shutdown -r -f -t 0";
const std::string kWineRestart = "env WINEPREFIX=/p wineboot --end-session --restart";

INSTANTIATE_TEST_SUITE_P(
    Shell, MainWindowClosing,
    ::testing::Values(
        CloseCase{"quit_yes", false, kIdYes, true, kWindowsRestart, {"clear"}},
        CloseCase{
            "quit_no_reads_list_again", false, kIdNo, false, kWindowsRestart, {"clear", "refresh"}},
        CloseCase{"restart_yes", true, kIdYes, true, kWindowsRestart, {"clear", "flush"}},
        CloseCase{"restart_yes_wine_prefix", true, kIdYes, true, kWineRestart, {"clear", "flush"}},
        CloseCase{"restart_yes_nothing_to_restart", true, kIdYes, true, std::nullopt, {"clear"}},
        CloseCase{"restart_no", true, kIdNo, true, kWindowsRestart, {"clear"}},
        CloseCase{"restart_cancel_reads_list_again",
                  true,
                  kIdCancel,
                  false,
                  kWindowsRestart,
                  {"clear", "refresh"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MainWindowTabs, HoverPressReleaseInsideAndOutsideHeldAndTimer) {
    MainWindowRig rig;
    MainWindow& window = rig.loaded();
    rig.log.clear();
    PictureBox* tab2 = window.tab(2);
    QSignalSpy shown(&window, &MainWindow::pageShown);

    QTest::mouseMove(tab2, QPoint(20, 20));
    rig.pointer.over = windowHandleOf(tab2);
    EXPECT_EQ(window.tabFaceShown(2), 13);  // hovered
    EXPECT_TRUE(window.tabTip()->isVisible());
    EXPECT_EQ(window.tabTip()->text(), "IE设置");
    EXPECT_EQ(window.tabTip()->x() + window.tabTip()->width() / 2, tab2->x() + 22);

    // Press, leave with the button down, release outside: normal face, same page, tip stays.
    QTest::mousePress(tab2, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(window.tabFaceShown(2), 14);
    rig.pointer.over = kNoWindow;
    rig.clock.advance(300);
    QTest::mouseRelease(tab2, Qt::LeftButton, {}, QPoint(45, 20));
    EXPECT_EQ(window.tabFaceShown(2), 12);
    EXPECT_EQ(window.tabStrip().CurrentPage(), 0);
    EXPECT_TRUE(window.tabTip()->isVisible());

    // A second press and a held move: the held face; released on the bottom right edge: switch.
    QTest::mousePress(tab2, Qt::LeftButton, {}, QPoint(20, 20));
    moveHeld(tab2, QPoint(30, 30));
    EXPECT_EQ(window.tabFaceShown(2), 15);
    QTest::mouseRelease(tab2, Qt::LeftButton, {}, QPoint(44, 44));
    EXPECT_EQ(window.tabStrip().CurrentPage(), 2);
    EXPECT_EQ(window.tabFaceShown(2), 11);
    EXPECT_EQ(window.tabFaceShown(0), 2);
    EXPECT_TRUE(window.page(2)->isVisible());
    EXPECT_FALSE(window.page(0)->isVisible());

    // Back to the startup page: the list is read again; the current tab ignores clicks.
    QTest::mouseClick(window.tab(0), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window.tabStrip().CurrentPage(), 0);
    QTest::mouseClick(window.tab(0), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(rig.log, (std::vector<std::string>{"refresh"}));
    // Each switch tells which page came up, once (the live-state marks are read then).
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0][0].toInt(), 2);
    EXPECT_EQ(shown[1][0].toInt(), 0);

    // Hover another tab and leave it: the timer puts it back and hides the tip.
    QTest::mouseMove(window.tab(4), QPoint(10, 10));
    EXPECT_EQ(window.tabFaceShown(4), 23);
    rig.pointer.over = kNoWindow;
    rig.clock.advance(100);
    EXPECT_EQ(window.tabFaceShown(4), 22);
    EXPECT_FALSE(window.tabTip()->isVisible());
}

TEST(MainWindowChrome, FacesClicksAndWindowRequests) {
    MainWindowRig rig;
    MainWindow& window = rig.loaded();
    PictureBox* about = window.sizeBox(kSizeBoxAbout);

    QTest::mouseMove(about, QPoint(5, 5));
    EXPECT_EQ(window.sizeBoxFaceShown(kSizeBoxAbout), 10);
    QTest::mouseMove(window.sizeBox(kSizeBoxMinimize), QPoint(5, 5));
    EXPECT_EQ(window.sizeBoxFaceShown(kSizeBoxAbout), 9);
    EXPECT_EQ(window.sizeBoxFaceShown(kSizeBoxMinimize), 6);
    rig.clock.advance(100);  // the pointer is over none of them
    EXPECT_EQ(window.sizeBoxFaceShown(kSizeBoxMinimize), 5);

    // Press, held off and back on, released on: About opens modally.
    QTest::mousePress(about, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window.sizeBoxFaceShown(kSizeBoxAbout), 11);
    moveHeld(about, QPoint(40, 5));
    EXPECT_EQ(window.sizeBoxFaceShown(kSizeBoxAbout), 12);
    moveHeld(about, QPoint(5, 5));
    EXPECT_EQ(window.sizeBoxFaceShown(kSizeBoxAbout), 11);
    QString aboutTitle;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        aboutTitle = box->windowTitle();
        auto* ok = box->findChild<QWidget*>("Command_OK");
        ASSERT_NE(ok, nullptr);
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    QTest::mouseRelease(about, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(aboutTitle, "关于 Hivora V1.0");
    EXPECT_EQ(window.sizeBoxFaceShown(kSizeBoxAbout), 9);

    // Right button: no face, no action.
    QTest::mouseClick(window.sizeBox(kSizeBoxClose), Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_TRUE(window.isVisible());

    // Background press drags; close goes through the closing question (No keeps the window).
    QSignalSpy drags(&window, &MainWindow::dragStarted);
    QTest::mousePress(&window, Qt::RightButton, {}, QPoint(100, 20));
    EXPECT_EQ(drags.count(), 1);
    QTest::mousePress(window.page(0), Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(drags.count(), 1);
    rig.dialogs.answerMessageBox(kIdNo);
    QTest::mouseClick(window.sizeBox(kSizeBoxClose), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(rig.dialogs.callsOf(DialogKind::MessageBox).size(), 1u);
    QTest::mouseClick(window.sizeBox(kSizeBoxMinimize), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(window.isMinimized());
}

}  // namespace
}  // namespace hivora
