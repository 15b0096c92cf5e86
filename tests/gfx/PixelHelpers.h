#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>

#include "gfx/CNxSurface.h"

// Reading and writing single pixels of test surfaces, and the blend arithmetic written out the
// slow way, straight from its definition, for comparing against the library.
namespace pixels {

inline std::uint32_t get(const CNxSurface& s, int x, int y) {
    std::uint32_t p;
    std::memcpy(&p, s.GetImage().Row(y) + 4 * x, 4);
    return p;
}

inline void set(CNxSurface& s, int x, int y, std::uint32_t p) {
    std::memcpy(s.GetImage().Row(y) + 4 * x, &p, 4);
}

inline std::uint8_t get8(const CNxSurface& s, int x, int y) {
    return s.GetImage().Row(y)[x];
}

inline void set8(CNxSurface& s, int x, int y, std::uint8_t v) {
    s.GetImage().Row(y)[x] = v;
}

inline void randomise(CNxSurface& s, std::mt19937& random) {
    for (int y = 0; y < s.GetHeight(); ++y) {
        for (int x = 0; x < s.GetWidth(); ++x) {
            if (s.GetBitCount() == 8) {
                set8(s, x, y, static_cast<std::uint8_t>(random()));
            } else {
                set(s, x, y, static_cast<std::uint32_t>(random()));
            }
        }
    }
}

inline int channel(std::uint32_t p, int c) {
    return static_cast<int>((p >> (8 * c)) & 0xFF);
}

// Floor division toward minus infinity.
inline int floorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

inline int refT(int i, int j) {
    return (i * j + 127) / 255;
}

inline int refW(int a) {
    return a == 0 ? 0 : a + 1;
}

inline int clamp255(int v) {
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

// One channel of a blend in mode `mode` with weight w: the mode's function, then
// d + floor((f - d) × w / 256), except Add and Subtract, which apply directly.
inline int refChannel(int mode, int d, int s, int w) {
    int f = s;
    // clang-format off
    switch (mode) {
        case 1: return clamp255(d + (s * w >> 8));
        case 2: return clamp255(d - (s * w >> 8));
        case 3: f = refT(s, d); break;
        case 4: f = 255 - refT(255 - s, 255 - d); break;
        case 5: f = d > s ? d : s; break;
        case 6: f = d < s ? d : s; break;
        case 7: f = d + s < 255 ? 0 : s == 0 ? 255 : 255 - (255 - d) * 255 / s; break;
        case 8: f = d < 128 ? 2 * d * s / 255 : 255 - 2 * (255 - d) * (255 - s) / 255; break;
        case 9: f = int(std::trunc(255.0 * std::pow(d / 255.0, s >= 128 ? 128.0 / s
                                                                         : (255 - s) / 128.0)));
    }
    // clang-format on
    return d + floorDiv((f - d) * w, 256);
}

// A whole pixel: B, G, R blended, the destination's alpha kept.
inline std::uint32_t refBlend(int mode, std::uint32_t d, std::uint32_t s, int w) {
    std::uint32_t out = d & 0xFF000000u;
    for (int c = 0; c < 3; ++c) {
        out |= static_cast<std::uint32_t>(refChannel(mode, channel(d, c), channel(s, c), w))
               << (8 * c);
    }
    return out;
}

}  // namespace pixels
