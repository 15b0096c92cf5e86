#pragma once

#include <cstdint>

#include "grid/SelectionRect.h"

// A block of chips chosen in the chip window: a rectangle of chip columns and rows of the chip
// image, and the number of chips in one row of the image, which numbers them.
struct ChipBlock {
    SelectionRect chips;
    int chipColumns = 1;

    // The chip at chip column c and chip row r of the image.
    std::int32_t chipNumberAt(int c, int r) const { return r * chipColumns + c; }
};
