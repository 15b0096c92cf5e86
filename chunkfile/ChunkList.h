#pragma once

#include <memory>
#include <string>
#include <vector>

#include "chunkfile/ChunkData.h"
#include "platform/FileIo.h"

// One chunk held in memory: its four-character tag and its data. A chunk being written may
// instead gather its data from pieces that lie elsewhere (data is then null).
struct ChunkEntry {
    std::string tag;
    std::unique_ptr<ChunkData> data;
    std::vector<platform::ByteSpan> pieces;
};

// What the reader and the writer of chunk files have in common: a list of tagged chunks.
class ChunkList {
public:
    virtual ~ChunkList() = default;

    virtual int Count() const = 0;
    virtual std::string TagAt(int index) const = 0;
    virtual ChunkData* DataAt(int index) const = 0;
    // The first chunk in file order whose tag equals tag exactly, or null.
    virtual ChunkData* Find(const std::string& tag) const = 0;

protected:
    // The lookups both lists make over their entries; an index out of range gives "" or null.
    static std::string tagIn(const std::vector<ChunkEntry>& entries, int index);
    static ChunkData* dataIn(const std::vector<ChunkEntry>& entries, int index);
    static ChunkData* findIn(const std::vector<ChunkEntry>& entries, const std::string& tag);
};
