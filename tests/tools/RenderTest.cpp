// pelorin-tool render: the picture's pixels against a plain model of the map window's drawing.
#include <gtest/gtest.h>
#include <png.h>

#include "chips/KindTable.h"
#include "gfx/CNxPNGLoader.h"
#include "map/MapFile.h"
#include "tests/chips/ZoomTestSupport.h"
#include "tests/support/ImageWriters.h"
#include "tests/support/TempDir.h"
#include "tests/tools/ToolRunner.h"

using namespace testing_support;

namespace {

// A 40 × 36 chip image: 16-pixel chips, 2 × 2 of them and a strip that belongs to none. Every
// pixel differs, alpha included.
std::uint32_t chipPixel(int x, int y) {
    return std::uint32_t(0x40 + x + y) << 24 | std::uint32_t(x * 6) << 16 | (y * 7) << 8 | (x ^ y);
}

const std::vector<std::vector<int>> kChips = {{0, 3, -1}, {2, 1, 7}};   // 7: beyond the image
const std::vector<std::vector<int>> kKinds = {{0, 1, 2}, {2, 150, 0}};  // 150: no record

// What the map window shows at pixel (x, y) of cells from (column, row).
std::uint32_t expected(bool attributes, bool grid, int column, int row, int x, int y,
                       const KindTable& table) {
    if (grid && (x % 16 == 15 || y % 16 == 15)) {
        return 0xFF000000;
    }
    const int c = column + x / 16, r = row + y / 16;
    if (attributes) {
        const int n = kKinds[r][c];
        if (!table.hasRecord(n)) {
            return 0xFFBEBEBE;
        }
        const KindRecord& k = table.records()[n];
        return 0xFF000000u | k.red << 16 | k.green << 8 | k.blue;
    }
    const int n = kChips[r][c];
    return n < 0 || n >= 4 ? 0xFFBEBEBE : chipPixel(n % 2 * 16 + x % 16, n / 2 * 16 + y % 16);
}

std::vector<std::uint32_t> decodePng(const TempDir& dir, const std::string& path, int& width) {
    const Bytes bytes = readBytes(path);
    CNxPNGLoader loader;
    auto image = bytes.size() > 25 && bytes[25] == PNG_COLOR_TYPE_RGB_ALPHA
                     ? loadBytes(loader, dir.file("copy.png"), bytes)
                     : nullptr;
    width = image ? image->GetWidth() : 0;
    return image ? argbPixels(*image) : std::vector<std::uint32_t>{};
}

struct Fixture {
    TempDir dir;
    KindTable table;
    Fixture() {
        PngPicture png{40, 36, PNG_COLOR_TYPE_RGB_ALPHA, 8, false, {}, {}, {}, ""};
        for (int y = 0; y < 36; ++y) {
            Bytes row;
            for (int x = 0; x < 40; ++x) {
                const std::uint32_t p = chipPixel(x, y);
                row.insert(row.end(), {std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p),
                                       std::uint8_t(p >> 24)});
            }
            png.rows.push_back(row);
        }
        writeBytes(dir.file("chips.png"), encodePng(png));
        MapGrid grid;
        MapGrid::Layer chips, kinds;
        for (int r = 0; r < 2; ++r) {
            chips.emplace_back(kChips[r].begin(), kChips[r].end());
            kinds.emplace_back(kKinds[r].begin(), kKinds[r].end());
        }
        grid.assign(chips, kinds, 3, 2);
        grid.setChipSize(16, 16);
        std::string path = dir.file("m.map");
        MapFile::save(path, grid);
        table.resetToDefaults(7);
        table.assign({table.records().begin(), table.records().begin() + 3});
        std::string kndPath = dir.file("k.knd");
        table.saveFile(kndPath);
    }
};

}  // namespace

