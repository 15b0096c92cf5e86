#include "fuzz/FuzzFile.h"
#include "map/MapFile.h"
#include "platform/Outcome.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MapGrid grid;
    grid.reset(3, 2);
    const platform::Outcome<bool> read =
        MapFile::loadText(fuzzFile(data, size), grid, platform::Language());
    const bool loaded = read.value;
    // A failure says why; a load says nothing.
    if (loaded != read.notices.empty()) {
        std::abort();
    }
    if (grid.chipLayer().size() != static_cast<std::size_t>(grid.rows()) ||
        grid.kindLayer().size() != static_cast<std::size_t>(grid.rows()) ||
        (!loaded && (grid.columns() != 3 || grid.rows() != 2))) {
        std::abort();
    }
    for (int r = 0; r < grid.rows(); ++r) {
        if (grid.chipLayer()[r].size() != static_cast<std::size_t>(grid.columns())) {
            std::abort();
        }
    }
    return 0;
}
