#include "gfx/CNxBlitGeometry.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// The bilinear sample of a 32-bit source, from its rule, one channel at a time.
struct Quad {
    int c[4];  // B, G, R, A
    explicit Quad(std::uint32_t p) {
        for (int k = 0; k < 4; ++k) {
            c[k] = pixels::channel(p, k);
        }
    }
    bool clear() const { return c[3] == 0; }
    // A transparent pixel takes its neighbour's colour; its own alpha stays 0.
    void takeColourOf(const Quad& other) { std::copy(other.c, other.c + 3, c); }
};

// a + floor((b - a) × f / 256) in every channel, alpha included.
Quad mix(Quad a, const Quad& b, int f) {
    for (int k = 0; k < 4; ++k) {
        a.c[k] += floorDiv((b.c[k] - a.c[k]) * f, 256);
    }
    return a;
}

std::uint32_t filterRef(Quad p00, Quad p01, Quad p10, Quad p11, int fx, int fy, bool borrow) {
    // Transparent pixels borrow colour from their visible partner on the same row, then a
    // wholly transparent row from the other row; so no dark fringe mixes in.
    for (auto row : {std::make_pair(&p00, &p01), std::make_pair(&p10, &p11)}) {
        if (!borrow) {
        } else if (row.first->clear()) {
            row.first->takeColourOf(*row.second);
        } else if (row.second->clear()) {
            row.second->takeColourOf(*row.first);
        }
    }
    if (!borrow) {
    } else if (p00.clear() && p01.clear()) {
        p00.takeColourOf(p10);
        p01.takeColourOf(p11);
    } else if (p10.clear() && p11.clear()) {
        p10.takeColourOf(p00);
        p11.takeColourOf(p01);
    }
    const Quad q = mix(mix(p00, p01, fx), mix(p10, p11, fx), fy);
    return std::uint32_t(q.c[0]) | std::uint32_t(q.c[1]) << 8 | std::uint32_t(q.c[2]) << 16 |
           std::uint32_t(q.c[3]) << 24;
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

enum class Draw { kCopy, kBlend, kBlendAlt };

// What a copy (or a source-alpha blend, with NxBlt_SmoothAlt or without) of sourceRect to
// destRect leaves in the destination,
// visiting every destination pixel of the unclipped rectangle.
std::vector<std::uint32_t> expected(const CNxSurface& dest, const CNxSurface& source, RECT d,
                                    RECT s, bool smoothFlag, Draw draw) {
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
                smooth ? filterRef(Quad(at(ax.source, ay.source)), Quad(at(ax.next, ay.source)),
                                   Quad(at(ax.source, ay.next)), Quad(at(ax.next, ay.next)),
                                   ax.fraction, ay.fraction, draw != Draw::kBlendAlt || !smooth)
                       : at(ax.source, ay.source);
            std::uint32_t& p = out[std::size_t(y * dest.GetWidth() + x)];
            // Filtered alphas below 3 draw nothing with the alternative filter.
            const int a = int(value >> 24);
            const int w = draw == Draw::kBlendAlt && smooth ? (a < 3 ? 0 : a + 1) : pixels::refW(a);
            p = draw != Draw::kCopy ? pixels::refBlend(0, p, value, w) : value;
        }
    }
    return out;
}

}  // namespace

// Random rectangles anywhere (negative, partly outside, mirrored, stretched either way), random
// origins and clip rectangles inside larger destinations: every pixel, the guard bands around the
// clip included, must match the pixel-by-pixel reference, which follows the rules as written.
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
        // Every eighth round copies within the destination itself, the rows overlapping; half
        // of those move whole rows of an unclipped surface, which go as one block.
        const bool self = round % 8 == 0, wholeRows = self && random() % 2;
        if (!wholeRows) {
            const RECT clip{pick(-2, dest.GetWidth()), pick(-2, dest.GetHeight()),
                            pick(0, dest.GetWidth() + 2), pick(0, dest.GetHeight() + 2)};
            dest.SetClipRect(&clip);
            dest.SetOrigin(pick(-6, 6), pick(-6, 6));
        }
        const CNxSurface& from = self ? dest : source;

        RECT s{pick(-4, from.GetWidth() + 2), pick(-4, from.GetHeight() + 2), 0, 0};
        s.right = s.left + pick(self ? 0 : -6, 14);  // a negative width is a mirrored rectangle
        s.bottom = s.top + pick(self ? 0 : -6, 14);
        if (wholeRows) {
            s.left = 0;
            s.right = from.GetWidth();
        }
        const int sw = std::abs(s.right - s.left), sh = std::abs(s.bottom - s.top);
        RECT d{wholeRows ? 0 : pick(-12, 20), pick(-12, 20), 0, 0};
        d.right = d.left + (self || random() % 2 ? sw : pick(0, 30));
        d.bottom = d.top + (self || random() % 2 ? sh : pick(0, 30));

        CNxBlitParams p;
        p.m_flags = (random() % 2 ? std::uint32_t(NxBlt_MirrorX) : 0u) |
                    (random() % 2 ? std::uint32_t(NxBlt_MirrorY) : 0u) |
                    (random() % 2 ? std::uint32_t(NxBlt_Smooth) : 0u);
        const Draw draw = self ? Draw::kCopy : Draw(random() % 3);
        if (draw != Draw::kCopy) {
            p.m_flags |=
                NxBlt_SourceAlpha | (draw == Draw::kBlendAlt ? std::uint32_t(NxBlt_SmoothAlt) : 0u);
        }
        if (self) {
            p.m_flags = 0;
        }
        RECT walked = s;  // as the dispatch mirrors it
        if (p.m_flags & NxBlt_MirrorX) {
            std::swap(walked.left, walked.right);
        }
        if (p.m_flags & NxBlt_MirrorY) {
            std::swap(walked.top, walked.bottom);
        }
        const std::vector<std::uint32_t> want =
            expected(dest, from, d, walked, p.m_flags & NxBlt_Smooth, draw);
        ASSERT_EQ(dest.Blit(&d, &from, &s, p.m_flags ? &p : nullptr), 1);
        if (snapshot(dest) != want) {
            ++failures;
            ADD_FAILURE() << "round " << round << ": dest " << d.left << "," << d.top << ","
                          << d.right << "," << d.bottom << " source " << s.left << "," << s.top
                          << "," << s.right << "," << s.bottom << " flags " << std::hex << p.m_flags
                          << (self ? " within one surface" : "");
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
