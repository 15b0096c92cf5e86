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

    // The layers by number, as the map screen and the edit history name them.
    static constexpr int kChipLayer = 0;
    static constexpr int kKindLayer = 1;
    static bool isLayer(int layer) { return layer == kChipLayer || layer == kKindLayer; }
    // What a new cell of the layer holds: an empty chip, the default attribute.
    static std::int32_t blankCell(int layer) {
        return layer == kChipLayer ? kEmptyChip : kDefaultKind;
    }

    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    bool hasSize() const { return m_columns >= 1 && m_rows >= 1; }

    int chipWidth() const { return m_chipWidth; }
    int chipHeight() const { return m_chipHeight; }
    void setChipSize(int width, int height);

    bool fileBacked() const { return m_fileBacked; }
    void setFileBacked(bool backed) { m_fileBacked = backed; }

    const Layer& chipLayer() const { return m_layers[kChipLayer]; }
    const Layer& kindLayer() const { return m_layers[kKindLayer]; }
    // layer must be kChipLayer or kKindLayer.
    const Layer& layer(int layer) const { return m_layers[layer]; }

    // Cell access; the cell must lie inside the map.
    std::int32_t chip(int column, int row) const { return m_layers[kChipLayer][row][column]; }
    std::int32_t kind(int column, int row) const { return m_layers[kKindLayer][row][column]; }
    void setChip(int column, int row, std::int32_t value) {
        m_layers[kChipLayer][row][column] = value;
    }
    void setKind(int column, int row, std::int32_t value) {
        m_layers[kKindLayer][row][column] = value;
    }
    std::int32_t cell(int layer, int column, int row) const { return m_layers[layer][row][column]; }
    void setCell(int layer, int column, int row, std::int32_t value) {
        m_layers[layer][row][column] = value;
    }
    bool contains(int column, int row) const {
        return column >= 0 && row >= 0 && column < m_columns && row < m_rows;
    }

    // The columns() cells of one row, for loops over many cells. Writing through the pointer
    // changes cells, never the shape.
    std::int32_t* rowCells(int layer, int row) { return m_layers[layer][row].data(); }
    const std::int32_t* rowCells(int layer, int row) const { return m_layers[layer][row].data(); }

    // Makes the map columns × rows of empty chips and default attributes.
    void reset(int columns, int rows);

    // Takes both layers as the new map. They must have the shape columns × rows; if they do not,
    // nothing changes and the result is false.
    bool assign(Layer chips, Layer kinds, int columns, int rows);

    // Shape changes. Each changes both layers and both counts together; a position or count out
    // of range changes nothing and gives false. The canvas limits are the editor's to enforce.

    // Inserts count rows of blank cells before row at (at == rows() appends).
    bool insertRows(int at, int count);
    // Moves the given rows in before row at; both blocks must hold the same number of rows of
    // columns() cells each. When refused, the blocks are left as they were.
    bool insertRows(int at, Layer&& chips, Layer&& kinds);
    // Removes rows at … at + count − 1, handing them to chips and kinds when given.
    bool removeRows(int at, int count, Layer* chips = nullptr, Layer* kinds = nullptr);

    // Inserts count blank cells into every row before column at.
    bool insertColumns(int at, int count);
    // Inserts row r of each block into row r of its layer before column at; each block must
    // hold rows() rows, all of one width.
    bool insertColumns(int at, const Layer& chips, const Layer& kinds);
    // Removes columns at … at + count − 1 from every row, handing the cells of each row to
    // chips and kinds when given.
    bool removeColumns(int at, int count, Layer* chips = nullptr, Layer* kinds = nullptr);

    // Brings the map to columns × rows: cells beyond the new size are dropped, new cells are
    // blank, the cells that remain keep their places.
    bool resizeCanvas(int columns, int rows);

    // Copies the cells of one layer from (column, row), width × height, cut off at the map's
    // right and bottom edges (rows and columns beyond the map are left out of the block).
    // A negative origin gives an empty block.
    Layer readRect(int layer, int column, int row, int width, int height) const;
    // Writes block row i into map row row + i and its value j into column column + j, as far
    // as the block, width × height and the map reach.
    void writeRect(int layer, int column, int row, const Layer& block, int width, int height);

private:
    Layer m_layers[2];
    int m_columns = 0;
    int m_rows = 0;
    int m_chipWidth = kDefaultChipSize;
    int m_chipHeight = kDefaultChipSize;
    bool m_fileBacked = false;
};
