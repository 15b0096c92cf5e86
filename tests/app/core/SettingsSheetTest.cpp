// The settings sheet and the attribute dialogs as the editor opens them: from its menu and from
// a double-click in the attribute window, on the recording window system.
#include <gtest/gtest.h>

#include "app/core/Application.h"
#include "app/core/ColourSettingsPage.h"
#include "app/core/Menus.h"
#include "app/core/SizeSettingsPage.h"
#include "chips/ChipScreen.h"
#include "chips/KindEditDialog.h"
#include "chips/KindListPage.h"
#include "chips/KindScreen.h"
#include "map/MapScreen.h"
#include "platform/Message.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/support/TempDir.h"

using namespace platform;
using namespace platform::headless;
using namespace testing_support;
using S = SizeSettingsPage;
using C = ColourSettingsPage;

namespace {

struct Editor {
    TempDir dir;
    HeadlessHost host;
    Application app{host, SettingsLocation{dir.file("Pelorin.ini"), dir.file("Pelorin.ini"), {}}};

    Editor() { EXPECT_TRUE(app.start()); }
    MapScreen& map() { return *app.mapScreen(); }
    HeadlessWindow& window(const char* className) { return *host.window(className); }
    // Opens the sheet from the menu; script works it and ends it with ok() or cancel().
    void sheet(std::function<void(ScriptedSheet&)> script) {
        host.sheetScripts.push_back(std::move(script));
        window("mapeditor").send(Message::command(command::Settings));
    }
    // Canvas, chip size, map window and chip window.
    std::string sizes() {
        std::string all;
        for (Size s : {Size{map().document().grid().columns(), map().document().grid().rows()},
                       map().chipSize(), window("mapeditor").clientSize(),
                       map().chipScreen()->windowSize()}) {
            all += std::to_string(s.width) + "x" + std::to_string(s.height) + " ";
        }
        return all;
    }
    std::vector<std::string> boxes() const {
        std::vector<std::string> texts;
        for (const HeadlessHost::Box& b : host.boxes) {
            EXPECT_EQ(b.owner, app.mapWindow());
            texts.push_back(b.title + ": " + b.text);
        }
        return texts;
    }
};

// "minimum..maximum=text " of each up-down.
std::string fields(ScriptedDialog& p, std::initializer_list<int> upDowns) {
    std::string shown;
    for (int id : upDowns) {
        shown += std::to_string(p.minimum(id)) + ".." + std::to_string(p.maximum(id)) + "=" +
                 p.text(id) + " ";
    }
    return shown;
}

}  // namespace

TEST(SettingsSheet, OpensOnTheEditorsSizesAndAppliesOnlyWhatChanged) {
    Editor e;
    e.map().insertOrDeleteLines(false, true, false);  // something to undo
    e.sheet([](ScriptedSheet& s) {
        ScriptedDialog& p = s.page(0);
        EXPECT_EQ(
            fields(p, {S::kColumnsUpDownId, S::kRowsUpDownId, S::kChipWidthUpDownId,
                       S::kChipHeightUpDownId, S::kWindowWidthUpDownId, S::kWindowHeightUpDownId}),
            "1..5000=40 1..5000=41 16..64=32 16..64=32 320..1280=800 200..1024=600 ");
        EXPECT_EQ(p.text(S::kWindowKindId), "マップウィンドウサイズ");
        EXPECT_EQ(p.itemText(S::kWindowKindId, 1), "チップウィンドウサイズ");
        p.type(S::kColumnsId, "50");
        p.type(S::kColumnsId, "40");  // back to where it was
        s.ok();
    });
    ASSERT_EQ(e.host.sheets.size(), 1u);
    EXPECT_EQ(e.host.sheets[0].owner, e.app.mapWindow());
    EXPECT_EQ(e.host.sheets[0].caption, "設定");
    EXPECT_EQ(e.host.sheets[0].pageTitles,
              (std::vector<std::string>{"サイズ変更", "チップ属性設定", "色設定"}));
    EXPECT_TRUE(e.map().document().canUndo()) << "no setter ran";

    e.sheet([](ScriptedSheet& s) {
        s.page(0).type(S::kColumnsId, "60");
        s.page(2).type(C::kEditIds[C::kGrid][C::kRed], "200");
        s.cancel();
    });
    EXPECT_EQ(e.sizes(), "40x41 32x32 800x600 800x600 ");
    EXPECT_EQ(e.map().colours().grid, 0xFF000000u);
    EXPECT_TRUE(e.map().document().canUndo());
}

