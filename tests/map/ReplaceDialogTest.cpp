#include "map/ReplaceDialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/HeadlessHost.h"
#include "platform/headless/HeadlessWindow.h"

using platform::ControlKind;
using platform::DialogResult;
using platform::headless::ScriptedDialog;
using Script = std::function<void(ScriptedDialog&)>;

namespace {

constexpr int kSourceKind = ReplaceDialog::kSourceKindId;
constexpr int kSourceNumber = ReplaceDialog::kSourceNumberId;
constexpr int kTargetKind = ReplaceDialog::kTargetKindId;
constexpr int kTargetNumber = ReplaceDialog::kTargetNumberId;

// The shell's side: one dialog object, opened over the map window with the chip set's count;
// each call of the replace function noted as "from to source target".
struct Shell {
    platform::headless::HeadlessHost host;
    platform::headless::HeadlessWindow mapWindow{platform::Size{640, 480}};
    std::vector<std::string> calls;
    ReplaceDialog dialog{[this](int from, int to, int source, int target) {
        calls.push_back(std::to_string(from) + " " + std::to_string(to) + " " +
                        std::to_string(source) + " " + std::to_string(target));
    }};

    DialogResult open(int chipCount, Script script) {
        host.dialogScripts.push_back(std::move(script));
        return dialog.run(host, &mapWindow, chipCount);
    }
};

}  // namespace

TEST(ReplaceDialog, TemplateHoldsTheControlsInOrderAtTwicePixelsPerDialogUnit) {
    const platform::DialogTemplate t = ReplaceDialog(nullptr).dialogTemplate();
    EXPECT_EQ(t.title, "チップの置換");
    EXPECT_EQ(t.size, (platform::Size{270, 312}));
    const struct {
        ControlKind kind;
        int id;
        std::string text;
        platform::Rect rect;
    } expected[] = {
        {ControlKind::GroupBox, 0, "置換したいチップの種別と番号", {26, 10, 238, 120}},
        {ControlKind::Label, 0, "種別", {38, 38, 68, 54}},
        {ControlKind::ComboBox, 1059, "", {72, 36, 168, 64}},
        {ControlKind::Label, 0, "番号", {38, 78, 68, 94}},
        {ControlKind::SpinEdit, 1004, "", {72, 74, 170, 102}},
        {ControlKind::GroupBox, 0, "置換した後のチップの種別と番号", {26, 144, 242, 256}},
        {ControlKind::Label, 0, "種別", {38, 172, 68, 188}},
        {ControlKind::ComboBox, 1060, "", {72, 168, 168, 196}},
        {ControlKind::Label, 0, "番号", {38, 210, 68, 226}},
        {ControlKind::SpinEdit, 1006, "", {72, 206, 170, 234}},
        {ControlKind::Button, 1, "OK", {16, 270, 116, 298}},
        {ControlKind::Button, 2, "ｷｬﾝｾﾙ", {146, 270, 246, 298}},
    };
    ASSERT_EQ(t.controls.size(), std::size(expected));
    for (std::size_t i = 0; i < t.controls.size(); ++i) {
        const platform::ControlSpec& c = t.controls[i];
        EXPECT_TRUE(c.kind == expected[i].kind && c.id == expected[i].id &&
                    c.text == expected[i].text && c.rect == expected[i].rect &&
                    c.isDefault == (c.id == 1))
            << i;
    }
    EXPECT_EQ(t.controls[4].buddyId, 1023);
    EXPECT_EQ(t.controls[9].buddyId, 1022);
}

