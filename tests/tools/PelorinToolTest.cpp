// Runs the built pelorin-tool as a user would and checks its outputs, files and exit codes.
#include <gtest/gtest.h>

#include "chips/KindTable.h"
#include "map/MapFile.h"
#include "tests/support/TempDir.h"
#include "tests/tools/ToolRunner.h"

using namespace testing_support;

namespace {

// A 3 × 2 map with distinct chips and attributes, saved as dir/m.map.
std::string smallMap(const TempDir& dir) {
    MapGrid grid;
    grid.assign({{0, 1, -1}, {7, 8, 9}}, {{10, 11, 12}, {0, 0, 5}}, 3, 2);
    grid.setChipSize(16, 24);
    std::string path = dir.file("m.map");
    MapFile::save(path, grid);
    return path;
}

const char kSmallJson[] =
    "{\"columns\":3,\"rows\":2,\"chips\":[[0,1,-1],[7,8,9]],\"attributes\":[[10,11,12],[0,0,5]]}\n";

}  // namespace

TEST(Tool, HelpAndUsageErrors) {
    TempDir dir;
    ToolRun help = tool(dir, {"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* word : {"info MAP", "export MAP", "import JSON -o MAP", "kinds KND",
                             "--from-json", "--defaults", "exit status"}) {
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    }
    EXPECT_EQ(tool(dir, {}).status, 2);
    EXPECT_EQ(tool(dir, {"paint"}).status, 2);
    EXPECT_EQ(tool(dir, {"info"}).status, 2);
    EXPECT_EQ(tool(dir, {"export", "x.map", "--format", "xml"}).status, 2);
    EXPECT_EQ(tool(dir, {"export", "x.map", "--bogus"}).status, 2);
    ToolRun missingValue = tool(dir, {"import", "x.json", "-o"});
    EXPECT_EQ(missingValue.status, 2);
    EXPECT_NE(missingValue.err.find("-o needs a value"), std::string::npos);
}

TEST(Tool, InfoReportsBothFormats) {
    TempDir dir;
    ToolRun binary = tool(dir, {"info", smallMap(dir)});
    EXPECT_EQ(binary.status, 0) << binary.err;
    EXPECT_EQ(
        binary.out,
        "{\"format\":\"MAPB\",\"columns\":3,\"rows\":2,\"chipWidth\":16,\"chipHeight\":24}\n");

    writeText(dir.file("old.map"), "MAPT\n48\n40\n99\n99\n\n1,2,\n3,4,\n5,6,\n");
    ToolRun text = tool(dir, {"info", dir.file("old.map")});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(
        text.out,
        "{\"format\":\"MAPT\",\"columns\":2,\"rows\":3,\"chipWidth\":48,\"chipHeight\":40}\n");
}

TEST(Tool, UnreadableMapsGiveTheEditorsMessages) {
    TempDir dir;
    ToolRun absent = tool(dir, {"info", dir.file("absent.map")});
    EXPECT_EQ(absent.status, 1);
    EXPECT_EQ(absent.out, "");
    EXPECT_EQ(absent.err, "pelorin-tool: マップ読み込みエラー: マップデータが開けません\n");

    writeText(dir.file("rows.map"), "MAPT\n32\n32\n0\n0\n\n1,2,\n3,\n");
    ToolRun rows = tool(dir, {"export", dir.file("rows.map")});
    EXPECT_EQ(rows.status, 1);
    EXPECT_NE(rows.err.find("チップの個数が異なる行があります"), std::string::npos) << rows.err;
}

