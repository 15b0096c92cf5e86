#include "gfx/CNxDIBImage.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t kHeaderBytes = sizeof(BITMAPINFOHEADER);

bool knownBitCount(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

CNxDIBImage::~CNxDIBImage() {
    Destroy();
}

std::uint64_t CNxDIBImage::StrideOf(std::int64_t width, int bitCount) {
    const std::uint64_t bytes = (static_cast<std::uint64_t>(width) * bitCount + 7) >> 3;
    return (bytes + 3) & ~std::uint64_t(3);
}

std::int64_t CNxDIBImage::ColourCountOf(const BITMAPINFOHEADER& h) {
    const int bits = h.biBitCount;
    if (h.biSize < kHeaderBytes || !knownBitCount(bits)) {
        return -1;
    }
    if (h.biCompression != BI_RGB &&
        !(h.biCompression == BI_BITFIELDS && (bits == 16 || bits == 32))) {
        return -1;
    }
    if (h.biWidth < 0 || h.biWidth > kMaxSide || h.biHeight < -kMaxSide || h.biHeight > kMaxSide) {
        return -1;
    }
    const std::int64_t height = h.biHeight < 0 ? -std::int64_t(h.biHeight) : h.biHeight;
    if (StrideOf(h.biWidth, bits) * static_cast<std::uint64_t>(height) > kMaxImageBytes) {
        return -1;
    }
    // A table longer than the pixels can index (or than any display palette) holds nothing
    // more of use; it is cut so that nobody reads a damaged count's worth of memory.
    if (bits <= 8) {
        const std::uint32_t full = 1u << bits;
        return h.biClrUsed == 0 || h.biClrUsed > full ? full : h.biClrUsed;
    }
    if (bits == 24) {
        return 0;
    }
    const std::uint32_t used = h.biClrUsed > 256 ? 256 : h.biClrUsed;
    return used + (h.biCompression == BI_BITFIELDS ? 3 : 0);
}

int CNxDIBImage::Attach(const BITMAPINFO* info, void* bits) {
    Destroy();
    if (info == nullptr) {
        return 0;
    }
    const std::int64_t colours = ColourCountOf(info->bmiHeader);
    if (colours < 0) {
        return 0;
    }
    m_info = const_cast<BITMAPINFO*>(info);
    m_colourCount = static_cast<std::uint32_t>(colours);
    m_bits = bits != nullptr
                 ? static_cast<std::uint8_t*>(bits)
                 : reinterpret_cast<std::uint8_t*>(m_info) + kHeaderBytes + 4 * m_colourCount;
    const std::int32_t stride =
        static_cast<std::int32_t>(StrideOf(info->bmiHeader.biWidth, info->bmiHeader.biBitCount));
    if (info->bmiHeader.biHeight >= 0) {
        const std::int32_t rows = info->bmiHeader.biHeight;
        m_topRow = m_bits + (rows > 0 ? static_cast<std::int64_t>(stride) * (rows - 1) : 0);
        m_pitch = -stride;
    } else {
        m_topRow = m_bits;
        m_pitch = stride;
    }
    return 1;
}

int CNxDIBImage::CreateCopyOf(const BITMAPINFO* info) {
    if (info == nullptr) {
        Destroy();
        return 0;
    }
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const std::int64_t colours = ColourCountOf(h);
    if (colours < 0) {
        Destroy();
        return 0;
    }
    const std::uint64_t height = h.biHeight < 0 ? -std::int64_t(h.biHeight) : h.biHeight;
    const std::uint64_t imageBytes = StrideOf(h.biWidth, h.biBitCount) * height;
    const std::size_t tableBytes = static_cast<std::size_t>(4 * colours);
    const std::size_t total = kHeaderBytes + tableBytes + static_cast<std::size_t>(imageBytes);
    auto* block = static_cast<std::uint8_t*>(std::calloc(total, 1));
    if (block == nullptr) {
        Destroy();
        return 0;
    }
    // The copy is always a plain 40-byte header followed by its table.
    BITMAPINFOHEADER header = h;
    header.biSize = kHeaderBytes;
    header.biSizeImage = static_cast<std::uint32_t>(imageBytes);
    std::memcpy(block, &header, kHeaderBytes);
    std::memcpy(block + kHeaderBytes, reinterpret_cast<const std::uint8_t*>(info) + kHeaderBytes,
                tableBytes);

    Destroy();
    Attach(reinterpret_cast<BITMAPINFO*>(block), nullptr);
    m_ownsMemory = true;
    return 1;
}

int CNxDIBImage::Create(std::int32_t width, std::int32_t height, int bitCount) {
    const std::uint32_t entries = bitCount >= 1 && bitCount <= 8 ? 1u << bitCount : 0;
    std::vector<std::uint8_t> block(kHeaderBytes + 4 * entries, 0);
    auto* info = reinterpret_cast<BITMAPINFO*>(block.data());
    info->bmiHeader.biSize = kHeaderBytes;
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = height;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<std::uint16_t>(bitCount);
    info->bmiHeader.biCompression = BI_RGB;
    info->bmiHeader.biXPelsPerMeter = 1000;
    info->bmiHeader.biYPelsPerMeter = 1000;
    auto* table = reinterpret_cast<RGBQUAD*>(block.data() + kHeaderBytes);
    for (std::uint32_t i = 0; i < entries; ++i) {
        const auto grey = static_cast<std::uint8_t>(i * 255 / entries);
        table[i] = {grey, grey, grey, 0};
    }
    return CreateCopyOf(info);
}

void CNxDIBImage::Destroy() {
    if (m_ownsMemory) {
        std::free(m_info);
    }
    m_info = nullptr;
    m_topRow = nullptr;
    m_bits = nullptr;
    m_colourCount = 0;
    m_pitch = 0;
    m_ownsMemory = false;
}

std::int32_t CNxDIBImage::GetWidth() const {
    return m_info ? m_info->bmiHeader.biWidth : 0;
}

std::int32_t CNxDIBImage::GetHeight() const {
    if (m_info == nullptr) {
        return 0;
    }
    const std::int32_t h = m_info->bmiHeader.biHeight;
    return h < 0 ? -h : h;
}

int CNxDIBImage::GetBitCount() const {
    return m_info ? m_info->bmiHeader.biBitCount : 0;
}

const RGBQUAD* CNxDIBImage::GetColorTable() const {
    return m_colourCount == 0 ? nullptr
                              : reinterpret_cast<const RGBQUAD*>(
                                    reinterpret_cast<const std::uint8_t*>(m_info) + kHeaderBytes);
}

RGBQUAD* CNxDIBImage::GetColorTable() {
    return const_cast<RGBQUAD*>(static_cast<const CNxDIBImage*>(this)->GetColorTable());
}

std::uint32_t CNxDIBImage::GetImageSize() const {
    return static_cast<std::uint32_t>(GetStride() * static_cast<std::uint64_t>(GetHeight()));
}

std::uint32_t CNxDIBImage::mask(int channel) const {
    if (m_info == nullptr) {
        return 0;
    }
    if (m_info->bmiHeader.biCompression == BI_BITFIELDS) {
        std::uint32_t masks[3];
        std::memcpy(masks, reinterpret_cast<const std::uint8_t*>(m_info) + kHeaderBytes,
                    sizeof masks);
        return masks[channel];
    }
    static const std::uint32_t k555[3] = {0x7C00, 0x03E0, 0x001F};
    static const std::uint32_t k888[3] = {0xFF0000, 0x00FF00, 0x0000FF};
    return GetBitCount() == 16 ? k555[channel] : k888[channel];
}
