#include "map/MapEditor.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

using Layer = MapGrid::Layer;
using Kind = EditStep::Kind;

// The stored selection with −1 standing for the cursor.
struct Corners {
    int x1, y1, x2, y2;

    int left() const { return std::min(x1, x2); }
    int top() const { return std::min(y1, y2); }
    int right() const { return std::max(x1, x2); }
    int bottom() const { return std::max(y1, y2); }
    bool isOneCell() const { return x1 == x2 && y1 == y2; }
};

Corners corners(const EditPlace& place) {
    return {place.x1 == -1 ? place.cursorColumn : place.x1,
            place.y1 == -1 ? place.cursorRow : place.y1,
            place.x2 == -1 ? place.cursorColumn : place.x2,
            place.y2 == -1 ? place.cursorRow : place.y2};
}

// The corners with the far side cut to the map, in the order they were dragged.
Corners clipped(const Corners& c, const MapGrid& grid) {
    Corners out = c;
    int& farX = c.x1 > c.x2 ? out.x1 : out.x2;
    int& farY = c.y1 > c.y2 ? out.y1 : out.y2;
    farX = std::min(farX, grid.columns() - 1);
    farY = std::min(farY, grid.rows() - 1);
    return out;
}

EditStep makeStep(const EditPlace& place, Kind kind) {
    EditStep step;
    step.cursorColumn = place.cursorColumn;
    step.cursorRow = place.cursorRow;
    step.viewX = place.viewX;
    step.viewY = place.viewY;
    step.layer = place.layer;
    step.kind = kind;
    return step;
}

EditResult rectangleResult(const EditPlace& place, const Corners& rect, bool restoreSelection,
                           Layer before) {
    EditResult result;
    result.changed = true;
    EditStep step = makeStep(place, Kind::Rectangle);
    step.x1 = rect.x1;
    step.y1 = rect.y1;
    step.x2 = rect.x2;
    step.y2 = rect.y2;
    step.restoreSelection = restoreSelection;
    step.firstBlock = std::move(before);
    result.step = std::move(step);
    return result;
}

// Writes pattern into columns left … right of rows top … bottom (all inside the map) and
// returns the cells it overwrote, row by row. Tiled: map row top + i takes pattern row i mod
// its row count, repeated across the width. Stamped: row i takes pattern row i, only as far as
// that row reaches.
Layer writePattern(MapGrid& grid, int layer, int left, int top, int right, int bottom,
                   const Layer& pattern, bool tiled) {
    const std::size_t width = static_cast<std::size_t>(right - left + 1);
    Layer before;
    before.reserve(bottom - top + 1);
    for (int y = top; y <= bottom; ++y) {
        const std::size_t i = static_cast<std::size_t>(y - top);
        const MapGrid::Row& source = pattern[tiled ? i % pattern.size() : i];
        const std::size_t length = source.size();
        const std::size_t count = length == 0 ? 0 : (tiled ? width : std::min(length, width));
        std::int32_t* cells = grid.rowCells(layer, y) + left;
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
    const Corners c = corners(place);
    if (c.left() < 0 || c.top() < 0 || c.left() >= grid.columns() || c.top() >= grid.rows() ||
        std::all_of(pattern.begin(), pattern.end(),
                    [](const MapGrid::Row& row) { return row.empty(); })) {
        return {};
    }
    const Corners rect = clipped(c, grid);
    return rectangleResult(place, rect, true,
                           writePattern(grid, place.layer, rect.left(), rect.top(), rect.right(),
                                        rect.bottom(), pattern, true));
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
    const Corners rect{column, row, column + width - 1, row + height - 1};
    return rectangleResult(
        place, rect, false,
        writePattern(grid, place.layer, rect.x1, rect.y1, rect.x2, rect.y2, pattern, false));
}

EditResult shapeResult(MapGrid& grid, const EditPlace& place, Kind kind, int left, int top,
                       int right, int bottom) {
    EditResult result;
    result.changed = true;
    result.shapeChanged = true;
    result.cursorColumn = std::min(left, grid.columns() - 1);
    result.cursorRow = std::min(top, grid.rows() - 1);
    EditStep step = makeStep(place, kind);
    step.cursorColumn = result.cursorColumn;
    step.cursorRow = result.cursorRow;
    step.x1 = left;
    step.y1 = top;
    step.x2 = right;
    step.y2 = bottom;
    result.step = std::move(step);
    return result;
}

}  // namespace

EditResult MapEditor::put(MapGrid& grid, const EditPlace& place, std::int32_t value,
                          const ChipBlock* block) {
    if (place.layer == MapGrid::kChipLayer && block != nullptr) {
        return putBlock(grid, place, *block);
    }
    if (place.selectionShown) {
        return fillSelection(grid, place, value);
    }
    return putCell(grid, place, value);
}

