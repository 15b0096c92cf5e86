#include "platform/InstanceLock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>

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
    const struct {
        const char* what;
        std::function<std::string(const TempDir&)> folder;
        std::string (*error)(const std::string& folder);
    } cases[] = {
        {"a missing folder", [](const TempDir& d) { return d.file("none"); },
         [](const std::string& f) { return f + ": No such file or directory"; }},
        {"a folder others may write to",
         [](const TempDir& d) {
             ::chmod(d.path().c_str(), 0777);
             return d.path();
         },
         [](const std::string& f) { return f + ": not a folder of this user's alone"; }},
        {"a link in place of the folder",
         [](const TempDir& d) {
             ::mkdir(d.file("real").c_str(), 0700);
             ::symlink(d.file("real").c_str(), d.file("link").c_str());
             return d.file("link");
         },
         [](const std::string& f) { return f + ": not a folder of this user's alone"; }},
        {"a link in place of the lock file",
         [](const TempDir& d) {
             ::symlink(d.file("elsewhere").c_str(), d.file("mapeditor.lock").c_str());
             return d.path();
         },
         [](const std::string& f) {
             return f + "/mapeditor.lock: Too many levels of symbolic links";
         }},
        {"a lock file of another user",
         [](const TempDir& d) {
             testing_support::writeText(d.file("mapeditor.lock"), "");
             if (::getuid() == 0) {
                 EXPECT_EQ(::chown(d.file("mapeditor.lock").c_str(), 4321, 4321), 0);
             }
             return d.path();
         },
         [](const std::string& f) {
             return f + "/mapeditor.lock: not a lock file of this user's";
         }},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string folder = c.folder(dir);
        platform::InstanceLock lock("mapeditor", folder);
        if (std::string(c.what) == "a lock file of another user" && ::getuid() != 0) {
            continue;  // only root can give a file away
        }
        EXPECT_EQ(lock.acquire(), Result::Failed) << c.what;
        EXPECT_EQ(lock.error(), c.error(folder)) << c.what;
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
