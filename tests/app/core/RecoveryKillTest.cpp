// The editor's unsaved work survives SIGKILL. A real editor runs in a child process
// (recovery_child: the headless window system, the real clock and disk, short intervals) and edits
// on its own, saying after each step what saving would write then. It is killed at labelled
// points of its recovery writer (between writing a record and making it current, right after a
// journal append) and at moments in the middle of its work. A new editor then starts on the
// same folders: what it restores must be one of the child's states, byte for byte, and one that
// was current within the writing interval (and a margin for the disk) before the kill.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <sstream>

#include "app/core/Application.h"
#include "app/core/RecoveryDialog.h"
#include "chips/KindScreen.h"
#include "map/MapFile.h"
#include "map/MapScreen.h"
#include "platform/MillisecondClock.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/chips/ScreenTestSupport.h"
#include "tests/support/TempDir.h"

using namespace testing_support;

namespace {

constexpr std::uint64_t kLatestMs = 400;   // the child's interval
constexpr std::uint64_t kMarginMs = 1600;  // a slow disk, a loaded machine

std::uint64_t nowMs() {
    return platform::MillisecondClock::system().NowMicroseconds() / 1000;
}

// The child: its lines as they come, each with the time it gave.
class Child {
public:
    Child(const std::string& root, const std::string& work, int seed, const std::string& label,
          int occurrence) {
        int fds[2];
        if (::pipe(fds) != 0) {
            return;
        }
        const std::string seedText = std::to_string(seed), count = std::to_string(occurrence);
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(fds[1], 1);
            ::close(fds[0]);
            ::close(fds[1]);
            if (label.empty()) {
                ::execl(RECOVERY_CHILD_PATH, "recovery_child", root.c_str(), work.c_str(),
                        seedText.c_str(), nullptr);
            } else {
                ::execl(RECOVERY_CHILD_PATH, "recovery_child", root.c_str(), work.c_str(),
                        seedText.c_str(), label.c_str(), count.c_str(), nullptr);
            }
            ::_exit(127);
        }
        ::close(fds[1]);
        m_out = fds[0];
    }
    ~Child() {
        kill();
        if (m_out >= 0) {
            ::close(m_out);
        }
    }

    // Reads lines until one says text (or the child says it is done); whether it came.
    bool waitFor(const std::string& text, int timeoutMs = 30000) {
        const std::uint64_t end = nowMs() + static_cast<std::uint64_t>(timeoutMs);
        while (nowMs() < end) {
            std::string line;
            if (!readLine(line, static_cast<int>(end - nowMs()))) {
                return false;
            }
            if (line == text) {
                return true;
            }
            if (line == "done") {
                return false;
            }
        }
        return false;
    }
    // SIGKILL now; the time it was sent.
    std::uint64_t kill() {
        if (m_pid <= 0) {
            return m_killedAt;
        }
        m_killedAt = nowMs();
        ::kill(m_pid, SIGKILL);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
        std::string line;
        while (readLine(line, 0)) {
        }
        return m_killedAt;
    }
    // When each state the child finished was made.
    const std::map<int, std::uint64_t>& states() const { return m_states; }

private:
    bool readLine(std::string& line, int timeoutMs) {
        for (;;) {
            const std::size_t end = m_buffer.find('\n');
            if (end != std::string::npos) {
                std::istringstream in(m_buffer.substr(0, end));
                m_buffer.erase(0, end + 1);
                std::uint64_t time = 0;
                in >> time;
                std::getline(in >> std::ws, line);
                if (line.compare(0, 6, "state ") == 0) {
                    m_states[std::stoi(line.substr(6))] = time;
                }
                return true;
            }
            pollfd p{m_out, POLLIN, 0};
            if (::poll(&p, 1, timeoutMs) <= 0) {
                return false;
            }
            char chunk[4096];
            const ssize_t n = ::read(m_out, chunk, sizeof chunk);
            if (n <= 0) {
                return false;
            }
            m_buffer.append(chunk, static_cast<std::size_t>(n));
        }
    }

    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_buffer;
    std::map<int, std::uint64_t> m_states;
    std::uint64_t m_killedAt = 0;
};

