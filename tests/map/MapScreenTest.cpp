#include "map/MapScreen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/MapKeys.h"
#include "chips/ChipScreen.h"
#include "chips/KindScreen.h"
#include "map/MapFile.h"
#include "platform/Message.h"
#include "platform/MessageHandler.h"
#include "platform/VirtualKey.h"
#include "platform/headless/HeadlessHost.h"
#include "platform/headless/HeadlessWindow.h"
#include "tests/chips/ScreenTestSupport.h"
#include "tests/support/TempDir.h"

using platform::Message;
using platform::Point;
using platform::Rect;
using platform::ScrollAxis;
using platform::ScrollInfo;
using platform::Size;
using platform::headless::HeadlessHost;
using platform::headless::HeadlessWindow;
using screen_test::imagePixel;
using testing_support::TempDir;

namespace {

constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kGrey = 0xFFBEBEBE;
constexpr int kChipColumns = 8;  // of the 256 × 256 test image

const std::string kStartTitle =
    "Pelorin  マップ位置:(0,0) 視点座標:(0,0) チップ総数:(横40個,縦40行) "
    "選択範囲:(-1:-1～-1:-1)";

platform::WindowSpec windowSpec(const char* className, Size client, Point position) {
    platform::WindowSpec spec;
    spec.className = className;
    spec.clientSize = client;
    spec.position = position;
    return spec;
}

// The window procedures' part in docking: a move of either window takes the other along.
class MoveRouter : public platform::MessageHandler {
public:
    MoveRouter(MapScreen& map, bool attributeWindow) : m_map(map), m_attribute(attributeWindow) {}
    void handleMessage(platform::NativeWindow&, const Message& m) override {
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
        ASSERT_TRUE(map.attach(&mapWindow, 800, 600, &mapRouter));
        map.newMap();
        ASSERT_TRUE(map.createKindScreen(&kindWindow, &kindRouter));
        ASSERT_TRUE(map.createChipScreen(&chipWindow, 800, 600));
    }

    bool loadChips(int width = 256, int height = 256) {
        const std::string path = dir.file("chips" + std::to_string(++files) + ".bmp");
        screen_test::writeChipImage(path, width, height);
        return map.loadChipImage(path);
    }

    // Loads grid through a map file, as the user would.
    void loadGrid(MapGrid grid) {
        std::string path = dir.file("grid" + std::to_string(++files) + ".map");
        ASSERT_TRUE(MapFile::save(path, grid));
        ASSERT_TRUE(map.loadMap(path));
    }

    // A 40 × 40 map whose cells hold chips (r × 3 + c) mod 70, so some lie beyond the 64 chips
    // of the test image, and attributes (r + c) mod 100.
    static MapGrid patternGrid(int columns = 40, int rows = 40) {
        MapGrid grid;
        grid.reset(columns, rows);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                grid.setChip(c, r, (r * 3 + c) % 70);
                grid.setKind(c, r, (r + c) % 100);
            }
        }
        return grid;
    }

    // What the chip view should show at window pixel (x, y).
    std::uint32_t expectedChipPixel(int x, int y) const {
        const Point view = map.viewPosition();
        const int mx = view.x + x, my = view.y + y;
        const std::int32_t n = map.grid().chip(mx / 32, my / 32);
        if (n < 0 || n >= kChipColumns * kChipColumns) {
            return kGrey;
        }
        return imagePixel(n % kChipColumns * 32 + mx % 32, n / kChipColumns * 32 + my % 32);
    }

    std::uint32_t shown(int x, int y) {
        map.idleStep();
        return mapWindow.pixel(x, y);
    }

    void keyDown(int key) { mapkeys::keyDown(map, key, host.heldModifiers()); }
    void keyUp(int key) { mapkeys::keyUp(map, key, host.heldModifiers()); }
    void click(int x, int y) { map.onLeftButtonDown(x, y); }
    void drag(int x, int y) { map.onMouseMove(x, y, platform::MK_LBUTTON); }
    void pan(int x, int y) { map.onMouseMove(x, y, platform::MK_RBUTTON); }
    void select(int x1, int y1, int x2, int y2) {
        click(x1, y1);
        drag(x2, y2);
        map.onLeftButtonUp();
    }
    // Ctrl (or Shift) held around a key released.
    void withKey(int modifier, int key) {
        host.setKeyDown(modifier);
        keyDown(key);
        keyUp(key);
        host.setKeyDown(modifier, false);
    }
    std::string selectionText() const {
        const std::string& title = mapWindow.title();
        return title.substr(title.rfind("選択範囲:"));
    }
    void expectBox(const std::string& text, const std::string& title) {
        ASSERT_FALSE(host.boxes.empty());
        EXPECT_EQ(host.boxes.back().text, text);
        EXPECT_EQ(host.boxes.back().title, title);
        EXPECT_EQ(host.boxes.back().owner, &mapWindow);
        EXPECT_EQ(host.boxes.back().buttons, platform::MessageButtons::Ok);
    }
    void setKindColour(int number, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
        KindRecord record = map.kindScreen()->table().record(number);
        record.red = red;
        record.green = green;
        record.blue = blue;
        map.kindScreen()->table().setRecord(number, record);
    }

    HeadlessHost host;
    HeadlessWindow mapWindow{windowSpec("mapeditor", {800, 600}, {100, 50})};
    HeadlessWindow kindWindow{windowSpec("kindview", {800, 128}, {0, 0})};
    HeadlessWindow chipWindow{windowSpec("chipview", {800, 600}, {900, 0})};
    MapScreen map{host};
    MoveRouter mapRouter{map, false};
    MoveRouter kindRouter{map, true};
    TempDir dir;
    int files = 0;
};

