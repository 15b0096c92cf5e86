#include "gfx/CNxSurface.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

#include "gfx/CNxBlendTables.h"
#include "gfx/CNxBlitter.h"
#include "gfx/CNxBlitter32.h"
#include "gfx/CNxBlitter8.h"
#include "gfx/CNxDIBImageConverter.h"
#include "gfx/CNxFile.h"
#include "gfx/CNxImageLoaderManager.h"
#include "gfx/CNxSurfaceExtension.h"
#include "gfx/CNxSystem.h"

namespace {

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();

std::int32_t saturate(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp(v, kInt32Min, kInt32Max));
}

}  // namespace

void CNxSurface::FreeDeleter::operator()(void* p) const {
    std::free(p);
}

CNxSurface::CNxSurface(int bitCount)
    : m_bitCount(bitCount == 8 ? 8 : 32),
      m_blitter(m_bitCount == 8 ? static_cast<const CNxBlitter*>(&CNxBlitter8::Instance())
                                : &CNxBlitter32::Instance()),
      m_extension(std::make_unique<CNxSurfaceExtension>()) {
    // The tables are built before anything can draw.
    CNxBlendTables::Get();
}

CNxSurface::~CNxSurface() {
    m_dc = nullptr;
    m_extension.reset();
    m_pixels.reset();
    m_image.Destroy();
    m_info.reset();
}

int CNxSurface::Create(std::int32_t width, std::int32_t height) {
    const std::size_t tableBytes = m_bitCount == 8 ? 256 * sizeof(RGBQUAD) : 0;
    std::unique_ptr<BITMAPINFO, FreeDeleter> info(
        static_cast<BITMAPINFO*>(std::calloc(1, sizeof(BITMAPINFOHEADER) + tableBytes)));
    if (!info) {
        return 0;
    }
    BITMAPINFOHEADER& h = info->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<std::uint16_t>(m_bitCount);
    if (m_bitCount == 8) {
        for (int i = 0; i < 256; ++i) {
            const auto v = static_cast<std::uint8_t>(i);
            info->bmiColors[i] = RGBQUAD{v, v, v, 0};
        }
    }
    // An empty picture or one past the library's size limits has no pixels to allocate.
    if (width <= 0 || height == 0 || CNxDIBImage::ColourCountOf(h) < 0) {
        return 0;
    }
    const std::uint64_t bytes =
        CNxDIBImage::StrideOf(width, m_bitCount) * static_cast<std::uint64_t>(std::abs(height));
    // Whole cache lines, so that SIMD rows start aligned.
    const std::size_t allocated = static_cast<std::size_t>((bytes + 63) & ~std::uint64_t(63));
    std::unique_ptr<std::uint8_t, FreeDeleter> pixels(
        static_cast<std::uint8_t*>(std::aligned_alloc(64, allocated)));
    if (!pixels) {
        return 0;
    }
    std::memset(pixels.get(), 0, allocated);

    if (!m_image.Attach(info.get(), pixels.get())) {
        return 0;
    }
    m_info = std::move(info);
    m_pixels = std::move(pixels);
    m_dc = nullptr;
    m_dcUseCount = 0;
    SetClipRect(nullptr);
    return 1;
}

void* CNxSurface::GetDC() {
    if (m_dcUseCount > 0) {
        ++m_dcUseCount;
        return m_dc;
    }
    if (!m_pixels) {
        return nullptr;
    }
    m_dc = m_pixels.get();
    m_dcUseCount = 1;
    return m_dc;
}

std::uint32_t CNxSurface::ReleaseDC() {
    if (m_dc == nullptr) {
        return 0;
    }
    if (--m_dcUseCount == 0) {
        m_dc = nullptr;
    }
    return m_dcUseCount;
}

void CNxSurface::SetClipRect(const RECT* rect) {
    const std::int32_t width = GetWidth(), height = GetHeight();
    if (rect == nullptr) {
        m_clip = RECT{0, 0, width, height};
        return;
    }
    m_clip.left = std::max(rect->left, 0);
    m_clip.top = std::max(rect->top, 0);
    m_clip.right = std::min(rect->right, width);
    m_clip.bottom = std::min(rect->bottom, height);
}

void CNxSurface::SetOrigin(std::int32_t x, std::int32_t y) {
    m_originX = x;
    m_originY = y;
}

int CNxSurface::Fill(const RECT* rect, std::uint32_t colour) {
    return CNxBlitter::Fill(*this, rect, colour);
}

int CNxSurface::Fill(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                     std::uint32_t colour) {
    // Edges past the 32-bit range lie outside every surface anyway.
    const RECT rect{x, y, saturate(std::int64_t(x) + width), saturate(std::int64_t(y) + height)};
    return CNxBlitter::Fill(*this, &rect, colour);
}

