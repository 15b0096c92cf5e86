#include "map/MapRenderer.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <vector>

#include "chips/ChipSet.h"
#include "chips/KindTable.h"
#include "chips/ZoomedDrawing.h"
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

bool viewHasCells(const MapGrid& grid, const MapRenderer::View& view) {
    return grid.hasSize() && view.x >= 0 && view.y >= 0 && view.cellWidth > 0 &&
           view.cellHeight > 0;
}

// The chip layer as lines of a level of the chip image, for zoomed::draw: a cell without a chip
// of the image is grey and the map ends in black.
class ChipLines {
public:
    static constexpr std::int32_t kEmpty = -1;
    static constexpr std::int32_t kBeyond = -2;

    ChipLines(const MapGrid& grid, const ChipSet* chips, const MapRenderer::View& view)
        : m_grid(grid),
          m_chips(chips),
          m_cellWidth(view.cellWidth),
          m_cellHeight(view.cellHeight),
          m_hasCells(viewHasCells(grid, view)) {}

    // The cells of a row repeat on each of its lines: their runs are found once per row.
    void pixels(int k, std::int64_t x, std::int64_t y, int count, std::uint32_t* out) {
        const CNxSurface* level = m_chips != nullptr ? m_chips->levels().level(k) : nullptr;
        const int cellHeight = m_cellHeight >> k;
        const std::int64_t row = m_hasCells ? y / cellHeight : -1;
        const Line line{k, x, row, count};
        if (!(line == m_line)) {
            m_line = line;
            m_runs.clear();
            spans(k, x, row * cellHeight, count,
                  [&](std::int32_t n, int inX, int, int at, int length) {
                      const bool chip = n >= 0 && level != nullptr;
                      m_runs.push_back({at, length,
                                        chip ? pixelRow(*level, m_chips->chipY(n) >> k) +
                                                   (m_chips->chipX(n) >> k) + inX
                                             : nullptr,
                                        n == kBeyond ? MapRenderer::kBeyondMapColour
                                                     : MapRenderer::kEmptyCellColour});
                  });
        }
        const std::ptrdiff_t down =
            level != nullptr && row >= 0
                ? (y - row * cellHeight) * (level->GetImage().GetPitch() / 4)
                : 0;
        for (const Run& run : m_runs) {
            if (run.top == nullptr) {
                std::fill_n(out + run.at, run.length, run.colour);
            } else if (run.length == 1) {
                out[run.at] = run.top[down];  // the most common run below 1:1: no call
            } else {
                std::memcpy(out + run.at, run.top + down, static_cast<std::size_t>(run.length) * 4);
            }
        }
    }

    void sums(int k, std::int64_t x, std::int64_t y, int count, PixelSums* out) const {
        const PixelSums* levelSums =
            m_chips != nullptr && k > 0 ? m_chips->levels().sums(k) : nullptr;
        const std::size_t pitch = m_chips != nullptr ? m_chips->levels().levelWidth(k) : 0;
        const CNxSurface* image =
            m_chips != nullptr && k == 0 ? m_chips->levels().level(0) : nullptr;
        const std::uint32_t blockPixels = 1u << 2 * k;
        spans(k, x, y, count, [&](std::int32_t n, int inX, int inY, int at, int length) {
            const std::size_t left = n >= 0 ? std::size_t(m_chips->chipX(n) >> k) + inX : 0;
            const std::size_t top = n >= 0 ? std::size_t(m_chips->chipY(n) >> k) + inY : 0;
            if (n >= 0 && image != nullptr) {
                const std::uint32_t* from = pixelRow(*image, static_cast<int>(top)) + left;
                for (int i = 0; i < length; ++i) {
                    out[at + i] = PixelSums::of(from[i]);
                }
            } else if (n >= 0 && levelSums != nullptr) {
                const PixelSums* from = levelSums + top * pitch + left;
                if (length == 1) {
                    out[at] = *from;  // the most common run below 1:1: no call
                } else {
                    std::copy_n(from, length, out + at);
                }
            } else {
                std::fill_n(out + at, length,
                            PixelSums::of(n == kBeyond ? MapRenderer::kBeyondMapColour
                                                       : MapRenderer::kEmptyCellColour,
                                          blockPixels));
            }
        });
    }

