#pragma once

#include <cstdint>

#include "map/CellChanges.h"
#include "map/MapGrid.h"

// One undoable edit: enough to restore the cells or the shape it changed, and the cursor, view,
// layer and selection the user saw when it was recorded.
struct EditStep {
    enum class Kind {
        // Put, fill, block put, paste: firstBlock the cells before, secondBlock the same cells
        // after. Until the step is undone the cells after are the map's own, so undo takes
        // secondBlock and redo lets it go: a step over the whole map copies one layer, not two.
        Rectangle,
        // firstBlock / secondBlock: the removed chip / attribute rows, or per row the removed
        // cells. The map holds them again while the step is undone, so the step does not.
        RowsDeleted,
        ColumnsDeleted,
        RowsInserted,
        ColumnsInserted,
        // The target layer's changed cells, in replaceChanges.
        Replaced,
    };

    int cursorColumn = 0;
    int cursorRow = 0;
    // The cells affected; the selection as stored for fills, tiled pastes and replaces, so the
    // corners keep the order the user dragged them in.
    int x1 = -1;
    int y1 = -1;
    int x2 = -1;
    int y2 = -1;
    int viewX = 0;
    int viewY = 0;
    bool restoreSelection = false;  // after undo or redo, show x1, y1, x2, y2 as the selection
    Kind kind = Kind::Rectangle;
    int layer = MapGrid::kChipLayer;  // editLayer when recorded
    int replaceSourceLayer = MapGrid::kChipLayer;
    int replaceTargetLayer = MapGrid::kChipLayer;
    std::int32_t replaceFrom = 0;
    std::int32_t replaceTo = 0;
    MapGrid::Layer firstBlock;
    MapGrid::Layer secondBlock;
    // A replace keeps only the cells it changed rather than the whole target layer before:
    // ten replaces over a 5000 × 5000 map would otherwise hold a gigabyte.
    CellChanges replaceChanges;

    bool isShapeStep() const {
        return kind == Kind::RowsDeleted || kind == Kind::ColumnsDeleted ||
               kind == Kind::RowsInserted || kind == Kind::ColumnsInserted;
    }
};
