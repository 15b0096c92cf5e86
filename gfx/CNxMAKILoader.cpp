#include "gfx/CNxMAKILoader.h"

#include <cstring>

#include "gfx/CNxByteReader.h"
#include "gfx/CNxFile.h"

namespace {

constexpr char kSignature[] = "MAKI02  ";
constexpr std::size_t kHeaderBytes = 32;  // up to the palette

// Where each nibble of the flags copies two bytes from: bytes to the left, rows upward.
struct CopyVector {
    int dx;
    int dy;
};
constexpr CopyVector kVectors[16] = {
    {0, 0},   {-2, 0}, {-4, 0},  {-8, 0},  {0, -1}, {-2, -1}, {0, -2},  {-2, -2},
    {-4, -2}, {0, -4}, {-2, -4}, {-4, -4}, {0, -8}, {-2, -8}, {-4, -8}, {0, -16},
};

// What the header says, every stream checked to lie inside the data.
struct MagLayout {
    bool colours256 = false;
    int width = 0, height = 0;
    std::size_t flagBytes = 0;              // flag bytes per row, each for two pixel pairs
    const std::uint8_t* palette = nullptr;  // G, R, B per colour
    const std::uint8_t* flagA = nullptr;    // one bit per flag byte of every row
    CNxByteReader flagB{nullptr, 0};        // the flag bytes that change
    CNxByteReader pixels{nullptr, 0};       // the literal pixel pairs
};

// The header starts at the first zero byte, after the signature and the comment.
bool readLayout(const std::uint8_t* data, std::size_t size, MagLayout& out) {
    const auto* h = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
    if (h == nullptr) {
        return false;
    }
    const std::size_t room = size - static_cast<std::size_t>(h - data);
    CNxByteReader header(h, room);
    out.colours256 = (header.U8At(3) & 0x80) != 0;
    const int xStart = header.U16At(4), yStart = header.U16At(6);
    const int xEnd = header.U16At(8), yEnd = header.U16At(10);
    const std::uint32_t flagAOffset = header.U32At(12), flagBOffset = header.U32At(16);
    const std::uint32_t pixelOffset = header.U32At(24);
    header.Seek(kHeaderBytes);
    out.palette = header.Take(3 * (out.colours256 ? 256 : 16));
    if (!header.Ok() || xEnd < xStart || yEnd < yStart) {
        return false;
    }
    const int align = out.colours256 ? 4 : 8;
    out.width = (xEnd - xStart + 1 + align - 1) / align * align;
    out.height = yEnd - yStart + 1;
    out.flagBytes = (out.colours256 ? out.width : out.width / 2) / 4;
    // Each stream runs from its offset to the end of the data.
    const std::uint64_t flagABytes = (std::uint64_t(out.flagBytes) * out.height + 7) / 8;
    out.flagA = header.Seek(flagAOffset) ? header.Take(flagABytes) : nullptr;
    if (out.flagA == nullptr || flagBOffset > room || pixelOffset > room) {
        return false;
    }
    out.flagB = CNxByteReader(h + flagBOffset, room - flagBOffset);
    out.pixels = CNxByteReader(h + pixelOffset, room - pixelOffset);
    return true;
}

// Rows from the top: each flag byte, changed where flag A says by the next byte of flag B,
// gives two nibbles; a nibble 0 takes the next pixel pair, any other copies the pair its vector
// points at. False when a stream ends early or a vector points outside the picture.
bool decodeRows(MagLayout& m, CNxDIBImage& image) {
    std::unique_ptr<std::uint8_t[]> flags(new std::uint8_t[m.flagBytes + 1]());
    const std::int32_t pitch = image.GetPitch();
    std::uint64_t flagABit = 0;
    for (int y = 0; y < m.height; ++y) {
        for (std::size_t i = 0; i < m.flagBytes; ++i, ++flagABit) {
            if ((m.flagA[flagABit >> 3] >> (7 - (flagABit & 7))) & 1) {
                flags[i] ^= m.flagB.U8();
            }
        }
        if (!m.flagB.Ok()) {
            return false;
        }
        std::uint8_t* const row = image.Row(y);
        std::size_t x = 0;
        for (std::size_t i = 0; i < m.flagBytes; ++i) {
            for (int nibble : {flags[i] >> 4, flags[i] & 0xF}) {
                const std::uint8_t* from;
                if (nibble == 0) {
                    from = m.pixels.Take(2);
                } else {
                    const CopyVector v = kVectors[nibble];
                    if (y + v.dy < 0 || static_cast<std::int64_t>(x) + v.dx < 0) {
                        return false;
                    }
                    from = row + static_cast<std::int64_t>(v.dy) * pitch + v.dx + x;
                }
                if (from == nullptr) {
                    return false;
                }
                row[x] = from[0];
                row[x + 1] = from[1];
                x += 2;
            }
        }
    }
    return true;
}

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
    MagLayout layout;
    if (file.Read(data.get(), static_cast<std::int64_t>(n)) != static_cast<std::int64_t>(n) ||
        !readLayout(data.get(), n, layout)) {
        return nullptr;
    }
    const int colours = layout.colours256 ? 256 : 16;
    auto image = std::make_unique<CNxDIBImage>();
    if (!image->Create(layout.width, layout.height, layout.colours256 ? 8 : 4) ||
        image->GetColorCount() != static_cast<std::uint32_t>(colours)) {
        return nullptr;
    }
    RGBQUAD* table = image->GetColorTable();
    for (int i = 0; i < colours; ++i) {
        const std::uint8_t* grb = layout.palette + 3 * i;
        table[i] = {grb[2], grb[0], grb[1], 0};
    }
    if (!decodeRows(layout, *image)) {
        return nullptr;
    }
    return image;
}
