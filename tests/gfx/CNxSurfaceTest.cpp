#include "gfx/CNxSurface.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "tests/gfx/PixelHelpers.h"

using pixels::get;
using pixels::set;

TEST(CNxSurface, CreateMakesZeroPixelsOrLeavesTheSurfaceAlone) {
    CNxSurface s(32);
    EXPECT_EQ(s.GetClipRect().right, 0);
    ASSERT_EQ(s.Create(1280, 1024), 1);
    EXPECT_EQ(s.GetImage().GetPitch(), -5120) << "bottom-up";
    EXPECT_EQ(get(s, 1279, 1023), 0u);
    EXPECT_EQ(s.GetClipRect(), (RECT{0, 0, 1280, 1024}));
    CNxSurface down(8);
    ASSERT_EQ(down.Create(3, -2), 1);
    EXPECT_EQ(down.GetImage().GetPitch(), 4);
    EXPECT_EQ(down.GetImage().GetColorTable()[200].rgbGreen, 200) << "a grey ramp";
    const std::pair<int, int> refused[] = {{0, 10}, {10, 0}, {-1, 10}, {40000, 40000}};
    for (auto [w, h] : refused) {
        EXPECT_EQ(s.Create(w, h), 0) << w << " × " << h;
    }
    EXPECT_EQ(s.GetWidth(), 1280);
}

TEST(CNxSurface, ClipRectangleIsLimitedToTheSurface) {
    CNxSurface s(32);
    s.Create(100, 50);
    const RECT wide{-5, -5, 5000, 5000};
    s.SetClipRect(&wide);
    EXPECT_EQ(s.GetClipRect(), (RECT{0, 0, 100, 50}));
    const RECT inverted{30, 20, 10, 5};
    s.SetClipRect(&inverted);
    EXPECT_EQ(s.GetClipRect().left, 30) << "not reordered";
    EXPECT_EQ(s.Fill(nullptr, 0xFFFFFFFF), 1) << "an empty clip is a success";
    EXPECT_EQ(get(s, 20, 10), 0u);
}

TEST(CNxSurface, DeviceContextsNest) {
    CNxSurface s(32);
    EXPECT_EQ(s.GetDC(), nullptr) << "no pixels yet";
    EXPECT_EQ(s.ReleaseDC(), 0u);
    s.Create(4, 4);
    void* dc = s.GetDC();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(s.GetDC(), dc);
    EXPECT_EQ(s.GetDCUseCount(), 2u);
    EXPECT_EQ(s.ReleaseDC(), 1u);
    EXPECT_EQ(s.ReleaseDC(), 0u);
    EXPECT_EQ(s.ReleaseDC(), 0u) << "nothing left to release";
}

TEST(CNxSurface, FillsHonourOriginAndClip) {
    CNxSurface s(32);
    s.Create(6, 4);
    const RECT clip{1, 1, 5, 3};
    s.SetClipRect(&clip);
    s.SetOrigin(2, 1);
    ASSERT_EQ(s.Fill(0, 0, 10, 10, 0x80112233), 1);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 2 && x < 5 && y >= 1 && y < 3;
            EXPECT_EQ(get(s, x, y), inside ? 0x80112233u : 0u) << x << "," << y;
        }
    }
    RECT r{-100, -100, 100, 100};
    ASSERT_TRUE(s.ClipToSurface(r));
    EXPECT_EQ(r, (RECT{1, 1, 5, 3}));
    RECT away{10, 10, 20, 20};
    EXPECT_FALSE(s.ClipToSurface(away));
    // Sizes that run past the 32-bit range neither wrap nor crash.
    s.SetOrigin(-5, 0);
    ASSERT_EQ(s.Fill(INT_MAX - 1, 0, INT_MAX, 2, 0xFFFFFFFF), 1);
    ASSERT_EQ(s.Fill(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0xFFFFFFFF), 1);
    EXPECT_EQ(get(s, 2, 1), 0x80112233u);
}

