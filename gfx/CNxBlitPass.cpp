#include "gfx/CNxBlitPass.h"

#include <algorithm>

#include "gfx/CNxBlitGeometry.h"
#include "gfx/CNxSurface.h"

namespace {

using SourceKind = CNxBlitPass::SourceKind;

// Rows are drawn in runs of at most this many pixels, staged on the stack when the source needs
// converting (mirroring, colour tables, stretching, blurring).
constexpr int kRun = 256;

std::uint32_t* row32(const CNxDIBImage& image, std::int32_t y) {
    return reinterpret_cast<std::uint32_t*>(image.Row(y));
}

// Paletted sources filter their colour table entries as they are, without colour borrowing.
inline std::uint32_t filter(std::uint32_t p00, std::uint32_t p01, std::uint32_t p10,
                            std::uint32_t p11, std::uint32_t fx, std::uint32_t fy) {
    return CNxRowOps::Lerp(CNxRowOps::Lerp(p00, p01, fx), CNxRowOps::Lerp(p10, p11, fx), fy);
}

struct SourceRows {
    const std::uint8_t* row0;  // the source row (or upper row of a filter)
    const std::uint8_t* row1;  // the lower row of a filter
    std::uint32_t fy;
};

class Runner {
public:
    Runner(const CNxBlitPass& p, CNxSurface& dest, const CNxBlitGeometry& g)
        : m_p(p), m_dest(dest), m_g(g), m_x(g.m_x), m_y(g.m_y) {
        if (p.m_source && p.m_kind == SourceKind::kLookup) {
            m_table = reinterpret_cast<const std::uint32_t*>(p.m_source->GetColorTable());
        }
    }

