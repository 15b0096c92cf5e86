// The map window as a user sees it: what it draws, what moves the view, the size settings and
// their messages, the attribute window's link, and the map's files. Editing through keys and
// clicks is the screen model's (MapScreenModelTest); here only what it redraws.
#include "app/core/Workspace.h"
#include "map/MapScreen.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/core/MapWindowRouter.h"
#include "chips/ChipScreen.h"
#include "chips/KindScreen.h"
#include "map/MapFile.h"
#include "platform/Message.h"
#include "platform/MessageHandler.h"
#include "platform/VirtualKey.h"
#include "platform/headless/HeadlessWindow.h"
#include "tests/chips/ScreenTestSupport.h"

using platform::Point;
using platform::Rect;
using platform::ScrollAxis;
using platform::ScrollInfo;
using platform::Size;
using namespace screen_test;

namespace {

constexpr int kChipColumns = 8;  // of the 256 × 256 test image

std::string title(int column, int row, int viewX, int viewY, int columns = 40, int rows = 40,
                  const char* selection = "-1:-1～-1:-1") {
    return "Pelorin  マップ位置:(" + std::to_string(column) + "," + std::to_string(row) +
           ") 視点座標:(" + std::to_string(viewX) + "," + std::to_string(viewY) +
           ") チップ総数:(横" + std::to_string(columns) + "個,縦" + std::to_string(rows) +
           "行) 選択範囲:(" + selection + ")";
}

// The window procedures' part in docking: a move of either window takes the other along.
class MoveRouter : public platform::MessageHandler {
public:
    MoveRouter(MapScreen& map, bool attributeWindow) : m_map(map), m_attribute(attributeWindow) {}
    void handleMessage(platform::NativeWindow&, const platform::Message& m) override {
        if (m.message == platform::WM_MOVE) {
            m_attribute ? m_map.dockToAttributeWindow() : m_map.dockAttributeWindow();
        }
    }

private:
    MapScreen& m_map;
    bool m_attribute;
};

class MapScreenTest : public ::testing::Test {
protected:
    // Start-up as the shell does it: map window, new map, attribute and chip windows.
    void SetUp() override {
        keys.setScreen(&map);
        ASSERT_TRUE(work.attachMap(&mapWindow, 800, 600, &mapRouter));
        map.newMap();
        ASSERT_TRUE(work.attachKinds(&kindWindow, &kindRouter));
        ASSERT_TRUE(work.attachChips(&chipWindow, 800, 600));
    }

    bool loadChips(int width = 256, int height = 256) {
        return map.loadChipImage(chipImage(dir, width, height));
    }

    // A 40 × 40 map loaded from a file, whose cells hold chips (r × 3 + c) mod 70, so some lie
    // beyond the 64 chips of the test image, and attributes (r + c) mod 100.
    void loadPatternMap(int columns = 40, int rows = 40) {
        MapGrid grid;
        grid.reset(columns, rows);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                grid.setChip(c, r, (r * 3 + c) % 70);
                grid.setKind(c, r, (r + c) % 100);
            }
        }
        std::string path = dir.file("pattern.map");
        ASSERT_TRUE(MapFile::save(path, grid).value);
        ASSERT_TRUE(map.loadMap(path));
    }

    // What the chip view should show at window pixel (x, y).
    std::uint32_t expectedChipPixel(int x, int y) const {
        const Point view = map.viewPosition();
        const int mx = view.x + x, my = view.y + y;
        const std::int32_t n = map.document().grid().chip(mx / 32, my / 32);
        if (n < 0 || n >= kChipColumns * kChipColumns) {
            return kGrey;
        }
        return imagePixel(n % kChipColumns * 32 + mx % 32, n / kChipColumns * 32 + my % 32);
    }

    std::uint32_t shown(int x, int y) {
        work.idleStep();
        return mapWindow.pixel(x, y);
    }
    // The map window's keys, as its window procedure hands them on.
    void keyDown(int key) { keys.handleMessage(mapWindow, platform::Message::keyDown(key)); }
    void keyUp(int key) { keys.handleMessage(mapWindow, platform::Message::keyUp(key)); }
    void press(int key) {
        keyDown(key);
        keyUp(key);
    }
    // Ctrl (or Shift) held around a key pressed.
    void withKey(int modifier, int key) {
        host.setKeyDown(modifier);
        press(key);
        host.setKeyDown(modifier, false);
    }
    std::string selection() const { return selectionPart(mapWindow.title()); }

    platform::headless::HeadlessHost host;
    platform::headless::HeadlessWindow mapWindow{windowSpec("mapeditor", {800, 600}, {100, 50})};
    platform::headless::HeadlessWindow kindWindow{windowSpec("kindview", {800, 128})};
    platform::headless::HeadlessWindow chipWindow{windowSpec("chipview", {800, 600}, {900, 0})};
    Workspace work{host};
    MapScreen& map = work.map();
    MoveRouter mapRouter{map, false};
    MoveRouter kindRouter{map, true};
    MapWindowRouter keys{host};
    testing_support::TempDir dir;
};

