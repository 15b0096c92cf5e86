#include "platform/headless/HeadlessWindow.h"

#include <gtest/gtest.h>

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

}  // namespace

TEST(HeadlessWindow, KeepsPresentedPixelsAndRecordsEachRectangle) {
    HeadlessWindow window(Size{8, 6});
    const std::uint32_t block[2][3] = {{0x80010203u, 0x00040506u, 0xFF070809u},
                                       {0x11111111u, 0x22222222u, 0x33333333u}};
    window.present(Rect{6, 5, 9, 7}, &block[0][0], sizeof block[0]);  // hangs over the corner
    window.present(Rect{1, 1, 4, 3}, &block[0][0], sizeof block[0]);
    ASSERT_EQ(window.presents.size(), 2u);
    EXPECT_EQ(window.presents[0], (Rect{6, 5, 9, 7}));
    EXPECT_EQ(window.pixel(6, 5), 0x80010203u);  // the alpha byte kept as given
    EXPECT_EQ(window.pixel(7, 5), 0x00040506u);
    EXPECT_EQ(window.pixel(1, 1), 0x80010203u);
    EXPECT_EQ(window.pixel(3, 2), 0x33333333u);
    EXPECT_EQ(window.pixel(0, 0), 0u);
    EXPECT_EQ(window.pixel(4, 1), 0u);
}

TEST(HeadlessWindow, ResizingKeepsTheOverlapAndReportsSizeThenTheUnpaintedPart) {
    const struct {
        Size to;
        bool paint;
        Rect fresh;
    } cases[] = {
        {{6, 3}, true, {4, 0, 6, 3}},  // wider
        {{4, 7}, true, {0, 3, 4, 7}},  // taller
        {{5, 5}, true, {0, 0, 5, 5}},  // both: the bounding box of the two strips
        {{6, 2}, true, {4, 0, 6, 2}},  // wider, lower
        {{2, 2}, false, {}},           // smaller
    };
    for (const auto& c : cases) {
        HeadlessWindow window(Size{4, 3});
        MessageLog log;
        window.setHandler(&log);
        const std::uint32_t one = 0xFF123456u;
        window.present(Rect{1, 1, 2, 2}, &one, 4);
        window.resizeClient(c.to);
        std::vector<Message> expected = {
            Message::size(platform::SIZE_RESTORED, c.to.width, c.to.height)};
        if (c.paint) {
            expected.push_back(Message::paint(c.fresh));
        }
        EXPECT_EQ(log.messages(), expected) << c.to.width << "x" << c.to.height;
        EXPECT_EQ(window.pixel(1, 1), one);
        EXPECT_EQ(window.pixels().size(), static_cast<std::size_t>(c.to.width * c.to.height));
    }
    HeadlessWindow same(Size{4, 3});
    MessageLog log;
    same.setHandler(&log);
    same.resizeClient(Size{4, 3});
    EXPECT_TRUE(log.entries.empty());
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

TEST(HeadlessWindow, TimersFireOnlyWhileSetAndDestroyEndsThemWithOneDestroyMessage) {
    HeadlessWindow window(Size{10, 10});
    MessageLog log;
    window.setHandler(&log);
    window.setTimer(0, 300);
    window.setTimer(0, 100);  // restarts with the new period
    EXPECT_EQ(window.timers().at(0), 100);
    EXPECT_TRUE(window.fireTimer(0));
    EXPECT_FALSE(window.fireTimer(1));
    window.killTimer(0);
    EXPECT_FALSE(window.fireTimer(0));
    window.setTimer(2, 50);
    window.destroy();
    window.destroy();
    EXPECT_FALSE(window.fireTimer(2));
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(log.messages(),
              (std::vector<Message>{Message::timer(0), Message::plain(platform::WM_DESTROY)}));
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
