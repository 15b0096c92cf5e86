#include "gfx/CNxDIBImageConverter.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

int formatIndex(int bits) {
    switch (bits) {
        case 1:
            return 0;
        case 4:
            return 1;
        case 8:
            return 2;
        case 16:
            return 3;
        case 24:
            return 4;
        case 32:
            return 5;
        default:
            return -1;
    }
}

// Which (source, destination) pairs have a converter, formats in the order 1, 4, 8, 16, 24, 32.
constexpr bool kConverts[6][6] = {
    {true, true, true, true, true, true},    // 1 bit
    {false, true, true, true, true, true},   // 4 bits
    {false, false, true, true, true, true},  // 8 bits
    {false, false, true, true, true, true},  // 16 bits
    {false, false, true, true, true, true},  // 24 bits
    {false, false, true, true, true, true},  // 32 bits
};

std::uint32_t indexAt(const std::uint8_t* row, int x, int bits) {
    switch (bits) {
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1;
        case 4:
            return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
        default:
            return row[x];
    }
}

void putIndex(std::uint8_t* row, int x, int bits, std::uint32_t index) {
    switch (bits) {
        case 1: {
            const int shift = 7 - (x & 7);
            row[x >> 3] =
                static_cast<std::uint8_t>((row[x >> 3] & ~(1 << shift)) | ((index & 1) << shift));
            break;
        }
        case 4: {
            const int shift = (x & 1) ? 0 : 4;
            row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & ~(0xF << shift)) |
                                                    ((index & 0xF) << shift));
            break;
        }
        default:
            row[x] = static_cast<std::uint8_t>(index);
    }
}

// One colour channel of a packed pixel: its position and width inside a mask.
struct Channel {
    int shift = 0;
    std::uint32_t max = 0;  // (1 << width) - 1, 0 for an empty mask

    explicit Channel(std::uint32_t mask) {
        if (mask == 0) {
            return;
        }
        while (!(mask & 1)) {
            mask >>= 1;
            ++shift;
        }
        max = mask;  // masks are one run of bits
    }
    std::uint32_t expand(std::uint32_t pixel) const {
        if (max == 0) {
            return 0;
        }
        const std::uint64_t v = (pixel >> shift) & max;
        return static_cast<std::uint32_t>((v * 255 + max / 2) / max);
    }
    std::uint32_t pack(std::uint32_t value8) const {
        if (max == 0) {
            return 0;
        }
        return static_cast<std::uint32_t>((std::uint64_t(value8) * max + 127) / 255) << shift;
    }
};

// Reads w pixels of a row from x as 0xAARRGGBB words.
void fetchRow(const CNxDIBImage& image, const std::uint8_t* row, int x, int w, std::uint32_t* out) {
    const int bits = image.GetBitCount();
    if (bits <= 8) {
        const RGBQUAD* table = image.GetColorTable();
        const std::uint32_t count = image.GetColorCount();
        for (int i = 0; i < w; ++i) {
            const std::uint32_t index = indexAt(row, x + i, bits);
            // An index past the table (a damaged file) shows as black rather than reading on.
            const RGBQUAD c = index < count ? table[index] : RGBQUAD{0, 0, 0, 0};
            out[i] = 0xFF000000u | std::uint32_t(c.rgbRed) << 16 | std::uint32_t(c.rgbGreen) << 8 |
                     c.rgbBlue;
        }
    } else if (bits == 16) {
        const Channel r(image.GetRedMask()), g(image.GetGreenMask()), b(image.GetBlueMask());
        for (int i = 0; i < w; ++i) {
            std::uint16_t p;
            std::memcpy(&p, row + 2 * (x + i), 2);
            out[i] = 0xFF000000u | r.expand(p) << 16 | g.expand(p) << 8 | b.expand(p);
        }
    } else if (bits == 24) {
        const std::uint8_t* p = row + 3 * x;
        for (int i = 0; i < w; ++i, p += 3) {
            out[i] = 0xFF000000u | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
        }
    } else {
        std::memcpy(out, row + 4 * x, 4 * static_cast<std::size_t>(w));
    }
}

