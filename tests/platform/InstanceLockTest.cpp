#include "platform/InstanceLock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/TempDir.h"

using testing_support::TempDir;

TEST(InstanceLock, OneHolderAtATimeUntilItGoesAway) {
    TempDir dir;
    auto first = std::make_unique<platform::InstanceLock>("mapeditor", dir.path());
    ASSERT_TRUE(first->tryAcquire());
    EXPECT_TRUE(first->tryAcquire()) << "asking again while holding it";
    EXPECT_EQ(first->path(), dir.file("mapeditor.lock"));

    // Another process is refused while the first holds the lock.
    const pid_t child = ::fork();
    if (child == 0) {
        platform::InstanceLock second("mapeditor", dir.path());
        ::_exit(second.tryAcquire() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the second start was not refused";

    platform::InstanceLock sameProcess("mapeditor", dir.path());
    EXPECT_FALSE(sameProcess.tryAcquire());
    EXPECT_FALSE(sameProcess.unavailable());
    first.reset();
    EXPECT_TRUE(sameProcess.tryAcquire()) << "free again once the holder is gone";

    platform::InstanceLock nowhere("mapeditor", dir.file("no/such/folder"));
    EXPECT_FALSE(nowhere.tryAcquire());
    EXPECT_TRUE(nowhere.unavailable());
}
