#include "gfx/CNxRowOps.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

namespace {

std::vector<const CNxRowOps*> simdForms() {
    std::vector<const CNxRowOps*> forms;
    for (const CNxRowOps* form : {CNxRowOps::Sse2(), CNxRowOps::Avx2()}) {
        if (form != nullptr) {
            forms.push_back(form);
        }
    }
    return forms;
}

// One call's inputs. Alphas come in runs of 0, of 255 and of anything, as overlays have them,
// since the SIMD forms take wholly clear and wholly opaque groups apart, and the filter lends
// colours between transparent pixels of both rows.
struct Inputs {
    std::vector<std::uint32_t> d, s, fx;
    std::vector<std::int32_t> pairs;
    std::uint32_t alpha, w, colour, fy;
    bool reversed, borrow;

    Inputs(std::mt19937& random, int n) : d(std::size_t(n) + 16), s(d.size()), fx(d.size()) {
        std::uint32_t runAlpha[2] = {0, 0};
        for (std::size_t i = 0; i < d.size(); ++i) {
            for (std::uint32_t& a : runAlpha) {
                if (random() % 6 == 0) {
                    a = std::vector<std::uint32_t>{0, 255,
                                                   std::uint32_t(random() % 256)}[random() % 3];
                }
            }
            d[i] = (std::uint32_t(random()) & 0x00FFFFFF) | runAlpha[0] << 24;
            s[i] = (std::uint32_t(random()) & 0x00FFFFFF) | runAlpha[1] << 24;
            pairs.push_back(std::int32_t(random() % (d.size() - 1)));
            fx[i] = random() % 256;
        }
        alpha = random() % 2 ? 255 : 1 + random() % 254;
        w = 1 + random() % 256;
        colour = std::uint32_t(random());
        fy = random() % 256;
        reversed = random() % 2;
        borrow = random() % 2;
    }
};

// Each operation writes into out, which starts as a copy of d, n pixels from `at`.
using Operation =
    std::function<void(const CNxRowOps&, const Inputs&, std::uint32_t* out, int at, int n)>;

const struct {
    const char* name;
    Operation run;
} kOperations[] = {
    {"copy", [](auto& f, auto& in, auto* out, int at, int n) { f.m_copy(out + at, &in.s[at], n); }},
    {"fill", [](auto& f, auto& in, auto* out, int at, int n) { f.m_fill(out + at, in.colour, n); }},
    {"constant alpha", [](auto& f, auto& in, auto* out, int at,
                          int n) { f.m_blendConstant(out + at, &in.s[at], n, in.w); }},
    {"source alpha", [](auto& f, auto& in, auto* out, int at,
                        int n) { f.m_blendSourceAlpha(out + at, &in.s[at], n, in.alpha); }},
    {"colour blend", [](auto& f, auto& in, auto* out, int at,
                        int n) { f.m_blendColour(out + at, n, in.colour, in.w); }},
    // Both halves of the bilinear filter; the pairs read the source row and d as the next row.
    {"filter",
     [](auto& f, auto& in, auto* out, int at, int n) {
         std::vector<std::uint32_t> top(std::size_t(n) + 1), bottom(top);
         f.m_filterPairs(top.data(), bottom.data(), in.s.data(), in.d.data(), &in.pairs[at],
                         &in.fx[at], n, in.reversed, in.borrow);
         f.m_lerpRows(out + at, top.data(), bottom.data(), n, in.fy);
     }},
};

}  // namespace

// Every operation of every SIMD form against the portable form on random rows of every length
// up to 67 at every alignment: the rows, and the guard pixels around them, must be identical.
TEST(CNxRowOps, SimdFormsMatchThePortableFormOnRandomRows) {
    std::mt19937 random(99);
    for (const CNxRowOps* form : simdForms()) {
        for (const auto& op : kOperations) {
            for (int n = 1; n <= 67; ++n) {
                for (int at = 0; at < 4; ++at) {
                    const Inputs in(random, n);
                    std::vector<std::uint32_t> want = in.d, got = in.d;
                    op.run(CNxRowOps::Portable(), in, want.data(), at, n);
                    op.run(*form, in, got.data(), at, n);
                    ASSERT_EQ(got, want) << form->m_name << " " << op.name << ", " << n
                                         << " pixels at +" << at << ", alpha " << in.alpha;
                }
            }
        }
        // Whole-surface fills take another path than short rows.
        std::vector<std::uint32_t> d(70000, 7u), want(d);
        CNxRowOps::Portable().m_fill(want.data() + 3, 0x80FF00FFu, 69993);
        form->m_fill(d.data() + 3, 0x80FF00FFu, 69993);
        ASSERT_EQ(d, want) << form->m_name << " long fill";
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
    const std::vector<const CNxRowOps*> forms = simdForms();
    EXPECT_EQ(&CNxRowOps::Best(), forms.empty() ? &CNxRowOps::Portable() : forms.back());
#if defined(PELORIN_PORTABLE)
    EXPECT_TRUE(forms.empty()) << "a portable build runs the portable rows";
#endif
}
