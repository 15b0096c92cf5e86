#include "chunkfile/ChunkReader.h"

#include <cstring>
#include <limits>

#include "chunkfile/ChunkData.h"
#include "platform/FileIo.h"

ChunkReader::ChunkReader(const std::string& path) {
    platform::FileBytes file;
    // Chunk lengths and the file size are 32-bit, so no chunk file is larger than that.
    if (!platform::readWholeFile(path, file, std::numeric_limits<std::uint32_t>::max())) {
        return;
    }
    m_read = true;
    m_bytes = std::move(file.data);
    m_size = static_cast<std::uint32_t>(file.size);

    std::uint64_t p = 0;
    while (p < m_size) {
        if (m_size - p < 8) {
            break;  // a header cut short
        }
        const std::uint8_t* header = m_bytes.get() + p;
        std::uint32_t length;
        std::memcpy(&length, header + 4, 4);
        if (m_size - p - 8 < length) {
            break;  // data cut short
        }
        // The tag is four bytes taken as text: a NUL among them ends it early.
        const char* tag = reinterpret_cast<const char*>(header);
        ChunkEntry entry;
        entry.tag.assign(tag, strnlen(tag, 4));
        entry.data = std::make_unique<ChunkData>(header + 8, length);
        m_entries.push_back(std::move(entry));
        p += 8 + static_cast<std::uint64_t>(length);
    }
}
