// The registry the window uses, beyond what the shared suite asks of it: flush() saves what was
// changed to the store's files, where another store opened on the folder reads it, and a store
// that cannot be opened fails every call with the reason.

#include "app/lazy_registry.h"

#include <gtest/gtest.h>

#include "platform/posix/file_store.h"
#include "tests/platform/store_test_support.h"

namespace hivora::test {
namespace {

constexpr const char* kKey = "Software\\Hivora";

LazyRegistry lazyStoreIn(const std::string& folder) {
    Options options;
    options.storeDirectory = folder;
    options.codePage = 936;
    return LazyRegistry([options] { return chooseRegistry(options); });
}

TEST(LazyRegistry, AfterFlushTheChangeIsOnDiskForASecondStore) {
    TempFolder temp;
    LazyRegistry lazy = lazyStoreIn(temp.path());
    ASSERT_EQ(setDword(lazy, kHkeyCurrentUser, kKey, "V", 1), kErrorSuccess);
    ASSERT_TRUE(lazy.flush().isOk()) << lazy.lastErrorMessage();
    // The lazy registry stays open, so nothing saves on its way out before the reading.
    auto second = openFileStore(temp.path(), codec936());
    ASSERT_TRUE(second) << second.status().message();
    EXPECT_EQ(getDword(*second.value(), kHkeyCurrentUser, kKey, "V"), 1);

    ASSERT_EQ(setDword(lazy, kHkeyCurrentUser, kKey, "V", 2), kErrorSuccess);
    ASSERT_TRUE(lazy.flush().isOk());
    EXPECT_EQ(getDword(*second.value(), kHkeyCurrentUser, kKey, "V"), 2);
}

TEST(LazyRegistry, AStoreThatCannotBeOpenedFailsEveryCallWithTheReason) {
    TempFolder temp;
    std::filesystem::create_directory(temp / "user.reg");  // unreadable as a file
    LazyRegistry lazy = lazyStoreIn(temp.path());
    EXPECT_FALSE(lazy.isOpen());
    EXPECT_EQ(setDword(lazy, kHkeyCurrentUser, kKey, "V", 1), kErrorAccessDenied);
    EXPECT_EQ(getDword(lazy, kHkeyCurrentUser, kKey, "V"), -1);
    const Status flushed = lazy.flush();
    EXPECT_FALSE(flushed.isOk());
    EXPECT_NE(lazy.lastErrorMessage().find("user.reg"), std::string::npos)
        << lazy.lastErrorMessage();
    EXPECT_EQ(flushed.message(), lazy.lastErrorMessage());
}

}  // namespace
}  // namespace hivora::test
