#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/Geometry.h"

namespace platform {

// A block of 32-bit pixels (0xAARRGGBB words) in someone else's memory: pixels points to the
// word shown at (rect.left, rect.top); row r starts pitch × r bytes further on. pitch is at least
// rect.width() × 4 in magnitude and is negative for bottom-up memory, where the top row lies at
// the highest address (pixels still points to it).
struct PixelBlock {
    Rect rect;
    const std::uint32_t* pixels = nullptr;
    std::ptrdiff_t pitch = 0;

    const std::uint32_t* row(int y) const {
        return reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const char*>(pixels) +
                                                      pitch * static_cast<std::ptrdiff_t>(y));
    }
};

// Copies block into the destination image of size destSize (rows destPitch bytes apart), at the
// block's own rectangle, dropping what lies outside the image; every word is or-ed with orMask.
// Returns the rectangle written (empty when nothing was).
Rect copyPixelBlock(const PixelBlock& block, std::uint32_t* dest, Size destSize,
                    std::ptrdiff_t destPitch, std::uint32_t orMask = 0);

}  // namespace platform