// --- Start-up, geometry, scroll bars.

TEST_F(MapScreenTest, StartsWithAnEmptyFortyByFortyMap) {
    EXPECT_EQ(mapWindow.title(), kStartTitle);
    EXPECT_EQ(map.grid().columns(), 40);
    EXPECT_EQ(map.grid().chip(39, 39), -1);
    EXPECT_FALSE(map.isFileBacked());
    EXPECT_TRUE(map.isGridShown());
    EXPECT_FALSE(map.areScrollBarsShown());
    EXPECT_EQ(map.visibleColumns(), 25);
    EXPECT_EQ(map.visibleRows(), 18);
    EXPECT_EQ(map.maximumView().x, 480);
    EXPECT_EQ(map.maximumView().y, 672);
    // Without a chip image every cell is empty.
    EXPECT_EQ(shown(40, 40), kGrey);
    EXPECT_EQ(shown(790, 590), kGrey);
    EXPECT_EQ(shown(31, 40), kBlack) << "grid";
    EXPECT_EQ(shown(1, 10), kRed) << "cursor";

    map.toggleScrollBars();
    EXPECT_TRUE(map.areScrollBarsShown());
    EXPECT_EQ(mapWindow.scrollInfo(ScrollAxis::Horizontal), (ScrollInfo{0, 15, 1, 0}));
    EXPECT_EQ(mapWindow.scrollInfo(ScrollAxis::Vertical), (ScrollInfo{0, 21, 1, 0}));
    EXPECT_TRUE(mapWindow.isScrollBarShown(ScrollAxis::Horizontal));
    EXPECT_TRUE(mapWindow.isScrollBarShown(ScrollAxis::Vertical));
}

TEST_F(MapScreenTest, AMapSmallerThanTheWindowHasNoScrollBars) {
    map.toggleScrollBars();
    ASSERT_TRUE(map.setCanvasSize(10, 30));
    EXPECT_EQ(map.maximumView().x, 0);
    EXPECT_EQ(map.maximumView().y, 352);
    EXPECT_FALSE(mapWindow.isScrollBarShown(ScrollAxis::Horizontal));
    EXPECT_TRUE(mapWindow.isScrollBarShown(ScrollAxis::Vertical));
    ASSERT_TRUE(map.setCanvasSize(10, 10));
    EXPECT_FALSE(map.areScrollBarsShown());
    EXPECT_FALSE(mapWindow.isScrollBarShown(ScrollAxis::Vertical));
    map.toggleScrollBars();
    EXPECT_FALSE(map.areScrollBarsShown()) << "nothing to scroll: the switch stays off";
    EXPECT_EQ(shown(330, 10), kBlack) << "beyond the map";
    EXPECT_EQ(shown(10, 330), kBlack);
}

