#include "chips/ChipScreen.h"

#include <gtest/gtest.h>

#include <string>

#include "gfx/CNxSurface.h"
#include "platform/Message.h"
#include "platform/VirtualKey.h"
#include "platform/headless/HeadlessHost.h"
#include "platform/headless/HeadlessWindow.h"
#include "tests/chips/ScreenTestSupport.h"
#include "tests/support/TempDir.h"

using platform::ScrollAxis;
using platform::ScrollInfo;
using platform::Size;
using screen_test::imagePixel;

namespace {

constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kGreen = 0xFF00FF00;

// The chip window as its window procedure drives it. What it shares with the map window
// (panning, wheel, auto-scroll) is tested through the map window.
class ChipScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(screen.attach(&window, 800, 600));
        screen.setOwnerWindow(&owner);
    }

    // Loads a fresh width × height image with the chip size given; the size comes back in
    // chipWidth and chipHeight.
    bool load(int width, int height, int chipWidthIn = 32, int chipHeightIn = 32) {
        const std::string path = dir.file("chips" + std::to_string(++files) + ".bmp");
        screen_test::writeChipImage(path, width, height);
        chipWidth = chipWidthIn;
        chipHeight = chipHeightIn;
        return screen.loadChipImage(path, chipWidth, chipHeight);
    }

    void click(int x, int y) { screen.onLeftButtonDown(x, y); }
    void drag(int x, int y) { screen.onMouseMove(x, y, platform::MK_LBUTTON); }
    std::uint32_t shown(int x, int y) {
        screen.refresh();
        return window.pixel(x, y);
    }
    std::string selectionText() const {
        return window.title().substr(window.title().rfind("選択範囲:"));
    }

    platform::headless::HeadlessHost host;
    platform::headless::HeadlessWindow window{Size{800, 600}};
    platform::headless::HeadlessWindow owner{Size{800, 600}};
    ChipScreen screen{host};
    testing_support::TempDir dir;
    int files = 0;
    int chipWidth = 0;
    int chipHeight = 0;
};

// --- Loading.

TEST_F(ChipScreenTest, ChipsAreTheWholeChipsOfTheImage) {
    ASSERT_TRUE(load(100, 70));
    EXPECT_EQ(screen.columns(), 3);
    EXPECT_EQ(screen.chipSet().rows(), 2);
    EXPECT_EQ(screen.chipCount(), 6);
    EXPECT_EQ(window.title(),
              "Pelorin  0番のチップ　選択位置:(0,0) 視点座標:(0,0) チップ数:(横3列,縦2行) "
              "画像サイズ(96×64) 選択範囲:(-1:-1～-1:-1)");
    // The view shows the whole picture, the pixels beyond the last whole chip too.
    EXPECT_EQ(shown(97, 40), imagePixel(97, 40));
    EXPECT_EQ(shown(40, 68), imagePixel(40, 68));
    EXPECT_EQ(shown(101, 40), kBlack);
    EXPECT_EQ(shown(40, 71), kBlack);
}

TEST_F(ChipScreenTest, TheChipSizeIsClampedToTheImageAndWrittenBack) {
    ASSERT_TRUE(load(20, 300));
    EXPECT_EQ(chipWidth, 20);
    EXPECT_EQ(chipHeight, 32);
    EXPECT_EQ(screen.columns(), 1);
    EXPECT_NE(window.title().find("画像サイズ(20×288)"), std::string::npos);
    ASSERT_TRUE(load(200, 200, 8, 100));
    EXPECT_EQ(chipWidth, 16);
    EXPECT_EQ(chipHeight, 64);
}

