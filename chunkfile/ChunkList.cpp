#include "chunkfile/ChunkList.h"

std::string ChunkList::tagIn(const std::vector<ChunkEntry>& entries, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) {
        return std::string();
    }
    return entries[index].tag;
}

ChunkData* ChunkList::dataIn(const std::vector<ChunkEntry>& entries, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) {
        return nullptr;
    }
    return entries[index].data.get();
}

ChunkData* ChunkList::findIn(const std::vector<ChunkEntry>& entries, const std::string& tag) {
    for (const ChunkEntry& entry : entries) {
        if (entry.tag == tag) {
            return entry.data.get();
        }
    }
    return nullptr;
}
