#include "map/MapEditor.h"

#include <gtest/gtest.h>

#include "map/EditHistory.h"
#include "tests/map/EditFixtures.h"

using namespace edit_fixtures;
using Layer = MapGrid::Layer;
using Row = MapGrid::Row;

namespace {

constexpr int kChips = MapGrid::kChipLayer;
constexpr int kKinds = MapGrid::kKindLayer;

// Chip image 8 chips wide; block of chip columns 1 … 2 and rows 3 … 4: p q / r s.
const ChipBlock kTwoByTwo{{1, 3, 2, 4}, 8};
constexpr std::int32_t p = 25, q = 26, r = 33, s = 34;

void expectRect(const EditStep& step, int x1, int y1, int x2, int y2) {
    if (const auto* cells = std::get_if<CellsStep>(&step.change)) {
        EXPECT_EQ(cells->cells, (SelectionRect{x1, y1, x2, y2}));
    } else if (const auto* lines = std::get_if<LinesStep>(&step.change)) {
        EXPECT_EQ(lines->first, lines->columns ? x1 : y1);
        EXPECT_EQ(lines->first + lines->count - 1, lines->columns ? x2 : y2);
    } else {
        ADD_FAILURE() << "no rectangle";
    }
}

const MapGrid::Layer& before(const EditStep& step) {
    return std::get<CellsStep>(step.change).before;
}

// Undoes result's step on grid and checks that grid is original again.
void expectUndoRestores(MapGrid& grid, EditResult& result, const MapGrid& original) {
    ASSERT_TRUE(result.step);
    EditHistory history;
    history.recordStep(std::move(*result.step));
    ASSERT_TRUE(history.undo(grid));
    EXPECT_EQ(grid.columns(), original.columns());
    EXPECT_EQ(grid.rows(), original.rows());
    EXPECT_EQ(grid.chipLayer(), original.chipLayer());
    EXPECT_EQ(grid.kindLayer(), original.kindLayer());
}

}  // namespace

TEST(EditPut, CellRecordsItsValueBeforeAndAfterEvenWhenUnchanged) {
    MapGrid grid = numberedGrid(5, 5);
    EditResult put = MapEditor::put(grid, cursorAt(2, 3), 7);
    EXPECT_TRUE(put.changed);
    EXPECT_EQ(grid.chip(2, 3), 7);
    ASSERT_TRUE(put.step);
    expectRect(*put.step, 2, 3, 2, 3);
    EXPECT_EQ(before(*put.step), (Layer{{302}}));
    EXPECT_TRUE(put.step->selection);

    EditResult again = MapEditor::put(grid, cursorAt(2, 3), 7);
    EXPECT_FALSE(again.changed);
    ASSERT_TRUE(again.step);
    EXPECT_EQ(before(*again.step), (Layer{{7}}));

    EXPECT_FALSE(MapEditor::put(grid, cursorAt(5, 0), 7).step);  // cursor outside the map
}

TEST(EditPut, FillCoversTheSelectionAndRemembersItAsDragged) {
    MapGrid grid = numberedGrid(6, 6);
    const MapGrid original = grid;
    EditResult fill = MapEditor::put(grid, selection(4, 3, 1, 2), 9);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 1 && x <= 4 && y >= 2 && y <= 3;
            EXPECT_EQ(grid.chip(x, y), inside ? 9 : 100 * y + x) << x << "," << y;
        }
    }
    ASSERT_TRUE(fill.step);
    expectRect(*fill.step, 4, 3, 1, 2);
    EXPECT_TRUE(fill.step->selection);
    EXPECT_EQ(before(*fill.step), (Layer{{201, 202, 203, 204}, {301, 302, 303, 304}}));
    expectUndoRestores(grid, fill, original);
}

TEST(EditErase, EmptiesChipsAndLeavesAttributesAlone) {
    MapGrid grid = numberedGrid(4, 4);
    EditResult erase = MapEditor::erase(grid, selection(0, 0, 1, 1));
    EXPECT_EQ(grid.chipLayer()[1], (Row{-1, -1, 102, 103}));
    EXPECT_TRUE(erase.step);

    const MapGrid before = grid;
    EditResult inKinds = MapEditor::erase(grid, cursorAt(2, 2, kKinds));
    EXPECT_FALSE(inKinds.changed);
    EXPECT_FALSE(inKinds.step);
    EXPECT_EQ(grid.kindLayer(), before.kindLayer());
}