    void Run() {
        if (m_g.m_smooth && m_p.m_kind == SourceKind::kPixels) {
            runFiltered();
            return;
        }
        // Rows in the order the source (or the mask) lies in memory, unless the source is the
        // destination itself, whose rows are then read and written top first.
        const CNxDIBImage* read = m_p.m_source ? m_p.m_source : m_p.m_mask;
        const bool backwards = read != &m_dest.GetImage() && read && !m_g.RowsAscend(*read);
        for (std::int32_t k = 0; k < m_y.m_count; ++k) {
            const std::int32_t j = backwards ? m_y.m_count - 1 - k : k;
            const std::uint64_t py = m_y.m_start + std::uint64_t(j) * m_y.m_step;
            std::uint32_t* d = row32(m_dest.GetImage(), m_y.m_dest + j) + m_x.m_dest;
            const std::int32_t sy = m_y.SourceAt(py);
            SourceRows rows{nullptr, nullptr, 0};
            if (m_p.m_source) {
                rows.row0 = m_p.m_source->Row(sy);
                if (m_g.m_smooth) {
                    rows.row1 = m_p.m_source->Row(m_y.SourceAt(py + (std::uint64_t(1) << 32)));
                    rows.fy = static_cast<std::uint32_t>(py >> 24) & 0xFF;
                }
            }
            const std::uint8_t* maskRow =
                m_p.m_mask ? m_p.m_mask->Row(static_cast<std::int32_t>(sy + m_p.m_maskDy))
                           : nullptr;
            for (std::int32_t c = 0; c < m_x.m_count; c += kRun) {
                const int n = std::min<std::int32_t>(kRun, m_x.m_count - c);
                const std::uint32_t* s = m_p.m_source ? fetch(rows, c, n) : nullptr;
                const std::uint8_t* m = maskRow ? fetchMask(maskRow, c, n) : nullptr;
                m_p.m_combine(d + c, s, m, n, m_p.m_ctx);
            }
        }
    }

private:
    // Filtered 32-bit sources, a column of runs at a time: the horizontal mixes of a pair of
    // source rows serve every destination row that falls between those rows (two of them when
    // doubling the size), and the pair positions serve the whole column.
    void runFiltered() {
        const CNxRowOps& ops = *m_p.m_ctx.m_ops;
        // A filtered copy needs no staging: the samples are the result.
        const bool straightIn =
            m_p.m_combine == CNxBlitCombiners::Find(CNxBlitCombiners::Op::Copy, 0);
        const int dir = m_x.m_dir;
        for (std::int32_t c = 0; c < m_x.m_count; c += kRun) {
            const int n = std::min<std::int32_t>(kRun, m_x.m_count - c);
            std::uint64_t px = m_x.m_start + static_cast<std::uint64_t>(c) * m_x.m_step;
            for (int i = 0; i < n; ++i, px += m_x.m_step) {
                // Pairs start at the lower address: the sample itself, or its neighbour when
                // the walk runs leftwards.
                m_pairs[i] = m_x.SourceAt(px) - (dir < 0 ? 1 : 0);
                m_fx[i] = static_cast<std::uint32_t>(px >> 24) & 0xFF;
            }
            std::uint64_t py = m_y.m_start;
            std::int64_t mixedRow = -1;  // no source row is negative
            for (std::int32_t j = 0; j < m_y.m_count; ++j, py += m_y.m_step) {
                const std::int32_t sy = m_y.SourceAt(py);
                if (sy != mixedRow) {
                    const std::int32_t below = m_y.SourceAt(py + (std::uint64_t(1) << 32));
                    ops.m_filterPairs(m_top, m_bottom, row32(*m_p.m_source, sy),
                                      row32(*m_p.m_source, below), m_pairs, m_fx, n, dir < 0,
                                      m_p.m_borrow);
                    mixedRow = sy;
                }
                std::uint32_t* d = row32(m_dest.GetImage(), m_y.m_dest + j) + m_x.m_dest + c;
                const auto fy = static_cast<std::uint32_t>(py >> 24) & 0xFF;
                if (straightIn) {
                    ops.m_lerpRows(d, m_top, m_bottom, n, fy);
                } else {
                    ops.m_lerpRows(m_buffer, m_top, m_bottom, n, fy);
                    m_p.m_combine(d, m_buffer, nullptr, n, m_p.m_ctx);
                }
            }
        }
    }

private:
    const std::uint32_t* fetch(const SourceRows& rows, std::int32_t c, int n) {
        if (m_p.m_blurRadius > 0) {
            blur(rows.row0, c, n);
            return m_buffer;
        }
        if (m_g.m_stretched) {
            sample(rows, c, n);
            return m_buffer;
        }
        const std::int32_t x0 = m_x.FirstSource() + m_x.m_dir * c;
        const int dir = m_x.m_dir;
        switch (m_p.m_kind) {
            case SourceKind::kPixels: {
                const auto* in = reinterpret_cast<const std::uint32_t*>(rows.row0) + x0;
                if (dir > 0) {
                    return in;
                }
                for (int i = 0; i < n; ++i) {
                    m_buffer[i] = in[-i];
                }
                break;
            }
            case SourceKind::kLookup:
                for (int i = 0; i < n; ++i) {
                    m_buffer[i] = m_table[rows.row0[x0 + dir * i]];
                }
                break;
            default: {
                const CNxBlendTables& t = *m_p.m_ctx.m_t;
                for (int i = 0; i < n; ++i) {
                    m_buffer[i] = t.Grey(rows.row0[x0 + dir * i]);
                }
                break;
            }
        }
        return m_buffer;
    }

    std::uint32_t pixelAt(const std::uint8_t* row, std::int32_t x) const {
        if (m_p.m_kind == SourceKind::kLookup) {
            return m_table[row[x]];
        }
        return reinterpret_cast<const std::uint32_t*>(row)[x];
    }

    void sample(const SourceRows& rows, std::int32_t c, int n) {
        std::uint64_t px = m_x.m_start + static_cast<std::uint64_t>(c) * m_x.m_step;
        if (!m_g.m_smooth) {
            for (int i = 0; i < n; ++i, px += m_x.m_step) {
                m_buffer[i] = pixelAt(rows.row0, m_x.SourceAt(px));
            }
            return;
        }
        const int dir = m_x.m_dir;
        for (int i = 0; i < n; ++i, px += m_x.m_step) {
            const std::int32_t x = m_x.SourceAt(px);
            const auto fx = static_cast<std::uint32_t>(px >> 24) & 0xFF;
            m_buffer[i] = filter(pixelAt(rows.row0, x), pixelAt(rows.row0, x + dir),
                                 pixelAt(rows.row1, x), pixelAt(rows.row1, x + dir), fx, rows.fy);
        }
    }

