#pragma once

#include <cstdint>
#include <optional>
#include <variant>

#include "grid/SelectionRect.h"
#include "map/CellChanges.h"
#include "map/MapGrid.h"

// Put, fill, block put or paste: a rectangle of cells of the step's layer.
struct CellsStep {
    SelectionRect cells;  // as the selection held them, for fills, tiled pastes and the like
    // The cells before. Until the step is undone the cells after are the map's own, so undo
    // fills `after` and redo lets it go: a step over the whole map copies one layer, not two.
    MapGrid::Layer before;
    MapGrid::Layer after;
};

// Rows or columns inserted into or deleted from both layers.
struct LinesStep {
    bool columns = false;  // else rows
    bool deleted = false;  // else inserted
    int first = 0;
    int count = 0;
    // What a deletion took out: per removed row its chips and attributes, or per row of the
    // map its removed cells. The map holds them again while the step is undone, so the step
    // does not.
    MapGrid::Layer removedChips;
    MapGrid::Layer removedKinds;
};

// A replace of every `from` in the source layer by `to` in the target layer, which is the
// step's layer.
struct ReplaceStep {
    int sourceLayer = MapGrid::kChipLayer;
    std::int32_t from = 0;
    std::int32_t to = 0;
    // Only the cells it changed rather than the whole target layer before: ten replaces over a
    // 5000 × 5000 map would otherwise hold a gigabyte.
    CellChanges changes;
};

// One undoable edit: enough to restore the cells or the shape it changed, and the cursor, view,
// layer and selection the user saw when it was recorded.
struct EditStep {
    int cursorColumn = 0;
    int cursorRow = 0;
    int viewX = 0;
    int viewY = 0;
    int layer = MapGrid::kChipLayer;  // editLayer when recorded; a replace's target layer
    // Shown again after undo or redo.
    std::optional<SelectionRect> selection;
    std::variant<CellsStep, LinesStep, ReplaceStep> change;
    // The map state the step leads to, given by the history when it records the step.
    std::uint64_t id = 0;

    bool changesShape() const { return std::holds_alternative<LinesStep>(change); }
};
