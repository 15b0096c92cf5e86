#include "chips/ChipScreen.h"

#include <gtest/gtest.h>

#include <string>

#include "gfx/CNxSurface.h"
#include "platform/Message.h"
#include "platform/VirtualKey.h"
#include "platform/headless/HeadlessWindow.h"
#include "tests/chips/ScreenTestSupport.h"

using platform::ScrollAxis;
using platform::ScrollInfo;
using platform::Size;
using namespace screen_test;

namespace {

// The chip window as its window procedure drives it. The rules it shares with the map window
// (panning, wheel, auto-scroll, the Shift rule) are GridModel's, tested in tests/grid.
class ChipScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(screen.attach(&window, 800, 600));
        screen.setOwnerWindow(&owner);
    }

    // Loads a width × height image with the chip size given; the size taken comes back in
    // chipWidth and chipHeight.
    bool load(int width, int height, int chipWidthIn = 32, int chipHeightIn = 32) {
        chipWidth = chipWidthIn;
        chipHeight = chipHeightIn;
        return screen.loadChipImage(chipImage(dir, width, height), chipWidth, chipHeight);
    }
    std::uint32_t shown(int x, int y) {
        screen.refresh();
        return window.pixel(x, y);
    }
    // Keys with the modifiers held now, as the window's router hands them on.
    void keyDown(int key) { screen.onKeyDown(key, host.heldModifiers()); }
    void keyUp(int key) { screen.onKeyUp(key, host.heldModifiers()); }

    platform::headless::HeadlessHost host;
    platform::headless::HeadlessWindow window{Size{800, 600}};
    platform::headless::HeadlessWindow owner{Size{800, 600}};
    ChipScreen screen{host};
    testing_support::TempDir dir;
    int chipWidth = 0;
    int chipHeight = 0;
};

TEST_F(ChipScreenTest, ChipsAreTheWholeChipsOfTheImageInTheSizeItAllows) {
    const struct {
        int width, height, chipWidthIn, chipHeightIn;
        int chipWidth, chipHeight, columns, rows;
        Size window;  // each side shrunk to the image's unless that is below 320 × 200
    } cases[] = {
        {100, 70, 32, 32, 32, 32, 3, 2, {800, 600}},
        {640, 480, 32, 32, 32, 32, 20, 15, {640, 480}},
        {330, 100, 32, 32, 32, 32, 10, 3, {330, 480}},  // each side on its own
        {20, 300, 32, 32, 20, 32, 1, 9, {330, 300}},
        {200, 200, 8, 100, 16, 64, 12, 3, {330, 200}},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(load(c.width, c.height, c.chipWidthIn, c.chipHeightIn)) << c.width;
        EXPECT_EQ(chipWidth, c.chipWidth) << c.width;
        EXPECT_EQ(chipHeight, c.chipHeight) << c.width;
        EXPECT_EQ(screen.columns(), c.columns) << c.width;
        EXPECT_EQ(screen.chipSet().rows(), c.rows) << c.width;
        EXPECT_EQ(window.clientSize(), c.window) << c.width;
    }
    ASSERT_TRUE(load(100, 70));
    EXPECT_EQ(window.title(),
              "Pelorin  0番のチップ　選択位置:(0,0) 視点座標:(0,0) チップ数:(横3列,縦2行) "
              "画像サイズ(96×64) 選択範囲:(-1:-1～-1:-1)");
    // The view shows the whole picture, the pixels beyond the last whole chip too.
    EXPECT_EQ(shown(97, 40), imagePixel(97, 40));
    EXPECT_EQ(shown(40, 68), imagePixel(40, 68));
    EXPECT_EQ(shown(101, 40), kBlack);
    EXPECT_EQ(shown(40, 71), kBlack);
}