TEST(ToolRender, DrawsCellsAsTheMapWindowDoes) {
    Fixture f;
    const struct {
        const char* view;
        bool grid;
        int column, row, columns, rows;
    } cases[] = {
        {"chips", false, 0, 0, 3, 2},     {"chips", true, 0, 0, 3, 2},
        {"chips", false, 1, 1, 2, 1},     {"attributes", false, 0, 0, 3, 2},
        {"attributes", true, 1, 0, 2, 2},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {
            "render",  f.dir.file("m.map"), "--chips", f.dir.file("chips.png"), "--view", c.view,
            "--kinds", f.dir.file("k.knd"), "-o",      f.dir.file("out.png")};
        const std::string region = std::to_string(c.column) + "," + std::to_string(c.row) + "," +
                                   std::to_string(c.columns) + "," + std::to_string(c.rows);
        args.insert(args.end(), {"--region", region});
        if (c.grid) {
            args.push_back("--grid");
        }
        SCOPED_TRACE(std::string(c.view) + " " + region + (c.grid ? " grid" : ""));
        const ToolRun run = tool(f.dir, args);
        ASSERT_EQ(run.status, 0) << run.err;
        int width = 0;
        const std::vector<std::uint32_t> pixels = decodePng(f.dir, f.dir.file("out.png"), width);
        ASSERT_EQ(width, c.columns * 16);
        ASSERT_EQ(pixels.size(), std::size_t(c.columns * 16 * c.rows * 16));
        std::size_t wrong = 0;
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            const int x = static_cast<int>(i) % width, y = static_cast<int>(i) / width;
            const std::uint32_t want = expected(std::string(c.view) == "attributes", c.grid,
                                                c.column, c.row, x, y, f.table);
            if (pixels[i] != want && wrong++ == 0) {
                ADD_FAILURE() << "first wrong pixel at " << x << "," << y << ": " << std::hex
                              << pixels[i] << " where the map window shows " << want;
            }
        }
        EXPECT_EQ(wrong, 0u);
    }
    // The whole map is the default region, and the attribute view needs no chip image.
    ASSERT_EQ(tool(f.dir, {"render", f.dir.file("m.map"), "--view", "attributes", "-o",
                           f.dir.file("whole.png")})
                  .status,
              0);
    int width = 0;
    EXPECT_EQ(decodePng(f.dir, f.dir.file("whole.png"), width).size(), 48u * 32);
}

TEST(ToolRender, RefusesBeforeDrawing) {
    Fixture f;
    MapGrid wide;
    wide.reset(1100, 1);
    std::string widePath = f.dir.file("wide.map");
    MapFile::save(widePath, wide);
    MapGrid square;
    square.reset(120, 120);
    std::string squarePath = f.dir.file("square.map");
    MapFile::save(squarePath, square);
    const std::string map = f.dir.file("m.map"), chips = f.dir.file("chips.png");
    const struct {
        std::vector<std::string> args;
        int status;
        std::string message;
    } cases[] = {
        {{map, "--chips", chips, "--region", "2,1,2,1"},
         1,
         "the region 2,1,2,1 reaches outside the map of 3 × 2 cells"},
        {{map, "--chips", chips, "--region", "1,1,0,1"}, 2, "a width and height of at least one"},
        {{map, "--chips", chips, "--region", "1,1,2"}, 2, "--region is X,Y,W,H in cells"},
        {{widePath, "--view", "attributes"},
         1,
         "the picture would be 35200 × 32 pixels; render draws at most 32768 pixels a side"},
        {{map}, 2, "the chip view needs --chips IMAGE"},
        {{map, "--chips", f.dir.file("m.map")}, 1, "not a chip image the editor reads"},
        {{map, "--view", "attributes", "--kinds", chips}, 1, "not an attribute file"},
        // The limits hold for the picture at its scale.
        {{widePath, "--view", "attributes", "--scale", "2"},
         1,
         "the picture would be 70400 × 64 pixels"},
        {{squarePath, "--view", "attributes", "--scale", "8"},
         1,
         "the picture would be 30720 × 30720 pixels; render draws at most 32768 pixels a side "
         "and 1 GiB"},
        {{map, "--chips", chips, "--scale", "0.3"},
         2,
         "--scale is one of 1/32 (0.03125), 1/16 (0.0625), 1/8 (0.125), 1/4 (0.25), 1/2 (0.5), "
         "1, 2, 3, 4, 6, 8, not \"0.3\""},
        {{map, "--chips", chips, "--scale", "1/3"}, 2, "8, not \"1/3\""},
        {{map, "--chips", chips, "--scale", "2/1"}, 2, "8, not \"2/1\""},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"render"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        args.insert(args.end(), {"-o", f.dir.file("out.png")});
        const ToolRun run = tool(f.dir, args);
        EXPECT_EQ(run.status, c.status) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(exists(f.dir.file("out.png")));
    }
    // Too wide at 1:1, not at 1/2.
    EXPECT_EQ(tool(f.dir, {"render", widePath, "--view", "attributes", "--scale", "1/2", "-o",
                           f.dir.file("out.png")})
                  .status,
              0);
}

