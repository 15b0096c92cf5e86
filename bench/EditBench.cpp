// Editing a 5000 × 5000 map against copying both its layers once with memcpy. Each edit is timed
// as the map screen runs it: the operation and the recording of its step.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstring>
#include <random>
#include <vector>

#include "bench/BenchMaps.h"
#include "map/EditHistory.h"
#include "map/MapEditor.h"

namespace {

constexpr int kSide = 5000;
constexpr std::size_t kLayerBytes = 4ull * kSide * kSide;
constexpr std::int32_t kMarked = 1000;  // outside the random chips 0 … 255: 1% of the cells

// Random chips and attributes, with 1% of the chips set to kMarked.
MapGrid bigMap(int columns) {
    MapGrid grid = bench::randomMap(columns, kSide);
    for (int r = 0; r < kSide; ++r) {
        std::int32_t* chips = grid.rowCells(MapGrid::kChipLayer, r);
        for (int c = r % 100; c < columns; c += 100) {
            chips[c] = kMarked;
        }
    }
    return grid;
}

const MapGrid& squareMap() {
    static const MapGrid grid = bigMap(kSide);
    return grid;
}

EditPlace wholeMapSelected() {
    EditPlace place;
    place.selection = SelectionRect{0, 0, kSide - 1, kSide - 1};
    place.cursorColumn = kSide - 1;
    place.cursorRow = kSide - 1;
    return place;
}

void record(EditHistory& history, EditResult result) {
    if (result.step) {
        history.recordStep(std::move(*result.step));
    }
}

// The heap in use, as the allocator counts it (small blocks and mapped ones).
std::size_t heapInUse() {
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

void BM_Memcpy_200MB(benchmark::State& state) {
    std::vector<std::int32_t> chips(kLayerBytes / 4, 1), kinds(kLayerBytes / 4, 2);
    std::vector<std::int32_t> chipCopy(kLayerBytes / 4, 0), kindCopy(kLayerBytes / 4, 0);
    for (auto _ : state) {
        std::memcpy(chipCopy.data(), chips.data(), kLayerBytes);
        std::memcpy(kindCopy.data(), kinds.data(), kLayerBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 2 * kLayerBytes);
}
BENCHMARK(BM_Memcpy_200MB)->Unit(benchmark::kMillisecond)->UseRealTime();

// Replacing the marked chips and back, one step each, the history sliding over ten.
void BM_Replace_5000x5000(benchmark::State& state) {
    MapGrid grid = squareMap();
    EditHistory history;
    std::int32_t from = kMarked;
    for (auto _ : state) {
        record(history, MapEditor::replace(grid, EditPlace(), from, from ^ 1, MapGrid::kChipLayer,
                                           MapGrid::kChipLayer));
        from ^= 1;
    }

    // What ten such replaces hold, counted by the history and by the allocator.
    history.clearHistory();
    const std::size_t heapBefore = heapInUse();
    for (int i = 0; i < EditHistory::kMaxSteps; ++i) {
        record(history, MapEditor::replace(grid, EditPlace(), from, from ^ 1, MapGrid::kChipLayer,
                                           MapGrid::kChipLayer));
        from ^= 1;
    }
    state.counters["history_MiB"] = static_cast<double>(history.heapBytes()) / (1 << 20);
    state.counters["heap_delta_MiB"] = static_cast<double>(heapInUse() - heapBefore) / (1 << 20);
}
BENCHMARK(BM_Replace_5000x5000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_UndoReplace_5000x5000(benchmark::State& state) {
    MapGrid grid = squareMap();
    EditHistory history;
    record(history, MapEditor::replace(grid, EditPlace(), kMarked, kMarked + 1, MapGrid::kChipLayer,
                                       MapGrid::kChipLayer));
    for (auto _ : state) {
        history.undo(grid);
        state.PauseTiming();
        history.redo(grid);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UndoReplace_5000x5000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Three columns into a map 4997 columns wide, which makes it 5000 × 5000. Every row has to grow,
// as after loading a map, so each run starts from a fresh copy.
void BM_InsertColumns_5000x5000(benchmark::State& state) {
    const MapGrid narrow = bigMap(kSide - 3);
    MapGrid grid = narrow;
    EditHistory history;
    EditPlace place;
    place.cursorColumn = kSide / 2;
    place.cursorRow = 0;
    place.selection = SelectionRect{kSide / 2 - 1, 0, kSide / 2 + 1, 0};
    for (auto _ : state) {
        EditResult result = MapEditor::insertOrDeleteLines(grid, place, false, false, true);
        if (!result.step || grid.columns() != kSide) {
            state.SkipWithError("the columns were not inserted");
            break;
        }
        record(history, std::move(result));
        state.PauseTiming();
        history.clearHistory();
        grid = MapGrid();
        grid = narrow;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_InsertColumns_5000x5000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DeleteRows_5000x5000(benchmark::State& state) {
    MapGrid grid = squareMap();
    EditHistory history;
    EditPlace place;
    place.cursorColumn = 0;
    place.cursorRow = kSide / 2 + 1;
    place.selection = SelectionRect{0, kSide / 2 - 1, 0, kSide / 2 + 1};
    for (auto _ : state) {
        record(history, MapEditor::insertOrDeleteLines(grid, place, true, true, false));
        state.PauseTiming();
        history.undo(grid);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteRows_5000x5000)->Unit(benchmark::kMillisecond)->UseRealTime();

MapGrid::Layer sixteenBySixteen() {
    MapGrid::Layer buffer(16, MapGrid::Row(16, 0));
    for (int r = 0; r < 16; ++r) {
        for (int c = 0; c < 16; ++c) {
            buffer[r][c] = 16 * r + c;
        }
    }
    return buffer;
}

// A 16 × 16 copy buffer tiled over the whole map, the history sliding over ten steps as in the
// editor once ten steps are recorded. Each step keeps the whole layer before, so this holds
// about 1.2 GB.
void BM_PasteTile_5000x5000(benchmark::State& state) {
    MapGrid grid = squareMap();
    EditHistory history;
    const MapGrid::Layer buffer = sixteenBySixteen();
    const EditPlace place = wholeMapSelected();
    for (int i = 0; i <= EditHistory::kMaxSteps; ++i) {
        record(history, MapEditor::paste(grid, place, buffer));
    }
    for (auto _ : state) {
        record(history, MapEditor::paste(grid, place, buffer));
    }
}
BENCHMARK(BM_PasteTile_5000x5000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same with the history emptied between runs, so that every step's memory is fresh from
// the system: the cost of the first pastes of a session.
void BM_PasteTileFreshMemory_5000x5000(benchmark::State& state) {
    MapGrid grid = squareMap();
    EditHistory history;
    const MapGrid::Layer buffer = sixteenBySixteen();
    const EditPlace place = wholeMapSelected();
    for (auto _ : state) {
        record(history, MapEditor::paste(grid, place, buffer));
        state.PauseTiming();
        history.clearHistory();
        ::malloc_trim(0);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PasteTileFreshMemory_5000x5000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
