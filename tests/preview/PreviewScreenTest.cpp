#include "preview/PreviewScreen.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/headless/HeadlessHost.h"
#include "tests/preview/PreviewTestSupport.h"

using platform::Message;
using platform::headless::HeadlessHost;
using platform::headless::HeadlessWindow;
using preview_testing::FakeClock;
using preview_testing::frame;

namespace {

struct Preview : PreviewScreen::OwnerDialog {
    HeadlessHost host;
    FakeClock clock;
    HeadlessWindow window{platform::Size{800, 600}};
    PreviewScreen screen{host, &clock};
    int ended = 0;

    Preview() { screen.Attach(&window); }
    void previewEnded() override { ++ended; }

    void play(int count, std::uint32_t ms, bool loop = false) {
        std::vector<PlayerFrame> frames;
        for (int i = 0; i < count; ++i) {
            frames.push_back(frame("f" + std::to_string(i + 1), ms));
        }
        screen.SetLoop(loop);
        screen.StartPlayback(frames);
    }
    // The clock moves on and the timer, if set, fires.
    void after(std::uint32_t ms) {
        clock.advance(ms);
        window.fireTimer(PreviewScreen::kTimerId);
    }
    // The timer's period, -1 when it does not run.
    int period() const {
        const auto& t = window.timers();
        return t.count(0) ? t.at(0) : -1;
    }
    std::string counter() const { return window.title().substr(0, window.title().find(' ')); }
};

}  // namespace

TEST(PreviewScreen, FramesChangeAtTheirDeadlinesAndTheTimerRunsOnlyWhileSomethingIsToCome) {
    struct Case {
        const char* what;
        int count;
        std::uint32_t ms;
        bool loop;
        std::vector<std::uint32_t> steps;  // clock advances, each followed by the timer
        const char* counter;
        int period;  // -1: no timer
    } cases[] = {
        {"eight frames end on the last", 8, 100, false, std::vector<std::uint32_t>(12, 100), "8/8",
         -1},
        {"with loop back to the first", 8, 100, true, std::vector<std::uint32_t>(8, 100), "1/8",
         100},
        {"one frame stays", 1, 100, false, {100, 5000}, "1/1", -1},
        {"0 ms advances at the next check", 3, 0, false, {0}, "2/3", 0},
        {"an early check changes nothing", 3, 100, false, {99}, "1/3", 1},
        {"a late check advances one frame, timed from then", 3, 100, false, {250}, "2/3", 100},
    };
    for (const Case& c : cases) {
        Preview p;
        p.play(c.count, c.ms, c.loop);
        EXPECT_EQ(p.counter(), "1/" + std::to_string(c.count)) << c.what;
        for (std::uint32_t step : c.steps) {
            p.after(step);
        }
        EXPECT_EQ(p.counter(), c.counter) << c.what;
        EXPECT_EQ(p.period(), c.period) << c.what;
        EXPECT_TRUE(p.window.isVisible()) << c.what;
    }
}

TEST(PreviewScreen, APauseLongerThanAFrameOrLoopingFromTheLastFrameAdvancesAtTheNextCheck) {
    Preview p;
    p.play(3, 100);
    p.window.send(Message::mouse(platform::WM_LBUTTONDOWN, 5, 5, platform::MK_LBUTTON));
    EXPECT_TRUE(p.screen.IsPaused());
    EXPECT_EQ(p.period(), -1) << "no timer while paused";
    p.after(500);
    EXPECT_EQ(p.counter(), "1/3");
    p.screen.TogglePause();
    EXPECT_EQ(p.period(), 0);
    p.after(0);
    EXPECT_EQ(p.counter(), "2/3");
    EXPECT_EQ(p.period(), 100);
    // Resting on the last frame, switching the loop on goes on at once.
    p.after(100);
    p.after(100);
    EXPECT_EQ(p.period(), -1);
    p.host.menuAnswers = {PreviewScreen::kLoopCommand};
    p.window.send(Message::mouse(platform::WM_RBUTTONDOWN, 5, 5, platform::MK_RBUTTON));
    p.after(0);
    EXPECT_EQ(p.counter(), "1/3");
}

