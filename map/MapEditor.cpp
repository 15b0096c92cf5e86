#include "map/MapEditor.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using Layer = MapGrid::Layer;

// The rectangle with its far side cut to the map, its corners in the order they were dragged.
SelectionRect clipped(const SelectionRect& r, const MapGrid& grid) {
    SelectionRect out = r;
    int& farX = r.x1 > r.x2 ? out.x1 : out.x2;
    int& farY = r.y1 > r.y2 ? out.y1 : out.y2;
    farX = std::min(farX, grid.columns() - 1);
    farY = std::min(farY, grid.rows() - 1);
    return out;
}

EditStep makeStep(const EditPlace& place) {
    EditStep step;
    step.cursorColumn = place.cursorColumn;
    step.cursorRow = place.cursorRow;
    step.viewX = place.viewX;
    step.viewY = place.viewY;
    step.layer = place.layer;
    return step;
}

// A step over the cells of rect, which held before; undo and redo show rect as the selection
// when restoreSelection is set.
EditResult cellsResult(const EditPlace& place, const SelectionRect& rect, bool restoreSelection,
                       Layer before) {
    EditResult result;
    result.changed = true;
    EditStep step = makeStep(place);
    if (restoreSelection) {
        step.selection = rect;
    }
    step.change = CellsStep{rect, std::move(before), {}};
    result.step = std::move(step);
    return result;
}

// Writes pattern into columns left … right of rows top … bottom (all inside the map) and
// returns the cells it overwrote, row by row. Tiled: map row top + i takes pattern row i mod
// its row count, repeated across the width. Stamped: row i takes pattern row i, only as far as
// that row reaches.
Layer writePattern(MapGrid& grid, int layer, const SelectionRect& rect, const Layer& pattern,
                   bool tiled) {
    const std::size_t width = static_cast<std::size_t>(rect.width());
    Layer before;
    before.reserve(rect.height());
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        const std::size_t i = static_cast<std::size_t>(y - rect.top());
        const MapGrid::Row& source = pattern[tiled ? i % pattern.size() : i];
        const std::size_t length = source.size();
        const std::size_t count = length == 0 ? 0 : (tiled ? width : std::min(length, width));
        std::int32_t* cells = grid.rowCells(layer, y) + rect.left();
        before.emplace_back(count);  // filled just below
        if (count > 0) {
            std::memcpy(before.back().data(), cells, count * sizeof(std::int32_t));
        }
        std::size_t filled = std::min(length, count);
        if (filled > 0) {
            std::memcpy(cells, source.data(), filled * sizeof(std::int32_t));
        }
        // Each pass doubles the part written, which stays a whole number of pattern rows.
        while (filled < count) {
            const std::size_t more = std::min(filled, count - filled);
            std::memcpy(cells + filled, cells, more * sizeof(std::int32_t));
            filled += more;
        }
    }
    return before;
}

// Tiles pattern over the selection (the part inside the map); restores the selection on undo.
EditResult tile(MapGrid& grid, const EditPlace& place, const Layer& pattern) {
    const SelectionRect area = place.area();
    if (area.left() < 0 || area.top() < 0 || area.left() >= grid.columns() ||
        area.top() >= grid.rows() ||
        std::all_of(pattern.begin(), pattern.end(),
                    [](const MapGrid::Row& row) { return row.empty(); })) {
        return {};
    }
    const SelectionRect rect = clipped(area, grid);
    return cellsResult(place, rect, true, writePattern(grid, place.layer, rect, pattern, true));
}

// Stamps pattern with its top-left value on the cursor cell, cut off at the map's edges. The
// step covers every cell the stamp wrote, so undo brings all of them back.
EditResult stamp(MapGrid& grid, const EditPlace& place, const Layer& pattern) {
    const int column = place.cursorColumn, row = place.cursorRow;
    if (!grid.contains(column, row)) {
        return {};
    }
    std::size_t widest = 0;
    for (const MapGrid::Row& r : pattern) {
        widest = std::max(widest, r.size());
    }
    const int height = static_cast<int>(std::min<std::size_t>(pattern.size(), grid.rows() - row));
    const int width = static_cast<int>(std::min<std::size_t>(widest, grid.columns() - column));
    if (height == 0 || width == 0) {
        return {};
    }
    const SelectionRect rect{column, row, column + width - 1, row + height - 1};
    return cellsResult(place, rect, false, writePattern(grid, place.layer, rect, pattern, false));
}

int lineCount(const MapGrid& grid, bool columns) {
    return columns ? grid.columns() : grid.rows();
}

