#include "chips/ChipScreen.h"

#include <gtest/gtest.h>

#include <string>

#include "gfx/CNxSurface.h"
#include "platform/Message.h"
#include "platform/MessageHandler.h"
#include "platform/VirtualKey.h"
#include "tests/chips/ScreenTestSupport.h"
#include "tests/support/FakeHost.h"
#include "tests/support/FakeNativeWindow.h"
#include "tests/support/TempDir.h"

using platform::Message;
using platform::ScrollAxis;
using platform::ScrollInfo;
using platform::Size;
using screen_test::imagePixel;
using testing_support::FakeHost;
using testing_support::FakeNativeWindow;
using testing_support::TempDir;

namespace {

constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kGreen = 0xFF00FF00;

// The chip window's procedure as far as this screen is concerned.
class ChipRouter : public platform::MessageHandler {
public:
    explicit ChipRouter(ChipScreen& screen) : m_screen(screen) {}
    void handleMessage(platform::NativeWindow&, const Message& m) override {
        switch (m.message) {
            case platform::WM_KEYDOWN:
                m_screen.onKeyDown(m.key);
                break;
            case platform::WM_KEYUP:
                m_screen.onKeyUp(m.key);
                break;
            case platform::WM_HSCROLL:
                m_screen.onScroll(ScrollAxis::Horizontal, m.code, m.position);
                break;
            case platform::WM_VSCROLL:
                m_screen.onScroll(ScrollAxis::Vertical, m.code, m.position);
                break;
            case platform::WM_MOUSEMOVE:
                m_screen.onMouseMove(m.x, m.y, m.keys);
                break;
            case platform::WM_LBUTTONDOWN:
                m_screen.onLeftButtonDown(m.x, m.y);
                break;
            case platform::WM_LBUTTONUP:
                m_screen.onLeftButtonUp();
                break;
            case platform::WM_RBUTTONDOWN:
                m_screen.onRightButtonDown(m.x, m.y);
                break;
            case platform::WM_RBUTTONUP:
                m_screen.onRightButtonUp();
                break;
            case platform::WM_MOUSEWHEEL:
                m_screen.onMouseWheel(m.wheelDelta, m.keys);
                break;
            default:
                break;
        }
    }

private:
    ChipScreen& m_screen;
};

class ChipScreenTest : public ::testing::Test {
protected:
    void SetUp() override { attach(800, 600); }

    void attach(int width, int height) {
        ASSERT_TRUE(screen.attach(&window, width, height, &router));
        screen.setOwnerWindow(&owner);
    }

    // Writes a chip image of width × height and loads it with a 32 × 32 chip size (or the
    // given one, which comes back clamped).
    bool load(int width, int height, int chipWidth = 32, int chipHeight = 32) {
        const std::string path = dir.file("chips" + std::to_string(++files) + ".bmp");
        screen_test::writeChipImage(path, width, height);
        lastChipWidth = chipWidth;
        lastChipHeight = chipHeight;
        return screen.loadChipImage(path, lastChipWidth, lastChipHeight);
    }

    void keyDown(int key) { window.send(Message::keyDown(key)); }
    void keyUp(int key) { window.send(Message::keyUp(key)); }
    void press(int key) {
        keyDown(key);
        keyUp(key);
    }
    void click(int x, int y) {
        window.send(Message::mouse(platform::WM_LBUTTONDOWN, x, y, platform::MK_LBUTTON));
    }
    void drag(int x, int y) {
        window.send(Message::mouse(platform::WM_MOUSEMOVE, x, y, platform::MK_LBUTTON));
    }
    void release(int x, int y) { window.send(Message::mouse(platform::WM_LBUTTONUP, x, y, 0)); }
    void scroll(platform::MessageId id, int code, int position = 0) {
        window.send(Message::scroll(id, code, position));
    }
    std::uint32_t shown(int x, int y) {
        screen.refresh();
        return window.pixel(x, y);
    }
    std::string selectionText() const {
        const std::string& title = window.title();
        return title.substr(title.rfind("選択範囲:"));
    }

