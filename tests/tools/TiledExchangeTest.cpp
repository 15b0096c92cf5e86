// Export to and import from Tiled's TMX and TMJ: round trips of random maps, the exact texts,
// the refusals, and the real Tiled reading what we write and writing what we read.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

#include "chips/ChipSet.h"
#include "chips/KindTable.h"
#include "gfx/CNxPNGLoader.h"
#include "gfx/CNxSurface.h"
#include "map/MapFile.h"
#include "tests/support/ImageWriters.h"
#include "tests/support/TempDir.h"
#include "tests/tools/ToolRunner.h"
#include "tools/JsonText.h"
#include "tools/TiledConvert.h"

using namespace testing_support;

namespace {

// Saves the map and table and gives their files' bytes.
std::pair<Bytes, Bytes> fileBytes(const TempDir& dir, MapGrid& grid, const KindTable& kinds) {
    std::string map = dir.file("x.map"), knd = dir.file("x.knd");
    EXPECT_TRUE(MapFile::save(map, grid).value && kinds.saveFile(knd));
    return {readBytes(map), readBytes(knd)};
}

std::string randomMemo(std::mt19937& random) {
    static const char* const words[] = {"水辺", "草原", "崖", "宝箱", "扉", "ｱｲｳ", " ", "!?"};
    std::string memo;
    for (int n = random() % 6; n > 0; --n) {
        memo += words[random() % 8];
    }
    return memo;
}

// Base64 of bytes, for data written by hand.
std::string base64(const Bytes& b) {
    static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < b.size(); i += 3) {
        const std::uint32_t v =
            b[i] << 16 | (i + 1 < b.size() ? b[i + 1] << 8 : 0) | (i + 2 < b.size() ? b[i + 2] : 0);
        out += digits[v >> 18 & 63];
        out += digits[v >> 12 & 63];
        out += i + 1 < b.size() ? digits[v >> 6 & 63] : '=';
        out += i + 2 < b.size() ? digits[v & 63] : '=';
    }
    return out;
}

