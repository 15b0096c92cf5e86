#include "map/MapGrid.h"

#include <gtest/gtest.h>

#include "tests/map/EditFixtures.h"

using edit_fixtures::numberedGrid;
using Layer = MapGrid::Layer;
using Row = MapGrid::Row;

namespace {

// Both layers hold rows() rows of columns() cells.
void expectShape(const MapGrid& grid, int columns, int rows) {
    ASSERT_EQ(grid.columns(), columns);
    ASSERT_EQ(grid.rows(), rows);
    for (const Layer* layer : {&grid.chipLayer(), &grid.kindLayer()}) {
        ASSERT_EQ(layer->size(), static_cast<std::size_t>(rows));
        for (const Row& row : *layer) {
            ASSERT_EQ(row.size(), static_cast<std::size_t>(columns));
        }
    }
}

void expectSame(const MapGrid& a, const MapGrid& b) {
    EXPECT_EQ(a.columns(), b.columns());
    EXPECT_EQ(a.rows(), b.rows());
    EXPECT_EQ(a.chipLayer(), b.chipLayer());
    EXPECT_EQ(a.kindLayer(), b.kindLayer());
}

}  // namespace

TEST(MapGridRows, RemovedRowsComeBackWhereTheyWere) {
    const MapGrid original = numberedGrid(4, 5);
    MapGrid grid = original;
    Layer chips, kinds;
    ASSERT_TRUE(grid.removeRows(1, 3, &chips, &kinds));
    expectShape(grid, 4, 2);
    EXPECT_EQ(grid.chip(1, 1), 401);
    ASSERT_EQ(chips.size(), 3u);
    EXPECT_EQ(chips[0][2], 102);
    EXPECT_EQ(kinds[2][3], 10303);
    ASSERT_TRUE(grid.insertRows(1, std::move(chips), std::move(kinds)));
    expectSame(grid, original);
}

TEST(MapGridRows, RefusedRowChangesLeaveEverythingAsItWas) {
    const MapGrid original = numberedGrid(3, 3);
    MapGrid grid = original;
    EXPECT_FALSE(grid.insertRows(4, 1));
    EXPECT_FALSE(grid.insertRows(-1, 1));
    EXPECT_FALSE(grid.insertRows(0, -2));
    EXPECT_FALSE(grid.removeRows(2, 2));
    EXPECT_FALSE(grid.removeRows(-1, 1));
    Layer wrongWidth{Row(2, 7)}, kinds{Row(3, 0)};
    EXPECT_FALSE(grid.insertRows(0, std::move(wrongWidth), std::move(kinds)));
    EXPECT_EQ(kinds.size(), 1u);  // a refused block stays with the caller
    Layer oneChipRow{Row(3, 7)}, noKindRows;
    EXPECT_FALSE(grid.insertRows(0, std::move(oneChipRow), std::move(noKindRows)));
    expectSame(grid, original);
}

TEST(MapGridColumns, InsertingIntoFullRowsDoesNotDoubleTheirMemory) {
    MapGrid grid;
    grid.reset(1000, 2);
    ASSERT_TRUE(grid.insertColumns(500, 3));
    for (const Layer* layer : {&grid.chipLayer(), &grid.kindLayer()}) {
        for (const Row& row : *layer) {
            EXPECT_EQ(row.capacity(), 1003u);
        }
    }
}

TEST(MapGridColumns, RemovedColumnsComeBackWhereTheyWere) {
    const MapGrid original = numberedGrid(6, 3);
    MapGrid grid = original;
    Layer chips, kinds;
    ASSERT_TRUE(grid.removeColumns(4, 2, &chips, &kinds));
    expectShape(grid, 4, 3);
    EXPECT_EQ(chips, (Layer{{4, 5}, {104, 105}, {204, 205}}));
    EXPECT_EQ(kinds[1], (Row{10104, 10105}));
    ASSERT_TRUE(grid.insertColumns(4, chips, kinds));
    expectSame(grid, original);

    ASSERT_TRUE(grid.removeColumns(0, 1, &chips, &kinds));
    EXPECT_EQ(chips, (Layer{{0}, {100}, {200}}));
    ASSERT_TRUE(grid.insertColumns(0, chips, kinds));
    expectSame(grid, original);
}

TEST(MapGridColumns, RefusedColumnChangesLeaveEverythingAsItWas) {
    const MapGrid original = numberedGrid(3, 2);
    MapGrid grid = original;
    EXPECT_FALSE(grid.insertColumns(4, 1));
    EXPECT_FALSE(grid.removeColumns(1, 3));
    EXPECT_FALSE(grid.removeColumns(0, -1));
    EXPECT_FALSE(grid.insertColumns(0, Layer{{1}}, Layer{{1}, {2}}));          // one row short
    EXPECT_FALSE(grid.insertColumns(0, Layer{{1}, {2, 3}}, Layer{{1}, {2}}));  // ragged
    expectSame(grid, original);
}

TEST(MapGridCanvas, Resize40By40To50By30AndBackLosesTheCutCells) {
    MapGrid grid = numberedGrid(40, 40);
    ASSERT_TRUE(grid.resizeCanvas(50, 30));
    expectShape(grid, 50, 30);
    EXPECT_EQ(grid.chip(39, 29), 2939);
    for (int r = 0; r < 30; ++r) {
        for (int c = 40; c < 50; ++c) {
            ASSERT_EQ(grid.chip(c, r), -1);
            ASSERT_EQ(grid.kind(c, r), 0);
        }
    }
    ASSERT_TRUE(grid.resizeCanvas(40, 40));
    expectShape(grid, 40, 40);
    EXPECT_EQ(grid.chip(39, 29), 2939);
    EXPECT_EQ(grid.kind(0, 29), 12900);
    for (int r = 30; r < 40; ++r) {
        EXPECT_EQ(grid.chipLayer()[r], Row(40, -1));
        EXPECT_EQ(grid.kindLayer()[r], Row(40, 0));
    }
    EXPECT_FALSE(grid.resizeCanvas(-1, 3));
    expectShape(grid, 40, 40);
}

TEST(MapGridRect, ReadsAndWritesStopAtTheMapsFarEdges) {
    MapGrid grid = numberedGrid(4, 3);
    EXPECT_EQ(grid.readRect(MapGrid::kChipLayer, 2, 1, 5, 5), (Layer{{102, 103}, {202, 203}}));
    EXPECT_EQ(grid.readRect(MapGrid::kKindLayer, 3, 2, 1, 1), (Layer{{10203}}));
    EXPECT_TRUE(grid.readRect(MapGrid::kChipLayer, 0, 3, 2, 2).empty());
    EXPECT_TRUE(grid.readRect(MapGrid::kChipLayer, -1, 0, 2, 2).empty());

    grid.writeRect(MapGrid::kKindLayer, 2, 1, Layer{{7, 8, 9}, {5}, {6}}, 9, 9);
    EXPECT_EQ(grid.kindLayer()[1], (Row{10100, 10101, 7, 8}));
    EXPECT_EQ(grid.kindLayer()[2], (Row{10200, 10201, 5, 10203}));
    // The rectangle limits the block too.
    grid.writeRect(MapGrid::kChipLayer, 0, 0, Layer{{1, 2, 3}, {4, 5, 6}}, 2, 1);
    EXPECT_EQ(grid.chipLayer()[0], (Row{1, 2, 2, 3}));
    EXPECT_EQ(grid.chipLayer()[1], (Row{100, 101, 102, 103}));
}
