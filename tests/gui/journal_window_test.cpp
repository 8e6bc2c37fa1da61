// The journal from the main window: a row clicked with the mouse is recorded, Ctrl+Z puts the
// store back as it was (each press one action further back), Ctrl+Y and Ctrl+Shift+Z redo, and the
// history window (Ctrl+H) lists the entries and undoes and redoes from its buttons.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "core/catalogue/row_dispatch.h"
#include "core/journal/action_recorder.h"
#include "core/journal/change_journal.h"
#include "core/journal/journal_undo.h"
#include "core/journal/registry_state.h"
#include "gui/history_window.h"
#include "gui/image_button.h"
#include "gui/pages/page_builder.h"
#include "gui/picture_box.h"
#include "platform/journal_file.h"
#include "tests/core/catalogue_harness.h"
#include "tests/gui/main_window_rig.h"

namespace hivora::testing {
namespace {

const std::string kExplorerPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

struct Stored {
    std::uint32_t type = 0;
    std::string bytes;
    bool operator==(const Stored&) const = default;
};

Stored dwordOf(std::uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(value >> (8 * i));
    return {kRegDword, bytes};
}

// The main window with its five pages built over the in-memory store, every action recorded in a
// journal held in memory.
struct JournalWindowRig : MainWindowRig {
    JournalWindowRig()
        : journal(journalFiles, "/state/hivora/store.jsonl", "store"), recorder(journal) {
        window = std::make_unique<MainWindow>(
            MainWindowServices{dialogs, framework, clock, pointer, ini.get(), configFile,
                               std::nullopt, [] {}, layer.get(), &journal, codec.get()});
        window->startupFrame()->list().setObserver(&recorder);
        catalogue = std::make_unique<CatalogueServices>(CatalogueServices{
            *layer, framework, files, refresher, nullptr, nullptr, nullptr, nullptr, &recorder});
        pages = std::make_unique<PageServices>(PageServices{*catalogue});
        for (int i = 0; i < kPageCount; ++i) buildPage(i, window->page(i), *pages);
        EXPECT_TRUE(window->Form_Load());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    std::optional<Stored> stored(RegKey root, const std::string& key, const std::string& name) {
        const Result<ValueState> state = readValueState({*store, *codec}, root, key, name);
        if (!state || !state.value().present) return std::nullopt;
        return Stored{state.value().type, state.value().data};
    }

    void seed(RegKey root, const std::string& key, const std::string& name, const Stored& value) {
        RegKey handle = 0;
        ASSERT_EQ(store->RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, kKeyAllAccess, &handle,
                                         nullptr),
                  kErrorSuccess);
        ASSERT_EQ(store->RegSetValueExA(handle, name.c_str(), 0, value.type,
                                        reinterpret_cast<const std::uint8_t*>(value.bytes.data()),
                                        static_cast<std::uint32_t>(value.bytes.size())),
                  kErrorSuccess);
        (void)store->RegCloseKey(handle);
    }

    void clickRow(int page, const char* name) {
        window->tabStrip().SwitchPage(page);
        auto* button = window->findChild<ImageButton*>(QString::fromUtf8(name));
        ASSERT_NE(button, nullptr) << name;
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    }

