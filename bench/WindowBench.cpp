// The drawing tree's update against pixman composing the same stack.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "gfx/CNxSprite.h"
#include "gfx/CNxSurface.h"
#include "gfx/CNxWindow.h"
#include "platform/headless/HeadlessWindow.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;

// A 1280 × 1024 window showing a full-size opaque picture, a full-size grid overlay drawn with
// per-pixel alpha, and a 32 × 32 sprite on top, as the map window does.
struct MapLikeWindow {
    platform::headless::HeadlessWindow native{platform::Size{kWidth, kHeight}};
    CNxWindow window;
    CNxSurface picture{32};
    CNxSurface grid{32};
    CNxSurface cursor{32};
    CNxSprite* cursorSprite = nullptr;

    MapLikeWindow() {
        std::mt19937 random(3);
        picture.Create(kWidth, kHeight);
        for (int y = 0; y < kHeight; y += 16) {
            for (int x = 0; x < kWidth; x += 16) {
                picture.Fill(x, y, 16, 16, static_cast<std::uint32_t>(random()) | 0xFF000000);
            }
        }
        grid.Create(kWidth, kHeight);
        grid.Fill(nullptr, 0);
        for (int y = 31; y < kHeight; y += 32) {
            grid.Fill(0, y, kWidth, 1, 0xFF000000);
        }
        for (int x = 31; x < kWidth; x += 32) {
            grid.Fill(x, 0, 1, kHeight, 0xFF000000);
        }
        cursor.Create(32, 32);
        cursor.Fill(nullptr, 0xFFFF0000);
        cursor.Fill(3, 3, 26, 26, 0);
        window.Attach(&native);
        CNxBlitParams alpha;
        alpha.m_flags = NxBlt_SourceAlpha;
        window.AddChild<CNxSprite>(&picture);
        window.AddChild<CNxSprite>(&grid).SetParams(&alpha);
        cursorSprite = &window.AddChild<CNxSprite>(&cursor);
        cursorSprite->SetParams(&alpha);
        window.Update();
    }
};

void BM_UpdateFull_1280x1024(benchmark::State& state) {
    MapLikeWindow w;
    for (auto _ : state) {
        w.window.Update(true);
        w.native.presents.clear();
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}
BENCHMARK(BM_UpdateFull_1280x1024)->Unit(benchmark::kMicrosecond);

// The same stack composed by pixman: the picture copied into a frame, the grid and the cursor
// composited over it, the frame copied to the window's buffer. The pixels are the map window's
// own, taken top-down; the grid and the cursor are either transparent or opaque, so they are the
// same premultiplied or not.
struct PixmanImage {
    std::vector<std::uint32_t> pixels;
    pixman_image_t* image;

    PixmanImage(int width, int height, const CNxSurface* from = nullptr)
        : pixels(std::size_t(width) * height),
          image(
              pixman_image_create_bits(PIXMAN_a8r8g8b8, width, height, pixels.data(), width * 4)) {
        for (int y = 0; from != nullptr && y < height; ++y) {
            std::memcpy(&pixels[std::size_t(y) * width], from->GetImage().Row(y), width * 4u);
        }
    }
    ~PixmanImage() { pixman_image_unref(image); }
};

void BM_PixmanStack_1280x1024(benchmark::State& state) {
    MapLikeWindow w;
    const PixmanImage picture(kWidth, kHeight, &w.picture), grid(kWidth, kHeight, &w.grid),
        cursor(32, 32, &w.cursor);
    PixmanImage frame(kWidth, kHeight), window(kWidth, kHeight);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, picture.image, nullptr, frame.image, 0, 0, 0, 0, 0,
                                 0, kWidth, kHeight);
        pixman_image_composite32(PIXMAN_OP_OVER, grid.image, nullptr, frame.image, 0, 0, 0, 0, 0, 0,
                                 kWidth, kHeight);
        pixman_image_composite32(PIXMAN_OP_OVER, cursor.image, nullptr, frame.image, 0, 0, 0, 0, 0,
                                 0, 32, 32);
        pixman_image_composite32(PIXMAN_OP_SRC, frame.image, nullptr, window.image, 0, 0, 0, 0, 0,
                                 0, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}
BENCHMARK(BM_PixmanStack_1280x1024)->Unit(benchmark::kMicrosecond);

void BM_UpdateMovingSprite_32x32(benchmark::State& state) {
    MapLikeWindow w;
    int step = 0;
    for (auto _ : state) {
        ++step;
        w.cursorSprite->SetPosition((step * 32) % (kWidth - 32),
                                    ((step / 39) * 32) % (kHeight - 32));
        w.window.Update();
        w.native.presents.clear();
    }
}
BENCHMARK(BM_UpdateMovingSprite_32x32)->Unit(benchmark::kMicrosecond);

}  // namespace