// GIDs little-endian, deflated as zlib (windowBits 15) or gzip (31) or left as they are (0).
Bytes packed(const std::vector<std::uint32_t>& gids, int windowBits) {
    Bytes raw;
    for (std::uint32_t g : gids) {
        raw.insert(raw.end(), {std::uint8_t(g), std::uint8_t(g >> 8), std::uint8_t(g >> 16),
                               std::uint8_t(g >> 24)});
    }
    if (windowBits == 0) {
        return raw;
    }
    z_stream s{};
    deflateInit2(&s, 6, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
    Bytes out(deflateBound(&s, raw.size()) + 32);
    s.next_in = raw.data();
    s.avail_in = static_cast<uInt>(raw.size());
    s.next_out = out.data();
    s.avail_out = static_cast<uInt>(out.size());
    deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    return out;
}

// A 3 × 2 map, 16-pixel chips of a 64 × 32 image (8 chips), and two attribute records.
struct Small {
    TempDir dir;
    Small() {
        PngPicture png{64, 32, 2, 8, false, {}, {}, {}, ""};
        for (int y = 0; y < 32; ++y) {
            png.rows.emplace_back(192);
            for (int i = 0; i < 192; ++i) {
                png.rows.back()[i] = static_cast<std::uint8_t>(i * 5 + y * 11);
            }
        }
        writeBytes(dir.file("chips.png"), encodePng(png));
        MapGrid grid;
        grid.assign({{0, 1, -1}, {7, 2, 3}}, {{0, 1, 0}, {0, 0, 1}}, 3, 2);
        grid.setChipSize(16, 16);
        std::string map = dir.file("s.map");
        MapFile::save(map, grid);
        KindTable kinds;
        KindRecord a, b;
        a.setMemoText("水辺 \"<&>\"");
        a.red = 0x10;
        a.green = 0x20;
        a.blue = 0x30;
        a.z = 3;
        b.number = 1;
        b.passable = 0;
        b.dropThrough = 1;
        b.hitLeft = 1;
        b.hitTop = 2;
        b.hitRight = 14;
        b.hitBottom = -5;
        kinds.assign({a, b});
        std::string knd = dir.file("s.knd");
        kinds.saveFile(knd);
    }
    ToolRun exportAs(const std::string& format, const std::string& out) {
        return tool(dir, {"export", dir.file("s.map"), "--format", format, "--chips",
                          dir.file("chips.png"), "--kinds", dir.file("s.knd"), "-o", out});
    }
};

const char kSmallTmx[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<map version="1.8" tiledversion="1.8.2" orientation="orthogonal" renderorder="right-down" width="3" height="2" tilewidth="16" tileheight="16" infinite="0" nextlayerid="3" nextobjectid="1">
 <tileset firstgid="1" name="chips" tilewidth="16" tileheight="16" tilecount="8" columns="4">
  <image source="chips.png" width="64" height="32" />
 </tileset>
 <tileset firstgid="9" name="attributes" tilewidth="16" tileheight="16" tilecount="100" columns="25">
  <image source="s-attributes.png" width="400" height="64" />
  <tile id="0">
   <properties>
    <property name="colour" type="color" value="#ff102030" />
    <property name="dropThrough" type="bool" value="false" />
    <property name="hitBottom" type="int" value="0" />
    <property name="hitLeft" type="int" value="0" />
    <property name="hitRight" type="int" value="0" />
    <property name="hitTop" type="int" value="0" />
    <property name="memo" value="水辺 &quot;&lt;&amp;>&quot;" />
    <property name="passable" type="bool" value="true" />
    <property name="z" type="int" value="3" />
   </properties>
  </tile>
  <tile id="1">
   <properties>
    <property name="colour" type="color" value="#ff000000" />
    <property name="dropThrough" type="bool" value="true" />
    <property name="hitBottom" type="int" value="-5" />
    <property name="hitLeft" type="int" value="1" />
    <property name="hitRight" type="int" value="14" />
    <property name="hitTop" type="int" value="2" />
    <property name="memo" value="" />
    <property name="passable" type="bool" value="false" />
    <property name="z" type="int" value="0" />
   </properties>
  </tile>
 </tileset>
 <layer id="1" name="chips" width="3" height="2">
  <data encoding="csv">
1,2,0,
8,3,4
</data>
 </layer>
 <layer id="2" name="attributes" width="3" height="2" opacity="0.5">
  <data encoding="csv">
9,10,9,
9,9,10
</data>
 </layer>
</map>
)";

const char kSmallTmj[] =
    R"({"compressionlevel":-1,"height":2,"infinite":false,"layers":[{"data":[1,2,0,8,3,4],)"
    R"("height":2,"id":1,"name":"chips","opacity":1,"type":"tilelayer","visible":true,"width":3,)"
    R"("x":0,"y":0},{"data":[9,10,9,9,9,10],"height":2,"id":2,"name":"attributes",)"
    R"("opacity":0.5,"type":"tilelayer","visible":true,"width":3,"x":0,"y":0}],)"
    R"("nextlayerid":3,"nextobjectid":1,"orientation":"orthogonal","renderorder":"right-down",)"
    R"("tiledversion":"1.8.2","tileheight":16,"tilesets":[{"columns":4,"firstgid":1,)"
    R"("image":"chips.png","imageheight":32,"imagewidth":64,"margin":0,"name":"chips",)"
    R"("spacing":0,"tilecount":8,"tileheight":16,"tilewidth":16},{"columns":25,"firstgid":9,)"
    R"("image":"s-attributes.png","imageheight":64,"imagewidth":400,"margin":0,)"
    R"("name":"attributes","spacing":0,"tilecount":100,"tileheight":16,"tiles":[{"id":0,)"
    R"("properties":[{"name":"colour","type":"color","value":"#ff102030"},{"name":"dropThrough",)"
    R"("type":"bool","value":false},{"name":"hitBottom","type":"int","value":0},{"name":)"
    R"("hitLeft","type":"int","value":0},{"name":"hitRight","type":"int","value":0},{"name":)"
    R"("hitTop","type":"int","value":0},{"name":"memo","type":"string","value":)"
    R"("水辺 \"<&>\""},{"name":"passable","type":"bool","value":true},{"name":"z","type":"int",)"
    R"("value":3}]},{"id":1,"properties":[{"name":"colour","type":"color","value":"#ff000000"},)"
    R"({"name":"dropThrough","type":"bool","value":true},{"name":"hitBottom","type":"int",)"
    R"("value":-5},{"name":"hitLeft","type":"int","value":1},{"name":"hitRight","type":"int",)"
    R"("value":14},{"name":"hitTop","type":"int","value":2},{"name":"memo","type":"string",)"
    R"("value":""},{"name":"passable","type":"bool","value":false},{"name":"z","type":"int",)"
    R"("value":0}]}],"tilewidth":16}],"tilewidth":16,"type":"map","version":"1.8","width":3})"
    "\n";

