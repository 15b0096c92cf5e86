#include "gfx/CNxBlitter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "gfx/CNxSurface.h"
#include "tests/gfx/PixelHelpers.h"

using pixels::get;
using pixels::refBlend;
using pixels::refT;
using pixels::refW;
using pixels::set;

namespace {

// Pixels whose channels, over a 256 × 256 grid, pair every destination value (from y) with every
// source value (from x), each channel in its own order. Destination alphas vary so that keeping
// them is tested too.
std::uint32_t gridDest(int x, int y) {
    return std::uint32_t((x * 3 + y) & 255) << 24 | std::uint32_t((y * 37) & 255) << 16 |
           std::uint32_t(255 - y) << 8 | std::uint32_t(y);
}

std::uint32_t gridSource(int x, int sourceAlpha) {
    return std::uint32_t(sourceAlpha) << 24 | std::uint32_t(255 - x) << 16 |
           std::uint32_t(x ^ 0x5A) << 8 | std::uint32_t(x);
}

class AllPairs : public ::testing::Test {
protected:
    AllPairs() {
        m_dest.Create(256, 256);
        m_source.Create(256, 256);
        m_mask.Create(256, 256);
        std::mt19937 random(7);
        pixels::randomise(m_mask, random);
    }

    void resetDest() {
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                set(m_dest, x, y, gridDest(x, y));
            }
        }
    }

    void fillSource(int sourceAlpha) {
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                set(m_source, x, y, gridSource(x, sourceAlpha));
            }
        }
    }

    // Compares the whole grid with refBlend(mode, d, s, weight(x, y)).
    template <typename Weight>
    void expectGrid(int mode, int sourceAlpha, Weight weight) {
        int wrong = 0;
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                const std::uint32_t want =
                    refBlend(mode, gridDest(x, y), gridSource(x, sourceAlpha), weight(x, y));
                const std::uint32_t got = get(m_dest, x, y);
                if (got != want && wrong++ == 0) {
                    ADD_FAILURE() << "mode " << mode << ": d = " << std::hex << gridDest(x, y)
                                  << " s = " << gridSource(x, sourceAlpha) << " gives " << got
                                  << ", wants " << want;
                }
            }
        }
        EXPECT_EQ(wrong, 0) << "mode " << mode << ", alpha " << sourceAlpha;
    }

    CNxSurface m_dest{32};
    CNxSurface m_source{32};
    CNxSurface m_mask{8};
};

}  // namespace

// Every (destination, source) channel pair in every mode each blend takes, against refBlend:
// constant alpha, source alpha scaled by a constant alpha, and a colour (one per column) by its
// alpha alone or through a coverage mask.
TEST_F(AllPairs, EveryModeOfEveryBlend) {
    enum Kind { kConstant, kSourceAlpha, kColour, kColourMask };
    const struct {
        Kind kind;
        int modes;
        std::vector<std::pair<int, int>> alphas;  // source or colour alpha, constant alpha
    } blends[] = {
        {kConstant, 7, {{90, 1}, {90, 77}, {90, 128}, {90, 255}}},
        {kSourceAlpha, 10, {{0, 255}, {1, 255}, {128, 255}, {255, 255}, {200, 100}}},
        {kColour, 7, {{1, 255}, {128, 255}, {255, 255}}},
        {kColourMask, 7, {{1, 255}, {128, 255}, {255, 255}}},
    };
    for (const auto& blend : blends) {
        for (int mode = 0; mode < blend.modes; ++mode) {
            for (auto [sa, alpha] : blend.alphas) {
                fillSource(sa);
                resetDest();
                CNxBlitParams p;
                // A constant alpha of 255 with ForceBlend stays a blend rather than a copy.
                p.m_flags =
                    std::uint32_t(mode) | NxBlt_ForceBlend |
                    (alpha != 255 || blend.kind == kConstant ? std::uint32_t(NxBlt_ConstantAlpha)
                                                             : 0u);
                p.m_alpha = std::uint32_t(alpha);
                if (blend.kind == kSourceAlpha) {
                    p.m_flags |= NxBlt_SourceAlpha;
                    ASSERT_EQ(m_dest.Blit(nullptr, &m_source, nullptr, &p), 1);
                } else if (blend.kind == kConstant) {
                    ASSERT_EQ(m_dest.Blit(nullptr, &m_source, nullptr, &p), 1);
                }
                for (int x = 0; x < 256 && blend.kind >= kColour; ++x) {
                    const RECT column{x, 0, x + 1, 256};
                    p.m_flags |=
                        NxBlt_ColourSource |
                        (blend.kind == kColourMask ? std::uint32_t(NxBlt_SourceAlpha) : 0u);
                    p.m_colour = gridSource(x, sa);
                    ASSERT_EQ(m_dest.Blit(&column, blend.kind == kColourMask ? &m_mask : nullptr,
                                          &column, &p),
                              1);
                }
                expectGrid(mode, sa, [&](int x, int y) {
                    switch (blend.kind) {
                        case kConstant:
                            return refW(alpha);
                        case kSourceAlpha:
                            return refW(refT(alpha, sa));
                        case kColour:
                            return refW(sa);
                        default:
                            return refW(refT(sa, pixels::get8(m_mask, x, y)));
                    }
                });
            }
        }
    }
}

