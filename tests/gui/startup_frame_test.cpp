// The startup frame under real Qt mouse events (offscreen platform): the three buttons and the
// check boxes clicked as a user would, with the registry checked afterwards; the bars, the wheel
// and the pooled row widgets on a long list.

#include "gui/startup_frame.h"

#include <QtTest/qtestspontaneevent.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTest>
#include <QWheelEvent>
#include <memory>

#include "gui/image_button.h"
#include "tests/core/fake_clock.h"
#include "tests/core/scrollbar_rig.h"
#include "tests/core/startup_harness.h"

namespace hivora {
namespace {

using testing::RunValue;

class StartupFrameTest : public ::testing::Test {
  protected:
    void makeFrame() {
        page = std::make_unique<QWidget>();
        page->resize(800, 320);
        frame = new StartupFrame(harness.layer(), harness.framework(), page.get(),
                                 {&clock, &pointer, &harness.dialogs()});
        frame->move(kStartupFrameRect.topLeft());
        page->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
        frame->refresh();
    }

    template <typename T>
    T* child(const QString& name) {
        return frame->findChild<T*>(name);
    }
    QCheckBox* check(int row) {
        return child<QCheckBox>(QStringLiteral("Check_PowerStart(%1)").arg(row));
    }
    void click(QWidget* widget) {
        ASSERT_NE(widget, nullptr);
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->rect().center());
    }
    std::vector<bool> marks(int rows) {
        std::vector<bool> shown;
        for (int k = 0; k < rows; ++k) shown.push_back(check(k) && check(k)->isChecked());
        return shown;
    }
    QWidget* view() { return child<QWidget>(QStringLiteral("Picture_PowerStartBackgound")); }
    QWidget* content() { return child<QWidget>(QStringLiteral("Picture_PowerStart")); }
    TarnXPVScrollBar* vBar() {
        return child<TarnXPVScrollBar>(QStringLiteral("VScroll_PowerStart"));
    }
    TarnXPHScrollBar* hBar() {
        return child<TarnXPHScrollBar>(QStringLiteral("HScroll_PowerStart"));
    }

