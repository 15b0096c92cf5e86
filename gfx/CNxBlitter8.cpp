#include "gfx/CNxBlitter8.h"

#include <cstring>

const CNxBlitter8& CNxBlitter8::Instance() {
    static const CNxBlitter8 blitter;
    return blitter;
}

// Slot 0: only the unblurred case, which is a plain blend.
int CNxBlitter8::BlurX(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                       const RECT& sourceRect, const CNxBlitParams* params) const {
    if (params == nullptr || params->m_radius != 0) {
        return 0;
    }
    return params->m_flags & NxBlt_SourceAlpha
               ? SourceAlpha(dest, destRect, source, sourceRect, params)
               : ConstantAlpha(dest, destRect, source, sourceRect, params);
}

// Slot 1: the low bytes of the mask and of each source pixel.
int CNxBlitter8::ChannelMask(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                             const RECT& sourceRect, const CNxBlitParams* params) const {
    const auto mask = static_cast<std::uint8_t>(params ? params->m_mask : 0);
    const int bytes = source.GetBitCount() / 8;  // the low byte of a 32-bit pixel comes first
    return ClipAndDraw(
        dest, destRect, source, sourceRect, CNxBlitGeometry::kSameSizeOnly, false,
        [&](const CNxBlitGeometry& g) {
            const std::int32_t sx = g.m_x.FirstSource(), sy = g.m_y.FirstSource();
            for (std::int32_t j = 0; j < g.m_y.m_count; ++j) {
                std::uint8_t* d = dest.GetImage().Row(g.m_y.m_dest + j) + g.m_x.m_dest;
                const std::uint8_t* s = source.GetImage().Row(sy + g.m_y.m_dir * j);
                for (std::int32_t i = 0; i < g.m_x.m_count; ++i) {
                    const std::uint8_t v = s[std::int64_t(sx + g.m_x.m_dir * i) * bytes];
                    d[i] = static_cast<std::uint8_t>((d[i] & ~mask) | (v & mask));
                }
            }
        });
}

// Slot 2: from 8-bit sources, same-size or stretched (nearest: indices do not filter).
int CNxBlitter8::Copy(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                      const RECT& sourceRect, const CNxBlitParams*) const {
    if (source.GetBitCount() != 8) {
        return 0;
    }
    return ClipAndDraw(
        dest, destRect, source, sourceRect, CNxBlitGeometry::kMayStretch, false,
        [&](const CNxBlitGeometry& g) {
            if (!g.m_stretched && g.m_x.m_dir > 0 && g.m_y.m_dir > 0) {
                CopyRows(dest, source, g, 1,
                         [](std::uint8_t* d, const std::uint8_t* s, std::int32_t n) {
                             std::memmove(d, s, std::size_t(n));
                         });
                return;
            }
            std::uint64_t py = g.m_y.m_start;
            for (std::int32_t j = 0; j < g.m_y.m_count; ++j, py += g.m_y.m_step) {
                std::uint8_t* d = dest.GetImage().Row(g.m_y.m_dest + j) + g.m_x.m_dest;
                const std::uint8_t* s = source.GetImage().Row(g.m_y.SourceAt(py));
                std::uint64_t px = g.m_x.m_start;
                for (std::int32_t i = 0; i < g.m_x.m_count; ++i, px += g.m_x.m_step) {
                    d[i] = s[g.m_x.SourceAt(px)];
                }
            }
        });
}

// Slot 4: only where it comes down to a copy.
int CNxBlitter8::ConstantAlpha(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                               const RECT& sourceRect, const CNxBlitParams* params) const {
    switch (constantAlphaShortcut(params)) {
        case AlphaShortcut::Nothing:
            return 1;
        case AlphaShortcut::Copy:
            return Copy(dest, destRect, source, sourceRect, params);
        default:
            return 0;  // blending indices means nothing
    }
}

// Slot 10: the colour's low byte.
int CNxBlitter8::FillRect(CNxSurface& dest, const RECT& destRect, const CNxSurface&, const RECT&,
                          const CNxBlitParams* params) const {
    const int value = static_cast<std::uint8_t>(params ? params->m_colour : 0);
    return ClipAndFill(dest, destRect, [&](const RECT& r) {
        for (std::int32_t y = r.top; y < r.bottom; ++y) {
            std::memset(dest.GetImage().Row(y) + r.left, value, std::size_t(r.right - r.left));
        }
    });
}

// Slot 11: only where it comes down to an opaque fill.
int CNxBlitter8::ColourBlend(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                             const RECT& sourceRect, const CNxBlitParams* params) const {
    const std::uint32_t flags = flagsOf(params);
    const std::uint32_t a = (params ? params->m_colour : 0) >> 24;
    if (a == 0) {
        return 1;
    }
    if (a == 255 && (flags & NxBlt_BlendModeMask) == NxBlend_Normal &&
        !(flags & NxBlt_ForceBlend)) {
        return FillRect(dest, destRect, source, sourceRect, params);
    }
    return 0;
}
