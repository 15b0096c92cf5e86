#include "chips/ChipSet.h"

#include <algorithm>

#include "gfx/CNxSurface.h"

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
    int width = m_chipWidth, height = m_chipHeight;
    setChipSize(width, height);
}

void ChipSet::clampChipSize(int& width, int& height) const {
    if (m_image) {
        width = std::min(width, imageWidth());
        height = std::min(height, imageHeight());
    }
    width = std::clamp(width, kMinChipSize, kMaxChipSize);
    height = std::clamp(height, kMinChipSize, kMaxChipSize);
}

void ChipSet::setChipSize(int& width, int& height) {
    clampChipSize(width, height);
    m_chipWidth = width;
    m_chipHeight = height;
    recount();
}

void ChipSet::recount() {
    m_columns = imageWidth() / m_chipWidth;
    m_rows = imageHeight() / m_chipHeight;
}
