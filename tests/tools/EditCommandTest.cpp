// pelorin-tool edit: which editor operation each script command reaches, the tool's own notes
// and refusals, its outputs and its exit statuses. The edit rules themselves are the map tests'.
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

Rows rowsOf(const MapGrid::Layer& layer) {
    Rows rows;
    for (const MapGrid::Row& row : layer) {
        rows.emplace_back(row.begin(), row.end());
    }
    return rows;
}

class EditCommand : public ::testing::Test {
protected:
    // dir/m.map: chips 1 2 3 / 4 5 6, attributes 0, chips of 16 × 24 pixels.
    std::string writeMap() {
        MapGrid grid;
        grid.assign({{1, 2, 3}, {4, 5, 6}}, {{0, 0, 0}, {0, 0, 0}}, 3, 2);
        grid.setChipSize(16, 24);
        std::string path = dir.file("m.map");
        EXPECT_TRUE(MapFile::save(path, grid).value);
        return path;
    }

    // The script run over dir/m.map; with chips, a 64 × 48 image of 4 × 2 chips 0 … 7.
    ToolRun edit(const std::string& script, bool chips = true,
                 std::vector<std::string> extra = {}) {
        writeText(dir.file("s.txt"), script);
        std::vector<std::string> args = {"edit", writeMap(), "--script", dir.file("s.txt")};
        if (chips) {
            screen_test::writeChipImage(dir.file("chips.bmp"), 64, 48);
            args.insert(args.end(), {"--chips", dir.file("chips.bmp")});
        }
        args.insert(args.end(), extra.begin(), extra.end());
        return tool(dir, args);
    }

    MapGrid load(const std::string& name = "m.map") {
        MapGrid grid;
        EXPECT_NE(MapFile::load(dir.file(name), grid, platform::Language()).value,
                  MapFile::Format::None);
        return grid;
    }

    TempDir dir;
};

}  // namespace

