#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {

namespace {

std::string defaultFolderFor(const std::string& name, std::string& fileName) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st;
    if (runtime != nullptr && *runtime != '\0' && ::stat(runtime, &st) == 0 &&
        S_ISDIR(st.st_mode)) {
        fileName = name + ".lock";
        return runtime;
    }
    fileName = name + "-" + std::to_string(::getuid()) + ".lock";
    return "/tmp";
}

}  // namespace

InstanceLock::InstanceLock(const std::string& name) {
    std::string fileName;
    const std::string folder = defaultFolderFor(name, fileName);
    m_path = folder + "/" + fileName;
}

InstanceLock::InstanceLock(const std::string& name, const std::string& folder)
    : m_path(folder + "/" + name + ".lock") {}

InstanceLock::~InstanceLock() {
    if (m_fd >= 0) {
        ::close(m_fd);  // releases the lock; the file stays for the next start
    }
}

bool InstanceLock::tryAcquire() {
    if (m_fd >= 0) {
        return true;
    }
    m_unavailable = false;
    const int fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        m_unavailable = true;
        return false;
    }
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EINTR) {
            ::close(fd);
            return false;
        }
    }
    m_fd = fd;
    return true;
}

}  // namespace platform