TEST(EditBlock, StampOneColumnLeftOfTheRightEdgeIsClipped) {
    MapGrid grid = numberedGrid(40, 40);
    const MapGrid original = grid;
    const ChipBlock threeWideTwoHigh{{0, 0, 2, 1}, 10};  // chips 0 1 2 / 10 11 12
    EditResult stamp = MapEditor::put(grid, cursorAt(38, 5), 0, &threeWideTwoHigh);
    EXPECT_EQ(grid.chipLayer()[5][37], 537);
    EXPECT_EQ(grid.chip(38, 5), 0);
    EXPECT_EQ(grid.chip(39, 5), 1);
    EXPECT_EQ(grid.chip(38, 6), 10);
    EXPECT_EQ(grid.chip(39, 6), 11);
    EXPECT_EQ(grid.chip(38, 7), 738);
    ASSERT_TRUE(stamp.step);
    expectRect(*stamp.step, 38, 5, 39, 6);
    EXPECT_FALSE(stamp.step->selection);
    EXPECT_EQ(before(*stamp.step), (Layer{{538, 539}, {638, 639}}));
    expectUndoRestores(grid, stamp, original);
}

TEST(EditBlock, TwoByTwoTiledOverThreeByThree) {
    MapGrid grid = numberedGrid(5, 5);
    EditResult tiled = MapEditor::put(grid, selection(1, 1, 3, 3), 0, &kTwoByTwo);
    EXPECT_EQ(grid.readRect(kChips, 1, 1, 3, 3), (Layer{{p, q, p}, {r, s, r}, {p, q, p}}));
    EXPECT_EQ(grid.chip(0, 1), 100);
    EXPECT_EQ(grid.chip(4, 3), 304);
    ASSERT_TRUE(tiled.step);
    EXPECT_TRUE(tiled.step->selection);
    expectRect(*tiled.step, 1, 1, 3, 3);
}

TEST(EditBlock, OnlyInTheChipView) {
    MapGrid grid = numberedGrid(4, 4);
    // In the attribute view put ignores the block and puts the value.
    MapEditor::put(grid, cursorAt(1, 1, kKinds), 5, &kTwoByTwo);
    EXPECT_EQ(grid.kind(1, 1), 5);
    EXPECT_EQ(grid.kind(2, 2), 10202);
    EXPECT_FALSE(MapEditor::putBlock(grid, cursorAt(1, 1, kKinds), kTwoByTwo).step);
}

TEST(EditPaste, OneByOneBufferFillsAFourByTwoSelection) {
    MapGrid grid = numberedGrid(6, 4);
    EditResult paste = MapEditor::paste(grid, selection(1, 1, 4, 2), Layer{{77}});
    EXPECT_EQ(grid.readRect(kChips, 1, 1, 4, 2), Layer(2, Row(4, 77)));
    EXPECT_EQ(grid.chip(5, 1), 105);
    EXPECT_EQ(grid.chip(1, 3), 301);
    ASSERT_TRUE(paste.step);
    EXPECT_TRUE(paste.step->selection);
    expectRect(*paste.step, 1, 1, 4, 2);
}

TEST(EditPaste, StampFromTheCursorRecordsEveryCellItChanged) {
    MapGrid grid = numberedGrid(5, 5);
    const MapGrid original = grid;
    EditResult paste = MapEditor::paste(grid, cursorAt(3, 2), Layer{{1, 2, 3}, {4, 5, 6}});
    EXPECT_EQ(grid.readRect(kChips, 3, 2, 2, 2), (Layer{{1, 2}, {4, 5}}));
    ASSERT_TRUE(paste.step);
    expectRect(*paste.step, 3, 2, 4, 3);
    EXPECT_FALSE(paste.step->selection);
    expectUndoRestores(grid, paste, original);
}

TEST(EditPaste, TilesRowsOfDifferentLengthsEachByItsOwnLength) {
    MapGrid grid = numberedGrid(5, 3);
    MapEditor::paste(grid, selection(0, 0, 4, 2), Layer{{1, 2}, {3, 4, 5}});
    EXPECT_EQ(grid.chipLayer(), (Layer{{1, 2, 1, 2, 1}, {3, 4, 5, 3, 4}, {1, 2, 1, 2, 1}}));
}

TEST(EditPaste, EmptyBufferDoesNothing) {
    MapGrid grid = numberedGrid(3, 3);
    EXPECT_FALSE(MapEditor::canPaste(Layer{}));
    EditResult paste = MapEditor::paste(grid, cursorAt(0, 0), Layer{});
    EXPECT_FALSE(paste.changed);
    EXPECT_FALSE(paste.step);
    // A buffer of empty rows (copied beyond a row's end) writes nothing either.
    EXPECT_FALSE(MapEditor::paste(grid, cursorAt(0, 0), Layer{Row{}}).step);
    EXPECT_FALSE(MapEditor::paste(grid, selection(0, 0, 2, 2), Layer{Row{}}).changed);
}

