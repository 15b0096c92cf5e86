// The three forms of every row loop live in this one file on purpose: each wider form hands its
// last pixels to the next narrower one, and within one translation unit the compiler may inline
// those tails; and a change to one form is made, and checked, beside the other two.
#include "gfx/CNxRowOps.h"

// The vector forms are x86's; elsewhere, or when the build asks for it (PELORIN_PORTABLE, so
// that the portable form can be run here too), only the portable form is built.
#if !defined(PELORIN_PORTABLE) && (defined(__x86_64__) || defined(__i386__))
#define PELORIN_X86_ROWS 1
#include <immintrin.h>
#endif

#include <utility>

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

inline bool clear(std::uint32_t p) {
    return (p >> 24) == 0;
}

// A transparent pixel takes the colour, not the alpha, of its partner across; then a
// transparent pair takes the colours of the pair below or above it.
inline void borrowColour(std::uint32_t& p00, std::uint32_t& p01, std::uint32_t& p10,
                         std::uint32_t& p11) {
    constexpr std::uint32_t rgb = 0x00FFFFFFu;
    if (clear(p00)) {
        p00 = p01 & rgb;
    } else if (clear(p01)) {
        p01 = p00 & rgb;
    }
    if (clear(p10)) {
        p10 = p11 & rgb;
    } else if (clear(p11)) {
        p11 = p10 & rgb;
    }
    if (clear(p00) && clear(p01)) {
        p00 = p10 & rgb;
        p01 = p11 & rgb;
    } else if (clear(p10) && clear(p11)) {
        p10 = p00 & rgb;
        p11 = p01 & rgb;
    }
}

void filterPairsPortable(std::uint32_t* top, std::uint32_t* bottom, const std::uint32_t* row0,
                         const std::uint32_t* row1, const std::int32_t* pairs,
                         const std::uint32_t* fx, int n, bool reversed, bool borrow) {
    for (int i = 0; i < n; ++i) {
        const std::int32_t k = pairs[i];
        std::uint32_t p00 = row0[k], p01 = row0[k + 1], p10 = row1[k], p11 = row1[k + 1];
        if (reversed) {
            std::swap(p00, p01);
            std::swap(p10, p11);
        }
        if (borrow) {
            borrowColour(p00, p01, p10, p11);
        }
        top[i] = CNxRowOps::Lerp(p00, p01, fx[i]);
        bottom[i] = CNxRowOps::Lerp(p10, p11, fx[i]);
    }
}

void lerpRowsPortable(std::uint32_t* out, const std::uint32_t* top, const std::uint32_t* bottom,
                      int n, std::uint32_t fy) {
    for (int i = 0; i < n; ++i) {
        out[i] = CNxRowOps::Lerp(top[i], bottom[i], fy);
    }
}

#if PELORIN_X86_ROWS

// Long fills (whole surfaces) go through the processor's string store, which writes whole
// cache lines without reading them first; vector stores would fetch every line they fill.
constexpr int kLongFill = 1 << 16;

void fillLong(std::uint32_t* d, std::uint32_t colour, int n) {
    std::size_t count = static_cast<std::size_t>(n);
    asm volatile("rep stosl" : "+D"(d), "+c"(count) : "a"(colour) : "memory");
}

// ---- SSE2: four pixels at a time. ----
// B and R sit in the low bytes of 16-bit lanes after masking with 0x00FF00FF, G and A after a
// 16-bit shift; every lane product is at most 255 × 256, so 16-bit arithmetic is exact. The
// alpha lane gets weight 0, which returns the destination alpha byte unchanged.

inline __m128i select128(__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

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
    if (n >= kLongFill) {
        fillLong(d, colour, n);
        return;
    }
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
    const __m128i alphaBits = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    for (; i + 4 <= n; i += 4) {
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        auto* dp = reinterpret_cast<__m128i*>(d + i);
        // Overlays are mostly wholly transparent or wholly opaque pixels: weight 0 leaves the
        // destination as it is, weight 256 takes the source's colour under the destination's
        // alpha; both give what the mix would, so groups of only such pixels need no mix.
        const __m128i sa = _mm_and_si128(sv, alphaBits);
        const __m128i clear = _mm_cmpeq_epi32(sa, _mm_setzero_si128());
        if (_mm_movemask_epi8(clear) == 0xFFFF) {
            continue;
        }
        const __m128i full = _mm_cmpeq_epi32(sa, alphaBits);
        if (opaque && _mm_movemask_epi8(_mm_or_si128(clear, full)) == 0xFFFF) {
            const __m128i dv = _mm_loadu_si128(dp);
            const __m128i taken =
                _mm_or_si128(_mm_andnot_si128(alphaBits, sv), _mm_and_si128(dv, alphaBits));
            _mm_storeu_si128(dp, select128(full, taken, dv));
            continue;
        }
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

// Per 32-bit lane weights f (0..255) in both 16-bit halves, alpha included.
inline __m128i lerp128(__m128i a, __m128i b, __m128i f, __m128i nf) {
    const __m128i lowBytes = _mm_set1_epi32(0x00FF00FF);
    const __m128i rb = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(a, lowBytes), nf),
                                     _mm_mullo_epi16(_mm_and_si128(b, lowBytes), f));
    const __m128i ga = _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(a, 8), nf),
                                     _mm_mullo_epi16(_mm_srli_epi16(b, 8), f));
    return _mm_or_si128(_mm_srli_epi16(rb, 8), _mm_andnot_si128(lowBytes, ga));
}

