// The editing operations and their history on the map data alone, for what the screen model
// (MapScreenModelTest) does not reach: maps at the canvas limits, operations that must do
// nothing, both forms of a replace's record, and the memory the history holds.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "map/EditHistory.h"
#include "map/MapEditor.h"
#include "tests/map/EditFixtures.h"

using namespace edit_fixtures;

namespace {

constexpr int kChips = MapGrid::kChipLayer;
constexpr int kKinds = MapGrid::kKindLayer;

void expectSame(const MapGrid& a, const MapGrid& b, const std::string& what = "") {
    ASSERT_EQ(a.columns(), b.columns()) << what;
    ASSERT_EQ(a.rows(), b.rows()) << what;
    EXPECT_TRUE(a.chipLayer() == b.chipLayer() && a.kindLayer() == b.kindLayer()) << what;
}

void record(EditHistory& history, EditResult result) {
    ASSERT_TRUE(result.step);
    history.recordStep(std::move(*result.step));
}

}  // namespace

// Insertion stops at 5000 lines keeping what fit and says so once; undo then takes out exactly
// what went in. Deleting every line is refused.
TEST(EditLimits, InsertionStopsAtTheCanvasLimitAndDeletionKeepsALine) {
    const struct {
        const char* what;
        int columns, rows;
        SelectionRect selection;
        bool deleting, inColumns;
        int columnsAfter, rowsAfter;
        EditMessage message;
    } cases[] = {
        {"2 columns into 4999",
         4999,
         3,
         {4998, 0, 4999, 0},
         false,
         true,
         5000,
         3,
         EditMessage::ColumnInsertLimit},
        {"5 rows into 4998",
         2,
         4998,
         {0, 14, 0, 10},
         false,
         false,
         2,
         5000,
         EditMessage::RowInsertLimit},
        {"a column into 5000",
         5000,
         1,
         {3, 0, 3, 0},
         false,
         true,
         5000,
         1,
         EditMessage::ColumnInsertLimit},
        {"a row into 5000",
         1,
         5000,
         {0, 0, 0, 0},
         false,
         false,
         1,
         5000,
         EditMessage::RowInsertLimit},
        {"every column", 4, 3, {3, 1, 0, 1}, true, true, 4, 3, EditMessage::ColumnDeleteRefused},
        {"every row", 4, 3, {0, 0, 0, 2}, true, false, 4, 3, EditMessage::RowDeleteRefused},
        {"all columns but one", 4, 3, {1, 0, 3, 2}, true, true, 1, 3, EditMessage::None},
    };
    for (const auto& c : cases) {
        MapGrid grid = numberedGrid(c.columns, c.rows);
        const MapGrid original = grid;
        const SelectionRect& s = c.selection;
        EditResult result = MapEditor::insertOrDeleteLines(grid, selection(s.x1, s.y1, s.x2, s.y2),
                                                           c.deleting, !c.inColumns, c.inColumns);
        EXPECT_EQ(result.message, c.message) << c.what;
        EXPECT_EQ(grid.columns(), c.columnsAfter) << c.what;
        EXPECT_EQ(grid.rows(), c.rowsAfter) << c.what;
        if (c.columnsAfter == c.columns && c.rowsAfter == c.rows) {
            EXPECT_FALSE(result.step) << c.what;
            expectSame(grid, original, c.what);
            continue;
        }
        EditHistory history;
        record(history, std::move(result));
        history.undo(grid);
        expectSame(grid, original, c.what);
    }
}