    MemoryJournalFiles journalFiles;
    ChangeJournal journal;
    ActionRecorder recorder;
    FakeFileSystem files;
    NotingRefresher refresher{dialogs};
    std::unique_ptr<CatalogueServices> catalogue;
    std::unique_ptr<PageServices> pages;
};

struct UndoCase {
    const char* name;
    int page;
    const char* button;
    std::string key;
    std::string value;
    std::optional<Stored> before;  // nullopt: absent before the click
    std::optional<Stored> after;   // nullopt: absent after it
    const char* caption;           // part of the row's caption the history shows
};

void PrintTo(const UndoCase& c, std::ostream* out) {
    *out << c.name;
}

class WindowUndo : public ::testing::TestWithParam<UndoCase> {};

TEST_P(WindowUndo, CtrlZAfterARowClickPutsTheStoreBack) {
    const UndoCase& c = GetParam();
    JournalWindowRig rig;
    if (c.before) rig.seed(kHkeyCurrentUser, c.key, c.value, *c.before);
    rig.clickRow(c.page, c.button);
    ASSERT_EQ(rig.stored(kHkeyCurrentUser, c.key, c.value), c.after);
    ASSERT_EQ(rig.journal.entries().size(), 1u);

    QTest::keyClick(rig.window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rig.stored(kHkeyCurrentUser, c.key, c.value), c.before);
    EXPECT_EQ(rig.dialogs.messagePrompts().back(), kUndoDoneText);
    // The only action is undone: Ctrl+Z again has nothing left to undo.
    QTest::keyClick(rig.window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rig.stored(kHkeyCurrentUser, c.key, c.value), c.before);
    EXPECT_EQ(rig.dialogs.messagePrompts().back(), kNothingToUndoText);
    QTest::keyClick(rig.window.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(rig.stored(kHkeyCurrentUser, c.key, c.value), c.after);
    EXPECT_EQ(rig.dialogs.messagePrompts().back(), kRedoDoneText);
    // The undo button of the chrome undoes too, and Ctrl+Shift+Z redoes.
    QTest::mouseClick(rig.window->sizeBox(kSizeBoxUndo), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(rig.stored(kHkeyCurrentUser, c.key, c.value), c.before);
    EXPECT_EQ(rig.window->sizeBoxFaceShown(kSizeBoxUndo),
              sizeBoxFaceNumber(kSizeBoxUndo, SizeBoxFace::Resting));
    QTest::keyClick(rig.window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(rig.stored(kHkeyCurrentUser, c.key, c.value), c.after);
}

TEST_P(WindowUndo, HistoryWindowListsTheEntryAndUndoesIt) {
    const UndoCase& c = GetParam();
    JournalWindowRig rig;
    if (c.before) rig.seed(kHkeyCurrentUser, c.key, c.value, *c.before);
    rig.clickRow(c.page, c.button);

    QStringList shown;
    // Whether undo / redo were enabled: at first, after the undo, after the redo.
    std::vector<std::pair<bool, bool>> enabled;
    QTimer::singleShot(0, [&] {
        auto* history = qobject_cast<HistoryWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(history, nullptr);
        EXPECT_EQ(history->windowTitle(), QStringLiteral("操作记录"));
        ASSERT_NE(history->findChild<QPushButton*>(QStringLiteral("Command_RedoLatest")), nullptr);
        const auto buttons = [&] {
            enabled.emplace_back(history->undoButton()->isEnabled(),
                                 history->redoButton()->isEnabled());
        };
        QTreeWidgetItem* row = history->list()->topLevelItem(0);
        shown << row->text(1) << row->text(2);
        buttons();
        QTest::mouseClick(history->undoButton(), Qt::LeftButton);
        buttons();
        // Newest first: the undo above the action, which is marked undone.
        shown << history->list()->topLevelItem(0)->text(1)
              << history->list()->topLevelItem(1)->text(1);
        QTest::mouseClick(history->redoButton(), Qt::LeftButton);
        buttons();
        shown << history->list()->topLevelItem(0)->text(1)
              << history->list()->topLevelItem(2)->text(1);
        history->reject();
    });
    // Ctrl+H, or a right click on the undo button, opens the history.
    if (c.before)
        QTest::keyClick(rig.window.get(), Qt::Key_H, Qt::ControlModifier);
    else
        QTest::mouseClick(rig.window->sizeBox(kSizeBoxUndo), Qt::RightButton, {}, QPoint(5, 5));

    ASSERT_EQ(shown.size(), 6);
    EXPECT_TRUE(shown[0].contains(QString::fromUtf8(c.caption))) << shown[0].toStdString();
    EXPECT_TRUE(shown[1].contains(QString::fromStdString(c.value))) << shown[1].toStdString();
    EXPECT_TRUE(shown[1].contains(QStringLiteral("→")));
    EXPECT_TRUE(shown[2].startsWith(QStringLiteral("撤销："))) << shown[2].toStdString();
    EXPECT_TRUE(shown[3].endsWith(QStringLiteral("（已撤销）"))) << shown[3].toStdString();
    EXPECT_TRUE(shown[4].startsWith(QStringLiteral("重做："))) << shown[4].toStdString();
    EXPECT_FALSE(shown[5].contains(QStringLiteral("已撤销"))) << shown[5].toStdString();
    const std::vector<std::pair<bool, bool>> expected{{true, false}, {false, true}, {true, false}};
    EXPECT_EQ(enabled, expected);
    EXPECT_EQ(rig.stored(kHkeyCurrentUser, c.key, c.value), c.after);
}

TEST(WindowUndoWalk, CtrlZTwiceWalksBackTwoActionsCtrlYBringsThemBack) {
    JournalWindowRig rig;
    rig.clickRow(1, "Picture_DesktopSet(0)");
    rig.clickRow(1, "Picture_DesktopSet(1)");
    const auto noDesktop = [&] {
        return rig.stored(kHkeyCurrentUser, kExplorerPolicies, "NoDesktop");
    };
    const auto noSave = [&] {
        return rig.stored(kHkeyCurrentUser, kExplorerPolicies, "NoSaveSettings");
    };
    const std::optional<Stored> saveSet = noSave();
    ASSERT_EQ(noDesktop(), dwordOf(1));
    ASSERT_TRUE(saveSet);
    ASSERT_EQ(rig.journal.entries().size(), 2u);

    QTest::keyClick(rig.window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(noDesktop(), dwordOf(1));
    EXPECT_EQ(noSave(), std::nullopt);
    QTest::keyClick(rig.window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(noDesktop(), std::nullopt);
    EXPECT_EQ(noSave(), std::nullopt);

    // Redone in order: the action undone last first.
    QTest::keyClick(rig.window.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(noDesktop(), dwordOf(1));
    EXPECT_EQ(noSave(), std::nullopt);
    QTest::keyClick(rig.window.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(noDesktop(), dwordOf(1));
    EXPECT_EQ(noSave(), saveSet);
    EXPECT_EQ(rig.dialogs.messagePrompts().back(), kRedoDoneText);
    QTest::keyClick(rig.window.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(rig.dialogs.messagePrompts().back(), kNothingToRedoText);
}

TEST(WindowUndoStartup, CtrlZBringsBackARemovedStartupItemAndTheListShowsIt) {
    JournalWindowRig rig;
    rig.seedRun("Alpha", "C:\\alpha.exe");
    StartupList& list = rig.window->startupFrame()->list();
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.size() == 1; }));
    auto* check = rig.window->findChild<QCheckBox*>(QStringLiteral("Check_PowerStart(0)"));
    ASSERT_NE(check, nullptr);
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(4, check->height() / 2));
    auto* remove = rig.window->findChild<ImageButton*>(QStringLiteral("Picture_PowerStartRemove"));
    QTest::mouseClick(remove, Qt::LeftButton, {}, remove->rect().center());
    ASSERT_EQ(list.size(), 0u);
    ASSERT_FALSE(rig.stored(kHkeyCurrentUser, kRunKeyPath, "Alpha"));

    QTest::keyClick(rig.window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(rig.stored(kHkeyCurrentUser, kRunKeyPath, "Alpha"),
              (Stored{kRegSz, std::string("C:\\alpha.exe") + '\0'}));
    ASSERT_EQ(list.size(), 1u);  // read again, page 0 being on show
    EXPECT_EQ(list.rows()[0].name, "Alpha");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, WindowUndo,
    ::testing::Values(
        UndoCase{"HideDesktopIconsFromNothing", 1, "Picture_DesktopSet(0)", kExplorerPolicies,
                 "NoDesktop", std::nullopt, dwordOf(1), "屏蔽桌面所有图标"},
        UndoCase{"HideDesktopIconsOverAValue", 1, "Picture_DesktopSet(0)", kExplorerPolicies,
                 "NoDesktop", dwordOf(0), dwordOf(1), "屏蔽桌面所有图标"},
        UndoCase{"ShowDesktopIconsAgain", 1, "Picture_DesktopUnset(0)", kExplorerPolicies,
                 "NoDesktop", dwordOf(1), std::nullopt, "屏蔽桌面所有图标"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace hivora::testing
