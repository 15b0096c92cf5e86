#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "gfx/NxTypes.h"

// Which tiles of a window need presenting: one byte per tile over the client area. Tiles are
// powers of two in size, so marking is shifts only.
class CNxTileMap {
public:
    // A map over width × height pixels, every tile dirty.
    void Reset(std::int32_t width, std::int32_t height, std::uint32_t tileWidth,
               std::uint32_t tileHeight);

    // Marks every tile that rect (window pixels) touches.
    void MarkDirty(const RECT& rect);
    void MarkAll();
    bool IsDirty(int column, int row) const { return m_tiles[row * m_columns + column] != 0; }
    bool AnyDirty() const;

    // Takes every dirty tile off the map in runs: along each row, single clean tiles between two
    // dirty ones are taken too; a run is at most maxColumns tiles long and reaches down over at
    // most maxRows rows whose runs start and end alike. present gets each run's rectangle in
    // window pixels, cut at the map's right and bottom edges.
    void TakeRuns(int maxColumns, int maxRows, const std::function<void(const RECT&)>& present);

    int Columns() const { return m_columns; }
    int Rows() const { return m_rows; }

private:
    int runAt(int row, int column, int limit) const;

    std::vector<std::uint8_t> m_tiles;
    int m_columns = 0;
    int m_rows = 0;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    int m_shiftX = 0;
    int m_shiftY = 0;
};
