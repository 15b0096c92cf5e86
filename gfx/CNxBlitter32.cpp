#include "gfx/CNxBlitter32.h"

#include <algorithm>
#include <cstring>

#include "gfx/CNxBlendTables.h"
#include "gfx/CNxBlitGeometry.h"
#include "gfx/CNxRowOps.h"
#include "gfx/CNxSurface.h"

namespace {

// Rows are drawn in runs of at most this many pixels, staged on the stack when the source needs
// converting (mirroring, colour tables, stretching, blurring).
constexpr int kRun = 256;

std::uint32_t* row32(const CNxDIBImage& image, std::int32_t y) {
    return reinterpret_cast<std::uint32_t*>(image.Row(y));
}

// ---- Per-pixel arithmetic of the blend modes ----

struct Context;
using CombineFn = void (*)(std::uint32_t* d, const std::uint32_t* s, const std::uint8_t* m, int n,
                           const Context& c);

struct Context {
    const CNxBlendTables* t = &CNxBlendTables::Get();
    const CNxRowOps* ops = &CNxRowOps::Best();
    std::uint32_t w = 0;              // constant weight
    std::uint32_t alpha = 0;          // constant alpha
    std::uint32_t colour = 0;         // colour source
    std::uint32_t mask = 0;           // channel mask
    const std::uint8_t* r = nullptr;  // transition table
};

template <int Mode>
inline std::uint32_t channel(std::uint32_t d, std::uint32_t s, std::uint32_t w,
                             const CNxBlendTables& t) {
    if (Mode == NxBlend_Add) {
        return t.Clamp(static_cast<int>(d + ((s * w) >> 8)));
    }
    if (Mode == NxBlend_Subtract) {
        return t.Clamp(static_cast<int>(d) - static_cast<int>((s * w) >> 8));
    }
    std::uint32_t f = s;
    switch (Mode) {
        case NxBlend_Multiply:
            f = t.T(s, d);
            break;
        case NxBlend_Screen:
            f = 255 - t.T(255 - s, 255 - d);
            break;
        case NxBlend_Lighten:
            f = std::max(d, s);
            break;
        case NxBlend_Darken:
            f = std::min(d, s);
            break;
        case NxBlend_ColourBurn:
            f = t.ColourBurn(d, s);
            break;
        case NxBlend_Overlay:
            f = t.Overlay(d, s);
            break;
        case NxBlend_SoftLight:
            f = t.SoftLight(d, s);
            break;
        default:
            break;
    }
    // d + floor((f - d) × w / 256) without a negative intermediate.
    return (d * (256 - w) + f * w) >> 8;
}

template <int Mode>
inline std::uint32_t blendPixel(std::uint32_t d, std::uint32_t s, std::uint32_t w,
                                const CNxBlendTables& t) {
    return channel<Mode>(d & 0xFF, s & 0xFF, w, t) |
           channel<Mode>((d >> 8) & 0xFF, (s >> 8) & 0xFF, w, t) << 8 |
           channel<Mode>((d >> 16) & 0xFF, (s >> 16) & 0xFF, w, t) << 16 | (d & 0xFF000000u);
}

// Over a destination whose alpha matters: a is the source's opacity for this pixel.
inline std::uint32_t composite(std::uint32_t d, std::uint32_t s, std::uint32_t a,
                               const CNxBlendTables& t) {
    const std::uint32_t da = d >> 24;
    const std::uint32_t mixed = blendPixel<NxBlend_Normal>(d, s, t.W(t.D(da, a))[0], t);
    return (mixed & 0x00FFFFFFu) | std::uint32_t(t.E(da, a)) << 24;
}

void combineCopy(std::uint32_t* d, const std::uint32_t* s, const std::uint8_t*, int n,
                 const Context& c) {
    c.ops->m_copy(d, s, n);
}

template <int Mode>
void combineConstant(std::uint32_t* d, const std::uint32_t* s, const std::uint8_t*, int n,
                     const Context& c) {
    if (Mode == NxBlend_Normal) {
        c.ops->m_blendConstant(d, s, n, c.w);
        return;
    }
    for (int i = 0; i < n; ++i) {
        d[i] = blendPixel<Mode>(d[i], s[i], c.w, *c.t);
    }
}

template <int Mode>
void combineSourceAlpha(std::uint32_t* d, const std::uint32_t* s, const std::uint8_t*, int n,
                        const Context& c) {
    if (Mode == NxBlend_Normal) {
        c.ops->m_blendSourceAlpha(d, s, n, c.alpha);
        return;
    }
    const std::uint8_t* t = c.t->TRow(c.alpha);
    for (int i = 0; i < n; ++i) {
        d[i] = blendPixel<Mode>(d[i], s[i], c.t->W(t[s[i] >> 24])[0], *c.t);
    }
}

// Filtered source-alpha stretches with NxBlt_SmoothAlt weigh through W3.
void combineSourceAlphaW3(std::uint32_t* d, const std::uint32_t* s, const std::uint8_t*, int n,
                          const Context& c) {
    const std::uint8_t* t = c.t->TRow(c.alpha);
    for (int i = 0; i < n; ++i) {
        d[i] = blendPixel<NxBlend_Normal>(d[i], s[i], c.t->W3(t[s[i] >> 24])[0], *c.t);
    }
}

template <int Mode>
void combineColour(std::uint32_t* d, const std::uint32_t*, const std::uint8_t*, int n,
                   const Context& c) {
    if (Mode == NxBlend_Normal) {
        c.ops->m_blendColour(d, n, c.colour, c.w);
        return;
    }
    for (int i = 0; i < n; ++i) {
        d[i] = blendPixel<Mode>(d[i], c.colour, c.w, *c.t);
    }
}

template <int Mode>
void combineColourMask(std::uint32_t* d, const std::uint32_t*, const std::uint8_t* m, int n,
                       const Context& c) {
    const std::uint8_t* t = c.t->TRow(c.alpha);
    for (int i = 0; i < n; ++i) {
        d[i] = blendPixel<Mode>(d[i], c.colour, c.t->W(t[m[i]])[0], *c.t);
    }
}

void combineComposite(std::uint32_t* d, const std::uint32_t* s, const std::uint8_t*, int n,
                      const Context& c) {
    for (int i = 0; i < n; ++i) {
        d[i] = composite(d[i], s[i], c.alpha, *c.t);
    }
}

void combineCompositeSourceAlpha(std::uint32_t* d, const std::uint32_t* s, const std::uint8_t*,
                                 int n, const Context& c) {
    const std::uint8_t* t = c.t->TRow(c.alpha);
    for (int i = 0; i < n; ++i) {
        d[i] = composite(d[i], s[i], t[s[i] >> 24], *c.t);
    }
}

void combineCompositeColour(std::uint32_t* d, const std::uint32_t*, const std::uint8_t*, int n,
                            const Context& c) {
    for (int i = 0; i < n; ++i) {
        d[i] = composite(d[i], c.colour, c.alpha, *c.t);
    }
}

void combineCompositeColourMask(std::uint32_t* d, const std::uint32_t*, const std::uint8_t* m,
                                int n, const Context& c) {
    const std::uint8_t* t = c.t->TRow(c.alpha);
    for (int i = 0; i < n; ++i) {
        d[i] = composite(d[i], c.colour, t[m[i]], *c.t);
    }
}

void combineChannelMask(std::uint32_t* d, const std::uint32_t* s, const std::uint8_t*, int n,
                        const Context& c) {
    for (int i = 0; i < n; ++i) {
        d[i] = (d[i] & ~c.mask) | (s[i] & c.mask);
    }
}

void combineColourChannelMask(std::uint32_t* d, const std::uint32_t*, const std::uint8_t*, int n,
                              const Context& c) {
    const std::uint32_t bits = c.colour & c.mask;
    for (int i = 0; i < n; ++i) {
        d[i] = (d[i] & ~c.mask) | bits;
    }
}

// Transition weights: R[mask value], R[source alpha] without a mask, or with
// NxBlt_SourceAlpha T[R[mask value]][source alpha].
void combineTransitionMask(std::uint32_t* d, const std::uint32_t* s, const std::uint8_t* m, int n,
                           const Context& c) {
    for (int i = 0; i < n; ++i) {
        d[i] = blendPixel<NxBlend_Normal>(d[i], s[i], c.t->W(c.r[m[i]])[0], *c.t);
    }
}

void combineTransitionAlpha(std::uint32_t* d, const std::uint32_t* s, const std::uint8_t*, int n,
                            const Context& c) {
    for (int i = 0; i < n; ++i) {
        d[i] = blendPixel<NxBlend_Normal>(d[i], s[i], c.t->W(c.r[s[i] >> 24])[0], *c.t);
    }
}

void combineTransitionMaskAlpha(std::uint32_t* d, const std::uint32_t* s, const std::uint8_t* m,
                                int n, const Context& c) {
    for (int i = 0; i < n; ++i) {
        const std::uint32_t a = c.t->T(c.r[m[i]], s[i] >> 24);
        d[i] = blendPixel<NxBlend_Normal>(d[i], s[i], c.t->W(a)[0], *c.t);
    }
}

template <template <int> class Pick>
CombineFn byMode(std::uint32_t mode) {
    switch (mode) {
        case 0:
            return Pick<0>::fn;
        case 1:
            return Pick<1>::fn;
        case 2:
            return Pick<2>::fn;
        case 3:
            return Pick<3>::fn;
        case 4:
            return Pick<4>::fn;
        case 5:
            return Pick<5>::fn;
        case 6:
            return Pick<6>::fn;
        case 7:
            return Pick<7>::fn;
        case 8:
            return Pick<8>::fn;
        case 9:
            return Pick<9>::fn;
        default:
            return nullptr;
    }
}
template <int M>
struct PickConstant {
    static constexpr CombineFn fn = combineConstant<M>;
};
template <int M>
struct PickSourceAlpha {
    static constexpr CombineFn fn = combineSourceAlpha<M>;
};
template <int M>
struct PickColour {
    static constexpr CombineFn fn = combineColour<M>;
};
template <int M>
struct PickColourMask {
    static constexpr CombineFn fn = combineColourMask<M>;
};

// ---- Sampling the source ----

// Paletted sources filter their colour table entries as they are, without colour borrowing.
inline std::uint32_t filter(std::uint32_t p00, std::uint32_t p01, std::uint32_t p10,
                            std::uint32_t p11, std::uint32_t fx, std::uint32_t fy) {
    return CNxRowOps::Lerp(CNxRowOps::Lerp(p00, p01, fx), CNxRowOps::Lerp(p10, p11, fx), fy);
}

enum class SourceKind {
    kNone,    // colour operations
    kPixels,  // 32-bit pixels
    kLookup,  // 8-bit indices through the colour table
    kGrey,    // 8-bit values spread to all four bytes
};

struct SourceRows {
    const std::uint8_t* row0;  // the source row (or upper row of a filter)
    const std::uint8_t* row1;  // the lower row of a filter
    std::uint32_t fy;
};

// One pass over the clipped geometry: fetch each run of source pixels (and mask bytes), then
// combine it into the destination.
struct Pass {
    CNxSurface* dest = nullptr;
    const CNxBlitGeometry* g = nullptr;
    const CNxDIBImage* source = nullptr;
    SourceKind kind = SourceKind::kNone;
    bool borrow = false;                  // colour borrowing before filtering
    std::uint32_t blurRadius = 0;         // > 0: box-blur the source rows
    const CNxDIBImage* mask = nullptr;    // 8-bit bytes that follow the source pixels
    std::int64_t maskDx = 0, maskDy = 0;  // mask pixel = source pixel + (maskDx, maskDy)
    CombineFn combine = nullptr;
    Context ctx;
};

class Runner {
public:
    explicit Runner(const Pass& p) : m_p(p), m_x(p.g->m_x), m_y(p.g->m_y) {
        if (p.source && p.kind == SourceKind::kLookup) {
            m_table = reinterpret_cast<const std::uint32_t*>(p.source->GetColorTable());
        }
    }

