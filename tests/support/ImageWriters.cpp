#include "tests/support/ImageWriters.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <random>

#include <jpeglib.h>

#include "gfx/CNxDIBImageConverter.h"
#include "gfx/CNxFile.h"
#include "gfx/CNxImageLoader.h"
#include "tests/support/TempDir.h"

namespace testing_support {

namespace {

void appendToBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

// Everything that may be jumped over lives in the caller; this frame holds plain values only.
bool writePng(png_structp png, png_infop info, const PngPicture& p, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_IHDR(png, info, p.width, p.height, p.bitDepth, p.colourType,
                 p.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!p.palette.empty()) {
        png_set_PLTE(png, info, reinterpret_cast<png_const_colorp>(p.palette.data()),
                     static_cast<int>(p.palette.size() / 3));
    }
    if (!p.trns.empty()) {
        if (p.colourType == PNG_COLOR_TYPE_PALETTE) {
            png_set_tRNS(png, info, p.trns.data(), static_cast<int>(p.trns.size()), nullptr);
        } else {
            png_color_16 value = {};
            value.gray = static_cast<png_uint_16>(p.trns[0] << 8 | p.trns[1]);
            if (p.trns.size() >= 6) {
                value.red = value.gray;
                value.green = static_cast<png_uint_16>(p.trns[2] << 8 | p.trns[3]);
                value.blue = static_cast<png_uint_16>(p.trns[4] << 8 | p.trns[5]);
            }
            png_set_tRNS(png, info, nullptr, 0, &value);
        }
    }
    png_text text = {};
    if (!p.textChunk.empty()) {
        text.compression = PNG_TEXT_COMPRESSION_NONE;
        text.key = const_cast<char*>("Comment");
        text.text = const_cast<char*>(p.textChunk.c_str());
        png_set_text(png, info, &text, 1);
    }
    png_set_rows(png, info, rows);
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
}

void le16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void le32(Bytes& b, std::uint32_t v) {
    le16(b, v & 0xFFFF);
    le16(b, v >> 16);
}

void setU32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

}  // namespace

Bytes encodePng(const PngPicture& p) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, appendToBytes, flushNothing);
    std::vector<png_bytep> rows;
    for (const Bytes& row : p.rows) {
        rows.push_back(const_cast<png_bytep>(row.data()));
    }
    if (!writePng(png, info, p, rows.data())) {
        out.clear();
    }
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes encodeJpeg(int width, int height, int components, const Bytes& pixels, int quality,
                 bool progressive) {
    jpeg_compress_struct c;
    jpeg_error_mgr error;
    c.err = jpeg_std_error(&error);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.input_components = components;
    c.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    if (progressive) {
        jpeg_simple_progression(&c);
    }
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels.data()) +
                       static_cast<std::size_t>(c.next_scanline) * width * components;
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

Bytes encodeBmp(const BmpPicture& p) {
    Bytes info;
    le32(info, p.headerSize);
    le32(info, static_cast<std::uint32_t>(p.width));
    le32(info, static_cast<std::uint32_t>(p.height));
    le16(info, p.planes);
    le16(info, p.bitCount);
    le32(info, p.compression);
    le32(info, p.sizeImage != 0 ? p.sizeImage : static_cast<std::uint32_t>(p.pixels.size()));
    le32(info, 2835);
    le32(info, 2835);
    le32(info, p.clrUsed);
    le32(info, 0);
    if (p.headerSize == 40) {
        for (std::uint32_t m : p.masks) {
            le32(info, m);
        }
    } else {
        for (std::size_t i = 0; info.size() < p.headerSize; ++i) {
            le32(info, i < p.masks.size() && i < 4 ? p.masks[i] : 0);
        }
        info.resize(p.headerSize);
    }
    for (const RGBQUAD& q : p.table) {
        info.insert(info.end(), {q.rgbBlue, q.rgbGreen, q.rgbRed, q.rgbReserved});
    }
    info.insert(info.end(), p.gap.begin(), p.gap.end());
    Bytes out;
    if (p.fileHeader) {
        const std::uint32_t offBits = p.offBits >= 0 ? static_cast<std::uint32_t>(p.offBits)
                                                     : static_cast<std::uint32_t>(14 + info.size());
        out = {'B', 'M'};
        le32(out, static_cast<std::uint32_t>(14 + info.size() + p.pixels.size()));
        le32(out, 0);
        le32(out, offBits);
    }
    out.insert(out.end(), info.begin(), info.end());
    out.insert(out.end(), p.pixels.begin(), p.pixels.end());
    return out;
}

