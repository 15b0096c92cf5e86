#include "map/EditHistory.h"

#include <algorithm>

namespace {

std::size_t blockBytes(const MapGrid::Layer& block) {
    std::size_t bytes = block.capacity() * sizeof(MapGrid::Row);
    for (const MapGrid::Row& row : block) {
        bytes += row.capacity() * sizeof(std::int32_t);
    }
    return bytes;
}

// The screen's part of undo and redo alike: the cursor, view and layer of the step, and the
// selection it shows again.
EditHistory::Restore restoreOf(const EditStep& step) {
    EditHistory::Restore restore;
    restore.cursorColumn = step.cursorColumn;
    restore.cursorRow = step.cursorRow;
    restore.viewX = step.viewX;
    restore.viewY = step.viewY;
    restore.editLayer = step.layer;
    restore.shapeChanged = step.changesShape();
    restore.selection = step.selection;
    if (step.selection && std::holds_alternative<CellsStep>(step.change)) {
        restore.cursorColumn = step.selection->x2;
        restore.cursorRow = step.selection->y2;
    }
    return restore;
}

// Writes block back at the top-left cell of the step's rectangle, as far as both reach.
void writeBlock(MapGrid& grid, int layer, const CellsStep& step, const MapGrid::Layer& block) {
    if (MapGrid::isLayer(layer)) {
        const SelectionRect& r = step.cells;
        grid.writeRect(layer, r.left(), r.top(), block, r.width(), r.height());
    }
}

// The cells that writeBlock(block) is about to overwrite, row by row.
MapGrid::Layer cellsUnder(const MapGrid& grid, int layer, const CellsStep& step,
                          const MapGrid::Layer& block) {
    MapGrid::Layer cells;
    const SelectionRect& r = step.cells;
    const int left = r.left(), top = r.top();
    if (!MapGrid::isLayer(layer) || left < 0 || top < 0 || left >= grid.columns()) {
        return cells;
    }
    const std::size_t rows = std::min({block.size(), static_cast<std::size_t>(r.height()),
                                       static_cast<std::size_t>(std::max(grid.rows() - top, 0))});
    const std::size_t width = std::min(r.width(), grid.columns() - left);
    cells.reserve(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        const std::int32_t* row = grid.rowCells(layer, top + static_cast<int>(i)) + left;
        cells.emplace_back(row, row + std::min(block[i].size(), width));
    }
    return cells;
}

void undoChange(MapGrid& grid, int layer, CellsStep& step) {
    step.after = cellsUnder(grid, layer, step, step.before);
    writeBlock(grid, layer, step, step.before);
}

void redoChange(MapGrid& grid, int layer, CellsStep& step) {
    writeBlock(grid, layer, step, step.after);
    MapGrid::Layer().swap(step.after);
}

// The removed lines go back into the map; redo takes them out again, so the step holds them
// only while they are out.
void undoChange(MapGrid& grid, int, LinesStep& step) {
    if (!step.deleted && step.columns) {
        grid.removeColumns(step.first, step.count);
    } else if (!step.deleted) {
        grid.removeRows(step.first, step.count);
    } else if (step.columns) {
        if (grid.insertColumns(step.first, step.removedChips, step.removedKinds)) {
            MapGrid::Layer().swap(step.removedChips);
            MapGrid::Layer().swap(step.removedKinds);
        }
    } else {
        grid.insertRows(step.first, std::move(step.removedChips), std::move(step.removedKinds));
    }
}

void redoChange(MapGrid& grid, int, LinesStep& step) {
    if (!step.deleted && step.columns) {
        grid.insertColumns(step.first, step.count);
    } else if (!step.deleted) {
        grid.insertRows(step.first, step.count);
    } else if (step.columns) {
        grid.removeColumns(step.first, step.count, &step.removedChips, &step.removedKinds);
    } else {
        grid.removeRows(step.first, step.count, &step.removedChips, &step.removedKinds);
    }
}

void undoChange(MapGrid& grid, int layer, ReplaceStep& step) {
    if (MapGrid::isLayer(layer)) {
        step.changes.restore(grid, layer);
    }
}

// Does the replace again on the rows it changed; the others held no cell it would change.
void redoChange(MapGrid& grid, int target, ReplaceStep& step) {
    const int source = step.sourceLayer;
    if (!MapGrid::isLayer(source) || !MapGrid::isLayer(target)) {
        return;
    }
    step.changes.forEachRow([&](int row) {
        if (row >= grid.rows()) {
            return;
        }
        const std::int32_t* from = grid.rowCells(source, row);
        std::int32_t* to = grid.rowCells(target, row);
        for (int c = 0; c < grid.columns(); ++c) {
            if (from[c] == step.from) {
                to[c] = step.to;
            }
        }
    });
}

std::size_t heldBytes(const CellsStep& step) {
    return blockBytes(step.before) + blockBytes(step.after);
}

std::size_t heldBytes(const LinesStep& step) {
    return blockBytes(step.removedChips) + blockBytes(step.removedKinds);
}

std::size_t heldBytes(const ReplaceStep& step) {
    return step.changes.heapBytes();
}

}  // namespace

void EditHistory::recordStep(EditStep step) {
    step.id = m_nextId++;
    if (m_steps.empty()) {
        m_position = 1;
        m_steps.push_back(std::move(step));
        return;
    }
    if (m_steps.size() >= static_cast<std::size_t>(kMaxSteps) && m_position >= kMaxSteps) {
        m_baseId = m_steps.front().id;
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
    m_baseId = stateId();
    m_steps.clear();
    m_position = 0;
}

void EditHistory::restart() {
    m_steps.clear();
    m_position = 0;
    m_baseId = m_nextId++;
}

std::uint64_t EditHistory::stateId() const {
    return m_position > 0 ? m_steps[m_position - 1].id : m_baseId;
}

std::optional<EditHistory::Restore> EditHistory::undo(MapGrid& grid) {
    if (!canUndo()) {
        return std::nullopt;
    }
    EditStep& step = m_steps[m_position - 1];
    std::visit([&](auto& change) { undoChange(grid, step.layer, change); }, step.change);
    --m_position;
    Restore restore = restoreOf(step);
    restore.step = &step;
    return restore;
}

std::optional<EditHistory::Restore> EditHistory::redo(MapGrid& grid) {
    if (!canRedo()) {
        return std::nullopt;
    }
    EditStep& step = m_steps[m_position];
    std::visit([&](auto& change) { redoChange(grid, step.layer, change); }, step.change);
    ++m_position;
    Restore restore = restoreOf(step);
    restore.step = &step;
    return restore;
}

std::size_t EditHistory::heapBytes() const {
    std::size_t bytes = m_steps.capacity() * sizeof(EditStep);
    for (const EditStep& step : m_steps) {
        bytes += std::visit([](const auto& change) { return heldBytes(change); }, step.change);
    }
    return bytes;
}
