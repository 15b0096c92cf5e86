#pragma once

#include <optional>

#include "grid/SelectionRect.h"
#include "map/MapGrid.h"

// Where an edit happens: the map screen's cursor, selection, view and edited layer at the moment
// the user asks for it.
struct EditPlace {
    int layer = MapGrid::kChipLayer;  // editLayer
    int cursorColumn = 0;
    int cursorRow = 0;
    std::optional<SelectionRect> selection;  // the one shown, if any
    int viewX = 0;  // copied into the step, so that undo returns to this view
    int viewY = 0;

    // The selection, or the cursor cell when there is none: what the edits work on.
    SelectionRect area() const {
        return selection ? *selection : SelectionRect::cell(cursorColumn, cursorRow);
    }
};
