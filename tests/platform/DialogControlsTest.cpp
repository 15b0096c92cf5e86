#include "platform/DialogControls.h"

#include <gtest/gtest.h>

#include <climits>

using platform::DialogControls;

TEST(SpinPosition, ReadsTheEditTextWithItsValidity) {
    const struct {
        const char* text;
        int minimum, maximum;
        int value;
        bool valid;
    } cases[] = {
        {"42", 0, 100, 42, true},
        {" 7 ", 0, 100, 7, true},
        {"+5", 0, 100, 5, true},
        {"5000", 1, 5000, 5000, true},
        {"6000", 1, 5000, 6000, false},  // typed beyond the range: the setter reports it
        {"-1", 0, 255, -1, false},
        {"0", 0, 0, 0, true},
        {"", 16, 64, 15, false},  // no number: just below the range
        {"abc", 16, 64, 15, false},
        {"12x", 16, 64, 15, false},
        {"-", 16, 64, 15, false},
        {"99999999999", 1, 5000, 5001, false},
        {"-99999999999", 1, 5000, 0, false},
        {"2147483647", INT_MIN, INT_MAX, INT_MAX, true},
        {"-2147483648", INT_MIN, INT_MAX, INT_MIN, true},
        {"", INT_MIN, 10, 11, false},
    };
    for (const auto& c : cases) {
        const platform::SpinPosition p = DialogControls::spinPosition(c.text, c.minimum, c.maximum);
        EXPECT_EQ(p.value, c.value) << '"' << c.text << '"';
        EXPECT_EQ(p.valid, c.valid) << '"' << c.text << '"';
    }
}