TEST(ToolRender, ScalesAsTheMapWindowZooms) {
    Fixture f;
    const auto render = [&](const std::string& scale, std::vector<std::string> more = {}) {
        std::vector<std::string> args = {
            "render", f.dir.file("m.map"), "--chips", f.dir.file("chips.png"), "--scale", scale,
            "-o",     f.dir.file("s.png")};
        args.insert(args.end(), more.begin(), more.end());
        const ToolRun run = tool(f.dir, args);
        EXPECT_EQ(run.status, 0) << scale << ": " << run.err;
        int width = 0;
        std::vector<std::uint32_t> pixels = decodePng(f.dir, f.dir.file("s.png"), width);
        return std::make_pair(width, pixels);
    };
    // The map's 48 × 32 pixels at each step, rounded down and at least one.
    const std::pair<const char*, int> sizes[] = {
        {"8", 384},  {"6", 288},   {"3", 144},  {"1", 48},     {"0.5", 24},    {"1/2", 24},
        {"1/4", 12}, {"0.125", 6}, {"1/16", 3}, {"0.0625", 3}, {"0.03125", 1}, {"1/32", 1}};
    for (const auto& [scale, width] : sizes) {
        const auto [w, pixels] = render(scale);
        EXPECT_EQ(w, width) << scale;
        EXPECT_EQ(pixels.size(), std::size_t(width) * std::max(width * 2 / 3, 1)) << scale;
    }
    // Below 1 the averages of the 1:1 picture (blocks from 2 up: against Tiled, below).
    const auto [_, one] = render("1");
    const auto [wHalf, half] = render("1/2");
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 24; ++x) {
            const int i = 2 * y * 48 + 2 * x;
            ASSERT_EQ(half[y * 24 + x],
                      zoom_test::areaAverage({one[i], one[i + 1], one[i + 48], one[i + 49]}))
                << x << "," << y;
        }
    }
    // The grid on each cell's last screen pixels, where a cell keeps 4 pixels each way.
    const auto [w4, quarter] = render("1/4");
    const auto [w4g, quarterGrid] = render("1/4", {"--grid"});
    for (std::size_t i = 0; i < quarter.size(); ++i) {
        const bool line = i % 12 % 4 == 3 || i / 12 % 4 == 3;
        ASSERT_EQ(quarterGrid[i], line ? 0xFF000000 : quarter[i]) << i % 12 << "," << i / 12;
    }
    EXPECT_EQ(render("1/8", {"--grid"}).second, render("1/8").second);
}

TEST(ToolRender, ScaleTwoDrawsTheChipLayerAsTiledDoes) {
    Fixture f;
    MapGrid grid;
    grid.assign({{0, 3, -1, 2}, {2, 1, 0, 3}}, {{0, 1, 2, 0}, {2, 0, 0, 1}}, 4, 2);
    grid.setChipSize(16, 16);
    std::string map = f.dir.file("t.map");
    ASSERT_TRUE(MapFile::save(map, grid).value);
    ASSERT_EQ(tool(f.dir, {"export", map, "--format", "tmx", "--chips", f.dir.file("chips.png"),
                           "-o", f.dir.file("t.tmx")})
                  .status,
              0);
    ASSERT_EQ(std::system(("QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=/tmp/pelorin-tiled "
                           "tmxrasterizer --scale 2 --no-smoothing --hide-layer attributes " +
                           f.dir.file("t.tmx") + " " + f.dir.file("tiled.png") + " 2>/dev/null")
                              .c_str()),
              0);
    ASSERT_EQ(tool(f.dir, {"render", map, "--chips", f.dir.file("chips.png"), "--scale", "2", "-o",
                           f.dir.file("ours.png")})
                  .status,
              0);
    int width = 0, tiledWidth = 0;
    const std::vector<std::uint32_t> ours = decodePng(f.dir, f.dir.file("ours.png"), width);
    const std::vector<std::uint32_t> tiled = decodePng(f.dir, f.dir.file("tiled.png"), tiledWidth);
    ASSERT_EQ(width, 128);
    ASSERT_EQ(tiledWidth, 128);
    ASSERT_EQ(ours.size(), tiled.size());
    // Tiled paints through 8-bit premultiplied pixels and writes them back straight, so where a
    // pixel is not opaque its colours are the premultiplied ones turned back (8 for our 6 at
    // alpha 65). Premultiplied, with alpha exact, the pictures are the same.
    const auto premultiplied = [](std::uint32_t p) {
        std::uint32_t out = p & 0xFF000000;
        for (int shift = 0; shift < 24; shift += 8) {
            out |= ((p >> shift & 0xFF) * (p >> 24) * 2 + 255) / 510 << shift;
        }
        return out;
    };
    for (std::size_t i = 0; i < ours.size(); ++i) {
        const int x = static_cast<int>(i % 128), y = static_cast<int>(i / 128);
        if (!(x / 32 == 2 && y < 32)) {  // the empty cell: grey here, clear in Tiled
            ASSERT_EQ(premultiplied(ours[i]), premultiplied(tiled[i])) << x << "," << y;
        }
    }
}
