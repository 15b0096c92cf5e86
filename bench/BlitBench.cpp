// The blits the editor runs every frame against memcpy, memset and pixman doing the same work,
// each on 1280 × 1024 32-bit pictures of random pixels with random alpha.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "gfx/CNxSurface.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;

void randomise(std::uint32_t* p, std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    for (std::size_t i = 0; i < n; ++i) {
        p[i] = static_cast<std::uint32_t>(random());
    }
}

std::unique_ptr<CNxSurface> randomSurface(int width, int height, unsigned seed) {
    auto s = std::make_unique<CNxSurface>(32);
    s->Create(width, height);
    randomise(reinterpret_cast<std::uint32_t*>(s->GetImage().GetBits()),
              std::size_t(width) * height, seed);
    return s;
}

// A pixman image over its own random pixels.
struct PixmanPicture {
    std::vector<std::uint32_t> pixels;
    pixman_image_t* image;

    PixmanPicture(int width, int height, unsigned seed)
        : pixels(std::size_t(width) * height),
          image(
              pixman_image_create_bits(PIXMAN_a8r8g8b8, width, height, pixels.data(), width * 4)) {
        randomise(pixels.data(), pixels.size(), seed);
    }
    ~PixmanPicture() { pixman_image_unref(image); }
};

constexpr std::int64_t kBytes = std::int64_t(kWidth) * kHeight * 4;

void BM_Copy_1280x1024(benchmark::State& state) {
    auto dest = randomSurface(kWidth, kHeight, 1), source = randomSurface(kWidth, kHeight, 2);
    for (auto _ : state) {
        dest->Blit(nullptr, source.get(), nullptr, nullptr);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_Copy_1280x1024);

void BM_Memcpy_1280x1024(benchmark::State& state) {
    std::vector<std::uint32_t> dest(kBytes / 4), source(kBytes / 4);
    randomise(source.data(), source.size(), 2);
    for (auto _ : state) {
        std::memcpy(dest.data(), source.data(), kBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_Memcpy_1280x1024);

void BM_Fill_1280x1024(benchmark::State& state) {
    auto dest = randomSurface(kWidth, kHeight, 1);
    for (auto _ : state) {
        dest->Fill(nullptr, 0);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_Fill_1280x1024);

void BM_Memset_1280x1024(benchmark::State& state) {
    std::vector<std::uint32_t> dest(kBytes / 4);
    for (auto _ : state) {
        std::memset(dest.data(), 0, kBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kBytes);
}
BENCHMARK(BM_Memset_1280x1024);

void BM_SourceAlpha_1280x1024(benchmark::State& state) {
    auto dest = randomSurface(kWidth, kHeight, 1), source = randomSurface(kWidth, kHeight, 2);
    CNxBlitParams params;
    params.m_flags = NxBlt_SourceAlpha;
    for (auto _ : state) {
        dest->Blit(nullptr, source.get(), nullptr, &params);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SourceAlpha_1280x1024);

void BM_PixmanOver_1280x1024(benchmark::State& state) {
    PixmanPicture dest(kWidth, kHeight, 1), source(kWidth, kHeight, 2);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, source.image, nullptr, dest.image, 0, 0, 0, 0, 0,
                                 0, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PixmanOver_1280x1024);

void BM_ConstantAlpha_1280x1024(benchmark::State& state) {
    auto dest = randomSurface(kWidth, kHeight, 1), source = randomSurface(kWidth, kHeight, 2);
    CNxBlitParams params;
    params.m_flags = NxBlt_ConstantAlpha;
    params.m_alpha = 128;
    for (auto _ : state) {
        dest->Blit(nullptr, source.get(), nullptr, &params);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ConstantAlpha_1280x1024);

void BM_PixmanOverSolidMask_1280x1024(benchmark::State& state) {
    PixmanPicture dest(kWidth, kHeight, 1), source(kWidth, kHeight, 2);
    const pixman_color_t half = {0, 0, 0, 0x8080};
    pixman_image_t* mask = pixman_image_create_solid_fill(&half);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, source.image, mask, dest.image, 0, 0, 0, 0, 0, 0,
                                 kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(mask);
}
BENCHMARK(BM_PixmanOverSolidMask_1280x1024);

void BM_ColourBlend_1280x1024(benchmark::State& state) {
    auto dest = randomSurface(kWidth, kHeight, 1);
    CNxBlitParams params;
    params.m_flags = NxBlt_ColourSource;
    params.m_colour = 0x80FFFFFF;
    for (auto _ : state) {
        dest->Blit(nullptr, nullptr, nullptr, &params);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ColourBlend_1280x1024);

void BM_PixmanOverSolid_1280x1024(benchmark::State& state) {
    PixmanPicture dest(kWidth, kHeight, 1);
    const pixman_color_t white = {0x8080, 0x8080, 0x8080, 0x8080};  // premultiplied, alpha 128
    pixman_image_t* colour = pixman_image_create_solid_fill(&white);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, colour, nullptr, dest.image, 0, 0, 0, 0, 0, 0,
                                 kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(colour);
}
BENCHMARK(BM_PixmanOverSolid_1280x1024);

void BM_StretchSmooth_640x512_to_1280x1024(benchmark::State& state) {
    auto dest = randomSurface(kWidth, kHeight, 1), source = randomSurface(640, 512, 2);
    CNxBlitParams params;
    params.m_flags = NxBlt_Smooth;
    for (auto _ : state) {
        dest->Blit(nullptr, source.get(), nullptr, &params);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StretchSmooth_640x512_to_1280x1024);

void BM_PixmanBilinear_640x512_to_1280x1024(benchmark::State& state) {
    PixmanPicture dest(kWidth, kHeight, 1), source(640, 512, 2);
    pixman_transform_t half;
    pixman_transform_init_scale(&half, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
    pixman_image_set_transform(source.image, &half);
    pixman_image_set_filter(source.image, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, source.image, nullptr, dest.image, 0, 0, 0, 0, 0, 0,
                                 kWidth, kHeight);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PixmanBilinear_640x512_to_1280x1024);

}  // namespace
