#include "gfx/CNxSurfaceExtension.h"

CNxSurfaceExtension::~CNxSurfaceExtension() = default;

int CNxSurfaceExtension::Blit(CNxSurface&, const RECT&, const CNxSurface&, const RECT&,
                              const CNxBlitParams&) {
    return 0;
}