// The settings, chip sheet, map and attribute file both editors start from.
void prepare(const TempDir& dir) {
    screen_test::writeChipImage(dir.file("chips.bmp"), 256, 256);
    MapGrid grid;
    grid.reset(40, 40);
    for (int i = 0; i < 40; ++i) {
        grid.setChip(i, i, i % 64);
    }
    std::string map = dir.file("start.map");
    ASSERT_TRUE(MapFile::save(map, grid).value);
    KindTable kinds;
    kinds.resetToDefaults(7);
    std::string knd = dir.file("start.knd");
    ASSERT_TRUE(kinds.saveFile(knd));
    writeText(dir.file("Pelorin.ini"), "[MapInfo]\npath=" + map +
                                           "\n[ChipInfo]\npath=" + dir.file("chips.bmp") +
                                           "\n[KindInfo]\npath=" + knd + "\n");
    ::mkdir(dir.file("states").c_str(), 0700);
}

struct Restored {
    std::vector<std::uint8_t> map, kinds;
    std::string player;
    bool offered = false;
    std::string title;
};

// A new editor on the same settings and folders, restoring what it is offered.
Restored restart(const TempDir& dir) {
    platform::headless::HeadlessHost host;
    RecoveryOptions options;
    options.root = dir.file("state");
    Application app(host, SettingsLocation{dir.file("Pelorin.ini"), dir.file("Pelorin.ini"), {}},
                    options);
    host.dialogScripts.push_back(
        [](platform::headless::ScriptedDialog& d) { d.click(RecoveryDialog::kRestoreId); });
    Restored r;
    if (!app.start()) {
        return r;
    }
    r.offered = !host.dialogs.empty();
    r.title = host.window("mapeditor")->title();
    MapGrid grid = app.mapScreen()->document().grid();
    std::string mapPath = dir.file("restored.map");
    MapFile::save(mapPath, grid);
    r.map = readBytes(mapPath);
    KindTable kinds = app.mapScreen()->kindScreen()->table();
    std::string kindPath = dir.file("restored.knd");
    kinds.saveFile(kindPath);
    r.kinds = readBytes(kindPath);
    r.player = PlayerDefinition::fingerprint(app.workspace()->player().allFrames());
    return r;
}

// The newest of the child's states the restored editor holds, if any.
std::optional<int> matchingState(const TempDir& dir, const Child& child, const Restored& r) {
    for (auto s = child.states().rbegin(); s != child.states().rend(); ++s) {
        const std::string prefix = dir.file("states/" + std::to_string(s->first));
        if (readBytes(prefix + ".map") == r.map && readBytes(prefix + ".knd") == r.kinds &&
            readText(prefix + ".player") == r.player) {
            return s->first;
        }
    }
    return std::nullopt;
}

}  // namespace

TEST(RecoveryKill, WorkComesBackAsItWasShortlyBeforeTheKill) {
    const struct {
        const char* label;  // a labelled point of the recovery writer, or none: killed at delay
        int occurrence;
        int delayMs;
    } cases[] = {
        {"record-written map-", 1, 0},  // a snapshot base written, not yet current
        {"record-current map-", 1, 0},  // current, the older generations not yet removed
        {"record-written map-", 3, 0},
        {"record-current map-", 4, 0},
        {"journal-appended", 2, 0},
        {"journal-appended", 25, 0},
        {"journal-appended", 12, 0},
        {nullptr, 0, 150},  // in the middle of continuous editing
        {nullptr, 0, 450},
        {nullptr, 0, 800},
        {nullptr, 0, 1300},
        {nullptr, 0, 2100},
    };
    int seed = 1;
    for (const auto& c : cases) {
        const std::string what = c.label
                                     ? std::string(c.label) + " #" + std::to_string(c.occurrence)
                                     : "after " + std::to_string(c.delayMs) + " ms";
        TempDir dir;
        prepare(dir);
        Child child(dir.file("state"), dir.path(), seed++, c.label ? c.label : "", c.occurrence);
        ASSERT_TRUE(child.waitFor("ready")) << what;
        if (c.label) {
            EXPECT_TRUE(child.waitFor("blocked")) << what << ": the point was never reached";
        } else {
            ::usleep(static_cast<useconds_t>(c.delayMs) * 1000);
        }
        const std::uint64_t killedAt = child.kill();

        const Restored restored = restart(dir);
        const std::optional<int> state = matchingState(dir, child, restored);
        ASSERT_TRUE(state) << what << ": the restored work is none of the states the editor had";
        // The state was current until the next one was made (or the kill).
        const auto next = child.states().upper_bound(*state);
        const std::uint64_t until = next == child.states().end() ? killedAt : next->second;
        EXPECT_LE(killedAt - std::min(until, killedAt), kLatestMs + kMarginMs)
            << what << ": restored state " << *state << " of " << child.states().rbegin()->first;
        if (restored.offered) {
            EXPECT_EQ(restored.title.substr(restored.title.size() - 2), " *") << what;
        }
    }
}
