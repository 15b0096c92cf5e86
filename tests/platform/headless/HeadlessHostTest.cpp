#include "platform/headless/HeadlessHost.h"

#include <gtest/gtest.h>

#include "platform/VirtualKey.h"
#include "tests/support/MessageLog.h"

using namespace platform::headless;
using namespace testing_support;
using platform::DialogCommand;
using platform::DialogControls;
using platform::DialogNotification;
using platform::DialogResult;
using platform::Message;

namespace {

enum : int {
    kMemo = 1038,
    kPassable = 1057,
    kLeft = 1118,
    kLeftUpDown = 1122,
    kList = 1108,
    kNested = 1053,
    kSpare = 1043
};

std::string describe(const DialogCommand& c) {
    const char* names[] = {"Clicked",       "Changed", "SelectionChanged",
                           "DoubleClicked", "KeyUp",   "ItemDragged"};
    std::string text = std::to_string(c.control) + " " + names[static_cast<int>(c.code)];
    if (c.code == DialogNotification::KeyUp) {
        text += " " + std::to_string(c.key);
    }
    if (c.code == DialogNotification::ItemDragged) {
        text += " " + std::to_string(c.from) + ">" + std::to_string(c.to);
    }
    return text;
}

// A dialog after the attribute edit dialog: it logs what arrives, fills its controls on init,
// ends on OK and Cancel, and opens a nested dialog from kNested.
class ProbeDialog : public platform::Dialog {
public:
    explicit ProbeDialog(platform::Host* host = nullptr, std::string title = "チップ属性の設定")
        : m_host(host), m_title(std::move(title)) {}

    platform::DialogTemplate dialogTemplate() const override {
        using platform::ControlKind;
        using platform::ControlSpec;
        platform::DialogTemplate t{m_title, {300, 200}, {}};
        t.controls.push_back(
            ControlSpec::make(ControlKind::GroupBox, 0, "当り判定", {5, 5, 150, 60}));
        t.controls.push_back(
            ControlSpec::make(ControlKind::CheckBox, kPassable, "通行可能", {10, 20, 140, 36}));
        t.controls.push_back(ControlSpec::spinEdit(kLeft, kLeftUpDown, {10, 40, 80, 60}));
        t.controls.push_back(ControlSpec::make(ControlKind::Edit, kMemo, "", {10, 70, 200, 90}));
        ControlSpec list = ControlSpec::make(ControlKind::ListBox, kList, "", {10, 100, 200, 160});
        list.draggable = true;
        t.controls.push_back(list);
        t.controls.push_back(
            ControlSpec::make(ControlKind::Button, kNested, "色の選択", {220, 20, 290, 40}));
        t.controls.push_back(
            ControlSpec::make(ControlKind::Button, kSpare, "削除", {220, 50, 290, 70}));
        t.controls.push_back(ControlSpec::make(ControlKind::Button, 1, "OK", {220, 170, 250, 190}));
        t.controls.push_back(
            ControlSpec::make(ControlKind::Button, 2, "ｷｬﾝｾﾙ", {255, 170, 290, 190}));
        return t;
    }
    void onInit(DialogControls& c) override {
        log.push_back("init");
        c.setRange(kLeftUpDown, 0, 31);
        c.setPosition(kLeftUpDown, 4);
        c.setText(kMemo, "石垣");
        c.addItem(kList, "a.png");
        c.addItem(kList, "b.png");
        c.setEnabled(kSpare, false);
        if (endOnInit) {
            c.end(DialogResult::Ok);
        }
    }
    void onCommand(DialogControls& c, const DialogCommand& command) override {
        log.push_back(describe(command));
        if (command.control == 1 && command.code == DialogNotification::Clicked) {
            c.end(DialogResult::Ok);
        } else if (command.control == 2 && command.code == DialogNotification::Clicked &&
                   !ignoreCancel) {
            c.end(DialogResult::Cancel);
        } else if (command.control == kNested && m_host != nullptr) {
            ProbeDialog inner(nullptr, "inner");
            nestedResult = m_host->runDialog(&c.window(), inner);
        }
    }
    void onTimer(DialogControls&, int id) override { log.push_back("timer " + std::to_string(id)); }
    bool onApply(DialogControls&) override {
        log.push_back("apply");
        return acceptApply;
    }

