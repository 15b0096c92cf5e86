#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "gfx/CNxSurface.h"

// What the tests of the zoomed pictures share: the area average worked out plainly, as the
// model the reduced pictures are held to, and pictures whose alpha takes 0, 128 and 255.
namespace zoom_test {

inline std::uint32_t at(const CNxSurface& surface, int x, int y) {
    return reinterpret_cast<const std::uint32_t*>(surface.GetImage().Row(y))[x];
}

// The pixels of the rectangle that lie in the surface.
inline std::vector<std::uint32_t> block(const CNxSurface& surface, int x, int y, int width,
                                        int height) {
    std::vector<std::uint32_t> pixels;
    for (int j = std::max(y, 0); j < std::min(y + height, surface.GetHeight()); ++j) {
        for (int i = std::max(x, 0); i < std::min(x + width, surface.GetWidth()); ++i) {
            pixels.push_back(at(surface, i, j));
        }
    }
    return pixels;
}

// A = round(Σa / n); C = round(Σ(c·a) / Σa), 0 when Σa = 0; halves round up.
inline std::uint32_t areaAverage(const std::vector<std::uint32_t>& pixels) {
    std::uint64_t alpha = 0, weighted[3] = {};
    for (const std::uint32_t p : pixels) {
        alpha += p >> 24;
        for (int i = 0; i < 3; ++i) {
            weighted[i] += (p >> (16 - 8 * i) & 0xFF) * (p >> 24);
        }
    }
    const std::uint64_t n = pixels.size();
    std::uint32_t out = static_cast<std::uint32_t>((2 * alpha + n) / (2 * n)) << 24;
    for (int i = 0; alpha > 0 && i < 3; ++i) {
        out |= static_cast<std::uint32_t>((2 * weighted[i] + alpha) / (2 * alpha)) << (16 - 8 * i);
    }
    return out;
}

// Alpha 0, 128, 255 or anything in between; colours that differ from pixel to pixel.
inline std::uint32_t alphaPixel(int x, int y) {
    static const std::uint32_t alphas[] = {0, 128, 255, 255, 1, 128};
    const std::uint32_t alpha =
        (x + 2 * y) % 7 == 6 ? (x * 37 + y * 11) & 0xFF : alphas[(x + 2 * y) % 7];
    return alpha << 24 | std::uint32_t(x * 5 + y) % 256 << 16 |
           std::uint32_t(y * 9 + x) % 256 << 8 | std::uint32_t(x * y + 7) % 256;
}

// Bottom-up, as bitmap files load.
inline std::unique_ptr<CNxSurface> alphaPicture(int width, int height) {
    auto surface = std::make_unique<CNxSurface>(32);
    surface->Create(width, height);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(surface->GetImage().Row(y));
        for (int x = 0; x < width; ++x) {
            row[x] = alphaPixel(x, y);
        }
    }
    return surface;
}

}  // namespace zoom_test