    // Every block is whole: beyond the map is black, not nothing.
    std::uint32_t blockCount(std::int64_t, std::int64_t, int size) const {
        return static_cast<std::uint32_t>(size * size);
    }

private:
    // Calls span(chip number, kEmpty or kBeyond, where in the cell at level k, where in the
    // line, how many pixels) for the cells under count pixels of level k from (x, y), left to
    // right. 2^k divides the cell sides.
    template <typename Span>
    void spans(int k, std::int64_t x, std::int64_t y, int count, Span&& span) const {
        const int cellWidth = m_cellWidth >> k, cellHeight = m_cellHeight >> k;
        if (!m_hasCells || y >= std::int64_t(m_grid.rows()) * cellHeight) {
            span(kBeyond, 0, 0, 0, count);
            return;
        }
        const std::int32_t* cells =
            m_grid.rowCells(MapGrid::kChipLayer, static_cast<int>(y / cellHeight));
        const int inY = static_cast<int>(y % cellHeight);
        std::int64_t column = x / cellWidth;
        int inX = static_cast<int>(x % cellWidth);
        for (int at = 0; at < count; ++column, inX = 0) {
            if (column >= m_grid.columns()) {
                span(kBeyond, 0, inY, at, count - at);
                return;
            }
            const int length = std::min(cellWidth - inX, count - at);
            const std::int32_t n = cells[column];
            span(m_chips != nullptr && m_chips->isChip(n) ? n : kEmpty, inX, inY, at, length);
            at += length;
        }
    }

    struct Line {
        int k = -1;
        std::int64_t x = 0, row = 0;
        int count = 0;
        bool operator==(const Line& o) const {
            return k == o.k && x == o.x && row == o.row && count == o.count;
        }
    };
    // A run of pixels from a chip's line at the top of its cell, or of one colour.
    struct Run {
        int at, length;
        const std::uint32_t* top;
        std::uint32_t colour;
    };

    const MapGrid& m_grid;
    const ChipSet* m_chips;
    int m_cellWidth, m_cellHeight;
    bool m_hasCells;
    Line m_line;  // whose runs m_runs holds
    std::vector<Run> m_runs;
};

// The cells, or beyond the map, under a run of screen pixels below 1:1: for each screen pixel
// the runs of map pixels of each cell it covers, as (index, map pixels) pairs from first[X].
struct Overlaps {
    std::vector<int> first;  // screen pixel X's pairs start at first[X], end at first[X + 1]
    std::vector<int> index;  // cells from the first visible one; cells() for beyond the map
    std::vector<int> weight;
    int cells = 0;  // how many cells the run touches

    Overlaps(int screenPixels, int size, int cellSize, int cellsLeft) {
        first.reserve(screenPixels + 1);
        for (int pixel = 0; pixel < screenPixels; ++pixel) {
            first.push_back(static_cast<int>(index.size()));
            for (std::int64_t at = std::int64_t(pixel) * size, end = at + size; at < end;) {
                const std::int64_t cell = at / cellSize;
                const std::int64_t next = std::min(end, (cell + 1) * cellSize);
                index.push_back(cell < cellsLeft ? static_cast<int>(cell) : -1);
                weight.push_back(static_cast<int>(next - at));
                cells =
                    std::max(cells, static_cast<int>(std::min<std::int64_t>(cell + 1, cellsLeft)));
                at = next;
            }
        }
        first.push_back(static_cast<int>(index.size()));
        std::replace(index.begin(), index.end(), -1, cells);
    }
};