    FakeHost host;
    FakeNativeWindow window{Size{800, 600}};
    FakeNativeWindow owner{Size{800, 600}};
    ChipScreen screen{host};
    ChipRouter router{screen};
    TempDir dir;
    int files = 0;
    int lastChipWidth = 0;
    int lastChipHeight = 0;
};

// --- Loading.

TEST_F(ChipScreenTest, ChipsAreWholeChipsOfTheImageAndTheTitleSaysSo) {
    ASSERT_TRUE(load(100, 70));
    EXPECT_TRUE(screen.isLoaded());
    EXPECT_EQ(screen.columns(), 3);
    EXPECT_EQ(screen.chipSet().rows(), 2);
    EXPECT_EQ(screen.chipCount(), 6);
    EXPECT_EQ(lastChipWidth, 32);
    EXPECT_EQ(window.title(),
              "Pelorin  0番のチップ　選択位置:(0,0) 視点座標:(0,0) チップ数:(横3列,縦2行) "
              "画像サイズ(96×64) 選択範囲:(-1:-1～-1:-1)");
    // The view shows the whole picture, the pixels beyond the last whole chip too; black
    // beyond the picture.
    EXPECT_EQ(shown(97, 40), imagePixel(97, 40));
    EXPECT_EQ(shown(40, 68), imagePixel(40, 68));
    EXPECT_EQ(shown(101, 40), kBlack);
    EXPECT_EQ(shown(40, 71), kBlack);
}

TEST_F(ChipScreenTest, AChipSizeLargerThanTheImageIsCutToItAndWrittenBack) {
    ASSERT_TRUE(load(20, 300));
    EXPECT_EQ(lastChipWidth, 20);
    EXPECT_EQ(lastChipHeight, 32);
    EXPECT_EQ(screen.chipSize(), (Size{20, 32}));
    EXPECT_EQ(screen.columns(), 1);
    EXPECT_EQ(screen.chipSet().rows(), 9);
    EXPECT_NE(window.title().find("画像サイズ(20×288)"), std::string::npos);
    // Sizes outside 16 … 64 are clamped rather than refused.
    ASSERT_TRUE(load(200, 200, 8, 100));
    EXPECT_EQ(lastChipWidth, 16);
    EXPECT_EQ(lastChipHeight, 64);
}

TEST_F(ChipScreenTest, AnImageUnderSixteenPixelsIsRefusedWithItsMessage) {
    ASSERT_TRUE(load(100, 70));
    ASSERT_FALSE(load(15, 500));
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "画像のサイズが小さ過ぎます。チップ画像の最小サイズは16です。");
    EXPECT_EQ(host.boxes[0].title, "チップ画像ロードエラー");
    EXPECT_EQ(host.boxes[0].owner, &owner);
    EXPECT_EQ(host.boxes[0].buttons, platform::MessageButtons::Ok);
    EXPECT_FALSE(load(500, 15));
    // The previous image stays.
    EXPECT_EQ(screen.chipCount(), 6);
    EXPECT_EQ(screen.chipImage()->GetWidth(), 100);
}

