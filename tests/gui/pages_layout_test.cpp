// The layout of every page: no two controls of one container overlap, every control lies inside
// its frame and every frame inside its page, every caption fits its label in full, and page 0
// leaves the startup frame's place free.

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <climits>

#include "gui/pages/page_layout.h"
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
    int controls = 0;
    checkContainer(rig.page(), controls);
    if (GetParam() == 1 || GetParam() == 3) EXPECT_GT(controls, 30);
    if (GetParam() == 0) {
        for (QWidget* control : controlsOf(rig.page()))
            EXPECT_FALSE(control->geometry().intersects(startupFrameArea()))
                << control->objectName().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(EveryPage, PageLayout, ::testing::Range(0, 5));

}  // namespace
}  // namespace hivora::testing
