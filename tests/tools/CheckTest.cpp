// pelorin-tool check: maps built to hold each fault, and the exact lines a CI annotates.
#include <gtest/gtest.h>
#include <png.h>

#include "chips/KindTable.h"
#include "map/MapFile.h"
#include "tests/support/ImageWriters.h"
#include "tests/support/TempDir.h"
#include "tests/tools/ToolRunner.h"

using namespace testing_support;

namespace {

// A 40 × 36 chip image: 2 × 2 chips of 16 pixels and a strip of 8 × 4 pixels no chip holds;
// an attribute file of 3 records.
struct Sheet {
    TempDir dir;
    std::string chips = dir.file("chips.png");
    std::string kinds = dir.file("k.knd");
    Sheet() {
        PngPicture png{40, 36, PNG_COLOR_TYPE_RGB, 8, false, {}, {}, {}, ""};
        png.rows.assign(36, Bytes(120, 0x80));
        writeBytes(chips, encodePng(png));
        KindTable table;
        table.resetToDefaults(1);
        table.assign({table.records().begin(), table.records().begin() + 3});
        table.saveFile(kinds);
    }
    // A binary map of the cells, 16-pixel chips unless said otherwise.
    std::string map(const std::string& name, const std::vector<std::vector<int>>& chipRows,
                    const std::vector<std::vector<int>>& kindRows, int chipSize = 16) const {
        MapGrid::Layer chipLayer, kindLayer;
        for (std::size_t r = 0; r < chipRows.size(); ++r) {
            chipLayer.emplace_back(chipRows[r].begin(), chipRows[r].end());
            kindLayer.emplace_back(kindRows[r].begin(), kindRows[r].end());
        }
        MapGrid grid;
        grid.assign(chipLayer, kindLayer, static_cast<int>(chipRows[0].size()),
                    static_cast<int>(chipRows.size()));
        grid.setChipSize(chipSize, chipSize);
        std::string path = dir.file(name);
        MapFile::save(path, grid);
        return path;
    }
};

}  // namespace

TEST(ToolCheck, EachFaultIsFoundWhereItIs) {
    Sheet s;
    const std::string clean = s.map("clean.map", {{0, 1, -1}, {2, 3, 0}}, {{0, 1, 2}, {2, 1, 0}});
    const std::string range = s.map("range.map", {{0, 1, 4}, {-5, 3, 0}}, {{0, 0, 0}, {0, 0, 0}});
    const std::string kinds = s.map("kinds.map", {{0, 1}, {0, 1}}, {{0, 3}, {100, -1}});
    const std::string empty = s.map("empty.map", {{-1, -1}}, {{0, 1}});
    const std::string big = s.map("big.map", {{0, 1}}, {{0, 0}}, 64);
    const std::string wide = s.dir.file("wide.map");
    writeText(wide, "MAPT\n70\n16\n\n\n\n0,1,\n");
    const std::string cut = s.dir.file("cut.map");
    const Bytes whole = readBytes(clean);
    writeBytes(cut, Bytes(whole.begin(), whole.end() - 3));
    // A chunk that promises 10 × 10 cells and holds one.
    const std::string damaged = s.dir.file("damaged.map");
    Bytes bytes;
    putTag(bytes, "MAPB");
    for (std::uint32_t v : {24u, 16u, 16u, 10u, 10u, 0u, 0u}) {
        putU32(bytes, v);
    }
    writeBytes(damaged, bytes);

    const struct {
        std::string map;
        std::vector<std::string> options;
        std::string out;
    } cases[] = {
        {clean, {"--chips", s.chips, "--kinds", s.kinds, "--ignore", "sheet-edge"}, ""},
        {range,
         {"--chips", s.chips, "--ignore", "sheet-edge"},
         range + ":1:3: chip 4 is beyond the chip image's 4 chips [chip-range]\n" + range +
             ":2:1: chip -5 is no chip (-1 is the empty cell) [chip-range]\n" + range +
             ": 2 findings (chip-range 2)\n"},
        {range, {}, ""},  // without a chip image, chips are not checked
        {kinds,
         {"--kinds", s.kinds},
         kinds + ":1:2: attribute 3 is not a record in " + s.kinds +
             " (3 records) [kind-missing]\n" + kinds + ":2:1: attribute 100 is not a record in " +
             s.kinds + " (3 records) [kind-missing]\n" + kinds +
             ":2:2: attribute -1 is not a record in " + s.kinds + " (3 records) [kind-missing]\n" +
             kinds + ": 3 findings (kind-missing 3)\n"},
        {kinds,
         {},
         kinds +
             ":2:1: attribute 100 is not one of the editor's attributes 0 … 99 "
             "[attribute-range]\n" +
             kinds +
             ":2:2: attribute -1 is not one of the editor's attributes 0 … 99 "
             "[attribute-range]\n" +
             kinds + ": 2 findings (attribute-range 2)\n"},
        {clean,
         {"--chips", s.chips},
         clean +
             ":1:1: the chip image of 40 × 36 pixels is not a whole number of 16 × 16 chips; "
             "its last 8 × 4 pixels are never shown [sheet-edge]\n" +
             clean + ": 1 finding (sheet-edge 1)\n"},
        {empty,
         {},
         empty + ":1:1: no cell of the map holds a chip [empty-map]\n" + empty +
             ": 1 finding (empty-map 1)\n"},
        {big,
         {"--chips", s.chips, "--ignore", "sheet-edge,chip-range"},
         big + ":1:1: chips of 64 × 64 do not fit the chip image of 40 × 36 pixels [chip-size]\n" +
             big + ": 1 finding (chip-size 1)\n"},
        {wide,
         {},
         wide +
             ":1:1: the stored chip size 70 × 16 is outside 16 … 64; the editor "
             "uses 32 × 32 [chip-size]\n" +
             wide + ": 1 finding (chip-size 1)\n"},
        {cut,
         {"--chips", s.chips},
         cut + ":1:1: マップ配置データのＩＤが異なっています [unreadable]\n" + cut +
             ": 1 finding (unreadable 1)\n"},
        {damaged,
         {},
         damaged + ":1:1: マップデータが壊れています [unreadable]\n" + damaged +
             ": 1 finding (unreadable 1)\n"},
        {s.dir.file("none.map"),
         {},
         s.dir.file("none.map") + ":1:1: マップデータが開けません [unreadable]\n" +
             s.dir.file("none.map") + ": 1 finding (unreadable 1)\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"check", c.map};
        args.insert(args.end(), c.options.begin(), c.options.end());
        SCOPED_TRACE(c.map + (c.options.empty() ? "" : " " + c.options[0]));
        const ToolRun run = tool(s.dir, args);
        EXPECT_EQ(run.status, c.out.empty() ? 0 : 1);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, "");
    }
}

