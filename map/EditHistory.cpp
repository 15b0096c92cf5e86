#include "map/EditHistory.h"

#include <algorithm>
#include <cstdlib>

namespace {

using Kind = EditStep::Kind;

std::size_t blockBytes(const MapGrid::Layer& block) {
    std::size_t bytes = block.capacity() * sizeof(MapGrid::Row);
    for (const MapGrid::Row& row : block) {
        bytes += row.capacity() * sizeof(std::int32_t);
    }
    return bytes;
}

// The screen's part of undo and redo alike: the cursor, view and layer of the step, and its
// rectangle as the selection when it restores one.
EditHistory::Restore restoreOf(const EditStep& step) {
    EditHistory::Restore restore;
    restore.cursorColumn = step.cursorColumn;
    restore.cursorRow = step.cursorRow;
    restore.viewX = step.viewX;
    restore.viewY = step.viewY;
    restore.editLayer = step.layer;
    restore.spriteColumn = step.cursorColumn;
    restore.spriteRow = step.cursorRow;
    restore.shapeChanged = step.isShapeStep();
    restore.showSelection = step.restoreSelection;
    restore.x1 = step.x1;
    restore.y1 = step.y1;
    restore.x2 = step.x2;
    restore.y2 = step.y2;
    if (step.kind == Kind::Rectangle && step.restoreSelection) {
        restore.spriteColumn = step.x2;
        restore.spriteRow = step.y2;
    }
    return restore;
}

// Writes a rectangle step's block back at the rectangle's top-left cell, as far as both reach.
void writeBlock(MapGrid& grid, const EditStep& step, const MapGrid::Layer& block) {
    if (!MapGrid::isLayer(step.layer)) {
        return;
    }
    grid.writeRect(step.layer, std::min(step.x1, step.x2), std::min(step.y1, step.y2), block,
                   std::abs(step.x2 - step.x1) + 1, std::abs(step.y2 - step.y1) + 1);
}

// The cells that writeBlock(block) is about to overwrite, row by row.
MapGrid::Layer cellsUnder(const MapGrid& grid, const EditStep& step, const MapGrid::Layer& block) {
    MapGrid::Layer cells;
    const int left = std::min(step.x1, step.x2), top = std::min(step.y1, step.y2);
    if (!MapGrid::isLayer(step.layer) || left < 0 || top < 0 || left >= grid.columns()) {
        return cells;
    }
    const std::size_t rows =
        std::min({block.size(), static_cast<std::size_t>(std::abs(step.y2 - step.y1) + 1),
                  static_cast<std::size_t>(std::max(grid.rows() - top, 0))});
    const std::size_t width = std::min(std::abs(step.x2 - step.x1) + 1, grid.columns() - left);
    cells.reserve(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        const std::int32_t* row = grid.rowCells(step.layer, top + static_cast<int>(i)) + left;
        cells.emplace_back(row, row + std::min(block[i].size(), width));
    }
    return cells;
}

// Does a replace again on the rows it changed; the others held no cell it would change.
void replaceAgain(MapGrid& grid, const EditStep& step) {
    const int source = step.replaceSourceLayer, target = step.replaceTargetLayer;
    if (!MapGrid::isLayer(source) || !MapGrid::isLayer(target)) {
        return;
    }
    step.replaceChanges.forEachRow([&](int row) {
        if (row >= grid.rows()) {
            return;
        }
        const std::int32_t* from = grid.rowCells(source, row);
        std::int32_t* to = grid.rowCells(target, row);
        for (int c = 0; c < grid.columns(); ++c) {
            if (from[c] == step.replaceFrom) {
                to[c] = step.replaceTo;
            }
        }
    });
}

}  // namespace

void EditHistory::recordStep(EditStep step) {
    if (m_steps.empty()) {
        m_position = 1;
        m_steps.push_back(std::move(step));
        return;
    }
    if (m_steps.size() >= static_cast<std::size_t>(kMaxSteps) && m_position >= kMaxSteps) {
        m_steps.erase(m_steps.begin());
        m_steps.push_back(std::move(step));
        return;
    }
    ++m_position;
    if (m_steps.size() != static_cast<std::size_t>(m_position)) {
        m_steps.resize(m_position);
    }
    m_steps[m_position - 1] = std::move(step);
}

bool EditHistory::canUndo() const {
    return !m_steps.empty() && m_position > 0;
}

bool EditHistory::canRedo() const {
    return !m_steps.empty() && m_position < size();
}

void EditHistory::clearHistory() {
    m_steps.clear();
    m_position = 0;
}

std::optional<EditHistory::Restore> EditHistory::undo(MapGrid& grid) {
    if (!canUndo()) {
        return std::nullopt;
    }
    EditStep& step = m_steps[m_position - 1];
    Restore restore = restoreOf(step);
    switch (step.kind) {
        case Kind::Replaced:
            if (MapGrid::isLayer(step.replaceTargetLayer)) {
                step.replaceChanges.restore(grid, step.replaceTargetLayer);
                restore.editLayer = step.replaceTargetLayer;
            }
            break;
        case Kind::ColumnsInserted:
            grid.removeColumns(step.x1, step.x2 - step.x1 + 1);
            break;
        case Kind::RowsInserted:
            grid.removeRows(step.y1, step.y2 - step.y1 + 1);
            break;
        // The removed lines go back into the map; redo takes them out again, so the step holds
        // them only while they are out.
        case Kind::ColumnsDeleted:
            if (grid.insertColumns(step.x1, step.firstBlock, step.secondBlock)) {
                MapGrid::Layer().swap(step.firstBlock);
                MapGrid::Layer().swap(step.secondBlock);
            }
            break;
        case Kind::RowsDeleted:
            grid.insertRows(step.y1, std::move(step.firstBlock), std::move(step.secondBlock));
            break;
        case Kind::Rectangle:
            step.secondBlock = cellsUnder(grid, step, step.firstBlock);
            writeBlock(grid, step, step.firstBlock);
            break;
    }
    --m_position;
    return restore;
}

std::optional<EditHistory::Restore> EditHistory::redo(MapGrid& grid) {
    if (!canRedo()) {
        return std::nullopt;
    }
    EditStep& step = m_steps[m_position];
    Restore restore = restoreOf(step);
    switch (step.kind) {
        case Kind::Replaced:
            replaceAgain(grid, step);
            break;
        case Kind::ColumnsInserted:
            grid.insertColumns(step.x1, step.x2 - step.x1 + 1);
            break;
        case Kind::RowsInserted:
            grid.insertRows(step.y1, step.y2 - step.y1 + 1);
            break;
        case Kind::ColumnsDeleted:
            grid.removeColumns(step.x1, step.x2 - step.x1 + 1, &step.firstBlock, &step.secondBlock);
            break;
        case Kind::RowsDeleted:
            grid.removeRows(step.y1, step.y2 - step.y1 + 1, &step.firstBlock, &step.secondBlock);
            break;
        case Kind::Rectangle:
            writeBlock(grid, step, step.secondBlock);
            MapGrid::Layer().swap(step.secondBlock);
            break;
    }
    ++m_position;
    return restore;
}

std::size_t EditHistory::heapBytes() const {
    std::size_t bytes = m_steps.capacity() * sizeof(EditStep);
    for (const EditStep& step : m_steps) {
        bytes += blockBytes(step.firstBlock) + blockBytes(step.secondBlock) +
                 step.replaceChanges.heapBytes();
    }
    return bytes;
}
