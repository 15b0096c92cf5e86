#pragma once

#include <memory>
#include <string>
#include <vector>

#include "chunkfile/ChunkList.h"

// Writes a chunk file: the chunks added, in order, each as its tag, its 32-bit little-endian
// length and its data. The file is replaced as a whole or not at all.
class ChunkWriter : public HeldChunks {
public:
    ChunkWriter() = default;

    // Takes ownership of data. Its bytes from the cursor to the end are what Save writes, so
    // callers set the cursor to 0 first. Tags are cut or padded with NULs to four bytes.
    bool Add(const std::string& tag, std::unique_ptr<ChunkData> data);

    // Adds a chunk whose data are gathered from pieces that the caller owns and keeps alive
    // until Save, sparing a large chunk the copy into one buffer. Such a chunk has no
    // ChunkData: DataAt and Find give null for it. False when the pieces exceed 4 GiB.
    bool AddPieces(const std::string& tag, std::vector<platform::ByteSpan> pieces);

    // Writes the file; false when it could not be created or wholly written, in which case a
    // file already at path is left as it was and the outcome's one notice says what went wrong.
    platform::Outcome<bool> Save(const std::string& path,
                                 const platform::Progress& progress = {}) const;
};