// Every field of ours that theirs also has holds the same value; arrays are compared whole.
void expectSameFields(const json::Value& ours, const json::Value& theirs, const std::string& at) {
    if (ours.is_object() && theirs.is_object()) {
        for (const auto& item : ours.items()) {
            if (theirs.contains(item.key())) {
                expectSameFields(item.value(), theirs[item.key()], at + "." + item.key());
            }
        }
    } else if (ours.is_array() && theirs.is_array() && ours.size() == theirs.size()) {
        for (std::size_t i = 0; i < ours.size(); ++i) {
            expectSameFields(ours[i], theirs[i], at + "[" + std::to_string(i) + "]");
        }
    } else if (ours.is_number() && theirs.is_number()) {
        EXPECT_EQ(ours.get<double>(), theirs.get<double>()) << at;
    } else {
        EXPECT_EQ(ours, theirs) << at;
    }
}

json::Value parsed(const std::string& path) {
    json::Value value;
    const platform::Outcome<bool> read = json::parse(readText(path), value);
    EXPECT_TRUE(read.value) << path << ": " << read.why();
    return value;
}

int runTiled(const std::string& args) {
    const std::string command =
        "QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=/tmp/pelorin-tiled tiled " + args +
        " 2>/dev/null";
    return std::system(("mkdir -p -m 700 /tmp/pelorin-tiled && " + command).c_str());
}

}  // namespace

TEST(TiledExchange, RandomMapsComeBackByteForByte) {
    TempDir dir;
    std::mt19937 random(14);
    for (int round = 0; round < 24; ++round) {
        const int columns = 1 + random() % 300, rows = 1 + random() % (round < 4 ? 3 : 300);
        int chipWidth = 16 + random() % 49, chipHeight = 16 + random() % 49;
        auto image = std::make_unique<CNxSurface>(32);
        ASSERT_TRUE(image->Create(chipWidth * (1 + random() % 5) + random() % 16,
                                  chipHeight * (1 + random() % 4)));
        ChipSet chips;
        chips.setImage(std::move(image));
        chips.setChipSize(chipWidth, chipHeight);
        MapGrid grid;
        grid.reset(columns, rows);
        grid.setChipSize(chipWidth, chipHeight);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                grid.setChip(c, r, static_cast<std::int32_t>(random() % (chips.count() + 1)) - 1);
                grid.setKind(c, r, static_cast<std::int32_t>(random() % 100));
            }
        }
        KindTable kinds;
        kinds.resetToDefaults(round);
        std::vector<KindRecord> records = kinds.records();
        for (KindRecord& k : records) {
            k.setMemoText(randomMemo(random));
            k.passable = random() % 2;
            k.dropThrough = random() % 2;
            k.z = static_cast<std::int32_t>(random() % 256);
            k.hitLeft = static_cast<std::int32_t>(random() % 2000001) - 1000000;
            k.hitBottom = static_cast<std::int32_t>(random() % 64);
        }
        kinds.assign(records);
        const auto want = fileBytes(dir, grid, kinds);
        tiled::Map map;
        ASSERT_TRUE(tiledconvert::toTiled(grid, chips, kinds, {"c.png", "k.png"}, map).value);
        for (const bool tmx : {true, false}) {
            SCOPED_TRACE("round " + std::to_string(round) + (tmx ? " TMX" : " TMJ"));
            tiled::Map back;
            MapGrid grid2;
            KindTable kinds2;
            const platform::Outcome<bool> read =
                tmx ? tiled::readTmx(tiled::writeTmx(map), dir.path(), back)
                    : tiled::readTmj(tiled::writeTmj(map), dir.path(), back);
            ASSERT_TRUE(read.value) << read.why();
            const platform::Outcome<bool> taken = tiledconvert::fromTiled(back, grid2, &kinds2);
            ASSERT_TRUE(taken.value) << taken.why();
            EXPECT_TRUE(fileBytes(dir, grid2, kinds2) == want);
        }
    }
}

