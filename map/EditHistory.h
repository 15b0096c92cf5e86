#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "grid/SelectionRect.h"
#include "map/EditStep.h"
#include "map/MapGrid.h"

// The last ten edits of the map, for undo and redo. Undo and redo change the grid themselves
// and hand back what the map screen restores of its own: cursor, view, layer and selection.
class EditHistory {
public:
    static constexpr int kMaxSteps = 10;

    // What the screen sets after an undo or redo.
    struct Restore {
        // Where the cursor goes: where it was, or the moving corner of a restored rectangle of
        // cells, so that the cursor and the selection's frame stay together.
        int cursorColumn = 0;
        int cursorRow = 0;
        int viewX = 0;
        int viewY = 0;
        int editLayer = MapGrid::kChipLayer;
        // Rows or columns changed: empty both copy buffers and lay the view out again.
        bool shapeChanged = false;
        // Clear the selection; then show this one, if any.
        std::optional<SelectionRect> selection;
    };

    // Appends a step. Steps that could have been redone are dropped; beyond ten steps the
    // oldest goes.
    void recordStep(EditStep step);
    bool canUndo() const;
    bool canRedo() const;
    void clearHistory();

    // Undo or redo one step on grid; nothing (and no value) when there is none.
    std::optional<Restore> undo(MapGrid& grid);
    std::optional<Restore> redo(MapGrid& grid);

    int size() const { return static_cast<int>(m_steps.size()); }
    // The number of steps that can be undone.
    int position() const { return m_position; }

    // The heap the recorded steps hold.
    std::size_t heapBytes() const;

private:
    std::vector<EditStep> m_steps;
    int m_position = 0;
};
