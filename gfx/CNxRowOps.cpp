#include "gfx/CNxRowOps.h"

#include <immintrin.h>

#include "gfx/CNxBlendTables.h"

namespace {

// ---- Portable form: the formulas as written, two channels per 32-bit word. ----

inline std::uint32_t mixNormal(std::uint32_t d, std::uint32_t s, std::uint32_t w) {
    const std::uint32_t iw = 256 - w;
    // Each lane's sum is at most 255 × 256, so B never carries into R.
    const std::uint32_t rb = (((d & 0xFF00FFu) * iw + (s & 0xFF00FFu) * w) >> 8) & 0xFF00FFu;
    const std::uint32_t g = (((d & 0xFF00u) * iw + (s & 0xFF00u) * w) >> 8) & 0xFF00u;
    return rb | g | (d & 0xFF000000u);
}

void copyPortable(std::uint32_t* d, const std::uint32_t* s, int n) {
    for (int i = 0; i < n; ++i) {
        d[i] = s[i];
    }
}

void fillPortable(std::uint32_t* d, std::uint32_t colour, int n) {
    for (int i = 0; i < n; ++i) {
        d[i] = colour;
    }
}

void blendConstantPortable(std::uint32_t* d, const std::uint32_t* s, int n, std::uint32_t w) {
    for (int i = 0; i < n; ++i) {
        d[i] = mixNormal(d[i], s[i], w);
    }
}

void blendSourceAlphaPortable(std::uint32_t* d, const std::uint32_t* s, int n,
                              std::uint32_t alpha) {
    const CNxBlendTables& tables = CNxBlendTables::Get();
    const std::uint8_t* t = tables.TRow(alpha);
    for (int i = 0; i < n; ++i) {
        const std::uint32_t w = tables.W(t[s[i] >> 24])[0];
        d[i] = mixNormal(d[i], s[i], w);
    }
}

void blendColourPortable(std::uint32_t* d, int n, std::uint32_t colour, std::uint32_t w) {
    for (int i = 0; i < n; ++i) {
        d[i] = mixNormal(d[i], colour, w);
    }
}

// ---- SSE2: four pixels at a time. ----
// B and R sit in the low bytes of 16-bit lanes after masking with 0x00FF00FF, G and A after a
// 16-bit shift; every lane product is at most 255 × 256, so 16-bit arithmetic is exact. The
// alpha lane gets weight 0, which returns the destination alpha byte unchanged.

struct Weights128 {
    __m128i rb, irb, ga, iga;
};

// w holds one weight (0..256) per 32-bit lane.
inline Weights128 weights128(__m128i w) {
    const __m128i full = _mm_set1_epi16(256);
    Weights128 k;
    k.rb = _mm_or_si128(w, _mm_slli_epi32(w, 16));
    k.irb = _mm_sub_epi16(full, k.rb);
    k.ga = w;
    k.iga = _mm_sub_epi16(full, w);
    return k;
}

inline __m128i mix128(__m128i d, __m128i s, const Weights128& k) {
    const __m128i lowBytes = _mm_set1_epi32(0x00FF00FF);
    const __m128i rb = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(d, lowBytes), k.irb),
                                     _mm_mullo_epi16(_mm_and_si128(s, lowBytes), k.rb));
    const __m128i ga = _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(d, 8), k.iga),
                                     _mm_mullo_epi16(_mm_srli_epi16(s, 8), k.ga));
    return _mm_or_si128(_mm_srli_epi16(rb, 8), _mm_andnot_si128(lowBytes, ga));
}

// W[T[alpha][sa]] for the four source pixels: T's rounded division by 255 is exact as
// (x × 0x8081) >> 23 for every x = alpha × sa + 127 that can occur (at most 65152).
inline __m128i sourceWeights128(__m128i s, __m128i alpha, bool opaque) {
    __m128i a = _mm_srli_epi32(s, 24);
    if (!opaque) {
        const __m128i x = _mm_add_epi32(_mm_mullo_epi16(a, alpha), _mm_set1_epi32(127));
        a = _mm_srli_epi32(_mm_mulhi_epu16(x, _mm_set1_epi32(0x8081)), 7);
    }
    // a + 1, or 0 for a = 0.
    return _mm_add_epi32(_mm_add_epi32(a, _mm_set1_epi32(1)),
                         _mm_cmpeq_epi32(a, _mm_setzero_si128()));
}

