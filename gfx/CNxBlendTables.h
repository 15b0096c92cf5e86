#pragma once

#include <cstdint>

// The lookup tables every blend reads, built once on first use (a function-local static, so no
// drawing can see them half-built and no initialisation order matters). Immutable afterwards.
class CNxBlendTables {
public:
    static const CNxBlendTables& Get();

    // Opacity weight: 0 for 0, a + 1 otherwise, so opacity 255 copies the colour exactly.
    // Four 16-bit lanes B, G, R, A; the alpha lane is 0 so that mixes keep destination alpha.
    const std::uint16_t* W(std::uint32_t a) const { return m_w[a]; }
    // The weight of filtered source-alpha stretches: alphas below 3 draw nothing.
    const std::uint16_t* W3(std::uint32_t a) const { return m_w3[a]; }
    // Limits -768..1023 to 0..255.
    std::uint8_t Clamp(int i) const { return m_clamp[i + kClampBias]; }
    // (i × j + 127) / 255: the product of two 0-255 fractions, rounded.
    std::uint8_t T(std::uint32_t i, std::uint32_t j) const { return m_t[i][j]; }
    const std::uint8_t* TRow(std::uint32_t i) const { return m_t[i]; }
    // Alpha of the union of two coverages: min(i + (255 - i) × j / 255, 255).
    std::uint8_t E(std::uint32_t i, std::uint32_t j) const { return m_e[i][j]; }
    // Share of a source of alpha j drawn over a destination of alpha i.
    std::uint8_t D(std::uint32_t i, std::uint32_t j) const { return m_d[i][j]; }
    // An 8-bit value spread to all four bytes.
    std::uint32_t Grey(std::uint32_t i) const { return m_grey[i]; }
    // The blend functions that divide or take powers, indexed [destination][source].
    std::uint8_t ColourBurn(std::uint32_t d, std::uint32_t s) const { return m_burn[d][s]; }
    std::uint8_t Overlay(std::uint32_t d, std::uint32_t s) const { return m_overlay[d][s]; }
    std::uint8_t SoftLight(std::uint32_t d, std::uint32_t s) const { return m_softLight[d][s]; }

private:
    static constexpr int kClampBias = 768;

    CNxBlendTables();

    std::uint16_t m_w[256][4];
    std::uint16_t m_w3[256][4];
    std::uint8_t m_clamp[768 + 1024];
    std::uint8_t m_t[256][256];
    std::uint8_t m_e[256][256];
    std::uint8_t m_d[256][256];
    std::uint32_t m_grey[256];
    std::uint8_t m_burn[256][256];
    std::uint8_t m_overlay[256][256];
    std::uint8_t m_softLight[256][256];
};
