// The Wine-format file store: files made at the first write, untouched files left alone, failed
// saves that leave the old file, links kept, leftovers cleaned, bad files refused and never
// overwritten, concurrent writers merged, and a running wineserver respected. The crash test is
// in file_store_crash_test.cpp.

#include "platform/posix/file_store.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

#include "platform/posix/wineserver_probe.h"
#include "tests/platform/fake_wineserver.h"
#include "tests/platform/store_test_support.h"

namespace hivora::test {
namespace {

constexpr const char* kKey = "Software\\Hivora";

std::unique_ptr<TreeRegistry> open(const std::string& folder, FileStoreOptions options = {}) {
    auto store = openFileStore(folder, codec936(), std::move(options));
    EXPECT_TRUE(store.isOk()) << store.status().message();
    return store ? std::move(store).value() : nullptr;
}

TEST(FileStore, MissingFilesAreEmptyHivesAndTheFirstWriteMakesOne) {
    TempFolder temp;
    const std::string folder = temp / "not/yet/there";
    auto store = open(folder);
    EXPECT_EQ(getDword(*store, kHkeyCurrentUser, kKey, "V"), -1);
    ASSERT_EQ(setDword(*store, kHkeyCurrentUser, kKey, "V", 7), kErrorSuccess);
    ASSERT_TRUE(store->flush().isOk());
    EXPECT_TRUE(std::filesystem::exists(folder + "/user.reg"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/system.reg"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/userdef.reg"));
    // A new hive may come to hold a logon password: only its owner can read it.
    struct stat made {};
    ASSERT_EQ(::stat((folder + "/user.reg").c_str(), &made), 0);
    EXPECT_EQ(made.st_mode & 0777, 0600u);
    const std::string text = readFile(folder + "/user.reg");
    EXPECT_EQ(text.rfind("WINE REGISTRY Version 2\n;; All keys relative to "
                         "\\\\User\\\\S-1-5-21-0-0-0-1000\n\n[Software] ",
                         0),
              0u)
        << text;
    EXPECT_NE(text.find("\n\n[Software\\\\Hivora] "), std::string::npos);
    store.reset();
    EXPECT_EQ(getDword(*open(folder), kHkeyCurrentUser, kKey, "V"), 7);
}

TEST(FileStore, UnchangedHivesAreNotWrittenAndWhatIsUnflushedIsSavedAtTheEnd) {
    TempFolder temp;
    {
        auto store = open(temp.path());
        ASSERT_EQ(setDword(*store, kHkeyLocalMachine, kKey, "M", 1), kErrorSuccess);
        ASSERT_EQ(setDword(*store, kHkeyCurrentUser, kKey, "U", 1), kErrorSuccess);
    }  // not flushed: the store saves on its way out
    const FileStamp before = stampOf(temp / "system.reg");  // a rewrite gives a new inode
    auto store = open(temp.path());
    EXPECT_EQ(getDword(*store, kHkeyLocalMachine, kKey, "M"), 1);
    ASSERT_EQ(setDword(*store, kHkeyCurrentUser, kKey, "U", 2), kErrorSuccess);
    ASSERT_TRUE(store->flush().isOk());
    EXPECT_TRUE(stampOf(temp / "system.reg") == before);
}

TEST(FileStore, FailedSavesLeaveTheOldFileAndDropTheChanges) {
    const struct {
        const char* name;
        std::string_view step;
        int error;
        RegResult code;
        const char* messagePart;
    } faults[] = {
        {"NoRightToCreate", kStepCreate, EACCES, kErrorAccessDenied, "只读"},
        {"ReadOnlyFileSystem", kStepCreate, EROFS, kErrorAccessDenied, "只读"},
        {"DiskFull", kStepWrite, ENOSPC, kErrorDiskFull, "磁盘空间不足"},
        {"SyncFails", kStepSync, EIO, kErrorWriteFault, "user.reg"},
        {"RenameFails", kStepRename, EXDEV, kErrorWriteFault, "user.reg"},
    };
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.name);
        TempFolder temp;
        FileStoreOptions options;
        bool failing = false;
        options.saveFault = [&](std::string_view step) {
            return failing && step == fault.step ? fault.error : 0;
        };
        auto store = open(temp.path(), options);
        ASSERT_EQ(setDword(*store, kHkeyCurrentUser, kKey, "V", 1), kErrorSuccess);
        ASSERT_TRUE(store->flush().isOk());
        const std::string before = readFile(temp / "user.reg");