    // Box average over x - r .. x + r of the whole source row, edges repeated:
    // (sum × floor(65536 / (2r + 1)) + 32768) >> 16 per channel.
    void blur(const std::uint8_t* rowBytes, std::int32_t c, int n) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(rowBytes);
        const std::int64_t width = m_p.m_source->GetWidth();
        const std::int64_t r = m_p.m_blurRadius;
        const std::uint64_t k = 65536 / (2 * std::uint64_t(r) + 1);
        if (k == 0) {  // a window wider than 65536 pixels averages to 0
            std::fill(m_buffer, m_buffer + n, 0u);
            return;
        }
        auto at = [&](std::int64_t x) { return row[std::clamp<std::int64_t>(x, 0, width - 1)]; };
        std::int64_t x = m_x.FirstSource() + std::int64_t(m_x.m_dir) * c;
        // The window sum at the run's first pixel: repeated edges, then the pixels between.
        std::uint64_t sum[4] = {0, 0, 0, 0};
        const std::int64_t lo = std::max<std::int64_t>(x - r, 0);
        const std::int64_t hi = std::min<std::int64_t>(x + r, width - 1);
        const std::uint64_t leftRepeats = static_cast<std::uint64_t>(lo - (x - r));
        const std::uint64_t rightRepeats = static_cast<std::uint64_t>((x + r) - hi);
        for (int ch = 0; ch < 4; ++ch) {
            sum[ch] = leftRepeats * ((row[0] >> (8 * ch)) & 0xFF) +
                      rightRepeats * ((row[width - 1] >> (8 * ch)) & 0xFF);
        }
        for (std::int64_t p = lo; p <= hi; ++p) {
            for (int ch = 0; ch < 4; ++ch) {
                sum[ch] += (row[p] >> (8 * ch)) & 0xFF;
            }
        }
        const int dir = m_x.m_dir;
        for (int i = 0; i < n; ++i) {
            std::uint32_t out = 0;
            for (int ch = 0; ch < 4; ++ch) {
                out |= static_cast<std::uint32_t>(((sum[ch] * k + 32768) >> 16) << (8 * ch));
            }
            m_buffer[i] = out;
            // Slide the window one pixel along the walk.
            const std::uint32_t enter = dir > 0 ? at(x + r + 1) : at(x - r - 1);
            const std::uint32_t leave = dir > 0 ? at(x - r) : at(x + r);
            for (int ch = 0; ch < 4; ++ch) {
                sum[ch] += ((enter >> (8 * ch)) & 0xFF);
                sum[ch] -= ((leave >> (8 * ch)) & 0xFF);
            }
            x += dir;
        }
    }

    const std::uint8_t* fetchMask(const std::uint8_t* maskRow, std::int32_t c, int n) {
        const std::int64_t x0 = m_x.FirstSource() + std::int64_t(m_x.m_dir) * c + m_p.m_maskDx;
        if (m_x.m_dir > 0) {
            return maskRow + x0;
        }
        for (int i = 0; i < n; ++i) {
            m_maskBuffer[i] = maskRow[x0 - i];
        }
        return m_maskBuffer;
    }

    const CNxBlitPass& m_p;
    CNxSurface& m_dest;
    const CNxBlitGeometry& m_g;
    const CNxBlitGeometry::Axis& m_x;
    const CNxBlitGeometry::Axis& m_y;
    const std::uint32_t* m_table = nullptr;
    alignas(64) std::uint32_t m_buffer[kRun];
    std::int32_t m_pairs[kRun];
    std::uint32_t m_fx[kRun];
    std::uint32_t m_top[kRun];
    std::uint32_t m_bottom[kRun];
    std::uint8_t m_maskBuffer[kRun];
};

}  // namespace

CNxBlitPass::SourceKind CNxBlitPass::KindOf(const CNxSurface& source) {
    return source.GetBitCount() == 32 ? SourceKind::kPixels : SourceKind::kLookup;
}

void CNxBlitPass::Run(CNxSurface& dest, const CNxBlitGeometry& g) const {
    Runner(*this, dest, g).Run();
}
