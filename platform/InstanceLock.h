#pragma once

#include <string>

namespace platform {

// Keeps a second copy of the program from starting: an advisory lock on a per-user file named
// after the program, in a folder that only this user can write to. The lock is held from a
// successful acquire until the object goes away (or the process ends, however it ends).
class InstanceLock {
public:
    enum class Result {
        Acquired,       // held now (also when it already was)
        HeldElsewhere,  // another copy holds it
        Failed,         // nothing can be said: error() tells why
    };

    // The lock file <name>.lock in $XDG_RUNTIME_DIR, or without a usable one in the folder
    // /tmp/<name>-<uid>, made for this user alone when missing.
    explicit InstanceLock(const std::string& name);
    // For tests: the lock file's folder given (it must exist and be this user's alone).
    InstanceLock(const std::string& name, const std::string& folder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    Result acquire();
    bool isHeld() const { return m_fd >= 0; }
    const std::string& path() const { return m_path; }
    // What went wrong at the last acquire that failed: the file or folder and the reason.
    const std::string& error() const { return m_error; }

private:
    std::string m_folder;
    std::string m_path;
    bool m_makeFolder = false;
    int m_fd = -1;
    std::string m_error;
};

}  // namespace platform
