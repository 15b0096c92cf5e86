#include "platform/headless/HeadlessHost.h"
#include "platform/headless/HeadlessWindow.h"

#include <gtest/gtest.h>

#include "tests/platform/NativeWindowContract.h"
#include "tests/support/MessageLog.h"

using namespace platform::headless;
using namespace testing_support;
using platform::Message;
using platform::Point;
using platform::Rect;
using platform::ScrollAxis;
using platform::Size;

namespace {

platform::WindowSpec specAt(Point position, Size client, bool resizable = false) {
    platform::WindowSpec spec;
    spec.className = "mapeditor";
    spec.position = position;
    spec.clientSize = client;
    spec.resizable = resizable;
    return spec;
}

// The window contract on the headless window: everything arrives at once.
struct HeadlessDriver {
    std::unique_ptr<platform::NativeWindow> make(const platform::WindowSpec& spec,
                                                 platform::MessageHandler* handler) {
        return host.createWindow(spec, handler);
    }
    void settle() {}
    std::uint32_t shown(platform::NativeWindow& window, int x, int y) {
        return static_cast<HeadlessWindow&>(window).pixel(x, y);
    }
    Point clientOrigin(platform::NativeWindow& window) {
        const Point outer{window.outerRect().left, window.outerRect().top};
        return {outer.x + HeadlessWindow::kFrameLeft, outer.y + HeadlessWindow::kFrameTop};
    }
    void closeBox(platform::NativeWindow& window) {
        static_cast<HeadlessWindow&>(window).send(Message::plain(platform::WM_CLOSE));
    }
    bool timerFires(platform::NativeWindow& window, const MessageLog&, int id) {
        return static_cast<HeadlessWindow&>(window).fireTimer(id);
    }
    HeadlessHost host;
};

}  // namespace

namespace window_contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Headless, NativeWindowContract, ::HeadlessDriver);
}  // namespace window_contract

// What only the headless window does: it records what it was asked, as given.
TEST(HeadlessWindow, RecordsEachPresentedRectangleAndKeepsTheAlphaByte) {
    HeadlessWindow window(Size{8, 6});
    const std::uint32_t block[2] = {0x80010203u, 0x00040506u};
    window.present(Rect{6, 5, 9, 6}, block, sizeof block);  // hangs over the edge
    EXPECT_EQ(window.presents, (std::vector<Rect>{{6, 5, 9, 6}}));
    EXPECT_EQ(window.pixel(6, 5), 0x80010203u);
    EXPECT_EQ(window.pixel(7, 5), 0x00040506u);
}

TEST(HeadlessWindow, MovesReportTheClientOriginOnlyWhenThePositionChanges) {
    platform::WindowSpec spec = specAt({100, 50}, {320, 200});
    spec.menuBar = {platform::MenuItem::submenu("ファイル(&F)", {})};
    HeadlessWindow window(spec);
    MessageLog log;
    window.setHandler(&log);
    window.move(Point{10, 20});
    window.move(Point{10, 20});
    const int top = HeadlessWindow::kFrameTop + HeadlessWindow::kMenuBarHeight;
    EXPECT_EQ(log.messages(),
              std::vector<Message>{Message::move(10 + HeadlessWindow::kFrameLeft, 20 + top)});
    EXPECT_EQ(window.outerRect(),
              (Rect{10, 20, 10 + HeadlessWindow::kFrameLeft + 320 + HeadlessWindow::kFrameRight,
                    20 + top + 200 + HeadlessWindow::kFrameBottom}));
    EXPECT_EQ(window.log, (std::vector<std::string>{"move 10,20", "move 10,20"}));
}

TEST(HeadlessWindow, ScrollBarsGrowAFixedFrameButTakeRoomFromAResizableClient) {
    HeadlessWindow fixed(specAt({0, 0}, {320, 200}));
    MessageLog fixedLog;
    fixed.setHandler(&fixedLog);
    const Rect before = fixed.outerRect();
    fixed.showScrollBar(ScrollAxis::Vertical, true);
    EXPECT_EQ(fixed.clientSize(), (Size{320, 200}));
    EXPECT_EQ(fixed.outerRect().width(), before.width() + HeadlessWindow::kScrollBarThickness);
    EXPECT_TRUE(fixedLog.entries.empty());

    HeadlessWindow resizable(specAt({0, 0}, {320, 200}, true));
    MessageLog log;
    resizable.setHandler(&log);
    const Rect outer = resizable.outerRect();
    resizable.showScrollBar(ScrollAxis::Horizontal, true);
    resizable.showScrollBar(ScrollAxis::Horizontal, true);
    EXPECT_EQ(resizable.outerRect(), outer);
    EXPECT_EQ(log.messages(),
              std::vector<Message>{Message::size(platform::SIZE_RESTORED, 320,
                                                 200 - HeadlessWindow::kScrollBarThickness)});
}

TEST(HeadlessWindow, StoresScrollInfoNormalisedAndRecordsItAsGiven) {
    HeadlessWindow window(Size{320, 200});
    window.setScrollInfo(ScrollAxis::Horizontal, {0, 15, 1, 40});
    ASSERT_EQ(window.scrollSettings.size(), 1u);
    EXPECT_EQ(window.scrollSettings[0].info.position, 40);
    EXPECT_EQ(window.scrollInfo(ScrollAxis::Horizontal), (platform::ScrollInfo{0, 15, 1, 15}));
    EXPECT_EQ(window.scrollInfo(ScrollAxis::Vertical), platform::ScrollInfo{});
}

TEST(HeadlessWindow, MinimisingAndRestoringReportSizes) {
    HeadlessWindow window(Size{800, 600});
    MessageLog log;
    window.setHandler(&log);
    window.userMinimise();
    EXPECT_TRUE(window.isMinimised());
    window.showNormal();
    EXPECT_FALSE(window.isMinimised());
    EXPECT_EQ(log.messages(),
              (std::vector<Message>{Message::size(platform::SIZE_MINIMIZED, 0, 0),
                                    Message::size(platform::SIZE_RESTORED, 800, 600)}));
}
