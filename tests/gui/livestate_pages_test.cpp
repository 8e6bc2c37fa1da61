// The live-state marks on the built pages: a row's mark turns to "set" when its set button is
// clicked with the mouse, the text boxes show what was stored, and a hive file rewritten by
// another process shows on the page within a second through the real store watcher.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <memory>

#include "core/catalogue/registry_locations.h"
#include "gui/state_mark.h"
#include "platform/posix/file_store.h"
#include "tests/gui/page_rig.h"
#include "tests/platform/store_test_support.h"

namespace hivora::testing {
namespace {

// Text typed into a box before the click.
struct Typing {
    const char* box = nullptr;
    const char* text = "";
};

struct SetCase {
    const char* name;
    int page;
    const char* button;
    std::vector<std::string> inputs;  // answers to the row's input boxes
    Typing typed;
    const char* mark;
    Typing placeholder;  // a box that must show the stored text greyed, once emptied
};

void PrintTo(const SetCase& c, std::ostream* os) {
    *os << c.name;
}

class MarkFollowsClick : public ::testing::TestWithParam<SetCase> {};

TEST_P(MarkFollowsClick, SetButtonTurnsTheMarkToSet) {
    const SetCase& c = GetParam();
    PageRig rig(c.page);
    auto* mark = rig.find<StateMark>(QString::fromUtf8(c.mark));
    ASSERT_NE(mark, nullptr) << c.mark;
    EXPECT_EQ(mark->state(), SettingState::NotSet);
    for (const std::string& text : c.inputs) rig.dialogs().answerInputBox(text);
    if (c.typed.box != nullptr) {
        auto* box = rig.find<QLineEdit>(QString::fromUtf8(c.typed.box));
        ASSERT_NE(box, nullptr) << c.typed.box;
        box->insert(QString::fromUtf8(c.typed.text));
    }

    rig.click(QString::fromUtf8(c.button));

    EXPECT_EQ(mark->state(), SettingState::Set);
    EXPECT_FALSE(mark->toolTip().isEmpty());
    if (c.placeholder.box != nullptr) {
        auto* box = rig.find<QLineEdit>(QString::fromUtf8(c.placeholder.box));
        ASSERT_NE(box, nullptr) << c.placeholder.box;
        box->clear();
        EXPECT_EQ(box->placeholderText().trimmed().toStdString(), c.placeholder.text);
    }
}

const SetCase kSetCases[] = {
    {"LogonStyle", 0, "Picture_LoginStyle2(1)", {}, {}, "Mark_Label_LoginStyle(1)", {}},
    {"DesktopIcons", 1, "Picture_DesktopSet(0)", {}, {}, "Mark_Label_DesktopSetting(0)", {}},
    {"DesktopIconSizeAsked",
     1,
     "Picture_DesktopSet(11)",
     {"48"},
     {},
     "Mark_Label_DesktopSetting(11)",
     {}},
    {"BrowserTitle",
     2,
     "Picture_IEPageChange(3)",
     {},
     {"Text_IEPage(3)", "我的浏览器"},
     "Mark_Label_IEPage(3)",
     {"Text_IEPage(3)", "我的浏览器"}},
    {"ForbidRecentDocuments", 3, "Picture_Forbid(2)", {}, {}, "Mark_Label_ForbidTips(2)", {}},
    {"HideStartMenuSearch", 3, "Picture_Hide(9)", {}, {}, "Mark_Label_HideTips(9)", {}},
    {"RegisteredOwner",
     4,
     "Picture_RegTo",
     {},
     {"Text1", "张三"},
     "Mark_Label1",
     {"Text1", "张三"}},
};

INSTANTIATE_TEST_SUITE_P(Pages, MarkFollowsClick, ::testing::ValuesIn(kSetCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Changes from outside ----------------------------------------------------------------------

const AnsiCodec& codec() {
    static const std::unique_ptr<AnsiCodec> c = makeAnsiCodec(kDefaultCodePage).value();
    return *c;
}

struct ForeignCase {
    const char* name;
    int page;
    RegKey root;
    const char* key;
    const char* value;
    const char* hive;  // the file the value lives in
    const char* mark;
    SettingState shown;  // what the mark shows after the write
};

void PrintTo(const ForeignCase& c, std::ostream* os) {
    *os << c.name;
}

class MarkFollowsForeignWrite : public ::testing::TestWithParam<ForeignCase> {};

TEST_P(MarkFollowsForeignWrite, WithinASecond) {
    const ForeignCase& c = GetParam();
    PageRig rig(c.page);
    rig.live().watchStoreFolder(rig.storeFolder());
    auto* mark = rig.find<StateMark>(QString::fromUtf8(c.mark));
    ASSERT_NE(mark, nullptr) << c.mark;
    ASSERT_EQ(mark->state(), SettingState::NotSet);

    // Another program's store writes the hive, which a second process copies into place.
    test::TempFolder scratch;
    {
        auto other = openFileStore(scratch.path(), codec()).value();
        RegInfoGetSet layer(*other, codec());
        ASSERT_TRUE(layer.SetRegDword(c.root, c.key, c.value, 1, 0, kKeyAllAccess));
        ASSERT_TRUE(other->flush().isOk());
    }
    QProcess copy;
    copy.start(QStringLiteral("cp"),
               {QString::fromStdString(scratch / c.hive), rig.storeFolder() + "/" + c.hive});
    ASSERT_TRUE(copy.waitForFinished(5000));
    ASSERT_EQ(copy.exitCode(), 0);

    EXPECT_TRUE(QTest::qWaitFor([&] { return mark->state() == c.shown; }, 1000))
        << "the mark shows " << settingStateWord(mark->state());
}

const ForeignCase kForeignCases[] = {
    {"UserHive", 1, kHkeyCurrentUser, locations::kExplorerPolicies, "NoDesktop", "user.reg",
     "Mark_Label_DesktopSetting(0)", SettingState::Set},
    // The row writes the default profile and the current user alike: a write into one of them
    // leaves it half set.
    {"UsersDefaultHive", 3, kHkeyUsers,
     ".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", "NoFind",
     "userdef.reg", "Mark_Label_HideTips(9)", SettingState::Mixed},
};

INSTANTIATE_TEST_SUITE_P(Hives, MarkFollowsForeignWrite, ::testing::ValuesIn(kForeignCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace hivora::testing
