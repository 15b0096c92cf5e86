#pragma once

// What every host does, whichever window system it runs on: one suite, instantiated for the
// headless host (platform_tests) and the Qt host (qt_tests). The driver plays the user: before a
// call it arms what the user does with the next box, chooser, menu, dialog or sheet, and shown()
// then tells what that showed.
//
//   struct Driver {
//       platform::Host& host();
//       std::unique_ptr<platform::NativeWindow> window();  // a shown top-level window
//       const void* ownerKey(platform::NativeWindow*);    // an owner as Shown names it
//       void answerBox(platform::MessageAnswer press);    // presses that button
//       void answerFiles(std::vector<std::string> chosen);  // none: cancels
//       void answerColour(std::optional<std::uint32_t> pick, platform::CustomColours leave);
//       void answerMenu(int id);                          // 0: dismisses
//       // act(user) from inside the dialog or sheet; the user does what ScriptedDialog (click,
//       // type, choose, doubleClick, keyUp, drag, pressEnter, pressEscape) or ScriptedSheet
//       // (page, currentPage, ok, cancel, hasEnded) do.
//       template <typename Act> void answerDialog(Act act);
//       template <typename Act> void answerSheet(Act act);
//       host_contract::Shown shown();
//       void letTimersRun(platform::NativeWindow& window);
//       void runIdle(const std::function<bool()>& until);
//   };
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/Host.h"
#include "platform/IdleHandler.h"
#include "tests/support/MessageLog.h"
#include "tests/support/TempDir.h"

namespace host_contract {

struct Shown {
    const void* owner = nullptr;
    std::string title, text;           // a sheet's caption is its title
    std::vector<std::string> filters;  // "description = pattern pattern"
    std::string initialPath, defaultSuffix;
    std::uint32_t initial = 0;  // the colour chooser's
    platform::CustomColours custom{};
    platform::Menu menu;
    std::vector<std::string> tabs;  // a sheet's
};

constexpr int kOk = 1, kCancel = 2, kMemo = 1038, kName = 1039, kShuffle = 1043, kSpare = 1044,
              kNested = 1053, kPassable = 1057, kList = 1108, kLeft = 1118, kLeftUpDown = 1122;

// A dialog after the editor's own: it logs what arrives, fills its controls on init, reads them
// on OK, ends on OK and Cancel, opens a nested dialog from kNested and works its list from code
// on kShuffle.
class ProbeDialog : public platform::Dialog {
public:
    explicit ProbeDialog(std::string title = "チップ属性の設定", platform::Host* host = nullptr,
                         std::vector<std::string>* applied = nullptr)
        : m_title(std::move(title)), m_host(host), m_applied(applied) {}

