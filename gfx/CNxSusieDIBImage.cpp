#include "gfx/CNxSusieDIBImage.h"

#include <malloc.h>

#include <cstdlib>

CNxSusieDIBImage::CNxSusieDIBImage(void* info, void* bits) : m_infoBlock(info), m_bitsBlock(bits) {}

CNxSusieDIBImage::~CNxSusieDIBImage() {
    Destroy();
    std::free(m_infoBlock);
    std::free(m_bitsBlock);
}

int CNxSusieDIBImage::AttachBlocks() {
    if (m_infoBlock == nullptr || m_bitsBlock == nullptr) {
        return 0;
    }
    // The plug-in says nothing of the blocks' sizes; malloc knows them, so a header that claims
    // more table or pixels than were allocated is refused instead of read past.
    const std::size_t infoBytes = ::malloc_usable_size(m_infoBlock);
    if (infoBytes < sizeof(BITMAPINFOHEADER)) {
        return 0;
    }
    const auto* info = static_cast<const BITMAPINFO*>(m_infoBlock);
    const std::int64_t colours = ColourCountOf(info->bmiHeader);
    if (colours < 0 || infoBytes < sizeof(BITMAPINFOHEADER) + 4 * std::uint64_t(colours)) {
        return 0;
    }
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const std::uint64_t height = h.biHeight < 0 ? -std::int64_t(h.biHeight) : h.biHeight;
    if (::malloc_usable_size(m_bitsBlock) < StrideOf(h.biWidth, h.biBitCount) * height) {
        return 0;
    }
    return Attach(info, m_bitsBlock);
}
