#include "chips/ChipImageLevels.h"

#include <algorithm>
#include <new>

#include "gfx/CNxSurface.h"

ChipImageLevels::ChipImageLevels() = default;
ChipImageLevels::~ChipImageLevels() = default;

void ChipImageLevels::reset(const CNxSurface* image) {
    m_image =
        image != nullptr && image->GetBitCount() == 32 && image->GetWidth() > 0 ? image : nullptr;
    for (int i = 0; i < kLevels; ++i) {
        m_levels[i].reset();
        std::vector<PixelSums>().swap(m_sums[i]);
    }
}

int ChipImageLevels::levelWidth(int k) const {
    return m_image != nullptr && k >= 0 && k <= kLevels ? (m_image->GetWidth() + (1 << k) - 1) >> k
                                                        : 0;
}

int ChipImageLevels::levelHeight(int k) const {
    return m_image != nullptr && k >= 0 && k <= kLevels ? (m_image->GetHeight() + (1 << k) - 1) >> k
                                                        : 0;
}

template <typename Store>
void ChipImageLevels::sumBlocks(int k, Store&& store) const {
    const int width = m_image->GetWidth(), height = m_image->GetHeight();
    std::vector<PixelSums> row(static_cast<std::size_t>(levelWidth(k)));
    for (int top = 0, blockRow = 0; top < height; top += 1 << k, ++blockRow) {
        std::fill(row.begin(), row.end(), PixelSums{});
        for (int y = top; y < std::min(top + (1 << k), height); ++y) {
            const auto* pixels = reinterpret_cast<const std::uint32_t*>(m_image->GetImage().Row(y));
            for (int x = 0; x < width; ++x) {
                row[x >> k].add(PixelSums::of(pixels[x]));
            }
        }
        store(blockRow, std::min(1 << k, height - top), row);
    }
}

const CNxSurface* ChipImageLevels::level(int k) const {
    if (m_image == nullptr || k < 0 || k > kLevels) {
        return nullptr;
    }
    if (k == 0) {
        return m_image;
    }
    std::unique_ptr<CNxSurface>& level = m_levels[k - 1];
    if (level == nullptr) {
        auto made = std::make_unique<CNxSurface>(32);
        const int width = levelWidth(k), imageWidth = m_image->GetWidth();
        if (!made->Create(width, -levelHeight(k))) {
            return nullptr;
        }
        sumBlocks(k, [&](int blockRow, int blockHeight, const std::vector<PixelSums>& sums) {
            auto* out = reinterpret_cast<std::uint32_t*>(made->GetImage().Row(blockRow));
            for (int x = 0; x < width; ++x) {
                // The last block of a row has only the columns the image has.
                const int blockWidth = std::min(1 << k, imageWidth - (x << k));
                out[x] = sums[x].average(static_cast<std::uint32_t>(blockWidth * blockHeight));
            }
        });
        level = std::move(made);
    }
    return level.get();
}

const PixelSums* ChipImageLevels::sums(int k) const {
    if (m_image == nullptr || k < kFirstSumLevel || k > kLevels) {
        return nullptr;
    }
    std::vector<PixelSums>& sums = m_sums[k - 1];
    if (sums.empty()) {
        const std::size_t width = static_cast<std::size_t>(levelWidth(k));
        try {
            sums.resize(width * static_cast<std::size_t>(levelHeight(k)));
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
        sumBlocks(k, [&](int blockRow, int, const std::vector<PixelSums>& row) {
            std::copy(row.begin(), row.end(), sums.begin() + blockRow * width);
        });
    }
    return sums.data();
}

std::size_t ChipImageLevels::levelBytes() const {
    std::size_t bytes = 0;
    for (const auto& level : m_levels) {
        bytes += level ? std::size_t(level->GetWidth()) * level->GetHeight() * 4 : 0;
    }
    return bytes;
}

std::size_t ChipImageLevels::sumBytes() const {
    std::size_t bytes = 0;
    for (const auto& sums : m_sums) {
        bytes += sums.size() * sizeof(PixelSums);
    }
    return bytes;
}