TEST_F(EditCommand, EachCommandReachesItsOperation) {
    const struct {
        const char* script;
        Rows chips, kinds;
        const char* err;
    } cases[] = {
        {"chip 7\ncursor 2 1\nput\n", {{1, 2, 3}, {4, 5, 7}}, {{0, 0, 0}, {0, 0, 0}}, ""},
        {"chip-block 0 0 1 1  # 0 1 / 4 5, tiled\nselect 0 0 2 1\nput\n",
         {{0, 1, 0}, {4, 5, 4}},
         {{0, 0, 0}, {0, 0, 0}},
         ""},
        {"layer attributes\nattribute 42\nselect 2 0 0 0\nput\nlayer chips\ncursor 0 1\nerase\n",
         {{1, 2, 3}, {-1, 5, 6}},
         {{42, 42, 42}, {0, 0, 0}},
         ""},
        {"select 0 0 1 0\ncopy\ndeselect\ncursor 1 1\npaste\n",
         {{1, 2, 3}, {4, 1, 2}},
         {{0, 0, 0}, {0, 0, 0}},
         ""},
        {"cursor 1 0\ninsert-columns\ncursor 0 1\ndelete-rows\n",
         {{1, -1, 2, 3}},
         {{0, 0, 0, 0}},
         ""},
        {"cursor 0 1\ninsert-rows\nselect 0 0 2 0\ndelete-columns\n",
         {{1, 2, 3}, {-1, -1, -1}, {4, 5, 6}},
         {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
         "pelorin-tool: script line 4: 列削除エラー: 列を削除出来ません。マップ構成には最低1列は"
         "必要です。\n"},
        {"replace 5 9 chips attributes\nreplace 1 0 chips chips\nundo\n",
         {{1, 2, 3}, {4, 5, 6}},
         {{0, 0, 0}, {0, 9, 0}},
         "pelorin-tool: script line 1: 置換成功: 1個置換しました\n"
         "pelorin-tool: script line 2: 置換成功: 1個置換しました\n"},
        {"cursor 2 0\nput  # chip 0, as the editor starts\nundo\nredo\ncanvas 4 1\n",
         {{1, 2, 0, -1}},
         {{0, 0, 0, 0}},
         ""},
    };
    for (const auto& c : cases) {
        const ToolRun run = edit(c.script);
        EXPECT_EQ(run.status, 0) << c.script;
        EXPECT_EQ(run.err, c.err) << c.script;
        const MapGrid grid = load();
        EXPECT_EQ(rowsOf(grid.chipLayer()), c.chips) << c.script;
        EXPECT_EQ(rowsOf(grid.kindLayer()), c.kinds) << c.script;
    }
}

TEST_F(EditCommand, RefusalsAreNotedWithTheirLineAndTheScriptGoesOn) {
    const ToolRun withChips = edit(
        "undo\nredo\npaste\ncursor 3 0\nselect 0 0 2 2\nchip 8\nchip-block 0 0 4 0\n"
        "replace 8 1 chips chips\nlayer attributes\nerase\npaste\nchip-size 15 32\n"
        "canvas 0 2\ncanvas 3 6000\n");
    EXPECT_EQ(withChips.status, 0);
    EXPECT_EQ(withChips.err,
              "pelorin-tool: script line 1: undo: nothing to undo (\"元に戻す(&Z)\" is disabled)\n"
              "pelorin-tool: script line 2: redo: nothing to redo (\"やり直し(&Y)\" is disabled)\n"
              "pelorin-tool: script line 3: paste: the chip copy buffer is empty "
              "(\"貼り付け(&V)\" is disabled); nothing was pasted\n"
              "pelorin-tool: script line 4: cursor: cell (3, 0) lies outside the 3 x 2 map; "
              "nothing changed\n"
              "pelorin-tool: script line 5: select: cell (2, 2) lies outside the 3 x 2 map; "
              "nothing changed\n"
              "pelorin-tool: script line 6: chip: the chip image holds chips 0 to 7; the chip "
              "selection stays\n"
              "pelorin-tool: script line 7: chip-block: the chip image has 4 x 2 chips; the "
              "chip selection stays\n"
              "pelorin-tool: script line 8: replace: the chip image holds chips 0 to 7; nothing "
              "was replaced\n"
              "pelorin-tool: script line 10: erase does nothing in the attribute view\n"
              "pelorin-tool: script line 11: paste: the attribute copy buffer is empty "
              "(\"貼り付け(&V)\" is disabled); nothing was pasted\n"
              "pelorin-tool: script line 12: チップサイズ変更エラー: 不正な値が指定されました\n"
              "pelorin-tool: script line 13: キャンバスサイズ変更エラー: 不正な値が指定されました。"
              "キャンバスの横サイズは1～5000の範囲内に納めて下さい。\n"
              "pelorin-tool: script line 14: キャンバスサイズ変更エラー: 不正な値が指定されました。"
              "キャンバスの縦サイズは1～5000の範囲内に納めて下さい。\n");
    EXPECT_EQ(rowsOf(load().chipLayer()), (Rows{{1, 2, 3}, {4, 5, 6}}));

    const ToolRun withoutChips = edit(
        "put\nerase\nreplace 1 2 chips chips\nlayer attributes\nput\ncopy\npaste\nlayer chips\n"
        "cursor 1 0\ndelete-columns\n",
        false);
    EXPECT_EQ(withoutChips.status, 0);
    EXPECT_EQ(withoutChips.err,
              "pelorin-tool: script line 1: put needs a chip image (--chips), as the Enter key "
              "does; nothing was put\n"
              "pelorin-tool: script line 2: erase needs a chip image (--chips), as the Delete key "
              "does; nothing was erased\n"
              "pelorin-tool: script line 3: replace needs a chip image (--chips), as "
              "\"置換(&I)\" does; nothing was replaced\n"
              "pelorin-tool: script line 5: put needs a chip image (--chips), as the Enter key "
              "does; nothing was put\n");
    EXPECT_EQ(rowsOf(load().chipLayer()), (Rows{{1, 3}, {4, 6}}))
        << "menu commands need no chip image";
}

TEST_F(EditCommand, SavesOverTheMapOrToOutWithTheMapExtensionOrPrintsJson) {
    const std::string script = "chip 7\ncursor 1 0\nput\n";
    const std::string json =
        "{\"columns\":3,\"rows\":2,\"chips\":[[1,7,3],[4,5,6]],\"attributes\":[[0,0,0],[0,0,0]]}"
        "\n";
    ToolRun printed = edit(script, true, {"--json"});
    EXPECT_EQ(printed.status, 0) << printed.err;
    EXPECT_EQ(printed.out, json);
    EXPECT_EQ(rowsOf(load().chipLayer()), (Rows{{1, 2, 3}, {4, 5, 6}})) << "--json saves nothing";

    EXPECT_EQ(edit(script, true, {"--json", "-o", dir.file("j.json")}).status, 0);
    EXPECT_EQ(readText(dir.file("j.json")), json);

    ToolRun saved = edit(script, true, {"-o", dir.file("out.txt")});
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(saved.out, "");
    EXPECT_FALSE(exists(dir.file("out.txt")));
    EXPECT_EQ(tool(dir, {"export", dir.file("out.map")}).out, json);
    EXPECT_EQ(rowsOf(load().chipLayer()), (Rows{{1, 2, 3}, {4, 5, 6}}));

    // Over MAP by default, keeping its chip size unless chip-size changes it; a text map is
    // written back in the binary form.
    EXPECT_EQ(edit("chip-size 48 20\n", false).err, "");
    EXPECT_EQ(tool(dir, {"info", dir.file("m.map")}).out,
              "{\"format\":\"MAPB\",\"columns\":3,\"rows\":2,\"chipWidth\":48,"
              "\"chipHeight\":20}\n");
    writeText(dir.file("old.txt"), "MAPT\n32\n32\n\n\n\n4*2,\n");
    writeText(dir.file("s.txt"), "cursor 1 0\nput\n");
    EXPECT_EQ(tool(dir, {"edit", dir.file("old.txt"), "--script", dir.file("s.txt"), "--chips",
                         dir.file("chips.bmp")})
                  .status,
              0);
    EXPECT_EQ(tool(dir, {"export", dir.file("old.map")}).out,
              "{\"columns\":2,\"rows\":1,\"chips\":[[4,0]],\"attributes\":[[0,0]]}\n");
}

TEST_F(EditCommand, UnreadableFilesAndMalformedScriptsStopBeforeAnyChange) {
    const std::string map = writeMap();
    const std::vector<std::uint8_t> before = readBytes(map);

    writeText(dir.file("s.txt"), "put\n");
    ToolRun noMap = tool(dir, {"edit", dir.file("absent.map"), "--script", dir.file("s.txt")});
    EXPECT_EQ(noMap.status, 1);
    EXPECT_EQ(noMap.err, "pelorin-tool: マップ読み込みエラー: マップデータが開けません\n");

    ToolRun noScript = tool(dir, {"edit", map, "--script", dir.file("absent.txt")});
    EXPECT_EQ(noScript.status, 1);
    EXPECT_EQ(noScript.err, "pelorin-tool: cannot read " + dir.file("absent.txt") + "\n");

    writeText(dir.file("not.png"), "not an image");
    ToolRun noChips =
        tool(dir, {"edit", map, "--script", dir.file("s.txt"), "--chips", dir.file("not.png")});
    EXPECT_EQ(noChips.status, 1);
    EXPECT_EQ(noChips.err,
              "pelorin-tool: cannot load the chip image " + dir.file("not.png") + "\n");

    EXPECT_NE(
        tool(dir, {"--help"}).out.find("edit MAP --script FILE [--chips IMAGE] [-o OUT] [--json]"),
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
        writeText(dir.file("s.txt"), c.script);
        ToolRun run = tool(dir, {"edit", map, "--script", dir.file("s.txt")});
        EXPECT_EQ(run.status, 2) << c.script;
        EXPECT_EQ(run.err, std::string("pelorin-tool: ") + c.message + "\n") << c.script;
        EXPECT_EQ(readBytes(map), before) << c.script;
    }
}