TEST(SettingsSheet, TheSettersReportValuesBeyondTheRangesOrNotNumbers) {
    const std::string canvas = "キャンバスサイズ変更エラー: 不正な値が指定されました。キャンバスの";
    const std::string canvasX = canvas + "横サイズは1～5000の範囲内に納めて下さい。";
    const std::string canvasY = canvas + "縦サイズは1～5000の範囲内に納めて下さい。";
    const std::string chip = "チップサイズ変更エラー: 不正な値が指定されました";
    const std::string window =
        "ウィンドウサイズ変更エラー: 不正な値が入力されました。ウィンドウの横サイズは320～1280、"
        "縦サイズは200～1024の範囲内に納めて下さい。";
    const struct {
        const char* typed[6];  // columns, rows, chip width and height, window width and height
        std::vector<std::string> boxes;
        const char* sizes;
    } cases[] = {
        {{"6000", "", "", "", "", ""}, {canvasX}, "40x40 32x32 800x600 800x600 "},
        {{"", "abc", "8", "", "", "1025"}, {canvasY, chip, window}, "40x40 32x32 800x600 800x600 "},
        {{"50", "30", "48", "24", "1280", "200"}, {}, "50x30 48x24 1280x200 800x600 "},
    };
    const int edits[] = {S::kColumnsId,    S::kRowsId,        S::kChipWidthId,
                         S::kChipHeightId, S::kWindowWidthId, S::kWindowHeightId};
    for (const auto& c : cases) {
        Editor e;
        e.sheet([&](ScriptedSheet& s) {
            for (int i = 0; i < 6; ++i) {
                if (*c.typed[i] != 0) {
                    s.page(0).type(edits[i], c.typed[i]);
                }
            }
            s.ok();
        });
        EXPECT_EQ(e.boxes(), c.boxes) << c.sizes;
        EXPECT_EQ(e.sizes(), c.sizes);
    }
}

TEST(SettingsSheet, TheWindowComboSwitchesBetweenTwoWorkingPairs) {
    Editor e;
    e.sheet([](ScriptedSheet& s) {
        ScriptedDialog& p = s.page(0);
        p.type(S::kWindowWidthId, "900");
        p.choose(S::kWindowKindId, S::kChipWindow);
        EXPECT_EQ(p.text(S::kWindowWidthId) + "x" + p.text(S::kWindowHeightId), "800x600");
        p.type(S::kWindowWidthId, "700");
        p.type(S::kWindowHeightId, "400");
        p.choose(S::kWindowKindId, S::kMapWindow);
        EXPECT_EQ(p.text(S::kWindowWidthId) + "x" + p.text(S::kWindowHeightId), "900x600");
        s.ok();
    });
    EXPECT_EQ(e.sizes(), "40x40 32x32 900x600 700x400 ");
    // The chip window's size beyond the range is reported as the map window's is.
    e.sheet([](ScriptedSheet& s) {
        s.page(0).choose(S::kWindowKindId, S::kChipWindow);
        s.page(0).type(S::kWindowWidthId, "2000");
        s.ok();
    });
    ASSERT_EQ(e.boxes().size(), 1u);
    EXPECT_EQ(e.host.boxes[0].title, "ウィンドウサイズ変更エラー");
    EXPECT_EQ(e.sizes(), "40x40 32x32 900x600 700x400 ");
}

