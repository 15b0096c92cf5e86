#include "chips/KindScreen.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/Message.h"
#include "platform/MessageHandler.h"
#include "platform/VirtualKey.h"
#include "platform/headless/HeadlessHost.h"
#include "platform/headless/HeadlessWindow.h"
#include "tests/support/TempDir.h"

using platform::Message;
using platform::headless::HeadlessHost;
using platform::headless::HeadlessWindow;
using testing_support::TempDir;

namespace {

constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGrey = 0xFFBEBEBE;

std::uint32_t colourOf(const KindRecord& r) {
    return 0xFF000000u | std::uint32_t(r.red) << 16 | std::uint32_t(r.green) << 8 | r.blue;
}

KindRecord record(int number, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                  const std::string& memo = "属性未定義") {
    KindRecord r;
    r.number = number;
    r.red = red;
    r.green = green;
    r.blue = blue;
    r.setMemoText(memo);
    return r;
}

// The attribute window's routing as the shell does it: keys and clicks to the screen.
class Router : public platform::MessageHandler {
public:
    explicit Router(KindScreen& screen) : m_screen(screen) {}
    void handleMessage(platform::NativeWindow&, const Message& m) override {
        if (m.message == platform::WM_KEYDOWN) {
            m_screen.onKeyDown(m.key);
        } else if (m.message == platform::WM_KEYUP) {
            m_screen.onKeyUp(m.key);
        } else if (m.message == platform::WM_LBUTTONDOWN) {
            m_screen.onLeftButtonDown(m.x, m.y);
        }
    }

private:
    KindScreen& m_screen;
};

platform::WindowSpec windowSpec(const char* className, platform::Size client,
                                platform::Point position) {
    platform::WindowSpec spec;
    spec.className = className;
    spec.clientSize = client;
    spec.position = position;
    return spec;
}

// A map window at (100, 50) and the attribute window, made with another size than the one
// attach gives it, bound to a screen whose table is the default one of a fixed seed.
struct KindWindow {
    HeadlessHost host;
    HeadlessWindow main{windowSpec("mapeditor", {640, 480}, {100, 50})};
    HeadlessWindow native{windowSpec("kindview", {300, 100}, {0, 0})};
    KindScreen screen{host};
    Router router{screen};

    KindWindow() { screen.table().resetToDefaults(1234); }
    void attach() {
        screen.setMainWindow(&main);
        ASSERT_TRUE(screen.attach(&native, &router));
    }
    void click(int x, int y) {
        native.send(Message::mouse(platform::WM_LBUTTONDOWN, x, y, platform::MK_LBUTTON));
    }
    void key(int k) {
        native.send(Message::keyDown(k));
        native.send(Message::keyUp(k));
    }
    std::uint32_t cellColour(int n) const { return colourOf(screen.table().record(n)); }
    void clearRecords() {
        native.titles.clear();
        native.presents.clear();
    }
};

const char kDefaultTitleTail[] =
    " [属性未定義] (赤10:緑20:青30) 通行可能 段下り不可 "
    "当り矩形(左0:右0:上0:下0) Z座標:0";

}  // namespace

TEST(KindScreen, AttachSizesTheWindowPlacesItBelowTheMapWindowAndDrawsEverything) {
    KindWindow w;
    w.screen.table().setRecord(0, record(0, 10, 20, 30));
    w.attach();

    EXPECT_EQ(w.native.clientSize(), (platform::Size{800, 128}));
    const platform::Rect mainRect = w.main.outerRect();
    EXPECT_EQ(w.native.outerRect().left, mainRect.left);
    EXPECT_EQ(w.native.outerRect().top, mainRect.bottom);
    EXPECT_EQ(w.native.outerRect().top, 50 + 24 + 480 + 4);
    EXPECT_EQ(w.native.title(), std::string("Pelorin  属性0番") + kDefaultTitleTail);
    EXPECT_EQ(w.screen.selectedKindNumber(), 0);
    EXPECT_FALSE(w.screen.isFileLoaded());
    EXPECT_TRUE(w.screen.isGridShown());

    // Every cell in its record's colour, away from grid and cursor.
    for (int n = 0; n < 100; ++n) {
        const int x = n % 25 * 32, y = n / 25 * 32;
        EXPECT_EQ(w.native.pixel(x + 16, y + 16), w.cellColour(n)) << "cell " << n;
        EXPECT_EQ(w.native.pixel(x + 3, y + 3), w.cellColour(n)) << "cell " << n;
    }
    // Grid lines on the last column and row of each cell, the first ones free.
    EXPECT_EQ(w.native.pixel(63, 10), kBlack);
    EXPECT_EQ(w.native.pixel(40, 31), kBlack);
    EXPECT_EQ(w.native.pixel(64, 40), w.cellColour(27));
    EXPECT_EQ(w.native.pixel(62, 30), w.cellColour(1));
    EXPECT_EQ(w.native.pixel(799, 127), kBlack);
    EXPECT_EQ(w.native.pixel(798, 126), w.cellColour(99));
    // A three-pixel red frame on cell 0, over the grid.
    for (int i : {0, 2, 29, 31}) {
        EXPECT_EQ(w.native.pixel(i, 15), kRed) << i;
        EXPECT_EQ(w.native.pixel(15, i), kRed) << i;
    }
    for (int i : {3, 28}) {
        EXPECT_EQ(w.native.pixel(i, 15), w.cellColour(0)) << i;
        EXPECT_EQ(w.native.pixel(15, i), w.cellColour(0)) << i;
    }
}