// borrowColour on four quads at once; a no-op unless some pixel is transparent.
inline void borrow128(__m128i& p00, __m128i& p01, __m128i& p10, __m128i& p11) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i z00 = _mm_cmpeq_epi32(_mm_srli_epi32(p00, 24), zero);
    const __m128i z01 = _mm_cmpeq_epi32(_mm_srli_epi32(p01, 24), zero);
    const __m128i z10 = _mm_cmpeq_epi32(_mm_srli_epi32(p10, 24), zero);
    const __m128i z11 = _mm_cmpeq_epi32(_mm_srli_epi32(p11, 24), zero);
    if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(z00, z01), _mm_or_si128(z10, z11))) == 0) {
        return;
    }
    const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
    const __m128i t00 = select128(z00, _mm_and_si128(p01, rgb), p00);
    const __m128i t01 = select128(_mm_andnot_si128(z00, z01), _mm_and_si128(p00, rgb), p01);
    const __m128i t10 = select128(z10, _mm_and_si128(p11, rgb), p10);
    const __m128i t11 = select128(_mm_andnot_si128(z10, z11), _mm_and_si128(p10, rgb), p11);
    // Alphas after the first step: zero exactly where they were zero before.
    const __m128i up = _mm_and_si128(z00, z01);
    const __m128i down = _mm_andnot_si128(up, _mm_and_si128(z10, z11));
    p00 = select128(up, _mm_and_si128(t10, rgb), t00);
    p01 = select128(up, _mm_and_si128(t11, rgb), t01);
    p10 = select128(down, _mm_and_si128(t00, rgb), t10);
    p11 = select128(down, _mm_and_si128(t01, rgb), t11);
}

// The left and right pixels of four pairs.
inline void pairs128(const std::uint32_t* row, const std::int32_t* pairs, __m128i& left,
                     __m128i& right) {
    const __m128i lo =
        _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + pairs[0])),
                           _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + pairs[1])));
    const __m128i hi =
        _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + pairs[2])),
                           _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + pairs[3])));
    left = _mm_castps_si128(
        _mm_shuffle_ps(_mm_castsi128_ps(lo), _mm_castsi128_ps(hi), _MM_SHUFFLE(2, 0, 2, 0)));
    right = _mm_castps_si128(
        _mm_shuffle_ps(_mm_castsi128_ps(lo), _mm_castsi128_ps(hi), _MM_SHUFFLE(3, 1, 3, 1)));
}

void filterPairsSse2(std::uint32_t* top, std::uint32_t* bottom, const std::uint32_t* row0,
                     const std::uint32_t* row1, const std::int32_t* pairs, const std::uint32_t* fx,
                     int n, bool reversed, bool borrow) {
    const __m128i full = _mm_set1_epi16(256);
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        __m128i p00, p01, p10, p11;
        pairs128(row0, pairs + i, p00, p01);
        pairs128(row1, pairs + i, p10, p11);
        if (reversed) {
            std::swap(p00, p01);
            std::swap(p10, p11);
        }
        if (borrow) {
            borrow128(p00, p01, p10, p11);
        }
        const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(fx + i));
        const __m128i fw = _mm_or_si128(f, _mm_slli_epi32(f, 16));
        const __m128i nf = _mm_sub_epi16(full, fw);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(top + i), lerp128(p00, p01, fw, nf));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(bottom + i), lerp128(p10, p11, fw, nf));
    }
    filterPairsPortable(top + i, bottom + i, row0, row1, pairs + i, fx + i, n - i, reversed,
                        borrow);
}

void lerpRowsSse2(std::uint32_t* out, const std::uint32_t* top, const std::uint32_t* bottom, int n,
                  std::uint32_t fy) {
    const __m128i fw = _mm_set1_epi32(static_cast<int>(fy | fy << 16));
    const __m128i nf = _mm_sub_epi16(_mm_set1_epi16(256), fw);
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), lerp128(a, b, fw, nf));
    }
    lerpRowsPortable(out + i, top + i, bottom + i, n - i, fy);
}

// ---- AVX2: the SSE2 arithmetic eight pixels at a time, the rest through SSE2. ----