TEST_F(MapScreenTest, StartsWithAnEmptyFortyByFortyMap) {
    EXPECT_EQ(mapWindow.title(), title(0, 0, 0, 0));
    EXPECT_EQ(map.document().grid().chip(39, 39), -1);
    EXPECT_FALSE(map.document().isFileBacked());
    EXPECT_EQ(map.visibleColumns(), 25);
    EXPECT_EQ(map.visibleRows(), 18);
    EXPECT_EQ(map.maximumView(), (Point{480, 672}));
    // Without a chip image every cell is empty.
    EXPECT_EQ(shown(40, 40), kGrey);
    EXPECT_EQ(shown(790, 590), kGrey);
    EXPECT_EQ(shown(31, 40), kBlack) << "grid";
    EXPECT_EQ(shown(1, 10), kRed) << "cursor";
    map.toggleScrollBars();
    EXPECT_EQ(mapWindow.scrollInfo(ScrollAxis::Horizontal), (ScrollInfo{0, 15, 1, 0}));
    EXPECT_EQ(mapWindow.scrollInfo(ScrollAxis::Vertical), (ScrollInfo{0, 21, 1, 0}));
}

TEST_F(MapScreenTest, DrawsTheChipsSeenFromTheViewOrTheAttributesColours) {
    ASSERT_TRUE(loadChips());
    loadPatternMap();
    map.toggleScrollBars();
    map.onScroll(ScrollAxis::Horizontal, platform::SB_THUMBTRACK, 3);
    map.onScroll(ScrollAxis::Vertical, platform::SB_THUMBTRACK, 5);
    EXPECT_EQ(map.viewPosition(), (Point{96, 160}));
    for (const Point p : {Point{40, 40}, Point{36, 68}, Point{700, 500}, Point{795, 595}}) {
        EXPECT_EQ(shown(p.x, p.y), expectedChipPixel(p.x, p.y)) << p.x << "," << p.y;
    }
    // Chip (r × 3 + c) mod 70 is no chip of the image for 64 … 69: grey.
    EXPECT_EQ(map.document().grid().chip(3 + 16, 5 + 10), 64);
    EXPECT_EQ(shown(16 * 32 + 10, 10 * 32 + 10), kGrey);
    EXPECT_EQ(chipWindow.pixel(40, 40), imagePixel(40, 40)) << "the idle step presents it too";

    KindRecord record = map.kindScreen()->table().record(0);
    record.red = 10, record.green = 20, record.blue = 30;
    map.kindScreen()->table().setRecord(0, record);
    press('D');
    map.onScroll(ScrollAxis::Horizontal, platform::SB_TOP, 0);
    map.onScroll(ScrollAxis::Vertical, platform::SB_TOP, 0);
    EXPECT_EQ(shown(10, 10), 0xFF0A141Eu);
    EXPECT_EQ(shown(31, 40), kBlack) << "the grid over the colours";
    press('D');
    EXPECT_EQ(shown(40, 10), expectedChipPixel(40, 10));
}

