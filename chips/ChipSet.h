#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "chips/ChipImageLevels.h"
#include "grid/Zoom.h"

class CNxSurface;

// The chip image cut into equal chips: chip n lies in column n mod columns and row n div columns
// of the image. Pixels beyond the last whole chip on the right and at the bottom belong to no
// chip. The map stores chip numbers, so a new chip size or image changes what a number shows.
class ChipSet {
public:
    static constexpr int kMinChipSize = 16;
    static constexpr int kMaxChipSize = 64;
    static constexpr int kDefaultChipSize = 32;
    // The smallest image the editor takes: one chip of the smallest size.
    static constexpr int kMinImageSize = kMinChipSize;

    ChipSet();
    ~ChipSet();
    ChipSet(const ChipSet&) = delete;
    ChipSet& operator=(const ChipSet&) = delete;

    // Takes image as the chip image (the caller has checked its size) and cuts it with the
    // current chip size, clamped to it.
    void setImage(std::unique_ptr<CNxSurface> image);
    // Clamps the size to the image, then to 16 … 64, stores it and recounts the chips. Without
    // an image only the range applies.
    void setChipSize(int& width, int& height);
    // The size setChipSize would store.
    void clampChipSize(int& width, int& height) const;
    // One side of that size for an image side of imageSize pixels.
    static int clampChipSide(int side, int imageSize);

    bool hasImage() const { return m_image != nullptr; }
    const CNxSurface* image() const { return m_image.get(); }
    // The image reduced for the zooms below 1, made as they are first asked for.
    const ChipImageLevels& levels() const { return m_levels; }
    int imageWidth() const;
    int imageHeight() const;
    int chipWidth() const { return m_chipWidth; }
    int chipHeight() const { return m_chipHeight; }
    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    int count() const { return m_columns * m_rows; }

    int chipNumberAt(int column, int row) const { return row * m_columns + column; }
    bool isChip(std::int32_t number) const { return number >= 0 && number < count(); }
    // The top-left pixel of chip number in the image; number must be a chip.
    int chipX(std::int32_t number) const { return number % m_columns * m_chipWidth; }
    int chipY(std::int32_t number) const { return number / m_columns * m_chipHeight; }

    // Each chip's pixels summed (as PixelSums), by chip number: what a screen pixel that covers
    // whole cells is made of. Made on first use for the image and chip size in use.
    const std::vector<PixelSums>& chipSums() const;

    // The chip window's picture: the image from its pixel (imageX, imageY) at zoom into
    // target's top-left width × height (cut to target), black beyond the image. At 1:1 a plain
    // copy; from 1 up blocks of each pixel; below 1 the image's levels (see ZoomedDrawing.h),
    // a block at the image's edge averaging only the pixels the image has.
    void drawImage(CNxSurface& target, int imageX, int imageY, Zoom zoom, int width,
                   int height) const;

private:
    void recount();

    std::unique_ptr<CNxSurface> m_image;
    ChipImageLevels m_levels;                   // of m_image
    mutable std::vector<PixelSums> m_chipSums;  // of m_image at the chip size; empty: not made
    int m_chipWidth = kDefaultChipSize;
    int m_chipHeight = kDefaultChipSize;
    int m_columns = 0;
    int m_rows = 0;
};
