#pragma once

#include <cstdint>

#include "gfx/CNxBlitGeometry.h"
#include "gfx/CNxBlitParams.h"
#include "gfx/CNxSurface.h"
#include "gfx/NxTypes.h"

// The pixel operations of one destination format, one virtual operation per slot in the order
// the dispatch numbers them. Each takes (destination, destRect, source, sourceRect, params) with
// the rectangles already defaulted and the source never missing (the destination stands in),
// and returns 1 on success, also when nothing is drawn, or 0 for a combination it does not
// support, in which case it draws nothing. The base refuses everything; CNxBlitter32 and
// CNxBlitter8 are the two shared, stateless tables.
class CNxBlitter {
public:
    static constexpr int kSlotCount = 19;

    // Chooses the slot for the flags and runs it on the destination's blitter. destRect null:
    // the whole destination; sourceRect null: the whole source; source null: the destination
    // itself with sourceRect = destRect.
    static int Blit(CNxSurface& dest, const RECT* destRect, const CNxSurface* source,
                    const RECT* sourceRect, const CNxBlitParams* params);
    // Slot 10 with colour as the colour word; rect null: the whole surface.
    static int Fill(CNxSurface& dest, const RECT* rect, std::uint32_t colour);
    // The slot the dispatch picks for params with these flags (2 for flags 0).
    static int SelectSlot(std::uint32_t flags);

    // Runs slot 0..18; 0 for any other number.
    int CallSlot(int slot, CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                 const RECT& sourceRect, const CNxBlitParams* params) const;

    virtual int BlurX(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                      const RECT& sourceRect, const CNxBlitParams* params) const;  // 0
    virtual int ChannelMask(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                            const RECT& sourceRect, const CNxBlitParams* params) const;  // 1
    virtual int Copy(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                     const RECT& sourceRect, const CNxBlitParams* params) const;  // 2
    virtual int MaskTransition(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                               const RECT& sourceRect, const CNxBlitParams* params) const;  // 3
    virtual int ConstantAlpha(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                              const RECT& sourceRect, const CNxBlitParams* params) const;  // 4
    virtual int SourceAlpha(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                            const RECT& sourceRect, const CNxBlitParams* params) const;  // 5
    virtual int DestAlpha(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                          const RECT& sourceRect, const CNxBlitParams* params) const;  // 6
    virtual int DestAlphaSourceAlpha(CNxSurface& dest, const RECT& destRect,
                                     const CNxSurface& source, const RECT& sourceRect,
                                     const CNxBlitParams* params) const;  // 7
    virtual int ColourBlur(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                           const RECT& sourceRect, const CNxBlitParams* params) const;  // 8
    virtual int ColourChannelMask(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                                  const RECT& sourceRect,
                                  const CNxBlitParams* params) const;  // 9
    virtual int FillRect(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                         const RECT& sourceRect, const CNxBlitParams* params) const;  // 10
    virtual int ColourBlend(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                            const RECT& sourceRect, const CNxBlitParams* params) const;  // 11
    virtual int ColourMask(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                           const RECT& sourceRect, const CNxBlitParams* params) const;  // 12
    virtual int ColourDestAlpha(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                                const RECT& sourceRect, const CNxBlitParams* params) const;  // 13
    virtual int ColourMaskDestAlpha(CNxSurface& dest, const RECT& destRect,
                                    const CNxSurface& source, const RECT& sourceRect,
                                    const CNxBlitParams* params) const;  // 14
    // 15-18: operations the dispatch never selects.
    virtual int Slot15(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                       const RECT& sourceRect, const CNxBlitParams* params) const;
    virtual int Slot16(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                       const RECT& sourceRect, const CNxBlitParams* params) const;
    virtual int Slot17(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                       const RECT& sourceRect, const CNxBlitParams* params) const;
    virtual int Slot18(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                       const RECT& sourceRect, const CNxBlitParams* params) const;

protected:
    static std::uint32_t flagsOf(const CNxBlitParams* params) {
        return params ? params->m_flags : 0;
    }
    // The constant alpha of an operation: the alpha word with NxBlt_ConstantAlpha, else 255.
    // Values above 255 make the operation fail.
    static std::uint32_t constantAlpha(const CNxBlitParams* params) {
        return flagsOf(params) & NxBlt_ConstantAlpha ? params->m_alpha : 255;
    }
    // What a constant-alpha blit (slot 4) comes to before any pixel is mixed, in both formats.
    enum class AlphaShortcut { Refuse, Nothing, Copy, Blend };
    static AlphaShortcut constantAlphaShortcut(const CNxBlitParams* params) {
        const std::uint32_t flags = flagsOf(params);
        const std::uint32_t alpha = constantAlpha(params);
        if (alpha > 255) {
            return AlphaShortcut::Refuse;
        }
        if (alpha == 0) {
            return AlphaShortcut::Nothing;
        }
        if (alpha == 255 && (flags & NxBlt_BlendModeMask) == NxBlend_Normal &&
            !(flags & NxBlt_ForceBlend)) {
            return AlphaShortcut::Copy;
        }
        return AlphaShortcut::Blend;
    }

