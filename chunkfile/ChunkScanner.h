#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/FileIo.h"

// Finds the chunks of a chunk file without reading their data into memory, so that a large
// chunk can be read once, straight to where it is going. It splits the file by the same rule as
// ChunkReader: chunks back to back from offset 0, stopping at one whose header or data would
// pass the end of the file. It keeps no list of the chunks passed, so that a file of a great
// many small chunks costs no memory.
class ChunkScanner {
public:
    struct Chunk {
        std::string tag;
        std::uint64_t offset;  // of the first data byte in the file
        std::uint32_t length;
    };

    explicit ChunkScanner(const std::string& path);
    ~ChunkScanner();

    ChunkScanner(const ChunkScanner&) = delete;
    ChunkScanner& operator=(const ChunkScanner&) = delete;

    // Whether the file could be opened as a regular file.
    bool isOpen() const { return m_size >= 0; }
    // The file's size in bytes, -1 when it is not open.
    std::int64_t size() const { return m_size; }
    // Calls visit with each chunk in file order until it returns false.
    template <typename Visit>
    void forEach(Visit visit) const {
        Chunk chunk;
        for (std::uint64_t p = 0; next(p, chunk) && visit(chunk);) {
        }
    }
    // The first chunk in file order tagged tag, or null (valid until the next find).
    const Chunk* find(const std::string& tag);
    // Reads n bytes of the chunk's data from position at. False when they do not all lie
    // inside the chunk or cannot be read.
    bool read(const Chunk& chunk, std::uint64_t at, void* target, std::size_t n) const;

    // Reads the chunk's data from position at into the targets one after another.
    bool readScattered(const Chunk& chunk, std::uint64_t at,
                       const std::vector<platform::MutableSpan>& targets,
                       const platform::Progress& progress = {}) const;

private:
    // The chunk at offset p into chunk, p moved past it; false at the end of the chunks.
    bool next(std::uint64_t& p, Chunk& chunk) const;

    int m_fd = -1;
    std::int64_t m_size = -1;
    Chunk m_found;
    mutable std::vector<std::uint8_t> m_window;
    mutable std::uint64_t m_windowStart = 0, m_windowEnd = 0;
};
