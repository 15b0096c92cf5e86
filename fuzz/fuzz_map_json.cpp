#include <cstdint>
#include <cstdlib>
#include <string>

#include "map/MapGrid.h"
#include "tools/MapJson.h"

// A map as JSON, as `pelorin-tool import` reads it; a refused one leaves the grid alone, one
// that reads is written and reads back to the same text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    json::Value root;
    std::string error;
    MapGrid grid;
    grid.reset(3, 2);
    if (!json::parse(text, root, error) || !mapjson::read(root, grid, error)) {
        if (error.empty() || grid.columns() != 3 || grid.rows() != 2) {
            std::abort();
        }
        return 0;
    }
    const std::string written = mapjson::write(grid);
    MapGrid again;
    if (!json::parse(written, root, error) || !mapjson::read(root, again, error) ||
        mapjson::write(again) != written) {
        std::abort();
    }
    return 0;
}