TEST(PreviewScreen, ANewPlaybackReplacesTheOldAndStoppingKeepsLoopAndTopmost) {
    Preview p;
    std::vector<PlayerFrame> first = {frame("a", 100), frame("b", 100, 0xFF00FF00)};
    p.screen.SetTopmost(true);
    p.screen.SetLoop(true);
    p.screen.StartPlayback(first);
    EXPECT_EQ(p.window.pixel(1, 1), 0xFFFF0000u);
    p.after(100);
    EXPECT_EQ(p.window.pixel(1, 1), 0xFF00FF00u);
    p.screen.StartPlayback({frame("x", 30, 0xFF0000FF), frame("y", 30), frame("z", 30)});
    EXPECT_EQ(p.window.title(), "1/3  x");
    EXPECT_EQ(p.window.pixel(1, 1), 0xFF0000FFu);
    // Only the new playback's sprites are left in the screen's layer, the first one showing.
    const std::vector<CNxLayer*> sprites = p.screen.GetChildren().at(0)->GetChildren();
    EXPECT_EQ(sprites.size(), 3u);
    EXPECT_EQ(std::count_if(sprites.begin(), sprites.end(),
                            [](const CNxLayer* sprite) { return sprite->IsVisible(); }),
              1);
    EXPECT_EQ(p.period(), 30);
    p.screen.StopPlayback();
    EXPECT_FALSE(p.window.isVisible());
    EXPECT_EQ(p.period(), -1);
    EXPECT_TRUE(p.screen.IsLooping());
    EXPECT_TRUE(p.window.isTopmost());
    // Nothing of the old playback is held once stopped.
    std::weak_ptr<CNxSurface> image = first[0].image;
    first.clear();
    EXPECT_TRUE(image.expired());
}

TEST(PreviewScreen, FramesOfOneImageAreDrawnEachWithItsOwnSettings) {
    Preview p;
    const PlayerFrame shown = frame("shown", 100, 0xFF00FF00);
    PlayerFrame clear = shown;  // the same image
    clear.alpha = 0;
    p.screen.SetLoop(true);
    p.screen.StartPlayback({shown, clear});
    for (const std::uint32_t pixel : {0xFF00FF00u, 0xFF000000u, 0xFF00FF00u}) {
        EXPECT_EQ(p.window.pixel(1, 1), pixel) << p.counter();
        p.after(100);
    }
}

TEST(PreviewScreen, TheFrameIsDrawnTopLeftWithItsWholeSourceRectangleAlphaAndDrawOption) {
    struct Case {
        std::uint8_t alpha;
        bool drawOption;
        std::uint32_t shown;  // the picture is 0x80FF0000: red at half its own alpha
    } cases[] = {{255, false, 0xFF0000}, {255, true, 0x800000}, {0, false, 0x000000}};
    for (const Case& c : cases) {
        Preview p;
        PlayerFrame f = frame("half", 100, 0x80FF0000, 3, 2);
        f.sourceRect = RECT{1, 0, 2, 1};  // inclusive: two columns, two rows
        f.alpha = c.alpha;
        f.drawOption = c.drawOption;
        p.screen.ShowSingleFrame(f, true);
        EXPECT_EQ(p.window.title(), "half");
        // The window is opaque: only the colour counts.
        EXPECT_EQ(p.window.pixel(0, 0) & 0xFFFFFF, c.shown);
        EXPECT_EQ(p.window.pixel(1, 1) & 0xFFFFFF, c.shown);
        EXPECT_EQ(p.window.pixel(2, 0) & 0xFFFFFF, 0u) << "the background is black";
        EXPECT_EQ(p.window.pixel(0, 2) & 0xFFFFFF, 0u);
        p.screen.ShowSingleFrame(f, false);
        EXPECT_FALSE(p.window.isVisible());
    }
}

TEST(PreviewScreen, PopupsCarryTheStateAndEndingFromThePopupTellsTheDialog) {
    Preview p;
    p.screen.SetOwnerDialog(&p);
    p.play(2, 100);
    p.host.menuAnswers = {PreviewScreen::kPauseCommand, PreviewScreen::kTopmostCommand,
                          PreviewScreen::kEndCommand};
    for (int i = 0; i < 3; ++i) {
        p.window.send(Message::mouse(platform::WM_RBUTTONDOWN, 10, 20, platform::MK_RBUTTON));
    }
    ASSERT_EQ(p.host.menus.size(), 3u);
    const platform::Menu& last = p.host.menus[2].menu;
    ASSERT_EQ(last.size(), 5u);
    EXPECT_EQ(last[0].text, "一時停止");
    EXPECT_TRUE(last[0].checked);
    EXPECT_EQ(last[1].text, "ループ再生");
    EXPECT_FALSE(last[1].checked);
    EXPECT_EQ(last[2].text, "常に手前に表示");
    EXPECT_TRUE(last[2].checked);
    EXPECT_EQ(last[4].text, "プレビュー終了");
    EXPECT_EQ(p.ended, 1);
    EXPECT_FALSE(p.screen.IsPlaying());
    EXPECT_FALSE(p.window.isVisible());

    p.screen.ShowSingleFrame(frame("one", 100), true);
    p.window.send(Message::mouse(platform::WM_RBUTTONDOWN, 1, 1, platform::MK_RBUTTON));
    ASSERT_EQ(p.host.menus.back().menu.size(), 2u) << "stopped: loop and topmost only";
    p.window.send(Message::plain(platform::WM_CLOSE));
    EXPECT_TRUE(p.window.isVisible()) << "the close box does nothing while the dialog is open";
}
