#include "map/MapRenderer.h"

#include <gtest/gtest.h>

#include <memory>

#include "chips/ChipSet.h"
#include "chips/KindTable.h"
#include "gfx/CNxSurface.h"
#include "map/MapGrid.h"
#include "tests/chips/ScreenTestSupport.h"
#include "tests/chips/ZoomTestSupport.h"

using screen_test::imagePixel;

namespace {

constexpr std::uint32_t kGrey = 0xFFBEBEBE;
constexpr std::uint32_t kBlack = 0xFF000000;

std::unique_ptr<CNxSurface> pictureOf(int width, int height) {
    auto surface = std::make_unique<CNxSurface>(32);
    surface->Create(width, height);  // bottom-up, as bitmap files load
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(surface->GetImage().Row(y));
        for (int x = 0; x < width; ++x) {
            row[x] = imagePixel(x, y);
        }
    }
    return surface;
}

std::uint32_t at(const CNxSurface& surface, int x, int y) {
    return reinterpret_cast<const std::uint32_t*>(surface.GetImage().Row(y))[x];
}

class MapRendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        target.Create(1280, -1024);
        target.Fill(nullptr, 0x12345678);
        chips.setImage(pictureOf(256, 128));  // 8 × 4 chips of 32
        grid.reset(10, 8);
        for (int r = 0; r < 8; ++r) {
            for (int c = 0; c < 10; ++c) {
                grid.setChip(c, r, (r * 10 + c) % 32);
                grid.setKind(c, r, r * 10 + c);
            }
        }
    }

    // The pixel of chip n at (x, y) inside it.
    std::uint32_t chipPixel(int n, int x, int y) const {
        return imagePixel(n % 8 * 32 + x, n / 8 * 32 + y);
    }

    CNxSurface target{32};
    ChipSet chips;
    MapGrid grid;
};

TEST_F(MapRendererTest, AViewBetweenChipsCutsTheFirstColumnAndRow) {
    // View (40, 10): column 1 shows from x 8 of its chip, 24 pixels wide; row 0 from y 10.
    MapRenderer::drawChips(target, grid, &chips, {40, 10, 32, 32, 320, 200, {}});
    EXPECT_EQ(at(target, 0, 0), chipPixel(1, 8, 10));
    EXPECT_EQ(at(target, 23, 21), chipPixel(1, 31, 31));
    EXPECT_EQ(at(target, 24, 0), chipPixel(2, 0, 10));
    EXPECT_EQ(at(target, 24, 22), chipPixel(12, 0, 0));
    EXPECT_EQ(at(target, 100, 100), chipPixel((3 * 10 + 4) % 32, 100 - 88, 100 - 86));
    // The map's 10 columns end 280 pixels into the window: black beyond, nothing past it.
    EXPECT_EQ(at(target, 279, 50), chipPixel(19, 31, 50 - 22));
    EXPECT_EQ(at(target, 280, 50), kBlack);
    EXPECT_EQ(at(target, 319, 199), kBlack);
    EXPECT_EQ(at(target, 320, 0), 0x12345678u);
    EXPECT_EQ(at(target, 0, 200), 0x12345678u);
}

TEST_F(MapRendererTest, EmptyAndUnknownChipsAreGrey) {
    grid.setChip(0, 0, -1);
    grid.setChip(1, 0, 32);  // the chip count
    grid.setChip(2, 0, -2147483647 - 1);
    grid.setChip(3, 0, 31);
    MapRenderer::drawChips(target, grid, &chips, {0, 0, 32, 32, 800, 600, {}});
    EXPECT_EQ(at(target, 5, 5), kGrey);
    EXPECT_EQ(at(target, 31, 31), kGrey);
    EXPECT_EQ(at(target, 40, 5), kGrey);
    EXPECT_EQ(at(target, 70, 5), kGrey);
    EXPECT_EQ(at(target, 100, 5), chipPixel(31, 4, 5));
    // Without a chip image, or one cut into chips of another size, every cell is empty.
    MapRenderer::drawChips(target, grid, nullptr, {0, 0, 32, 32, 800, 600, {}});
    EXPECT_EQ(at(target, 100, 5), kGrey);
    int w = 16, h = 16;
    chips.setChipSize(w, h);
    MapRenderer::drawChips(target, grid, &chips, {0, 0, 32, 32, 800, 600, {}});
    EXPECT_EQ(at(target, 100, 5), kGrey);
}

