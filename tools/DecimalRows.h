#pragma once

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

// Whole layers of numbers as decimal text, appended straight to the output: the exports write
// millions of cells, which a tree of values or a string per number would hold several times over.
namespace decimal {

// The range of some values, which sets the room their text needs.
struct Extent {
    std::int64_t lowest = 0;
    std::int64_t highest = 0;
    std::size_t count = 0;

    template <typename Int>
    void take(const Int* values, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            lowest = std::min<std::int64_t>(lowest, values[i]);
            highest = std::max<std::int64_t>(highest, values[i]);
        }
        count += size;
    }
};

// How rows of comma-separated values are laid out; each piece is a few characters at most.
struct Layout {
    const char* open;         // before the first row
    const char* rowOpen;      // before each row
    const char* rowClose;     // after each row
    const char* rowsBetween;  // between two rows
    const char* close;        // after the last row
};

// The most bytes appendRows writes for rows of values within extent.
std::size_t bound(const Extent& extent, std::size_t rows, const Layout& layout);

// The decimal text of the values from 0 below a limit, eight bytes each with the length last, so
// that writing one is a copy of eight bytes: a map's layers use few distinct values, millions of
// times.
class Texts {
public:
    // Values from 0 to highest (the table stops at 65536).
    explicit Texts(std::int64_t highest);

    // Writes value at p, which must have room for eleven bytes more; returns the end.
    template <typename Int>
    char* write(char* p, Int value) const {
        if constexpr (std::is_signed_v<Int>) {
            if (value < 0) {
                return std::to_chars(p, p + 11, value).ptr;
            }
        }
        if (static_cast<std::uint64_t>(value) < m_limit) {
            const char* text = &m_texts[static_cast<std::size_t>(value) * 8];
            std::memcpy(p, text, 8);
            return p + text[7];
        }
        return std::to_chars(p, p + 11, value).ptr;
    }

private:
    std::vector<char> m_texts;
    std::uint64_t m_limit;
};

// Appends rows × width values, comma-separated, laid out as layout says; rowAt(r) points at the
// first value of row r. extent holds every value.
template <typename Int, typename RowAt>
void appendRows(std::string& out, const Extent& extent, std::size_t rows, std::size_t width,
                RowAt rowAt, const Layout& layout) {
    static_assert(std::is_integral_v<Int> && sizeof(Int) <= 4, "32-bit values");
    const Texts texts(extent.highest);
    // Through a small buffer, so that no megabytes are cleared before they are written.
    char buffer[1 << 16];
    char* const full = buffer + sizeof buffer - 32;
    char* p = buffer;
    const auto piece = [&](const char* text) {
        if (p > full) {
            out.append(buffer, p);
            p = buffer;
        }
        for (; *text != '\0'; ++text) {
            *p++ = *text;
        }
    };
    piece(layout.open);
    for (std::size_t r = 0; r < rows; ++r) {
        if (r > 0) {
            piece(layout.rowsBetween);
        }
        piece(layout.rowOpen);
        const Int* value = rowAt(r);
        for (std::size_t c = 0; c < width; ++c) {
            if (p > full) {
                out.append(buffer, p);
                p = buffer;
            }
            p = texts.write(p, value[c]);
            *p++ = ',';
        }
        p -= width > 0;  // the comma after the row's last value
        piece(layout.rowClose);
    }
    piece(layout.close);
    out.append(buffer, p);
}

}  // namespace decimal