TEST(CNxBlitterDispatch, FlagsChooseSlotsInTheirOrder) {
    // clang-format off
    const std::pair<std::uint32_t, int> cases[] = {
        {0, 2}, {0x10, 4}, {0x3, 4}, {0x800, 5}, {0x20, 6}, {0x820, 7}, {0x200, 1}, {0xA00, 5},
        {0x1000, 3}, {0x1820, 3}, {0x20000, 0}, {0x21000, 3}, {0x20820, 0}, {0xC0, 11},
        {0xC0 | 0x800, 12}, {0xC0 | 0x20, 13}, {0xC0 | 0x820, 14}, {0xC0 | 0x20000, 8},
        {0xC0 | 0x20820, 14}, {0xC0 | 0x200, 9}, {0xC0 | 0x220, 13}, {0x40, 4}, {0x80, 4},
        {0x4000, 4}, {0x2000 | 0x10, 4}};
    // clang-format on
    for (const auto& [flags, slot] : cases) {
        EXPECT_EQ(CNxBlitter::SelectSlot(flags), slot) << std::hex << flags;
    }
}

namespace {

CNxSurface& filled(CNxSurface& s, int w, int h, std::uint32_t colour) {
    s.Create(w, h);
    s.Fill(nullptr, colour);
    return s;
}

CNxSurface& row(CNxSurface& s, const std::vector<std::uint32_t>& pixels) {
    s.Create(static_cast<int>(pixels.size()), 1);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        set(s, static_cast<int>(i), 0, pixels[i]);
    }
    return s;
}

std::vector<std::uint32_t> rowOf(const CNxSurface& s) {
    std::vector<std::uint32_t> out;
    for (int x = 0; x < s.GetWidth(); ++x) {
        out.push_back(get(s, x, 0));
    }
    return out;
}

}  // namespace