// --- Drawing.

TEST_F(MapScreenTest, TheChipViewDrawsEachCellFromItsChip) {
    ASSERT_TRUE(loadChips());
    loadGrid(patternGrid());
    map.toggleScrollBars();
    map.onScroll(ScrollAxis::Horizontal, platform::SB_THUMBTRACK, 3);
    map.onScroll(ScrollAxis::Vertical, platform::SB_THUMBTRACK, 5);
    EXPECT_EQ(map.viewPosition().x, 96);
    EXPECT_EQ(map.viewPosition().y, 160);
    for (const Point p : {Point{40, 40}, Point{36, 68}, Point{100, 200}, Point{700, 500},
                          Point{795, 595}, Point{580, 590}}) {
        EXPECT_EQ(shown(p.x, p.y), expectedChipPixel(p.x, p.y)) << p.x << "," << p.y;
    }
    // Chip (r × 3 + c) mod 70 is no chip of the image for 64 … 69: grey.
    EXPECT_EQ(map.grid().chip(3 + 16, 5 + 10), 64);
    EXPECT_EQ(shown(16 * 32 + 10, 10 * 32 + 10), kGrey);
    // The idle step presents the chip window too.
    EXPECT_EQ(chipWindow.pixel(40, 40), imagePixel(40, 40));
}

TEST_F(MapScreenTest, TheAttributeViewDrawsTheRecordColours) {
    ASSERT_TRUE(loadChips());
    loadGrid(patternGrid());
    setKindColour(0, 10, 20, 30);
    setKindColour(1, 200, 100, 50);
    MapGrid grid = map.grid();
    grid.setKind(2, 0, 100);  // numbers without a record
    grid.setKind(3, 0, -5);
    loadGrid(grid);
    keyUp('D');
    EXPECT_EQ(map.editLayer(), 1);
    EXPECT_EQ(shown(10, 10), 0xFF0A141Eu);
    EXPECT_EQ(shown(40, 10), 0xFFC86432u);
    EXPECT_EQ(shown(5, 40), 0xFFC86432u) << "cell (0, 1) holds 1 too";
    EXPECT_EQ(shown(70, 10), kGrey);
    EXPECT_EQ(shown(100, 10), kGrey);
    EXPECT_EQ(shown(31, 40), kBlack) << "the grid over the colours";
    keyUp('D');
    EXPECT_EQ(shown(40, 10), expectedChipPixel(40, 10));
}

TEST_F(MapScreenTest, PuttingAChipDrawsItAndUndoBringsTheCellBack) {
    ASSERT_TRUE(loadChips());
    map.setSelectionFillColour(0);  // see through the one-cell selection the click makes
    map.chipScreen()->onLeftButtonDown(2 * 32 + 5, 1 * 32 + 5);  // chip 10
    map.chipScreen()->onLeftButtonUp();
    click(3 * 32 + 5, 4 * 32 + 5);
    keyUp(platform::VK_RETURN);
    EXPECT_EQ(map.grid().chip(3, 4), 10);
    EXPECT_EQ(shown(3 * 32 + 12, 4 * 32 + 20), imagePixel(2 * 32 + 12, 32 + 20));
    EXPECT_TRUE(map.canUndo());
    withKey(platform::VK_CONTROL, 'Z');
    EXPECT_EQ(map.grid().chip(3, 4), -1);
    EXPECT_EQ(shown(3 * 32 + 12, 4 * 32 + 20), kGrey);
    EXPECT_TRUE(map.canRedo());
    withKey(platform::VK_CONTROL, 'Y');
    EXPECT_EQ(map.grid().chip(3, 4), 10);
    // Undoing a fill shows the filled rectangle again, the cursor on its moving corner.
    select(5, 5, 40, 40);
    keyUp(platform::VK_RETURN);
    EXPECT_EQ(map.grid().chip(1, 1), 10);
    click(300, 300);
    withKey(platform::VK_CONTROL, 'Z');
    EXPECT_EQ(map.grid().chip(1, 1), -1);
    EXPECT_EQ(selectionText(), "選択範囲:(0:0～1:1)");
    EXPECT_EQ(map.cursorColumn(), 1);
    // A double click puts as Enter does, on the cell clicked first.
    click(5, 5);
    map.onLeftButtonUp();
    map.onLeftDoubleClick(5, 5);
    EXPECT_EQ(map.grid().chip(0, 0), 10);
    // Not outside the map.
    ASSERT_TRUE(map.setCanvasSize(2, 2));
    map.onLeftDoubleClick(100, 5);
    EXPECT_FALSE(map.canUndo());
}

