// The state marks, the controller the pages use, and the store watcher: marks that differ in
// shape (seen without colour), also for rows without effect on the registry's Windows, that sit
// beside their caption and follow it, that the controller keeps true, with the version it reads
// from the registry; a change another process writes into a hive file shows within a second.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <memory>

#include "core/catalogue/registry_locations.h"
#include "core/catalogue/system_info_page.h"
#include "gui/live_state_controller.h"
#include "gui/qt_timer_service.h"
#include "platform/posix/file_store.h"
#include "tests/core/fake_clock.h"
#include "tests/core/livestate_rig.h"
#include "tests/platform/store_test_support.h"

namespace hivora::testing {
namespace {

QImage greyImageOf(SettingState state, bool noEffect = false) {
    StateMark mark;
    QPalette palette = mark.palette();
    palette.setColor(QPalette::WindowText, Qt::darkBlue);
    mark.setPalette(palette);
    RowState row;
    row.state = state;
    // A row of XP alone, shown on Windows 10, or shown where it takes effect.
    row.takesEffectOn = onlyOn(WindowsGeneration::Xp);
    mark.setRowState(row, noEffect ? WindowsGeneration::Win10 : WindowsGeneration::Xp);
    EXPECT_EQ(mark.noEffect(), noEffect);
    QImage image(mark.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    mark.render(&image);
    return image.convertToFormat(QImage::Format_Grayscale8);
}

TEST(StateMark, StatesDifferInShapeNotColourAlone) {
    const QImage set = greyImageOf(SettingState::Set);
    const QImage notSet = greyImageOf(SettingState::NotSet);
    const QImage mixed = greyImageOf(SettingState::Mixed);
    EXPECT_NE(set, notSet);
    EXPECT_NE(set, mixed);
    EXPECT_NE(notSet, mixed);
}

TEST(StateMark, RowsWithoutEffectDifferInShapeInEveryState) {
    const SettingState states[] = {SettingState::Set, SettingState::NotSet, SettingState::Mixed};
    std::vector<QImage> images;
    for (const SettingState state : states) {
        images.push_back(greyImageOf(state));
        images.push_back(greyImageOf(state, true));
    }
    for (std::size_t a = 0; a < images.size(); ++a) {
        for (std::size_t b = a + 1; b < images.size(); ++b)
            EXPECT_NE(images[a], images[b]) << "marks " << a << " and " << b << " look the same";
    }
}

struct PlacementCase {
    const char* name;
    QRect caption;
    QRect mark;  // where the mark must sit
};

void PrintTo(const PlacementCase& c, std::ostream* out) {
    *out << c.name;
}

constexpr int kMark = StateMark::kSizePx;

class MarkPlacement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(MarkPlacement, BesideTheCaptionAndFollowingIt) {
    const PlacementCase& c = GetParam();
    QWidget page;
    page.resize(600, 200);
    auto* caption = new QLabel(QStringLiteral("禁止修改开始菜单"), &page);
    caption->setGeometry(c.caption);
    page.show();
    StateMark* mark = attachStateMark(caption);
    const int textWidth = caption->fontMetrics().horizontalAdvance(caption->text());
    QRect expected = c.mark;
    if (expected.x() < 0) expected.moveLeft(c.caption.x() + textWidth + 3);
    // A label centres its one line of text; the mark stands level with it.
    const int line = std::min(c.caption.height(), caption->fontMetrics().height());
    expected.moveTop(c.caption.y() + (c.caption.height() - line) / 2 + (line - kMark) / 2);
    EXPECT_EQ(mark->geometry(), expected);
    EXPECT_TRUE(mark->isVisible());

    caption->move(caption->pos() + QPoint(0, 30));
    EXPECT_EQ(mark->geometry(), expected.translated(0, 30));
    caption->hide();
    EXPECT_FALSE(mark->isVisible());

    QPointer<StateMark> watched(mark);
    delete caption;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull());
}

const PlacementCase kPlacements[] = {
    {"room on the left", QRect(100, 20, 300, 18), QRect(100 - kMark - 3, 0, kMark, kMark)},
    {"no room: after the text", QRect(0, 20, 300, 18), QRect(-1, 0, kMark, kMark)},
    {"tall row: level with the centred line", QRect(100, 20, 300, 44),
     QRect(100 - kMark - 3, 0, kMark, kMark)},
};
INSTANTIATE_TEST_SUITE_P(LiveState, MarkPlacement, ::testing::ValuesIn(kPlacements));

TEST(LiveStateController, ShowsRowsAndValuesAgainOnRefresh) {
    LiveStateRig rig;
    FakeClock clock;
    LiveStateController controller(rig.layer(), clock);
    QWidget page;
    auto* icons = new QLabel(QStringLiteral("屏蔽桌面所有图标"), &page);
    auto* owner = new QLabel(QStringLiteral("注册全名=>>"), &page);
    auto* folder = new QLineEdit(&page);
    auto* computer = new QLineEdit(&page);
    StateMark* iconsMark = controller.attachStateMark(icons, CataloguePage::Desktop, 0);
    StateMark* ownerMark = controller.attachStateMark(owner, TextBoxPage::Registration, 0);
    controller.attachPlaceholder(folder, TextBoxPage::SpecialFolders, 2);
    controller.attachPlaceholder(computer, TextBoxPage::Registration, 2);
    EXPECT_EQ(iconsMark->state(), SettingState::NotSet);
    EXPECT_EQ(folder->placeholderText(), "");

    rig.press(CataloguePage::Desktop, 0, RowButton::Set);
    (void)runSysDirApply(rig.services(), 2, kExistingFolder);
    (void)runRegToApply(rig.services(), "张三", "", "PC-7");
    EXPECT_EQ(iconsMark->state(), SettingState::NotSet);  // read again only on refresh

    controller.refresh();
    EXPECT_EQ(iconsMark->state(), SettingState::Set);
    EXPECT_EQ(ownerMark->state(), SettingState::Set);
    EXPECT_TRUE(iconsMark->toolTip().contains("NoDesktop = 1"));
    EXPECT_EQ(folder->placeholderText().toStdString(), kExistingFolder);
    EXPECT_EQ(computer->placeholderText(), "PC-7");
    EXPECT_TRUE(computer->toolTip().contains("Hostname = PC-7"));

    delete icons;  // a page may drop its rows; the controller goes on
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    rig.press(CataloguePage::Desktop, 0, RowButton::Lift);
    controller.refresh();
    EXPECT_EQ(ownerMark->state(), SettingState::Set);
}

// A row of XP alone that names today's place.
const RegOp kXpSet[] = {setDword(kHkeyCurrentUser, "Software\\Test", "Switch", 1)};
const RegOp kXpLift[] = {deleteValue(kHkeyCurrentUser, "Software\\Test", "Switch")};
const CatalogueRow kXpOnlyRow{
    "测试行", {kXpSet}, {kXpLift}, onlyOn(WindowsGeneration::Xp), "Policies\\System Switch (HKLM)"};

TEST(LiveStateController, MarksRowsWithoutEffectOnTheVersionTheRegistryNames) {
    LiveStateRig rig;
    FakeClock clock;
    LiveStateController controller(rig.layer(), clock);
    std::vector<WindowsGeneration> told;
    QObject::connect(&controller, &LiveStateController::windowsGenerationChanged,
                     [&](WindowsGeneration generation) { told.push_back(generation); });
    const std::string ntKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    rig.writeForeign(kHkeyLocalMachine, ntKey, "CurrentVersion", kRegSz, "6.3");
    rig.writeForeign(kHkeyLocalMachine, ntKey, "CurrentBuildNumber", kRegSz, "19045");
    QWidget page;
    StateMark* mark =
        controller.attachStateMark(new QLabel(QStringLiteral("测试行"), &page), kXpOnlyRow);
    // Not read before it is asked for: the store may not be open yet.
    EXPECT_EQ(controller.windowsGeneration(), WindowsGeneration::Unknown);
    EXPECT_FALSE(mark->noEffect());
    EXPECT_TRUE(mark->toolTip().contains("当前 Windows 的位置：Policies\\System Switch (HKLM)"));

    controller.followWindowsVersion();
    EXPECT_EQ(controller.windowsGeneration(), WindowsGeneration::Win10);
    EXPECT_TRUE(mark->noEffect());
    EXPECT_TRUE(mark->toolTip().contains("\n此设置对 Windows 10 无效（仅 Windows XP）\n"));
    EXPECT_TRUE(mark->toolTip().contains("当前 Windows 的位置：Policies\\System Switch (HKLM)"));

    // The prefix is set to XP behind our back; the next refresh reads it.
    rig.writeForeign(kHkeyLocalMachine, ntKey, "CurrentVersion", kRegSz, "5.1");
    rig.writeForeign(kHkeyLocalMachine, ntKey, "CurrentBuildNumber", kRegSz, "2600");
    controller.refresh();
    EXPECT_EQ(controller.windowsGeneration(), WindowsGeneration::Xp);
    EXPECT_FALSE(mark->noEffect());
    EXPECT_FALSE(mark->toolTip().contains("无效"));
    EXPECT_EQ(told,
              (std::vector<WindowsGeneration>{WindowsGeneration::Win10, WindowsGeneration::Xp}));
}

// ---- The store watched on disk -----------------------------------------------------------------

const AnsiCodec& codec() {
    static const std::unique_ptr<AnsiCodec> c = makeAnsiCodec(kDefaultCodePage).value();
    return *c;
}

// user.reg of a store in which another program set "NoDesktop", made in a folder of its own.
std::string userHiveWithNoDesktop(const test::TempFolder& scratch) {
    auto other = openFileStore(scratch.path(), codec()).value();
    RegInfoGetSet layer(*other, codec());
    EXPECT_TRUE(layer.SetRegDword(kHkeyCurrentUser, locations::kExplorerPolicies, "NoDesktop", 1, 0,
                                  kKeyAllAccess));
    return scratch / "user.reg";
}

// Another process copies `from` over `to` and ends.
void copyByAnotherProcess(const std::string& from, const std::string& to) {
    QProcess copy;
    copy.start(QStringLiteral("cp"), {QString::fromStdString(from), QString::fromStdString(to)});
    ASSERT_TRUE(copy.waitForFinished(5000));
    ASSERT_EQ(copy.exitCode(), 0);
}

TEST(StoreWatcher, FoldsABurstAndReportsItAfterTheSettleTime) {
    test::TempFolder folder;
    test::writeFile(folder / "user.reg", "WINE REGISTRY Version 2\n");
    FakeClock clock;
    int reports = 0;
    StoreWatcher watcher(QString::fromStdString(folder.path()), clock, [&] { ++reports; });
    EXPECT_TRUE(watcher.watchedPaths().contains(QString::fromStdString(folder / "user.reg")));

    test::writeFile(folder / "user.reg", "WINE REGISTRY Version 2\n;1\n");
    test::writeFile(folder / "system.reg", "WINE REGISTRY Version 2\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return watcher.changePending(); }, 2000));
    QTest::qWait(50);  // the rest of the burst's events
    clock.advance(kStoreChangeSettleMs - 1);
    EXPECT_EQ(reports, 0);
    clock.advance(1);
    EXPECT_EQ(reports, 1);
    EXPECT_TRUE(watcher.watchedPaths().contains(QString::fromStdString(folder / "system.reg")));
}

TEST(StoreWatcher, AChangeByAnotherProcessShowsWithinASecond) {
    test::TempFolder folder;
    test::TempFolder scratch;
    auto store = openFileStore(folder.path(), codec()).value();
    RegInfoGetSet layer(*store, codec());
    ASSERT_TRUE(layer.SetRegDword(kHkeyCurrentUser, locations::kExplorerPolicies, "NoRun", 0, 0,
                                  kKeyAllAccess));  // the hive file exists before the change
    LiveStateController controller(layer, QtTimerService::shared());
    controller.watchStoreFolder(QString::fromStdString(folder.path()));
    QWidget page;
    StateMark* mark = controller.attachStateMark(
        new QLabel(QStringLiteral("屏蔽桌面所有图标"), &page), CataloguePage::Desktop, 0);
    ASSERT_EQ(mark->state(), SettingState::NotSet);

    copyByAnotherProcess(userHiveWithNoDesktop(scratch), folder / "user.reg");

    EXPECT_TRUE(QTest::qWaitFor([&] { return mark->state() == SettingState::Set; }, 1000));
}

// A store folder that does not exist yet is followed from above until it appears, by whoever
// makes it.
TEST(StoreWatcher, FollowsAFolderThatAnotherProgramMakesLater) {
    test::TempFolder parent;
    const std::string folder = parent / "data/hivora/registry";
    FakeClock clock;
    int reports = 0;
    StoreWatcher watcher(QString::fromStdString(folder), clock, [&] { ++reports; });

    QProcess make;
    make.start(QStringLiteral("sh"),
               {QStringLiteral("-c"), QStringLiteral("mkdir -p \"$0\" && echo x > \"$0/user.reg\""),
                QString::fromStdString(folder)});
    ASSERT_TRUE(make.waitForFinished(5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return watcher.changePending(); }, 2000));
    clock.advance(kStoreChangeSettleMs);
    EXPECT_EQ(reports, 1);
    EXPECT_TRUE(watcher.watchedPaths().contains(QString::fromStdString(folder)));
}

}  // namespace
}  // namespace hivora::testing
