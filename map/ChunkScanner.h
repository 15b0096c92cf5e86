#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/FileIo.h"

// Finds the chunks of a chunk file without reading their data into memory, so that a large
// chunk can be read once, straight to where it is going. It splits the file by the same rule as
// ChunkReader: chunks back to back from offset 0, stopping at one whose header or data would
// pass the end of the file.
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

    const std::vector<Chunk>& chunks() const { return m_chunks; }
    // The first chunk in file order tagged tag, or null.
    const Chunk* find(const std::string& tag) const;
    // Reads n bytes of the chunk's data from position at. False when they do not all lie
    // inside the chunk or cannot be read.
    bool read(const Chunk& chunk, std::uint64_t at, void* target, std::size_t n) const;

    // Reads the chunk's data from position at into the targets one after another.
    bool readScattered(const Chunk& chunk, std::uint64_t at,
                       const std::vector<platform::MutableSpan>& targets) const;

private:
    int m_fd = -1;
    std::vector<Chunk> m_chunks;
};
