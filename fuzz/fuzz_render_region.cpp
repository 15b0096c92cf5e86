#include <cstdint>
#include <cstdlib>
#include <string>

#include "chips/KindTable.h"
#include "gfx/CNxSurface.h"
#include "map/MapGrid.h"
#include "tools/MapPicture.h"

// A region given as text, checked against a map and, when accepted and small, drawn. The first
// four bytes choose the map's size, the cell size, the grid and the zoom; the rest is the region.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    MapGrid grid;
    grid.reset(1 + data[0] % 64, 1 + data[1] % 64);
    for (int r = 0; r < grid.rows(); ++r) {
        for (int c = 0; c < grid.columns(); ++c) {
            grid.setKind(c, r, (c * 7 + r) % 130 - 10);
        }
    }
    const int cell = 16 + data[2] % 49;
    const Zoom zoom = Zoom::step(data[3] >> 1);
    const std::string text(reinterpret_cast<const char*>(data + 4), size - 4);
    picture::Region region;
    std::string error;
    if (!picture::parseRegion(text, region, error) ||
        !picture::check(grid, region, cell, cell, zoom, error)) {
        return error.empty() ? (std::abort(), 0) : 0;
    }
    if (region.column + region.columns > grid.columns() || region.row + region.rows > grid.rows()) {
        std::abort();
    }
    const std::int64_t width = picture::pictureSide(std::int64_t(region.columns) * cell, zoom);
    if (width * picture::pictureSide(std::int64_t(region.rows) * cell, zoom) > (1 << 20)) {
        return 0;  // large pictures are only slow
    }
    KindTable kinds;
    kinds.resetToDefaults(1);
    CNxSurface target(32);
    picture::Style style;
    style.attributes = true;
    style.grid = data[3] & 1;
    style.zoom = zoom;
    if (!picture::draw(target, grid, nullptr, &kinds, region, cell, cell, style) ||
        target.GetWidth() != width) {
        std::abort();
    }
    return 0;
}
