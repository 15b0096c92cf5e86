#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "chips/ChipImageLevels.h"
#include "chips/PixelSums.h"
#include "gfx/CNxSurface.h"
#include "grid/Zoom.h"

// How the chip and map windows draw a picture at a zoom, whatever the picture is made of. From
// 1 up each picture pixel becomes a num × num block; below 1 screen pixel (X, Y) is the average
// (PixelSums::average) of the den × den picture pixels from (x + X·den, y + Y·den). Where the
// block is whole pixels of a level of the chip image, those are copied; otherwise b × b blocks
// of a lower level are summed, so that the cost of a screen pixel stays b².
//
// The source hands lines of the picture:
//   pixels(k, x, y, count, out): count pixels of level k from level pixel (x, y);
//   sums(k, x, y, count, out): the same as PixelSums, for level 0 or ChipImageLevels' sum levels;
//   blockCount(x, y, size): how many picture pixels the block of size × size from picture pixel
//       (x, y) averages (0: the screen pixel is black).
namespace zoomed {

constexpr std::uint32_t kBlack = 0xFF000000;

inline std::uint32_t* targetRow(CNxSurface& target, int y) {
    return reinterpret_cast<std::uint32_t*>(target.GetImage().Row(y));
}

// A zoom that is no step draws as 1:1.
inline Zoom checked(Zoom zoom) {
    return zoom.stepIndex() < 0 ? Zoom{} : zoom;
}

// The largest power of two up to size that divides alignment, x and y: the level whose pixels
// the blocks of size are made of.
inline int blockLevel(int size, int alignment, std::int64_t x, std::int64_t y) {
    int k = 0;
    while ((2 << k) <= size && alignment % (2 << k) == 0 && x % (2 << k) == 0 &&
           y % (2 << k) == 0) {
        ++k;
    }
    return k;
}

// Draws into target's top-left width × height (already cut to it; a 32-bit surface) the
// picture from its pixel (x, y) at zoom. alignment: a number that every block of a level the
// source can hand must divide (for the map, its cell sides).
template <typename Source>
void draw(CNxSurface& target, int width, int height, std::int64_t x, std::int64_t y, Zoom zoom,
          int alignment, Source& source) {
    if (width <= 0 || height <= 0) {
        return;
    }
    zoom = checked(zoom);
    if (zoom.num > 1) {
        const int n = zoom.num;
        std::vector<std::uint32_t> line(static_cast<std::size_t>((width + n - 1) / n));
        for (int top = 0; top < height; top += n) {
            source.pixels(0, x, y + top / n, static_cast<int>(line.size()), line.data());
            std::uint32_t* out = targetRow(target, top);
            for (int i = 0, left = 0; left < width; ++i, left += n) {
                std::fill_n(out + left, std::min(n, width - left), line[i]);
            }
            // The block's other lines are the same.
            for (int j = 1; j < n && top + j < height; ++j) {
                std::memcpy(targetRow(target, top + j), out, static_cast<std::size_t>(width) * 4);
            }
        }
        return;
    }
    const int size = zoom.den;
    int k = blockLevel(size, alignment, x, y);
    if ((1 << k) == size) {
        for (int row = 0; row < height; ++row) {
            source.pixels(k, x / size, y / size + row, width, targetRow(target, row));
        }
        return;
    }
    if (k < ChipImageLevels::kFirstSumLevel) {
        k = 0;
    }
    const int b = size >> k;  // level pixels a block has each way
    std::vector<PixelSums> line(static_cast<std::size_t>(width) * b), blocks(width);
    for (int row = 0; row < height; ++row) {
        std::fill(blocks.begin(), blocks.end(), PixelSums{});
        const std::int64_t top = y + std::int64_t(row) * size;
        for (int j = 0; j < b; ++j) {
            source.sums(k, x / (1 << k), top / (1 << k) + j, width * b, line.data());
            const PixelSums* in = line.data();
            for (PixelSums& block : blocks) {
                for (int i = 0; i < b; ++i) {
                    block.add(*in++);
                }
            }
        }
        std::uint32_t* out = targetRow(target, row);
        for (int column = 0; column < width; ++column) {
            const std::uint32_t count =
                source.blockCount(x + std::int64_t(column) * size, top, size);
            out[column] = count > 0 ? blocks[column].average(count) : kBlack;
        }
    }
}

}  // namespace zoomed
