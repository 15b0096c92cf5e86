#include "gfx/CNxBMPLoader.h"

#include <cstring>
#include <vector>

#include "gfx/CNxByteReader.h"
#include "gfx/CNxFile.h"

namespace {

constexpr std::uint32_t kInfoBytes = sizeof(BITMAPINFOHEADER);
constexpr std::uint32_t kFileHeaderBytes = sizeof(BITMAPFILEHEADER);
constexpr std::size_t kMaxHeaderBytes = 124;
constexpr std::size_t kMaxTableEntries = 256;

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
        // Each pixel is read, little-endian, from where it is written back: within the image.
        const std::uint32_t pixel = p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
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

// The headers of a bitmap as its file has them.
struct BmpHeaders {
    std::int64_t start = 0;  // where the bitmap begins in the file
    bool hasFileHeader = false;
    std::uint32_t pixelOffset = 0;  // bfOffBits, from start
    std::uint32_t headerSize = 0;
    BITMAPINFOHEADER info{};
    std::uint32_t masks[4] = {0, 0, 0, 0};  // R, G, B, A with BI_BITFIELDS
    std::uint8_t table[4 * kMaxTableEntries + 12] = {};
};

// The file header, if there is one, and an info header of a known size, read field by field.
bool readInfoHeader(CNxFile& file, BmpHeaders& out) {
    out.start = file.Seek(0, CNxFile::seekCurrent);
    std::uint8_t header[kMaxHeaderBytes] = {};
    if (out.start < 0 || !readExactly(file, header, 2)) {
        return false;
    }
    out.hasFileHeader = header[0] == 'B' && header[1] == 'M';
    if (out.hasFileHeader) {
        std::uint8_t rest[kFileHeaderBytes - 2];
        if (!readExactly(file, rest, sizeof rest) || !readExactly(file, header, 4)) {
            return false;
        }
        out.pixelOffset = CNxByteReader(rest, sizeof rest).U32At(8);
    } else if (!readExactly(file, header + 2, 2)) {
        return false;
    }
    CNxByteReader r(header, sizeof header);
    out.headerSize = r.U32At(0);
    if (!knownHeaderSize(out.headerSize) || !readExactly(file, header + 4, out.headerSize - 4)) {
        return false;
    }
    BITMAPINFOHEADER& h = out.info;
    h = {r.U32At(0),  r.I32At(4),  r.I32At(8),  r.U16At(12), r.U16At(14), r.U32At(16),
         r.U32At(20), r.I32At(24), r.I32At(28), r.U32At(32), r.U32At(36)};
    if (out.headerSize >= 52) {  // masks inside the header
        out.masks[0] = r.U32At(40);
        out.masks[1] = r.U32At(44);
        out.masks[2] = r.U32At(48);
        out.masks[3] = out.headerSize >= 56 ? r.U32At(52) : 0;
    }
    const std::uint32_t compression = h.biCompression;
    const int bits = h.biBitCount;
    return knownBitCount(bits) && h.biWidth > 0 && h.biHeight != 0 &&
           (compression != BI_RLE8 || bits == 8) && (compression != BI_RLE4 || bits == 4) &&
           (compression != BI_BITFIELDS || bits == 16 || bits == 32) && compression <= BI_BITFIELDS;
}

// The colour table as the file stores it, with the masks first when they follow a 40-byte
// header. Only what fits is kept; the rest is skipped.
bool readTable(CNxFile& file, BmpHeaders& out) {
    const BITMAPINFOHEADER& h = out.info;
    const bool masksAfterHeader = h.biCompression == BI_BITFIELDS && out.headerSize == kInfoBytes;
    std::uint64_t tableBytes = 0;
    if (h.biBitCount <= 8) {
        tableBytes = 4ull * (h.biClrUsed != 0 ? h.biClrUsed : 1u << h.biBitCount);
    } else if (h.biBitCount != 24) {
        tableBytes = 4ull * h.biClrUsed + (masksAfterHeader ? 12 : 0);
    }
    const std::int64_t left = bytesLeft(file);
    if (left < 0 || tableBytes > static_cast<std::uint64_t>(left)) {
        return false;
    }
    const std::size_t kept =
        tableBytes < sizeof out.table ? std::size_t(tableBytes) : sizeof out.table;
    if (!readExactly(file, out.table, static_cast<std::int64_t>(kept)) ||
        file.Seek(static_cast<std::int64_t>(tableBytes - kept), CNxFile::seekCurrent) < 0) {
        return false;
    }
    if (h.biCompression != BI_BITFIELDS) {
        out.masks[0] = out.masks[1] = out.masks[2] = out.masks[3] = 0;
    } else if (masksAfterHeader) {
        CNxByteReader r(out.table, sizeof out.table);
        out.masks[0] = r.U32At(0);
        out.masks[1] = r.U32At(4);
        out.masks[2] = r.U32At(8);
    }
    return true;
}

// The picture handed on: a plain 40-byte header with its table, or with the three masks of a
// 16-bit bitmap. 32-bit pixels are brought into B, G, R, A order after reading.
std::vector<std::uint8_t> handedOnInfo(const BmpHeaders& in) {
    std::vector<std::uint8_t> info(kInfoBytes + 4 * kMaxTableEntries, 0);
    const int bits = in.info.biBitCount;
    BITMAPINFOHEADER out = in.info;
    out.biSize = kInfoBytes;
    out.biCompression = bits == 16 && in.info.biCompression == BI_BITFIELDS ? BI_BITFIELDS : BI_RGB;
    out.biSizeImage = 0;
    out.biClrImportant = 0;
    if (bits <= 8) {
        const std::uint32_t full = 1u << bits;
        out.biClrUsed =
            in.info.biClrUsed != 0 && in.info.biClrUsed < full ? in.info.biClrUsed : full;
        std::memcpy(info.data() + kInfoBytes, in.table, 4 * std::size_t(out.biClrUsed));
    } else {
        out.biClrUsed = 0;
        if (out.biCompression == BI_BITFIELDS) {
            std::memcpy(info.data() + kInfoBytes, in.masks, 12);
        }
    }
    std::memcpy(info.data(), &out, kInfoBytes);
    return info;
}

// The bytes of uncompressed pixels, row strides included.
std::uint64_t pixelBytes(const BITMAPINFOHEADER& h) {
    const std::uint64_t height = h.biHeight < 0 ? -std::int64_t(h.biHeight) : h.biHeight;
    return CNxDIBImage::StrideOf(h.biWidth, h.biBitCount) * height;
}

// Moves to the pixels and checks that the file holds them all.
bool seekPixels(CNxFile& file, const BmpHeaders& in) {
    if (in.hasFileHeader && in.pixelOffset != 0) {
        // The pixels start where the file header says: there may be a gap or a table that the
        // header does not count before them.
        if (in.pixelOffset < kFileHeaderBytes + in.headerSize ||
            in.start + in.pixelOffset > file.Size() ||
            file.Seek(in.start + in.pixelOffset, CNxFile::seekBegin) < 0) {
            return false;
        }
    }
    const BITMAPINFOHEADER& h = in.info;
    const std::int64_t left = bytesLeft(file);
    const bool rle = h.biCompression == BI_RLE8 || h.biCompression == BI_RLE4;
    return left >= 0 && (rle ? h.biSizeImage : pixelBytes(h)) <= static_cast<std::uint64_t>(left);
}

bool readPixels(CNxFile& file, const BmpHeaders& in, CNxDIBImage& image) {
    const BITMAPINFOHEADER& h = in.info;
    if (h.biCompression == BI_RLE8 || h.biCompression == BI_RLE4) {
        return decodeRle(file, image, h.biCompression == BI_RLE4);
    }
    if (!readExactly(file, image.GetBits(), static_cast<std::int64_t>(pixelBytes(h)))) {
        return false;
    }
    if (h.biBitCount == 32) {
        const std::uint32_t* m = in.masks;
        const bool usualOrder = m[0] == 0xFF0000 && m[1] == 0xFF00 && m[2] == 0xFF &&
                                (m[3] == 0 || m[3] == 0xFF000000u);
        if (h.biCompression == BI_BITFIELDS && !usualOrder) {
            convertThroughMasks(image, m);
        } else if (h.biCompression != BI_BITFIELDS || m[3] == 0) {
            opaqueWhenAlphaAllZero(image);
        }
    }
    return true;
}

}  // namespace