        failing = true;
        ASSERT_EQ(setDword(*store, kHkeyCurrentUser, kKey, "V", 2), kErrorSuccess);
        const Status saved = store->flush();
        EXPECT_EQ(saved.code(), fault.code);
        EXPECT_NE(saved.message().find(fault.messagePart), std::string::npos) << saved.message();
        EXPECT_EQ(store->lastErrorMessage(), saved.message());
        EXPECT_EQ(readFile(temp / "user.reg"), before);
        EXPECT_FALSE(hasTemporaries(temp.path()));
        EXPECT_EQ(getDword(*store, kHkeyCurrentUser, kKey, "V"), 1);  // what is on disk

        failing = false;
        ASSERT_EQ(setDword(*store, kHkeyCurrentUser, kKey, "V", 3), kErrorSuccess);
        EXPECT_TRUE(store->flush().isOk());
        EXPECT_EQ(getDword(*open(temp.path()), kHkeyCurrentUser, kKey, "V"), 3);
    }
}

TEST(FileStore, AFileReachedThroughALinkStaysALink) {
    TempFolder temp;
    std::filesystem::create_directory(temp / "store");
    std::filesystem::create_directory(temp / "real");
    std::filesystem::create_symlink("../real/user.reg", temp / "store/user.reg");
    auto store = open(temp / "store");
    ASSERT_EQ(setDword(*store, kHkeyCurrentUser, kKey, "V", 5), kErrorSuccess);
    ASSERT_TRUE(store->flush().isOk());
    EXPECT_TRUE(std::filesystem::is_symlink(temp / "store/user.reg"));
    EXPECT_NE(readFile(temp / "real/user.reg").find("\"V\"=dword:00000005"), std::string::npos);
    EXPECT_FALSE(hasTemporaries(temp / "store"));
    EXPECT_FALSE(hasTemporaries(temp / "real"));
    EXPECT_EQ(getDword(*open(temp / "store"), kHkeyCurrentUser, kKey, "V"), 5);
}