TEST(KindScreen, AttachWithoutMainWindowStaysWhereItIsAndRefusesASecondBinding) {
    KindWindow w;
    ASSERT_TRUE(w.screen.attach(&w.native, &w.router));
    EXPECT_EQ(w.native.outerRect().left, 0);
    EXPECT_EQ(w.native.outerRect().top, 0);
    HeadlessWindow other(platform::Size{800, 128});
    EXPECT_FALSE(w.screen.attach(&other, nullptr));
    EXPECT_EQ(w.native.handler(), &w.screen);
}

TEST(KindScreen, ColourChangesRedrawGridAndAWiderCursorFrame) {
    KindWindow w;
    w.attach();
    w.clearRecords();

    // The colours of the settings file are the defaults: nothing to redraw.
    w.screen.setColours({kBlack, kRed});
    w.screen.refresh();
    EXPECT_TRUE(w.native.presents.empty());

    const std::uint32_t green = 0xFF00FF00, blue = 0xFF0000FF;
    w.screen.setColours({green, blue});
    EXPECT_EQ(w.screen.colours().grid, green);
    EXPECT_EQ(w.screen.colours().cursor, blue);
    w.screen.refresh();
    EXPECT_EQ(w.native.pixel(63, 10), green);
    EXPECT_EQ(w.native.pixel(40, 95), green);
    // The redrawn frame keeps 3 pixels left and top but takes 4 right and bottom.
    for (int i : {0, 2, 28, 31}) {
        EXPECT_EQ(w.native.pixel(i, 15), blue) << i;
        EXPECT_EQ(w.native.pixel(15, i), blue) << i;
    }
    for (int i : {3, 27}) {
        EXPECT_EQ(w.native.pixel(i, 15), w.cellColour(0)) << i;
        EXPECT_EQ(w.native.pixel(15, i), w.cellColour(0)) << i;
    }

    // The grid key hides and shows the lines and nothing else.
    w.key('G');
    EXPECT_FALSE(w.screen.isGridShown());
    EXPECT_EQ(w.native.pixel(63, 10), w.cellColour(1));
    EXPECT_EQ(w.native.pixel(31, 31), blue);
    w.screen.toggleGrid();  // the menu command; the shell refreshes
    w.screen.refresh();
    EXPECT_TRUE(w.screen.isGridShown());
    EXPECT_EQ(w.native.pixel(63, 10), green);
}