    platform::DialogTemplate dialogTemplate() const override {
        using K = platform::ControlKind;
        platform::DialogTemplate t{m_title, {300, 260}, {}};
        const struct {
            K kind;
            int id;
            const char* text;
            platform::Rect rect;
        } controls[] = {{K::CheckBox, kPassable, "通行可能", {10, 10, 140, 32}},
                        {K::SpinEdit, kLeft, "", {10, 40, 80, 62}},
                        {K::Edit, kMemo, "", {10, 70, 140, 92}},
                        {K::Edit, kName, "", {150, 70, 290, 92}},
                        {K::ListBox, kList, "", {10, 100, 140, 190}},
                        {K::Button, kNested, "色の選択", {160, 10, 230, 32}},
                        {K::Button, kShuffle, "並べ替え", {160, 36, 230, 58}},
                        {K::Button, kSpare, "削除", {235, 10, 295, 32}},
                        {K::Button, kOk, "OK", {160, 230, 225, 252}},
                        {K::Button, kCancel, "ｷｬﾝｾﾙ", {230, 230, 295, 252}}};
        for (const auto& c : controls) {
            platform::ControlSpec spec = platform::ControlSpec::make(c.kind, c.id, c.text, c.rect);
            spec.buddyId = c.id == kLeft ? kLeftUpDown : 0;
            spec.maxBytes = c.id == kName ? 8 : 0;
            spec.draggable = c.id == kList;
            spec.isDefault = c.id == defaultButton;
            t.controls.push_back(spec);
        }
        return t;
    }
    void onInit(platform::DialogControls& c) override {
        log.push_back("init");
        own = &c.window();
        c.setRange(kLeftUpDown, 0, 31);
        c.setPosition(kLeftUpDown, 4);
        c.setText(kMemo, "石垣");
        c.setChecked(kPassable, true);  // from code: no notification
        c.addItem(kList, "a.png");
        c.addItem(kList, "b.png");
        c.select(kList, 1);
        c.setEnabled(kSpare, false);
        if (withTimer) {
            c.window().setTimer(7, 1);
        }
        if (endOnInit) {
            c.end(platform::DialogResult::Ok);
        }
    }
    void onCommand(platform::DialogControls& c, const platform::DialogCommand& command) override {
        using N = platform::DialogNotification;
        const char* names[] = {"Clicked",       "Changed", "SelectionChanged",
                               "DoubleClicked", "KeyUp",   "ItemDragged"};
        const int id = command.control;
        std::string entry = std::to_string(id) + " " + names[static_cast<int>(command.code)];
        if (command.code == N::Changed && id == kLeft) {
            const platform::SpinPosition p = c.position(kLeftUpDown);
            entry += " " + std::to_string(p.value) + (p.valid ? "" : " out of range");
        } else if (command.code == N::Changed) {
            entry += " " + c.text(id);
        } else if (id == kPassable) {
            entry += c.isChecked(id) ? " on" : " off";  // toggled before it tells
        } else if (command.code == N::KeyUp) {
            entry += " " + std::to_string(command.key);
        } else if (command.code == N::ItemDragged) {
            entry += " " + std::to_string(command.from) + ">" + std::to_string(command.to);
        }
        log.push_back(entry);
        if (command.code != N::Clicked) {
            return;
        }
        if (id == kOk) {
            read = c.text(kMemo) + "|" + c.text(kName) + "|" + std::to_string(c.selection(kList));
            c.end(platform::DialogResult::Ok);
        } else if (id == kCancel && !ignoreCancel) {
            c.end(platform::DialogResult::Cancel);
        } else if (id == kNested && m_host != nullptr) {
            ProbeDialog inner("inner");
            nestedResult = m_host->runDialog(&c.window(), inner);
        } else if (id == kShuffle) {
            // The selection stays on its item while others come and go, and goes with it.
            c.insertItem(kList, 0, {"z.png"});
            std::string list = "list " + std::to_string(c.selection(kList));
            c.deleteItem(kList, 0);
            list += " " + std::to_string(c.selection(kList));
            c.deleteItem(kList, 1);
            list += " " + std::to_string(c.selection(kList));
            c.insertItem(kList, 99, {"c.png"});
            log.push_back(list + " " + c.itemText(kList, 1) + " " +
                          std::to_string(c.itemCount(kList)) + " [" + c.itemText(kList, 5) + "]");
        }
    }
    void onTimer(platform::DialogControls& c, int id) override {
        log.push_back("timer " + std::to_string(id));
        c.window().killTimer(id);
    }
    bool onApply(platform::DialogControls&) override {
        if (m_applied != nullptr && acceptApply) {
            m_applied->push_back(m_title);
        }
        return acceptApply;
    }
    // What arrived after init filled the controls.
    std::vector<std::string> afterInit() const {
        return {log.begin() + std::min<std::size_t>(3, log.size()), log.end()};
    }

