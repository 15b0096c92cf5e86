#include "gfx/CNxFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// read() that carries on after interruptions and partial reads until count bytes or the end.
std::int64_t readFully(int fd, std::uint8_t* out, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(fd, out + done, count - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return static_cast<std::int64_t>(done);
}

}  // namespace

CNxFile::CNxFile() = default;

CNxFile::~CNxFile() {
    Close();
}

int CNxFile::Open(const char* fileName, unsigned mode) {
    if (IsOpen() || fileName == nullptr) {
        return 0;
    }
    int flags = O_CLOEXEC;
    switch (mode & 3) {
        case modeRead:
            flags |= O_RDONLY;
            break;
        case modeWrite:
            flags |= O_WRONLY;
            break;
        case modeReadWrite:
            flags |= O_RDWR;
            break;
        default:
            return 0;
    }
    if (mode & modeCreate) {
        flags |= (mode & modeNoTruncate) ? O_CREAT : O_CREAT | O_TRUNC;
    }
    const int fd = ::open(fileName, flags, 0666);
    if (fd < 0) {
        return 0;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return 0;
    }
    // Sharing maps to advisory locks among the files this class opens: exclusive takes the
    // whole file, deny-write shares it with other readers that deny writing.
    const unsigned share = mode & 0x30;
    if (share == modeShareExclusive || share == modeShareDenyWrite) {
        const int lock = share == modeShareExclusive ? LOCK_EX : LOCK_SH;
        if (::flock(fd, lock | LOCK_NB) != 0) {
            ::close(fd);
            return 0;
        }
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    if (!m_buffer) {
        m_buffer.reset(new std::uint8_t[kBufferBytes]);
    }
    m_fd = fd;
    m_window = m_buffer.get();
    m_name = fileName;
    m_bufferStart = 0;
    m_bufferLength = 0;
    m_bufferPos = 0;
    return 1;
}

int CNxFile::OpenMemory(const void* data, std::size_t size, const char* name) {
    if (IsOpen() || (data == nullptr && size > 0)) {
        return 0;
    }
    static const std::uint8_t kNothing = 0;
    m_memory = data != nullptr ? static_cast<const std::uint8_t*>(data) : &kNothing;
    m_memorySize = size;
    m_window = m_memory;
    m_name = name != nullptr ? name : "";
    m_bufferStart = 0;
    m_bufferLength = size;
    m_bufferPos = 0;
    return 1;
}

bool CNxFile::fill() {
    m_bufferStart += static_cast<std::int64_t>(m_bufferLength);
    m_bufferPos = 0;
    m_bufferLength = 0;
    const std::int64_t n = readFully(m_fd, m_buffer.get(), kBufferBytes);
    if (n < 0) {
        return false;
    }
    m_bufferLength = static_cast<std::size_t>(n);
    return true;
}

std::int64_t CNxFile::Read(void* buffer, std::int64_t count) {
    if (!IsOpen() || count < 0 || (buffer == nullptr && count > 0)) {
        return -1;
    }
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t wanted = static_cast<std::size_t>(count);
    std::size_t done = 0;
    while (done < wanted) {
        if (m_bufferPos == m_bufferLength) {
            if (m_memory != nullptr) {
                break;
            }
            // Large reads skip the buffer; the underlying offset is always the buffer's end.
            if (wanted - done >= kBufferBytes) {
                m_bufferStart += static_cast<std::int64_t>(m_bufferLength);
                m_bufferPos = m_bufferLength = 0;
                const std::int64_t n = readFully(m_fd, out + done, wanted - done);
                if (n < 0) {
                    return -1;
                }
                m_bufferStart += n;
                done += static_cast<std::size_t>(n);
                break;
            }
            if (!fill()) {
                return -1;
            }
            if (m_bufferLength == 0) {
                break;
            }
        }
        const std::size_t take = std::min(wanted - done, m_bufferLength - m_bufferPos);
        std::memcpy(out + done, m_window + m_bufferPos, take);
        m_bufferPos += take;
        done += take;
    }
    return static_cast<std::int64_t>(done);
}

std::int64_t CNxFile::Seek(std::int64_t offset, int origin) {
    if (!IsOpen()) {
        return -1;
    }
    std::int64_t base;
    switch (origin) {
        case seekBegin:
            base = 0;
            break;
        case seekCurrent:
            base = m_bufferStart + static_cast<std::int64_t>(m_bufferPos);
            break;
        case seekEnd:
            base = Size();
            if (base < 0) {
                return -1;
            }
            break;
        default:
            return -1;
    }
    if ((offset < 0 && base < -offset) || (offset > 0 && base > INT64_MAX - offset)) {
        return -1;
    }
    const std::int64_t target = base + offset;
    // Inside the buffered window the move costs nothing.
    if (target >= m_bufferStart &&
        target <= m_bufferStart + static_cast<std::int64_t>(m_bufferLength)) {
        m_bufferPos = static_cast<std::size_t>(target - m_bufferStart);
        return target;
    }
    if (m_memory != nullptr) {
        // The window is the whole of the bytes, or empty past their end.
        const bool inside = target <= static_cast<std::int64_t>(m_memorySize);
        m_bufferStart = inside ? 0 : target;
        m_bufferLength = inside ? m_memorySize : 0;
        m_bufferPos = inside ? static_cast<std::size_t>(target) : 0;
        return target;
    }
    if (::lseek(m_fd, target, SEEK_SET) < 0) {
        return -1;
    }
    m_bufferStart = target;
    m_bufferLength = m_bufferPos = 0;
    return target;
}

std::int64_t CNxFile::Size() {
    if (!IsOpen()) {
        return -1;
    }
    if (m_memory != nullptr) {
        return static_cast<std::int64_t>(m_memorySize);
    }
    struct stat st;
    if (::fstat(m_fd, &st) != 0) {
        return -1;
    }
    return static_cast<std::int64_t>(st.st_size);
}

int CNxFile::Close() {
    if (!IsOpen()) {
        return 0;
    }
    if (m_memory == nullptr) {
        ::close(m_fd);  // also drops any lock
    }
    m_fd = -1;
    m_memory = nullptr;
    m_memorySize = 0;
    m_window = nullptr;
    m_name.clear();
    m_bufferStart = 0;
    m_bufferLength = m_bufferPos = 0;
    return 1;
}

int CNxFile::GetFileName(char* buffer, int size) const {
    if (!IsOpen()) {
        return -1;
    }
    const int length = static_cast<int>(m_name.size());
    if (buffer == nullptr) {
        return length;
    }
    if (size <= 0) {
        return 0;
    }
    if (length + 1 <= size) {
        std::memcpy(buffer, m_name.c_str(), static_cast<std::size_t>(length) + 1);
        return length + 1;
    }
    std::memcpy(buffer, m_name.data(), static_cast<std::size_t>(size));
    return size;
}

std::string CNxFile::GetFileName() const {
    return IsOpen() ? m_name : std::string();
}
