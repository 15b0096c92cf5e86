#include "gfx/CNxTileMap.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<RECT> runs(CNxTileMap& map, int maxColumns, int maxRows) {
    std::vector<RECT> out;
    map.TakeRuns(maxColumns, maxRows, [&](const RECT& r) { out.push_back(r); });
    return out;
}

// A map of 8 × 3 tiles of 32 × 8 pixels (256 × 24), all clean, then the given tiles dirty.
CNxTileMap mapWith(std::vector<std::pair<int, int>> dirty, std::int32_t width = 256) {
    CNxTileMap map;
    map.Reset(width, 24, 32, 8);
    map.TakeRuns(100, 100, [](const RECT&) {});
    for (auto [c, r] : dirty) {
        map.MarkDirty(RECT{c * 32, r * 8, c * 32 + 1, r * 8 + 1});
    }
    return map;
}

}  // namespace

TEST(CNxTileMap, MarksEveryTileARectangleTouches) {
    CNxTileMap map;
    map.Reset(100, 20, 32, 8);  // 4 × 3 tiles, the last ones cut short
    EXPECT_EQ(map.Columns(), 4);
    EXPECT_EQ(map.Rows(), 3);
    EXPECT_TRUE(map.AnyDirty()) << "a new map is all dirty";
    map.TakeRuns(10, 10, [](const RECT&) {});
    EXPECT_FALSE(map.AnyDirty());
    map.MarkDirty(RECT{31, 7, 33, 9});  // the corner of four tiles
    EXPECT_TRUE(map.IsDirty(0, 0) && map.IsDirty(1, 0) && map.IsDirty(0, 1) && map.IsDirty(1, 1));
    EXPECT_FALSE(map.IsDirty(2, 0));
    map.MarkDirty(RECT{-50, -50, 1000, 1000});  // clipped to the map
    EXPECT_TRUE(map.IsDirty(3, 2));
    map.MarkDirty(RECT{10, 10, 10, 20});  // empty: nothing
}

TEST(CNxTileMap, RunsFillSingleGapsAndStopAtTheLimit) {
    CNxTileMap gaps = mapWith({{0, 0}, {2, 0}, {3, 0}, {6, 0}});
    // 0 and 2 are dirty, so 1 is taken too; 4..5 stay clean (the gap is two tiles wide).
    EXPECT_EQ(runs(gaps, 100, 1), (std::vector<RECT>{{0, 0, 128, 8}, {192, 0, 224, 8}}));

    CNxTileMap limited = mapWith({{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}});
    EXPECT_EQ(runs(limited, 2, 1),
              (std::vector<RECT>{{0, 8, 64, 16}, {64, 8, 128, 16}, {128, 8, 160, 16}}));

    CNxTileMap cut = mapWith({{7, 2}}, 250);
    EXPECT_EQ(runs(cut, 100, 1), (std::vector<RECT>{{224, 16, 250, 24}}))
        << "the last column is only 26 pixels wide";
}

TEST(CNxTileMap, RunsReachDownOverRowsThatStartAndEndAlike) {
    // Rows 0 and 1 both dirty at 2..3; row 2 at 2..4 (longer): only two rows go together.
    CNxTileMap map = mapWith({{2, 0}, {3, 0}, {2, 1}, {3, 1}, {2, 2}, {3, 2}, {4, 2}});
    EXPECT_EQ(runs(map, 100, 3), (std::vector<RECT>{{64, 0, 128, 16}, {64, 16, 160, 24}}));

    // A dirty tile just left of the run in the next row keeps that row apart.
    CNxTileMap left = mapWith({{2, 0}, {1, 1}, {2, 1}});
    EXPECT_EQ(runs(left, 100, 3), (std::vector<RECT>{{64, 0, 96, 8}, {32, 8, 96, 16}}));

    // maxRows 1 never reaches down.
    CNxTileMap one = mapWith({{0, 0}, {0, 1}});
    EXPECT_EQ(runs(one, 100, 1), (std::vector<RECT>{{0, 0, 32, 8}, {0, 8, 32, 16}}));
}