Bytes bottomUpRows(const std::vector<Bytes>& rowsTopDown) {
    Bytes out;
    for (auto it = rowsTopDown.rbegin(); it != rowsTopDown.rend(); ++it) {
        Bytes row = *it;
        row.resize((row.size() + 3) / 4 * 4, 0);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

Bytes encodeMag(const MagPicture& p) {
    static const int kVectors[16][2] = {{0, 0},  {-2, 0},  {-4, 0},  {-8, 0}, {0, -1},  {-2, -1},
                                        {0, -2}, {-2, -2}, {-4, -2}, {0, -4}, {-2, -4}, {-4, -4},
                                        {0, -8}, {-2, -8}, {-4, -8}, {0, -16}};
    std::mt19937 random(p.seed);
    const std::size_t lineBytes = p.lines.empty() ? 0 : p.lines[0].size();
    const std::size_t flagBytes = lineBytes / 4;
    Bytes flagA, flagB, pixels;
    Bytes previous(flagBytes, 0);
    int bit = 0;
    for (std::size_t y = 0; y < p.lines.size(); ++y) {
        Bytes flags(flagBytes, 0);
        for (std::size_t x = 0; x < lineBytes; x += 2) {
            std::vector<int> matches;
            for (int k = 1; k < 16; ++k) {
                const long sy = static_cast<long>(y) + kVectors[k][1];
                const long sx = static_cast<long>(x) + kVectors[k][0];
                if (sy >= 0 && sx >= 0 && p.lines[sy][sx] == p.lines[y][x] &&
                    p.lines[sy][sx + 1] == p.lines[y][x + 1]) {
                    matches.push_back(k);
                }
            }
            int nibble = 0;
            if (!matches.empty() && random() % 4 != 0) {
                nibble = matches[random() % matches.size()];
            } else {
                pixels.push_back(p.lines[y][x]);
                pixels.push_back(p.lines[y][x + 1]);
            }
            flags[x / 4] |= static_cast<std::uint8_t>(x % 4 == 0 ? nibble << 4 : nibble);
        }
        for (std::size_t i = 0; i < flagBytes; ++i) {
            const std::uint8_t change = flags[i] ^ previous[i];
            if (bit % 8 == 0) {
                flagA.push_back(0);
            }
            if (change != 0) {
                flagA.back() |= static_cast<std::uint8_t>(0x80 >> (bit % 8));
                flagB.push_back(change);
            }
            ++bit;
        }
        previous = flags;
    }

    Bytes out = {'M', 'A', 'K', 'I', '0', '2', ' ', ' ', 'P', 'L', 'R', 'N'};
    out.insert(out.end(), 18, ' ');  // user name
    out.insert(out.end(), p.comment.begin(), p.comment.end());
    out.push_back(0x1A);
    Bytes h(32, 0);
    h[3] = p.colours256 ? 0x80 : 0x00;
    h[4] = static_cast<std::uint8_t>(p.xStart);
    h[5] = static_cast<std::uint8_t>(p.xStart >> 8);
    h[6] = static_cast<std::uint8_t>(p.yStart);
    h[7] = static_cast<std::uint8_t>(p.yStart >> 8);
    h[8] = static_cast<std::uint8_t>(p.xEnd);
    h[9] = static_cast<std::uint8_t>(p.xEnd >> 8);
    h[10] = static_cast<std::uint8_t>(p.yEnd);
    h[11] = static_cast<std::uint8_t>(p.yEnd >> 8);
    const std::uint32_t flagAOffset = static_cast<std::uint32_t>(32 + p.palette.size());
    setU32(h, 12, flagAOffset);
    setU32(h, 16, flagAOffset + static_cast<std::uint32_t>(flagA.size()));
    setU32(h, 20, static_cast<std::uint32_t>(flagB.size()));
    setU32(h, 24, flagAOffset + static_cast<std::uint32_t>(flagA.size() + flagB.size()));
    setU32(h, 28, static_cast<std::uint32_t>(pixels.size()));
    out.insert(out.end(), h.begin(), h.end());
    out.insert(out.end(), p.palette.begin(), p.palette.end());
    out.insert(out.end(), flagA.begin(), flagA.end());
    out.insert(out.end(), flagB.begin(), flagB.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

std::unique_ptr<CNxDIBImage> loadBytes(CNxImageLoader& loader, const std::string& path,
                                       const Bytes& bytes) {
    writeBytes(path, bytes);
    CNxFile file;
    if (!file.Open(path.c_str(), CNxFile::modeRead)) {
        return nullptr;
    }
    return loader.Load(file);
}

std::vector<std::uint32_t> argbPixels(const CNxDIBImage& image) {
    CNxDIBImage surface;
    std::vector<std::uint32_t> out;
    if (!surface.Create(image.GetWidth(), image.GetInfo()->bmiHeader.biHeight, 32) ||
        !CNxDIBImageConverter::Convert(surface, 0, 0, image, nullptr)) {
        return out;
    }
    for (int y = 0; y < surface.GetHeight(); ++y) {
        const std::uint8_t* row = surface.Row(y);
        for (int x = 0; x < surface.GetWidth(); ++x) {
            std::uint32_t v;
            std::memcpy(&v, row + 4 * x, 4);
            out.push_back(v);
        }
    }
    return out;
}

}  // namespace testing_support