TEST(ReplaceDialog, OpensOnChipNumberZeroWithTheChipRangeOverTheMapWindow) {
    Shell shell;
    const DialogResult result = shell.open(48, [](ScriptedDialog& d) {
        for (int id : {kSourceKind, kTargetKind}) {
            ASSERT_EQ(d.itemCount(id), 2);
            EXPECT_EQ(d.itemText(id, 0) + d.itemText(id, 1), "チップ属性");
            EXPECT_EQ(d.text(id), "チップ");
        }
        for (int id : {kSourceNumber, kTargetNumber}) {
            EXPECT_EQ(d.text(id) + " " + std::to_string(d.minimum(id)) + ".." +
                          std::to_string(d.maximum(id)),
                      "0 0..47");
        }
        EXPECT_EQ(d.minimum(1023), 0) << "the up-down's id reaches the same control";
        d.pressEnter();
    });
    EXPECT_EQ(result, DialogResult::Ok);
    ASSERT_EQ(shell.host.dialogs.size(), 1u);
    EXPECT_EQ(shell.host.dialogs[0].owner, &shell.mapWindow);
    EXPECT_EQ(shell.calls, std::vector<std::string>{"0 0 0 0"}) << "Enter presses OK";
}

// What the user does in the dialog, and the replace it asks for (none when cancelled).
TEST(ReplaceDialog, KindsSetTheirRangesAndNumbersTheUpDownCannotTakeAreIgnored) {
    const struct {
        const char* what;
        int chipCount;
        Script script;
        const char* call;
    } cases[] = {
        {"a kind change sets number 0 and the kind's range in its own group", 48,
         [](ScriptedDialog& d) {
             d.type(kSourceNumber, "12");
             d.type(kTargetNumber, "30");
             d.choose(kSourceKind, 1);
             EXPECT_EQ(d.maximum(kSourceNumber), 99);
             EXPECT_EQ(d.text(kSourceNumber), "0");
             EXPECT_EQ(d.maximum(kTargetNumber), 47);
             d.type(kSourceNumber, "99");
             d.choose(kSourceKind, 0);
             EXPECT_EQ(d.maximum(kSourceNumber), 47);
             d.type(kSourceNumber, "5");
             d.choose(kTargetKind, 1);
             d.type(kTargetNumber, "7");
             d.click(1);
         },
         "5 7 0 1"},
        {"the number set by a kind change counts untyped", 48,
         [](ScriptedDialog& d) {
             d.choose(kSourceKind, 1);
             d.type(kSourceNumber, "3");
             d.type(kTargetNumber, "40");
             d.choose(kTargetKind, 1);
             d.choose(kTargetKind, 0);
             d.click(1);
         },
         "3 0 1 0"},
        {"text the up-down cannot take keeps the last valid number", 48,
         [](ScriptedDialog& d) {
             for (const char* text : {"12", "", "x", "48", "-1"}) {
                 d.type(kSourceNumber, text);
             }
             d.choose(kTargetKind, 1);
             d.type(kTargetNumber, "99");
             d.type(kTargetNumber, "100");
             d.click(1);
         },
         "12 99 0 1"},
        {"the chip count of this opening", 256,
         [](ScriptedDialog& d) {
             EXPECT_EQ(d.maximum(kTargetNumber), 255);
             d.type(kSourceNumber, "200");
             d.click(1);
         },
         "200 0 0 0"},
        {"a chip set of no chips still has number 0", 0,
         [](ScriptedDialog& d) {
             EXPECT_EQ(d.maximum(kSourceNumber), 0);
             d.click(1);
         },
         "0 0 0 0"},
        {"Cancel", 48,
         [](ScriptedDialog& d) {
             d.choose(kSourceKind, 1);
             d.type(kSourceNumber, "4");
             d.click(2);
         },
         nullptr},
        {"Escape", 48, [](ScriptedDialog& d) { d.pressEscape(); }, nullptr},
    };
    Shell shell;  // one dialog for all: every opening starts afresh
    for (const auto& c : cases) {
        shell.calls.clear();
        const DialogResult result = shell.open(c.chipCount, [&](ScriptedDialog& d) {
            EXPECT_EQ(d.selection(kSourceKind), 0) << c.what;
            EXPECT_EQ(d.text(kSourceNumber), "0") << c.what;
            c.script(d);
        });
        EXPECT_EQ(result, c.call ? DialogResult::Ok : DialogResult::Cancel) << c.what;
        EXPECT_EQ(shell.calls,
                  c.call ? std::vector<std::string>{c.call} : std::vector<std::string>{})
            << c.what;
    }
}