void copySse2(std::uint32_t* d, const std::uint32_t* s, int n) {
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 4));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 8));
        const __m128i e = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 12));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), a);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 4), b);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 8), c);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 12), e);
    }
    for (; i + 4 <= n; i += 4) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)));
    }
    copyPortable(d + i, s + i, n - i);
}

void fillSse2(std::uint32_t* d, std::uint32_t colour, int n) {
    const __m128i c = _mm_set1_epi32(static_cast<int>(colour));
    int i = 0;
    for (; i + 16 <= n; i += 16) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), c);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 4), c);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 8), c);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 12), c);
    }
    for (; i + 4 <= n; i += 4) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), c);
    }
    fillPortable(d + i, colour, n - i);
}

void blendConstantSse2(std::uint32_t* d, const std::uint32_t* s, int n, std::uint32_t w) {
    const Weights128 k = weights128(_mm_set1_epi32(static_cast<int>(w)));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        auto* dp = reinterpret_cast<__m128i*>(d + i);
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        _mm_storeu_si128(dp, mix128(_mm_loadu_si128(dp), sv, k));
    }
    blendConstantPortable(d + i, s + i, n - i, w);
}

void blendSourceAlphaSse2(std::uint32_t* d, const std::uint32_t* s, int n, std::uint32_t alpha) {
    const __m128i alphaV = _mm_set1_epi32(static_cast<int>(alpha));
    const bool opaque = alpha == 255;  // T[255][sa] = sa
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        auto* dp = reinterpret_cast<__m128i*>(d + i);
        const Weights128 k = weights128(sourceWeights128(sv, alphaV, opaque));
        _mm_storeu_si128(dp, mix128(_mm_loadu_si128(dp), sv, k));
    }
    blendSourceAlphaPortable(d + i, s + i, n - i, alpha);
}

void blendColourSse2(std::uint32_t* d, int n, std::uint32_t colour, std::uint32_t w) {
    const __m128i lowBytes = _mm_set1_epi32(0x00FF00FF);
    const Weights128 k = weights128(_mm_set1_epi32(static_cast<int>(w)));
    const __m128i c = _mm_set1_epi32(static_cast<int>(colour));
    // The colour's share is the same for every pixel.
    const __m128i crb = _mm_mullo_epi16(_mm_and_si128(c, lowBytes), k.rb);
    const __m128i cga = _mm_mullo_epi16(_mm_srli_epi16(c, 8), k.ga);
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        auto* dp = reinterpret_cast<__m128i*>(d + i);
        const __m128i dv = _mm_loadu_si128(dp);
        const __m128i rb = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(dv, lowBytes), k.irb), crb);
        const __m128i ga = _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(dv, 8), k.iga), cga);
        _mm_storeu_si128(dp, _mm_or_si128(_mm_srli_epi16(rb, 8), _mm_andnot_si128(lowBytes, ga)));
    }
    blendColourPortable(d + i, n - i, colour, w);
}

// ---- AVX2: the SSE2 arithmetic eight pixels at a time, the rest through SSE2. ----

#define PELORIN_AVX2 __attribute__((target("avx2")))

struct Weights256 {
    __m256i rb, irb, ga, iga;
};

PELORIN_AVX2 inline Weights256 weights256(__m256i w) {
    const __m256i full = _mm256_set1_epi16(256);
    Weights256 k;
    k.rb = _mm256_or_si256(w, _mm256_slli_epi32(w, 16));
    k.irb = _mm256_sub_epi16(full, k.rb);
    k.ga = w;
    k.iga = _mm256_sub_epi16(full, w);
    return k;
}

PELORIN_AVX2 inline __m256i mix256(__m256i d, __m256i s, const Weights256& k) {
    const __m256i lowBytes = _mm256_set1_epi32(0x00FF00FF);
    const __m256i rb = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(d, lowBytes), k.irb),
                                        _mm256_mullo_epi16(_mm256_and_si256(s, lowBytes), k.rb));
    const __m256i ga = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(d, 8), k.iga),
                                        _mm256_mullo_epi16(_mm256_srli_epi16(s, 8), k.ga));
    return _mm256_or_si256(_mm256_srli_epi16(rb, 8), _mm256_andnot_si256(lowBytes, ga));
}

PELORIN_AVX2 inline __m256i sourceWeights256(__m256i s, __m256i alpha, bool opaque) {
    __m256i a = _mm256_srli_epi32(s, 24);
    if (!opaque) {
        const __m256i x = _mm256_add_epi32(_mm256_mullo_epi16(a, alpha), _mm256_set1_epi32(127));
        a = _mm256_srli_epi32(_mm256_mulhi_epu16(x, _mm256_set1_epi32(0x8081)), 7);
    }
    return _mm256_add_epi32(_mm256_add_epi32(a, _mm256_set1_epi32(1)),
                            _mm256_cmpeq_epi32(a, _mm256_setzero_si256()));
}

