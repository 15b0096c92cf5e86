#pragma once

#include <string>

namespace platform {

// Keeps a second copy of the program from starting: an advisory lock on a per-user file named
// after the program. The lock is held from a successful tryAcquire until the object goes away
// (or the process ends, however it ends).
class InstanceLock {
public:
    // The lock file: $XDG_RUNTIME_DIR/<name>.lock, or /tmp/<name>-<uid>.lock without one.
    explicit InstanceLock(const std::string& name);
    // For tests: the lock file's folder given.
    InstanceLock(const std::string& name, const std::string& folder);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another holder has it (or the file cannot be made: then nothing can be
    // promised, and the caller is better off starting than refusing to).
    bool tryAcquire();
    bool isHeld() const { return m_fd >= 0; }
    const std::string& path() const { return m_path; }
    // Whether the lock file could not be opened at all at the last tryAcquire.
    bool unavailable() const { return m_unavailable; }

private:
    std::string m_path;
    int m_fd = -1;
    bool m_unavailable = false;
};

}  // namespace platform