TEST_F(ChipScreenTest, ImagesThatCannotServeChangeNothing) {
    ASSERT_TRUE(load(100, 70));
    ASSERT_FALSE(load(15, 500));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(
        lastBox(host),
        "チップ画像ロードエラー: 画像のサイズが小さ過ぎます。チップ画像の最小サイズは16です。");
    EXPECT_EQ(host.boxes[0].owner, &owner);
    // Files no loader takes fail without a message of their own.
    testing_support::writeText(dir.file("noise.bmp"), "not a picture");
    int w = 32, h = 32;
    EXPECT_FALSE(screen.loadChipImage(dir.file("noise.bmp"), w, h));
    EXPECT_FALSE(screen.loadChipImage(dir.file("missing.png"), w, h));
    EXPECT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(screen.chipImage()->GetWidth(), 100);
}

TEST_F(ChipScreenTest, ScrollBarsCountWholeChipsBeyondTheWindow) {
    keyUp('S');  // no image yet: the switch flips, the bars wait
    EXPECT_FALSE(window.isScrollBarShown(ScrollAxis::Horizontal));
    screen.setWindowSize(330, 600);
    ASSERT_TRUE(load(640, 64));  // 20 columns, 10 in the window
    EXPECT_EQ(screen.maximumView().x, 288);
    EXPECT_EQ(window.scrollInfo(ScrollAxis::Horizontal), (ScrollInfo{0, 9, 1, 0}));
    EXPECT_FALSE(window.isScrollBarShown(ScrollAxis::Vertical));

    // Requests move the view under the cursor, which keeps its place in the window.
    keyDown(platform::VK_RIGHT);
    screen.onScroll(ScrollAxis::Horizontal, platform::SB_THUMBTRACK, 2);
    EXPECT_EQ(screen.viewPosition().x, 64);
    EXPECT_EQ(screen.cursorColumn(), 3);
    EXPECT_EQ(shown(5, 40), imagePixel(69, 40));
    screen.onScroll(ScrollAxis::Horizontal, platform::SB_BOTTOM, 0);
    screen.onScroll(ScrollAxis::Horizontal, platform::SB_LINERIGHT, 0);
    EXPECT_EQ(window.scrollInfo(ScrollAxis::Horizontal).position, 9);
    EXPECT_EQ(screen.cursorColumn(), 10);

    ASSERT_TRUE(load(200, 150));  // nothing to scroll: the bars go, the switch with them
    EXPECT_FALSE(screen.areScrollBarsShown());
    EXPECT_FALSE(window.isScrollBarShown(ScrollAxis::Horizontal));
}

TEST_F(ChipScreenTest, GridAndCursorLieOnTheLastAndFirstPixelsOfTheChips) {
    ASSERT_TRUE(load(256, 256));
    const std::pair<int, std::uint32_t> across[] = {
        {0, kRed}, {2, kRed}, {3, imagePixel(3, 10)}, {28, imagePixel(28, 10)}, {29, kRed}};
    for (const auto& [x, colour] : across) {
        EXPECT_EQ(shown(x, 10), colour) << x;
    }
    EXPECT_EQ(shown(31, 40), kBlack);
    EXPECT_EQ(shown(40, 63), kBlack);
    EXPECT_EQ(shown(30, 40), imagePixel(30, 40));
    // A new cursor colour draws the right and bottom sides 4 pixels wide.
    screen.setCursorColour(kGreen);
    EXPECT_EQ(shown(28, 10), kGreen);
    EXPECT_EQ(shown(10, 28), kGreen);
    EXPECT_EQ(shown(27, 27), imagePixel(27, 27));
    keyUp('G');
    EXPECT_EQ(shown(31, 40), imagePixel(31, 40));
    keyUp('G');
    screen.setGridColour(kBlue);
    EXPECT_EQ(shown(31, 40), kBlue);
}