TEST_F(MapRendererTest, TheWindowsEdgeCutsTheLastCellsAtTheSurface) {
    grid.reset(100, 100);
    for (int r = 0; r < 100; ++r) {
        for (int c = 0; c < 100; ++c) {
            grid.setChip(c, r, (r + c) % 32);
        }
    }
    // 41 columns and 33 rows reach into a 1280 × 1024 window from (40, 40).
    MapRenderer::drawChips(target, grid, &chips, {40, 40, 32, 32, 1280, 1024, {}});
    EXPECT_EQ(at(target, 1279, 1023), chipPixel((41 + 33) % 32, 7, 7));
    MapRenderer::drawAttributes(target, grid, nullptr, {40, 40, 32, 32, 1280, 1024, {}});
    EXPECT_EQ(at(target, 1279, 1023), kGrey);
}

TEST_F(MapRendererTest, AttributesFillWholeCellsFromTheWindowsEdge) {
    KindTable table;
    table.resetToDefaults(7);
    for (int n : {1, 2, 12}) {
        KindRecord record = table.record(n);
        record.red = static_cast<std::uint8_t>(n);
        record.green = 0x80;
        record.blue = static_cast<std::uint8_t>(255 - n);
        table.setRecord(n, record);
    }
    grid.setKind(3, 0, 100);  // beyond the table
    grid.setKind(4, 0, -1);
    MapRenderer::drawAttributes(target, grid, &table, {40, 10, 32, 32, 320, 200, {}});
    EXPECT_EQ(at(target, 0, 0), 0xFF0180FEu);
    EXPECT_EQ(at(target, 31, 31), 0xFF0180FEu);
    EXPECT_EQ(at(target, 32, 0), 0xFF0280FDu);
    EXPECT_EQ(at(target, 32, 32), 0xFF0C80F3u);
    EXPECT_EQ(at(target, 64, 0), kGrey);
    EXPECT_EQ(at(target, 96, 0), kGrey);
    EXPECT_EQ(at(target, 288, 50), kBlack) << "nine columns from column 1";
    EXPECT_EQ(at(target, 50, 199), at(target, 50, 192));
}

TEST_F(MapRendererTest, AMapWithoutCellsLeavesTheWindowBlack) {
    MapGrid empty;
    MapRenderer::drawChips(target, empty, &chips, {0, 0, 32, 32, 800, 600, {}});
    EXPECT_EQ(at(target, 0, 0), kBlack);
    EXPECT_EQ(at(target, 799, 599), kBlack);
    EXPECT_EQ(at(target, 800, 0), 0x12345678u);
}

}  // namespace

namespace {

using zoom_test::alphaPicture;
using zoom_test::areaAverage;
using zoom_test::block;

// The map of the fixture with cells of side (16 … 64) cut from an image whose alpha varies.
struct ZoomedMap {
    ChipSet chips;
    MapGrid grid;
    KindTable kinds;
    explicit ZoomedMap(int side) {
        chips.setImage(alphaPicture(256, 128));
        chips.setChipSize(side, side);
        grid.reset(10, 8);
        for (int r = 0; r < 8; ++r) {
            for (int c = 0; c < 10; ++c) {
                grid.setChip(c, r, (r * 10 + c) % (chips.count() + 1) - (c == 3));  // and empty
                grid.setKind(c, r, (r * 7 + c * 3) % 110);  // some without a record
            }
        }
        kinds.resetToDefaults(11);
    }
    // The view at 1:1 with den times its size: the map pixels the reduced view averages.
    std::unique_ptr<CNxSurface> full(MapRenderer::View view, bool attributes) {
        view.width *= view.zoom.den;
        view.height *= view.zoom.den;
        view.zoom = Zoom{};
        auto surface = std::make_unique<CNxSurface>(32);
        surface->Create(view.width, -view.height);
        attributes ? MapRenderer::drawAttributes(*surface, grid, &kinds, view)
                   : MapRenderer::drawChips(*surface, grid, &chips, view);
        return surface;
    }
};

}  // namespace

