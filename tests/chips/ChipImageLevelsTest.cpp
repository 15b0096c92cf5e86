// The chip image's levels and the chip window's picture at every zoom, against the plain
// average of the image pixels under each pixel.
#include "chips/ChipImageLevels.h"

#include <gtest/gtest.h>

#include "chips/ChipSet.h"
#include "tests/chips/ZoomTestSupport.h"

using namespace zoom_test;

namespace {

// 75 × 41: every level has a partial block at the right and at the bottom.
constexpr int kWidth = 75, kHeight = 41;

}  // namespace

TEST(ChipImageLevels, EachLevelAveragesItsBlockOfTheImageItself) {
    ChipSet chips;
    chips.setImage(alphaPicture(kWidth, kHeight));
    const CNxSurface& image = *chips.image();
    for (int k = 1; k <= ChipImageLevels::kLevels; ++k) {
        const CNxSurface* level = chips.levels().level(k);
        ASSERT_NE(level, nullptr);
        const int side = 1 << k;
        ASSERT_EQ(level->GetWidth(), (kWidth + side - 1) / side) << k;
        ASSERT_EQ(level->GetHeight(), (kHeight + side - 1) / side) << k;
        for (int y = 0; y < level->GetHeight(); ++y) {
            for (int x = 0; x < level->GetWidth(); ++x) {
                ASSERT_EQ(at(*level, x, y),
                          areaAverage(block(image, x * side, y * side, side, side)))
                    << "level " << k << " pixel " << x << "," << y;
            }
        }
    }
    EXPECT_EQ(chips.levels().level(0), chips.image());
    EXPECT_EQ(chips.levels().level(6), nullptr);
    EXPECT_EQ(chips.levels().sums(1), nullptr) << "as large as the image: summed from it";

    // A new image drops the levels of the old one.
    chips.setImage(alphaPicture(kHeight, kWidth));
    EXPECT_EQ(at(*chips.levels().level(5), 0, 0), areaAverage(block(*chips.image(), 0, 0, 32, 32)));
}

TEST(ChipImageLevels, TakeAThirdMoreThanTheImageAtMost) {
    ChipSet chips;
    chips.setImage(alphaPicture(512, 384));
    for (int k = 1; k <= ChipImageLevels::kLevels; ++k) {
        ASSERT_NE(chips.levels().level(k), nullptr);
    }
    EXPECT_LE(chips.levels().levelBytes() * 3, 512u * 384 * 4);
}

TEST(ChipSetPicture, DrawsTheImageAtEveryZoomAsTheWindowShowsIt) {
    ChipSet chips;
    chips.setImage(alphaPicture(kWidth, kHeight));
    const CNxSurface& image = *chips.image();
    CNxSurface target(32), blit(32);
    target.Create(120, -90);
    blit.Create(120, -90);
    // At 1:1 the window filled black and the image copied from the view.
    for (const auto& [x, y] : {std::pair{0, 0}, {17, 5}, {74, 40}, {75, 0}}) {
        blit.Fill(nullptr, 0xFF000000);
        const RECT source{x, y, kWidth, kHeight};
        blit.Blit(0, 0, &image, &source, nullptr);
        target.Fill(nullptr, 0x12345678);
        chips.drawImage(target, x, y, Zoom{}, 120, 90);
        ASSERT_EQ(block(target, 0, 0, 120, 90), block(blit, 0, 0, 120, 90)) << x << "," << y;
    }
    // Elsewhere each pixel of the window against the image pixels it stands for: a block of
    // one, or the average of those under it that the image has. Views on and off the levels'
    // blocks, so that whole level pixels, sums of level blocks and image pixels all serve.
    const struct {
        Zoom zoom;
        int x, y;
    } cases[] = {{{2, 1}, 5, 3},   {{3, 1}, 70, 0}, {{1, 2}, 0, 0}, {{1, 2}, 3, 1},
                 {{1, 8}, 4, 12},  {{1, 8}, 8, 16}, {{1, 4}, 1, 2}, {{1, 32}, 0, 0},
                 {{1, 16}, 16, 0}, {{1, 32}, 4, 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zoom.text() + " from " + std::to_string(c.x) + "," + std::to_string(c.y));
        target.Fill(nullptr, 0x12345678);
        chips.drawImage(target, c.x, c.y, c.zoom, 100, 80);
        for (int y = 0; y < 90; ++y) {
            for (int x = 0; x < 120; ++x) {
                std::uint32_t want = 0x12345678;
                if (x < 100 && y < 80 && c.zoom.num > 1) {
                    const int ix = c.x + x / c.zoom.num, iy = c.y + y / c.zoom.num;
                    want = ix < kWidth && iy < kHeight ? at(image, ix, iy) : 0xFF000000;
                } else if (x < 100 && y < 80) {
                    const int s = c.zoom.den;
                    const auto pixels = block(image, c.x + x * s, c.y + y * s, s, s);
                    want = pixels.empty() ? 0xFF000000 : areaAverage(pixels);
                }
                ASSERT_EQ(at(target, x, y), want) << x << "," << y;
            }
        }
    }
}