TEST_F(ChipScreenTest, ImagesThatCannotServeChangeNothing) {
    ASSERT_TRUE(load(100, 70));
    ASSERT_FALSE(load(15, 500));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "画像のサイズが小さ過ぎます。チップ画像の最小サイズは16です。");
    EXPECT_EQ(host.boxes[0].title, "チップ画像ロードエラー");
    EXPECT_EQ(host.boxes[0].owner, &owner);
    // Files no loader takes fail without a message of their own.
    testing_support::writeText(dir.file("noise.bmp"), "not a picture");
    int w = 32, h = 32;
    EXPECT_FALSE(screen.loadChipImage(dir.file("noise.bmp"), w, h));
    EXPECT_FALSE(screen.loadChipImage(dir.file("missing.png"), w, h));
    EXPECT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(screen.chipImage()->GetWidth(), 100);
}

TEST_F(ChipScreenTest, TheWindowShrinksToTheImageButNotBelow320By200) {
    ASSERT_TRUE(load(200, 150));
    EXPECT_EQ(window.clientSize(), (Size{800, 600}));
    ASSERT_TRUE(load(640, 480));
    EXPECT_EQ(window.clientSize(), (Size{640, 480}));
    ASSERT_TRUE(load(330, 100));  // each side on its own
    EXPECT_EQ(window.clientSize(), (Size{330, 480}));
}

// --- Geometry, scroll bars, drawing.

TEST_F(ChipScreenTest, ScrollBarsCountWholeChipsBeyondTheWindow) {
    screen.onKeyUp('S');  // no image yet: the switch flips, the bars wait
    EXPECT_FALSE(window.isScrollBarShown(ScrollAxis::Horizontal));
    screen.setWindowSize(330, 600);
    ASSERT_TRUE(load(640, 64));  // 20 columns, 10 in the window
    EXPECT_EQ(screen.maximumView().x, 288);
    EXPECT_EQ(window.scrollInfo(ScrollAxis::Horizontal), (ScrollInfo{0, 9, 1, 0}));
    EXPECT_TRUE(window.isScrollBarShown(ScrollAxis::Horizontal));
    EXPECT_FALSE(window.isScrollBarShown(ScrollAxis::Vertical));

    // Requests move the view under the cursor, which keeps its place in the window.
    screen.onKeyDown(platform::VK_RIGHT);
    screen.onScroll(ScrollAxis::Horizontal, platform::SB_PAGELEFT, 0);
    EXPECT_EQ(window.scrollInfo(ScrollAxis::Horizontal).position, 0);
    screen.onScroll(ScrollAxis::Horizontal, platform::SB_THUMBTRACK, 2);
    EXPECT_EQ(screen.viewPosition().x, 64);
    EXPECT_EQ(screen.cursorColumn(), 3);
    EXPECT_EQ(shown(5, 40), imagePixel(69, 40));
    screen.onScroll(ScrollAxis::Horizontal, platform::SB_BOTTOM, 0);
    EXPECT_EQ(window.scrollInfo(ScrollAxis::Horizontal).position, 9);
    screen.onScroll(ScrollAxis::Horizontal, platform::SB_LINERIGHT, 0);
    EXPECT_EQ(screen.viewPosition().x, 288);
    EXPECT_EQ(screen.cursorColumn(), 10);

    ASSERT_TRUE(load(200, 150));  // nothing to scroll: the bars go, the switch with them
    EXPECT_FALSE(screen.areScrollBarsShown());
    EXPECT_FALSE(window.isScrollBarShown(ScrollAxis::Horizontal));
}

TEST_F(ChipScreenTest, GridAndCursorLieOnTheLastAndFirstPixelsOfTheChips) {
    ASSERT_TRUE(load(256, 256));
    EXPECT_EQ(shown(31, 40), kBlack);
    EXPECT_EQ(shown(40, 63), kBlack);
    EXPECT_EQ(shown(30, 40), imagePixel(30, 40));
    EXPECT_EQ(shown(0, 10), kRed);
    EXPECT_EQ(shown(2, 10), kRed);
    EXPECT_EQ(shown(3, 10), imagePixel(3, 10));
    EXPECT_EQ(shown(28, 10), imagePixel(28, 10));
    EXPECT_EQ(shown(29, 10), kRed);
    // A new cursor colour draws the right and bottom sides 4 pixels wide.
    screen.setCursorColour(kGreen);
    EXPECT_EQ(shown(28, 10), kGreen);
    EXPECT_EQ(shown(10, 28), kGreen);
    EXPECT_EQ(shown(27, 27), imagePixel(27, 27));
    screen.onKeyUp('G');
    EXPECT_EQ(shown(31, 40), imagePixel(31, 40));
    screen.onKeyUp('G');
    screen.setGridColour(kBlue);
    EXPECT_EQ(shown(31, 40), kBlue);
}

