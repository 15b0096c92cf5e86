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