// Far out, where a screen pixel covers whole cells (a 32-pixel chip at 1/32, 16-pixel chips
// two by two): each cell is its chip's sum, looked up by number, so that a window of 1.3 million
// cells costs a lookup each. False when the zoom's block is no whole number of cells.
bool drawWholeCells(CNxSurface& target, const MapGrid& grid, const ChipSet* chips,
                    const MapRenderer::View& view) {
    const Zoom zoom = zoomed::checked(view.zoom);
    const int size = zoom.den;
    if (!zoom.reduces() || chips == nullptr || !viewHasCells(grid, view) ||
        size % view.cellWidth != 0 || size % view.cellHeight != 0 || view.x % view.cellWidth != 0 ||
        view.y % view.cellHeight != 0) {
        return false;
    }
    const int across = size / view.cellWidth, down = size / view.cellHeight;  // cells a pixel
    const std::uint32_t cellPixels = static_cast<std::uint32_t>(view.cellWidth * view.cellHeight);
    const std::vector<PixelSums>& sums = chips->chipSums();
    const PixelSums empty = PixelSums::of(MapRenderer::kEmptyCellColour, cellPixels);
    const PixelSums beyond = PixelSums::of(MapRenderer::kBeyondMapColour, cellPixels);
    const std::uint32_t blockPixels = static_cast<std::uint32_t>(size * size);
    const int width = std::clamp(view.width, 0, target.GetWidth());
    const int height = std::clamp(view.height, 0, target.GetHeight());
    const int firstColumn = view.x / view.cellWidth, firstRow = view.y / view.cellHeight;
    // Each chip's colour once, for the pixels that are one cell, and after them the grey of
    // cells without a chip: every number looks up without a branch.
    const std::uint32_t chipCount = static_cast<std::uint32_t>(sums.size());
    std::vector<std::uint32_t> colours;
    if (across == 1 && down == 1) {
        colours.reserve(sums.size() + 1);
        for (const PixelSums& chip : sums) {
            colours.push_back(chip.average(cellPixels));
        }
        colours.push_back(empty.average(cellPixels));
    }
    const int columns = static_cast<int>(
        std::clamp<std::int64_t>((std::int64_t(grid.columns()) - firstColumn) / across, 0, width));
    std::vector<PixelSums> line(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        std::uint32_t* out = pixelRow(target, y);
        const std::int64_t top = firstRow + std::int64_t(y) * down;
        if (across == 1 && down == 1) {
            if (top >= grid.rows()) {
                std::fill_n(out, width, MapRenderer::kBeyondMapColour);
                continue;
            }
            const std::int32_t* cells =
                grid.rowCells(MapGrid::kChipLayer, static_cast<int>(top)) + firstColumn;
            const std::uint32_t* __restrict table = colours.data();
            std::uint32_t* __restrict to = out;
            int x = 0;
            // Four at a time: the lookups of one do not wait for those of the others.
            for (; x + 4 <= columns; x += 4) {
                const std::uint32_t a = static_cast<std::uint32_t>(cells[x]);
                const std::uint32_t b = static_cast<std::uint32_t>(cells[x + 1]);
                const std::uint32_t c = static_cast<std::uint32_t>(cells[x + 2]);
                const std::uint32_t d = static_cast<std::uint32_t>(cells[x + 3]);
                to[x] = table[std::min(a, chipCount)];
                to[x + 1] = table[std::min(b, chipCount)];
                to[x + 2] = table[std::min(c, chipCount)];
                to[x + 3] = table[std::min(d, chipCount)];
            }
            for (; x < columns; ++x) {
                to[x] = table[std::min(static_cast<std::uint32_t>(cells[x]), chipCount)];
            }
            std::fill(out + columns, out + width, MapRenderer::kBeyondMapColour);
            continue;
        }
        std::fill(line.begin(), line.end(), PixelSums{});
        for (int j = 0; j < down; ++j) {
            const std::int64_t row = top + j;
            const std::int32_t* cells =
                row < grid.rows() ? grid.rowCells(MapGrid::kChipLayer, static_cast<int>(row))
                                  : nullptr;
            for (int x = 0; x < width; ++x) {
                for (int i = 0; i < across; ++i) {
                    const std::int64_t column = firstColumn + std::int64_t(x) * across + i;
                    if (cells == nullptr || column >= grid.columns()) {
                        line[static_cast<std::size_t>(x)].add(beyond);
                    } else {
                        const std::uint32_t n = static_cast<std::uint32_t>(cells[column]);
                        line[static_cast<std::size_t>(x)].add(n < chipCount ? sums[n] : empty);
                    }
                }
            }
        }
        for (int x = 0; x < width; ++x) {
            out[x] = line[static_cast<std::size_t>(x)].average(blockPixels);
        }
    }
    return true;
}

}  // namespace

void MapRenderer::drawChips(CNxSurface& target, const MapGrid& grid, const ChipSet* chips,
                            const View& view) {
    if (chips != nullptr && (!chips->hasImage() || chips->chipWidth() != view.cellWidth ||
                             chips->chipHeight() != view.cellHeight)) {
        chips = nullptr;  // nothing may be read from beyond the image
    }
    if (drawWholeCells(target, grid, chips, view)) {
        return;
    }
    ChipLines lines(grid, chips, view);
    // Level blocks must lie within cells: the powers of two that divide both sides.
    const int alignment = viewHasCells(grid, view) ? std::gcd(view.cellWidth, view.cellHeight) : 1;
    zoomed::draw(target, std::clamp(view.width, 0, target.GetWidth()),
                 std::clamp(view.height, 0, target.GetHeight()), view.x, view.y, view.zoom,
                 alignment, lines);
}

