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

    const char* m_name;
    CopyFn m_copy;
    FillFn m_fill;
    BlendConstantFn m_blendConstant;
    BlendSourceAlphaFn m_blendSourceAlpha;
    BlendColourFn m_blendColour;

    static const CNxRowOps& Portable();
    static const CNxRowOps& Sse2();
    // Null when the processor has no AVX2.
    static const CNxRowOps* Avx2();
    // The fastest form this processor runs, chosen once.
    static const CNxRowOps& Best();
};
