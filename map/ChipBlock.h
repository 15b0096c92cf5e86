#pragma once

#include <algorithm>
#include <cstdint>

// A block of chips chosen in the chip window: chip columns column1 … column2 and chip rows
// row1 … row2 of the chip image, in either order, and the number of chips in one row of the
// image, which numbers them.
struct ChipBlock {
    int column1 = 0;
    int row1 = 0;
    int column2 = 0;
    int row2 = 0;
    int chipColumns = 1;

    int left() const { return std::min(column1, column2); }
    int top() const { return std::min(row1, row2); }
    int width() const { return std::max(column1, column2) - left() + 1; }
    int height() const { return std::max(row1, row2) - top() + 1; }
    // The chip at chip column c and chip row r of the image.
    std::int32_t chipNumberAt(int c, int r) const { return r * chipColumns + c; }
};
