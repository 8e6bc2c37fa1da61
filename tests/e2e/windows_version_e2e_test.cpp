// The Windows version of the store, in the program as users run it: on a prefix set to Windows 11
// the browser's rows, which that Windows no longer reaches, are marked in shape and tooltip, still
// write when pressed and say so in their box; set to XP behind the program's back, the marks
// follow, as does the mark of the logon appearance frame. The private store names no version:
// nothing is marked there.

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "core/catalogue/catalogue_types.h"
#include "core/catalogue/logon_page.h"
#include "core/catalogue/windows_version.h"
#include "gui/pages/page_live_state.h"
#include "gui/state_mark.h"
#include "tests/e2e/program_rig.h"

namespace hivora::e2e {
namespace {

const std::string kNtKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

TEST(WindowsVersion, RowsWithoutEffectOnThePrefixesVersionAreMarkedAndStillWork) {
    const CatalogueRow& row = browserPropertiesCatalogue().rows[0];
    ASSERT_FALSE(row.takesEffectOn.has(WindowsGeneration::Win11));
    ProgramRig rig(StoreKind::EmptyFolder);
    rig.writeFromOutside(kHkeyLocalMachine, kNtKey, "CurrentVersion", "6.3");
    rig.writeFromOutside(kHkeyLocalMachine, kNtKey, "CurrentBuildNumber", "22631");
    rig.start();
    EXPECT_EQ(rig.program().liveState().windowsGeneration(), WindowsGeneration::Win11);
    EXPECT_EQ(rig.program().catalogueServices().windowsGeneration, WindowsGeneration::Win11);

    rig.showPage(2);
    auto* mark = qobject_cast<StateMark*>(
        rig.find(QLatin1String(kStateMarkPrefix) + QStringLiteral("Label_IEProperty(0)")));
    ASSERT_NE(mark, nullptr);
    const QString line =
        QString::fromStdString(noEffectLine(row.takesEffectOn, WindowsGeneration::Win11));
    EXPECT_TRUE(mark->noEffect());
    EXPECT_TRUE(mark->toolTip().contains(line)) << mark->toolTip().toStdString();

    rig.answers().clear();
    rig.press(QStringLiteral("Picture_IEPropertySet(0)"));
    const QString shown = rig.answers().lastMessage();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("已设置！"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(line)) << shown.toStdString();
    for (const RegOp& op : row.set.ops) {
        ASSERT_EQ(op.kind, RegOpKind::SetDword);
        const auto stored = rig.storedValue(op.root, op.key, op.name);
        ASSERT_TRUE(stored) << op.key << "\\" << op.name << " was not written";
        EXPECT_EQ(stored->bytes, std::string({static_cast<char>(op.number), 0, 0, 0}));
    }
    EXPECT_EQ(mark->state(), SettingState::Set);
    EXPECT_TRUE(mark->noEffect());

    // The logon appearance frame, which no catalogue row stands for, says so too.
    auto* reach = qobject_cast<QLabel*>(rig.find(QStringLiteral("Label_LoginShowReach")));
    ASSERT_NE(reach, nullptr);
    EXPECT_FALSE(reach->isHidden());
    EXPECT_EQ(reach->text(), QStringLiteral("⊘ 对此 Windows 无效"));
    EXPECT_EQ(reach->parentWidget()->toolTip(),
              QString::fromStdString(
                  noEffectLine(kLogonAppearanceTakesEffectOn, WindowsGeneration::Win11)));

    rig.writeFromOutside(kHkeyLocalMachine, kNtKey, "CurrentVersion", "5.1");
    rig.writeFromOutside(kHkeyLocalMachine, kNtKey, "CurrentBuildNumber", "2600");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !mark->noEffect(); }, 5000))
        << "the mark did not follow the prefix's version";
    EXPECT_TRUE(reach->isHidden());
    EXPECT_EQ(reach->parentWidget()->toolTip(), QString());
    EXPECT_EQ(rig.program().catalogueServices().windowsGeneration, WindowsGeneration::Xp);
}

TEST(WindowsVersion, ThePrivateStoreNamesNoVersion) {
    ProgramRig rig(StoreKind::NotYetMade);
    rig.start();
    EXPECT_EQ(rig.program().liveState().windowsGeneration(), WindowsGeneration::Unknown);
    EXPECT_EQ(rig.program().catalogueServices().windowsGeneration, WindowsGeneration::Unknown);
    for (StateMark* mark : rig.window().findChildren<StateMark*>())
        EXPECT_FALSE(mark->noEffect()) << mark->objectName().toStdString();
    auto* reach = qobject_cast<QLabel*>(rig.find(QStringLiteral("Label_LoginShowReach")));
    ASSERT_NE(reach, nullptr);
    EXPECT_TRUE(reach->isHidden());
}

}  // namespace
}  // namespace hivora::e2e
