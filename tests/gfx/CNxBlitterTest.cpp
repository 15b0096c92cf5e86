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
    void expectGrid(int mode, int sourceAlpha, Weight weight, const char* what) {
        int wrong = 0;
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                const std::uint32_t want =
                    refBlend(mode, gridDest(x, y), gridSource(x, sourceAlpha), weight(x, y));
                const std::uint32_t got = get(m_dest, x, y);
                if (got != want && wrong++ == 0) {
                    ADD_FAILURE() << what << " mode " << mode << ": d = " << std::hex
                                  << gridDest(x, y) << " s = " << gridSource(x, sourceAlpha)
                                  << " gives " << got << ", wants " << want;
                }
            }
        }
        EXPECT_EQ(wrong, 0) << what << " mode " << mode;
    }

    CNxSurface m_dest{32};
    CNxSurface m_source{32};
    CNxSurface m_mask{8};
};

}  // namespace

TEST_F(AllPairs, ConstantAlphaBlendInEveryMode) {
    fillSource(90);
    for (int mode = 0; mode <= 6; ++mode) {
        for (int alpha : {1, 77, 128, 255}) {
            resetDest();
            CNxBlitParams p;
            // At 255 the normal mode would be a copy; ForceBlend keeps it a blend.
            p.m_flags = NxBlt_ConstantAlpha | NxBlt_ForceBlend | std::uint32_t(mode);
            p.m_alpha = std::uint32_t(alpha);
            ASSERT_EQ(m_dest.Blit(nullptr, &m_source, nullptr, &p), 1);
            expectGrid(
                mode, 90, [&](int, int) { return refW(alpha); }, "constant alpha");
        }
    }
}

TEST_F(AllPairs, SourceAlphaBlendInEveryMode) {
    struct Case {
        int sourceAlpha;
        int alpha;  // 255: no NxBlt_ConstantAlpha
    } cases[] = {{0, 255}, {1, 255}, {128, 255}, {255, 255}, {200, 100}};
    for (int mode = 0; mode <= 9; ++mode) {
        for (const Case& c : cases) {
            fillSource(c.sourceAlpha);
            resetDest();
            CNxBlitParams p;
            p.m_flags = NxBlt_SourceAlpha | std::uint32_t(mode);
            if (c.alpha != 255) {
                p.m_flags |= NxBlt_ConstantAlpha;
                p.m_alpha = std::uint32_t(c.alpha);
            }
            ASSERT_EQ(m_dest.Blit(nullptr, &m_source, nullptr, &p), 1);
            expectGrid(
                mode, c.sourceAlpha, [&](int, int) { return refW(refT(c.alpha, c.sourceAlpha)); },
                "source alpha");
        }
    }
}

TEST_F(AllPairs, ColourBlendAndColourThroughMaskInEveryMode) {
    for (int mode = 0; mode <= 6; ++mode) {
        for (int colourAlpha : {1, 128, 255}) {
            for (bool masked : {false, true}) {
                resetDest();
                for (int x = 0; x < 256; ++x) {  // one colour per column
                    CNxBlitParams p;
                    p.m_flags = NxBlt_ColourSource | NxBlt_ForceBlend | std::uint32_t(mode);
                    p.m_colour = gridSource(x, colourAlpha);
                    const RECT column{x, 0, x + 1, 256};
                    if (masked) {
                        p.m_flags |= NxBlt_SourceAlpha;
                        ASSERT_EQ(m_dest.Blit(&column, &m_mask, &column, &p), 1);
                    } else {
                        ASSERT_EQ(m_dest.Blit(&column, nullptr, nullptr, &p), 1);
                    }
                }
                expectGrid(
                    mode, colourAlpha,
                    [&](int x, int y) {
                        return refW(masked ? refT(colourAlpha, pixels::get8(m_mask, x, y))
                                           : colourAlpha);
                    },
                    masked ? "colour through mask" : "colour blend");
            }
        }
    }
}

