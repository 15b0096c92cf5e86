#include "gfx/CNxBlitter32.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "gfx/CNxBlendTables.h"
#include "gfx/CNxBlitPass.h"
#include "gfx/CNxRowOps.h"

// Each slot here states its rules (what it refuses, what draws nothing, which combiner and which
// source it reads); the clipping is CNxBlitter's, the pixel arithmetic CNxBlitCombiners', the
// reading of the source CNxBlitPass'.

namespace {

using Op = CNxBlitCombiners::Op;

CNxBlitCombiners::Fn find(Op op, std::uint32_t mode = 0) {
    return CNxBlitCombiners::Find(op, mode);
}

std::uint32_t* row32(const CNxDIBImage& image, std::int32_t y) {
    return reinterpret_cast<std::uint32_t*>(image.Row(y));
}

std::uint32_t colourOf(const CNxBlitParams* params) {
    return params ? params->m_colour : 0;
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

// The 256 weights of a transition at `level` (1..511, not 256) over mask values, scaled by the
// constant alpha: fully in below the level, a ramp of `softness` levels, then out. Levels above
// 256 run the same wipe the other way.
void transitionTable(std::uint32_t level, std::uint32_t softness, std::uint32_t alpha,
                     std::uint8_t r[256]) {
    const CNxBlendTables& t = CNxBlendTables::Get();
    const std::uint32_t inv = level <= 256 ? 0 : 255;
    const std::int64_t start = std::int64_t(level <= 256 ? level : level - 256) - 1;
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
}

// Whether a rule mask covers the source rectangle moved by the mask offset.
bool maskCovers(const CNxSurface& mask, const RECT& sourceRect, const CNxBlitParams& params) {
    const std::int64_t left =
        std::min(sourceRect.left, sourceRect.right) + std::int64_t(params.m_maskX);
    const std::int64_t top =
        std::min(sourceRect.top, sourceRect.bottom) + std::int64_t(params.m_maskY);
    const std::int64_t sw = std::abs(std::int64_t(sourceRect.right) - sourceRect.left);
    const std::int64_t sh = std::abs(std::int64_t(sourceRect.bottom) - sourceRect.top);
    return mask.GetBitCount() == 8 && left >= 0 && top >= 0 && left + sw <= mask.GetWidth() &&
           top + sh <= mask.GetHeight();
}

// A pass over the pixels of a 32-bit source.
CNxBlitPass pixelPass(const CNxSurface& source, Op op, std::uint32_t alpha) {
    CNxBlitPass pass;
    pass.m_source = &source.GetImage();
    pass.m_kind = CNxBlitPass::SourceKind::kPixels;
    pass.m_combine = find(op);
    pass.m_ctx.m_alpha = alpha;
    return pass;
}

// What a blend of a 32-bit source at a constant alpha comes to before anything is drawn:
// refused (0) for another source depth, another blend mode or an alpha above 255, and nothing
// to draw at alpha 0 (1 when the rectangles are the same size). Empty when it is to be drawn.
std::optional<int> settledBeforeDrawing(const CNxSurface& source, std::uint32_t flags,
                                        std::uint32_t alpha, const RECT& destRect,
                                        const RECT& sourceRect) {
    if (source.GetBitCount() != 32 || (flags & NxBlt_BlendModeMask) != NxBlend_Normal ||
        alpha > 255) {
        return 0;
    }
    if (alpha == 0) {
        return CNxBlitGeometry::SameSize(destRect, sourceRect) ? 1 : 0;
    }
    return std::nullopt;
}

}  // namespace

const CNxBlitter32& CNxBlitter32::Instance() {
    static const CNxBlitter32 blitter;
    return blitter;
}

int CNxBlitter32::Draw(const CNxBlitPass& pass, CNxSurface& dest, const RECT& destRect,
                       const CNxSurface& source, const RECT& sourceRect,
                       CNxBlitGeometry::Sizing sizing, bool smooth) {
    return ClipAndDraw(dest, destRect, source, sourceRect, sizing, smooth,
                       [&](const CNxBlitGeometry& g) { pass.Run(dest, g); });
}

int CNxBlitter32::DrawColour(CNxSurface& dest, const RECT& destRect, CNxBlitCombiners::Fn combine,
                             const CNxBlitCombiners::Context& ctx) {
    return ClipAndFill(dest, destRect, [&](const RECT& r) {
        EachRowInMemoryOrder(dest.GetImage(), r.top, r.bottom, [&](std::int32_t y) {
            combine(row32(dest.GetImage(), y) + r.left, nullptr, nullptr, r.right - r.left, ctx);
        });
    });
}

// Slot 2.
int CNxBlitter32::Copy(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                       const RECT& sourceRect, const CNxBlitParams* params) const {
    const bool smooth = flagsOf(params) & NxBlt_Smooth;
    return ClipAndDraw(dest, destRect, source, sourceRect, CNxBlitGeometry::kMayStretch, smooth,
                       [&](const CNxBlitGeometry& g) {
                           const bool pixels = source.GetBitCount() == 32;
                           if (pixels && !g.m_stretched && g.m_x.m_dir > 0 && g.m_y.m_dir > 0) {
                               CopyPixels(dest, source, g);
                               return;
                           }
                           CNxBlitPass pass;
                           pass.m_source = &source.GetImage();
                           pass.m_kind = CNxBlitPass::KindOf(source);
                           pass.m_borrow = pixels;
                           pass.m_combine = find(Op::Copy);
                           pass.Run(dest, g);
                       });
}

void CNxBlitter32::CopyPixels(CNxSurface& dest, const CNxSurface& source,
                              const CNxBlitGeometry& g) {
    const CNxDIBImage& in = source.GetImage();
    const CNxDIBImage& out = dest.GetImage();
    const bool self = &source == &dest;
    if (oneBlock(in, out, g)) {
        const std::int32_t rows = g.m_y.m_count;
        std::uint32_t* d = blockStart(out, g.m_y.m_dest, rows);
        const std::uint32_t* s = blockStart(in, g.m_y.FirstSource(), rows);
        const std::size_t count = std::size_t(g.m_x.m_count) * rows;
        if (self) {
            std::memmove(d, s, count * 4);
        } else {
            CNxRowOps::Best().m_copy(d, s, static_cast<int>(count));
        }
        return;
    }
    CopyRows(dest, source, g, 4, [self](std::uint8_t* d, const std::uint8_t* s, std::int32_t n) {
        if (self) {
            std::memmove(d, s, std::size_t(n) * 4);
        } else {
            CNxRowOps::Best().m_copy(reinterpret_cast<std::uint32_t*>(d),
                                     reinterpret_cast<const std::uint32_t*>(s), n);
        }
    });
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
    const std::uint32_t mode = flags & NxBlt_BlendModeMask;
    const bool paletted = source.GetBitCount() != 32;
    CNxBlitPass pass;
    pass.m_combine = find(Op::ConstantAlpha, mode);
    // Stretching and colour tables work in the normal mode only.
    if (pass.m_combine == nullptr || (paletted && mode != NxBlend_Normal)) {
        return 0;
    }
    pass.m_source = &source.GetImage();
    pass.m_kind = CNxBlitPass::KindOf(source);
    pass.m_borrow = !paletted;
    pass.m_ctx.m_w = pass.m_ctx.m_t->W(constantAlpha(params))[0];
    return Draw(
        pass, dest, destRect, source, sourceRect,
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
    const CNxBlitCombiners::Fn combine = find(Op::SourceAlpha, mode);
    if (combine == nullptr) {
        return 0;
    }
    return ClipAndDraw(
        dest, destRect, source, sourceRect,
        mode == NxBlend_Normal ? CNxBlitGeometry::kMayStretch : CNxBlitGeometry::kSameSizeOnly,
        flags & NxBlt_Smooth, [&](const CNxBlitGeometry& g) {
            const bool alt = g.m_smooth && (flags & NxBlt_SmoothAlt);
            CNxBlitPass pass = pixelPass(source, Op::SourceAlpha, alpha);
            pass.m_borrow = !alt;
            pass.m_combine = alt ? find(Op::SourceAlphaW3) : combine;
            pass.Run(dest, g);
        });
}

// Slots 6 and 7: over a destination whose alpha matters, by the constant alpha or by the source
// alpha scaled by it.
int CNxBlitter32::Composite(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                            const RECT& sourceRect, const CNxBlitParams* params, Op op) {
    const std::uint32_t alpha = constantAlpha(params);
    if (const auto settled =
            settledBeforeDrawing(source, flagsOf(params), alpha, destRect, sourceRect)) {
        return *settled;
    }
    return Draw(pixelPass(source, op, alpha), dest, destRect, source, sourceRect,
                CNxBlitGeometry::kSameSizeOnly, false);
}

// Slot 6.
int CNxBlitter32::DestAlpha(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                            const RECT& sourceRect, const CNxBlitParams* params) const {
    return Composite(dest, destRect, source, sourceRect, params, Op::Composite);
}

// Slot 7.
int CNxBlitter32::DestAlphaSourceAlpha(CNxSurface& dest, const RECT& destRect,
                                       const CNxSurface& source, const RECT& sourceRect,
                                       const CNxBlitParams* params) const {
    return Composite(dest, destRect, source, sourceRect, params, Op::CompositeSourceAlpha);
}

// Slot 1.
int CNxBlitter32::ChannelMask(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                              const RECT& sourceRect, const CNxBlitParams* params) const {
    CNxBlitPass pass;
    pass.m_source = &source.GetImage();
    pass.m_kind = source.GetBitCount() == 32 ? CNxBlitPass::SourceKind::kPixels
                                             : CNxBlitPass::SourceKind::kGrey;
    pass.m_combine = find(Op::ChannelMask);
    pass.m_ctx.m_mask = params ? params->m_mask : 0;
    return Draw(pass, dest, destRect, source, sourceRect, CNxBlitGeometry::kSameSizeOnly, false);
}

// Slot 9.
int CNxBlitter32::ColourChannelMask(CNxSurface& dest, const RECT& destRect, const CNxSurface&,
                                    const RECT&, const CNxBlitParams* params) const {
    CNxBlitCombiners::Context ctx;
    ctx.m_colour = colourOf(params);
    ctx.m_mask = params ? params->m_mask : 0;
    return DrawColour(dest, destRect, find(Op::ColourChannelMask), ctx);
}

// Slot 10.
int CNxBlitter32::FillRect(CNxSurface& dest, const RECT& destRect, const CNxSurface&, const RECT&,
                           const CNxBlitParams* params) const {
    const std::uint32_t colour = colourOf(params);
    return ClipAndFill(dest, destRect, [&](const RECT& r) {
        const CNxDIBImage& image = dest.GetImage();
        const std::int32_t n = r.right - r.left, rows = r.bottom - r.top;
        const CNxRowOps& ops = CNxRowOps::Best();
        if (n == image.GetWidth() && std::int64_t(n) * 4 == image.GetStride()) {
            ops.m_fill(blockStart(image, r.top, rows), colour, n * rows);
            return;
        }
        EachRowInMemoryOrder(image, r.top, r.bottom, [&](std::int32_t y) {
            ops.m_fill(row32(image, y) + r.left, colour, n);
        });
    });
}

// Slot 11.
int CNxBlitter32::ColourBlend(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                              const RECT& sourceRect, const CNxBlitParams* params) const {
    const std::uint32_t flags = flagsOf(params);
    const std::uint32_t colour = colourOf(params);
    const std::uint32_t a = colour >> 24;
    const std::uint32_t mode = flags & NxBlt_BlendModeMask;
    if (a == 0) {
        return 1;
    }
    if (!(flags & NxBlt_ForceBlend) && a == 255 && mode == NxBlend_Normal) {
        return FillRect(dest, destRect, source, sourceRect, params);
    }
    const CNxBlitCombiners::Fn combine = find(Op::Colour, mode);
    if (combine == nullptr) {
        return 0;
    }
    CNxBlitCombiners::Context ctx;
    ctx.m_colour = colour;
    ctx.m_w = ctx.m_t->W(a)[0];
    return DrawColour(dest, destRect, combine, ctx);
}

// Slots 12 and 14: the colour through an 8-bit coverage mask.
int CNxBlitter32::ColourThroughMask(CNxSurface& dest, const RECT& destRect,
                                    const CNxSurface& source, const RECT& sourceRect,
                                    const CNxBlitParams* params, CNxBlitCombiners::Fn combine) {
    if (combine == nullptr || source.GetBitCount() != 8) {
        return 0;
    }
    const std::uint32_t colour = colourOf(params);
    if ((colour >> 24) == 0) {
        return CNxBlitGeometry::SameSize(destRect, sourceRect) ? 1 : 0;
    }
    CNxBlitPass pass;
    pass.m_mask = &source.GetImage();
    pass.m_combine = combine;
    pass.m_ctx.m_colour = colour;
    pass.m_ctx.m_alpha = colour >> 24;
    return Draw(pass, dest, destRect, source, sourceRect, CNxBlitGeometry::kSameSizeOnly, false);
}

// Slot 12.
int CNxBlitter32::ColourMask(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                             const RECT& sourceRect, const CNxBlitParams* params) const {
    // The coverage mask belongs to the destination as a whole, so it must match it exactly;
    // equal rectangles alone would let a mask of another picture through.
    if (source.GetWidth() != dest.GetWidth() || source.GetHeight() != dest.GetHeight()) {
        return 0;
    }
    return ColourThroughMask(dest, destRect, source, sourceRect, params,
                             find(Op::ColourMask, flagsOf(params) & NxBlt_BlendModeMask));
}

// Slot 13.
int CNxBlitter32::ColourDestAlpha(CNxSurface& dest, const RECT& destRect, const CNxSurface&,
                                  const RECT&, const CNxBlitParams* params) const {
    const std::uint32_t colour = colourOf(params);
    if ((flagsOf(params) & NxBlt_BlendModeMask) != NxBlend_Normal) {
        return 0;
    }
    if ((colour >> 24) == 0) {
        return 1;
    }
    CNxBlitCombiners::Context ctx;
    ctx.m_colour = colour;
    ctx.m_alpha = colour >> 24;
    return DrawColour(dest, destRect, find(Op::CompositeColour), ctx);
}

// Slot 14.
int CNxBlitter32::ColourMaskDestAlpha(CNxSurface& dest, const RECT& destRect,
                                      const CNxSurface& source, const RECT& sourceRect,
                                      const CNxBlitParams* params) const {
    return ColourThroughMask(dest, destRect, source, sourceRect, params,
                             find(Op::CompositeColourMask, flagsOf(params) & NxBlt_BlendModeMask));
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
    if (!CNxBlitGeometry::SameSize(destRect, sourceRect) || level > 512 || softness > 511 ||
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
    if (mask ? !maskCovers(*mask, sourceRect, *params) : (flags & NxBlt_SourceAlpha) != 0) {
        return 0;
    }
    std::uint8_t r[256];
    transitionTable(level, softness, alpha, r);
    CNxBlitPass pass = pixelPass(source, Op::TransitionAlpha, alpha);
    pass.m_ctx.m_r = r;
    if (mask) {
        pass.m_mask = &mask->GetImage();
        pass.m_maskDx = params->m_maskX;
        pass.m_maskDy = params->m_maskY;
        pass.m_combine =
            find(flags & NxBlt_SourceAlpha ? Op::TransitionMaskAlpha : Op::TransitionMask);
    }
    return Draw(pass, dest, destRect, source, sourceRect, CNxBlitGeometry::kSameSizeOnly, false);
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
    const std::uint32_t alpha = constantAlpha(params);
    if (const auto settled = settledBeforeDrawing(source, flags, alpha, destRect, sourceRect)) {
        return *settled;
    }
    // The average is stored as it is at full opacity, blended otherwise.
    const Op op = flags & NxBlt_SourceAlpha                     ? Op::SourceAlpha
                  : alpha == 255 && !(flags & NxBlt_ForceBlend) ? Op::Copy
                                                                : Op::ConstantAlpha;
    CNxBlitPass pass = pixelPass(source, op, alpha);
    pass.m_blurRadius = radius;
    pass.m_ctx.m_w = pass.m_ctx.m_t->W(alpha)[0];
    return Draw(pass, dest, destRect, source, sourceRect, CNxBlitGeometry::kSameSizeOnly, false);
}
