#pragma once

// What every native window does, whichever window system it runs on: one suite, instantiated
// for the headless window (platform_tests) and the Qt window (qt_tests). A driver type gives
// the suite its window system:
//
//   struct Driver {
//       // A shown window of spec whose messages go to handler.
//       std::unique_ptr<platform::NativeWindow> make(const platform::WindowSpec&,
//                                                    platform::MessageHandler*);
//       void settle();                                  // lets the window system catch up
//       std::uint32_t shown(platform::NativeWindow&, int x, int y);  // what the user sees
//       platform::Point clientOrigin(platform::NativeWindow&);     // on the screen
//       void closeBox(platform::NativeWindow&);         // the user clicks the close box
//       // Waits for (or fires) one tick of the timer; whether it reached log.
//       bool timerFires(platform::NativeWindow&, const testing_support::MessageLog&, int id);
//   };
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Message.h"
#include "platform/NativeWindow.h"
#include "platform/WindowSpec.h"
#include "tests/support/MessageLog.h"

namespace window_contract {

constexpr platform::Size kClient{64, 48};

// 0xAARRGGBB words that tell their block and place, with assorted alpha bytes.
inline std::uint32_t word(int block, int x, int y) {
    return (static_cast<std::uint32_t>(block * 37 + x * 11 + y) << 24) |
           (static_cast<std::uint32_t>(block) << 16) | (static_cast<std::uint32_t>(x) << 8) |
           static_cast<std::uint32_t>(y);
}

template <typename Driver>
class NativeWindowContract : public testing::Test {
protected:
    void SetUp() override {
        platform::WindowSpec spec;
        spec.className = "mapeditor";
        spec.title = "Pelorin  マップ位置:(0,0)";
        spec.clientSize = kClient;
        spec.position = platform::Point{40, 30};
        spec.closeBox = true;
        window = driver.make(spec, &log);
        ASSERT_NE(window, nullptr);
        driver.settle();
        log.entries.clear();
    }