TEST_F(MapRendererTest, FromOneUpEachMapPixelIsABlock) {
    for (const int side : {16, 32, 48, 64}) {
        ZoomedMap map(side);
        const auto one = map.full({side + 5, 3, side, side, 320, 200, {}}, false);
        for (const int n : {2, 3, 4, 6, 8}) {
            SCOPED_TRACE(std::to_string(side) + " px at " + std::to_string(n));
            target.Fill(nullptr, 0x12345678);
            MapRenderer::drawChips(target, map.grid, &map.chips,
                                   {side + 5, 3, side, side, 320, 200, {n, 1}});
            for (int y = 0; y < 200; ++y) {
                for (int x = 0; x < 320; ++x) {
                    ASSERT_EQ(at(target, x, y), at(*one, x / n, y / n)) << x << "," << y;
                }
            }
            ASSERT_EQ(at(target, 320, 0), 0x12345678u);
        }
    }
}

TEST_F(MapRendererTest, BelowOneEachScreenPixelAveragesTheMapPixelsUnderIt) {
    const struct {
        int side;
        int den;
        int x, y;
    } cases[] = {
        {32, 2, 0, 0},  {32, 2, 37, 11},  {32, 2, 64, 34},  // whole level pixels and image pixels
        {32, 32, 0, 0}, {32, 8, 36, 16},                    // a chip a pixel; blocks of level sums
        {16, 32, 0, 0}, {48, 32, 48, 96}, {48, 32, 3, 0},   // cells the blocks straddle
        {48, 4, 12, 0}, {64, 16, 32, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.side) + " px at 1/" + std::to_string(c.den) + " from " +
                     std::to_string(c.x) + "," + std::to_string(c.y));
        ZoomedMap map(c.side);
        // Wider than the map at 1/32, so that its last pixels average the black beyond it.
        const MapRenderer::View view{c.x, c.y, c.side, c.side, 24, 17, {1, c.den}};
        const auto one = map.full(view, false);
        target.Fill(nullptr, 0x12345678);
        MapRenderer::drawChips(target, map.grid, &map.chips, view);
        for (int y = 0; y < 17; ++y) {
            for (int x = 0; x < 24; ++x) {
                ASSERT_EQ(at(target, x, y),
                          areaAverage(block(*one, x * c.den, y * c.den, c.den, c.den)))
                    << x << "," << y;
            }
        }
        ASSERT_EQ(at(target, 24, 0), 0x12345678u);
    }
    // A 32-pixel chip at 1/32 is one pixel: its own average.
    ZoomedMap map(32);
    MapRenderer::drawChips(target, map.grid, &map.chips, {0, 0, 32, 32, 10, 8, {1, 32}});
    const int n = map.grid.chip(4, 2);
    EXPECT_EQ(at(target, 4, 2), areaAverage(block(*map.chips.image(), map.chips.chipX(n),
                                                  map.chips.chipY(n), 32, 32)));
}

TEST_F(MapRendererTest, AttributesBelowOneWeighTheCellsByArea) {
    for (const auto& [side, den] : {std::pair{32, 4}, {48, 32}, {16, 32}, {48, 4}}) {
        SCOPED_TRACE(std::to_string(side) + " px at 1/" + std::to_string(den));
        ZoomedMap map(side);
        const MapRenderer::View view{side + 7, 2 * side, side, side, 30, 20, {1, den}};
        const auto one = map.full(view, true);
        MapRenderer::drawAttributes(target, map.grid, &map.kinds, view);
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 30; ++x) {
                ASSERT_EQ(at(target, x, y), areaAverage(block(*one, x * den, y * den, den, den)))
                    << x << "," << y;
            }
        }
    }
}
