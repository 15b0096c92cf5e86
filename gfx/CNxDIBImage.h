#pragma once

#include <cstdint>

#include "gfx/NxTypes.h"

// A packed device-independent bitmap: a 40-byte header, its colour table (or three 16/32-bit
// masks), and the pixel rows. Decoders return one; surfaces describe their pixels with one.
// Rows are always addressed as GetTopRow() + y × GetPitch(), whether they are stored
// bottom-up (positive height, negative pitch) or top-down.
class CNxDIBImage {
public:
    // The largest picture accepted: no side above 32768 pixels, no more than 1 GiB of pixels.
    static constexpr std::int32_t kMaxSide = 32768;
    static constexpr std::uint64_t kMaxImageBytes = 1ull << 30;

    CNxDIBImage() = default;
    virtual ~CNxDIBImage();
    CNxDIBImage(const CNxDIBImage&) = delete;
    CNxDIBImage& operator=(const CNxDIBImage&) = delete;

    // Points at caller memory (bits null: the pixels follow the colour table); the caller keeps
    // ownership. 0 on an invalid header, which leaves the image empty.
    int Attach(const BITMAPINFO* info, void* bits);
    // A zero-filled copy of the header and colour table with room for the pixels, owned here.
    int CreateCopyOf(const BITMAPINFO* info);
    // A blank image; 1, 4 and 8-bit ones get a grey colour table.
    int Create(std::int32_t width, std::int32_t height, int bitCount);
    // Back to empty, freeing what this image owns.
    void Destroy();

    bool IsEmpty() const { return m_info == nullptr; }
    const BITMAPINFO* GetInfo() const { return m_info; }
    std::int32_t GetWidth() const;
    std::int32_t GetHeight() const;  // always positive
    int GetBitCount() const;
    std::uint8_t* GetTopRow() const { return m_topRow; }
    std::uint8_t* GetBits() const { return m_bits; }
    std::int32_t GetPitch() const { return m_pitch; }
    std::uint32_t GetStride() const { return m_pitch < 0 ? -m_pitch : m_pitch; }
    std::uint32_t GetColorCount() const { return m_colourCount; }
    // The colour table, null when there is none.
    const RGBQUAD* GetColorTable() const;
    RGBQUAD* GetColorTable();
    std::uint32_t GetImageSize() const;
    // The red, green and blue masks of 16- and 32-bit pixels (5-5-5 and 8-8-8 by default).
    std::uint32_t GetRedMask() const { return mask(0); }
    std::uint32_t GetGreenMask() const { return mask(1); }
    std::uint32_t GetBlueMask() const { return mask(2); }

    // Row y of the picture, 0 at the top.
    std::uint8_t* Row(std::int32_t y) const {
        return m_topRow + static_cast<std::int64_t>(y) * m_pitch;
    }

    // Bytes in a stored row: width × bits rounded up to whole bytes, then to a multiple of 4.
    static std::uint64_t StrideOf(std::int64_t width, int bitCount);
    // The number of colour table entries a header implies (masks included), or -1 when the
    // header is not one this library accepts.
    static std::int64_t ColourCountOf(const BITMAPINFOHEADER& header);

private:
    std::uint32_t mask(int channel) const;

    BITMAPINFO* m_info = nullptr;
    std::uint8_t* m_topRow = nullptr;
    std::uint8_t* m_bits = nullptr;
    std::uint32_t m_colourCount = 0;
    std::int32_t m_pitch = 0;
    bool m_ownsMemory = false;
};
