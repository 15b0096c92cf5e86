#pragma once

#include "gfx/CNxBlitter.h"

// The operations onto 8-bit surfaces (indices or mask values): masked writes, copies from 8-bit
// sources, fills with the colour's low byte, and the blends only where they come down to a copy
// or an opaque fill. Everything else is refused.
class CNxBlitter8 : public CNxBlitter {
public:
    static const CNxBlitter8& Instance();

    int BlurX(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
              const RECT& sourceRect, const CNxBlitParams* params) const override;
    int ChannelMask(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                    const RECT& sourceRect, const CNxBlitParams* params) const override;
    int Copy(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
             const RECT& sourceRect, const CNxBlitParams* params) const override;
    int ConstantAlpha(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                      const RECT& sourceRect, const CNxBlitParams* params) const override;
    int FillRect(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                 const RECT& sourceRect, const CNxBlitParams* params) const override;
    int ColourBlend(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                    const RECT& sourceRect, const CNxBlitParams* params) const override;

private:
    CNxBlitter8() = default;
};
