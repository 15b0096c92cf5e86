#pragma once

#include <cstdint>

#include "gfx/CNxBlitCombiners.h"

class CNxBlitGeometry;
class CNxDIBImage;
class CNxSurface;

// One pass of a 32-bit operation over its clipped geometry: each destination row is taken in
// runs; for each run the source pixels are fetched (mirrored, looked up in a colour table,
// stretched, filtered or blurred as the pass says) together with the mask bytes that belong to
// them, and handed to the combiner. Runs are staged on the stack: no allocation per call.
struct CNxBlitPass {
    enum class SourceKind {
        kNone,    // colour operations
        kPixels,  // 32-bit pixels
        kLookup,  // 8-bit indices through the colour table
        kGrey,    // 8-bit values spread to all four bytes
    };

    const CNxDIBImage* m_source = nullptr;
    SourceKind m_kind = SourceKind::kNone;
    bool m_borrow = false;                    // colour borrowing before filtering
    std::uint32_t m_blurRadius = 0;           // > 0: box-blur the source rows
    const CNxDIBImage* m_mask = nullptr;      // 8-bit bytes that follow the source pixels
    std::int64_t m_maskDx = 0, m_maskDy = 0;  // mask pixel = source pixel + (dx, dy)
    CNxBlitCombiners::Fn m_combine = nullptr;
    CNxBlitCombiners::Context m_ctx;

    // The kind of a surface's pixels as a source: 32-bit pixels or indices into its table.
    static SourceKind KindOf(const CNxSurface& source);

    void Run(CNxSurface& dest, const CNxBlitGeometry& g) const;
};