void MapRenderer::drawAttributes(CNxSurface& target, const MapGrid& grid, const KindTable* table,
                                 const View& view) {
    const int width = std::clamp(view.width, 0, target.GetWidth());
    const int height = std::clamp(view.height, 0, target.GetHeight());
    if (width == 0 || height == 0) {
        return;
    }
    if (!viewHasCells(grid, view)) {
        target.Fill(0, 0, width, height, kBeyondMapColour);
        return;
    }
    const Zoom zoom = zoomed::checked(view.zoom);
    const int firstColumn = view.x / view.cellWidth, firstRow = view.y / view.cellHeight;
    const int columnsLeft = std::max(grid.columns() - firstColumn, 0);
    const int rowsLeft = std::max(grid.rows() - firstRow, 0);
    // The colours of the cells of a row from the first visible column, black past the map.
    std::vector<std::uint32_t> colours;
    const auto rowColours = [&](int row, int count) {
        colours.assign(static_cast<std::size_t>(count) + 1, kBeyondMapColour);
        const std::int32_t* cells =
            row < rowsLeft ? grid.rowCells(MapGrid::kKindLayer, firstRow + row) : nullptr;
        for (int c = 0; cells != nullptr && c < std::min(count, columnsLeft); ++c) {
            const std::int32_t n = cells[firstColumn + c];
            if (table != nullptr && table->hasRecord(n)) {
                const KindRecord& record = table->records()[n];
                colours[c] = 0xFF000000u | std::uint32_t(record.red) << 16 |
                             std::uint32_t(record.green) << 8 | record.blue;
            } else {
                colours[c] = kEmptyCellColour;
            }
        }
    };
    if (!zoom.reduces()) {
        // Whole cells from the window's edge, num × num screen pixels to a map pixel.
        const int cellWidth = static_cast<int>(
            std::min<std::int64_t>(std::int64_t(view.cellWidth) * zoom.num, width));
        const int cellHeight = static_cast<int>(
            std::min<std::int64_t>(std::int64_t(view.cellHeight) * zoom.num, height));
        const int columns = std::min((width + cellWidth - 1) / cellWidth, columnsLeft);
        const int rows = std::min((height + cellHeight - 1) / cellHeight, rowsLeft);
        for (int r = 0; r < rows; ++r) {
            rowColours(r, columns);
            const int top = r * cellHeight;
            for (int line = 0; line < cutTo(top, cellHeight, height); ++line) {
                std::uint32_t* out = pixelRow(target, top + line);
                for (int c = 0; c < columns; ++c) {
                    std::fill_n(out + c * cellWidth, cutTo(c * cellWidth, cellWidth, width),
                                colours[c]);
                }
            }
        }
        const int drawnWidth = std::min(columns * cellWidth, width);
        const int drawnHeight = std::min(rows * cellHeight, height);
        if (drawnWidth < width) {
            target.Fill(drawnWidth, 0, width - drawnWidth, height, kBeyondMapColour);
        }
        if (drawnHeight < height) {
            target.Fill(0, drawnHeight, drawnWidth, height - drawnHeight, kBeyondMapColour);
        }
        return;
    }
    // Below 1:1 a screen pixel averages its den × den map pixels, cell by cell they cover: the
    // colours weighted by the area of each cell's part (the cells are opaque).
    const int size = zoom.den;
    const Overlaps across(width, size, view.cellWidth, columnsLeft);
    const Overlaps down(height, size, view.cellHeight, rowsLeft);
    // size² is a power of two: the rounding halves of (2·sum + size²) / (2·size²) as shifts.
    int areaShift = 0;
    while ((1 << areaShift) < size * size) {
        ++areaShift;
    }
    const std::uint32_t half = static_cast<std::uint32_t>(size * size / 2);
    std::vector<std::uint32_t> sums(static_cast<std::size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        for (int d = down.first[y]; d < down.first[y + 1]; ++d) {
            rowColours(down.index[d], across.cells);
            const std::uint32_t rowWeight = static_cast<std::uint32_t>(down.weight[d]);
            for (int x = 0; x < width; ++x) {
                for (int a = across.first[x]; a < across.first[x + 1]; ++a) {
                    const std::uint32_t colour = colours[across.index[a]];
                    const std::uint32_t w =
                        rowWeight * static_cast<std::uint32_t>(across.weight[a]);
                    sums[3 * x] += (colour >> 16 & 0xFF) * w;
                    sums[3 * x + 1] += (colour >> 8 & 0xFF) * w;
                    sums[3 * x + 2] += (colour & 0xFF) * w;
                }
            }
        }
        std::uint32_t* out = pixelRow(target, y);
        for (int x = 0; x < width; ++x) {
            const auto channel = [&](int i) { return (sums[3 * x + i] + half) >> areaShift; };
            out[x] = 0xFF000000u | channel(0) << 16 | channel(1) << 8 | channel(2);
        }
    }
}
