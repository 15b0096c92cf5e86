#include "map/MapRenderer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "chips/ChipSet.h"
#include "chips/KindTable.h"
#include "gfx/CNxSurface.h"
#include "map/MapGrid.h"

namespace {

std::uint32_t* pixelRow(const CNxSurface& surface, int y) {
    return reinterpret_cast<std::uint32_t*>(surface.GetImage().Row(y));
}

// How much of a run of length starting at position fits before limit.
int cutTo(int position, int length, int limit) {
    return std::max(0, std::min(length, limit - position));
}

// The visible cells of a view: first column and row, the view's offset into them, and how many
// columns and rows reach into the window.
struct Visible {
    int width, height;  // the window, cut to the surface
    int firstColumn, firstRow;
    int offsetX, offsetY;
    int columns, rows;
};

Visible visibleCells(const CNxSurface& target, const MapGrid& grid, const MapRenderer::View& view) {
    Visible v{};
    v.width = std::clamp(view.width, 0, target.GetWidth());
    v.height = std::clamp(view.height, 0, target.GetHeight());
    if (!grid.hasSize() || view.x < 0 || view.y < 0 || view.cellWidth <= 0 ||
        view.cellHeight <= 0) {
        return v;
    }
    v.firstColumn = view.x / view.cellWidth;
    v.offsetX = view.x % view.cellWidth;
    v.firstRow = view.y / view.cellHeight;
    v.offsetY = view.y % view.cellHeight;
    v.columns = std::clamp((v.width + v.offsetX + view.cellWidth - 1) / view.cellWidth, 0,
                           std::max(grid.columns() - v.firstColumn, 0));
    v.rows = std::clamp((v.height + v.offsetY + view.cellHeight - 1) / view.cellHeight, 0,
                        std::max(grid.rows() - v.firstRow, 0));
    return v;
}

// Black where the map ends before the window does; the cells drew the rest.
void fillBeyond(CNxSurface& target, const Visible& v, int drawnWidth, int drawnHeight) {
    drawnWidth = std::clamp(drawnWidth, 0, v.width);
    drawnHeight = std::clamp(drawnHeight, 0, v.height);
    if (drawnWidth < v.width) {
        target.Fill(drawnWidth, 0, v.width - drawnWidth, v.height, MapRenderer::kBeyondMapColour);
    }
    if (drawnHeight < v.height) {
        target.Fill(0, drawnHeight, drawnWidth, v.height - drawnHeight,
                    MapRenderer::kBeyondMapColour);
    }
}

}  // namespace

void MapRenderer::drawChips(CNxSurface& target, const MapGrid& grid, const ChipSet* chips,
                            const View& view) {
    const Visible v = visibleCells(target, grid, view);
    if (chips != nullptr && (!chips->hasImage() || chips->chipWidth() != view.cellWidth ||
                             chips->chipHeight() != view.cellHeight)) {
        chips = nullptr;  // nothing may be read from beyond the image
    }
    // Where each visible column lands, how much of it shows, and from where in its chip.
    std::vector<int> left(v.columns), width(v.columns), skip(v.columns);
    int x = 0;
    for (int c = 0; c < v.columns; ++c) {
        skip[c] = c == 0 ? v.offsetX : 0;
        left[c] = x;
        width[c] = cutTo(x, view.cellWidth - skip[c], v.width);
        x += view.cellWidth - skip[c];
    }
    const std::ptrdiff_t sourcePitch =
        chips != nullptr ? chips->image()->GetImage().GetPitch() / 4 : 0;
    std::vector<const std::uint32_t*> source(v.columns);
    int y = 0;
    for (int r = 0; r < v.rows && y < v.height; ++r) {
        const int skipY = r == 0 ? v.offsetY : 0;
        const int height = cutTo(y, view.cellHeight - skipY, v.height);
        const std::int32_t* cells = grid.rowCells(MapGrid::kChipLayer, v.firstRow + r);
        for (int c = 0; c < v.columns; ++c) {
            const std::int32_t n = cells[v.firstColumn + c];
            source[c] =
                chips != nullptr && chips->isChip(n)
                    ? pixelRow(*chips->image(), chips->chipY(n) + skipY) + chips->chipX(n) + skip[c]
                    : nullptr;
        }
        // Row by row of the target, so that every line is written once, left to right.
        for (int line = 0; line < height; ++line) {
            std::uint32_t* out = pixelRow(target, y + line);
            for (int c = 0; c < v.columns; ++c) {
                if (source[c] != nullptr) {
                    std::memcpy(out + left[c], source[c] + line * sourcePitch,
                                static_cast<std::size_t>(width[c]) * 4);
                } else {
                    std::fill_n(out + left[c], width[c], kEmptyCellColour);
                }
            }
        }
        y += view.cellHeight - skipY;
    }
    fillBeyond(target, v, x, y);
}

void MapRenderer::drawAttributes(CNxSurface& target, const MapGrid& grid, const KindTable* table,
                                 const View& view) {
    const Visible v = visibleCells(target, grid, view);
    std::vector<std::uint32_t> colours(v.columns);
    for (int r = 0; r < v.rows; ++r) {
        const std::int32_t* cells = grid.rowCells(MapGrid::kKindLayer, v.firstRow + r);
        for (int c = 0; c < v.columns; ++c) {
            const std::int32_t n = cells[v.firstColumn + c];
            if (table != nullptr && table->hasRecord(n)) {
                const KindRecord& record = table->records()[n];
                colours[c] = 0xFF000000u | std::uint32_t(record.red) << 16 |
                             std::uint32_t(record.green) << 8 | record.blue;
            } else {
                colours[c] = kEmptyCellColour;
            }
        }
        const int top = r * view.cellHeight;
        const int height = cutTo(top, view.cellHeight, v.height);
        for (int line = 0; line < height; ++line) {
            std::uint32_t* out = pixelRow(target, top + line);
            for (int c = 0; c < v.columns; ++c) {
                const int left = c * view.cellWidth;
                std::fill_n(out + left, cutTo(left, view.cellWidth, v.width), colours[c]);
            }
        }
    }
    fillBeyond(target, v, v.columns * view.cellWidth, v.rows * view.cellHeight);
}
