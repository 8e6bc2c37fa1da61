// Hives with unreadable lines: listed with their first bad line, refused with a message that says
// how to repair, and repaired as Wine rewrites them, after a byte-identical backup; a repair that
// cannot make its backup leaves the hive refused.

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "platform/posix/file_store.h"
#include "tests/platform/store_test_support.h"

namespace hivora::test {
namespace {

const std::string kHeader =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n"
    "\n"
    "#arch=win64\n";
const std::string kGood =
    "\n[Software\\\\Good] 1700000000\n#time=1da1747c66d0000\n\"A\"=dword:00000001\n";
const std::string kLater = "\n[Software\\\\Later] 1700000000\n#time=1da1747c66d0000\n\"B\"=\"y\"\n";
// The two faults found in hives of popular Wine packagings: a value name with no "=", and a value
// broken over two physical lines.
const std::string kBad =
    "\n[Software\\\\Bad] 1700000000\n#time=1da1747c66d0000\n\"Before\"=\"x\"\n\"NoEquals\" 5\n"
    "\"Split\"=\"first\nsecond\"\n\"After\"=dword:00000002\n";
// What Wine writes for it: the value it could not read kept as REG_NONE, the rest dropped, the
// values in name order.
const std::string kBadAsWineWritesIt =
    "\n[Software\\\\Bad] 1700000000\n#time=1da1747c66d0000\n\"After\"=dword:00000002\n"
    "\"Before\"=\"x\"\n\"Split\"=hex(0):\n";

std::vector<std::string> backupsIn(const std::string& folder) {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().find(".hivora-backup-") != std::string::npos)
            found.push_back(entry.path().string());
    return found;
}

TEST(HiveRepair, RefusedHivesAreListedRefusedWithTheWayOutAndRepairedAsWineRewritesThem) {
    TempFolder temp;
    const std::string old = kHeader + kBad + kGood + kLater;  // in Wine's order
    writeFile(temp / "user.reg", old);
    writeFile(temp / "system.reg", kHeader + kGood);

    const std::vector<RefusedHive> refused = listRefusedHives(temp.path());
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].path, temp / "user.reg");
    EXPECT_EQ(refused[0].line, 9);
    EXPECT_EQ(refused[0].reason, "Malformed value name");
    EXPECT_TRUE(refused[0].repairable);

    auto store = openFileStore(temp.path(), codec936()).value();
    EXPECT_EQ(setDword(*store, kHkeyCurrentUser, "Software\\Good", "W", 1), kErrorRegistryCorrupt);
    const std::string message = store->lastErrorMessage();
    EXPECT_NE(message.find(temp / "user.reg:9: Malformed value name"), std::string::npos);
    EXPECT_NE(message.find("hivora --repair-hive " + temp / "user.reg"), std::string::npos);

    const std::time_t before = std::time(nullptr);
    ASSERT_TRUE(repairHive(temp / "user.reg").isOk());
    const std::vector<std::string> backups = backupsIn(temp.path());
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_TRUE(backups[0] == hiveBackupPath(temp / "user.reg", before) ||
                backups[0] == hiveBackupPath(temp / "user.reg", std::time(nullptr)))
        << backups[0];
    EXPECT_EQ(readFile(backups[0]), old);
    EXPECT_EQ(readFile(temp / "user.reg"), kHeader + kBadAsWineWritesIt + kGood + kLater);
    EXPECT_TRUE(listRefusedHives(temp.path()).empty());

    // The open store takes the repaired file up and writes it now.
    ASSERT_EQ(setDword(*store, kHkeyCurrentUser, "Software\\Good", "W", 1), kErrorSuccess);
    ASSERT_TRUE(store->flush().isOk());
    EXPECT_EQ(getDword(*store, kHkeyCurrentUser, "Software\\Bad", "After"), 2);
}

// --repair-hive on a FIFO or a device neither waits nor reads: it is refused, and no backup made.
TEST(HiveRepair, AFifoOrADeviceIsRefusedWithoutReading) {
    TempFolder temp;
    const std::string fifo = temp / "fifo.reg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string zero = temp / "zero.reg";
    ASSERT_EQ(::symlink("/dev/zero", zero.c_str()), 0);
    for (const std::string& path : {fifo, zero}) {
        SCOPED_TRACE(path);
        const std::optional<RefusedHive> refusal = findRefusal(path);
        ASSERT_TRUE(refusal.has_value());
        EXPECT_FALSE(refusal->repairable);
        std::string backup;
        const Status repaired = repairHive(path, {}, &backup);
        ASSERT_FALSE(repaired.isOk());
        EXPECT_NE(repaired.message().find("不是普通文件"), std::string::npos) << repaired.message();
        EXPECT_TRUE(backup.empty());
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.path()), {}), 2);
}

TEST(HiveRepair, WhatCannotBeRepairedSafelyLeavesTheHiveAsItWas) {
    const struct {
        const char* what;
        std::string text;
        bool failBackup;
        bool succeeds;
    } cases[] = {
        {"BackupFails", kHeader + kBad, true, false},
        {"WineReadsNothingOfIt", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n", false, false},
        {"UnknownArchitecture", kHeader + "#arch=win16\n" + kBad, false, false},
        {"NothingToRepair", kHeader + kGood, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder temp;
        writeFile(temp / "user.reg", c.text);
        FileStoreOptions options;
        if (c.failBackup) {
            auto creates = std::make_shared<int>(0);
            options.saveFault = [creates](std::string_view step) {
                return step == kStepCreate && (*creates)++ == 0 ? ENOSPC : 0;
            };
        }
        const Status repaired = repairHive(temp / "user.reg", options);
        EXPECT_EQ(repaired.isOk(), c.succeeds) << repaired.message();
        EXPECT_EQ(readFile(temp / "user.reg"), c.text);
        EXPECT_TRUE(backupsIn(temp.path()).empty());
        EXPECT_FALSE(hasTemporaries(temp.path()));
        EXPECT_EQ(listRefusedHives(temp.path()).empty(), c.succeeds);
    }
}

}  // namespace
}  // namespace hivora::test