    void Run() {
        if (m_p.g->m_smooth && m_p.kind == SourceKind::kPixels) {
            runFiltered();
            return;
        }
        std::uint64_t py = m_y.m_start;
        for (std::int32_t j = 0; j < m_y.m_count; ++j, py += m_y.m_step) {
            std::uint32_t* d = row32(m_p.dest->GetImage(), m_y.m_dest + j) + m_x.m_dest;
            const std::int32_t sy = m_y.SourceAt(py);
            SourceRows rows{nullptr, nullptr, 0};
            if (m_p.source) {
                rows.row0 = m_p.source->Row(sy);
                if (m_p.g->m_smooth) {
                    rows.row1 = m_p.source->Row(m_y.SourceAt(py + (std::uint64_t(1) << 32)));
                    rows.fy = static_cast<std::uint32_t>(py >> 24) & 0xFF;
                }
            }
            const std::uint8_t* maskRow =
                m_p.mask ? m_p.mask->Row(static_cast<std::int32_t>(sy + m_p.maskDy)) : nullptr;
            for (std::int32_t c = 0; c < m_x.m_count; c += kRun) {
                const int n = std::min<std::int32_t>(kRun, m_x.m_count - c);
                const std::uint32_t* s = m_p.source ? fetch(rows, c, n) : nullptr;
                const std::uint8_t* m = maskRow ? fetchMask(maskRow, c, n) : nullptr;
                m_p.combine(d + c, s, m, n, m_p.ctx);
            }
        }
    }

private:
    // Filtered 32-bit sources, a column of runs at a time: the horizontal mixes of a pair of
    // source rows serve every destination row that falls between those rows (two of them when
    // doubling the size), and the pair positions serve the whole column.
    void runFiltered() {
        const CNxRowOps& ops = *m_p.ctx.ops;
        // A filtered copy needs no staging: the samples are the result.
        const bool straightIn = m_p.combine == combineCopy;
        const int dir = m_x.m_dir;
        for (std::int32_t c = 0; c < m_x.m_count; c += kRun) {
            const int n = std::min<std::int32_t>(kRun, m_x.m_count - c);
            std::uint64_t px = m_x.m_start + static_cast<std::uint64_t>(c) * m_x.m_step;
            for (int i = 0; i < n; ++i, px += m_x.m_step) {
                // Pairs start at the lower address: the sample itself, or its neighbour when
                // the walk runs leftwards.
                m_pairs[i] = m_x.SourceAt(px) - (dir < 0 ? 1 : 0);
                m_fx[i] = static_cast<std::uint32_t>(px >> 24) & 0xFF;
            }
            std::uint64_t py = m_y.m_start;
            std::int64_t mixedRow = -1;  // no source row is negative
            for (std::int32_t j = 0; j < m_y.m_count; ++j, py += m_y.m_step) {
                const std::int32_t sy = m_y.SourceAt(py);
                if (sy != mixedRow) {
                    const std::int32_t below = m_y.SourceAt(py + (std::uint64_t(1) << 32));
                    ops.m_filterPairs(m_top, m_bottom, row32(*m_p.source, sy),
                                      row32(*m_p.source, below), m_pairs, m_fx, n, dir < 0,
                                      m_p.borrow);
                    mixedRow = sy;
                }
                std::uint32_t* d = row32(m_p.dest->GetImage(), m_y.m_dest + j) + m_x.m_dest + c;
                const auto fy = static_cast<std::uint32_t>(py >> 24) & 0xFF;
                if (straightIn) {
                    ops.m_lerpRows(d, m_top, m_bottom, n, fy);
                } else {
                    ops.m_lerpRows(m_buffer, m_top, m_bottom, n, fy);
                    m_p.combine(d, m_buffer, nullptr, n, m_p.ctx);
                }
            }
        }
    }

private:
    const std::uint32_t* fetch(const SourceRows& rows, std::int32_t c, int n) {
        if (m_p.blurRadius > 0) {
            blur(rows.row0, c, n);
            return m_buffer;
        }
        if (m_p.g->m_stretched) {
            sample(rows, c, n);
            return m_buffer;
        }
        const std::int32_t x0 = m_x.FirstSource() + m_x.m_dir * c;
        const int dir = m_x.m_dir;
        switch (m_p.kind) {
            case SourceKind::kPixels: {
                const auto* in = reinterpret_cast<const std::uint32_t*>(rows.row0) + x0;
                if (dir > 0) {
                    return in;
                }
                for (int i = 0; i < n; ++i) {
                    m_buffer[i] = in[-i];
                }
                break;
            }
            case SourceKind::kLookup:
                for (int i = 0; i < n; ++i) {
                    m_buffer[i] = m_table[rows.row0[x0 + dir * i]];
                }
                break;
            default: {
                const CNxBlendTables& t = *m_p.ctx.t;
                for (int i = 0; i < n; ++i) {
                    m_buffer[i] = t.Grey(rows.row0[x0 + dir * i]);
                }
                break;
            }
        }
        return m_buffer;
    }