TEST(SettingsSheet, ColourPageEditsWorkingCopiesPerWindowAndOkAppliesThem) {
    Editor e;
    const int gridAlpha = C::kEditIds[C::kGrid][C::kAlpha];
    const int fillAlpha = C::kEditIds[C::kSelectionFill][C::kAlpha];
    e.sheet([&](ScriptedSheet& s) {
        ScriptedDialog& p = s.page(2);
        EXPECT_EQ(p.text(C::kWindowKindId) + p.text(fillAlpha), "マップウィンドウ128");
        p.choose(C::kWindowKindId, C::kChipWindow);
        p.type(gridAlpha, "64");
        p.choose(C::kWindowKindId, C::kMapWindow);
        EXPECT_EQ(p.text(gridAlpha), "255");
        p.choose(C::kWindowKindId, C::kKindWindow);
        EXPECT_FALSE(p.isShown(fillAlpha) || p.isShown(C::kEditIds[C::kSelectionFrame][0]))
            << "the attribute window has no selection";
        p.type(C::kEditIds[C::kCursor][C::kGreen], "300");  // beyond the range: 255
        p.choose(C::kWindowKindId, C::kChipWindow);
        EXPECT_TRUE(p.isShown(fillAlpha));
        EXPECT_EQ(p.text(gridAlpha), "64");
        s.ok();
    });
    EXPECT_EQ(e.map().chipScreen()->colours().grid, 0x40000000u);
    EXPECT_EQ(e.map().kindScreen()->colours().cursor, 0xFFFFFF00u);
    EXPECT_EQ(e.map().colours().grid, 0xFF000000u);
    EXPECT_EQ(e.map().colours().selectionFill, 0x80FFFFFFu);
}

TEST(SettingsSheet, AnAttributeEditedByDoubleClickOrFromTheListShowsInRowTitleAndCell) {
    Editor e;
    HeadlessWindow& kinds = e.window("kindview");
    kinds.send(Message::mouse(WM_LBUTTONDOWN, 7 * 32 + 5, 5, MK_LBUTTON));
    e.host.colourAnswers = {0x102030};
    e.host.dialogScripts.push_back([](ScriptedDialog& d) {
        d.click(KindEditDialog::kDropThroughId);
        d.click(KindEditDialog::kChooseColourId);
        d.type(KindEditDialog::kHitRightId, "9");
        d.pressEnter();
    });
    kinds.send(Message::mouse(WM_LBUTTONDBLCLK, 7 * 32 + 5, 5, MK_LBUTTON));
    EXPECT_EQ(e.host.dialogs.at(0).owner, &kinds);
    const std::string title =
        "Pelorin  属性7番 [属性未定義] (赤16:緑32:青48) 通行可能 段下り可 "
        "当り矩形(左0:右9:上0:下0) Z座標:0";
    EXPECT_EQ(kinds.title(), title);
    EXPECT_EQ(kinds.pixel(7 * 32 + 10, 10), 0xFF102030u);

    const std::vector<std::string> row7 = {
        "7", "属性未定義", "赤:16 緑:32 青:48", "通行可能", "段落可能", "左:0 右:9 上:0 下:0", "0"};
    e.sheet([&](ScriptedSheet& s) {
        ScriptedDialog& p = s.page(1);
        auto row = [&](int i) {
            std::vector<std::string> cells;
            for (int c = 0; c < 7; ++c) {
                cells.push_back(p.itemText(KindListPage::kListId, i, c));
            }
            return cells;
        };
        EXPECT_EQ(p.itemCount(KindListPage::kListId), 100);
        EXPECT_EQ(row(7), row7);
        p.click(KindListPage::kEditId);
        EXPECT_EQ(e.host.dialogs.size(), 1u) << "no row selected: nothing";
        p.choose(KindListPage::kListId, 7);
        e.host.dialogScripts.push_back([](ScriptedDialog& d) {
            d.type(KindEditDialog::kMemoId, "水面");
            d.pressEscape();
        });
        p.click(KindListPage::kEditId);
        EXPECT_EQ(row(7), row7) << "rebuilt unchanged after Cancel";
        e.host.dialogScripts.push_back([](ScriptedDialog& d) {
            d.type(KindEditDialog::kMemoId, "水面");
            d.click(KindEditDialog::kDropThroughId);
            d.pressEnter();
        });
        p.click(KindListPage::kEditId);
        EXPECT_EQ(row(7)[1] + row(7)[4], "水面段落不可");
        EXPECT_EQ(p.selection(KindListPage::kListId), 7);
        EXPECT_EQ(e.host.dialogs.back().owner, &p.window());
        s.cancel();
    });
    EXPECT_NE(kinds.title().find("[水面] (赤16:緑32:青48) 通行可能 段下り不可"), std::string::npos);
}
