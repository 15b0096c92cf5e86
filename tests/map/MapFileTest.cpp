#include "map/MapFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <random>

#include "tests/support/TempDir.h"

using namespace testing_support;

namespace {

const char kTitle[] = "マップ読み込みエラー";
const char kHeader[] = "MAPT\n32\n32\n9\n9\n\n";  // chip size, counts that rows overrule, blank

MapGrid randomGrid(int columns, int rows, unsigned seed) {
    std::mt19937 random(seed);
    MapGrid::Layer chips(rows, MapGrid::Row(columns)), kinds(rows, MapGrid::Row(columns));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            chips[r][c] = static_cast<std::int32_t>(random());
            kinds[r][c] = static_cast<std::int32_t>(random());
        }
    }
    MapGrid grid;
    grid.assign(std::move(chips), std::move(kinds), columns, rows);
    return grid;
}

void expectSameCells(const MapGrid& a, const MapGrid& b) {
    EXPECT_EQ(a.columns(), b.columns());
    EXPECT_EQ(a.rows(), b.rows());
    EXPECT_EQ(a.chipLayer(), b.chipLayer());
    EXPECT_EQ(a.kindLayer(), b.kindLayer());
}

std::vector<std::uint8_t> mapbFile(std::int32_t columns, std::int32_t rows, std::size_t cells,
                                   std::int32_t chipSize = 16) {
    std::vector<std::uint8_t> bytes;
    putTag(bytes, "MAPB");
    putU32(bytes, static_cast<std::uint32_t>(16 + 8 * cells));
    putU32(bytes, chipSize);
    putU32(bytes, chipSize);
    putU32(bytes, columns);
    putU32(bytes, rows);
    for (std::size_t i = 0; i < 2 * cells; ++i) {
        putU32(bytes, static_cast<std::uint32_t>(i));
    }
    return bytes;
}

// What a reader came to, its notices shown in port's boxes.
template <class T>
T shown(platform::Outcome<T> outcome, RecordingPort& port) {
    platform::show(port, nullptr, outcome.notices);
    return std::move(outcome.value);
}

// Loads text as a text map into a grid that already holds a 2 × 1 map.
struct TextLoad {
    bool ok;
    MapGrid grid;
    RecordingPort port;
};

std::unique_ptr<TextLoad> loadText(const std::string& text) {
    TempDir dir;
    writeText(dir.file("t.map"), text);
    auto result = std::make_unique<TextLoad>();
    result->grid = randomGrid(2, 1, 1);
    result->ok =
        shown(MapFile::loadText(dir.file("t.map"), result->grid, result->port), result->port);
    return result;
}

}  // namespace

TEST(MapSave, A40By40MapIsExactly12824Bytes) {
    TempDir dir;
    MapGrid grid;
    grid.reset(40, 40);
    grid.setChip(3, 1, 77);
    grid.setKind(39, 39, 5);
    std::string path = dir.file("start.map");
    ASSERT_TRUE(MapFile::save(path, grid).value);
    const std::vector<std::uint8_t> bytes = readBytes(path);
    ASSERT_EQ(bytes.size(), 12824u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "MAPB");
    EXPECT_EQ(i32At(bytes, 4), 12816);
    EXPECT_EQ(i32At(bytes, 8), 32);  // chip width and height
    EXPECT_EQ(i32At(bytes, 12), 32);
    EXPECT_EQ(i32At(bytes, 16), 40);
    EXPECT_EQ(i32At(bytes, 20), 40);
    EXPECT_EQ(i32At(bytes, 24), -1);
    EXPECT_EQ(i32At(bytes, 24 + 4 * (1 * 40 + 3)), 77);
    EXPECT_EQ(i32At(bytes, 24 + 4 * 1600), 0);
    EXPECT_EQ(i32At(bytes, 24 + 4 * 1600 + 4 * 1599), 5);
    EXPECT_TRUE(grid.fileBacked());
}

TEST(MapSave, ForcesTheExtensionIntoTheCallersPath) {
    TempDir dir;
    MapGrid grid;
    grid.reset(1, 1);
    for (const char* name : {"a.txt", "a.MAP", "a", "a.map"}) {
        std::string path = dir.file(name);
        ASSERT_TRUE(MapFile::save(path, grid).value);
        EXPECT_EQ(path, dir.file("a.map")) << name;
    }
    EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"a.map"});
}

