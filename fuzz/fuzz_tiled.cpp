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
#ifdef FUZZ_TMJ
    const auto readTiled = [&] { return tiled::readTmj(text, "/nonexistent", map); };
#else
    const auto readTiled = [&] { return tiled::readTmx(text, "/nonexistent", map); };
#endif
    const platform::Outcome<bool> read =
        readTiled().then([&] { return tiledconvert::fromTiled(map, grid, &kinds); });
    if (read.value) {
        if (grid.columns() != map.width || grid.rows() != map.height || !read.notices.empty()) {
            std::abort();
        }
    } else if (grid.columns() != 3 || grid.rows() != 2 || kinds.count() != 0 ||
               read.notices.size() != 1 || read.why().empty()) {
        std::abort();
    }
    return 0;
}