TEST(EditLines, DeletingEveryColumnOrRowIsRefused) {
    MapGrid grid = numberedGrid(40, 40);
    const MapGrid original = grid;
    EditResult columns =
        MapEditor::insertOrDeleteLines(grid, selection(0, 0, 39, 0), true, false, true);
    EXPECT_EQ(columns.message, EditMessage::ColumnDeleteRefused);
    EXPECT_FALSE(columns.step);
    EditResult rows =
        MapEditor::insertOrDeleteLines(grid, selection(0, 39, 0, 0), true, true, false);
    EXPECT_EQ(rows.message, EditMessage::RowDeleteRefused);
    EXPECT_FALSE(rows.step);
    EXPECT_EQ(grid.chipLayer(), original.chipLayer());

    EditResult allButOne =
        MapEditor::insertOrDeleteLines(grid, selection(0, 0, 38, 0), true, false, true);
    EXPECT_EQ(allButOne.message, EditMessage::None);
    EXPECT_EQ(grid.columns(), 1);
    EXPECT_EQ(grid.chip(0, 7), 739);
    EXPECT_EQ(allButOne.cursorColumn, 0);
}

TEST(EditLines, ThreeRowsInsertedOverASelectionOfRowsFiveToSeven) {
    MapGrid grid = numberedGrid(10, 10);
    EditResult insert =
        MapEditor::insertOrDeleteLines(grid, selection(4, 7, 4, 5), false, true, false);
    EXPECT_EQ(grid.rows(), 13);
    for (int y = 5; y <= 7; ++y) {
        EXPECT_EQ(grid.chipLayer()[y], Row(10, -1));
        EXPECT_EQ(grid.kindLayer()[y], Row(10, 0));
    }
    EXPECT_EQ(grid.chip(0, 8), 500);
    EXPECT_EQ(grid.kind(9, 12), 10909);
    EXPECT_TRUE(insert.shapeChanged);
    EXPECT_EQ(insert.cursorRow, 5);
    EXPECT_EQ(insert.cursorColumn, 4);
    ASSERT_TRUE(insert.step);
    EXPECT_FALSE(std::get<LinesStep>(insert.step->change).columns);
    expectRect(*insert.step, 4, 5, 4, 7);
    EXPECT_EQ(insert.step->cursorRow, 5);
}

TEST(EditLines, ColumnsWinWhenBothAreAsked) {
    MapGrid grid = numberedGrid(4, 4);
    EditResult insert = MapEditor::insertOrDeleteLines(grid, cursorAt(1, 1), false, true, true);
    EXPECT_EQ(grid.columns(), 5);
    EXPECT_EQ(grid.rows(), 4);
    ASSERT_TRUE(insert.step);
    EXPECT_TRUE(std::get<LinesStep>(insert.step->change).columns);
}

TEST(EditLines, ColumnInsertionStopsAtTheLimitAndSaysSoOnce) {
    MapGrid grid;
    grid.reset(4999, 3);
    grid.setChip(4998, 2, 5);
    EditResult insert =
        MapEditor::insertOrDeleteLines(grid, selection(4998, 0, 4999, 0), false, false, true);
    EXPECT_EQ(insert.message, EditMessage::ColumnInsertLimit);
    EXPECT_EQ(grid.columns(), 5000);
    for (int y = 0; y < 3; ++y) {
        ASSERT_EQ(grid.chipLayer()[y].size(), 5000u);
    }
    EXPECT_EQ(grid.chip(4999, 2), 5);
    ASSERT_TRUE(insert.step);
    expectRect(*insert.step, 4998, 0, 4998, 0);  // the range ends at the last column inserted

    EditResult full = MapEditor::insertOrDeleteLines(grid, cursorAt(0, 0), false, false, true);
    EXPECT_EQ(full.message, EditMessage::ColumnInsertLimit);
    EXPECT_FALSE(full.changed);
    EXPECT_FALSE(full.step);
}

TEST(EditLines, RowInsertionStopsAtTheLimitKeepingTheRowsInserted) {
    MapGrid grid;
    grid.reset(2, 4998);
    EditResult insert =
        MapEditor::insertOrDeleteLines(grid, selection(0, 10, 0, 14), false, true, false);
    EXPECT_EQ(insert.message, EditMessage::RowInsertLimit);
    EXPECT_EQ(grid.rows(), 5000);
    ASSERT_TRUE(insert.step);
    expectRect(*insert.step, 0, 10, 0, 11);
}

