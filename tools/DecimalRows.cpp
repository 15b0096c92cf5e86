#include "tools/DecimalRows.h"

namespace decimal {

namespace {

std::size_t digits(std::uint64_t value) {
    std::size_t n = 1;
    for (; value >= 10; value /= 10) {
        ++n;
    }
    return n;
}

}  // namespace

std::size_t bound(const Extent& extent, std::size_t rows, const Layout& layout) {
    const std::size_t widest =
        std::max(digits(static_cast<std::uint64_t>(extent.highest)),
                 digits(static_cast<std::uint64_t>(-extent.lowest)) + (extent.lowest < 0));
    const std::size_t perRow = std::strlen(layout.rowOpen) + std::strlen(layout.rowClose) +
                               std::strlen(layout.rowsBetween);
    return std::strlen(layout.open) + std::strlen(layout.close) + rows * perRow +
           extent.count * (widest + 1);
}

Texts::Texts(std::int64_t highest)
    : m_texts(static_cast<std::size_t>(std::clamp<std::int64_t>(highest, -1, 1 << 16) + 1) * 8),
      m_limit(m_texts.size() / 8) {
    for (std::uint32_t value = 0; value < m_limit; ++value) {
        char* text = &m_texts[std::size_t(value) * 8];
        text[7] = static_cast<char>(std::to_chars(text, text + 7, value).ptr - text);
    }
}

}  // namespace decimal