    std::uint32_t pixelAt(const std::uint8_t* row, std::int32_t x) const {
        if (m_p.kind == SourceKind::kLookup) {
            return m_table[row[x]];
        }
        return reinterpret_cast<const std::uint32_t*>(row)[x];
    }

    void sample(const SourceRows& rows, std::int32_t c, int n) {
        std::uint64_t px = m_x.m_start + static_cast<std::uint64_t>(c) * m_x.m_step;
        if (!m_p.g->m_smooth) {
            for (int i = 0; i < n; ++i, px += m_x.m_step) {
                m_buffer[i] = pixelAt(rows.row0, m_x.SourceAt(px));
            }
            return;
        }
        const int dir = m_x.m_dir;
        for (int i = 0; i < n; ++i, px += m_x.m_step) {
            const std::int32_t x = m_x.SourceAt(px);
            const auto fx = static_cast<std::uint32_t>(px >> 24) & 0xFF;
            m_buffer[i] = filter(pixelAt(rows.row0, x), pixelAt(rows.row0, x + dir),
                                 pixelAt(rows.row1, x), pixelAt(rows.row1, x + dir), fx, rows.fy);
        }
    }

    // Box average over x - r .. x + r of the whole source row, edges repeated:
    // (sum × floor(65536 / (2r + 1)) + 32768) >> 16 per channel.
    void blur(const std::uint8_t* rowBytes, std::int32_t c, int n) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(rowBytes);
        const std::int64_t width = m_p.source->GetWidth();
        const std::int64_t r = m_p.blurRadius;
        const std::uint64_t k = 65536 / (2 * std::uint64_t(r) + 1);
        if (k == 0) {  // a window wider than 65536 pixels averages to 0
            std::fill(m_buffer, m_buffer + n, 0u);
            return;
        }
        auto at = [&](std::int64_t x) { return row[std::clamp<std::int64_t>(x, 0, width - 1)]; };
        std::int64_t x = m_x.FirstSource() + std::int64_t(m_x.m_dir) * c;
        // The window sum at the run's first pixel: repeated edges, then the pixels between.
        std::uint64_t sum[4] = {0, 0, 0, 0};
        const std::int64_t lo = std::max<std::int64_t>(x - r, 0);
        const std::int64_t hi = std::min<std::int64_t>(x + r, width - 1);
        const std::uint64_t leftRepeats = static_cast<std::uint64_t>(lo - (x - r));
        const std::uint64_t rightRepeats = static_cast<std::uint64_t>((x + r) - hi);
        for (int ch = 0; ch < 4; ++ch) {
            sum[ch] = leftRepeats * ((row[0] >> (8 * ch)) & 0xFF) +
                      rightRepeats * ((row[width - 1] >> (8 * ch)) & 0xFF);
        }
        for (std::int64_t p = lo; p <= hi; ++p) {
            for (int ch = 0; ch < 4; ++ch) {
                sum[ch] += (row[p] >> (8 * ch)) & 0xFF;
            }
        }
        const int dir = m_x.m_dir;
        for (int i = 0; i < n; ++i) {
            std::uint32_t out = 0;
            for (int ch = 0; ch < 4; ++ch) {
                out |= static_cast<std::uint32_t>(((sum[ch] * k + 32768) >> 16) << (8 * ch));
            }
            m_buffer[i] = out;
            // Slide the window one pixel along the walk.
            const std::uint32_t enter = dir > 0 ? at(x + r + 1) : at(x - r - 1);
            const std::uint32_t leave = dir > 0 ? at(x - r) : at(x + r);
            for (int ch = 0; ch < 4; ++ch) {
                sum[ch] += ((enter >> (8 * ch)) & 0xFF);
                sum[ch] -= ((leave >> (8 * ch)) & 0xFF);
            }
            x += dir;
        }
    }