TEST(TiledExchange, WritesTheseTextsAndReadsThemBack) {
    Small s;
    for (const auto& [format, text] :
         {std::pair<std::string, const char*>{"tmx", kSmallTmx}, {"tmj", kSmallTmj}}) {
        const ToolRun run = s.exportAs(format, s.dir.file("s." + format));
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(readText(s.dir.file("s." + format)), text);
        // The attribute picture: 25 × 4 squares, attribute 1 black, those without a record grey.
        CNxPNGLoader loader;
        auto picture =
            loadBytes(loader, s.dir.file("p.png"), readBytes(s.dir.file("s-attributes.png")));
        ASSERT_TRUE(picture);
        const std::vector<std::uint32_t> pixels = argbPixels(*picture);
        EXPECT_EQ(pixels[0], 0xFF102030u);
        EXPECT_EQ(pixels[16], 0xFF000000u);
        EXPECT_EQ(pixels[32], 0xFFBEBEBEu);
        EXPECT_EQ(pixels.size(), 400u * 64);

        ToolRun back = tool(s.dir, {"import", s.dir.file("s." + format), "-o", s.dir.file("b.map"),
                                    "--kinds-out", s.dir.file("b.knd")});
        ASSERT_EQ(back.status, 0) << back.err;
        EXPECT_EQ(readBytes(s.dir.file("b.map")), readBytes(s.dir.file("s.map")));
        KindTable kinds;
        ASSERT_TRUE(kinds.loadFile(s.dir.file("b.knd")));
        EXPECT_EQ(kinds.count(), 100) << "every tile of the attribute tileset is a record";
        KindTable original;
        ASSERT_TRUE(original.loadFile(s.dir.file("s.knd")));
        EXPECT_EQ(std::memcmp(kinds.records().data(), original.records().data(), 2 * 296), 0);
    }
}

namespace {

const char kMapAttributes[] =
    R"(orientation="orthogonal" width="3" height="2" tilewidth="16" tileheight="16" infinite="0")";
const char kTilesets[] = R"(<tileset firstgid="1" name="chips" tilecount="8"/>)"
                         R"(<tileset firstgid="9" name="attributes" tilecount="100"/>)";
const char kKindLayer[] =
    R"(<layer name="attributes" width="3" height="2"><data encoding="csv">9,10,9,9,9,10</data></layer>)";

// The small map as a hand-written TMX whose parts a case replaces.
std::string tmx(const std::string& chipData, const std::string& attributes = kMapAttributes,
                const std::string& tilesets = kTilesets, const std::string& more = "") {
    return "<?xml version=\"1.0\"?>\n<map " + attributes + ">" + tilesets +
           R"(<layer name="chips" width="3" height="2">)" + chipData + "</layer>" + kKindLayer +
           more + "</map>";
}

// The same as TMJ.
std::string tmj(const std::string& chipLayer, const std::string& mapFields = "") {
    return R"({"type":"map","orientation":"orthogonal","width":3,"height":2,"tilewidth":16,)"
           R"("tileheight":16,)" +
           mapFields +
           R"("tilesets":[{"firstgid":1,"name":"chips","tilecount":8},)"
           R"({"firstgid":9,"name":"attributes","tilecount":100}],"layers":[)" +
           chipLayer +
           R"(,{"type":"tilelayer","name":"attributes","width":3,"height":2,)"
           R"("data":[9,10,9,9,9,10]}]})";
}

std::string tmjLayer(const std::string& data) {
    return R"({"type":"tilelayer","name":"chips","width":3,"height":2,)" + data + "}";
}

const std::vector<std::uint32_t> kGids = {1, 2, 0, 8, 3, 4};

std::string b64(int windowBits) {
    return base64(packed(kGids, windowBits));
}

}  // namespace

