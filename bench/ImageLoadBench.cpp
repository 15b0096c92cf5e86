// The editor's PNG and JPEG loaders against libpng and libjpeg alone decoding the same file
// into a buffer, with the same transformations and DCT method.
#include <benchmark/benchmark.h>
#include <png.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "bench/BenchMaps.h"
#include "gfx/CNxFile.h"
#include "gfx/CNxJPEGLoader.h"
#include "gfx/CNxPNGLoader.h"

namespace {

constexpr int kSide = 2048;

std::string scratchFile(const char* name) {
    return bench::scratchFolder("imgbench") + "/" + name;
}

// A photograph-like picture: smooth gradients under a little noise, so that neither format
// compresses it to nothing.
std::vector<std::uint8_t> picture() {
    std::vector<std::uint8_t> rgb(std::size_t(kSide) * kSide * 3);
    std::mt19937 random(7);
    std::size_t i = 0;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const int noise = static_cast<int>(random() % 9) - 4;
            rgb[i++] = static_cast<std::uint8_t>(std::clamp(x / 8 + noise, 0, 255));
            rgb[i++] = static_cast<std::uint8_t>(std::clamp(y / 8 + noise, 0, 255));
            rgb[i++] = static_cast<std::uint8_t>(std::clamp((x + y) / 16 + noise, 0, 255));
        }
    }
    return rgb;
}

bool writePngRows(png_structp png, png_infop info, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_IHDR(png, info, kSide, kSide, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

const std::string& pngFile() {
    static const std::string path = [] {
        const std::string p = scratchFile("big.png");
        std::vector<std::uint8_t> rgb = picture();
        std::vector<png_bytep> rows(kSide);
        for (int y = 0; y < kSide; ++y) {
            rows[y] = rgb.data() + std::size_t(y) * kSide * 3;
        }
        std::FILE* f = std::fopen(p.c_str(), "wb");
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_init_io(png, f);
        writePngRows(png, info, rows.data());
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return p;
    }();
    return path;
}

const std::string& jpegFile() {
    static const std::string path = [] {
        const std::string p = scratchFile("big.jpg");
        std::vector<std::uint8_t> rgb = picture();
        std::FILE* f = std::fopen(p.c_str(), "wb");
        jpeg_compress_struct c;
        jpeg_error_mgr error;
        c.err = jpeg_std_error(&error);
        jpeg_create_compress(&c);
        jpeg_stdio_dest(&c, f);
        c.image_width = kSide;
        c.image_height = kSide;
        c.input_components = 3;
        c.in_color_space = JCS_RGB;
        jpeg_set_defaults(&c);
        jpeg_set_quality(&c, 90, TRUE);
        jpeg_start_compress(&c, TRUE);
        while (c.next_scanline < c.image_height) {
            JSAMPROW row = rgb.data() + std::size_t(c.next_scanline) * kSide * 3;
            jpeg_write_scanlines(&c, &row, 1);
        }
        jpeg_finish_compress(&c);
        jpeg_destroy_compress(&c);
        std::fclose(f);
        return p;
    }();
    return path;
}

// One of our decoders reading path afresh each time, as the editor does.
void loadEachTime(benchmark::State& state, CNxImageLoader& loader, const std::string& path) {
    for (auto _ : state) {
        CNxFile file;
        file.Open(path.c_str(), CNxFile::modeRead);
        auto image = loader.Load(file);
        if (!image) {
            state.SkipWithError("the loader failed");
            break;
        }
        benchmark::DoNotOptimize(image->GetBits());
    }
}

void BM_LoadPNG_2048x2048(benchmark::State& state) {
    CNxPNGLoader loader;
    loadEachTime(state, loader, pngFile());
}
BENCHMARK(BM_LoadPNG_2048x2048)->Unit(benchmark::kMillisecond);

// libpng alone: the same file through stdio, the same B, G, R order, into one buffer.
bool decodePng(png_structp png, png_infop info, std::unique_ptr<std::uint8_t[]>& pixels,
               std::vector<png_bytep>& rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_info(png, info);
    png_set_bgr(png);
    png_read_update_info(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    pixels.reset(new std::uint8_t[rowBytes * height]);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        rows[y] = pixels.get() + y * rowBytes;
    }
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    return true;
}

void BM_LibpngDecode_2048x2048(benchmark::State& state) {
    const std::string& path = pngFile();
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_init_io(png, f);
        std::unique_ptr<std::uint8_t[]> pixels;
        std::vector<png_bytep> rows;
        const bool ok = decodePng(png, info, pixels, rows);
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(f);
        if (!ok) {
            state.SkipWithError("libpng failed");
            break;
        }
        benchmark::DoNotOptimize(pixels.get());
    }
}
BENCHMARK(BM_LibpngDecode_2048x2048)->Unit(benchmark::kMillisecond);

void BM_LoadJPEG_2048x2048(benchmark::State& state) {
    CNxJPEGLoader loader;
    loadEachTime(state, loader, jpegFile());
}
BENCHMARK(BM_LoadJPEG_2048x2048)->Unit(benchmark::kMillisecond);

// libjpeg alone: stdio source, floating-point DCT, B, G, R output, into one buffer.
void BM_LibjpegDecode_2048x2048(benchmark::State& state) {
    const std::string& path = jpegFile();
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        jpeg_decompress_struct d;
        jpeg_error_mgr error;
        d.err = jpeg_std_error(&error);
        jpeg_create_decompress(&d);
        jpeg_stdio_src(&d, f);
        jpeg_read_header(&d, TRUE);
        d.dct_method = JDCT_FLOAT;
        d.out_color_space = JCS_EXT_BGR;
        jpeg_start_decompress(&d);
        const std::size_t rowBytes = std::size_t(d.output_width) * 3;
        std::unique_ptr<std::uint8_t[]> pixels(new std::uint8_t[rowBytes * d.output_height]);
        std::vector<JSAMPROW> rows(d.output_height);
        for (JDIMENSION y = 0; y < d.output_height; ++y) {
            rows[y] = pixels.get() + y * rowBytes;
        }
        while (d.output_scanline < d.output_height) {
            jpeg_read_scanlines(&d, rows.data() + d.output_scanline,
                                d.output_height - d.output_scanline);
        }
        jpeg_finish_decompress(&d);
        jpeg_destroy_decompress(&d);
        std::fclose(f);
        benchmark::DoNotOptimize(pixels.get());
    }
}
BENCHMARK(BM_LibjpegDecode_2048x2048)->Unit(benchmark::kMillisecond);

}  // namespace
