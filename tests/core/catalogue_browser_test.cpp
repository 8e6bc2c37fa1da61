// The browser page: the property rows, the page-address rows, and the branches of the rows that
// ask or look before they write.

#include <gtest/gtest.h>

#include "core/catalogue/browser_page.h"
#include "tests/core/catalogue_harness.h"

namespace hivora::testing {
namespace {

using hivora::testing::PrintTo;  // the cases below print as their names

constexpr RegKey kHkcr = kHkeyClassesRoot;
constexpr RegKey kHkcu = kHkeyCurrentUser;
constexpr RegKey kHklm = kHkeyLocalMachine;
constexpr RegKey kHku = kHkeyUsers;

// Spelled as the browser and the shell read them.
const std::string kControlPanel = "Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel";
const std::string kRestrictions = "Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions";
const std::string kLinksPolicy = "Software\\Policies\\Microsoft\\Internet Explorer\\Toolbar";
const std::string kExplorerPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const std::string kMain = "Software\\Microsoft\\Internet Explorer\\Main";
const std::string kDefaultMain = ".DEFAULT\\" + kMain;
const std::string kSearch = "Software\\Microsoft\\Internet Explorer\\Search";
const std::string kOldWorkAreas = "Software\\Microsoft\\Internet Explorer\\Desktop\\Old WorkAreas";
const std::string kToolbar = "Software\\Microsoft\\Internet Explorer\\Toolbar";
const std::string kAboutUrls = "Software\\Microsoft\\Internet Explorer\\AboutURLs";
const std::string kServer = "CLSID\\{01E04581-4EEE-11d0-BFE9-00AA005B4383}\\InProcServer32";
const std::string kReplacement = "\"rem C:\\WINDOWS\\system32\\BROWSEUI.DLL\"";

constexpr RowButton kSet = RowButton::Set;
constexpr RowButton kUnset = RowButton::Lift;
constexpr OutcomeMessage kSetDone = OutcomeMessage::SetDone;
constexpr OutcomeMessage kUnsetDone = OutcomeMessage::UnsetDone;
constexpr OutcomeMessage kSilent = OutcomeMessage::None;

Effect expand(RegKey root, std::string key, std::string name, std::string text) {
    return {RegChangeKind::SetValue, root, key, name, kRegExpandSz, text};
}
std::vector<Effect> bars(const char* name, const char* shown) {
    return {sz(kHku, kDefaultMain, name, shown), sz(kHkcu, kMain, name, shown)};
}
std::vector<Effect> concat(std::vector<Effect> a, const std::vector<Effect>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const RowCase kPropertyCases[] = {
    // clang-format off
    {"Row0Set", 0, kSet, {}, {dword(kHkcu, kControlPanel, "HomePage", 1)}, kSetDone},
    {"Row0Unset", 0, kUnset, {}, {dword(kHkcu, kControlPanel, "HomePage", 0)}, kUnsetDone},
    {"Row1SetUserThenMachine", 1, kSet, {},
     {sz(kHkcu, kRestrictions, "NoViewSource", "1"), sz(kHklm, kRestrictions, "NoViewSource", "1")},
     kSetDone},
    {"Row1Unset", 1, kUnset, {},
     {sz(kHkcu, kRestrictions, "NoViewSource", "0"), sz(kHklm, kRestrictions, "NoViewSource", "0")},
     kUnsetDone},
    {"Row2SetUnderTheKeyTheBrowserReads", 2, kSet, {},
     {dword(kHkcu, kControlPanel, "AdvancedTab", 1)}, kSetDone},
    {"Row2Unset", 2, kUnset, {}, {dword(kHkcu, kControlPanel, "AdvancedTab", 0)}, kUnsetDone},
    // Explorer's switch, then the browser's own.
    {"Row3Set", 3, kSet, {},
     {binary(kHkcu, kExplorerPolicies, "NoFolderOptions", kOn),
      dword(kHkcu, kRestrictions, "NoBrowserOptions", 1)}, kSetDone},
    {"Row3Unset", 3, kUnset, {},
     {binary(kHkcu, kExplorerPolicies, "NoFolderOptions", kOff),
      removed(kHkcu, kRestrictions, "NoBrowserOptions")}, kUnsetDone},
    // Row 4 on a store without the value: the empty backup, then the replacement.
    {"Row4SetBacksUpThenReplaces", 4, kSet, {},
     {expand(kHkcr, kServer, "temp", ""), expand(kHkcr, kServer, "", kReplacement)}, kSetDone},
    {"Row4UnsetWithoutBackupWritesNothing", 4, kUnset, {}, {}, kUnsetDone},
    // Row 5: the about: explanation (Yes/No), then alias and address, both trimmed.
    {"Row5SetTrimmed", 5, kSet, {{" home ", " http://example.org/ "}, {kIdYes}},
     {sz(kHklm, kAboutUrls, "home", "http://example.org/")}, kSetDone},
    {"Row5SetAnsweredNo", 5, kSet, {{}, {kIdNo}}, {}, kSilent},
    {"Row5SetBlankAlias", 5, kSet, {{"  "}, {kIdYes}}, {}, kSilent},
    {"Row5SetCancelledAddress", 5, kSet, {{"home", ""}, {kIdYes}}, {}, kSilent},
    {"Row5Unset", 5, kUnset, {{" home"}, {kIdYes}}, {removed(kHklm, kAboutUrls, "home")},
     kUnsetDone},
    {"Row5UnsetCancelled", 5, kUnset, {{""}, {kIdYes}}, {}, kSilent},
    {"Row6SetForgetsPlacement", 6, kSet, {},
     {removed(kHkcu, kMain, "Window_Placement"), removed(kHkcu, kOldWorkAreas, "OldWorkAreaRects")},
     kSetDone},
    {"Row6UnsetOneZeroByteEach", 6, kUnset, {},
     {binary(kHkcu, kMain, "Window_Placement", std::string(1, '\0')),
      binary(kHkcu, kOldWorkAreas, "OldWorkAreaRects", std::string(1, '\0'))},
     kUnsetDone},
    {"Row7Set", 7, kSet, {}, {dword(kHkcu, kControlPanel, "Languages", 1)}, kSetDone},
    {"Row7UnsetDeletes", 7, kUnset, {}, {removed(kHkcu, kControlPanel, "Languages")}, kUnsetDone},
    {"Row8Set", 8, kSet, {{}, {}, {kExistingPicture}},
     {sz(kHkcu, kToolbar, "backbitmapIE5", kExistingPicture),
      sz(kHkcu, kToolbar, "backbitmap", kExistingPicture)},
     kSetDone},
    {"Row8CancelledIsSilent", 8, kSet, {{}, {}, {""}}, {}, kSilent},
    {"Row8Unset", 8, kUnset, {},
     {removed(kHkcu, kToolbar, "backbitmapIE5"), removed(kHkcu, kToolbar, "backbitmap")},
     kUnsetDone},
    {"Row9Set", 9, kSet, {}, concat(bars("Show_URLToolBar", "no"), bars("Show_ToolBar", "no")),
     kSetDone},
    {"Row9Unset", 9, kUnset, {},
     concat(bars("Show_URLToolBar", "yes"), bars("Show_ToolBar", "yes")), kUnsetDone},
    {"Row10Set", 10, kSet, {}, bars("Show_StatusBar", "no"), kSetDone},
    {"Row10Unset", 10, kUnset, {}, bars("Show_StatusBar", "yes"), kUnsetDone},
    {"Row11SetTrimmed", 11, kSet, {{" 收藏 "}}, {sz(kHkcu, kLinksPolicy, "LinksFolderName", "收藏")},
     kSetDone},
    {"Row11SetBlankIsSilent", 11, kSet, {{" "}}, {}, kSilent},
    {"Row11Unset", 11, kUnset, {}, {sz(kHkcu, kLinksPolicy, "LinksFolderName", "链接")}, kUnsetDone},
    // clang-format on
};

class BrowserPropertyRows : public ::testing::TestWithParam<RowCase> {};

TEST_P(BrowserPropertyRows, WritesShowsAndNeverNeedsRestart) {
    checkRowCase(CataloguePage::BrowserProperties, GetParam(), /*raisesRestart=*/false);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, BrowserPropertyRows, ::testing::ValuesIn(kPropertyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BrowserPropertyRowsTable, CoversEveryButtonOfEveryRow) {
    expectEveryButtonCovered(CataloguePage::BrowserProperties, kPropertyCases);
}

// ---- Page addresses ----

struct AddressCase {
    const char* name{};
    int row{};
    bool useDefault{};
    std::string boxText{};
    std::vector<Effect> effects{};
    OutcomeMessage message{};
};

const AddressCase kAddressCases[] = {
    // clang-format off
    {"HomePageAsTyped", 0, false, " http://a.cn ",
     {sz(kHkcu, kMain, "Default_Page_URL", " http://a.cn ")}, kSetDone},
    {"StartPageUnderItsRealName", 1, false, "http://b.cn",
     {sz(kHkcu, kMain, "Start Page", "http://b.cn")}, kSetDone},
    {"SearchBothValues", 2, false, "http://s.cn",
     {sz(kHklm, kSearch, "SearchAssistant", "http://s.cn"), sz(kHklm, kSearch, "CustomizeSearch", "http://s.cn")},
     kSetDone},
    {"TitleUserThenMachine", 3, false, "我的浏览器",
     {sz(kHkcu, kMain, "Window Title", "我的浏览器"), sz(kHklm, kMain, "Window Title", "我的浏览器")},
     kSetDone},
    {"BlankBoxWritesNothing", 0, false, "   ", {}, kSilent},
    {"EmptyBoxWritesNothing", 3, false, "", {}, kSilent},
    {"HomePageDefault", 0, true, "ignored",
     {sz(kHkcu, kMain, "Default_Page_URL", kFactoryHomePage)}, OutcomeMessage::ResetDone},
    {"StartPageDefaultIsTheHomePage", 1, true, "",
     {sz(kHkcu, kMain, "Start Page", kFactoryHomePage)}, OutcomeMessage::ResetDone},
    {"SearchDefault", 2, true, "",
     {sz(kHklm, kSearch, "SearchAssistant", kFactorySearchAssistant), sz(kHklm, kSearch, "CustomizeSearch", kFactorySearchAssistant)},
     OutcomeMessage::ResetDone},
    {"TitleDefault", 3, true, "",
     {sz(kHkcu, kMain, "Window Title", kFactoryWindowTitle), sz(kHklm, kMain, "Window Title", kFactoryWindowTitle)},
     OutcomeMessage::ResetDone},
    // clang-format on
};

class BrowserAddressRows : public ::testing::TestWithParam<AddressCase> {};

TEST_P(BrowserAddressRows, WriteTheBoxOrTheFactoryDefault) {
    const AddressCase& c = GetParam();
    CatalogueHarness harness;
    const RowOutcome outcome = c.useDefault ? runIEPageDefault(harness.services(), c.row)
                                            : runIEPageChange(harness.services(), c.row, c.boxText);
    EXPECT_EQ(harness.effects(), harness.inAnsi(c.effects));
    EXPECT_TRUE(outcome.status.isOk());
    EXPECT_EQ(outcome.shown, c.message);
    const auto shown = harness.dialogs().messagePrompts();
    EXPECT_EQ(shown.empty() ? "" : shown.back(), outcomeText(c.message));
    EXPECT_FALSE(harness.framework().NeedsRestart());
}

INSTANTIATE_TEST_SUITE_P(Catalogue, BrowserAddressRows, ::testing::ValuesIn(kAddressCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Address bar (row 4) ----

std::string serverValue(CatalogueHarness& harness, const char* name) {
    std::int32_t errorFlag = 0;
    return harness.layer().GetRegExpandString(kHkcr, kServer, name, kKeyAllAccess, errorFlag);
}

TEST(BrowserAddressBar, SetTwiceThenUnsetRestoresTheOriginalServer) {
    CatalogueHarness harness;
    const std::string original = "%SystemRoot%\\system32\\browseui.dll";
    ASSERT_TRUE(harness.layer().SetRegExpandString(kHkcr, kServer, "", original, 0, kKeyAllAccess));

    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(harness.run(CataloguePage::BrowserProperties, 4, kSet).shown, kSetDone);
        EXPECT_EQ(serverValue(harness, ""), kReplacement);
        EXPECT_EQ(serverValue(harness, "temp"), original) << "after set " << i + 1;
    }
    EXPECT_EQ(harness.run(CataloguePage::BrowserProperties, 4, kUnset).shown, kUnsetDone);
    EXPECT_EQ(serverValue(harness, ""), original);
    EXPECT_EQ(serverValue(harness, "temp"), original);  // the backup stays
}

TEST(BrowserAddressBar, WithoutTheLibraryOnlySaysFailed) {
    struct Case {
        const char* name;
        std::string systemFolder;
        bool libraryThere;
    };
    const Case cases[] = {{"NoLibrary", kSystemFolder, false}, {"NoSystemFolder", "", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CatalogueHarness harness;
        harness.systemFolder().folder = c.systemFolder;
        if (!c.libraryThere) harness.files().entries.erase(kBrowseUi);

        const RowOutcome outcome = harness.run(CataloguePage::BrowserProperties, 4, kSet);

        EXPECT_FALSE(outcome.completed);
        EXPECT_TRUE(harness.effects().empty());
        const auto boxes = harness.dialogs().callsOf(DialogKind::MessageBox);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].prompt, "失败！");
        EXPECT_EQ(boxes[0].buttons, kMbOk);
        EXPECT_EQ(boxes[0].givenTitle, "");
    }
}

// ---- What the rows ask ----

TEST(BrowserPrompts, AliasToolbarPictureAndLinksAskExactlyThis) {
    CatalogueHarness harness;
    harness.script({{"a", "b", "c", "文字"}, {kIdYes, kIdYes}, {kExistingPicture}});
    (void)harness.run(CataloguePage::BrowserProperties, 5, kSet);
    (void)harness.run(CataloguePage::BrowserProperties, 5, kUnset);
    (void)harness.run(CataloguePage::BrowserProperties, 8, kSet);
    (void)harness.run(CataloguePage::BrowserProperties, 11, kSet);

    std::vector<std::string> asked;
    for (const DialogCall& call : harness.dialogs().calls()) {
        if (call.kind == DialogKind::MessageBox && call.buttons == kMbYesNo) {
            EXPECT_EQ(call.givenTitle, "");
            EXPECT_TRUE(call.prompt.starts_with("用过IE的人都遇到过“取消操作”提示"));
            EXPECT_TRUE(call.prompt.ends_with("blank即为空白页的别名。\r\n\r\n是否继续？"));
            asked.push_back("question");
        } else if (call.kind == DialogKind::InputBox) {
            asked.push_back(call.prompt + "|" + call.givenTitle);
        } else if (call.kind == DialogKind::OpenFile) {
            asked.push_back(call.filter);
        }
    }
    const std::vector<std::string> expected = {
        "question",
        "请输入别名：|定制IE地址",
        "请输入地址：(是网页，则输入完整，是本地，则填上路径)|定制IE地址",
        "question",
        "请输入待删除的别名：|定制IE地址",
        "图片|*.bmp;*.jpg;*.jpeg;*.gif;*.png|所有文件(ALL FILES)|*.*",
        "请输入相关的文字信息：|用户输入",
    };
    EXPECT_EQ(asked, expected);
}

TEST(BrowserToolbarPicture, MissingFileWritesNothingAndSaysWhy) {
    CatalogueHarness harness;
    harness.script({{}, {}, {"C:\\nowhere.bmp"}});
    const RowOutcome outcome = harness.run(CataloguePage::BrowserProperties, 8, kSet);
    EXPECT_TRUE(harness.effects().empty());
    EXPECT_FALSE(outcome.completed);  // nothing was done, so nothing was completed
    EXPECT_EQ(outcome.shown, OutcomeMessage::SetError);
    EXPECT_EQ(harness.dialogs().messagePrompts().back(),
              "设置出错！\r\n文件不存在：C:\\nowhere.bmp");
}

}  // namespace
}  // namespace hivora::testing