TEST(Tool, ExportWritesJsonAndCsv) {
    TempDir dir;
    const std::string map = smallMap(dir);
    ToolRun json = tool(dir, {"export", map});
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out, kSmallJson);

    EXPECT_EQ(tool(dir, {"export", map, "--format", "csv"}).out, "0,1,-1\n7,8,9\n");
    ToolRun kinds = tool(
        dir, {"export", map, "--format", "csv", "--layer", "attributes", "-o", dir.file("k.csv")});
    EXPECT_EQ(kinds.status, 0);
    EXPECT_EQ(kinds.out, "");
    EXPECT_EQ(readText(dir.file("k.csv")), "10,11,12\n0,0,5\n");

    writeText(dir.file("old.map"), "MAPT\n32\n32\n\n\n\n4*2,\n");
    EXPECT_EQ(tool(dir, {"export", dir.file("old.map")}).out,
              "{\"columns\":2,\"rows\":1,\"chips\":[[4,4]],\"attributes\":[[0,0]]}\n");
}

TEST(Tool, ImportWritesAMapThatExportsTheSame) {
    TempDir dir;
    writeText(dir.file("in.json"), kSmallJson);
    ToolRun import = tool(dir, {"import", dir.file("in.json"), "-o", dir.file("out.txt")});
    EXPECT_EQ(import.status, 0) << import.err;
    ASSERT_TRUE(exists(dir.file("out.map"))) << "the extension is forced to .map";
    EXPECT_FALSE(exists(dir.file("out.txt")));
    const std::vector<std::uint8_t> bytes = readBytes(dir.file("out.map"));
    ASSERT_EQ(bytes.size(), 8u + 16 + 8 * 6);
    EXPECT_EQ(i32At(bytes, 8), 32) << "chip size 32 × 32 unless the JSON says otherwise";
    EXPECT_EQ(tool(dir, {"export", dir.file("out.map")}).out, kSmallJson);

    writeText(dir.file("sized.json"), "{\"chipWidth\":16,\"chipHeight\":48,\"chips\":[[5]]}");
    EXPECT_EQ(tool(dir, {"import", dir.file("sized.json"), "-o", dir.file("sized")}).status, 0);
    EXPECT_EQ(
        tool(dir, {"info", dir.file("sized.map")}).out,
        "{\"format\":\"MAPB\",\"columns\":1,\"rows\":1,\"chipWidth\":16,\"chipHeight\":48}\n");
}

TEST(Tool, ImportRefusesMalformedMaps) {
    TempDir dir;
    const struct {
        const char* json;
        const char* message;
    } cases[] = {
        {"{\"chips\":[[1,2],[3]]}",
         "chips[1] has 1 values where chips[0] has 2; all rows must be of equal length"},
        {"{\"chips\":[[1,2.5]]}", "chips[0][1] is not a 32-bit integer (2.5)"},
        {"{\"chips\":[[1,\"2\"]]}", "chips[0][1] is not a 32-bit integer"},
        {"{\"chips\":[[4294967296]]}", "chips[0][0] is not a 32-bit integer (4294967296)"},
        {"{\"chips\":[[1]],\"attributes\":[[1,2]]}",
         "\"attributes\" must have the shape of \"chips\""},
        {"{\"columns\":2,\"chips\":[[1]]}", "\"columns\" and \"rows\" say 2 x 1 but"},
        {"{\"chips\":[]}", "a map has 1 to 5000 columns and 1 to 5000 rows, not 0 x 0"},
        {"{\"chipWidth\":8,\"chips\":[[1]]}", "\"chipWidth\" must be an integer from 16 to 64"},
        {"{\"attributes\":[[1]]}", "\"chips\" is missing"},
        {"[1,2", "line 1, column 5"},
        {"{\"chips\":[[1e999]]}", "line 1, column 12: number overflow parsing '1e999'"},
    };
    writeText(dir.file("keep.map"), "precious");
    for (const auto& c : cases) {
        writeText(dir.file("bad.json"), c.json);
        ToolRun run = tool(dir, {"import", dir.file("bad.json"), "-o", dir.file("keep.map")});
        EXPECT_EQ(run.status, 1) << c.json;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.json << " → " << run.err;
        EXPECT_EQ(readText(dir.file("keep.map")), "precious");
    }
}