    const std::uint8_t* fetchMask(const std::uint8_t* maskRow, std::int32_t c, int n) {
        const std::int64_t x0 = m_x.FirstSource() + std::int64_t(m_x.m_dir) * c + m_p.maskDx;
        if (m_x.m_dir > 0) {
            return maskRow + x0;
        }
        for (int i = 0; i < n; ++i) {
            m_maskBuffer[i] = maskRow[x0 - i];
        }
        return m_maskBuffer;
    }

    const Pass& m_p;
    const CNxBlitGeometry::Axis& m_x;
    const CNxBlitGeometry::Axis& m_y;
    const std::uint32_t* m_table = nullptr;
    alignas(64) std::uint32_t m_buffer[kRun];
    std::int32_t m_pairs[kRun];
    std::uint32_t m_fx[kRun];
    std::uint32_t m_top[kRun];
    std::uint32_t m_bottom[kRun];
    std::uint8_t m_maskBuffer[kRun];
};

// Clips a same-size or stretched blit and runs it. kRefused when the operation cannot stretch
// and the sizes differ.
int run(Pass& pass, CNxSurface& dest, const RECT& destRect, const CNxDIBImage& clipSource,
        const RECT& sourceRect, CNxBlitGeometry::Sizing sizing, bool smooth) {
    CNxBlitGeometry g;
    switch (g.Compute(dest, destRect, clipSource.GetWidth(), clipSource.GetHeight(), sourceRect,
                      sizing, smooth)) {
        case CNxBlitGeometry::kRefused:
            return 0;
        case CNxBlitGeometry::kEmpty:
            return 1;
        case CNxBlitGeometry::kDraw:
            break;
    }
    pass.dest = &dest;
    pass.g = &g;
    Runner(pass).Run();
    return 1;
}