PELORIN_AVX2 void copyAvx2(std::uint32_t* d, const std::uint32_t* s, int n) {
    int i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + 8));
        const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + 16));
        const __m256i e = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + 24));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), a);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i + 8), b);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i + 16), c);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i + 24), e);
    }
    for (; i + 8 <= n; i += 8) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i),
                            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i)));
    }
    copySse2(d + i, s + i, n - i);
}

PELORIN_AVX2 void fillAvx2(std::uint32_t* d, std::uint32_t colour, int n) {
    const __m256i c = _mm256_set1_epi32(static_cast<int>(colour));
    int i = 0;
    for (; i + 32 <= n; i += 32) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), c);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i + 8), c);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i + 16), c);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i + 24), c);
    }
    for (; i + 8 <= n; i += 8) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), c);
    }
    fillSse2(d + i, colour, n - i);
}

PELORIN_AVX2 void blendConstantAvx2(std::uint32_t* d, const std::uint32_t* s, int n,
                                    std::uint32_t w) {
    const Weights256 k = weights256(_mm256_set1_epi32(static_cast<int>(w)));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        auto* dp = reinterpret_cast<__m256i*>(d + i);
        const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        _mm256_storeu_si256(dp, mix256(_mm256_loadu_si256(dp), sv, k));
    }
    blendConstantSse2(d + i, s + i, n - i, w);
}

PELORIN_AVX2 void blendSourceAlphaAvx2(std::uint32_t* d, const std::uint32_t* s, int n,
                                       std::uint32_t alpha) {
    const __m256i alphaV = _mm256_set1_epi32(static_cast<int>(alpha));
    const bool opaque = alpha == 255;
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        auto* dp = reinterpret_cast<__m256i*>(d + i);
        const Weights256 k = weights256(sourceWeights256(sv, alphaV, opaque));
        _mm256_storeu_si256(dp, mix256(_mm256_loadu_si256(dp), sv, k));
    }
    blendSourceAlphaSse2(d + i, s + i, n - i, alpha);
}

PELORIN_AVX2 void blendColourAvx2(std::uint32_t* d, int n, std::uint32_t colour, std::uint32_t w) {
    const __m256i lowBytes = _mm256_set1_epi32(0x00FF00FF);
    const Weights256 k = weights256(_mm256_set1_epi32(static_cast<int>(w)));
    const __m256i c = _mm256_set1_epi32(static_cast<int>(colour));
    const __m256i crb = _mm256_mullo_epi16(_mm256_and_si256(c, lowBytes), k.rb);
    const __m256i cga = _mm256_mullo_epi16(_mm256_srli_epi16(c, 8), k.ga);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        auto* dp = reinterpret_cast<__m256i*>(d + i);
        const __m256i dv = _mm256_loadu_si256(dp);
        const __m256i rb =
            _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(dv, lowBytes), k.irb), crb);
        const __m256i ga =
            _mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(dv, 8), k.iga), cga);
        _mm256_storeu_si256(
            dp, _mm256_or_si256(_mm256_srli_epi16(rb, 8), _mm256_andnot_si256(lowBytes, ga)));
    }
    blendColourSse2(d + i, n - i, colour, w);
}

}  // namespace

const CNxRowOps& CNxRowOps::Portable() {
    static const CNxRowOps ops{"portable",
                               copyPortable,
                               fillPortable,
                               blendConstantPortable,
                               blendSourceAlphaPortable,
                               blendColourPortable};
    return ops;
}

const CNxRowOps& CNxRowOps::Sse2() {
    static const CNxRowOps ops{
        "sse2", copySse2, fillSse2, blendConstantSse2, blendSourceAlphaSse2, blendColourSse2};
    return ops;
}

const CNxRowOps* CNxRowOps::Avx2() {
    static const CNxRowOps ops{
        "avx2", copyAvx2, fillAvx2, blendConstantAvx2, blendSourceAlphaAvx2, blendColourAvx2};
    static const bool present = __builtin_cpu_supports("avx2");
    return present ? &ops : nullptr;
}

const CNxRowOps& CNxRowOps::Best() {
    static const CNxRowOps& best = Avx2() != nullptr ? *Avx2() : Sse2();
    return best;
}
