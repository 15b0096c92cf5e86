#pragma once

#include <cstdint>

#include "gfx/CNxDIBImage.h"
#include "gfx/NxTypes.h"

class CNxSurface;

// Where a blit lands once clipped: the destination pixels to draw and, for each, the source pixel
// it takes. Computed once at the top of a blit, in 64-bit arithmetic, so that the loops below need
// no checks. A source rectangle with right < left (bottom < top) is mirrored: the destination's
// left (top) edge pairs with the source's larger edge and the source is walked backwards.
//
// Destination pixel i of an axis (counted from the unclipped destination edge) takes the source
// pixel at walk position floor(i × step / 2^32) from the source's near edge; the step is exactly
// 1.0 for same-size blits and |source| / |destination| (32.32) for stretched ones. A smooth
// stretch pulls the far source edge in by one pixel so that the right and lower neighbours of
// every sample exist.
class CNxBlitGeometry {
public:
    enum Result { kRefused, kEmpty, kDraw };
    enum Sizing { kSameSizeOnly, kMayStretch };

    struct Axis {
        std::int32_t m_dest = 0;        // first destination pixel drawn, surface coordinates
        std::int32_t m_count = 0;       // destination pixels drawn
        std::int64_t m_sourceNear = 0;  // source pixel at walk position 0
        std::int32_t m_dir = 1;         // +1, or -1 for a mirrored source
        std::uint64_t m_start = 0;      // walk position of the first drawn pixel, 32.32
        std::uint64_t m_step = 0;       // walk advance per destination pixel, 32.32
        // The source pixel that destination pixel m_dest takes.
        std::int32_t FirstSource() const {
            return static_cast<std::int32_t>(m_sourceNear + m_dir * std::int64_t(m_start >> 32));
        }
        // The source pixel at walk position p (32.32).
        std::int32_t SourceAt(std::uint64_t p) const {
            return static_cast<std::int32_t>(m_sourceNear + m_dir * std::int64_t(p >> 32));
        }
    };

    // Whether sourceRect, mirrored or not, has the size of destRect: a blit without stretching.
    static bool SameSize(const RECT& destRect, const RECT& sourceRect);

    // Clips destRect (moved by the destination's origin, limited to its clip rectangle) against
    // sourceRect on a source of sourceWidth × sourceHeight pixels. kRefused: the sizes differ and
    // sizing is kSameSizeOnly. kEmpty: nothing to draw. smooth asks for bilinear filtering; it is
    // granted (m_smooth) only for stretches from at least 2 × 2 to more than half the size.
    Result Compute(const CNxSurface& dest, const RECT& destRect, std::int32_t sourceWidth,
                   std::int32_t sourceHeight, const RECT& sourceRect, Sizing sizing, bool smooth);

    // Whether the rows an image gives this blit, taken from the first drawn destination row on,
    // lie at ascending addresses. Loops that read rows in that order read one stream, which the
    // processor fetches ahead; bottom-up pictures read from the top would be a short stream per
    // row.
    bool RowsAscend(const CNxDIBImage& image) const {
        return (image.GetPitch() > 0) == (m_y.m_dir > 0);
    }

    Axis m_x;
    Axis m_y;
    bool m_stretched = false;
    bool m_smooth = false;
};
