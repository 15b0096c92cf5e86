#include "chips/KindScreen.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/Message.h"
#include "platform/MessageHandler.h"
#include "platform/VirtualKey.h"
#include "platform/headless/HeadlessWindow.h"
#include "tests/chips/ScreenTestSupport.h"

using platform::Message;
using platform::headless::HeadlessHost;
using platform::headless::HeadlessWindow;
using namespace screen_test;

namespace {

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

// A map window at (100, 50) and the attribute window, made with another size than the one
// attach gives it, bound to a screen whose table is the default one of a fixed seed.
class KindScreenTest : public ::testing::Test {
protected:
    void SetUp() override { screen.table().resetToDefaults(1234); }
    void attach() {
        screen.setMainWindow(&main);
        ASSERT_TRUE(screen.attach(&native, &router));
        native.titles.clear();
        native.presents.clear();
    }
    void click(int x, int y) {
        native.send(Message::mouse(platform::WM_LBUTTONDOWN, x, y, platform::MK_LBUTTON));
    }
    void key(int k) {
        native.send(Message::keyDown(k));
        native.send(Message::keyUp(k));
    }
    std::uint32_t cellColour(int n) const { return colourOf(screen.table().record(n)); }
    // The cursor frame is drawn on cell n, 3 pixels wide (right and bottom: width).
    void expectFrameOn(int n, std::uint32_t colour, int width = 3) {
        const int x = n % 25 * 32, y = n / 25 * 32;
        for (int i : {0, 2, 32 - width, 31}) {
            EXPECT_EQ(native.pixel(x + i, y + 15), colour) << "cell " << n << " at " << i;
            EXPECT_EQ(native.pixel(x + 15, y + i), colour) << "cell " << n << " at " << i;
        }
        for (int i : {3, 31 - width}) {
            EXPECT_EQ(native.pixel(x + i, y + 15), cellColour(n)) << "cell " << n << " at " << i;
        }
    }

    HeadlessHost host;
    HeadlessWindow main{windowSpec("mapeditor", {640, 480}, {100, 50})};
    HeadlessWindow native{windowSpec("kindview", {300, 100})};
    KindScreen screen{host};
    Router router{screen};
};

const char kDefaultTitleTail[] =
    " [属性未定義] (赤10:緑20:青30) 通行可能 段下り不可 当り矩形(左0:右0:上0:下0) Z座標:0";

}  // namespace

TEST_F(KindScreenTest, AttachSizesTheWindowPlacesItBelowTheMapWindowAndDrawsEverything) {
    screen.table().setRecord(0, record(0, 10, 20, 30));
    attach();
    EXPECT_EQ(native.clientSize(), (platform::Size{800, 128}));
    EXPECT_EQ(native.outerRect().left, main.outerRect().left);
    EXPECT_EQ(native.outerRect().top, 50 + 24 + 480 + 4);
    EXPECT_EQ(native.title(), std::string("Pelorin  属性0番") + kDefaultTitleTail);
    // Every cell in its record's colour, away from grid and cursor.
    for (int n = 0; n < 100; ++n) {
        const int x = n % 25 * 32, y = n / 25 * 32;
        EXPECT_EQ(native.pixel(x + 16, y + 16), cellColour(n)) << "cell " << n;
        EXPECT_EQ(native.pixel(x + 3, y + 3), cellColour(n)) << "cell " << n;
    }
    // Grid lines on the last column and row of each cell, the first ones free.
    EXPECT_EQ(native.pixel(63, 10), kBlack);
    EXPECT_EQ(native.pixel(40, 31), kBlack);
    EXPECT_EQ(native.pixel(64, 40), cellColour(27));
    EXPECT_EQ(native.pixel(799, 127), kBlack);
    expectFrameOn(0, kRed);

    // A second binding is refused; without a main window the window stays where it is.
    HeadlessWindow other(platform::Size{800, 128});
    EXPECT_FALSE(screen.attach(&other, nullptr));
    EXPECT_EQ(native.handler(), &screen);
    KindScreen alone(host);
    ASSERT_TRUE(alone.attach(&other, nullptr));
    EXPECT_EQ(other.outerRect().left, 0);
}

TEST_F(KindScreenTest, ColourChangesRedrawGridAndAWiderCursorFrame) {
    attach();
    screen.setColours({kBlack, kRed});  // the defaults: nothing to redraw
    screen.refresh();
    EXPECT_TRUE(native.presents.empty());

    screen.setColours({kGreen, kBlue});
    screen.refresh();
    EXPECT_EQ(native.pixel(63, 10), kGreen);
    EXPECT_EQ(native.pixel(40, 95), kGreen);
    expectFrameOn(0, kBlue, 4);
    // The grid key hides and shows the lines and nothing else.
    key('G');
    EXPECT_FALSE(screen.isGridShown());
    EXPECT_EQ(native.pixel(63, 10), cellColour(1));
    EXPECT_EQ(native.pixel(31, 31), kBlue);
    screen.toggleGrid();  // the menu command; the shell refreshes
    screen.refresh();
    EXPECT_EQ(native.pixel(63, 10), kGreen);
}

