#include "gfx/CNxSprite.h"

#include "gfx/CNxSurface.h"

CNxSprite::CNxSprite(const CNxSurface* surface, const RECT* rect) {
    SetSurface(surface, rect);
}

void CNxSprite::SetSurface(const CNxSurface* surface, const RECT* rect) {
    m_surface = surface;
    SetRect(rect);
}

void CNxSprite::SetRect(const RECT* rect) {
    if (rect == nullptr && m_surface != nullptr) {
        const RECT whole{0, 0, m_surface->GetWidth(), m_surface->GetHeight()};
        CNxLayer::SetRect(&whole);
    } else {
        CNxLayer::SetRect(rect);
    }
}

bool CNxSprite::Draw(CNxSurface* surface, const RECT* rect) {
    if (m_surface != nullptr && rect != nullptr) {
        surface->Blit(rect->left, rect->top, m_surface, rect, &m_params);
    }
    return true;
}

void CNxSprite::SetParams(const CNxBlitParams* params, bool invalidate) {
    m_params = params != nullptr ? *params : CNxBlitParams();
    if (invalidate) {
        Invalidate();
    }
}
