#include "map/EditHistory.h"

#include <gtest/gtest.h>

#include <random>

#include "map/MapEditor.h"
#include "tests/map/EditFixtures.h"

using namespace edit_fixtures;
using Layer = MapGrid::Layer;
using Row = MapGrid::Row;

namespace {

constexpr int kChips = MapGrid::kChipLayer;
constexpr int kKinds = MapGrid::kKindLayer;

// Runs an operation and records its step, as the map screen does.
void record(EditHistory& history, EditResult result) {
    ASSERT_TRUE(result.step);
    history.recordStep(std::move(*result.step));
}

void expectSame(const MapGrid& a, const MapGrid& b) {
    ASSERT_EQ(a.columns(), b.columns());
    ASSERT_EQ(a.rows(), b.rows());
    EXPECT_EQ(a.chipLayer(), b.chipLayer());
    EXPECT_EQ(a.kindLayer(), b.kindLayer());
}

}  // namespace

TEST(EditHistoryWindow, ElevenPutsLeaveTenToUndoAndRedo) {
    MapGrid grid = numberedGrid(12, 1);
    EditHistory history;
    for (int i = 0; i <= 10; ++i) {
        record(history, MapEditor::putCell(grid, cursorAt(i, 0), -5));
    }
    EXPECT_EQ(history.size(), 10);
    const MapGrid after = grid;
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(history.canUndo());
        ASSERT_TRUE(history.undo(grid));
    }
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.undo(grid));
    EXPECT_EQ(grid.chip(0, 0), -5);  // the first put fell out of the window
    for (int i = 1; i <= 10; ++i) {
        EXPECT_EQ(grid.chip(i, 0), i);
    }
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(history.redo(grid));
    }
    EXPECT_FALSE(history.canRedo());
    expectSame(grid, after);
}

TEST(EditHistoryWindow, RecordingAfterUndoDropsWhatCouldBeRedone) {
    MapGrid grid = numberedGrid(5, 5);
    EditHistory history;
    for (int i = 0; i < 4; ++i) {
        record(history, MapEditor::putCell(grid, cursorAt(i, 0), 9));
    }
    history.undo(grid);
    history.undo(grid);
    EXPECT_TRUE(history.canRedo());
    record(history, MapEditor::putCell(grid, cursorAt(4, 4), 9));
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.size(), 3);
    EXPECT_EQ(history.position(), 3);

    // Undone to the start of a full window, a new step replaces all ten.
    for (int i = 0; i < 12; ++i) {
        record(history, MapEditor::putCell(grid, cursorAt(0, 1), i));
    }
    while (history.canUndo()) {
        history.undo(grid);
    }
    record(history, MapEditor::putCell(grid, cursorAt(0, 2), 1));
    EXPECT_EQ(history.size(), 1);
    EXPECT_EQ(history.position(), 1);
}

TEST(EditHistoryWindow, ClearingDisablesUndoAndRedo) {
    MapGrid grid = numberedGrid(3, 3);
    EditHistory history;
    record(history, MapEditor::putCell(grid, cursorAt(0, 0), 1));
    record(history, MapEditor::putCell(grid, cursorAt(1, 0), 1));
    history.undo(grid);
    history.clearHistory();
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.canRedo());
    EXPECT_FALSE(history.redo(grid));
    EXPECT_EQ(grid.chip(1, 0), 100 * 0 + 1);
}

TEST(EditHistoryUndo, PutOfTheValueAlreadyThereChangesNothing) {
    MapGrid grid = numberedGrid(3, 3);
    const MapGrid original = grid;
    EditHistory history;
    record(history, MapEditor::putCell(grid, cursorAt(1, 2), 201));
    ASSERT_TRUE(history.undo(grid));
    expectSame(grid, original);
}

TEST(EditHistoryUndo, RowDeletionComesBackWithChipsAndAttributes) {
    MapGrid grid = numberedGrid(6, 8);
    const MapGrid original = grid;
    EditHistory history;
    EditPlace place = selection(1, 2, 4, 4);
    place.viewX = 64;
    record(history, MapEditor::insertOrDeleteLines(grid, place, true, true, false));
    const MapGrid deleted = grid;
    EXPECT_EQ(grid.rows(), 5);

    const auto undone = history.undo(grid);
    ASSERT_TRUE(undone);
    expectSame(grid, original);
    EXPECT_TRUE(undone->shapeChanged);
    EXPECT_FALSE(undone->selection);
    EXPECT_EQ(undone->cursorRow, 2);
    EXPECT_EQ(undone->viewX, 64);

    ASSERT_TRUE(history.redo(grid));
    expectSame(grid, deleted);
    ASSERT_TRUE(history.undo(grid));
    expectSame(grid, original);
}

TEST(EditHistoryUndo, InsertionOfColumnsThreeToFiveRemovesExactlyThose) {
    MapGrid grid = numberedGrid(8, 4);
    const MapGrid original = grid;
    EditHistory history;
    record(history,
           MapEditor::insertOrDeleteLines(grid, selection(3, 1, 5, 1), false, false, true));
    // Something written into the new columns goes with them.
    grid.setChip(4, 0, 77);
    grid.setKind(5, 3, 77);
    EXPECT_EQ(grid.columns(), 11);
    history.undo(grid);
    expectSame(grid, original);
    history.redo(grid);
    EXPECT_EQ(grid.chipLayer()[0], (Row{0, 1, 2, -1, -1, -1, 3, 4, 5, 6, 7}));
    EXPECT_EQ(grid.kindLayer()[3],
              (Row{10300, 10301, 10302, 0, 0, 0, 10303, 10304, 10305, 10306, 10307}));
}

