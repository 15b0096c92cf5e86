#include "gfx/CNxBlitCombiners.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "gfx/CNxBlitParams.h"

namespace {

using Context = CNxBlitCombiners::Context;
using Fn = CNxBlitCombiners::Fn;
using Op = CNxBlitCombiners::Op;

// ---- The arithmetic of one pixel ----

template <int Mode>
inline std::uint32_t channel(std::uint32_t d, std::uint32_t s, std::uint32_t w,
                             const CNxBlendTables& t) {
    if (Mode == NxBlend_Add) {
        return t.Clamp(static_cast<int>(d + ((s * w) >> 8)));
    }
    if (Mode == NxBlend_Subtract) {
        return t.Clamp(static_cast<int>(d) - static_cast<int>((s * w) >> 8));
    }
    std::uint32_t f = s;
    switch (Mode) {
        case NxBlend_Multiply:
            f = t.T(s, d);
            break;
        case NxBlend_Screen:
            f = 255 - t.T(255 - s, 255 - d);
            break;
        case NxBlend_Lighten:
            f = std::max(d, s);
            break;
        case NxBlend_Darken:
            f = std::min(d, s);
            break;
        case NxBlend_ColourBurn:
            f = t.ColourBurn(d, s);
            break;
        case NxBlend_Overlay:
            f = t.Overlay(d, s);
            break;
        case NxBlend_SoftLight:
            f = t.SoftLight(d, s);
            break;
        default:
            break;
    }
    // d + floor((f - d) × w / 256) without a negative intermediate.
    return (d * (256 - w) + f * w) >> 8;
}

template <int Mode>
inline std::uint32_t blendPixel(std::uint32_t d, std::uint32_t s, std::uint32_t w,
                                const CNxBlendTables& t) {
    return channel<Mode>(d & 0xFF, s & 0xFF, w, t) |
           channel<Mode>((d >> 8) & 0xFF, (s >> 8) & 0xFF, w, t) << 8 |
           channel<Mode>((d >> 16) & 0xFF, (s >> 16) & 0xFF, w, t) << 16 | (d & 0xFF000000u);
}

// Over a destination whose alpha matters: a is the source's opacity for this pixel.
inline std::uint32_t composite(std::uint32_t d, std::uint32_t s, std::uint32_t a,
                               const CNxBlendTables& t) {
    const std::uint32_t da = d >> 24;
    const std::uint32_t mixed = blendPixel<NxBlend_Normal>(d, s, t.W(t.D(da, a))[0], t);
    return (mixed & 0x00FFFFFFu) | std::uint32_t(t.E(da, a)) << 24;
}

// ---- One loop for every per-pixel combiner ----

// A rule takes the call's constants once, into locals the stores to d cannot touch, and then
// gives pixel i from the destination pixel, the source run and the mask run.
template <typename Rule>
void eachPixel(std::uint32_t* d, const std::uint32_t* s, const std::uint8_t* m, int n,
               const Context& c) {
    const Rule rule(c);
    for (int i = 0; i < n; ++i) {
        d[i] = rule(d[i], s, m, i);
    }
}

struct Tables {
    explicit Tables(const Context& c) : t(*c.m_t) {}
    const CNxBlendTables& t;
};

template <int Mode>
struct ConstantRule : Tables {
    explicit ConstantRule(const Context& c) : Tables(c), w(c.m_w) {}
    std::uint32_t operator()(std::uint32_t d, const std::uint32_t* s, const std::uint8_t*,
                             int i) const {
        return blendPixel<Mode>(d, s[i], w, t);
    }
    std::uint32_t w;
};

template <int Mode>
struct SourceAlphaRule : Tables {
    explicit SourceAlphaRule(const Context& c) : Tables(c), scale(t.TRow(c.m_alpha)) {}
    std::uint32_t operator()(std::uint32_t d, const std::uint32_t* s, const std::uint8_t*,
                             int i) const {
        return blendPixel<Mode>(d, s[i], t.W(scale[s[i] >> 24])[0], t);
    }
    const std::uint8_t* scale;
};

struct SourceAlphaW3Rule : Tables {
    explicit SourceAlphaW3Rule(const Context& c) : Tables(c), scale(t.TRow(c.m_alpha)) {}
    std::uint32_t operator()(std::uint32_t d, const std::uint32_t* s, const std::uint8_t*,
                             int i) const {
        return blendPixel<NxBlend_Normal>(d, s[i], t.W3(scale[s[i] >> 24])[0], t);
    }
    const std::uint8_t* scale;
};

template <int Mode>
struct ColourRule : Tables {
    explicit ColourRule(const Context& c) : Tables(c), colour(c.m_colour), w(c.m_w) {}
    std::uint32_t operator()(std::uint32_t d, const std::uint32_t*, const std::uint8_t*,
                             int) const {
        return blendPixel<Mode>(d, colour, w, t);
    }
    std::uint32_t colour, w;
};

template <int Mode>
struct ColourMaskRule : Tables {
    explicit ColourMaskRule(const Context& c)
        : Tables(c), colour(c.m_colour), scale(t.TRow(c.m_alpha)) {}
    std::uint32_t operator()(std::uint32_t d, const std::uint32_t*, const std::uint8_t* m,
                             int i) const {
        return blendPixel<Mode>(d, colour, t.W(scale[m[i]])[0], t);
    }
    std::uint32_t colour;
    const std::uint8_t* scale;
};

struct CompositeRule : Tables {
    explicit CompositeRule(const Context& c) : Tables(c), alpha(c.m_alpha) {}
    std::uint32_t operator()(std::uint32_t d, const std::uint32_t* s, const std::uint8_t*,
                             int i) const {
        return composite(d, s[i], alpha, t);
    }
    std::uint32_t alpha;
};

struct CompositeSourceAlphaRule : Tables {
    explicit CompositeSourceAlphaRule(const Context& c) : Tables(c), scale(t.TRow(c.m_alpha)) {}
    std::uint32_t operator()(std::uint32_t d, const std::uint32_t* s, const std::uint8_t*,
                             int i) const {
        return composite(d, s[i], scale[s[i] >> 24], t);
    }
    const std::uint8_t* scale;
};

struct CompositeColourRule : Tables {
    explicit CompositeColourRule(const Context& c)
        : Tables(c), colour(c.m_colour), alpha(c.m_alpha) {}
    std::uint32_t operator()(std::uint32_t d, const std::uint32_t*, const std::uint8_t*,
                             int) const {
        return composite(d, colour, alpha, t);
    }
    std::uint32_t colour, alpha;
};

struct CompositeColourMaskRule : Tables {
    explicit CompositeColourMaskRule(const Context& c)
        : Tables(c), colour(c.m_colour), scale(t.TRow(c.m_alpha)) {}
    std::uint32_t operator()(std::uint32_t d, const std::uint32_t*, const std::uint8_t* m,
                             int i) const {
        return composite(d, colour, scale[m[i]], t);
    }
    std::uint32_t colour;
    const std::uint8_t* scale;
};

struct ChannelMaskRule {
    explicit ChannelMaskRule(const Context& c) : mask(c.m_mask) {}
    std::uint32_t operator()(std::uint32_t d, const std::uint32_t* s, const std::uint8_t*,
                             int i) const {
        return (d & ~mask) | (s[i] & mask);
    }
    std::uint32_t mask;
};

struct ColourChannelMaskRule {
    explicit ColourChannelMaskRule(const Context& c)
        : mask(c.m_mask), bits(c.m_colour & c.m_mask) {}
    std::uint32_t operator()(std::uint32_t d, const std::uint32_t*, const std::uint8_t*,
                             int) const {
        return (d & ~mask) | bits;
    }
    std::uint32_t mask, bits;
};

// Transition weights: R[mask value], R[source alpha] without a mask, or with
// NxBlt_SourceAlpha T[R[mask value]][source alpha].
struct TransitionMaskRule : Tables {
    explicit TransitionMaskRule(const Context& c) : Tables(c), r(c.m_r) {}
    std::uint32_t operator()(std::uint32_t d, const std::uint32_t* s, const std::uint8_t* m,
                             int i) const {
        return blendPixel<NxBlend_Normal>(d, s[i], t.W(r[m[i]])[0], t);
    }
    const std::uint8_t* r;
};

struct TransitionAlphaRule : Tables {
    explicit TransitionAlphaRule(const Context& c) : Tables(c), r(c.m_r) {}
    std::uint32_t operator()(std::uint32_t d, const std::uint32_t* s, const std::uint8_t*,
                             int i) const {
        return blendPixel<NxBlend_Normal>(d, s[i], t.W(r[s[i] >> 24])[0], t);
    }
    const std::uint8_t* r;
};

struct TransitionMaskAlphaRule : Tables {
    explicit TransitionMaskAlphaRule(const Context& c) : Tables(c), r(c.m_r) {}
    std::uint32_t operator()(std::uint32_t d, const std::uint32_t* s, const std::uint8_t* m,
                             int i) const {
        return blendPixel<NxBlend_Normal>(d, s[i], t.W(t.T(r[m[i]], s[i] >> 24))[0], t);
    }
    const std::uint8_t* r;
};

// ---- Normal-mode rows: the SIMD forms ----

void copyRow(std::uint32_t* d, const std::uint32_t* s, const std::uint8_t*, int n,
             const Context& c) {
    c.m_ops->m_copy(d, s, n);
}

void constantRow(std::uint32_t* d, const std::uint32_t* s, const std::uint8_t*, int n,
                 const Context& c) {
    c.m_ops->m_blendConstant(d, s, n, c.m_w);
}

void sourceAlphaRow(std::uint32_t* d, const std::uint32_t* s, const std::uint8_t*, int n,
                    const Context& c) {
    c.m_ops->m_blendSourceAlpha(d, s, n, c.m_alpha);
}

void colourRow(std::uint32_t* d, const std::uint32_t*, const std::uint8_t*, int n,
               const Context& c) {
    c.m_ops->m_blendColour(d, n, c.m_colour, c.m_w);
}

// ---- The table: one row per operator, one entry per blend mode ----

constexpr int kModes = NxBlend_SoftLight + 1;

struct Modes {
    Fn fn[kModes];
};

template <template <int> class Rule, std::size_t... M>
constexpr Modes modes(Fn normal, std::index_sequence<M...>) {
    return Modes{{normal, &eachPixel<Rule<int(M) + 1>>...}};
}

// Mode 0 through `normal`, modes 1 .. count - 1 one pixel at a time.
template <template <int> class Rule, int Count>
constexpr Modes upTo(Fn normal) {
    return modes<Rule>(normal, std::make_index_sequence<Count - 1>());
}

constexpr int kDarken = NxBlend_Darken + 1;
constexpr int kAll = kModes;

constexpr Modes kTable[] = {
    {{copyRow}},                                                   // Copy
    upTo<ConstantRule, kDarken>(constantRow),                      // ConstantAlpha
    upTo<SourceAlphaRule, kAll>(sourceAlphaRow),                   // SourceAlpha
    {{&eachPixel<SourceAlphaW3Rule>}},                             // SourceAlphaW3
    upTo<ColourRule, kDarken>(colourRow),                          // Colour
    upTo<ColourMaskRule, kDarken>(&eachPixel<ColourMaskRule<0>>),  // ColourMask
    {{&eachPixel<CompositeRule>}},                                 // Composite
    {{&eachPixel<CompositeSourceAlphaRule>}},                      // CompositeSourceAlpha
    {{&eachPixel<CompositeColourRule>}},                           // CompositeColour
    {{&eachPixel<CompositeColourMaskRule>}},                       // CompositeColourMask
    {{&eachPixel<ChannelMaskRule>}},                               // ChannelMask
    {{&eachPixel<ColourChannelMaskRule>}},                         // ColourChannelMask
    {{&eachPixel<TransitionMaskRule>}},                            // TransitionMask
    {{&eachPixel<TransitionAlphaRule>}},                           // TransitionAlpha
    {{&eachPixel<TransitionMaskAlphaRule>}},                       // TransitionMaskAlpha
};
static_assert(std::size(kTable) == static_cast<std::size_t>(Op::Count), "one row per operator");

}  // namespace

CNxBlitCombiners::Fn CNxBlitCombiners::Find(Op op, std::uint32_t mode) {
    return mode < kModes ? kTable[static_cast<int>(op)].fn[mode] : nullptr;
}