TEST_F(MapScreenTest, AChipBlockIsStampedAndAttributesComeFromTheAttributeWindow) {
    ASSERT_TRUE(loadChips());
    map.chipScreen()->onLeftButtonDown(5, 5);
    map.chipScreen()->onMouseMove(40, 40, platform::MK_LBUTTON);
    map.chipScreen()->onLeftButtonUp();
    ASSERT_TRUE(map.chipScreen()->isMultiSelection());
    keyUp(platform::VK_END);
    click(800 - 32 * 2 + 5, 5);  // column 38, one left of the last
    keyUp(platform::VK_RETURN);
    EXPECT_EQ(map.grid().chip(38, 0), 0);
    EXPECT_EQ(map.grid().chip(39, 0), 1);
    EXPECT_EQ(map.grid().chip(38, 1), 8);
    EXPECT_EQ(map.grid().chip(39, 1), 9);
    EXPECT_EQ(map.grid().chip(37, 0), -1);

    keyUp('D');
    map.kindScreen()->onLeftButtonDown(3 * 32 + 5, 1 * 32 + 5);  // attribute 28
    keyUp(platform::VK_RETURN);
    EXPECT_EQ(map.grid().kind(38, 0), 28);
    // Erasing in the attribute view changes and records nothing.
    const int steps = map.history().position();
    keyUp(platform::VK_DELETE);
    EXPECT_EQ(map.grid().kind(38, 0), 28);
    EXPECT_EQ(map.history().position(), steps);
}

// --- Titles, keys and navigation.

TEST_F(MapScreenTest, KeysMoveTheCursorAndPageThroughTheMap) {
    ASSERT_TRUE(loadChips());
    keyDown(platform::VK_LEFT);
    keyDown(platform::VK_UP);
    EXPECT_EQ(mapWindow.title(), kStartTitle);
    for (int i = 0; i < 25; ++i) {
        keyDown(platform::VK_RIGHT);
    }
    EXPECT_EQ(mapWindow.title(),
              "Pelorin  マップ位置:(25,0) 視点座標:(32,0) チップ総数:(横40個,縦40行) "
              "選択範囲:(-1:-1～-1:-1)");
    EXPECT_EQ(shown(768, 10), kRed) << "the cursor stays on the window's last column";
    keyDown(platform::VK_NEXT);
    EXPECT_EQ(map.viewPosition().x, 480);
    EXPECT_EQ(map.cursorColumn(), 39);
    keyDown(platform::VK_RIGHT);
    EXPECT_EQ(map.cursorColumn(), 39);
    keyDown(platform::VK_PRIOR);
    EXPECT_EQ(map.cursorColumn(), 0);
    host.setKeyDown(platform::VK_CONTROL);
    keyDown(platform::VK_NEXT);
    EXPECT_EQ(map.viewPosition().y, 576);
    EXPECT_EQ(map.cursorRow(), 18);
    keyUp(platform::VK_END);
    EXPECT_EQ(map.viewPosition().y, 672);
    EXPECT_EQ(map.cursorRow(), 39);
    keyUp(platform::VK_HOME);
    EXPECT_EQ(map.cursorRow(), 0);
    host.setKeyDown(platform::VK_CONTROL, false);

    // In a window that holds no whole number of chips the last column is only partly shown,
    // and End puts the cursor on it.
    ASSERT_TRUE(map.setWindowSize(810, 600));
    keyUp(platform::VK_END);
    EXPECT_EQ(map.viewPosition().x, 448);
    EXPECT_EQ(map.cursorColumn(), 39);
    EXPECT_EQ(shown(800, 10), kRed);
    EXPECT_EQ(shown(790, 10), expectedChipPixel(790, 10));
}

