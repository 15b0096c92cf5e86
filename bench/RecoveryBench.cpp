// The recovery records of a 5000 × 5000 map: what keeping them costs the editor's thread per
// edit, against one copy of the map's cells (BM_Memcpy_200MB, EditBench.cpp); and reading them
// back into fresh memory, against loading the map file.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchMaps.h"
#include "map/MapFile.h"
#include "map/MapRecorder.h"
#include "map/MapRecovery.h"
#include "platform/RecordStore.h"

namespace {

constexpr int kSide = 5000;
constexpr std::size_t kCellBytes = 8ull * kSide * kSide;  // both layers: 200 MB

std::string scratch(const std::string& name) {
    const std::string path = bench::scratchFolder("recovery-bench") + "/" + name;
    ::mkdir(path.c_str(), 0700);
    return path;
}

MapGrid bigMap() {
    return bench::randomMap(kSide, kSide);
}

std::uint64_t fileSize(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

std::uint64_t residentBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 6, "VmRSS:") == 0) {
            return std::stoull(line.substr(6)) * 1024;
        }
    }
    return 0;
}

MapChange started(MapChange::Origin origin, const std::string& path) {
    MapChange change;
    change.kind = MapChange::Kind::Started;
    change.origin = origin;
    change.path = path;
    return change;
}

MapChange cell(int column, int row) {
    MapChange change;
    change.kind = MapChange::Kind::Cells;
    change.left = column;
    change.top = row;
    change.width = change.height = 1;
    return change;
}

// The editor's thread, for one chip put on a map loaded from its file: the change encoded from
// the cell, then handed to the writer at the next flush. The writer's own time is not the
// editor's; it is waited for outside the timing, so that every put starts from the same state.
void BM_RecoveryAfterPut_5000x5000(benchmark::State& state) {
    MapGrid grid = bigMap();
    std::string path = scratch("put") + "/stage.map";
    MapFile::save(path, grid);
    const std::string folder = scratch("put-records");
    platform::RecordStore store(folder);
    MapRecorder recorder(store, 0);
    recorder.record(grid, started(MapChange::Origin::Loaded, path), false);
    recorder.flush(grid);
    store.waitIdle();
    const std::uint64_t before = fileSize(folder + "/map-1.journal");
    std::mt19937 random(2);
    for (auto _ : state) {
        const int column = static_cast<int>(random() % kSide),
                  row = static_cast<int>(random() % kSide);
        grid.setChip(column, row, static_cast<std::int32_t>(random() % 256));
        recorder.record(grid, cell(column, row), true);
        recorder.flush(grid);
        state.PauseTiming();
        store.waitIdle();
        state.ResumeTiming();
    }
    state.counters["bytes_written"] =
        static_cast<double>(fileSize(folder + "/map-1.journal") - before) /
        static_cast<double>(state.iterations());
}
BENCHMARK(BM_RecoveryAfterPut_5000x5000)->Unit(benchmark::kMicrosecond);

// A snapshot of the whole map taken a slice at a time, as the editor takes one; what it holds in
// memory beyond the map meanwhile is the counter.
void BM_RecoverySnapshot_5000x5000(benchmark::State& state) {
    MapGrid grid = bigMap();
    double peak = 0;
    for (auto _ : state) {
        const std::string folder = scratch("snapshot-" + std::to_string(state.iterations()));
        platform::RecordStore store(folder);
        MapRecorder recorder(store, 0);
        ::malloc_trim(0);
        const std::uint64_t resident = residentBytes();
        recorder.record(grid, started(MapChange::Origin::Taken, std::string()), true);
        recorder.flush(grid);
        while (recorder.captureStep(grid)) {
            peak = std::max(peak, static_cast<double>(residentBytes()) - resident);
        }
        store.waitIdle();
    }
    state.counters["peak_added_MB"] = peak / (1 << 20);
}
BENCHMARK(BM_RecoverySnapshot_5000x5000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

// The load and the restore both read into fresh memory, their file in the page cache.
void BM_MapLoad_5000x5000(benchmark::State& state) {
    std::string path = scratch("load") + "/stage.map";
    {
        MapGrid grid = bigMap();
        MapFile::save(path, grid);
    }
    for (auto _ : state) {
        state.PauseTiming();
        ::malloc_trim(0);
        state.ResumeTiming();
        MapGrid grid;
        if (MapFile::loadBinary(path, grid) != MapFile::BinaryResult::Loaded) {
            state.SkipWithError("load failed");
        }
        benchmark::DoNotOptimize(grid.chipLayer().data());
        state.PauseTiming();
        grid = MapGrid();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kCellBytes);
}
BENCHMARK(BM_MapLoad_5000x5000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The newest snapshot and the journal after it (a thousand puts) read back into fresh memory.
void BM_RecoveryRestore_5000x5000(benchmark::State& state) {
    const std::string folder = scratch("restore");
    {
        MapGrid grid = bigMap();
        platform::RecordStore store(folder);
        MapRecorder recorder(store, 0);
        recorder.record(grid, started(MapChange::Origin::Taken, std::string()), true);
        recorder.flush(grid);
        while (recorder.captureStep(grid)) {
            store.waitIdle();
        }
        std::mt19937 random(3);
        for (int i = 0; i < 1000; ++i) {
            const int column = static_cast<int>(random() % kSide),
                      row = static_cast<int>(random() % kSide);
            grid.setChip(column, row, 5);
            recorder.record(grid, cell(column, row), true);
        }
        recorder.flush(grid);
        store.waitIdle();
    }
    const std::vector<std::string> names = {"map-1.base", "map-1.journal"};
    for (auto _ : state) {
        state.PauseTiming();
        ::malloc_trim(0);
        state.ResumeTiming();
        RecoveredMap map = readRecoveredMap(folder, names);
        if (!map.found || !map.problems.empty()) {
            state.SkipWithError("restore failed");
        }
        benchmark::DoNotOptimize(map.grid.chipLayer().data());
        state.PauseTiming();
        map = RecoveredMap();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kCellBytes);
}
BENCHMARK(BM_RecoveryRestore_5000x5000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