TEST(CNxBlitterDispatch, FlagsChooseSlotsInTheirOrder) {
    struct Case {
        std::uint32_t flags;
        int slot;
    } cases[] = {
        {0, 2},
        {0x10, 4},
        {0x3, 4},
        {0x800, 5},
        {0x20, 6},
        {0x820, 7},
        {0x200, 1},
        {0xA00, 5},
        {0x1000, 3},
        {0x1820, 3},
        {0x20000, 0},
        {0x21000, 3},
        {0x20820, 0},
        {0xC0, 11},
        {0xC0 | 0x800, 12},
        {0xC0 | 0x20, 13},
        {0xC0 | 0x820, 14},
        {0xC0 | 0x20000, 8},
        {0xC0 | 0x20820, 14},
        {0xC0 | 0x200, 9},
        {0xC0 | 0x220, 13},
        {0x40, 4},
        {0x80, 4},
        {0x4000, 4},
        {0x2000 | 0x10, 4},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CNxBlitter::SelectSlot(c.flags), c.slot) << std::hex << c.flags;
    }
}

namespace {

CNxSurface& filled(CNxSurface& s, int w, int h, std::uint32_t colour) {
    s.Create(w, h);
    s.Fill(nullptr, colour);
    return s;
}

}  // namespace

TEST(CNxBlitterBlend, WorkedExamples) {
    CNxSurface d(32), s(32);
    CNxBlitParams p;
    p.m_flags = NxBlt_ConstantAlpha;
    p.m_alpha = 128;
    filled(d, 1, 1, 0x11646464);
    filled(s, 1, 1, 0x22C8C8C8);
    ASSERT_EQ(d.Blit(nullptr, &s, nullptr, &p), 1);
    EXPECT_EQ(get(d, 0, 0), 0x11969696u) << "200 over 100 at alpha 128 is 150";
    filled(d, 1, 1, 0x11C8C8C8);
    filled(s, 1, 1, 0x22646464);
    d.Blit(nullptr, &s, nullptr, &p);
    EXPECT_EQ(get(d, 0, 0), 0x11959595u) << "100 over 200 at alpha 128 is 149";

    // Full opacity in the normal mode is a copy, alpha byte included, unless forced to blend.
    p.m_alpha = 255;
    filled(d, 1, 1, 0x11646464);
    filled(s, 1, 1, 0x22C8C8C7);
    d.Blit(nullptr, &s, nullptr, &p);
    EXPECT_EQ(get(d, 0, 0), 0x22C8C8C7u);
    p.m_flags |= NxBlt_ForceBlend;
    filled(d, 1, 1, 0x11646464);
    d.Blit(nullptr, &s, nullptr, &p);
    EXPECT_EQ(get(d, 0, 0), 0x11C8C8C7u);

    // Source alpha 0 leaves the destination alone; alpha 1 weighs 2/256.
    CNxBlitParams sa;
    sa.m_flags = NxBlt_SourceAlpha;
    filled(d, 2, 1, 0x80000000);
    s.Create(2, 1);
    set(s, 0, 0, 0x00FFFFFF);
    set(s, 1, 0, 0x01FFFFFF);
    d.Blit(nullptr, &s, nullptr, &sa);
    EXPECT_EQ(get(d, 0, 0), 0x80000000u);
    EXPECT_EQ(get(d, 1, 0), 0x80010101u) << "255 × 2 / 256 = 1";

    // Add saturates at 255, Subtract at 0.
    CNxBlitParams add;
    add.m_flags = NxBlend_Add;
    filled(d, 1, 1, 0xFFC8C8C8);
    filled(s, 1, 1, 0xFF646464);
    d.Blit(nullptr, &s, nullptr, &add);
    EXPECT_EQ(get(d, 0, 0), 0xFFFFFFFFu);
    add.m_flags = NxBlend_Subtract;
    filled(d, 1, 1, 0xFF323232);
    d.Blit(nullptr, &s, nullptr, &add);
    EXPECT_EQ(get(d, 0, 0), 0xFF000000u);
}

TEST(CNxBlitterBlend, TransparentFillIsSkippedBySourceAlphaBlits) {
    CNxSurface overlay(32), screen(32);
    overlay.Create(4, 4);
    overlay.Fill(nullptr, 0x12345678);
    ASSERT_EQ(overlay.Fill(nullptr, 0x00000000), 1);
    EXPECT_EQ(get(overlay, 3, 3), 0u);
    overlay.Fill(1, 1, 1, 1, 0xFF0000FF);  // one grid point
    filled(screen, 4, 4, 0xFFBEBEBE);
    CNxBlitParams p;
    p.m_flags = NxBlt_SourceAlpha;
    ASSERT_EQ(screen.Blit(0, 0, &overlay, nullptr, &p), 1);
    EXPECT_EQ(get(screen, 0, 0), 0xFFBEBEBEu);
    EXPECT_EQ(get(screen, 1, 1), 0xFF0000FFu);
}

