#pragma once

#include <optional>

#include "map/EditMessages.h"
#include "map/EditStep.h"

// What an editing operation did, for the map screen to follow up with its own parts.
struct EditResult {
    // Cells or the shape changed: redraw.
    bool changed = false;
    // Rows or columns changed: empty both copy buffers and reset the view. For row and column
    // operations the cursor goes to cursorColumn, cursorRow; for the canvas size to 0, 0.
    bool shapeChanged = false;
    int cursorColumn = 0;
    int cursorRow = 0;
    // The layer the screen switches to before showing the message (replace), or −1.
    int switchToLayer = -1;
    // Shown before the step is recorded; None when there is nothing to say.
    EditMessage message = EditMessage::None;
    int count = 0;  // the cells a replace matched, for its message
    // The step to record, once the screen has done its part. For row and column steps the
    // screen sets viewX and viewY to the view it ends with.
    std::optional<EditStep> step;
};