// A row of destination pixels, a row of source pixels (none: a colour operation) and the
// parameters; the exact pixels that result.
TEST(CNxBlitterOps, WorkedExamples) {
    struct Case {
        const char* what;
        std::vector<std::uint32_t> dest, source;
        std::uint32_t flags, alpha, colour, mask;
        std::vector<std::uint32_t> want;
    };
    // clang-format off
    const Case cases[] = {
        {"200 over 100 at alpha 128 is 150",
         {0x11646464}, {0x22C8C8C8}, NxBlt_ConstantAlpha, 128, 0, 0, {0x11969696}},
        {"100 over 200 at alpha 128 is 149",
         {0x11C8C8C8}, {0x22646464}, NxBlt_ConstantAlpha, 128, 0, 0, {0x11959595}},
        {"full opacity copies, alpha byte included",
         {0x11646464}, {0x22C8C8C7}, NxBlt_ConstantAlpha, 255, 0, 0, {0x22C8C8C7}},
        {"a forced blend keeps the destination alpha",
         {0x11646464}, {0x22C8C8C7}, NxBlt_ForceBlend, 255, 0, 0, {0x11C8C8C7}},
        {"source alpha 0 draws nothing, 1 weighs 2/256", {0x80000000, 0x80000000},
         {0x00FFFFFF, 0x01FFFFFF}, NxBlt_SourceAlpha, 0, 0, 0, {0x80000000, 0x80010101}},
        {"Add saturates", {0xFFC8C8C8}, {0xFF646464}, NxBlend_Add, 0, 0, 0, {0xFFFFFFFF}},
        {"Subtract stops at 0", {0xFF323232}, {0xFF646464}, NxBlend_Subtract, 0, 0, 0,
         {0xFF000000}},
        {"a mirrored copy reverses the row", {0, 0, 0}, {0xFF000001, 0xFF000002, 0xFF000003},
         NxBlt_MirrorX, 0, 0, 0, {0xFF000003, 0xFF000002, 0xFF000001}},
        {"channel mask", {0x11223344}, {0xAABBCCDD}, NxBlt_ChannelMask, 0, 0, 0x00FFFFFF,
         {0x11BBCCDD}},
        {"colour channel mask", {0x11223344}, {}, NxBlt_ColourSource | NxBlt_ChannelMask, 0,
         0x01020304, 0x000000FF, {0x11223304}},
        {"colour blend at 128: w = 129", {0xFF000000}, {}, NxBlt_ColourSource, 0, 0x80FFFFFF, 0,
         {0xFF808080}},
        {"an opaque colour fills, alpha included", {0x11000000}, {}, NxBlt_ColourSource, 0,
         0xFF123456, 0, {0xFF123456}},
        {"a transparent colour draws nothing", {0x11000000}, {}, NxBlt_ColourSource, 0,
         0x00123456, 0, {0x11000000}}};
    // clang-format on
    for (const Case& c : cases) {
        CNxSurface d(32), s(32);
        row(d, c.dest);
        CNxBlitParams p;
        p.m_flags = c.flags | (c.alpha ? std::uint32_t(NxBlt_ConstantAlpha) : 0u);
        p.m_alpha = c.alpha;
        p.m_colour = c.colour;
        p.m_mask = c.mask;
        EXPECT_EQ(d.Blit(nullptr, c.source.empty() ? nullptr : &row(s, c.source), nullptr, &p), 1)
            << c.what;
        EXPECT_EQ(rowOf(d), c.want) << c.what;
    }
}

// Destination-alpha composites against the rule: the share of the source
// (x / y) / (1 - x + x / y) and the union of the two alphas, for the constant alpha scaled by
// the source alpha (slot 7), the constant alpha (slot 6) and a colour (slot 13).
TEST(CNxBlitterOps, DestinationAlphaComposite) {
    const std::uint32_t dests[] = {0x00102030, 0x80102030, 0xFF102030, 0x40FFFFFF};
    const std::uint32_t sources[] = {0x55A0B0C0, 0x80A0B0C0, 0x10A0B0C0, 0xFF000000};
    for (std::uint32_t flags : {NxBlt_DestAlpha | NxBlt_SourceAlpha, std::uint32_t(NxBlt_DestAlpha),
                                NxBlt_DestAlpha | NxBlt_ColourSource}) {
        const bool colour = flags & NxBlt_ColourSource;
        CNxSurface d(32), s(32);
        row(d, {dests, dests + 4});
        row(s, {sources, sources + 4});
        CNxBlitParams p;
        p.m_flags = flags | NxBlt_ConstantAlpha;
        p.m_alpha = 200;
        p.m_colour = 0xC8A0B0C0;
        ASSERT_EQ(d.Blit(nullptr, colour ? nullptr : &s, nullptr, &p), 1);
        for (int i = 0; i < 4; ++i) {
            const std::uint32_t source = colour ? p.m_colour : sources[i];
            const int da = dests[i] >> 24;
            const int a = colour ? 200 : flags & NxBlt_SourceAlpha ? refT(200, source >> 24) : 200;
            int share = 255;
            if (da > 0) {
                const double x = a / 255.0, y = da / 255.0;
                share = std::min(255, int(std::trunc(255.0 * ((x / y) / (1 - x + x / y)))));
            }
            const std::uint32_t rgb = refBlend(0, dests[i], source, refW(share)) & 0xFFFFFF;
            const int alpha = std::min(da + (255 - da) * a / 255, 255);
            EXPECT_EQ(get(d, i, 0), rgb | std::uint32_t(alpha) << 24) << std::hex << flags << i;
        }
    }
}

