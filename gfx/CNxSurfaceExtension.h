#pragma once

#include "gfx/NxTypes.h"

class CNxSurface;
struct CNxBlitParams;

// A surface's companion for the blits that carry NxBlt_Custom. The library generates no
// specialised loops at run time, so every such call is refused; the generic operations draw
// everything the editor uses.
class CNxSurfaceExtension {
public:
    virtual ~CNxSurfaceExtension();

    // 0: not drawn.
    virtual int Blit(CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                     const RECT& sourceRect, const CNxBlitParams& params);
};
