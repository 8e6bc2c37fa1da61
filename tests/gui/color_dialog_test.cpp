// The colour dialog: load state, editing with live preview, and the three ways out, with the file
// written only by an OK that changed the colour.

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "gui/form_config.h"
#include "gui/tarn_xp_scroll_bar.h"
#include "tests/gui/main_window_rig.h"

namespace hivora {
namespace {

using testing::backgroundOf;
using testing::MainWindowRig;

enum class Exit { Ok, Discard, CloseWindow };

struct DialogCase {
    const char* name;
    bool change;             // press "更 改"
    std::optional<int> red;  // then move the red bar to this value
    Exit exit;
    std::int32_t backColorAfter;  // Back_Color
    std::int32_t pagesAfter;      // pages and frames
    std::string fileAfter;        // "" for no file
};

constexpr std::int32_t kDefault = 14001242;  // red 90, green 164, blue 213
constexpr std::int32_t kRedAt255 = kDefault - 90 + 255;

class ColorDialogFlows : public ::testing::TestWithParam<DialogCase> {};

TEST_P(ColorDialogFlows, PreviewKeepOrTakeBack) {
    const DialogCase& c = GetParam();
    MainWindowRig rig;
    MainWindow& window = rig.create();
    auto* frame = new QGroupBox(window.page(0));
    frame->setObjectName("Frame_PowerStart");
    ASSERT_TRUE(window.Form_Load());

    FormConfig dialog(window);
    EXPECT_EQ(dialog.windowTitle(), "背景颜色设置 Hivora");
    EXPECT_EQ(backgroundOf(&dialog), kDefault);
    auto* ok = dialog.findChild<QPushButton*>("Command_OK");
    auto* apply = dialog.findChild<QPushButton*>("Command_Apply");
    auto* cancel = dialog.findChild<QPushButton*>("Command_Cancel");
    dialog.show();
    EXPECT_FALSE(ok->isVisible());
    EXPECT_FALSE(cancel->isVisible());
    EXPECT_TRUE(apply->isVisible());
    EXPECT_FALSE(dialog.bar(0)->isEnabled());
    EXPECT_EQ(dialog.bar(0)->Value(), 0);
    EXPECT_EQ(dialog.numberLabel(1)->text(), "GreenNum");

    if (c.change) {
        QTest::mouseClick(apply, Qt::LeftButton);
        EXPECT_TRUE(dialog.Editing());
        EXPECT_FALSE(apply->isVisible());
        EXPECT_TRUE(ok->isVisible() && cancel->isVisible() && dialog.bar(2)->isEnabled());
        EXPECT_EQ(dialog.bar(1)->Value(), 164);
        EXPECT_EQ(dialog.numberLabel(2)->text(), "213");
    }
    if (c.red) {
        dialog.bar(0)->setValue(*c.red);
        EXPECT_EQ(dialog.numberLabel(0)->text(), QString::number(*c.red));
        EXPECT_EQ(backgroundOf(window.page(3)), dialog.NewColor());
        EXPECT_EQ(backgroundOf(frame), dialog.NewColor());
        EXPECT_EQ(backgroundOf(&dialog), dialog.NewColor());
    }
    switch (c.exit) {
        case Exit::Ok:
            if (ok->isVisible()) {
                QTest::mouseClick(ok, Qt::LeftButton);
            } else {
                dialog.accept();
            }
            break;
        case Exit::Discard:
            QTest::mouseClick(cancel, Qt::LeftButton);
            break;
        case Exit::CloseWindow:
            dialog.close();
            break;
    }
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(window.colors().backColor, c.backColorAfter);
    EXPECT_EQ(backgroundOf(window.page(3)), c.pagesAfter);
    EXPECT_EQ(backgroundOf(frame), c.pagesAfter);
    EXPECT_EQ(backgroundOf(&window), kDefault);  // the window's own background waits for a restart
    EXPECT_EQ(rig.readConfig(), c.fileAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Shell, ColorDialogFlows,
    ::testing::Values(
        DialogCase{"close_unchanged", false, std::nullopt, Exit::CloseWindow, kDefault, kDefault,
                   ""},
        DialogCase{"ok_without_moving", true, std::nullopt, Exit::Ok, kDefault, kDefault, ""},
        DialogCase{"ok_changed_writes", true, 255, Exit::Ok, kRedAt255, kRedAt255,
                   "[Color]\r\nBack_Color=" + std::to_string(kRedAt255) + "\r\n"},
        DialogCase{"discard_takes_back", true, 0, Exit::Discard, kDefault, kDefault, ""},
        DialogCase{"window_close_takes_back", true, 17, Exit::CloseWindow, kDefault, kDefault, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ColorDialog, ComponentsOutsideTheBarsRangeShowAsComputed) {
    struct Case {
        std::int32_t color;
        int bars[3];
        const char* labels[3];
    } cases[] = {
        {0x10000FF, {255, 0, 255}, {"255", "0", "256"}},
        {-1, {0, 0, 0}, {"-1", "0", "0"}},
        {-256, {0, 0, 0}, {"0", "-1", "0"}},
    };
    for (const Case& c : cases) {
        MainWindowRig rig;
        rig.writeConfig("[Color]\r\nBack_Color=" + std::to_string(c.color) + "\r\n");
        MainWindow& window = rig.create();
        ASSERT_TRUE(window.Form_Load());
        FormConfig dialog(window);
        dialog.Set_ScrollValue(c.color);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(dialog.bar(i)->Value(), c.bars[i]) << c.color << " component " << i;
            EXPECT_EQ(dialog.numberLabel(i)->text(), c.labels[i]) << c.color << " component " << i;
        }
        EXPECT_EQ(backgroundOf(window.page(0)), c.color & 0xFFFFFF);  // not editing: no preview
    }
}

}  // namespace
}  // namespace hivora