// A row or column step: the cursor goes to the first changed line as far as the map reaches.
EditResult linesResult(const MapGrid& grid, const EditPlace& place, const SelectionRect& area,
                       LinesStep lines) {
    EditResult result;
    result.changed = true;
    result.shapeChanged = true;
    result.cursorColumn = std::min(area.left(), grid.columns() - 1);
    result.cursorRow = std::min(area.top(), grid.rows() - 1);
    EditStep step = makeStep(place);
    step.cursorColumn = result.cursorColumn;
    step.cursorRow = result.cursorRow;
    step.change = std::move(lines);
    result.step = std::move(step);
    return result;
}

EditResult deleteLines(MapGrid& grid, const EditPlace& place, const SelectionRect& area,
                       bool columns) {
    const int lines = lineCount(grid, columns);
    const int first = columns ? area.left() : area.top();
    int last = columns ? area.right() : area.bottom();
    if (last - first + 1 >= lines) {
        EditResult refused;
        refused.message =
            columns ? EditMessage::ColumnDeleteRefused : EditMessage::RowDeleteRefused;
        return refused;
    }
    if (first >= lines) {
        return {};
    }
    last = std::min(last, lines - 1);
    LinesStep step;
    step.columns = columns;
    step.deleted = true;
    step.first = first;
    step.count = last - first + 1;
    if (columns) {
        grid.removeColumns(first, step.count, &step.removedChips, &step.removedKinds);
    } else {
        grid.removeRows(first, step.count, &step.removedChips, &step.removedKinds);
    }
    return linesResult(grid, place, area, std::move(step));
}

EditResult insertLines(MapGrid& grid, const EditPlace& place, const SelectionRect& area,
                       bool columns) {
    const int lines = lineCount(grid, columns);
    const int first = columns ? area.left() : area.top();
    const int count = (columns ? area.right() : area.bottom()) - first + 1;
    if (first > lines) {
        return {};
    }
    // Every row has the same length, so the limit stops every row at the same column and is
    // reported once for the whole operation.
    const int inserted = std::min(count, std::max(MapEditor::kMaxLines - lines, 0));
    EditResult result;
    if (inserted < count) {
        result.message = columns ? EditMessage::ColumnInsertLimit : EditMessage::RowInsertLimit;
    }
    if (inserted == 0) {
        return result;
    }
    if (columns) {
        grid.insertColumns(first, inserted);
    } else {
        grid.insertRows(first, inserted);
    }
    LinesStep step;
    step.columns = columns;
    step.first = first;
    step.count = inserted;
    const EditMessage message = result.message;
    result = linesResult(grid, place, area, std::move(step));
    result.message = message;
    return result;
}

// Sets to in every cell of the target layer whose source cell holds from; notes the cells it
// changed in changes and gives the number of cells that matched.
long long replaceCells(MapGrid& grid, std::int32_t from, std::int32_t to, int sourceLayer,
                       int targetLayer, CellChanges& changes, const platform::Progress& progress) {
    std::vector<CellChanges::Change> rowChanges;
    long long count = 0;
    const int columns = grid.columns();
    for (int r = 0; r < grid.rows(); ++r) {
        if (progress && r % 64 == 0) {
            progress(static_cast<std::uint64_t>(r), static_cast<std::uint64_t>(grid.rows()));
        }
        const std::int32_t* source = grid.rowCells(sourceLayer, r);
        std::int32_t* target = grid.rowCells(targetLayer, r);
        rowChanges.clear();
        const auto visit = [&](int c) {
            if (source[c] != from) {
                return;
            }
            ++count;
            const std::int32_t before = target[c];
            if (before != to) {
                rowChanges.push_back({c, before});
                target[c] = to;
            }
        };
        // Most cells do not match: count the matches of a run of cells in a loop the compiler
        // turns into vector compares, and look at single cells only in runs with a match.
        constexpr int kRun = 32;
        for (int c = 0; c < columns; c += kRun) {
            const int end = std::min(c + kRun, columns);
            int matches = 0;
            for (int k = c; k < end; ++k) {
                matches += source[k] == from ? 1 : 0;
            }
            for (int k = c; matches > 0 && k < end; ++k) {
                visit(k);
            }
        }
        changes.addRow(r, rowChanges, target, columns);
    }
    changes.finish();
    return count;
}

}  // namespace

EditResult MapEditor::put(MapGrid& grid, const EditPlace& place, std::int32_t value,
                          const ChipBlock* block) {
    if (place.layer == MapGrid::kChipLayer && block != nullptr) {
        return putBlock(grid, place, *block);
    }
    if (place.selection) {
        return fillSelection(grid, place, value);
    }
    return putCell(grid, place, value);
}