void storeRow(CNxDIBImage& image, std::uint8_t* row, int x, int w, const std::uint32_t* in) {
    const int bits = image.GetBitCount();
    if (bits == 32) {
        std::memcpy(row + 4 * x, in, 4 * static_cast<std::size_t>(w));
    } else if (bits == 24) {
        std::uint8_t* p = row + 3 * x;
        for (int i = 0; i < w; ++i, p += 3) {
            p[0] = static_cast<std::uint8_t>(in[i]);
            p[1] = static_cast<std::uint8_t>(in[i] >> 8);
            p[2] = static_cast<std::uint8_t>(in[i] >> 16);
        }
    } else if (bits == 16) {
        const Channel r(image.GetRedMask()), g(image.GetGreenMask()), b(image.GetBlueMask());
        for (int i = 0; i < w; ++i) {
            const auto p = static_cast<std::uint16_t>(
                r.pack((in[i] >> 16) & 0xFF) | g.pack((in[i] >> 8) & 0xFF) | b.pack(in[i] & 0xFF));
            std::memcpy(row + 2 * (x + i), &p, 2);
        }
    } else {  // 8 bits: grey levels
        for (int i = 0; i < w; ++i) {
            const std::uint64_t red = (in[i] >> 16) & 0xFF, green = (in[i] >> 8) & 0xFF,
                                blue = in[i] & 0xFF;
            row[x + i] =
                static_cast<std::uint8_t>((red * 5014911 + green * 9841699 + blue * 1920606) >> 24);
        }
    }
}

}  // namespace

bool CNxDIBImageConverter::Converts(int sourceBits, int destBits) {
    const int s = formatIndex(sourceBits), d = formatIndex(destBits);
    return s >= 0 && d >= 0 && kConverts[s][d];
}

int CNxDIBImageConverter::Convert(CNxDIBImage& dest, int x, int y, const CNxDIBImage& source,
                                  const RECT* sourceRect) {
    if (dest.IsEmpty() || source.IsEmpty() || !Converts(source.GetBitCount(), dest.GetBitCount())) {
        return 0;
    }
    // Clip the source rectangle to the source, moving the destination point along, then the
    // result to the destination.
    RECT r = sourceRect ? *sourceRect : RECT{0, 0, source.GetWidth(), source.GetHeight()};
    std::int64_t dx = x, dy = y;
    if (r.left < 0) {
        dx -= r.left;
        r.left = 0;
    }
    if (r.top < 0) {
        dy -= r.top;
        r.top = 0;
    }
    std::int64_t w = std::min<std::int64_t>(r.right, source.GetWidth()) - r.left;
    std::int64_t h = std::min<std::int64_t>(r.bottom, source.GetHeight()) - r.top;
    std::int64_t sx = r.left, sy = r.top;
    if (dx < 0) {
        sx -= dx;
        w += dx;
        dx = 0;
    }
    if (dy < 0) {
        sy -= dy;
        h += dy;
        dy = 0;
    }
    w = std::min<std::int64_t>(w, dest.GetWidth() - dx);
    h = std::min<std::int64_t>(h, dest.GetHeight() - dy);
    if (w <= 0 || h <= 0) {
        return 1;
    }

    const int sourceBits = source.GetBitCount();
    const int destBits = dest.GetBitCount();
    if (destBits <= 8 && sourceBits <= 8) {
        for (std::int64_t j = 0; j < h; ++j) {
            const std::uint8_t* in = source.Row(static_cast<std::int32_t>(sy + j));
            std::uint8_t* out = dest.Row(static_cast<std::int32_t>(dy + j));
            for (std::int64_t i = 0; i < w; ++i) {
                putIndex(out, static_cast<int>(dx + i), destBits,
                         indexAt(in, static_cast<int>(sx + i), sourceBits));
            }
        }
        return 1;
    }
    std::vector<std::uint32_t> line(static_cast<std::size_t>(w));
    for (std::int64_t j = 0; j < h; ++j) {
        fetchRow(source, source.Row(static_cast<std::int32_t>(sy + j)), static_cast<int>(sx),
                 static_cast<int>(w), line.data());
        storeRow(dest, dest.Row(static_cast<std::int32_t>(dy + j)), static_cast<int>(dx),
                 static_cast<int>(w), line.data());
    }
    return 1;
}