TEST_F(MapScreenTest, ClicksSelectAndDragsExtendTheSelection) {
    ASSERT_TRUE(loadChips());
    loadGrid(patternGrid());
    map.setSelectionFillColour(kGreen);
    select(40, 40, 100, 70);
    EXPECT_EQ(selectionText(), "選択範囲:(1:1～3:2)");
    EXPECT_EQ(mapWindow.title().substr(0, 30), "Pelorin  マップ位置:(3,2)");
    // Frame on the inner border of cells 1 … 3 × 1 … 2, the grid over it.
    EXPECT_EQ(shown(32, 40), kBlue);
    EXPECT_EQ(shown(34, 40), kBlue);
    EXPECT_EQ(shown(35, 40), kGreen);
    EXPECT_EQ(shown(125, 40), kBlue);
    EXPECT_EQ(shown(127, 40), kBlack) << "the grid lies over the frame";
    EXPECT_EQ(shown(50, 93), kBlue);
    EXPECT_EQ(shown(50, 92), kGreen);
    EXPECT_EQ(shown(20, 40), expectedChipPixel(20, 40));
    // Inside the selection a click keeps it; outside, it starts a new one.
    click(70, 40);
    map.onLeftButtonUp();
    EXPECT_EQ(selectionText(), "選択範囲:(1:1～3:2)");
    click(300, 300);
    map.onLeftButtonUp();
    EXPECT_EQ(selectionText(), "選択範囲:(9:9～9:9)");
    // A click beyond a small map does nothing.
    ASSERT_TRUE(map.setCanvasSize(5, 5));
    click(300, 10);
    EXPECT_EQ(selectionText(), "選択範囲:(-1:-1～-1:-1)");
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
    EXPECT_EQ(selectionText(), "選択範囲:(0:0～30:0)");
    EXPECT_EQ(map.viewPosition().x, 192);
    EXPECT_EQ(shown(0, 1), kBlue) << "the top edge";
    EXPECT_EQ(shown(0, 10), kGreen) << "no left edge: it is scrolled out";
    EXPECT_EQ(shown(1, 20), kGreen);
    EXPECT_EQ(shown(50, 40), expectedChipPixel(50, 40));
    map.onMouseWheel(120, platform::MK_RBUTTON);
    EXPECT_FALSE(map.isSelectionShown()) << "a move without Shift ends it";
}

TEST_F(MapScreenTest, RightDragPansTwelvePixelsPerChip) {
    ASSERT_TRUE(loadChips());
    map.onRightButtonDown(400, 300);
    pan(389, 300);
    EXPECT_EQ(map.viewPosition().x, 0);
    pan(376, 300);
    EXPECT_EQ(map.viewPosition().x, 64);
    EXPECT_EQ(map.cursorColumn(), 2);
    EXPECT_EQ(mapWindow.title(),
              "Pelorin  マップ位置:(2,0) 視点座標:(64,0) チップ総数:(横40個,縦40行) "
              "選択範囲:(-1:-1～-1:-1)");
    pan(0, 0);
    EXPECT_EQ(map.viewPosition().x, 480);
    EXPECT_EQ(map.viewPosition().y, 672);
    map.onRightButtonUp();
    EXPECT_FALSE(map.isPanning());
}

TEST_F(MapScreenTest, WheelAndScrollBars) {
    ASSERT_TRUE(loadChips());
    map.onMouseWheel(-120, 0);
    EXPECT_EQ(map.viewPosition().y, 32);
    EXPECT_EQ(map.cursorRow(), 1);
    map.onMouseWheel(-120, platform::MK_RBUTTON);
    EXPECT_EQ(map.viewPosition().x, 32);
    map.toggleScrollBars();
    EXPECT_EQ(mapWindow.scrollInfo(ScrollAxis::Vertical).position, 1);
    map.onMouseWheel(120, 0);
    EXPECT_EQ(mapWindow.scrollInfo(ScrollAxis::Vertical).position, 0);
    map.onScroll(ScrollAxis::Vertical, platform::SB_PAGEUP, 0);
    EXPECT_EQ(mapWindow.scrollInfo(ScrollAxis::Vertical).position, 0);
    map.onScroll(ScrollAxis::Vertical, platform::SB_BOTTOM, 0);
    EXPECT_EQ(map.viewPosition().y, 672);
    EXPECT_EQ(mapWindow.scrollInfo(ScrollAxis::Vertical).position, 21);
    EXPECT_EQ(map.cursorRow(), 21);
    map.onScroll(ScrollAxis::Horizontal, platform::SB_THUMBPOSITION, 99);
    EXPECT_EQ(map.viewPosition().x, 480) << "kept within the range";
}