TEST(EditReplace, SameNumberInTheSameLayerDoesNothing) {
    MapGrid grid;
    grid.reset(4, 4);
    grid.setChip(1, 1, 5);
    const EditResult replace = MapEditor::replace(grid, cursorAt(0, 0), 5, 5, kChips, kChips);
    EXPECT_FALSE(replace.changed);
    EXPECT_FALSE(replace.step);
    EXPECT_EQ(replace.message, EditMessage::None);
    EXPECT_EQ(replace.switchToLayer, -1);
}

TEST(EditReplace, ChipFiveToAttributeFiveMarksTheCellsShowingChipFive) {
    MapGrid grid = numberedGrid(4, 4);
    grid.setChip(0, 0, 5);
    grid.setChip(3, 2, 5);
    grid.setKind(3, 2, 5);  // already 5: matched and counted, not changed
    EditResult replace = MapEditor::replace(grid, cursorAt(1, 1), 5, 5, kChips, kKinds);
    EXPECT_EQ(grid.kind(0, 0), 5);
    EXPECT_EQ(grid.kind(3, 2), 5);
    EXPECT_EQ(grid.kind(1, 1), 10101);
    EXPECT_EQ(grid.chip(0, 0), 5);
    EXPECT_EQ(replace.count, 2);
    EXPECT_EQ(replace.message, EditMessage::Replaced);
    EXPECT_EQ(EditMessages::text(replace.message, replace.count), "2個置換しました");
    EXPECT_EQ(replace.switchToLayer, kKinds);
    ASSERT_TRUE(replace.step);
    EXPECT_TRUE(std::holds_alternative<ReplaceStep>(replace.step->change));
    EXPECT_EQ(replace.step->layer, kKinds);
    EXPECT_FALSE(replace.step->selection);
}

TEST(EditCanvas, SizesOutsideOneTo5000AreRefusedWidthFirst) {
    MapGrid grid = numberedGrid(3, 3);
    EXPECT_EQ(MapEditor::setCanvasSize(grid, 0, 0).message, EditMessage::CanvasWidthRange);
    EXPECT_EQ(MapEditor::setCanvasSize(grid, 5001, 10).message, EditMessage::CanvasWidthRange);
    EXPECT_EQ(MapEditor::setCanvasSize(grid, 10, 5001).message, EditMessage::CanvasHeightRange);
    EXPECT_EQ(grid.columns(), 3);
    const EditResult ok = MapEditor::setCanvasSize(grid, 5000, 1);
    EXPECT_TRUE(ok.shapeChanged);
    EXPECT_FALSE(ok.step);
    EXPECT_EQ(grid.columns(), 5000);
    EXPECT_EQ(grid.chip(4999, 0), -1);
    EXPECT_EQ(grid.chip(2, 0), 2);
}

TEST(EditMessageTexts, AreTheEditorsOwnWithTheLimitAsANumber) {
    struct Case {
        EditMessage message;
        const char* text;
        const char* title;
    };
    const Case cases[] = {
        {EditMessage::RowInsertLimit,
         "縦のキャンバス限界サイズは5000です。それ以上は挿入出来ません", "行挿入エラー"},
        {EditMessage::ColumnInsertLimit,
         "横のキャンバス限界サイズは5000です。それ以上は挿入出来ません", "列挿入エラー"},
        {EditMessage::ColumnDeleteRefused, "列を削除出来ません。マップ構成には最低1列は必要です。",
         "列削除エラー"},
        {EditMessage::RowDeleteRefused, "行を削除出来ません。マップ構成には最低1行は必要です。",
         "行削除エラー"},
        {EditMessage::CanvasWidthRange,
         "不正な値が指定されました。キャンバスの横サイズは1～5000の範囲内に納めて下さい。",
         "キャンバスサイズ変更エラー"},
        {EditMessage::CanvasHeightRange,
         "不正な値が指定されました。キャンバスの縦サイズは1～5000の範囲内に納めて下さい。",
         "キャンバスサイズ変更エラー"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EditMessages::text(c.message), c.text);
        EXPECT_EQ(EditMessages::title(c.message), c.title);
    }
    EXPECT_EQ(EditMessages::text(EditMessage::Replaced, 1234), "1234個置換しました");
    EXPECT_EQ(EditMessages::title(EditMessage::Replaced), "置換成功");
    EXPECT_EQ(EditMessages::text(EditMessage::None), "");
}