    std::vector<std::string> log;
    bool endOnInit = false;
    bool ignoreCancel = false;
    bool acceptApply = true;
    DialogResult nestedResult = DialogResult::Cancel;

private:
    platform::Host* m_host;
    std::string m_title;
};

}  // namespace

TEST(HeadlessHostWindows, CreateSendsCreateFirstAndRefusedClassesYieldNull) {
    HeadlessHost host;
    MessageLog log;
    platform::WindowSpec spec;
    spec.className = "mapeditor";
    spec.clientSize = {800, 600};
    std::unique_ptr<platform::NativeWindow> map = host.createWindow(spec, &log);
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries[0].window, map.get());
    EXPECT_EQ(log.entries[0].message, Message::plain(platform::WM_CREATE));
    EXPECT_EQ(host.window("mapeditor"), map.get());

    host.refusedClasses.insert("chipview");
    spec.className = "chipview";
    EXPECT_EQ(host.createWindow(spec, &log), nullptr);

    map.reset();
    EXPECT_TRUE(host.windows().empty());
}

TEST(HeadlessHostWindows, ActivityChangesReachEveryLiveWindowOnce) {
    HeadlessHost host;
    MessageLog log;
    platform::WindowSpec spec;
    auto a = host.createWindow(spec, &log);
    auto b = host.createWindow(spec, &log);
    log.entries.clear();
    host.setActive(false);
    host.setActive(false);
    EXPECT_FALSE(host.isApplicationActive());
    ASSERT_EQ(log.entries.size(), 2u);
    EXPECT_EQ(log.entries[0].window, a.get());
    EXPECT_EQ(log.entries[1].window, b.get());
    EXPECT_EQ(log.entries[1].message, Message::activateApp(false));
}

TEST(HeadlessHostIdle, RunsWhileActiveAndWhileThereIsWork) {
    struct Work : platform::IdleHandler {
        int left = 3;
        int steps = 0;
        bool idleStep() override {
            ++steps;
            return --left > 0;
        }
    } work;
    HeadlessHost host;
    host.setIdleHandler(&work);
    EXPECT_EQ(host.runIdle(), 3);
    host.setActive(false);
    work.left = 5;
    EXPECT_EQ(host.runIdle(), 0);
    EXPECT_EQ(work.steps, 3);
}

TEST(HeadlessHostChoosers, RecordRequestsAndAnswerFromTheirQueues) {
    HeadlessHost host;
    HeadlessWindow owner(platform::Size{10, 10});
    const platform::FileRequest request{
        "ファイル選択", {{"MAP Files (*.map)", "*.map"}}, "/m/a.map", {}};
    host.fileAnswers = {{"/m/b.map"}, {}, {"/i/1.png", "/i/2.png"}};
    EXPECT_EQ(host.openFile(&owner, request), "/m/b.map");
    EXPECT_EQ(host.saveFile(&owner, request), "");  // cancelled
    EXPECT_EQ(host.openFiles(nullptr, request), (std::vector<std::string>{"/i/1.png", "/i/2.png"}));
    EXPECT_EQ(host.openFile(&owner, request), "");  // queue empty: cancelled
    ASSERT_EQ(host.fileChoosers.size(), 4u);
    EXPECT_EQ(host.fileChoosers[1].kind, HeadlessHost::ChooserKind::Save);
    EXPECT_EQ(host.fileChoosers[2].owner, nullptr);
    EXPECT_EQ(host.fileChoosers[0].request.filters[0].patterns, "*.map");

    platform::CustomColours custom{};
    custom[3] = 0xFF102030u;
    host.colourAnswers = {0x00AABBCCu};
    EXPECT_EQ(host.chooseColour(&owner, 0xFF000000u, custom), 0xFFAABBCCu);
    EXPECT_EQ(host.chooseColour(&owner, 0xFF000000u, custom), std::nullopt);
    EXPECT_EQ(host.colourChoosers[0].custom[3], 0xFF102030u);

    host.menuAnswers = {40014};
    const platform::Menu menu = {platform::MenuItem::command(40014, "コピー(&C)", "Ctrl+C")};
    EXPECT_EQ(host.popupMenu(owner, menu, {0, 0}), 40014);
    EXPECT_EQ(host.popupMenu(owner, menu, {5, 6}), 0);
    EXPECT_EQ(host.menus[1].at, (platform::Point{5, 6}));
    EXPECT_EQ(host.menus[1].menu[0].hint, "Ctrl+C");
}