TEST(ToolCheck, PastTwentyFindingsOnlyTheCountUnlessAll) {
    Sheet s;
    const std::string map = s.map("many.map", {std::vector<int>(30, 9)}, {std::vector<int>(30, 0)});
    const ToolRun some = tool(s.dir, {"check", map, "--chips", s.chips, "--ignore", "sheet-edge"});
    EXPECT_EQ(some.status, 1);
    const std::string last =
        map + ":1:20: chip 9 is beyond the chip image's 4 chips [chip-range]\n" + map +
        ": 30 findings (chip-range 30), the first 20 shown; --all "
        "shows every one\n";
    ASSERT_GE(some.out.size(), last.size());
    EXPECT_EQ(some.out.substr(some.out.size() - last.size()), last);
    EXPECT_EQ(std::count(some.out.begin(), some.out.end(), '\n'), 21);
    const ToolRun all =
        tool(s.dir, {"check", map, "--chips", s.chips, "--ignore", "sheet-edge", "--all"});
    EXPECT_EQ(std::count(all.out.begin(), all.out.end(), '\n'), 31);

    const ToolRun json = tool(s.dir, {"check", map, "--chips", s.chips, "--json"});
    EXPECT_EQ(json.status, 1);
    const std::string start =
        "{\"file\":\"" + map +
        "\",\"count\":31,\"counts\":{\"chip-range\":30,\"sheet-edge\":1},\"findings\":[{\"row\":"
        "null,\"column\":null,\"check\":\"sheet-edge\",";
    EXPECT_EQ(json.out.substr(0, start.size()), start);
    const std::string end =
        "\"},{\"row\":1,\"column\":19,\"check\":\"chip-range\",\"message\":"
        "\"chip 9 is beyond the chip image's 4 chips\"}],\"omitted\":11}\n";
    ASSERT_GE(json.out.size(), end.size());
    EXPECT_EQ(json.out.substr(json.out.size() - end.size()), end);
}

TEST(ToolCheck, SeveralMapsAndWrongOptions) {
    Sheet s;
    const std::string clean = s.map("clean.map", {{0}}, {{0}});
    const std::string empty = s.map("empty.map", {{-1}}, {{0}});
    const ToolRun run = tool(s.dir, {"check", empty, clean, empty, "-j", "2"});
    EXPECT_EQ(run.status, 1);
    const std::string finding = empty + ":1:1: no cell of the map holds a chip [empty-map]\n" +
                                empty + ": 1 finding (empty-map 1)\n";
    EXPECT_EQ(run.out, finding + finding);
    EXPECT_EQ(run.err, "check: 3 files, 2 with findings\n");
    const ToolRun quiet = tool(s.dir, {"check", clean, clean});
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.out + quiet.err, "");

    EXPECT_EQ(tool(s.dir, {"check", clean, "--ignore", "chip-rang"}).err,
              "pelorin-tool: --ignore: \"chip-rang\" is none of the checks (unreadable, chip-size, "
              "sheet-edge, chip-range, kind-missing, attribute-range, empty-map)\n(see "
              "pelorin-tool --help)\n");
    const ToolRun noChips = tool(s.dir, {"check", clean, clean, "--chips", s.dir.file("no.png")});
    EXPECT_EQ(noChips.status, 1);
    EXPECT_EQ(noChips.err,
              "pelorin-tool: cannot open the chip image " + s.dir.file("no.png") + "\n")
        << "said once for all maps";
}
