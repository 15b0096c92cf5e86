#pragma once

#include <cstdint>

#include "map/ChipBlock.h"
#include "map/EditPlace.h"
#include "map/EditResult.h"
#include "map/MapGrid.h"
#include "platform/FileIo.h"

// The editing operations on a map: putting values, stamping and tiling blocks, copying and
// pasting, inserting and deleting rows and columns, replacing, and the canvas size. They know
// nothing of windows; each works on the grid and the place the user edits, changes the cells,
// and says what happened — the step to record, the message to show — so that the map screen
// adds only its own parts (cursor, view, selection, drawing, title, message boxes).
//
// Without a selection the cursor cell stands for it.
class MapEditor {
public:
    // The most rows and columns insertion lets a map have.
    static constexpr int kMaxLines = MapGrid::kMaxCanvas;

    // Put: with a block (the chip window's multi-chip selection) in the chip view, putBlock;
    // otherwise fillSelection with value when a selection is shown, else putCell.
    static EditResult put(MapGrid& grid, const EditPlace& place, std::int32_t value,
                          const ChipBlock* block = nullptr);
    // Erase: an empty chip into the selection or the cursor cell. Does nothing in the attribute
    // view.
    static EditResult erase(MapGrid& grid, const EditPlace& place);

    // Puts value into the cursor cell; the step is recorded even when the value was already
    // there.
    static EditResult putCell(MapGrid& grid, const EditPlace& place, std::int32_t value);
    // Puts value into every cell of the selection inside the map.
    static EditResult fillSelection(MapGrid& grid, const EditPlace& place, std::int32_t value);
    // Chip view only. A one-cell selection (or none) stamps the block with its top-left chip on
    // the cursor cell, cut off at the map's edges; a larger selection is tiled with it.
    static EditResult putBlock(MapGrid& grid, const EditPlace& place, const ChipBlock& block);

    // The cells of the edited layer in the selection (or the cursor cell), as far as the map
    // reaches: the new copy buffer of that layer.
    static MapGrid::Layer copySelection(const MapGrid& grid, const EditPlace& place);
    // Pastes the copy buffer of the edited layer: stamped from the cursor cell for a one-cell
    // selection (or none), tiled over a larger one. Nothing happens for an empty buffer.
    static EditResult paste(MapGrid& grid, const EditPlace& place, const MapGrid::Layer& buffer);
    static bool canPaste(const MapGrid::Layer& buffer) { return !buffer.empty(); }

    // Inserts or deletes the selection's rows or columns in both layers; columns wins
    // when both are asked for. Insertion stops at kMaxLines and says so once; deletion that
    // would leave no row or column is refused.
    static EditResult insertOrDeleteLines(MapGrid& grid, const EditPlace& place, bool deleting,
                                          bool rows, bool columns);

    // Sets to in every cell of targetLayer whose cell in sourceLayer holds from
    // (layers 0 chips, 1 attributes).
    static EditResult replace(MapGrid& grid, const EditPlace& place, std::int32_t from,
                              std::int32_t to, int sourceLayer, int targetLayer,
                              const platform::Progress& progress = {});

    // Brings the canvas to columns × rows, each 1 … 5000. Records no step: the screen empties
    // the history.
    static EditResult setCanvasSize(MapGrid& grid, int columns, int rows);
};