// --- Selection.

TEST_F(ChipScreenTest, DraggingSelectsABlockDrawnAsFrameAndFill) {
    ASSERT_TRUE(load(256, 256));
    click(40, 40);
    drag(72, 40);
    drag(100, 70);
    screen.onLeftButtonUp();
    EXPECT_TRUE(screen.isMultiSelection());
    EXPECT_EQ(selectionText(), "選択範囲:(1:1～3:2)");
    EXPECT_EQ(screen.selectedChipNumber(), 2 * 8 + 3);
    EXPECT_TRUE(screen_test::isBlendOf(shown(50, 50), 0x80FFFFFF, imagePixel(50, 50)));
    // The frame lies inside cells 1 … 3 × 1 … 2 (pixels 32 … 127 × 32 … 95), 3 pixels thick,
    // over the grid and the fill; the cursor on cell (3, 2) over all.
    screen.setSelectionFillColour(kGreen);
    EXPECT_EQ(shown(32, 50), kBlue);
    EXPECT_EQ(shown(34, 50), kBlue);
    EXPECT_EQ(shown(35, 50), kGreen);
    EXPECT_EQ(shown(127, 40), kBlue);
    EXPECT_EQ(shown(124, 40), kGreen);
    EXPECT_EQ(shown(50, 32), kBlue);
    EXPECT_EQ(shown(50, 95), kBlue);
    EXPECT_EQ(shown(50, 92), kGreen);
    EXPECT_EQ(shown(63, 50), kBlack) << "the grid lies over the fill";
    EXPECT_EQ(shown(97, 80), kRed);
    EXPECT_EQ(shown(20, 50), imagePixel(20, 50));
    EXPECT_EQ(shown(130, 50), imagePixel(130, 50));

    // Escape, with the button up, returns the cursor to the first cell and ends the selection.
    screen.onKeyUp(platform::VK_ESCAPE);
    EXPECT_EQ(screen.cursorColumn(), 1);
    EXPECT_EQ(screen.cursorRow(), 1);
    EXPECT_EQ(selectionText(), "選択範囲:(-1:-1～-1:-1)");
    EXPECT_EQ(shown(50, 50), imagePixel(50, 50));
}

TEST_F(ChipScreenTest, AClickWithoutDragSelectsOneChip) {
    ASSERT_TRUE(load(256, 256));
    click(70, 40);
    screen.onLeftButtonUp();
    EXPECT_FALSE(screen.isMultiSelection());
    EXPECT_EQ(screen.selectedChipNumber(), 10);
    click(300, 10);  // beyond the image: nothing
    EXPECT_EQ(selectionText(), "選択範囲:(2:1～2:1)");
    // A move with the button held that did not start in the chips selects nothing.
    screen.onLeftButtonUp();
    drag(200, 200);
    EXPECT_EQ(screen.cursorColumn(), 2);
}

TEST_F(ChipScreenTest, ShiftWithTheCursorKeysSelects) {
    ASSERT_TRUE(load(256, 256));
    host.setKeyDown(platform::VK_SHIFT);
    for (int i = 0; i < 3; ++i) {
        screen.onKeyDown(platform::VK_RIGHT);
    }
    EXPECT_EQ(selectionText(), "選択範囲:(0:0～3:0)");
    screen.onKeyDown(platform::VK_DOWN);
    EXPECT_EQ(selectionText(), "選択範囲:(0:0～3:1)");
    host.setKeyDown(platform::VK_SHIFT, false);
    screen.onKeyDown(platform::VK_LEFT);
    EXPECT_EQ(selectionText(), "選択範囲:(-1:-1～-1:-1)");
    EXPECT_EQ(screen.cursorColumn(), 2);
}

