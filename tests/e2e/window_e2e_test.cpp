// The program as a user runs it. On each kind of store a user meets (a private store whose folder
// does not exist yet, an empty folder, a store whose rows are all set already, a fresh Wine
// prefix) every button of every page is pressed in the real window, each box answered and read,
// and the hive files read back from disk against the row's own table. After each page, Ctrl+Z
// walks every action back until the files are as the page found them, and Ctrl+Y walks forward
// to where the page left them. Then the startup list, the history window and a change made by
// another program.

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

// ---- Which button is which row ----------------------------------------------------------------

struct RowArrays {
    const char* set;
    const char* lift;
    CataloguePage page;
};

const RowArrays kRowArrays[] = {
    {"Picture_DesktopSet", "Picture_DesktopUnset", CataloguePage::Desktop},
    {"Picture_Forbid", "Picture_Passage", CataloguePage::Restrictions},
    {"Picture_Hide", "Picture_Show", CataloguePage::HideShow},
    {"Picture_IEPropertySet", "Picture_IEPropertyUnset", CataloguePage::BrowserProperties},
    {"Picture_LoginStyle2", "Picture_LoginStyle1", CataloguePage::LogonStyle},
};

struct RowButtonOf {
    CataloguePage page;
    int row;
    RowButton button;
};

QString arrayName(const char* array, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(array)).arg(index);
}

