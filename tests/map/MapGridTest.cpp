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

}  // namespace

TEST(MapGrid, RefusedShapeChangesLeaveEverythingAsItWas) {
    const MapGrid original = numberedGrid(3, 3);
    const struct {
        const char* what;
        bool (*change)(MapGrid&);
    } cases[] = {
        {"rows beyond the end", [](MapGrid& g) { return g.insertRows(4, 1); }},
        {"rows before the start", [](MapGrid& g) { return g.insertRows(-1, 1); }},
        {"a negative count", [](MapGrid& g) { return g.insertRows(0, -2); }},
        {"rows past the end", [](MapGrid& g) { return g.removeRows(2, 2); }},
        {"rows from before the start", [](MapGrid& g) { return g.removeRows(-1, 1); }},
        {"rows of another width",
         [](MapGrid& g) { return g.insertRows(0, Layer{Row(2, 7)}, Layer{Row(3, 0)}); }},
        {"more chip rows than attribute rows",
         [](MapGrid& g) { return g.insertRows(0, Layer{Row(3, 7)}, Layer{}); }},
        {"columns beyond the end", [](MapGrid& g) { return g.insertColumns(4, 1); }},
        {"columns past the end", [](MapGrid& g) { return g.removeColumns(1, 3); }},
        {"a negative column count", [](MapGrid& g) { return g.removeColumns(0, -1); }},
        {"columns for too few rows",
         [](MapGrid& g) {
             return g.insertColumns(0, Layer{{1}}, Layer{{1}, {2}, {3}});
         }},
        {"ragged columns",
         [](MapGrid& g) {
             return g.insertColumns(0, Layer{{1}, {2, 3}, {4}}, Layer(3, Row(1, 0)));
         }},
        {"a negative canvas", [](MapGrid& g) { return g.resizeCanvas(-1, 3); }},
    };
    for (const auto& c : cases) {
        MapGrid grid = original;
        EXPECT_FALSE(c.change(grid)) << c.what;
        EXPECT_TRUE(grid.chipLayer() == original.chipLayer() &&
                    grid.kindLayer() == original.kindLayer() && grid.rows() == 3 &&
                    grid.columns() == 3)
            << c.what;
    }
}

TEST(MapGrid, InsertingColumnsIntoFullRowsDoesNotDoubleTheirMemory) {
    MapGrid grid;
    grid.reset(1000, 2);
    ASSERT_TRUE(grid.insertColumns(500, 3));
    for (const Layer* layer : {&grid.chipLayer(), &grid.kindLayer()}) {
        for (const Row& row : *layer) {
            EXPECT_EQ(row.capacity(), 1003u);
        }
    }
}

TEST(MapGrid, ResizingTheCanvasKeepsTheCellsThatRemainAndBlanksTheNewOnes) {
    MapGrid grid = numberedGrid(40, 40);
    ASSERT_TRUE(grid.resizeCanvas(50, 30));
    expectShape(grid, 50, 30);
    EXPECT_EQ(grid.chip(39, 29), 2939);
    for (int r = 0; r < 30; ++r) {
        EXPECT_EQ(Row(grid.chipLayer()[r].begin() + 40, grid.chipLayer()[r].end()), Row(10, -1));
        EXPECT_EQ(Row(grid.kindLayer()[r].begin() + 40, grid.kindLayer()[r].end()), Row(10, 0));
    }
    ASSERT_TRUE(grid.resizeCanvas(40, 40));
    expectShape(grid, 40, 40);
    EXPECT_EQ(grid.kind(0, 29), 12900);
    EXPECT_EQ(grid.chipLayer()[30], Row(40, -1)) << "the rows cut off come back blank";
    EXPECT_EQ(grid.kindLayer()[39], Row(40, 0));
}

TEST(MapGrid, RectanglesStopAtTheMapsFarEdges) {
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
