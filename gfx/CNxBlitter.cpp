#include "gfx/CNxBlitter.h"

#include <utility>

#include "gfx/CNxSurface.h"
#include "gfx/CNxSurfaceExtension.h"

int CNxBlitter::SelectSlot(std::uint32_t flags) {
    if (flags == 0) {
        return 2;
    }
    // The order of these tests decides combinations and is part of the contract.
    if ((flags & NxBlt_ColourSource) == NxBlt_ColourSource) {
        if ((flags & (NxBlt_SourceAlpha | NxBlt_DestAlpha)) ==
            (NxBlt_SourceAlpha | NxBlt_DestAlpha)) {
            return 14;
        }
        if (flags & NxBlt_BlurX) {
            return 8;
        }
        if (flags & NxBlt_SourceAlpha) {
            return 12;
        }
        if (flags & NxBlt_DestAlpha) {
            return 13;
        }
        if (flags & NxBlt_ChannelMask) {
            return 9;
        }
        return 11;
    }
    if (flags & NxBlt_MaskTransition) {
        return 3;
    }
    if (flags & NxBlt_BlurX) {
        return 0;
    }
    if ((flags & (NxBlt_SourceAlpha | NxBlt_DestAlpha)) == (NxBlt_SourceAlpha | NxBlt_DestAlpha)) {
        return 7;
    }
    if (flags & NxBlt_SourceAlpha) {
        return 5;
    }
    if (flags & NxBlt_DestAlpha) {
        return 6;
    }
    if (flags & NxBlt_ChannelMask) {
        return 1;
    }
    return 4;
}

int CNxBlitter::Blit(CNxSurface& dest, const RECT* destRect, const CNxSurface* source,
                     const RECT* sourceRect, const CNxBlitParams* params) {
    RECT d = destRect ? *destRect : RECT{0, 0, dest.GetWidth(), dest.GetHeight()};
    RECT s;
    if (source == nullptr) {
        source = &dest;
        s = d;
    } else {
        s = sourceRect ? *sourceRect : RECT{0, 0, source->GetWidth(), source->GetHeight()};
    }
    const std::uint32_t flags = params ? params->m_flags : 0;
    if (flags != 0) {
        if (flags & NxBlt_MirrorX) {
            std::swap(s.left, s.right);
        }
        if (flags & NxBlt_MirrorY) {
            std::swap(s.top, s.bottom);
        }
        if (flags & NxBlt_Custom) {
            return dest.GetExtension().Blit(dest, d, *source, s, *params);
        }
    }
    return dest.GetBlitter().CallSlot(SelectSlot(flags), dest, d, *source, s,
                                      flags != 0 ? params : nullptr);
}

int CNxBlitter::Fill(CNxSurface& dest, const RECT* rect, std::uint32_t colour) {
    const RECT r = rect ? *rect : RECT{0, 0, dest.GetWidth(), dest.GetHeight()};
    CNxBlitParams params;
    params.m_colour = colour;
    return dest.GetBlitter().FillRect(dest, r, dest, r, &params);
}

int CNxBlitter::CallSlot(int slot, CNxSurface& dest, const RECT& destRect, const CNxSurface& source,
                         const RECT& sourceRect, const CNxBlitParams* params) const {
    using Slot = int (CNxBlitter::*)(CNxSurface&, const RECT&, const CNxSurface&, const RECT&,
                                     const CNxBlitParams*) const;
    static constexpr Slot kSlots[kSlotCount] = {
        &CNxBlitter::BlurX,
        &CNxBlitter::ChannelMask,
        &CNxBlitter::Copy,
        &CNxBlitter::MaskTransition,
        &CNxBlitter::ConstantAlpha,
        &CNxBlitter::SourceAlpha,
        &CNxBlitter::DestAlpha,
        &CNxBlitter::DestAlphaSourceAlpha,
        &CNxBlitter::ColourBlur,
        &CNxBlitter::ColourChannelMask,
        &CNxBlitter::FillRect,
        &CNxBlitter::ColourBlend,
        &CNxBlitter::ColourMask,
        &CNxBlitter::ColourDestAlpha,
        &CNxBlitter::ColourMaskDestAlpha,
        &CNxBlitter::Slot15,
        &CNxBlitter::Slot16,
        &CNxBlitter::Slot17,
        &CNxBlitter::Slot18,
    };
    if (slot < 0 || slot >= kSlotCount) {
        return 0;
    }
    return (this->*kSlots[slot])(dest, destRect, source, sourceRect, params);
}

#define PELORIN_REFUSE(name)                                                       \
    int CNxBlitter::name(CNxSurface&, const RECT&, const CNxSurface&, const RECT&, \
                         const CNxBlitParams*) const {                             \
        return 0;                                                                  \
    }
PELORIN_REFUSE(BlurX)
PELORIN_REFUSE(ChannelMask)
PELORIN_REFUSE(Copy)
PELORIN_REFUSE(MaskTransition)
PELORIN_REFUSE(ConstantAlpha)
PELORIN_REFUSE(SourceAlpha)
PELORIN_REFUSE(DestAlpha)
PELORIN_REFUSE(DestAlphaSourceAlpha)
PELORIN_REFUSE(ColourBlur)
PELORIN_REFUSE(ColourChannelMask)
PELORIN_REFUSE(FillRect)
PELORIN_REFUSE(ColourBlend)
PELORIN_REFUSE(ColourMask)
PELORIN_REFUSE(ColourDestAlpha)
PELORIN_REFUSE(ColourMaskDestAlpha)
PELORIN_REFUSE(Slot15)
PELORIN_REFUSE(Slot16)
PELORIN_REFUSE(Slot17)
PELORIN_REFUSE(Slot18)
#undef PELORIN_REFUSE
