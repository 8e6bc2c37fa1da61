// The file store under faults that span files: a save of several hives that fails at each step
// (nothing changed before the renames; exactly the files named after one), and hives that are
// symbolic links into another folder, whose lock, Wine check and backup belong to that folder.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "platform/posix/file_store.h"
#include "platform/posix/wineserver_probe.h"
#include "tests/platform/fake_wineserver.h"
#include "tests/platform/store_test_support.h"

namespace hivora::test {
namespace {

constexpr const char* kKey = "Software\\Hivora";
const std::string kGoodHive =
    "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
    "#arch=win64\n\n[Software\\\\Hivora] 1700000000\n#time=1da1747c66d0000\n"
    "\"V\"=dword:00000001\n";
// A value name with no "=": a line Wine leaves out, which makes the hive refuse changes.
const std::string kBadHive = kGoodHive + "\"NoEquals\" 5\n";

// A fault that makes the n-th call of `step` fail with `error` (n from 1).
StepFault failNth(std::string_view step, int n, int error) {
    auto seen = std::make_shared<int>(0);
    return [step, n, error, seen](std::string_view at) {
        return at == step && ++*seen == n ? error : 0;
    };
}

struct Stamp {
    std::string bytes;
    std::int64_t modifiedNs = 0;
    bool operator==(const Stamp&) const = default;
};
Stamp stampFile(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return {readFile(path), std::int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

TEST(FileStoreFaults, ASaveOfTwoHivesIsAllOrNothingAndSaysWhichFilesChanged) {
    const struct {
        const char* name;
        std::string_view step;
        int n;               // which call of the step fails (1: system.reg's, 2: user.reg's)
        bool systemChanged;  // what is on disk afterwards
        const char* messagePart;
    } cases[] = {
        {"FirstTemporaryFails", kStepWrite, 1, false, "未作改动"},
        {"SecondTemporaryFails", kStepWrite, 2, false, "未作改动"},
        {"SecondSyncFails", kStepSync, 2, false, "未作改动"},
        {"FirstRenameFails", kStepRename, 1, false, "未作改动"},
        {"SecondRenameFails", kStepRename, 2, true, "未能保存"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder temp;
        {
            auto store = openFileStore(temp.path(), codec936()).value();
            ASSERT_EQ(setDword(*store, kHkeyLocalMachine, kKey, "V", 1), kErrorSuccess);
            ASSERT_EQ(setDword(*store, kHkeyCurrentUser, kKey, "V", 1), kErrorSuccess);
            ASSERT_TRUE(store->flush().isOk());
        }
        const Stamp system = stampFile(temp / "system.reg"), user = stampFile(temp / "user.reg");
        FileStoreOptions options;
        options.saveFault = failNth(c.step, c.n, ENOSPC);
        auto store = openFileStore(temp.path(), codec936(), options).value();
        ASSERT_EQ(setDword(*store, kHkeyLocalMachine, kKey, "V", 2), kErrorSuccess);
        ASSERT_EQ(setDword(*store, kHkeyCurrentUser, kKey, "V", 2), kErrorSuccess);
        const Status saved = store->flush();
        EXPECT_FALSE(saved.isOk());
        EXPECT_NE(saved.message().find(c.messagePart), std::string::npos) << saved.message();
        EXPECT_EQ(stampFile(temp / "user.reg"), user);
        EXPECT_EQ(stampFile(temp / "system.reg") == system, !c.systemChanged);
        EXPECT_FALSE(hasTemporaries(temp.path()));
        if (c.systemChanged) {
            // The message names the file saved and the one not, and the store reads as the disk.
            EXPECT_NE(saved.message().find(temp / "system.reg" + " 已保存"), std::string::npos)
                << saved.message();
            EXPECT_NE(saved.message().find(temp / "user.reg" + " 未能保存"), std::string::npos);
        }
        EXPECT_EQ(getDword(*store, kHkeyLocalMachine, kKey, "V"), c.systemChanged ? 2 : 1);
        EXPECT_EQ(getDword(*store, kHkeyCurrentUser, kKey, "V"), 1);
    }
}

TEST(FileStoreFaults, AHiveLinkedIntoAPrefixIsGuardedWhereItLeads) {
    TempFolder temp;
    const std::string store = temp / "store", prefix = temp / "prefix", base = temp / "tmp";
    for (const std::string& f : {store, prefix, base}) std::filesystem::create_directory(f);
    writeFile(prefix + "/user.reg", kGoodHive);
    std::filesystem::create_symlink(prefix + "/user.reg", store + "/user.reg");
    FileStoreOptions options;
    options.wineTempBase = base;
    const auto server = FakeWineserver::forPrefix(prefix, base);

    // A change through the link is refused, as Wine running in the prefix would overwrite it.
    auto opened = openFileStore(store, codec936(), options).value();
    EXPECT_EQ(setDword(*opened, kHkeyCurrentUser, kKey, "V", 2), kErrorBusy);
    EXPECT_EQ(opened->lastErrorMessage(), kWineserverRunningMessage);

    // The repair too, and its backup goes beside the file it copies, not beside the link.
    writeFile(prefix + "/user.reg", kBadHive);
    EXPECT_EQ(repairHive(store + "/user.reg", options).code(), kErrorBusy);
}

TEST(FileStoreFaults, ARepairThroughALinkLeavesItsBackupBesideTheTarget) {
    TempFolder temp;
    const std::string store = temp / "store", prefix = temp / "prefix";
    for (const std::string& f : {store, prefix}) std::filesystem::create_directory(f);
    writeFile(prefix + "/user.reg", kBadHive);
    std::filesystem::create_symlink(prefix + "/user.reg", store + "/user.reg");
    std::string backup;
    FileStoreOptions options;
    options.wineTempBase = temp / "tmp";
    ASSERT_TRUE(repairHive(store + "/user.reg", options, &backup).isOk());
    EXPECT_EQ(backup.rfind(prefix + "/user.reg.hivora-backup-", 0), 0u) << backup;
    EXPECT_EQ(readFile(backup), kBadHive);
    EXPECT_TRUE(std::filesystem::is_symlink(store + "/user.reg"));
    for (const auto& entry : std::filesystem::directory_iterator(store))
        EXPECT_EQ(entry.path().filename(), "user.reg");
}

}  // namespace
}  // namespace hivora::test
