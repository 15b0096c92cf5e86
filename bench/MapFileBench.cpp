// Map files against plain reads and writes of the same number of bytes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

#include <memory>
#include <random>
#include <string>

#include "bench/BenchMaps.h"
#include "chips/KindTable.h"
#include "gfx/CNxSurface.h"
#include "map/MapFile.h"
#include "platform/FileIo.h"
#include "tools/PelorinTool.h"
#include "tools/PngWriter.h"

namespace {

constexpr int kSide = 2000;
constexpr std::size_t kFileBytes = 8 + 16 + 8ull * kSide * kSide;  // 32,000,024

std::string scratchDir() {
    return bench::scratchFolder("bench");
}

MapGrid bigMap() {
    return bench::randomMap(kSide, kSide);
}

void BM_MapSave_2000x2000(benchmark::State& state) {
    MapGrid grid = bigMap();
    for (auto _ : state) {
        std::string path = scratchDir() + "/save.map";
        if (!MapFile::save(path, grid).value) {
            state.SkipWithError("save failed");
        }
    }
    state.SetBytesProcessed(state.iterations() * kFileBytes);
}
BENCHMARK(BM_MapSave_2000x2000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same bytes written with one write and made durable as a careful save must be.
void BM_RawWrite_32MB(benchmark::State& state) {
    std::unique_ptr<char[]> bytes(new char[kFileBytes]);
    for (std::size_t i = 0; i < kFileBytes; ++i) {
        bytes[i] = static_cast<char>(i * 31);
    }
    for (auto _ : state) {
        const std::string path = scratchDir() + "/raw.bin";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        std::size_t done = 0;
        while (done < kFileBytes) {
            const ssize_t n = ::write(fd, bytes.get() + done, kFileBytes - done);
            if (n <= 0) {
                state.SkipWithError("write failed");
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        ::fsync(fd);
        ::close(fd);
    }
    state.SetBytesProcessed(state.iterations() * kFileBytes);
}
BENCHMARK(BM_RawWrite_32MB)->Unit(benchmark::kMillisecond)->UseRealTime();

// Both the load and its peer read into fresh memory, as a load into a new map does: pages the
// process has never touched, whatever ran before. Memory that malloc keeps from earlier
// benchmarks would spare one side the page faults the other pays.
void BM_MapLoad_2000x2000(benchmark::State& state) {
    {
        MapGrid grid = bigMap();
        std::string path = scratchDir() + "/load.map";
        MapFile::save(path, grid);
    }
    for (auto _ : state) {
        state.PauseTiming();
        ::malloc_trim(0);  // hands every free page back, so the rows land on fresh ones
        state.ResumeTiming();
        MapGrid grid;
        if (MapFile::loadBinary(scratchDir() + "/load.map", grid) !=
            MapFile::BinaryResult::Loaded) {
            state.SkipWithError("load failed");
        }
        benchmark::DoNotOptimize(grid.chipLayer().data());
        state.PauseTiming();  // the grid is freed outside the timing
        grid = MapGrid();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kFileBytes);
}
BENCHMARK(BM_MapLoad_2000x2000)->Unit(benchmark::kMillisecond)->UseRealTime();

// pelorin-tool check of the same file, from fresh pages as the load: the load and one pass over
// the cells against a 512 × 512 chip image (256 chips of 32 pixels, decoded before the timing,
// once per run as the tool does) and the 100 default attributes. The map holds no fault, so
// nothing is printed.
void BM_Check_2000x2000(benchmark::State& state) {
    const std::string path = scratchDir() + "/check.map";
    const std::string chips = scratchDir() + "/check-chips.png";
    std::string kinds = scratchDir() + "/check.knd";
    {
        MapGrid grid = bigMap();
        std::string saved = path;
        MapFile::save(saved, grid);
        CNxSurface image(32);
        image.Create(512, -512);
        std::vector<std::uint8_t> png;
        PngWriter::encode(image.GetImage(), png);
        platform::writeFileAtomically(chips, {{png.data(), png.size()}});
        KindTable table;
        table.resetToDefaults(1);
        table.saveFile(kinds);
    }
    std::FILE* sink = std::fopen("/dev/null", "w");
    const std::vector<std::string> args = {"check", path, "--chips", chips, "--kinds", kinds};
    PelorinTool(sink, sink).run(args);  // decodes the chip image once, as a run does
    for (auto _ : state) {
        state.PauseTiming();
        ::malloc_trim(0);
        state.ResumeTiming();
        if (PelorinTool(sink, sink).run(args) != 0) {
            state.SkipWithError("check found faults");
        }
    }
    std::fclose(sink);
    state.SetBytesProcessed(state.iterations() * kFileBytes);
}
BENCHMARK(BM_Check_2000x2000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same file read with one read into a buffer of fresh pages.
void BM_RawRead_32MB(benchmark::State& state) {
    {
        MapGrid grid = bigMap();
        std::string path = scratchDir() + "/load.map";
        MapFile::save(path, grid);
    }
    for (auto _ : state) {
        const int fd = ::open((scratchDir() + "/load.map").c_str(), O_RDONLY);
        void* fresh =
            ::mmap(nullptr, kFileBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        auto* bytes = static_cast<char*>(fresh);
        std::size_t done = 0;
        while (done < kFileBytes) {
            const ssize_t n = ::read(fd, bytes + done, kFileBytes - done);
            if (n <= 0) {
                state.SkipWithError("read failed");
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        ::close(fd);
        benchmark::DoNotOptimize(bytes);
        state.PauseTiming();
        ::munmap(fresh, kFileBytes);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kFileBytes);
}
BENCHMARK(BM_RawRead_32MB)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
