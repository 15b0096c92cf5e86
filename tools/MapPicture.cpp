#include "tools/MapPicture.h"

#include <charconv>
#include <utility>

#include "gfx/CNxDIBImage.h"
#include "gfx/CNxSurface.h"
#include "grid/CellGridScreen.h"
#include "map/MapGrid.h"
#include "map/MapRenderer.h"
#include "platform/FileIo.h"
#include "tools/PngWriter.h"

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

bool parseScale(const std::string& text, Zoom& zoom, std::string& error) {
    static const std::pair<const char*, const char*> decimals[] = {
        {"0.03125", "1/32"}, {"0.0625", "1/16"}, {"0.125", "1/8"}, {"0.25", "1/4"}, {"0.5", "1/2"}};
    std::string step = text;
    for (const auto& [decimal, fraction] : decimals) {
        if (text == decimal) {
            step = fraction;
        }
    }
    zoom = Zoom::read(step);
    if (zoom.text() != step) {
        error =
            "--scale is one of 1/32 (0.03125), 1/16 (0.0625), 1/8 (0.125), 1/4 (0.25), "
            "1/2 (0.5), 1, 2, 3, 4, 6, 8, not \"" +
            text + "\"";
        return false;
    }
    return true;
}

std::int64_t pictureSide(std::int64_t length, Zoom zoom) {
    return std::max<std::int64_t>(1, zoom.toScreen(length));
}

bool check(const MapGrid& grid, const Region& region, int cellWidth, int cellHeight, Zoom zoom,
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
    const std::int64_t width = pictureSide(std::int64_t(region.columns) * cellWidth, zoom);
    const std::int64_t height = pictureSide(std::int64_t(region.rows) * cellHeight, zoom);
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
    const Zoom zoom = style.zoom;
    const int width = static_cast<int>(pictureSide(std::int64_t(region.columns) * cellWidth, zoom));
    const int height = static_cast<int>(pictureSide(std::int64_t(region.rows) * cellHeight, zoom));
    if ((target.GetWidth() != width || target.GetHeight() != height) &&
        !target.Create(width, -height)) {
        return false;
    }
    // The map window with its view at the region's first cell and as large as the picture.
    const MapRenderer::View view{region.column * cellWidth,
                                 region.row * cellHeight,
                                 cellWidth,
                                 cellHeight,
                                 width,
                                 height,
                                 zoom};
    if (style.attributes) {
        MapRenderer::drawAttributes(target, grid, kinds, view);
    } else {
        MapRenderer::drawChips(target, grid, chips, view);
    }
    // The grid lines lie on the last screen pixel row and column of each cell, where a cell
    // keeps at least 4 screen pixels each way; smaller ones would be grid alone.
    if (style.grid && zoom.toScreen(cellWidth) >= 4 && zoom.toScreen(cellHeight) >= 4) {
        const std::uint32_t colour = CellGridScreen::kDefaultGridColour;
        for (int row = 1; row <= region.rows; ++row) {
            const std::int64_t y = zoom.toScreen(std::int64_t(row) * cellHeight) - 1;
            if (y < height) {
                target.Fill(0, static_cast<int>(y), width, 1, colour);
            }
        }
        for (int column = 1; column <= region.columns; ++column) {
            const std::int64_t x = zoom.toScreen(std::int64_t(column) * cellWidth) - 1;
            if (x < width) {
                target.Fill(static_cast<int>(x), 0, 1, height, colour);
            }
        }
    }
    return true;
}

platform::Outcome<bool> writePng(const std::string& path, const MapGrid& grid, const ChipSet* chips,
                                 const KindTable* kinds, const Region& region, int cellWidth,
                                 int cellHeight, const Style& style) {
    CNxSurface surface(32);
    if (!draw(surface, grid, chips, kinds, region, cellWidth, cellHeight, style)) {
        return platform::Outcome<bool>::because("not enough memory for the picture");
    }
    std::vector<std::uint8_t> png;
    return PngWriter::encode(surface.GetImage(), png).then([&] {
        return platform::writeFileAtomically(path, {{png.data(), png.size()}});
    });
}

}  // namespace picture