TEST(KindScreen, ClicksSelectEachCoordinateOnItsOwn) {
    KindWindow w;
    w.attach();

    w.click(799, 127);
    EXPECT_EQ(w.screen.selectedKindNumber(), 99);
    EXPECT_EQ(w.native.title().rfind("Pelorin  属性99番 [属性未定義] (赤", 0), 0u)
        << w.native.title();
    EXPECT_EQ(w.native.pixel(768, 96), kRed);
    EXPECT_EQ(w.native.pixel(799, 127), kRed);
    EXPECT_EQ(w.native.pixel(771, 99), w.cellColour(99));
    EXPECT_EQ(w.native.pixel(0, 0), w.cellColour(0)) << "the old place is redrawn";

    // Below the cells (a taller window): the column changes, the row stays.
    w.click(40, 200);
    EXPECT_EQ(w.screen.selectedKindNumber(), 3 * 25 + 1);
    // Beside them, and left of the window's edge: the row changes, the column stays.
    w.click(800, 40);
    EXPECT_EQ(w.screen.selectedKindNumber(), 25 + 1);
    w.click(-5, 70);
    EXPECT_EQ(w.screen.selectedKindNumber(), 2 * 25 + 1);
    w.click(100, -1);
    EXPECT_EQ(w.screen.selectedKindNumber(), 2 * 25 + 3);
    EXPECT_EQ(w.native.title().rfind("Pelorin  属性53番 ", 0), 0u);
    EXPECT_EQ(w.native.pixel(96, 64), kRed);
}

TEST(KindScreen, CursorKeysStopAtTheBorders) {
    KindWindow w;
    w.attach();
    w.clearRecords();

    w.key(platform::VK_LEFT);
    w.key(platform::VK_UP);
    w.key(platform::VK_RETURN);
    EXPECT_EQ(w.screen.selectedKindNumber(), 0);
    EXPECT_TRUE(w.native.titles.empty()) << "no move, no title";
    EXPECT_TRUE(w.native.presents.empty());

    for (int i = 0; i < 30; ++i) {
        w.key(platform::VK_RIGHT);
    }
    EXPECT_EQ(w.screen.selectedKindNumber(), 24);
    EXPECT_EQ(w.native.titles.size(), 24u);
    for (int i = 0; i < 5; ++i) {
        w.key(platform::VK_DOWN);
    }
    EXPECT_EQ(w.screen.selectedKindNumber(), 99);
    EXPECT_EQ(w.native.titles.size(), 27u);
    EXPECT_EQ(w.native.pixel(768, 96), kRed);

    w.key(platform::VK_UP);
    w.key(platform::VK_LEFT);
    EXPECT_EQ(w.screen.selectedKindNumber(), 73);
    EXPECT_EQ(w.native.title().rfind("Pelorin  属性73番 ", 0), 0u);
    EXPECT_EQ(w.native.pixel(736, 64), kRed);
    EXPECT_EQ(w.native.pixel(768, 96), w.cellColour(99));
}

TEST(KindScreen, TitleShowsEveryFieldOfTheSelectedRecord) {
    KindWindow w;
    KindRecord r = record(5, 255, 0, 7, "壁");
    r.passable = 0;
    r.dropThrough = 1;
    r.hitLeft = 1;
    r.hitTop = 2;
    r.hitRight = 3;
    r.hitBottom = 4;
    r.z = 250;
    r.number = 77;  // the title shows the position, not the stored number
    w.screen.table().setRecord(1, r);
    w.attach();
    w.click(32, 0);
    EXPECT_EQ(w.native.title(),
              "Pelorin  属性1番 [壁] (赤255:緑0:青7) 通行不可 段下り可 "
              "当り矩形(左1:右3:上2:下4) Z座標:250");

    // The longest memo: 129 two-byte characters and one more byte, 388 bytes as UTF-8.
    std::string memo;
    for (int i = 0; i < 129; ++i) {
        memo += "あ";
    }
    memo += "A";
    KindRecord longMemo = record(2, 1, 2, 3, memo);
    ASSERT_EQ(longMemo.memoBytes().size(), 259u);
    // A memo of 260 bytes without a terminator, as a file may hold one.
    KindRecord unterminated = record(3, 4, 5, 6);
    std::memset(unterminated.memo, 'B', KindRecord::kMemoBytes);
    w.screen.table().setRecord(2, longMemo);
    w.screen.table().setRecord(3, unterminated);

    w.key(platform::VK_RIGHT);
    EXPECT_EQ(w.native.title(), "Pelorin  属性2番 [" + memo +
                                    "] (赤1:緑2:青3) 通行可能 段下り不可 "
                                    "当り矩形(左0:右0:上0:下0) Z座標:0");
    w.key(platform::VK_RIGHT);
    EXPECT_EQ(w.native.title(), "Pelorin  属性3番 [" + std::string(260, 'B') +
                                    "] (赤4:緑5:青6) 通行可能 段下り不可 "
                                    "当り矩形(左0:右0:上0:下0) Z座標:0");
}

