#include "gfx/CNxRowOps.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

std::vector<const CNxRowOps*> simdForms() {
    std::vector<const CNxRowOps*> forms{&CNxRowOps::Sse2()};
    if (CNxRowOps::Avx2() != nullptr) {
        forms.push_back(CNxRowOps::Avx2());
    }
    return forms;
}

// Runs one operation of two forms on copies of the same random row starting `offset` pixels into
// a guarded buffer, and compares every pixel, the guards included.
template <typename Call>
void compare(const CNxRowOps& form, int n, int offset, std::mt19937& random, Call call,
             const char* what) {
    std::vector<std::uint32_t> d(std::size_t(n + 16)), s(d.size());
    for (std::size_t i = 0; i < d.size(); ++i) {
        d[i] = std::uint32_t(random());
        s[i] = std::uint32_t(random());
    }
    std::vector<std::uint32_t> want = d, got = d;
    call(CNxRowOps::Portable(), want.data() + offset, s.data() + offset, n);
    call(form, got.data() + offset, s.data() + offset, n);
    ASSERT_EQ(got, want) << form.m_name << " " << what << ", " << n << " pixels at +" << offset;
}

}  // namespace

TEST(CNxRowOps, SimdFormsMatchThePortableFormOnRandomRows) {
    std::mt19937 random(99);
    for (const CNxRowOps* form : simdForms()) {
        for (int n = 1; n <= 67; ++n) {
            for (int offset = 0; offset < 4; ++offset) {
                const std::uint32_t alpha = 1 + random() % 255;
                const std::uint32_t w = 1 + random() % 256;
                const std::uint32_t colour = std::uint32_t(random());
                compare(
                    *form, n, offset, random,
                    [](const CNxRowOps& f, std::uint32_t* d, const std::uint32_t* s, int k) {
                        f.m_copy(d, s, k);
                    },
                    "copy");
                compare(
                    *form, n, offset, random,
                    [&](const CNxRowOps& f, std::uint32_t* d, const std::uint32_t*, int k) {
                        f.m_fill(d, colour, k);
                    },
                    "fill");
                compare(
                    *form, n, offset, random,
                    [&](const CNxRowOps& f, std::uint32_t* d, const std::uint32_t* s, int k) {
                        f.m_blendConstant(d, s, k, w);
                    },
                    "constant alpha");
                for (std::uint32_t a : {alpha, 255u}) {
                    compare(
                        *form, n, offset, random,
                        [&](const CNxRowOps& f, std::uint32_t* d, const std::uint32_t* s, int k) {
                            f.m_blendSourceAlpha(d, s, k, a);
                        },
                        "source alpha");
                }
                compare(
                    *form, n, offset, random,
                    [&](const CNxRowOps& f, std::uint32_t* d, const std::uint32_t*, int k) {
                        f.m_blendColour(d, k, colour, w);
                    },
                    "colour blend");
            }
        }
    }
}

// Whole-surface fills take another path than short rows.
// Overlays are runs of wholly transparent and wholly opaque pixels, which the SIMD forms take
// in whole groups; the results must still be the portable form's.
TEST(CNxRowOps, SourceAlphaRunsOfClearAndOpaquePixelsMatchThePortableForm) {
    std::mt19937 random(5);
    for (const CNxRowOps* form : simdForms()) {
        for (int n = 1; n <= 67; ++n) {
            std::vector<std::uint32_t> d(std::size_t(n) + 3), s(d.size());
            std::uint32_t runAlpha = 0;
            for (std::size_t i = 0; i < d.size(); ++i) {
                if (random() % 6 == 0) {
                    const std::uint32_t kinds[] = {0, 255, std::uint32_t(random() % 256)};
                    runAlpha = kinds[random() % 3];
                }
                d[i] = std::uint32_t(random());
                s[i] = (std::uint32_t(random()) & 0x00FFFFFF) | runAlpha << 24;
            }
            for (std::uint32_t alpha : {255u, 1 + std::uint32_t(random() % 254)}) {
                for (int offset = 0; offset < 3; ++offset) {
                    std::vector<std::uint32_t> want = d, got = d;
                    CNxRowOps::Portable().m_blendSourceAlpha(want.data() + offset,
                                                             s.data() + offset, n, alpha);
                    form->m_blendSourceAlpha(got.data() + offset, s.data() + offset, n, alpha);
                    ASSERT_EQ(got, want) << form->m_name << ", " << n << " pixels, alpha " << alpha;
                }
            }
        }
    }
}

