#include "fuzz/FuzzFile.h"
#include "map/MapFile.h"
#include "platform/MessagePort.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MapGrid grid;
    grid.reset(3, 2);
    platform::SilentPort port;
    const bool loaded = MapFile::loadText(fuzzFile(data, size), grid, port, nullptr);
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