// Combinations an operation does not take return 0 and leave the destination as it was; a few
// that come to nothing succeed without drawing.
TEST(CNxBlitterOps, RefusalsDrawNothing) {
    CNxSurface d(32), s(32), eight(8), bigMask(8);
    filled(d, 4, 4, 0xFF101010);
    filled(s, 2, 2, 0xFFFFFFFF);
    filled(eight, 4, 4, 0x55);
    filled(bigMask, 40, 30, 0xFF);
    struct Case {
        const char* what;
        CNxSurface* dest;
        const CNxSurface* source;
        std::uint32_t flags, alpha;
        int result;
    };
    constexpr std::uint32_t kStretch = 1u << 30;  // the destination rectangle twice the size
    // clang-format off
    const Case cases[] = {
        {"stretch in a non-normal mode", &d, &s, NxBlend_Multiply | kStretch, 0, 0},
        {"source-alpha stretch, non-normal mode", &d, &s,
         NxBlt_SourceAlpha | NxBlend_Screen | kStretch, 0, 0},
        {"alpha word above 255", &d, &s, NxBlt_ConstantAlpha, 256, 0},
        {"burn outside source-alpha blends", &d, &s, NxBlend_ColourBurn, 0, 0},
        {"mode 10", &d, &s, NxBlt_SourceAlpha | 10, 0, 0},
        {"destination-alpha stretch", &d, &s, NxBlt_DestAlpha | kStretch, 0, 0},
        {"destination alpha at alpha 0, stretched", &d, &s,
         NxBlt_DestAlpha | NxBlt_ConstantAlpha | kStretch, 0, 0},
        {"destination alpha at alpha 0", &d, &s, NxBlt_DestAlpha | NxBlt_ConstantAlpha, 0, 1},
        {"destination alpha, non-normal mode", &d, &s, NxBlt_DestAlpha | NxBlend_Add, 0, 0},
        {"slot 8", &d, &s, NxBlt_ColourSource | NxBlt_BlurX, 0, 0},
        {"custom operations", &d, &s, NxBlt_Custom, 0, 0},
        {"32-bit coverage mask", &d, &s, NxBlt_ColourSource | NxBlt_SourceAlpha, 0, 0},
        {"a coverage mask of another size than the destination", &d, &bigMask,
         NxBlt_ColourSource | NxBlt_SourceAlpha, 0, 0},
        {"blur in a non-normal mode", &d, &s, NxBlt_BlurX | NxBlend_Add, 0, 0},
        {"8 bits: a blend", &eight, &eight, NxBlt_ConstantAlpha, 128, 0},
        {"8 bits: alpha 0", &eight, &eight, NxBlt_ConstantAlpha, 0, 1},
        {"8 bits: a translucent colour", &eight, nullptr, NxBlt_ColourSource, 0, 0},
        {"8 bits: a copy from 32 bits", &eight, &d, NxBlt_MirrorX, 0, 0},
        {"8 bits: source alpha", &eight, &eight, NxBlt_SourceAlpha, 0, 0}};
    // clang-format on
    auto bytes = [](const CNxSurface& surface) {
        const std::uint8_t* bits = surface.GetImage().GetBits();
        return std::vector<std::uint8_t>(bits, bits + surface.GetImage().GetImageSize());
    };
    const RECT small{0, 0, 2, 2}, four{0, 0, 4, 4};
    for (const Case& c : cases) {
        CNxBlitParams p;
        p.m_flags = c.flags & ~kStretch;
        p.m_alpha = c.alpha;
        p.m_radius = 1;
        p.m_colour = 0x80FFFFFF;
        const std::vector<std::uint8_t> before = bytes(*c.dest);
        EXPECT_EQ(c.dest->Blit(c.flags & kStretch ? &four : &small, c.source, &small, &p), c.result)
            << c.what;
        EXPECT_EQ(bytes(*c.dest), before) << c.what;
    }
    for (int slot = 15; slot <= 18; ++slot) {
        EXPECT_EQ(d.GetBlitter().CallSlot(slot, d, four, s, four, nullptr), 0);
    }
}

