#include "platform/ScrollInfo.h"

#include <gtest/gtest.h>

using platform::ScrollInfo;

TEST(ScrollInfo, NormalisesAsSetScrollInfoDoes) {
    const struct {
        ScrollInfo given;
        ScrollInfo stored;
        const char* what;
    } cases[] = {
        {{0, 15, 1, 3}, {0, 15, 1, 3}, "the map's bars: range 0 … maximum, page 1"},
        {{0, 15, 1, 20}, {0, 15, 1, 15}, "page 1 reaches the maximum"},
        {{0, 9, 3, 9}, {0, 9, 3, 7}, "a page of 3 stops the thumb 2 short"},
        {{0, 9, 20, 5}, {0, 9, 10, 0}, "page at most the range"},
        {{0, 10, -3, -1}, {0, 10, 0, 0}, "no negative page or position"},
        {{5, 2, 0, 0}, {5, 5, 0, 5}, "maximum below minimum"},
        {{-4, 4, 0, -9}, {-4, 4, 0, -4}, "negative minimum"},
        {{0, 0, 0, 0}, {0, 0, 0, 0}, "cleared"},
    };
    for (const auto& c : cases) {
        const ScrollInfo s = c.given.normalised();
        EXPECT_EQ(s, c.stored) << c.what << ": got " << s.minimum << ".." << s.maximum << " page "
                               << s.page << " at " << s.position;
    }
}
