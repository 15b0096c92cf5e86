#include "platform/InstanceLock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "tests/support/TempDir.h"

using testing_support::TempDir;
using Result = platform::InstanceLock::Result;

TEST(InstanceLock, OneHolderAtATimeUntilItGoesAway) {
    TempDir dir;
    auto first = std::make_unique<platform::InstanceLock>("mapeditor", dir.path());
    ASSERT_EQ(first->acquire(), Result::Acquired);
    EXPECT_EQ(first->acquire(), Result::Acquired) << "asking again while holding it";
    EXPECT_EQ(first->path(), dir.file("mapeditor.lock"));

    // Another process is refused while the first holds the lock.
    const pid_t child = ::fork();
    if (child == 0) {
        platform::InstanceLock second("mapeditor", dir.path());
        ::_exit(second.acquire() == Result::HeldElsewhere ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the second start was not refused";

    platform::InstanceLock sameProcess("mapeditor", dir.path());
    EXPECT_EQ(sameProcess.acquire(), Result::HeldElsewhere);
    first.reset();
    EXPECT_EQ(sameProcess.acquire(), Result::Acquired) << "free again once the holder is gone";
}

TEST(InstanceLock, WhatOthersCouldSpoilIsAnErrorNotAnotherCopy) {
    const std::string notOurFolder = ": not a folder of this user's alone";
    for (int spoil = 0; spoil < 5; ++spoil) {
        TempDir d;
        std::string folder = d.path(), error;
        const std::string lockFile = d.file("mapeditor.lock");
        switch (spoil) {
            case 0:  // missing
                folder = d.file("none");
                error = folder + ": No such file or directory";
                break;
            case 1:  // others may write to it
                ::chmod(folder.c_str(), 0777);
                error = folder + notOurFolder;
                break;
            case 2:  // a link in place of the folder
                ::symlink(d.path().c_str(), d.file("link").c_str());
                folder = d.file("link");
                error = folder + notOurFolder;
                break;
            case 3:  // a link in place of the lock file
                ::symlink(d.file("elsewhere").c_str(), lockFile.c_str());
                error = lockFile + ": Too many levels of symbolic links";
                break;
            default:  // a lock file of another user (only root can give a file away)
                testing_support::writeText(lockFile, "");
                if (::getuid() != 0 || ::chown(lockFile.c_str(), 4321, 4321) != 0) {
                    continue;
                }
                error = lockFile + ": not a lock file of this user's";
                break;
        }
        platform::InstanceLock lock("mapeditor", folder);
        EXPECT_EQ(lock.acquire(), Result::Failed) << error;
        EXPECT_EQ(lock.error(), error);
        EXPECT_FALSE(lock.isHeld());
    }
}

TEST(InstanceLock, LivesInTheRuntimeFolderOrInAFolderOfItsOwn) {
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string before = saved != nullptr ? saved : "";
    const std::string own = "/tmp/mapeditor-" + std::to_string(::getuid()) + "/mapeditor.lock";
    TempDir dir;
    ::setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1);
    EXPECT_EQ(platform::InstanceLock("mapeditor").path(), dir.file("mapeditor.lock"));
    ::chmod(dir.path().c_str(), 0777);
    EXPECT_EQ(platform::InstanceLock("mapeditor").path(), own) << "a runtime folder others share";
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(platform::InstanceLock("mapeditor").path(), own);
    if (saved != nullptr) {
        ::setenv("XDG_RUNTIME_DIR", before.c_str(), 1);
    }
}