TEST_F(ChipScreenTest, DraggingSelectsABlockDrawnAsFrameAndFill) {
    ASSERT_TRUE(load(256, 256));
    screen.onLeftButtonDown(40, 40);
    screen.onMouseMove(72, 40, platform::MK_LBUTTON);
    screen.onMouseMove(100, 70, platform::MK_LBUTTON);
    screen.onLeftButtonUp();
    EXPECT_TRUE(screen.isMultiSelection());
    EXPECT_EQ(selectionPart(window.title()), "選択範囲:(1:1～3:2)");
    EXPECT_EQ(screen.selectedChipNumber(), 2 * 8 + 3);
    EXPECT_TRUE(isBlendOf(shown(50, 50), 0x80FFFFFF, imagePixel(50, 50)));
    // The frame lies inside cells 1 … 3 × 1 … 2 (pixels 32 … 127 × 32 … 95), 3 pixels thick,
    // over the grid and the fill; the cursor on cell (3, 2) over all.
    screen.setSelectionFillColour(kGreen);
    const struct {
        int x, y;
        std::uint32_t colour;
    } pixels[] = {{32, 50, kBlue},
                  {34, 50, kBlue},
                  {35, 50, kGreen},
                  {127, 40, kBlue},
                  {124, 40, kGreen},
                  {50, 32, kBlue},
                  {50, 95, kBlue},
                  {50, 92, kGreen},
                  {63, 50, kBlack},  // the grid over the fill
                  {97, 80, kRed},
                  {20, 50, imagePixel(20, 50)},
                  {130, 50, imagePixel(130, 50)}};
    for (const auto& p : pixels) {
        EXPECT_EQ(shown(p.x, p.y), p.colour) << p.x << "," << p.y;
    }
    // Escape, with the button up, returns the cursor to the first cell and ends the selection.
    keyUp(platform::VK_ESCAPE);
    EXPECT_EQ(screen.cursorColumn(), 1);
    EXPECT_EQ(screen.cursorRow(), 1);
    EXPECT_EQ(selectionPart(window.title()), "選択範囲:(-1:-1～-1:-1)");
    EXPECT_EQ(shown(50, 50), imagePixel(50, 50));

    // A click without a drag selects one chip; beyond the image, nothing.
    screen.onLeftButtonDown(70, 40);
    screen.onLeftButtonUp();
    EXPECT_FALSE(screen.isMultiSelection());
    EXPECT_EQ(screen.selectedChipNumber(), 10);
    screen.onLeftButtonDown(300, 10);
    EXPECT_EQ(selectionPart(window.title()), "選択範囲:(2:1～2:1)");
}

TEST_F(ChipScreenTest, KeysMoveTheCursorAndScrollAtTheWindowsEdges) {
    ASSERT_TRUE(load(2048, 64));  // 64 columns; the view reaches 1248
    for (int i = 0; i < 25; ++i) {
        keyDown(platform::VK_RIGHT);
    }
    EXPECT_EQ(window.title(),
              "Pelorin  25番のチップ　選択位置:(25,0) 視点座標:(32,0) チップ数:(横64列,縦2行) "
              "画像サイズ(2048×64) 選択範囲:(-1:-1～-1:-1)");
    EXPECT_EQ(shown(768, 10), kRed) << "the cursor stays on the window's last chip";
    // Home, then pages of the window's width; the last one stops at the last column.
    const struct {
        int key, view, cursor;
    } steps[] = {{platform::VK_HOME, 0, 0},     {platform::VK_NEXT, 800, 25},
                 {platform::VK_NEXT, 1248, 63}, {platform::VK_PRIOR, 448, 38},
                 {platform::VK_PRIOR, 0, 0},    {platform::VK_END, 1248, 63}};
    for (const auto& s : steps) {
        keyUp(s.key);
        EXPECT_EQ(screen.viewPosition().x, s.view) << s.key;
        EXPECT_EQ(screen.cursorColumn(), s.cursor) << s.key;
    }
    // With Ctrl, rows: an image that fits sends the cursor straight to the last one.
    host.setKeyDown(platform::VK_CONTROL);
    keyUp(platform::VK_NEXT);
    EXPECT_EQ(screen.cursorRow(), 1);
}

