#pragma once

#include "gfx/CNxBlitParams.h"
#include "gfx/CNxLayer.h"

class CNxSurface;

// A node that shows part of a surface, drawn with its blit parameters. The surface is not
// owned: whoever created it keeps it alive while the sprite shows it.
class CNxSprite : public CNxLayer {
public:
    // rect null: the whole surface.
    explicit CNxSprite(const CNxSurface* surface, const RECT* rect = nullptr);

    // Null: the whole surface.
    void SetRect(const RECT* rect) override;
    bool Draw(CNxSurface* surface, const RECT* rect) override;
    virtual void SetSurface(const CNxSurface* surface, const RECT* rect = nullptr);

    // Copies params (null clears them); with invalidate the whole sprite is redrawn.
    void SetParams(const CNxBlitParams* params, bool invalidate = true);
    const CNxSurface* GetSurface() const { return m_surface; }

private:
    const CNxSurface* m_surface = nullptr;
    CNxBlitParams m_params;
};
