#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

// An allocator whose value-less construct leaves the cell as it is, so that rows about to be
// filled from a file are not cleared first. Every resize and constructor that adds cells must
// therefore name their value: Row(n, value), resize(n, value), insert(pos, n, value).
template <typename T>
class UninitialisedAllocator : public std::allocator<T> {
public:
    template <typename U>
    struct rebind {
        using other = UninitialisedAllocator<U>;
    };
    UninitialisedAllocator() = default;
    template <typename U>
    UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}

    template <typename U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

// The map: rows × columns cells, each with a chip number and an attribute number, plus the size
// of a cell in pixels. Both layers always hold exactly rows() rows of exactly columns() cells;
// everything that changes the shape changes both layers and both counts together.
class MapGrid {
public:
    using Row = std::vector<std::int32_t, UninitialisedAllocator<std::int32_t>>;
    using Layer = std::vector<Row>;

    static constexpr int kMinCanvas = 1;
    static constexpr int kMaxCanvas = 5000;
    static constexpr int kMinChipSize = 16;
    static constexpr int kMaxChipSize = 64;
    static constexpr int kDefaultChipSize = 32;
    static constexpr std::int32_t kEmptyChip = -1;
    static constexpr std::int32_t kDefaultKind = 0;

    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    bool hasSize() const { return m_columns >= 1 && m_rows >= 1; }

    int chipWidth() const { return m_chipWidth; }
    int chipHeight() const { return m_chipHeight; }
    void setChipSize(int width, int height);

    bool fileBacked() const { return m_fileBacked; }
    void setFileBacked(bool backed) { m_fileBacked = backed; }

    const Layer& chipLayer() const { return m_chipLayer; }
    const Layer& kindLayer() const { return m_kindLayer; }

    // Cell access; the cell must lie inside the map.
    std::int32_t chip(int column, int row) const { return m_chipLayer[row][column]; }
    std::int32_t kind(int column, int row) const { return m_kindLayer[row][column]; }
    void setChip(int column, int row, std::int32_t value) { m_chipLayer[row][column] = value; }
    void setKind(int column, int row, std::int32_t value) { m_kindLayer[row][column] = value; }
    bool contains(int column, int row) const {
        return column >= 0 && row >= 0 && column < m_columns && row < m_rows;
    }

    // Makes the map columns × rows of empty chips and default attributes.
    void reset(int columns, int rows);

    // Takes both layers as the new map. They must have the shape columns × rows; if they do not,
    // nothing changes and the result is false.
    bool assign(Layer chips, Layer kinds, int columns, int rows);

private:
    Layer m_chipLayer;
    Layer m_kindLayer;
    int m_columns = 0;
    int m_rows = 0;
    int m_chipWidth = kDefaultChipSize;
    int m_chipHeight = kDefaultChipSize;
    bool m_fileBacked = false;
};