TEST_F(ChipScreenTest, NothingMovesWithoutAnImageAndSizeChangesStartAfresh) {
    keyDown(platform::VK_RIGHT);
    screen.onLeftButtonDown(40, 40);
    screen.onMouseWheel(-120, 0);
    EXPECT_EQ(screen.cursorColumn(), 0);
    EXPECT_FALSE(screen.isLeftDragActive());
    EXPECT_TRUE(window.titles.empty());

    ASSERT_TRUE(load(256, 40));
    screen.onLeftButtonDown(40, 10);
    screen.onMouseMove(100, 10, platform::MK_LBUTTON);
    int w = 100, h = 100;
    screen.setChipSize(w, h);
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 40);
    EXPECT_EQ(screen.columns(), 4);
    EXPECT_FALSE(screen.isSelectionShown());
    EXPECT_EQ(screen.cursorColumn(), 0);
    EXPECT_FALSE(screen.setWindowSize(319, 600));
    EXPECT_FALSE(screen.setWindowSize(1280, 1025));
    EXPECT_EQ(host.boxes.back().title, "ウィンドウサイズ変更エラー");
    EXPECT_EQ(window.clientSize(), (Size{800, 600}));
    screen.setWindowSize(320, 200);
    EXPECT_EQ(window.clientSize(), (Size{320, 200}));
    EXPECT_EQ(screen.visibleColumns(), 5);
}

}  // namespace

// Zoomed in, an image pixel is a square of window pixels, clicks hit the chips shown there, the
// grid and the cursor follow the chips; zoomed out, a click hits the chip its pixel shows, and
// the grid goes once chips are smaller than 4 pixels. Ctrl+wheel keeps the chip under the
// pointer; Ctrl+0 goes back to 1:1.
TEST_F(ChipScreenTest, ZoomScalesThePictureTheClicksTheGridAndTheCursor) {
    ASSERT_TRUE(load(512, 512));
    host.setKeyDown(platform::VK_CONTROL);
    keyDown(platform::VK_OEM_PLUS);
    ASSERT_EQ(screen.zoom(), (Zoom{2, 1}));
    EXPECT_EQ(shown(70, 100), imagePixel(35, 50)) << "each image pixel a 2 × 2 block";
    EXPECT_EQ(shown(71, 101), imagePixel(35, 50));
    EXPECT_EQ(shown(63, 100), kBlack) << "the grid on the last window pixel of a 64-pixel chip";
    screen.onLeftButtonDown(130, 70);
    screen.onLeftButtonUp();
    EXPECT_EQ(screen.selectedChipNumber(), 1 * 16 + 2);
    EXPECT_EQ(shown(128, 64), kRed) << "the cursor on the chip's first pixels";
    EXPECT_EQ(shown(128 + 63, 64 + 32), kRed) << "3 pixels wide on its last";

    screen.onMouseWheel(-2 * platform::WHEEL_DELTA, platform::MK_CONTROL, 300, 200);
    ASSERT_EQ(screen.zoom(), (Zoom{1, 2}));
    EXPECT_EQ(screen.viewPosition(), (platform::Point{0, 0})) << "the whole image fits";
    screen.onLeftButtonDown(100, 200);  // image pixel 200, 400: chip 6, 12
    screen.onLeftButtonUp();
    EXPECT_EQ(screen.selectedChipNumber(), 12 * 16 + 6);
    EXPECT_EQ(shown(15, 100), kBlack) << "16-pixel chips: still a grid";
    screen.onMouseWheel(-2 * platform::WHEEL_DELTA, platform::MK_CONTROL, 0, 0);
    ASSERT_EQ(screen.zoom(), (Zoom{1, 8}));
    EXPECT_EQ(shown(3, 40), kBlack) << "4-pixel chips: a grid";
    screen.onMouseWheel(-platform::WHEEL_DELTA, platform::MK_CONTROL, 0, 0);
    EXPECT_NE(shown(1, 10), kBlack) << "2-pixel chips: none";

    keyDown('0');
    EXPECT_EQ(screen.zoom(), Zoom{});
    EXPECT_EQ(shown(31, 40), kBlack);
}