TEST(MapSave, AFailedSaveKeepsThePreviousFileAndStillMarksTheMapFileBacked) {
    TempDir dir;
    MapGrid old = randomGrid(3, 2, 7);
    std::string path = dir.file("keep.map");
    ASSERT_TRUE(MapFile::save(path, old).value);
    const std::vector<std::uint8_t> before = readBytes(path);

    MapGrid bigger = randomGrid(300, 300, 8);
    rlimit saved;
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 64 * 1024;  // the disk is full after 64 KiB of the 720 KiB
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &limited);
    const bool saved_ok = MapFile::save(path, bigger).value;
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved_ok);
    EXPECT_TRUE(bigger.fileBacked());
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{"keep.map"});

    std::string nowhere = dir.file("no/such/folder/x");
    const platform::Outcome<bool> failed = MapFile::save(nowhere, old);
    EXPECT_FALSE(failed.value);
    EXPECT_EQ(nowhere, dir.file("no/such/folder/x.map"));
    ASSERT_EQ(failed.notices.size(), 1u);
    EXPECT_EQ(failed.notices[0].text, "マップ「" + nowhere +
                                          "」を保存できませんでした\ncannot create a file beside " +
                                          nowhere + ": No such file or directory");
    EXPECT_EQ(failed.notices[0].title, "保存エラー");
}

TEST(MapLoad, BinaryRoundTripKeepsRowsAndColumnsApart) {
    TempDir dir;
    const MapGrid saved = randomGrid(7, 3, 42);
    MapGrid copy = saved;
    std::string path = dir.file("r.map");
    ASSERT_TRUE(MapFile::save(path, copy).value);

    MapGrid loaded;
    loaded.setChipSize(48, 24);
    MapFile::Header header;
    EXPECT_EQ(MapFile::loadBinary(path, loaded, &header), MapFile::BinaryResult::Loaded);
    expectSameCells(loaded, saved);
    EXPECT_EQ(loaded.chipWidth(), 48) << "the chip size in effect is not changed by a load";
    EXPECT_EQ(loaded.chipHeight(), 24);
    EXPECT_EQ(header.format, MapFile::Format::Binary);
    EXPECT_EQ(header.chipWidth, 32);
}