// A hive that Wine made readable by others keeps its permissions when the store rewrites it.
TEST(FileStore, ARewrittenFileKeepsItsPermissions) {
    TempFolder temp;
    writeFile(temp / "user.reg", "WINE REGISTRY Version 2\n");
    ASSERT_EQ(::chmod((temp / "user.reg").c_str(), 0644), 0);
    auto store = open(temp.path());
    ASSERT_EQ(setDword(*store, kHkeyCurrentUser, kKey, "V", 1), kErrorSuccess);
    ASSERT_TRUE(store->flush().isOk());
    struct stat after {};
    ASSERT_EQ(::stat((temp / "user.reg").c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 0777, 0644u);
    EXPECT_NE(readFile(temp / "user.reg").find("\"V\"=dword:00000001"), std::string::npos);
}

TEST(FileStore, TemporariesLeftByACrashAreRemovedOnOpen) {
    TempFolder temp;
    writeFile(temp / ".system.reg.hivora-4242-7.tmp", "WINE REGISTRY Version 2\n[half");
    writeFile(temp / "notes.tmp", "not ours");
    open(temp.path());
    EXPECT_FALSE(std::filesystem::exists(temp / ".system.reg.hivora-4242-7.tmp"));
    EXPECT_TRUE(std::filesystem::exists(temp / "notes.tmp"));
}

TEST(FileStore, AFileWithBadLinesIsReadButNeverOverwritten) {
    const struct {
        const char* name;
        std::string text;
        const char* where;
        std::int64_t readBack;  // "V" as read from the file
    } cases[] = {
        {"BadLine",
         "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
         "[Software\\\\Hivora] 1\n\"V\"=dword:00000009\ngarbage\n",
         "user.reg:6: Unrecognized input", 9},
        {"NotARegistryFile", "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software]\n", "user.reg:1: not a",
         -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder temp;
        writeFile(temp / "user.reg", c.text);
        {
            auto store = open(temp.path());
            EXPECT_EQ(getDword(*store, kHkeyCurrentUser, kKey, "V"), c.readBack);
            EXPECT_EQ(setDword(*store, kHkeyCurrentUser, kKey, "W", 1), kErrorRegistryCorrupt);
            EXPECT_NE(store->lastErrorMessage().find(c.where), std::string::npos)
                << store->lastErrorMessage();
            // The other hives are still written.
            EXPECT_EQ(setDword(*store, kHkeyLocalMachine, kKey, "W", 1), kErrorSuccess);
            EXPECT_TRUE(store->flush().isOk());
        }
        EXPECT_EQ(readFile(temp / "user.reg"), c.text);
        EXPECT_TRUE(std::filesystem::exists(temp / "system.reg"));
    }
}

// Wine loads a key nested any depth; the store loads, changes, saves and frees it without a
// call per level, so the depth cannot exhaust the stack.
TEST(FileStore, KeysNestedDeeperThanAnyStackLoadSaveAndClose) {
    constexpr int kDepth = 300'000;
    std::string filePath, apiPath;
    for (int level = 0; level < kDepth; ++level) {
        filePath += level ? "\\\\k" : "k";
        apiPath += level ? "\\k" : "k";
    }
    TempFolder temp;
    writeFile(temp / "user.reg",
              "WINE REGISTRY Version 2\n\n[" + filePath + "] 1700000000\n\"D\"=dword:00000001\n");
    {
        auto store = open(temp.path());
        EXPECT_EQ(getDword(*store, kHkeyCurrentUser, apiPath.c_str(), "D"), 1);
        ASSERT_EQ(setDword(*store, kHkeyCurrentUser, apiPath.c_str(), "D", 2), kErrorSuccess);
        ASSERT_TRUE(store->flush().isOk()) << store->lastErrorMessage();
    }
    const std::string text = readFile(temp / "user.reg");
    EXPECT_NE(text.find("\n[" + filePath + "] "), std::string::npos);
    EXPECT_EQ(getDword(*open(temp.path()), kHkeyCurrentUser, apiPath.c_str(), "D"), 2);
}

// A hive that is a FIFO, a device or bigger than 1 GiB is refused before a byte is read: the open
// neither waits for a writer nor fills the memory. The window's quick check says the same.
TEST(FileStore, AFifoADeviceOrAHugeFileInAHivesPlaceIsRefusedWithoutReading) {
    const struct {
        const char* name;
        std::function<void(const std::string&)> make;
        const char* reason;
    } cases[] = {
        {"fifo", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
         "不是普通文件"},
        {"dev_zero", [](const std::string& p) { ASSERT_EQ(::symlink("/dev/zero", p.c_str()), 0); },
         "不是普通文件"},
        {"over_1_GiB",
         [](const std::string& p) {
             const int fd = ::open(p.c_str(), O_CREAT | O_WRONLY, 0600);
             ASSERT_EQ(::ftruncate(fd, (1LL << 30) + 1), 0);  // sparse: no disk taken
             ::close(fd);
         },
         "大于 1 GiB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder temp;
        c.make(temp / "user.reg");
        auto store = openFileStore(temp.path(), codec936());
        ASSERT_FALSE(store.isOk());
        EXPECT_NE(store.status().message().find("user.reg"), std::string::npos);
        EXPECT_NE(store.status().message().find(c.reason), std::string::npos)
            << store.status().message();
        const Status check = checkFileReadable(temp / "user.reg");
        EXPECT_FALSE(check.isOk());
        EXPECT_NE(check.message().find(c.reason), std::string::npos) << check.message();
    }
}

// A read-only store (--status, --history) writes nothing, not even the removal of a crashed
// save's temporary file, and refuses changes.
TEST(FileStore, AReadOnlyStoreWritesNothing) {
    TempFolder temp;
    const std::string leftover = temp / ".user.reg.hivora-1-1.tmp";
    writeFile(leftover, "half");
    FileStoreOptions options;
    options.readOnly = true;
    auto store = open(temp.path(), options);
    EXPECT_NE(setDword(*store, kHkeyCurrentUser, kKey, "V", 1), kErrorSuccess);
    EXPECT_TRUE(store->flush().isOk());
    store.reset();
    EXPECT_TRUE(std::filesystem::exists(leftover));
    EXPECT_FALSE(std::filesystem::exists(temp / "user.reg"));
}

// A value name of 16,384 characters is left out as Wine leaves it out; the hive stays writable
// and the line is not lost when it is saved.
TEST(FileStore, AValueNameTooLongIsLeftOutAndTheHiveStaysWritable) {
    TempFolder temp;
    const std::string longLine = "\"" + std::string(16384, 'n') + "\"=dword:00000001\n";
    writeFile(temp / "user.reg",
              "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
              "[Software\\\\Hivora] 1700000000\n" +
                  longLine + "\"V\"=dword:00000002\n");
    auto store = open(temp.path());
    EXPECT_EQ(getDword(*store, kHkeyCurrentUser, kKey, "V"), 2);
    EXPECT_TRUE(listRefusedHives(temp.path()).empty());
    ASSERT_EQ(setDword(*store, kHkeyCurrentUser, kKey, "W", 3), kErrorSuccess);
    ASSERT_TRUE(store->flush().isOk()) << store->lastErrorMessage();
    EXPECT_NE(readFile(temp / "user.reg").find(longLine), std::string::npos);
    EXPECT_EQ(getDword(*open(temp.path()), kHkeyCurrentUser, kKey, "W"), 3);
}

// A value name of the longest length Windows allows is saved and read back from the file whole.
TEST(FileStore, TheLongestValueNameSurvivesTheFile) {
    TempFolder temp;
    const std::string name(16383, 'n');
    {
        auto store = open(temp.path());
        ASSERT_EQ(setDword(*store, kHkeyCurrentUser, kKey, name.c_str(), 5), kErrorSuccess);
        ASSERT_TRUE(store->flush().isOk()) << store->lastErrorMessage();
    }
    EXPECT_EQ(getDword(*open(temp.path()), kHkeyCurrentUser, kKey, name.c_str()), 5);
}

TEST(FileStore, AFileThatCannotBeReadFailsTheOpen) {
    TempFolder temp;
    std::filesystem::create_directory(temp / "system.reg");  // unreadable as a file, even for root
    auto store = openFileStore(temp.path(), codec936());
    ASSERT_FALSE(store.isOk());
    EXPECT_NE(store.status().message().find("无法读取注册表文件"), std::string::npos);
    EXPECT_NE(store.status().message().find("system.reg"), std::string::npos);
}

TEST(FileStore, ConcurrentWritersKeepEachOthersChanges) {
    TempFolder temp;
    auto first = open(temp.path());
    auto second = open(temp.path());
    ASSERT_EQ(setDword(*first, kHkeyCurrentUser, kKey, "A", 1), kErrorSuccess);
    ASSERT_TRUE(first->flush().isOk());
    EXPECT_EQ(getDword(*second, kHkeyCurrentUser, kKey, "A"), 1);  // read again from disk

    // Both change the hive before either saves; the later save merges onto the earlier one.
    ASSERT_EQ(setDword(*second, kHkeyCurrentUser, kKey, "B", 2), kErrorSuccess);
    ASSERT_EQ(setDword(*first, kHkeyCurrentUser, kKey, "C", 3), kErrorSuccess);
    ASSERT_EQ(setDword(*first, kHkeyCurrentUser, kKey, "A", 4), kErrorSuccess);
    ASSERT_TRUE(first->flush().isOk());
    ASSERT_TRUE(second->flush().isOk());

    // Another program rewrites the file while a change is pending.
    ASSERT_EQ(setDword(*first, kHkeyCurrentUser, kKey, "D", 5), kErrorSuccess);
    std::string text = readFile(temp / "user.reg");
    text += "\n[Software\\\\Other] 1700000000\n\"E\"=dword:00000006\n";
    writeFile(temp / "user.reg", text);
    ASSERT_TRUE(first->flush().isOk());

    auto third = open(temp.path());
    for (auto [name, value] : {std::pair{"A", 4}, {"B", 2}, {"C", 3}, {"D", 5}})
        EXPECT_EQ(getDword(*third, kHkeyCurrentUser, kKey, name), value) << name;
    EXPECT_EQ(getDword(*third, kHkeyCurrentUser, "Software\\Other", "E"), 6);
}

// Another program rewrites the hive with a line it cannot read after a change and before the
// flush: the flush refuses, drops the change and leaves that program's file byte for byte.
TEST(FileStore, AHiveMadeUnreadableBeforeTheFlushIsLeftAsTheOtherProgramWroteIt) {
    TempFolder temp;
    auto store = open(temp.path());
    ASSERT_EQ(setDword(*store, kHkeyCurrentUser, kKey, "V", 1), kErrorSuccess);
    ASSERT_TRUE(store->flush().isOk());

    ASSERT_EQ(setDword(*store, kHkeyCurrentUser, kKey, "V", 2), kErrorSuccess);
    const std::string foreign =
        "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
        "[Software\\\\Hivora] 1700000000\n\"V\"=dword:00000007\nnot a registry line\n";
    writeFile(temp / "user.reg", foreign);

    const Status saved = store->flush();
    EXPECT_EQ(saved.code(), kErrorRegistryCorrupt);
    EXPECT_NE(saved.message().find("user.reg"), std::string::npos) << saved.message();
    EXPECT_EQ(readFile(temp / "user.reg"), foreign);
    EXPECT_FALSE(hasTemporaries(temp.path()));
    EXPECT_EQ(getDword(*store, kHkeyCurrentUser, kKey, "V"), 7);  // what is on disk
}

// The folder in which a server for `prefix` keeps its lock, below `base`: named by the prefix's
// device and inode, inside ".wine-<uid>" as Wine is released, or inside the folder named in the
// prefix's "wineserver" file as Debian's Wine does.
std::string serverFolder(const std::string& prefix, const std::string& base,
                         const char* debianName) {
    struct stat st {};
    ::stat(prefix.c_str(), &st);
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, "/server-%llx-%llx", (unsigned long long)st.st_dev,
                  (unsigned long long)st.st_ino);
    return base + "/" + (debianName ? debianName : ".wine-" + std::to_string(::getuid())) + suffix;
}

TEST(FileStore, NothingIsWrittenWhileAWineserverRuns) {
    for (const char* debianName : {static_cast<const char*>(nullptr), "wine-Ab12Cd"}) {
        SCOPED_TRACE(debianName ? "Debian" : "AsReleased");
        TempFolder temp;
        const std::string prefix = temp / "prefix", base = temp / "tmp";
        std::filesystem::create_directory(prefix);
        std::filesystem::create_directory(base);
        if (debianName) writeFile(prefix + "/wineserver", debianName);
        FileStoreOptions options;
        options.wineTempBase = base;
        auto store = open(prefix, options);
        ASSERT_EQ(setDword(*store, kHkeyCurrentUser, kKey, "Before", 1), kErrorSuccess);
        {
            FakeWineserver server(serverFolder(prefix, base, debianName));
            EXPECT_TRUE(wineserverRunning(prefix, base));
            const Status saved = store->flush();  // the pending change is refused at saving
            EXPECT_EQ(saved.code(), kErrorBusy);
            EXPECT_EQ(saved.message(), kWineserverRunningMessage);
            EXPECT_EQ(setDword(*store, kHkeyCurrentUser, kKey, "During", 1), kErrorBusy);
            EXPECT_EQ(store->lastErrorMessage(), kWineserverRunningMessage);
            EXPECT_FALSE(std::filesystem::exists(prefix + "/user.reg"));
        }
        // The server has gone; its folder stays behind, as Wine leaves it.
        EXPECT_FALSE(wineserverRunning(prefix, base));
        ASSERT_EQ(setDword(*store, kHkeyCurrentUser, kKey, "After", 1), kErrorSuccess);
        EXPECT_TRUE(store->flush().isOk());
        EXPECT_EQ(getDword(*store, kHkeyCurrentUser, kKey, "Before"), -1);
        EXPECT_EQ(getDword(*store, kHkeyCurrentUser, kKey, "After"), 1);
    }
}

TEST(FileStore, TheDefaultFolderFollowsXdgDataHomeThenHome) {
    const std::string xdg = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "",
                      home = std::getenv("HOME") ? std::getenv("HOME") : "";
    const struct {
        const char* xdg;  // null: unset
        const char* folder;
    } cases[] = {
        {"/data/here", "/data/here/hivora/registry"},
        {"relative/ignored", "/home/someone/.local/share/hivora/registry"},
        {nullptr, "/home/someone/.local/share/hivora/registry"},
    };
    ::setenv("HOME", "/home/someone", 1);
    for (const auto& c : cases) {
        c.xdg ? ::setenv("XDG_DATA_HOME", c.xdg, 1) : ::unsetenv("XDG_DATA_HOME");
        EXPECT_EQ(defaultStoreDirectory(), c.folder) << (c.xdg ? c.xdg : "unset");
    }
    xdg.empty() ? ::unsetenv("XDG_DATA_HOME") : ::setenv("XDG_DATA_HOME", xdg.c_str(), 1);
    ::setenv("HOME", home.c_str(), 1);
}

}  // namespace
}  // namespace hivora::test