// The catalogue row a button of the two-button pages belongs to.
std::optional<RowButtonOf> rowOf(const QString& name) {
    static const QRegularExpression pattern(QStringLiteral("^(\\w+)\\((\\d+)\\)$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch()) return std::nullopt;
    const std::string array = match.captured(1).toStdString();
    const int index = match.captured(2).toInt();
    for (const RowArrays& arrays : kRowArrays) {
        if (array == arrays.set) return RowButtonOf{arrays.page, index, RowButton::Set};
        if (array == arrays.lift) return RowButtonOf{arrays.page, index, RowButton::Lift};
    }
    return std::nullopt;
}

// ---- What a user does on each page --------------------------------------------------------------

// One step: text typed into boxes, then a press.
struct Step {
    QString press;
    std::vector<std::pair<QString, QString>> typed{};
};

void addRowPairs(std::vector<Step>& steps, const RowArrays& arrays, int first, int count,
                 bool liftFirst) {
    for (int row = first; row < first + count; ++row) {
        const QString set = arrayName(arrays.set, row), lift = arrayName(arrays.lift, row);
        steps.push_back({liftFirst ? lift : set});
        steps.push_back({liftFirst ? set : lift});
    }
}

std::vector<Step> stepsOfPage(int page, bool liftFirst) {
    std::vector<Step> steps;
    switch (page) {
        case 0:
            addRowPairs(steps, kRowArrays[4], 0, 4, liftFirst);
            for (const char* name : {"Picture_BackgroundSel", "Picture_BackgroundDef",
                                     "Picture_BackColorSel", "Picture_BackColorDef"})
                steps.push_back({QLatin1String(name)});
            break;
        case 1:
            addRowPairs(steps, kRowArrays[0], 0, 12, liftFirst);
            break;
        case 2:
            for (int row = 0; row < 4; ++row) {
                steps.push_back({arrayName("Picture_IEPageChange", row),
                                 {{arrayName("Text_IEPage", row),
                                   QStringLiteral("http://example.invalid/%1").arg(row)}}});
                steps.push_back({arrayName("Picture_IEPageDefault", row)});
            }
            addRowPairs(steps, kRowArrays[3], 0, 12, liftFirst);
            break;
        case 3:
            addRowPairs(steps, kRowArrays[1], 0, 13, liftFirst);
            addRowPairs(steps, kRowArrays[2], 0, 12, liftFirst);
            break;
        case 4:
            for (int row = 0; row < 9; ++row) {
                steps.push_back({arrayName("Picture_SysDir", row)});  // browse: fills the box
                steps.push_back({arrayName("Picture_SysDirChange", row)});
            }
            steps.push_back({QStringLiteral("Picture_RegTo"),
                             {{QStringLiteral("Text1"), QStringLiteral("张三")},
                              {QStringLiteral("Text2"), QStringLiteral("Hivora")},
                              {QStringLiteral("Text3"), QStringLiteral("PC-E2E")}}});
            break;
        default:
            break;
    }
    return steps;
}

// Buttons whose "设置出错！" is the right answer on this system: automatic logon has no safe
// place for the password in Wine's registry files.
bool failureExpected(const QString& button) {
    return button == arrayName("Picture_LoginStyle2", 3);
}

// ---- The row's own table against the disk
// ---------------------------------------------------------

std::string ansi(const std::string& text) {
    static const auto codec = std::move(makeAnsiCodec(936)).value();
    return codec->toAnsi(text).value();
}

std::string dwordBytes(std::int32_t number) {
    const auto n = static_cast<std::uint32_t>(number);
    return std::string{static_cast<char>(n & 0xff), static_cast<char>((n >> 8) & 0xff),
                       static_cast<char>((n >> 16) & 0xff), static_cast<char>(n >> 24)};
}

// Checks what `ops` leave on disk, the later operations on an item winning.
void expectOnDisk(const ProgramRig& rig, std::span<const RegOp> ops, const QString& button) {
    using Stored = ProgramRig::Stored;
    std::map<std::tuple<RegKey, std::string, std::string>, std::optional<Stored>> values;
    std::map<std::pair<RegKey, std::string>, bool> keys;
    for (const RegOp& op : ops) {
        const auto value = std::tuple{op.root, op.key, op.name};
        switch (op.kind) {
            case RegOpKind::SetString:
                values[value] = Stored{kRegSz, ansi(op.text) + std::string(1, '\0')};
                break;
            case RegOpKind::SetExpandString:
                values[value] = Stored{kRegExpandSz, ansi(op.text) + std::string(1, '\0')};
                break;
            case RegOpKind::SetDword:
                values[value] = Stored{kRegDword, dwordBytes(op.number)};
                break;
            case RegOpKind::SetBinary:
                values[value] = Stored{kRegBinary, op.text};
                break;
            case RegOpKind::SetRaw:
                values[value] = Stored{static_cast<std::uint32_t>(op.number), op.text};
                break;
            case RegOpKind::DeleteValue:
                values[value] = std::nullopt;
                break;
            case RegOpKind::CreateKey:
                keys[{op.root, op.key}] = true;
                break;
            case RegOpKind::RemoveKey:
                keys[{op.root, op.key}] = false;
                break;
            case RegOpKind::RestoreKey:
                if (op.number == 1) keys[{op.root, op.key}] = true;
                break;
        }
    }
    // Texts compare without their terminating NUL, which the layer does not write.
    const auto unterminated = [](std::optional<Stored> stored) {
        if (stored && (stored->type == kRegSz || stored->type == kRegExpandSz))
            while (!stored->bytes.empty() && stored->bytes.back() == '\0') stored->bytes.pop_back();
        return stored;
    };
    const DiskView disk(rig.storeFolder());
    for (const auto& [value, expected] : values) {
        const auto& [root, key, name] = value;
        EXPECT_EQ(unterminated(disk.value(root, key, name)), unterminated(expected))
            << button.toStdString() << ": " << rootName(root) << "\\" << key << " " << name;
    }
    for (const auto& [key, exists] : keys)
        EXPECT_EQ(disk.keyExists(key.first, key.second), exists)
            << button.toStdString() << ": " << rootName(key.first) << "\\" << key.second;
}

// ---- Every button of every page -----------------------------------------------------------------

const char* kindName(StoreKind kind) {
    switch (kind) {
        case StoreKind::NotYetMade:
            return "NotYetMade";
        case StoreKind::EmptyFolder:
            return "EmptyFolder";
        case StoreKind::Seeded:
            return "Seeded";
        case StoreKind::WinePrefix:
            return "WinePrefix";
    }
    return "";
}

// Every fixed set of the two-button pages, written straight into the store: the state a user
// who had set every row before would have.
void seedEveryRowSet(const std::string& folder) {
    auto codec = std::move(makeAnsiCodec(936)).value();
    auto store = openFileStore(folder, *codec);
    ASSERT_TRUE(store) << store.status().message();
    RegInfoGetSet layer(*store.value(), *codec);
    ASSERT_TRUE(layer.beginAction());
    for (const RowArrays& arrays : kRowArrays)
        for (const CatalogueRow& row : pageCatalogue(arrays.page).rows)
            for (const RegOp& op : row.set.ops) (void)applyRegOp(layer, op);
    ASSERT_TRUE(layer.endAction());
}

// "" when the files are alike; otherwise where the first difference of each differing file is,
// with a few lines of each side (a real prefix's hives are megabytes: no full diff).
std::string difference(const std::map<std::string, std::string>& now,
                       const std::map<std::string, std::string>& wanted) {
    std::string out;
    for (const auto& [file, text] : wanted) {
        const std::string& other = now.count(file) ? now.at(file) : std::string();
        if (other == text) continue;
        std::size_t at = 0;
        while (at < text.size() && at < other.size() && text[at] == other[at]) ++at;
        const std::size_t from = text.rfind('\n', at == 0 ? 0 : at - 1);
        const std::size_t start = from == std::string::npos ? 0 : from + 1;
        out += file + " differs from byte " + std::to_string(at) +
               ":\n  now:    " + other.substr(start, 300) +
               "\n  wanted: " + text.substr(start, 300) + "\n";
    }
    return out;
}

std::size_t entryCount(ProgramRig& rig) {
    ChangeJournal* journal = rig.program().journal();
    return journal ? journal->entries().size() : 0;
}

class EveryButton : public ::testing::TestWithParam<StoreKind> {};

TEST_P(EveryButton, WorksFromTheFirstClickAndWalksBackAndForth) {
    const StoreKind kind = GetParam();
    if (kind == StoreKind::WinePrefix && freshWinePrefix().empty())
        GTEST_SKIP() << "Wine is not installed";
    ProgramRig rig(kind);
    if (kind == StoreKind::Seeded) seedEveryRowSet(rig.storeFolder());
    rig.start();
    ASSERT_NE(rig.program().journal(), nullptr) << "the journal could not be opened";

    for (int page = 0; page < 5; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        rig.showPage(page);
        const auto filesBefore = rig.hiveTexts();
        const std::size_t entriesBefore = entryCount(rig);
        std::set<QString> pressed;

        for (const Step& step : stepsOfPage(page, kind == StoreKind::Seeded)) {
            for (const auto& [box, text] : step.typed) rig.typeInto(box, text);
            rig.answers().clear();
            rig.press(step.press);
            pressed.insert(step.press);
            const QString shown = rig.answers().lastMessage();
            if (failureExpected(step.press)) {
                EXPECT_TRUE(shown.startsWith(QStringLiteral("设置出错！"))) << shown.toStdString();
                continue;
            }
            EXPECT_FALSE(shown.startsWith(QStringLiteral("设置出错！")))
                << step.press.toStdString() << " said: " << shown.toStdString();
            if (const auto row = rowOf(step.press)) {
                const CatalogueRow& entry = pageCatalogue(row->page).rows[row->row];
                const ButtonAction& action = row->button == RowButton::Set ? entry.set : entry.lift;
                if (action.ask == nullptr) expectOnDisk(rig, action.ops, step.press);
            }
        }
        // Nothing on the page was left unpressed (the startup list has its own test).
        for (const ImageButton* button : rig.window().page(page)->findChildren<ImageButton*>()) {
            if (button->objectName().startsWith(QStringLiteral("Picture_PowerStart"))) continue;
            EXPECT_TRUE(pressed.count(button->objectName()))
                << "never pressed: " << button->objectName().toStdString();
        }

        const auto filesAfter = rig.hiveTexts();
        const std::size_t actions = entryCount(rig) - entriesBefore;
        EXPECT_GT(actions, 0u);
        for (std::size_t i = 0; i < actions; ++i) {
            rig.answers().clear();
            rig.key(Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(rig.answers().lastMessage(), QString::fromUtf8(kUndoDoneText)) << i;
        }
        EXPECT_EQ(difference(rig.hiveTexts(), filesBefore), "")
            << "Ctrl+Z did not lead back to the start";
        for (std::size_t i = 0; i < actions; ++i) {
            rig.answers().clear();
            rig.key(Qt::Key_Y, Qt::ControlModifier);
            EXPECT_EQ(rig.answers().lastMessage(), QString::fromUtf8(kRedoDoneText)) << i;
        }
        EXPECT_EQ(difference(rig.hiveTexts(), filesAfter), "")
            << "Ctrl+Y did not lead forward to the end";
    }
}

INSTANTIATE_TEST_SUITE_P(Stores, EveryButton,
                         ::testing::Values(StoreKind::NotYetMade, StoreKind::EmptyFolder,
                                           StoreKind::Seeded, StoreKind::WinePrefix),
                         [](const auto& info) { return std::string(kindName(info.param)); });

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

// ---- A change made by another program ---------------------------------------------------------

TEST(StateMark, FollowsAChangeWrittenFromOutside) {
    ProgramRig rig(StoreKind::NotYetMade);
    rig.start();
    rig.showPage(3);
    const QString markName = QLatin1String(kStateMarkPrefix) + arrayName("Label_ForbidTips", 3);
    auto* mark = qobject_cast<StateMark*>(rig.find(markName));
    ASSERT_NE(mark, nullptr);
    ASSERT_EQ(mark->state(), SettingState::NotSet);

    // Another program saves the row's value into the store's folder, made only now.
    {
        auto codec = std::move(makeAnsiCodec(936)).value();
        auto store = openFileStore(rig.storeFolder(), *codec);
        ASSERT_TRUE(store);
        RegInfoGetSet layer(*store.value(), *codec);
        ASSERT_TRUE(layer.beginAction());
        for (const RegOp& each : restrictionsCatalogue().rows[3].set.ops)
            ASSERT_TRUE(applyRegOp(layer, each));
        ASSERT_TRUE(layer.endAction());
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return mark->state() == SettingState::Set; }, 5000))
        << "the mark did not follow the change";
}

}  // namespace
}  // namespace hivora::e2e