TEST_F(MapScreenTest, TheWheelAtTheViewsEndStillShowsTheSelectionRuleInTheTitle) {
    ASSERT_TRUE(loadChips());
    // View at the top: turning the wheel away from the user scrolls nothing, but Shift starts a
    // selection at the cursor and the title says so.
    host.setKeyDown(platform::VK_SHIFT);
    map.onMouseWheel(120, platform::MK_SHIFT);
    host.setKeyDown(platform::VK_SHIFT, false);
    EXPECT_EQ(map.viewPosition().y, 0);
    EXPECT_TRUE(map.isSelectionShown());
    EXPECT_EQ(selectionText(), "選択範囲:(0:0～0:0)");
    // Without Shift the selection ends, and the title follows.
    map.onMouseWheel(120, 0);
    EXPECT_FALSE(map.isSelectionShown());
    EXPECT_EQ(selectionText(), "選択範囲:(-1:-1～-1:-1)");
}

TEST_F(MapScreenTest, AutoScrollFollowsADragRestingNearTheEdge) {
    ASSERT_TRUE(loadChips());
    click(400, 300);
    mapWindow.setPointer({400, 590});
    drag(400, 590);
    EXPECT_EQ(selectionText(), "選択範囲:(12:9～12:18)");
    EXPECT_TRUE(map.idleStep());
    EXPECT_EQ(map.viewPosition().y, 32);
    EXPECT_EQ(selectionText(), "選択範囲:(12:9～12:19)");
    map.onLeftButtonUp();
    EXPECT_FALSE(map.idleStep());
    EXPECT_EQ(map.viewPosition().y, 32);
}

TEST_F(MapScreenTest, KeysWaitForAChipImage) {
    keyDown(platform::VK_RIGHT);
    keyUp('D');
    keyUp('G');
    EXPECT_EQ(map.cursorColumn(), 0);
    EXPECT_EQ(map.editLayer(), 0);
    EXPECT_TRUE(map.isGridShown());
    ASSERT_TRUE(loadChips());
    keyUp('G');
    EXPECT_FALSE(map.isGridShown());
    map.setEditLayer(2);
    EXPECT_EQ(map.editLayer(), 0);
}

// --- Sizes.

TEST_F(MapScreenTest, ChipSizesOutside16To64AreRefused) {
    ASSERT_TRUE(loadChips());
    EXPECT_FALSE(map.setChipSize(15, 32));
    expectBox("不正な値が指定されました", "チップサイズ変更エラー");
    EXPECT_FALSE(map.setChipSize(32, 65));
    EXPECT_EQ(map.chipSize(), (Size{32, 32}));
    keyUp(platform::VK_RETURN);
    ASSERT_TRUE(map.canUndo());
    ASSERT_TRUE(map.setChipSize(16, 64));
    EXPECT_EQ(map.chipSize(), (Size{16, 64}));
    EXPECT_EQ(map.chipScreen()->chipSize(), (Size{16, 64}));
    EXPECT_FALSE(map.canUndo());
    EXPECT_EQ(map.visibleColumns(), 50);
    EXPECT_EQ(map.maximumView().y, 1920);
    EXPECT_EQ(shown(15, 100), kBlack) << "grid every 16 pixels across";
    EXPECT_EQ(shown(20, 127), kBlack) << "and every 64 down";
    // A chip image smaller than the chips cuts them to its size, the map's too.
    ASSERT_TRUE(map.setChipSize(64, 64));
    ASSERT_TRUE(loadChips(40, 50));
    EXPECT_EQ(map.chipSize(), (Size{40, 50}));
    EXPECT_EQ(map.maximumView().x, 1600 - 800);
}

