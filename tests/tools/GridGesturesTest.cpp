#include "tools/GridGestures.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "app/core/Workspace.h"
#include "chips/ChipScreen.h"
#include "map/MapScreen.h"
#include "platform/VirtualKey.h"
#include "platform/headless/HeadlessHost.h"
#include "platform/headless/HeadlessWindow.h"
#include "tests/chips/ScreenTestSupport.h"
#include "tests/support/TempDir.h"

using platform::headless::HeadlessHost;
using platform::headless::HeadlessWindow;
using testing_support::TempDir;

namespace {

struct Layout {
    int chipSize;
    int windowWidth;
    int windowHeight;
};

// Every chip size the editor allows meets windows of whole and of broken cells.
const Layout kLayouts[] = {{16, 800, 600}, {32, 800, 600}, {48, 800, 600},
                           {64, 800, 600}, {37, 333, 211}, {64, 1280, 1024}};

class GridGesturesTest : public ::testing::TestWithParam<Layout> {
protected:
    void SetUp() override {
        ASSERT_TRUE(work.attachMap(&mapWindow, 800, 600));
        ASSERT_TRUE(work.attachChips(&chipWindow, 800, 600));
        const Layout layout = GetParam();
        ASSERT_TRUE(map.setWindowSize(layout.windowWidth, layout.windowHeight));
        ASSERT_TRUE(map.setChipSize(layout.chipSize, layout.chipSize));
        MapGrid grid;
        grid.reset(kColumns, kRows);
        map.takeMap(std::move(grid));
    }

    bool isSelected(const CellGridScreen& screen, int x1, int y1, int x2, int y2) {
        const CellGridScreen::Selection s = screen.selectionCorners();
        return screen.isSelectionShown() && s.x1 == x1 && s.y1 == y1 && s.x2 == x2 && s.y2 == y2;
    }

    static constexpr int kColumns = 301;
    static constexpr int kRows = 203;

    HeadlessHost host;
    HeadlessWindow mapWindow{platform::Size{800, 600}};
    HeadlessWindow chipWindow{platform::Size{800, 600}};
    Workspace work{host};
    MapScreen& map = work.map();
    GridGestures gestures{map, [this](int x, int y) { map.onLeftButtonDown(x, y); }, host};
    TempDir dir;
};

TEST_P(GridGesturesTest, MovesTheCursorToAnyCellWithNothingSelected) {
    std::mt19937 random(GetParam().chipSize);
    std::vector<std::pair<int, int>> cells = {
        {0, 0}, {kColumns - 1, kRows - 1}, {kColumns - 1, 0}, {0, kRows - 1}, {150, 3}, {7, 190}};
    for (int i = 0; i < 40; ++i) {
        cells.emplace_back(random() % kColumns, random() % kRows);
    }
    for (const auto& [column, row] : cells) {
        ASSERT_TRUE(gestures.moveCursor(column, row)) << column << ", " << row;
        EXPECT_EQ(map.cursorColumn(), column);
        EXPECT_EQ(map.cursorRow(), row);
        EXPECT_FALSE(map.isSelectionShown());
        EXPECT_FALSE(map.isLeftDragActive());
        EXPECT_FALSE(map.isPanning());
    }
    EXPECT_TRUE(host.boxes.empty());
}

TEST_P(GridGesturesTest, SelectsFromTheAnchorToTheMovingCorner) {
    std::mt19937 random(GetParam().windowWidth + GetParam().chipSize);
    struct Corners {
        int x1, y1, x2, y2;
    };
    std::vector<Corners> cases = {{0, 0, kColumns - 1, kRows - 1},
                                  {kColumns - 1, kRows - 1, 0, 0},
                                  {5, 5, 5, 5},
                                  {kColumns - 1, 0, 0, kRows - 1},
                                  {3, 4, 6, 4}};
    for (int i = 0; i < 40; ++i) {
        cases.push_back({int(random() % kColumns), int(random() % kRows), int(random() % kColumns),
                         int(random() % kRows)});
    }
    for (const Corners& c : cases) {
        ASSERT_TRUE(gestures.select(c.x1, c.y1, c.x2, c.y2))
            << c.x1 << " " << c.y1 << " " << c.x2 << " " << c.y2;
        EXPECT_TRUE(isSelected(map, c.x1, c.y1, c.x2, c.y2));
        EXPECT_EQ(map.cursorColumn(), c.x2);
        EXPECT_EQ(map.cursorRow(), c.y2);
        EXPECT_FALSE(map.isLeftDragActive());
        EXPECT_FALSE(host.isKeyDown(platform::VK_SHIFT));
    }
}

TEST_P(GridGesturesTest, AClickInsideASelectionStartsAFreshOne) {
    ASSERT_TRUE(gestures.select(2, 2, 9, 9));
    // A click at (4, 4) alone would keep the selection; the gestures drop it first.
    ASSERT_TRUE(gestures.select(4, 4, 5, 6));
    EXPECT_TRUE(isSelected(map, 4, 4, 5, 6));
    ASSERT_TRUE(gestures.select(4, 4, 4, 4));
    EXPECT_TRUE(isSelected(map, 4, 4, 4, 4)) << "a one-cell selection, shown";
    ASSERT_TRUE(gestures.moveCursor(4, 4));

    ASSERT_TRUE(gestures.select(1, 1, 3, 3));
    ASSERT_TRUE(gestures.dropSelection());
    EXPECT_FALSE(map.isSelectionShown());
    EXPECT_EQ(map.cursorColumn(), 3) << "the cursor stays where the selection ended";
    EXPECT_EQ(map.cursorRow(), 3);
    EXPECT_TRUE(gestures.dropSelection()) << "nothing to drop is no failure";
}

TEST_P(GridGesturesTest, SelectsChipsInTheChipWindow) {
    // 16-pixel chips of a 1600 × 1200 image: 100 × 75 chips, more than the window shows.
    const std::string path = dir.file("chips.bmp");
    screen_test::writeChipImage(path, 1600, 1200);
    ASSERT_TRUE(map.setChipSize(16, 16));
    ASSERT_TRUE(map.loadChipImage(path));
    ChipScreen& chips = *map.chipScreen();
    ASSERT_EQ(chips.columns(), 100);
    GridGestures chipGestures(
        chips, [&](int x, int y) { chips.onLeftButtonDown(x, y); }, host);

    ASSERT_TRUE(chipGestures.select(99, 74, 99, 74));
    EXPECT_EQ(chips.selectedChipNumber(), 7499);
    EXPECT_FALSE(chips.isMultiSelection());
    ASSERT_TRUE(chipGestures.select(90, 2, 3, 70));
    EXPECT_TRUE(chips.isMultiSelection());
    EXPECT_TRUE(isSelected(chips, 90, 2, 3, 70));
    ASSERT_TRUE(chipGestures.select(3, 3, 3, 3));
    EXPECT_FALSE(chips.isMultiSelection());
    EXPECT_EQ(chips.selectedChipNumber(), 303);
}

INSTANTIATE_TEST_SUITE_P(Layouts, GridGesturesTest, ::testing::ValuesIn(kLayouts));

}  // namespace
