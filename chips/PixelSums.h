#pragma once

#include <cstdint>

// The sums from which a reduced pixel is made: alpha, and each colour channel weighted by its
// pixel's alpha (premultiplied). Kept unrounded, so that blocks of blocks average exactly. A
// block of up to 32 × 32 pixels fits, doubled for the rounding: 2 · 1024 · 255 · 255 < 2^32.
struct PixelSums {
    std::uint32_t alpha = 0;
    std::uint32_t red = 0;
    std::uint32_t green = 0;
    std::uint32_t blue = 0;

    // One 0xAARRGGBB pixel, or a block of count pixels of it.
    static PixelSums of(std::uint32_t pixel, std::uint32_t count = 1) {
        const std::uint32_t a = pixel >> 24;
        return {a * count, (pixel >> 16 & 0xFF) * a * count, (pixel >> 8 & 0xFF) * a * count,
                (pixel & 0xFF) * a * count};
    }

    void add(const PixelSums& other) {
        alpha += other.alpha;
        red += other.red;
        green += other.green;
        blue += other.blue;
    }

    // The straight-alpha pixel of a block of count pixels (count > 0), rounding half up once:
    // A = round(Σa / count), C = Σa > 0 ? round(Σ(c·a) / Σa) : 0.
    std::uint32_t average(std::uint32_t count) const {
        const std::uint32_t a = (2 * alpha + count) / (2 * count);
        if (alpha == 0) {
            return a << 24;
        }
        const auto channel = [this](std::uint32_t sum) { return (2 * sum + alpha) / (2 * alpha); };
        return a << 24 | channel(red) << 16 | channel(green) << 8 | channel(blue);
    }
};
