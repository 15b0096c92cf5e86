#include "chips/ChipSet.h"

#include <algorithm>

#include "chips/ZoomedDrawing.h"
#include "gfx/CNxSurface.h"

namespace {

// How many of the positions start … start + length − 1 lie in 0 … limit − 1.
std::int64_t overlap(std::int64_t start, std::int64_t length, std::int64_t limit) {
    return std::max<std::int64_t>(
        0, std::min(start + length, limit) - std::max<std::int64_t>(start, 0));
}

// The chip image and its levels as lines for zoomed::draw; nothing beyond the image counts.
class ImageLines {
public:
    explicit ImageLines(const ChipImageLevels& levels) : m_levels(levels) {}

    void pixels(int k, std::int64_t x, std::int64_t y, int count, std::uint32_t* out) const {
        const CNxSurface* level = m_levels.level(k);
        const int width = m_levels.levelWidth(k);
        const std::int64_t inside = level != nullptr && y >= 0 && y < m_levels.levelHeight(k)
                                        ? overlap(x, count, width)
                                        : 0;
        const std::int64_t before = inside > 0 ? std::max<std::int64_t>(0, -x) : count;
        std::fill_n(out, before, zoomed::kBlack);
        if (inside > 0) {
            const auto* row =
                reinterpret_cast<const std::uint32_t*>(level->GetImage().Row(static_cast<int>(y)));
            std::memcpy(out + before, row + (x + before), static_cast<std::size_t>(inside) * 4);
        }
        std::fill(out + before + inside, out + count, zoomed::kBlack);
    }

    void sums(int k, std::int64_t x, std::int64_t y, int count, PixelSums* out) const {
        std::fill_n(out, count, PixelSums{});
        const int width = m_levels.levelWidth(k);
        if (y < 0 || y >= m_levels.levelHeight(k)) {
            return;
        }
        const std::int64_t from = std::max<std::int64_t>(x, 0),
                           to = std::min<std::int64_t>(x + count, width);
        if (k == 0) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(
                m_levels.level(0)->GetImage().Row(static_cast<int>(y)));
            for (std::int64_t i = from; i < to; ++i) {
                out[i - x] = PixelSums::of(row[i]);
            }
        } else if (const PixelSums* sums = m_levels.sums(k)) {
            std::copy(sums + y * width + from, sums + y * width + std::max(from, to),
                      out + (from - x));
        }
    }

    std::uint32_t blockCount(std::int64_t x, std::int64_t y, int size) const {
        return static_cast<std::uint32_t>(overlap(x, size, m_levels.levelWidth(0)) *
                                          overlap(y, size, m_levels.levelHeight(0)));
    }

private:
    const ChipImageLevels& m_levels;
};

}  // namespace

ChipSet::ChipSet() = default;
ChipSet::~ChipSet() = default;

int ChipSet::imageWidth() const {
    return m_image ? m_image->GetWidth() : 0;
}

int ChipSet::imageHeight() const {
    return m_image ? m_image->GetHeight() : 0;
}

void ChipSet::setImage(std::unique_ptr<CNxSurface> image) {
    m_image = std::move(image);
    m_levels.reset(m_image.get());
    m_chipSums.clear();
    int width = m_chipWidth, height = m_chipHeight;
    setChipSize(width, height);
}

void ChipSet::clampChipSize(int& width, int& height) const {
    if (m_image) {
        width = clampChipSide(width, imageWidth());
        height = clampChipSide(height, imageHeight());
    } else {
        width = std::clamp(width, kMinChipSize, kMaxChipSize);
        height = std::clamp(height, kMinChipSize, kMaxChipSize);
    }
}

int ChipSet::clampChipSide(int side, int imageSize) {
    return std::clamp(std::min(side, imageSize), kMinChipSize, kMaxChipSize);
}

void ChipSet::setChipSize(int& width, int& height) {
    clampChipSize(width, height);
    m_chipWidth = width;
    m_chipHeight = height;
    recount();
}

const std::vector<PixelSums>& ChipSet::chipSums() const {
    if (m_chipSums.empty() && count() > 0) {
        m_chipSums.resize(static_cast<std::size_t>(count()));
        for (int n = 0; n < count(); ++n) {
            PixelSums& sums = m_chipSums[static_cast<std::size_t>(n)];
            for (int y = 0; y < m_chipHeight; ++y) {
                const auto* row =
                    reinterpret_cast<const std::uint32_t*>(m_image->GetImage().Row(chipY(n) + y)) +
                    chipX(n);
                for (int x = 0; x < m_chipWidth; ++x) {
                    sums.add(PixelSums::of(row[x]));
                }
            }
        }
    }
    return m_chipSums;
}

void ChipSet::recount() {
    m_chipSums.clear();
    m_columns = imageWidth() / m_chipWidth;
    m_rows = imageHeight() / m_chipHeight;
}

void ChipSet::drawImage(CNxSurface& target, int imageX, int imageY, Zoom zoom, int width,
                        int height) const {
    if (target.GetBitCount() != 32) {
        return;
    }
    width = std::clamp(width, 0, target.GetWidth());
    height = std::clamp(height, 0, target.GetHeight());
    ImageLines lines(m_levels);
    zoomed::draw(target, width, height, imageX, imageY, zoom, 1 << ChipImageLevels::kLevels, lines);
}
