#pragma once

#include <cstddef>
#include <cstdint>
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
        // The step undone or redone, until the history next changes.
        const EditStep* step = nullptr;
    };

    // Appends a step. Steps that could have been redone are dropped; beyond ten steps the
    // oldest goes.
    void recordStep(EditStep step);
    bool canUndo() const;
    bool canRedo() const;
    // Forgets the steps; the map is as it was.
    void clearHistory();
    // Forgets the steps after a change the history does not hold (a new canvas size, a new
    // map): the map is in a state it has not been in before.
    void restart();

    // The map's state as the history knows it: every recorded step leads to a state of its own,
    // and undo and redo return to the states before, so that equal ids mean equal maps (as far
    // as the history goes: a restart makes a new state). The saved state is one such id.
    std::uint64_t stateId() const;

    // Undo or redo one step on grid; nothing (and no value) when there is none.
    std::optional<Restore> undo(MapGrid& grid);
    std::optional<Restore> redo(MapGrid& grid);

    // The step that led to the map's state: the last one recorded or redone; null when none.
    const EditStep* currentStep() const {
        return m_position > 0 ? &m_steps[m_position - 1] : nullptr;
    }

    int size() const { return static_cast<int>(m_steps.size()); }
    // The number of steps that can be undone.
    int position() const { return m_position; }

    // The heap the recorded steps hold.
    std::size_t heapBytes() const;

private:
    std::vector<EditStep> m_steps;
    int m_position = 0;
    std::uint64_t m_baseId = 0;  // the state before the first step held
    std::uint64_t m_nextId = 1;
};
