#include "chunkfile/ChunkWriter.h"

#include <cstring>

#include "platform/FileIo.h"

bool ChunkWriter::Add(const std::string& tag, std::unique_ptr<ChunkData> data) {
    ChunkEntry entry;
    entry.tag = tag;
    entry.data = std::move(data);
    m_entries.push_back(std::move(entry));
    return true;
}

bool ChunkWriter::AddPieces(const std::string& tag, std::vector<platform::ByteSpan> pieces) {
    std::uint64_t total = 0;
    for (const platform::ByteSpan& piece : pieces) {
        total += piece.size;
    }
    if (total > UINT32_MAX) {
        return false;
    }
    ChunkEntry entry;
    entry.tag = tag;
    entry.pieces = std::move(pieces);
    m_entries.push_back(std::move(entry));
    return true;
}

platform::Outcome<bool> ChunkWriter::Save(const std::string& path,
                                          const platform::Progress& progress) const {
    // The headers are built apart and the data written from where they lie, so the file's bytes
    // are not copied once more into one big buffer.
    std::vector<std::uint8_t> headers(8 * m_entries.size(), 0);
    std::vector<platform::ByteSpan> pieces;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const ChunkEntry& entry = m_entries[i];
        std::uint8_t* header = &headers[8 * i];
        std::memcpy(header, entry.tag.data(), entry.tag.size() < 4 ? entry.tag.size() : 4);
        pieces.push_back({header, 8});
        std::uint32_t length = 0;
        if (entry.data) {
            length = entry.data->Remaining();
            pieces.push_back({entry.data->Current(), length});
        } else {
            for (const platform::ByteSpan& piece : entry.pieces) {
                length += static_cast<std::uint32_t>(piece.size);
                pieces.push_back(piece);
            }
        }
        std::memcpy(header + 4, &length, 4);
    }
    return platform::writeFileAtomically(path, pieces, progress);
}
