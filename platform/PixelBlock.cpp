#include "platform/PixelBlock.h"

#include <cassert>
#include <cstring>

namespace platform {

Rect copyPixelBlock(const PixelBlock& block, std::uint32_t* dest, Size destSize,
                    std::ptrdiff_t destPitch, std::uint32_t orMask) {
    const Rect target = block.rect.intersected(Rect{0, 0, destSize.width, destSize.height});
    if (target.isEmpty() || block.pixels == nullptr) {
        return Rect{};
    }
    assert(block.pitch >= block.rect.width() * 4 || -block.pitch >= block.rect.width() * 4);
    const int skipX = target.left - block.rect.left;
    const int skipY = target.top - block.rect.top;
    const int width = target.width();
    for (int y = 0; y < target.height(); ++y) {
        const std::uint32_t* from = block.row(skipY + y) + skipX;
        std::uint32_t* to = reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(dest) +
                                                             destPitch * (target.top + y)) +
                            target.left;
        if (orMask == 0) {
            std::memcpy(to, from, static_cast<std::size_t>(width) * 4);
        } else {
            for (int x = 0; x < width; ++x) {
                to[x] = from[x] | orMask;
            }
        }
    }
    return target;
}

}  // namespace platform
