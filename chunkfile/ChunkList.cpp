#include "chunkfile/ChunkList.h"

int HeldChunks::Count() const {
    return static_cast<int>(m_entries.size());
}

std::string HeldChunks::TagAt(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_entries.size()) {
        return std::string();
    }
    return m_entries[index].tag;
}

ChunkData* HeldChunks::DataAt(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= m_entries.size()) {
        return nullptr;
    }
    return m_entries[index].data.get();
}

ChunkData* HeldChunks::Find(const std::string& tag) const {
    for (const ChunkEntry& entry : m_entries) {
        if (entry.tag == tag) {
            return entry.data.get();
        }
    }
    return nullptr;
}
