#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "chunkfile/ChunkList.h"

// Reads a chunk file: the whole file is read into memory and split into its chunks, each a
// tag, a 32-bit little-endian length and that many bytes. A file that cannot be read has no
// chunks; splitting stops at a chunk whose header or data would pass the end of the file.
class ChunkReader : public HeldChunks {
public:
    explicit ChunkReader(const std::string& path);

    ChunkReader(const ChunkReader&) = delete;
    ChunkReader& operator=(const ChunkReader&) = delete;

    // Whether the file could be read at all (a file with no chunks still counts as read).
    bool IsRead() const { return m_read; }

private:
    std::unique_ptr<std::uint8_t[]> m_bytes;
    std::uint32_t m_size = 0;  // the entries each wrap a region of m_bytes
    bool m_read = false;
};
