// The layout of every page: no two controls of one container overlap, every control lies inside
// its frame and every frame inside its page, every caption fits its label in full, and page 0
// leaves the startup frame's place free. The live-state marks count as controls: each row caption
// has one, beside it and clear of everything else.

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <climits>

#include "gui/pages/page_builder.h"
#include "gui/pages/page_layout.h"
#include "gui/pages/page_live_state.h"
#include "gui/state_mark.h"
#include "tests/gui/page_rig.h"

namespace hivora::testing {
namespace {

// The controls directly inside `parent`: frames, labels, text boxes and image buttons.
QList<QWidget*> controlsOf(QWidget* parent) {
    QList<QWidget*> found;
    for (QObject* child : parent->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget != nullptr && !widget->isWindow() && !widget->objectName().isEmpty())
            found << widget;
    }
    return found;
}

void checkContainer(QWidget* parent, int& controls) {
    const QList<QWidget*> children = controlsOf(parent);
    const QRect inside = qobject_cast<QGroupBox*>(parent) != nullptr
                             ? frameContentArea(qobject_cast<QGroupBox*>(parent))
                             : parent->rect();
    for (int i = 0; i < children.size(); ++i) {
        QWidget* a = children[i];
        ++controls;
        const std::string name = a->objectName().toStdString();
        EXPECT_TRUE(inside.contains(a->geometry()))
            << name << " leaves " << parent->objectName().toStdString();
        for (int j = i + 1; j < children.size(); ++j) {
            EXPECT_FALSE(a->geometry().intersects(children[j]->geometry()))
                << name << " overlaps " << children[j]->objectName().toStdString();
        }
        if (auto* label = qobject_cast<QLabel*>(a); label != nullptr && !label->text().isEmpty()) {
            const int flags = label->wordWrap() ? Qt::TextWordWrap : 0;
            const QRect needed = label->fontMetrics().boundingRect(
                QRect(0, 0, label->width(), INT_MAX), flags, label->text());
            EXPECT_LE(needed.width(), label->width()) << name;
            EXPECT_LE(needed.height(), label->height()) << name;
        }
        if (auto* frame = qobject_cast<QGroupBox*>(a)) {
            EXPECT_LE(frame->fontMetrics().horizontalAdvance(frame->title()) + 24, frame->width())
                << name;
            checkContainer(frame, controls);
        }
    }
}

class PageLayout : public ::testing::TestWithParam<int> {};

TEST_P(PageLayout, ControlsStayInsideAndApartAndCaptionsFit) {
    PageRig rig(GetParam());
    ASSERT_EQ(rig.page()->logicalDpiX(), 96);
    // The logon frame's reach mark shown, as on any Windows since Vista.
    markLogonAppearance(rig.page(), WindowsGeneration::Vista7);
    int controls = 0;
    checkContainer(rig.page(), controls);
    if (GetParam() == 1 || GetParam() == 3) {
        EXPECT_GT(controls, 30);
    }
    if (GetParam() == 0) {
        for (QWidget* control : controlsOf(rig.page()))
            EXPECT_FALSE(control->geometry().intersects(startupFrameArea()))
                << control->objectName().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(EveryPage, PageLayout, ::testing::Range(0, 5));

// The rows of each page that carry a mark: logon style; desktop; page addresses and browser
// properties; restrictions and hide-and-show; special folders and registration.
constexpr int kMarksOfPage[5] = {4, 12, 4 + 12, 13 + 12, 9 + 3};

TEST_P(PageLayout, EveryRowCaptionHasItsMarkAtItsLeft) {
    PageRig rig(GetParam());
    const QList<StateMark*> marks = rig.page()->findChildren<StateMark*>();
    EXPECT_EQ(marks.size(), kMarksOfPage[GetParam()]);
    for (StateMark* mark : marks) {
        const QString captionName = mark->objectName().mid(int(qstrlen(kStateMarkPrefix)));
        auto* caption = rig.find<QLabel>(captionName);
        ASSERT_NE(caption, nullptr) << mark->objectName().toStdString();
        EXPECT_EQ(mark->parentWidget(), caption->parentWidget());
        EXPECT_TRUE(mark->isVisible());
        EXPECT_LE(mark->geometry().right(), caption->geometry().left());
        EXPECT_GE(mark->geometry().left(), caption->geometry().left() - kMarkStrip);
    }
}

}  // namespace
}  // namespace hivora::testing