// Colour operations draw into the clipped destination rectangle only.
int runColour(CNxSurface& dest, const RECT& destRect, CombineFn combine, const Context& ctx) {
    RECT r = destRect;
    if (!dest.ClipToSurface(r)) {
        return 1;
    }
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
        combine(row32(dest.GetImage(), y) + r.left, nullptr, nullptr, r.right - r.left, ctx);
    }
    return 1;
}

SourceKind kindOf(const CNxSurface& source) {
    return source.GetBitCount() == 32 ? SourceKind::kPixels : SourceKind::kLookup;
}

// Whether the pixels of a same-size, unmirrored blit of full rows form one block in both
// surfaces (same row order and stride), so that one long call replaces a call per row.
bool oneBlock(const CNxDIBImage& a, const CNxDIBImage& b, const CNxBlitGeometry& g) {
    return g.m_x.m_count == a.GetWidth() && g.m_x.m_count == b.GetWidth() &&
           a.GetPitch() == b.GetPitch() && std::int64_t(a.GetWidth()) * 4 == a.GetStride() &&
           std::int64_t(b.GetWidth()) * 4 == b.GetStride();
}

std::uint32_t* blockStart(const CNxDIBImage& image, std::int32_t top, std::int32_t rows) {
    return row32(image, image.GetPitch() < 0 ? top + rows - 1 : top);
}

}  // namespace

const CNxBlitter32& CNxBlitter32::Instance() {
    static const CNxBlitter32 blitter;
    return blitter;
}

// Slot 2.
int CNxBlitter32::Copy(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                       const RECT& sourceRect, const CNxBlitParams* params) const {
    const bool smooth = flagsOf(params) & NxBlt_Smooth;
    CNxBlitGeometry g;
    switch (g.Compute(dest, destRect, source.GetWidth(), source.GetHeight(), sourceRect,
                      CNxBlitGeometry::kMayStretch, smooth)) {
        case CNxBlitGeometry::kRefused:
            return 0;
        case CNxBlitGeometry::kEmpty:
            return 1;
        case CNxBlitGeometry::kDraw:
            break;
    }
    const CNxDIBImage& in = source.GetImage();
    const CNxDIBImage& out = dest.GetImage();
    if (source.GetBitCount() == 32 && !g.m_stretched && g.m_x.m_dir > 0 && g.m_y.m_dir > 0) {
        const std::int32_t sx = g.m_x.FirstSource(), sy = g.m_y.FirstSource();
        const std::int32_t n = g.m_x.m_count, rows = g.m_y.m_count;
        const bool self = &source == &dest;
        if (oneBlock(in, out, g)) {
            std::uint32_t* d = blockStart(out, g.m_y.m_dest, rows);
            const std::uint32_t* s = blockStart(in, sy, rows);
            const std::size_t count = std::size_t(n) * rows;
            if (self) {
                std::memmove(d, s, count * 4);
            } else {
                CNxRowOps::Best().m_copy(d, s, static_cast<int>(count));
            }
            return 1;
        }
        // Within one surface the rows are taken in the order that reads each before it is
        // overwritten.
        const bool upward = self && g.m_y.m_dest > sy;
        for (std::int32_t k = 0; k < rows; ++k) {
            const std::int32_t j = upward ? rows - 1 - k : k;
            std::uint32_t* d = row32(out, g.m_y.m_dest + j) + g.m_x.m_dest;
            const std::uint32_t* s = row32(in, sy + j) + sx;
            if (self) {
                std::memmove(d, s, std::size_t(n) * 4);
            } else {
                CNxRowOps::Best().m_copy(d, s, n);
            }
        }
        return 1;
    }
    Pass pass;
    pass.dest = &dest;
    pass.g = &g;
    pass.source = &in;
    pass.kind = kindOf(source);
    pass.borrow = source.GetBitCount() == 32;
    pass.combine = combineCopy;
    Runner(pass).Run();
    return 1;
}

