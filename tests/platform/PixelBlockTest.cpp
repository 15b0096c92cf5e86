#include "platform/PixelBlock.h"

#include <gtest/gtest.h>

#include <vector>

using platform::copyPixelBlock;
using platform::PixelBlock;
using platform::Rect;
using platform::Size;

namespace {

constexpr Size kDest{6, 5};

// Source words that tell their own place: 0xA0yyxx00 plus 1, never 0.
std::uint32_t word(int x, int y) {
    return 0xA0000001u | (static_cast<std::uint32_t>(y) << 16) |
           (static_cast<std::uint32_t>(x) << 8);
}

// A source image of w × h words laid out top-down with padding words at each row's end.
std::vector<std::uint32_t> topDown(int w, int h, int pad) {
    std::vector<std::uint32_t> v;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            v.push_back(word(x, y));
        }
        v.insert(v.end(), pad, 0xDEADBEEFu);
    }
    return v;
}

}  // namespace

TEST(PixelBlock, CopiesExactWordsToTheirPlaceAndClipsToTheDestination) {
    const struct {
        Rect rect;
        Rect written;
        const char* what;
    } cases[] = {
        {{1, 1, 4, 3}, {1, 1, 4, 3}, "inside"},
        {{-2, -1, 2, 2}, {0, 0, 2, 2}, "over the left and top edges"},
        {{4, 3, 8, 7}, {4, 3, 6, 5}, "over the right and bottom edges"},
        {{6, 0, 9, 2}, {}, "wholly outside"},
    };
    for (const auto& c : cases) {
        const int w = c.rect.width(), h = c.rect.height();
        const std::vector<std::uint32_t> source = topDown(w, h, 2);
        std::vector<std::uint32_t> dest(kDest.width * kDest.height, 0);
        const Rect written = copyPixelBlock(PixelBlock{c.rect, source.data(), (w + 2) * 4},
                                            dest.data(), kDest, kDest.width * 4);
        EXPECT_EQ(written, c.written) << c.what;
        for (int y = 0; y < kDest.height; ++y) {
            for (int x = 0; x < kDest.width; ++x) {
                const bool in = written.contains({x, y});
                const std::uint32_t expected = in ? word(x - c.rect.left, y - c.rect.top) : 0u;
                EXPECT_EQ(dest[y * kDest.width + x], expected) << c.what << " at " << x << "," << y;
            }
        }
    }
}

TEST(PixelBlock, ReadsBottomUpMemoryThroughANegativePitch) {
    // Rows stored last row first: the top row lies at the highest address.
    const int w = 3, h = 4;
    std::vector<std::uint32_t> memory;
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            memory.push_back(word(x, y));
        }
    }
    const std::uint32_t* top = memory.data() + (h - 1) * w;
    std::vector<std::uint32_t> dest(kDest.width * kDest.height, 0);
    copyPixelBlock(PixelBlock{{2, 1, 5, 5}, top, -w * 4}, dest.data(), kDest, kDest.width * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            EXPECT_EQ(dest[(y + 1) * kDest.width + x + 2], word(x, y)) << x << "," << y;
        }
    }
    // Clipping at the top must skip rows downward, that is toward lower addresses.
    std::vector<std::uint32_t> clipped(kDest.width * kDest.height, 0);
    copyPixelBlock(PixelBlock{{0, -2, 3, 2}, top, -w * 4}, clipped.data(), kDest, kDest.width * 4);
    EXPECT_EQ(clipped[0], word(0, 2));
    EXPECT_EQ(clipped[kDest.width + 2], word(2, 3));
}

TEST(PixelBlock, OrMaskSetsBitsOfEveryWordWritten) {
    const std::uint32_t source[2] = {0x00123456u, 0x7F000000u};
    std::vector<std::uint32_t> dest(kDest.width * kDest.height, 0);
    copyPixelBlock(PixelBlock{{0, 0, 2, 1}, source, 8}, dest.data(), kDest, kDest.width * 4,
                   0xFF000000u);
    EXPECT_EQ(dest[0], 0xFF123456u);
    EXPECT_EQ(dest[1], 0xFF000000u);
    EXPECT_EQ(dest[2], 0u);
}