TEST(CNxBlitterBlend, DestinationAlphaComposite) {
    CNxSurface d(32), s(32);
    d.Create(4, 1);
    s.Create(4, 1);
    const std::uint32_t dests[] = {0x00102030, 0x80102030, 0xFF102030, 0x40FFFFFF};
    const std::uint32_t sources[] = {0x55A0B0C0, 0x80A0B0C0, 0x10A0B0C0, 0xFF000000};
    for (int i = 0; i < 4; ++i) {
        set(d, i, 0, dests[i]);
        set(s, i, 0, sources[i]);
    }
    CNxBlitParams p;
    p.m_flags = NxBlt_DestAlpha | NxBlt_SourceAlpha | NxBlt_ConstantAlpha;
    p.m_alpha = 200;
    ASSERT_EQ(d.Blit(nullptr, &s, nullptr, &p), 1);
    for (int i = 0; i < 4; ++i) {
        // The share of the source in the result and the union of the two alphas.
        const int da = dests[i] >> 24, a = refT(200, sources[i] >> 24);
        int share = 255;
        if (da > 0) {
            const double x = a / 255.0, y = da / 255.0;
            share = std::min(255, int(std::trunc(255.0 * ((x / y) / (1 - x + x / y)))));
        }
        const std::uint32_t rgb = refBlend(0, dests[i], sources[i], refW(share)) & 0xFFFFFF;
        const int alpha = std::min(da + (255 - da) * a / 255, 255);
        EXPECT_EQ(get(d, i, 0), rgb | std::uint32_t(alpha) << 24) << i;
    }
}

TEST(CNxBlitterOps, ChannelMaskWritesOnlyTheMaskedBits) {
    CNxSurface d(32), s(32), grey(8);
    filled(d, 2, 1, 0x11223344);
    filled(s, 2, 1, 0xAABBCCDD);
    CNxBlitParams p;
    p.m_flags = NxBlt_ChannelMask;
    p.m_mask = 0x00FFFFFF;
    ASSERT_EQ(d.Blit(nullptr, &s, nullptr, &p), 1);
    EXPECT_EQ(get(d, 0, 0), 0x11BBCCDDu);
    grey.Create(2, 1);
    pixels::set8(grey, 1, 0, 0x7E);
    p.m_mask = 0xFF00FF00;
    d.Blit(nullptr, &grey, nullptr, &p);
    EXPECT_EQ(get(d, 1, 0), 0x7EBB7EDDu) << "an 8-bit value counts in all four bytes";
    p.m_flags = NxBlt_ColourSource | NxBlt_ChannelMask;
    p.m_colour = 0x01020304;
    p.m_mask = 0x000000FF;
    d.Blit(nullptr, nullptr, nullptr, &p);
    EXPECT_EQ(get(d, 1, 0), 0x7EBB7E04u);
    // A stretch is refused and draws nothing.
    const RECT wide{0, 0, 2, 1}, narrow{0, 0, 1, 1};
    p.m_flags = NxBlt_ChannelMask;
    EXPECT_EQ(d.Blit(&wide, &s, &narrow, &p), 0);
    EXPECT_EQ(get(d, 1, 0), 0x7EBB7E04u);
}

TEST(CNxBlitterOps, MirroredCopyReversesAndClipsFromTheFarEnd) {
    CNxSurface strip(32), d(32);
    strip.Create(3, 1);
    for (int i = 0; i < 3; ++i) {
        set(strip, i, 0, 0xFF000000u + std::uint32_t(i + 1));
    }
    d.Create(3, 1);
    CNxBlitParams p;
    p.m_flags = NxBlt_MirrorX;
    ASSERT_EQ(d.Blit(0, 0, &strip, nullptr, &p), 1);
    EXPECT_EQ(get(d, 0, 0), 0xFF000003u);
    EXPECT_EQ(get(d, 1, 0), 0xFF000002u);
    EXPECT_EQ(get(d, 2, 0), 0xFF000001u);
    d.Fill(nullptr, 0);
    ASSERT_EQ(d.Blit(-1, 0, &strip, nullptr, &p), 1);
    EXPECT_EQ(get(d, 0, 0), 0xFF000002u) << "pixel 3, the right end, fell off";
    EXPECT_EQ(get(d, 1, 0), 0xFF000001u);
    EXPECT_EQ(get(d, 2, 0), 0u);
}

