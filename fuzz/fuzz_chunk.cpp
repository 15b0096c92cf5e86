#include "chunkfile/ChunkData.h"
#include "chunkfile/ChunkReader.h"
#include "chunkfile/ChunkScanner.h"
#include "fuzz/FuzzFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzzFile(data, size);
    ChunkReader reader(path);
    ChunkScanner scanner(path);
    // Both split the file alike, and every chunk read stays inside the file.
    int i = 0;
    bool same = true;
    scanner.forEach([&](const ChunkScanner::Chunk& chunk) {
        same = same && i < reader.Count() && reader.TagAt(i) == chunk.tag &&
               reader.DataAt(i)->Size() == chunk.length;
        ++i;
        return true;
    });
    if (!same || i != reader.Count()) {
        std::abort();
    }
    for (int k = 0; k < reader.Count(); ++k) {
        ChunkData* chunk = reader.DataAt(k);
        std::int32_t value;
        while (chunk->ReadInt32(value)) {
        }
    }
    return 0;
}
