#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "chips/KindDialogState.h"
#include "chips/KindEditDialog.h"
#include "chips/KindListPage.h"
#include "chips/KindScreen.h"
#include "platform/headless/HeadlessHost.h"

using platform::DialogResult;
using platform::headless::HeadlessHost;
using platform::headless::ScriptedDialog;
using E = KindEditDialog;
using Cells = std::vector<std::string>;

namespace {

platform::Size chipSize() {
    return {48, 24};
}

// The shared state over an unattached attribute screen.
struct Kinds {
    HeadlessHost host;
    KindScreen screen{host};
    int redraws = 0;
    KindDialogState state{host, screen, chipSize, [this] { ++redraws; }};
    Kinds() { screen.table().resetToDefaults(7); }
    KindTable& table() { return screen.table(); }
    DialogResult edit(int number, std::function<void(ScriptedDialog&)> script) {
        host.dialogScripts.push_back(std::move(script));
        return state.edit(nullptr, number);
    }
};

// Record 7 as a file may hold it: its own number, Z and right edge beyond the dialog's ranges.
KindRecord sample() {
    KindRecord r;
    r.number = 70, r.z = 300, r.red = 1, r.green = 2, r.blue = 3, r.passable = 0;
    r.dropThrough = 1, r.hitLeft = 1, r.hitTop = 2, r.hitRight = 50, r.hitBottom = 4;
    r.setMemoText("石垣");
    return r;
}

std::vector<int> numbers(const KindRecord& r) {
    return {r.number,    r.passable, r.dropThrough, r.hitLeft, r.hitRight, r.hitTop,
            r.hitBottom, r.z,        r.red,         r.green,   r.blue};
}

std::string kanji(int count) {
    std::string text;
    while (count-- > 0) {
        text += "漢";
    }
    return text;
}

const int kUpDowns[] = {E::kHitLeftUpDownId, E::kHitRightUpDownId, E::kHitTopUpDownId,
                        E::kHitBottomUpDownId, E::kZUpDownId};

}  // namespace

TEST(KindEditDialog, ShowsTheRecordCancelKeepsItOkStoresEveryFieldClampedIntoItsRange) {
    Kinds k;
    k.table().setRecord(7, sample());
    const DialogResult cancelled = k.edit(7, [](ScriptedDialog& d) {
        EXPECT_EQ(d.window().title(), "チップ属性　70番の設定") << "the record's own number";
        std::string shown = d.text(E::kMemoId);
        for (int id : kUpDowns) {
            shown += " " + std::to_string(d.minimum(id)) + ".." + std::to_string(d.maximum(id)) +
                     "=" + d.text(id);
        }
        EXPECT_EQ(shown, "石垣 0..47=1 0..47=47 0..23=2 0..23=4 0..255=255");
        EXPECT_EQ(d.isChecked(E::kPassableId), false);
        EXPECT_EQ(d.isChecked(E::kDropThroughId), true);
        EXPECT_EQ(d.text(E::kRedId) + d.text(E::kGreenId) + d.text(E::kBlueId),
                  "赤成分値：1緑成分値：2青成分値：3");
        EXPECT_EQ(d.colour(E::kSwatchId), 0xFF010203u);
        d.click(E::kPassableId);
        d.type(E::kMemoId, "変更");
        d.pressEscape();
    });
    EXPECT_EQ(cancelled, DialogResult::Cancel);
    const KindRecord stored = k.table().record(7), original = sample();
    EXPECT_EQ(std::memcmp(&stored, &original, sizeof stored), 0);

    platform::CustomColours custom{};
    custom[0] = 0xFFABCDEF;
    k.host.customColoursAfter = custom;
    k.host.colourAnswers = {std::nullopt, 0x123456};
    k.edit(7, [&](ScriptedDialog& d) {
        d.click(E::kPassableId);
        d.click(E::kDropThroughId);
        const char* typed[] = {"5", "99", "-3", "abc", " 200 "};  // in range, beyond, no number
        for (int i = 0; i < 5; ++i) {
            d.type(kUpDowns[i], typed[i]);
        }
        // The memo takes at most 259 bytes of code page 932, two for each of these kanji.
        EXPECT_FALSE(d.type(E::kMemoId, kanji(130)));
        EXPECT_FALSE(d.type(E::kMemoId, "石垣😀")) << "no code page 932 form";
        EXPECT_TRUE(d.type(E::kMemoId, kanji(129)));
        d.click(E::kChooseColourId);  // cancelled: nothing changes
        EXPECT_EQ(d.text(E::kRedId), "赤成分値：1");
        d.click(E::kChooseColourId);
        EXPECT_EQ(d.text(E::kRedId) + d.text(E::kGreenId) + d.text(E::kBlueId),
                  "赤成分値：18緑成分値：52青成分値：86");
        EXPECT_EQ(d.colour(E::kSwatchId), 0xFF123456u);
        EXPECT_EQ(k.host.colourChoosers.back().owner, &d.window());
        d.pressEnter();
    });
    EXPECT_EQ(numbers(k.table().record(7)),
              (std::vector<int>{70, 1, 0, 5, 47, 0, 0, 200, 0x12, 0x34, 0x56}));
    EXPECT_EQ(k.table().record(7).memoText(), kanji(129));
    EXPECT_EQ(k.redraws, 2) << "redrawn whatever the answer";

    k.edit(5, [](ScriptedDialog& d) { d.click(E::kChooseColourId); });
    ASSERT_EQ(k.host.colourChoosers.size(), 3u);
    for (const auto& call : k.host.colourChoosers) {
        EXPECT_EQ(call.initial, 0xFF000000u) << "the chooser opens on black";
    }
    EXPECT_EQ(k.host.colourChoosers[2].custom, custom) << "custom colours kept to the next dialog";
}

TEST(KindListPage, ANumberWithoutARecordIsShownAsSuchAndEditingItGrowsTheTable) {
    Kinds k;
    k.table().assign({k.table().record(0), k.table().record(1)});
    EXPECT_EQ(KindListPage::rowCells(k.table(), 4, k.host),
              (Cells{"4", "(属性データなし)", "", "", "", "", ""}));
    k.edit(4, [](ScriptedDialog& d) { d.pressEnter(); });
    ASSERT_EQ(k.table().count(), 5);
    for (int i = 2; i < 5; ++i) {
        EXPECT_EQ(numbers(k.table().record(i)),
                  (std::vector<int>{i, 1, 0, 0, 0, 0, 0, 0, 0xBE, 0xBE, 0xBE}));
        EXPECT_EQ(k.table().record(i).memoText(), "属性未定義");
    }
}
