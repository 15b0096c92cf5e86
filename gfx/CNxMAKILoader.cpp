#include "gfx/CNxMAKILoader.h"

#include <cstring>

#include "gfx/CNxFile.h"

namespace {

constexpr char kSignature[] = "MAKI02  ";
constexpr std::size_t kHeaderBytes = 32;  // up to the palette

std::uint16_t u16At(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t u32At(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

// Where each nibble of the flags copies two bytes from: bytes to the left, rows upward.
struct CopyVector {
    int dx;
    int dy;
};
constexpr CopyVector kVectors[16] = {
    {0, 0},   {-2, 0}, {-4, 0},  {-8, 0},  {0, -1}, {-2, -1}, {0, -2},  {-2, -2},
    {-4, -2}, {0, -4}, {-2, -4}, {-4, -4}, {0, -8}, {-2, -8}, {-4, -8}, {0, -16},
};

}  // namespace

bool CNxMAKILoader::IsSupported(const std::uint8_t* head, std::size_t headSize) {
    return headSize >= 8 && std::memcmp(head, kSignature, 8) == 0;
}

std::unique_ptr<CNxDIBImage> CNxMAKILoader::Load(CNxFile& file) {
    const std::int64_t position = file.Seek(0, CNxFile::seekCurrent);
    const std::int64_t size = file.Size();
    if (position < 0 || size < position ||
        size - position > static_cast<std::int64_t>(CNxDIBImage::kMaxImageBytes)) {
        return nullptr;
    }
    const std::size_t n = static_cast<std::size_t>(size - position);
    std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[n + 1]);
    if (file.Read(data.get(), static_cast<std::int64_t>(n)) != static_cast<std::int64_t>(n)) {
        return nullptr;
    }
    const std::uint8_t* const end = data.get() + n;

    // The header starts at the first zero byte, after the signature and the comment.
    const auto* h = static_cast<const std::uint8_t*>(std::memchr(data.get(), 0, n));
    if (h == nullptr || static_cast<std::size_t>(end - h) < kHeaderBytes) {
        return nullptr;
    }
    const bool colours256 = (h[3] & 0x80) != 0;
    const int colours = colours256 ? 256 : 16;
    const std::uint8_t* palette = h + kHeaderBytes;
    if (static_cast<std::size_t>(end - palette) < 3u * colours) {
        return nullptr;
    }
    const int xStart = u16At(h + 4), yStart = u16At(h + 6);
    const int xEnd = u16At(h + 8), yEnd = u16At(h + 10);
    if (xEnd < xStart || yEnd < yStart) {
        return nullptr;
    }
    const int align = colours256 ? 4 : 8;
    const int width = (xEnd - xStart + 1 + align - 1) / align * align;
    const int height = yEnd - yStart + 1;
    const std::size_t lineBytes = colours256 ? width : width / 2;
    const std::size_t flagBytes = lineBytes / 4;

    // The three streams, each from its offset to the end of the file; flag A must hold one bit
    // per flag byte of every row.
    const std::uint64_t room = static_cast<std::uint64_t>(end - h);
    const std::uint64_t flagAOffset = u32At(h + 12), flagBOffset = u32At(h + 16),
                        pixelOffset = u32At(h + 24);
    const std::uint64_t flagABytes = (static_cast<std::uint64_t>(flagBytes) * height + 7) / 8;
    if (flagAOffset > room || flagABytes > room - flagAOffset || flagBOffset > room ||
        pixelOffset > room) {
        return nullptr;
    }
    const std::uint8_t* flagA = h + flagAOffset;
    const std::uint8_t* flagB = h + flagBOffset;
    const std::uint8_t* pixels = h + pixelOffset;

    auto image = std::make_unique<CNxDIBImage>();
    if (!image->Create(width, height, colours256 ? 8 : 4) ||
        image->GetColorCount() != static_cast<std::uint32_t>(colours)) {
        return nullptr;
    }
    RGBQUAD* table = image->GetColorTable();
    for (int i = 0; i < colours; ++i) {
        const std::uint8_t* grb = palette + 3 * i;
        table[i] = {grb[2], grb[0], grb[1], 0};
    }

    std::unique_ptr<std::uint8_t[]> flags(new std::uint8_t[flagBytes + 1]());
    const std::int32_t pitch = image->GetPitch();
    std::uint64_t flagABit = 0;
    for (int y = 0; y < height; ++y) {
        for (std::size_t i = 0; i < flagBytes; ++i, ++flagABit) {
            if ((flagA[flagABit >> 3] >> (7 - (flagABit & 7))) & 1) {
                if (flagB >= end) {
                    return nullptr;
                }
                flags[i] ^= *flagB++;
            }
        }
        std::uint8_t* const row = image->Row(y);
        std::size_t x = 0;
        for (std::size_t i = 0; i < flagBytes; ++i) {
            for (int nibble : {flags[i] >> 4, flags[i] & 0xF}) {
                if (nibble == 0) {
                    if (end - pixels < 2) {
                        return nullptr;
                    }
                    row[x] = pixels[0];
                    row[x + 1] = pixels[1];
                    pixels += 2;
                } else {
                    const CopyVector v = kVectors[nibble];
                    if (y + v.dy < 0 || static_cast<std::int64_t>(x) + v.dx < 0) {
                        return nullptr;
                    }
                    const std::uint8_t* from =
                        row + static_cast<std::int64_t>(v.dy) * pitch + v.dx + x;
                    row[x] = from[0];
                    row[x + 1] = from[1];
                }
                x += 2;
            }
        }
    }
    return image;
}