TEST(EditHistoryUndo, ReplaceRestoresTheTargetLayerAndShowsIt) {
    MapGrid grid = numberedGrid(20, 20);
    for (int i = 0; i < 20; i += 3) {
        grid.setChip(i, (i * 7) % 20, 5);
    }
    const MapGrid original = grid;
    EditHistory history;
    EditPlace place = selection(1, 1, 2, 2);
    record(history, MapEditor::replace(grid, place, 5, 99, kChips, kKinds));
    const MapGrid replaced = grid;
    const auto undone = history.undo(grid);
    ASSERT_TRUE(undone);
    expectSame(grid, original);
    EXPECT_EQ(undone->editLayer, kKinds);
    ASSERT_TRUE(undone->selection);
    EXPECT_EQ(undone->selection->x2, 2);
    ASSERT_TRUE(history.redo(grid));
    expectSame(grid, replaced);
}

TEST(EditHistoryUndo, ReplaceWithinOneLayerIsUndoneExactlyEvenWhenMostCellsMatch) {
    std::mt19937 random(3);
    MapGrid grid;
    grid.reset(50, 30);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 50; ++x) {
            // Rows 0 … 9 mostly match, the others rarely, so both ways of keeping a row occur.
            grid.setChip(x, y, random() % (y < 10 ? 2 : 20) == 0 ? 4 : 1);
        }
    }
    const MapGrid original = grid;
    EditHistory history;
    record(history, MapEditor::replace(grid, cursorAt(0, 0), 1, 4, kChips, kChips));
    const MapGrid replaced = grid;
    for (int round = 0; round < 2; ++round) {
        history.undo(grid);
        expectSame(grid, original);
        history.redo(grid);
        expectSame(grid, replaced);
    }
}

TEST(EditHistoryUndo, FillShowsItsSelectionAgainAndAStampNone) {
    MapGrid grid = numberedGrid(6, 6);
    EditHistory history;
    record(history, MapEditor::fillSelection(grid, selection(4, 4, 1, 2), 3));
    record(history, MapEditor::putBlock(grid, cursorAt(0, 0), ChipBlock{{0, 0, 1, 1}, 4}));

    const auto stamp = history.undo(grid);
    ASSERT_TRUE(stamp);
    EXPECT_FALSE(stamp->selection);
    EXPECT_EQ(stamp->cursorColumn, 0);
    EXPECT_EQ(grid.chip(1, 1), 101);

    const auto fill = history.undo(grid);
    ASSERT_TRUE(fill);
    EXPECT_EQ(fill->selection, (SelectionRect{4, 4, 1, 2}));
    EXPECT_EQ(fill->cursorColumn, 1);  // the cursor frame sits on the moving corner
    EXPECT_EQ(fill->cursorRow, 2);
    EXPECT_EQ(fill->editLayer, kChips);
    EXPECT_EQ(grid.chip(3, 3), 303);
}

TEST(EditHistoryMemory, TenSparseReplacesHoldFarLessThanOneLayer) {
    constexpr int kSide = 1000;
    MapGrid grid;
    grid.reset(kSide, kSide);
    std::mt19937 random(9);
    for (int i = 0; i < kSide * kSide / 100; ++i) {
        grid.setChip(random() % kSide, random() % kSide, 7);
    }
    EditHistory history;
    for (int i = 0; i < 10; ++i) {
        const std::int32_t from = i % 2 == 0 ? 7 : 8;
        record(history, MapEditor::replace(grid, cursorAt(0, 0), from, 15 - from, kChips, kChips));
    }
    const std::size_t layerBytes = 4u * kSide * kSide;
    // Copies of the target layer would hold ten layers; the changed cells, 1% of each, hold
    // well under one.
    EXPECT_LT(history.heapBytes(), layerBytes / 3);
}

TEST(EditHistoryMemory, AReplaceOfEveryCellHoldsAboutOneLayer) {
    MapGrid grid;
    grid.reset(300, 200);
    EditHistory history;
    record(history, MapEditor::replace(grid, cursorAt(0, 0), -1, 3, kChips, kChips));
    const std::size_t layerBytes = 4u * 300 * 200;
    EXPECT_LT(history.heapBytes(), layerBytes + layerBytes / 10);
}

TEST(EditHistoryMemory, AFillOfTheWholeMapHoldsOneCopyOfTheCells) {
    MapGrid grid;
    grid.reset(300, 200);
    EditHistory history;
    record(history, MapEditor::fillSelection(grid, selection(0, 0, 299, 199), 3));
    const std::size_t layerBytes = 4u * 300 * 200;
    EXPECT_LT(history.heapBytes(), layerBytes + layerBytes / 10);
    // Undone, the step holds the cells after as well; redone, it lets them go again.
    history.undo(grid);
    EXPECT_GT(history.heapBytes(), 2 * layerBytes);
    history.redo(grid);
    EXPECT_LT(history.heapBytes(), layerBytes + layerBytes / 10);
    EXPECT_EQ(grid.chip(299, 199), 3);
}
