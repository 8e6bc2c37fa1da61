// The program as a user runs it. On each kind of store a user meets (a private store whose folder
// does not exist yet, an empty folder, a store whose rows are all set already, a fresh Wine
// prefix) every button of every page is pressed in the real window, each box answered and read,
// and the hive files read back from disk against the row's own table. After each page, Ctrl+Z
// walks every action back until the files are as the page found them, and Ctrl+Y walks forward
// to where the page left them. Then a change made by another program. The startup list and the
// history window have files of their own beside this one.

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
