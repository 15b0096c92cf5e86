#include "map/ReplaceDialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/HeadlessHost.h"
#include "platform/headless/HeadlessWindow.h"

using platform::ControlKind;
using platform::DialogResult;
using platform::headless::HeadlessHost;
using platform::headless::HeadlessWindow;
using platform::headless::ScriptedDialog;

namespace {

struct Call {
    int from, to, sourceLayer, targetLayer;
    bool operator==(const Call& o) const {
        return from == o.from && to == o.to && sourceLayer == o.sourceLayer &&
               targetLayer == o.targetLayer;
    }
};

// The shell's side: one dialog object, opened over the map window with the chip set's count.
struct Shell {
    HeadlessHost host;
    HeadlessWindow mapWindow{platform::Size{640, 480}};
    std::vector<Call> calls;
    ReplaceDialog dialog{[this](int from, int to, int source, int target) {
        calls.push_back({from, to, source, target});
    }};

    DialogResult open(int chipCount, std::function<void(ScriptedDialog&)> script) {
        host.dialogScripts.push_back(std::move(script));
        return dialog.run(host, &mapWindow, chipCount);
    }
};

constexpr int kSourceKind = ReplaceDialog::kSourceKindId;
constexpr int kSourceNumber = ReplaceDialog::kSourceNumberId;
constexpr int kTargetKind = ReplaceDialog::kTargetKindId;
constexpr int kTargetNumber = ReplaceDialog::kTargetNumberId;

}  // namespace

