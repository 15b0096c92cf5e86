#include "gfx/CNxTileMap.h"

#include <algorithm>

namespace {

int log2Of(std::uint32_t powerOfTwo) {
    int shift = 0;
    while ((1u << shift) < powerOfTwo) {
        ++shift;
    }
    return shift;
}

}  // namespace

void CNxTileMap::Reset(std::int32_t width, std::int32_t height, std::uint32_t tileWidth,
                       std::uint32_t tileHeight) {
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_shiftX = log2Of(tileWidth);
    m_shiftY = log2Of(tileHeight);
    m_columns = static_cast<int>((m_width + (1 << m_shiftX) - 1) >> m_shiftX);
    m_rows = static_cast<int>((m_height + (1 << m_shiftY) - 1) >> m_shiftY);
    m_tiles.assign(static_cast<std::size_t>(m_columns) * m_rows, 1);
}

void CNxTileMap::MarkDirty(const RECT& rect) {
    if (rect.left >= rect.right || rect.top >= rect.bottom) {
        return;
    }
    const std::int64_t tw = std::int64_t(1) << m_shiftX, th = std::int64_t(1) << m_shiftY;
    const int c0 = static_cast<int>(std::max<std::int64_t>(rect.left, 0) >> m_shiftX);
    const int r0 = static_cast<int>(std::max<std::int64_t>(rect.top, 0) >> m_shiftY);
    const int c1 = static_cast<int>(
        std::min<std::int64_t>((std::int64_t(rect.right) + tw - 1) >> m_shiftX, m_columns));
    const int r1 = static_cast<int>(
        std::min<std::int64_t>((std::int64_t(rect.bottom) + th - 1) >> m_shiftY, m_rows));
    for (int r = r0; r < r1; ++r) {
        for (int c = c0; c < c1; ++c) {
            m_tiles[r * m_columns + c] = 1;
        }
    }
}

void CNxTileMap::MarkAll() {
    std::fill(m_tiles.begin(), m_tiles.end(), 1);
}

bool CNxTileMap::AnyDirty() const {
    return std::find(m_tiles.begin(), m_tiles.end(), 1) != m_tiles.end();
}

int CNxTileMap::runAt(int row, int column, int limit) const {
    int n = 0;
    while (column + n < m_columns && n < limit && IsDirty(column + n, row)) {
        ++n;
    }
    return n;
}

void CNxTileMap::TakeRuns(int maxColumns, int maxRows,
                          const std::function<void(const RECT&)>& present) {
    maxColumns = std::max(maxColumns, 1);
    maxRows = std::max(maxRows, 1);
    for (int row = 0; row < m_rows; ++row) {
        std::uint8_t* tiles = &m_tiles[row * m_columns];
        // Presenting one clean tile costs less than splitting a run in two.
        for (int k = 0; k < m_columns - 2; k += 2) {
            if (tiles[k] && tiles[k + 2]) {
                tiles[k + 1] = 1;
            }
        }
        for (int k = 0; k < m_columns;) {
            if (!tiles[k]) {
                ++k;
                continue;
            }
            const int run = runAt(row, k, maxColumns);
            std::fill(tiles + k, tiles + k + run, 0);
            int rowsTaken = 1;
            while (rowsTaken < maxRows && row + rowsTaken < m_rows) {
                const int below = row + rowsTaken;
                if ((k > 0 && IsDirty(k - 1, below)) || runAt(below, k, maxColumns) != run) {
                    break;
                }
                std::fill(&m_tiles[below * m_columns + k], &m_tiles[below * m_columns + k + run],
                          0);
                ++rowsTaken;
            }
            const RECT rect{k << m_shiftX, row << m_shiftY,
                            std::min<std::int32_t>((k + run) << m_shiftX, m_width),
                            std::min<std::int32_t>((row + rowsTaken) << m_shiftY, m_height)};
            present(rect);
            k += run;
        }
    }
}
