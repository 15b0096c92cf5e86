#pragma once

#include <cstddef>
#include <cstdint>

// Little-endian fields of a block of bytes that came from a file, read with bounds checks. A read
// that would pass the end gives 0 (or null), moves nothing and leaves the reader failed, so a
// decoder can read a whole header and check once; nothing outside the block is ever read.
class CNxByteReader {
public:
    CNxByteReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    // At an offset from the start of the block; the position stays where it is.
    std::uint8_t U8At(std::size_t at) { return fits(at, 1) ? m_data[at] : 0; }
    std::uint16_t U16At(std::size_t at) {
        return fits(at, 2) ? static_cast<std::uint16_t>(m_data[at] | m_data[at + 1] << 8) : 0;
    }
    std::uint32_t U32At(std::size_t at) {
        return fits(at, 4) ? std::uint32_t(U16At(at)) | std::uint32_t(U16At(at + 2)) << 16 : 0;
    }
    std::int32_t I32At(std::size_t at) { return static_cast<std::int32_t>(U32At(at)); }

    // At the position, which moves past what was read.
    std::uint8_t U8() { return U8At(step(1)); }
    // The next n bytes, or null when fewer are left.
    const std::uint8_t* Take(std::size_t n) {
        const std::size_t at = step(n);
        return fits(at, n) ? m_data + at : nullptr;
    }
    // Moves to an offset from the start; false past the end.
    bool Seek(std::size_t at) {
        if (!fits(at, 0)) {
            return false;
        }
        m_position = at;
        return true;
    }

    std::size_t Remaining() const { return m_size - m_position; }
    // False once any read or seek has gone past the end.
    bool Ok() const { return !m_failed; }

private:
    bool fits(std::size_t at, std::size_t n) {
        if (at > m_size || n > m_size - at) {
            m_failed = true;
            return false;
        }
        return true;
    }
    // The position of a read of n bytes, moved past it when they are there.
    std::size_t step(std::size_t n) {
        const std::size_t at = m_position;
        if (n <= m_size - at) {
            m_position += n;
        }
        return at;
    }

    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
    bool m_failed = false;
};