TEST(CNxBlitterOps, SmoothStretchFiltersOnlyWhenGrowingOrMildlyShrinking) {
    CNxSurface s(32), d(32);
    s.Create(2, 2);
    set(s, 0, 0, 0xFF000000);
    set(s, 1, 0, 0xFF0000FF);
    set(s, 0, 1, 0xFF00FF00);
    set(s, 1, 1, 0xFFFF0000);
    d.Create(3, 3);
    CNxBlitParams p;
    p.m_flags = NxBlt_Smooth;
    const RECT big{0, 0, 3, 3};
    ASSERT_EQ(d.Blit(&big, &s, nullptr, &p), 1);
    // Steps of 1/3 over the one-pixel span left after pulling the far edges in: fractions
    // 0, 85 and 170 of 256, so 255 becomes floor(255 × 85 / 256) = 84 and 169.
    EXPECT_EQ(get(d, 0, 0), 0xFF000000u);
    EXPECT_EQ(get(d, 1, 0), 0xFF000054u);
    EXPECT_EQ(get(d, 2, 0), 0xFF0000A9u);
    EXPECT_EQ(get(d, 0, 2), 0xFF00A900u);
    // The upper pair mixes to (R, G, B) = (0, 0, 84), the lower to (84, 170, 0); then 85/256
    // of the way down.
    EXPECT_EQ(get(d, 1, 1), 0xFF1B3838u);

    CNxSurface four(32), two(32);
    four.Create(4, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            set(four, x, y, 0xFF000000u | std::uint32_t(y * 4 + x) * 0x10);
        }
    }
    two.Create(2, 2);
    ASSERT_EQ(two.Blit(nullptr, &four, nullptr, &p), 1);
    EXPECT_EQ(get(two, 0, 0), 0xFF000000u);
    EXPECT_EQ(get(two, 1, 0), 0xFF000020u) << "nearest: source pixel 2";
    EXPECT_EQ(get(two, 1, 1), 0xFF0000A0u) << "source (2, 2)";
}

TEST(CNxBlitterOps, SmoothStretchBorrowsColourFromVisibleNeighbours) {
    CNxSurface s(32), d(32);
    s.Create(2, 2);
    set(s, 0, 0, 0x00000000);  // transparent black beside opaque white
    set(s, 1, 0, 0xFFFFFFFF);
    set(s, 0, 1, 0x00000000);
    set(s, 1, 1, 0xFFFFFFFF);
    d.Create(4, 4);
    CNxBlitParams p;
    p.m_flags = NxBlt_Smooth;
    ASSERT_EQ(d.Blit(nullptr, &s, nullptr, &p), 1);
    // x fraction 1/4: white colour at alpha floor(255 × 64 / 256) = 63, no darkening.
    EXPECT_EQ(get(d, 1, 0), 0x3FFFFFFFu);
    CNxSurface alt(32);
    alt.Create(4, 4);
    alt.Fill(nullptr, 0xFF000000);
    p.m_flags = NxBlt_Smooth | NxBlt_SourceAlpha;
    ASSERT_EQ(alt.Blit(nullptr, &s, nullptr, &p), 1);
    EXPECT_EQ(get(alt, 1, 0), 0xFF3F3F3Fu) << "white at weight 64: 255 × 64 / 256";
    alt.Fill(nullptr, 0xFF000000);
    p.m_flags |= NxBlt_SmoothAlt;
    ASSERT_EQ(alt.Blit(nullptr, &s, nullptr, &p), 1);
    // Without borrowing the filtered colour is (0x3F, 0x3F, 0x3F) at alpha 0x3F, weight 64.
    EXPECT_EQ(get(alt, 1, 0), 0xFF0F0F0Fu);
    EXPECT_EQ(get(alt, 0, 0), 0xFF000000u) << "alpha 0 draws nothing under W3";
}