TEST_F(MapScreenTest, WindowSizesOutsideTheRangeAreRefused) {
    EXPECT_FALSE(map.setWindowSize(1281, 600));
    expectBox(
        "不正な値が入力されました。ウィンドウの横サイズは320～1280、縦サイズは200～1024の範囲内"
        "に納めて下さい。",
        "ウィンドウサイズ変更エラー");
    EXPECT_FALSE(map.setWindowSize(320, 199));
    EXPECT_EQ(mapWindow.clientSize(), (Size{800, 600}));
    ASSERT_TRUE(map.setWindowSize(1280, 1024));
    EXPECT_EQ(mapWindow.clientSize(), (Size{1280, 1024}));
    EXPECT_EQ(map.maximumView().x, 0);
    EXPECT_EQ(map.maximumView().y, 256);
    // The attribute window follows the map window's new bottom edge.
    EXPECT_EQ(kindWindow.outerRect().top, mapWindow.outerRect().bottom);
}

// --- The attribute window's link.

TEST_F(MapScreenTest, LinkedWindowsMoveTogether) {
    ASSERT_TRUE(map.isLinked());
    const Rect mapOuter = mapWindow.outerRect();  // 808 × 628 at (100, 50)
    ASSERT_EQ(mapOuter, (Rect{100, 50, 908, 678}));
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
    EXPECT_FALSE(map.isLinked());
    mapWindow.userMove({0, 0});
    EXPECT_EQ(kindWindow.outerRect().left, 170);
    kindWindow.userMove({300, 700});
    EXPECT_EQ(mapWindow.outerRect().left, 0);
    map.toggleLink();
    EXPECT_EQ(kindWindow.outerRect().left, 0);
    EXPECT_EQ(kindWindow.outerRect().top, 628);
}

// --- Editing through keys.

TEST_F(MapScreenTest, CopyAndPasteWithTheKeyLatch) {
    ASSERT_TRUE(loadChips());
    loadGrid(patternGrid());
    select(5, 5, 40, 5);  // cells (0, 0) … (1, 0)
    host.setKeyDown(platform::VK_CONTROL);
    host.setKeyDown('C');
    keyDown('C');
    EXPECT_EQ(map.copyBuffer(0), (MapGrid::Layer{MapGrid::Row{0, 1}}));
    EXPECT_TRUE(map.canPaste());
    click(5, 100);  // cell (0, 3)
    map.onLeftButtonUp();
    keyDown('V');  // C is still down: nothing
    EXPECT_EQ(map.grid().chip(0, 3), 9);
    host.setKeyDown('C', false);
    keyUp('C');
    host.setKeyDown('V');
    keyDown('V');
    keyDown('V');  // the repeat of a held key pastes once
    EXPECT_EQ(map.grid().chip(0, 3), 0);
    EXPECT_EQ(map.grid().chip(1, 3), 1);
    EXPECT_EQ(map.history().position(), 1);
    EXPECT_FALSE(map.canRedo());
}

TEST_F(MapScreenTest, RowsAndColumnsComeAndGoWithInsertAndDelete) {
    ASSERT_TRUE(loadChips());
    loadGrid(patternGrid());
    select(10, 5 * 32 + 5, 10, 7 * 32 + 5);
    withKey(platform::VK_SHIFT, platform::VK_INSERT);
    EXPECT_EQ(map.grid().rows(), 43);
    EXPECT_EQ(map.grid().chip(0, 5), -1);
    EXPECT_EQ(map.grid().chip(0, 8), 15);
    EXPECT_EQ(map.cursorRow(), 5);
    EXPECT_EQ(mapWindow.title(),
              "Pelorin  マップ位置:(0,5) 視点座標:(0,0) チップ総数:(横40個,縦43行) "
              "選択範囲:(-1:-1～-1:-1)");
    withKey(platform::VK_CONTROL, 'Z');
    EXPECT_EQ(map.grid().rows(), 40);
    EXPECT_NE(mapWindow.title().find("縦40行"), std::string::npos);
    // Deleting every column is refused with its message and recorded nowhere.
    click(5, 5);
    host.setKeyDown(platform::VK_SHIFT);
    keyUp(platform::VK_END);
    host.setKeyDown(platform::VK_SHIFT, false);
    EXPECT_EQ(selectionText(), "選択範囲:(0:0～39:0)");
    const int steps = map.history().position();
    withKey(platform::VK_CONTROL, platform::VK_DELETE);
    expectBox("列を削除出来ません。マップ構成には最低1列は必要です。", "列削除エラー");
    EXPECT_EQ(map.grid().columns(), 40);
    EXPECT_EQ(map.history().position(), steps);
    // Delete alone erases the selection.
    keyUp(platform::VK_DELETE);
    EXPECT_EQ(map.grid().chip(39, 0), -1);
    EXPECT_EQ(map.grid().chip(0, 1), 3);
}