    Driver driver;
    testing_support::MessageLog log;
    std::unique_ptr<platform::NativeWindow> window;
};

TYPED_TEST_SUITE_P(NativeWindowContract);

// Top-down rows with padding, bottom-up rows (negative pitch) and a block over the corner:
// every pixel shows what was presented last there, black where nothing was.
TYPED_TEST_P(NativeWindowContract, ShowsExactlyThePresentedPixels) {
    using platform::Rect;
    std::vector<std::uint32_t> expected(kClient.width * kClient.height, 0);
    const struct {
        Rect rect;
        bool bottomUp;
        int padding;
    } blocks[] = {
        {{5, 3, 21, 11}, false, 3}, {{40, 20, 46, 25}, true, 0}, {{58, 42, 68, 52}, false, 0}};
    for (int b = 0; b < 3; ++b) {
        const Rect r = blocks[b].rect;
        const int stride = r.width() + blocks[b].padding;
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(stride) * r.height(),
                                          0xDEADBEEF);
        for (int y = 0; y < r.height(); ++y) {
            const int row = blocks[b].bottomUp ? r.height() - 1 - y : y;
            for (int x = 0; x < r.width(); ++x) {
                pixels[row * stride + x] = word(b, x, y);
                if (r.left + x < kClient.width && r.top + y < kClient.height) {
                    expected[(r.top + y) * kClient.width + r.left + x] = word(b, x, y);
                }
            }
        }
        if (blocks[b].bottomUp) {
            this->window->present(r, pixels.data() + (r.height() - 1) * stride, -stride * 4);
        } else {
            this->window->present(r, pixels.data(), stride * 4);
        }
    }
    this->driver.settle();
    int wrong = 0;
    for (int y = 0; y < kClient.height; ++y) {
        for (int x = 0; x < kClient.width; ++x) {
            const std::uint32_t want = expected[y * kClient.width + x] & 0xFFFFFF;
            const std::uint32_t got = this->driver.shown(*this->window, x, y) & 0xFFFFFF;
            if (got != want && ++wrong <= 5) {
                ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << got << " instead of "
                              << want;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

// A larger client reports its size, then the bounding box of what was never presented; the
// pixels in both keep their place.
TYPED_TEST_P(NativeWindowContract, ResizingReportsTheSizeThenTheUnpaintedPartAndKeepsPixels) {
    using platform::Message;
    using platform::Rect;
    using platform::Size;
    const struct {
        Size to;
        bool paint;
        Rect fresh;
    } cases[] = {
        {{80, 48}, true, {64, 0, 80, 48}},  // wider
        {{64, 60}, true, {0, 48, 64, 60}},  // taller
        {{80, 60}, true, {0, 0, 80, 60}},   // both: the bounding box of the two strips
        {{80, 40}, true, {64, 0, 80, 40}},  // wider, lower
        {{40, 30}, false, {}},              // smaller
        {{64, 48}, false, {}},              // the same: nothing at all
    };
    const std::uint32_t red = 0xFFFF0000u;
    for (const auto& c : cases) {
        this->window->resizeClient(kClient);
        this->window->present(Rect{1, 1, 2, 2}, &red, 4);
        this->driver.settle();
        this->log.entries.clear();
        this->window->resizeClient(c.to);
        std::vector<Message> expected;
        if (c.to != kClient) {
            expected.push_back(Message::size(platform::SIZE_RESTORED, c.to.width, c.to.height));
        }
        if (c.paint) {
            expected.push_back(Message::paint(c.fresh));
        }
        EXPECT_EQ(this->log.messages(), expected) << c.to.width << "x" << c.to.height;
        this->driver.settle();
        EXPECT_EQ(this->log.messages().size(), expected.size()) << "no more after settling";
        EXPECT_EQ(this->window->clientSize(), c.to);
        EXPECT_EQ(this->driver.shown(*this->window, 1, 1) & 0xFFFFFF, red & 0xFFFFFF);
    }
}

TYPED_TEST_P(NativeWindowContract, MovesReportTheClientOrigin) {
    this->window->move(platform::Point{200, 150});
    this->driver.settle();
    const std::vector<platform::Message> moves = this->log.of(platform::WM_MOVE);
    ASSERT_FALSE(moves.empty());
    const platform::Point origin = this->driver.clientOrigin(*this->window);
    EXPECT_EQ(moves.back(), platform::Message::move(origin.x, origin.y));
    EXPECT_EQ(this->window->outerRect().left, 200);
    EXPECT_EQ(this->window->outerRect().top, 150);
    EXPECT_EQ(this->window->title(), "Pelorin  マップ位置:(0,0)");
}

TYPED_TEST_P(NativeWindowContract, TimersTickUntilKilled) {
    this->window->setTimer(7, 5);
    ASSERT_TRUE(this->driver.timerFires(*this->window, this->log, 7));
    this->window->killTimer(7);
    EXPECT_FALSE(this->driver.timerFires(*this->window, this->log, 7));
    const std::vector<platform::Message> ticks = this->log.of(platform::WM_TIMER);
    ASSERT_FALSE(ticks.empty());
    EXPECT_EQ(ticks.front(), platform::Message::timer(7));
}

// The close box only asks; destroy ends the window once, timers with it.
TYPED_TEST_P(NativeWindowContract, TheCloseBoxOnlyAsksAndDestroyEndsTheWindowOnce) {
    this->window->setTimer(2, 5);
    this->driver.closeBox(*this->window);
    EXPECT_TRUE(this->window->isVisible());
    this->window->destroy();
    this->window->destroy();
    EXPECT_FALSE(this->window->isVisible());
    EXPECT_FALSE(this->driver.timerFires(*this->window, this->log, 2));
    EXPECT_EQ(this->log.messages(),
              (std::vector<platform::Message>{platform::Message::plain(platform::WM_CLOSE),
                                              platform::Message::plain(platform::WM_DESTROY)}));
}

REGISTER_TYPED_TEST_SUITE_P(NativeWindowContract, ShowsExactlyThePresentedPixels,
                            ResizingReportsTheSizeThenTheUnpaintedPartAndKeepsPixels,
                            MovesReportTheClientOrigin, TimersTickUntilKilled,
                            TheCloseBoxOnlyAsksAndDestroyEndsTheWindowOnce);

}  // namespace window_contract
