#include "platform/headless/HeadlessHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "tests/platform/HostContract.h"
#include "tests/support/MessageLog.h"

using namespace platform::headless;
using host_contract::ProbeDialog;
using host_contract::Shown;
using platform::DialogResult;
using platform::Message;

namespace {

// The host contract on the headless host: the user is the script, answers are queued before the
// call, and what was shown is read from the records.
struct HeadlessDriver {
    platform::Host& host() { return h; }
    std::unique_ptr<platform::NativeWindow> window() { return h.createWindow({}, nullptr); }
    const void* ownerKey(platform::NativeWindow* window) { return window; }
    void answerBox(platform::MessageAnswer press) {
        h.answers.push_back(press);
        read = [this] {
            return shownAs(h.boxes.back().owner, h.boxes.back().title, h.boxes.back().text);
        };
    }
    void answerFiles(std::vector<std::string> chosen) {
        h.fileAnswers.push_back(std::move(chosen));
        read = [this] {
            const platform::FileRequest& r = h.fileChoosers.back().request;
            Shown s = shownAs(h.fileChoosers.back().owner, r.title);
            for (const platform::FileFilter& f : r.filters) {
                std::string patterns = f.patterns;
                std::replace(patterns.begin(), patterns.end(), ';', ' ');
                s.filters.push_back(f.description + " = " + patterns);
            }
            s.initialPath = r.initialPath;
            s.defaultSuffix = r.defaultSuffix;
            return s;
        };
    }
    void answerColour(std::optional<std::uint32_t> pick, platform::CustomColours leave) {
        h.colourAnswers.push_back(pick);
        h.customColoursAfter = leave;
        read = [this] {
            Shown s = shownAs(h.colourChoosers.back().owner);
            s.initial = h.colourChoosers.back().initial;
            s.custom = h.colourChoosers.back().custom;
            return s;
        };
    }
    void answerMenu(int id) {
        h.menuAnswers.push_back(id);
        read = [this] {
            Shown s = shownAs(h.menus.back().owner);
            s.menu = h.menus.back().menu;
            return s;
        };
    }
    template <typename Act>
    void answerDialog(Act act) {
        h.dialogScripts.push_back(act);
        read = [this] { return shownAs(h.dialogs.back().owner, h.dialogs.back().title); };
    }
    template <typename Act>
    void answerSheet(Act act) {
        h.sheetScripts.push_back(act);
        read = [this] {
            Shown s = shownAs(h.sheets.back().owner, h.sheets.back().caption);
            s.tabs = h.sheets.back().pageTitles;
            return s;
        };
    }
    Shown shown() { return read(); }
    void letTimersRun(platform::NativeWindow& window) {
        auto& headless = static_cast<HeadlessWindow&>(window);
        for (const auto& timer : std::map<int, int>(headless.timers())) {
            headless.fireTimer(timer.first);
        }
    }
    void runIdle(const std::function<bool()>&) { h.runIdle(); }

    static Shown shownAs(const void* owner, std::string title = {}, std::string text = {}) {
        Shown s;
        s.owner = owner;
        s.title = std::move(title);
        s.text = std::move(text);
        return s;
    }

    HeadlessHost h;
    std::function<Shown()> read;
};

}  // namespace

namespace host_contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Headless, HostContract, ::HeadlessDriver);
}  // namespace host_contract

// What only the headless host does: it refuses the classes it is told to, and finds windows by
// class while they live.
TEST(HeadlessHost, RefusesTheClassesItIsToldAndFindsLiveWindowsByClass) {
    HeadlessHost host;
    platform::WindowSpec spec;
    spec.className = "mapeditor";
    std::unique_ptr<platform::NativeWindow> map = host.createWindow(spec, nullptr);
    EXPECT_EQ(host.window("mapeditor"), map.get());
    host.refusedClasses.insert("chipview");
    spec.className = "chipview";
    EXPECT_EQ(host.createWindow(spec, nullptr), nullptr);
    map.reset();
    EXPECT_TRUE(host.windows().empty());
}

TEST(HeadlessHost, ActivityChangesReachEveryLiveWindowOnceAndStopIdlePasses) {
    struct Work : platform::IdleHandler {
        bool idleStep() override { return true; }
    } work;
    HeadlessHost host;
    testing_support::MessageLog log;
    auto a = host.createWindow({}, &log);
    auto b = host.createWindow({}, &log);
    log.entries.clear();
    host.setActive(false);
    host.setActive(false);
    ASSERT_EQ(log.entries.size(), 2u);
    EXPECT_EQ(log.entries[0].window, a.get());
    EXPECT_EQ(log.entries[1].window, b.get());
    EXPECT_EQ(log.entries[1].message, Message::activateApp(false));
    host.setIdleHandler(&work);
    EXPECT_EQ(host.runIdle(), 0);
    host.setActive(true);
    EXPECT_EQ(host.runIdle(7), 7);
}

// What pelorin-tool relies on: with nothing scripted, boxes answer OK, the rest is dismissed or
// cancelled (a dialog that ignores Escape too), and every call is recorded.
TEST(HeadlessHost, WithNothingScriptedRecordsEveryCallAndDismissesIt) {
    HeadlessHost host;
    HeadlessWindow owner(platform::Size{10, 10});
    const platform::FileRequest request{"ファイル選択", {{"MAP Files (*.map)", "*.map"}}, "", ""};
    platform::CustomColours custom{};
    ProbeDialog stubborn, page("page");
    stubborn.ignoreCancel = true;
    EXPECT_EQ(host.messageBox(&owner, "終了しますか？", "確認", platform::MessageButtons::YesNo,
                              platform::MessageIcon::Question),
              platform::MessageAnswer::Ok);
    EXPECT_EQ(host.popupMenu(owner, {}, {5, 6}), 0);
    EXPECT_EQ(host.openFile(&owner, request), "");
    EXPECT_EQ(host.openFiles(nullptr, request), std::vector<std::string>{});
    EXPECT_EQ(host.saveFile(&owner, request), "");
    EXPECT_EQ(host.chooseColour(&owner, 0, custom), std::nullopt);
    EXPECT_EQ(host.runDialog(&owner, stubborn), DialogResult::Cancel);
    EXPECT_EQ(stubborn.afterInit(), std::vector<std::string>{"2 Clicked"});
    EXPECT_EQ(host.runSheet(&owner, "設定", {&page}), DialogResult::Cancel);

    ProbeDialog ended;  // ended while initialising: its script is used up, never run
    ended.endOnInit = true;
    bool ran = false;
    host.dialogScripts.push_back([&](ScriptedDialog&) { ran = true; });
    EXPECT_EQ(host.runDialog(nullptr, ended), DialogResult::Ok);
    EXPECT_FALSE(ran);
    EXPECT_TRUE(host.dialogScripts.empty());

    EXPECT_EQ(host.boxes.size() + host.colourChoosers.size() + host.sheets.size(), 3u);
    EXPECT_EQ(host.dialogs.size(), 2u);
    EXPECT_EQ(host.menus.at(0).at, (platform::Point{5, 6}));
    ASSERT_EQ(host.fileChoosers.size(), 3u);
    EXPECT_EQ(host.fileChoosers[1].kind, HeadlessHost::ChooserKind::OpenMany);
    EXPECT_EQ(host.fileChoosers[2].kind, HeadlessHost::ChooserKind::Save);
}
