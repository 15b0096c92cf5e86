#pragma once

#include "gfx/CNxBlitter.h"

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
};