TEST(CNxBlitterOps, EightBitSurfaces) {
    CNxSurface mask(8), other(8);
    mask.Create(5, 3);
    ASSERT_EQ(mask.Fill(nullptr, 0x123456AB), 1);
    EXPECT_EQ(pixels::get8(mask, 4, 2), 0xAB) << "the low byte";
    other.Create(5, 3);
    pixels::set8(other, 0, 0, 7);
    pixels::set8(other, 4, 2, 9);
    CNxBlitParams p;
    p.m_flags = NxBlt_MirrorX | NxBlt_MirrorY;
    ASSERT_EQ(mask.Blit(nullptr, &other, nullptr, &p), 1);
    EXPECT_EQ(pixels::get8(mask, 4, 2), 7);
    EXPECT_EQ(pixels::get8(mask, 0, 0), 9);
    // Stretched 8-bit copies take the nearest index.
    CNxSurface big(8);
    big.Create(10, 6);
    ASSERT_EQ(big.Blit(nullptr, &other, nullptr, nullptr), 1);
    EXPECT_EQ(pixels::get8(big, 1, 1), 7);
    EXPECT_EQ(pixels::get8(big, 9, 5), 9);
    // Masked writes from 32-bit sources take the low byte.
    CNxSurface colour(32);
    filled(colour, 5, 3, 0xFFFFFF3C);
    CNxBlitParams cm;
    cm.m_flags = NxBlt_ChannelMask;
    cm.m_mask = 0x0F;
    ASSERT_EQ(other.Blit(nullptr, &colour, nullptr, &cm), 1);
    EXPECT_EQ(pixels::get8(other, 0, 0), 0x0C);
    // An opaque colour fills with its low byte.
    CNxBlitParams fill;
    fill.m_flags = NxBlt_ColourSource;
    fill.m_colour = 0xFF0000AB;
    ASSERT_EQ(mask.Blit(nullptr, nullptr, nullptr, &fill), 1);
    EXPECT_EQ(pixels::get8(mask, 3, 2), 0xAB);
    // Into 32 bits an 8-bit source shows its colour table entries.
    CNxSurface shown(32);
    shown.Create(5, 3);
    ASSERT_EQ(shown.Blit(nullptr, &other, nullptr, nullptr), 1);
    EXPECT_EQ(get(shown, 4, 2), 0x000C0C0Cu) << "the grey table's entry, reserved byte 0";
}