TEST(CNxBlitterOps, UnsupportedCombinationsDrawNothing) {
    CNxSurface d(32), s(32), eight(8);
    filled(d, 4, 4, 0xFF101010);
    filled(s, 2, 2, 0xFFFFFFFF);
    eight.Create(4, 4);
    const RECT four{0, 0, 4, 4};
    struct Case {
        std::uint32_t flags;
        std::uint32_t alpha;
        bool stretch;
        const char* what;
    } cases[] = {
        {NxBlend_Multiply, 0, true, "stretch in a non-normal mode"},
        {NxBlt_SourceAlpha | NxBlend_Screen, 0, true, "source-alpha stretch, non-normal mode"},
        {NxBlt_ConstantAlpha, 256, false, "alpha word above 255"},
        {NxBlend_ColourBurn, 0, false, "burn outside source-alpha blends"},
        {NxBlt_SourceAlpha | 10, 0, false, "mode 10"},
        {NxBlt_DestAlpha, 0, true, "destination-alpha stretch"},
        {NxBlt_DestAlpha | NxBlend_Add, 0, false, "destination alpha, non-normal mode"},
        {NxBlt_ColourSource | NxBlt_BlurX, 0, false, "slot 8"},
        {NxBlt_Custom, 0, false, "custom operations"},
        {NxBlt_ColourSource | NxBlt_SourceAlpha, 0, false, "32-bit coverage mask"},
        {NxBlt_BlurX | NxBlend_Add, 0, false, "blur in a non-normal mode"},
    };
    for (const Case& c : cases) {
        CNxBlitParams p;
        p.m_flags = c.flags;
        p.m_alpha = c.alpha;
        p.m_radius = 1;
        p.m_colour = 0x80FFFFFF;
        const RECT small{0, 0, 2, 2};
        EXPECT_EQ(d.Blit(c.stretch ? &four : &small, &s, &small, &p), 0) << c.what;
        EXPECT_EQ(get(d, 1, 1), 0xFF101010u) << c.what;
    }
    for (int slot = 15; slot <= 18; ++slot) {
        EXPECT_EQ(d.GetBlitter().CallSlot(slot, d, four, s, four, nullptr), 0);
    }
    // A coverage mask of another size than the destination, though the rectangles agree.
    CNxSurface page(32), mask(8);
    filled(page, 37, 23, 0xFF101010);
    filled(mask, 40, 30, 0xFFFFFFFF);
    CNxBlitParams cover;
    cover.m_flags = NxBlt_ColourSource | NxBlt_SourceAlpha;
    cover.m_colour = 0xFFFFFFFF;
    const RECT part{0, 0, 20, 20};
    EXPECT_EQ(page.Blit(&part, &mask, &part, &cover), 0);
    EXPECT_EQ(page.GetBlitter().CallSlot(12, page, part, mask, part, &cover), 0);
    EXPECT_EQ(get(page, 5, 5), 0xFF101010u);
    // 8-bit destinations draw only what comes down to a copy or a fill.
    CNxBlitParams half;
    half.m_flags = NxBlt_ConstantAlpha;
    half.m_alpha = 128;
    EXPECT_EQ(eight.Blit(nullptr, &eight, nullptr, &half), 0);
    half.m_alpha = 0;
    EXPECT_EQ(eight.Blit(nullptr, &eight, nullptr, &half), 1);
    CNxBlitParams colour;
    colour.m_flags = NxBlt_ColourSource;
    colour.m_colour = 0x80000001;
    EXPECT_EQ(eight.Blit(nullptr, nullptr, nullptr, &colour), 0);
    colour.m_colour = 0xFF0000AB;
    EXPECT_EQ(eight.Blit(nullptr, nullptr, nullptr, &colour), 1);
    EXPECT_EQ(pixels::get8(eight, 3, 3), 0xAB);
    EXPECT_EQ(eight.Blit(nullptr, &d, nullptr, nullptr), 0) << "no copy from 32 bits";
    CNxBlitParams sa;
    sa.m_flags = NxBlt_SourceAlpha;
    EXPECT_EQ(eight.Blit(nullptr, &eight, nullptr, &sa), 0);
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
    // Into 32 bits an 8-bit source shows its colour table entries.
    CNxSurface shown(32);
    shown.Create(5, 3);
    ASSERT_EQ(shown.Blit(nullptr, &other, nullptr, nullptr), 1);
    EXPECT_EQ(get(shown, 4, 2), 0x000C0C0Cu) << "the grey table's entry, reserved byte 0";
}

