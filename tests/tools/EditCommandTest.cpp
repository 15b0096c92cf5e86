// Runs the built `pelorin-tool edit` on maps and scripts made here and checks the cells it
// leaves, its messages and its exit codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "map/MapFile.h"
#include "tests/chips/ScreenTestSupport.h"
#include "tests/support/TempDir.h"
#include "tests/tools/ToolRunner.h"

using namespace testing_support;

namespace {

using Rows = std::vector<std::vector<int>>;

MapGrid gridOf(const Rows& chips, const Rows& kinds = {}) {
    MapGrid::Layer chipLayer, kindLayer;
    for (std::size_t r = 0; r < chips.size(); ++r) {
        chipLayer.emplace_back(chips[r].begin(), chips[r].end());
        kindLayer.emplace_back(chips[r].size(), 0);
        if (r < kinds.size()) {
            kindLayer.back().assign(kinds[r].begin(), kinds[r].end());
        }
    }
    MapGrid grid;
    const int columns = chips.empty() ? 0 : static_cast<int>(chips[0].size());
    grid.assign(std::move(chipLayer), std::move(kindLayer), columns,
                static_cast<int>(chips.size()));
    return grid;
}

Rows blank(int columns, int rows, int value) {
    return Rows(rows, std::vector<int>(columns, value));
}

Rows rowsOf(const MapGrid::Layer& layer) {
    Rows rows;
    for (const MapGrid::Row& row : layer) {
        rows.emplace_back(row.begin(), row.end());
    }
    return rows;
}

class EditCommand : public ::testing::Test {
protected:
    // dir/m.map holding grid, with the given stored chip size.
    std::string writeMap(MapGrid grid, int chipWidth = 32, int chipHeight = 32) {
        grid.setChipSize(chipWidth, chipHeight);
        std::string path = dir.file("m.map");
        EXPECT_TRUE(MapFile::save(path, grid));
        return path;
    }

    // A 128 × 64 chip image: 4 × 2 chips of 32 pixels, numbered 0 1 2 3 / 4 5 6 7.
    std::string chips() {
        const std::string path = dir.file("chips.bmp");
        screen_test::writeChipImage(path, 128, 64);
        return path;
    }

    ToolRun edit(const std::string& map, const std::string& script,
                 std::vector<std::string> extra = {}) {
        writeText(dir.file("s.txt"), script);
        std::vector<std::string> args = {"edit", map, "--script", dir.file("s.txt")};
        args.insert(args.end(), extra.begin(), extra.end());
        return tool(dir, args);
    }

    ToolRun editWithChips(const std::string& map, const std::string& script,
                          std::vector<std::string> extra = {}) {
        extra.insert(extra.begin(), {"--chips", chips()});
        return edit(map, script, extra);
    }

    MapGrid load(const std::string& path) {
        MapGrid grid;
        RecordingPort port;
        EXPECT_NE(MapFile::load(path, grid, port, nullptr), MapFile::Format::None) << path;
        return grid;
    }

    TempDir dir;
};

}  // namespace

TEST_F(EditCommand, PutsChipsCellsFillsStampsAndTiles) {
    const std::string map = writeMap(gridOf(blank(5, 7, -1)));
    ToolRun run = editWithChips(map,
                                "# one chip into one cell\n"
                                "chip 3\n"
                                "cursor 4 0\n"
                                "put\n"
                                "\n"
                                "chip 7   # a selection is filled, whichever way it was drawn\n"
                                "select 2 2 0 1\n"
                                "put\n"
                                "chip-block 1 0 2 1  # chips 1 2 / 5 6, tiled over 3 x 3\n"
                                "select 0 4 2 6\n"
                                "put\n"
                                "chip-block 0 0 2 1  # 0 1 2 / 4 5 6, stamped and clipped\n"
                                "cursor 3 5\n"
                                "put\n"
                                "chip 2\n"
                                "select 0 3 4 3\n"
                                "deselect            # the cursor stays on the moving corner\n"
                                "put\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(rowsOf(load(map).chipLayer()), (Rows{{-1, -1, -1, -1, 3},
                                                   {7, 7, 7, -1, -1},
                                                   {7, 7, 7, -1, -1},
                                                   {-1, -1, -1, -1, 2},
                                                   {1, 2, 1, -1, -1},
                                                   {5, 6, 5, 0, 1},
                                                   {1, 2, 1, 4, 5}}));
    EXPECT_EQ(rowsOf(load(map).kindLayer()), blank(5, 7, 0));
}

