#pragma once

#include "gfx/CNxBlitCombiners.h"
#include "gfx/CNxBlitter.h"

struct CNxBlitPass;

// The operations onto 32-bit surfaces. Slot 8 (colour through a blurred mask) and slots 15-18
// are refused.
class CNxBlitter32 : public CNxBlitter {
public:
    static const CNxBlitter32& Instance();

    int BlurX(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
              const RECT& sourceRect, const CNxBlitParams* params) const override;
    int ChannelMask(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                    const RECT& sourceRect, const CNxBlitParams* params) const override;
    int Copy(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
             const RECT& sourceRect, const CNxBlitParams* params) const override;
    int MaskTransition(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                       const RECT& sourceRect, const CNxBlitParams* params) const override;
    int ConstantAlpha(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                      const RECT& sourceRect, const CNxBlitParams* params) const override;
    int SourceAlpha(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                    const RECT& sourceRect, const CNxBlitParams* params) const override;
    int DestAlpha(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                  const RECT& sourceRect, const CNxBlitParams* params) const override;
    int DestAlphaSourceAlpha(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                             const RECT& sourceRect, const CNxBlitParams* params) const override;
    int ColourChannelMask(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                          const RECT& sourceRect, const CNxBlitParams* params) const override;
    int FillRect(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                 const RECT& sourceRect, const CNxBlitParams* params) const override;
    int ColourBlend(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                    const RECT& sourceRect, const CNxBlitParams* params) const override;
    int ColourMask(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                   const RECT& sourceRect, const CNxBlitParams* params) const override;
    int ColourDestAlpha(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                        const RECT& sourceRect, const CNxBlitParams* params) const override;
    int ColourMaskDestAlpha(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                            const RECT& sourceRect, const CNxBlitParams* params) const override;

private:
    CNxBlitter32() = default;

    // Runs pass over the clip of destRect and sourceRect.
    static int Draw(const CNxBlitPass& pass, CNxSurface& dest, const RECT& destRect,
                    const CNxSurface& source, const RECT& sourceRect,
                    CNxBlitGeometry::Sizing sizing, bool smooth);
    // Runs combine over every clipped row of destRect, for the operations without a source.
    static int DrawColour(CNxSurface& dest, const RECT& destRect, CNxBlitCombiners::Fn combine,
                          const CNxBlitCombiners::Context& ctx);
    // Same-size, unmirrored copies between 32-bit surfaces: whole blocks or rows, no staging.
    static void CopyPixels(CNxSurface& dest, const CNxSurface& source, const CNxBlitGeometry& g);
    static int Composite(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                         const RECT& sourceRect, const CNxBlitParams* params,
                         CNxBlitCombiners::Op op);
    static int ColourThroughMask(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                                 const RECT& sourceRect, const CNxBlitParams* params,
                                 CNxBlitCombiners::Fn combine);
};