TEST(TiledExchange, ReadsEveryDataEncodingAndTilesetFile) {
    Small s;
    writeText(s.dir.file("set.tsx"), R"(<tileset name="chips" tilecount="8"/>)");
    writeText(s.dir.file("set.tsj"), R"({"name":"attributes","tilecount":100})");
    const std::string csv = R"(<data encoding="csv">
1,2,0,
8,3,4
</data>)";
    const std::string cases[] = {
        tmx(csv),
        tmx(R"(<data><tile gid="1"/><tile gid="2"/><tile/><tile gid="8"/><tile gid="3"/>)"
            R"(<tile gid="4"/></data>)"),
        tmx(R"(<data encoding="base64">)" + b64(0) + "</data>"),
        tmx(R"(<data encoding="base64" compression="zlib">
   )" + b64(15) +
            "\n</data>"),
        tmx(R"(<data encoding="base64" compression="gzip">)" + b64(31) + "</data>"),
        tmx(csv, kMapAttributes,
            R"(<tileset firstgid="1" source="set.tsx"/><tileset firstgid="9" source="set.tsj"/>)"),
        // Layers inside a group, behind a layer of another name: "chips" is found by its name.
        "<map " + std::string(kMapAttributes) + ">" + kTilesets +
            R"(<layer name="ground" width="3" height="2"><data encoding="csv">0,0,0,0,0,0</data>)"
            R"(</layer><group name="g"><layer name="chips" width="3" height="2">)" +
            csv + "</layer>" + kKindLayer + "</group></map>",
        tmj(tmjLayer(R"("data":[1,2,0,8,3,4])")),
        tmj(tmjLayer(R"("encoding":"base64","data":")" + b64(0) + "\"")),
        tmj(tmjLayer(R"("encoding":"base64","compression":"zlib","data":")" + b64(15) + "\"")),
        tmj(tmjLayer(R"("encoding":"base64","compression":"gzip","data":")" + b64(31) + "\"")),
    };
    for (const std::string& text : cases) {
        writeText(s.dir.file("in.tiled"), text);
        const ToolRun run = tool(s.dir, {"import", s.dir.file("in.tiled"), "-o", s.dir.file("b")});
        EXPECT_EQ(run.status, 0) << text << "\n" << run.err;
        EXPECT_EQ(readBytes(s.dir.file("b.map")), readBytes(s.dir.file("s.map"))) << text;
    }
}

TEST(TiledExchange, RefusesWhatItCannotTakeAndWritesNothing) {
    TempDir dir;
    const std::string tilesets3 =
        std::string(kTilesets) + R"(<tileset firstgid="109" name="other" tilecount="5"/>)";
    const auto attribute = [](const std::string& property) {
        return R"(<tileset firstgid="1" name="chips" tilecount="8"/>)"
               R"(<tileset firstgid="9" name="attributes" tilecount="100"><tile id="4">)"
               R"(<properties>)" +
               property + "</properties></tile></tileset>";
    };
    const std::string csv = R"(<data encoding="csv">1,2,0,8,3,4</data>)";
    const std::string zlib7 = base64(packed({1, 2, 0, 8, 3, 4, 5}, 15));
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {tmx(csv, R"(orientation="orthogonal" width="3" height="2" tilewidth="16" )"
                  R"(tileheight="16" infinite="1")"),
         "map: the map is infinite; only finite maps are read"},
        {tmx(csv, R"(orientation="isometric" width="3" height="2" tilewidth="16" tileheight="16")"),
         "map: the orientation is \"isometric\"; only orthogonal maps are read"},
        {tmx(csv, kMapAttributes, R"(<tileset firstgid="1" source="gone.tsx"/>)"),
         "cannot read the tileset file \"gone.tsx\""},
        {tmx(R"(<data encoding="csv">110,2,0,8,3,4</data>)", kMapAttributes, tilesets3),
         "layer \"chips\", cell (0,0): GID 110 is a tile of tileset \"other\", not of the chip "
         "tileset"},
        {tmx(R"(<data encoding="csv">1,2,0,8,3,200</data>)"),
         "layer \"chips\", cell (2,1): GID 200 belongs to no tileset"},
        {"<map " + std::string(kMapAttributes) + ">" + kTilesets + kKindLayer + "</map>",
         "map: there is no tile layer for the chips"},
        {tmx(R"(<data encoding="csv">1,2,2147483649,8,3,4</data>)"),
         "layer \"chips\", cell (2,0): the tile is flipped or rotated (GID 2147483649)"},
        {tmx(R"(<data encoding="base64" compression="zstd">KLUv/Q==</data>)"),
         "layer \"chips\": zstd-compressed data are not read"},
        {tmx(csv, R"(width="5001" height="2" tilewidth="16" tileheight="16")"),
         "map: 5001 × 2 tiles; a map has 1 to 5000 tiles each way"},
        {tmx(csv, R"(width="3" height="2" tilewidth="8" tileheight="16")"),
         "map: tiles of 8 × 16 pixels; a chip has 16 to 64 pixels each way"},
        {tmx(R"(<data encoding="csv">1,2,0,8,3</data>)"),
         "layer \"chips\": the data hold 5 tiles where the layer has 6"},
        {tmx(R"(<data encoding="base64" compression="zlib">)" + zlib7 + "</data>"),
         "layer \"chips\": the data hold more than the layer's 6 tiles"},
        {tmx(R"(<data encoding="base64">AQAAAAIAAAA=</data>)"),
         "layer \"chips\": the data hold 2 tiles where the layer has 6"},
        {tmx(R"(<data encoding="csv">1,2,x,8,3,4</data>)"),
         "layer \"chips\": tile 2 of the CSV data is not a GID"},
        {"<?xml version=\"1.0\"?>\n<map width=\"3\"><layer>", "line 2, column"},
        {tmx(csv, kMapAttributes, attribute(R"(<property name="memo" value="🔥"/>)")),
         "tileset \"attributes\", tile 4: the memo has characters that cannot be stored in code "
         "page 932"},
        {tmx(csv, kMapAttributes,
             attribute(R"(<property name="passable" type="bool" value="yes"/>)")),
         "tileset \"attributes\", tile 4: \"passable\" must be true or false, not \"yes\""},
        {tmj(tmjLayer(R"("data":[1,2,0,8,3,4])"), R"("infinite":true,)"),
         "map: the map is infinite"},
        {tmj(tmjLayer(R"("data":[1,2,0,8,3])")),
         "layer \"chips\": the data hold 5 tiles where the layer has 6"},
        {tmj(tmjLayer(R"("data":[1,2,0,8,3,-4])")), "layer \"chips\": data[5] is not a GID"},
        {tmj(tmjLayer(R"("encoding":"base64","compression":"zstd","data":"KLUv/Q==")")),
         "zstd-compressed data are not read"},
        {R"({"type":"map","layers":[}])", "line 1, column 25: syntax error"},
    };
    writeText(dir.file("keep.map"), "precious");
    writeText(dir.file("keep.knd"), "precious");
    for (const auto& c : cases) {
        writeText(dir.file("bad.tiled"), c.text);
        const ToolRun run = tool(dir, {"import", dir.file("bad.tiled"), "-o", dir.file("keep.map"),
                                       "--kinds-out", dir.file("keep.knd")});
        EXPECT_EQ(run.status, 1) << c.text;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.message << "\n" << run.err;
        EXPECT_EQ(readText(dir.file("keep.map")) + readText(dir.file("keep.knd")),
                  "preciousprecious");
    }
}