TEST_F(MapScreenTest, ReplaceSwitchesToTheTargetLayerAndSaysHowMany) {
    ASSERT_TRUE(loadChips());
    loadGrid(patternGrid());
    map.replace(5, 5, 0, 0);
    EXPECT_TRUE(host.boxes.empty());
    map.replace(5, 77, 0, 1);
    EXPECT_EQ(map.editLayer(), 1);
    EXPECT_EQ(map.grid().kind(5, 0), 77);
    int count = 0;
    for (int r = 0; r < 40; ++r) {
        for (int c = 0; c < 40; ++c) {
            count += map.grid().chip(c, r) == 5 ? 1 : 0;
        }
    }
    ASSERT_GT(count, 0);
    EXPECT_EQ(host.boxes.back().text, std::to_string(count) + "個置換しました");
    EXPECT_EQ(host.boxes.back().title, "置換成功");
    withKey(platform::VK_CONTROL, 'Z');
    EXPECT_EQ(map.grid().kind(5, 0), 5);
}

TEST_F(MapScreenTest, CanvasSizeChangesAreCheckedAndForgetTheHistory) {
    ASSERT_TRUE(loadChips());
    keyUp(platform::VK_RETURN);
    EXPECT_FALSE(map.setCanvasSize(0, 10));
    expectBox("不正な値が指定されました。キャンバスの横サイズは1～5000の範囲内に納めて下さい。",
              "キャンバスサイズ変更エラー");
    EXPECT_FALSE(map.setCanvasSize(10, 5001));
    expectBox("不正な値が指定されました。キャンバスの縦サイズは1～5000の範囲内に納めて下さい。",
              "キャンバスサイズ変更エラー");
    EXPECT_TRUE(map.canUndo());
    ASSERT_TRUE(map.setCanvasSize(50, 30));
    EXPECT_FALSE(map.canUndo());
    EXPECT_NE(mapWindow.title().find("チップ総数:(横50個,縦30行)"), std::string::npos);
}

// --- Files.

TEST_F(MapScreenTest, LoadingAndSavingMaps) {
    ASSERT_TRUE(loadChips());
    keyDown(platform::VK_RIGHT);
    keyUp(platform::VK_RETURN);
    loadGrid(patternGrid(60, 20));
    EXPECT_TRUE(map.isFileBacked());
    EXPECT_FALSE(map.canUndo());
    EXPECT_EQ(mapWindow.title(),
              "Pelorin  マップ位置:(0,0) 視点座標:(0,0) チップ総数:(横60個,縦20行) "
              "選択範囲:(-1:-1～-1:-1)");
    EXPECT_EQ(map.maximumView().x, 1920 - 800);
    EXPECT_EQ(shown(40, 40), expectedChipPixel(40, 40));

    // A file that is no map reports it and changes nothing.
    EXPECT_FALSE(map.loadMap(dir.file("missing.map")));
    expectBox("マップデータが開けません", "マップ読み込みエラー");
    EXPECT_EQ(map.grid().columns(), 60);

    std::string path = dir.file("saved.txt");
    ASSERT_TRUE(map.saveMap(path));
    EXPECT_EQ(path, dir.file("saved.map"));
    EXPECT_EQ(testing_support::readBytes(path).size(), 8u + 16 + 8 * 60 * 20);

    map.newMap();
    EXPECT_FALSE(map.isFileBacked());
    EXPECT_EQ(map.grid().columns(), 60) << "a new map keeps the size";
    EXPECT_EQ(map.grid().chip(0, 0), -1);
}

}  // namespace
