#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "chips/PixelSums.h"

class CNxSurface;

// The chip image reduced by 2, 4, … 32 each way, for the zooms below 1. Level k is
// ceil(w / 2^k) × ceil(h / 2^k); its pixel is the block of 2^k × 2^k image pixels under it (at
// the right and bottom edge only those the image has) averaged as PixelSums::average says.
// Every level is made from the image itself, never from the level before, so that no rounding
// is taken twice. Each is made on first use and dropped with the image; together they take at
// most a third more than the image.
//
// For blocks that a level's pixels do not cover exactly (a zoom's block that straddles cells of
// a size the block does not divide), the unrounded sums of a level's blocks are kept as well,
// again on first use.
class ChipImageLevels {
public:
    static constexpr int kLevels = 5;  // 2^5: the block of the smallest zoom, 1/32
    // Below this level the sums would take as much as the image: those blocks are summed from
    // the image's pixels.
    static constexpr int kFirstSumLevel = 2;

    ChipImageLevels();
    ~ChipImageLevels();
    ChipImageLevels(const ChipImageLevels&) = delete;
    ChipImageLevels& operator=(const ChipImageLevels&) = delete;

    // Drops everything made from the image before; image (or null) stays the caller's.
    void reset(const CNxSurface* image);

    // Level 0 is the image. Null without an image, for a level outside 0 … kLevels, or when
    // memory runs out.
    const CNxSurface* level(int k) const;
    // The sums of level k (kFirstSumLevel … kLevels), row by row, levelWidth(k) to a row; null
    // as for level.
    const PixelSums* sums(int k) const;
    int levelWidth(int k) const;
    int levelHeight(int k) const;

    // What the levels and the sums made so far take.
    std::size_t levelBytes() const;
    std::size_t sumBytes() const;

private:
    // Sums the blocks of level k, a row of blocks at a time, handing each row to store.
    template <typename Store>
    void sumBlocks(int k, Store&& store) const;

    const CNxSurface* m_image = nullptr;
    // Made from a const chip set as the windows draw: a cache of the image, not its state.
    mutable std::unique_ptr<CNxSurface> m_levels[kLevels];
    mutable std::vector<PixelSums> m_sums[kLevels];
};