TEST(KindScreen, LoadingAFileRedrawsAndMarksItLoadedAndAShortTableIsNeverReadPast) {
    TempDir dir;
    KindTable three;
    three.assign({record(0, 10, 20, 30), record(1, 40, 50, 60, "床"), record(2, 70, 80, 90)});
    std::string path = dir.file("three.knd");
    ASSERT_TRUE(three.saveFile(path));

    KindWindow w;
    w.attach();
    w.click(100, 70);  // attribute 53
    w.clearRecords();
    ASSERT_TRUE(w.screen.loadFile(path));
    EXPECT_TRUE(w.screen.isFileLoaded());
    EXPECT_EQ(w.screen.table().count(), 3);
    EXPECT_EQ(w.native.titles, std::vector<std::string>{"Pelorin  属性53番 (属性データなし)"});
    EXPECT_EQ(w.native.pixel(16, 16), 0xFF0A141Eu);
    EXPECT_EQ(w.native.pixel(48, 16), 0xFF28323Cu);
    EXPECT_EQ(w.native.pixel(80, 16), 0xFF46505Au);
    for (int n = 3; n < 100; ++n) {
        EXPECT_EQ(w.native.pixel(n % 25 * 32 + 16, n / 25 * 32 + 16), kGrey) << "cell " << n;
    }
    EXPECT_EQ(w.native.pixel(127, 31), kBlack) << "grey cells keep their grid";
    EXPECT_EQ(w.native.pixel(96, 64), kRed) << "and the cursor";

    w.click(40, 0);
    EXPECT_EQ(w.native.title(),
              "Pelorin  属性1番 [床] (赤40:緑50:青60) 通行可能 段下り不可 "
              "当り矩形(左0:右0:上0:下0) Z座標:0");
    w.key(platform::VK_RIGHT);
    w.key(platform::VK_RIGHT);
    EXPECT_EQ(w.native.title(), "Pelorin  属性3番 (属性データなし)");
    EXPECT_EQ(w.screen.selectedKindNumber(), 3);
}

TEST(KindScreen, AFailedLoadChangesNothing) {
    TempDir dir;
    const std::string noKind = dir.file("other.knd");
    testing_support::writeBytes(noKind, {'M', 'A', 'P', 'B', 0, 0, 0, 0});

    KindWindow w;
    w.attach();
    const std::vector<std::uint32_t> before = w.native.pixels();
    const std::string title = w.native.title();
    w.clearRecords();
    EXPECT_FALSE(w.screen.loadFile(dir.file("missing.knd")));
    EXPECT_FALSE(w.screen.loadFile(noKind));
    EXPECT_FALSE(w.screen.isFileLoaded());
    EXPECT_EQ(w.screen.table().count(), 100);
    EXPECT_TRUE(w.native.titles.empty());
    EXPECT_TRUE(w.native.presents.empty());
    EXPECT_EQ(w.native.pixels(), before);
    EXPECT_EQ(w.native.title(), title);
}

TEST(KindScreen, WorksBeforeAttachWithoutDrawing) {
    HeadlessHost host;
    HeadlessWindow native(platform::Size{800, 128});  // outlives the screen bound to it
    KindScreen screen(host);
    EXPECT_EQ(screen.table().count(), 100);
    screen.toggleGrid();
    EXPECT_FALSE(screen.isGridShown());
    screen.setCursorColour(0xFF00FF00);
    screen.onLeftButtonDown(100, 40);
    screen.onKeyDown(platform::VK_RIGHT);
    EXPECT_EQ(screen.selectedKindNumber(), 29);
    screen.drawCells();
    screen.updateTitle();
    screen.refresh();

    // The grid stays hidden once bound; the cursor keeps its place and colour.
    ASSERT_TRUE(screen.attach(&native));
    EXPECT_EQ(native.title().rfind("Pelorin  属性29番 ", 0), 0u);
    EXPECT_EQ(native.pixel(191, 40), colourOf(screen.table().record(30))) << "no grid line";
    EXPECT_EQ(native.pixel(128, 32), 0xFF00FF00u);
    EXPECT_EQ(native.pixel(159, 63), 0xFF00FF00u);
    EXPECT_EQ(native.pixel(156, 60), 0xFF00FF00u) << "a frame drawn after a colour change";
    EXPECT_EQ(native.pixel(155, 59), colourOf(screen.table().record(29)));
}