// --- Keys.

TEST_F(ChipScreenTest, KeysMoveTheCursorAndScrollAtTheWindowsEdges) {
    ASSERT_TRUE(load(2048, 64));  // 64 columns; the view reaches 1248
    screen.onKeyDown(platform::VK_LEFT);
    EXPECT_EQ(screen.cursorColumn(), 0);
    for (int i = 0; i < 25; ++i) {
        screen.onKeyDown(platform::VK_RIGHT);
    }
    EXPECT_EQ(window.title(),
              "Pelorin  25番のチップ　選択位置:(25,0) 視点座標:(32,0) チップ数:(横64列,縦2行) "
              "画像サイズ(2048×64) 選択範囲:(-1:-1～-1:-1)");
    EXPECT_EQ(shown(768, 10), kRed) << "the cursor stays on the window's last chip";
    screen.onKeyUp(platform::VK_HOME);
    EXPECT_EQ(screen.viewPosition().x, 0);
    // Pages move by the window; the last one stops at the last column.
    screen.onKeyUp(platform::VK_NEXT);
    EXPECT_EQ(screen.viewPosition().x, 800);
    EXPECT_EQ(screen.cursorColumn(), 25);
    screen.onKeyUp(platform::VK_NEXT);
    EXPECT_EQ(screen.viewPosition().x, 1248);
    EXPECT_EQ(screen.cursorColumn(), 63);
    screen.onKeyUp(platform::VK_PRIOR);
    EXPECT_EQ(screen.viewPosition().x, 448);
    EXPECT_EQ(screen.cursorColumn(), 38);
    screen.onKeyUp(platform::VK_PRIOR);
    EXPECT_EQ(screen.cursorColumn(), 0);
    screen.onKeyUp(platform::VK_END);
    EXPECT_EQ(screen.cursorColumn(), 63);
    screen.onKeyDown(platform::VK_RIGHT);
    EXPECT_EQ(screen.cursorColumn(), 63);
    // With Ctrl, rows: an image that fits sends the cursor straight to the last one.
    host.setKeyDown(platform::VK_CONTROL);
    screen.onKeyUp(platform::VK_NEXT);
    EXPECT_EQ(screen.cursorRow(), 1);
    screen.onKeyUp(platform::VK_HOME);
    EXPECT_EQ(screen.cursorRow(), 0);
}

TEST_F(ChipScreenTest, NothingMovesWithoutAnImage) {
    screen.onKeyDown(platform::VK_RIGHT);
    screen.onKeyUp(platform::VK_END);
    click(40, 40);
    screen.onMouseWheel(-120, 0);
    EXPECT_EQ(screen.cursorColumn(), 0);
    EXPECT_FALSE(screen.isLeftDragActive());
    EXPECT_TRUE(window.titles.empty());
    screen.onKeyUp('G');
    EXPECT_FALSE(screen.isGridShown());
}

TEST_F(ChipScreenTest, ChipAndWindowSizeChangesStartAfresh) {
    ASSERT_TRUE(load(256, 40));
    click(40, 10);
    drag(100, 10);
    int w = 100, h = 100;
    screen.setChipSize(w, h);
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 40);
    EXPECT_EQ(screen.columns(), 4);
    EXPECT_FALSE(screen.isSelectionShown());
    EXPECT_EQ(screen.cursorColumn(), 0);
    screen.setWindowSize(319, 600);
    screen.setWindowSize(1280, 1025);
    EXPECT_EQ(window.clientSize(), (Size{800, 600}));
    screen.setWindowSize(320, 200);
    EXPECT_EQ(window.clientSize(), (Size{320, 200}));
    EXPECT_EQ(screen.visibleColumns(), 5);
}

}  // namespace