TEST_F(ChipScreenTest, AFileNoLoaderTakesFailsSilently) {
    const std::string path = dir.file("noise.bmp");
    testing_support::writeText(path, "not a picture");
    int w = 32, h = 32;
    EXPECT_FALSE(screen.loadChipImage(path, w, h));
    EXPECT_FALSE(screen.loadChipImage(dir.file("missing.png"), w, h));
    EXPECT_FALSE(screen.isLoaded());
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(ChipScreenTest, TheWindowShrinksToTheImageButNotBelow320By200) {
    ASSERT_TRUE(load(200, 150));
    EXPECT_EQ(window.clientSize(), (Size{800, 600}));
    ASSERT_TRUE(load(640, 480));
    EXPECT_EQ(window.clientSize(), (Size{640, 480}));
    EXPECT_EQ(screen.windowSize(), (Size{640, 480}));
    ASSERT_TRUE(load(330, 100));  // each side on its own
    EXPECT_EQ(window.clientSize(), (Size{330, 480}));
}

// --- Geometry and scroll bars.

TEST_F(ChipScreenTest, ScrollRangesCountWholeChipsBeyondTheWindow) {
    screen.setWindowSize(330, 600);
    ASSERT_TRUE(load(640, 64));  // 20 columns
    EXPECT_EQ(screen.visibleColumns(), 10);
    EXPECT_EQ(screen.maximumView().x, 288);
    EXPECT_EQ(screen.maximumView().y, 0);
    keyUp('S');
    EXPECT_TRUE(screen.areScrollBarsShown());
    EXPECT_TRUE(window.isScrollBarShown(ScrollAxis::Horizontal));
    EXPECT_FALSE(window.isScrollBarShown(ScrollAxis::Vertical));
    EXPECT_EQ(window.scrollInfo(ScrollAxis::Horizontal), (ScrollInfo{0, 9, 1, 0}));
    keyUp('S');
    EXPECT_FALSE(screen.areScrollBarsShown());
    EXPECT_FALSE(window.isScrollBarShown(ScrollAxis::Horizontal));
}

TEST_F(ChipScreenTest, BarsAreRemovedWhenTheImageFitsAndComeOnceAnImageIsLoaded) {
    keyUp('S');  // no image yet: only the switch flips
    EXPECT_TRUE(screen.areScrollBarsShown());
    EXPECT_FALSE(window.isScrollBarShown(ScrollAxis::Vertical));
    ASSERT_TRUE(load(64, 2048));
    EXPECT_TRUE(window.isScrollBarShown(ScrollAxis::Vertical));
    EXPECT_EQ(window.scrollInfo(ScrollAxis::Vertical), (ScrollInfo{0, 45, 1, 0}));
    ASSERT_TRUE(load(200, 150));  // nothing to scroll
    EXPECT_FALSE(screen.areScrollBarsShown());
    EXPECT_FALSE(window.isScrollBarShown(ScrollAxis::Vertical));
}

// --- Drawing.

TEST_F(ChipScreenTest, GridAndCursorLieOnTheLastAndFirstPixelsOfTheChips) {
    ASSERT_TRUE(load(256, 256));
    EXPECT_EQ(shown(31, 40), kBlack) << "grid on the last column of each chip";
    EXPECT_EQ(shown(40, 63), kBlack);
    EXPECT_EQ(shown(30, 40), imagePixel(30, 40));
    // The cursor: a 3-pixel frame on chip 0.
    EXPECT_EQ(shown(0, 10), kRed);
    EXPECT_EQ(shown(2, 10), kRed);
    EXPECT_EQ(shown(3, 10), imagePixel(3, 10));
    EXPECT_EQ(shown(28, 10), imagePixel(28, 10));
    EXPECT_EQ(shown(29, 10), kRed);
    EXPECT_EQ(shown(10, 29), kRed);
    // A new colour draws the right and bottom sides 4 pixels wide.
    screen.setCursorColour(kGreen);
    EXPECT_EQ(shown(28, 10), kGreen);
    EXPECT_EQ(shown(10, 28), kGreen);
    EXPECT_EQ(shown(3, 10), imagePixel(3, 10));
    EXPECT_EQ(shown(27, 27), imagePixel(27, 27));
    // The grid: hidden by G, recoloured by its setter.
    keyUp('G');
    EXPECT_FALSE(screen.isGridShown());
    EXPECT_EQ(shown(31, 40), imagePixel(31, 40));
    keyUp('G');
    screen.setGridColour(kBlue);
    EXPECT_EQ(shown(31, 40), kBlue);
    EXPECT_EQ(screen.colours().grid, kBlue);
}

TEST_F(ChipScreenTest, TheViewShowsTheImageFromTheViewPosition) {
    ASSERT_TRUE(load(2048, 64));
    keyUp('S');
    scroll(platform::WM_HSCROLL, platform::SB_THUMBTRACK, 2);
    EXPECT_EQ(screen.viewPosition().x, 64);
    EXPECT_EQ(shown(5, 40), imagePixel(69, 40));
    EXPECT_EQ(shown(700, 40), imagePixel(764, 40));
    EXPECT_EQ(shown(5, 70), kBlack) << "below the picture";
}

// --- Selection.

TEST_F(ChipScreenTest, DraggingSelectsABlockDrawnAsFrameAndFill) {
    ASSERT_TRUE(load(256, 256));
    screen.setSelectionFillColour(kGreen);
    click(40, 40);
    drag(72, 40);
    drag(100, 70);
    release(100, 70);
    EXPECT_TRUE(screen.isMultiSelection());
    const CellGridScreen::Selection s = screen.selection();
    EXPECT_EQ((std::vector<int>{s.x1, s.y1, s.x2, s.y2}), (std::vector<int>{1, 1, 3, 2}));
    EXPECT_EQ(screen.selectedChipNumber(), 2 * 8 + 3);
    EXPECT_EQ(screen.chipNumberAt(1, 1), 9);
    EXPECT_EQ(selectionText(), "選択範囲:(1:1～3:2)");
    // The frame lies inside cells 1 … 3 × 1 … 2 (pixels 32 … 127 × 32 … 95), 3 pixels thick,
    // over the fill; the cursor sits on cell (3, 2).
    EXPECT_EQ(shown(32, 50), kBlue);
    EXPECT_EQ(shown(34, 50), kBlue);
    EXPECT_EQ(shown(35, 50), kGreen);
    EXPECT_EQ(shown(127, 40), kBlue);
    EXPECT_EQ(shown(125, 40), kBlue);
    EXPECT_EQ(shown(124, 40), kGreen);
    EXPECT_EQ(shown(50, 32), kBlue);
    EXPECT_EQ(shown(50, 34), kBlue);
    EXPECT_EQ(shown(50, 95), kBlue);
    EXPECT_EQ(shown(50, 93), kBlue);
    EXPECT_EQ(shown(50, 92), kGreen);
    EXPECT_EQ(shown(63, 50), kBlack) << "the grid lies over the fill";
    EXPECT_EQ(shown(97, 80), kRed);
    EXPECT_EQ(shown(100, 80), kGreen);
    EXPECT_EQ(shown(31, 50), kBlack);
    EXPECT_EQ(shown(20, 50), imagePixel(20, 50));
    EXPECT_EQ(shown(50, 100), imagePixel(50, 100));
    EXPECT_EQ(shown(130, 50), imagePixel(130, 50));

    // Escape, with the button up, returns the cursor to the first cell and ends the selection.
    keyUp(platform::VK_ESCAPE);
    EXPECT_EQ(screen.cursorColumn(), 1);
    EXPECT_EQ(screen.cursorRow(), 1);
    EXPECT_FALSE(screen.isMultiSelection());
    EXPECT_EQ(selectionText(), "選択範囲:(-1:-1～-1:-1)");
    EXPECT_EQ(shown(50, 50), imagePixel(50, 50));
}

TEST_F(ChipScreenTest, TheDefaultFillIsTranslucentWhite) {
    ASSERT_TRUE(load(256, 256));
    click(40, 40);
    drag(100, 40);
    EXPECT_TRUE(screen_test::isBlendOf(shown(50, 50), 0x80FFFFFF, imagePixel(50, 50)));
}

TEST_F(ChipScreenTest, AClickWithoutDragSelectsOneChip) {
    ASSERT_TRUE(load(256, 256));
    click(70, 40);
    release(70, 40);
    EXPECT_FALSE(screen.isMultiSelection());
    EXPECT_TRUE(screen.isSelectionShown());
    EXPECT_EQ(screen.selectedChipNumber(), 8 + 2);
    // Clicking inside the selection keeps it; outside, or past the image, replaces it or
    // does nothing.
    click(40, 40);
    drag(100, 100);
    release(100, 100);
    click(70, 70);
    EXPECT_EQ(selectionText(), "選択範囲:(1:1～3:3)");
    EXPECT_EQ(screen.cursorColumn(), 2);
    release(70, 70);
    click(300, 10);
    EXPECT_EQ(selectionText(), "選択範囲:(1:1～3:3)");
    click(200, 10);
    EXPECT_EQ(selectionText(), "選択範囲:(6:0～6:0)");
}

TEST_F(ChipScreenTest, ShiftWithTheCursorKeysSelects) {
    ASSERT_TRUE(load(256, 256));
    host.setKeyDown(platform::VK_SHIFT);
    for (int i = 0; i < 3; ++i) {
        keyDown(platform::VK_RIGHT);
    }
    EXPECT_EQ(selectionText(), "選択範囲:(0:0～3:0)");
    EXPECT_TRUE(screen.isMultiSelection());
    keyDown(platform::VK_DOWN);
    EXPECT_EQ(selectionText(), "選択範囲:(0:0～3:1)");
    host.setKeyDown(platform::VK_SHIFT, false);
    keyDown(platform::VK_LEFT);
    EXPECT_EQ(selectionText(), "選択範囲:(-1:-1～-1:-1)");
    EXPECT_EQ(screen.cursorColumn(), 2);
}

TEST_F(ChipScreenTest, DraggingPastTheWindowKeepsTheCursorOnShownChips) {
    ASSERT_TRUE(load(1024, 1024));
    click(10, 10);
    drag(5000, 5000);
    EXPECT_EQ(screen.cursorColumn(), 24);
    EXPECT_EQ(screen.cursorRow(), 18);
    drag(-50, -50);
    EXPECT_EQ(selectionText(), "選択範囲:(0:0～0:0)");
    // A move with the button held that did not start in the chips selects nothing.
    release(0, 0);
    drag(200, 200);
    EXPECT_EQ(screen.cursorColumn(), 0);
}

// --- Keys.

TEST_F(ChipScreenTest, CursorKeysMoveTheCursorAndScrollAtTheEdges) {
    ASSERT_TRUE(load(1024, 64));  // 32 columns, 25 in the window
    keyDown(platform::VK_LEFT);
    keyDown(platform::VK_UP);
    EXPECT_EQ(screen.cursorColumn(), 0);
    for (int i = 0; i < 24; ++i) {
        keyDown(platform::VK_RIGHT);
    }
    EXPECT_EQ(screen.viewPosition().x, 0);
    keyDown(platform::VK_RIGHT);
    EXPECT_EQ(screen.viewPosition().x, 32);
    EXPECT_EQ(screen.cursorColumn(), 25);
    EXPECT_EQ(window.title(),
              "Pelorin  25番のチップ　選択位置:(25,0) 視点座標:(32,0) チップ数:(横32列,縦2行) "
              "画像サイズ(1024×64) 選択範囲:(-1:-1～-1:-1)");
    EXPECT_EQ(shown(768, 10), kRed) << "the cursor stays at the window's last chip";
    keyUp(platform::VK_END);
    EXPECT_EQ(screen.cursorColumn(), 31);
    EXPECT_EQ(screen.viewPosition().x, 224);
    keyDown(platform::VK_RIGHT);
    EXPECT_EQ(screen.cursorColumn(), 31);
    keyDown(platform::VK_DOWN);
    keyDown(platform::VK_DOWN);
    EXPECT_EQ(screen.cursorRow(), 1);
    keyUp(platform::VK_HOME);
    EXPECT_EQ(screen.cursorColumn(), 0);
    EXPECT_EQ(screen.viewPosition().x, 0);
    host.setKeyDown(platform::VK_CONTROL);
    keyUp(platform::VK_HOME);
    EXPECT_EQ(screen.cursorRow(), 0);
}

TEST_F(ChipScreenTest, PagesMoveByTheWindowAndStopAtTheEnds) {
    ASSERT_TRUE(load(2048, 64));  // 64 columns; the view reaches 1248
    keyUp(platform::VK_NEXT);
    EXPECT_EQ(screen.viewPosition().x, 800);
    EXPECT_EQ(screen.cursorColumn(), 25);
    keyUp(platform::VK_NEXT);
    EXPECT_EQ(screen.viewPosition().x, 1248);
    EXPECT_EQ(screen.cursorColumn(), 63);
    EXPECT_EQ(shown(768, 10), kRed);
    keyUp(platform::VK_NEXT);
    EXPECT_EQ(screen.cursorColumn(), 63);
    keyUp(platform::VK_PRIOR);
    EXPECT_EQ(screen.viewPosition().x, 448);
    EXPECT_EQ(screen.cursorColumn(), 38);
    keyUp(platform::VK_PRIOR);
    EXPECT_EQ(screen.viewPosition().x, 0);
    EXPECT_EQ(screen.cursorColumn(), 0);
    // With Ctrl, rows; an image that fits sends the cursor straight to the last row.
    host.setKeyDown(platform::VK_CONTROL);
    keyUp(platform::VK_NEXT);
    EXPECT_EQ(screen.cursorRow(), 1);
    EXPECT_EQ(screen.viewPosition().y, 0);
}

TEST_F(ChipScreenTest, NothingMovesWithoutAnImage) {
    keyDown(platform::VK_RIGHT);
    keyUp(platform::VK_END);
    click(40, 40);
    window.send(Message::wheel(-120, 10, 10, 0));
    EXPECT_EQ(screen.cursorColumn(), 0);
    EXPECT_FALSE(screen.isLeftDragActive());
    EXPECT_TRUE(window.titles.empty());
    keyUp('G');
    EXPECT_FALSE(screen.isGridShown());
}

// --- Scroll bars, wheel, panning, auto-scroll.

TEST_F(ChipScreenTest, ScrollBarRequestsMoveTheViewUnderTheCursor) {
    ASSERT_TRUE(load(2048, 64));
    keyUp('S');
    keyDown(platform::VK_RIGHT);  // the cursor one chip into the window
    scroll(platform::WM_HSCROLL, platform::SB_PAGELEFT);
    EXPECT_EQ(window.scrollInfo(ScrollAxis::Horizontal).position, 0);
    scroll(platform::WM_HSCROLL, platform::SB_LINERIGHT);
    EXPECT_EQ(screen.viewPosition().x, 32);
    EXPECT_EQ(screen.cursorColumn(), 2);
    EXPECT_EQ(window.scrollInfo(ScrollAxis::Horizontal).position, 1);
    scroll(platform::WM_HSCROLL, platform::SB_THUMBPOSITION, 10);
    EXPECT_EQ(screen.viewPosition().x, 320);
    EXPECT_EQ(screen.cursorColumn(), 11);
    scroll(platform::WM_HSCROLL, platform::SB_BOTTOM);
    EXPECT_EQ(window.scrollInfo(ScrollAxis::Horizontal).position, 39);
    EXPECT_EQ(screen.cursorColumn(), 40);
    scroll(platform::WM_HSCROLL, platform::SB_PAGERIGHT);
    EXPECT_EQ(screen.viewPosition().x, 1248);
    scroll(platform::WM_HSCROLL, platform::SB_TOP);
    EXPECT_EQ(screen.viewPosition().x, 0);
    EXPECT_EQ(screen.cursorColumn(), 1);
}

TEST_F(ChipScreenTest, TheWheelScrollsOneChipDownOrAcrossWithTheRightButton) {
    ASSERT_TRUE(load(1024, 1024));
    window.send(Message::wheel(-120, 10, 10, 0));
    EXPECT_EQ(screen.viewPosition().y, 32);
    EXPECT_EQ(screen.cursorRow(), 1);
    window.send(Message::wheel(-360, 10, 10, platform::MK_RBUTTON));
    EXPECT_EQ(screen.viewPosition().x, 32) << "one chip whatever the distance";
    window.send(Message::wheel(120, 10, 10, 0));
    window.send(Message::wheel(120, 10, 10, 0));
    EXPECT_EQ(screen.viewPosition().y, 0);
    // Under Shift the selection follows.
    host.setKeyDown(platform::VK_SHIFT);
    window.send(Message::wheel(-120, 10, 10, 0));
    EXPECT_EQ(selectionText(), "選択範囲:(1:0～1:1)");
}

TEST_F(ChipScreenTest, PanningScrollsOneChipPerTwelvePixels) {
    ASSERT_TRUE(load(1024, 1024));
    click(40, 40);
    release(40, 40);
    window.send(Message::mouse(platform::WM_RBUTTONDOWN, 400, 300, platform::MK_RBUTTON));
    EXPECT_TRUE(screen.isPanning());
    window.send(Message::mouse(platform::WM_MOUSEMOVE, 389, 300, platform::MK_RBUTTON));
    EXPECT_EQ(screen.viewPosition().x, 0);
    EXPECT_FALSE(screen.isSelectionShown()) << "panning ends the selection";
    window.send(Message::mouse(platform::WM_MOUSEMOVE, 376, 277, platform::MK_RBUTTON));
    EXPECT_EQ(screen.viewPosition().x, 64);
    EXPECT_EQ(screen.viewPosition().y, 32);
    EXPECT_EQ(screen.cursorColumn(), 3);
    EXPECT_EQ(screen.cursorRow(), 2);
    window.send(Message::mouse(platform::WM_MOUSEMOVE, 500, 277, platform::MK_RBUTTON));
    EXPECT_EQ(screen.viewPosition().x, 0) << "never past the edge";
    window.send(Message::mouse(platform::WM_RBUTTONUP, 500, 277, 0));
    EXPECT_FALSE(screen.isPanning());
}

TEST_F(ChipScreenTest, AutoScrollRunsWhileTheDragRestsNearAnEdge) {
    ASSERT_TRUE(load(2048, 64));
    click(10, 10);
    window.setPointer({790, 10});
    drag(790, 10);
    EXPECT_EQ(screen.cursorColumn(), 24);
    EXPECT_TRUE(screen.refresh());
    EXPECT_EQ(screen.viewPosition().x, 32);
    EXPECT_EQ(screen.cursorColumn(), 25);
    EXPECT_EQ(selectionText(), "選択範囲:(0:0～25:0)");
    screen.refresh();
    EXPECT_EQ(screen.viewPosition().x, 64);
    // Not while the pointer is outside the window, nor after the button is up.
    window.setPointer({810, 10});
    screen.refresh();
    EXPECT_EQ(screen.viewPosition().x, 64);
    window.setPointer({790, 10});
    release(790, 10);
    EXPECT_FALSE(screen.refresh());
    EXPECT_EQ(screen.viewPosition().x, 64);
}

// --- Size changes.

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
    screen.setWindowSize(1280, 1024);
    EXPECT_EQ(window.clientSize(), (Size{1280, 1024}));
    screen.setWindowSize(320, 200);
    EXPECT_EQ(screen.windowSize(), (Size{320, 200}));
    EXPECT_EQ(screen.visibleColumns(), 5);
}

}  // namespace