TEST(ReplaceDialog, TemplateHoldsTheControlsInOrderAtTwicePixelsPerDialogUnit) {
    ReplaceDialog dialog(nullptr);
    const platform::DialogTemplate t = dialog.dialogTemplate();
    EXPECT_EQ(t.title, "チップの置換");
    EXPECT_EQ(t.size, (platform::Size{270, 312}));

    struct Expected {
        ControlKind kind;
        int id;
        std::string text;
        platform::Rect rect;
    };
    const std::vector<Expected> expected = {
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
    ASSERT_EQ(t.controls.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const platform::ControlSpec& c = t.controls[i];
        EXPECT_EQ(c.kind, expected[i].kind) << i;
        EXPECT_EQ(c.id, expected[i].id) << i;
        EXPECT_EQ(c.text, expected[i].text) << i;
        EXPECT_EQ(c.rect, expected[i].rect) << i;
        EXPECT_EQ(c.isDefault, c.id == 1) << i;
        EXPECT_EQ(c.rect.intersected({0, 0, 270, 312}), c.rect) << "inside the dialog: " << i;
    }
    EXPECT_EQ(t.controls[4].buddyId, 1023);
    EXPECT_EQ(t.controls[9].buddyId, 1022);
}

TEST(ReplaceDialog, OpensWithChipsNumberZeroAndTheChipRange) {
    Shell shell;
    const DialogResult result = shell.open(48, [](ScriptedDialog& d) {
        for (int id : {kSourceKind, kTargetKind}) {
            ASSERT_EQ(d.itemCount(id), 2);
            EXPECT_EQ(d.itemText(id, 0), "チップ");
            EXPECT_EQ(d.itemText(id, 1), "属性");
            EXPECT_EQ(d.selection(id), 0);
            EXPECT_EQ(d.text(id), "チップ");
        }
        for (int id : {kSourceNumber, kTargetNumber}) {
            EXPECT_EQ(d.text(id), "0");
            EXPECT_EQ(d.minimum(id), 0);
            EXPECT_EQ(d.maximum(id), 47);
        }
        EXPECT_EQ(d.minimum(1023), 0) << "the up-down's id reaches the same control";
        d.pressEnter();
    });
    EXPECT_EQ(result, DialogResult::Ok);
    ASSERT_EQ(shell.host.dialogs.size(), 1u);
    EXPECT_EQ(shell.host.dialogs[0].owner, &shell.mapWindow);
    EXPECT_EQ(shell.host.dialogs[0].title, "チップの置換");
    EXPECT_EQ(shell.calls, (std::vector<Call>{{0, 0, 0, 0}})) << "Enter presses OK";
}

TEST(ReplaceDialog, ChoosingAKindSetsItsRangeAndNumberZero) {
    Shell shell;
    shell.open(48, [](ScriptedDialog& d) {
        d.type(kSourceNumber, "12");
        d.type(kTargetNumber, "30");
        d.choose(kSourceKind, 1);
        EXPECT_EQ(d.maximum(kSourceNumber), 99);
        EXPECT_EQ(d.text(kSourceNumber), "0");
        EXPECT_EQ(d.text(kTargetNumber), "30") << "the other group keeps its own";
        EXPECT_EQ(d.maximum(kTargetNumber), 47);
        d.type(kSourceNumber, "99");
        d.choose(kSourceKind, 0);
        EXPECT_EQ(d.maximum(kSourceNumber), 47);
        EXPECT_EQ(d.text(kSourceNumber), "0");
        d.type(kSourceNumber, "5");
        d.choose(kTargetKind, 1);
        d.type(kTargetNumber, "7");
        d.click(1);
    });
    EXPECT_EQ(shell.calls, (std::vector<Call>{{5, 7, 0, 1}}));

    // Attribute to chip, and the number of a kind change counts even when not typed again.
    shell.open(48, [](ScriptedDialog& d) {
        d.choose(kSourceKind, 1);
        d.type(kSourceNumber, "3");
        d.type(kTargetNumber, "40");
        d.choose(kTargetKind, 1);
        d.choose(kTargetKind, 0);
        d.click(1);
    });
    EXPECT_EQ(shell.calls.back(), (Call{3, 0, 1, 0}));
}

TEST(ReplaceDialog, TextTheUpDownCannotTakeKeepsTheLastValidNumber) {
    Shell shell;
    shell.open(48, [](ScriptedDialog& d) {
        d.type(kSourceNumber, "12");
        d.type(kSourceNumber, "");
        d.type(kSourceNumber, "x");
        d.type(kSourceNumber, "48");  // one past the last chip
        d.type(kSourceNumber, "-1");
        d.choose(kTargetKind, 1);
        d.type(kTargetNumber, "99");
        d.type(kTargetNumber, "100");
        d.click(1);
    });
    EXPECT_EQ(shell.calls, (std::vector<Call>{{12, 99, 0, 1}}));
}

TEST(ReplaceDialog, CancelAndEscapeReplaceNothing) {
    Shell shell;
    EXPECT_EQ(shell.open(48,
                         [](ScriptedDialog& d) {
                             d.type(kSourceNumber, "4");
                             d.click(2);
                         }),
              DialogResult::Cancel);
    EXPECT_EQ(shell.open(48, [](ScriptedDialog& d) { d.pressEscape(); }), DialogResult::Cancel);
    EXPECT_TRUE(shell.calls.empty());
}

TEST(ReplaceDialog, EveryOpeningStartsAfreshWithTheCurrentChipCount) {
    Shell shell;
    shell.open(48, [](ScriptedDialog& d) {
        d.choose(kSourceKind, 1);
        d.type(kSourceNumber, "9");
        d.choose(kTargetKind, 1);
        d.click(2);
    });
    shell.open(256, [](ScriptedDialog& d) {
        EXPECT_EQ(d.selection(kSourceKind), 0);
        EXPECT_EQ(d.text(kSourceNumber), "0");
        EXPECT_EQ(d.maximum(kSourceNumber), 255);
        EXPECT_EQ(d.maximum(kTargetNumber), 255);
        d.type(kSourceNumber, "200");
        d.click(1);
    });
    // A chip set of no chips still leaves number 0 in range.
    shell.open(0, [](ScriptedDialog& d) {
        EXPECT_EQ(d.maximum(kSourceNumber), 0);
        d.click(1);
    });
    EXPECT_EQ(shell.calls, (std::vector<Call>{{200, 0, 0, 0}, {0, 0, 0, 0}}));
}
