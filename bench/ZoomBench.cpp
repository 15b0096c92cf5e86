// The map window's chip and attribute views and the chip window's picture at each zoom step,
// 1280 × 1024 screen pixels, over a 2600 × 2100 map of random chips from a 512 × 512 image
// (levels made beforehand, as the window has them after its first frame at a zoom). For
// 32-pixel chips a screen pixel costs at most one cell's look-up, at 1/32; 16 and 48 at 1/32
// sum 2 × 2 blocks of the level of 16.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "chips/ChipSet.h"
#include "chips/KindTable.h"
#include "gfx/CNxSurface.h"
#include "map/MapGrid.h"
#include "map/MapRenderer.h"

namespace {

struct Scene {
    ChipSet chips;
    MapGrid grid;
    KindTable kinds;
    CNxSurface target{32};

    explicit Scene(int chipSize) {
        std::mt19937 random(1);
        auto image = std::make_unique<CNxSurface>(32);
        image->Create(512, -512);
        for (int y = 0; y < 512; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(image->GetImage().Row(y));
            for (int x = 0; x < 512; ++x) {
                row[x] = random();
            }
        }
        chips.setImage(std::move(image));
        int width = chipSize, height = chipSize;
        chips.setChipSize(width, height);
        grid.reset(2600, 2100);
        for (int r = 0; r < grid.rows(); ++r) {
            std::int32_t* cells = grid.rowCells(MapGrid::kChipLayer, r);
            std::int32_t* kinds = grid.rowCells(MapGrid::kKindLayer, r);
            for (int c = 0; c < grid.columns(); ++c) {
                const std::uint32_t bits = random();
                cells[c] = static_cast<std::int32_t>(bits % chips.count());
                kinds[c] = static_cast<std::int32_t>((bits >> 16) % 100);
            }
        }
        kinds.resetToDefaults(1);
        target.Create(1280, -1024);
    }
};

// Arguments: chip size, zoom step (0 is 1/32, 5 is 1:1, 10 is 8), attribute view or not.
void BM_MapViewZoomed_1280x1024(benchmark::State& state) {
    Scene scene(static_cast<int>(state.range(0)));
    const Zoom zoom = Zoom::step(static_cast<int>(state.range(1)));
    const bool attributes = state.range(2) != 0;
    const int side = static_cast<int>(state.range(0));
    const MapRenderer::View view{side * 3, side * 2, side, side, 1280, 1024, zoom};
    MapRenderer::drawChips(scene.target, scene.grid, &scene.chips, view);  // makes the level
    for (auto _ : state) {
        attributes ? MapRenderer::drawAttributes(scene.target, scene.grid, &scene.kinds, view)
                   : MapRenderer::drawChips(scene.target, scene.grid, &scene.chips, view);
        benchmark::ClobberMemory();
    }
    state.SetLabel((attributes ? "attributes at " : "chips at ") + zoom.text());
    state.SetItemsProcessed(state.iterations() * 1280 * 1024);
}
BENCHMARK(BM_MapViewZoomed_1280x1024)
    ->ArgsProduct({{32}, {0, 1, 2, 3, 4, 5, 6, 10}, {0}})
    ->Args({16, 0, 0})
    ->Args({48, 0, 0})
    ->Args({48, 2, 0})
    ->Args({32, 0, 1})
    ->Args({32, 5, 1})
    ->Args({48, 0, 1})
    ->Unit(benchmark::kMillisecond);

// The chip window's picture of the whole image at a zoom step, 800 × 600.
void BM_ChipWindowZoomed_800x600(benchmark::State& state) {
    Scene scene(32);
    const Zoom zoom = Zoom::step(static_cast<int>(state.range(0)));
    scene.chips.drawImage(scene.target, 0, 0, zoom, 800, 600);  // makes the level
    for (auto _ : state) {
        scene.chips.drawImage(scene.target, 0, 0, zoom, 800, 600);
        benchmark::ClobberMemory();
    }
    state.SetLabel(zoom.text());
}
BENCHMARK(BM_ChipWindowZoomed_800x600)->DenseRange(0, 10, 5)->Unit(benchmark::kMillisecond);

}  // namespace
