// The skinned scroll bar widgets with real Qt mouse events: presses, drags, what the widget
// shows, enabling through Qt, the pointer test and the rounded shape. Timers run on a fake clock.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "core/ui/round_region.h"
#include "gui/tarn_xp_scroll_bar.h"
#include "gui/window_helpers.h"
#include "tests/core/scrollbar_rig.h"

namespace hivora {
namespace {

using testing::FakeClock;
using testing::FakePointer;
using testing::ScriptedDialogs;

class ScrollBarWidget : public ::testing::Test {
  protected:
    void SetUp() override {
        host = std::make_unique<QWidget>();
        host->resize(400, 300);
        services = {&clock, &pointer, &dialogs};
        horizontal = new TarnXPHScrollBar(host.get(), services);
        horizontal->setGeometry(10, 10, 265, 40);  // the bar keeps its 17 pixels
        vertical = new TarnXPVScrollBar(host.get(), services);
        vertical->setGeometry(300, 10, 30, 185);
        host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
        pointer.over = horizontal->hwnd();
    }

    QRgb shownAt(TarnXPScrollBarBase* bar, int x, int y) const {
        return bar->grab().toImage().pixel(x, y) & 0xFFFFFF;
    }

    FakeClock clock;
    FakePointer pointer;
    ScriptedDialogs dialogs;
    ScrollBarWidgetServices services;
    std::unique_ptr<QWidget> host;
    TarnXPHScrollBar* horizontal = nullptr;
    TarnXPVScrollBar* vertical = nullptr;
};

TEST_F(ScrollBarWidget, KeepsItsThicknessAndShowsItsImage) {
    EXPECT_EQ(horizontal->size(), QSize(265, 17));
    EXPECT_EQ(vertical->size(), QSize(17, 185));
    EXPECT_EQ(horizontal->bar().width(), 265);
    EXPECT_EQ(vertical->bar().height(), 185);
    // Track top line, thumb body row 8 (blue, normal), as drawn on the screen.
    EXPECT_EQ(shownAt(horizontal, 150, 0), 0xEEEDE5u);
    EXPECT_EQ(shownAt(horizontal, 21, 8), 0xC3D5FDu);
    EXPECT_EQ(shownAt(vertical, 8, 21), 0xC3D5FDu);
}

TEST_F(ScrollBarWidget, ArrowHeldStepsOnTheClockAndTheThumbFollowsADrag) {
    for (TarnXPScrollBarBase* bar : {static_cast<TarnXPScrollBarBase*>(horizontal),
                                     static_cast<TarnXPScrollBarBase*>(vertical)}) {
        const bool isHorizontal = bar == horizontal;
        const auto at = [&](int along) {
            return isHorizontal ? QPoint(along, 8) : QPoint(8, along);
        };
        QSignalSpy changes(bar, &TarnXPScrollBarBase::Change);
        QSignalSpy scrolls(bar, &TarnXPScrollBarBase::Scroll);
        const QPoint arrow = at(isHorizontal ? 256 : 176);  // the increase arrow
        QTest::mouseMove(bar, arrow);
        QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, arrow);
        clock.advance(250);
        QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, arrow);
        EXPECT_EQ(bar->Value(), 2);
        EXPECT_EQ(changes.count(), 4);

        QTest::mouseMove(bar, at(20));  // on the thumb, which has moved on by a pixel or two
        QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, at(20));
        // QTest's moves carry no buttons; a real drag's moves do.
        const QPoint to = at(isHorizontal ? 130 : 70);
        QMouseEvent move(QEvent::MouseMove, QPointF(to), bar->mapToGlobal(QPointF(to)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(bar, &move);
        // Horizontal: 110 of 221 pixels of travel is 126.9 -> 127. Vertical (185 pixels, thumb 10
        // of 151, travel 141): 50 / 141 x 255 = 90.4 -> 90. Both from the value of 2.
        EXPECT_EQ(bar->Value(), isHorizontal ? 129 : 92);
        EXPECT_EQ(scrolls.count(), 1);
        QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, to);
        EXPECT_FALSE(bar->bar().state().dragging);
    }
}

TEST_F(ScrollBarWidget, DisabledThroughQtShowsDisabledAndIgnoresTheMouse) {
    host->setEnabled(false);  // with its parent
    EXPECT_FALSE(horizontal->bar().Enabled());
    EXPECT_EQ(shownAt(horizontal, 3, 8), 0xEFEFE9u);  // disabled arrow face
    QTest::mouseClick(horizontal, Qt::LeftButton, Qt::NoModifier, QPoint(200, 8));
    EXPECT_EQ(horizontal->Value(), 0);

    host->setEnabled(true);
    EXPECT_TRUE(horizontal->isEnabled());  // the parent's state came back, not a forced one
    EXPECT_EQ(shownAt(horizontal, 3, 8), 0xC6D3F7u);
}

TEST_F(ScrollBarWidget, BadLargeChangeGoesThroughTheDialogServices) {
    horizontal->setLargeChange(20000);
    EXPECT_EQ(horizontal->LargeChange(), 1);
    EXPECT_EQ(dialogs.messagePrompts(), std::vector<std::string>{"Invalid property value"});
}

TEST_F(ScrollBarWidget, PointerTestNamesTheTopmostWidgetOnly) {
    const QPoint overBar = horizontal->mapToGlobal(QPoint(100, 8));
    QCursor::setPos(overBar);
    if (QCursor::pos() != overBar) GTEST_SKIP() << "this platform cannot place the pointer";
    EXPECT_TRUE(IsCursorOverWindow(horizontal));
    EXPECT_FALSE(IsCursorOverWindow(vertical));
    EXPECT_FALSE(IsCursorOverWindow(host.get()));

    QWidget cover(horizontal);  // a child lying over the bar
    cover.setGeometry(90, 0, 30, 17);
    cover.show();
    EXPECT_FALSE(IsCursorOverWindow(horizontal));
    EXPECT_TRUE(IsCursorOverWindow(&cover));
}

TEST_F(ScrollBarWidget, RoundRegionFollowsTheSizeAtTheTimeOfTheCall) {
    SetRoundRegion(horizontal, 15, 15);
    const QRegion mask = horizontal->mask();
    for (const RegionRow& row : roundRectRows(-1, -1, 267, 19, 15, 15)) {
        EXPECT_TRUE(mask.contains(QPoint(row.left, row.y))) << row.y;
        EXPECT_FALSE(mask.contains(QPoint(row.left - 1, row.y))) << row.y;
        EXPECT_TRUE(mask.contains(QPoint(row.right - 1, row.y))) << row.y;
        EXPECT_FALSE(mask.contains(QPoint(row.right, row.y))) << row.y;
    }
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));  // a cut corner
    horizontal->resize(400, 17);
    EXPECT_FALSE(horizontal->mask().contains(QPoint(300, 8)));  // the old shape stays
}

}  // namespace
}  // namespace hivora