TEST(TiledExchange, ExportRefusesCellsTiledHasNoTileFor) {
    Small s;
    MapGrid grid;
    grid.setChipSize(16, 16);
    grid.assign({{0, 8}}, {{0, 0}}, 2, 1);
    std::string path = s.dir.file("beyond.map");
    MapFile::save(path, grid);
    grid.assign({{0, 1}}, {{0, 100}}, 2, 1);
    std::string path2 = s.dir.file("kind.map");
    MapFile::save(path2, grid);
    const std::pair<std::string, std::string> cases[] = {
        {path,
         "layer \"chips\", cell (1,0) holds chip 8, which the chip image (8 chips) does not "
         "have"},
        {path2,
         "layer \"attributes\", cell (1,0) holds attribute 100; Tiled gets the attributes 0 "
         "to 99"},
    };
    for (const auto& [map, message] : cases) {
        const ToolRun run = tool(s.dir, {"export", map, "--format", "tmx", "--chips",
                                         s.dir.file("chips.png"), "-o", s.dir.file("o.tmx")});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "pelorin-tool: " + message + "\n");
        EXPECT_FALSE(exists(s.dir.file("o.tmx")) || exists(s.dir.file("o-attributes.png")));
    }
    // A chip image Tiled cannot read goes beside the map as PNG.
    MagPicture mag;
    mag.palette = Bytes(48, 0x33);
    mag.xEnd = 15;
    mag.yEnd = 15;
    mag.lines.assign(16, Bytes(8, 0x12));
    writeBytes(s.dir.file("chips.mag"), encodeMag(mag));
    grid.assign({{0, -1}}, {{0, 0}}, 2, 1);
    MapFile::save(path, grid);
    ASSERT_EQ(tool(s.dir, {"export", path, "--format", "tmj", "--chips", s.dir.file("chips.mag"),
                           "-o", s.dir.file("m.tmj")})
                  .status,
              0);
    EXPECT_NE(readText(s.dir.file("m.tmj")).find(R"("image":"m-chips.png")"), std::string::npos);
    EXPECT_EQ(readBytes(s.dir.file("m-chips.png")).size() > 8, true);
}

