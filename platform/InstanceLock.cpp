#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

// Whether folder is a real folder (no link) of this user that nobody else may write to; why
// not in why. Anyone else who could write there could put their own lock file in its place.
bool isPrivateFolder(const std::string& folder, std::string& why) {
    struct stat st;
    if (::lstat(folder.c_str(), &st) != 0) {
        why = folder + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid() || (st.st_mode & 022) != 0) {
        why = folder + ": not a folder of this user's alone";
        return false;
    }
    return true;
}

}  // namespace

InstanceLock::InstanceLock(const std::string& name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string why;
    if (runtime != nullptr && *runtime != '\0' && isPrivateFolder(runtime, why)) {
        m_folder = runtime;
    } else {
        m_folder = "/tmp/" + name + "-" + std::to_string(::getuid());
        m_makeFolder = true;
    }
    m_path = m_folder + "/" + name + ".lock";
}

InstanceLock::InstanceLock(const std::string& name, const std::string& folder)
    : m_folder(folder), m_path(folder + "/" + name + ".lock") {}

InstanceLock::~InstanceLock() {
    if (m_fd >= 0) {
        ::close(m_fd);  // releases the lock; the file stays for the next start
    }
}

InstanceLock::Result InstanceLock::acquire() {
    if (m_fd >= 0) {
        return Result::Acquired;
    }
    m_error.clear();
    if (m_makeFolder && ::mkdir(m_folder.c_str(), 0700) != 0 && errno != EEXIST) {
        m_error = m_folder + ": " + std::strerror(errno);
        return Result::Failed;
    }
    if (!isPrivateFolder(m_folder, m_error)) {
        return Result::Failed;
    }
    const int fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        m_error = m_path + ": " + std::strerror(errno);
        return Result::Failed;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid()) {
        ::close(fd);
        m_error = m_path + ": not a lock file of this user's";
        return Result::Failed;
    }
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) {
            continue;
        }
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) {
            return Result::HeldElsewhere;
        }
        m_error = m_path + ": " + std::strerror(error);
        return Result::Failed;
    }
    m_fd = fd;
    return Result::Acquired;
}

}  // namespace platform
