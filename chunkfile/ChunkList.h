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
};

// A chunk list over entries held in memory, as the reader and the writer both hold theirs. An
// index out of range gives "" or null.
class HeldChunks : public ChunkList {
public:
    int Count() const override;
    std::string TagAt(int index) const override;
    ChunkData* DataAt(int index) const override;
    ChunkData* Find(const std::string& tag) const override;

protected:
    std::vector<ChunkEntry> m_entries;
};
