#include "tools/MapPicture.h"

#include <charconv>

#include "gfx/CNxDIBImage.h"
#include "gfx/CNxSurface.h"
#include "grid/CellGridScreen.h"
#include "map/MapGrid.h"
#include "map/MapRenderer.h"

namespace picture {

bool parseRegion(const std::string& text, Region& region, std::string& error) {
    int values[4] = {};
    const char* p = text.data();
    const char* end = text.data() + text.size();
    for (int i = 0; i < 4; ++i) {
        const auto r = std::from_chars(p, end, values[i]);
        const bool separatorOk = i < 3 ? r.ptr < end && *r.ptr == ',' : r.ptr == end;
        if (r.ec != std::errc() || r.ptr == p || values[i] < 0 || !separatorOk) {
            error = "--region is X,Y,W,H in cells (whole numbers from 0), not \"" + text + "\"";
            return false;
        }
        p = r.ptr + 1;
    }
    if (values[2] < 1 || values[3] < 1) {
        error = "--region needs a width and height of at least one cell, not \"" + text + "\"";
        return false;
    }
    region = {values[0], values[1], values[2], values[3]};
    return true;
}

bool check(const MapGrid& grid, const Region& region, int cellWidth, int cellHeight,
           std::string& error) {
    if (std::int64_t(region.column) + region.columns > grid.columns() ||
        std::int64_t(region.row) + region.rows > grid.rows() || region.column < 0 ||
        region.row < 0 || region.columns < 1 || region.rows < 1) {
        error = "the region " + std::to_string(region.column) + "," + std::to_string(region.row) +
                "," + std::to_string(region.columns) + "," + std::to_string(region.rows) +
                " reaches outside the map of " + std::to_string(grid.columns()) + " × " +
                std::to_string(grid.rows()) + " cells";
        return false;
    }
    const std::int64_t width = std::int64_t(region.columns) * cellWidth;
    const std::int64_t height = std::int64_t(region.rows) * cellHeight;
    static_assert(CNxDIBImage::kMaxSide == 32768 && CNxDIBImage::kMaxImageBytes == 1ull << 30,
                  "the message states the limits");
    if (width > CNxDIBImage::kMaxSide || height > CNxDIBImage::kMaxSide ||
        static_cast<std::uint64_t>(width * height * 4) > CNxDIBImage::kMaxImageBytes) {
        error = "the picture would be " + std::to_string(width) + " × " + std::to_string(height) +
                " pixels; render draws at most 32768 pixels a side and 1 GiB of pixels (draw "
                "a part of the map with --region)";
        return false;
    }
    return true;
}

bool draw(CNxSurface& target, const MapGrid& grid, const ChipSet* chips, const KindTable* kinds,
          const Region& region, int cellWidth, int cellHeight, const Style& style) {
    const int width = region.columns * cellWidth;
    const int height = region.rows * cellHeight;
    if ((target.GetWidth() != width || target.GetHeight() != height) &&
        !target.Create(width, -height)) {
        return false;
    }
    // The map window with its view at the region's first cell and as large as the region.
    const MapRenderer::View view{
        region.column * cellWidth, region.row * cellHeight, cellWidth, cellHeight, width, height};
    if (style.attributes) {
        MapRenderer::drawAttributes(target, grid, kinds, view);
    } else {
        MapRenderer::drawChips(target, grid, chips, view);
    }
    if (style.grid) {
        // The grid lines lie on the last pixel row and column of each cell.
        const std::uint32_t colour = CellGridScreen::kDefaultGridColour;
        for (int y = cellHeight - 1; y < height; y += cellHeight) {
            target.Fill(0, y, width, 1, colour);
        }
        for (int x = cellWidth - 1; x < width; x += cellWidth) {
            target.Fill(x, 0, 1, height, colour);
        }
    }
    return true;
}

}  // namespace picture