int CNxSurface::Blit(const RECT* destRect, const CNxSurface* source, const RECT* sourceRect,
                     const CNxBlitParams* params) {
    return CNxBlitter::Blit(*this, destRect, source, sourceRect, params);
}

int CNxSurface::Blit(std::int32_t x, std::int32_t y, const CNxSurface* source,
                     const RECT* sourceRect, const CNxBlitParams* params) {
    if (source == nullptr && sourceRect == nullptr) {
        return 0;
    }
    RECT s = sourceRect ? *sourceRect : RECT{0, 0, source->GetWidth(), source->GetHeight()};
    const std::int64_t width = std::abs(std::int64_t(s.right) - s.left);
    const std::int64_t height = std::abs(std::int64_t(s.bottom) - s.top);
    std::int64_t right = std::int64_t(x) + width, bottom = std::int64_t(y) + height;

    // A rectangle running past the 32-bit range loses the same number of pixels at the far end
    // of the source as of the destination, so that the blit stays same-size.
    const std::uint32_t flags = params ? params->m_flags : 0;
    const bool mirrorX = flags & NxBlt_MirrorX, mirrorY = flags & NxBlt_MirrorY;
    auto trim = [](std::int32_t& near, std::int32_t& far, bool mirrored, std::int64_t excess) {
        std::int32_t& end = mirrored ? near : far;
        const std::int32_t start = mirrored ? far : near;
        end = static_cast<std::int32_t>(end >= start ? end - excess : end + excess);
    };
    if (right > kInt32Max) {
        trim(s.left, s.right, mirrorX, right - kInt32Max);
        right = kInt32Max;
    }
    if (bottom > kInt32Max) {
        trim(s.top, s.bottom, mirrorY, bottom - kInt32Max);
        bottom = kInt32Max;
    }
    const RECT d{x, y, static_cast<std::int32_t>(right), static_cast<std::int32_t>(bottom)};
    return CNxBlitter::Blit(*this, &d, source, &s, params);
}

int CNxSurface::CopyFromImage(const CNxDIBImage& image) {
    if (image.IsEmpty()) {
        return 0;
    }
    // Through the virtual slot, keeping the image's orientation.
    if (!Create(image.GetWidth(), image.GetInfo()->bmiHeader.biHeight)) {
        return 0;
    }
    if (!CNxDIBImageConverter::Convert(m_image, 0, 0, image, nullptr)) {
        return 0;
    }
    if (m_bitCount <= 8 && image.GetBitCount() <= 8 && image.GetColorCount() > 0) {
        std::memcpy(m_image.GetColorTable(), image.GetColorTable(),
                    std::size_t(image.GetColorCount()) * sizeof(RGBQUAD));
    }
    return 1;
}

platform::Outcome<std::unique_ptr<CNxSurface>> CNxSurface::LoadImageFile(const std::string& path,
                                                                         bool* opened) {
    platform::Outcome<std::unique_ptr<CNxSurface>> outcome;
    CNxFile file;
    const bool open = file.Open(path.c_str(), CNxFile::modeRead | CNxFile::modeShareDenyWrite);
    if (opened != nullptr) {
        *opened = open;
    }
    auto image = std::make_unique<CNxSurface>(32);
    if (open && image->LoadFromFile(file, &outcome.notices)) {
        outcome.value = std::move(image);
    }
    return outcome;
}

bool CNxSurface::ClipToSurface(RECT& rect) const {
    const std::int64_t left =
        std::max<std::int64_t>(std::int64_t(rect.left) + m_originX, m_clip.left);
    const std::int64_t top = std::max<std::int64_t>(std::int64_t(rect.top) + m_originY, m_clip.top);
    const std::int64_t right =
        std::min<std::int64_t>(std::int64_t(rect.right) + m_originX, m_clip.right);
    const std::int64_t bottom =
        std::min<std::int64_t>(std::int64_t(rect.bottom) + m_originY, m_clip.bottom);
    if (left >= right || top >= bottom) {
        return false;
    }
    rect = RECT{static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
                static_cast<std::int32_t>(right), static_cast<std::int32_t>(bottom)};
    return true;
}

int CNxSurface::LoadFromFile(CNxFile& file, std::vector<platform::Notice>* notices) {
    if (!file.IsOpen()) {
        return 0;
    }
    auto decoded = CNxSystem::Get().GetImageLoaderManager().Load(file);
    if (notices != nullptr) {
        notices->insert(notices->end(), decoded.notices.begin(), decoded.notices.end());
    }
    return decoded.value != nullptr && CopyFromImage(*decoded.value) ? 1 : 0;
}
