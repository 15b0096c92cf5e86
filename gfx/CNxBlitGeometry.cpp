#include "gfx/CNxBlitGeometry.h"

#include <algorithm>

#include "gfx/CNxSurface.h"

namespace {

using u128 = unsigned __int128;

// One axis: destination [d0, d0 + n), source edges s0 (paired with d0) and s1.
bool clipAxis(std::int64_t d0, std::int64_t n, std::int64_t s0, std::int64_t s1,
              std::int64_t clipLo, std::int64_t clipHi, std::int64_t imageLen, bool stretched,
              bool smooth, CNxBlitGeometry::Axis& axis) {
    const int dir = s1 >= s0 ? 1 : -1;
    const std::int64_t near = dir > 0 ? s0 : s0 - 1;
    std::int64_t m = dir > 0 ? s1 - s0 : s0 - s1;  // below 2^32: both edges are 32-bit
    if (smooth) {
        m -= 1;
    }
    const std::uint64_t step =
        stretched ? (static_cast<std::uint64_t>(m) << 32) / static_cast<std::uint64_t>(n)
                  : std::uint64_t(1) << 32;

    // Walk positions whose source pixel, and with smoothing the next one too, is in the image.
    std::int64_t uLo = dir > 0 ? -near : near - imageLen + 1;
    std::int64_t uHi = dir > 0 ? imageLen - 1 - near : near;
    if (smooth) {
        uHi -= 1;
    }
    uLo = std::max<std::int64_t>(uLo, 0);
    uHi = std::min<std::int64_t>(uHi, m - 1);
    if (uHi < uLo) {
        return false;
    }
    // The destination pixels i with uLo <= floor(i × step / 2^32) <= uHi, inside the clip.
    const auto first = static_cast<std::int64_t>(((u128(uLo) << 32) + step - 1) / step);
    const auto end = static_cast<std::int64_t>(((u128(uHi + 1) << 32) - 1) / step + 1);
    const std::int64_t lo = std::max({std::int64_t(0), clipLo - d0, first});
    const std::int64_t hi = std::min({n, clipHi - d0, end});
    if (hi <= lo) {
        return false;
    }
    axis.m_dest = static_cast<std::int32_t>(d0 + lo);
    axis.m_count = static_cast<std::int32_t>(hi - lo);
    axis.m_sourceNear = near;
    axis.m_dir = dir;
    axis.m_step = step;
    axis.m_start = static_cast<std::uint64_t>(lo) * step;
    return true;
}

}  // namespace

bool CNxBlitGeometry::SameSize(const RECT& destRect, const RECT& sourceRect) {
    return std::int64_t(destRect.right) - destRect.left ==
               std::abs(std::int64_t(sourceRect.right) - sourceRect.left) &&
           std::int64_t(destRect.bottom) - destRect.top ==
               std::abs(std::int64_t(sourceRect.bottom) - sourceRect.top);
}

CNxBlitGeometry::Result CNxBlitGeometry::Compute(const CNxSurface& dest, const RECT& destRect,
                                                 std::int32_t sourceWidth,
                                                 std::int32_t sourceHeight, const RECT& sourceRect,
                                                 Sizing sizing, bool smooth) {
    const std::int64_t dl = std::int64_t(destRect.left) + dest.GetOriginX();
    const std::int64_t dt = std::int64_t(destRect.top) + dest.GetOriginY();
    const std::int64_t dw = std::int64_t(destRect.right) - destRect.left;
    const std::int64_t dh = std::int64_t(destRect.bottom) - destRect.top;
    const std::int64_t sw = std::abs(std::int64_t(sourceRect.right) - sourceRect.left);
    const std::int64_t sh = std::abs(std::int64_t(sourceRect.bottom) - sourceRect.top);
    const bool same = SameSize(destRect, sourceRect);
    if (!same && sizing == kSameSizeOnly) {
        return kRefused;
    }
    // An empty destination or source draws nothing (and divides by nothing).
    if (dw <= 0 || dh <= 0 || sw == 0 || sh == 0) {
        return kEmpty;
    }
    m_stretched = !same;
    m_smooth = smooth && m_stretched && sw >= 2 && sh >= 2 && dw > sw / 2 && dh > sh / 2;
    const RECT& clip = dest.GetClipRect();
    if (!clipAxis(dl, dw, sourceRect.left, sourceRect.right, clip.left, clip.right, sourceWidth,
                  m_stretched, m_smooth, m_x) ||
        !clipAxis(dt, dh, sourceRect.top, sourceRect.bottom, clip.top, clip.bottom, sourceHeight,
                  m_stretched, m_smooth, m_y)) {
        return kEmpty;
    }
    return kDraw;
}
