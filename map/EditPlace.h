#pragma once

#include "map/MapGrid.h"

// Where an edit happens: the map screen's cursor, selection, view and edited layer at the moment
// the user asks for it.
struct EditPlace {
    int layer = MapGrid::kChipLayer;  // editLayer
    int cursorColumn = 0;
    int cursorRow = 0;
    // The selection as stored: anchor (x1, y1), moving corner (x2, y2); −1 when there is none.
    int x1 = -1;
    int y1 = -1;
    int x2 = -1;
    int y2 = -1;
    bool selectionShown = false;
    int viewX = 0;  // copied into the step, so that undo returns to this view
    int viewY = 0;
};
