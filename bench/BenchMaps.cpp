#include "bench/BenchMaps.h"

#include <cstdlib>
#include <map>
#include <random>

namespace bench {

MapGrid randomMap(int columns, int rows, std::int32_t chips, std::int32_t kinds) {
    std::mt19937 random(1);
    MapGrid grid;
    grid.reset(columns, rows);
    for (int r = 0; r < rows; ++r) {
        std::int32_t* chipRow = grid.rowCells(MapGrid::kChipLayer, r);
        std::int32_t* kindRow = grid.rowCells(MapGrid::kKindLayer, r);
        for (int c = 0; c < columns; ++c) {
            chipRow[c] = static_cast<std::int32_t>(random() % static_cast<std::uint32_t>(chips));
            kindRow[c] = static_cast<std::int32_t>(random() % static_cast<std::uint32_t>(kinds));
        }
    }
    return grid;
}

std::string scratchFolder(const char* name) {
    static std::map<std::string, std::string> folders;
    std::string& folder = folders[name];
    if (folder.empty()) {
        std::string pattern = std::string("/tmp/pelorin-") + name + "-XXXXXX";
        folder = ::mkdtemp(&pattern[0]);
    }
    return folder;
}

}  // namespace bench
