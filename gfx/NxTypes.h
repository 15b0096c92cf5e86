#pragma once

#include <cstdint>

#include "platform/Geometry.h"

// The few Windows bitmap structures the drawing library and the image decoders speak, laid out
// byte for byte as in bitmap files, and the rectangle every drawing call takes.

// The program's one rectangle under the name the drawing library's calls use: left, top, right,
// bottom; right and bottom are exclusive.
using RECT = platform::Rect;
static_assert(sizeof(RECT) == 4 * sizeof(std::int32_t), "four 32-bit sides");

struct RGBQUAD {
    std::uint8_t rgbBlue;
    std::uint8_t rgbGreen;
    std::uint8_t rgbRed;
    std::uint8_t rgbReserved;
};

struct BITMAPINFOHEADER {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight;  // positive: rows stored bottom-up; negative: top-down
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];  // the colour table (or three masks) runs on past the header
};

#pragma pack(push, 2)
struct BITMAPFILEHEADER {
    std::uint16_t bfType;  // "BM"
    std::uint32_t bfSize;
    std::uint16_t bfReserved1;
    std::uint16_t bfReserved2;
    std::uint32_t bfOffBits;  // where the pixels start, from the start of the file
};
#pragma pack(pop)

static_assert(sizeof(BITMAPINFOHEADER) == 40, "the bitmap info header is 40 bytes");
static_assert(sizeof(BITMAPFILEHEADER) == 14, "the bitmap file header is 14 bytes");
static_assert(sizeof(RGBQUAD) == 4, "a colour table entry is 4 bytes");

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;