    // The one clip of every operation that reads a source, in both formats: destRect moved by
    // the destination's origin and cut to its clip rectangle, paired with sourceRect on the
    // source image. 0 when the sizes differ and sizing is kSameSizeOnly; otherwise 1, after
    // draw(geometry) when anything is left to draw.
    template <typename Draw>
    static int ClipAndDraw(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                           const RECT& sourceRect, CNxBlitGeometry::Sizing sizing, bool smooth,
                           Draw&& draw) {
        CNxBlitGeometry g;
        const CNxBlitGeometry::Result result = g.Compute(
            dest, destRect, source.GetWidth(), source.GetHeight(), sourceRect, sizing, smooth);
        if (result == CNxBlitGeometry::kDraw) {
            draw(static_cast<const CNxBlitGeometry&>(g));
        }
        return result == CNxBlitGeometry::kRefused ? 0 : 1;
    }
    // Fills and colour operations, which read no source: destRect cut the same way, then
    // draw(rect) when anything is left. Always 1.
    template <typename Draw>
    static int ClipAndFill(CNxSurface& dest, const RECT& destRect, Draw&& draw) {
        RECT r = destRect;
        if (dest.ClipToSurface(r)) {
            draw(static_cast<const RECT&>(r));
        }
        return 1;
    }
    // The rows top .. bottom - 1 of an image in the order they lie in memory, which the
    // processor fetches ahead as one stream.
    template <typename Row>
    static void EachRowInMemoryOrder(const CNxDIBImage& image, std::int32_t top,
                                     std::int32_t bottom, Row&& row) {
        for (std::int32_t k = top; k < bottom; ++k) {
            row(image.GetPitch() > 0 ? k : top + bottom - 1 - k);
        }
    }
    // Same-size, unmirrored copies of whole rows in a format of bytesPerPixel: copyRow(d, s, n)
    // for each row.
    template <typename CopyRow>
    static void CopyRows(CNxSurface& dest, const CNxSurface& source, const CNxBlitGeometry& g,
                         int bytesPerPixel, CopyRow&& copyRow) {
        const std::int32_t sx = g.m_x.FirstSource(), sy = g.m_y.FirstSource();
        const std::int32_t rows = g.m_y.m_count;
        // Within one surface the rows go in the order that reads each before it is overwritten,
        // otherwise in the order the source lies in memory.
        const bool self = &source == &dest;
        const bool backwards = self ? g.m_y.m_dest > sy : !g.RowsAscend(source.GetImage());
        for (std::int32_t k = 0; k < rows; ++k) {
            const std::int32_t j = backwards ? rows - 1 - k : k;
            copyRow(
                dest.GetImage().Row(g.m_y.m_dest + j) + std::int64_t(g.m_x.m_dest) * bytesPerPixel,
                source.GetImage().Row(sy + j) + std::int64_t(sx) * bytesPerPixel, g.m_x.m_count);
        }
    }

    CNxBlitter() = default;
    ~CNxBlitter() = default;  // shared statics, never deleted through this type
    CNxBlitter(const CNxBlitter&) = delete;
    CNxBlitter& operator=(const CNxBlitter&) = delete;
};
