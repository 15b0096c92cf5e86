#include "gfx/CNxBlitGeometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

#include "gfx/CNxSurface.h"
#include "tests/gfx/PixelHelpers.h"

using pixels::floorDiv;
using pixels::get;

namespace {

// Bilinear mixing and colour borrowing, one channel at a time from their definitions.
std::uint32_t lerpRef(std::uint32_t a, std::uint32_t b, int f) {
    std::uint32_t out = 0;
    for (int c = 0; c < 4; ++c) {
        const int x = pixels::channel(a, c), y = pixels::channel(b, c);
        out |= std::uint32_t(x + floorDiv((y - x) * f, 256)) << (8 * c);
    }
    return out;
}

bool clear(std::uint32_t p) {
    return (p >> 24) == 0;
}

std::uint32_t filterRef(std::uint32_t p00, std::uint32_t p01, std::uint32_t p10, std::uint32_t p11,
                        int fx, int fy) {
    const std::uint32_t rgb = 0x00FFFFFF;
    if (clear(p00)) {
        p00 = p01 & rgb;
    } else if (clear(p01)) {
        p01 = p00 & rgb;
    }
    if (clear(p10)) {
        p10 = p11 & rgb;
    } else if (clear(p11)) {
        p11 = p10 & rgb;
    }
    if (clear(p00) && clear(p01)) {
        p00 = p10 & rgb;
        p01 = p11 & rgb;
    } else if (clear(p10) && clear(p11)) {
        p10 = p00 & rgb;
        p11 = p01 & rgb;
    }
    return lerpRef(lerpRef(p00, p01, fx), lerpRef(p10, p11, fx), fy);
}

struct AxisRef {
    std::int64_t source = 0, next = 0;
    int fraction = 0;
};

// Destination pixel i of n on one axis: which source pixel it takes, found from scratch.
bool mapRef(std::int64_t i, std::int64_t n, std::int64_t s0, std::int64_t s1, std::int64_t length,
            bool stretched, bool smooth, AxisRef& out) {
    const int dir = s1 >= s0 ? 1 : -1;
    const std::int64_t near = dir > 0 ? s0 : s0 - 1;
    const std::int64_t m = std::llabs(s1 - s0) - (smooth ? 1 : 0);
    const std::uint64_t step = stretched ? (std::uint64_t(m) << 32) / std::uint64_t(n) : 1ull << 32;
    const std::uint64_t position = std::uint64_t(i) * step;
    out.source = near + dir * std::int64_t(position >> 32);
    out.next = out.source + dir;
    out.fraction = int((position >> 24) & 0xFF);
    return out.source >= 0 && out.source < length &&
           (!smooth || (out.next >= 0 && out.next < length));
}

std::vector<std::uint32_t> snapshot(const CNxSurface& s) {
    std::vector<std::uint32_t> v;
    for (int y = 0; y < s.GetHeight(); ++y) {
        for (int x = 0; x < s.GetWidth(); ++x) {
            v.push_back(get(s, x, y));
        }
    }
    return v;
}

// What a copy (or a source-alpha blend) of sourceRect to destRect leaves in the destination,
// visiting every destination pixel of the unclipped rectangle.
std::vector<std::uint32_t> expected(const CNxSurface& dest, const CNxSurface& source, RECT d,
                                    RECT s, bool smoothFlag, bool blend) {
    std::vector<std::uint32_t> out = snapshot(dest);
    const std::int64_t dw = std::int64_t(d.right) - d.left, dh = std::int64_t(d.bottom) - d.top;
    const std::int64_t sw = std::llabs(std::int64_t(s.right) - s.left);
    const std::int64_t sh = std::llabs(std::int64_t(s.bottom) - s.top);
    if (dw <= 0 || dh <= 0 || sw == 0 || sh == 0) {
        return out;
    }
    const bool stretched = dw != sw || dh != sh;
    const bool smooth = smoothFlag && stretched && sw >= 2 && sh >= 2 && dw > sw / 2 && dh > sh / 2;
    const RECT& clip = dest.GetClipRect();
    for (std::int64_t j = 0; j < dh; ++j) {
        for (std::int64_t i = 0; i < dw; ++i) {
            const std::int64_t x = d.left + dest.GetOriginX() + i;
            const std::int64_t y = d.top + dest.GetOriginY() + j;
            AxisRef ax, ay;
            if (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom ||
                !mapRef(i, dw, s.left, s.right, source.GetWidth(), stretched, smooth, ax) ||
                !mapRef(j, dh, s.top, s.bottom, source.GetHeight(), stretched, smooth, ay)) {
                continue;
            }
            auto at = [&](std::int64_t sx, std::int64_t sy) {
                return get(source, int(sx), int(sy));
            };
            const std::uint32_t value =
                smooth ? filterRef(at(ax.source, ay.source), at(ax.next, ay.source),
                                   at(ax.source, ay.next), at(ax.next, ay.next), ax.fraction,
                                   ay.fraction)
                       : at(ax.source, ay.source);
            std::uint32_t& p = out[std::size_t(y * dest.GetWidth() + x)];
            p = blend ? pixels::refBlend(0, p, value, pixels::refW(int(value >> 24))) : value;
        }
    }
    return out;
}

}  // namespace