TEST(CNxSurface, BlitAtAPointTakesTheSourceSize) {
    CNxSurface d(32), s(32);
    d.Create(8, 8);
    s.Create(3, 2);
    s.Fill(nullptr, 0xFF445566);
    const RECT part{1, 0, 3, 1};
    ASSERT_EQ(d.Blit(5, 6, &s, &part, nullptr), 1);
    EXPECT_EQ(get(d, 5, 6), 0xFF445566u);
    EXPECT_EQ(get(d, 6, 6), 0xFF445566u);
    EXPECT_EQ(get(d, 7, 6), 0u);
    EXPECT_EQ(get(d, 5, 7), 0u);
    EXPECT_EQ(d.Blit(0, 0, nullptr, nullptr, nullptr), 0) << "no source, no size";
    // A colour operation sized by a rectangle alone.
    CNxBlitParams colour;
    colour.m_flags = NxBlt_ColourSource;
    colour.m_colour = 0xFF0000FF;
    ASSERT_EQ(d.Blit(0, 0, nullptr, &part, &colour), 1);
    EXPECT_EQ(get(d, 1, 0), 0xFF0000FFu);
    EXPECT_EQ(get(d, 2, 0), 0u);
    // Near the end of the 32-bit range the far end is cut from both rectangles alike.
    d.SetOrigin(-(INT_MAX - 4), 0);
    ASSERT_EQ(d.Blit(INT_MAX - 1, 3, &s, nullptr, nullptr), 1);
    EXPECT_EQ(get(d, 3, 3), 0xFF445566u);
    EXPECT_EQ(get(d, 4, 3), 0u);
}

TEST(CNxSurface, CopyFromImageConvertsIntoTheSurfaceFormat) {
    // A top-down 24-bit image of 2 × 2 pixels.
    CNxDIBImage image;
    ASSERT_EQ(image.Create(2, -2, 24), 1);
    const std::uint8_t rows[2][6] = {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}};
    for (int y = 0; y < 2; ++y) {
        std::memcpy(image.Row(y), rows[y], 6);
    }
    CNxSurface s(32);
    ASSERT_EQ(s.CopyFromImage(image), 1);
    EXPECT_GT(s.GetImage().GetPitch(), 0) << "a top-down image gives a top-down surface";
    EXPECT_EQ(get(s, 0, 0), 0xFF030201u);
    EXPECT_EQ(get(s, 1, 1), 0xFF0C0B0Au);

    // Paletted into 8 bits: the indices and the colour table come along.
    CNxDIBImage paletted;
    ASSERT_EQ(paletted.Create(3, 1, 4), 1);
    paletted.GetColorTable()[2] = RGBQUAD{10, 20, 30, 0};
    paletted.Row(0)[0] = 0x12;
    CNxSurface eight(8);
    ASSERT_EQ(eight.CopyFromImage(paletted), 1);
    EXPECT_EQ(pixels::get8(eight, 1, 0), 2);
    EXPECT_EQ(eight.GetImage().GetColorTable()[2].rgbGreen, 20);
    EXPECT_EQ(eight.GetImage().GetColorTable()[200].rgbGreen, 200) << "past 16: the ramp";

    CNxDIBImage empty;
    EXPECT_EQ(s.CopyFromImage(empty), 0);
    EXPECT_EQ(s.GetWidth(), 2);
}

TEST(CNxSurface, EmptySurfacesDrawNothingAndCrashNothing) {
    CNxSurface empty(32), full(32);
    full.Create(4, 4);
    full.Fill(nullptr, 0xFF123456);
    EXPECT_EQ(empty.Fill(nullptr, 0xFFFFFFFF), 1);
    EXPECT_EQ(empty.Blit(nullptr, &full, nullptr, nullptr), 1);
    EXPECT_EQ(full.Blit(nullptr, &empty, nullptr, nullptr), 1);
    const RECT r{0, 0, 4, 4};
    EXPECT_EQ(full.Blit(&r, &empty, &r, nullptr), 1) << "nothing of the source exists";
    EXPECT_EQ(get(full, 0, 0), 0xFF123456u);
}
