// The startup list as a user runs it: an entry removed, switched off or set back to Windows'
// default in the real window, each taken back with Ctrl+Z.

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <filesystem>
#include <set>

#include "core/catalogue/catalogue_types.h"
#include "core/catalogue/registry_locations.h"
#include "core/catalogue/row_dispatch.h"
#include "core/export/ps1_reader.h"
#include "core/journal/change_journal.h"
#include "core/journal/journal_undo.h"
#include "core/journal/registry_state.h"
#include "core/startup/startup_list.h"
#include "gui/image_button.h"
#include "gui/pages/page_live_state.h"
#include "gui/startup_frame.h"
#include "gui/state_mark.h"
#include "platform/ansi_codec.h"
#include "platform/logon_secrets.h"
#include "platform/posix/file_store.h"
#include "tests/e2e/program_rig.h"
#include "tests/platform/lnk_writer.h"
#include "tests/platform/store_test_support.h"

namespace hivora::e2e {
namespace {

// ---- The startup list -------------------------------------------------------------------------

int shownStartupRows(ProgramRig& rig) {
    int shown = 0;
    for (const QWidget* check : rig.window().findChildren<QWidget*>(
             QRegularExpression(QStringLiteral("^Check_PowerStart\\(\\d+\\)$"))))
        shown += check->isVisible() ? 1 : 0;
    return shown;
}

TEST(StartupList, ARemovedEntryComesBackWithCtrlZ) {
    ProgramRig rig(StoreKind::EmptyFolder);
    rig.writeFromOutside(kHkeyCurrentUser, kRunKeyPath, "Updater", "C:\\updater.exe");
    rig.writeFromOutside(kHkeyCurrentUser, kRunKeyPath, "Keeper", "C:\\keeper.exe");
    rig.start();
    rig.showPage(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownStartupRows(rig) == 2; }));

    // The first row is checked, then removed after the question.
    auto* check = rig.find(QStringLiteral("Check_PowerStart(0)"));
    rig.press(check);
    rig.answers().clear();
    rig.press(QStringLiteral("Picture_PowerStartRemove"));
    const std::string removed =
        rig.storedValue(kHkeyCurrentUser, kRunKeyPath, "Keeper") ? "Updater" : "Keeper";
    EXPECT_FALSE(rig.storedValue(kHkeyCurrentUser, kRunKeyPath, removed));
    EXPECT_EQ(shownStartupRows(rig), 1);

    rig.answers().clear();
    rig.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rig.answers().lastMessage(), QString::fromUtf8(kUndoDoneText));
    EXPECT_TRUE(rig.storedValue(kHkeyCurrentUser, kRunKeyPath, removed));
    EXPECT_TRUE(QTest::qWaitFor([&] { return shownStartupRows(rig) == 2; }))
        << "the list does not show the entry again";
}

TEST(StartupList, ASwitchedOffEntryIsKeptAndCtrlZSwitchesItBack) {
    ProgramRig rig(StoreKind::WinePrefix);
    rig.writeFromOutside(kHkeyCurrentUser, kRunKeyPath, "Keeper", "C:\\keeper.exe");
    rig.start();
    rig.showPage(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownStartupRows(rig) == 1; }));
    const auto nameShown = [&] {
        auto* label = qobject_cast<QLabel*>(rig.find(QStringLiteral("Label_PowerStartName(0)")));
        return label ? label->text() : QString();
    };
    EXPECT_EQ(nameShown(), QStringLiteral("[启][缺] Keeper"));

    rig.press(rig.find(QStringLiteral("Check_PowerStart(0)")));
    rig.answers().clear();
    rig.press(QStringLiteral("Picture_PowerStartOff"));
    // Wine reads no StartupApproved value: the entry moved whole to the program's backup key.
    EXPECT_FALSE(rig.storedValue(kHkeyCurrentUser, kRunKeyPath, "Keeper"));
    EXPECT_TRUE(
        rig.storedValue(kHkeyCurrentUser, "Software\\Hivora\\DisabledStartup\\Run", "Keeper"));
    EXPECT_EQ(shownStartupRows(rig), 1);
    EXPECT_EQ(nameShown(), QStringLiteral("[停][缺] Keeper"));

    rig.answers().clear();
    rig.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rig.answers().lastMessage(), QString::fromUtf8(kUndoDoneText));
    EXPECT_TRUE(rig.storedValue(kHkeyCurrentUser, kRunKeyPath, "Keeper"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return nameShown() == QStringLiteral("[启][缺] Keeper"); }))
        << "the list does not show the entry on again";
}

