#include "gfx/CNxBlendTables.h"

#include <algorithm>
#include <cmath>

const CNxBlendTables& CNxBlendTables::Get() {
    static const CNxBlendTables tables;
    return tables;
}

CNxBlendTables::CNxBlendTables() {
    for (int a = 0; a < 256; ++a) {
        const auto w = static_cast<std::uint16_t>(a == 0 ? 0 : a + 1);
        const auto w3 = static_cast<std::uint16_t>(a < 3 ? 0 : a + 1);
        for (int lane = 0; lane < 3; ++lane) {
            m_w[a][lane] = w;
            m_w3[a][lane] = w3;
        }
        m_w[a][3] = 0;
        m_w3[a][3] = 0;
        m_grey[a] = static_cast<std::uint32_t>(a) * 0x01010101u;
    }
    for (int i = -kClampBias; i < 1024; ++i) {
        m_clamp[i + kClampBias] = static_cast<std::uint8_t>(std::clamp(i, 0, 255));
    }
    for (int i = 0; i < 256; ++i) {
        for (int j = 0; j < 256; ++j) {
            m_t[i][j] = static_cast<std::uint8_t>((i * j + 127) / 255);
            m_e[i][j] = static_cast<std::uint8_t>(std::min(i + (255 - i) * j / 255, 255));
            if (i == 0) {
                m_d[i][j] = 255;
            } else {
                const double x = j / 255.0, y = i / 255.0;
                const double share = (x / y) / (1.0 - x + x / y);
                m_d[i][j] = static_cast<std::uint8_t>(std::min(255.0, std::trunc(255.0 * share)));
            }
        }
    }
    for (int d = 0; d < 256; ++d) {
        for (int s = 0; s < 256; ++s) {
            int burn;
            if (d + s < 255) {
                burn = 0;
            } else if (s == 0) {
                burn = 255;
            } else {
                burn = 255 - (255 - d) * 255 / s;
            }
            m_burn[d][s] = static_cast<std::uint8_t>(burn);
            m_overlay[d][s] = static_cast<std::uint8_t>(
                d < 128 ? 2 * d * s / 255 : 255 - 2 * (255 - d) * (255 - s) / 255);
            const double exponent = s >= 128 ? 128.0 / s : (255 - s) / 128.0;
            m_softLight[d][s] =
                static_cast<std::uint8_t>(std::trunc(255.0 * std::pow(d / 255.0, exponent)));
        }
    }
}