#define PELORIN_AVX2 __attribute__((target("avx2")))

// The last few pixels go through the SSE2 loops. Leaving the upper halves of the AVX registers
// dirty would make every SSE instruction after it wait on them, so they are cleared first (the
// compiler omits this before a tail call).
PELORIN_AVX2 inline void tail() {
    _mm256_zeroupper();
}

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
    tail();
    copySse2(d + i, s + i, n - i);
}

PELORIN_AVX2 void fillAvx2(std::uint32_t* d, std::uint32_t colour, int n) {
    if (n >= kLongFill) {
        fillLong(d, colour, n);
        return;
    }
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
    tail();
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
    tail();
    blendConstantSse2(d + i, s + i, n - i, w);
}

PELORIN_AVX2 void blendSourceAlphaAvx2(std::uint32_t* d, const std::uint32_t* s, int n,
                                       std::uint32_t alpha) {
    const __m256i alphaV = _mm256_set1_epi32(static_cast<int>(alpha));
    const bool opaque = alpha == 255;
    int i = 0;
    const __m256i alphaBits = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    for (; i + 8 <= n; i += 8) {
        const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        auto* dp = reinterpret_cast<__m256i*>(d + i);
        // Groups of wholly transparent and wholly opaque pixels, as in the SSE2 form.
        const __m256i sa = _mm256_and_si256(sv, alphaBits);
        const __m256i clear = _mm256_cmpeq_epi32(sa, _mm256_setzero_si256());
        if (_mm256_movemask_epi8(clear) == -1) {
            continue;
        }
        const __m256i full = _mm256_cmpeq_epi32(sa, alphaBits);
        if (opaque && _mm256_movemask_epi8(_mm256_or_si256(clear, full)) == -1) {
            const __m256i dv = _mm256_loadu_si256(dp);
            const __m256i taken = _mm256_or_si256(_mm256_andnot_si256(alphaBits, sv),
                                                  _mm256_and_si256(dv, alphaBits));
            _mm256_storeu_si256(dp, _mm256_blendv_epi8(dv, taken, full));
            continue;
        }
        const Weights256 k = weights256(sourceWeights256(sv, alphaV, opaque));
        _mm256_storeu_si256(dp, mix256(_mm256_loadu_si256(dp), sv, k));
    }
    tail();
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
    tail();
    blendColourSse2(d + i, n - i, colour, w);
}

PELORIN_AVX2 inline __m256i lerp256(__m256i a, __m256i b, __m256i f, __m256i nf) {
    const __m256i lowBytes = _mm256_set1_epi32(0x00FF00FF);
    const __m256i rb = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(a, lowBytes), nf),
                                        _mm256_mullo_epi16(_mm256_and_si256(b, lowBytes), f));
    const __m256i ga = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(a, 8), nf),
                                        _mm256_mullo_epi16(_mm256_srli_epi16(b, 8), f));
    return _mm256_or_si256(_mm256_srli_epi16(rb, 8), _mm256_andnot_si256(lowBytes, ga));
}

PELORIN_AVX2 inline void borrow256(__m256i& p00, __m256i& p01, __m256i& p10, __m256i& p11) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i z00 = _mm256_cmpeq_epi32(_mm256_srli_epi32(p00, 24), zero);
    const __m256i z01 = _mm256_cmpeq_epi32(_mm256_srli_epi32(p01, 24), zero);
    const __m256i z10 = _mm256_cmpeq_epi32(_mm256_srli_epi32(p10, 24), zero);
    const __m256i z11 = _mm256_cmpeq_epi32(_mm256_srli_epi32(p11, 24), zero);
    if (_mm256_testz_si256(_mm256_or_si256(_mm256_or_si256(z00, z01), _mm256_or_si256(z10, z11)),
                           _mm256_set1_epi32(-1))) {
        return;
    }
    const __m256i rgb = _mm256_set1_epi32(0x00FFFFFF);
    const __m256i t00 = _mm256_blendv_epi8(p00, _mm256_and_si256(p01, rgb), z00);
    const __m256i t01 =
        _mm256_blendv_epi8(p01, _mm256_and_si256(p00, rgb), _mm256_andnot_si256(z00, z01));
    const __m256i t10 = _mm256_blendv_epi8(p10, _mm256_and_si256(p11, rgb), z10);
    const __m256i t11 =
        _mm256_blendv_epi8(p11, _mm256_and_si256(p10, rgb), _mm256_andnot_si256(z10, z11));
    const __m256i up = _mm256_and_si256(z00, z01);
    const __m256i down = _mm256_andnot_si256(up, _mm256_and_si256(z10, z11));
    p00 = _mm256_blendv_epi8(t00, _mm256_and_si256(t10, rgb), up);
    p01 = _mm256_blendv_epi8(t01, _mm256_and_si256(t11, rgb), up);
    p10 = _mm256_blendv_epi8(t10, _mm256_and_si256(t00, rgb), down);
    p11 = _mm256_blendv_epi8(t11, _mm256_and_si256(t01, rgb), down);
}

