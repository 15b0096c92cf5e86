#pragma once

#include "gfx/CNxDIBImage.h"

// Copies pixels from one image to another of any format pair the library converts: from 1, 4 and
// 8 bits into every format at least as deep (and 1 into 1 and 4), from 16, 24 and 32 bits into
// 8, 16, 24 and 32. Into 32 bits a paletted pixel becomes its table entry, a 16-bit one is
// expanded through its masks, a 24-bit one is copied, all with alpha 255; 32-bit rows are
// copied byte for byte, alpha included. Into 8 bits colours become grey levels
// (R × 5014911 + G × 9841699 + B × 1920606) >> 24 while paletted sources keep their indices.
class CNxDIBImageConverter {
public:
    // Copies sourceRect of source (null: all of it) to dest with its top-left corner at (x, y),
    // clipped to both images. 0 when an image is empty or the format pair is not converted;
    // 1 otherwise, also when nothing overlaps.
    static int Convert(CNxDIBImage& dest, int x, int y, const CNxDIBImage& source,
                       const RECT* sourceRect);

    // Whether a copy from sourceBits to destBits pixels is converted.
    static bool Converts(int sourceBits, int destBits);
};