// Slot 4.
int CNxBlitter32::ConstantAlpha(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                                const RECT& sourceRect, const CNxBlitParams* params) const {
    switch (constantAlphaShortcut(params)) {
        case AlphaShortcut::Refuse:
            return 0;
        case AlphaShortcut::Nothing:
            return 1;
        case AlphaShortcut::Copy:
            return Copy(dest, destRect, source, sourceRect, params);
        case AlphaShortcut::Blend:
            break;
    }
    const std::uint32_t flags = flagsOf(params);
    const std::uint32_t alpha = constantAlpha(params);
    const std::uint32_t mode = flags & NxBlt_BlendModeMask;
    const bool paletted = source.GetBitCount() != 32;
    // Stretching and colour tables work in the normal mode only.
    if (mode > NxBlend_Darken || (paletted && mode != NxBlend_Normal)) {
        return 0;
    }
    Pass pass;
    pass.source = &source.GetImage();
    pass.kind = kindOf(source);
    pass.borrow = !paletted;
    pass.combine = byMode<PickConstant>(mode);
    pass.ctx.w = pass.ctx.t->W(alpha)[0];
    return run(
        pass, dest, destRect, source.GetImage(), sourceRect,
        mode == NxBlend_Normal ? CNxBlitGeometry::kMayStretch : CNxBlitGeometry::kSameSizeOnly,
        flags & NxBlt_Smooth);
}

// Slot 5.
int CNxBlitter32::SourceAlpha(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                              const RECT& sourceRect, const CNxBlitParams* params) const {
    if (source.GetBitCount() != 32) {
        return ConstantAlpha(dest, destRect, source, sourceRect, params);
    }
    const std::uint32_t flags = flagsOf(params);
    const std::uint32_t alpha = constantAlpha(params);
    if (alpha > 255) {
        return 0;
    }
    if (alpha == 0) {
        return 1;
    }
    const std::uint32_t mode = flags & NxBlt_BlendModeMask;
    if (mode > NxBlend_SoftLight) {
        return 0;
    }
    const bool smooth = flags & NxBlt_Smooth;
    CNxBlitGeometry g;
    switch (g.Compute(
        dest, destRect, source.GetWidth(), source.GetHeight(), sourceRect,
        mode == NxBlend_Normal ? CNxBlitGeometry::kMayStretch : CNxBlitGeometry::kSameSizeOnly,
        smooth)) {
        case CNxBlitGeometry::kRefused:
            return 0;
        case CNxBlitGeometry::kEmpty:
            return 1;
        case CNxBlitGeometry::kDraw:
            break;
    }
    const bool alt = g.m_smooth && (flags & NxBlt_SmoothAlt);
    Pass pass;
    pass.dest = &dest;
    pass.g = &g;
    pass.source = &source.GetImage();
    pass.kind = SourceKind::kPixels;
    pass.borrow = !alt;
    pass.combine = alt ? combineSourceAlphaW3 : byMode<PickSourceAlpha>(mode);
    pass.ctx.alpha = alpha;
    Runner(pass).Run();
    return 1;
}

// Slot 6.
int CNxBlitter32::DestAlpha(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                            const RECT& sourceRect, const CNxBlitParams* params) const {
    const std::uint32_t flags = flagsOf(params);
    if (source.GetBitCount() != 32 || (flags & NxBlt_BlendModeMask) != NxBlend_Normal) {
        return 0;
    }
    const std::uint32_t alpha = constantAlpha(params);
    if (alpha > 255) {
        return 0;
    }
    Pass pass;
    pass.source = &source.GetImage();
    pass.kind = SourceKind::kPixels;
    pass.combine = combineComposite;
    pass.ctx.alpha = alpha;
    CNxBlitGeometry g;
    if (g.Compute(dest, destRect, source.GetWidth(), source.GetHeight(), sourceRect,
                  CNxBlitGeometry::kSameSizeOnly, false) == CNxBlitGeometry::kRefused) {
        return 0;
    }
    if (alpha == 0) {
        return 1;
    }
    return run(pass, dest, destRect, source.GetImage(), sourceRect, CNxBlitGeometry::kSameSizeOnly,
               false);
}

// Slot 7.
int CNxBlitter32::DestAlphaSourceAlpha(CNxSurface& dest, const RECT& destRect,
                                       const CNxSurface& source, const RECT& sourceRect,
                                       const CNxBlitParams* params) const {
    const std::uint32_t flags = flagsOf(params);
    if (source.GetBitCount() != 32 || (flags & NxBlt_BlendModeMask) != NxBlend_Normal) {
        return 0;
    }
    const std::uint32_t alpha = constantAlpha(params);
    if (alpha > 255) {
        return 0;
    }
    CNxBlitGeometry g;
    if (g.Compute(dest, destRect, source.GetWidth(), source.GetHeight(), sourceRect,
                  CNxBlitGeometry::kSameSizeOnly, false) == CNxBlitGeometry::kRefused) {
        return 0;
    }
    if (alpha == 0) {
        return 1;
    }
    Pass pass;
    pass.source = &source.GetImage();
    pass.kind = SourceKind::kPixels;
    pass.combine = combineCompositeSourceAlpha;
    pass.ctx.alpha = alpha;
    return run(pass, dest, destRect, source.GetImage(), sourceRect, CNxBlitGeometry::kSameSizeOnly,
               false);
}

