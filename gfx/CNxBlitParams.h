#pragma once

#include <cstdint>

class CNxSurface;

// Operation bits of CNxBlitParams::m_flags. A sprite or caller combines them; the low four bits
// are the blend mode.
enum : std::uint32_t {
    NxBlt_BlendModeMask = 0xF,
    NxBlt_ConstantAlpha = 0x10,     // use m_alpha; without it the constant alpha is 255
    NxBlt_DestAlpha = 0x20,         // composite onto a destination whose alpha matters
    NxBlt_ColourSource = 0xC0,      // both bits: m_colour replaces the source pixels
    NxBlt_ChannelMask = 0x200,      // dest = (dest AND NOT m_mask) OR (source AND m_mask)
    NxBlt_SourceAlpha = 0x800,      // per-pixel alpha from the source (or the 8-bit mask)
    NxBlt_MaskTransition = 0x1000,  // threshold wipe through an 8-bit rule mask
    NxBlt_Smooth = 0x2000,          // stretched copies and blends filter bilinearly
    NxBlt_MirrorX = 0x4000,         // swap the source's left and right first
    NxBlt_MirrorY = 0x8000,         // swap the source's top and bottom first
    NxBlt_ForceBlend = 0x10000,     // never shortcut a full-opacity normal blend to a copy
    NxBlt_BlurX = 0x20000,          // horizontal box blur of the source, radius m_radius
    NxBlt_SmoothAlt = 0x40000,      // smooth source-alpha stretch: no colour borrowing, W3
    NxBlt_Custom = 0x80000000u,     // hand the whole call to the surface's extension
};

// Blend modes, the low four bits of the flags.
enum : std::uint32_t {
    NxBlend_Normal = 0,
    NxBlend_Add = 1,
    NxBlend_Subtract = 2,
    NxBlend_Multiply = 3,
    NxBlend_Screen = 4,
    NxBlend_Lighten = 5,
    NxBlend_Darken = 6,
    NxBlend_ColourBurn = 7,  // source-alpha blends only, like the two below
    NxBlend_Overlay = 8,
    NxBlend_SoftLight = 9,
};

// The block that selects how a blit, fill or sprite is drawn. Zero-initialise it and set what the
// operation reads; the fields after m_colour matter only to the operations named beside them.
struct CNxBlitParams {
    std::uint32_t m_flags = 0;
    std::uint32_t m_mask = 0;      // channel mask for NxBlt_ChannelMask
    std::uint32_t m_colour = 0;    // 0xAARRGGBB; for NxBlt_MaskTransition the level 0-512
    std::uint32_t m_softness = 0;  // transition ramp width in mask levels, 0-511
    std::int32_t m_maskX = 0;      // where the source rectangle sits in the rule mask
    std::int32_t m_maskY = 0;
    const CNxSurface* m_ruleMask = nullptr;  // 8-bit rule mask of a transition, or null
    std::uint32_t m_radius = 0;              // NxBlt_BlurX radius, 0 for none
    std::uint32_t m_alpha = 0;  // constant opacity 0-255 with NxBlt_ConstantAlpha; above fails
};
