// The logon style rows, the automatic logon password in either place, and the logon screen's
// previews and their buttons.

#include <gtest/gtest.h>

#include "core/catalogue/logon_page.h"
#include "tests/core/catalogue_harness.h"

namespace hivora::testing {
namespace {

using hivora::testing::PrintTo;  // the cases below print as their names

constexpr RegKey kHklm = kHkeyLocalMachine;
constexpr RegKey kHku = kHkeyUsers;

const std::string kWinlogon = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const std::string kOldWinlogon = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Winlogon";
const std::string kMachinePolicies =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const std::string kDesktop = ".DEFAULT\\Control Panel\\Desktop";
const std::string kColors = ".DEFAULT\\Control Panel\\Colors";

constexpr RowButton kSet = RowButton::Set;
constexpr RowButton kUnset = RowButton::Lift;
constexpr OutcomeMessage kSetDone = OutcomeMessage::SetDone;
constexpr OutcomeMessage kUnsetDone = OutcomeMessage::UnsetDone;
constexpr OutcomeMessage kSilent = OutcomeMessage::None;

Effect winlogon(const char* name, std::string text) {
    return sz(kHklm, kWinlogon, name, text);
}
Effect noWinlogon(const char* name) {
    return removed(kHklm, kWinlogon, name);
}

// Without a secret store (the file store), the password is the registry value.
const RowCase kStyleCases[] = {
    // clang-format off
    {"Row0CaptionAndTextAsEntered", 0, kSet, {{" 通知 ", "请勿关机"}},
     {winlogon("LegalNoticeCaption", " 通知 "), winlogon("LegalNoticeText", "请勿关机")}, kSetDone},
    {"Row0CancelledCaption", 0, kSet, {{""}}, {}, kSilent},
    {"Row0CancelledTextWritesNoCaption", 0, kSet, {{"通知", ""}}, {}, kSilent},
    {"Row0Unset", 0, kUnset, {}, {noWinlogon("LegalNoticeCaption"), noWinlogon("LegalNoticeText")},
     kUnsetDone},
    {"Row1Set", 1, kSet, {}, {winlogon("ForceAutoLogon", "1")}, kSetDone},
    {"Row1Unset", 1, kUnset, {}, {noWinlogon("ForceAutoLogon")}, kUnsetDone},
    // The classic logon's values, then the security option every Windows since XP reads.
    {"Row2SetClassicLogonAndPolicy", 2, kSet, {},
     {sz(kHklm, kOldWinlogon, "DontDisplayLastUserName", "1"), dword(kHklm, kWinlogon, "LogonType", 0),
      dword(kHklm, kMachinePolicies, "DontDisplayLastUserName", 1)},
     kSetDone},
    {"Row2UnsetBoth", 2, kUnset, {},
     {removed(kHklm, kOldWinlogon, "DontDisplayLastUserName"), dword(kHklm, kWinlogon, "LogonType", 1),
      dword(kHklm, kMachinePolicies, "DontDisplayLastUserName", 0)},
     kUnsetDone},
    {"Row3PasswordAsRegistryValue", 3, kSet, {{"admin", "p a$s"}},
     {winlogon("AutoAdminLogon", "1"), winlogon("DefaultUserName", "admin"), winlogon("DefaultPassword", "p a$s")},
     kSetDone},
    {"Row3CancelledUserNameWritesNothing", 3, kSet, {{""}}, {}, kSilent},
    {"Row3CancelledPasswordWritesNothing", 3, kSet, {{"admin", ""}}, {}, kSilent},
    {"Row3Unset", 3, kUnset, {},
     {noWinlogon("AutoAdminLogon"), noWinlogon("DefaultUserName"), noWinlogon("DefaultPassword")},
     kUnsetDone},
    // clang-format on
};

class LogonStyleRows : public ::testing::TestWithParam<RowCase> {};

TEST_P(LogonStyleRows, WritesShowsAndNeverNeedsRestart) {
    checkRowCase(CataloguePage::LogonStyle, GetParam(), /*raisesRestart=*/false);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, LogonStyleRows, ::testing::ValuesIn(kStyleCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LogonStyleRowsTable, CoversEveryButtonOfEveryRow) {
    expectEveryButtonCovered(CataloguePage::LogonStyle, kStyleCases);
}

TEST(LogonStylePrompts, AskExactlyThisAndMaskThePassword) {
    CatalogueHarness harness;
    harness.script({{"t", "x", "user", "pw"}});
    (void)harness.run(CataloguePage::LogonStyle, 0, kSet);
    (void)harness.run(CataloguePage::LogonStyle, 3, kSet);
    const auto inputs = harness.dialogs().callsOf(DialogKind::InputBox);
    ASSERT_EQ(inputs.size(), 4u);
    const std::pair<const char*, const char*> expected[] = {
        {"请输入对话框标题：", "开机对话框的创建"},
        {"请输入对话框内容：", "开机对话框的创建"},
        {"请输入用户名：", "自动登录系统"},
        {"请输入密码：", "自动登录系统"}};
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        EXPECT_EQ(inputs[i].prompt, expected[i].first);
        EXPECT_EQ(inputs[i].givenTitle, expected[i].second);
        EXPECT_EQ(inputs[i].masked, i == 3);
    }
    // The password never stays in the scratch slot.
    EXPECT_EQ(harness.framework().ScratchText().find("pw"), std::string::npos);
}

// ---- The password as a secret ----

struct SecretCase {
    const char* name{};
    RowButton button{};
    Status refusal{};
    std::vector<Effect> effects{};
    std::string message{};
    bool secretKept{};
};

const std::string kNoSecretStore = "无法把密码保存为系统机密（0xC0000034）";

const SecretCase kSecretCases[] = {
    // clang-format off
    // Stored: the values without the password, and any plain-text password removed.
    {"SetStoresTheSecret", kSet, Status::ok(),
     {winlogon("AutoAdminLogon", "1"), winlogon("DefaultUserName", "admin"), noWinlogon("DefaultPassword")},
     "已设置！", true},
    // Refused, as Wine refuses: nothing at all is written, and the user is told why.
    {"RefusedSecretWritesNothing", kSet, Status::error(kNoSecretStore, 2), {},
     "设置出错！\r\n" + kNoSecretStore, false},
    {"RefusedForLackOfRights", kSet, Status::error("拒绝访问", 5), {},
     std::string("设置出错！\r\n") + kNeedsAdministratorLine, false},
    {"UnsetRemovesSecretAndValues", kUnset, Status::ok(),
     {noWinlogon("AutoAdminLogon"), noWinlogon("DefaultUserName"), noWinlogon("DefaultPassword")},
     "已解除！", false},
    // The values still go, so automatic logon is off whatever became of the secret.
    {"UnsetWithRefusedSecretStillSwitchesOff", kUnset, Status::error(kNoSecretStore, 2),
     {noWinlogon("AutoAdminLogon"), noWinlogon("DefaultUserName"), noWinlogon("DefaultPassword")},
     "设置出错！\r\n" + kNoSecretStore, true},
    // clang-format on
};

class LogonSecret : public ::testing::TestWithParam<SecretCase> {};

TEST_P(LogonSecret, KeepsThePasswordOutOfTheRegistry) {
    const SecretCase& c = GetParam();
    CatalogueHarness harness;
    FakeSecretStore secrets;
    harness.services().secrets = &secrets;
    if (c.button == kUnset) secrets.secrets["DefaultPassword"] = "old";
    secrets.refusal = c.refusal;
    harness.seedRemovalsOf(c.effects);
    if (c.button == kSet) harness.script({{"admin", "s3cret"}});

    const RowOutcome outcome = harness.run(CataloguePage::LogonStyle, 3, c.button);

    EXPECT_EQ(harness.effects(), harness.inAnsi(c.effects));
    EXPECT_EQ(harness.dialogs().messagePrompts().back(), c.message);
    EXPECT_EQ(secrets.secrets.count("DefaultPassword") == 1, c.secretKept);
    if (c.button == kSet && c.secretKept) {
        EXPECT_EQ(secrets.secrets["DefaultPassword"], "s3cret");
    }
    EXPECT_FALSE(harness.hasValue(kHklm, kWinlogon, "DefaultPassword"));
    EXPECT_EQ(outcome.status.isOk(), c.refusal.isOk());
}

INSTANTIATE_TEST_SUITE_P(Catalogue, LogonSecret, ::testing::ValuesIn(kSecretCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Registry files in Wine's format, and an installed Windows worked on from outside, have no safe
// place for the password: the row refuses before asking anything, and says why in the store's
// own words.
TEST(LogonAutoLogon, WithoutASafePlaceForThePasswordRefusesUnasked) {
    for (const char* reason : {kNoPasswordPlaceText, kOfflinePasswordText}) {
        SCOPED_TRACE(reason);
        CatalogueHarness harness;
        struct Nowhere : LogonSecretStore {
            explicit Nowhere(const char* why) : reason(why) {}
            PasswordPlace place() const override { return PasswordPlace::Nowhere; }
            Status storeSecret(const std::string&, const std::string&) override {
                return Status::error(reason);
            }
            Status removeSecret(const std::string&) override { return Status::ok(); }
            const char* reason;
        } nowhere(reason);
        harness.services().secrets = &nowhere;

        const RowOutcome outcome = harness.run(CataloguePage::LogonStyle, 3, kSet);

        EXPECT_TRUE(harness.dialogs().callsOf(DialogKind::InputBox).empty());
        EXPECT_TRUE(harness.effects().empty());
        EXPECT_EQ(harness.dialogs().messagePrompts(),
                  std::vector<std::string>{std::string("设置出错！\r\n") + reason});
        EXPECT_FALSE(outcome.status.isOk());
    }
}

// A box left empty ends the row unwritten, and the user is told why.
TEST(LogonAutoLogon, AnEmptyNameOrPasswordIsExplained) {
    for (const Answers& answers : {Answers{{""}}, Answers{{"admin", ""}}}) {
        CatalogueHarness harness;
        harness.script(answers);
        const RowOutcome outcome = harness.run(CataloguePage::LogonStyle, 3, kSet);
        EXPECT_FALSE(outcome.completed);
        EXPECT_TRUE(harness.effects().empty());
        EXPECT_EQ(harness.dialogs().messagePrompts(),
                  std::vector<std::string>{"用户名与密码都不能为空，未作任何改动。"});
    }
}

// ---- Previews ----

struct PreviewCase {
    const char* name{};
    std::optional<std::string> wallpaper{};  // nothing: no value
    std::optional<std::string> background{};
    LogonAppearance expected{};
};

const LogonPicturePreview kNone{"", "(无)"};
const std::string kUpperBmp = "C:\\logon\\SEA.BMP";
const std::string kJpeg = "C:\\logon\\sea.jpg";
const std::string kBare = "sea.bmp";

const PreviewCase kPreviewCases[] = {
    // clang-format off
    {"NothingStored", std::nullopt, std::nullopt, {kNone, kDefaultLogonColor}},
    {"BitmapAndColour", kExistingPicture, "1 2 3", {{kExistingPicture, "sea.bmp"}, 0x030201}},
    {"UpperCaseExtension", kUpperBmp, "58 110 165", {{kUpperBmp, "SEA.BMP"}, kDefaultLogonColor}},
    {"NotABitmap", kJpeg, "", {kNone, kDefaultLogonColor}},
    {"MissingBitmap", "C:\\gone.bmp", std::nullopt, {kNone, kDefaultLogonColor}},
    {"NoBackslashWholeName", kBare, "255 255 255", {{kBare, kBare}, 0xFFFFFF}},
    {"TwoNumbersAreBlack", "(无)", "58 110", {kNone, 0}},
    {"WordsAreBlack", std::nullopt, "blue", {kNone, 0}},
    {"ComponentOutOfRangeIsWhite", std::nullopt, "300 0 0", {kNone, 0xFFFFFF}},
    // clang-format on
};

class LogonPreview : public ::testing::TestWithParam<PreviewCase> {};

TEST_P(LogonPreview, ShowsWhatTheDefaultProfileHolds) {
    const PreviewCase& c = GetParam();
    CatalogueHarness harness;
    harness.files().entries[kUpperBmp] = kFileAttributeArchive;
    harness.files().entries[kJpeg] = kFileAttributeArchive;
    harness.files().entries[kBare] = kFileAttributeArchive;
    if (c.wallpaper) {
        ASSERT_TRUE(harness.layer().SetRegString(kHku, kDesktop, "wallpaper", *c.wallpaper, 0,
                                                 kKeyAllAccess));
    }
    if (c.background) {
        ASSERT_TRUE(harness.layer().SetRegString(kHku, kColors, "Background", *c.background, 0,
                                                 kKeyAllAccess));
    }
    EXPECT_EQ(ShowLogonAppearance(harness.services()), c.expected);
    EXPECT_TRUE(harness.dialogs().calls().empty());
}

INSTANTIATE_TEST_SUITE_P(Catalogue, LogonPreview, ::testing::ValuesIn(kPreviewCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Appearance buttons ----

TEST(LogonAppearanceButtons, PictureSelectWritesAndPreviews) {
    CatalogueHarness harness;
    harness.script({{}, {}, {kExistingPicture}});
    std::string loaded;
    const LogonPictureResult result = runLogonPictureSelect(
        harness.services(), [&](const std::string& path) { return loaded = path, true; });
    EXPECT_EQ(loaded, kExistingPicture);
    EXPECT_EQ(result.picture, (LogonPicturePreview{kExistingPicture, "sea.bmp"}));
    EXPECT_EQ(harness.effects(), harness.inAnsi({sz(kHku, kDesktop, "wallpaper", kExistingPicture),
                                                 sz(kHku, kDesktop, "Tilewallpaper", "1"),
                                                 dword(kHklm, kWinlogon, "LogonType", 0)}));
    EXPECT_TRUE(harness.dialogs().messagePrompts().empty());
    EXPECT_EQ(harness.dialogs().callsOf(DialogKind::OpenFile)[0].filter, "位图(*.bmp)|*.bmp");
}

TEST(LogonAppearanceButtons, PictureSelectRefusals) {
    const std::pair<std::string, bool> cases[] = {
        {"", true},                 // cancelled
        {"C:\\gone.bmp", true},     // does not exist
        {kExistingFolder, true},    // a folder
        {kExistingPicture, false},  // exists, cannot be loaded
    };
    for (const auto& [file, loads] : cases) {
        SCOPED_TRACE(file);
        CatalogueHarness harness;
        harness.script({{}, {}, {file}});
        const LogonPictureResult result =
            runLogonPictureSelect(harness.services(), [&](const std::string&) { return loads; });
        EXPECT_FALSE(result.picture.has_value());
        EXPECT_TRUE(harness.effects().empty());
        EXPECT_EQ(harness.dialogs().messagePrompts(), std::vector<std::string>{"设置出错！"});
    }
}

TEST(LogonAppearanceButtons, DefaultsAndColour) {
    CatalogueHarness harness;
    EXPECT_EQ(runLogonPictureDefault(harness.services()).picture, kNone);
    EXPECT_EQ(runLogonColorDefault(harness.services()).color, kDefaultLogonColor);
    harness.dialogs().answerColor(kDefaultLogonColor).answerColor(0x00FF8040);
    EXPECT_FALSE(
        runLogonColorSelect(harness.services()).color.has_value());  // the default: nothing
    EXPECT_EQ(runLogonColorSelect(harness.services()).color, 0x00FF8040);

    EXPECT_EQ(harness.effects(), harness.inAnsi({sz(kHku, kDesktop, "wallpaper", "(无)"),
                                                 sz(kHku, kDesktop, "Tilewallpaper", "0"),
                                                 sz(kHku, kColors, "Background", "58 110 165"),
                                                 sz(kHku, kColors, "Background", "64 128 255")}));
    EXPECT_TRUE(harness.dialogs().messagePrompts().empty());
    for (const DialogCall& call : harness.dialogs().callsOf(DialogKind::Color))
        EXPECT_EQ(call.initialColor, kDefaultLogonColor);
}

TEST(LogonAppearanceButtons, FailedWriteShowsErrorAndKeepsThePreview) {
    CatalogueHarness harness;
    harness.recorder().denyChangesUnder(kHku);
    harness.dialogs().answerColor(0x112233).answerOpenFile(kExistingPicture);
    EXPECT_FALSE(runLogonColorSelect(harness.services()).color.has_value());
    EXPECT_FALSE(runLogonPictureSelect(harness.services(), {}).picture.has_value());
    const std::string denied = std::string("设置出错！\r\n") + kNeedsAdministratorLine;
    EXPECT_EQ(harness.dialogs().messagePrompts(), (std::vector<std::string>{denied, denied}));
}

}  // namespace
}  // namespace hivora::testing
