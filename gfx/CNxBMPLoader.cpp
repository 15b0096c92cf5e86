#include "gfx/CNxBMPLoader.h"

#include <cstring>
#include <vector>

#include "gfx/CNxFile.h"

namespace {

constexpr std::uint32_t kInfoBytes = sizeof(BITMAPINFOHEADER);
constexpr std::uint32_t kFileHeaderBytes = sizeof(BITMAPFILEHEADER);
constexpr std::size_t kMaxHeaderBytes = 124;
constexpr std::size_t kMaxTableEntries = 256;

std::uint16_t u16At(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::uint32_t u32At(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

bool knownBitCount(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Info headers whose layout is known: the basic one and its successors, which carry the masks
// from byte 40 on (version 2: RGB, version 3: RGBA, versions 4 and 5: RGBA and colour data).
bool knownHeaderSize(std::uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool readExactly(CNxFile& file, void* buffer, std::int64_t count) {
    return file.Read(buffer, count) == count;
}

std::int64_t bytesLeft(CNxFile& file) {
    const std::int64_t position = file.Seek(0, CNxFile::seekCurrent);
    const std::int64_t size = file.Size();
    return position < 0 || size < position ? -1 : size - position;
}

// One channel of a masked pixel, scaled to 8 bits: the top 8 bits of a wider field, a narrower
// one stretched over 0..255.
class MaskChannel {
public:
    explicit MaskChannel(std::uint32_t mask) : m_mask(mask) {
        if (mask == 0) {
            return;
        }
        while (!((mask >> m_shift) & 1)) {
            ++m_shift;
        }
        const std::uint32_t field = mask >> m_shift;
        while (m_width < 32 - m_shift && (field >> m_width) != 0) {
            ++m_width;
        }
    }
    std::uint32_t operator()(std::uint32_t pixel) const {
        if (m_mask == 0) {
            return 0;
        }
        const std::uint32_t v = (pixel & m_mask) >> m_shift;
        if (m_width >= 8) {
            return (v >> (m_width - 8)) & 0xFF;
        }
        const std::uint32_t max = (1u << m_width) - 1;
        return v * 255 / max;
    }

private:
    std::uint32_t m_mask;
    int m_shift = 0;
    int m_width = 0;
};

// 32-bit pixels in any mask order become B, G, R, A bytes; without an alpha mask they are opaque.
void convertThroughMasks(CNxDIBImage& image, const std::uint32_t masks[4]) {
    const MaskChannel r(masks[0]), g(masks[1]), b(masks[2]), a(masks[3]);
    std::uint8_t* p = image.GetBits();
    const std::size_t count = std::size_t(image.GetImageSize()) / 4;
    for (std::size_t i = 0; i < count; ++i, p += 4) {
        const std::uint32_t pixel = u32At(p);
        p[0] = static_cast<std::uint8_t>(b(pixel));
        p[1] = static_cast<std::uint8_t>(g(pixel));
        p[2] = static_cast<std::uint8_t>(r(pixel));
        p[3] = static_cast<std::uint8_t>(masks[3] != 0 ? a(pixel) : 255);
    }
}

// Most programs leave the fourth byte of 32-bit pixels 0 when they mean no alpha at all; shown
// as alpha those pixels would be invisible, so such a picture is made opaque.
void opaqueWhenAlphaAllZero(CNxDIBImage& image) {
    std::uint8_t* bits = image.GetBits();
    const std::size_t bytes = image.GetImageSize();
    for (std::size_t i = 3; i < bytes; i += 4) {
        if (bits[i] != 0) {
            return;
        }
    }
    for (std::size_t i = 3; i < bytes; i += 4) {
        bits[i] = 255;
    }
}

// Expands RLE8 or RLE4 codes from the file into the image's stored rows. Runs and literals that
// pass the end of a row or of the image are cut off there.
bool decodeRle(CNxFile& file, CNxDIBImage& image, bool rle4) {
    std::uint8_t* const bits = image.GetBits();
    const std::uint32_t stride = image.GetStride();
    const std::int64_t rows = image.GetHeight();
    const std::int64_t width = image.GetWidth();
    std::int64_t row = 0, x = 0;
    auto put = [&](std::int64_t at, std::uint8_t value) {
        if (row >= rows || at >= width) {
            return;
        }
        std::uint8_t* line = bits + row * stride;
        if (!rle4) {
            line[at] = value;
        } else if (at & 1) {
            line[at >> 1] = static_cast<std::uint8_t>((line[at >> 1] & 0xF0) | value);
        } else {
            line[at >> 1] = static_cast<std::uint8_t>((line[at >> 1] & 0x0F) | value << 4);
        }
    };
    std::uint8_t literal[256];
    for (;;) {
        std::uint8_t code[2];
        if (!readExactly(file, code, 2)) {
            return false;
        }
        const int n = code[0], v = code[1];
        if (n > 0) {
            for (int i = 0; i < n; ++i) {
                put(x + i, static_cast<std::uint8_t>(!rle4 ? v : (i & 1) ? v & 0xF : v >> 4));
            }
            x += n;
            continue;
        }
        switch (v) {
            case 0:  // end of line
                ++row;
                x = 0;
                break;
            case 1:  // end of bitmap
                return true;
            case 2:  // delta: not supported
                return false;
            default: {
                const int bytes = rle4 ? (v + 1) / 2 : v;
                if (!readExactly(file, literal, bytes + (bytes & 1))) {
                    return false;
                }
                for (int i = 0; i < v; ++i) {
                    put(x + i, !rle4 ? literal[i]
                                     : static_cast<std::uint8_t>((i & 1) ? literal[i >> 1] & 0xF
                                                                         : literal[i >> 1] >> 4));
                }
                x += v;
            }
        }
    }
}

}  // namespace

bool CNxBMPLoader::IsSupported(const std::uint8_t* head, std::size_t headSize) {
    std::size_t at = 0;
    if (headSize >= 2 && head[0] == 'B' && head[1] == 'M') {
        at = kFileHeaderBytes;
    }
    if (headSize < at + 16) {
        return false;
    }
    return u32At(head + at) >= kInfoBytes && u16At(head + at + 12) == 1 &&
           knownBitCount(u16At(head + at + 14));
}

std::unique_ptr<CNxDIBImage> CNxBMPLoader::Load(CNxFile& file) {
    const std::int64_t start = file.Seek(0, CNxFile::seekCurrent);
    if (start < 0) {
        return nullptr;
    }
    std::uint8_t header[kMaxHeaderBytes] = {};
    if (!readExactly(file, header, 2)) {
        return nullptr;
    }
    const bool hasFileHeader = header[0] == 'B' && header[1] == 'M';
    std::uint32_t pixelOffset = 0;
    if (hasFileHeader) {
        std::uint8_t rest[kFileHeaderBytes - 2];
        if (!readExactly(file, rest, sizeof rest) || !readExactly(file, header, 4)) {
            return nullptr;
        }
        pixelOffset = u32At(rest + 8);  // bfOffBits
    } else if (!readExactly(file, header + 2, 2)) {
        return nullptr;
    }
    const std::uint32_t headerSize = u32At(header);
    if (!knownHeaderSize(headerSize) || !readExactly(file, header + 4, headerSize - 4)) {
        return nullptr;
    }
    BITMAPINFOHEADER h;
    std::memcpy(&h, header, kInfoBytes);
    const int bits = h.biBitCount;
    const std::uint32_t compression = h.biCompression;
    if (!knownBitCount(bits) || h.biWidth <= 0 || h.biHeight == 0 ||
        (compression == BI_RLE8 && bits != 8) || (compression == BI_RLE4 && bits != 4) ||
        (compression == BI_BITFIELDS && bits != 16 && bits != 32) || compression > BI_BITFIELDS) {
        return nullptr;
    }

    // The colour table as the file stores it: masks first when they follow a 40-byte header.
    std::uint64_t tableBytes = 0;
    const bool masksAfterHeader = compression == BI_BITFIELDS && headerSize == kInfoBytes;
    if (bits <= 8) {
        tableBytes = 4ull * (h.biClrUsed != 0 ? h.biClrUsed : 1u << bits);
    } else if (bits != 24) {
        tableBytes = 4ull * h.biClrUsed + (masksAfterHeader ? 12 : 0);
    }
    const std::int64_t left = bytesLeft(file);
    if (left < 0 || tableBytes > static_cast<std::uint64_t>(left)) {
        return nullptr;
    }
    std::uint8_t table[4 * kMaxTableEntries + 12] = {};
    const std::size_t kept = tableBytes < sizeof table ? std::size_t(tableBytes) : sizeof table;
    if (!readExactly(file, table, static_cast<std::int64_t>(kept)) ||
        file.Seek(static_cast<std::int64_t>(tableBytes - kept), CNxFile::seekCurrent) < 0) {
        return nullptr;
    }

    std::uint32_t masks[4] = {0, 0, 0, 0};
    if (compression == BI_BITFIELDS) {
        const std::uint8_t* from = masksAfterHeader ? table : header + kInfoBytes;
        for (int i = 0; i < 3; ++i) {
            masks[i] = u32At(from + 4 * i);
        }
        masks[3] = headerSize >= 56 ? u32At(header + 52) : 0;
    }

    // The picture handed on: a plain 40-byte header with its table, or with the three masks of
    // a 16-bit bitmap. 32-bit pixels are brought into B, G, R, A order below.
    std::vector<std::uint8_t> info(kInfoBytes + 4 * kMaxTableEntries, 0);
    BITMAPINFOHEADER out = h;
    out.biSize = kInfoBytes;
    out.biCompression = bits == 16 && compression == BI_BITFIELDS ? BI_BITFIELDS : BI_RGB;
    out.biSizeImage = 0;
    out.biClrImportant = 0;
    if (bits <= 8) {
        const std::uint32_t full = 1u << bits;
        out.biClrUsed = h.biClrUsed != 0 && h.biClrUsed < full ? h.biClrUsed : full;
        std::memcpy(info.data() + kInfoBytes, table, 4 * std::size_t(out.biClrUsed));
    } else {
        out.biClrUsed = 0;
        if (out.biCompression == BI_BITFIELDS) {
            std::memcpy(info.data() + kInfoBytes, masks, 12);
        }
    }
    std::memcpy(info.data(), &out, kInfoBytes);
    // Checks the dimensions (no side above 32768, no more than 1 GiB of pixels) before anything
    // is allocated.
    if (CNxDIBImage::ColourCountOf(out) < 0) {
        return nullptr;
    }

    if (hasFileHeader && pixelOffset != 0) {
        // The pixels start where the file header says: there may be a gap or a table that the
        // header does not count before them.
        const std::int64_t size = file.Size();
        if (pixelOffset < kFileHeaderBytes + headerSize || start + pixelOffset > size ||
            file.Seek(start + pixelOffset, CNxFile::seekBegin) < 0) {
            return nullptr;
        }
    }
    const std::int64_t dataLeft = bytesLeft(file);
    const std::uint64_t height = h.biHeight < 0 ? -std::int64_t(h.biHeight) : h.biHeight;
    const std::uint64_t imageBytes = CNxDIBImage::StrideOf(h.biWidth, bits) * height;
    const bool rle = compression == BI_RLE8 || compression == BI_RLE4;
    if (dataLeft < 0 || (!rle && imageBytes > static_cast<std::uint64_t>(dataLeft)) ||
        (rle && h.biSizeImage > static_cast<std::uint64_t>(dataLeft))) {
        return nullptr;
    }

    auto image = std::make_unique<CNxDIBImage>();
    if (!image->CreateCopyOf(reinterpret_cast<const BITMAPINFO*>(info.data()))) {
        return nullptr;
    }
    if (rle) {
        if (!decodeRle(file, *image, compression == BI_RLE4)) {
            return nullptr;
        }
        return image;
    }
    if (!readExactly(file, image->GetBits(), static_cast<std::int64_t>(imageBytes))) {
        return nullptr;
    }
    if (bits == 32) {
        const bool usualOrder = masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF &&
                                (masks[3] == 0 || masks[3] == 0xFF000000u);
        if (compression == BI_BITFIELDS && !usualOrder) {
            convertThroughMasks(*image, masks);
        } else if (compression != BI_BITFIELDS || masks[3] == 0) {
            opaqueWhenAlphaAllZero(*image);
        }
    }
    return image;
}
