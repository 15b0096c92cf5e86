// The editor run in a process of its own for RecoveryKillTest: it starts on the headless window
// system with the settings in WORK, keeps its recovery records under ROOT on the real clock
// (short intervals), and edits on its own as a user would, step after step, until it is killed.
// After each step it saves what saving would write into WORK/states (N.map, N.knd, N.player)
// and says so on stdout; every line starts with the monotonic time in milliseconds.
//
//   recovery_child ROOT WORK SEED [LABEL OCCURRENCE]
//
// With LABEL, the recovery writer stops for good at the OCCURRENCE-th labelled point that
// begins with LABEL (see RecordStore::Hook), after saying "at LABEL": the test kills it there.
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <string>

#include "app/core/Application.h"
#include "chips/ChipScreen.h"
#include "chips/KindScreen.h"
#include "map/MapFile.h"
#include "map/MapScreen.h"
#include "platform/Message.h"
#include "platform/MillisecondClock.h"
#include "platform/headless/HeadlessHost.h"
#include "preview/PlayerDefinition.h"

using namespace platform;

namespace {

void say(const std::string& text) {
    const std::string line =
        std::to_string(MillisecondClock::system().NowMicroseconds() / 1000) + " " + text + "\n";
    (void)!::write(1, line.data(), line.size());
}

void click(headless::HeadlessWindow& window, int x, int y) {
    window.send(Message::mouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON));
    window.send(Message::mouse(WM_LBUTTONUP, x, y, 0));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 6) {
        std::fprintf(stderr, "usage: recovery_child ROOT WORK SEED [LABEL OCCURRENCE]\n");
        return 2;
    }
    const std::string root = argv[1], work = argv[2];
    std::mt19937 random(static_cast<unsigned>(std::stoul(argv[3])));
    const std::string label = argc == 6 ? argv[4] : "";
    const int occurrence = argc == 6 ? std::stoi(argv[5]) : 0;
    int seen = 0;

    RecoveryOptions options;
    options.root = root;
    options.pauseMs = 100;
    options.latestMs = 400;
    options.tickMs = 20;
    options.captureTickMs = 5;
    options.limits = MapRecorder::Limits{2048, 48u << 10, 64u << 10};  // snapshots come often
    options.hook = [&](const std::string& at) {
        say("at " + at);
        if (!label.empty() && at.compare(0, label.size(), label) == 0 && ++seen == occurrence) {
            say("blocked");
            for (;;) {
                ::pause();
            }
        }
    };
    headless::HeadlessHost host;
    const std::string ini = work + "/Pelorin.ini";
    Application app(host, SettingsLocation{ini, ini, {}}, options);
    if (!app.start()) {
        return 1;
    }
    MapScreen& map = *app.mapScreen();
    headless::HeadlessWindow& mapWindow = *host.window("mapeditor");
    headless::HeadlessWindow& chipWindow = *host.window("chipview");
    headless::HeadlessWindow& kindWindow = *host.window("kindview");
    headless::HeadlessWindow& owner = *host.window("Parent");
    PlayerDefinition::ImageCache cache;
    auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    // A cell in the window's first 25 × 18, where clicks reach.
    auto clickCell = [&] { click(mapWindow, pick(0, 24) * 32 + 5, pick(0, 17) * 32 + 5); };

    // What saving would write now, without saving: copies are saved.
    auto dumpState = [&](int step) {
        const std::string prefix = work + "/states/" + std::to_string(step);
        MapGrid grid = map.document().grid();
        std::string mapPath = prefix + ".map";
        MapFile::save(mapPath, grid);
        KindTable table = map.kindScreen()->table();
        std::string kindPath = prefix + ".knd";
        table.saveFile(kindPath);
        std::FILE* player = std::fopen((prefix + ".player").c_str(), "wb");
        const std::string frames =
            PlayerDefinition::fingerprint(app.workspace()->player().allFrames());
        std::fwrite(frames.data(), 1, frames.size(), player);
        std::fclose(player);
        say("state " + std::to_string(step));
    };
    dumpState(-1);
    say("ready");
    std::uint64_t nextTick = 0;
    for (int step = 0; step < 2000; ++step) {
        const int what = pick(0, 99);
        if (what < 45) {
            click(chipWindow, pick(0, 7) * 32 + 5, pick(0, 7) * 32 + 5);
            clickCell();
            map.put();
        } else if (what < 52) {
            clickCell();
            map.erase();
        } else if (what < 62) {
            map.undo();
        } else if (what < 67) {
            map.redo();
        } else if (what < 72) {
            clickCell();
            map.insertOrDeleteLines(map.document().grid().rows() > 30 && pick(0, 1) == 0,
                                    pick(0, 1) == 0, false);
        } else if (what < 77) {
            const int x = pick(0, 24) * 32 + 5, y = pick(0, 17) * 32 + 5;
            mapWindow.send(Message::mouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON));
            mapWindow.send(Message::mouse(WM_MOUSEMOVE, pick(0, 790), pick(0, 590), MK_LBUTTON));
            mapWindow.send(Message::mouse(WM_LBUTTONUP, x, y, 0));
            map.put();
        } else if (what < 84) {
            KindTable& table = map.kindScreen()->table();
            const int number = pick(0, 99);
            KindRecord record = table.record(number);
            record.z = pick(0, 255);
            table.setRecord(number, record);
            app.recovery().poke();
        } else if (what < 90) {
            map.setEditLayer(1);
            click(kindWindow, pick(0, 24) * 32 + 5, pick(0, 3) * 32 + 5);
            clickCell();
            map.put();
            map.setEditLayer(0);
        } else if (what < 93) {
            PlayerFrame frame;
            if (PlayerDefinition::LoadFrame(work + "/chips.bmp", frame, cache)) {
                frame.displayTime = static_cast<std::uint32_t>(pick(1, 500));
                app.workspace()->player().SetFrames(pick(0, 6), {frame});
                app.recovery().poke();
            }
        }
        dumpState(step);

        // The window system's part: the keeper's timer, when it runs and is due.
        const std::uint64_t now = MillisecondClock::system().NowMicroseconds() / 1000;
        const auto timer = owner.timers().find(RecoveryKeeper::kTimerId);
        if (timer != owner.timers().end() && now >= nextTick) {
            nextTick = now + static_cast<std::uint64_t>(timer->second);
            owner.fireTimer(RecoveryKeeper::kTimerId);
        }
        ::usleep(4000);
    }
    say("done");
    for (;;) {
        ::pause();  // killed as any other run is
    }
}
