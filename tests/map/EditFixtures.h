#pragma once

#include <cstdint>

#include "map/EditPlace.h"
#include "map/MapGrid.h"

namespace edit_fixtures {

// A map whose every cell says where it is: chip 100 × row + column, attribute 10000 + that.
inline MapGrid numberedGrid(int columns, int rows) {
    MapGrid grid;
    grid.reset(columns, rows);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            grid.setChip(c, r, 100 * r + c);
            grid.setKind(c, r, 10000 + 100 * r + c);
        }
    }
    return grid;
}

// The cursor on (column, row) with no selection.
inline EditPlace cursorAt(int column, int row, int layer = MapGrid::kChipLayer) {
    EditPlace place;
    place.layer = layer;
    place.cursorColumn = column;
    place.cursorRow = row;
    return place;
}

// A selection dragged from (x1, y1) to (x2, y2); the cursor is its moving corner.
inline EditPlace selection(int x1, int y1, int x2, int y2, int layer = MapGrid::kChipLayer) {
    EditPlace place = cursorAt(x2, y2, layer);
    place.selection = SelectionRect{x1, y1, x2, y2};
    return place;
}

}  // namespace edit_fixtures
