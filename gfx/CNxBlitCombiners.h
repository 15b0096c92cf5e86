#pragma once

#include <cstdint>

#include "gfx/CNxBlendTables.h"
#include "gfx/CNxRowOps.h"

// How the 32-bit operations mix one run of pixels into the destination: one combiner per
// operator and blend mode, looked up in a table. A combiner gets the destination run d, the
// source run s (null for colour operators) and the mask bytes m (null unless the operator reads
// a mask), n pixels each, and the constants of the call. Normal-mode blends and copies run the
// SIMD rows of CNxRowOps; the other modes one pixel at a time.
class CNxBlitCombiners {
public:
    struct Context {
        const CNxBlendTables* m_t = &CNxBlendTables::Get();
        const CNxRowOps* m_ops = &CNxRowOps::Best();
        std::uint32_t m_w = 0;              // constant weight
        std::uint32_t m_alpha = 0;          // constant alpha
        std::uint32_t m_colour = 0;         // colour source
        std::uint32_t m_mask = 0;           // channel mask
        const std::uint8_t* m_r = nullptr;  // transition table
    };

    using Fn = void (*)(std::uint32_t* d, const std::uint32_t* s, const std::uint8_t* m, int n,
                        const Context& c);

    enum class Op {
        Copy,                  // the source as it is
        ConstantAlpha,         // the source by one weight, modes 0-6
        SourceAlpha,           // the source by its alpha scaled by the constant alpha, modes 0-9
        SourceAlphaW3,         // the same through W3, for filtered stretches with NxBlt_SmoothAlt
        Colour,                // the colour by one weight, modes 0-6
        ColourMask,            // the colour by the mask scaled by its alpha, modes 0-6
        Composite,             // over a destination whose alpha matters, by the constant alpha
        CompositeSourceAlpha,  // ... by the source alpha scaled by the constant alpha
        CompositeColour,       // the colour over such a destination, by its alpha
        CompositeColourMask,   // ... by the mask scaled by its alpha
        ChannelMask,           // the source's bits under the channel mask
        ColourChannelMask,     // the colour's bits under the channel mask
        TransitionMask,        // the source by the transition table at the mask value
        TransitionAlpha,       // ... at the source alpha (no mask)
        TransitionMaskAlpha,   // ... at the mask value, scaled by the source alpha
        Count
    };

    // The combiner of op in blend mode `mode`, or null when op does not take that mode
    // (operators without modes take only mode 0).
    static Fn Find(Op op, std::uint32_t mode);
};