bool CNxBMPLoader::IsSupported(const std::uint8_t* head, std::size_t headSize) {
    std::size_t at = 0;
    if (headSize >= 2 && head[0] == 'B' && head[1] == 'M') {
        at = kFileHeaderBytes;
    }
    CNxByteReader r(head, headSize);
    const bool fields =
        r.U32At(at) >= kInfoBytes && r.U16At(at + 12) == 1 && knownBitCount(r.U16At(at + 14));
    return r.Ok() && fields;
}

std::unique_ptr<CNxDIBImage> CNxBMPLoader::Load(CNxFile& file) {
    BmpHeaders headers;
    if (!readInfoHeader(file, headers) || !readTable(file, headers)) {
        return nullptr;
    }
    const std::vector<std::uint8_t> info = handedOnInfo(headers);
    const auto* handedOn = reinterpret_cast<const BITMAPINFO*>(info.data());
    // Checks the dimensions (no side above 32768, no more than 1 GiB of pixels) before anything
    // is allocated.
    if (CNxDIBImage::ColourCountOf(handedOn->bmiHeader) < 0 || !seekPixels(file, headers)) {
        return nullptr;
    }
    auto image = std::make_unique<CNxDIBImage>();
    if (!image->CreateCopyOf(handedOn) || !readPixels(file, headers, *image)) {
        return nullptr;
    }
    return image;
}
