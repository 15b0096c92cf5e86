#include "map/ChunkScanner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace {

bool readAt(int fd, std::uint64_t offset, void* target, std::size_t n) {
    return platform::readAllAt(fd, offset, {{target, n}});
}

}  // namespace

ChunkScanner::ChunkScanner(const std::string& path) {
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st;
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        return;
    }
    const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);

    // Headers are read through a window of the file, so that a file of many small chunks
    // costs few reads and a large chunk is skipped without being read.
    std::vector<std::uint8_t> window(64 * 1024);
    std::uint64_t windowStart = 0, windowEnd = 0;
    std::uint64_t p = 0;
    while (p < size && size - p >= 8) {
        if (p < windowStart || p + 8 > windowEnd) {
            const std::size_t want =
                static_cast<std::size_t>(std::min<std::uint64_t>(window.size(), size - p));
            if (!readAt(m_fd, p, window.data(), want)) {
                break;
            }
            windowStart = p;
            windowEnd = p + want;
        }
        const std::uint8_t* header = window.data() + (p - windowStart);
        std::uint32_t length;
        std::memcpy(&length, header + 4, 4);
        if (size - p - 8 < length) {
            break;
        }
        const char* tag = reinterpret_cast<const char*>(header);
        m_chunks.push_back({std::string(tag, strnlen(tag, 4)), p + 8, length});
        p += 8 + static_cast<std::uint64_t>(length);
    }
}

ChunkScanner::~ChunkScanner() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

const ChunkScanner::Chunk* ChunkScanner::find(const std::string& tag) const {
    for (const Chunk& chunk : m_chunks) {
        if (chunk.tag == tag) {
            return &chunk;
        }
    }
    return nullptr;
}

bool ChunkScanner::read(const Chunk& chunk, std::uint64_t at, void* target, std::size_t n) const {
    if (at > chunk.length || n > chunk.length - at) {
        return false;
    }
    return readAt(m_fd, chunk.offset + at, target, n);
}

bool ChunkScanner::readScattered(const Chunk& chunk, std::uint64_t at,
                                 const std::vector<platform::MutableSpan>& targets) const {
    std::uint64_t total = 0;
    for (const platform::MutableSpan& t : targets) {
        total += t.size;
    }
    if (at > chunk.length || total > chunk.length - at) {
        return false;
    }
    return platform::readAllAt(m_fd, chunk.offset + at, targets);
}
