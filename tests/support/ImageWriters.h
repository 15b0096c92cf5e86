#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gfx/CNxDIBImage.h"

class CNxImageLoader;

// Writers of small test pictures in every format the editor reads, and a way to look at what a
// decoder made of them.
namespace testing_support {

using Bytes = std::vector<std::uint8_t>;

// A PNG as libpng writes it. rows hold each row's bytes as PNG stores them (samples packed
// from the high bits, 16-bit samples big-endian).
struct PngPicture {
    int width = 1;
    int height = 1;
    int colourType = 0;  // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool interlaced = false;
    Bytes palette;  // R, G, B triples
    Bytes trns;     // palette alphas, or the transparent grey/colour as 16-bit values
    std::vector<Bytes> rows;
    std::string textChunk;  // when not empty, a tEXt chunk "Comment" with this text
};
Bytes encodePng(const PngPicture& picture);

// A JPEG as libjpeg writes it: components 1 (grey), 3 (R, G, B) or 4 (C, M, Y, K), pixels row
// by row from the top.
Bytes encodeJpeg(int width, int height, int components, const Bytes& pixels, int quality = 90,
                 bool progressive = false);

// A bitmap file, laid out field by field so that tests can break any of them.
struct BmpPicture {
    bool fileHeader = true;
    std::uint32_t headerSize = 40;
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0;  // 0: the length of pixels
    std::uint32_t clrUsed = 0;
    std::vector<std::uint32_t> masks;  // after a 40-byte header, or inside a longer one
    std::vector<RGBQUAD> table;
    Bytes gap;                  // bytes between the table and the pixels
    Bytes pixels;               // as stored
    std::int64_t offBits = -1;  // -1: where the pixels really start
};
Bytes encodeBmp(const BmpPicture& picture);
// Rows given top-down, each padded to a multiple of 4 bytes and stored bottom-up.
Bytes bottomUpRows(const std::vector<Bytes>& rowsTopDown);

// A MAG picture. lines hold the pixels row by row from the top, each of width / 2 (16 colours)
// or width (256 colours) bytes, width being rounded up to 8 or 4. The encoder picks among the
// copy vectors that match by the given seed, so that every vector gets used.
struct MagPicture {
    int xStart = 0, yStart = 0, xEnd = 0, yEnd = 0;
    bool colours256 = false;
    Bytes palette;  // G, R, B triples, 16 or 256 of them
    std::vector<Bytes> lines;
    unsigned seed = 1;
    std::string comment = "test";
};
Bytes encodeMag(const MagPicture& picture);

// Writes bytes to a file and decodes it with loader; null when the loader fails.
std::unique_ptr<CNxDIBImage> loadBytes(CNxImageLoader& loader, const std::string& path,
                                       const Bytes& bytes);
// The picture converted to 32 bits as a surface does, row by row from the top, as 0xAARRGGBB.
std::vector<std::uint32_t> argbPixels(const CNxDIBImage& image);

}  // namespace testing_support