TEST(CNxBlitterOps, TransitionThroughARuleMask) {
    CNxSurface d(32), s(32), rule(8);
    d.Create(4, 1);
    s.Create(4, 1);
    rule.Create(6, 2);
    for (int x = 0; x < 4; ++x) {
        set(d, x, 0, 0x11000000);
        set(s, x, 0, 0x80FFFFFF);
        pixels::set8(rule, x + 2, 1, static_cast<std::uint8_t>(x * 60));  // 0, 60, 120, 180
    }
    CNxBlitParams p;
    p.m_flags = NxBlt_MaskTransition;
    p.m_colour = 101;  // L' = 100
    p.m_softness = 40;
    p.m_ruleMask = &rule;
    p.m_maskX = 2;
    p.m_maskY = 1;
    ASSERT_EQ(d.Blit(nullptr, &s, nullptr, &p), 1);
    // Mask 0 and 60 are fully in, 120 is 20 levels into the ramp: 255 - 20 × 255 / 40 = 128.
    EXPECT_EQ(get(d, 0, 0), 0x11FFFFFFu);
    EXPECT_EQ(get(d, 1, 0), 0x11FFFFFFu);
    EXPECT_EQ(get(d, 2, 0), 0x11808080u) << "w = 129: 255 × 129 / 256";
    EXPECT_EQ(get(d, 3, 0), 0x11000000u);

    // Levels above 256 run the wipe backwards.
    d.Fill(nullptr, 0x11000000);
    p.m_colour = 256 + 101;
    d.Blit(nullptr, &s, nullptr, &p);
    EXPECT_EQ(get(d, 0, 0), 0x11000000u);
    EXPECT_EQ(get(d, 2, 0), 0x117F7F7Fu) << "coverage 128 XOR 255 = 127, w = 128";
    EXPECT_EQ(get(d, 3, 0), 0x11FFFFFFu);

    // Complete at 256 (a plain blend), nothing at 0 and 512, refusals past the limits.
    d.Fill(nullptr, 0x11000000);
    p.m_colour = 256;
    EXPECT_EQ(d.Blit(nullptr, &s, nullptr, &p), 1);
    EXPECT_EQ(get(d, 3, 0), 0x80FFFFFFu) << "a copy at full opacity";
    for (std::uint32_t level : {0u, 512u}) {
        p.m_colour = level;
        d.Fill(nullptr, 0x11000000);
        EXPECT_EQ(d.Blit(nullptr, &s, nullptr, &p), 1);
        EXPECT_EQ(get(d, 0, 0), 0x11000000u);
    }
    p.m_colour = 513;
    EXPECT_EQ(d.Blit(nullptr, &s, nullptr, &p), 0);
    p.m_colour = 100;
    p.m_softness = 512;
    EXPECT_EQ(d.Blit(nullptr, &s, nullptr, &p), 0);
    p.m_softness = 0;
    p.m_maskX = 3;  // the mask no longer covers the source
    EXPECT_EQ(d.Blit(nullptr, &s, nullptr, &p), 0);
    p.m_ruleMask = nullptr;
    p.m_flags |= NxBlt_SourceAlpha;
    EXPECT_EQ(d.Blit(nullptr, &s, nullptr, &p), 0) << "source alpha needs a mask";
    // Without a mask the source alpha (0x80) is the mask value: above L' = 99, hidden.
    p.m_flags = NxBlt_MaskTransition;
    d.Fill(nullptr, 0x11000000);
    EXPECT_EQ(d.Blit(nullptr, &s, nullptr, &p), 1);
    EXPECT_EQ(get(d, 0, 0), 0x11000000u);
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

TEST(CNxBlitterOps, CopyWithinOneSurfaceReadsEveryPixelBeforeOverwritingIt) {
    std::mt19937 random(3);
    CNxSurface s(32);
    s.Create(6, 5);
    pixels::randomise(s, random);
    std::vector<std::uint32_t> before;
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            before.push_back(get(s, x, y));
        }
    }
    struct Case {
        RECT from;
        int x, y;
    } cases[] = {{{1, 1, 5, 4}, 2, 2}, {{1, 1, 5, 4}, 0, 0}, {{1, 1, 5, 4}, 2, 1},
                 {{1, 1, 5, 4}, 0, 1}, {{0, 0, 6, 4}, 0, 1}, {{0, 1, 6, 5}, 0, 0}};
    for (const Case& c : cases) {
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 6; ++x) {
                set(s, x, y, before[std::size_t(y * 6 + x)]);
            }
        }
        ASSERT_EQ(s.Blit(c.x, c.y, &s, &c.from, nullptr), 1);
        for (int y = c.from.top; y < c.from.bottom; ++y) {
            for (int x = c.from.left; x < c.from.right; ++x) {
                EXPECT_EQ(get(s, x - c.from.left + c.x, y - c.from.top + c.y),
                          before[std::size_t(y * 6 + x)])
                    << "to " << c.x << "," << c.y;
            }
        }
    }
}