TEST_F(MapScreenTest, EditsAndTheirUndoAreRedrawnAtOnce) {
    ASSERT_TRUE(loadChips());
    map.setSelectionFillColour(0);  // see through the one-cell selection the click makes
    map.chipScreen()->onLeftButtonDown(2 * 32 + 5, 1 * 32 + 5);  // chip 10
    map.chipScreen()->onLeftButtonUp();
    map.onLeftButtonDown(3 * 32 + 5, 4 * 32 + 5);
    map.onLeftButtonUp();
    const std::pair<int, std::uint32_t> steps[] = {
        {platform::VK_RETURN, imagePixel(2 * 32 + 12, 32 + 20)},
        {'Z', kGrey},
        {'Y', imagePixel(2 * 32 + 12, 32 + 20)},
    };
    for (const auto& [key, colour] : steps) {
        key == platform::VK_RETURN ? press(key) : withKey(platform::VK_CONTROL, key);
        EXPECT_EQ(shown(3 * 32 + 12, 4 * 32 + 20), colour) << key;
    }
}

// A window of no whole number of chips shows the last column in part, and End goes there.
TEST_F(MapScreenTest, EndShowsAPartlyShownLastColumn) {
    ASSERT_TRUE(loadChips());
    ASSERT_TRUE(map.setWindowSize(810, 600));
    press(platform::VK_END);
    EXPECT_EQ(map.viewPosition().x, 448);
    EXPECT_EQ(map.cursorColumn(), 39);
    EXPECT_EQ(shown(800, 10), kRed);
    EXPECT_EQ(shown(790, 10), expectedChipPixel(790, 10));
}

TEST_F(MapScreenTest, TheSelectionIsClippedToTheWindow) {
    ASSERT_TRUE(loadChips());
    map.setSelectionFillColour(kGreen);
    host.setKeyDown(platform::VK_SHIFT);
    for (int i = 0; i < 30; ++i) {
        keyDown(platform::VK_RIGHT);
    }
    host.setKeyDown(platform::VK_SHIFT, false);
    // Columns 0 … 30 selected, the view moved 6 columns on: the left edge is out of sight and
    // the fill reaches the window's left border.
    EXPECT_EQ(selection(), "選択範囲:(0:0～30:0)");
    EXPECT_EQ(map.viewPosition().x, 192);
    EXPECT_EQ(shown(0, 1), kBlue) << "the top edge";
    EXPECT_EQ(shown(0, 10), kGreen) << "no left edge: it is scrolled out";
    EXPECT_EQ(shown(50, 40), expectedChipPixel(50, 40));
    // The frame lies on the inner border of its cells, the grid over it.
    map.onLeftButtonDown(40, 40);
    map.onMouseMove(100, 70, platform::MK_LBUTTON);
    map.onLeftButtonUp();
    EXPECT_EQ(selection(), "選択範囲:(7:1～9:2)");
    EXPECT_EQ(shown(34, 40), kBlue);
    EXPECT_EQ(shown(35, 40), kGreen);
    EXPECT_EQ(shown(127, 40), kBlack) << "the grid lies over the frame";
}

TEST_F(MapScreenTest, TheRightButtonPansTheWheelScrollsAndTheBarsFollow) {
    ASSERT_TRUE(loadChips());
    map.onRightButtonDown(400, 300);
    map.onMouseMove(389, 300, platform::MK_RBUTTON);
    EXPECT_EQ(map.viewPosition().x, 0) << "twelve pixels a chip";
    map.onMouseMove(376, 300, platform::MK_RBUTTON);
    EXPECT_EQ(mapWindow.title(), title(2, 0, 64, 0));
    map.onMouseMove(0, 0, platform::MK_RBUTTON);
    EXPECT_EQ(map.viewPosition(), (Point{480, 672}));
    map.onRightButtonUp();
    EXPECT_FALSE(map.isPanning());

    map.onScroll(ScrollAxis::Vertical, platform::SB_TOP, 0);
    map.onScroll(ScrollAxis::Horizontal, platform::SB_TOP, 0);
    map.toggleScrollBars();
    map.onMouseWheel(-120, 0);
    EXPECT_EQ(map.viewPosition().y, 32);
    map.onMouseWheel(-120, platform::MK_RBUTTON);
    EXPECT_EQ(map.viewPosition().x, 32);
    EXPECT_EQ(mapWindow.scrollInfo(ScrollAxis::Vertical).position, 1);
    map.onScroll(ScrollAxis::Vertical, platform::SB_PAGEUP, 0);
    EXPECT_EQ(mapWindow.scrollInfo(ScrollAxis::Vertical).position, 0);
    map.onScroll(ScrollAxis::Vertical, platform::SB_BOTTOM, 0);
    EXPECT_EQ(map.viewPosition().y, 672);
    EXPECT_EQ(mapWindow.scrollInfo(ScrollAxis::Vertical).position, 21);
    map.onScroll(ScrollAxis::Horizontal, platform::SB_THUMBPOSITION, 99);
    EXPECT_EQ(map.viewPosition().x, 480) << "kept within the range";
}