PELORIN_AVX2 inline __m128i pair2(const std::uint32_t* row, std::int32_t a, std::int32_t b) {
    return _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + a)),
                              _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + b)));
}

PELORIN_AVX2 inline void pairs256(const std::uint32_t* row, const std::int32_t* pairs,
                                  __m256i& left, __m256i& right) {
    // Lanes hold pairs 0, 1 | 4, 5 and 2, 3 | 6, 7, so that the shuffles keep pixel order.
    const __m256i lo = _mm256_inserti128_si256(
        _mm256_castsi128_si256(pair2(row, pairs[0], pairs[1])), pair2(row, pairs[4], pairs[5]), 1);
    const __m256i hi = _mm256_inserti128_si256(
        _mm256_castsi128_si256(pair2(row, pairs[2], pairs[3])), pair2(row, pairs[6], pairs[7]), 1);
    left = _mm256_castps_si256(_mm256_shuffle_ps(_mm256_castsi256_ps(lo), _mm256_castsi256_ps(hi),
                                                 _MM_SHUFFLE(2, 0, 2, 0)));
    right = _mm256_castps_si256(_mm256_shuffle_ps(_mm256_castsi256_ps(lo), _mm256_castsi256_ps(hi),
                                                  _MM_SHUFFLE(3, 1, 3, 1)));
}

PELORIN_AVX2 void filterPairsAvx2(std::uint32_t* top, std::uint32_t* bottom,
                                  const std::uint32_t* row0, const std::uint32_t* row1,
                                  const std::int32_t* pairs, const std::uint32_t* fx, int n,
                                  bool reversed, bool borrow) {
    const __m256i full = _mm256_set1_epi16(256);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        __m256i p00, p01, p10, p11;
        pairs256(row0, pairs + i, p00, p01);
        pairs256(row1, pairs + i, p10, p11);
        if (reversed) {
            std::swap(p00, p01);
            std::swap(p10, p11);
        }
        if (borrow) {
            borrow256(p00, p01, p10, p11);
        }
        const __m256i f = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(fx + i));
        const __m256i fw = _mm256_or_si256(f, _mm256_slli_epi32(f, 16));
        const __m256i nf = _mm256_sub_epi16(full, fw);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(top + i), lerp256(p00, p01, fw, nf));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(bottom + i), lerp256(p10, p11, fw, nf));
    }
    tail();
    filterPairsSse2(top + i, bottom + i, row0, row1, pairs + i, fx + i, n - i, reversed, borrow);
}

PELORIN_AVX2 void lerpRowsAvx2(std::uint32_t* out, const std::uint32_t* top,
                               const std::uint32_t* bottom, int n, std::uint32_t fy) {
    const __m256i fw = _mm256_set1_epi32(static_cast<int>(fy | fy << 16));
    const __m256i nf = _mm256_sub_epi16(_mm256_set1_epi16(256), fw);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(top + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bottom + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), lerp256(a, b, fw, nf));
    }
    tail();
    lerpRowsSse2(out + i, top + i, bottom + i, n - i, fy);
}

#endif  // PELORIN_X86_ROWS

}  // namespace

const CNxRowOps& CNxRowOps::Portable() {
    static const CNxRowOps ops{"portable",
                               copyPortable,
                               fillPortable,
                               blendConstantPortable,
                               blendSourceAlphaPortable,
                               blendColourPortable,
                               filterPairsPortable,
                               lerpRowsPortable};
    return ops;
}

const CNxRowOps* CNxRowOps::Sse2() {
#if PELORIN_X86_ROWS
    static const CNxRowOps ops{
        "sse2",          copySse2,        fillSse2,    blendConstantSse2, blendSourceAlphaSse2,
        blendColourSse2, filterPairsSse2, lerpRowsSse2};
    return &ops;
#else
    return nullptr;
#endif
}

const CNxRowOps* CNxRowOps::Avx2() {
#if PELORIN_X86_ROWS
    static const CNxRowOps ops{
        "avx2",          copyAvx2,        fillAvx2,    blendConstantAvx2, blendSourceAlphaAvx2,
        blendColourAvx2, filterPairsAvx2, lerpRowsAvx2};
    static const bool present = __builtin_cpu_supports("avx2");
    return present ? &ops : nullptr;
#else
    return nullptr;
#endif
}

const CNxRowOps& CNxRowOps::Best() {
    static const CNxRowOps& best = Avx2() != nullptr   ? *Avx2()
                                   : Sse2() != nullptr ? *Sse2()
                                                       : Portable();
    return best;
}
