#include "platform/RecoveryFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>

namespace platform {

namespace {

const char kLockName[] = "lock";

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

// Makes every missing folder of path, each 0700; on failure, says which and why.
bool makeFolders(const std::string& path, std::string& error) {
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/') {
            continue;
        }
        const std::string part = path.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            error = systemError(part);
            return false;
        }
    }
    return true;
}

bool isPrivateFolder(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 022) == 0;
}

// Opens and locks the folder's lock file; -1 when it cannot (errno EWOULDBLOCK: held).
int lockFolder(const std::string& folder, bool create) {
    const std::string path = folder + "/" + kLockName;
    const int fd =
        ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT : 0), 0600);
    if (fd < 0) {
        return -1;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid()) {
        ::close(fd);
        errno = EPERM;
        return -1;
    }
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) {
            continue;
        }
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

std::string newFolderName() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::random_device random;
    char tail[32];
    std::snprintf(tail, sizeof tail, "-%d-%08x", static_cast<int>(::getpid()),
                  static_cast<unsigned>(random()));
    return std::string(stamp) + tail;
}

template <typename F>
void forEachEntry(const std::string& folder, F f) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            f(name);
        }
    }
    ::closedir(dir);
}

}  // namespace

RecoveryFolder::~RecoveryFolder() {
    if (m_lockFd >= 0) {
        ::close(m_lockFd);
    }
}

std::string RecoveryFolder::defaultRoot() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') {
        return std::string(state) + "/pelorin/recovery";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr && home[0] == '/' ? home : "/tmp") +
           "/.local/state/pelorin/recovery";
}

Outcome<std::unique_ptr<RecoveryFolder>> RecoveryFolder::create(const std::string& root) {
    using Made = Outcome<std::unique_ptr<RecoveryFolder>>;
    std::string error;
    if (!makeFolders(root, error)) {
        return Made::because(error);
    }
    if (!isPrivateFolder(root)) {
        return Made::because(root + ": not a folder of this user's alone");
    }
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::string name = newFolderName();
        const std::string hidden = root + "/." + name;
        const std::string path = root + "/" + name;
        if (::mkdir(hidden.c_str(), 0700) != 0) {
            if (errno == EEXIST) {
                continue;
            }
            return Made::because(systemError(hidden));
        }
        const int fd = lockFolder(hidden, true);
        if (fd < 0) {
            Made failed = Made::because(systemError(hidden + "/" + kLockName));
            ::rmdir(hidden.c_str());
            return failed;
        }
        if (::rename(hidden.c_str(), path.c_str()) != 0) {
            Made failed = Made::because(systemError(path));
            ::unlink((hidden + "/" + kLockName).c_str());
            ::rmdir(hidden.c_str());
            ::close(fd);
            return failed;
        }
        return {std::unique_ptr<RecoveryFolder>(new RecoveryFolder(path, fd)), {}};
    }
    return Made::because(root + ": no free folder name");
}

Outcome<std::unique_ptr<RecoveryFolder>> RecoveryFolder::take(const std::string& path) {
    using Made = Outcome<std::unique_ptr<RecoveryFolder>>;
    if (!isPrivateFolder(path)) {
        return Made::because(path + ": not a folder of this user's alone");
    }
    const int fd = lockFolder(path, true);
    if (fd < 0) {
        return Made::because(errno == EWOULDBLOCK ? "running"
                                                  : systemError(path + "/" + kLockName));
    }
    return {std::unique_ptr<RecoveryFolder>(new RecoveryFolder(path, fd)), {}};
}

std::vector<RecoveryFolder::Entry> RecoveryFolder::list(const std::string& root) {
    std::vector<Entry> entries;
    forEachEntry(root, [&](const std::string& name) {
        const std::string path = root + "/" + name;
        if (name[0] == '.' || !isPrivateFolder(path)) {
            return;
        }
        Entry entry{path, name, false};
        const int fd = ::open((path + "/" + kLockName).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd >= 0) {
            int result;
            while ((result = ::flock(fd, LOCK_SH | LOCK_NB)) != 0 && errno == EINTR) {
            }
            entry.running = result != 0 && errno == EWOULDBLOCK;
            ::close(fd);  // a shared lock taken only to look goes with the descriptor
        }
        entries.push_back(std::move(entry));
    });
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return entries;
}

std::string RecoveryFolder::name() const {
    return m_path.substr(m_path.rfind('/') + 1);
}

std::vector<std::string> RecoveryFolder::filesIn(const std::string& path) {
    std::vector<std::string> names;
    forEachEntry(path, [&](const std::string& name) {
        if (name != kLockName && name[0] != '.') {
            names.push_back(name);
        }
    });
    std::sort(names.begin(), names.end());
    return names;
}

bool RecoveryFolder::removeFile(const std::string& name) const {
    return ::unlink(file(name).c_str()) == 0 || errno == ENOENT;
}

bool RecoveryFolder::remove() {
    forEachEntry(m_path, [&](const std::string& name) {
        struct stat st;
        if (name != kLockName && ::lstat(file(name).c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
            ::unlink(file(name).c_str());
        }
    });
    // The lock goes last, while it is still held, so that nobody takes a half-removed folder.
    ::unlink(file(kLockName).c_str());
    const bool removed = ::rmdir(m_path.c_str()) == 0;
    if (m_lockFd >= 0) {
        ::close(m_lockFd);
        m_lockFd = -1;
    }
    return removed;
}

}  // namespace platform
