#include "platform/FileIo.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace platform {

namespace {

std::string describe(const std::string& what, const std::string& path, int err) {
    return what + " " + path + ": " + std::strerror(err);
}

// At most this many bytes a system call when the caller follows the progress, so that it hears
// of it often enough to keep a window painted.
constexpr std::size_t kProgressStep = 16u << 20;

int boundedCount(const iovec* v, int n) {
    std::size_t bytes = 0;
    int count = 0;
    while (count < n && (count == 0 || bytes + v[count].iov_len <= kProgressStep)) {
        bytes += v[count++].iov_len;
    }
    return count;
}

// Moves every byte of the iovecs through transfer (a writev or a preadv at a running offset),
// going on after short transfers and interruptions; with progress, in steps of about
// kProgressStep bytes, telling it after each.
template <typename Transfer>
bool transferAll(std::vector<iovec>& iov, Transfer transfer, const Progress& progress = {}) {
    std::uint64_t total = 0, done = 0;
    for (const iovec& v : iov) {
        total += v.iov_len;
    }
    std::size_t first = 0;
    while (first < iov.size()) {
        const int count = static_cast<int>(std::min<std::size_t>(iov.size() - first, IOV_MAX));
        const ssize_t n =
            transfer(&iov[first], progress ? boundedCount(&iov[first], count) : count);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        std::size_t moved = static_cast<std::size_t>(n);
        done += moved;
        while (first < iov.size() && moved >= iov[first].iov_len) {
            moved -= iov[first].iov_len;
            ++first;
        }
        if (moved > 0) {
            iov[first].iov_base = static_cast<char*>(iov[first].iov_base) + moved;
            iov[first].iov_len -= moved;
        }
        if (progress) {
            progress(done, total);
        }
    }
    return true;
}

template <typename Span>
std::vector<iovec> iovecsOf(const std::vector<Span>& pieces) {
    std::vector<iovec> iov;
    iov.reserve(pieces.size());
    for (const Span& p : pieces) {
        if (p.size > 0) {
            iov.push_back({const_cast<void*>(static_cast<const void*>(p.data)), p.size});
        }
    }
    return iov;
}

bool writeAll(int fd, const std::vector<ByteSpan>& pieces, const Progress& progress) {
    std::vector<iovec> iov = iovecsOf(pieces);
    return transferAll(
        iov, [fd](const iovec* v, int n) { return ::writev(fd, v, n); }, progress);
}

// The file that a save to path really replaces: the target of a symbolic link, else path.
std::string resolveTarget(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char* real = ::realpath(path.c_str(), nullptr);
        if (real != nullptr) {
            std::string resolved(real);
            ::free(real);
            return resolved;
        }
    }
    return path;
}

void syncDirectory(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);  // best effort: the rename is already done
        ::close(fd);
    }
}

}  // namespace

Outcome<bool> writeFileAtomically(const std::string& path, const std::vector<ByteSpan>& pieces,
                                  const Progress& progress) {
    const std::string target = resolveTarget(path);
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);

    struct stat existing;
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        return Outcome<bool>::because(describe("cannot write", target, EISDIR));
    }

    std::string temp = dir + "." + base + ".XXXXXX";
    const int fd = ::mkostemp(&temp[0], O_CLOEXEC);
    if (fd < 0) {
        return Outcome<bool>::because(describe("cannot create a file beside", target, errno));
    }

    // mkostemp makes the file private; give it the mode the target has, or the usual one.
    mode_t mode;
    if (exists) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    // Best effort: a file we cannot give the old mode or owner is still better saved than not.
    (void)::fchmod(fd, mode);
    if (exists) {
        (void)::fchown(fd, existing.st_uid, existing.st_gid);
    }
    bool ok = true;
    int err = 0;
    if (!writeAll(fd, pieces, progress) || ::fsync(fd) != 0) {
        ok = false;
        err = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return Outcome<bool>::because(describe("cannot write", target, err != 0 ? err : EIO));
    }
    syncDirectory(dir);
    return {true, {}};
}

bool readAllAt(int fd, std::uint64_t offset, const std::vector<MutableSpan>& pieces,
               const Progress& progress) {
    std::vector<iovec> iov = iovecsOf(pieces);
    return transferAll(
        iov,
        [fd, &offset](const iovec* v, int n) {
            const ssize_t got = ::preadv(fd, v, n, static_cast<off_t>(offset));
            if (got > 0) {
                offset += static_cast<std::uint64_t>(got);
            }
            return got;
        },
        progress);
}

namespace {

// Where readWhole puts the bytes: hold(capacity, kept) gives room for capacity bytes that starts
// with the kept bytes held so far; done(size) keeps the first size of them.
struct BytesHolder {
    FileBytes& bytes;
    std::unique_ptr<std::uint8_t[]> data;
    std::uint8_t* hold(std::size_t capacity, std::size_t kept) {
        std::unique_ptr<std::uint8_t[]> bigger(new std::uint8_t[capacity > 0 ? capacity : 1]);
        if (kept > 0) {
            std::memcpy(bigger.get(), data.get(), kept);
        }
        data = std::move(bigger);
        return data.get();
    }
    void done(std::size_t size) {
        bytes.data = std::move(data);
        bytes.size = size;
    }
};

struct TextHolder {
    std::string& text;
    std::uint8_t* hold(std::size_t capacity, std::size_t) {
        text.resize(capacity);
        return reinterpret_cast<std::uint8_t*>(&text[0]);
    }
    void done(std::size_t size) { text.resize(size); }
};

template <typename Holder>
bool readWhole(const std::string& path, Holder& holder, std::uint64_t maxBytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    // Closes the file however this ends, an allocation that throws included.
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        return false;
    }

    // A regular file is read in one piece of its stated size; anything else (a pipe, a device)
    // in growing pieces up to maxBytes.
    std::size_t capacity = S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) : 65536;
    if (S_ISREG(st.st_mode) && static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        return false;
    }
    std::uint8_t* data = holder.hold(capacity, 0);
    std::size_t size = 0;
    for (;;) {
        if (size == capacity) {
            if (S_ISREG(st.st_mode)) {
                break;  // a regular file is read up to its stated size
            }
            if (capacity >= maxBytes) {
                return false;
            }
            capacity = static_cast<std::size_t>(std::min<std::uint64_t>(capacity * 2, maxBytes));
            data = holder.hold(capacity, size);
        }
        const ssize_t n = ::read(fd, data + size, capacity - size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (n == 0) {
            break;
        }
        size += static_cast<std::size_t>(n);
    }
    holder.done(size);
    return true;
}

template <typename Holder>
bool readWholeCaught(const std::string& path, Holder holder, std::uint64_t maxBytes) {
    try {
        return readWhole(path, holder, maxBytes);
    } catch (const std::bad_alloc&) {
        return false;  // the file is within its bound, but memory for it is not to be had
    }
}

}  // namespace

bool readWholeFile(const std::string& path, FileBytes& bytes, std::uint64_t maxBytes) {
    bytes = FileBytes();
    return readWholeCaught(path, BytesHolder{bytes, nullptr}, maxBytes);
}

bool readWholeFile(const std::string& path, std::string& text, std::uint64_t maxBytes) {
    text.clear();
    if (!readWholeCaught(path, TextHolder{text}, maxBytes)) {
        std::string().swap(text);
        return false;
    }
    return true;
}

}  // namespace platform
