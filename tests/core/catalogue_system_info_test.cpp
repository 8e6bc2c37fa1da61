// The special folders, the registration info with its computer-name rule, and what running
// programs are told after an action.

#include <gtest/gtest.h>

#include "core/catalogue/system_info_page.h"
#include "tests/core/catalogue_harness.h"

namespace hivora::testing {
namespace {

using hivora::testing::PrintTo;  // the cases below print as their names

constexpr RegKey kHkcu = kHkeyCurrentUser;
constexpr RegKey kHklm = kHkeyLocalMachine;

const std::string kUserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const std::string kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const std::string kCurrentVersion = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

std::vector<Effect> folderWrites(const char* name, const std::string& folder) {
    return {{RegChangeKind::SetValue, kHkcu, kUserShellFolders, name, kRegExpandSz, folder},
            sz(kHkcu, kShellFolders, name, folder)};
}

struct FolderCase {
    const char* name{};
    int row{};
    std::string boxText{};
    std::vector<int> answers{};  // to "目录不存在，是否继续？"
    std::vector<Effect> effects{};
};

const FolderCase kFolderCases[] = {
    // clang-format off
    {"ExistingFolderTrimmed", 0, "  " + kExistingFolder + " ", {},
     folderWrites("Personal", kExistingFolder)},
    {"MissingFolderYes", 8, "D:\\新建", {kIdYes}, folderWrites("Cache", "D:\\新建")},
    {"FileIsNoFolderYes", 2, kExistingPicture, {kIdYes},
     folderWrites("My Pictures", kExistingPicture)},
    {"MissingFolderNo", 5, "D:\\新建", {kIdNo}, {}},
    {"BlankBox", 7, "   ", {}, {}},
    // clang-format on
};

class SpecialFolders : public ::testing::TestWithParam<FolderCase> {};

TEST_P(SpecialFolders, WriteBothKeysAndNeedRestart) {
    const FolderCase& c = GetParam();
    CatalogueHarness harness;
    for (int answer : c.answers) harness.dialogs().answerMessageBox(answer);

    const RowOutcome outcome = runSysDirApply(harness.services(), c.row, c.boxText);

    EXPECT_EQ(harness.effects(), harness.inAnsi(c.effects));
    const bool written = !c.effects.empty();
    EXPECT_EQ(outcome.completed, written);
    EXPECT_EQ(harness.framework().NeedsRestart(), written);
    std::vector<std::string> shown;
    if (!c.answers.empty()) shown.push_back("目录不存在，是否继续？");
    if (written) shown.push_back("已设置！");
    EXPECT_EQ(harness.dialogs().messagePrompts(), shown);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, SpecialFolders, ::testing::ValuesIn(kFolderCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SpecialFolders, BrowseOnlyFillsTheBox) {
    CatalogueHarness harness;
    harness.dialogs().answerBrowse("D:\\data").answerBrowse("");
    EXPECT_EQ(runSysDirBrowse(harness.services()), "D:\\data");
    EXPECT_EQ(runSysDirBrowse(harness.services()), std::nullopt);
    EXPECT_EQ(harness.dialogs().calls()[0].prompt, "请选择文件夹：");
    EXPECT_TRUE(harness.effects().empty());
}

// ---- Registration ----

std::vector<Effect> computerName(const std::string& name) {
    const std::string control = "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\";
    const std::string tcpip = "System\\CurrentControlSet\\Services\\Tcpip\\Parameters";
    return {sz(kHklm, control + "ActiveComputerName", "ComputerName", name),
            sz(kHklm, control + "ComputerName", "ComputerName", name),
            sz(kHklm, tcpip, "NV Hostname", name),
            sz(kHklm, tcpip, "Hostname", name),
            sz(kHklm, control + "ComputerName\\winlogon", "AltDefaultDomainName", name),
            sz(kHklm, control + "ComputerName\\winlogon", "DefaultDomainName", name)};
}

std::vector<Effect> concat(std::vector<Effect> a, const std::vector<Effect>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct RegistrationCase {
    const char* name{};
    std::string owner{}, organisation{}, computer{};
    std::vector<Effect> effects{};
    std::string message{};  // "" for none
};

const std::string kBadName =
    "计算机名“%”无效：计算机名须为 1 到 15 "
    "个字符，只能包含英文字母、数字和连字符(-)，不能全是数字，也不能以连字符开头或结尾。"
    "注册信息未作任何更改。";

std::string badName(const std::string& name) {
    std::string text = kBadName;
    return text.replace(text.find('%'), 1, name);
}

const RegistrationCase kRegistrationCases[] = {
    // clang-format off
    {"OwnerOnlyIsSilent", "张三", "", "", {sz(kHklm, kCurrentVersion, "RegisteredOwner", "张三")}, ""},
    {"BlankOrganisationCounts", "", " ", "",
     {sz(kHklm, kCurrentVersion, "RegisteredOrganization", " ")}, ""},
    {"AllThree", "a", "b", "PC-01",
     concat({sz(kHklm, kCurrentVersion, "RegisteredOwner", "a"),
             sz(kHklm, kCurrentVersion, "RegisteredOrganization", "b")}, computerName("PC-01")),
     "已设置！"},
    {"FifteenCharacters", "", "", "ABCDEFGHIJKLMNO", computerName("ABCDEFGHIJKLMNO"), "已设置！"},
    {"NothingTyped", "", "", "", {}, ""},
    // A bad computer name stops everything, the owner too.
    {"SixteenCharacters", "a", "", "ABCDEFGHIJKLMNOP", {}, badName("ABCDEFGHIJKLMNOP")},
    {"AllDigits", "", "", "12345", {}, badName("12345")},
    {"Blank", "", "", " PC", {}, badName(" PC")},
    {"Underscore", "", "", "MY_PC", {}, badName("MY_PC")},
    {"Chinese", "", "", "电脑", {}, badName("电脑")},
    {"LeadingHyphen", "", "", "-PC", {}, badName("-PC")},
    {"TrailingHyphen", "", "", "PC-", {}, badName("PC-")},
    // clang-format on
};

class Registration : public ::testing::TestWithParam<RegistrationCase> {};

TEST_P(Registration, WritesWhatWasTypedAfterCheckingTheName) {
    const RegistrationCase& c = GetParam();
    CatalogueHarness harness;
    (void)runRegToApply(harness.services(), c.owner, c.organisation, c.computer);
    EXPECT_EQ(harness.effects(), harness.inAnsi(c.effects));
    const auto shown = harness.dialogs().messagePrompts();
    EXPECT_EQ(shown.empty() ? "" : shown.back(), c.message);
    EXPECT_FALSE(harness.framework().NeedsRestart());
}

INSTANTIATE_TEST_SUITE_P(Catalogue, Registration, ::testing::ValuesIn(kRegistrationCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Announcements ----

struct NoticeCase {
    const char* name{};
    CataloguePage page{};
    int row{};
    RowButton button{};
    Answers answers{};
    std::vector<std::string> said{};
};

const NoticeCase kNoticeCases[] = {
    // clang-format off
    {"MenuRight", CataloguePage::Desktop, 2, RowButton::Set, {}, {"menu:1"}},
    {"DragFull", CataloguePage::Desktop, 3, RowButton::Set, {}, {"drag:1"}},
    {"TimeFormat", CataloguePage::Desktop, 4, RowButton::Lift, {}, {"intl"}},
    {"IconSize", CataloguePage::Desktop, 11, RowButton::Set, {{"48"}}, {"WindowMetrics"}},
    {"Restriction", CataloguePage::Restrictions, 9, RowButton::Set, {}, {"Policy"}},
    {"StartMenu", CataloguePage::HideShow, 11, RowButton::Lift, {}, {"Policy"}},
    {"BrowserPolicy", CataloguePage::BrowserProperties, 7, RowButton::Set, {}, {"Policy"}},
    {"NoPolicyNoWord", CataloguePage::Restrictions, 4, RowButton::Set, {}, {}},
    {"CancelledNoWord", CataloguePage::Desktop, 7, RowButton::Set, {{}, {}, {""}}, {}},
    // clang-format on
};

class Announcements : public ::testing::TestWithParam<NoticeCase> {};

TEST_P(Announcements, FollowTheChange) {
    const NoticeCase& c = GetParam();
    CatalogueHarness harness;
    harness.script(c.answers);
    (void)harness.run(c.page, c.row, c.button);
    EXPECT_EQ(harness.broadcaster().said, c.said);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, Announcements, ::testing::ValuesIn(kNoticeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Announcements, NoneWhenNothingChangedAndFailureChangesNothing) {
    CatalogueHarness harness;
    harness.recorder().denyChangesUnder(kHkcu);
    (void)harness.run(CataloguePage::Restrictions, 12, RowButton::Set);
    EXPECT_TRUE(harness.broadcaster().said.empty());

    CatalogueHarness refusing;
    refusing.broadcaster().answer = Status::error("超时");
    EXPECT_EQ(refusing.run(CataloguePage::Desktop, 2, RowButton::Set).shown,
              OutcomeMessage::SetDone);
}

}  // namespace
}  // namespace hivora::testing