TEST(ScriptedDialogControls, NotifyAsWin32ControlsDo) {
    HeadlessHost host;
    ProbeDialog dialog;
    host.dialogScripts.push_back([](ScriptedDialog& d) {
        EXPECT_TRUE(d.click(kPassable));
        EXPECT_TRUE(d.isChecked(kPassable));  // toggled before Clicked arrives
        EXPECT_FALSE(d.click(kSpare));        // disabled
        d.setChecked(kPassable, false);       // from code: no notification
        EXPECT_TRUE(d.type(kLeft, "6000"));
        EXPECT_EQ(d.position(kLeftUpDown).value, 6000);
        EXPECT_FALSE(d.position(kLeftUpDown).valid);
        EXPECT_TRUE(d.type(kLeft, "31"));
        EXPECT_TRUE(d.position(kLeft).valid);
        d.select(kList, 1);  // from code: no notification
        EXPECT_TRUE(d.choose(kList, 0));
        EXPECT_TRUE(d.choose(kList, 0));  // the same entry again: nothing new
        EXPECT_TRUE(d.keyUp(kList, platform::VK_F2));
        EXPECT_TRUE(d.drag(kList, 1, 7));
        EXPECT_TRUE(d.doubleClick(kList, 1));
        EXPECT_TRUE(d.click(1));
        EXPECT_FALSE(d.click(2));  // ended
    });
    EXPECT_EQ(host.runDialog(nullptr, dialog), DialogResult::Ok);
    EXPECT_EQ(dialog.log, (std::vector<std::string>{
                              "init", "1118 Changed", "1038 Changed", "1057 Clicked",
                              "1118 Changed", "1118 Changed", "1108 SelectionChanged",
                              "1108 KeyUp 113", "1108 ItemDragged 1>-1", "1108 SelectionChanged",
                              "1108 DoubleClicked", "1 Clicked"}));
    ASSERT_EQ(host.dialogs.size(), 1u);
    EXPECT_EQ(host.dialogs[0].title, "チップ属性の設定");
}

TEST(ScriptedDialogControls, ListsKeepTheSelectionOnItsItem) {
    HeadlessHost host;
    ProbeDialog dialog;
    host.dialogScripts.push_back([](ScriptedDialog& d) {
        d.select(kList, 1);
        d.insertItem(kList, 0, {"z.png"});
        EXPECT_EQ(d.selection(kList), 2);
        d.deleteItem(kList, 0);
        EXPECT_EQ(d.selection(kList), 1);
        EXPECT_EQ(d.itemText(kList, 1), "b.png");
        d.deleteItem(kList, 1);
        EXPECT_EQ(d.selection(kList), -1);
        d.insertItem(kList, 99, {"c.png"});
        EXPECT_EQ(d.itemText(kList, 1), "c.png");
        EXPECT_EQ(d.itemCount(kList), 2);
        EXPECT_EQ(d.itemText(kList, 5), "");
    });
    host.runDialog(nullptr, dialog);
}

