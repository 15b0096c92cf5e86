#include <cstdint>
#include <cstdlib>
#include <string>

#include "map/MapGrid.h"
#include "tools/MapJson.h"

// A map as JSON, as `pelorin-tool import` reads it; a refused one leaves the grid alone, one
// that reads is written and reads back to the same text.
namespace {

platform::Outcome<bool> readMap(const std::string& text, MapGrid& grid) {
    json::Value root;
    return json::parse(text, root).then([&] { return mapjson::read(root, grid); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    MapGrid grid;
    grid.reset(3, 2);
    const platform::Outcome<bool> read = readMap(text, grid);
    if (!read.value) {
        if (read.notices.size() != 1 || read.why().empty() || grid.columns() != 3 ||
            grid.rows() != 2) {
            std::abort();
        }
        return 0;
    }
    const std::string written = mapjson::write(grid);
    MapGrid again;
    if (!readMap(written, again).value || mapjson::write(again) != written) {
        std::abort();
    }
    return 0;
}