TEST(StartupList, WinlogonShellBackToDefaultFromTheRowMenuAndCtrlZUndoesIt) {
    ProgramRig rig(StoreKind::EmptyFolder);
    rig.writeFromOutside(kHkeyLocalMachine, kWinlogonKeyPath, "Shell", "C:\\evil.exe");
    rig.start();
    rig.showPage(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shownStartupRows(rig) == 1; }));
    const auto changed = rig.storedValue(kHkeyLocalMachine, kWinlogonKeyPath, "Shell");
    ASSERT_TRUE(changed);

    // 禁用 on the checked row says why not, and where to look instead.
    rig.press(rig.find(QStringLiteral("Check_PowerStart(0)")));
    rig.answers().clear();
    rig.press(QStringLiteral("Picture_PowerStartOff"));
    EXPECT_TRUE(rig.answers().lastMessage().contains(QStringLiteral("恢复默认")))
        << rig.answers().lastMessage().toStdString();
    EXPECT_EQ(rig.storedValue(kHkeyLocalMachine, kWinlogonKeyPath, "Shell"), changed);

    // A right click on the row's check box opens its menu, which offers only 恢复默认.
    QWidget* view = rig.find(QStringLiteral("Picture_PowerStartBackgound"));
    QWidget* check = rig.find(QStringLiteral("Check_PowerStart(0)"));
    const QPoint at = check->mapTo(view, check->rect().center());
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, view->mapToGlobal(at));
    QApplication::sendEvent(view, &click);
    auto* menu = rig.window().findChild<QMenu*>(QStringLiteral("Menu_PowerStartRow"));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 1);
    QAction* restore = menu->actions().front();
    EXPECT_EQ(restore->text(), QStringLiteral("恢复默认"));
    EXPECT_TRUE(restore->isEnabled());
    menu->hide();
    rig.answers().clear();
    restore->trigger();
    const auto restored = rig.storedValue(kHkeyLocalMachine, kWinlogonKeyPath, "Shell");
    EXPECT_EQ(restored, (ProgramRig::Stored{kRegSz, std::string("explorer.exe", 13)}));
    EXPECT_EQ(shownStartupRows(rig), 0) << "Windows' default is no startup entry";

    rig.answers().clear();
    rig.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rig.answers().lastMessage(), QString::fromUtf8(kUndoDoneText));
    EXPECT_EQ(rig.storedValue(kHkeyLocalMachine, kWinlogonKeyPath, "Shell"), changed);
    EXPECT_TRUE(QTest::qWaitFor([&] { return shownStartupRows(rig) == 1; }))
        << "the list does not show the changed Shell again";
}

// A shortcut of a real Wine prefix's Startup folder, removed in the window: the first Ctrl+Z
// (pressed on another page) brings it back switched off, the second back into the folder.
TEST(StartupList, ARemovedShortcutComesBackThroughTwoUndosOnAnyPage) {
    namespace fs = std::filesystem;
    if (freshWinePrefix().empty()) GTEST_SKIP() << "Wine is not installed";
    ProgramRig rig(StoreKind::WinePrefix);
    // wineboot made the user's folders, named for whoever runs the tests.
    std::string startup, kept;
    for (const auto& user : fs::directory_iterator(rig.storeFolder() + "/drive_c/users")) {
        const fs::path roaming = user.path() / "AppData/Roaming";
        if (fs::exists(roaming / "Microsoft/Windows/Start Menu/Programs/StartUp")) {
            startup = (roaming / "Microsoft/Windows/Start Menu/Programs/StartUp").string();
            kept = (roaming / "Hivora/DisabledStartup").string();
        }
    }
    ASSERT_FALSE(startup.empty());
    const std::string bytes = test::shortcutBytes("C:\\windows\\notepad.exe", "/A");
    test::writeFile(startup + "/Notes.lnk", bytes);
    rig.start();
    rig.showPage(0);
    // The row of the shortcut, or -1 (the prefix may hold other entries of earlier tests).
    const auto notesRow = [&] {
        for (int k = 0; k < shownStartupRows(rig); ++k) {
            auto* label =
                qobject_cast<QLabel*>(rig.find(QStringLiteral("Label_PowerStartName(%1)").arg(k)));
            if (label && label->text().endsWith(QStringLiteral(" Notes.lnk"))) return k;
        }
        return -1;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return notesRow() >= 0; }));

    rig.press(rig.find(QStringLiteral("Check_PowerStart(%1)").arg(notesRow())));
    rig.answers().clear();
    rig.press(QStringLiteral("Picture_PowerStartRemove"));
    EXPECT_FALSE(fs::exists(startup + "/Notes.lnk"));
    EXPECT_FALSE(fs::exists(kept + "/Notes.lnk"));
    EXPECT_EQ(notesRow(), -1);

    rig.showPage(1);
    rig.answers().clear();
    rig.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rig.answers().lastMessage(), QString::fromUtf8(kUndoDoneText));
    EXPECT_EQ(test::readFile(kept + "/Notes.lnk"), bytes) << "not kept again";
    rig.answers().clear();
    rig.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rig.answers().lastMessage(), QString::fromUtf8(kUndoDoneText));
    EXPECT_EQ(test::readFile(startup + "/Notes.lnk"), bytes) << "not back in the folder";
    EXPECT_FALSE(fs::exists(kept + "/Notes.lnk"));

    rig.showPage(0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return notesRow() >= 0; }));
}

}  // namespace
}  // namespace hivora::e2e
