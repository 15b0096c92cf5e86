#include "gfx/CNxBlendTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

TEST(CNxBlendTables, WeightsAndClamp) {
    const CNxBlendTables& t = CNxBlendTables::Get();
    EXPECT_EQ(&t, &CNxBlendTables::Get()) << "built once";
    EXPECT_EQ(t.W(0)[0], 0);
    EXPECT_EQ(t.W(1)[2], 2);
    EXPECT_EQ(t.W(255)[0], 256) << "full opacity copies exactly";
    EXPECT_EQ(t.W(255)[3], 0) << "the alpha lane keeps the destination";
    EXPECT_EQ(t.W3(2)[0], 0);
    EXPECT_EQ(t.W3(3)[1], 4);
    EXPECT_EQ(t.Clamp(-768), 0);
    EXPECT_EQ(t.Clamp(1023), 255);
    EXPECT_EQ(t.Clamp(77), 77);
    EXPECT_EQ(t.Grey(0x5A), 0x5A5A5A5Au);
}

TEST(CNxBlendTables, ProductUnionAndOverTables) {
    const CNxBlendTables& t = CNxBlendTables::Get();
    int wrong = 0;
    for (int i = 0; i < 256; ++i) {
        for (int j = 0; j < 256; ++j) {
            wrong += t.T(i, j) != (i * j + 127) / 255;
            wrong += t.E(i, j) != std::min(i + (255 - i) * j / 255, 255);
            // The source's share of an over composite, straight from alpha / (union alpha).
            const double x = j / 255.0, y = i / 255.0;
            const int share =
                i == 0 ? 255 : std::min(255, int(std::trunc(255.0 * x / (x + y * (1 - x)))));
            wrong += std::abs(t.D(i, j) - share) > 1;  // the same quotient, computed otherwise
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(t.T(255, 1), 1);
    EXPECT_EQ(t.D(0, 0), 255) << "anything over nothing shows fully";
    EXPECT_EQ(t.D(1, 0), 0);
    EXPECT_EQ(t.D(200, 255), 255);
    EXPECT_EQ(t.D(255, 128), 128);
    EXPECT_EQ(t.E(128, 128), 128 + 127 * 128 / 255);
}
