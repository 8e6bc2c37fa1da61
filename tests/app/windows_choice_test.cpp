// --windows and --user: the words, the choice of user (listed when it must be made), the title's
// label, one journal per installation, and a reading run that refuses every change.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/options.h"
#include "app/registry_choice.h"
#include "platform/logon_secrets.h"
#include "tests/platform/hive_test_support.h"
#include "tests/platform/store_test_support.h"

namespace hivora {
namespace {

using test::TempFolder;

TEST(WindowsOptions, WordsAndErrors) {
    const struct {
        std::vector<std::string> args;
        std::string root, user, errorPart;
    } cases[] = {
        {{"--windows", "/mnt/c"}, "/mnt/c", "", ""},
        {{"--windows", "/mnt/c", "--user", "alice", "--status"}, "/mnt/c", "alice", ""},
        {{"--windows"}, "", "", "--windows"},
        {{"--windows", ""}, "", "", "--windows"},
        {{"--windows", "/mnt/c", "--user"}, "", "", "--user"},
        {{"--user", "alice"}, "", "", "--user 只能与 --windows"},
        {{"--windows", "/mnt/c", "--prefix", "/p"}, "", "", "--prefix"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const ParsedOptions parsed = parseOptions(c.args);
        if (c.errorPart.empty()) {
            EXPECT_EQ(parsed.error, "");
            EXPECT_EQ(parsed.options.windowsRoot, c.root);
            EXPECT_EQ(parsed.options.windowsUser, c.user);
        } else {
            EXPECT_NE(parsed.error.find(c.errorPart), std::string::npos) << parsed.error;
        }
    }
    EXPECT_NE(std::string(kUsageText).find("--windows"), std::string::npos);
}

TEST(WindowsChoice, SeveralUsersAreListedUntilOneIsNamed) {
    TempFolder folder;
    ASSERT_TRUE(test::makeTestInstallation(folder.path(), {"alice", "bob"}));
    Options options;
    options.windowsRoot = folder.path();
    options.codePage = 936;

    EXPECT_EQ(windowsUserNames(options), (std::vector<std::string>{"alice", "bob"}));
    const Status unchosen = checkStoreUsable(options);
    EXPECT_FALSE(unchosen);
    EXPECT_NE(unchosen.message().find("--user"), std::string::npos);
    EXPECT_NE(unchosen.message().find("  alice\n  bob\n"), std::string::npos) << unchosen.message();
    EXPECT_FALSE(chooseRegistry(options));

    options.windowsUser = "carol";
    const auto unknown = chooseRegistry(options);
    ASSERT_FALSE(unknown);
    EXPECT_NE(unknown.status().message().find("  bob\n"), std::string::npos);

    options.windowsUser = "BOB";
    EXPECT_TRUE(checkStoreUsable(options));
    EXPECT_EQ(windowsInstallationLabel(options),
              "Windows 10 Pro 22H2（内部版本 19045.3803） · 用户 bob");
    const std::string config = folder.path() + "/Windows/System32/config";
    EXPECT_EQ(storeFolder(options), config);
    auto chosen = chooseRegistry(options);
    ASSERT_TRUE(chosen) << chosen.status().message();
    // The hives' folder names the journal: one per installation, whichever user.
    EXPECT_EQ(chosen.value().description, config);
    EXPECT_EQ(chosen.value().note, "");

    // A reading run (--status, --history) changes nothing.
    auto reading = chooseRegistry(options, RegistryUse::Read);
    ASSERT_TRUE(reading);
    RegKey k = 0;
    EXPECT_EQ(reading.value().registry->RegCreateKeyExA(kHkeyCurrentUser, "Software\\Hivora", 0,
                                                        nullptr, 0, kKeyAllAccess, &k, nullptr),
              kErrorAccessDenied);
}

// The startup list looks for an installation's program files under its root; paths that are
// not on its system drive must never be taken for files of this machine.
TEST(WindowsChoice, ProgramPathsOfAMountedInstallationLieUnderItsRoot) {
    TempFolder folder;
    ASSERT_TRUE(test::makeTestInstallation(folder.path(), {"alice"}));
    const std::string root = folder.path();
    std::filesystem::create_directories(root + "/Program Files/Tool");
    { std::ofstream(root + "/Program Files/Tool/tool.exe") << "MZ"; }
    Options options;
    options.windowsRoot = root;
    ASSERT_TRUE(isMountedInstallation(options));
    const PlatformServices platform = platformServicesFor(options);

    struct Case {
        const char* name;
        std::string windowsPath;
        std::string hostPath;
    };
    const Case cases[] = {
        {"system drive, names in another case", "c:\\PROGRAM FILES\\tool\\TOOL.EXE",
         root + "/Program Files/Tool/tool.exe"},
        {"environment form of the drive", "%SystemDrive%\\Program Files\\Tool\\tool.exe",
         root + "/Program Files/Tool/tool.exe"},
        {"another drive stays as it is", "D:\\Program Files\\Tool\\tool.exe",
         "D:\\Program Files\\Tool\\tool.exe"},
        {"a file that is not there stays as it is", "C:\\Gone\\gone.exe", "C:\\Gone\\gone.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(platform.paths->hostPath(c.windowsPath), c.hostPath);
    }
    EXPECT_EQ(platform.paths->windowsPath(root + "/Program Files/Tool/tool.exe"),
              "C:\\Program Files\\Tool\\tool.exe");
    EXPECT_EQ(platform.paths->windowsPath("/elsewhere/tool.exe"), "/elsewhere/tool.exe");

    // A folder of loose hive copies belongs to no volume: nothing is looked at there.
    TempFolder loose;
    for (const char* hive : {"SOFTWARE", "SYSTEM", "DEFAULT"}) {
        std::filesystem::copy_file(root + "/Windows/System32/config/" + hive,
                                   loose.path() + "/" + hive);
    }
    Options looseOptions;
    looseOptions.windowsRoot = loose.path();
    EXPECT_FALSE(isMountedInstallation(looseOptions));
    EXPECT_EQ(platformServicesFor(looseOptions).paths->hostPath("C:\\Program Files"),
              "C:\\Program Files");
}

TEST(WindowsChoice, TheLogonPasswordHasNoPlaceOffline) {
    auto secrets = makeOfflineLogonSecretStore();
    EXPECT_EQ(secrets->place(), PasswordPlace::Nowhere);
    const Status refused = secrets->storeSecret(kDefaultPasswordSecret, "secret");
    EXPECT_FALSE(refused);
    EXPECT_EQ(refused.message(), kOfflinePasswordText);
}

}  // namespace
}  // namespace hivora