// Random rectangles anywhere (negative, partly outside, mirrored, stretched either way), random
// origins and clip rectangles inside larger destinations: every pixel, the guard bands around the
// clip included, must match the pixel-by-pixel reference.
TEST(CNxBlitGeometry, ClippingMatchesABruteForceReference) {
    std::mt19937 random(2024);
    auto pick = [&](int lo, int hi) { return lo + int(random() % unsigned(hi - lo + 1)); };
    CNxSurface source(32);
    int failures = 0;
    for (int round = 0; round < 3000 && failures < 5; ++round) {
        source.Create(pick(1, 14), pick(1, 14));
        pixels::randomise(source, random);
        // Some transparent pixels, so that colour borrowing happens.
        for (int k = 0; k < 6; ++k) {
            pixels::set(source, pick(0, source.GetWidth() - 1), pick(0, source.GetHeight() - 1),
                        std::uint32_t(random()) & 0x00FFFFFFu);
        }
        CNxSurface dest(32);
        dest.Create(pick(1, 24), pick(1, 24));
        pixels::randomise(dest, random);
        const RECT clip{pick(-2, dest.GetWidth()), pick(-2, dest.GetHeight()),
                        pick(0, dest.GetWidth() + 2), pick(0, dest.GetHeight() + 2)};
        dest.SetClipRect(&clip);
        dest.SetOrigin(pick(-6, 6), pick(-6, 6));

        RECT s{pick(-4, source.GetWidth() + 2), pick(-4, source.GetHeight() + 2), 0, 0};
        s.right = s.left + pick(-6, 14);  // a negative width is a mirrored rectangle
        s.bottom = s.top + pick(-6, 14);
        const int sw = std::abs(s.right - s.left), sh = std::abs(s.bottom - s.top);
        RECT d{pick(-12, 20), pick(-12, 20), 0, 0};
        d.right = d.left + (random() % 2 ? sw : pick(0, 30));
        d.bottom = d.top + (random() % 2 ? sh : pick(0, 30));

        CNxBlitParams p;
        p.m_flags = (random() % 2 ? std::uint32_t(NxBlt_MirrorX) : 0u) |
                    (random() % 2 ? std::uint32_t(NxBlt_MirrorY) : 0u) |
                    (random() % 2 ? std::uint32_t(NxBlt_Smooth) : 0u);
        const bool blend = random() % 3 == 0;
        if (blend) {
            p.m_flags |= NxBlt_SourceAlpha;
        }
        RECT walked = s;  // as the dispatch mirrors it
        if (p.m_flags & NxBlt_MirrorX) {
            std::swap(walked.left, walked.right);
        }
        if (p.m_flags & NxBlt_MirrorY) {
            std::swap(walked.top, walked.bottom);
        }
        const std::vector<std::uint32_t> want =
            expected(dest, source, d, walked, p.m_flags & NxBlt_Smooth, blend);
        ASSERT_EQ(dest.Blit(&d, &source, &s, p.m_flags ? &p : nullptr), 1);
        if (snapshot(dest) != want) {
            ++failures;
            ADD_FAILURE() << "round " << round << ": dest " << d.left << "," << d.top << ","
                          << d.right << "," << d.bottom << " source " << s.left << "," << s.top
                          << "," << s.right << "," << s.bottom << " flags " << std::hex
                          << p.m_flags;
        }
    }
}

TEST(CNxBlitGeometry, SizesAndExtremeRectangles) {
    CNxSurface dest(32), source(32);
    dest.Create(8, 8);
    source.Create(4, 4);
    CNxBlitGeometry g;
    const RECT four{0, 0, 4, 4}, three{0, 0, 3, 3};
    EXPECT_EQ(g.Compute(dest, four, 4, 4, three, CNxBlitGeometry::kSameSizeOnly, false),
              CNxBlitGeometry::kRefused);
    EXPECT_EQ(g.Compute(dest, four, 4, 4, three, CNxBlitGeometry::kMayStretch, true),
              CNxBlitGeometry::kDraw);
    EXPECT_TRUE(g.m_stretched);
    EXPECT_TRUE(g.m_smooth);
    EXPECT_EQ(g.m_x.m_step, (2ull << 32) / 4) << "smoothing pulls the far edge in";

    // Empty rectangles on either side draw nothing and divide by nothing.
    const RECT none{2, 2, 2, 2}, inverted{4, 4, 0, 0};
    EXPECT_EQ(g.Compute(dest, none, 4, 4, four, CNxBlitGeometry::kMayStretch, false),
              CNxBlitGeometry::kEmpty);
    EXPECT_EQ(g.Compute(dest, inverted, 4, 4, four, CNxBlitGeometry::kMayStretch, false),
              CNxBlitGeometry::kEmpty);
    EXPECT_EQ(g.Compute(dest, four, 4, 4, none, CNxBlitGeometry::kMayStretch, false),
              CNxBlitGeometry::kEmpty);

    // Rectangles spanning the whole 32-bit range: widths up to 2^32 - 1 without overflow.
    const RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    ASSERT_EQ(g.Compute(dest, huge, 4, 4, four, CNxBlitGeometry::kMayStretch, false),
              CNxBlitGeometry::kDraw);
    // The surface sits 2^31 pixels into a 2^32 - 1 pixel destination: half-way along the source.
    EXPECT_EQ(g.m_x.m_count, 8);
    EXPECT_EQ(g.m_x.FirstSource(), 2);
    EXPECT_EQ(g.m_y.FirstSource(), 2);
    ASSERT_EQ(g.Compute(dest, four, 4, 4, huge, CNxBlitGeometry::kMayStretch, true),
              CNxBlitGeometry::kEmpty)
        << "the source pixels of a 4-pixel destination lie far outside the image";
    const RECT tall{0, INT_MIN, 4, INT_MAX};
    ASSERT_EQ(dest.Blit(&four, &source, &tall, nullptr), 1);
    ASSERT_EQ(dest.Blit(&tall, &source, &four, nullptr), 1);
    ASSERT_EQ(dest.Blit(&huge, &source, &huge, nullptr), 1);
    dest.SetOrigin(INT_MAX, INT_MIN);
    ASSERT_EQ(dest.Blit(&four, &source, &four, nullptr), 1);
}