// Slot 1.
int CNxBlitter32::ChannelMask(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                              const RECT& sourceRect, const CNxBlitParams* params) const {
    Pass pass;
    pass.source = &source.GetImage();
    pass.kind = source.GetBitCount() == 32 ? SourceKind::kPixels : SourceKind::kGrey;
    pass.combine = combineChannelMask;
    pass.ctx.mask = params ? params->m_mask : 0;
    return run(pass, dest, destRect, source.GetImage(), sourceRect, CNxBlitGeometry::kSameSizeOnly,
               false);
}

// Slot 9.
int CNxBlitter32::ColourChannelMask(CNxSurface& dest, const RECT& destRect, const CNxSurface&,
                                    const RECT&, const CNxBlitParams* params) const {
    Context ctx;
    ctx.colour = params ? params->m_colour : 0;
    ctx.mask = params ? params->m_mask : 0;
    return runColour(dest, destRect, combineColourChannelMask, ctx);
}

// Slot 10.
int CNxBlitter32::FillRect(CNxSurface& dest, const RECT& destRect, const CNxSurface&, const RECT&,
                           const CNxBlitParams* params) const {
    RECT r = destRect;
    if (!dest.ClipToSurface(r)) {
        return 1;
    }
    const std::uint32_t colour = params ? params->m_colour : 0;
    const CNxDIBImage& image = dest.GetImage();
    const std::int32_t n = r.right - r.left, rows = r.bottom - r.top;
    const CNxRowOps& ops = CNxRowOps::Best();
    if (n == image.GetWidth() && std::int64_t(n) * 4 == image.GetStride()) {
        ops.m_fill(blockStart(image, r.top, rows), colour, n * rows);
        return 1;
    }
    for (std::int32_t y = r.top; y < r.bottom; ++y) {
        ops.m_fill(row32(image, y) + r.left, colour, n);
    }
    return 1;
}

// Slot 11.
int CNxBlitter32::ColourBlend(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                              const RECT& sourceRect, const CNxBlitParams* params) const {
    const std::uint32_t flags = flagsOf(params);
    const std::uint32_t colour = params ? params->m_colour : 0;
    const std::uint32_t a = colour >> 24;
    const std::uint32_t mode = flags & NxBlt_BlendModeMask;
    if (a == 0) {
        return 1;
    }
    if (!(flags & NxBlt_ForceBlend) && a == 255 && mode == NxBlend_Normal) {
        return FillRect(dest, destRect, source, sourceRect, params);
    }
    if (mode > NxBlend_Darken) {
        return 0;
    }
    Context ctx;
    ctx.colour = colour;
    ctx.w = ctx.t->W(a)[0];
    return runColour(dest, destRect, byMode<PickColour>(mode), ctx);
}

// Slot 12.
int CNxBlitter32::ColourMask(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                             const RECT& sourceRect, const CNxBlitParams* params) const {
    const std::uint32_t colour = params ? params->m_colour : 0;
    const std::uint32_t mode = flagsOf(params) & NxBlt_BlendModeMask;
    // The coverage mask belongs to the destination as a whole, so it must match it exactly;
    // equal rectangles alone would let a mask of another picture through.
    if (source.GetBitCount() != 8 || mode > NxBlend_Darken ||
        source.GetWidth() != dest.GetWidth() || source.GetHeight() != dest.GetHeight()) {
        return 0;
    }
    CNxBlitGeometry g;
    if (g.Compute(dest, destRect, source.GetWidth(), source.GetHeight(), sourceRect,
                  CNxBlitGeometry::kSameSizeOnly, false) == CNxBlitGeometry::kRefused) {
        return 0;
    }
    if ((colour >> 24) == 0) {
        return 1;
    }
    Pass pass;
    pass.mask = &source.GetImage();
    pass.combine = byMode<PickColourMask>(mode);
    pass.ctx.colour = colour;
    pass.ctx.alpha = colour >> 24;
    return run(pass, dest, destRect, source.GetImage(), sourceRect, CNxBlitGeometry::kSameSizeOnly,
               false);
}

// Slot 13.
int CNxBlitter32::ColourDestAlpha(CNxSurface& dest, const RECT& destRect, const CNxSurface&,
                                  const RECT&, const CNxBlitParams* params) const {
    const std::uint32_t colour = params ? params->m_colour : 0;
    if ((flagsOf(params) & NxBlt_BlendModeMask) != NxBlend_Normal) {
        return 0;
    }
    if ((colour >> 24) == 0) {
        return 1;
    }
    Context ctx;
    ctx.colour = colour;
    ctx.alpha = colour >> 24;
    return runColour(dest, destRect, combineCompositeColour, ctx);
}

// Slot 14.
int CNxBlitter32::ColourMaskDestAlpha(CNxSurface& dest, const RECT& destRect,
                                      const CNxSurface& source, const RECT& sourceRect,
                                      const CNxBlitParams* params) const {
    const std::uint32_t colour = params ? params->m_colour : 0;
    if (source.GetBitCount() != 8 || (flagsOf(params) & NxBlt_BlendModeMask) != NxBlend_Normal) {
        return 0;
    }
    CNxBlitGeometry g;
    if (g.Compute(dest, destRect, source.GetWidth(), source.GetHeight(), sourceRect,
                  CNxBlitGeometry::kSameSizeOnly, false) == CNxBlitGeometry::kRefused) {
        return 0;
    }
    if ((colour >> 24) == 0) {
        return 1;
    }
    Pass pass;
    pass.mask = &source.GetImage();
    pass.combine = combineCompositeColourMask;
    pass.ctx.colour = colour;
    pass.ctx.alpha = colour >> 24;
    return run(pass, dest, destRect, source.GetImage(), sourceRect, CNxBlitGeometry::kSameSizeOnly,
               false);
}

