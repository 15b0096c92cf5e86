#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/ImageWriters.h"
#include "tests/support/TempDir.h"

// Chip images for the screen tests, whose every pixel tells where in the image it lies, so that
// a presented pixel shows which chip was drawn and from which offset in it.
namespace screen_test {

// Red and green: the low bytes of x and y; blue: their high nibbles. Opaque.
inline std::uint32_t imagePixel(int x, int y) {
    return 0xFF000000u | std::uint32_t(x & 0xFF) << 16 | std::uint32_t(y & 0xFF) << 8 |
           std::uint32_t((x >> 8) & 0xF) << 4 | std::uint32_t((y >> 8) & 0xF);
}

// Writes a 24-bit bitmap of width × height of imagePixel.
inline void writeChipImage(const std::string& path, int width, int height) {
    std::vector<testing_support::Bytes> rows;
    for (int y = 0; y < height; ++y) {
        testing_support::Bytes row;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = imagePixel(x, y);
            row.insert(row.end(), {std::uint8_t(p), std::uint8_t(p >> 8), std::uint8_t(p >> 16)});
        }
        rows.push_back(std::move(row));
    }
    testing_support::BmpPicture picture;
    picture.width = width;
    picture.height = height;
    picture.bitCount = 24;
    picture.pixels = testing_support::bottomUpRows(rows);
    testing_support::writeBytes(path, testing_support::encodeBmp(picture));
}

// Source-alpha blending of colour over an opaque pixel, within rounding.
inline bool isBlendOf(std::uint32_t pixel, std::uint32_t colour, std::uint32_t under) {
    const unsigned alpha = colour >> 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const int c = (colour >> shift) & 0xFF, u = (under >> shift) & 0xFF;
        const int expected = (c * int(alpha) + u * int(255 - alpha)) / 255;
        const int got = (pixel >> shift) & 0xFF;
        if (got < expected - 2 || got > expected + 2) {
            return false;
        }
    }
    return true;
}

}  // namespace screen_test
