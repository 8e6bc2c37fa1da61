// The history window as a user runs it: read while it is up, and its export and import.

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

namespace hivora::e2e {
namespace {

QString arrayName(const char* array, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(index);
}

// ---- The history window -----------------------------------------------------------------------

TEST(HistoryWindow, ShowsEachActionAndItsState) {
    ProgramRig rig(StoreKind::EmptyFolder);
    rig.start();
    rig.showPage(1);
    rig.press(arrayName("Picture_DesktopSet", 0));
    rig.press(arrayName("Picture_DesktopSet", 1));
    rig.key(Qt::Key_Z, Qt::ControlModifier);

    QStringList rows;
    rig.answers().clear();
    // The history is modal: read it while it is up, then close it.
    rig.whenOwnDialog([&rows](QDialog* history) {
        if (auto* list = history->findChild<QTreeWidget*>(QStringLiteral("List_History")))
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                rows << list->topLevelItem(i)->text(1);
    });
    rig.key(Qt::Key_H, Qt::ControlModifier);

    // Newest first: the undo, then the second action (undone), then the first (done).
    ASSERT_EQ(rows.size(), 3) << rows.join('|').toStdString();
    const QString first = QString::fromUtf8(desktopCatalogue().rows[0].caption.data(),
                                            desktopCatalogue().rows[0].caption.size());
    const QString second = QString::fromUtf8(desktopCatalogue().rows[1].caption.data(),
                                             desktopCatalogue().rows[1].caption.size());
    EXPECT_TRUE(rows[0].startsWith(QStringLiteral("撤销："))) << rows[0].toStdString();
    EXPECT_TRUE(rows[1].contains(second) && rows[1].contains(QStringLiteral("已撤销")))
        << rows[1].toStdString();
    EXPECT_TRUE(rows[2].contains(first) && !rows[2].contains(QStringLiteral("已撤销")))
        << rows[2].toStdString();
}

// ---- Export and import from the history window -------------------------------------------------

// Presses `button` of the history window while it is up, then closes it.
void pressInHistory(ProgramRig& rig, const char* button) {
    rig.whenOwnDialog([button](QDialog* history) {
        if (auto* pressed = history->findChild<QPushButton*>(QLatin1String(button)))
            pressed->click();
    });
    rig.key(Qt::Key_H, Qt::ControlModifier);
    rig.whenOwnDialog({});
}

TEST(HistoryWindow, ExportsTheActionsAndImportsThemBackAsOneUndoableAction) {
    ProgramRig rig(StoreKind::EmptyFolder);
    rig.start();
    rig.showPage(1);
    const QString file = QString::fromStdString(rig.storeFolder()) + "/../changes.reg";
    rig.answerFiles(file);
    const RegOp& set = desktopCatalogue().rows[0].set.ops.front();
    rig.press(arrayName("Picture_DesktopSet", 0));
    ASSERT_TRUE(rig.storedValue(set.root, set.key, set.name));

    rig.answers().clear();
    pressInHistory(rig, "Command_Export");
    EXPECT_TRUE(rig.answers().lastMessage().startsWith(QStringLiteral("已导出")))
        << rig.answers().lastMessage().toStdString();
    QFile exported(file);
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_TRUE(exported.read(2) == QByteArray("\xFF\xFE", 2)) << "a regedit version 5 file";

    // The same history as a PowerShell script, read as PowerShell would read it: it sets the
    // row's value.
    const QString script = QString::fromStdString(rig.storeFolder()) + "/../changes.ps1";
    rig.answerFiles(script);
    pressInHistory(rig, "Command_Export");
    QFile scriptFile(script);
    ASSERT_TRUE(scriptFile.open(QIODevice::ReadOnly));
    const QByteArray scriptBytes = scriptFile.readAll();
    const auto codec = std::move(makeAnsiCodec(936)).value();
    Result<Ps1Script> read = readPowerShell(
        std::string_view(scriptBytes.constData(), static_cast<std::size_t>(scriptBytes.size())),
        *codec);
    ASSERT_TRUE(read) << read.status().message();
    EXPECT_TRUE(std::any_of(read.value().changes.begin(), read.value().changes.end(),
                            [&set](const ExportChange& change) {
                                return change.kind == ExportChange::Kind::SetValue &&
                                       change.root == set.root && change.key == set.key &&
                                       change.name == set.name;
                            }))
        << scriptBytes.toStdString();
    rig.answerFiles(file);

    rig.press(arrayName("Picture_DesktopUnset", 0));
    const auto lifted = rig.hiveTexts();
    const std::size_t entries = rig.program().journal()->entries().size();
    rig.answers().clear();
    pressInHistory(rig, "Command_Import");
    EXPECT_TRUE(rig.answers().lastMessage().startsWith(QStringLiteral("已导入")))
        << rig.answers().lastMessage().toStdString();
    EXPECT_EQ(rig.storedValue(set.root, set.key, set.name),
              DiskView(rig.storeFolder()).value(set.root, set.key, set.name));
    EXPECT_TRUE(rig.storedValue(set.root, set.key, set.name)) << "the file set the row again";
    ASSERT_EQ(rig.program().journal()->entries().size(), entries + 1);

    rig.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(difference(rig.hiveTexts(), lifted), "")
        << "the import is one action undo takes back";
}

}  // namespace
}  // namespace hivora::e2e
