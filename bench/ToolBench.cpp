// pelorin-tool's render and Tiled exchange against their peers: memcpy of the same bytes,
// libpng alone on the same pixels, the same numbers as plain comma-separated text, and the
// editor's own map file.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <png.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <charconv>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchMaps.h"
#include "chips/ChipSet.h"
#include "chips/KindTable.h"
#include "gfx/CNxSurface.h"
#include "map/MapFile.h"
#include "platform/FileIo.h"
#include "tools/MapJson.h"
#include "tools/MapPicture.h"
#include "tools/PelorinTool.h"
#include "tools/PngWriter.h"
#include "tools/TiledConvert.h"
#include "tools/ToolSupport.h"

namespace {

std::string scratchDir() {
    return bench::scratchFolder("tool-bench");
}

// side × side cells of random chips (of 256) and attributes (of 100), 32-pixel chips.
MapGrid randomMap(int side) {
    MapGrid grid = bench::randomMap(side, side);
    grid.setChipSize(32, 32);
    return grid;
}

// A 512 × 512 chip image of 256 chips.
void makeChips(ChipSet& chips) {
    auto image = std::make_unique<CNxSurface>(32);
    image->Create(512, -512);
    for (int y = 0; y < 512; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(image->GetImage().Row(y));
        for (int x = 0; x < 512; ++x) {
            row[x] = 0xFF000000u | std::uint32_t(x * 977 + y * 131);
        }
    }
    chips.setImage(std::move(image));
    int w = 32, h = 32;
    chips.setChipSize(w, h);
}

void drawMap(benchmark::State& state, int side, CNxSurface& target) {
    const MapGrid grid = randomMap(side);
    ChipSet chips;
    makeChips(chips);
    const picture::Region region{0, 0, side, side};
    if (!picture::draw(target, grid, &chips, nullptr, region, 32, 32, {})) {
        state.SkipWithError("cannot draw");
    }
}

void BM_RenderMap_256x256_32px(benchmark::State& state) {
    const MapGrid grid = randomMap(256);
    ChipSet chips;
    makeChips(chips);
    CNxSurface target(32);
    const picture::Region region{0, 0, 256, 256};
    picture::draw(target, grid, &chips, nullptr, region, 32, 32, {});  // the pages, touched once
    for (auto _ : state) {
        picture::draw(target, grid, &chips, nullptr, region, 32, 32, {});
        benchmark::DoNotOptimize(target.GetImage().Row(0));
    }
    state.SetBytesProcessed(state.iterations() * 8192ll * 8192 * 4);
}
BENCHMARK(BM_RenderMap_256x256_32px)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same number of bytes, from a buffer into another, both touched beforehand.
void BM_Memcpy_256MB(benchmark::State& state) {
    const std::size_t bytes = 8192ull * 8192 * 4;
    std::unique_ptr<char[]> from(new char[bytes]), to(new char[bytes]);
    std::memset(from.get(), 1, bytes);
    std::memset(to.get(), 2, bytes);
    for (auto _ : state) {
        std::memcpy(to.get(), from.get(), bytes);
        benchmark::DoNotOptimize(to.get());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_Memcpy_256MB)->Unit(benchmark::kMillisecond)->UseRealTime();

// The encoding of render's picture, drawn beforehand as for its peer below.
void BM_RenderPng_64x64_32px(benchmark::State& state) {
    CNxSurface target(32);
    drawMap(state, 64, target);
    std::vector<std::uint8_t> png;
    for (auto _ : state) {
        PngWriter::encode(target.GetImage(), png);
        benchmark::DoNotOptimize(png.data());
    }
}
BENCHMARK(BM_RenderPng_64x64_32px)->Unit(benchmark::kMillisecond)->UseRealTime();

struct PngSink {
    std::vector<std::uint8_t>* out;
};

void sinkWrite(png_structp png, png_bytep data, png_size_t length) {
    auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
    sink->out->insert(sink->out->end(), data, data + length);
}

void sinkFlush(png_structp) {}

// libpng alone with the writer's settings: 8-bit RGBA from B, G, R, A bytes, default filters and
// compression, into memory.
bool encodeAlone(const CNxSurface& surface, std::vector<std::uint8_t>& out) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    PngSink sink{&out};
    std::vector<png_bytep> rows(surface.GetHeight());
    for (std::size_t y = 0; y < rows.size(); ++y) {
        rows[y] = const_cast<png_bytep>(surface.GetImage().Row(static_cast<int>(y)));
    }
    out.clear();
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &sink, sinkWrite, sinkFlush);
    png_set_IHDR(png, info, surface.GetWidth(), surface.GetHeight(), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

void BM_LibpngEncode_64x64_32px(benchmark::State& state) {
    CNxSurface target(32);
    drawMap(state, 64, target);
    std::vector<std::uint8_t> png;
    for (auto _ : state) {
        encodeAlone(target, png);
        benchmark::DoNotOptimize(png.data());
    }
}
BENCHMARK(BM_LibpngEncode_64x64_32px)->Unit(benchmark::kMillisecond)->UseRealTime();

// render --scale 0.125 of a 1000 × 1000 map of 32-pixel chips, a 4000 × 4000 picture: drawn
// into a new surface, encoded and written as the command does it, against libpng alone on the
// same picture written the same way.
void BM_RenderScaled_1000x1000_1of8(benchmark::State& state) {
    const MapGrid grid = randomMap(1000);
    ChipSet chips;
    makeChips(chips);
    const picture::Region region{0, 0, 1000, 1000};
    picture::Style style;
    style.zoom = Zoom{1, 8};
    std::string error;
    for (auto _ : state) {
        if (!picture::check(grid, region, 32, 32, style.zoom, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        const platform::Outcome<bool> written = picture::writePng(
            scratchDir() + "/scaled.png", grid, &chips, nullptr, region, 32, 32, style);
        if (!written.value) {
            state.SkipWithError(written.why().c_str());
            break;
        }
    }
}
BENCHMARK(BM_RenderScaled_1000x1000_1of8)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LibpngEncode_4000x4000(benchmark::State& state) {
    const MapGrid grid = randomMap(1000);
    ChipSet chips;
    makeChips(chips);
    picture::Style style;
    style.zoom = Zoom{1, 8};
    CNxSurface target(32);
    picture::draw(target, grid, &chips, nullptr, {0, 0, 1000, 1000}, 32, 32, style);
    std::vector<std::uint8_t> png;
    for (auto _ : state) {
        if (!encodeAlone(target, png) ||
            !platform::writeFileAtomically(scratchDir() + "/alone.png", {{png.data(), png.size()}})
                 .value) {
            state.SkipWithError("cannot encode");
        }
    }
}
BENCHMARK(BM_LibpngEncode_4000x4000)->Unit(benchmark::kMillisecond)->UseRealTime();

// text written into the scratch folder as name, the way export writes its files; a failure ends
// the benchmark with an error.
void writeOrSkip(benchmark::State& state, const std::string& name, const std::string& text) {
    if (!platform::writeFileAtomically(scratchDir() + "/" + name, {{text.data(), text.size()}})
             .value) {
        state.SkipWithError("write failed");
    }
}

// What the interchange benchmarks export: a random 2000 × 2000 map, a chip image and the
// default attributes.
struct ExportSource {
    MapGrid grid = randomMap(2000);
    ChipSet chips;
    KindTable kinds;

    ExportSource() {
        makeChips(chips);
        kinds.resetToDefaults(1);
    }
    // The map as Tiled's model, as export makes it.
    bool toTiled(tiled::Map& map) const {
        return tiledconvert::toTiled(grid, chips, kinds, {"chips.png", "kinds.png"}, map).value;
    }
};

// The map as a TMX file, as export writes it (less the small picture of the attributes).
bool writeTmxFile(const ExportSource& source, const std::string& path) {
    tiled::Map map;
    if (!source.toTiled(map)) {
        return false;
    }
    const std::string text = tiled::writeTmx(map);
    return platform::writeFileAtomically(path, {{text.data(), text.size()}}).value;
}

void BM_ExportTmx_2000x2000(benchmark::State& state) {
    const ExportSource source;
    for (auto _ : state) {
        if (!writeTmxFile(source, scratchDir() + "/export.tmx")) {
            state.SkipWithError("export failed");
        }
    }
}
BENCHMARK(BM_ExportTmx_2000x2000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The map as a TMJ file, as export writes it (less the small picture of the attributes).
void BM_ExportTmj_2000x2000(benchmark::State& state) {
    const ExportSource source;
    for (auto _ : state) {
        tiled::Map map;
        if (!source.toTiled(map)) {
            state.SkipWithError("export failed");
            break;
        }
        writeOrSkip(state, "export.tmj", tiled::writeTmj(map));
    }
}
BENCHMARK(BM_ExportTmj_2000x2000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The map as the tool's own JSON, as export writes it.
void BM_ExportJson_2000x2000(benchmark::State& state) {
    const MapGrid grid = randomMap(2000);
    for (auto _ : state) {
        writeOrSkip(state, "export.json", mapjson::write(grid));
    }
}
BENCHMARK(BM_ExportJson_2000x2000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImportTmx_2000x2000(benchmark::State& state) {
    const std::string path = scratchDir() + "/import.tmx";
    writeTmxFile(ExportSource(), path);
    // Into fresh memory and freed outside the timing, as the map load is (MapFileBench.cpp). The
    // text is freed inside readTmx, which takes it.
    for (auto _ : state) {
        state.PauseTiming();
        ::malloc_trim(0);
        state.ResumeTiming();
        tiled::Map map;
        MapGrid grid;
        KindTable kinds;
        std::string text;
        if (!tool::readText(path, text) ||
            !tiled::readTmx(std::move(text), scratchDir(), map).value ||
            !tiledconvert::fromTiled(map, grid, &kinds).value) {
            state.SkipWithError("import failed");
        }
        benchmark::DoNotOptimize(grid.chipLayer().data());
        state.PauseTiming();
        map = tiled::Map();
        grid = MapGrid();
        kinds = KindTable();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ImportTmx_2000x2000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The peers of export and import: the least work that writes and reads the same numbers as the
// two layers of that TMX file, as comma-separated text on the same I/O path. The chips' ids are
// 1 to 256, the attributes' 257 on, as in the export.
std::string csvOf(const MapGrid& grid) {
    // At most 3 digits and a separator a number: written in place, then cut to what was used.
    std::string text(static_cast<std::size_t>(grid.columns()) * grid.rows() * 2 * 4, '\0');
    char* out = text.data();
    for (int layer = 0; layer < 2; ++layer) {
        for (int r = 0; r < grid.rows(); ++r) {
            for (int c = 0; c < grid.columns(); ++c) {
                const std::int32_t id = layer == 0 ? grid.chip(c, r) + 1 : grid.kind(c, r) + 257;
                out = std::to_chars(out, out + 3, id).ptr;
                *out++ = ',';
            }
            out[-1] = '\n';
        }
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

void BM_FormatCsv_2000x2000(benchmark::State& state) {
    const MapGrid grid = randomMap(2000);
    for (auto _ : state) {
        writeOrSkip(state, "export.csv", csvOf(grid));
    }
}
BENCHMARK(BM_FormatCsv_2000x2000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ParseCsv_2000x2000(benchmark::State& state) {
    const std::string path = scratchDir() + "/import.csv";
    {
        const std::string text = csvOf(randomMap(2000));
        platform::writeFileAtomically(path, {{text.data(), text.size()}});
    }
    for (auto _ : state) {
        state.PauseTiming();
        ::malloc_trim(0);
        state.ResumeTiming();
        std::string text;
        std::vector<std::uint32_t> ids;
        if (!tool::readText(path, text)) {
            state.SkipWithError("read failed");
            break;
        }
        ids.reserve(2000u * 2000u * 2u);
        const char* at = text.data();
        const char* const end = at + text.size();
        while (at < end) {
            std::uint32_t id = 0;
            const auto read = std::from_chars(at, end, id);
            if (read.ec != std::errc()) {
                state.SkipWithError("parse failed");
                break;
            }
            ids.push_back(id);
            at = read.ptr + 1;  // past the comma or the line's end
        }
        benchmark::DoNotOptimize(ids.data());
        state.PauseTiming();
        text = std::string();
        ids = std::vector<std::uint32_t>();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ParseCsv_2000x2000)->Unit(benchmark::kMillisecond)->UseRealTime();

// 64 maps of 200 × 200 cells (16-pixel chips, so 3200 × 3200 pictures) and the chip image as
// files, made once.
std::vector<std::string> batchInputs() {
    static const std::vector<std::string> inputs = [] {
        std::vector<std::string> args;
        ChipSet chips;
        makeChips(chips);
        std::vector<std::uint8_t> png;
        PngWriter::encode(chips.image()->GetImage(), png);
        const std::string chipPath = scratchDir() + "/batch-chips.png";
        platform::writeFileAtomically(chipPath, {{png.data(), png.size()}});
        ::mkdir((scratchDir() + "/batch").c_str(), 0755);
        for (int n = 0; n < 64; ++n) {
            MapGrid grid = randomMap(200);
            grid.setChipSize(16, 16);
            std::string path = scratchDir() + "/batch/stage" + std::to_string(n) + ".map";
            MapFile::save(path, grid);
            args.push_back(path);
        }
        args.insert(args.end(), {"--chips", chipPath, "-o", scratchDir() + "/batch-out"});
        return args;
    }();
    return inputs;
}

// One render call over all 64 maps, as a build script makes it, with -j 1 and -j 2: what the
// second core gives.
void renderBatch(benchmark::State& state, const char* jobs) {
    std::vector<std::string> args = {"render"};
    const std::vector<std::string> inputs = batchInputs();
    args.insert(args.end(), inputs.begin(), inputs.end());
    args.insert(args.end(), {"-j", jobs, "--quiet"});
    std::FILE* sink = std::fopen("/dev/null", "w");
    for (auto _ : state) {
        if (PelorinTool(sink, sink).run(args) != 0) {
            state.SkipWithError("render failed");
        }
    }
    std::fclose(sink);
    state.SetItemsProcessed(state.iterations() * 64);
}

void BM_RenderBatch_64maps_200x200_j1(benchmark::State& state) {
    renderBatch(state, "1");
}
BENCHMARK(BM_RenderBatch_64maps_200x200_j1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

void BM_RenderBatch_64maps_200x200(benchmark::State& state) {
    renderBatch(state, "2");
}
BENCHMARK(BM_RenderBatch_64maps_200x200)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(2);

}  // namespace
