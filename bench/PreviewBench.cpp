// The preview's frame changes on a real Qt event loop (offscreen platform): 8 frames of 20 ms,
// looping, 200 changes per iteration. Counters: late_median_ms and late_max_ms, how long after
// its deadline (the previous change plus 20 ms) each change came, and cpu_share, the processor
// time per second of playback.
//
// The preview sets a single-shot precise timer to each deadline. Its peers are the polling
// designs it replaces, showing the same frames on the same kind of window: a check every
// millisecond (an idle loop that sleeps 1 ms between passes) and a check on a 100 ms window
// timer (all that runs while a modal dialog holds the event loop).
#include <benchmark/benchmark.h>
#include <time.h>

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "app/qt/QtHost.h"
#include "app/qt/QtNativeWindow.h"
#include "gfx/CNxSurface.h"
#include "platform/MillisecondClock.h"
#include "preview/PreviewScreen.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFrames = 8;
constexpr std::uint32_t kFrameMs = 20;
constexpr int kChanges = 200;

void ensureApplication() {
    static int argc = 1;
    static char name[] = "pelorin_bench";
    static char* argv[] = {name, nullptr};
    // Made once and never deleted: Qt's own statics may be gone by the time ours are.
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    (void)app;
}

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Every title change of the preview window is a frame change; the loop ends after enough.
class ChangeWatch : public QObject {
public:
    std::vector<Clock::time_point> changes;
    QEventLoop loop;

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::WindowTitleChange) {
            changes.push_back(Clock::now());
            if (static_cast<int>(changes.size()) > kChanges) {
                loop.quit();
            }
        }
        return false;
    }
};

// The preview window and screen, and 8 frames of 64 × 64 pictures.
struct Stage {
    QtHost host;
    std::unique_ptr<platform::NativeWindow> window;
    PreviewScreen screen{host};
    std::vector<PlayerFrame> frames;
    ChangeWatch watch;

    Stage() {
        window = host.createWindow(PreviewScreen::windowSpec(), nullptr);
        screen.Attach(window.get());
        screen.SetLoop(true);
        for (int i = 0; i < kFrames; ++i) {
            PlayerFrame f;
            f.image = std::make_shared<CNxSurface>(32);
            f.image->Create(64, -64);
            f.image->Fill(nullptr, 0xFF000000u | (0x1F3F7Fu * (i + 1)));
            f.setDefaults(64, 64);
            f.displayTime = kFrameMs;
            f.path = f.displayName = "frame" + std::to_string(i + 1);
            frames.push_back(std::move(f));
        }
        static_cast<QtNativeWindow&>(*window).frameWidget().installEventFilter(&watch);
    }
};

// The replaced design: look at the stopwatch (whole milliseconds) every period ms.
class PolledPlayback {
public:
    PolledPlayback(Stage& stage, int periodMs) : m_stage(stage) {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(periodMs);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { check(); });
    }
    void start() {
        m_stage.window->showNormal();
        m_index = 0;
        show();
        m_timer.start();
    }
    void stop() {
        m_timer.stop();
        m_stage.screen.ShowSingleFrame(m_stage.frames[m_index], false);
    }

private:
    void check() {
        if (clock().Now() - m_start >= m_stage.frames[m_index].displayTime) {
            m_index = (m_index + 1) % kFrames;
            show();
        }
    }
    void show() {
        m_start = clock().Now();
        const PlayerFrame& f = m_stage.frames[m_index];
        m_stage.window->setTitle(std::to_string(m_index + 1) + "/" + std::to_string(kFrames) +
                                 "  " + f.displayName);
        m_stage.screen.UpdateSingleFrame(f);
    }
    static const platform::MillisecondClock& clock() {
        return platform::MillisecondClock::system();
    }

    Stage& m_stage;
    QTimer m_timer;
    int m_index = 0;
    std::uint32_t m_start = 0;
};

void measure(benchmark::State& state, const std::function<void(Stage&)>& start,
             const std::function<void(Stage&)>& stop) {
    ensureApplication();
    Stage stage;
    std::vector<double> late;
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        stage.watch.changes.clear();
        const double cpuBefore = cpuSeconds();
        start(stage);
        stage.watch.loop.exec();
        cpu += cpuSeconds() - cpuBefore;
        stop(stage);
        const auto& t = stage.watch.changes;
        wall += std::chrono::duration<double>(t.back() - t.front()).count();
        for (std::size_t i = 1; i < t.size(); ++i) {
            late.push_back(std::chrono::duration<double, std::milli>(t[i] - t[i - 1]).count() -
                           kFrameMs);
        }
    }
    std::sort(late.begin(), late.end());
    state.counters["late_median_ms"] = late[late.size() / 2];
    state.counters["late_max_ms"] = late.back();
    state.counters["cpu_share"] = cpu / wall;
}

void BM_PreviewFrameLateness(benchmark::State& state) {
    measure(
        state, [](Stage& s) { s.screen.StartPlayback(s.frames); },
        [](Stage& s) { s.screen.StopPlayback(); });
}

void polledPeer(benchmark::State& state, int periodMs) {
    std::unique_ptr<PolledPlayback> playback;
    measure(
        state,
        [&](Stage& s) {
            playback = std::make_unique<PolledPlayback>(s, periodMs);
            playback->start();
        },
        [&](Stage&) {
            playback->stop();
            playback.reset();
        });
}

void BM_PreviewFrameLateness_Polled1ms(benchmark::State& state) {
    polledPeer(state, 1);
}

void BM_PreviewFrameLateness_Timer100ms(benchmark::State& state) {
    polledPeer(state, 100);
}

}  // namespace

BENCHMARK(BM_PreviewFrameLateness)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PreviewFrameLateness_Polled1ms)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PreviewFrameLateness_Timer100ms)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