TEST(EditRefusals, OperationsWithNothingToDoChangeAndRecordNothing) {
    const ChipBlock block{{0, 0, 1, 1}, 8};
    const struct {
        const char* what;
        std::function<EditResult(MapGrid&)> operation;
    } cases[] = {
        {"put beside the map", [](MapGrid& g) { return MapEditor::put(g, cursorAt(4, 0), 7); }},
        {"erase in the attribute view",
         [](MapGrid& g) { return MapEditor::erase(g, cursorAt(1, 1, kKinds)); }},
        {"a chip block in the attribute view",
         [&](MapGrid& g) { return MapEditor::putBlock(g, cursorAt(1, 1, kKinds), block); }},
        {"an empty buffer", [](MapGrid& g) { return MapEditor::paste(g, cursorAt(0, 0), {}); }},
        {"a buffer of empty rows stamped",
         [](MapGrid& g) { return MapEditor::paste(g, cursorAt(0, 0), {MapGrid::Row{}}); }},
        {"a buffer of empty rows tiled",
         [](MapGrid& g) { return MapEditor::paste(g, selection(0, 0, 2, 2), {MapGrid::Row{}}); }},
        {"a replace by the same number",
         [](MapGrid& g) { return MapEditor::replace(g, cursorAt(0, 0), 5, 5, kChips, kChips); }},
        {"a replace finding nothing",
         [](MapGrid& g) { return MapEditor::replace(g, cursorAt(0, 0), 99, 5, kChips, kKinds); }},
    };
    const MapGrid original = numberedGrid(4, 3);
    for (const auto& c : cases) {
        MapGrid grid = original;
        const EditResult result = c.operation(grid);
        EXPECT_FALSE(result.step || result.changed || result.message != EditMessage::None)
            << c.what;
        expectSame(grid, original, c.what);
    }
}

// A replace records a changed row as its changed cells or, past half the row, as the whole old
// row; either way undo and redo give back exactly the map before and after.
TEST(EditHistoryReplace, UndoAndRedoAreExactWhateverShareOfARowChanged) {
    std::mt19937 random(3);
    MapGrid grid;
    grid.reset(50, 30);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 50; ++x) {
            // Rows 0 … 9 mostly match, the others rarely.
            grid.setChip(x, y, random() % (y < 10 ? 2 : 20) == 0 ? 4 : 1);
            grid.setKind(x, y, static_cast<std::int32_t>(random() % 3));
        }
    }
    for (const int target : {kChips, kKinds}) {
        const MapGrid original = grid;
        EditHistory history;
        const std::int32_t from = target == kChips ? 1 : 4;
        record(history, MapEditor::replace(grid, cursorAt(0, 0), from, 2, kChips, target));
        const MapGrid replaced = grid;
        for (int round = 0; round < 2; ++round) {
            history.undo(grid);
            expectSame(grid, original, "undo");
            history.redo(grid);
            expectSame(grid, replaced, "redo");
        }
    }
}

// Ten replaces of 1% of a map hold their changed cells, far less than a layer; a replace of
// every cell about one layer; a fill of the whole map one copy of its cells, two only while it
// is undone.
TEST(EditHistoryMemory, StepsHoldTheirCellsOnceAndReplacesOnlyWhatChanged) {
    constexpr std::size_t kLayerBytes = 4u * 1000 * 1000;
    MapGrid grid;
    grid.reset(1000, 1000);
    std::mt19937 random(9);
    for (int i = 0; i < 1000 * 1000 / 100; ++i) {
        grid.setChip(random() % 1000, random() % 1000, 7);
    }
    EditHistory history;
    for (int i = 0; i < 10; ++i) {
        const std::int32_t from = i % 2 == 0 ? 7 : 8;
        record(history, MapEditor::replace(grid, cursorAt(0, 0), from, 15 - from, kChips, kChips));
    }
    EXPECT_LT(history.heapBytes(), kLayerBytes / 3);

    history.clearHistory();
    record(history, MapEditor::replace(grid, cursorAt(0, 0), 0, 3, kKinds, kKinds));
    EXPECT_LT(history.heapBytes(), kLayerBytes + kLayerBytes / 10);

    history.clearHistory();
    record(history, MapEditor::fillSelection(grid, selection(0, 0, 999, 999), 3));
    EXPECT_LT(history.heapBytes(), kLayerBytes + kLayerBytes / 10);
    history.undo(grid);
    EXPECT_GT(history.heapBytes(), 2 * kLayerBytes);
    history.redo(grid);
    EXPECT_LT(history.heapBytes(), kLayerBytes + kLayerBytes / 10);
    EXPECT_EQ(grid.chip(999, 999), 3);
}