TEST_F(MapScreenTest, AutoScrollFollowsADragRestingNearTheEdge) {
    ASSERT_TRUE(loadChips());
    map.onLeftButtonDown(400, 300);
    mapWindow.setPointer({400, 590});
    map.onMouseMove(400, 590, platform::MK_LBUTTON);
    EXPECT_EQ(selection(), "選択範囲:(12:9～12:18)");
    EXPECT_TRUE(map.idleStep());
    EXPECT_EQ(map.viewPosition().y, 32);
    EXPECT_EQ(selection(), "選択範囲:(12:9～12:19)");
    map.onLeftButtonUp();
    EXPECT_FALSE(map.idleStep());
    EXPECT_EQ(map.viewPosition().y, 32);
}

TEST_F(MapScreenTest, KeysWaitForAChipImage) {
    keyDown(platform::VK_RIGHT);
    press('D');
    press('G');
    EXPECT_EQ(map.cursorColumn(), 0);
    EXPECT_EQ(map.editLayer(), 0);
    EXPECT_TRUE(map.isGridShown());
    ASSERT_TRUE(loadChips());
    press('G');
    EXPECT_FALSE(map.isGridShown());
    map.setEditLayer(2);
    EXPECT_EQ(map.editLayer(), 0);
}

TEST_F(MapScreenTest, SizesOutsideTheirRangesAreRefusedWithTheirMessagesAndChangeNothing) {
    ASSERT_TRUE(loadChips());
    press(platform::VK_RETURN);
    const std::string chip = "チップサイズ変更エラー: 不正な値が指定されました";
    const std::string window =
        "ウィンドウサイズ変更エラー: 不正な値が入力されました。ウィンドウの横サイズは320～1280、"
        "縦サイズは200～1024の範囲内に納めて下さい。";
    const std::string canvas = "キャンバスサイズ変更エラー: 不正な値が指定されました。キャンバスの";
    const struct {
        std::function<bool(MapScreen&)> change;
        std::string box;
    } cases[] = {
        {[](MapScreen& m) { return m.setChipSize(15, 32); }, chip},
        {[](MapScreen& m) { return m.setChipSize(32, 65); }, chip},
        {[](MapScreen& m) { return m.setWindowSize(1281, 600); }, window},
        {[](MapScreen& m) { return m.setWindowSize(320, 199); }, window},
        {[](MapScreen& m) { return m.setCanvasSize(0, 10); },
         canvas + "横サイズは1～5000の範囲内に納めて下さい。"},
        {[](MapScreen& m) { return m.setCanvasSize(10, 5001); },
         canvas + "縦サイズは1～5000の範囲内に納めて下さい。"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(c.change(map)) << c.box;
        EXPECT_EQ(lastBox(host), c.box);
        EXPECT_EQ(host.boxes.back().owner, &mapWindow);
    }
    EXPECT_EQ(map.chipSize(), (Size{32, 32}));
    EXPECT_EQ(mapWindow.clientSize(), (Size{800, 600}));
    EXPECT_EQ(map.document().grid().columns(), 40);
    EXPECT_TRUE(map.document().canUndo());
}

TEST_F(MapScreenTest, SizesWithinTheirRangesLayTheWindowOutAgainAndForgetTheHistory) {
    ASSERT_TRUE(loadChips());
    press(platform::VK_RETURN);
    ASSERT_TRUE(map.setChipSize(16, 64));
    EXPECT_EQ(map.chipScreen()->chipSize(), (Size{16, 64}));
    EXPECT_FALSE(map.document().canUndo());
    EXPECT_EQ(map.visibleColumns(), 50);
    EXPECT_EQ(shown(15, 100), kBlack) << "grid every 16 pixels across";
    EXPECT_EQ(shown(20, 127), kBlack) << "and every 64 down";
    // A chip image smaller than the chips cuts them to its size, the map's too.
    ASSERT_TRUE(map.setChipSize(64, 64));
    ASSERT_TRUE(loadChips(40, 50));
    EXPECT_EQ(map.chipSize(), (Size{40, 50}));
    EXPECT_EQ(map.maximumView().x, 1600 - 800);

    ASSERT_TRUE(map.setWindowSize(1280, 1024));
    EXPECT_EQ(mapWindow.clientSize(), (Size{1280, 1024}));
    EXPECT_EQ(map.maximumView(), (Point{320, 950}));
    EXPECT_EQ(kindWindow.outerRect().top, mapWindow.outerRect().bottom) << "docked below";

    press(platform::VK_RETURN);
    ASSERT_TRUE(map.setCanvasSize(50, 30));
    EXPECT_FALSE(map.document().canUndo());
    EXPECT_EQ(mapWindow.title(), title(0, 0, 0, 0, 50, 30) + " *") << "a new canvas is unsaved";
}

TEST_F(MapScreenTest, LinkedWindowsMoveTogether) {
    ASSERT_TRUE(map.isLinked());
    ASSERT_EQ(mapWindow.outerRect(), (Rect{100, 50, 908, 678}));
    kindWindow.log.clear();
    mapWindow.userMove({120, 60});
    EXPECT_EQ(kindWindow.outerRect().left, 120);
    EXPECT_EQ(kindWindow.outerRect().top, 688);
    EXPECT_EQ(kindWindow.log.back(), "placeBehind mapeditor");
    // Dragging the attribute window 50 pixels right takes the map window along, above it.
    kindWindow.userMove({170, 688});
    EXPECT_EQ(mapWindow.outerRect(), (Rect{170, 60, 978, 688}));
    EXPECT_EQ(mapWindow.log.back(), "placeBehind kindview");
    // Unlinked, each moves alone; linking again docks at once.
    map.toggleLink();
    mapWindow.userMove({0, 0});
    EXPECT_EQ(kindWindow.outerRect().left, 170);
    kindWindow.userMove({300, 700});
    EXPECT_EQ(mapWindow.outerRect().left, 0);
    map.toggleLink();
    EXPECT_EQ(kindWindow.outerRect().left, 0);
    EXPECT_EQ(kindWindow.outerRect().top, 628);
}

TEST_F(MapScreenTest, LoadingAndSavingMaps) {
    ASSERT_TRUE(loadChips());
    press(platform::VK_RETURN);
    loadPatternMap(60, 20);
    EXPECT_TRUE(map.document().isFileBacked());
    EXPECT_FALSE(map.document().canUndo());
    EXPECT_EQ(mapWindow.title(), title(0, 0, 0, 0, 60, 20));
    EXPECT_EQ(map.maximumView().x, 1920 - 800);
    EXPECT_EQ(shown(40, 40), expectedChipPixel(40, 40));

    // A file that is no map reports it and changes nothing.
    EXPECT_FALSE(map.loadMap(dir.file("missing.map")));
    EXPECT_EQ(lastBox(host), "マップ読み込みエラー: マップデータが開けません");
    EXPECT_EQ(map.document().grid().columns(), 60);

    std::string path = dir.file("saved.txt");
    ASSERT_TRUE(map.saveMap(path));
    EXPECT_EQ(path, dir.file("saved.map"));
    EXPECT_EQ(testing_support::readBytes(path).size(), 8u + 16 + 8 * 60 * 20);

    map.newMap();
    EXPECT_FALSE(map.document().isFileBacked());
    EXPECT_EQ(map.document().grid().columns(), 60) << "a new map keeps the size";
    EXPECT_EQ(map.document().grid().chip(0, 0), -1);
}

}  // namespace