EditResult MapEditor::erase(MapGrid& grid, const EditPlace& place) {
    if (place.layer != MapGrid::kChipLayer) {
        return {};
    }
    if (place.selection) {
        return fillSelection(grid, place, MapGrid::kEmptyChip);
    }
    return putCell(grid, place, MapGrid::kEmptyChip);
}

EditResult MapEditor::putCell(MapGrid& grid, const EditPlace& place, std::int32_t value) {
    const int column = place.cursorColumn, row = place.cursorRow;
    if (!MapGrid::isLayer(place.layer) || !grid.contains(column, row)) {
        return {};
    }
    const std::int32_t before = grid.cell(place.layer, column, row);
    grid.setCell(place.layer, column, row, value);
    EditResult result =
        cellsResult(place, SelectionRect::cell(column, row), true, Layer{MapGrid::Row(1, before)});
    result.changed = before != value;
    return result;
}

EditResult MapEditor::fillSelection(MapGrid& grid, const EditPlace& place, std::int32_t value) {
    if (!MapGrid::isLayer(place.layer)) {
        return {};
    }
    return tile(grid, place, Layer{MapGrid::Row(1, value)});
}

EditResult MapEditor::putBlock(MapGrid& grid, const EditPlace& place, const ChipBlock& block) {
    if (place.layer != MapGrid::kChipLayer) {
        return {};
    }
    const SelectionRect& chosen = block.chips;
    Layer chips(chosen.height(), MapGrid::Row(chosen.width(), 0));
    for (int r = 0; r < chosen.height(); ++r) {
        for (int c = 0; c < chosen.width(); ++c) {
            chips[r][c] = block.chipNumberAt(chosen.left() + c, chosen.top() + r);
        }
    }
    return place.area().isOneCell() ? stamp(grid, place, chips) : tile(grid, place, chips);
}

MapGrid::Layer MapEditor::copySelection(const MapGrid& grid, const EditPlace& place) {
    if (!MapGrid::isLayer(place.layer)) {
        return {};
    }
    const SelectionRect area = place.area();
    return grid.readRect(place.layer, area.left(), area.top(), area.width(), area.height());
}

EditResult MapEditor::paste(MapGrid& grid, const EditPlace& place, const MapGrid::Layer& buffer) {
    if (!MapGrid::isLayer(place.layer) || buffer.empty()) {
        return {};
    }
    return place.area().isOneCell() ? stamp(grid, place, buffer) : tile(grid, place, buffer);
}

EditResult MapEditor::insertOrDeleteLines(MapGrid& grid, const EditPlace& place, bool deleting,
                                          bool rows, bool columns) {
    if (!grid.hasSize() || (!rows && !columns)) {
        return {};
    }
    const SelectionRect area = place.area();
    if (area.left() < 0 || area.top() < 0) {
        return {};
    }
    return deleting ? deleteLines(grid, place, area, columns)
                    : insertLines(grid, place, area, columns);
}

EditResult MapEditor::replace(MapGrid& grid, const EditPlace& place, std::int32_t from,
                              std::int32_t to, int sourceLayer, int targetLayer,
                              const platform::Progress& progress) {
    if (!MapGrid::isLayer(sourceLayer) || !MapGrid::isLayer(targetLayer) ||
        (from == to && sourceLayer == targetLayer)) {
        return {};
    }
    ReplaceStep replaced{sourceLayer, from, to, {}};
    const long long count =
        replaceCells(grid, from, to, sourceLayer, targetLayer, replaced.changes, progress);
    if (count == 0) {
        return {};
    }
    EditResult result;
    result.changed = !replaced.changes.empty();
    result.switchToLayer = targetLayer;
    result.message = EditMessage::Replaced;
    result.count = static_cast<int>(count);
    EditStep step = makeStep(place);
    step.layer = targetLayer;  // recorded once the screen shows the target layer
    step.selection = place.selection;
    step.change = std::move(replaced);
    result.step = std::move(step);
    return result;
}

EditResult MapEditor::setCanvasSize(MapGrid& grid, int columns, int rows) {
    EditResult result;
    if (columns < MapGrid::kMinCanvas || columns > MapGrid::kMaxCanvas) {
        result.message = EditMessage::CanvasWidthRange;
        return result;
    }
    if (rows < MapGrid::kMinCanvas || rows > MapGrid::kMaxCanvas) {
        result.message = EditMessage::CanvasHeightRange;
        return result;
    }
    grid.resizeCanvas(columns, rows);
    result.changed = true;
    result.shapeChanged = true;
    return result;
}