    testing::StartupHarness harness;
    testing::FakeClock clock;
    testing::FakePointer pointer;
    std::unique_ptr<QWidget> page;
    StartupFrame* frame = nullptr;
};

// The name column is as wide as the widest name, ideographs counted at their own advance: an
// ideographic name longer on screen than the others never runs under the data column.
TEST_F(StartupFrameTest, AnIdeographicNameKeepsClearOfTheDataColumn) {
    harness.seed(kHkeyCurrentUser,
                 std::vector<RunValue>{{"abcdefghij", "a.exe"},
                                       {"开机启动的程序开机启动的程序开机启动", "b.exe"}});
    makeFrame();
    for (int row = 0; row < 2; ++row) {
        auto* name = child<QLabel>(QStringLiteral("Label_PowerStartName(%1)").arg(row));
        auto* data = child<QLabel>(QStringLiteral("Label_PowerStartValue(%1)").arg(row));
        ASSERT_TRUE(name && data);
        EXPECT_LT(name->geometry().right(), data->x()) << name->text().toStdString();
    }
}

TEST_F(StartupFrameTest, SelectAllInvertAndRemoveWithTheMouse) {
    // Enumeration sorts: HKCU {Alpha, Beta}, then HKLM {Alpha, Gamma}.
    harness.seed(kHkeyCurrentUser, std::vector<RunValue>{{"Beta", "b.exe"}, {"Alpha", "a.exe"}});
    harness.seed(
        kHkeyLocalMachine,
        std::vector<RunValue>{{"Alpha", "m.exe"}, {"Gamma", "%SystemRoot%\\g.exe", kRegExpandSz}});
    makeFrame();

    EXPECT_EQ(frame->size(), kStartupFrameRect.size());
    EXPECT_EQ(view()->geometry(), QRect(16, 24, 473, 201));
    EXPECT_FALSE(vBar()->isVisible());
    EXPECT_FALSE(hBar()->isVisible());
    EXPECT_EQ(child<QLabel>(QStringLiteral("Label_PowerStartValue(3)"))->text(),
              QStringLiteral("[HKLM\\Run] %SystemRoot%\\g.exe"));
    EXPECT_TRUE(check(3)->toolTip().contains("HKEY_LOCAL_MACHINE\\Software\\Microsoft"));
    const QPoint buttonsAt[] = {{240, 240}, {328, 240}, {416, 240}, {64, 240}, {152, 240}};
    const char* buttonNames[] = {"Picture_PowerStartSelAll", "Picture_PowerStartAntiSel",
                                 "Picture_PowerStartRemove", "Picture_PowerStartOff",
                                 "Picture_PowerStartOn"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(child<ImageButton>(buttonNames[i])->geometry(),
                  QRect(buttonsAt[i], QSize(57, 25)));
    }

    click(child<ImageButton>("Picture_PowerStartSelAll"));
    EXPECT_EQ(marks(4), std::vector<bool>(4, true));
    click(child<ImageButton>("Picture_PowerStartAntiSel"));
    EXPECT_EQ(marks(4), std::vector<bool>(4, false));
    click(check(1));  // HKCU Beta
    click(check(2));  // HKLM Alpha, not the user's value of that name
    EXPECT_EQ(marks(4), (std::vector<bool>{false, true, true, false}));
    for (int k = 0; k < 4; ++k) {  // the list holds what the boxes show, in its own terms
        EXPECT_EQ(frame->list().rows()[k].checkState, k == 1 || k == 2 ? kChecked : kUnchecked);
        EXPECT_EQ(check(k)->checkState(), k == 1 || k == 2 ? Qt::Checked : Qt::Unchecked);
    }

    click(child<ImageButton>("Picture_PowerStartRemove"));
    EXPECT_TRUE(harness.hasValue(kHkeyCurrentUser, "Alpha"));
    EXPECT_FALSE(harness.hasValue(kHkeyCurrentUser, "Beta"));
    EXPECT_FALSE(harness.hasValue(kHkeyLocalMachine, "Alpha"));
    EXPECT_TRUE(harness.hasValue(kHkeyLocalMachine, "Gamma"));
    EXPECT_EQ(harness.dialogs().messagePrompts(), std::vector<std::string>{"已设置！"});
    // The list was read again: two rows, unmarked.
    EXPECT_EQ(frame->list().size(), 2u);
    EXPECT_EQ(marks(2), std::vector<bool>(2, false));
    EXPECT_TRUE(check(2) == nullptr || !check(2)->isVisible());

    frame->clear();
    EXPECT_EQ(harness.store().openHandleCount(), 0u);
    EXPECT_EQ(content()->size(), QSize(0, 0));
}

TEST_F(StartupFrameTest, SwitchOffAndOnWithTheButtonsMarksTheRowInWords) {
    harness.seed(kHkeyCurrentUser, std::vector<RunValue>{{"Alpha", "a.exe"}, {"Beta", "b.exe"}});
    makeFrame();
    const auto name = [&](int row) {
        return child<QLabel>(QStringLiteral("Label_PowerStartName(%1)").arg(row))->text();
    };
    EXPECT_EQ(name(0), QStringLiteral("[启] Alpha"));
    click(check(1));
    click(child<ImageButton>("Picture_PowerStartOff"));
    EXPECT_EQ(harness.dialogs().messagePrompts(), std::vector<std::string>{"已设置！"});
    // Beta moved to the backup key: still listed, after the place's live entries, marked off.
    EXPECT_FALSE(harness.hasValue(kHkeyCurrentUser, "Beta"));
    ASSERT_EQ(frame->list().size(), 2u);
    EXPECT_EQ(name(0), QStringLiteral("[启] Alpha"));
    EXPECT_EQ(name(1), QStringLiteral("[停] Beta"));
    EXPECT_TRUE(check(1)->toolTip().contains(QStringLiteral("已禁用")));
    click(check(1));
    click(child<ImageButton>("Picture_PowerStartOn"));
    EXPECT_TRUE(harness.hasValue(kHkeyCurrentUser, "Beta"));
    EXPECT_EQ(name(1), QStringLiteral("[启] Beta"));
}

TEST_F(StartupFrameTest, LongListScrollsWithPooledRowsAndKeepsBarAndContentTogether) {
    std::vector<RunValue> values;
    for (int i = 0; i < 40; ++i) {
        values.push_back(
            {"Entry" + std::to_string(100 + i), "C:\\" + std::string(150, 'x') + ".exe"});
    }
    harness.seed(kHkeyCurrentUser, values);
    makeFrame();

    ASSERT_TRUE(vBar()->isVisible());
    ASSERT_TRUE(hBar()->isVisible());
    EXPECT_EQ(view()->size(), QSize(473 - 17, 201 - 17));
    EXPECT_EQ(vBar()->geometry(), QRect(472, 24, 17, 184));
    EXPECT_EQ(hBar()->geometry(), QRect(16, 208, 456, 17));
    EXPECT_EQ(vBar()->Max(), 36);  // (15300 - 2760) / 360 + 1 = 35.8
    const int pool = static_cast<int>(frame->findChildren<QCheckBox*>().size());
    EXPECT_LE(pool, 14);

    // One notch down over a label: three steps through the bar.
    QLabel* label = child<QLabel>(QStringLiteral("Label_PowerStartName(2)"));
    ASSERT_NE(label, nullptr);
    QWheelEvent wheel(QPointF(5, 5), label->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    // Delivered as the window system delivers it, so that it travels up from the label.
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    qApp->notify(label, &wheel);
    EXPECT_EQ(vBar()->Value(), 3);
    EXPECT_EQ(content()->y(), -(3 * (15300 - 2760) / 36) / 15);

    // At the end the last row's box bottom plus 300 twips meets the view's bottom.
    vBar()->setValue(vBar()->Max());
    EXPECT_EQ(content()->geometry().bottom() + 1, view()->height());
    ASSERT_NE(check(39), nullptr);
    EXPECT_TRUE(check(39)->isVisible());
    EXPECT_EQ(static_cast<int>(frame->findChildren<QCheckBox*>().size()), pool);

    // Removing 30 rows lowers Max below Value: Value drops to it and the content sits at its end.
    for (std::size_t k = 10; k < 40; ++k) frame->list().setCheckState(k, kChecked);
    click(child<ImageButton>("Picture_PowerStartRemove"));
    EXPECT_EQ(frame->list().size(), 10u);
    EXPECT_EQ(vBar()->Max(), 5);  // (4050 - 2760) / 360 + 1 = 4.58
    EXPECT_EQ(vBar()->Value(), 5);
    EXPECT_EQ(content()->geometry().bottom() + 1, view()->height());
    EXPECT_TRUE(check(9)->isVisible());
}

}  // namespace
}  // namespace hivora