TEST(CNxRowOps, LongFillsMatchToo) {
    for (const CNxRowOps* form : simdForms()) {
        std::vector<std::uint32_t> d(70000, 7u), want(d);
        CNxRowOps::Portable().m_fill(want.data() + 3, 0x80FF00FFu, 69993);
        form->m_fill(d.data() + 3, 0x80FF00FFu, 69993);
        ASSERT_EQ(d, want) << form->m_name;
    }
}

// Both halves of the bilinear filter, on random pairs, many of them transparent so that colour
// borrowing runs in every combination, walked both ways.
TEST(CNxRowOps, FilterFormsMatchThePortableForm) {
    std::mt19937 random(17);
    std::vector<std::uint32_t> row0(80), row1(80);
    for (const CNxRowOps* form : simdForms()) {
        for (int n = 1; n <= 67; ++n) {
            for (std::size_t i = 0; i < row0.size(); ++i) {
                // A quarter of the pixels transparent, the rest any alpha.
                row0[i] = std::uint32_t(random()) & (random() % 4 ? ~0u : 0x00FFFFFFu);
                row1[i] = std::uint32_t(random()) & (random() % 4 ? ~0u : 0x00FFFFFFu);
            }
            const auto count = static_cast<std::size_t>(n);
            std::vector<std::int32_t> pairs(count);
            std::vector<std::uint32_t> fx(count);
            for (int i = 0; i < n; ++i) {
                pairs[static_cast<std::size_t>(i)] = std::int32_t(random() % 79);
                fx[static_cast<std::size_t>(i)] = random() % 256;
            }
            for (bool reversed : {false, true}) {
                for (bool borrow : {false, true}) {
                    std::vector<std::uint32_t> top(count), bottom(top), wantTop(top),
                        wantBottom(top);
                    CNxRowOps::Portable().m_filterPairs(wantTop.data(), wantBottom.data(),
                                                        row0.data(), row1.data(), pairs.data(),
                                                        fx.data(), n, reversed, borrow);
                    form->m_filterPairs(top.data(), bottom.data(), row0.data(), row1.data(),
                                        pairs.data(), fx.data(), n, reversed, borrow);
                    ASSERT_EQ(top, wantTop) << form->m_name << " " << n;
                    ASSERT_EQ(bottom, wantBottom) << form->m_name << " " << n;
                    const std::uint32_t fy = random() % 256;
                    std::vector<std::uint32_t> out(count), want(out);
                    CNxRowOps::Portable().m_lerpRows(want.data(), top.data(), bottom.data(), n, fy);
                    form->m_lerpRows(out.data(), top.data(), bottom.data(), n, fy);
                    ASSERT_EQ(out, want) << form->m_name << " " << n;
                }
            }
        }
    }
}

// The SIMD forms compute T[alpha][sa] arithmetically rather than from the table: every pair.
TEST(CNxRowOps, SourceAlphaAgreesForEveryAlphaPair) {
    std::mt19937 random(5);
    std::vector<std::uint32_t> s(256), d(256);
    for (const CNxRowOps* form : simdForms()) {
        for (std::uint32_t alpha = 1; alpha < 256; ++alpha) {
            for (std::uint32_t i = 0; i < 256; ++i) {
                s[i] = i << 24 | (std::uint32_t(random()) & 0xFFFFFF);
                d[i] = std::uint32_t(random());
            }
            std::vector<std::uint32_t> want = d;
            CNxRowOps::Portable().m_blendSourceAlpha(want.data(), s.data(), 256, alpha);
            form->m_blendSourceAlpha(d.data(), s.data(), 256, alpha);
            ASSERT_EQ(d, want) << form->m_name << " alpha " << alpha;
        }
    }
}

TEST(CNxRowOps, BestIsTheWidestTheProcessorRuns) {
    EXPECT_EQ(&CNxRowOps::Best(),
              CNxRowOps::Avx2() != nullptr ? CNxRowOps::Avx2() : &CNxRowOps::Sse2());
}
