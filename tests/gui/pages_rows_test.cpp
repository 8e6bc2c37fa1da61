// Settings rows of every built page, end to end: the button is found by its object name, pressed
// and released with real mouse events, the dialogs are answered by the scripted double, and the
// store's files and the message shown are checked.

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "tests/gui/page_rig.h"

namespace hivora::testing {
namespace {

constexpr RegKey kHkcr = kHkeyClassesRoot;
constexpr RegKey kHkcu = kHkeyCurrentUser;
constexpr RegKey kHku = kHkeyUsers;

constexpr RegKey kHklm = kHkeyLocalMachine;
const std::string kWinlogon = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const std::string kBrowserMain = "Software\\Microsoft\\Internet Explorer\\Main";
const std::string kExplorerPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

struct Expected {
    RegKey root;
    std::string key;
    std::string name;
    std::optional<StoredValue> value;  // nullopt: the value is absent
};

// What the user does before the click: text typed into a page's text box, and answers to the
// dialogs the click opens.
struct Typed {
    const char* box;
    const char* text;
};

struct ClickCase {
    const char* name;
    int page;
    const char* button;
    std::vector<std::string> inputs;
    std::vector<int> boxes;
    std::vector<Expected> expected;
    std::string message;  // "" when no outcome box comes up
    bool restart;
    std::vector<Typed> typed{};
    std::vector<std::string> files{};
    std::vector<std::int32_t> colors{};
    std::vector<std::string> folders{};
    Typed shown{};  // a label or text box and the text it shows afterwards (box null: none)
};

class PageRows : public ::testing::TestWithParam<ClickCase> {};

TEST_P(PageRows, ClickWritesTheStoreAndShowsTheOutcome) {
    const ClickCase& c = GetParam();
    PageRig rig(c.page);
    for (const std::string& text : c.inputs) rig.dialogs().answerInputBox(text);
    for (int box : c.boxes) rig.dialogs().answerMessageBox(box);
    for (const std::string& file : c.files) rig.dialogs().answerOpenFile(file);
    for (std::int32_t color : c.colors) rig.dialogs().answerColor(color);
    for (const std::string& folder : c.folders) rig.dialogs().answerBrowse(folder);
    for (const Typed& typed : c.typed) {
        auto* box = rig.find<QLineEdit>(QString::fromUtf8(typed.box));
        ASSERT_NE(box, nullptr) << typed.box;
        box->setFocus();
        box->insert(QString::fromUtf8(typed.text));
    }

    rig.click(QString::fromUtf8(c.button));

    if (c.shown.box != nullptr) {
        QWidget* widget = rig.find(QString::fromUtf8(c.shown.box));
        ASSERT_NE(widget, nullptr) << c.shown.box;
        const QString text = qobject_cast<QLineEdit*>(widget) != nullptr
                                 ? qobject_cast<QLineEdit*>(widget)->text()
                                 : qobject_cast<QLabel*>(widget)->text();
        EXPECT_EQ(text.toStdString(), c.shown.text);
    }
    for (const Expected& e : c.expected) {
        EXPECT_EQ(rig.stored(e.root, e.key, e.name), e.value) << e.key << " / " << e.name;
    }
    const std::vector<std::string> prompts = rig.dialogs().messagePrompts();
    if (c.message.empty()) {
        EXPECT_TRUE(prompts.empty());
    } else {
        ASSERT_FALSE(prompts.empty());
        EXPECT_EQ(prompts.back(), c.message);
        // Every box, the outcome included, came up with the button at rest.
        for (bool resting : rig.dialogs().restingAtBox) EXPECT_TRUE(resting);
    }
    EXPECT_EQ(rig.framework().NeedsRestart(), c.restart);
}

const ClickCase kClickCases[] = {
    {"DesktopHideIcons",
     1,
     "Picture_DesktopSet(0)",
     {},
     {},
     {{kHkcu, kExplorerPolicies, "NoDesktop", dword(1)}},
     "已设置！",
     false},
    {"DesktopIconSizeAsked",
     1,
     "Picture_DesktopSet(11)",
     {"48"},
     {},
     {{kHkcu, "Control Panel\\Desktop\\WindowMetrics", "Shell Icon Size", sz(" 48")}},
     "已设置！",
     false},
    {"ForbidRecentDocuments",
     3,
     "Picture_Forbid(2)",
     {},
     {},
     {{kHkcu, kExplorerPolicies, "NoRecentDocsHistory", binary(kOn)},
      {kHkcu, kExplorerPolicies, "ClearRecentDocsonExit", binary(kOn)}},
     "已设置！",
     true},
    {"LiftAudioCdAutoRun",
     3,
     "Picture_Passage(4)",
     {},
     {},
     {{kHkcr, "AudioCD\\shell", "", sz("Play")}},
     "已解除！",
     true},
    {"HideDrivesAsked",
     3,
     "Picture_Hide(5)",
     {" cf "},
     {},
     {{kHkcu, kExplorerPolicies, "NoDrives", dword(36)}},
     "已设置！",
     false},
    {"ShowSearchInStartMenu",
     3,
     "Picture_Show(9)",
     {},
     {},
     {{kHku, ".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer", "NoFind",
       dword(0)}},
     "已解除！",
     false},
    {"LogonForceAutoLogon",
     0,
     "Picture_LoginStyle2(1)",
     {},
     {},
     {{kHklm, kWinlogon, "ForceAutoLogon", sz("1")}},
     "已设置！",
     false},
    {"LogonColourChosen",
     0,
     "Picture_BackColorSel",
     {},
     {},
     {{kHku, ".DEFAULT\\Control Panel\\Colors", "Background", sz("1 2 3")}},
     "",
     false,
     {},
     {},
     {0x030201}},
    {"LogonPictureCancelled",
     0,
     "Picture_BackgroundSel",
     {},
     {},
     {{kHku, ".DEFAULT\\Control Panel\\Desktop", "wallpaper", std::nullopt}},
     "设置出错！",
     false,
     {},
     {""},
     {},
     {},
     {"Label_BackgroundTips", "(无)"}},
    {"BrowserTitleTyped",
     2,
     "Picture_IEPageChange(3)",
     {},
     {},
     {{kHkcu, kBrowserMain, "Window Title", sz(" 我的 浏览器 ")},
      {kHklm, kBrowserMain, "Window Title", sz(" 我的 浏览器 ")}},
     "已设置！",
     false,
     {{"Text_IEPage(3)", " 我的 浏览器 "}}},
    {"BrowserBlankAddressIgnored",
     2,
     "Picture_IEPageChange(0)",
     {},
     {},
     {{kHkcu, kBrowserMain, "Default_Page_URL", std::nullopt}},
     "",
     false,
     {{"Text_IEPage(0)", "   "}}},
    {"BrowserTitleDefault",
     2,
     "Picture_IEPageDefault(3)",
     {},
     {},
     {{kHkcu, kBrowserMain, "Window Title", sz("Microsoft Internet Explorer")}},
     "已修改为默认！",
     false,
     {{"Text_IEPage(3)", "kept"}},
     {},
     {},
     {},
     {"Text_IEPage(3)", "kept"}},
    {"FolderBrowsedIntoItsBox",
     4,
     "Picture_SysDir(2)",
     {},
     {},
     {{kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
       "My Pictures", std::nullopt}},
     "",
     false,
     {},
     {},
     {},
     {kExistingFolder},
     {"Text_SysDir(2)", kExistingFolder.c_str()}},
    {"FolderApplied",
     4,
     "Picture_SysDirChange(0)",
     {},
     {},
     {{kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
       "Personal", expandSz(kExistingFolder)},
      {kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Personal",
       sz(kExistingFolder)}},
     "已设置！",
     true,
     {{"Text_SysDir(0)", "  C:\\pictures "}}},
    {"FolderMissingDeclined",
     4,
     "Picture_SysDirChange(8)",
     {},
     {kIdNo},
     {{kHkcu, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Cache",
       std::nullopt}},
     "目录不存在，是否继续？",
     false,
     {{"Text_SysDir(8)", "D:\\nowhere"}}},
    {"ComputerNameRegistered",
     4,
     "Picture_RegTo",
     {},
     {},
     {{kHklm, "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName", "ComputerName",
       sz("HOST-1")},
      {kHklm, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "RegisteredOwner", sz("张三")}},
     "已设置！",
     false,
     {{"Text1", "张三"}, {"Text3", "HOST-1"}}},
};

INSTANTIATE_TEST_SUITE_P(Pages, PageRows, ::testing::ValuesIn(kClickCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The press look and the keyboard: a right press changes nothing and runs nothing; Space and
// Enter press the focused button; Tab walks the rows in order.
TEST(PageButtons, RightButtonDoesNothingKeyboardPressesAndTabFollowsRows) {
    PageRig rig(3);
    auto* forbid = rig.find<ImageButton>(QStringLiteral("Picture_Forbid(0)"));
    ASSERT_NE(forbid, nullptr);
    const QImage released = forbid->pixmap().toImage();
    QTest::mousePress(forbid, Qt::RightButton, {}, forbid->rect().center());
    EXPECT_EQ(forbid->pixmap().toImage(), released);
    QTest::mouseRelease(forbid, Qt::RightButton, {}, forbid->rect().center());
    EXPECT_TRUE(rig.dialogs().calls().empty());

    // A release outside the button after a press there: back at rest, no action.
    QTest::mousePress(forbid, Qt::LeftButton, {}, forbid->rect().center());
    QTest::mouseRelease(forbid, Qt::LeftButton, {}, QPoint(-5, -5));
    EXPECT_FALSE(forbid->isPressed());
    EXPECT_TRUE(rig.dialogs().calls().empty());

    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return}) {
        forbid->setFocus();
        QTest::keyPress(forbid, key);
        EXPECT_TRUE(forbid->isPressed());
        QTest::keyRelease(forbid, key);
    }
    EXPECT_EQ(rig.dialogs().messagePrompts(), (std::vector<std::string>{"已设置！", "已设置！"}));

    const char* const chain[] = {"Picture_Forbid(0)", "Picture_Passage(0)", "Picture_Forbid(1)",
                                 "Picture_Passage(1)"};
    for (int i = 0; i + 1 < 4; ++i) {
        QWidget* next = rig.find(QString::fromLatin1(chain[i]));
        ASSERT_NE(next, nullptr);
        do {
            next = next->nextInFocusChain();
        } while ((next->focusPolicy() & Qt::TabFocus) == 0);
        EXPECT_EQ(next->objectName().toStdString(), chain[i + 1]);
    }
}

// Every row array of the two catalogue pages is complete and captioned from the catalogue.
TEST(PageButtons, EveryRowHasItsNamedControls) {
    struct Arrays {
        int page;
        const char* label;
        const char* set;
        const char* lift;
        int rows;
        const PageCatalogue& catalogue;
    };
    const Arrays arrays[] = {
        {1, "Label_DesktopSetting", "Picture_DesktopSet", "Picture_DesktopUnset", 12,
         desktopCatalogue()},
        {3, "Label_ForbidTips", "Picture_Forbid", "Picture_Passage", 13, restrictionsCatalogue()},
        {3, "Label_HideTips", "Picture_Hide", "Picture_Show", 12, hideShowCatalogue()},
    };
    for (const Arrays& a : arrays) {
        PageRig rig(a.page);
        for (int i = 0; i < a.rows; ++i) {
            auto* label = rig.find<QLabel>(QStringLiteral("%1(%2)").arg(a.label).arg(i));
            ASSERT_NE(label, nullptr) << a.label << i;
            EXPECT_EQ(label->text().toStdString(), a.catalogue.rows[i].caption);
            EXPECT_NE(rig.find<ImageButton>(QStringLiteral("%1(%2)").arg(a.set).arg(i)), nullptr);
            EXPECT_NE(rig.find<ImageButton>(QStringLiteral("%1(%2)").arg(a.lift).arg(i)), nullptr);
        }
        EXPECT_EQ(rig.find(QStringLiteral("%1(%2)").arg(a.label).arg(a.rows)), nullptr);
    }
}

}  // namespace
}  // namespace hivora::testing
