#include "fuzz/FuzzFile.h"
#include "map/MapFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MapGrid grid;
    grid.reset(3, 2);
    if (MapFile::loadBinary(fuzzFile(data, size), grid) == MapFile::BinaryResult::Loaded) {
        // The shape invariant holds for whatever was loaded.
        for (int r = 0; r < grid.rows(); ++r) {
            if (grid.chipLayer()[r].size() != static_cast<std::size_t>(grid.columns()) ||
                grid.kindLayer()[r].size() != static_cast<std::size_t>(grid.columns())) {
                std::abort();
            }
        }
    } else if (grid.columns() != 3 || grid.rows() != 2) {
        std::abort();
    }
    return 0;
}