TEST(HeadlessHostDialogs, EndingAndCancelling) {
    HeadlessHost host;
    {
        ProbeDialog dialog;  // no script: Escape, which the dialog takes as Cancel
        EXPECT_EQ(host.runDialog(nullptr, dialog), DialogResult::Cancel);
        EXPECT_EQ(dialog.log.back(), "2 Clicked");
    }
    {
        ProbeDialog dialog;  // a dialog that ignores Escape still returns
        dialog.ignoreCancel = true;
        EXPECT_EQ(host.runDialog(nullptr, dialog), DialogResult::Cancel);
    }
    {
        ProbeDialog dialog;  // ended while initialising: the script never runs
        dialog.endOnInit = true;
        bool ran = false;
        host.dialogScripts.push_back([&](ScriptedDialog&) { ran = true; });
        EXPECT_EQ(host.runDialog(nullptr, dialog), DialogResult::Ok);
        EXPECT_FALSE(ran);
    }
    {
        ProbeDialog dialog;  // Enter without a default button is OK
        host.dialogScripts.push_back([](ScriptedDialog& d) { d.pressEnter(); });
        EXPECT_EQ(host.runDialog(nullptr, dialog), DialogResult::Ok);
    }
}

TEST(HeadlessHostDialogs, NestedDialogsAreOwnedByTheOuterDialogsWindowAndTimersReachTheDialog) {
    HeadlessHost host;
    HeadlessWindow map(platform::Size{800, 600});
    ProbeDialog outer(&host);
    platform::NativeWindow* outerWindow = nullptr;
    host.dialogScripts.push_back([&](ScriptedDialog& d) {
        outerWindow = &d.window();
        d.window().setTimer(0, 300);
        auto& window = static_cast<HeadlessWindow&>(d.window());
        EXPECT_TRUE(window.fireTimer(0));
        d.click(kNested);
        d.click(1);
    });
    host.dialogScripts.push_back([](ScriptedDialog& inner) { inner.click(1); });
    EXPECT_EQ(host.runDialog(&map, outer), DialogResult::Ok);
    EXPECT_EQ(outer.nestedResult, DialogResult::Ok);
    ASSERT_EQ(host.dialogs.size(), 2u);
    EXPECT_EQ(host.dialogs[0].owner, &map);
    EXPECT_EQ(host.dialogs[1].owner, outerWindow);
    EXPECT_EQ(host.dialogs[1].title, "inner");
    EXPECT_EQ(outer.log[3], "timer 0");
}

TEST(HeadlessHostSheets, PagesInitialiseWhenShownAndOkAppliesThemInOrder) {
    HeadlessHost host;
    ProbeDialog size(nullptr, "サイズ変更"), list(nullptr, "チップ属性設定"),
        colour(nullptr, "色設定");
    const std::vector<platform::Dialog*> pages = {&size, &list, &colour};

    host.sheetScripts.push_back([&](ScriptedSheet& sheet) {
        EXPECT_TRUE(sheet.wasShown(0));
        EXPECT_FALSE(sheet.wasShown(2));
        sheet.page(2).type(kMemo, "x");
        EXPECT_TRUE(sheet.ok());
    });
    EXPECT_EQ(host.runSheet(nullptr, "設定", pages), DialogResult::Ok);
    EXPECT_EQ(size.log.back(), "apply");
    EXPECT_EQ(list.log, std::vector<std::string>{});
    EXPECT_EQ(colour.log.back(), "apply");
    EXPECT_EQ(host.sheets[0].pageTitles,
              (std::vector<std::string>{"サイズ変更", "チップ属性設定", "色設定"}));

    ProbeDialog a(nullptr, "a"), b(nullptr, "b");
    b.acceptApply = false;
    host.sheetScripts.push_back([&](ScriptedSheet& sheet) {
        sheet.page(1);
        sheet.page(0);
        EXPECT_FALSE(sheet.ok());  // b refuses: the sheet stays, showing b
        EXPECT_EQ(sheet.currentPage(), 1);
        EXPECT_FALSE(sheet.hasEnded());
    });
    EXPECT_EQ(host.runSheet(nullptr, "設定", {&a, &b}), DialogResult::Cancel);
    EXPECT_EQ(a.log, (std::vector<std::string>{"init", "1118 Changed", "1038 Changed", "apply"}));
}