TEST_F(KindScreenTest, ClicksAndKeysSelectEachCoordinateOnItsOwnWithinTheCells) {
    attach();
    const struct {
        const char* what;
        int key, x, y;  // a key, or else a click at (x, y)
        int selected;
    } steps[] = {
        {"left at the border", platform::VK_LEFT, 0, 0, 0},
        {"up at the border", platform::VK_UP, 0, 0, 0},
        {"the last cell", 0, 799, 127, 99},
        {"below the cells: the column changes", 0, 40, 200, 76},
        {"beside them: the row changes", 0, 800, 40, 26},
        {"left of the window", 0, -5, 70, 51},
        {"above it", 0, 100, -1, 53},
        {"up", platform::VK_UP, 0, 0, 28},
        {"left", platform::VK_LEFT, 0, 0, 27},
    };
    for (const auto& s : steps) {
        s.key != 0 ? key(s.key) : click(s.x, s.y);
        EXPECT_EQ(screen.selectedKindNumber(), s.selected) << s.what;
        expectFrameOn(s.selected, kRed);
    }
    EXPECT_EQ(native.title().rfind("Pelorin  属性27番 ", 0), 0u);
    EXPECT_EQ(native.pixel(768, 96), cellColour(99)) << "the old place is redrawn";
    for (int i = 0; i < 30; ++i) {
        key(platform::VK_RIGHT);
    }
    EXPECT_EQ(screen.selectedKindNumber(), 49);
    EXPECT_EQ(native.titles.size(), 7u + 22u) << "a title for each move, none where none moved";
}

TEST_F(KindScreenTest, TitleShowsEveryFieldOfTheSelectedRecord) {
    KindRecord r = record(5, 255, 0, 7, "壁");
    r.passable = 0;
    r.dropThrough = 1;
    r.hitLeft = 1;
    r.hitTop = 2;
    r.hitRight = 3;
    r.hitBottom = 4;
    r.z = 250;
    r.number = 77;  // the title shows the position, not the stored number
    screen.table().setRecord(1, r);
    // The longest memo: 129 two-byte characters and one more byte, 388 bytes as UTF-8; and 260
    // bytes without a terminator, as a file may hold them.
    std::string memo;
    for (int i = 0; i < 129; ++i) {
        memo += "あ";
    }
    memo += "A";
    screen.table().setRecord(2, record(2, 1, 2, 3, memo));
    KindRecord unterminated = record(3, 4, 5, 6);
    std::memset(unterminated.memo, 'B', KindRecord::kMemoBytes);
    screen.table().setRecord(3, unterminated);
    attach();
    const std::string titles[] = {
        "Pelorin  属性1番 [壁] (赤255:緑0:青7) 通行不可 段下り可 当り矩形(左1:右3:上2:下4) "
        "Z座標:250",
        "Pelorin  属性2番 [" + memo +
            "] (赤1:緑2:青3) 通行可能 段下り不可 当り矩形(左0:右0:上0:下0) Z座標:0",
        "Pelorin  属性3番 [" + std::string(260, 'B') +
            "] (赤4:緑5:青6) 通行可能 段下り不可 当り矩形(左0:右0:上0:下0) Z座標:0",
    };
    for (const std::string& title : titles) {
        key(platform::VK_RIGHT);
        EXPECT_EQ(native.title(), title);
    }
}

TEST_F(KindScreenTest, LoadingAFileRedrawsAndAShortTableIsNeverReadPast) {
    testing_support::TempDir dir;
    KindTable three;
    three.assign({record(0, 10, 20, 30), record(1, 40, 50, 60, "床"), record(2, 70, 80, 90)});
    std::string path = dir.file("three.knd");
    ASSERT_TRUE(three.saveFile(path));
    attach();
    click(100, 70);  // attribute 53
    native.titles.clear();
    ASSERT_TRUE(screen.loadFile(path));
    EXPECT_TRUE(screen.isFileLoaded());
    EXPECT_EQ(native.titles, std::vector<std::string>{"Pelorin  属性53番 (属性データなし)"});
    EXPECT_EQ(native.pixel(16, 16), 0xFF0A141Eu);
    EXPECT_EQ(native.pixel(80, 16), 0xFF46505Au);
    for (int n = 3; n < 100; ++n) {
        EXPECT_EQ(native.pixel(n % 25 * 32 + 16, n / 25 * 32 + 16), kGrey) << "cell " << n;
    }
    EXPECT_EQ(native.pixel(127, 31), kBlack) << "grey cells keep their grid";
    EXPECT_EQ(native.pixel(96, 64), kRed) << "and the cursor";
    click(40, 0);
    EXPECT_EQ(native.title(),
              "Pelorin  属性1番 [床] (赤40:緑50:青60) 通行可能 段下り不可 "
              "当り矩形(左0:右0:上0:下0) Z座標:0");

    // A file that cannot be read, or holds no attributes, changes nothing at all.
    const std::string noKind = dir.file("other.knd");
    testing_support::writeBytes(noKind, {'M', 'A', 'P', 'B', 0, 0, 0, 0});
    const std::vector<std::uint32_t> before = native.pixels();
    const std::string title = native.title();
    native.titles.clear();
    native.presents.clear();
    EXPECT_FALSE(screen.loadFile(dir.file("missing.knd")));
    EXPECT_FALSE(screen.loadFile(noKind));
    EXPECT_EQ(screen.table().count(), 3);
    EXPECT_TRUE(native.titles.empty() && native.presents.empty());
    EXPECT_EQ(native.pixels(), before);
    EXPECT_EQ(native.title(), title);
}

TEST_F(KindScreenTest, WorksBeforeAttachWithoutDrawing) {
    screen.toggleGrid();
    screen.setCursorColour(kGreen);
    screen.onLeftButtonDown(100, 40);
    screen.onKeyDown(platform::VK_RIGHT);
    EXPECT_EQ(screen.selectedKindNumber(), 29);
    screen.drawCells();
    screen.updateTitle();
    screen.refresh();
    // The grid stays hidden once bound; the cursor keeps its place and colour.
    ASSERT_TRUE(screen.attach(&native));
    EXPECT_EQ(native.title().rfind("Pelorin  属性29番 ", 0), 0u);
    EXPECT_EQ(native.pixel(191, 40), cellColour(30)) << "no grid line";
    expectFrameOn(29, kGreen, 4);
}