TEST(TiledExchange, TiledReadsWhatWeWriteAndWeReadWhatItWrites) {
    Small s;
    ASSERT_EQ(s.exportAs("tmx", s.dir.file("s.tmx")).status, 0);
    ASSERT_EQ(s.exportAs("tmj", s.dir.file("s.tmj")).status, 0);
    ASSERT_EQ(runTiled("--export-map json " + s.dir.file("s.tmx") + " " + s.dir.file("t.tmj")), 0);
    const json::Value ours = parsed(s.dir.file("s.tmj")), theirs = parsed(s.dir.file("t.tmj"));
    expectSameFields(ours, theirs, "map");
    EXPECT_EQ(ours["layers"][0]["data"], theirs["layers"][0]["data"]);
    EXPECT_EQ(ours["layers"][1]["data"], theirs["layers"][1]["data"]);

    // Tiled's TMX of our TMJ comes back as the same map and attributes.
    ASSERT_EQ(runTiled("--export-map tmx " + s.dir.file("s.tmj") + " " + s.dir.file("t.tmx")), 0);
    const ToolRun back = tool(s.dir, {"import", s.dir.file("t.tmx"), "-o", s.dir.file("t.map"),
                                      "--kinds-out", s.dir.file("t.knd")});
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(readBytes(s.dir.file("t.map")), readBytes(s.dir.file("s.map")));
    KindTable original, imported;
    ASSERT_TRUE(original.loadFile(s.dir.file("s.knd")) && imported.loadFile(s.dir.file("t.knd")));
    EXPECT_EQ(std::memcmp(original.records().data(), imported.records().data(), 2 * 296), 0);

    // Tiled's own renderer draws the chip layer as render does, cell for cell that has a chip.
    ASSERT_EQ(std::system(("QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=/tmp/pelorin-tiled "
                           "tmxrasterizer --hide-layer attributes " +
                           s.dir.file("s.tmx") + " " + s.dir.file("tiled.png") + " 2>/dev/null")
                              .c_str()),
              0);
    ASSERT_EQ(tool(s.dir, {"render", s.dir.file("s.map"), "--chips", s.dir.file("chips.png"), "-o",
                           s.dir.file("ours.png")})
                  .status,
              0);
    CNxPNGLoader loader;
    auto a = loadBytes(loader, s.dir.file("a.png"), readBytes(s.dir.file("tiled.png")));
    auto b = loadBytes(loader, s.dir.file("b.png"), readBytes(s.dir.file("ours.png")));
    ASSERT_TRUE(a && b);
    const std::vector<std::uint32_t> pa = argbPixels(*a), pb = argbPixels(*b);
    ASSERT_EQ(pa.size(), pb.size());
    for (std::size_t i = 0; i < pa.size(); ++i) {
        if (!(i % 48 >= 32 && i / 48 < 16)) {  // cell (2,0) is empty: grey here, clear in Tiled
            ASSERT_EQ(pa[i], pb[i]) << "pixel " << i % 48 << "," << i / 48;
        }
    }
}

TEST(TiledExchange, CsvDataOfEveryLength) {
    // Random GIDs of every length, with the spacing Tiled and hand-written files use.
    std::mt19937 random(5);
    std::vector<std::uint32_t> gids;
    std::string text = "\n";
    for (int i = 0; i < 3000; ++i) {
        gids.push_back(static_cast<std::uint32_t>(random() >> (random() % 32)));
        text += std::to_string(gids.back()) + (i % 7 == 0 ? " ,\r\n " : ",");
    }
    std::vector<std::uint32_t> read;
    std::string error;
    ASSERT_TRUE(tiled::detail::decodeCsv(text.data(), text.size(), gids.size(), read, error))
        << error;
    EXPECT_EQ(read, gids);

    const std::pair<const char*, const char*> refused[] = {
        {"1,2,4294967296", "tile 2 of the CSV data is not a GID"},
        {"1,,2", "tile 1 of the CSV data is not a GID"},
        {"12345678;1", "the CSV data have \";\" after tile 0"},
        {"123456789012", "tile 0 of the CSV data is not a GID"},
        {"1,2", "the data hold 2 tiles where the layer has 3"},
    };
    for (const auto& [csv, message] : refused) {
        EXPECT_FALSE(tiled::detail::decodeCsv(csv, std::strlen(csv), 3, read, error)) << csv;
        EXPECT_EQ(error, message);
    }
}