TEST(MapLoad, DamagedMapbChunksAreRefusedAndChangeNothing) {
    TempDir dir;
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Case> cases = {
        {"data shorter than the counts", mapbFile(10, 10, 99)},
        {"negative columns", mapbFile(-1, 10, 0)},
        {"negative rows", mapbFile(4, -3, 0)},
        {"columns above 5000", mapbFile(5001, 1, 5001)},  // with all the cells they promise
        {"rows above 5000", mapbFile(1, 5001, 5001)},
        {"a product that overflows", mapbFile(65536, 65536, 0)},
        {"a header cut short", {'M', 'A', 'P', 'B', 8, 0, 0, 0, 32, 0, 0, 0, 32, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        writeBytes(dir.file("bad.map"), c.bytes);
        MapGrid grid = randomGrid(3, 2, 5);
        const MapGrid before = grid;
        EXPECT_EQ(MapFile::loadBinary(dir.file("bad.map"), grid), MapFile::BinaryResult::Damaged)
            << c.what;
        expectSameCells(grid, before);

        RecordingPort port;
        EXPECT_EQ(shown(MapFile::load(dir.file("bad.map"), grid, port), port),
                  MapFile::Format::None);
        ASSERT_EQ(port.boxes.size(), 1u) << c.what;
        EXPECT_EQ(port.boxes[0].text, dir.file("bad.map") + "\nマップデータが壊れています");
        EXPECT_EQ(port.boxes[0].title, kTitle);
        expectSameCells(grid, before);
    }

    // A chunk whose length passes the end of the file is no chunk at all: the text reader
    // is tried next and reports the wrong ID, as for any file that is not a map.
    std::vector<std::uint8_t> cut = mapbFile(2, 2, 4);
    cut.resize(cut.size() - 1);
    writeBytes(dir.file("cut.map"), cut);
    MapGrid grid;
    RecordingPort port;
    EXPECT_EQ(shown(MapFile::load(dir.file("cut.map"), grid, port), port), MapFile::Format::None);
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_EQ(port.boxes[0].text, "マップ配置データのＩＤが異なっています");
}

TEST(TextMap, TokenRules) {
    const struct {
        const char* row;
        MapGrid::Row cells;
    } cases[] = {
        {"3*4,5,", {3, 3, 3, 3, 5}},
        {"3*4,5", {3, 3, 3, 3, 5}},  // the last token needs no comma
        {",7,", {0, 7}},             // an empty token is chip 0
        {"012,", {0}},               // a leading 0 makes the chip 0
        {"-1*2,", {-1, -1}},
        {"3*,9,", {9}},             // an empty count appends nothing
        {"4*0,5*-2,6,", {6}},       // nor does a count of 0 or below
        {"2*3*2,", {2, 2}},         // a further "*" starts the count part again
        {" 8, +9 ,x,", {8, 9, 0}},  // white space, a sign, a non-number
        {"1234567890123456789*2,", {2147483647, 2147483647}},  // first 15 characters, clamped
        {"5*1234567890123456,", {}},  // a 15-character count that is far too many for a row
    };
    for (const auto& c : cases) {
        auto load = loadText(std::string(kHeader) + c.row + "\n");
        if (c.cells.empty()) {
            EXPECT_FALSE(load->ok) << c.row;
            continue;
        }
        ASSERT_TRUE(load->ok) << c.row;
        ASSERT_EQ(load->grid.rows(), 1) << c.row;
        EXPECT_EQ(load->grid.chipLayer()[0], c.cells) << c.row;
        EXPECT_TRUE(load->port.boxes.empty()) << c.row;
    }
}

TEST(TextMap, RowsDecideTheShapeAndTheAttributesAreZero) {
    auto load = loadText(std::string(kHeader) + "1,2,3,4,5,\n6*5,\n\n5*5,\n");
    ASSERT_TRUE(load->ok);
    EXPECT_EQ(load->grid.columns(), 5) << "header lines 4 and 5 are overruled by the rows";
    EXPECT_EQ(load->grid.rows(), 3);
    EXPECT_EQ(load->grid.chipLayer()[2], (MapGrid::Row{5, 5, 5, 5, 5}));
    EXPECT_EQ(load->grid.kindLayer(), MapGrid::Layer(3, MapGrid::Row(5, 0)));

    auto crlf = loadText("MAPT\r\n32\r\n32\r\n9\r\n9\r\n\r\n1,2,\r\n3,4\r\n");
    ASSERT_TRUE(crlf->ok);
    EXPECT_EQ(crlf->grid.chipLayer(), (MapGrid::Layer{{1, 2}, {3, 4}}));

    auto unfinished = loadText(std::string(kHeader) + "1,2,\n3,4,");
    ASSERT_TRUE(unfinished->ok);
    EXPECT_EQ(unfinished->grid.rows(), 1) << "a last row without a line feed is dropped";

    auto headerOnly = loadText(kHeader);
    ASSERT_TRUE(headerOnly->ok);
    EXPECT_FALSE(headerOnly->grid.hasSize());
    EXPECT_EQ(headerOnly->grid.columns(), 0);
    EXPECT_EQ(headerOnly->grid.rows(), 0);
}

TEST(TextMap, ARowOfAnotherLengthIsReportedAndTheOldMapStays) {
    TempDir dir;
    const std::string path = dir.file("rows.map");
    writeText(path, std::string(kHeader) + "1,2,3,4,5,\n1,2,3,4,\n");
    MapGrid grid = randomGrid(2, 1, 1);
    const MapGrid before = grid;
    RecordingPort port;
    EXPECT_FALSE(shown(MapFile::loadText(path, grid, port), port));
    ASSERT_EQ(port.boxes.size(), 1u);
    EXPECT_EQ(port.boxes[0].text, path +
                                      "\nチップの個数が異なる行があります\n\n正しい個数：5個\n"
                                      "間違っている個数：4個\n\n発見した行数：8");
    EXPECT_EQ(port.boxes[0].title, kTitle);
    EXPECT_EQ(port.boxes[0].buttons, platform::MessageButtons::Ok);
    expectSameCells(grid, before);
}

TEST(TextMap, FilesThatCannotBeReadOrAreNotTextMaps) {
    TempDir dir;
    writeText(dir.file("other.map"), "MAPX\n32\n");
    writeText(dir.file("short.map"), "MAP");
    const std::pair<const char*, const char*> cases[] = {
        {"absent.map", "マップデータが開けません"},
        {"other.map", "マップ配置データのＩＤが異なっています"},
        {"short.map", "マップ配置データのＩＤが異なっています"},
    };
    for (const auto& [name, text] : cases) {
        MapGrid grid = randomGrid(2, 2, 3);
        const MapGrid before = grid;
        RecordingPort port;
        EXPECT_FALSE(shown(MapFile::loadText(dir.file(name), grid, port), port));
        ASSERT_EQ(port.boxes.size(), 1u);
        EXPECT_EQ(port.boxes[0].text, text);
        EXPECT_EQ(port.boxes[0].title, kTitle);
        expectSameCells(grid, before);
    }
}

TEST(TextMap, MapsLargerThanTheCanvasLimitAreRefused) {
    std::string wide = std::string(kHeader) + "1*5000,\n1*5000,2,\n";
    auto tooWide = loadText(wide);
    EXPECT_FALSE(tooWide->ok);
    ASSERT_EQ(tooWide->port.boxes.size(), 1u);
    EXPECT_NE(tooWide->port.boxes[0].text.find("マップが大きすぎます"), std::string::npos);
    EXPECT_EQ(tooWide->grid.columns(), 2);

    std::string tall = kHeader;
    for (int i = 0; i < 5001; ++i) {
        tall += "1\n";
    }
    EXPECT_FALSE(loadText(tall)->ok);
    tall.resize(tall.size() - 2);
    auto justFits = loadText(tall);
    ASSERT_TRUE(justFits->ok);
    EXPECT_EQ(justFits->grid.rows(), 5000);
}

// The first "MAPB" chunk, wherever it lies; a text map when there is none. The chip size in
// effect stays; the file's is reported.
TEST(MapLoad, LoadTakesTheFirstMapbChunkElseATextMap) {
    TempDir dir;
    std::vector<std::uint8_t> afterOthers;
    putTag(afterOthers, "KIND");
    putU32(afterOthers, 3);
    afterOthers.insert(afterOthers.end(), {9, 9, 9});  // the next chunk off alignment
    for (const auto& chunk : {mapbFile(2, 1, 2, 16), mapbFile(1, 1, 1, 48)}) {
        afterOthers.insert(afterOthers.end(), chunk.begin(), chunk.end());
    }
    std::string text = "MAPT\n16\n24\n\n\n\n1,2,\n";
    const struct {
        std::vector<std::uint8_t> bytes;
        MapFile::Format format;
        int chipWidth, chipHeight;
        MapGrid::Layer chips, kinds;
    } cases[] = {
        {afterOthers, MapFile::Format::Binary, 16, 16, {{0, 1}}, {{2, 3}}},
        {mapbFile(0, 0, 0), MapFile::Format::Binary, 16, 16, {}, {}},
        {{text.begin(), text.end()}, MapFile::Format::Text, 16, 24, {{1, 2}}, {{0, 0}}},
    };
    for (const auto& c : cases) {
        writeBytes(dir.file("m.map"), c.bytes);
        MapGrid grid = randomGrid(3, 3, 1);
        RecordingPort port;
        MapFile::Header header;
        EXPECT_EQ(shown(MapFile::load(dir.file("m.map"), grid, port, &header), port), c.format);
        EXPECT_TRUE(port.boxes.empty());
        EXPECT_EQ(header.chipWidth, c.chipWidth);
        EXPECT_EQ(header.chipHeight, c.chipHeight);
        EXPECT_EQ(grid.chipWidth(), 32);
        EXPECT_EQ(grid.chipLayer(), c.chips);
        EXPECT_EQ(grid.kindLayer(), c.kinds);
        EXPECT_EQ(grid.hasSize(), !c.chips.empty());
    }
}