EditResult MapEditor::erase(MapGrid& grid, const EditPlace& place) {
    if (place.layer != MapGrid::kChipLayer) {
        return {};
    }
    if (place.selectionShown) {
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
        rectangleResult(place, {column, row, column, row}, true, Layer{MapGrid::Row(1, before)});
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
    Layer chips(block.height(), MapGrid::Row(block.width(), 0));
    for (int r = 0; r < block.height(); ++r) {
        for (int c = 0; c < block.width(); ++c) {
            chips[r][c] = block.chipNumberAt(block.left() + c, block.top() + r);
        }
    }
    return corners(place).isOneCell() ? stamp(grid, place, chips) : tile(grid, place, chips);
}

MapGrid::Layer MapEditor::copySelection(const MapGrid& grid, const EditPlace& place) {
    if (!MapGrid::isLayer(place.layer)) {
        return {};
    }
    const Corners c = corners(place);
    return grid.readRect(place.layer, c.left(), c.top(), c.right() - c.left() + 1,
                         c.bottom() - c.top() + 1);
}

EditResult MapEditor::paste(MapGrid& grid, const EditPlace& place, const MapGrid::Layer& buffer) {
    if (!MapGrid::isLayer(place.layer) || buffer.empty()) {
        return {};
    }
    return corners(place).isOneCell() ? stamp(grid, place, buffer) : tile(grid, place, buffer);
}

EditResult MapEditor::insertOrDeleteLines(MapGrid& grid, const EditPlace& place, bool deleting,
                                          bool rows, bool columns) {
    if (!grid.hasSize() || (!rows && !columns)) {
        return {};
    }
    const Corners c = corners(place);
    int left = c.left(), top = c.top(), right = c.right(), bottom = c.bottom();
    if (left < 0 || top < 0) {
        return {};
    }

    if (columns) {
        const int count = right - left + 1;
        if (deleting) {
            if (count >= grid.columns()) {
                EditResult refused;
                refused.message = EditMessage::ColumnDeleteRefused;
                return refused;
            }
            if (left >= grid.columns()) {
                return {};
            }
            right = std::min(right, grid.columns() - 1);
            Layer chips, kinds;
            grid.removeColumns(left, right - left + 1, &chips, &kinds);
            EditResult result =
                shapeResult(grid, place, Kind::ColumnsDeleted, left, top, right, bottom);
            result.step->firstBlock = std::move(chips);
            result.step->secondBlock = std::move(kinds);
            return result;
        }
        if (left > grid.columns()) {
            return {};
        }
        // Every row has the same length, so the limit stops every row at the same column and
        // is reported once for the whole operation.
        const int room = std::max(kMaxLines - grid.columns(), 0);
        const int inserted = std::min(count, room);
        EditMessage message = inserted < count ? EditMessage::ColumnInsertLimit : EditMessage::None;
        if (inserted == 0) {
            EditResult refused;
            refused.message = message;
            return refused;
        }
        grid.insertColumns(left, inserted);
        EditResult result =
            shapeResult(grid, place, Kind::ColumnsInserted, left, top, left + inserted - 1, bottom);
        result.message = message;
        return result;
    }

    const int count = bottom - top + 1;
    if (deleting) {
        if (count >= grid.rows()) {
            EditResult refused;
            refused.message = EditMessage::RowDeleteRefused;
            return refused;
        }
        if (top >= grid.rows()) {
            return {};
        }
        bottom = std::min(bottom, grid.rows() - 1);
        Layer chips, kinds;
        grid.removeRows(top, bottom - top + 1, &chips, &kinds);
        EditResult result = shapeResult(grid, place, Kind::RowsDeleted, left, top, right, bottom);
        result.step->firstBlock = std::move(chips);
        result.step->secondBlock = std::move(kinds);
        return result;
    }
    if (top > grid.rows()) {
        return {};
    }
    const int room = std::max(kMaxLines - grid.rows(), 0);
    const int inserted = std::min(count, room);
    EditMessage message = inserted < count ? EditMessage::RowInsertLimit : EditMessage::None;
    if (inserted == 0) {
        EditResult refused;
        refused.message = message;
        return refused;
    }
    grid.insertRows(top, inserted);
    EditResult result =
        shapeResult(grid, place, Kind::RowsInserted, left, top, right, top + inserted - 1);
    result.message = message;
    return result;
}

EditResult MapEditor::replace(MapGrid& grid, const EditPlace& place, std::int32_t from,
                              std::int32_t to, int sourceLayer, int targetLayer) {
    if (!MapGrid::isLayer(sourceLayer) || !MapGrid::isLayer(targetLayer) ||
        (from == to && sourceLayer == targetLayer)) {
        return {};
    }
    CellChanges changes;
    std::vector<CellChanges::Change> rowChanges;
    long long count = 0;
    const int columns = grid.columns();
    for (int r = 0; r < grid.rows(); ++r) {
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
    if (count == 0) {
        return {};
    }
    changes.finish();

    EditResult result;
    result.changed = !changes.empty();
    result.switchToLayer = targetLayer;
    result.message = EditMessage::Replaced;
    result.count = static_cast<int>(count);
    EditStep step = makeStep(place, Kind::Replaced);
    step.layer = targetLayer;  // recorded once the screen shows the target layer
    step.x1 = place.x1;
    step.y1 = place.y1;
    step.x2 = place.x2;
    step.y2 = place.y2;
    step.restoreSelection = place.selectionShown;
    step.replaceSourceLayer = sourceLayer;
    step.replaceTargetLayer = targetLayer;
    step.replaceFrom = from;
    step.replaceTo = to;
    step.replaceChanges = std::move(changes);
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
