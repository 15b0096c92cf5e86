#include "fuzz/FuzzFile.h"
#include "map/ChunkReader.h"
#include "map/ChunkScanner.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzzFile(data, size);
    ChunkReader reader(path);
    ChunkScanner scanner(path);
    // Both split the file alike, and every chunk read stays inside the file.
    if (static_cast<std::size_t>(reader.Count()) != scanner.chunks().size()) {
        std::abort();
    }
    for (int i = 0; i < reader.Count(); ++i) {
        ChunkData* chunk = reader.DataAt(i);
        std::int32_t value;
        while (chunk->ReadInt32(value)) {
        }
        if (reader.TagAt(i) != scanner.chunks()[i].tag ||
            chunk->Size() != scanner.chunks()[i].length) {
            std::abort();
        }
    }
    return 0;
}
