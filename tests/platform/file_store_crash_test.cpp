// A crash during a save: a child process saves the store in a loop and is killed at random
// moments, many times. Every time, the file must read as one whole version, old or new: the two
// values each version writes together are equal and no line is torn. And two processes saving at
// the same moment keep each other's values.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "platform/posix/file_store.h"
#include "platform/wine_hive_format.h"
#include "tests/platform/store_test_support.h"

namespace hivora::test {
namespace {

constexpr const char* kKey = "Software\\Hivora";

std::uint32_t dwordIn(const TreeKey& key, std::u16string_view name) {
    const TreeValue* v = key.findValue(name);
    if (!v || v->data.size() != 4) return 0xFFFFFFFF;
    return v->data[0] | (v->data[1] << 8) | (v->data[2] << 16) | (std::uint32_t(v->data[3]) << 24);
}

// Runs in the child: saves A = B = n for n = 1, 2, ... until killed, telling the parent after
// each save.
[[noreturn]] void saveForever(const std::string& folder, int tell) {
    auto store = openFileStore(folder, codec936());
    if (!store) ::_exit(2);
    TreeRegistry& registry = *store.value();
    for (std::uint32_t n =
             static_cast<std::uint32_t>(getDword(registry, kHkeyCurrentUser, kKey, "A")) + 1;
         ; ++n) {
        setDword(registry, kHkeyCurrentUser, kKey, "A", n);
        setDword(registry, kHkeyCurrentUser, kKey, "B", n);
        if (!registry.flush().isOk()) ::_exit(3);
        const char saved = 1;
        (void)!::write(tell, &saved, 1);
    }
}

TEST(FileStoreCrash, AKillDuringASaveLeavesTheOldOrTheNewFile) {
    TempFolder temp;
    {
        // Enough keys that a save takes a while and kills land inside one.
        auto store = openFileStore(temp.path(), codec936()).value();
        for (int i = 0; i < 1500; ++i) {
            const std::string path = "Software\\Filler\\Key" + std::to_string(i);
            setDword(*store, kHkeyCurrentUser, path.c_str(), "Value",
                     static_cast<std::uint32_t>(i));
        }
        setDword(*store, kHkeyCurrentUser, kKey, "A", 0);
        setDword(*store, kHkeyCurrentUser, kKey, "B", 0);
        ASSERT_TRUE(store->flush().isOk());
    }

    std::mt19937 random(20240607);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);  // generous: a loaded machine saves slowly
    int rounds = 0, killedMidSave = 0;
    std::uint32_t lastSeen = 0;
    while (rounds < 30 && std::chrono::steady_clock::now() < deadline) {
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeEnds[0]);
            saveForever(temp.path(), pipeEnds[1]);
        }
        ::close(pipeEnds[1]);
        // Wait for a first save, so the child is inside its loop, then kill it a random moment
        // later: before, inside or after one of its saves.
        char saved = 0;
        const bool running = ::read(pipeEnds[0], &saved, 1) == 1;
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 4000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(pipeEnds[0]);
        ASSERT_TRUE(running) << "the saving child failed, status " << status;
        ++rounds;

        killedMidSave += hasTemporaries(temp.path());
        const ParsedHive parsed =
            parseHive(std::make_shared<const std::string>(readFile(temp / "user.reg")));
        ASSERT_TRUE(parsed.diagnostics.empty())
            << formatDiagnostic("user.reg", parsed.diagnostics.front());
        const TreeKey* key = parsed.tree->findKey({u"Software", u"Hivora"});
        ASSERT_NE(key, nullptr);
        const std::uint32_t a = dwordIn(*key, u"A");
        EXPECT_EQ(a, dwordIn(*key, u"B"));
        EXPECT_GE(a, lastSeen);  // never an older version than one already seen
        lastSeen = a;
        EXPECT_EQ(dwordIn(*parsed.tree->findKey({u"Software", u"Filler", u"Key1499"}), u"Value"),
                  1499u);
    }
    EXPECT_GE(rounds, 10);
    RecordProperty("rounds", rounds);
    RecordProperty("killedMidSave", killedMidSave);
    // The next open removes what the killed saves left.
    ASSERT_TRUE(openFileStore(temp.path(), codec936()).isOk());
    EXPECT_FALSE(hasTemporaries(temp.path()));
}

// Two processes save into one folder at the same moment, many times over. Each save holds its
// write step for a while, so without the folder's lock the other process would read the old file
// in that window and its rename would drop this one's value.
TEST(FileStoreSaves, TwoProcessesSavingAtOnceKeepEachOthersValues) {
    constexpr int kRounds = 12;
    TempFolder temp;
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    pid_t children[2] = {-1, -1};
    for (int who = 0; who < 2; ++who) {
        children[who] = ::fork();
        ASSERT_GE(children[who], 0);
        if (children[who] != 0) continue;
        ::close(start[1]);
        char go = 0;
        if (::read(start[0], &go, 1) != 1) ::_exit(4);  // both begin together
        FileStoreOptions options;
        options.saveFault = [](std::string_view step) {
            if (step == kStepWrite) ::usleep(3000);
            return 0;
        };
        auto store = openFileStore(temp.path(), codec936(), options);
        if (!store) ::_exit(2);
        for (int n = 0; n < kRounds; ++n) {
            const std::string name = std::string(who ? "B" : "A") + std::to_string(n);
            if (setDword(*store.value(), kHkeyCurrentUser, kKey, name.c_str(),
                         static_cast<std::uint32_t>(n)) != kErrorSuccess)
                ::_exit(3);
            if (!store.value()->flush().isOk()) ::_exit(3);
        }
        ::_exit(0);
    }
    ::close(start[0]);
    const char go[2] = {1, 1};
    ASSERT_EQ(::write(start[1], go, 2), 2);
    ::close(start[1]);
    for (pid_t child : children) {
        int status = -1;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    }
    auto opened = openFileStore(temp.path(), codec936());
    ASSERT_TRUE(opened) << opened.status().message();
    TreeRegistry& store = *opened.value();
    for (const char* who : {"A", "B"})
        for (int n = 0; n < kRounds; ++n) {
            const std::string name = who + std::to_string(n);
            EXPECT_EQ(getDword(store, kHkeyCurrentUser, kKey, name.c_str()), n) << name;
        }
    EXPECT_FALSE(hasTemporaries(temp.path()));
}

}  // namespace
}  // namespace hivora::test