// A wipe of four pixels of 0x80FFFFFF over 0x11000000 through rule mask values 0, 60, 120 and
// 180 (at mask x 2, y 1).
TEST(CNxBlitterOps, TransitionThroughARuleMask) {
    CNxSurface d(32), s(32), rule(8);
    row(s, std::vector<std::uint32_t>(4, 0x80FFFFFF));
    rule.Create(6, 2);
    for (int x = 0; x < 4; ++x) {
        pixels::set8(rule, x + 2, 1, static_cast<std::uint8_t>(x * 60));
    }
    const std::uint32_t o = 0x11000000, in = 0x11FFFFFF;
    const std::vector<std::uint32_t> none(4, o);
    struct Case {
        const char* what;
        std::uint32_t level, softness, flags, maskX;
        bool mask;
        int result;
        std::vector<std::uint32_t> want;
    };
    // clang-format off
    const Case cases[] = {
        // L' = 100: 0 and 60 in, 120 twenty levels into the ramp, 255 - 20 × 255 / 40 = 128.
        {"w = 129 in the ramp", 101, 40, 0, 2, true, 1, {in, in, 0x11808080, o}},
        {"above 256 the wipe runs backwards: 128 XOR 255 = 127", 357, 40, 0, 2, true, 1,
         {o, o, 0x117F7F7F, in}},
        {"source alpha scales the mask's weights", 101, 40, NxBlt_SourceAlpha, 2, true, 1,
         {0x11808080, 0x11808080, 0x11404040, o}},
        {"complete at 256: a copy at full opacity", 256, 40, 0, 2, true, 1,
         std::vector<std::uint32_t>(4, 0x80FFFFFF)},
        {"nothing at 0", 0, 40, 0, 2, true, 1, none},
        {"nothing at 512", 512, 40, 0, 2, true, 1, none},
        {"a level above 512", 513, 40, 0, 2, true, 0, none},
        {"a softness above 511", 100, 512, 0, 2, true, 0, none},
        {"a mask that does not cover the source", 100, 0, 0, 3, true, 0, none},
        {"source alpha without a mask", 100, 0, NxBlt_SourceAlpha, 2, false, 0, none},
        {"no mask: the source alpha 0x80 is above L' = 99", 100, 0, 0, 2, false, 1, none}};
    // clang-format on
    for (const Case& c : cases) {
        row(d, none);
        CNxBlitParams p;
        p.m_flags = NxBlt_MaskTransition | c.flags;
        p.m_colour = c.level;
        p.m_softness = c.softness;
        p.m_ruleMask = c.mask ? &rule : nullptr;
        p.m_maskX = c.maskX;
        p.m_maskY = 1;
        EXPECT_EQ(d.Blit(nullptr, &s, nullptr, &p), c.result) << c.what;
        EXPECT_EQ(rowOf(d), c.want) << c.what;
    }
}

TEST(CNxBlitterOps, HorizontalBlur) {
    CNxSurface d(32), s(32);
    s.Create(5, 1);
    const std::uint32_t row[] = {0xFF000000, 0xFF000030, 0xFF000060, 0xFF000090, 0xFF0000C0};
    for (int x = 0; x < 5; ++x) {
        set(s, x, 0, row[x]);
    }
    d.Create(5, 1);
    CNxBlitParams p;
    p.m_flags = NxBlt_BlurX;
    p.m_radius = 1;
    ASSERT_EQ(d.Blit(nullptr, &s, nullptr, &p), 1);
    // Windows of three with the edges repeated: (sum × 21845 + 32768) >> 16.
    auto average = [](int sum) { return std::uint32_t((sum * 21845 + 32768) >> 16); };
    const int sums[] = {0x30, 0x90, 0x120, 0x1B0, 0x210};
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(get(d, x, 0), average(255 * 3) << 24 | average(sums[x])) << x;
    }
    // Mirrored, with a window reaching past both ends.
    p.m_flags |= NxBlt_MirrorX;
    p.m_radius = 3;
    ASSERT_EQ(d.Blit(nullptr, &s, nullptr, &p), 1);
    auto windowSum = [&](int x) {
        int sum = 0;
        for (int i = x - 3; i <= x + 3; ++i) {
            sum += int(row[std::clamp(i, 0, 4)] & 0xFF);
        }
        return (sum * (65536 / 7) + 32768) >> 16;
    };
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(get(d, x, 0) & 0xFF, std::uint32_t(windowSum(4 - x))) << x;
    }
    // A window wider than 65536 pixels has a reciprocal of 0: everything averages to 0.
    p.m_radius = 0x80000000u;
    ASSERT_EQ(d.Blit(nullptr, &s, nullptr, &p), 1);
    EXPECT_EQ(get(d, 2, 0), 0u);
}
