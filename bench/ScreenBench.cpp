// A full redraw of the map window's view, 1280 × 1024, over a 5000 × 5000 map of random chips
// from a 512 × 512 chip image (or random attributes), against BM_Memcpy_1280x1024 in
// BlitBench.cpp: copying the frame once. And the whole update of the map window (drawing, then
// presenting every tile) at 1/32 (the whole window of cells, 1.3 million of them) and at 4,
// against the same at 1:1 and against BM_UpdateFull_1280x1024 (WindowBench.cpp: composing a
// map-like window at 1:1).
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "app/core/Workspace.h"
#include "bench/BenchMaps.h"
#include "chips/ChipScreen.h"
#include "chips/KindScreen.h"
#include "gfx/CNxSurface.h"
#include "map/MapScreen.h"
#include "platform/headless/HeadlessHost.h"
#include "platform/headless/HeadlessWindow.h"

namespace {

constexpr int kSide = 5000;
constexpr int kImageSide = 512;

struct Scene {
    platform::headless::HeadlessHost host;
    platform::headless::HeadlessWindow mapWindow{platform::Size{1280, 1024}};
    platform::headless::HeadlessWindow chipWindow{platform::Size{800, 600}};
    platform::headless::HeadlessWindow kindWindow{platform::Size{800, 128}};
    Workspace work{host};
    MapScreen& map = work.map();

    explicit Scene(int chipSize) {
        std::mt19937 random(1);
        work.attachMap(&mapWindow, 1280, 1024);
        work.attachKinds(&kindWindow);
        work.attachChips(&chipWindow, 800, 600);
        auto image = std::make_unique<CNxSurface>(32);
        image->Create(kImageSide, kImageSide);
        for (int y = 0; y < kImageSide; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(image->GetImage().Row(y));
            for (int x = 0; x < kImageSide; ++x) {
                row[x] = 0xFF000000u | (random() & 0xFFFFFF);
            }
        }
        int width = chipSize, height = chipSize;
        map.chipScreen()->setChipImage(std::move(image), width, height);
        map.setChipSize(chipSize, chipSize);
        map.takeMap(bench::randomMap(kSide, kSide, map.chipScreen()->chipCount()));
    }
};

void redrawLoop(benchmark::State& state, int chipSize, int layer) {
    Scene scene(chipSize);
    scene.map.setEditLayer(layer);
    for (auto _ : state) {
        scene.map.redraw();
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 1280 * 1024 * 4);
}

void BM_MapRedrawChips_1280x1024_16px(benchmark::State& state) {
    redrawLoop(state, 16, MapGrid::kChipLayer);
}
BENCHMARK(BM_MapRedrawChips_1280x1024_16px);

void BM_MapRedrawChips_1280x1024_32px(benchmark::State& state) {
    redrawLoop(state, 32, MapGrid::kChipLayer);
}
BENCHMARK(BM_MapRedrawChips_1280x1024_32px);

void BM_MapRedrawAttributes_1280x1024_16px(benchmark::State& state) {
    redrawLoop(state, 16, MapGrid::kKindLayer);
}
BENCHMARK(BM_MapRedrawAttributes_1280x1024_16px);

// Draws the window's view and presents it, as the editor does after a scroll.
void updateLoop(benchmark::State& state, Zoom zoom) {
    Scene scene(32);
    scene.map.setZoom(zoom, {640, 512});
    scene.map.Update();
    for (auto _ : state) {
        scene.map.redraw();
        scene.map.Update();
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 1280 * 1024 * 4);
}

void BM_MapUpdate_1280x1024(benchmark::State& state) {
    updateLoop(state, Zoom{});
}
BENCHMARK(BM_MapUpdate_1280x1024);

void BM_ZoomedRedraw_1280x1024_1of32(benchmark::State& state) {
    updateLoop(state, Zoom::step(0));
}
BENCHMARK(BM_ZoomedRedraw_1280x1024_1of32);

void BM_ZoomedRedraw_1280x1024_4x(benchmark::State& state) {
    updateLoop(state, Zoom{4, 1});
}
BENCHMARK(BM_ZoomedRedraw_1280x1024_4x);

}  // namespace