// Slot 3.
int CNxBlitter32::MaskTransition(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                                 const RECT& sourceRect, const CNxBlitParams* params) const {
    if (params == nullptr) {
        return 0;
    }
    const std::uint32_t flags = params->m_flags;
    const std::uint32_t level = params->m_colour;
    const std::uint32_t softness = params->m_softness;
    if (level == 256) {  // complete: the picture itself
        return flags & NxBlt_SourceAlpha
                   ? SourceAlpha(dest, destRect, source, sourceRect, params)
                   : ConstantAlpha(dest, destRect, source, sourceRect, params);
    }
    const std::int64_t sw = std::abs(std::int64_t(sourceRect.right) - sourceRect.left);
    const std::int64_t sh = std::abs(std::int64_t(sourceRect.bottom) - sourceRect.top);
    if (sw != std::int64_t(destRect.right) - destRect.left ||
        sh != std::int64_t(destRect.bottom) - destRect.top || level > 512 || softness > 511 ||
        source.GetBitCount() != 32 || (flags & NxBlt_BlendModeMask) != NxBlend_Normal) {
        return 0;
    }
    if (level == 0 || level == 512) {
        return 1;
    }
    const std::uint32_t alpha = constantAlpha(params);
    if (alpha > 255) {
        return 0;
    }
    if (alpha == 0) {
        return 1;
    }
    const CNxSurface* mask = params->m_ruleMask;
    if (mask) {
        // The mask must cover the whole source rectangle at its offset.
        const std::int64_t left =
            std::min(sourceRect.left, sourceRect.right) + std::int64_t(params->m_maskX);
        const std::int64_t top =
            std::min(sourceRect.top, sourceRect.bottom) + std::int64_t(params->m_maskY);
        if (mask->GetBitCount() != 8 || left < 0 || top < 0 || left + sw > mask->GetWidth() ||
            top + sh > mask->GetHeight()) {
            return 0;
        }
    } else if (flags & NxBlt_SourceAlpha) {
        return 0;
    }

    const CNxBlendTables& t = CNxBlendTables::Get();
    const std::uint32_t inv = level <= 256 ? 0 : 255;
    const std::int64_t start = std::int64_t(level <= 256 ? level : level - 256) - 1;
    std::uint8_t r[256];
    for (std::int64_t m = 0; m < 256; ++m) {
        std::uint32_t coverage;
        if (m < start) {
            coverage = 255 ^ inv;
        } else if (m < std::min<std::int64_t>(start + softness, 256)) {
            coverage =
                static_cast<std::uint32_t>((255 - (m - start) * 255 / softness) & 0xFF) ^ inv;
        } else {
            coverage = inv;
        }
        r[m] = t.T(alpha, coverage);
    }

    Pass pass;
    pass.source = &source.GetImage();
    pass.kind = SourceKind::kPixels;
    pass.ctx.r = r;
    if (mask) {
        pass.mask = &mask->GetImage();
        pass.maskDx = params->m_maskX;
        pass.maskDy = params->m_maskY;
        pass.combine =
            flags & NxBlt_SourceAlpha ? combineTransitionMaskAlpha : combineTransitionMask;
    } else {
        pass.combine = combineTransitionAlpha;
    }
    return run(pass, dest, destRect, source.GetImage(), sourceRect, CNxBlitGeometry::kSameSizeOnly,
               false);
}

// Slot 0.
int CNxBlitter32::BlurX(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                        const RECT& sourceRect, const CNxBlitParams* params) const {
    if (params == nullptr) {
        return 0;
    }
    const std::uint32_t flags = params->m_flags;
    const std::uint32_t radius = params->m_radius;
    if (radius == 0) {
        return flags & NxBlt_SourceAlpha
                   ? SourceAlpha(dest, destRect, source, sourceRect, params)
                   : ConstantAlpha(dest, destRect, source, sourceRect, params);
    }
    if (source.GetBitCount() != 32 || (flags & NxBlt_BlendModeMask) != NxBlend_Normal) {
        return 0;
    }
    CNxBlitGeometry g;
    if (g.Compute(dest, destRect, source.GetWidth(), source.GetHeight(), sourceRect,
                  CNxBlitGeometry::kSameSizeOnly, false) == CNxBlitGeometry::kRefused) {
        return 0;
    }
    const std::uint32_t alpha = constantAlpha(params);
    if (alpha > 255) {
        return 0;
    }
    if (alpha == 0) {
        return 1;
    }
    Pass pass;
    pass.source = &source.GetImage();
    pass.kind = SourceKind::kPixels;
    pass.blurRadius = radius;
    pass.ctx.alpha = alpha;
    pass.ctx.w = pass.ctx.t->W(alpha)[0];
    if (flags & NxBlt_SourceAlpha) {
        pass.combine = combineSourceAlpha<NxBlend_Normal>;
    } else if (alpha == 255 && !(flags & NxBlt_ForceBlend)) {
        pass.combine = combineCopy;
    } else {
        pass.combine = combineConstant<NxBlend_Normal>;
    }
    return run(pass, dest, destRect, source.GetImage(), sourceRect, CNxBlitGeometry::kSameSizeOnly,
               false);
}