    std::vector<std::string> log;
    std::string read;  // on OK: memo|name|list selection
    platform::NativeWindow* own = nullptr;
    int defaultButton = 0;
    bool withTimer = false, endOnInit = false, ignoreCancel = false, acceptApply = true;
    platform::DialogResult nestedResult = platform::DialogResult::Cancel;

private:
    std::string m_title;
    platform::Host* m_host;
    std::vector<std::string>* m_applied;
};

// A menu as one line: ids, texts and hints, "-" after a disabled item, "*" after a checked one.
inline std::string describe(const platform::Menu& menu) {
    std::string text;
    for (const platform::MenuItem& item : menu) {
        using Kind = platform::MenuItem::Kind;
        text += item.kind == Kind::Separator ? std::string("|")
                : item.kind == Kind::Submenu
                    ? item.text + "{" + describe(item.items) + "}"
                    : std::to_string(item.id) + " " + item.text + " " + item.hint;
        text += std::string(item.enabled ? "" : "-") + (item.checked ? "*" : "") + ";";
    }
    return text;
}

template <typename Driver>
class HostContract : public testing::Test {
protected:
    Driver driver;
    platform::Host& host = driver.host();
    std::unique_ptr<platform::NativeWindow> window = driver.window();
};

TYPED_TEST_SUITE_P(HostContract);

TYPED_TEST_P(HostContract, ANewWindowHearsCreateBeforeItIsReturned) {
    testing_support::MessageLog log;
    std::unique_ptr<platform::NativeWindow> made = this->host.createWindow({}, &log);
    ASSERT_FALSE(log.entries.empty());
    EXPECT_EQ(log.entries[0].window, made.get());
    EXPECT_EQ(log.entries[0].message, platform::Message::plain(platform::WM_CREATE));
}

TYPED_TEST_P(HostContract, MessageBoxesShowTheirTextAndReturnTheButtonPressed) {
    using A = platform::MessageAnswer;
    using B = platform::MessageButtons;
    const struct {
        B buttons;
        A press;
    } cases[] = {{B::YesNo, A::Yes}, {B::YesNo, A::No}, {B::OkCancel, A::Cancel}, {B::Ok, A::Ok}};
    const std::string text = "マップの再読み込みをします。よろしいですか？";
    for (const auto& c : cases) {
        platform::NativeWindow* owner = c.buttons != B::Ok ? this->window.get() : nullptr;
        this->driver.answerBox(c.press);
        EXPECT_EQ(
            this->host.messageBox(owner, text, "確認", c.buttons, platform::MessageIcon::Question),
            c.press);
        const Shown shown = this->driver.shown();
        EXPECT_EQ(shown.text, text);
        EXPECT_EQ(shown.title, "確認");
        EXPECT_EQ(shown.owner, this->driver.ownerKey(owner));
    }
}

TYPED_TEST_P(HostContract, FileChoosersShowTheRequestAndReturnWhatWasChosen) {
    testing_support::TempDir dir;
    testing_support::writeText(dir.file("a.map"), "");
    testing_support::writeText(dir.file("b.map"), "");
    platform::FileRequest request{
        "ファイル選択",
        {{"MAP Files (*.map)", "*.map"}, {"IMAGE Files (*.bmp,*.png)", "*.bmp;*.png"}},
        dir.file("a.map"),
        {}};
    auto expectShown = [&](platform::NativeWindow* owner, const char* suffix) {
        const Shown shown = this->driver.shown();
        EXPECT_EQ(shown.owner, this->driver.ownerKey(owner));
        EXPECT_EQ(shown.title, "ファイル選択");
        EXPECT_EQ(shown.filters,
                  (std::vector<std::string>{"MAP Files (*.map) = *.map",
                                            "IMAGE Files (*.bmp,*.png) = *.bmp *.png"}));
        EXPECT_EQ(shown.initialPath, dir.file("a.map"));
        EXPECT_EQ(shown.defaultSuffix, suffix);
    };
    platform::NativeWindow* owner = this->window.get();
    this->driver.answerFiles({dir.file("b.map")});
    EXPECT_EQ(this->host.openFile(owner, request), dir.file("b.map"));
    expectShown(owner, "");
    this->driver.answerFiles({dir.file("a.map"), dir.file("b.map")});
    EXPECT_EQ(this->host.openFiles(nullptr, request),
              (std::vector<std::string>{dir.file("a.map"), dir.file("b.map")}));
    expectShown(nullptr, "");
    request.defaultSuffix = "map";
    this->driver.answerFiles({dir.file("c.map")});
    EXPECT_EQ(this->host.saveFile(owner, request), dir.file("c.map"));
    expectShown(owner, "map");
    this->driver.answerFiles({});
    EXPECT_EQ(this->host.saveFile(owner, request), "");
    this->driver.answerFiles({});
    EXPECT_EQ(this->host.openFile(owner, request), "");
}

// The chosen colour comes back opaque; the custom colours the user leaves come back either way.
TYPED_TEST_P(HostContract, TheColourChooserStartsAtTheColourAndKeepsTheCustomColours) {
    platform::CustomColours custom{}, left{};
    custom[3] = 0xFF102030u;
    left[5] = 0xFF00C000u;
    this->driver.answerColour(0x00AABBCCu, left);
    EXPECT_EQ(this->host.chooseColour(this->window.get(), 0xFF123456u, custom), 0xFFAABBCCu);
    const Shown shown = this->driver.shown();
    EXPECT_EQ(shown.initial, 0xFF123456u);
    EXPECT_EQ(shown.custom[3], 0xFF102030u);
    EXPECT_EQ(shown.owner, this->driver.ownerKey(this->window.get()));
    EXPECT_EQ(custom[5], 0xFF00C000u);
    left[5] = 0xFF0000C0u;
    this->driver.answerColour(std::nullopt, left);
    EXPECT_EQ(this->host.chooseColour(nullptr, 0xFF000000u, custom), std::nullopt);
    EXPECT_EQ(custom[5], 0xFF0000C0u);
}

TYPED_TEST_P(HostContract, PopupMenusShowTheirItemsAndReturnTheChosenId) {
    using platform::MenuItem;
    const platform::Menu menu = {
        MenuItem::command(40014, "コピー(&C)", "Ctrl+C"),
        MenuItem::command(40015, "貼り付け(&V)", "Ctrl+V").setEnabled(false), MenuItem::separator(),
        MenuItem::command(40016, "グリッドの表示(&G)", "G").setChecked(true),
        MenuItem::submenu("表示", {MenuItem::command(40017, "拡大(&Z)").setChecked(true),
                                   MenuItem::command(40018, "縮小(&X)")})};
    this->driver.answerMenu(40016);
    EXPECT_EQ(this->host.popupMenu(*this->window, menu, {5, 5}), 40016);
    EXPECT_EQ(describe(this->driver.shown().menu), describe(menu));
    EXPECT_EQ(this->driver.shown().owner, this->driver.ownerKey(this->window.get()));
    this->driver.answerMenu(0);
    EXPECT_EQ(this->host.popupMenu(*this->window, menu, {5, 5}), 0);
}

// Every control notifies as its Win32 counterpart: changes from code only for texts, a spin
// position typed past its range reads as such, an edit takes no more bytes than its limit.
TYPED_TEST_P(HostContract, DialogControlsReportWhatTheUserDoes) {
    ProbeDialog dialog;
    this->driver.answerDialog([this](auto& u) {
        EXPECT_EQ(this->driver.shown().title, "チップ属性の設定");
        EXPECT_TRUE(u.click(kPassable));
        EXPECT_FALSE(u.click(kSpare));  // disabled
        EXPECT_TRUE(u.type(kLeft, "31"));
        EXPECT_TRUE(u.type(kLeft, "6000"));
        EXPECT_TRUE(u.type(kMemo, "岩"));
        for (const char* name : {"ABCDEFGHI", "ABCDEFGH", "石垣石垣石", "石垣石垣", "石垣🙂"}) {
            EXPECT_EQ(u.type(kName, name),
                      name == std::string("ABCDEFGH") || name == std::string("石垣石垣"))
                << name;
        }
        EXPECT_TRUE(u.choose(kList, 0));
        EXPECT_TRUE(u.choose(kList, 0));  // the same entry again: nothing new
        EXPECT_TRUE(u.keyUp(kList, platform::VK_F2));
        EXPECT_TRUE(u.drag(kList, 0, 7));
        EXPECT_TRUE(u.doubleClick(kList, 1));
        EXPECT_TRUE(u.click(kShuffle));
        EXPECT_TRUE(u.click(kOk));
        EXPECT_FALSE(u.click(kCancel));  // ended
    });
    EXPECT_EQ(this->host.runDialog(nullptr, dialog), platform::DialogResult::Ok);
    EXPECT_EQ(dialog.afterInit(),
              (std::vector<std::string>{
                  "1057 Clicked off", "1118 Changed 31", "1118 Changed 6000 out of range",
                  "1038 Changed 岩", "1039 Changed ABCDEFGH", "1039 Changed 石垣石垣",
                  "1108 SelectionChanged", "1108 KeyUp 113", "1108 ItemDragged 0>-1",
                  "1108 SelectionChanged", "1108 DoubleClicked", "1043 Clicked",
                  "list 2 1 -1 c.png 2 []", "1 Clicked"}));
    EXPECT_EQ(dialog.read, "岩|石垣石垣|-1");
}

TYPED_TEST_P(HostContract, DialogsEndByEscapeEnterAndTheirDefaultButton) {
    using R = platform::DialogResult;
    const struct {
        int defaultButton;
        bool enter;
        R result;
        std::vector<std::string> log;
    } cases[] = {
        {0, false, R::Cancel, {"2 Clicked"}},
        {0, true, R::Ok, {"1 Clicked"}},
        {kShuffle, true, R::Cancel, {"1043 Clicked", "list 2 1 -1 c.png 2 []", "2 Clicked"}}};
    for (const auto& c : cases) {
        ProbeDialog dialog;
        dialog.defaultButton = c.defaultButton;
        this->driver.answerDialog([&c](auto& u) {
            if (c.enter) {
                u.pressEnter();
            }
            u.pressEscape();
        });
        EXPECT_EQ(this->host.runDialog(this->window.get(), dialog), c.result);
        EXPECT_EQ(dialog.afterInit(), c.log);
    }
    ProbeDialog ended;  // ended while initialising: never shown
    ended.endOnInit = true;
    EXPECT_EQ(this->host.runDialog(nullptr, ended), R::Ok);
    EXPECT_EQ(ended.afterInit(), std::vector<std::string>{});
}

TYPED_TEST_P(HostContract, NestedDialogsBelongToTheOuterDialogAndTimersReachTheDialog) {
    ProbeDialog outer("外", &this->host);
    outer.withTimer = true;
    this->driver.answerDialog([&](auto& u) {
        EXPECT_EQ(this->driver.shown().owner, this->driver.ownerKey(this->window.get()));
        this->driver.letTimersRun(*outer.own);
        this->driver.answerDialog([&](auto& inner) {
            EXPECT_EQ(this->driver.shown().title, "inner");
            EXPECT_EQ(this->driver.shown().owner, this->driver.ownerKey(outer.own));
            inner.click(kOk);
        });
        u.click(kNested);
        u.click(kOk);
    });
    EXPECT_EQ(this->host.runDialog(this->window.get(), outer), platform::DialogResult::Ok);
    EXPECT_EQ(outer.nestedResult, platform::DialogResult::Ok);
    EXPECT_EQ(outer.afterInit(),
              (std::vector<std::string>{"timer 7", "1053 Clicked", "1 Clicked"}));
}

// Pages are initialised when first shown; OK applies those shown, in page order, and a page
// that refuses keeps the sheet open on itself; Cancel applies nothing more.
TYPED_TEST_P(HostContract, SheetsInitialisePagesWhenShownAndApplyThemInOrder) {
    std::vector<std::string> applied;
    ProbeDialog size("サイズ変更", nullptr, &applied), list("チップ属性設定", nullptr, &applied),
        colour("色設定", nullptr, &applied);
    this->driver.answerSheet([&](auto& sheet) {
        EXPECT_EQ(sheet.currentPage(), 0);
        EXPECT_TRUE(sheet.page(2).type(kMemo, "x"));
        sheet.ok();
    });
    EXPECT_EQ(this->host.runSheet(this->window.get(), "設定", {&size, &list, &colour}),
              platform::DialogResult::Ok);
    const Shown shown = this->driver.shown();
    EXPECT_EQ(shown.tabs, (std::vector<std::string>{"サイズ変更", "チップ属性設定", "色設定"}));
    EXPECT_EQ(shown.title, "設定");
    EXPECT_EQ(shown.owner, this->driver.ownerKey(this->window.get()));
    EXPECT_EQ(applied, (std::vector<std::string>{"サイズ変更", "色設定"}));
    EXPECT_TRUE(list.log.empty());
    EXPECT_EQ(colour.afterInit(), std::vector<std::string>{"1038 Changed x"});

    applied.clear();
    ProbeDialog a("a", nullptr, &applied), b("b", nullptr, &applied), c("c", nullptr, &applied);
    b.acceptApply = false;
    this->driver.answerSheet([&](auto& sheet) {
        sheet.page(2);
        sheet.page(1);
        sheet.page(0);
        sheet.ok();
        EXPECT_FALSE(sheet.hasEnded());
        EXPECT_EQ(sheet.currentPage(), 1);
        sheet.cancel();
        EXPECT_TRUE(sheet.hasEnded());
    });
    EXPECT_EQ(this->host.runSheet(nullptr, "設定", {&a, &b, &c}), platform::DialogResult::Cancel);
    EXPECT_EQ(applied, std::vector<std::string>{"a"});
}

// Idle passes run while there is work, none after; a wake or a message to a window starts them
// again.
TYPED_TEST_P(HostContract, IdlePassesRunWhileThereIsWorkAndAgainWhenWoken) {
    struct Work : platform::IdleHandler {
        int left = 3, done = 0, passes = 0;
        bool idleStep() override {
            ++passes;
            done += left > 0 ? 1 : 0;
            return --left > 0;
        }
    } work;
    this->host.setIdleHandler(&work);
    this->driver.runIdle([&] { return work.done >= 3; });
    EXPECT_EQ(work.passes, 3);
    work.left = 1;
    this->host.wakeIdle();
    this->driver.runIdle([&] { return work.done >= 4; });
    work.left = 1;
    this->window->setTimer(1, 1);
    this->driver.runIdle([&] { return work.done >= 5; });
    this->window->killTimer(1);
    EXPECT_EQ(work.done, 5);
    this->host.setIdleHandler(nullptr);
}

// No idle pass runs while a box, menu or chooser is up, so each runs one as it opens: what the
// editor drew is on screen behind it. A box that a pass opens runs none inside that pass.
TYPED_TEST_P(HostContract, ABoxMenuOrChooserRunsOneIdlePassAsItOpens) {
    using platform::MessageAnswer;
    using platform::MessageButtons;
    using platform::MessageIcon;
    struct Work : platform::IdleHandler {
        platform::Host* host = nullptr;
        int passes = 0;
        bool opensBox = false;
        bool idleStep() override {
            ++passes;
            if (opensBox) {
                opensBox = false;
                host->messageBox(nullptr, "書き込めません", "復元", MessageButtons::Ok,
                                 MessageIcon::Error);
            }
            return false;
        }
    } work;
    work.host = &this->host;
    this->host.setIdleHandler(&work);
    this->driver.answerBox(MessageAnswer::Ok);
    this->host.messageBox(nullptr, "1個置換しました", "置換成功", MessageButtons::Ok,
                          MessageIcon::None);
    EXPECT_EQ(work.passes, 1);
    this->driver.answerMenu(0);
    this->host.popupMenu(*this->window, {platform::MenuItem::command(40014, "コピー(&C)")}, {5, 5});
    EXPECT_EQ(work.passes, 2);
    this->driver.answerFiles({});
    this->host.openFile(this->window.get(), platform::FileRequest{"ファイル選択", {}, "", {}});
    EXPECT_EQ(work.passes, 3);
    platform::CustomColours custom{};
    this->driver.answerColour(std::nullopt, custom);
    this->host.chooseColour(this->window.get(), 0xFF000000u, custom);
    EXPECT_EQ(work.passes, 4);
    work.opensBox = true;
    this->driver.answerBox(MessageAnswer::Ok);
    this->driver.answerBox(MessageAnswer::Ok);
    this->host.messageBox(nullptr, "終了しますか？", "確認", MessageButtons::Ok,
                          MessageIcon::Question);
    EXPECT_EQ(work.passes, 5);
    this->host.setIdleHandler(nullptr);
}

REGISTER_TYPED_TEST_SUITE_P(HostContract, ANewWindowHearsCreateBeforeItIsReturned,
                            MessageBoxesShowTheirTextAndReturnTheButtonPressed,
                            FileChoosersShowTheRequestAndReturnWhatWasChosen,
                            TheColourChooserStartsAtTheColourAndKeepsTheCustomColours,
                            PopupMenusShowTheirItemsAndReturnTheChosenId,
                            DialogControlsReportWhatTheUserDoes,
                            DialogsEndByEscapeEnterAndTheirDefaultButton,
                            NestedDialogsBelongToTheOuterDialogAndTimersReachTheDialog,
                            SheetsInitialisePagesWhenShownAndApplyThemInOrder,
                            IdlePassesRunWhileThereIsWorkAndAgainWhenWoken,
                            ABoxMenuOrChooserRunsOneIdlePassAsItOpens);

}  // namespace host_contract
