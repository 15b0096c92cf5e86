#include <cstdint>
#include <cstdlib>
#include <string>

#include "chips/KindTable.h"
#include "map/MapGrid.h"
#include "tools/TiledConvert.h"

// A TMX map (a TMJ map with FUZZ_TMJ) read and taken into a map and attribute table; a
// refused one changes neither.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    tiled::Map map;
    MapGrid grid;
    grid.reset(3, 2);
    KindTable kinds;
    kinds.assign({});
    std::string error;
#ifdef FUZZ_TMJ
    const bool read = tiled::readTmj(text, "/nonexistent", map, error);
#else
    const bool read = tiled::readTmx(text, "/nonexistent", map, error);
#endif
    if (read && tiledconvert::fromTiled(map, grid, &kinds, error)) {
        if (grid.columns() != map.width || grid.rows() != map.height) {
            std::abort();
        }
    } else if (grid.columns() != 3 || grid.rows() != 2 || kinds.count() != 0 || error.empty()) {
        std::abort();
    }
    return 0;
}
