#pragma once

#include <cstdint>

// The inner loops the editor runs every frame, over one row of 32-bit pixels, in a portable form
// and in SSE2 and AVX2 forms that give the very same bytes. Blends mix each of B, G, R as
// (d × (256 − w) + s × w) >> 8, which equals d + floor((s − d) × w / 256), and keep the
// destination's alpha byte. Rows must not overlap unless they are the same row.
class CNxRowOps {
public:
    using CopyFn = void (*)(std::uint32_t* d, const std::uint32_t* s, int n);
    using FillFn = void (*)(std::uint32_t* d, std::uint32_t colour, int n);
    // Normal blend with one weight w (1..256) for every pixel.
    using BlendConstantFn = void (*)(std::uint32_t* d, const std::uint32_t* s, int n,
                                     std::uint32_t w);
    // Normal blend by each source pixel's alpha scaled by alpha (1..255): w = W[T[alpha][sa]].
    using BlendSourceAlphaFn = void (*)(std::uint32_t* d, const std::uint32_t* s, int n,
                                        std::uint32_t alpha);
    // Normal blend of one colour with one weight w (1..256).
    using BlendColourFn = void (*)(std::uint32_t* d, int n, std::uint32_t colour, std::uint32_t w);
    // The horizontal half of a bilinear sample, for both source rows at once: top[i] mixes
    // the pixel pair starting at pairs[i] in row0 by fx[i] (0..255), bottom[i] the same pair in
    // row1; per channel, alpha included, a + floor((b - a) × f / 256). reversed: the pair's
    // left pixel is the sample's right neighbour (a mirrored walk). borrow: transparent pixels
    // first take their neighbours' colour, so that filtering draws no dark fringes.
    using FilterPairsFn = void (*)(std::uint32_t* top, std::uint32_t* bottom,
                                   const std::uint32_t* row0, const std::uint32_t* row1,
                                   const std::int32_t* pairs, const std::uint32_t* fx, int n,
                                   bool reversed, bool borrow);
    // The vertical half: out[i] = top[i] mixed with bottom[i] by fy (0..255).
    using LerpRowsFn = void (*)(std::uint32_t* out, const std::uint32_t* top,
                                const std::uint32_t* bottom, int n, std::uint32_t fy);

    const char* m_name;
    CopyFn m_copy;
    FillFn m_fill;
    BlendConstantFn m_blendConstant;
    BlendSourceAlphaFn m_blendSourceAlpha;
    BlendColourFn m_blendColour;
    FilterPairsFn m_filterPairs;
    LerpRowsFn m_lerpRows;

    // One pixel of the bilinear step, per channel and alpha included: a + floor((b - a) × f /
    // 256) for f in 0..256. The portable rows and single samples share it.
    static std::uint32_t Lerp(std::uint32_t a, std::uint32_t b, std::uint32_t f) {
        const std::uint32_t nf = 256 - f;
        const std::uint32_t rb = (((a & 0xFF00FFu) * nf + (b & 0xFF00FFu) * f) >> 8) & 0xFF00FFu;
        const std::uint32_t ga =
            (((a >> 8) & 0xFF00FFu) * nf + ((b >> 8) & 0xFF00FFu) * f) & 0xFF00FF00u;
        return rb | ga;
    }

    static const CNxRowOps& Portable();
    // Null where the build has no x86 vector forms.
    static const CNxRowOps* Sse2();
    // Null when the processor has no AVX2, or the build no x86 vector forms.
    static const CNxRowOps* Avx2();
    // The fastest form this processor runs, chosen once.
    static const CNxRowOps& Best();
};
