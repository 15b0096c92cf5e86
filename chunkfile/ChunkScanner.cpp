#include "chunkfile/ChunkScanner.h"

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
    if (m_fd >= 0 && ::fstat(m_fd, &st) == 0 && S_ISREG(st.st_mode)) {
        m_size = static_cast<std::int64_t>(st.st_size);
    }
}

ChunkScanner::~ChunkScanner() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool ChunkScanner::next(std::uint64_t& p, Chunk& chunk) const {
    const std::uint64_t size = m_size > 0 ? static_cast<std::uint64_t>(m_size) : 0;
    if (p >= size || size - p < 8) {
        return false;
    }
    // Headers are read through a window of the file, so that a file of many small chunks
    // costs few reads and a large chunk is skipped without being read.
    if (p < m_windowStart || p + 8 > m_windowEnd) {
        m_window.resize(64 * 1024);
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(m_window.size(), size - p));
        if (!readAt(m_fd, p, m_window.data(), want)) {
            return false;
        }
        m_windowStart = p;
        m_windowEnd = p + want;
    }
    const std::uint8_t* header = m_window.data() + (p - m_windowStart);
    std::uint32_t length;
    std::memcpy(&length, header + 4, 4);
    if (size - p - 8 < length) {
        return false;
    }
    const char* tag = reinterpret_cast<const char*>(header);
    chunk.tag.assign(tag, strnlen(tag, 4));
    chunk.offset = p + 8;
    chunk.length = length;
    p += 8 + static_cast<std::uint64_t>(length);
    return true;
}

const ChunkScanner::Chunk* ChunkScanner::find(const std::string& tag) {
    bool found = false;
    forEach([&](const Chunk& chunk) {
        found = chunk.tag == tag;
        if (found) {
            m_found = chunk;
        }
        return !found;
    });
    return found ? &m_found : nullptr;
}

bool ChunkScanner::read(const Chunk& chunk, std::uint64_t at, void* target, std::size_t n) const {
    if (at > chunk.length || n > chunk.length - at) {
        return false;
    }
    return readAt(m_fd, chunk.offset + at, target, n);
}

bool ChunkScanner::readScattered(const Chunk& chunk, std::uint64_t at,
                                 const std::vector<platform::MutableSpan>& targets,
                                 const platform::Progress& progress) const {
    std::uint64_t total = 0;
    for (const platform::MutableSpan& t : targets) {
        total += t.size;
    }
    if (at > chunk.length || total > chunk.length - at) {
        return false;
    }
    return platform::readAllAt(m_fd, chunk.offset + at, targets, progress);
}