TEST_F(EditCommand, PutsAndErasesInTheAttributeView) {
    const std::string map = writeMap(gridOf({{1, 2, 3}, {4, 5, 6}}, {{9, 9, 9}, {9, 9, 9}}));
    ToolRun run = editWithChips(map,
                                "layer attributes\n"
                                "attribute 42\n"
                                "cursor 0 1\n"
                                "put\n"
                                "attribute 99\n"
                                "select 1 0 2 0\n"
                                "put\n"
                                "erase\n"
                                "layer chips\n"
                                "erase\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "pelorin-tool: script line 8: erase does nothing in the attribute view\n");
    const MapGrid grid = load(map);
    EXPECT_EQ(rowsOf(grid.kindLayer()), (Rows{{9, 99, 99}, {42, 9, 9}}));
    EXPECT_EQ(rowsOf(grid.chipLayer()), (Rows{{1, -1, -1}, {4, 5, 6}}))
        << "the selection stays for the erase in the chip view";
}

TEST_F(EditCommand, KeysWithoutAChipImageAreRefusedAndTheScriptGoesOn) {
    const std::string map = writeMap(gridOf({{1, 2}, {3, 4}}));
    ToolRun run = edit(map,
                       "cursor 1 1\n"
                       "put\n"
                       "erase\n"
                       "replace 1 2 chips chips\n"
                       "layer attributes\n"
                       "put\n"
                       "copy\n"
                       "paste\n"
                       "layer chips\n"
                       "select 0 0 0 1\n"
                       "delete-columns\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err,
              "pelorin-tool: script line 2: put needs a chip image (--chips), as the Enter key "
              "does; nothing was put\n"
              "pelorin-tool: script line 3: erase needs a chip image (--chips), as the Delete key "
              "does; nothing was erased\n"
              "pelorin-tool: script line 4: replace needs a chip image (--chips), as "
              "\"置換(&I)\" does; nothing was replaced\n"
              "pelorin-tool: script line 6: put needs a chip image (--chips), as the Enter key "
              "does; nothing was put\n");
    EXPECT_EQ(rowsOf(load(map).chipLayer()), (Rows{{2}, {4}}))
        << "menu commands need no chip image";
}

TEST_F(EditCommand, CopiesAndPastesPerLayer) {
    const std::string map =
        writeMap(gridOf({{1, 2, -1, -1}, {-1, -1, -1, -1}, {-1, -1, -1, -1}, {-1, -1, -1, 8}}));
    ToolRun run = edit(map,
                       "paste\n"
                       "cursor 3 3\n"
                       "copy\n"
                       "select 0 1 3 1     # a 1 x 1 buffer fills the selection\n"
                       "paste\n"
                       "select 0 0 1 0\n"
                       "copy\n"
                       "select 0 2 3 3     # a 2 x 1 buffer tiled over 4 x 2\n"
                       "paste\n"
                       "cursor 3 0         # stamped from the cursor, clipped at the edge\n"
                       "paste\n"
                       "layer attributes\n"
                       "paste\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err,
              "pelorin-tool: script line 1: paste: the chip copy buffer is empty "
              "(\"貼り付け(&V)\" is disabled); nothing was pasted\n"
              "pelorin-tool: script line 13: paste: the attribute copy buffer is empty "
              "(\"貼り付け(&V)\" is disabled); nothing was pasted\n");
    EXPECT_EQ(rowsOf(load(map).chipLayer()),
              (Rows{{1, 2, -1, 1}, {8, 8, 8, 8}, {1, 2, 1, 2}, {1, 2, 1, 2}}));
}

TEST_F(EditCommand, InsertsAndDeletesRowsAndColumns) {
    const std::string map =
        writeMap(gridOf({{0, 1, 2, 3}, {4, 5, 6, 7}, {8, 9, 10, 11}},
                        {{20, 21, 22, 23}, {24, 25, 26, 27}, {28, 29, 30, 31}}));
    ToolRun run = edit(map,
                       "select 3 1 0 2\n"
                       "insert-rows       # rows 1 and 2 are new\n"
                       "select 1 0 2 0\n"
                       "insert-columns    # columns 1 and 2 are new\n"
                       "select 0 0 5 0\n"
                       "delete-columns\n"
                       "select 0 0 0 4\n"
                       "delete-rows\n"
                       "cursor 4 0\n"
                       "delete-columns\n"
                       "cursor 0 3\n"
                       "delete-rows\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err,
              "pelorin-tool: script line 6: 列削除エラー: 列を削除出来ません。マップ構成には最低1列"
              "は必要です。\n"
              "pelorin-tool: script line 8: 行削除エラー: 行を削除出来ません。マップ構成には最低1行"
              "は必要です。\n");
    const MapGrid grid = load(map);
    EXPECT_EQ(
        rowsOf(grid.chipLayer()),
        (Rows{{0, -1, -1, 1, 3}, {-1, -1, -1, -1, -1}, {-1, -1, -1, -1, -1}, {8, -1, -1, 9, 11}}));
    EXPECT_EQ(rowsOf(grid.kindLayer()),
              (Rows{{20, 0, 0, 21, 23}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {28, 0, 0, 29, 31}}));
}

TEST_F(EditCommand, InsertionStopsAtTheCanvasLimitWithOneMessage) {
    const std::string map = writeMap(gridOf(blank(4999, 3, 5)));
    ToolRun run = edit(map,
                       "select 0 0 1 2\n"
                       "insert-columns\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err,
              "pelorin-tool: script line 2: 列挿入エラー: 横のキャンバス限界サイズは5000です。"
              "それ以上は挿入出来ません\n");
    const MapGrid grid = load(map);
    EXPECT_EQ(grid.columns(), 5000);
    EXPECT_EQ(grid.chip(0, 2), -1);
    EXPECT_EQ(grid.chip(1, 2), 5);

    const std::string tall = writeMap(gridOf(blank(2, 4999, 5)));
    ToolRun rows = edit(tall,
                        "select 0 1 0 3\n"
                        "insert-rows\n");
    EXPECT_EQ(rows.err,
              "pelorin-tool: script line 2: 行挿入エラー: 縦のキャンバス限界サイズは5000です。"
              "それ以上は挿入出来ません\n");
    EXPECT_EQ(load(tall).rows(), 5000);
}

TEST_F(EditCommand, ReplacesWithinAndAcrossLayersThroughTheDialog) {
    const std::string map = writeMap(gridOf({{5, 1, 5}, {2, 5, 7}}, {{0, 3, 0}, {3, 3, 0}}));
    ToolRun run = editWithChips(map,
                                "replace 5 5 chips chips    # nothing to do, nothing said\n"
                                "replace 4 6 chips chips    # nothing found, nothing said\n"
                                "replace 5 7 chips attributes\n"
                                "replace 3 0 attributes chips\n"
                                "replace 8 1 chips chips\n"
                                "replace 7 7 attributes attributes\n"
                                "undo\n"
                                "redo\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err,
              "pelorin-tool: script line 3: 置換成功: 3個置換しました\n"
              "pelorin-tool: script line 4: 置換成功: 2個置換しました\n"
              "pelorin-tool: script line 5: replace: the chip image holds chips 0 to 7; nothing "
              "was replaced\n");
    const MapGrid grid = load(map);
    EXPECT_EQ(rowsOf(grid.chipLayer()), (Rows{{5, 0, 5}, {0, 5, 7}}));
    EXPECT_EQ(rowsOf(grid.kindLayer()), (Rows{{7, 3, 7}, {3, 7, 0}}));

    // Undoing both restores every cell of both target layers.
    ToolRun undone = editWithChips(map,
                                   "replace 0 4 chips chips\n"
                                   "replace 7 1 attributes attributes\n"
                                   "undo\n"
                                   "undo\n");
    EXPECT_EQ(undone.err,
              "pelorin-tool: script line 1: 置換成功: 2個置換しました\n"
              "pelorin-tool: script line 2: 置換成功: 3個置換しました\n");
    EXPECT_EQ(rowsOf(load(map).chipLayer()), (Rows{{5, 0, 5}, {0, 5, 7}}));
    EXPECT_EQ(rowsOf(load(map).kindLayer()), (Rows{{7, 3, 7}, {3, 7, 0}}));
}

TEST_F(EditCommand, UndoesAndRedoesWithinTheTenStepWindow) {
    const std::string map = writeMap(gridOf(blank(11, 1, -1)));
    std::string script = "chip 1\n";
    for (int column = 0; column < 11; ++column) {
        script += "cursor " + std::to_string(column) + " 0\nput\n";
    }
    for (int i = 0; i < 11; ++i) {
        script += "undo\n";
    }
    ToolRun eleven = editWithChips(map, script);
    EXPECT_EQ(eleven.err,
              "pelorin-tool: script line 34: undo: nothing to undo (\"元に戻す(&Z)\" is "
              "disabled)\n");
    EXPECT_EQ(rowsOf(load(map).chipLayer()), (Rows{{1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1}}))
        << "the first put has left the history";

    writeMap(gridOf(blank(3, 1, -1)));
    ToolRun run = editWithChips(map,
                                "chip 1\n"
                                "cursor 0 0\n"
                                "put\n"
                                "cursor 1 0\n"
                                "put\n"
                                "undo\n"
                                "undo\n"
                                "redo\n"
                                "chip 2\n"
                                "cursor 2 0\n"
                                "put\n"
                                "redo\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err,
              "pelorin-tool: script line 12: redo: nothing to redo (\"やり直し(&Y)\" is "
              "disabled)\n");
    EXPECT_EQ(rowsOf(load(map).chipLayer()), (Rows{{1, -1, 2}}));

    // A row deletion comes back with its chips and attributes.
    writeMap(gridOf({{1, 2}, {3, 4}, {5, 6}}, {{7, 8}, {9, 10}, {11, 12}}));
    ToolRun rows = edit(map,
                        "cursor 1 1\n"
                        "delete-rows\n"
                        "undo\n");
    EXPECT_EQ(rows.err, "");
    EXPECT_EQ(rowsOf(load(map).chipLayer()), (Rows{{1, 2}, {3, 4}, {5, 6}}));
    EXPECT_EQ(rowsOf(load(map).kindLayer()), (Rows{{7, 8}, {9, 10}, {11, 12}}));
}

TEST_F(EditCommand, ChangesTheCanvasAndTheChipSizeAsTheSizePageDoes) {
    const std::string map = writeMap(gridOf({{1, 2, 3}, {4, 5, 6}}), 16, 24);
    ToolRun run = edit(map,
                       "cursor 0 0\n"
                       "put\n"
                       "canvas 3 2\n"
                       "canvas 0 2\n"
                       "canvas 3 6000\n"
                       "canvas 4 1\n"
                       "undo\n"
                       "chip-size 15 32\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err,
              "pelorin-tool: script line 2: put needs a chip image (--chips), as the Enter key "
              "does; nothing was put\n"
              "pelorin-tool: script line 4: キャンバスサイズ変更エラー: 不正な値が指定されました。"
              "キャンバスの横サイズは1～5000の範囲内に納めて下さい。\n"
              "pelorin-tool: script line 5: キャンバスサイズ変更エラー: 不正な値が指定されました。"
              "キャンバスの縦サイズは1～5000の範囲内に納めて下さい。\n"
              "pelorin-tool: script line 7: undo: nothing to undo (\"元に戻す(&Z)\" is "
              "disabled)\n"
              "pelorin-tool: script line 8: チップサイズ変更エラー: 不正な値が指定されました\n");
    EXPECT_EQ(rowsOf(load(map).chipLayer()), (Rows{{1, 2, 3, -1}}));
    EXPECT_EQ(tool(dir, {"info", map}).out,
              "{\"format\":\"MAPB\",\"columns\":4,\"rows\":1,\"chipWidth\":16,"
              "\"chipHeight\":24}\n")
        << "the chip size stored in the map stays";

    EXPECT_EQ(edit(map, "chip-size 48 20\n").err, "");
    EXPECT_EQ(tool(dir, {"info", map}).out,
              "{\"format\":\"MAPB\",\"columns\":4,\"rows\":1,\"chipWidth\":48,"
              "\"chipHeight\":20}\n");
}

TEST_F(EditCommand, CellsAndChipsOutsideTheirGridsChangeNothing) {
    const std::string map = writeMap(gridOf(blank(3, 2, -1)));
    ToolRun run = editWithChips(map,
                                "cursor 3 0\n"
                                "select 0 0 2 2\n"
                                "chip 8\n"
                                "chip-block 0 0 4 0\n"
                                "put\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err,
              "pelorin-tool: script line 1: cursor: cell (3, 0) lies outside the 3 x 2 map; "
              "nothing changed\n"
              "pelorin-tool: script line 2: select: cell (2, 2) lies outside the 3 x 2 map; "
              "nothing changed\n"
              "pelorin-tool: script line 3: chip: the chip image holds chips 0 to 7; the chip "
              "selection stays\n"
              "pelorin-tool: script line 4: chip-block: the chip image has 4 x 2 chips; the "
              "chip selection stays\n");
    EXPECT_EQ(rowsOf(load(map).chipLayer()), (Rows{{0, -1, -1}, {-1, -1, -1}}))
        << "chip 0 at cell (0, 0), as the editor starts";
}

TEST_F(EditCommand, SelectsAcrossALargeMap) {
    const std::string map = writeMap(gridOf(blank(300, 200, -1)));
    ToolRun run = editWithChips(map,
                                "chip 6\n"
                                "select 297 2 1 198\n"
                                "put\n"
                                "chip 5\n"
                                "cursor 299 199\n"
                                "put\n"
                                "cursor 0 0\n"
                                "put\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    const MapGrid grid = load(map);
    int sixes = 0;
    for (int r = 0; r < grid.rows(); ++r) {
        for (int c = 0; c < grid.columns(); ++c) {
            const bool inside = c >= 1 && c <= 297 && r >= 2 && r <= 198;
            sixes += grid.chip(c, r) == 6;
            if (!inside && !(c == 299 && r == 199) && !(c == 0 && r == 0)) {
                ASSERT_EQ(grid.chip(c, r), -1) << c << ", " << r;
            }
        }
    }
    EXPECT_EQ(sixes, 297 * 197);
    EXPECT_EQ(grid.chip(299, 199), 5);
    EXPECT_EQ(grid.chip(0, 0), 5);
}

TEST_F(EditCommand, PrintsExportsJsonOrSavesWithTheMapExtension) {
    const std::string map = writeMap(gridOf({{1, 2}}, {{3, 4}}));
    const std::vector<std::uint8_t> before = readBytes(map);
    const std::string script = "chip 7\ncursor 1 0\nput\n";
    ToolRun json = editWithChips(map, script, {"--json"});
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out, "{\"columns\":2,\"rows\":1,\"chips\":[[1,7]],\"attributes\":[[3,4]]}\n");
    EXPECT_EQ(readBytes(map), before) << "--json leaves the map file alone";

    ToolRun saved = editWithChips(map, script, {"-o", dir.file("out.txt")});
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(saved.out, "");
    EXPECT_FALSE(exists(dir.file("out.txt")));
    ASSERT_TRUE(exists(dir.file("out.map")));
    EXPECT_EQ(readBytes(map), before);
    EXPECT_EQ(tool(dir, {"export", dir.file("out.map")}).out, json.out);

    EXPECT_EQ(editWithChips(map, script, {"--json", "-o", dir.file("j.json")}).status, 0);
    EXPECT_EQ(readText(dir.file("j.json")), json.out);

    // Over MAP by default, and a text map is written back in the binary form.
    writeText(dir.file("old.txt"), "MAPT\n32\n32\n\n\n\n4*2,\n");
    EXPECT_EQ(editWithChips(dir.file("old.txt"), script).status, 0);
    EXPECT_EQ(tool(dir, {"export", dir.file("old.map")}).out,
              "{\"columns\":2,\"rows\":1,\"chips\":[[4,7]],\"attributes\":[[0,0]]}\n");
}

TEST_F(EditCommand, UnreadableFilesAndMalformedScriptsStopBeforeAnyChange) {
    const std::string map = writeMap(gridOf({{1, 2}}));
    const std::vector<std::uint8_t> before = readBytes(map);

    ToolRun noMap = edit(dir.file("absent.map"), "put\n");
    EXPECT_EQ(noMap.status, 1);
    EXPECT_EQ(noMap.err, "pelorin-tool: マップ読み込みエラー: マップデータが開けません\n");

    ToolRun noScript = tool(dir, {"edit", map, "--script", dir.file("absent.txt")});
    EXPECT_EQ(noScript.status, 1);
    EXPECT_EQ(noScript.err, "pelorin-tool: cannot read " + dir.file("absent.txt") + "\n");

    writeText(dir.file("not.png"), "not an image");
    ToolRun noChips = edit(map, "put\n", {"--chips", dir.file("not.png")});
    EXPECT_EQ(noChips.status, 1);
    EXPECT_EQ(noChips.err,
              "pelorin-tool: cannot load the chip image " + dir.file("not.png") + "\n");

    EXPECT_NE(tool(dir, {"--help"})
                  .out.find("edit MAP --script FILE [--chips IMAGE] [-o OUT] "
                            "[--json]"),
              std::string::npos);
    EXPECT_EQ(tool(dir, {"edit", map}).status, 2);
    EXPECT_EQ(tool(dir, {"edit", map, "--script", dir.file("s.txt"), "--bogus"}).status, 2);

    const struct {
        const char* script;
        const char* message;
    } cases[] = {
        {"cursor 1\n", "script line 1: the form is \"cursor X Y\""},
        {"\n# a comment\nput\n\tsmudge 1 2\n", "script line 4: unknown command \"smudge\""},
        {"put extra\n", "script line 1: the form is \"put\""},
        {"cursor -1 0\n", "script line 1: \"-1\" is not a whole number from 0 to 2147483647"},
        {"canvas 2147483648 1\n",
         "script line 1: \"2147483648\" is not a whole number from 0 to 2147483647"},
        {"layer chip\n",
         "script line 1: \"chip\" is not a layer; the form is \"layer chips|attributes\""},
        {"put\r\nattribute 100\r\n", "script line 2: attribute numbers run from 0 to 99, not 100"},
        {"replace 1 100 chips attributes\n",
         "script line 1: attribute numbers run from 0 to 99, not 100"},
        {"replace 1 2 chips\n",
         "script line 1: the form is \"replace FROM TO chips|attributes chips|attributes\""},
        {"cursor 0 0\nchip 1\n", "script line 2: chip needs --chips IMAGE"},
        {"chip-block 0 0 1 1\n", "script line 1: chip-block needs --chips IMAGE"},
    };
    for (const auto& c : cases) {
        ToolRun run = edit(map, c.script);
        EXPECT_EQ(run.status, 2) << c.script;
        EXPECT_EQ(run.err, std::string("pelorin-tool: ") + c.message + "\n") << c.script;
        EXPECT_EQ(readBytes(map), before) << c.script;
    }
}