TEST(Tool, KindsConvertBetweenAttributeFilesAndJson) {
    TempDir dir;
    ToolRun defaults = tool(dir, {"kinds", "--defaults", "-o", dir.file("d")});
    EXPECT_EQ(defaults.status, 0) << defaults.err;
    EXPECT_EQ(readBytes(dir.file("d.knd")).size(), 29612u);

    ToolRun listed = tool(dir, {"kinds", dir.file("d.knd")});
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.out.rfind("[\n  {\"number\":0,\"z\":0,\"memo\":\"属性未定義\",", 0), 0u);
    EXPECT_NE(listed.out.find("\"passable\":1,\"dropThrough\":0,\"hitLeft\":0,\"hitTop\":0,"
                              "\"hitRight\":0,\"hitBottom\":0}"),
              std::string::npos);

    writeText(dir.file("t.json"),
              "[{\"number\":5,\"z\":3,\"memo\":\"水辺 ～ ｱ\",\"red\":255,\"green\":0,\"blue\":9,"
              "\"passable\":0,\"dropThrough\":1,\"hitLeft\":1,\"hitTop\":2,\"hitRight\":30,"
              "\"hitBottom\":31},{}]");
    ToolRun written =
        tool(dir, {"kinds", "--from-json", dir.file("t.json"), "-o", dir.file("t.KND")});
    EXPECT_EQ(written.status, 0) << written.err;
    KindTable table;
    ASSERT_TRUE(table.loadFile(dir.file("t.knd")));
    ASSERT_EQ(table.count(), 2);
    const KindRecord r = table.record(0);
    EXPECT_EQ(r.memoBytes(), "\x90\x85\x95\xd3 \x81\x60 \xb1");
    EXPECT_EQ(r.number, 5);
    EXPECT_EQ(r.blue, 9);
    EXPECT_EQ(r.hitBottom, 31);
    EXPECT_EQ(table.record(1).number, 1) << "a record without a number takes its position";
    EXPECT_EQ(table.record(1).passable, 1);

    EXPECT_EQ(tool(dir, {"kinds", dir.file("t.knd")}).out,
              "[\n  {\"number\":5,\"z\":3,\"memo\":\"水辺 ～ ｱ\",\"red\":255,\"green\":0,"
              "\"blue\":9,\"passable\":0,\"dropThrough\":1,\"hitLeft\":1,\"hitTop\":2,"
              "\"hitRight\":30,\"hitBottom\":31},\n  {\"number\":1,\"z\":0,\"memo\":\"\","
              "\"red\":0,\"green\":0,\"blue\":0,\"passable\":1,\"dropThrough\":0,\"hitLeft\":0,"
              "\"hitTop\":0,\"hitRight\":0,\"hitBottom\":0}\n]\n");
}

TEST(Tool, KindsRefuseWhatTheFileCannotHold) {
    TempDir dir;
    const struct {
        const char* json;
        const char* message;
    } cases[] = {
        {"[{\"memo\":\"🔥\"}]", "record 0: the memo has characters that cannot be stored"},
        {"[{\"red\":256}]", "record 0: \"red\" must be an integer from 0 to 255"},
        {"[{},{\"colour\":1}]", "record 1: unknown field \"colour\""},
        {"{\"number\":1}", "must be a JSON array of records"},
    };
    for (const auto& c : cases) {
        writeText(dir.file("bad.json"), c.json);
        ToolRun run =
            tool(dir, {"kinds", "--from-json", dir.file("bad.json"), "-o", dir.file("x")});
        EXPECT_EQ(run.status, 1) << c.json;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(exists(dir.file("x.knd")));
    }
    std::string longMemo(260, 'a');
    writeText(dir.file("long.json"), "[{\"memo\":\"" + longMemo + "\"}]");
    EXPECT_NE(tool(dir, {"kinds", "--from-json", dir.file("long.json"), "-o", dir.file("x")})
                  .err.find("longer than 259 bytes"),
              std::string::npos);

    writeText(dir.file("not.knd"), "KINX");
    ToolRun notKind = tool(dir, {"kinds", dir.file("not.knd")});
    EXPECT_EQ(notKind.status, 1);
    EXPECT_NE(notKind.err.find("not an attribute file"), std::string::npos);
}
